#pragma once

#include <optional>
#include <string>
#include <vector>

#include "vistrel/touch/MultiTouch.h"
#include "vistrel/touch/MultiTouchProcess.h"

namespace vistrel::touch {

/// Converts gestures into W3C WebDriver pointer input sources, accumulating them over its life.
class MultiTouchProcessArray {
 public:
  /// Converts fingers 1 to 5 of the gesture at `scale` pixels per point and answers every input
  /// source converted so far as compact JSON.
  std::string parse(const MultiTouchOrg& dd, double scale);
  /// Appends the finger's input source (id "finger" + fingerId); nothing for no sequence.
  void addMultiTouchProcess(std::optional<MultiTouchProcess> d, int fingerId);
  /// The accumulated input sources as compact JSON ("[]" when none).
  std::string toAction() const;

  /// The action sequence of one finger's steps; absent for an empty list.
  static std::optional<MultiTouchProcess> convert(const std::vector<MultiTouch>& steps,
                                                  double scale);

 private:
  std::vector<nlohmann::json> array_;
  double scale_ = 1.0;
};

}  // namespace vistrel::touch
