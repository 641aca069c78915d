#include "vistrel/native/MatHandle.h"

#include <cstdio>

#include "vistrel/native/Matmap.h"

namespace vistrel::native {

MatHandle::~MatHandle() {
  if (id_ && !id_->empty()) closeMat(*id_);
}

void MatHandle::setNativeAdr(std::string id) {
  const std::lock_guard lock(mutex_);
  id_ = std::move(id);
}

std::optional<std::string> MatHandle::getNativeAdr() const {
  const std::lock_guard lock(mutex_);
  return id_;
}

void MatHandle::close() {
  std::string id;
  {
    const std::lock_guard lock(mutex_);
    if (!id_ || id_->empty()) return;
    id = std::move(*id_);
    id_ = std::string();
  }
  closeMat(id);
}

namespace {

cv::Mat lookup(const std::optional<std::string>& id) {
  return id && !id->empty() ? getMat(*id) : cv::Mat();
}

}  // namespace

int MatHandle::getWidth() const { return lookup(getNativeAdr()).cols; }
int MatHandle::getHeight() const { return lookup(getNativeAdr()).rows; }
int MatHandle::channels() const { return lookup(getNativeAdr()).channels(); }
int MatHandle::type() const { return lookup(getNativeAdr()).type(); }

std::string MatHandle::getMatColorHex(long long x, long long y) const {
  const cv::Mat mat = lookup(getNativeAdr());
  if (mat.empty() || mat.depth() != CV_8U || mat.channels() < 3 || x < 0 || y < 0 ||
      x >= mat.cols || y >= mat.rows) {
    return {};
  }
  const std::uint8_t* p = mat.ptr<std::uint8_t>(static_cast<int>(y)) + x * mat.channels();
  char text[16];
  std::snprintf(text, sizeof text, "%x", (unsigned{p[2]} << 16) | (unsigned{p[1]} << 8) | p[0]);
  return text;
}

}  // namespace vistrel::native
