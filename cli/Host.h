#pragma once

#include <istream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Operations.h"

namespace vistrel::cli {

/// Runs the line protocol: one JSON request in, one JSON response out, in order, keeping the
/// texts named by "as" for later "${NAME}" references.
class Host {
 public:
  /// The response line (without line break) to one request line.
  std::string handle(std::string_view line);

  /// The response to one request object, for callers that build requests themselves.
  nlohmann::ordered_json handleRequest(const nlohmann::json& request);

  /// Answers every non-blank line of `in` on `out`, flushing each response.
  void serve(std::istream& in, std::ostream& out);

  /// The text kept under `name`, if any.
  std::optional<std::string> kept(const std::string& name) const;

 private:
  std::map<std::string, std::string, std::less<>> kept_;
};

/// The arguments of `vistrel call OP ARG ...` as a request: "@PATH" stands for a file for image
/// and bytes parameters; numeric parameters are read from their text.
nlohmann::json callRequest(const Operation& op, const std::vector<std::string>& args);

/// Dumps JSON as one line, replacing invalid UTF-8 instead of failing.
std::string dumpLine(const nlohmann::ordered_json& value);

}  // namespace vistrel::cli
