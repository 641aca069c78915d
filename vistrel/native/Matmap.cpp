#include "vistrel/native/Matmap.h"

#include <chrono>
#include <mutex>
#include <random>

namespace vistrel::native {

Matmap& Matmap::instance() {
  // Never destroyed: handles held by other process-wide objects close their entries until the
  // very end of the process.
  static Matmap* const store = new Matmap();
  return *store;
}

std::string Matmap::add(const cv::Mat& mat) {
  if (mat.cols < 1) return {};
  thread_local std::mt19937 random(std::random_device{}());
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const std::string time =
      std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
  const std::unique_lock lock(mutex_);
  while (true) {
    std::string id = time + std::to_string(random() & 0x7FFFFFFF);
    if (mats_.emplace(id, mat).second) return id;
  }
}

cv::Mat Matmap::get(const std::string& id) const {
  const std::shared_lock lock(mutex_);
  const auto found = mats_.find(id);
  return found == mats_.end() ? cv::Mat() : found->second;
}

void Matmap::close(const std::string& id) {
  cv::Mat released;
  {
    const std::unique_lock lock(mutex_);
    const auto found = mats_.find(id);
    if (found == mats_.end()) return;
    released = std::move(found->second);
    mats_.erase(found);
  }
  // The pixels go, outside the lock, when the last header lets go.
}

std::size_t Matmap::size() const {
  const std::shared_lock lock(mutex_);
  return mats_.size();
}

std::string addMat(const cv::Mat& mat) { return Matmap::instance().add(mat); }
cv::Mat getMat(const std::string& id) { return Matmap::instance().get(id); }
void closeMat(const std::string& id) { Matmap::instance().close(id); }

}  // namespace vistrel::native
