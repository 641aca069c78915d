#include "cli/Operations.h"

#include "vistrel/api/AutoApi.h"
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
