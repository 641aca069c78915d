#include "vistrel/api/StringUtil.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <nlohmann/json.hpp>

#include "vistrel/platform/Console.h"
#include "vistrel/platform/Text.h"

namespace vistrel::api {
namespace {

using nlohmann::json;

constexpr double kTwoTo63 = 9223372036854775808.0;

std::optional<std::int64_t> integralValue(const json& value) {
  if (value.is_number_unsigned()) {
    const auto u = value.get<std::uint64_t>();
    if (u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
      return std::nullopt;
    }
    return static_cast<std::int64_t>(u);
  }
  if (value.is_number_integer()) return value.get<std::int64_t>();
  if (value.is_number_float()) {
    const double d = value.get<double>();
    if (std::isfinite(d) && std::trunc(d) == d && d >= -kTwoTo63 && d < kTwoTo63) {
      return static_cast<std::int64_t>(d);
    }
  }
  return std::nullopt;
}

std::string_view typeName(const json& value) { return value.type_name(); }

// Reads the fields of one record from a JSON object, keeping the first type error.
class FieldReader {
 public:
  explicit FieldReader(const json& object) : object_(object) {}

  void text(const char* key, std::optional<std::string>& field) {
    if (const json* v = present(key)) {
      if (v->is_string()) {
        field = v->get<std::string>();
      } else {
        fail(key, "a string", *v);
      }
    }
  }

  void integer(const char* key, std::optional<std::int64_t>& field) {
    if (const json* v = present(key)) {
      if (v->is_number()) field = integralValue(*v);
      if (!field) fail(key, "an integer", *v);
    }
  }

  void real(const char* key, std::optional<float>& field) {
    if (const json* v = present(key)) {
      if (v->is_number()) {
        const double d = v->get<double>();
        if (std::isfinite(d) && std::fabs(d) <= double{std::numeric_limits<float>::max()}) {
          field = static_cast<float>(d);
          return;
        }
        fail(key, "a number that fits a single-precision real", *v);
        return;
      }
      fail(key, "a number", *v);
    }
  }

  const std::string& error() const { return error_; }

 private:
  const json* present(const char* key) {
    if (!error_.empty()) return nullptr;
    const auto found = object_.find(key);
    if (found == object_.end() || found->is_null()) return nullptr;
    return &*found;
  }

  void fail(const char* key, std::string_view expected, const json& found) {
    if (error_.empty()) {
      error_ = "key \"" + std::string(key) + "\" expected " + std::string(expected) + ", found " +
               std::string(typeName(found));
    }
  }

  const json& object_;
  std::string error_;
};

void readFields(FieldReader& r, ImageColorSelector& s) {
  r.text("imageId", s.imageId);
  r.text("firstColor", s.firstColor);
  r.text("colorPoints", s.colorPoints);
  r.real("threshold", s.threshold);
  r.integer("x", s.x);
  r.integer("y", s.y);
  r.integer("w", s.w);
  r.integer("h", s.h);
  r.integer("limit", s.limit);
  r.integer("orz", s.orz);
  r.text("degree", s.degree);
  r.integer("allNotEquals", s.allNotEquals);
}

void readFields(FieldReader& r, FindImageByColorSelector& s) {
  r.text("imageId", s.imageId);
  r.text("templateId", s.templateId);
  r.real("threshold", s.threshold);
  r.integer("x", s.x);
  r.integer("y", s.y);
  r.integer("w", s.w);
  r.integer("h", s.h);
  r.integer("limit", s.limit);
  r.text("extra", s.extra);
}

void readFields(FieldReader& r, FindImageByColorSelectorExtra& s) {
  r.text("firstColorThreshold", s.firstColorThreshold);
  r.text("firstColorOffset", s.firstColorOffset);
  r.text("otherColorThreshold", s.otherColorThreshold);
  r.text("otherColorOffset", s.otherColorOffset);
  r.text("cmpColorSucThreshold", s.cmpColorSucThreshold);
  r.text("startX", s.startX);
  r.text("startY", s.startY);
}

void readFields(FieldReader& r, OcrSelector& s) {
  r.text("imageId", s.imageId);
  r.text("extra", s.extra);
  r.text("type", s.type);
}

void readFields(FieldReader& r, OpencvMatchParam& s) {
  r.text("imageId", s.imageId);
  r.text("templateId", s.templateId);
  r.real("weakThreshold", s.weakThreshold);
  r.real("threshold", s.threshold);
  r.integer("x", s.x);
  r.integer("y", s.y);
  r.integer("w", s.w);
  r.integer("h", s.h);
  r.integer("limit", s.limit);
  r.integer("maxLevel", s.maxLevel);
  r.integer("method", s.method);
}

template <typename Record>
constexpr std::string_view recordName();
template <>
constexpr std::string_view recordName<ImageColorSelector>() {
  return "ImageColorSelector";
}
template <>
constexpr std::string_view recordName<FindImageByColorSelector>() {
  return "FindImageByColorSelector";
}
template <>
constexpr std::string_view recordName<FindImageByColorSelectorExtra>() {
  return "FindImageByColorSelectorExtra";
}
template <>
constexpr std::string_view recordName<OcrSelector>() {
  return "OcrSelector";
}
template <>
constexpr std::string_view recordName<OpencvMatchParam>() {
  return "OpencvMatchParam";
}

void appendMember(std::string& out, bool& first, const char* name,
                  const std::optional<std::int64_t>& v) {
  if (!v) return;
  if (!first) out.push_back(',');
  first = false;
  out += '"';
  out += name;
  out += "\":";
  char digits[24];
  const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, *v);
  out.append(digits, end);
}

bool validTree(const json& value) {
  switch (value.type()) {
    case json::value_t::object:
      for (const auto& [key, member] : value.items()) {
        if (!validTree(member)) return false;
      }
      return true;
    case json::value_t::array:
      for (const auto& member : value) {
        if (!validTree(member)) return false;
      }
      return true;
    case json::value_t::number_float:
      return std::isfinite(value.get<double>());
    case json::value_t::discarded:
    case json::value_t::binary:
      return false;
    default:
      return true;
  }
}

}  // namespace

