#include "vistrel/node/Document.h"

#include <libxml/HTMLparser.h>

#include <algorithm>
#include <limits>

namespace vistrel::node {
namespace {

struct XmlDocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

std::string text(const xmlChar* value) {
  return value ? std::string(reinterpret_cast<const char*>(value)) : std::string();
}

void escape(std::string& out, std::string_view value, bool attribute) {
  for (const char c : value) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        if (attribute) {
          out += "&quot;";
          break;
        }
        [[fallthrough]];
      default:
        out += c;
    }
  }
}

std::string attributeValue(xmlAttr* attribute) {
  xmlChar* value = xmlNodeGetContent(reinterpret_cast<xmlNode*>(attribute));
  std::string out = text(value);
  xmlFree(value);
  return out;
}

// Elements whose markup has no end tag.
bool isVoid(std::string_view tag) {
  static constexpr std::string_view kVoid[] = {"area",   "base",  "br",    "col",  "embed",
                                               "hr",     "img",   "input", "link", "meta",
                                               "source", "track", "wbr"};
  return std::find(std::begin(kVoid), std::end(kVoid), tag) != std::end(kVoid);
}

// Writes the markup of `node` (or only of its children) without recursion.
void writeMarkup(const Node& top, bool includeSelf, std::string& out) {
  struct Frame {
    const Node* node;
    std::size_t next;  // index of the next child to write
  };
  std::vector<Frame> stack;
  const auto open = [&](const Node& n) {
    switch (n.kind()) {
      case Node::Kind::text:
        escape(out, n.name(), false);
        return false;
      case Node::Kind::comment:
        out += "<!--";
        out += n.name();
        out += "-->";
        return false;
      case Node::Kind::document:
        return true;
      case Node::Kind::element:
        out += '<';
        out += n.name();
        for (const auto& [key, value] : n.attributes()) {
          out += ' ';
          out += key;
          out += "=\"";
          escape(out, value, true);
          out += '"';
        }
        out += '>';
        return !isVoid(n.name());
    }
    return false;
  };
  const auto close = [&](const Node& n) {
    if (n.kind() == Node::Kind::element) {
      out += "</";
      out += n.name();
      out += '>';
    }
  };
  if (includeSelf) {
    if (!open(top)) return;
  }
  stack.push_back({&top, 0});
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next == frame.node->nodes().size()) {
      const Node* done = frame.node;
      stack.pop_back();
      if (!stack.empty() || includeSelf) close(*done);
      continue;
    }
    const Node& child = *frame.node->nodes()[frame.next++];
    if (open(child)) stack.push_back({&child, 0});
  }
}

}  // namespace

std::string Node::attr(std::string_view key) const {
  const std::string* value = findAttr(key);
  return value ? *value : std::string();
}

const std::string* Node::findAttr(std::string_view key) const {
  for (const auto& [k, v] : attributes_) {
    if (k == key) return &v;
  }
  return nullptr;
}

void Node::setAttr(std::string_view key, std::string value) {
  for (auto& [k, v] : attributes_) {
    if (k == key) {
      v = std::move(value);
      return;
    }
  }
  attributes_.emplace_back(std::string(key), std::move(value));
}

std::vector<Node*> Node::children() const {
  std::vector<Node*> out;
  for (const auto& child : children_) {
    if (child->kind_ == Kind::element) out.push_back(child.get());
  }
  return out;
}

Node& Node::append(std::unique_ptr<Node> child) {
  return insert(children_.size(), std::move(child));
}

Node& Node::insert(std::size_t at, std::unique_ptr<Node> child) {
  child->parent_ = this;
  const auto it =
      children_.insert(children_.begin() + static_cast<std::ptrdiff_t>(at), std::move(child));
  return **it;
}

std::string Node::outerHtml() const {
  std::string out;
  writeMarkup(*this, kind_ != Kind::document, out);
  return out;
}

std::string Node::innerHtml() const {
  std::string out;
  writeMarkup(*this, false, out);
  return out;
}

std::optional<Document> Document::parse(std::string_view markup) {
  if (markup.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    return std::nullopt;
  }
  const std::unique_ptr<xmlDoc, XmlDocFree> parsed(
      htmlReadMemory(markup.data(), static_cast<int>(markup.size()), nullptr, "UTF-8",
                     HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                         HTML_PARSE_NONET | HTML_PARSE_NODEFDTD | XML_PARSE_HUGE));
  if (!parsed) return std::nullopt;

  Document document;
  document.root_ = std::make_unique<Node>(Node::Kind::document, "#root");
  // Copy libxml2's tree into ours, iteratively.
  std::vector<std::pair<xmlNode*, Node*>> stack;
  for (xmlNode* top = parsed->children; top; top = top->next)
    stack.emplace_back(top, document.root_.get());
  std::reverse(stack.begin(), stack.end());
  while (!stack.empty()) {
    auto [source, parent] = stack.back();
    stack.pop_back();
    std::unique_ptr<Node> copy;
    switch (source->type) {
      case XML_ELEMENT_NODE: {
        copy = std::make_unique<Node>(Node::Kind::element, text(source->name));
        for (xmlAttr* a = source->properties; a; a = a->next) {
          copy->setAttr(text(a->name), attributeValue(a));
        }
        break;
      }
      case XML_TEXT_NODE:
      case XML_CDATA_SECTION_NODE:
        copy = std::make_unique<Node>(Node::Kind::text, text(source->content));
        break;
      case XML_COMMENT_NODE:
        copy = std::make_unique<Node>(Node::Kind::comment, text(source->content));
        break;
      case XML_PI_NODE: {
        // An HTML5 parser keeps "<?xml ...?>" as the comment "<!--?xml ...?-->".
        std::string content = "?" + text(source->name);
        if (source->content) content += " " + text(source->content);
        copy = std::make_unique<Node>(Node::Kind::comment, content + "?");
        break;
      }
      default:
        continue;
    }
    Node& added = parent->append(std::move(copy));
    if (source->type == XML_ELEMENT_NODE) {
      std::vector<std::pair<xmlNode*, Node*>> kids;
      for (xmlNode* c = source->children; c; c = c->next) kids.emplace_back(c, &added);
      stack.insert(stack.end(), kids.rbegin(), kids.rend());
    }
  }

  // The shape an HTML5 parser gives: html holding head, then body.
  Node* html = nullptr;
  for (Node* e : document.root_->children()) {
    if (e->name() == "html") html = e;
  }
  if (!html) {
    html = &document.root_->append(std::make_unique<Node>(Node::Kind::element, "html"));
  }
  const auto children = html->children();
  if (std::none_of(children.begin(), children.end(), [](Node* n) { return n->name() == "head"; })) {
    html->insert(0, std::make_unique<Node>(Node::Kind::element, "head"));
  }
  if (std::none_of(children.begin(), children.end(), [](Node* n) { return n->name() == "body"; })) {
    html->append(std::make_unique<Node>(Node::Kind::element, "body"));
  }

  // Elements in document order.
  std::vector<Node*> walk{document.root_.get()};
  while (!walk.empty()) {
    Node* n = walk.back();
    walk.pop_back();
    document.elements_.push_back(n);
    const auto kids = n->children();
    walk.insert(walk.end(), kids.rbegin(), kids.rend());
  }
  return document;
}

Node* Document::firstByTag(std::string_view tag) const {
  for (Node* e : elements_) {
    if (e->kind() == Node::Kind::element && e->name() == tag) return e;
  }
  return nullptr;
}

}  // namespace vistrel::node
