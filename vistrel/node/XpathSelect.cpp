#include "vistrel/node/XpathSelect.h"

#include <libxml/parser.h>
#include <libxml/xpath.h>

#include <limits>

namespace vistrel::node {
namespace {

constexpr std::string_view kDeclaration = "<!--?xml version=\"1.0\" encoding=\"UTF-8\"?-->";

struct DocFree {
  void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
struct ContextFree {
  void operator()(xmlXPathContext* c) const { xmlXPathFreeContext(c); }
};
struct ObjectFree {
  void operator()(xmlXPathObject* o) const { xmlXPathFreeObject(o); }
};

bool validUtf8(const xmlChar* text) { return text && xmlCheckUTF8(text) != 0; }

}  // namespace

std::optional<std::vector<std::unique_ptr<Node>>> XpathSelect::xpath(
    std::string_view markup, std::string_view expression) const {
  std::string text;
  if (markup.starts_with("<!--")) {
    text = markup;
  } else {
    text.reserve(markup.size() + 96);
    text += kDeclaration;
    text += "\n<html><body><hierarchy>";
    text += markup;
    text += "</hierarchy></body></html>";
  }
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return std::nullopt;
  const std::unique_ptr<xmlDoc, DocFree> doc(
      xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, "UTF-8",
                    XML_PARSE_RECOVER | XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                        XML_PARSE_HUGE));
  if (!doc) return std::nullopt;
  const std::unique_ptr<xmlXPathContext, ContextFree> context(xmlXPathNewContext(doc.get()));
  if (!context) return std::nullopt;
  const std::string expr(expression);
  const std::unique_ptr<xmlXPathObject, ObjectFree> result(
      xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(expr.c_str()), context.get()));
  if (!result || result->type != XPATH_NODESET || !result->nodesetval ||
      result->nodesetval->nodeNr == 0) {
    return std::nullopt;
  }
  std::vector<std::unique_ptr<Node>> found;
  for (int i = 0; i < result->nodesetval->nodeNr; ++i) {
    const xmlNode* node = result->nodesetval->nodeTab[i];
    if (!node) continue;
    const bool nameOk = validUtf8(node->name);
    auto element = std::make_unique<Node>(Node::Kind::element,
                                          nameOk ? reinterpret_cast<const char*>(node->name) : "");
    if (node->type == XML_ELEMENT_NODE) {
      for (const xmlAttr* a = node->properties; a; a = a->next) {
        xmlChar* value = xmlNodeGetContent(reinterpret_cast<const xmlNode*>(a));
        if (validUtf8(a->name) && (value == nullptr || validUtf8(value))) {
          element->setAttr(reinterpret_cast<const char*>(a->name),
                           value ? reinterpret_cast<const char*>(value) : "");
        }
        xmlFree(value);
      }
    }
    found.push_back(std::move(element));
  }
  return found;
}

std::optional<std::vector<std::unique_ptr<Node>>> XpathSelect::xpathElement(
    const Node& element, std::string_view expression) const {
  return xpath(element.outerHtml(), expression);
}

}  // namespace vistrel::node
