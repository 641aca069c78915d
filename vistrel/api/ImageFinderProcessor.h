#pragma once

#include <cstdint>
#include <string>

#include "vistrel/colour/ColorFindNot.h"
#include "vistrel/colour/ColorFinder.h"
#include "vistrel/colour/ColorImageFinder.h"
#include "vistrel/colour/ColorMultiFinder.h"
#include "vistrel/native/MatEngine.h"

namespace vistrel::api {

/// Routes every recognition call by image id: ids ending in "-mat" to the matrix engine, all
/// others to the pixel engine after looking the image up and fitting the region to it.
class ImageFinderProcessor {
 public:
  std::string findColor(const std::string& imageId, const std::string& firstColor, float threshold,
                        std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                        std::int64_t limit, std::int64_t orz);
  std::string findNotColor(const std::string& imageId, const std::string& firstColor,
                           float threshold, std::int64_t x, std::int64_t y, std::int64_t w,
                           std::int64_t h, std::int64_t limit, std::int64_t orz, bool same,
                           bool allNotEquals);
  std::string findMultiColor(const std::string& imageId, const std::string& firstColor,
                             const std::string& points, float threshold, std::int64_t x,
                             std::int64_t y, std::int64_t w, std::int64_t h, std::int64_t limit,
                             std::int64_t orz);
  /// The index of the first matching group, or -1. A point text not starting with "[" is taken as
  /// one group.
  std::int64_t cmpColor(const std::string& imageId, float threshold, std::int64_t x, std::int64_t y,
                        std::int64_t w, std::int64_t h, const std::string& points);
  std::int64_t cmpMultiColor(const std::string& imageId, const std::string& points, float threshold,
                             std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h);
  std::string findImageByColor(const std::string& imageId, const std::string& templateId,
                               std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                               float threshold, std::int64_t limit);
  std::string findImageByColorEx(const std::string& imageId, const std::string& templateId,
                                 std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                                 std::int64_t limit, const std::string& firstColorOffset,
                                 float firstColorThreshold, const std::string& otherColorOffset,
                                 float otherColorThreshold, float cmpColorSucThreshold,
                                 std::int64_t startRangeX, std::int64_t startRangeY,
                                 const std::string& extra);
  /// Template matching; pixel images are matched as temporary matrix copies, recycled after the
  /// call on every path.
  std::string findImage(const std::string& imageId, const std::string& templateId, std::int64_t x,
                        std::int64_t y, std::int64_t w, std::int64_t h, float weakThreshold,
                        float threshold, std::int64_t maxLevel, std::int64_t limit,
                        std::int64_t method);
  std::string matchTemplate(const std::string& imageId, const std::string& templateId,
                            std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                            float weakThreshold, float threshold, std::int64_t maxLevel,
                            std::int64_t limit, std::int64_t method);
  /// A new image id (stored by mode for pixel images), or "".
  std::string binaryzationEx(const std::string& uuid, const std::string& json);
  std::string grayImage(const std::string& uuid, const std::string& json);

  /// Passes the flag to the matrix engine's log switch; "ok".
  std::string setMatLog(std::int64_t flag);

 private:
  // The engines hold no state; they are made with the dispatcher.
  colour::ColorFinder colorFinder_;
  colour::ColorMultiFinder colorMultiFinder_;
  colour::ColorFindNot colorNotFinder_;
  colour::ColorImageFinder colorImageFinder_;
  native::MatEngine findColorMat_;
};

}  // namespace vistrel::api
