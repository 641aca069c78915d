#include "vistrel/api/StringUtil.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/TestImages.h"

namespace vistrel::api {
namespace {

using nlohmann::json;

TEST(JsonDecode, DecodesPresentFieldsAndLeavesTheRestAbsent) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(R"({"imageId": "A", "x": 5})");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->imageId, "A");
  EXPECT_EQ(s->x, 5);
  EXPECT_FALSE(s->y || s->w || s->h || s->limit || s->orz || s->threshold || s->firstColor ||
               s->colorPoints || s->degree || s->allNotEquals);
}

TEST(JsonDecode, ValidAndInvalidRecordTexts) {
  struct Case {
    const char* label;
    const char* text;
    bool decodes;
  };
  const Case cases[] = {
      {"x as a string fails", R"({"x": "5"})", false},
      {"x with a fraction fails", R"({"x": 5.5})", false},
      {"imageId as a number fails", R"({"imageId": 7})", false},
      {"threshold as a string fails", R"({"threshold": "0.9"})", false},
      {"an array fails", R"([1, 2])", false},
      {"a bare string fails", R"("text")", false},
      {"not JSON fails", R"({"imageId": )", false},
      {"the empty text fails", "", false},
      {"x beyond 64 bits fails", R"({"x": 18446744073709551615})", false},
      {"a threshold beyond single precision fails", R"({"threshold": 1e300})", false},
      {"null leaves x absent", R"({"x": null})", true},
      {"an integral threshold decodes", R"({"threshold": 1})", true},
      {"unknown keys are ignored", R"({"imageId": "A", "foo": 1})", true},
      {"an empty object decodes", "{}", true},
      {"negative integers decode", R"({"x": -3})", true},
  };
  for (const auto& c : cases) {
    test::CapturedOutput out;
    const auto s = StringUtil::jsonDecode<ImageColorSelector>(c.text);
    EXPECT_EQ(s.has_value(), c.decodes) << c.label;
    // A failure writes exactly one line describing it.
    EXPECT_EQ(out.lines.size(), c.decodes ? 0u : 1u) << c.label;
  }
}

TEST(JsonDecode, NullAndIntegralThresholdValues) {
  const auto s = StringUtil::jsonDecode<ImageColorSelector>(R"({"x": null, "threshold": 1})");
  ASSERT_TRUE(s);
  EXPECT_FALSE(s->x);
  EXPECT_EQ(s->threshold, 1.0f);
}

TEST(JsonDecode, OtherRecords) {
  const auto f = StringUtil::jsonDecode<FindImageByColorSelector>(
      R"({"imageId": "A", "templateId": "B", "extra": "{}", "limit": 3})");
  ASSERT_TRUE(f);
  EXPECT_EQ(f->templateId, "B");
  EXPECT_EQ(f->extra, "{}");
  EXPECT_EQ(f->limit, 3);
  test::CapturedOutput out;
  EXPECT_FALSE(StringUtil::jsonDecode<FindImageByColorSelectorExtra>(R"({"startX": 5})"));
  const auto m = StringUtil::jsonDecode<OpencvMatchParam>(R"({"maxLevel": -1, "method": 5})");
  ASSERT_TRUE(m);
  EXPECT_EQ(m->maxLevel, -1);
  EXPECT_EQ(m->method, 5);
}

TEST(JsonEncode, PointsInMemberOrderWithAbsentMembersLeftOut) {
  EXPECT_EQ(StringUtil::jsonEncodeString(std::vector<FindPoint>{{3, 4, 0}}),
            R"([{"x":3,"y":4,"index":0}])");
  EXPECT_EQ(StringUtil::jsonEncodeString(std::vector<FindPoint>{{std::nullopt, 4, 1}, {-1, 2, 0}}),
            R"([{"y":4,"index":1},{"x":-1,"y":2,"index":0}])");
  EXPECT_EQ(StringUtil::jsonEncodeString(std::vector<FindPoint>{}), "[]");
}

