#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "vistrel/api/ImageFinderProcessor.h"
#include "vistrel/device/PlayMp3.h"
#include "vistrel/node/NodeManagerThread.h"
#include "vistrel/platform/PlatformImage.h"

namespace vistrel::api {

using platform::Bytes;
using platform::ImagePtr;

/// The call surface of the library. Every operation runs on the caller's thread, never throws,
/// and answers failures as values: the empty text, "ok", "-1", "0", "-100" or an absent result
/// as each operation says. Parameter texts are JSON objects whose keys are all optional.
class AutoApi {
 public:
  /// The process-wide instance, made on the first call (safe under concurrent first calls).
  static AutoApi& getInstance();

  AutoApi() = default;
  AutoApi(const AutoApi&) = delete;
  AutoApi& operator=(const AutoApi&) = delete;

  // Switches: {"use": 1} or {"use": "1"} turns on; anything else (also no JSON) turns off. "ok".
  std::string useOpencvMat(const std::string& json);
  std::string setMatLog(const std::string& json);

  // Image registry.
  /// Stores the image (as matrix mode says); its new id, or "" for an absent image.
  std::string addImage(const ImagePtr& img);
  /// The stored image as JPEG at quality 1.0; absent for an absent or unknown id.
  std::optional<Bytes> getAutoImageData(const std::optional<std::string>& uuid);
  /// Recycles the id: "ok" (also for an unknown id); "" for an absent id.
  std::string removeImage(const std::optional<std::string>& uuid);
  std::string recycleImage(const std::optional<std::string>& uuid);
  /// Empties the registry; "ok".
  std::string removeAllImage();
  /// "ok" when the id is empty or not stored; "" when stored or absent.
  std::string isRecycled(const std::optional<std::string>& uuid);
  /// {"imageId"}: decimal width or height; "0" for an unknown pixel id, "-1" for an unknown
  /// matrix id, "" when the text does not decode.
  std::string getWidth(const std::string& json);
  std::string getHeight(const std::string& json);
  /// {"imageId","x","y"}: the packed colour as decimal text ("0" outside a pixel image, "-100"
  /// for an unreadable matrix pixel).
  std::string pixel(const std::string& json);
  /// The same value as a colour text "#RRGGBB".
  std::string pixelRGB(const std::string& json);

  // Transforms of stored images: each answers the new image's id, or "".
  /// {"imageId"}: the stored image as JPEG at quality 1.0 in Base64, or "".
  std::string base64(const std::string& json);
  /// {"imageId","x","y","w","h"}: the region as a new image.
  std::string clip(const std::string& json);
  /// {"imageId","degree"}: "0", "90" (clockwise) or "-90".
  std::string rotateImage(const std::string& json);
  /// {"imageId","threshold"} (default 200, truncated): a two-level image. A threshold that is not
  /// finite or does not fit 64 bits gives "".
  std::string binaryzationImage(const std::string& json);
  /// {"uuid"}: a matrix image copied into a new pixel image.
  std::string matToImageFormat(const std::string& json);
  /// {"uuid"}: any stored image copied into a new matrix image.
  std::string imageToMatFormat(const std::string& json);

  // Platform images and byte buffers (no registry): absent in, absent out.
  ImagePtr clipImage(const ImagePtr& img);
  ImagePtr toUpImage(const ImagePtr& img);
  ImagePtr toLeftImage(const ImagePtr& img);
  ImagePtr toRightImage(const ImagePtr& img);
  ImagePtr toUpImageFrom(const std::optional<Bytes>& data);
  std::optional<Bytes> toUpImageData(const ImagePtr& img);
  /// PNG when `type` is 2, otherwise JPEG at quality `q`.
  std::optional<Bytes> toUpImageData2(const ImagePtr& img, float q, std::int64_t type);
  /// Encoded (PNG for 2, JPEG at `q` for 1, absent otherwise), decoded, orientation up.
  ImagePtr toUpImageData3(const ImagePtr& img, float q, std::int64_t type);
  std::optional<Bytes> toUpImageDataFrom(const std::optional<Bytes>& data);

  // Recognition (ImageColorSelector unless noted; threshold defaults to 0.9).
  /// Index of the matching group of "firstColor" as decimal text, "-1" for none.
  std::string cmpColor(const std::string& json);
  std::string cmpMultiColor(const std::string& json);
  /// JSON array of found points, or "".
  std::string findColor(const std::string& json);
  std::string findNotColor(const std::string& json);
  std::string findMultiColor(const std::string& json);
  /// FindImageByColorSelector.
  std::string findImageByColor(const std::string& json);
  std::string findImageByColorEx(const std::string& json);

