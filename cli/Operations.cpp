#include "cli/Operations.h"

#include <nlohmann/json.hpp>

#include "vistrel/api/AutoApi.h"
#include "vistrel/files/FileUtil.h"
#include "vistrel/files/FileUtils.h"
#include "vistrel/files/Path.h"
#include "vistrel/files/TextFile.h"
#include "vistrel/http/HttpUtil.h"
#include "vistrel/image/DataUtils.h"
#include "vistrel/image/ImageUtils.h"
#include "vistrel/node/NodeManager.h"
#include "vistrel/node/XpathSelect.h"
#include "vistrel/touch/MultiTouchProcessArray.h"

namespace vistrel::cli {
namespace {

using api::AutoApi;
using K = ArgKind;

AutoApi& a() { return AutoApi::getInstance(); }

template <typename T>
const T* as(const std::vector<ArgValue>& values, std::size_t i) {
  return i < values.size() ? std::get_if<T>(&values[i]) : nullptr;
}

std::optional<std::string> fromOptional(std::optional<std::string> value) { return value; }

Result fromOptionalBytes(std::optional<platform::Bytes> bytes) {
  if (!bytes) return std::monostate{};
  return std::move(*bytes);
}

Result fromImage(platform::ImagePtr image) {
  if (!image) return std::monostate{};
  return image;
}

Result fromOptionalText(std::optional<std::string> text) {
  if (!text) return std::monostate{};
  return std::move(*text);
}

// An image operation of the call surface taking one image.
Operation imageOp(std::string name, std::string summary,
                  api::ImagePtr (AutoApi::*method)(const api::ImagePtr&)) {
  return {std::move(name),
          {{"img", K::image}},
          std::move(summary),
          [method](const Arguments& x) -> Result { return fromImage((a().*method)(x.image(0))); }};
}

// A text operation taking one JSON parameter text.
Operation jsonOp(std::string name, std::string summary,
                 std::string (AutoApi::*method)(const std::string&)) {
  return {std::move(name),
          {{"json", K::text}},
          std::move(summary),
          [method](const Arguments& x) -> Result { return (a().*method)(x.text(0)); }};
}

// A text operation taking one text that may be absent.
Operation idOp(std::string name, std::string summary,
               std::string (AutoApi::*method)(const std::optional<std::string>&)) {
  return {std::move(name),
          {{"uuid", K::optionalText}},
          std::move(summary),
          [method](const Arguments& x) -> Result {
            return (a().*method)(fromOptional(x.optionalText(0)));
          }};
}

// A node query taking the thread id and a nid that may be absent.
Operation nidOp(std::string name, std::string summary,
                std::string (AutoApi::*method)(const std::string&,
                                               const std::optional<std::string>&)) {
  return {std::move(name),
          {{"threadId", K::text}, {"nid", K::optionalText}},
          std::move(summary),
          [method](const Arguments& x) -> Result {
            return (a().*method)(x.text(0), x.optionalText(1));
          }};
}

// A node query taking the thread id and a selector list.
Operation selectOp(std::string name, std::string summary,
                   std::string (AutoApi::*method)(const std::string&, const std::string&)) {
  return {std::move(name),
          {{"threadId", K::text}, {"select", K::text}},
          std::move(summary),
          [method](const Arguments& x) -> Result { return (a().*method)(x.text(0), x.text(1)); }};
}

// A node query inside a node.
Operation forNodeOp(std::string name, std::string summary,
                    std::string (AutoApi::*method)(const std::string&,
                                                   const std::optional<std::string>&,
                                                   const std::string&)) {
  return {std::move(name),
          {{"threadId", K::text}, {"nid", K::optionalText}, {"select", K::text}},
          std::move(summary),
          [method](const Arguments& x) -> Result {
            return (a().*method)(x.text(0), x.optionalText(1), x.text(2));
          }};
}

// Operations of the public file classes: texts, numbers and booleans in and out.
std::vector<Operation> fileOperations() {
  using files::FileUtil;
  using files::FileUtils;
  using files::Path;
  const auto text = [](const char* name, const char* summary, auto&& f) {
    return Operation{name, {{"path", K::text}}, summary, [f](const Arguments& x) -> Result {
                       return f(x.text(0));
                     }};
  };
  const auto optionalText = [](std::optional<std::string> v) -> Result {
    if (!v) return std::monostate{};
    return std::move(*v);
  };
  const auto list = [](const std::vector<std::string>& v) -> Result {
    return nlohmann::json(v).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  };
  return {
      {"saveFile",
       {{"data", K::bytes}, {"name", K::text}},
       "bytes saved in the caches directory; the path or \"\"",
       [](const Arguments& x) -> Result { return a().saveFile(x.bytes(0), x.text(1)); }},
      {"Path.join",
       {{"parts", K::text}},
       "a JSON array of texts joined with single separators",
       [](const Arguments& x) -> Result {
         const auto parts = nlohmann::json::parse(x.text(0), nullptr, false);
         if (!parts.is_array()) return std::string();
         std::vector<std::string> texts;
         for (const auto& p : parts) {
           if (p.is_string()) texts.push_back(p.get<std::string>());
         }
         return Path::join(texts);
       }},
      text("Path.split", "the components as a JSON array",
           [list](const std::string& p) { return list(Path::split(p)); }),
      {"Path.basename",
       {{"path", K::text}, {"ext", K::optionalText}},
       "the last component",
       [](const Arguments& x) -> Result { return Path::basename(x.text(0), x.optionalText(1)); }},
      text("Path.extname", "the extension, or null",
           [optionalText](const std::string& p) { return optionalText(Path::extname(p)); }),
      text("Path.dirname", "everything before the last separator",
           [](const std::string& p) -> Result { return Path::dirname(p); }),
      text("Path.isAbsolute", "starts with / or ~",
           [](const std::string& p) -> Result { return Path::isAbsolute(p); }),
      text("Path.isRelative", "not absolute",
           [](const std::string& p) -> Result { return Path::isRelative(p); }),
      {"Path.format",
       {{"elements", K::text}},
       "a path from {\"dir\",\"base\",\"ext\"}",
       [](const Arguments& x) -> Result {
         const auto parsed = nlohmann::json::parse(x.text(0), nullptr, false);
         if (!parsed.is_object()) return std::string();
         std::map<files::PathElements, std::optional<std::string>> elements;
         const std::pair<const char*, files::PathElements> keys[] = {
             {"dir", files::PathElements::dir},
             {"base", files::PathElements::base},
             {"ext", files::PathElements::ext}};
         for (const auto& [key, element] : keys) {
           if (parsed.contains(key) && parsed[key].is_string())
             elements[element] = parsed[key].get<std::string>();
         }
         return Path::format(elements);
       }},
      text("Path.exists", "something exists at the path",
           [](const std::string& p) -> Result { return Path::exists(p); }),
      text("Path.isFile", "a file (not a directory)",
           [](const std::string& p) -> Result { return Path::isFile(p); }),
      text("Path.isDir", "a directory",
           [](const std::string& p) -> Result { return Path::isDir(p); }),
      text("FileUtils.readFileString", "the file as UTF-8 text, or null",
           [optionalText](const std::string& p) {
             return optionalText(FileUtils::readFileString(p));
           }),
      {"FileUtils.writeFileString",
       {{"content", K::text}, {"path", K::text}},
       "writes the text; true when written",
       [](const Arguments& x) -> Result {
         return FileUtils::writeFileString(x.text(0), x.text(1));
       }},
      text("FileUtils.exists", "something exists",
           [](const std::string& p) -> Result { return FileUtils::exists(p); }),
      text("FileUtils.isFile", "a file",
           [](const std::string& p) -> Result { return FileUtils::isFile(p); }),
      text("FileUtils.isDir", "a directory",
           [](const std::string& p) -> Result { return FileUtils::isDir(p); }),
      text("FileUtils.deleteFile", "removes the file or directory",
           [](const std::string& p) -> Result { return FileUtils::deleteFile(p); }),
      text("FileUtils.isReadable", "readable",
           [](const std::string& p) -> Result { return FileUtils::isReadable(p); }),
      text("FileUtils.isWritable", "writable",
           [](const std::string& p) -> Result { return FileUtils::isWritable(p); }),
      text("FileUtils.getSize", "size in bytes as decimal text",
           [](const std::string& p) -> Result { return std::to_string(FileUtils::getSize(p)); }),
      text("FileUtils.md5File", "MD5 of the content, or null",
           [optionalText](const std::string& p) { return optionalText(FileUtils::md5File(p)); }),
      {"FileUtils.createFolder",
       {{"path", K::text}, {"createIntermediates", K::boolean}},
       "creates the directory",
       [](const Arguments& x) -> Result {
         return FileUtils::createFolder(x.text(0), x.boolean(1));
       }},
      {"FileUtils.moveFile",
       {{"fileName", K::text}, {"fromDirectory", K::text}, {"toDirectory", K::text}},
       "moves without replacing",
       [](const Arguments& x) -> Result {
         return FileUtils::moveFile(x.text(0), x.text(1), x.text(2));
       }},
      {"FileUtils.copyFile",
       {{"from", K::text}, {"to", K::text}},
       "copies without replacing",
       [](const Arguments& x) -> Result { return FileUtils::copyFile(x.text(0), x.text(1)); }},
      {"FileUtils.readLineEx",
       {{"filePath", K::text}, {"lineNo", K::integer}},
       "the 1-based line, or null",
       [optionalText](const Arguments& x) {
         return optionalText(FileUtils::readLineEx(x.text(0), x.integer(1)));
       }},
      {"FileUtils.appendLineEx",
       {{"filePath", K::text}, {"data", K::text}},
       "appends a line",
       [](const Arguments& x) -> Result { return FileUtils::appendLineEx(x.text(0), x.text(1)); }},
      {"FileUtils.deleteLineEx",
       {{"path", K::text}, {"lineNo", K::integer}, {"text", K::text}},
       "removes lines by number or content; true when one went",
       [](const Arguments& x) -> Result {
         return FileUtils::deleteLineEx(x.text(0), x.integer(1), x.text(2));
       }},
      {"FilePathUtils.documentsDirectoryURL",
       {},
       "file URL",
       [](const Arguments&) -> Result { return files::FilePathUtils::documentsDirectoryURL(); }},
      {"FilePathUtils.documentsDirectoryURL2",
       {},
       "file URL",
       [](const Arguments&) -> Result { return files::FilePathUtils::documentsDirectoryURL2(); }},
      {"FilePathUtils.libraryDirectoryURL",
       {},
       "file URL",
       [](const Arguments&) -> Result { return files::FilePathUtils::libraryDirectoryURL(); }},
      {"FilePathUtils.librayCachesURL",
       {},
       "file URL",
       [](const Arguments&) -> Result { return files::FilePathUtils::librayCachesURL(); }},
      {"FilePathUtils.tempDirectoryURL",
       {},
       "file URL",
       [](const Arguments&) -> Result { return files::FilePathUtils::tempDirectoryURL(); }},
      {"TextFile.grep",
       {{"path", K::text}, {"pattern", K::text}, {"include", K::boolean}},
       "the lines that contain (or do not contain) the pattern, as a JSON array",
       [list](const Arguments& x) {
         return list(files::TextFile(x.text(0)).grep(x.text(1), x.boolean(2)));
       }},
      {"FileUtil.saveConfig",
       {{"key", K::text}, {"value", K::text}},
       "stores a JSON value (a text that is no JSON is stored as text)",
       [](const Arguments& x) -> Result {
         auto value = nlohmann::json::parse(x.text(1), nullptr, false);
         FileUtil::saveConfig(x.text(0), value.is_discarded() ? nlohmann::json(x.text(1)) : value);
         return std::monostate{};
       }},
      text("FileUtil.removeConfig", "removes the key",
           [](const std::string& k) -> Result {
             FileUtil::removeConfig(k);
             return std::monostate{};
           }),
      text("FileUtil.getConfig", "the value as text, or null",
           [optionalText](const std::string& k) { return optionalText(FileUtil::getConfig(k)); }),
      text("FileUtil.getStringConfig", "the value as text, or null",
           [optionalText](const std::string& k) {
             return optionalText(FileUtil::getStringConfig(k));
           }),
      text("FileUtil.hasConfigRmPre", "the key reads as text",
           [](const std::string& k) -> Result { return FileUtil::hasConfigRmPre(k); }),
      text("FileUtil.getValueFromSystemJson", "a member of system_config.json, or null",
           [optionalText](const std::string& k) {
             return optionalText(FileUtil::getValueFromSystemJson(k));
           }),
      text("Const.isSystemKey", "one of the six system keys",
           [](const std::string& k) -> Result { return files::Const::isSystemKey(k); }),
      {"Const.runningInApp",
       {},
       "RUNNING_MODE is 2",
       [](const Arguments&) -> Result { return files::Const::runningInApp(); }},
      text("Const.member", "a constant by name, or null",
           [optionalText](const std::string& k) { return optionalText(files::Const::member(k)); }),
  };
}

std::map<std::string, Operation, std::less<>> build() {
  std::vector<Operation> list = {
      jsonOp("useOpencvMat", "matrix mode on for {\"use\":1}; \"ok\"", &AutoApi::useOpencvMat),
      jsonOp("setMatLog", "matrix engine log switch, {\"use\":1}; \"ok\"", &AutoApi::setMatLog),
      {"addImage",
       {{"img", K::image}},
       "stores the image; its id or \"\"",
       [](const Arguments& x) -> Result { return a().addImage(x.image(0)); }},
      {"getAutoImageData",
       {{"uuid", K::optionalText}},
       "the stored image as JPEG bytes",
       [](const Arguments& x) -> Result {
         return fromOptionalBytes(a().getAutoImageData(x.optionalText(0)));
       }},
      idOp("removeImage", "recycles the id; \"ok\"", &AutoApi::removeImage),
      idOp("recycleImage", "recycles the id; \"ok\"", &AutoApi::recycleImage),
      {"removeAllImage",
       {},
       "empties the registry; \"ok\"",
       [](const Arguments&) -> Result { return a().removeAllImage(); }},
      idOp("isRecycled", "\"ok\" when the id is not stored", &AutoApi::isRecycled),
      jsonOp("getWidth", "{\"imageId\"}: width", &AutoApi::getWidth),
      jsonOp("getHeight", "{\"imageId\"}: height", &AutoApi::getHeight),
      jsonOp("pixel", "{\"imageId\",\"x\",\"y\"}: packed colour", &AutoApi::pixel),
      jsonOp("pixelRGB", "{\"imageId\",\"x\",\"y\"}: colour text #RRGGBB", &AutoApi::pixelRGB),
      jsonOp("cmpColor", "{\"imageId\",\"firstColor\",\"threshold\"}: group index or -1",
             &AutoApi::cmpColor),
      jsonOp("cmpMultiColor", "{\"imageId\",\"firstColor\" (JSON list of groups),\"threshold\"}",
             &AutoApi::cmpMultiColor),
      jsonOp("findColor",
             "{\"imageId\",\"firstColor\",\"threshold\",\"x\",\"y\",\"w\",\"h\","
             "\"limit\",\"orz\"}: points or \"\"",
             &AutoApi::findColor),
      jsonOp("findNotColor", "as findColor plus \"allNotEquals\"", &AutoApi::findNotColor),
      jsonOp("findMultiColor", "as findColor plus \"colorPoints\"", &AutoApi::findMultiColor),
      jsonOp("findImageByColor",
             "{\"imageId\",\"templateId\",\"threshold\",\"x\",\"y\",\"w\",\"h\",\"limit\"}",
             &AutoApi::findImageByColor),
      jsonOp("findImageByColorEx", "as findImageByColor plus \"extra\"",
             &AutoApi::findImageByColorEx),
      jsonOp("findImage",
             "{\"imageId\",\"templateId\",\"weakThreshold\",\"threshold\",\"x\",\"y\",\"w\",\"h\","
             "\"limit\",\"method\"}: matches as rectangles",
             &AutoApi::findImage),
      jsonOp("matchTemplate", "as findImage plus \"maxLevel\": matches as points",
             &AutoApi::matchTemplate),
      jsonOp("binaryzationEx",
             "{\"imageId\",\"diameter\",\"adaptiveMethod\",\"blockSize\",\"c\","
             "\"thresholdType\",\"maxValue\"}: id of the adaptive two-level image",
             &AutoApi::binaryzationEx),
      jsonOp("grayImage", "{\"imageId\"}: id of the gray image", &AutoApi::grayImage),
      jsonOp("base64", "{\"imageId\"}: the stored image as JPEG in Base64", &AutoApi::base64),
      jsonOp("clip", "{\"imageId\",\"x\",\"y\",\"w\",\"h\"}: id of the region as a new image",
             &AutoApi::clip),
      jsonOp("rotateImage", "{\"imageId\",\"degree\"}: \"0\", \"90\" or \"-90\"; new id",
             &AutoApi::rotateImage),
      jsonOp("binaryzationImage", "{\"imageId\",\"threshold\"}: id of a two-level image",
             &AutoApi::binaryzationImage),
      jsonOp("matToImageFormat", "{\"uuid\"}: a matrix image copied into a pixel image",
             &AutoApi::matToImageFormat),
      jsonOp("imageToMatFormat", "{\"uuid\"}: a stored image copied into a matrix image",
             &AutoApi::imageToMatFormat),
      imageOp("clipImage", "a copy of the image", &AutoApi::clipImage),
      imageOp("toUpImage", "orientation mark dropped", &AutoApi::toUpImage),
      imageOp("toLeftImage", "turned a quarter counter-clockwise", &AutoApi::toLeftImage),
      imageOp("toRightImage", "turned a quarter clockwise", &AutoApi::toRightImage),
      {"toUpImageFrom",
       {{"data", K::bytes}},
       "decoded, orientation up",
       [](const Arguments& x) -> Result { return fromImage(a().toUpImageFrom(x.bytes(0))); }},
      {"toUpImageData",
       {{"img", K::image}},
       "orientation up, JPEG at quality 1",
       [](const Arguments& x) -> Result {
         return fromOptionalBytes(a().toUpImageData(x.image(0)));
       }},
      {"toUpImageData2",
       {{"img", K::image}, {"q", K::real}, {"type", K::integer}},
       "orientation up, PNG for type 2, otherwise JPEG at quality q",
       [](const Arguments& x) -> Result {
         return fromOptionalBytes(
             a().toUpImageData2(x.image(0), static_cast<float>(x.real(1)), x.integer(2)));
       }},
      {"toUpImageData3",
       {{"img", K::image}, {"q", K::real}, {"type", K::integer}},
       "encoded (PNG for 2, JPEG for 1), decoded, orientation up",
       [](const Arguments& x) -> Result {
         return fromImage(
             a().toUpImageData3(x.image(0), static_cast<float>(x.real(1)), x.integer(2)));
       }},
      {"toUpImageDataFrom",
       {{"data", K::bytes}},
       "decoded, orientation up, JPEG at quality 1",
       [](const Arguments& x) -> Result {
         return fromOptionalBytes(a().toUpImageDataFrom(x.bytes(0)));
       }},
      {"ImageUtils.jpegData2",
       {{"img", K::image}, {"q", K::real}},
       "JPEG at quality q",
       [](const Arguments& x) -> Result {
         return fromOptionalBytes(image::ImageUtils::jpegData2(x.image(0), x.real(1)));
       }},
      {"DataUtils.md5_22",
       {{"data", K::bytes}},
       "MD5 digest, 32 lower-case hex digits",
       [](const Arguments& x) -> Result {
         const auto bytes = x.bytes(0);
         if (!bytes) return std::monostate{};
         return image::DataUtils::md5_22(*bytes);
       }},
      {"DataUtils.toString",
       {{"data", K::bytes}},
       "the bytes as UTF-8 text, absent when invalid",
       [](const Arguments& x) -> Result {
         const auto bytes = x.bytes(0);
         if (!bytes) return std::monostate{};
         return fromOptionalText(image::DataUtils::toString(*bytes));
       }},
      {"DataUtils.toDic",
       {{"data", K::bytes}},
       "the bytes as a JSON object (its compact text)",
       [](const Arguments& x) -> Result {
         const auto bytes = x.bytes(0);
         if (!bytes) return std::monostate{};
         const auto dic = image::DataUtils::toDic(*bytes);
         if (!dic) return std::monostate{};
         return dic->dump();
       }},
      {"setDocument",
       {{"threadId", K::text}, {"doc", K::text}},
       "loads the thread's element tree; \"ok\", or \"error\" for the empty text",
       [](const Arguments& x) -> Result { return a().setDocument(x.text(0), x.text(1)); }},
      {"setCacheDocument",
       {{"threadId", K::text}, {"r", K::text}},
       "\"true\" marks the document cached; anything else drops it",
       [](const Arguments& x) -> Result { return a().setCacheDocument(x.text(0), x.text(1)); }},
      {"hasDocument",
       {{"threadId", K::text}},
       "a document is stored",
       [](const Arguments& x) -> Result { return a().hasDocument(x.text(0)); }},
      {"isCacheDocument",
       {{"threadId", K::text}},
       "cached and a document is stored",
       [](const Arguments& x) -> Result { return a().isCacheDocument(x.text(0)); }},
      selectOp("getOneNodeInfo", "first element matching the selector list",
               &AutoApi::getOneNodeInfo),
      selectOp("getNodeInfo", "all elements matching the selector list", &AutoApi::getNodeInfo),
      forNodeOp("getOneNodeInfoForNode", "first match inside the node",
                &AutoApi::getOneNodeInfoForNode),
      forNodeOp("getNodeInfoForNode", "all matches inside the node", &AutoApi::getNodeInfoForNode),
      nidOp("getNodeInfoParent", "the node's parent", &AutoApi::getNodeInfoParent),
      nidOp("getNodeInfoAllChildren", "the node's children", &AutoApi::getNodeInfoAllChildren),
      {"getNodeInfoChild",
       {{"threadId", K::text}, {"nid", K::optionalText}, {"index", K::optionalText}},
       "the child at the index (absent: 0)",
       [](const Arguments& x) -> Result {
         return a().getNodeInfoChild(x.text(0), x.optionalText(1), x.optionalText(2));
       }},
      nidOp("getPreviousSiblingNodeInfo", "siblings before the node",
            &AutoApi::getPreviousSiblingNodeInfo),
      nidOp("getNextSiblingNodeInfo", "siblings after the node", &AutoApi::getNextSiblingNodeInfo),
      nidOp("getSiblingNodeInfo", "the other siblings", &AutoApi::getSiblingNodeInfo),
      {"NodeManager.testXpath",
       {{"markup", K::text}, {"expression", K::text}},
       "descriptions of the elements the XPath finds in the markup, or \"\"",
       [](const Arguments& x) -> Result {
         return node::NodeManager().testXpath(x.text(0), x.text(1));
       }},
      {"NodeManager.parseNid",
       {{"markup", K::text}},
       "the markup rewritten with node ids",
       [](const Arguments& x) -> Result { return node::NodeManager().parseNid(x.text(0)); }},
      {"XpathSelect.xpath",
       {{"markup", K::text}, {"expression", K::text}},
       "the nodes found, as [{\"tag\":..,\"attributes\":{..}}], or \"\"",
       [](const Arguments& x) -> Result {
         const auto found = node::XpathSelect().xpath(x.text(0), x.text(1));
         if (!found) return std::string();
         nlohmann::ordered_json out = nlohmann::ordered_json::array();
         for (const auto& n : *found) {
           nlohmann::ordered_json attributes = nlohmann::ordered_json::object();
           for (const auto& [k, v] : n->attributes()) attributes[k] = v;
           out.push_back({{"tag", n->name()}, {"attributes", attributes}});
         }
         return out.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
       }},
      jsonOp("setInitOcr", "{\"extra\": options text}: OCR options of later calls; \"ok\"",
             &AutoApi::setInitOcr),
      jsonOp("ocrImage", "{\"imageId\"}: recognised lines with their boxes", &AutoApi::ocrImage),
      jsonOp("setOcrType", "\"ok\"", &AutoApi::setOcrType),
      jsonOp("releaseAllOcr", "\"ok\"", &AutoApi::releaseAllOcr),
      jsonOp("getOcrErrorMsg", "\"\"", &AutoApi::getOcrErrorMsg),
      jsonOp("requestPhotoAuthorization", "\"ok\"; the status is logged",
             &AutoApi::requestPhotoAuthorization),
      jsonOp("deleteAllPhotos", "\"ok\"; deletes every album image", &AutoApi::deleteAllPhotos),
      jsonOp("deleteAllVideos", "\"ok\"; deletes every album video", &AutoApi::deleteAllVideos),
      jsonOp("saveImageToAlbumPath", "{\"imageId\": path}: \"ok\" when the save started",
             &AutoApi::saveImageToAlbumPath),
      jsonOp("saveVideoToAlbumPath", "{\"imageId\": path}: \"ok\" when the save started",
             &AutoApi::saveVideoToAlbumPath),
      {"savImageToAlbumPathForData",
       {{"data", K::bytes}},
       "image bytes to the album",
       [](const Arguments& x) -> Result { return a().savImageToAlbumPathForData(x.bytes(0)); }},
      {"saveVideoToAlbumPathForData",
       {{"data", K::bytes}},
       "video bytes to the album",
       [](const Arguments& x) -> Result { return a().saveVideoToAlbumPathForData(x.bytes(0)); }},
      jsonOp("playMp3", "{\"path\",\"loop\"}: \"ok\" when playback started", &AutoApi::playMp3),
      {"stopMp3", {}, "\"ok\"", [](const Arguments&) -> Result { return a().stopMp3(); }},
      {"setClipboardText",
       {{"text", K::text}, {"kind", K::text}},
       "kind 1 text, 2 URL",
       [](const Arguments& x) -> Result { return a().setClipboardText(x.text(0), x.text(1)); }},
      {"getClipboardText",
       {},
       "the clipboard text",
       [](const Arguments&) -> Result { return a().getClipboardText(); }},
      jsonOp("operateClipboard", "{\"imageId\": \"1\"} reads, \"2\" writes \"firstColor\"",
             &AutoApi::operateClipboard),
      {"openUrl",
       {{"url", K::text}},
       "\"ok\" when the URL went to the opener",
       [](const Arguments& x) -> Result { return a().openUrl(x.text(0)); }},
      jsonOp("requestEx", "general HTTP request; the response object, \"{}\" or \"\"",
             &AutoApi::requestEx),
      {"httpGet",
       {{"url", K::text}, {"timeout", K::text}},
       "GET; the body text or \"\"",
       [](const Arguments& x) -> Result { return a().httpGet(x.text(0), x.text(1)); }},
      {"httpPostJson",
       {{"url", K::text}, {"timeout", K::text}, {"body", K::text}},
       "POST of a JSON text; the body text or \"\"",
       [](const Arguments& x) -> Result {
         return a().httpPostJson(x.text(0), x.text(1), x.text(2));
       }},
      {"HttpUtil.matchMimeType2",
       {{"extens", K::optionalText}},
       "MIME type of an extension",
       [](const Arguments& x) -> Result {
         return http::HttpUtil::matchMimeType2(x.optionalText(0));
       }},
      {"HttpUtil.mimeType2",
       {{"path", K::text}},
       "MIME type of a path's extension",
       [](const Arguments& x) -> Result { return http::HttpUtil::mimeType2(x.text(0)); }},
      {"MultiTouchProcessArray.parse",
       {{"gesture", K::text}, {"scale", K::real}},
       "W3C WebDriver pointer actions of a gesture {\"finger1\": [...], ...}; \"\" when it does "
       "not decode",
       [](const Arguments& x) -> Result {
         const auto gesture = touch::MultiTouchOrg::decode(x.text(0));
         if (!gesture) return std::string();
         return touch::MultiTouchProcessArray().parse(*gesture, x.real(1));
       }},
  };
  for (auto& op : fileOperations()) list.push_back(std::move(op));
  std::map<std::string, Operation, std::less<>> table;
  for (auto& op : list) {
    std::string name = op.name;
    table.emplace(std::move(name), std::move(op));
  }
  return table;
}

}  // namespace

std::string_view kindName(ArgKind kind) {
  switch (kind) {
    case K::text:
      return "text";
    case K::optionalText:
      return "text?";
    case K::image:
      return "image";
    case K::bytes:
      return "bytes";
    case K::real:
      return "real";
    case K::integer:
      return "integer";
    case K::boolean:
      return "boolean";
  }
  return "?";
}

const std::string& Arguments::text(std::size_t i) const {
  static const std::string empty;
  const auto* v = as<std::string>(values_, i);
  return v ? *v : empty;
}

std::optional<std::string> Arguments::optionalText(std::size_t i) const {
  const auto* v = as<std::string>(values_, i);
  return v ? std::optional<std::string>(*v) : std::nullopt;
}

platform::ImagePtr Arguments::image(std::size_t i) const {
  const auto* v = as<platform::ImagePtr>(values_, i);
  return v ? *v : nullptr;
}

std::optional<platform::Bytes> Arguments::bytes(std::size_t i) const {
  const auto* v = as<platform::Bytes>(values_, i);
  return v ? std::optional<platform::Bytes>(*v) : std::nullopt;
}

double Arguments::real(std::size_t i) const {
  const auto* v = as<double>(values_, i);
  return v ? *v : 0.0;
}

std::int64_t Arguments::integer(std::size_t i) const {
  const auto* v = as<std::int64_t>(values_, i);
  return v ? *v : 0;
}

bool Arguments::boolean(std::size_t i) const {
  const auto* v = as<bool>(values_, i);
  return v && *v;
}

const std::map<std::string, Operation, std::less<>>& operations() {
  static const auto table = build();
  return table;
}

}  // namespace vistrel::cli
