#include "vistrel/touch/MultiTouchProcess.h"

#include <cmath>

namespace vistrel::touch {

using nlohmann::json;

MultiTouchProcess& MultiTouchProcess::setId(std::int64_t id) {
  id_ = "finger" + std::to_string(id);
  return *this;
}

MultiTouchProcess& MultiTouchProcess::pointerMove(std::optional<std::int64_t> x,
                                                  std::optional<std::int64_t> y,
                                                  std::int64_t duration, double scale) {
  if (!x || !y) return *this;
  const bool scaled = scale > 0 && std::isfinite(scale);
  const double px = static_cast<double>(*x), py = static_cast<double>(*y);
  // WebDriver rejects a negative duration, which would fail the whole gesture.
  array_.push_back({{"type", type_pointerMove},
                    {"x", scaled ? px / scale : px},
                    {"y", scaled ? py / scale : py},
                    {"duration", duration < 0 ? 0 : duration}});
  return *this;
}

// WebDriver requires "button" on presses and releases; 0 is the primary button, the touch
// contact itself.
MultiTouchProcess& MultiTouchProcess::pointerDown() {
  array_.push_back({{"type", type_pointerDown}, {"button", 0}});
  return *this;
}

MultiTouchProcess& MultiTouchProcess::pointerUp() {
  array_.push_back({{"type", type_pointerUp}, {"button", 0}});
  return *this;
}

MultiTouchProcess& MultiTouchProcess::pause(std::optional<std::int64_t> duration) {
  const float held = duration ? static_cast<float>(*duration) : 50.0f;
  if (!(held > 0)) return *this;
  array_.push_back({{"type", type_pause}, {"duration", static_cast<std::int64_t>(held)}});
  return *this;
}

MultiTouchProcess& MultiTouchProcess::waitStep(std::int64_t duration) {
  array_.push_back({{"type", type_pause}, {"duration", duration}});
  return *this;
}

json MultiTouchProcess::toAction() const {
  return {{"actions", array_},
          {"type", "pointer"},
          {"id", id_},
          {"parameters", {{"pointerType", "touch"}}}};
}

}  // namespace vistrel::touch
