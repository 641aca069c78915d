#include "vistrel/platform/Directories.h"

#include <cstdlib>
#include <system_error>

namespace vistrel::platform {
namespace {

std::filesystem::path fromEnv(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? std::filesystem::path(value) : std::filesystem::path();
}

std::filesystem::path made(std::filesystem::path dir) {
  std::error_code ignored;
  std::filesystem::create_directories(dir, ignored);
  return dir;
}

}  // namespace

std::filesystem::path Directories::base() {
  if (auto home = fromEnv("VISTREL_HOME"); !home.empty()) return home;
  if (auto data = fromEnv("XDG_DATA_HOME"); !data.empty()) return data / "vistrel";
  if (auto home = fromEnv("HOME"); !home.empty()) return home / ".local/share/vistrel";
  return std::filesystem::temp_directory_path() / "vistrel";
}

std::filesystem::path Directories::documents() { return made(base() / "Documents"); }
std::filesystem::path Directories::library() { return made(base() / "Library"); }
std::filesystem::path Directories::caches() { return made(base() / "Library/Caches"); }
std::filesystem::path Directories::preferences() { return made(base() / "Library/Preferences"); }

std::filesystem::path Directories::temp() {
  if (auto tmp = fromEnv("TMPDIR"); !tmp.empty()) return tmp;
  return "/tmp";
}

std::filesystem::path Directories::machineLibrary() { return "/usr/local/share/vistrel/Library"; }

std::filesystem::path Directories::resources() {
  if (auto dir = fromEnv("VISTREL_RESOURCES"); !dir.empty()) return dir;
  return base() / "Resources";
}

}  // namespace vistrel::platform
