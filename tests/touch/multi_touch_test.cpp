#include "vistrel/touch/MultiTouchProcessArray.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace vistrel::touch {
namespace {

using nlohmann::json;

// The W3C WebDriver rules for pointer input sources that a conforming server applies before it
// performs anything: a violation there fails the whole request with "invalid argument".
std::string w3cViolation(const json& sources) {
  if (!sources.is_array()) return "sources are not a list";
  std::set<std::string> ids;
  for (const auto& source : sources) {
    if (source.value("type", "") != "pointer") return "source type is not pointer";
    if (!source.contains("id") || !source["id"].is_string()) return "id is not a string";
    if (!ids.insert(source["id"].get<std::string>()).second) return "repeated id";
    const auto& parameters = source.value("parameters", json::object());
    const std::string pointerType = parameters.value("pointerType", "mouse");
    if (pointerType != "mouse" && pointerType != "pen" && pointerType != "touch") {
      return "bad pointerType";
    }
    if (!source.contains("actions") || !source["actions"].is_array()) return "actions missing";
    for (const auto& action : source["actions"]) {
      const std::string type = action.value("type", "");
      const auto nonNegativeInteger = [&](const char* key) {
        return action[key].is_number_integer() && action[key].get<std::int64_t>() >= 0;
      };
      if (type == "pause") {
        if (action.contains("duration") && !nonNegativeInteger("duration")) return "pause duration";
      } else if (type == "pointerDown" || type == "pointerUp") {
        if (!action.contains("button") || !nonNegativeInteger("button"))
          return type + " without button";
      } else if (type == "pointerMove") {
        if (action.contains("duration") && !nonNegativeInteger("duration")) return "move duration";
        for (const char* axis : {"x", "y"}) {
          if (!action.contains(axis) || !action[axis].is_number() ||
              !std::isfinite(action[axis].get<double>())) {
            return std::string("move ") + axis;
          }
        }
      } else {
        return "unknown action type " + type;
      }
    }
  }
  return "";
}

json convert(const std::string& gesture, double scale) {
  const auto decoded = MultiTouchOrg::decode(gesture);
  EXPECT_TRUE(decoded) << gesture;
  const json out = json::parse(MultiTouchProcessArray().parse(*decoded, scale));
  EXPECT_EQ(w3cViolation(out), "") << out.dump();
  return out;
}

TEST(MultiTouch, WorkedExampleWithButtons) {
  const json out = convert(R"({"finger1": [{"action": 0, "x": 100, "y": 200, "delay": 0},
                                           {"action": 3, "delay": 50},
                                           {"action": 1, "x": 100, "y": 200, "delay": 0}]})",
                           2.0);
  const json expected = json::parse(R"([{
      "type": "pointer", "id": "finger1", "parameters": {"pointerType": "touch"},
      "actions": [
        {"type": "pointerMove", "x": 50.0, "y": 100.0, "duration": 0},
        {"type": "pointerDown", "button": 0},
        {"type": "pause", "duration": 50},
        {"type": "pointerMove", "x": 50.0, "y": 100.0, "duration": 0},
        {"type": "pointerUp", "button": 0}]}])");
  EXPECT_EQ(out, expected);
}

TEST(MultiTouch, EdgeCases) {
  struct Case {
    const char* label;
    const char* gesture;
    double scale;
    const char* expectedActions;  // of the first source, or the whole answer for "[]"
  };
  const Case cases[] = {
      {"all steps skipped",
       R"({"finger2": [{"action": 7, "x": 1, "y": 1}, {"action": 2, "x": 5}]})", 1.0, "[]"},
      {"wait with delay 0 or absent", R"({"finger1": [{"action": 3, "delay": 0}, {"action": 3}]})",
       1.0, "[]"},
      {"no action", R"({"finger1": [{"x": 1, "y": 1}]})", 1.0, "[]"},
      {"scale 0 passes through", R"({"finger1": [{"action": 2, "x": 301, "y": 7, "delay": 5}]})",
       0.0, R"([{"type":"pointerMove","x":301.0,"y":7.0,"duration":5}])"},
      {"scale 3 keeps the fraction",
       R"({"finger1": [{"action": 2, "x": 301, "y": 3, "delay": 5}]})", 3.0,
       R"([{"type":"pointerMove","x":100.33333333333333,"y":1.0,"duration":5}])"},
      {"no delay moves instantly", R"({"finger1": [{"action": 0, "x": 4, "y": 4}]})", 1.0,
       R"([{"type":"pointerMove","x":4.0,"y":4.0,"duration":0},{"type":"pointerDown","button":0}])"},
      {"a negative delay lasts 0", R"({"finger1": [{"action": 2, "x": 4, "y": 4, "delay": -9}]})",
       1.0, R"([{"type":"pointerMove","x":4.0,"y":4.0,"duration":0}])"},
  };
  for (const auto& c : cases) {
    const json out = convert(c.gesture, c.scale);
    ASSERT_EQ(out.size(), 1u) << c.label;
    EXPECT_EQ(out[0]["actions"], json::parse(c.expectedActions)) << c.label;
  }
}

TEST(MultiTouch, FingersKeepTheirOwnNumbersAndEmptyListsAreLeftOut) {
  EXPECT_EQ(convert("{}", 1.0), json::array());
  const json out = convert(R"({"finger1": [], "finger3": [{"action": 2, "x": 1, "y": 1}]})", 1.0);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0]["id"], "finger3");
}

TEST(MultiTouch, AConverterAccumulatesAcrossParses) {
  MultiTouchProcessArray converter;
  const auto first = *MultiTouchOrg::decode(R"({"finger1": [{"action": 2, "x": 1, "y": 1}]})");
  const auto second = *MultiTouchOrg::decode(R"({"finger2": [{"action": 2, "x": 2, "y": 2}]})");
  converter.parse(first, 1.0);
  const json out = json::parse(converter.parse(second, 1.0));
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0]["id"], "finger1");
  EXPECT_EQ(out[1]["id"], "finger2");
}

TEST(MultiTouch, PauseDefaultsAndChaining) {
  MultiTouchProcess p;
  p.pause(std::nullopt).pause(0).pause(-3).pause(20).setId(4);
  const json action = p.toAction();
  EXPECT_EQ(action["id"], "finger4");
  EXPECT_EQ(action["actions"],
            json::parse(R"([{"type":"pause","duration":50},{"type":"pause","duration":20}])"));
}

TEST(MultiTouch, MalformedGesturesDoNotDecode) {
  for (const char* text :
       {"", "[]", "not json", R"({"finger1": {}})", R"({"finger1": [1]})",
        R"({"finger1": [{"x": "1"}]})", R"({"finger1": [{"x": 1.5}]})",
        R"({"finger1": [{"delay": 1e300}]})", R"({"finger1": [{"x": 18446744073709551615}]})"}) {
    EXPECT_FALSE(MultiTouchOrg::decode(text)) << text;
  }
}

TEST(MultiTouch, RecordsRoundTripThroughJson) {
  const char* text = R"({"finger2":[{"action":0,"delay":3,"pointer":1,"x":5,"y":6}]})";
  EXPECT_EQ(MultiTouchOrg::decode(text)->toJson(), json::parse(text));
}

}  // namespace
}  // namespace vistrel::touch
