#pragma once

#include <optional>
#include <string>
#include <vector>

#include "vistrel/platform/PlatformImage.h"

namespace vistrel::platform {

/// One recognised line: its best text (if any), a confidence from 0 to 1, and its box normalised
/// to 0..1 with the origin at the bottom left.
struct TextObservation {
  std::optional<std::string> text;
  float confidence = 0;
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
};

struct RecognizerOptions {
  /// Fast: the image as given, Tesseract's default engine. Accurate: gray, images under 1600
  /// pixels a side upscaled twice (small screen text reads better), the LSTM engine only.
  bool fast = true;
  /// Language codes as the platform names them ("zh-Hans", "en-US").
  std::vector<std::string> languages{"zh-Hans", "en-US"};
  bool languageCorrection = true;
};

/// The text recognizer of this platform, over Tesseract. Each thread keeps its own initialised
/// engines (one per level and language set): Tesseract instances are never shared across threads.
class TextRecognizer {
 public:
  /// The lines of the image, in reading order; absent when recognition cannot run.
  static std::optional<std::vector<TextObservation>> recognize(const PlatformImage& image,
                                                               const RecognizerOptions& options);
  /// Tesseract's names for the codes ("chi_sim+eng"), installed ones only; "eng" when none is.
  static std::string tesseractLanguages(const std::vector<std::string>& codes);
  /// Whether the traineddata of a Tesseract language is installed.
  static bool installed(const std::string& language);
};

}  // namespace vistrel::platform
