#pragma once

#include <array>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>
#include <vector>

namespace vistrel::touch {

/// One touch step: action 0 press, 1 release, 2 move, 3 wait; position in pixels; delay in
/// milliseconds. Every member is optional; JSON keys equal the member names.
struct MultiTouch {
  std::optional<std::int64_t> action;
  std::optional<std::int64_t> x;
  std::optional<std::int64_t> y;
  std::optional<std::int64_t> pointer;
  std::optional<std::int64_t> delay;

  bool operator==(const MultiTouch&) const = default;
};

/// One gesture: up to five fingers, each an optional list of steps (keys "finger1" to "finger5").
struct MultiTouchOrg {
  std::optional<std::vector<MultiTouch>> finger1;
  std::optional<std::vector<MultiTouch>> finger2;
  std::optional<std::vector<MultiTouch>> finger3;
  std::optional<std::vector<MultiTouch>> finger4;
  std::optional<std::vector<MultiTouch>> finger5;

  /// The list of finger `number` (1 to 5).
  const std::optional<std::vector<MultiTouch>>& finger(int number) const;

  /// Decodes the gesture's JSON text; absent when it is no JSON object or a member has the wrong
  /// type (a step member that is not an integer in the 64-bit range, a finger that is not a list
  /// of objects).
  static std::optional<MultiTouchOrg> decode(std::string_view text);
  /// The gesture's JSON form, absent members left out.
  nlohmann::json toJson() const;
};

}  // namespace vistrel::touch
