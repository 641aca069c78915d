#include "vistrel/platform/Process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

extern char** environ;

namespace vistrel::platform {

bool onPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::string dirs = path;
  std::size_t at = 0;
  while (at <= dirs.size()) {
    const auto colon = dirs.find(':', at);
    const std::string dir =
        dirs.substr(at, colon == std::string::npos ? std::string::npos : colon - at);
    if (!dir.empty() && ::access((dir + "/" + program).c_str(), X_OK) == 0) return true;
    if (colon == std::string::npos) break;
    at = colon + 1;
  }
  return false;
}

namespace {

std::optional<std::string> run(const std::vector<std::string>& argv, const std::string& input,
                               bool capture) {
  if (argv.empty()) return std::nullopt;
  int in[2], out[2];
  if (::pipe2(in, O_CLOEXEC) != 0) return std::nullopt;
  if (::pipe2(out, O_CLOEXEC) != 0) {
    ::close(in[0]);
    ::close(in[1]);
    return std::nullopt;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  if (capture) {
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  }
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  if (rc != 0) {
    ::close(in[1]);
    ::close(out[0]);
    return std::nullopt;
  }
  std::size_t written = 0;
  while (written < input.size()) {
    const ssize_t n = ::write(in[1], input.data() + written, input.size() - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  ::close(in[1]);
  std::string output;
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(out[0], buffer, sizeof buffer)) > 0)
    output.append(buffer, static_cast<std::size_t>(n));
  ::close(out[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return output;
}

}  // namespace

std::optional<std::string> runProgram(const std::vector<std::string>& argv,
                                      const std::string& input) {
  return run(argv, input, true);
}

bool runProgramQuietly(const std::vector<std::string>& argv, const std::string& input) {
  return run(argv, input, false).has_value();
}

}  // namespace vistrel::platform
