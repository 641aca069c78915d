// Requests against a real HTTP server on 127.0.0.1, started by the test itself.

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <nlohmann/json.hpp>
#include <thread>

#include "vistrel/api/AutoApi.h"
#include "vistrel/http/HttpUtil.h"

namespace vistrel::http {
namespace {

using nlohmann::json;

// What the server received last.
struct Seen {
  std::string method, target, body;
  httplib::Headers headers;
  httplib::MultipartFormDataMap parts;  // a multipart body, as the server parsed it
};

class LoopbackServer {
 public:
  LoopbackServer() {
    const auto record = [this](const httplib::Request& req, httplib::Response& res) {
      {
        const std::lock_guard lock(mutex_);
        seen_ = {req.method, req.target, req.body, req.headers, req.files};
      }
      res.set_header("Set-Cookie", "sid=ab=c; path=/; HttpOnly");
      res.set_header("charset", "utf-8");
      res.set_content("ok", "text/plain");
    };
    server_.Get("/echo", record);
    server_.Post("/echo", record);
    server_.Put("/echo", record);
    server_.Delete("/echo", record);
    server_.Get("/status/500", [](const httplib::Request&, httplib::Response& res) {
      res.status = 500;
      res.set_content("boom", "text/plain");
    });
    server_.Post("/status/500", [](const httplib::Request&, httplib::Response& res) {
      res.status = 500;
      res.set_content("post boom", "text/plain");
    });
    server_.Get("/status/404", [](const httplib::Request&, httplib::Response& res) {
      res.status = 404;
      res.set_content("missing", "text/plain");
    });
    server_.Get("/binary", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(std::string("\xff\xfe\x00", 3), "application/octet-stream");
    });
    server_.Get("/slow", [](const httplib::Request&, httplib::Response& res) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1500));
      res.set_content("late", "text/plain");
    });
    server_.Get("/redirect", [](const httplib::Request&, httplib::Response& res) {
      res.set_redirect("/echo?moved=1");
    });
    // Every request, also those the server refuses before a handler runs.
    server_.set_logger([this](const httplib::Request& req, const httplib::Response&) {
      const std::lock_guard lock(mutex_);
      if (seen_.target != req.target || seen_.method != req.method) {
        seen_ = {req.method, req.target, req.body, req.headers, req.files};
      }
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ~LoopbackServer() {
    server_.stop();
    thread_.join();
  }
  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  Seen seen() {
    const std::lock_guard lock(mutex_);
    return seen_;
  }
  // The server may record a request just after its response went out: wait for it.
  Seen await(const std::string& target) {
    for (int i = 0; i < 300; ++i) {
      Seen s = seen();
      if (s.target == target) return s;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return seen();
  }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  Seen seen_;
};

class Http : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server = new LoopbackServer(); }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }
  static json request(const json& options) {
    return json::parse(HttpUtil::requestEx2(options.dump()));
  }
  static LoopbackServer* server;
};
LoopbackServer* Http::server = nullptr;

TEST_F(Http, GetWithExistingQueryItemsAndData) {
  const json r =
      request({{"url", server->url("/echo?a=1")}, {"method", "GET"}, {"data", {{"b", 2}}}});
  EXPECT_EQ(r["statusCode"], 200);
  EXPECT_EQ(r["body"], "ok");
  EXPECT_EQ(server->seen().target, "/echo?a=1&b=2");
  EXPECT_EQ(r["contentType"], "text/plain");
  EXPECT_EQ(r["header"]["Content-Type"], "text/plain");
  EXPECT_EQ(r["charset"], "utf-8");
  EXPECT_EQ(r["cookie"], json::parse(R"({"sid":"ab=c","path":"/"})"));
}

TEST_F(Http, PercentSequencesAreEncodedAgain) {
  request({{"url", server->url("/echo?q=a%20b")}, {"method", "GET"}});
  EXPECT_EQ(server->seen().target, "/echo?q=a%2520b");
}

TEST_F(Http, DeleteWithDataAndLowerCaseMethods) {
  request({{"url", server->url("/echo")}, {"method", "DELETE"}, {"data", {{"k", "v w"}}}});
  EXPECT_EQ(server->seen().method, "DELETE");
  EXPECT_EQ(server->seen().target, "/echo?k=v%20w");
}

