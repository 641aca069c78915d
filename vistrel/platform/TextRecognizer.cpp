#include "vistrel/platform/TextRecognizer.h"

#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

namespace vistrel::platform {
namespace {

std::string tessdata() {
  static const std::string dir = [] {
    if (const char* env = std::getenv("TESSDATA_PREFIX"); env && *env) return std::string(env);
    for (const char* candidate :
         {"/usr/share/tesseract-ocr/5/tessdata", "/usr/share/tesseract-ocr/4.00/tessdata",
          "/usr/share/tessdata"}) {
      if (std::filesystem::exists(std::string(candidate) + "/eng.traineddata"))
        return std::string(candidate);
    }
    return std::string("/usr/share/tesseract-ocr/5/tessdata");
  }();
  return dir;
}

std::string tesseractName(std::string code) {
  for (char& c : code) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  static const std::pair<const char*, const char*> names[] = {
      {"zh-hans", "chi_sim"}, {"zh-cn", "chi_sim"}, {"zh-hant", "chi_tra"}, {"zh-tw", "chi_tra"},
      {"zh-hk", "chi_tra"},   {"en", "eng"},        {"ja", "jpn"},          {"ko", "kor"},
      {"fr", "fra"},          {"de", "deu"},        {"es", "spa"},          {"it", "ita"},
      {"pt", "por"},          {"ru", "rus"},        {"uk", "ukr"},          {"vi", "vie"},
      {"th", "tha"},          {"ar", "ara"},        {"nl", "nld"},          {"pl", "pol"},
      {"tr", "tur"},          {"sv", "swe"},        {"da", "dan"},          {"fi", "fin"},
      {"no", "nor"},          {"nb", "nor"},        {"cs", "ces"},          {"hu", "hun"},
      {"el", "ell"},          {"he", "heb"},        {"id", "ind"},          {"ms", "msa"},
  };
  for (const auto& [prefix, name] : names) {
    const std::string p = prefix;
    if (code == p || code.starts_with(p + "-") || code.starts_with(p + "_")) return name;
  }
  return {};
}

struct Engine {
  tesseract::TessBaseAPI api;
  bool ready = false;
};

// The calling thread's engine for a level and a language set, initialised once.
Engine* engineFor(bool fast, const std::string& languages) {
  thread_local std::map<std::string, std::unique_ptr<Engine>> engines;
  const std::string key = (fast ? "fast:" : "accurate:") + languages;
  auto& slot = engines[key];
  if (!slot) {
    slot = std::make_unique<Engine>();
    const auto mode = fast ? tesseract::OEM_DEFAULT : tesseract::OEM_LSTM_ONLY;
    slot->ready = slot->api.Init(tessdata().c_str(), languages.c_str(), mode) == 0;
    if (slot->ready) {
      slot->api.SetVariable("debug_file", "/dev/null");
      slot->api.SetPageSegMode(tesseract::PSM_AUTO);
    }
  }
  return slot->ready ? slot.get() : nullptr;
}

}  // namespace

bool TextRecognizer::installed(const std::string& language) {
  return std::filesystem::exists(tessdata() + "/" + language + ".traineddata");
}

std::string TextRecognizer::tesseractLanguages(const std::vector<std::string>& codes) {
  std::string out;
  for (const auto& code : codes) {
    const std::string name = tesseractName(code);
    if (name.empty() || !installed(name) || out.find(name) != std::string::npos) continue;
    out += (out.empty() ? "" : "+") + name;
  }
  return out.empty() ? "eng" : out;
}

std::optional<std::vector<TextObservation>> TextRecognizer::recognize(
    const PlatformImage& image, const RecognizerOptions& options) {
  const auto& bitmap = image.bitmap();
  if (!bitmap || bitmap->width < 1 || bitmap->height < 1) return std::nullopt;
  Engine* engine = engineFor(options.fast, tesseractLanguages(options.languages));
  if (!engine) return std::nullopt;
  auto& api = engine->api;
  if (!options.languageCorrection) {
    api.SetVariable("load_system_dawg", "0");
    api.SetVariable("load_freq_dawg", "0");
  }

  cv::Mat pixels(bitmap->height, bitmap->width, CV_8UC4,
                 const_cast<std::uint8_t*>(bitmap->rgba.data()));
  cv::Mat input;
  double scale = 1.0;
  if (options.fast) {
    cv::cvtColor(pixels, input, cv::COLOR_RGBA2RGB);
  } else {
    cv::cvtColor(pixels, input, cv::COLOR_RGBA2GRAY);
    // Small text reads better at twice the size.
    if (std::min(input.cols, input.rows) < 1600) {
      scale = 2.0;
      cv::resize(input, input, cv::Size(), scale, scale, cv::INTER_CUBIC);
    }
  }
  api.SetImage(input.data, input.cols, input.rows, input.channels(), static_cast<int>(input.step));
  // Screens are read as 144 dpi; an upscaled image at twice that, so glyph sizes stay plausible.
  api.SetSourceResolution(static_cast<int>(144 * scale));
  if (api.Recognize(nullptr) != 0) return std::nullopt;

  std::vector<TextObservation> lines;
  const std::unique_ptr<tesseract::ResultIterator> it(api.GetIterator());
  const double width = input.cols, height = input.rows;
  if (it) {
    do {
      if (it->Empty(tesseract::RIL_TEXTLINE)) continue;
      int left = 0, top = 0, right = 0, bottom = 0;
      if (!it->BoundingBox(tesseract::RIL_TEXTLINE, &left, &top, &right, &bottom)) continue;
      TextObservation line;
      const std::unique_ptr<char[]> text(it->GetUTF8Text(tesseract::RIL_TEXTLINE));
      if (text) {
        std::string t = text.get();
        while (!t.empty() && (t.back() == '\n' || t.back() == ' ')) t.pop_back();
        if (t.empty()) continue;
        line.text = t;
      }
      line.confidence = std::clamp(it->Confidence(tesseract::RIL_TEXTLINE) / 100.0f, 0.0f, 1.0f);
      line.x = left / width;
      line.width = (right - left) / width;
      line.height = (bottom - top) / height;
      line.y = (height - bottom) / height;  // bottom-left origin, as the platform gives boxes
      lines.push_back(std::move(line));
    } while (it->Next(tesseract::RIL_TEXTLINE));
  }
  api.Clear();
  return lines;
}

}  // namespace vistrel::platform
