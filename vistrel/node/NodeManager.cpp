#include "vistrel/node/NodeManager.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "vistrel/node/JsoupSelect.h"
#include "vistrel/node/internal/Query.h"
#include "vistrel/platform/Console.h"
#include "vistrel/platform/Text.h"
#include "vistrel/platform/Uuid.h"

namespace vistrel::node {
namespace {

constexpr std::string_view kDeclaration = "<!--?xml version=\"1.0\" encoding=\"UTF-8\"?-->";

std::optional<bool> boolean(const std::string& t) {
  if (t == "true") return true;
  if (t == "false") return false;
  return std::nullopt;
}

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string trimmed(std::string_view s) {
  const auto b = s.find_first_not_of(" \t\n\r\f");
  if (b == std::string_view::npos) return {};
  const auto e = s.find_last_not_of(" \t\n\r\f");
  return std::string(s.substr(b, e - b + 1));
}

std::string single(const Node* element) {
  const auto info = NodeManager::toNodeInfo(*element);
  return info ? info->toJson().dump() : "null";
}

std::string list(const std::vector<const Node*>& elements) {
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  for (const Node* e : elements) {
    if (auto info = NodeManager::toNodeInfo(*e)) out.push_back(info->toJson());
  }
  return out.dump();
}

void assignNids(const Document& document) {
  for (Node* e : document.elements()) NodeManager::appendNid0(*e);
}

}  // namespace

bool NodeManager::parse(std::string_view text) {
  if (text.empty()) return false;
  auto parsed = Document::parse(text);
  if (!parsed) {
    platform::logOut("setDocument: the markup could not be parsed; the stored document stays");
    return true;
  }
  assignNids(*parsed);
  document_ = std::move(parsed);
  nidIndex_.clear();
  for (const Node* e : document_->elements()) nidIndex_.emplace(upper(e->attr("nid")), e);
  return true;
}

std::string NodeManager::parseNid(std::string_view text) {
  if (text.empty()) return {};
  const auto parsed = Document::parse(text);
  if (!parsed) {
    platform::logOut("parseNid: the markup could not be parsed");
    return std::string(text);
  }
  assignNids(*parsed);
  const Node* body = parsed->firstByTag("body");
  if (!body) return std::string(text);
  return std::string(kDeclaration) + "\n" + body->innerHtml();
}

void NodeManager::releaseNode() {
  cached_ = false;
  document_.reset();
  nidIndex_.clear();
}

void NodeManager::appendNid0(Node& element) {
  std::string type = element.attr("type");
  if (!type.empty()) {
    if (const auto at = type.find("XCUIElementType"); at != std::string::npos) {
      type.erase(at, 15);
    }
    element.setAttr("type", type);
  }
  std::string nid = platform::randomUuid();
  std::erase(nid, '-');
  element.setAttr("nid", std::move(nid));
  element.setAttr("childcount", std::to_string(element.children().size()));
  const std::string x = element.attr("x"), y = element.attr("y");
  element.setAttr("left", x);
  element.setAttr("top", y);
  // right and bottom only where the sums can be formed from decimal integers.
  const auto sum = [](const std::string& a, const std::string& b) -> std::optional<std::string> {
    const auto p = platform::parseDecimal(a), q = platform::parseDecimal(b);
    std::int64_t s = 0;
    if (!p || !q || __builtin_add_overflow(*p, *q, &s)) return std::nullopt;
    return std::to_string(s);
  };
  if (const std::string width = element.attr("width"); !width.empty()) {
    if (auto right = sum(x, width)) element.setAttr("right", std::move(*right));
  }
  if (const std::string height = element.attr("height"); !height.empty()) {
    if (auto bottom = sum(y, height)) element.setAttr("bottom", std::move(*bottom));
  }
}

std::optional<NodeManager::Selection> NodeManager::select(std::string_view query,
                                                          const Node* context) const {
  Selection selection;
  if (!document_) return selection;
  if (query.starts_with("xpath:")) {
    const std::string markup = context ? context->innerHtml() : document_->root().outerHtml();
    if (auto found = xpathSelect_.xpath(markup, query.substr(6))) {
      selection.owned = std::move(*found);
      for (const auto& e : selection.owned) selection.elements.push_back(e.get());
    }
    return selection;
  }
  std::string error;
  const auto compiled = internal::Query::compile(query, error);
  if (!compiled) {
    platform::logOut("select: " + error);
    return std::nullopt;
  }
  const auto& all = document_->elements();
  auto begin = all.begin(), end = all.end();
  if (context) {
    // The context and its descendants: a contiguous run in document order.
    begin = std::find(all.begin(), all.end(), context);
    end = begin == all.end() ? begin : begin + 1;
    while (end != all.end()) {
      const Node* n = (*end)->parent();
      while (n && n != context) n = n->parent();
      if (!n) break;
      ++end;
    }
  }
  for (auto it = begin; it != end; ++it) {
    if (compiled->matches(**it)) selection.elements.push_back(*it);
  }
  return selection;
}

const Node* NodeManager::getElementByNid(std::string_view nid) const {
  if (nid.empty() || !document_) return nullptr;
  // As the query [nid='...']: trimmed, case ignored; a text the query could not hold finds nothing.
  if (nid.find_first_of("'\"[]") != std::string_view::npos) return nullptr;
  const auto found = nidIndex_.find(upper(trimmed(nid)));
  return found == nidIndex_.end() ? nullptr : found->second;
}

std::string NodeManager::testXpath(std::string_view markup, std::string_view expression) const {
  const auto found = xpathSelect_.xpath(markup, expression);
  if (!found) return {};
  std::vector<const Node*> elements;
  for (const auto& e : *found) elements.push_back(e.get());
  return list(elements);
}

std::string NodeManager::search(std::string_view selectors, const Node* context, bool one) const {
  const auto decoded = NodeSelector::decodeList(selectors);
  if (!decoded || !document_) return {};
  const auto selection = select(JsoupSelect::convertJsoupSelect(*decoded), context);
  if (!selection || selection->elements.empty()) return {};
  return one ? single(selection->elements.front()) : list(selection->elements);
}

std::string NodeManager::getOneNodeInfo(std::string_view selectors) const {
  return search(selectors, nullptr, true);
}

std::string NodeManager::getNodeInfo(std::string_view selectors) const {
  return search(selectors, nullptr, false);
}

std::string NodeManager::getOneNodeInfoForNode(std::string_view nid,
                                               std::string_view selectors) const {
  const Node* node = getElementByNid(nid);
  return node ? search(selectors, node, true) : "";
}

std::string NodeManager::getNodeInfoForNode(std::string_view nid,
                                            std::string_view selectors) const {
  const Node* node = getElementByNid(nid);
  return node ? search(selectors, node, false) : "";
}

std::string NodeManager::getNodeInfoParent(std::string_view nid) const {
  const Node* node = getElementByNid(nid);
  if (!node || !node->parent()) return {};
  return single(node->parent());
}

std::string NodeManager::getNodeInfoAllChildren(std::string_view nid) const {
  const Node* node = getElementByNid(nid);
  if (!node) return {};
  const auto children = node->children();
  return list({children.begin(), children.end()});
}

std::string NodeManager::getNodeInfoChild(std::string_view nid, std::int64_t index) const {
  const Node* node = getElementByNid(nid);
  if (!node) return {};
  const auto children = node->children();
  if (index < 0 || index >= static_cast<std::int64_t>(children.size())) return {};
  return single(children[static_cast<std::size_t>(index)]);
}

// which: -1 previous, 1 next, 0 all others.
std::string NodeManager::siblings(std::string_view nid, int which) const {
  const Node* node = getElementByNid(nid);
  if (!node || !node->parent()) return {};
  std::vector<const Node*> taken;
  bool seen = false;
  for (const Node* child : node->parent()->children()) {
    const std::string* childNid = child->findAttr("nid");
    if (!childNid) continue;
    if (*childNid == nid) {
      seen = true;
      continue;
    }
    if (which == 0 || (which < 0 && !seen) || (which > 0 && seen)) taken.push_back(child);
  }
  return list(taken);
}

std::string NodeManager::getPreviousSiblingNodeInfo(std::string_view nid) const {
  return siblings(nid, -1);
}

std::string NodeManager::getNextSiblingNodeInfo(std::string_view nid) const {
  return siblings(nid, 1);
}

std::string NodeManager::getSiblingNodeInfo(std::string_view nid) const { return siblings(nid, 0); }

std::optional<NodeInfo> NodeManager::toNodeInfo(const Node& element) {
  const std::string boundsText = element.attr("bounds");
  if (boundsText.empty()) return std::nullopt;
  NodeInfo info;
  std::string b = boundsText;
  if (const auto at = b.find("]["); at != std::string::npos) b.replace(at, 2, ",");
  if (const auto at = b.find('['); at != std::string::npos) b.erase(at, 1);
  if (const auto at = b.find(']'); at != std::string::npos) b.erase(at, 1);
  const auto parts = platform::splitText(b, ',');
  if (parts.size() == 4) {
    info.bounds = Rect2{platform::parseDecimal(parts[0]), platform::parseDecimal(parts[2]),
                        platform::parseDecimal(parts[1]), platform::parseDecimal(parts[3])};
  }
  info.name = element.attr("name");
  info.id = element.attr("id");
  info.value = element.attr("value");
  info.type = element.attr("type");
  info.label = element.attr("label");
  info.enable = boolean(element.attr("enable"));
  info.selected = boolean(element.attr("selected"));
  info.visible = boolean(element.attr("visible"));
  info.accessible = boolean(element.attr("accessible"));
  info.childcount = platform::parseDecimal(element.attr("childcount"));
  info.index = platform::parseDecimal(element.attr("index"));
  info.depth = platform::parseDecimal(element.attr("depth"));
  info.nid = element.attr("nid");
  return info;
}

}  // namespace vistrel::node