TEST_F(Http, PostBodies) {
  // A raw body wins over data and sets no multipart type.
  request({{"url", server->url("/echo")},
           {"method", "POST"},
           {"requestBody", "raw text"},
           {"data", {{"a", "1"}}}});
  Seen s = server->seen();
  EXPECT_EQ(s.body, "raw text");
  EXPECT_EQ(s.headers.count("Content-Type"), 0u);
  // No body, data or file: a multipart request whose body holds no part.
  request({{"url", server->url("/echo?empty=1")}, {"method", "POST"}});
  s = server->await("/echo?empty=1");
  EXPECT_EQ(s.target, "/echo?empty=1");
  EXPECT_TRUE(s.headers.find("Content-Type")
                  ->second.starts_with("multipart/form-data; boundary=Boundary-"));
  EXPECT_TRUE(s.parts.empty());
  // Data given as an array: no body at all.
  request({{"url", server->url("/echo?array=1")}, {"method", "PUT"}, {"data", json::array({1})}});
  s = server->await("/echo?array=1");
  EXPECT_EQ(s.target, "/echo?array=1");
  EXPECT_EQ(s.body, "");
  EXPECT_EQ(s.headers.count("Content-Type"), 0u);
}

TEST_F(Http, MultipartFieldsThenFiles) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("vistrel-http-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto file = dir / "note.TXT";
  const std::string content = "line\r\nbytes\x01";
  std::ofstream(file, std::ios::binary) << content;
  const json files = {{"upload", file.string()}};
  const json data = {{"field", "value"}, {"n", 5}};
  request({{"url", server->url("/echo")}, {"method", "POST"}, {"data", data}, {"file", files}});
  // Parsed back by the server.
  const Seen s = server->seen();
  ASSERT_EQ(s.parts.size(), 3u);
  EXPECT_EQ(s.parts.find("field")->second.content, "value");
  EXPECT_EQ(s.parts.find("n")->second.content, "5");
  const auto& upload = s.parts.find("upload")->second;
  EXPECT_EQ(upload.filename, "note.TXT");
  EXPECT_EQ(upload.content_type, "text/plain");
  EXPECT_EQ(upload.content, content);
  // Byte for byte, with a known boundary.
  const auto body = HttpUtil::encoderFormData("B", data, files);
  EXPECT_EQ(std::string(body.begin(), body.end()),
            "--B\r\nContent-Disposition: form-data; name=\"field\"\r\n\r\nvalue\r\n"
            "--B\r\nContent-Disposition: form-data; name=\"n\"\r\n\r\n5\r\n"
            "--B\r\nContent-Disposition: form-data; name=\"upload\"; filename=\"note.TXT\"\r\n"
            "Content-Type: text/plain\r\n\r\n" +
                content + "\r\n--B--\r\n");
  const auto closing = HttpUtil::encoderFormData("B", json::object(), json::object());
  EXPECT_EQ(std::string(closing.begin(), closing.end()), "--B--\r\n");
  std::filesystem::remove_all(dir);
}

TEST_F(Http, MultipartNamesCannotInjectHeaders) {
  const auto body =
      HttpUtil::encoderFormData("B", json{{"a\"\r\nX-Injected: 1", "v"}}, json::object());
  const std::string text(body.begin(), body.end());
  EXPECT_EQ(text,
            "--B\r\nContent-Disposition: form-data; name=\"a%22%0D%0AX-Injected: "
            "1\"\r\n\r\nv\r\n--B--\r\n");
  const auto plain = HttpUtil::encoderFormData("B", json{{"name", "v"}}, std::nullopt);
  EXPECT_EQ(std::string(plain.begin(), plain.end()),
            "--B\r\nContent-Disposition: form-data; name=\"name\"\r\n\r\nv\r\n--B--\r\n");
}