TEST(GetJSONStringData, EachKindOfMember) {
  struct Case {
    const char* label;
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"integer", R"({"use": 1})", "1"},       {"string", R"({"use": "1"})", "1"},
      {"boolean", R"({"use": true})", "true"}, {"the string null", R"({"use": "null"})", ""},
      {"null", R"({"use": null})", "null"},    {"absent", R"({})", "null"},
      {"fraction", R"({"use": 5.5})", "5.5"},  {"integral real", R"({"use": 5.0})", "5"},
      {"negative", R"({"use": -7})", "-7"},    {"top level array", R"([1])", "null"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StringUtil::getJSONStringData("use", json::parse(c.text)), c.expected) << c.label;
  }
  const std::string nested =
      StringUtil::getJSONStringData("use", json::parse(R"({"use": {"a": 1}})"));
  EXPECT_EQ(json::parse(nested), json::parse(R"({"a": 1})"));
}

TEST(GetJSONStringDataByInt, ReadsDecimalIntegersOnly) {
  EXPECT_EQ(StringUtil::getJSONStringDataByInt("k", R"({"k": 5})"), 5);
  EXPECT_EQ(StringUtil::getJSONStringDataByInt("k", R"({"k": "5"})"), 5);
  EXPECT_EQ(StringUtil::getJSONStringDataByInt("k", R"({"k": "-5"})"), -5);
  EXPECT_EQ(StringUtil::getJSONStringDataByInt("k", R"({"k": 5.5})"), std::nullopt);
  EXPECT_EQ(StringUtil::getJSONStringDataByInt("k", R"({"k": " 5"})"), std::nullopt);
  EXPECT_EQ(StringUtil::getJSONStringDataByInt("k", R"({})"), std::nullopt);
  EXPECT_EQ(StringUtil::getJSONStringDataByInt("k", R"({"k": ""})"), std::nullopt);
  EXPECT_EQ(StringUtil::getJSONStringDataByInt("k", "not json"), std::nullopt);
}

TEST(AnyToInt, LooseValues) {
  struct Case {
    std::optional<json> value;
    std::int64_t expected;
  };
  const Case cases[] = {
      {json("3"), 3},
      {json("-1"), -1},
      {json("2.9"), 2},
      {json("-2.9"), -2},
      {json("abc"), 0},
      {std::nullopt, 0},
      {json(7), 7},
      {json(true), 1},
      {json(4.5), 4},
      {json("1e30.5"), 0},
      {json("100000000000000000000.0"), 0},
      {json(""), 0},
      {json("+4"), 4},
      {json("99999999999999999999"), 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StringUtil::anyToInt(c.value), c.expected) << (c.value ? c.value->dump() : "absent");
  }
}

TEST(AnyToString, LooseValues) {
  EXPECT_EQ(StringUtil::anyToString(0.5f), "0.500000");
  EXPECT_EQ(StringUtil::anyToString(0.25), "0.250000");
  EXPECT_EQ(StringUtil::anyToString(true), "true");
  EXPECT_EQ(StringUtil::anyToString(std::optional<json>(json::parse(R"({"a": true})")["a"])), "1");
  EXPECT_EQ(StringUtil::anyToString(std::optional<json>(json("text"))), "text");
  EXPECT_EQ(StringUtil::anyToString(std::optional<json>(json(12))), "12");
  EXPECT_EQ(StringUtil::anyToString(std::optional<json>()), "");
}

TEST(ConvertToJsonString, ValidTreesOnly) {
  EXPECT_EQ(StringUtil::convertToJsonString(json::parse(R"({"a": [1, "b", null, true]})")),
            R"({"a":[1,"b",null,true]})");
  EXPECT_EQ(StringUtil::convertToJsonString(json::array()), "[]");
  EXPECT_EQ(StringUtil::convertToJsonString(json("text")), "");
  EXPECT_EQ(StringUtil::convertToJsonString(json(3)), "");
  EXPECT_EQ(StringUtil::convertToJsonString(json{{"nan", std::nan("")}}), "");
}

TEST(ConvertJsonToDictAny, ObjectsOnly) {
  test::CapturedOutput out;
  EXPECT_TRUE(StringUtil::convertJsonToDictAny(R"({"a": {"b": [1]}})"));
  EXPECT_FALSE(StringUtil::convertJsonToDictAny("[1]"));
  EXPECT_TRUE(out.lines.empty());
  EXPECT_FALSE(StringUtil::convertJsonToDictAny("{"));
  EXPECT_EQ(out.lines.size(), 1u);
}

}  // namespace
}  // namespace vistrel::api
