#include "cli/Host.h"

#include <chrono>
#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "vistrel/platform/Base64.h"
#include "vistrel/platform/PlatformImage.h"

namespace vistrel::cli {
namespace {

using nlohmann::json;
using nlohmann::ordered_json;

// An unusable request: its message becomes the response's "error".
struct RequestError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::optional<platform::Bytes> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  platform::Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

// Replaces each ${NAME} by the kept text.
std::string substitute(std::string_view text,
                       const std::map<std::string, std::string, std::less<>>& kept) {
  std::string out;
  std::size_t at = 0;
  while (true) {
    const std::size_t open = text.find("${", at);
    if (open == std::string_view::npos) break;
    const std::size_t close = text.find('}', open + 2);
    if (close == std::string_view::npos) break;
    const std::string_view name = text.substr(open + 2, close - open - 2);
    const auto found = kept.find(name);
    if (found == kept.end()) throw RequestError("unknown ${" + std::string(name) + "}");
    out.append(text.substr(at, open - at));
    out += found->second;
    at = close + 1;
  }
  out.append(text.substr(at));
  return out;
}

std::optional<platform::Bytes> sourceBytes(const json& arg, const Param& param) {
  if (arg.contains("file") && arg["file"].is_string()) return readFile(arg["file"]);
  if (arg.contains("base64") && arg["base64"].is_string()) {
    const auto bytes = platform::base64Decode(arg["base64"].get<std::string>());
    if (!bytes) throw RequestError("argument " + param.name + ": invalid base64");
    return bytes;
  }
  throw RequestError("argument " + param.name + ": expected null, {\"file\": PATH} or " +
                     "{\"base64\": TEXT}");
}

ArgValue convert(const json& arg, const Param& param,
                 const std::map<std::string, std::string, std::less<>>& kept) {
  const auto wrongKind = [&] {
    return RequestError("argument " + param.name + ": expected " +
                        std::string(kindName(param.kind)) + ", found " + arg.type_name());
  };
  switch (param.kind) {
    case ArgKind::text:
      if (!arg.is_string()) throw wrongKind();
      return substitute(arg.get<std::string>(), kept);
    case ArgKind::optionalText:
      if (arg.is_null()) return std::monostate{};
      if (!arg.is_string()) throw wrongKind();
      return substitute(arg.get<std::string>(), kept);
    case ArgKind::image: {
      if (arg.is_null()) return std::monostate{};
      if (!arg.is_object()) throw wrongKind();
      const auto bytes = sourceBytes(arg, param);
      if (!bytes) return std::monostate{};
      auto image = platform::PlatformImage::decode(*bytes);
      if (!image) return std::monostate{};
      return image;
    }
    case ArgKind::bytes: {
      if (arg.is_null()) return std::monostate{};
      if (!arg.is_object()) throw wrongKind();
      auto bytes = sourceBytes(arg, param);
      if (!bytes) return std::monostate{};
      return std::move(*bytes);
    }
    case ArgKind::real:
      if (arg.is_boolean()) return arg.get<bool>() ? 1.0 : 0.0;
      if (!arg.is_number()) throw wrongKind();
      return arg.get<double>();
    case ArgKind::integer:
      if (arg.is_boolean()) return std::int64_t{arg.get<bool>() ? 1 : 0};
      if (arg.is_number_integer() && !arg.is_number_unsigned()) return arg.get<std::int64_t>();
      if (arg.is_number()) {
        const double d = arg.get<double>();
        if (std::trunc(d) == d && std::fabs(d) < 9.2e18) return static_cast<std::int64_t>(d);
      }
      throw wrongKind();
    case ArgKind::boolean:
      if (arg.is_boolean()) return arg.get<bool>();
      if (arg.is_number()) return arg.get<double>() != 0;
      throw wrongKind();
  }
  throw wrongKind();
}

bool writeFile(const std::string& path, const platform::Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace

std::string dumpLine(const ordered_json& value) {
  return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

ordered_json Host::handleRequest(const json& request) {
  ordered_json response = ordered_json::object();
  try {
    if (!request.is_object()) throw RequestError("request is not a JSON object");
    if (request.contains("id")) response["id"] = request["id"];
    if (!request.contains("op") || !request["op"].is_string()) {
      throw RequestError("request has no \"op\" text");
    }
    const std::string name = request["op"];
    const auto found = operations().find(name);
    if (found == operations().end()) throw RequestError("unknown operation: " + name);
    const Operation& op = found->second;

    const json args = request.value("args", json::array());
    if (!args.is_array()) throw RequestError("\"args\" is not an array");
    if (args.size() != op.params.size()) {
      throw RequestError(name + " takes " + std::to_string(op.params.size()) +
                         " argument(s), got " + std::to_string(args.size()));
    }
    std::optional<std::string> as;
    if (request.contains("as")) {
      if (!request["as"].is_string()) throw RequestError("\"as\" is not a text");
      as = request["as"].get<std::string>();
    }
    std::optional<std::string> save;
    if (request.contains("save")) {
      if (!request["save"].is_string()) throw RequestError("\"save\" is not a text");
      save = request["save"].get<std::string>();
    }
    std::vector<ArgValue> values;
    for (std::size_t i = 0; i < args.size(); ++i) {
      values.push_back(convert(args[i], op.params[i], kept_));
    }

    const auto start = std::chrono::steady_clock::now();
    const Result result = op.run(Arguments(std::move(values)));
    const std::chrono::duration<double, std::milli> ms = std::chrono::steady_clock::now() - start;

    ordered_json out;
    if (const auto* text = std::get_if<std::string>(&result)) {
      out = *text;
      if (as) kept_[*as] = *text;
    } else if (const auto* flag = std::get_if<bool>(&result)) {
      out = *flag;
    } else if (const auto* image = std::get_if<platform::ImagePtr>(&result); image && *image) {
      const auto& img = **image;
      out = {{"width", img.width()},
             {"height", img.height()},
             {"scale", img.scale()},
             {"orientation", platform::orientationName(img.orientation())}};
      if (save) {
        const auto png = img.pngData();
        if (!png || !writeFile(*save, *png)) throw RequestError("cannot write " + *save);
        out["file"] = *save;
      }
    } else if (const auto* bytes = std::get_if<platform::Bytes>(&result)) {
      out = {{"size", bytes->size()}};
      if (save) {
        if (!writeFile(*save, *bytes)) throw RequestError("cannot write " + *save);
        out["file"] = *save;
      } else {
        out["base64"] = platform::base64Encode(*bytes);
      }
    }
    response["result"] = out;
    response["ms"] = ms.count();
  } catch (const RequestError& e) {
    response.erase("result");
    response["error"] = e.what();
  } catch (const std::exception& e) {
    response.erase("result");
    response["error"] = std::string("request failed: ") + e.what();
  }
  return response;
}

std::string Host::handle(std::string_view line) {
  const json request = json::parse(line, nullptr, false);
  if (request.is_discarded()) {
    return dumpLine(ordered_json{{"error", "not JSON"}});
  }
  return dumpLine(handleRequest(request));
}

void Host::serve(std::istream& in, std::ostream& out) {
  std::string line;
  while (std::getline(in, line)) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    out << handle(line) << '\n' << std::flush;
  }
}

std::optional<std::string> Host::kept(const std::string& name) const {
  const auto found = kept_.find(name);
  if (found == kept_.end()) return std::nullopt;
  return found->second;
}

json callRequest(const Operation& op, const std::vector<std::string>& args) {
  json list = json::array();
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const ArgKind kind = i < op.params.size() ? op.params[i].kind : ArgKind::text;
    if ((kind == ArgKind::image || kind == ArgKind::bytes) && arg.starts_with('@')) {
      list.push_back({{"file", arg.substr(1)}});
    } else if (kind == ArgKind::real || kind == ArgKind::integer || kind == ArgKind::boolean) {
      const json number = json::parse(arg, nullptr, false);
      list.push_back(number.is_discarded() ? json(arg) : number);
    } else {
      list.push_back(arg);
    }
  }
  return {{"op", op.name}, {"args", list}};
}

}  // namespace vistrel::cli
