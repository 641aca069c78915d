#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vistrel/node/Document.h"

namespace vistrel::node {

/// XPath selection over markup with libxml2: every node found becomes a stand-alone element with
/// the node's name and a copy of its attributes.
class XpathSelect {
 public:
  /// Markup not starting with "<!--" is wrapped as
  /// "<!--?xml ...?-->\n<html><body><hierarchy>" + markup + "</hierarchy></body></html>".
  /// Absent for markup or an expression libxml2 rejects, a result that is not a node set, or an
  /// empty node set.
  std::optional<std::vector<std::unique_ptr<Node>>> xpath(std::string_view markup,
                                                          std::string_view expression) const;
  /// `xpath` on the element's outer markup.
  std::optional<std::vector<std::unique_ptr<Node>>> xpathElement(const Node& element,
                                                                 std::string_view expression) const;
};

}  // namespace vistrel::node
