#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vistrel::node {

/// One node of a markup document: the document node itself, an element, a text or a comment.
/// Elements keep their attributes in order; names are lower case as the parser gives them.
class Node {
 public:
  enum class Kind { document, element, text, comment };

  Node(Kind kind, std::string name) : kind_(kind), name_(std::move(name)) {}

  Kind kind() const { return kind_; }
  /// Elements and the document node: the tag ("#root" for the document). Texts and comments: their
  /// content.
  const std::string& name() const { return name_; }
  bool isElement() const { return kind_ == Kind::element || kind_ == Kind::document; }

  /// The attribute's value; the empty text when absent.
  std::string attr(std::string_view key) const;
  const std::string* findAttr(std::string_view key) const;
  void setAttr(std::string_view key, std::string value);
  const std::vector<std::pair<std::string, std::string>>& attributes() const { return attributes_; }

  Node* parent() const { return parent_; }
  /// Every child node (elements, texts, comments) in order.
  const std::vector<std::unique_ptr<Node>>& nodes() const { return children_; }
  /// The child elements in order.
  std::vector<Node*> children() const;
  Node& append(std::unique_ptr<Node> child);
  Node& insert(std::size_t at, std::unique_ptr<Node> child);

  /// This node's markup, its own tag included (the document node: its children's markup).
  std::string outerHtml() const;
  /// The markup of the children.
  std::string innerHtml() const;

 private:
  Kind kind_;
  std::string name_;
  std::vector<std::pair<std::string, std::string>> attributes_;
  Node* parent_ = nullptr;
  std::vector<std::unique_ptr<Node>> children_;
};

/// A parsed markup document: the document node and its elements in document order.
class Document {
 public:
  /// Parses markup leniently as HTML (recovering from errors): names lower-cased, the host's
  /// elements inside generated html, head and body elements, a leading XML declaration kept as
  /// the comment "<!--?xml ...?-->", elements written self-closing kept as leaves. Absent when
  /// the parser gives no document.
  static std::optional<Document> parse(std::string_view markup);

  Node& root() const { return *root_; }
  /// The document node and every element, in document order.
  const std::vector<Node*>& elements() const { return elements_; }
  /// The first element with the tag, or null.
  Node* firstByTag(std::string_view tag) const;

 private:
  std::unique_ptr<Node> root_;
  std::vector<Node*> elements_;
};

}  // namespace vistrel::node
