#include "vistrel/http/HttpUtil.h"

#include <cstdlib>
#include <map>

#include "vistrel/api/StringUtil.h"
#include "vistrel/files/FileUtils.h"
#include "vistrel/files/TextFile.h"
#include "vistrel/platform/HttpTransport.h"
#include "vistrel/platform/Uuid.h"

namespace vistrel::http {
namespace {

using api::StringUtil;
using nlohmann::json;

std::string text(const json& value) { return StringUtil::anyToString(std::optional<json>(value)); }

// An object option: an object gives its table, an array no table, anything else an empty one.
std::optional<json> table(const json& options, const char* key) {
  const auto found = options.find(key);
  if (found == options.end()) return json::object();
  const std::string written = StringUtil::convertToJsonString(*found);
  if (written.empty()) return json::object();
  return StringUtil::convertJsonToDictAny(written);
}

void append(platform::Bytes& out, std::string_view s) { out.insert(out.end(), s.begin(), s.end()); }

// Characters that would end a quoted header parameter or its line.
std::string quotedSafe(const std::string& s) {
  std::string out;
  for (const char c : s) {
    if (c == '"') {
      out += "%22";
    } else if (c == '\r') {
      out += "%0D";
    } else if (c == '\n') {
      out += "%0A";
    } else {
      out += c;
    }
  }
  return out;
}

std::string fieldText(const json& v) {
  if (v.is_string()) return v.get<std::string>();
  return v.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::optional<std::string> utf8(const platform::Bytes& bytes) {
  std::string s(bytes.begin(), bytes.end());
  if (!files::validIn(s, files::Encoding::utf8)) return std::nullopt;
  return s;
}

}  // namespace

double HttpUtil::timeoutOf(const std::string& t) {
  if (t.empty()) return 10000;
  char* end = nullptr;
  const double value = std::strtod(t.c_str(), &end);
  if (end == t.c_str() || *end != '\0') return 10000;
  return value;
}

std::string HttpUtil::requestEx2(const std::string& optionsText) {
  const auto options = StringUtil::convertJsonToDictAny(optionsText);
  if (!options) return {};
  const auto field = [&](const char* key) {
    const auto found = options->find(key);
    return found == options->end() ? std::string() : text(*found);
  };
  const std::string url = field("url");
  if (!url.starts_with("http")) return {};
  double timeout = timeoutOf(field("timeout").empty() ? "10000" : field("timeout"));
  if (timeout <= 0) timeout = 10000;
  return requestEx(url, field("method"), field("followRedirects") == "1", field("userAgent"),
                   table(*options, "data"), timeout, table(*options, "file"), field("requestBody"),
                   table(*options, "header"), table(*options, "cookie"));
}

std::string HttpUtil::requestEx(const std::string& url, const std::string& method, bool,
                                const std::optional<std::string>& userAgent,
                                const std::optional<json>& data, double timeoutMs,
                                const std::optional<json>& file,
                                const std::optional<std::string>& requestBody,
                                const std::optional<json>& header,
                                const std::optional<json>& cookie) {
  const std::string encoded = platform::UrlQuery::encodeQueryAllowed(url);
  if (!platform::UrlQuery::valid(encoded)) return {};
  platform::HttpRequest request;
  request.url = encoded;
  if (method == "GET" || method == "DELETE") {
    const auto built = newGetUrl(encoded, data);
    if (!built) return {};
    request.url = *built;
  }
  if (userAgent) request.setHeader("User-Agent", *userAgent);
  if (header && header->is_object()) {
    for (const auto& [name, value] : header->items()) request.setHeader(name, text(value));
  }
  if (const auto cookies = cookieString(cookie)) request.setHeader("Cookie", *cookies);
  request.method = method;
  request.timeoutMs = timeoutMs;
  if (method == "POST" || method == "PUT") {
    if (requestBody && !requestBody->empty()) {
      request.body = platform::Bytes(requestBody->begin(), requestBody->end());
    } else if (data) {
      const std::string boundary = "Boundary-" + platform::randomUuid();
      request.setHeader("Content-Type", "multipart/form-data; boundary=" + boundary);
      request.body = encoderFormData(boundary, data, file);
    }
  }

  const auto response = platform::sendHttp(request);
  json result = json::object();
  if (response) {
    if (const auto body = utf8(response->body)) result["body"] = *body;
    result["statusCode"] = response->status;
    result["cookie"] = json::object();
    json headers = json::object();
    for (const auto& [name, value] : response->headers) {
      headers[name] = value;
      if (name == "Content-Type") result["contentType"] = value;
      if (name == "charset" || name == "Charset") result["charset"] = value;
      if (name == "Set-Cookie") {
        json cookies = json::object();
        std::size_t at = 0;
        while (true) {
          const auto next = value.find("; ", at);
          const std::string segment =
              value.substr(at, next == std::string::npos ? std::string::npos : next - at);
          if (const auto eq = segment.find('='); eq != std::string::npos) {
            cookies[segment.substr(0, eq)] = segment.substr(eq + 1);
          }
          if (next == std::string::npos) break;
          at = next + 2;
        }
        result["cookie"] = cookies;
      }
    }
    result["header"] = headers;
  }
  const std::string written = StringUtil::convertToJsonString(result);
  return written.empty() ? result.dump(-1, ' ', false, json::error_handler_t::replace) : written;
}

std::optional<std::string> HttpUtil::newGetUrl(const std::string& url,
                                               const std::optional<json>& data) {
  std::vector<std::pair<std::string, std::string>> extra;
  if (data && data->is_object()) {
    for (const auto& [name, value] : data->items()) extra.emplace_back(name, text(value));
  }
  return platform::UrlQuery::withItems(url, extra);
}

std::optional<std::string> HttpUtil::cookieString(const std::optional<json>& cookie) {
  if (!cookie) return std::nullopt;
  std::string out;
  if (cookie->is_object()) {
    for (const auto& [name, value] : cookie->items()) out += name + "=" + text(value) + "; ";
  }
  return out;
}

platform::Bytes HttpUtil::encoderFormData(const std::string& boundary,
                                          const std::optional<json>& data,
                                          const std::optional<json>& file) {
  platform::Bytes body;
  constexpr std::string_view kCrlf = "\r\n";
  if (data && data->is_object()) {
    for (const auto& [name, value] : data->items()) {
      append(body, "--" + boundary);
      append(body, kCrlf);
      append(body, "Content-Disposition: form-data; name=\"" + quotedSafe(name) + "\"");
      append(body, kCrlf);
      append(body, kCrlf);
      append(body, fieldText(value));
      append(body, kCrlf);
    }
  }
  if (file && file->is_object()) {
    for (const auto& [name, value] : file->items()) {
      const std::string path = text(value);
      const auto slash = path.rfind('/');
      const std::string fileName = slash == std::string::npos ? path : path.substr(slash + 1);
      append(body, "--" + boundary);
      append(body, kCrlf);
      append(body, "Content-Disposition: form-data; name=\"" + quotedSafe(name) +
                       "\"; filename=\"" + quotedSafe(fileName) + "\"");
      append(body, kCrlf);
      append(body, "Content-Type: " + mimeType2(path));
      append(body, kCrlf);
      append(body, kCrlf);
      if (const auto content = files::FileUtils::readFile(path)) {
        body.insert(body.end(), content->begin(), content->end());
      }
      append(body, kCrlf);
    }
  }
  append(body, "--" + boundary + "--");
  append(body, kCrlf);
  return body;
}

std::optional<platform::Bytes> HttpUtil::httpGet(const std::string& url,
                                                 const std::optional<json>& data,
                                                 const std::optional<json>& header,
                                                 double timeoutMs) {
  if (!url.starts_with("http")) return std::nullopt;
  const auto built = newGetUrl(url, data);
  if (!built) return std::nullopt;
  platform::HttpRequest request;
  request.url = *built;
  request.method = "GET";
  request.timeoutMs = timeoutMs;
  if (header && header->is_object()) {
    for (const auto& [name, value] : header->items()) request.setHeader(name, text(value));
  }
  const auto response = platform::sendHttp(request);
  if (!response) return std::nullopt;
  return response->body;
}

std::optional<platform::Bytes> HttpUtil::httpPostJsonAFData(const std::string& url,
                                                            double timeoutMs,
                                                            const std::string& body,
                                                            const std::optional<json>& header) {
  if (!platform::UrlQuery::valid(url)) return std::nullopt;
  platform::HttpRequest request;
  request.url = url;
  request.method = "POST";
  request.setHeader("Content-Type", "application/json");
  if (header && header->is_object()) {
    for (const auto& [name, value] : header->items()) request.setHeader(name, text(value));
  }
  request.timeoutMs = timeoutMs;
  request.body = platform::Bytes(body.begin(), body.end());
  const auto response = platform::sendHttp(request);
  if (!response) return std::nullopt;
  return response->body;
}

std::string HttpUtil::matchMimeType2(const std::optional<std::string>& extens) {
  static const std::map<std::string, std::string> table = [] {
    const std::pair<const char*, std::vector<const char*>> groups[] = {
        {"text/html", {"html", "htm", "shtml"}},
        {"text/css", {"css"}},
        {"text/xml", {"xml"}},
        {"image/gif", {"gif"}},
        {"image/jpeg", {"jpeg", "jpg"}},
        {"application/javascript", {"js"}},
        {"application/atom+xml", {"atom"}},
        {"application/rss+xml", {"rss"}},
        {"text/mathml", {"mml"}},
        {"text/plain", {"txt"}},
        {"text/vnd.sun.j2me.app-descriptor", {"jad"}},
        {"text/vnd.wap.wml", {"wml"}},
        {"text/x-component", {"htc"}},
        {"image/png", {"png"}},
        {"image/tiff", {"tif", "tiff"}},
        {"image/vnd.wap.wbmp", {"wbmp"}},
        {"image/x-icon", {"ico"}},
        {"image/x-jng", {"jng"}},
        {"image/x-ms-bmp", {"bmp"}},
        {"image/svg+xml", {"svg", "svgz"}},
        {"image/webp", {"webp"}},
        {"application/font-woff", {"woff"}},
        {"application/java-archive", {"jar", "war", "ear"}},
        {"application/json", {"json"}},
        {"application/mac-binhex40", {"hqx"}},
        {"application/msword", {"doc"}},
        {"application/pdf", {"pdf"}},
        {"application/postscript", {"ps", "eps", "ai"}},
        {"application/rtf", {"rtf"}},
        {"application/vnd.apple.mpegurl", {"m3u8"}},
        {"application/vnd.ms-excel", {"xls"}},
        {"application/vnd.ms-fontobject", {"eot"}},
        {"application/vnd.ms-powerpoint", {"ppt"}},
        {"application/vnd.wap.wmlc", {"wmlc"}},
        {"application/vnd.google-earth.kml+xml", {"kml"}},
        {"application/vnd.google-earth.kmz", {"kmz"}},
        {"application/x-7z-compressed", {"7z"}},
        {"application/x-cocoa", {"cco"}},
        {"application/x-java-archive-diff", {"jardiff"}},
        {"application/x-java-jnlp-file", {"jnlp"}},
        {"application/x-makeself", {"run"}},
        {"application/x-perl", {"pl", "pm"}},
        {"application/x-pilot", {"prc", "pdb"}},
        {"application/x-rar-compressed", {"rar"}},
        {"application/x-redhat-package-manager", {"rpm"}},
        {"application/x-sea", {"sea"}},
        {"application/x-shockwave-flash", {"swf"}},
        {"application/x-stuffit", {"sit"}},
        {"application/x-tcl", {"tcl", "tk"}},
        {"application/x-x509-ca-cert", {"der", "pem", "crt"}},
        {"application/x-xpinstall", {"xpi"}},
        {"application/xhtml+xml", {"xhtml"}},
        {"application/xspf+xml", {"xspf"}},
        {"application/zip", {"zip"}},
        {"application/octet-stream",
         {"bin", "exe", "dll", "deb", "dmg", "iso", "img", "msi", "msp", "msm"}},
        {"application/vnd.openxmlformats-officedocument.wordprocessingml.document", {"docx"}},
        {"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet", {"xlsx"}},
        {"application/vnd.openxmlformats-officedocument.presentationml.presentation", {"pptx"}},
        {"audio/midi", {"mid", "midi", "kar"}},
        {"audio/mpeg", {"mp3"}},
        {"audio/ogg", {"ogg"}},
        {"audio/x-m4a", {"m4a"}},
        {"audio/x-realaudio", {"ra"}},
        {"video/3gpp", {"3gpp", "3gp"}},
        {"video/mp2t", {"ts"}},
        {"video/mp4", {"mp4"}},
        {"video/mpeg", {"mpeg", "mpg"}},
        {"video/quicktime", {"mov"}},
        {"video/webm", {"webm"}},
        {"video/x-flv", {"flv"}},
        {"video/x-m4v", {"m4v"}},
        {"video/x-mng", {"mng"}},
        {"video/x-ms-asf", {"asx", "asf"}},
        {"video/x-ms-wmv", {"wmv"}},
        {"video/x-msvideo", {"avi"}},
    };
    std::map<std::string, std::string> t;
    for (const auto& [type, extensions] : groups) {
      for (const char* e : extensions) t.emplace(e, type);
    }
    return t;
  }();
  if (!extens) return "application/octet-stream";
  std::string lower = *extens;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const auto found = table.find(lower);
  return found == table.end() ? "application/octet-stream" : found->second;
}

std::string HttpUtil::mimeType2(const std::string& path) {
  const auto slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const auto dot = name.rfind('.');
  return matchMimeType2(dot == std::string::npos ? std::string() : name.substr(dot + 1));
}

}  // namespace vistrel::http
