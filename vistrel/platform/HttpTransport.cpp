#include "vistrel/platform/HttpTransport.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <mutex>

namespace vistrel::platform {
namespace {

struct CurlFree {
  void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct SlistFree {
  void operator()(curl_slist* s) const { curl_slist_free_all(s); }
};
struct UrlFree {
  void operator()(CURLU* u) const { curl_url_cleanup(u); }
};
struct CurlText {
  char* text = nullptr;
  ~CurlText() { curl_free(text); }
};

void globalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool sameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto* body = static_cast<Bytes*>(user);
  body->insert(body->end(), data, data + size * count);
  return size * count;
}

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto* headers = static_cast<std::vector<std::pair<std::string, std::string>>*>(user);
  std::string line(data, size * count);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  if (line.starts_with("HTTP/")) {
    headers->clear();  // a new response (after a redirect or an interim one)
  } else if (const auto colon = line.find(':'); colon != std::string::npos) {
    std::string name = line.substr(0, colon);
    std::string value = line.substr(colon + 1);
    const auto start = value.find_first_not_of(" \t");
    value = start == std::string::npos ? "" : value.substr(start);
    // Repeated headers are merged, as HTTP allows: "a, b".
    const auto same = std::find_if(headers->begin(), headers->end(),
                                   [&](const auto& h) { return sameName(h.first, name); });
    if (same != headers->end()) {
      same->second += ", " + value;
    } else {
      headers->emplace_back(std::move(name), std::move(value));
    }
  }
  return size * count;
}

bool unreserved(unsigned char c, std::string_view extra) {
  return std::isalnum(c) || extra.find(static_cast<char>(c)) != std::string_view::npos;
}

std::string percentEncode(const std::string& text, std::string_view allowed) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80 && unreserved(c, allowed)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string percentDecode(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() &&
        std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// Query item text: what a query allows, less the characters that separate items.
constexpr std::string_view kItemAllowed = "!$'()*,-./:;?@_~";

}  // namespace

void HttpRequest::setHeader(const std::string& name, std::string value) {
  const auto same = std::find_if(headers.begin(), headers.end(),
                                 [&](const auto& h) { return sameName(h.first, name); });
  if (same != headers.end()) {
    same->second = std::move(value);
  } else {
    headers.emplace_back(name, std::move(value));
  }
}

std::optional<HttpResponse> sendHttp(const HttpRequest& request) {
  globalInit();
  const std::unique_ptr<CURL, CurlFree> curl(curl_easy_init());
  if (!curl) return std::nullopt;
  HttpResponse response;
  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  const double timeout = request.timeoutMs > 0 ? request.timeoutMs : 10000;
  curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(std::min(timeout, 2147483647.0)));
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &onBody);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &response.body);
  curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &onHeader);
  curl_easy_setopt(c, CURLOPT_HEADERDATA, &response.headers);
  if (!request.method.empty()) curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, request.method.c_str());
  if (request.method == "HEAD") curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
  if (request.body) {
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, request.body->data());
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body->size()));
  }
  curl_slist* raw = nullptr;
  for (const auto& [name, value] : request.headers) {
    if (value.empty()) continue;  // empty headers are left out
    raw = curl_slist_append(raw, (name + ": " + value).c_str());
  }
  // curl adds "Expect: 100-continue" to large bodies (the server may not answer it) and a form
  // content type to every body; neither was asked for.
  raw = curl_slist_append(raw, "Expect:");
  const bool typed = std::any_of(request.headers.begin(), request.headers.end(), [](const auto& h) {
    return sameName(h.first, "Content-Type") && !h.second.empty();
  });
  if (!typed) raw = curl_slist_append(raw, "Content-Type:");
  const std::unique_ptr<curl_slist, SlistFree> headers(raw);
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
  if (curl_easy_perform(c) != CURLE_OK) return std::nullopt;
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &response.status);
  return response;
}

bool UrlQuery::valid(const std::string& url) {
  const std::unique_ptr<CURLU, UrlFree> u(curl_url());
  return u && curl_url_set(u.get(), CURLUPART_URL, url.c_str(), 0) == CURLUE_OK;
}

std::optional<std::string> UrlQuery::withItems(
    const std::string& url, const std::vector<std::pair<std::string, std::string>>& extra) {
  const std::unique_ptr<CURLU, UrlFree> u(curl_url());
  if (!u || curl_url_set(u.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) {
    return std::nullopt;
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> items;
  {
    CurlText query;
    if (curl_url_get(u.get(), CURLUPART_QUERY, &query.text, 0) == CURLUE_OK && query.text) {
      std::string q = query.text;
      std::size_t at = 0;
      while (at <= q.size()) {
        const auto amp = q.find('&', at);
        const std::string item =
            q.substr(at, amp == std::string::npos ? std::string::npos : amp - at);
        if (!item.empty()) {
          const auto eq = item.find('=');
          if (eq == std::string::npos) {
            items.emplace_back(percentDecode(item), std::nullopt);
          } else {
            items.emplace_back(percentDecode(item.substr(0, eq)),
                               percentDecode(item.substr(eq + 1)));
          }
        }
        if (amp == std::string::npos) break;
        at = amp + 1;
      }
    }
  }
  for (const auto& [name, value] : extra) items.emplace_back(name, value);
  if (!items.empty()) {
    std::string query;
    for (const auto& [name, value] : items) {
      if (!query.empty()) query += '&';
      query += percentEncode(name, kItemAllowed);
      if (value) query += "=" + percentEncode(*value, kItemAllowed);
    }
    if (curl_url_set(u.get(), CURLUPART_QUERY, query.c_str(), 0) != CURLUE_OK) return std::nullopt;
  }
  CurlText full;
  if (curl_url_get(u.get(), CURLUPART_URL, &full.text, 0) != CURLUE_OK || !full.text) {
    return std::nullopt;
  }
  return std::string(full.text);
}

std::string UrlQuery::encodeQueryAllowed(const std::string& text) {
  return percentEncode(text, "!$&'()*+,-./:;=?@_~");
}

}  // namespace vistrel::platform
