#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "vistrel/platform/PlatformImage.h"

namespace vistrel::http {

/// HTTP requests for scripts. Every call blocks the caller until the exchange is over; nothing is
/// logged and no error text is returned.
class HttpUtil {
 public:
  /// The general request: options {"url","method","timeout","userAgent","header","cookie",
  /// "data","file","requestBody","followRedirects"}. The response object
  /// {"statusCode","header","cookie","body","contentType","charset"} as compact JSON; "{}" when
  /// no response arrived; "" for unusable options.
  static std::string requestEx2(const std::string& options);
  static std::string requestEx(const std::string& url, const std::string& method,
                               bool followRedirects, const std::optional<std::string>& userAgent,
                               const std::optional<nlohmann::json>& data, double timeoutMs,
                               const std::optional<nlohmann::json>& file,
                               const std::optional<std::string>& requestBody,
                               const std::optional<nlohmann::json>& header,
                               const std::optional<nlohmann::json>& cookie);
  /// The URL with its existing query items followed by the table's; absent when it cannot be built.
  static std::optional<std::string> newGetUrl(const std::string& url,
                                              const std::optional<nlohmann::json>& data);
  /// "name=value; " for every entry; absent without a table.
  static std::optional<std::string> cookieString(const std::optional<nlohmann::json>& cookie);
  /// The multipart body: fields, then files, then the closing line. A name or file name holding a
  /// line break or a double quote has them written as %0D, %0A and %22, so that no text can add
  /// header lines to the body.
  static platform::Bytes encoderFormData(const std::string& boundary,
                                         const std::optional<nlohmann::json>& data,
                                         const std::optional<nlohmann::json>& file);

  /// GET; the body bytes, or none.
  static std::optional<platform::Bytes> httpGet(const std::string& url,
                                                const std::optional<nlohmann::json>& data,
                                                const std::optional<nlohmann::json>& header,
                                                double timeoutMs);
  /// POST of a JSON text (sent unchanged with "Content-Type: application/json"); the body bytes.
  static std::optional<platform::Bytes> httpPostJsonAFData(
      const std::string& url, double timeoutMs, const std::string& body,
      const std::optional<nlohmann::json>& header);

  /// The MIME type of an extension (case ignored); "application/octet-stream" when unknown.
  static std::string matchMimeType2(const std::optional<std::string>& extens);
  /// The MIME type of a path's extension.
  static std::string mimeType2(const std::string& path);

  /// Milliseconds from a timeout text: empty or not a number gives 10000.
  static double timeoutOf(const std::string& text);
};

}  // namespace vistrel::http
