#include "vistrel/files/Path.h"

#include <filesystem>

namespace vistrel::files {

std::string Path::join(const std::vector<std::string>& parts) {
  if (parts.empty()) return {};
  std::string result = parts.front();
  for (std::size_t i = 1; i < parts.size(); ++i) {
    std::string_view part = parts[i];
    if (!result.empty() && part.starts_with('/')) part.remove_prefix(1);
    if (part.empty()) continue;
    if (!result.empty() && !result.ends_with('/')) result += '/';
    result += part;
  }
  return result;
}

std::vector<std::string> Path::split(const std::string& path) {
  std::vector<std::string> out;
  if (path.starts_with('/')) out.emplace_back("/");
  std::size_t at = 0;
  while (at < path.size()) {
    const std::size_t next = path.find('/', at);
    const std::size_t end = next == std::string::npos ? path.size() : next;
    if (end > at) out.push_back(path.substr(at, end - at));
    at = end + 1;
  }
  if (path.size() > 1 && path.ends_with('/')) out.emplace_back("/");
  return out;
}

namespace {

std::string lastComponent(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::optional<std::string> Path::extname(const std::string& path) {
  const std::string name = lastComponent(path);
  const auto dot = name.rfind('.');
  if (dot == std::string::npos || dot + 1 == name.size()) return std::nullopt;
  return name.substr(dot + 1);
}

std::string Path::basename(const std::string& path, const std::optional<std::string>& ext) {
  const std::string name = lastComponent(path);
  if (ext && extname(name) == *ext && name.size() > 1) {
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) return name.substr(0, dot);
  }
  return name;
}

std::string Path::dirname(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  const std::string dir = path.substr(0, slash);
  return dir.empty() ? "/" : dir;
}

bool Path::isAbsolute(const std::string& path) {
  return path.starts_with('/') || path.starts_with('~');
}

std::string Path::format(const std::map<PathElements, std::optional<std::string>>& elements) {
  if (elements.empty()) return {};
  const auto get = [&](PathElements e) -> std::optional<std::string> {
    const auto found = elements.find(e);
    return found == elements.end() ? std::nullopt : found->second;
  };
  std::string result = get(PathElements::dir).value_or("");
  if (const auto base = get(PathElements::base)) result = join({result, *base});
  if (const auto ext = get(PathElements::ext); ext && !ext->starts_with('/')) {
    result += "." + *ext;
  }
  return result;
}

bool Path::exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

bool Path::isFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec) && !std::filesystem::is_directory(path, ec);
}

bool Path::isDir(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

}  // namespace vistrel::files
