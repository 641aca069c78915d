#include "vistrel/node/JsoupSelect.h"

#include "vistrel/platform/Text.h"

namespace vistrel::node {
namespace {

struct Clause {
  std::optional<std::string> NodeSelector::*field;
  const char* key;
  bool pattern;
};

// The order in which conditions are written.
constexpr Clause kClauses[] = {
    {&NodeSelector::name, "name", false},
    {&NodeSelector::nameMatch, "name", true},
    {&NodeSelector::id, "id", false},
    {&NodeSelector::idMatch, "id", true},
    {&NodeSelector::value, "value", false},
    {&NodeSelector::valueMatch, "value", true},
    {&NodeSelector::type, "type", false},
    {&NodeSelector::typeMatch, "type", true},
    {&NodeSelector::label, "label", false},
    {&NodeSelector::labelMatch, "label", true},
    {&NodeSelector::enable, "enable", false},
    {&NodeSelector::accessible, "accessible", false},
    {&NodeSelector::index, "index", false},
    {&NodeSelector::childcount, "childcount", false},
    {&NodeSelector::visible, "visible", false},
    {&NodeSelector::depth, "depth", false},
    {&NodeSelector::selected, "selected", false},
    {&NodeSelector::nid, "nid", false},
};

}  // namespace

std::string JsoupSelect::convertJsoupSelect(const std::vector<NodeSelector>& selector) {
  std::string buffer;
  for (const auto& s : selector) {
    if (s.xpath && !s.xpath->empty()) return "xpath:" + *s.xpath;
    for (const auto& clause : kClauses) {
      const auto& text = s.*clause.field;
      if (!text || text->empty()) continue;
      buffer += '[';
      buffer += clause.key;
      buffer += clause.pattern ? "~=" : "='";
      buffer += *text;
      buffer += clause.pattern ? "]" : "']";
    }
    if (s.bounds) appendBoundsKey(buffer, "bounds", *s.bounds);
  }
  return buffer;
}

void JsoupSelect::appendBoundsKey(std::string& stringBuffer, std::string_view,
                                  std::string_view value) {
  if (value.empty()) return;
  const auto parts = platform::splitText(value, ',');
  if (parts.size() <= 3) return;
  stringBuffer += "[left:bounds='";
  for (std::size_t i = 0; i < 4; ++i) {
    if (i) stringBuffer += ',';
    stringBuffer += parts[i];
  }
  stringBuffer += "']";
}

}  // namespace vistrel::node
