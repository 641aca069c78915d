#include "vistrel/node/NodeRecords.h"

#include "vistrel/platform/Console.h"

namespace vistrel::node {
namespace {

using nlohmann::json;

struct SelectorField {
  const char* key;
  std::optional<std::string> NodeSelector::*member;
};

constexpr SelectorField kSelectorFields[] = {
    {"name", &NodeSelector::name},
    {"label", &NodeSelector::label},
    {"nameMatch", &NodeSelector::nameMatch},
    {"id", &NodeSelector::id},
    {"idMatch", &NodeSelector::idMatch},
    {"value", &NodeSelector::value},
    {"valueMatch", &NodeSelector::valueMatch},
    {"type", &NodeSelector::type},
    {"typeMatch", &NodeSelector::typeMatch},
    {"labelMatch", &NodeSelector::labelMatch},
    {"enable", &NodeSelector::enable},
    {"accessible", &NodeSelector::accessible},
    {"index", &NodeSelector::index},
    {"childcount", &NodeSelector::childcount},
    {"visible", &NodeSelector::visible},
    {"depth", &NodeSelector::depth},
    {"selected", &NodeSelector::selected},
    {"nid", &NodeSelector::nid},
    {"bounds", &NodeSelector::bounds},
    {"xpath", &NodeSelector::xpath},
};

}  // namespace

std::optional<std::vector<NodeSelector>> NodeSelector::decodeList(std::string_view text) {
  std::string error;
  try {
    const json parsed = json::parse(text);
    if (!parsed.is_array()) throw std::runtime_error("expected a JSON array of selectors");
    std::vector<NodeSelector> list;
    for (const auto& entry : parsed) {
      if (!entry.is_object()) throw std::runtime_error("expected a selector object");
      NodeSelector selector;
      for (const auto& field : kSelectorFields) {
        const auto found = entry.find(field.key);
        if (found == entry.end() || found->is_null()) continue;
        if (!found->is_string()) {
          throw std::runtime_error(std::string("key \"") + field.key + "\" expected a string");
        }
        selector.*field.member = found->get<std::string>();
      }
      list.push_back(std::move(selector));
    }
    return list;
  } catch (const std::exception& e) {
    error = e.what();
  }
  platform::logOut("NodeSelector decoding failed: " + error);
  return std::nullopt;
}

nlohmann::ordered_json NodeInfo::toJson() const {
  nlohmann::ordered_json out = nlohmann::ordered_json::object();
  const auto put = [&out](const char* key, const auto& field) {
    if (field) out[key] = *field;
  };
  put("name", name);
  put("label", label);
  put("id", id);
  put("value", value);
  put("type", type);
  put("enable", enable);
  put("accessible", accessible);
  put("index", index);
  put("childcount", childcount);
  put("visible", visible);
  put("depth", depth);
  put("selected", selected);
  put("nid", nid);
  if (bounds) {
    nlohmann::ordered_json rect = nlohmann::ordered_json::object();
    if (bounds->left) rect["left"] = *bounds->left;
    if (bounds->right) rect["right"] = *bounds->right;
    if (bounds->top) rect["top"] = *bounds->top;
    if (bounds->bottom) rect["bottom"] = *bounds->bottom;
    out["bounds"] = std::move(rect);
  }
  return out;
}

std::optional<FetchNodeParam> FetchNodeParam::decode(std::string_view text) {
  const json parsed = json::parse(text, nullptr, false);
  if (!parsed.is_object()) return std::nullopt;
  FetchNodeParam p;
  std::string* fields[] = {&p.nodeFormat, &p.boundsFilter,  &p.visibleFilter,      &p.labelFilter,
                           &p.maxDepth,   &p.maxChildCount, &p.excluded_attributes};
  const char* keys[] = {"nodeFormat", "boundsFilter",  "visibleFilter",      "labelFilter",
                        "maxDepth",   "maxChildCount", "excluded_attributes"};
  for (std::size_t i = 0; i < 7; ++i) {
    const auto found = parsed.find(keys[i]);
    if (found == parsed.end() || !found->is_string()) return std::nullopt;
    *fields[i] = found->get<std::string>();
  }
  return p;
}

nlohmann::ordered_json FetchNodeParam::toJson() const {
  return {{"nodeFormat", nodeFormat},
          {"boundsFilter", boundsFilter},
          {"visibleFilter", visibleFilter},
          {"labelFilter", labelFilter},
          {"maxDepth", maxDepth},
          {"maxChildCount", maxChildCount},
          {"excluded_attributes", excluded_attributes}};
}

}  // namespace vistrel::node
