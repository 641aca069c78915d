#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "vistrel/platform/PlatformImage.h"

namespace vistrel::platform {

/// One HTTP exchange for the transport.
struct HttpRequest {
  std::string url;
  std::string method = "GET";
  /// In the order set; a later header of the same name (case ignored) replaces an earlier one.
  std::vector<std::pair<std::string, std::string>> headers;
  std::optional<Bytes> body;
  double timeoutMs = 10000;

  void setHeader(const std::string& name, std::string value);
};

struct HttpResponse {
  long status = 0;
  /// In the order received (of the final response after redirects).
  std::vector<std::pair<std::string, std::string>> headers;
  Bytes body;
};

/// Sends the request once over libcurl, following redirects, http and https only; blocks the
/// caller until the exchange is over. Absent on a transport failure or timeout. Headers whose
/// value is empty are left out.
std::optional<HttpResponse> sendHttp(const HttpRequest& request);

/// URL parsing and query items (libcurl's URL interface).
struct UrlQuery {
  /// Whether the text is a valid absolute URL.
  static bool valid(const std::string& url);
  /// The URL with its query replaced by its existing items followed by `extra`, names and values
  /// percent-encoded for a query; absent when the URL does not parse.
  static std::optional<std::string> withItems(
      const std::string& url, const std::vector<std::pair<std::string, std::string>>& extra);
  /// Every character other than ASCII letters, digits and ! $ & ' ( ) * + , - . / : ; = ? @ _ ~
  /// as percent forms of its UTF-8 bytes (the percent sign included).
  static std::string encodeQueryAllowed(const std::string& text);
};

}  // namespace vistrel::platform
