#include "vistrel/ocr/VisionOcr.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "vistrel/api/StringUtil.h"

namespace vistrel::ocr {

void VisionOcr::initOcr(const std::string& jsonString) {
  options_ = platform::RecognizerOptions{};
  const auto parsed = api::StringUtil::parse(jsonString);
  if (!parsed || !parsed->is_object()) {
    options_.fast = true;
    return;
  }
  const auto level = parsed->find("level");
  options_.fast =
      level != parsed->end() && level->is_string() && level->get<std::string>() == "fast";
  const auto languages = parsed->find("languages");
  if (languages != parsed->end() && languages->is_string() &&
      !languages->get<std::string>().empty()) {
    options_.languages.clear();
    const std::string text = languages->get<std::string>();
    std::size_t at = 0;
    while (true) {
      const auto comma = text.find(',', at);
      options_.languages.push_back(
          text.substr(at, comma == std::string::npos ? std::string::npos : comma - at));
      if (comma == std::string::npos) break;
      at = comma + 1;
    }
  }
  options_.languageCorrection = true;
}

std::string VisionOcr::detectTextHandler(const std::vector<platform::TextObservation>& observations,
                                         double imageWidth, double imageHeight) {
  const double w = std::trunc(imageWidth), h = std::trunc(imageHeight);
  std::string result;
  for (const auto& o : observations) {
    const double x = o.x * w, y = o.y * h, width = o.width * w, height = o.height * h;
    nlohmann::json line;
    if (o.text) line["label"] = *o.text;
    line["confidence"] = o.confidence;
    line["x"] = static_cast<long long>(std::trunc(x));
    line["y"] = static_cast<long long>(std::trunc(h - y - height));
    line["width"] = static_cast<long long>(std::trunc(width));
    line["height"] = static_cast<long long>(std::trunc(height));
    if (!result.empty()) result += ',';
    result += line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  }
  return "[" + result + "]";
}

std::string VisionOcr::ocr(const platform::ImagePtr& image) {
  if (!image || !image->bitmap()) return {};
  const auto observations = platform::TextRecognizer::recognize(*image, options_);
  if (!observations) return {};
  return detectTextHandler(*observations, image->width(), image->height());
}

}  // namespace vistrel::ocr
