#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vistrel::platform {

/// Runs a program found on PATH with the arguments as a list (no shell ever reads them), feeding
/// `input` to its standard input; its standard output, or absent when it cannot be started or
/// exits with a failure.
std::optional<std::string> runProgram(const std::vector<std::string>& argv,
                                      const std::string& input = {});

/// Runs a program as runProgram does, its standard output discarded (for programs that stay on
/// in the background, such as a clipboard owner); whether it exited with success.
bool runProgramQuietly(const std::vector<std::string>& argv, const std::string& input = {});

/// Whether a program of that name is on PATH.
bool onPath(const std::string& program);

}  // namespace vistrel::platform
