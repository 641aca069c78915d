#pragma once

#include <string>
#include <vector>

#include "vistrel/platform/PlatformImage.h"
#include "vistrel/platform/TextRecognizer.h"

namespace vistrel::ocr {

/// One text recognition: configured from an options text, run once on an image.
class VisionOcr {
 public:
  /// {"level": "fast" | other, "languages": "zh-Hans,en-US"}: fast when the text is not JSON or
  /// the level is exactly "fast", accurate otherwise; the languages split at ",", by default
  /// zh-Hans and en-US; language correction on.
  void initOcr(const std::string& jsonString);
  /// [{"label","confidence","x","y","width","height"},...] in image coordinates with the origin
  /// at the top left; "[]" without text; "" when the image has no bitmap or recognition fails.
  std::string ocr(const platform::ImagePtr& image);

  /// The result text of recognised lines on an image of the given size (the origin flipped from
  /// the bottom left to the top left).
  static std::string detectTextHandler(const std::vector<platform::TextObservation>& observations,
                                       double imageWidth, double imageHeight);

  const platform::RecognizerOptions& options() const { return options_; }

 private:
  platform::RecognizerOptions options_;
};

}  // namespace vistrel::ocr
