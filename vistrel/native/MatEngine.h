#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "vistrel/native/MatHandle.h"
#include "vistrel/platform/PlatformImage.h"

namespace vistrel::native {

class FindColorMatBridge;

/// The matrix engine's facade over image ids of the registry: resolves them to handles, fits the
/// region to the matrix, calls the bridge with store ids, and registers produced matrices as new
/// images. Ids that do not resolve answer the failure value of each operation.
class MatEngine {
 public:
  MatEngine();
  ~MatEngine();
  MatEngine(const MatEngine&) = delete;
  MatEngine& operator=(const MatEngine&) = delete;

  /// "0", "-1", or "-1" when the id does not resolve.
  std::string cmpColor(const std::string& imageId, const std::string& colour, float threshold,
                       std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h);
  std::string cmpMultiColor(const std::string& imageId, const std::string& points, float threshold,
                            std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h);
  /// The native result text; "-1" when the id does not resolve.
  std::string findColor(const std::string& imageId, const std::string& colour, float threshold,
                        std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                        std::int64_t limit, std::int64_t orz);
  /// "" when the id does not resolve.
  std::string findNotColor(const std::string& imageId, const std::string& colour, float threshold,
                           std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                           std::int64_t limit, std::int64_t orz);
  std::string findMultiColor(const std::string& imageId, const std::string& firstColor,
                             const std::string& points, float threshold, std::int64_t x,
                             std::int64_t y, std::int64_t w, std::int64_t h, std::int64_t limit,
                             std::int64_t orz);
  std::string findImageByColor(const std::string& imageId, const std::string& templateId,
                               std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                               float threshold, std::int64_t limit);
  std::string findImageByColorEx(const std::string& imageId, const std::string& templateId,
                                 std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                                 std::int64_t limit, const std::string& extra);
  /// A view of the region registered as a new matrix image; "" when the id does not resolve or
  /// the region is the whole matrix.
  std::string clipMat(const std::string& imageId, std::int64_t x, std::int64_t y, std::int64_t w,
                      std::int64_t h);
  /// Template matching results, "" when either id does not resolve.
  std::string findImageMat(const std::string& imageId, const std::string& templateId,
                           std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                           float weakThreshold, float threshold, std::int64_t limit,
                           std::int64_t method);
  std::string matchTemplate(const std::string& imageId, const std::string& templateId,
                            std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                            std::int64_t maxLevel, float weakThreshold, float threshold,
                            std::int64_t limit, std::int64_t method);
  /// New matrix image ids; "" when the id does not resolve or there is no result.
  std::string grayImage(const std::string& imageId);
  std::string binaryzationMatEx(const std::string& imageId, const std::string& json);
  /// The two-level platform image of an image (options read from the JSON text); null when absent.
  platform::ImagePtr binaryzationUIImage(const platform::ImagePtr& image, const std::string& json);
  platform::ImagePtr grayUIImageEx(const platform::ImagePtr& image);

  void setLog(std::int32_t flag);

  /// The image as a stored matrix (see FindColorMatBridge::makeMat).
  static MatHandlePtr makeMat(const platform::ImagePtr& image);

  FindColorMatBridge& bridge();

 private:
  std::unique_ptr<FindColorMatBridge> findColorMat_;
};

}  // namespace vistrel::native
