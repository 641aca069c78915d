#include "cli/Operations.h"

#include <nlohmann/json.hpp>

#include "vistrel/api/AutoApi.h"
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
  return {std::move(name), {{"img", K::image}}, std::move(summary),
          [method](const Arguments& x) -> Result { return fromImage((a().*method)(x.image(0))); }};
}

// A text operation taking one JSON parameter text.
Operation jsonOp(std::string name, std::string summary,
                 std::string (AutoApi::*method)(const std::string&)) {
  return {std::move(name), {{"json", K::text}}, std::move(summary),
          [method](const Arguments& x) -> Result { return (a().*method)(x.text(0)); }};
}

// A text operation taking one text that may be absent.
Operation idOp(std::string name, std::string summary,
               std::string (AutoApi::*method)(const std::optional<std::string>&)) {
  return {std::move(name), {{"uuid", K::optionalText}}, std::move(summary),
          [method](const Arguments& x) -> Result {
            return (a().*method)(fromOptional(x.optionalText(0)));
          }};
}

// A node query taking the thread id and a nid that may be absent.
Operation nidOp(std::string name, std::string summary,
                std::string (AutoApi::*method)(const std::string&,
                                               const std::optional<std::string>&)) {
  return {std::move(name), {{"threadId", K::text}, {"nid", K::optionalText}}, std::move(summary),
          [method](const Arguments& x) -> Result {
            return (a().*method)(x.text(0), x.optionalText(1));
          }};
}

// A node query taking the thread id and a selector list.
Operation selectOp(std::string name, std::string summary,
                   std::string (AutoApi::*method)(const std::string&, const std::string&)) {
  return {std::move(name), {{"threadId", K::text}, {"select", K::text}}, std::move(summary),
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

std::map<std::string, Operation, std::less<>> build() {
  std::vector<Operation> list = {
      jsonOp("useOpencvMat", "matrix mode on for {\"use\":1}; \"ok\"", &AutoApi::useOpencvMat),
      jsonOp("setMatLog", "matrix engine log switch, {\"use\":1}; \"ok\"", &AutoApi::setMatLog),
      {"addImage", {{"img", K::image}}, "stores the image; its id or \"\"",
       [](const Arguments& x) -> Result { return a().addImage(x.image(0)); }},
      {"getAutoImageData", {{"uuid", K::optionalText}}, "the stored image as JPEG bytes",
       [](const Arguments& x) -> Result {
         return fromOptionalBytes(a().getAutoImageData(x.optionalText(0)));
       }},
      idOp("removeImage", "recycles the id; \"ok\"", &AutoApi::removeImage),
      idOp("recycleImage", "recycles the id; \"ok\"", &AutoApi::recycleImage),
      {"removeAllImage", {}, "empties the registry; \"ok\"",
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
      jsonOp("findColor", "{\"imageId\",\"firstColor\",\"threshold\",\"x\",\"y\",\"w\",\"h\","
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
      {"toUpImageFrom", {{"data", K::bytes}}, "decoded, orientation up",
       [](const Arguments& x) -> Result { return fromImage(a().toUpImageFrom(x.bytes(0))); }},
      {"toUpImageData", {{"img", K::image}}, "orientation up, JPEG at quality 1",
       [](const Arguments& x) -> Result {
         return fromOptionalBytes(a().toUpImageData(x.image(0)));
       }},
      {"toUpImageData2", {{"img", K::image}, {"q", K::real}, {"type", K::integer}},
       "orientation up, PNG for type 2, otherwise JPEG at quality q",
       [](const Arguments& x) -> Result {
         return fromOptionalBytes(
             a().toUpImageData2(x.image(0), static_cast<float>(x.real(1)), x.integer(2)));
       }},
      {"toUpImageData3", {{"img", K::image}, {"q", K::real}, {"type", K::integer}},
       "encoded (PNG for 2, JPEG for 1), decoded, orientation up",
       [](const Arguments& x) -> Result {
         return fromImage(
             a().toUpImageData3(x.image(0), static_cast<float>(x.real(1)), x.integer(2)));
       }},
      {"toUpImageDataFrom", {{"data", K::bytes}}, "decoded, orientation up, JPEG at quality 1",
       [](const Arguments& x) -> Result {
         return fromOptionalBytes(a().toUpImageDataFrom(x.bytes(0)));
       }},
      {"ImageUtils.jpegData2", {{"img", K::image}, {"q", K::real}}, "JPEG at quality q",
       [](const Arguments& x) -> Result {
         return fromOptionalBytes(image::ImageUtils::jpegData2(x.image(0), x.real(1)));
       }},
      {"DataUtils.md5_22", {{"data", K::bytes}}, "MD5 digest, 32 lower-case hex digits",
       [](const Arguments& x) -> Result {
         const auto bytes = x.bytes(0);
         if (!bytes) return std::monostate{};
         return image::DataUtils::md5_22(*bytes);
       }},
      {"DataUtils.toString", {{"data", K::bytes}}, "the bytes as UTF-8 text, absent when invalid",
       [](const Arguments& x) -> Result {
         const auto bytes = x.bytes(0);
         if (!bytes) return std::monostate{};
         return fromOptionalText(image::DataUtils::toString(*bytes));
       }},
      {"DataUtils.toDic", {{"data", K::bytes}}, "the bytes as a JSON object (its compact text)",
       [](const Arguments& x) -> Result {
         const auto bytes = x.bytes(0);
         if (!bytes) return std::monostate{};
         const auto dic = image::DataUtils::toDic(*bytes);
         if (!dic) return std::monostate{};
         return dic->dump();
       }},
      {"setDocument", {{"threadId", K::text}, {"doc", K::text}},
       "loads the thread's element tree; \"ok\", or \"error\" for the empty text",
       [](const Arguments& x) -> Result { return a().setDocument(x.text(0), x.text(1)); }},
      {"setCacheDocument", {{"threadId", K::text}, {"r", K::text}},
       "\"true\" marks the document cached; anything else drops it",
       [](const Arguments& x) -> Result { return a().setCacheDocument(x.text(0), x.text(1)); }},
      {"hasDocument", {{"threadId", K::text}}, "a document is stored",
       [](const Arguments& x) -> Result { return a().hasDocument(x.text(0)); }},
      {"isCacheDocument", {{"threadId", K::text}}, "cached and a document is stored",
       [](const Arguments& x) -> Result { return a().isCacheDocument(x.text(0)); }},
      selectOp("getOneNodeInfo", "first element matching the selector list", &AutoApi::getOneNodeInfo),
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
      {"NodeManager.testXpath", {{"markup", K::text}, {"expression", K::text}},
       "descriptions of the elements the XPath finds in the markup, or \"\"",
       [](const Arguments& x) -> Result {
         return node::NodeManager().testXpath(x.text(0), x.text(1));
       }},
      {"NodeManager.parseNid", {{"markup", K::text}}, "the markup rewritten with node ids",
       [](const Arguments& x) -> Result { return node::NodeManager().parseNid(x.text(0)); }},
      {"XpathSelect.xpath", {{"markup", K::text}, {"expression", K::text}},
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
    case K::text: return "text";
    case K::optionalText: return "text?";
    case K::image: return "image";
    case K::bytes: return "bytes";
    case K::real: return "real";
    case K::integer: return "integer";
    case K::boolean: return "boolean";
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
