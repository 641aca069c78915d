#pragma once

#include <map>
#include <opencv2/core.hpp>
#include <shared_mutex>
#include <string>

namespace vistrel::native {

/// The process-wide native matrix store: matrices under store ids (runs of decimal digits).
/// Shared by every thread: lookups run side by side, registrations and removals alone.
class Matmap {
 public:
  static Matmap& instance();

  /// Stores the matrix under a new id: the time in milliseconds followed by a random number,
  /// drawn again until the id is unused, so every registration gets its own entry. "" for a
  /// matrix with fewer than 1 column.
  std::string add(const cv::Mat& mat);
  /// A header sharing the stored pixels; an empty matrix for an unknown id.
  cv::Mat get(const std::string& id) const;
  /// Releases the entry; an unknown id changes nothing.
  void close(const std::string& id);
  std::size_t size() const;

 private:
  Matmap() = default;
  mutable std::shared_mutex mutex_;
  std::map<std::string, cv::Mat> mats_;
};

/// The store functions.
std::string addMat(const cv::Mat& mat);
cv::Mat getMat(const std::string& id);
void closeMat(const std::string& id);

}  // namespace vistrel::native
