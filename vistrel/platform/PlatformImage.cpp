#include "vistrel/platform/PlatformImage.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "vistrel/platform/internal/Exif.h"

namespace vistrel::platform {
namespace {

Orientation fromExif(int tag) {
  switch (tag) {
    case 2:
      return Orientation::upMirrored;
    case 3:
      return Orientation::down;
    case 4:
      return Orientation::downMirrored;
    case 5:
      return Orientation::leftMirrored;
    case 6:
      return Orientation::right;
    case 7:
      return Orientation::rightMirrored;
    case 8:
      return Orientation::left;
    default:
      return Orientation::up;
  }
}

bool turnsSideways(Orientation o) {
  return o == Orientation::left || o == Orientation::right || o == Orientation::leftMirrored ||
         o == Orientation::rightMirrored;
}

// A read-only matrix header over a bitmap's pixels (no copy).
cv::Mat view(const Bitmap& bitmap) {
  // OpenCV's header takes a non-const pointer; every use here only reads through it.
  return cv::Mat(bitmap.height, bitmap.width, CV_8UC4,
                 const_cast<std::uint8_t*>(bitmap.rgba.data()));
}

std::shared_ptr<Bitmap> bitmapFrom(const cv::Mat& rgba) {
  auto bitmap = std::make_shared<Bitmap>();
  bitmap->width = rgba.cols;
  bitmap->height = rgba.rows;
  bitmap->rgba.resize(rgba.total() * 4);
  cv::Mat target(rgba.rows, rgba.cols, CV_8UC4, bitmap->rgba.data());
  rgba.copyTo(target);
  return bitmap;
}

bool opaque(const Bitmap& bitmap) {
  const std::uint8_t* p = bitmap.rgba.data();
  const std::size_t n = bitmap.rgba.size();
  unsigned all = 0xFF;
  for (std::size_t i = 3; i < n; i += 4) all &= p[i];
  return all == 0xFF;
}

// Premultiplies straight RGBA in place; opaque pixels are left as they are.
void premultiply(std::uint8_t* p, std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i, p += 4) {
    const unsigned a = p[3];
    if (a == 255) continue;
    for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>((p[c] * a + 127) / 255);
  }
}

// A quarter turn of 4-byte pixels into `out` (of the turned size), clockwise or counter-clockwise,
// walked in square tiles so that both the reads and the writes stay within a few pages (a plain
// transpose of a screenshot touches a new page on every write and runs many times slower).
void quarterTurn(const cv::Mat& m, cv::Mat& out, bool clockwise) {
  constexpr int kTile = 64;
  const int outWidth = out.cols, outHeight = out.rows;
  for (int ty = 0; ty < outHeight; ty += kTile) {
    for (int tx = 0; tx < outWidth; tx += kTile) {
      const int yEnd = std::min(ty + kTile, outHeight), xEnd = std::min(tx + kTile, outWidth);
      for (int y = ty; y < yEnd; ++y) {
        auto* row = out.ptr<std::uint32_t>(y);
        for (int x = tx; x < xEnd; ++x) {
          // Clockwise: out(x, y) = in(y, H - 1 - x); counter-clockwise: in(W - 1 - y, x).
          row[x] = clockwise ? m.ptr<std::uint32_t>(m.rows - 1 - x)[y]
                             : m.ptr<std::uint32_t>(x)[m.cols - 1 - y];
        }
      }
    }
  }
}

// Writes the bitmap turned as its orientation says (so that it reads upright) into `out`, whose
// size is the turned size.
void orientInto(const cv::Mat& m, Orientation o, cv::Mat& out) {
  switch (o) {
    case Orientation::up:
      m.copyTo(out);
      return;
    case Orientation::down:
      cv::flip(m, out, -1);
      return;
    case Orientation::left:
      quarterTurn(m, out, false);
      return;
    case Orientation::right:
      quarterTurn(m, out, true);
      return;
    case Orientation::upMirrored:
      cv::flip(m, out, 1);
      return;
    case Orientation::downMirrored:
      cv::flip(m, out, 0);
      return;
    case Orientation::leftMirrored:
      quarterTurn(m, out, false);
      cv::flip(out, out, 1);
      return;
    case Orientation::rightMirrored:
      quarterTurn(m, out, true);
      cv::flip(out, out, 1);
      return;
  }
}

std::optional<Bytes> encode(const std::string& extension, const cv::Mat& image,
                            const std::vector<int>& params) {
  try {
    std::vector<std::uint8_t> out;
    if (!cv::imencode(extension, image, out, params)) return std::nullopt;
    return out;
  } catch (const cv::Exception&) {
    return std::nullopt;
  }
}

}  // namespace

