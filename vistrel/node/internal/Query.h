#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vistrel/node/Document.h"

namespace vistrel::node::internal {

class Pattern;

/// A compiled query: a compound selector of attribute conditions written back to back,
/// [k='v'] (trimmed value equals v ignoring case), [k~=re] (re found in the value) and
/// [k:bounds='a,b,c,d'] (the element's left, top, right, bottom lie inside the rectangle).
class Query {
 public:
  /// Compiles the query text; an error (anything else, unbalanced quotes or brackets, a value
  /// holding quotes or brackets, a pattern that does not compile) is described in `error`.
  static std::optional<Query> compile(std::string_view text, std::string& error);

  Query(Query&&) noexcept;
  Query& operator=(Query&&) noexcept;
  ~Query();

  /// Whether the element meets every condition. A pattern that exceeds its match limit does not
  /// match.
  bool matches(const Node& element) const;

 private:
  struct Clause;
  Query();
  std::vector<Clause> clauses_;
};

}  // namespace vistrel::node::internal