  // Element-tree documents, one per script thread id.
  /// Loads the thread's document: "ok", or "error" for the empty text.
  std::string setDocument(const std::string& threadId, const std::string& doc);
  /// "true" exactly turns caching on; any other text turns it off and drops the document. "ok".
  std::string setCacheDocument(const std::string& threadId, const std::string& r);
  bool hasDocument(const std::string& threadId);
  bool isCacheDocument(const std::string& threadId);
  std::string getOneNodeInfo(const std::string& threadId, const std::string& select);
  std::string getNodeInfo(const std::string& threadId, const std::string& select);
  std::string getOneNodeInfoForNode(const std::string& threadId,
                                    const std::optional<std::string>& nid,
                                    const std::string& select);
  std::string getNodeInfoForNode(const std::string& threadId, const std::optional<std::string>& nid,
                                 const std::string& select);
  std::string getNodeInfoParent(const std::string& threadId, const std::optional<std::string>& nid);
  std::string getNodeInfoAllChildren(const std::string& threadId,
                                     const std::optional<std::string>& nid);
  /// The child at `index` (a decimal integer text; absent is 0); "" for an index that is not one.
  std::string getNodeInfoChild(const std::string& threadId, const std::optional<std::string>& nid,
                               const std::optional<std::string>& index);
  std::string getPreviousSiblingNodeInfo(const std::string& threadId,
                                         const std::optional<std::string>& nid);
  std::string getNextSiblingNodeInfo(const std::string& threadId,
                                     const std::optional<std::string>& nid);
  std::string getSiblingNodeInfo(const std::string& threadId,
                                 const std::optional<std::string>& nid);

  /// OpencvMatchParam: matches as rectangles ({"bottom","left","right","similarity","top"}), the
  /// pyramid level chosen automatically; "null" for none; "" when unusable.
  std::string findImage(const std::string& json);
  /// OpencvMatchParam with "maxLevel" (default -1): matches as {"point","similarity"}.
  std::string matchTemplate(const std::string& json);
  /// {"imageId", "diameter", "adaptiveMethod", "blockSize", "c", "thresholdType", "maxValue"}:
  /// id of the adaptive two-level image, or "".
  std::string binaryzationEx(const std::string& json);
  /// {"imageId"}: id of the gray image, or "".
  std::string grayImage(const std::string& json);

  /// Writes the bytes to the caches directory under `name`, replacing what was there, in one
  /// step; the full path, or "" when writing fails or the name is absent, empty, ".", "..", or
  /// holds a "/" (it would leave the caches directory).
  std::string saveFile(const std::optional<Bytes>& data, const std::string& name);

  /// The general HTTP request (see HttpUtil::requestEx2).
  std::string requestEx(const std::string& json);
  /// GET; the body as UTF-8 text, or "". Timeout in milliseconds (10000 when empty or no number).
  std::string httpGet(const std::string& url, const std::string& timeout);
  /// POST of a JSON text; the body as UTF-8 text, or "".
  std::string httpPostJson(const std::string& url, const std::string& timeout,
                           const std::string& body);

  // Text recognition.
  /// OcrSelector: when "extra" is present it becomes the options of every later ocrImage. "ok".
  std::string setInitOcr(const std::string& json);
  /// OcrSelector: the lines of the image "imageId" as
  /// [{"label","confidence","x","y","width","height"}], "[]" without text, "" when unusable.
  std::string ocrImage(const std::string& json);
  std::string setOcrType(const std::string&) { return "ok"; }
  std::string releaseAllOcr(const std::string&) { return "ok"; }
  std::string getOcrErrorMsg(const std::string&) { return {}; }

  // Device services: each starts its work and answers at once; outcomes are logged.
  std::string requestPhotoAuthorization(const std::string& unused);
  std::string deleteAllPhotos(const std::string& unused);
  std::string deleteAllVideos(const std::string& unused);
  /// {"imageId": path}: "ok" when the album save started, otherwise "".
  std::string saveImageToAlbumPath(const std::string& json);
  std::string saveVideoToAlbumPath(const std::string& json);
  /// The bytes staged as Documents/tmp.jpg (tmp.mp4), then saved to the album.
  std::string savImageToAlbumPathForData(const std::optional<Bytes>& data);
  std::string saveVideoToAlbumPathForData(const std::optional<Bytes>& data);
  /// {"path", "loop"}: "ok" when playback started; "loop" "1" repeats it 1000 times.
  std::string playMp3(const std::string& json);
  std::string stopMp3();
  /// Kind "1": the text; kind "2": the text as a URL (none when it is no URL); "ok". Else "".
  std::string setClipboardText(const std::string& text, const std::string& kind);
  std::string getClipboardText();
  /// {"imageId": "1"} reads, {"imageId": "2", "firstColor": text} writes.
  std::string operateClipboard(const std::string& json);
  /// "ok" when the text is a URL handed to the desktop's opener; "" otherwise.
  std::string openUrl(const std::string& url);

  device::PlayMp3& playMp3Ins() { return playMp3Ins_; }
  ImageFinderProcessor& imageFinderProcessor() { return imageFinderProcessor_; }
  node::NodeManagerThread& nodeManager() { return nodeManager_; }

 private:
  node::NodeManagerThread nodeManager_;
  ImageFinderProcessor imageFinderProcessor_;
  std::mutex ocrMutex_;  // ocrVisionExtra is replaced as a whole
  std::string ocrVisionExtra_;
  device::PlayMp3 playMp3Ins_;
};

}  // namespace vistrel::api
