#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace vistrel::touch {

/// The W3C WebDriver pointer actions of one finger. Each action operation appends to `array` and
/// returns this object, so calls chain.
class MultiTouchProcess {
 public:
  static constexpr const char* type_pointerDown = "pointerDown";
  static constexpr const char* type_pointerMove = "pointerMove";
  static constexpr const char* type_pause = "pause";
  static constexpr const char* type_pointerUp = "pointerUp";

  /// The input source id becomes "finger" and the number's digits.
  MultiTouchProcess& setId(std::int64_t id);
  /// A move to (x, y) divided by `scale` (unscaled when scale is 0 or below), as real numbers,
  /// lasting `duration` milliseconds (a negative duration lasts 0); nothing when x or y is absent.
  MultiTouchProcess& pointerMove(std::optional<std::int64_t> x, std::optional<std::int64_t> y,
                                 std::int64_t duration, double scale);
  /// A press of the primary button (the touch contact).
  MultiTouchProcess& pointerDown();
  /// A release of the primary button.
  MultiTouchProcess& pointerUp();
  /// A pause: 50 ms when absent, nothing for 0 or less. Held as a 32-bit real, written as an
  /// integer number of milliseconds.
  MultiTouchProcess& pause(std::optional<std::int64_t> duration);
  /// Appends a pause of exactly `duration` milliseconds (the wait step of a gesture).
  MultiTouchProcess& waitStep(std::int64_t duration);

  /// {"actions": [...], "type": "pointer", "id": id, "parameters": {"pointerType": "touch"}}.
  nlohmann::json toAction() const;

  const std::vector<nlohmann::json>& array() const { return array_; }
  const std::string& id() const { return id_; }

 private:
  std::vector<nlohmann::json> array_;
  std::string id_;
};

}  // namespace vistrel::touch
