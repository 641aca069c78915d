// Round trips of httpGet and requestEx against a server on 127.0.0.1, beside the same GET made
// with libcurl directly: the difference is the library's own overhead.

#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <httplib.h>

#include <thread>

#include "vistrel/api/AutoApi.h"

namespace {

using vistrel::api::AutoApi;

struct Server {
  Server() {
    server.Get("/hello", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("hello", "text/plain");
    });
    port = server.bind_to_any_port("127.0.0.1");
    thread = std::thread([this] { server.listen_after_bind(); });
    while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ~Server() {
    server.stop();
    thread.join();
  }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port) + "/hello"; }
  httplib::Server server;
  int port = 0;
  std::thread thread;
};

Server& loopback() {
  static Server s;
  return s;
}

void BM_HttpGet(benchmark::State& state) {
  const std::string url = loopback().url();
  for (auto _ : state) {
    if (AutoApi::getInstance().httpGet(url, "5000") != "hello") {
      state.SkipWithError("no answer");
      break;
    }
  }
}
BENCHMARK(BM_HttpGet)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

void BM_RequestEx(benchmark::State& state) {
  const std::string options = R"({"url": ")" + loopback().url() +
                              R"(", "method": "GET", "data": {"a": 1}, "cookie": {"c": 2}})";
  for (auto _ : state) {
    if (AutoApi::getInstance().requestEx(options).find(R"("body":"hello")") == std::string::npos) {
      state.SkipWithError("no answer");
      break;
    }
  }
}
BENCHMARK(BM_RequestEx)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

std::size_t discard(char*, std::size_t size, std::size_t count, void*) { return size * count; }

// Peer: one plain libcurl GET with a fresh handle, as each library call makes.
void BM_Peer_CurlGet(benchmark::State& state) {
  const std::string url = loopback().url();
  for (auto _ : state) {
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &discard);
    const CURLcode rc = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    if (rc != CURLE_OK) {
      state.SkipWithError("no answer");
      break;
    }
  }
}
BENCHMARK(BM_Peer_CurlGet)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

}  // namespace
