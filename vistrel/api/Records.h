#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vistrel::api {

/// Colour comparisons and searches, pixel reads, clip, rotate, sizes, two-level conversion,
/// album saves and the clipboard command. Every field is optional; operations supply defaults.
struct ImageColorSelector {
  std::optional<std::string> imageId;
  std::optional<std::string> firstColor;
  std::optional<std::string> colorPoints;
  std::optional<float> threshold;
  std::optional<std::int64_t> x;
  std::optional<std::int64_t> y;
  std::optional<std::int64_t> w;
  std::optional<std::int64_t> h;
  std::optional<std::int64_t> limit;
  std::optional<std::int64_t> orz;
  std::optional<std::string> degree;
  std::optional<std::int64_t> allNotEquals;
};

/// Image search by colour sampling.
struct FindImageByColorSelector {
  std::optional<std::string> imageId;
  std::optional<std::string> templateId;
  std::optional<float> threshold;
  std::optional<std::int64_t> x;
  std::optional<std::int64_t> y;
  std::optional<std::int64_t> w;
  std::optional<std::int64_t> h;
  std::optional<std::int64_t> limit;
  std::optional<std::string> extra;
};

/// The "extra" options of the extended image search; every field is a text.
struct FindImageByColorSelectorExtra {
  std::optional<std::string> firstColorThreshold;
  std::optional<std::string> firstColorOffset;
  std::optional<std::string> otherColorThreshold;
  std::optional<std::string> otherColorOffset;
  std::optional<std::string> cmpColorSucThreshold;
  std::optional<std::string> startX;
  std::optional<std::string> startY;
};

/// Text recognition.
struct OcrSelector {
  std::optional<std::string> imageId;
  std::optional<std::string> extra;
  std::optional<std::string> type;
};

/// Template matching.
struct OpencvMatchParam {
  std::optional<std::string> imageId;
  std::optional<std::string> templateId;
  std::optional<float> weakThreshold;
  std::optional<float> threshold;
  std::optional<std::int64_t> x;
  std::optional<std::int64_t> y;
  std::optional<std::int64_t> w;
  std::optional<std::int64_t> h;
  std::optional<std::int64_t> limit;
  std::optional<std::int64_t> maxLevel;
  std::optional<std::int64_t> method;
};

/// One search result; absent members are left out of its JSON object.
struct FindPoint {
  std::optional<std::int64_t> x;
  std::optional<std::int64_t> y;
  std::optional<std::int64_t> index;

  bool operator==(const FindPoint&) const = default;
};

}  // namespace vistrel::api