std::string_view orientationName(Orientation orientation) {
  switch (orientation) {
    case Orientation::up:
      return "up";
    case Orientation::down:
      return "down";
    case Orientation::left:
      return "left";
    case Orientation::right:
      return "right";
    case Orientation::upMirrored:
      return "upMirrored";
    case Orientation::downMirrored:
      return "downMirrored";
    case Orientation::leftMirrored:
      return "leftMirrored";
    case Orientation::rightMirrored:
      return "rightMirrored";
  }
  return "up";
}

PlatformImage::PlatformImage(std::shared_ptr<const Bitmap> bitmap, double scale,
                             Orientation orientation)
    : bitmap_(std::move(bitmap)),
      scale_(scale > 0 && std::isfinite(scale) ? scale : 1.0),
      orientation_(orientation) {}

double PlatformImage::width() const {
  if (!bitmap_) return 0;
  return (turnsSideways(orientation_) ? bitmap_->height : bitmap_->width) / scale_;
}

double PlatformImage::height() const {
  if (!bitmap_) return 0;
  return (turnsSideways(orientation_) ? bitmap_->width : bitmap_->height) / scale_;
}

ImagePtr PlatformImage::decode(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return nullptr;
  try {
    const cv::Mat raw(1, static_cast<int>(bytes.size()), CV_8UC1,
                      const_cast<std::uint8_t*>(bytes.data()));
    cv::Mat decoded = cv::imdecode(raw, cv::IMREAD_UNCHANGED);
    if (decoded.empty()) return nullptr;
    if (decoded.depth() != CV_8U) {
      decoded.convertTo(decoded, CV_8U, decoded.depth() == CV_16U ? 1.0 / 257.0 : 1.0);
    }
    int conversion = 0;
    switch (decoded.channels()) {
      case 1:
        conversion = cv::COLOR_GRAY2RGBA;
        break;
      case 3:
        conversion = cv::COLOR_BGR2RGBA;
        break;
      case 4:
        conversion = cv::COLOR_BGRA2RGBA;
        break;
      default:
        return nullptr;
    }
    // Converted straight into the bitmap's own buffer.
    auto bitmap = std::make_shared<Bitmap>();
    bitmap->width = decoded.cols;
    bitmap->height = decoded.rows;
    bitmap->rgba.resize(decoded.total() * 4);
    cv::Mat target(decoded.rows, decoded.cols, CV_8UC4, bitmap->rgba.data());
    cv::cvtColor(decoded, target, conversion);
    return std::make_shared<const PlatformImage>(std::move(bitmap), 1.0,
                                                 fromExif(internal::jpegExifOrientation(bytes)));
  } catch (const cv::Exception&) {
    return nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

ImagePtr PlatformImage::fromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return nullptr;
  const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return decode(bytes);
}

ImagePtr PlatformImage::fromRgba(int width, int height, std::vector<std::uint8_t> rgba,
                                 double scale, Orientation orientation) {
  if (width <= 0 || height <= 0 ||
      rgba.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4) {
    return nullptr;
  }
  auto bitmap = std::make_shared<Bitmap>(Bitmap{width, height, std::move(rgba)});
  return std::make_shared<const PlatformImage>(std::move(bitmap), scale, orientation);
}

ImagePtr PlatformImage::fromGray(int width, int height, std::span<const std::uint8_t> gray) {
  if (width <= 0 || height <= 0 ||
      gray.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    return nullptr;
  }
  std::vector<std::uint8_t> rgba(gray.size() * 4);
  for (std::size_t i = 0; i < gray.size(); ++i) {
    rgba[4 * i] = rgba[4 * i + 1] = rgba[4 * i + 2] = gray[i];
    rgba[4 * i + 3] = 255;
  }
  return fromRgba(width, height, std::move(rgba));
}

ImagePtr PlatformImage::over(std::shared_ptr<const Bitmap> bitmap, double scale,
                             Orientation orientation) {
  return std::make_shared<const PlatformImage>(std::move(bitmap), scale, orientation);
}

std::optional<Bytes> PlatformImage::jpegData(double quality) const {
  if (!bitmap_ || bitmap_->width <= 0 || bitmap_->height <= 0) return std::nullopt;
  const double q = std::isfinite(quality) ? std::clamp(quality, 0.0, 1.0) : 1.0;
  const cv::Mat pixels = view(*bitmap_);
  cv::Mat bgr;
  if (opaque(*bitmap_)) {
    cv::cvtColor(pixels, bgr, cv::COLOR_RGBA2BGR);
  } else {
    cv::Mat premultiplied = pixels.clone();
    premultiply(premultiplied.data, premultiplied.total());
    cv::cvtColor(premultiplied, bgr, cv::COLOR_RGBA2BGR);
  }
  return encode(".jpg", bgr, {cv::IMWRITE_JPEG_QUALITY, static_cast<int>(std::lround(q * 100))});
}

std::optional<Bytes> PlatformImage::pngData() const {
  if (!bitmap_ || bitmap_->width <= 0 || bitmap_->height <= 0) return std::nullopt;
  cv::Mat bgra;
  cv::cvtColor(view(*bitmap_), bgra, cv::COLOR_RGBA2BGRA);
  return encode(".png", bgra, {cv::IMWRITE_PNG_COMPRESSION, 1});
}

std::shared_ptr<const Bitmap> PlatformImage::crop(std::int64_t x, std::int64_t y,
                                                  std::int64_t width, std::int64_t height) const {
  if (!bitmap_) return nullptr;
  const std::int64_t left = std::max<std::int64_t>(x, 0);
  const std::int64_t top = std::max<std::int64_t>(y, 0);
  // Saturating right and bottom edges: huge sizes must not overflow.
  const auto edge = [](std::int64_t start, std::int64_t size, std::int64_t limit) {
    if (size <= 0) return start;
    return size > limit - start ? limit : start + size;
  };
  const std::int64_t right = edge(x, width, bitmap_->width);
  const std::int64_t bottom = edge(y, height, bitmap_->height);
  if (left >= right || top >= bottom) return nullptr;
  const cv::Rect rect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                      static_cast<int>(bottom - top));
  return bitmapFrom(view(*bitmap_)(rect));
}

