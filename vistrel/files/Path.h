#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vistrel::files {

enum class PathElements { dir, base, ext };

/// Text operations on slash-separated paths, and three file-system tests.
class Path {
 public:
  static constexpr const char* separator = "/";

  /// The parts joined with single separators (one leading "/" of each later part dropped, empty
  /// remainders skipped); the empty list gives "".
  static std::string join(const std::vector<std::string>& parts);
  /// "/" first for an absolute path, the non-empty segments, "/" last for a trailing separator.
  static std::vector<std::string> split(const std::string& path);
  /// The last component, without its extension when it equals `ext` (given without the dot).
  static std::string basename(const std::string& path,
                              const std::optional<std::string>& ext = std::nullopt);
  /// The extension of the last component without the dot, or none.
  static std::optional<std::string> extname(const std::string& path);
  /// Everything before the last separator ("/" for a top-level path, "" without separator).
  static std::string dirname(const std::string& path);
  static bool isAbsolute(const std::string& path);
  static bool isRelative(const std::string& path) { return !isAbsolute(path); }
  /// dir, joined with base, then "." + ext (an ext starting with "/" is ignored).
  static std::string format(const std::map<PathElements, std::optional<std::string>>& elements);
  static bool exists(const std::string& path);
  static bool isFile(const std::string& path);
  static bool isDir(const std::string& path);
};

}  // namespace vistrel::files
