#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "vistrel/node/Document.h"
#include "vistrel/node/NodeRecords.h"
#include "vistrel/node/XpathSelect.h"

namespace vistrel::node {

/// One script thread's element-tree document and the node questions asked of it. Answers: a
/// description as JSON ("null" for an element without bounds), a JSON array of descriptions
/// (elements without bounds left out), or "" for nothing.
class NodeManager {
 public:
  /// Loads the markup: false only for the empty text (the stored document stays). A text the
  /// parser cannot turn into a document writes a line and keeps the stored document (true).
  bool parse(std::string_view text);
  /// The markup re-written with node ids: the declaration comment, a line break and the body's
  /// inner markup. The stored document is not touched.
  std::string parseNid(std::string_view text);
  bool hasDocument() const { return document_.has_value(); }
  bool isCacheDocument() const { return cached_ && hasDocument(); }
  void lockNode() { cached_ = true; }
  void releaseNode();

  /// Gives one element its node id and the derived attributes.
  static void appendNid0(Node& element);
  /// Elements found by a query, with the stand-alone elements an XPath request made.
  struct Selection {
    std::vector<const Node*> elements;
    std::vector<std::unique_ptr<Node>> owned;
  };
  /// The elements the query selects from `context` and its descendants (the whole document when
  /// null); an "xpath:" request is evaluated on the document's markup (the context's inner
  /// markup). Absent on a selection error, which writes one line.
  std::optional<Selection> select(std::string_view query, const Node* context = nullptr) const;
  /// The element whose nid equals the text (ignoring case), or null.
  const Node* getElementByNid(std::string_view nid) const;
  /// The list answer of the elements the XPath expression finds in the markup, or "".
  std::string testXpath(std::string_view markup, std::string_view expression) const;

  std::string getOneNodeInfo(std::string_view selectors) const;
  std::string getNodeInfo(std::string_view selectors) const;
  std::string getOneNodeInfoForNode(std::string_view nid, std::string_view selectors) const;
  std::string getNodeInfoForNode(std::string_view nid, std::string_view selectors) const;
  std::string getNodeInfoParent(std::string_view nid) const;
  std::string getNodeInfoAllChildren(std::string_view nid) const;
  std::string getNodeInfoChild(std::string_view nid, std::int64_t index) const;
  std::string getPreviousSiblingNodeInfo(std::string_view nid) const;
  std::string getNextSiblingNodeInfo(std::string_view nid) const;
  std::string getSiblingNodeInfo(std::string_view nid) const;

  /// The description of an element; absent without bounds.
  static std::optional<NodeInfo> toNodeInfo(const Node& element);

 private:
  // Runs the translated selector list from `context` (the document when null).
  std::string search(std::string_view selectors, const Node* context, bool one) const;
  std::string siblings(std::string_view nid, int which) const;

  std::optional<Document> document_;
  std::unordered_map<std::string, const Node*> nidIndex_;  // upper-cased nid to element
  bool cached_ = false;
  XpathSelect xpathSelect_;
};

}  // namespace vistrel::node
