#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "vistrel/node/NodeRecords.h"

namespace vistrel::node {

/// Translates selector lists into one query text, or an XPath request ("xpath:" + expression).
class JsoupSelect {
 public:
  /// One compound selector of every condition of every selector, in field order; the first
  /// non-empty xpath replaces everything. "" when no condition is set.
  static std::string convertJsoupSelect(const std::vector<NodeSelector>& selector);
  /// Appends "[left:bounds='a,b,c,d']" for a bounds text of at least four comma-separated parts.
  static void appendBoundsKey(std::string& stringBuffer, std::string_view key,
                              std::string_view value);
};

}  // namespace vistrel::node