ImagePtr PlatformImage::redraw(int width, int height) const {
  if (!bitmap_ || width <= 0 || height <= 0) return nullptr;
  try {
    auto drawn = std::make_shared<Bitmap>();
    drawn->width = width;
    drawn->height = height;
    drawn->rgba.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    cv::Mat target(height, width, CV_8UC4, drawn->rgba.data());
    const cv::Mat source = view(*bitmap_);
    const cv::Size turned =
        turnsSideways(orientation_) ? cv::Size(source.rows, source.cols) : source.size();
    if (turned == target.size()) {
      orientInto(source, orientation_, target);
    } else {
      cv::Mat upright(turned, CV_8UC4);
      orientInto(source, orientation_, upright);
      cv::resize(upright, target, target.size(), 0, 0, cv::INTER_LINEAR);
    }
    return over(std::move(drawn));
  } catch (const cv::Exception&) {
    return nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

bool PlatformImage::readPremultiplied(int width, int height, std::uint8_t* out) const {
  if (!bitmap_ || width <= 0 || height <= 0 || bitmap_->width <= 0) return false;
  cv::Mat target(height, width, CV_8UC4, out);
  try {
    if (bitmap_->width == width && bitmap_->height == height) {
      view(*bitmap_).copyTo(target);
    } else {
      cv::resize(view(*bitmap_), target, target.size(), 0, 0, cv::INTER_LINEAR);
    }
  } catch (const cv::Exception&) {
    return false;
  }
  premultiply(out, static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  return true;
}

}  // namespace vistrel::platform
