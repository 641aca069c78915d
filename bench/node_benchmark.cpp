// Element-tree queries on a generated page source of 5,000 elements in the host's vocabulary.

#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>

#include "vistrel/api/AutoApi.h"

namespace {

using vistrel::api::AutoApi;

// A window of 50 tables of 10 cells, each cell holding a text, a switch and a button: 5,000
// elements with the attributes a device agent writes.
const std::string& page() {
  static const std::string text = [] {
    std::string s =
        R"(<?xml version="1.0" encoding="UTF-8"?>)"
        "\n<XCUIElementTypeApplication type=\"XCUIElementTypeApplication\" name=\"App\" "
        "x=\"0\" y=\"0\" width=\"390\" height=\"844\" bounds=\"[0,0][390,844]\">"
        "<XCUIElementTypeWindow type=\"XCUIElementTypeWindow\" x=\"0\" y=\"0\" "
        "width=\"390\" height=\"844\" bounds=\"[0,0][390,844]\">";
    int n = 0;
    const auto leaf = [&](const char* type, int x, int y, int w, int h) {
      const std::string i = std::to_string(n++);
      s += "<XCUIElementType" + std::string(type) + " type=\"XCUIElementType" + type +
           "\" name=\"" + type + " " + i + "\" label=\"" + type + " label " + i + "\" value=\"" +
           std::to_string(n % 2) + "\" enable=\"true\" visible=\"true\" accessible=\"true\" x=\"" +
           std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" width=\"" + std::to_string(w) +
           "\" height=\"" + std::to_string(h) + "\" index=\"0\" depth=\"4\" bounds=\"[" +
           std::to_string(x) + "," + std::to_string(y) + "][" + std::to_string(x + w) + "," +
           std::to_string(y + h) + "]\"/>";
    };
    for (int t = 0; t < 50; ++t) {
      s += "<XCUIElementTypeTable type=\"XCUIElementTypeTable\" x=\"0\" y=\"" +
           std::to_string(t * 500) + "\" width=\"390\" height=\"500\">";
      for (int c = 0; c < 24; ++c) {
        const int y = t * 500 + c * 20;
        s += "<XCUIElementTypeCell type=\"XCUIElementTypeCell\" x=\"0\" y=\"" + std::to_string(y) +
             "\" width=\"390\" height=\"20\" bounds=\"[0," + std::to_string(y) + "][390," +
             std::to_string(y + 20) + "]\">";
        leaf("StaticText", 10, y, 100, 20);
        leaf("Switch", 300, y, 50, 20);
        leaf("Button", 200, y, 60, 20);
        s += "</XCUIElementTypeCell>";
      }
      s += "</XCUIElementTypeTable>";
    }
    return s + "</XCUIElementTypeWindow></XCUIElementTypeApplication>";
  }();
  return text;
}

void load() {
  static const bool loaded = AutoApi::getInstance().setDocument("bench", page()) == "ok";
  if (!loaded) std::abort();
}

void BM_SetDocument(benchmark::State& state) {
  for (auto _ : state) {
    if (AutoApi::getInstance().setDocument("bench-load", page()) != "ok") {
      state.SkipWithError("load failed");
      break;
    }
  }
}
BENCHMARK(BM_SetDocument)->Unit(benchmark::kMillisecond);

void query(benchmark::State& state, const std::string& selectors, std::size_t expected) {
  load();
  for (auto _ : state) {
    const std::string answer = AutoApi::getInstance().getNodeInfo("bench", selectors);
    if (answer.empty() || nlohmann::json::parse(answer).size() != expected) {
      state.SkipWithError("wrong answer");
      break;
    }
  }
}

void BM_GetNodeInfoByName(benchmark::State& state) {
  query(state, R"([{"name":"Switch 2500"}])", 1);
}
BENCHMARK(BM_GetNodeInfoByName)->Unit(benchmark::kMicrosecond);

void BM_GetNodeInfoByPattern(benchmark::State& state) {
  query(state, R"([{"labelMatch":"^Button label 1[0-9]{3}$"}])", 333);
}
BENCHMARK(BM_GetNodeInfoByPattern)->Unit(benchmark::kMicrosecond);

void BM_GetNodeInfoByBounds(benchmark::State& state) {
  query(state, R"([{"type":"Switch","bounds":"290,0,360,480"}])", 24);
}
BENCHMARK(BM_GetNodeInfoByBounds)->Unit(benchmark::kMicrosecond);

void BM_GetNodeInfoByXpath(benchmark::State& state) {
  query(state, R"([{"xpath":"//xcuielementtypeswitch[@name='Switch 2500']"}])", 1);
}
BENCHMARK(BM_GetNodeInfoByXpath)->Unit(benchmark::kMillisecond);

void BM_NavigateFromNid(benchmark::State& state) {
  load();
  auto& api = AutoApi::getInstance();
  const std::string nid =
      nlohmann::json::parse(api.getOneNodeInfo("bench", R"([{"name":"Switch 2500"}])"))["nid"];
  for (auto _ : state) {
    const std::string parent = api.getNodeInfoParent("bench", nid);
    const std::string siblings = api.getSiblingNodeInfo("bench", nid);
    if (parent.empty() || nlohmann::json::parse(siblings).size() != 2) {
      state.SkipWithError("wrong answer");
      break;
    }
  }
}
BENCHMARK(BM_NavigateFromNid)->Unit(benchmark::kMicrosecond);

}  // namespace
