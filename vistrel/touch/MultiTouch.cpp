#include "vistrel/touch/MultiTouch.h"

#include <cmath>
#include <limits>

namespace vistrel::touch {
namespace {

using nlohmann::json;

constexpr const char* kFingerKeys[] = {"finger1", "finger2", "finger3", "finger4", "finger5"};

// An integer member: absent or null leaves it absent; anything but an integral number in the
// 64-bit range fails.
bool readInteger(const json& object, const char* key, std::optional<std::int64_t>& field) {
  const auto found = object.find(key);
  if (found == object.end() || found->is_null()) return true;
  if (found->is_number_unsigned()) {
    const auto u = found->get<std::uint64_t>();
    if (u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) return false;
    field = static_cast<std::int64_t>(u);
    return true;
  }
  if (found->is_number_integer()) {
    field = found->get<std::int64_t>();
    return true;
  }
  if (found->is_number_float()) {
    const double d = found->get<double>();
    if (std::isfinite(d) && std::trunc(d) == d && std::fabs(d) < 9.2e18) {
      field = static_cast<std::int64_t>(d);
      return true;
    }
  }
  return false;
}

std::optional<MultiTouch> decodeStep(const json& value) {
  if (!value.is_object()) return std::nullopt;
  MultiTouch step;
  if (!readInteger(value, "action", step.action) || !readInteger(value, "x", step.x) ||
      !readInteger(value, "y", step.y) || !readInteger(value, "pointer", step.pointer) ||
      !readInteger(value, "delay", step.delay)) {
    return std::nullopt;
  }
  return step;
}

std::optional<MultiTouchOrg> decodeGesture(const json& parsed) {
  if (!parsed.is_object()) return std::nullopt;
  MultiTouchOrg gesture;
  std::optional<std::vector<MultiTouch>>* fingers[] = {
      &gesture.finger1, &gesture.finger2, &gesture.finger3, &gesture.finger4, &gesture.finger5};
  for (std::size_t i = 0; i < 5; ++i) {
    const auto found = parsed.find(kFingerKeys[i]);
    if (found == parsed.end() || found->is_null()) continue;
    if (!found->is_array()) return std::nullopt;
    std::vector<MultiTouch> steps;
    for (const auto& value : *found) {
      auto step = decodeStep(value);
      if (!step) return std::nullopt;
      steps.push_back(*step);
    }
    *fingers[i] = std::move(steps);
  }
  return gesture;
}

}  // namespace

const std::optional<std::vector<MultiTouch>>& MultiTouchOrg::finger(int number) const {
  switch (number) {
    case 1:
      return finger1;
    case 2:
      return finger2;
    case 3:
      return finger3;
    case 4:
      return finger4;
    default:
      return finger5;
  }
}

std::optional<MultiTouchOrg> MultiTouchOrg::decode(std::string_view text) {
  const json parsed = json::parse(text, nullptr, false);
  if (parsed.is_discarded()) return std::nullopt;
  return decodeGesture(parsed);
}

json MultiTouchOrg::toJson() const {
  json out = json::object();
  for (int n = 1; n <= 5; ++n) {
    const auto& steps = finger(n);
    if (!steps) continue;
    json list = json::array();
    for (const auto& s : *steps) {
      json step = json::object();
      if (s.action) step["action"] = *s.action;
      if (s.x) step["x"] = *s.x;
      if (s.y) step["y"] = *s.y;
      if (s.pointer) step["pointer"] = *s.pointer;
      if (s.delay) step["delay"] = *s.delay;
      list.push_back(std::move(step));
    }
    out[kFingerKeys[n - 1]] = std::move(list);
  }
  return out;
}

}  // namespace vistrel::touch