TEST_F(Http, CookiesUserAgentAndHeaders) {
  request({{"url", server->url("/echo")},
           {"method", "GET"},
           {"cookie", {{"a", 1}}},
           {"userAgent", "vistrel-test"},
           {"header", {{"X-One", "1"}}}});
  const Seen s = server->seen();
  // "a=1; " on the wire; the server trims the trailing space of a header value.
  EXPECT_EQ(s.headers.find("Cookie")->second, "a=1;");
  EXPECT_EQ(s.headers.find("User-Agent")->second, "vistrel-test");
  EXPECT_EQ(s.headers.find("X-One")->second, "1");
}

TEST_F(Http, StatusesBodiesAndFailures) {
  const json error = request({{"url", server->url("/status/404")}, {"method", "GET"}});
  EXPECT_EQ(error["statusCode"], 404);
  EXPECT_EQ(error["body"], "missing");
  const json binary = request({{"url", server->url("/binary")}, {"method", "GET"}});
  EXPECT_EQ(binary["statusCode"], 200);
  EXPECT_FALSE(binary.contains("body"));
  const json moved = request({{"url", server->url("/redirect")}, {"method", "GET"}});
  EXPECT_EQ(moved["statusCode"], 200);
  EXPECT_EQ(server->seen().target, "/echo?moved=1");
  // A server that answers after the timeout, and a port nobody listens on.
  EXPECT_EQ(HttpUtil::requestEx2(
                json({{"url", server->url("/slow")}, {"method", "GET"}, {"timeout", 300}}).dump()),
            "{}");
  EXPECT_EQ(
      HttpUtil::requestEx2(json({{"url", "http://127.0.0.1:1/x"}, {"timeout", "300"}}).dump()),
      "{}");
  for (const char* bad :
       {R"({"url":"ftp://127.0.0.1/x"})", R"({"url":"HTTP://127.0.0.1/"})", "[]", "nope", "{}"}) {
    EXPECT_EQ(HttpUtil::requestEx2(bad), "") << bad;
  }
}

TEST_F(Http, SimpleGetAndJsonPost) {
  auto& api = api::AutoApi::getInstance();
  EXPECT_EQ(api.httpGet(server->url("/echo"), ""), "ok");
  EXPECT_EQ(api.httpGet(server->url("/status/500"), "abc"), "boom");
  EXPECT_EQ(api.httpGet("ftp://127.0.0.1/x", "100"), "");
  EXPECT_EQ(api.httpGet(server->url("/echo?a b"), "100"), "");
  EXPECT_EQ(api.httpGet(server->url("/binary"), "1000"), "");
  EXPECT_EQ(api.httpGet(server->url("/slow"), "300"), "");
  EXPECT_EQ(api.httpPostJson(server->url("/echo"), "", "not json {"), "ok");
  const Seen s = server->seen();
  EXPECT_EQ(s.body, "not json {");
  EXPECT_EQ(s.headers.find("Content-Type")->second, "application/json");
  EXPECT_EQ(api.httpPostJson(server->url("/status/500"), "1000", "{}"), "post boom");
  EXPECT_EQ(api.httpPostJson("file:///etc/passwd", "1000", "{}"), "");  // http and https only
}

TEST(MimeTypes, Lookups) {
  EXPECT_EQ(HttpUtil::matchMimeType2("JPG"), "image/jpeg");
  EXPECT_EQ(HttpUtil::matchMimeType2("jpeg2"), "application/octet-stream");
  EXPECT_EQ(HttpUtil::matchMimeType2(std::nullopt), "application/octet-stream");
  EXPECT_EQ(HttpUtil::matchMimeType2("pptx"),
            "application/vnd.openxmlformats-officedocument.presentationml.presentation");
  EXPECT_EQ(HttpUtil::mimeType2("/a/archive.tar.gz"), "application/octet-stream");
  EXPECT_EQ(HttpUtil::mimeType2("/a/b/page.html"), "text/html");
  EXPECT_EQ(HttpUtil::mimeType2("README"), "application/octet-stream");
  EXPECT_EQ(HttpUtil::timeoutOf("2500"), 2500);
  EXPECT_EQ(HttpUtil::timeoutOf("abc"), 10000);
}

}  // namespace
}  // namespace vistrel::http
