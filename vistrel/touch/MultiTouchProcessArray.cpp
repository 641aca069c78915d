#include "vistrel/touch/MultiTouchProcessArray.h"

#include "vistrel/api/StringUtil.h"

namespace vistrel::touch {

std::string MultiTouchProcessArray::parse(const MultiTouchOrg& dd, double scale) {
  scale_ = scale;
  for (int n = 1; n <= 5; ++n) {
    const auto& steps = dd.finger(n);
    if (steps) addMultiTouchProcess(convert(*steps, scale_), n);
  }
  return toAction();
}

void MultiTouchProcessArray::addMultiTouchProcess(std::optional<MultiTouchProcess> d,
                                                  int fingerId) {
  if (!d) return;
  d->setId(fingerId);
  array_.push_back(d->toAction());
}

std::string MultiTouchProcessArray::toAction() const {
  return api::StringUtil::convertToJsonString(nlohmann::json(array_));
}

std::optional<MultiTouchProcess> MultiTouchProcessArray::convert(
    const std::vector<MultiTouch>& steps, double scale) {
  if (steps.empty()) return std::nullopt;
  MultiTouchProcess process;
  for (const auto& step : steps) {
    if (!step.action || *step.action < 0 || *step.action > 3) continue;
    // A step without a delay moves instantly.
    const std::int64_t duration = step.delay.value_or(0);
    switch (*step.action) {
      case 0:
        if (step.x && step.y) process.pointerMove(step.x, step.y, duration, scale).pointerDown();
        break;
      case 1:
        if (step.x && step.y) process.pointerMove(step.x, step.y, duration, scale).pointerUp();
        break;
      case 2:
        process.pointerMove(step.x, step.y, duration, scale);
        break;
      case 3:
        if (step.delay && *step.delay >= 1) process.waitStep(*step.delay);
        break;
    }
  }
  return process;
}

}  // namespace vistrel::touch
