#pragma once

#include <cstdint>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vistrel/api/Records.h"

namespace vistrel::api {

/// Static JSON text helpers shared by every subsystem. None of them throws.
class StringUtil {
 public:
  /// Decodes `text` as the record: the top level must be an object; absent keys and nulls leave
  /// fields absent; a value of the wrong JSON type fails the whole record. A failure writes one
  /// line describing it to standard output and gives absent.
  template <typename Record>
  static std::optional<Record> jsonDecode(std::string_view text);

  /// Compact JSON of result points: [{"x":3,"y":4,"index":0}], members in the order x, y, index,
  /// absent members left out.
  static std::string jsonEncodeString(const std::vector<FindPoint>& points);
  static std::string jsonEncodeString(const FindPoint& point);

  /// Member `key` of a parsed value as text: integral numbers as digits, booleans as "true" or
  /// "false", strings as they are (the string "null" gives ""), other numbers in their shortest
  /// form, objects and arrays pretty-printed; "null" for null, an absent key or a value that is
  /// not an object; "" when it cannot be written.
  static std::string getJSONStringData(std::string_view key, const nlohmann::json& json);

  /// Member `key` of the JSON text read as a decimal integer; absent when the text does not
  /// parse, the member reads "null" or "", or is no decimal integer.
  static std::optional<std::int64_t> getJSONStringDataByInt(std::string_view key,
                                                            std::string_view data);

  /// Loose value to text: absent gives ""; integers (JSON booleans included, as 1 and 0) their
  /// digits; reals "%f"; native booleans "true"/"false"; texts themselves.
  static std::string anyToString(const std::optional<nlohmann::json>& value);
  static std::string anyToString(float value);
  static std::string anyToString(double value);
  static std::string anyToString(bool value);

  /// Loose value to integer (`textToInt` of `anyToString`): a text with "." read as a real and
  /// truncated; otherwise a decimal
  /// integer; anything unreadable (or out of the 64-bit range) gives 0.
  static std::int64_t anyToInt(const std::optional<nlohmann::json>& value);
  static std::int64_t textToInt(std::string_view text);

  /// Compact JSON of a valid JSON tree (an object or array whose numbers are finite); "" for
  /// anything else.
  static std::string convertToJsonString(const nlohmann::json& value);

  /// Parses a JSON object text; a parse error writes one line to standard output; absent for a
  /// failed parse or a top level that is not an object.
  static std::optional<nlohmann::json> convertJsonToDictAny(std::string_view data);

  /// Parses a JSON text whose top level is an object or an array; absent otherwise.
  static std::optional<nlohmann::json> parse(std::string_view text);
};

}  // namespace vistrel::api
