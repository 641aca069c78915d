#pragma once

#include <ostream>
#include <string>

namespace vistrel::cli {

/// Runs the bundled scenario `demo.jsonl` of `examplesDir` (one request a line, with a "say"
/// member telling what it asks) and prints what each step asked, found and how long it took.
/// Answers the process exit status.
int runDemo(const std::string& examplesDir, std::ostream& out);

}  // namespace vistrel::cli