template <typename Record>
std::optional<Record> StringUtil::jsonDecode(std::string_view text) {
  std::string error;
  try {
    const json parsed = json::parse(text);
    if (!parsed.is_object()) {
      error = "expected a JSON object, found " + std::string(typeName(parsed));
    } else {
      Record record;
      FieldReader reader(parsed);
      readFields(reader, record);
      if (reader.error().empty()) return record;
      error = reader.error();
    }
  } catch (const json::exception& e) {
    error = e.what();
  }
  platform::logOut("jsonDecode " + std::string(recordName<Record>()) + " failed: " + error);
  return std::nullopt;
}

template std::optional<ImageColorSelector> StringUtil::jsonDecode(std::string_view);
template std::optional<FindImageByColorSelector> StringUtil::jsonDecode(std::string_view);
template std::optional<FindImageByColorSelectorExtra> StringUtil::jsonDecode(std::string_view);
template std::optional<OcrSelector> StringUtil::jsonDecode(std::string_view);
template std::optional<OpencvMatchParam> StringUtil::jsonDecode(std::string_view);

std::string StringUtil::jsonEncodeString(const FindPoint& point) {
  std::string out = "{";
  bool first = true;
  appendMember(out, first, "x", point.x);
  appendMember(out, first, "y", point.y);
  appendMember(out, first, "index", point.index);
  out += '}';
  return out;
}

std::string StringUtil::jsonEncodeString(const std::vector<FindPoint>& points) {
  std::string out = "[";
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i) out += ',';
    out += jsonEncodeString(points[i]);
  }
  out += ']';
  return out;
}

std::string StringUtil::getJSONStringData(std::string_view key, const json& value) {
  if (!value.is_object()) return "null";
  const auto found = value.find(key);
  if (found == value.end() || found->is_null()) return "null";
  try {
    const json& v = *found;
    if (v.is_boolean()) return v.get<bool>() ? "true" : "false";
    if (v.is_string()) {
      auto s = v.get<std::string>();
      return s == "null" ? std::string() : s;
    }
    if (const auto integral = integralValue(v)) return std::to_string(*integral);
    if (v.is_number()) return v.dump();
    return v.dump(2);
  } catch (const json::exception&) {
    return {};
  }
}

std::optional<std::int64_t> StringUtil::getJSONStringDataByInt(std::string_view key,
                                                               std::string_view data) {
  const auto parsed = parse(data);
  if (!parsed) return std::nullopt;
  const std::string t = getJSONStringData(key, *parsed);
  if (t.empty()) return std::nullopt;
  return platform::parseDecimal(t);
}

std::string StringUtil::anyToString(const std::optional<json>& value) {
  if (!value) return {};
  const json& v = *value;
  if (v.is_boolean()) return v.get<bool>() ? "1" : "0";
  if (v.is_number_integer()) {
    return v.is_number_unsigned() ? std::to_string(v.get<std::uint64_t>())
                                  : std::to_string(v.get<std::int64_t>());
  }
  if (v.is_number_float()) {
    const double d = v.get<double>();
    if (std::trunc(d) == d && std::fabs(d) < kTwoTo63) {
      return std::to_string(static_cast<std::int64_t>(d));
    }
    return anyToString(d);
  }
  if (v.is_string()) return v.get<std::string>();
  try {
    return v.dump();
  } catch (const json::exception&) {
    return {};
  }
}

std::string StringUtil::anyToString(float value) { return anyToString(double{value}); }

std::string StringUtil::anyToString(double value) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%f", value);
  return buffer;
}

std::string StringUtil::anyToString(bool value) { return value ? "true" : "false"; }

std::int64_t StringUtil::anyToInt(const std::optional<json>& value) {
  return textToInt(anyToString(value));
}

std::int64_t StringUtil::textToInt(std::string_view t) {
  if (t.find('.') != std::string_view::npos) {
    const std::string text(t);
    char* end = nullptr;
    const float f = std::strtof(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(f)) return 0;
    const double truncated = std::trunc(double{f});
    // Out of the 64-bit range: unreadable, like any other text that is no number.
    if (truncated < -kTwoTo63 || truncated >= kTwoTo63) return 0;
    return static_cast<std::int64_t>(truncated);
  }
  return platform::parseDecimal(t).value_or(0);
}

std::string StringUtil::convertToJsonString(const json& value) {
  if (!(value.is_object() || value.is_array()) || !validTree(value)) return {};
  try {
    return value.dump();
  } catch (const json::exception&) {
    return {};
  }
}

std::optional<json> StringUtil::convertJsonToDictAny(std::string_view data) {
  try {
    json parsed = json::parse(data);
    if (!parsed.is_object()) return std::nullopt;
    return parsed;
  } catch (const json::exception& e) {
    platform::logOut(std::string("convertJsonToDictAny: ") + e.what());
    return std::nullopt;
  }
}

std::optional<json> StringUtil::parse(std::string_view text) {
  json parsed = json::parse(text, nullptr, false);
  if (parsed.is_discarded() || !(parsed.is_object() || parsed.is_array())) return std::nullopt;
  return parsed;
}

}  // namespace vistrel::api
