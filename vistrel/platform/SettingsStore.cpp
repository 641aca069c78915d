#include "vistrel/platform/SettingsStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <mutex>
#include <sstream>

#include "vistrel/platform/Console.h"
#include "vistrel/platform/Directories.h"

namespace vistrel::platform {
namespace {

std::mutex& threads() {
  static std::mutex m;
  return m;
}

// Holds the lock file of the store: one writer (thread or process) at a time.
class FileLock {
 public:
  explicit FileLock(const std::filesystem::path& file) {
    const std::string lock = file.string() + ".lock";
    fd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ >= 0) ::flock(fd_, LOCK_EX);
  }
  ~FileLock() {
    if (fd_ >= 0) {
      ::flock(fd_, LOCK_UN);
      ::close(fd_);
    }
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_ = -1;
};

bool writeDurably(const std::filesystem::path& file, const std::string& text) {
  const std::string side = file.string() + ".writing";
  const int fd = ::open(side.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n <= 0) {
      ::close(fd);
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced && std::rename(side.c_str(), file.c_str()) == 0;
}

}  // namespace

SettingsStore SettingsStore::standard() {
  return SettingsStore(Directories::preferences() / "settings.json");
}

nlohmann::json SettingsStore::load() const {
  std::ifstream in(file_);
  if (!in) return nlohmann::json::object();
  std::stringstream text;
  text << in.rdbuf();
  auto parsed = nlohmann::json::parse(text.str(), nullptr, false);
  if (parsed.is_object()) return parsed;
  // Kept aside for inspection; the store starts again empty.
  const auto aside = file_.string() + ".damaged-" +
                     std::to_string(std::chrono::system_clock::now().time_since_epoch().count());
  std::rename(file_.c_str(), aside.c_str());
  logOut("settings: the settings file was damaged and is kept as " + aside);
  return nlohmann::json::object();
}

void SettingsStore::set(const std::string& key, const nlohmann::json& value) {
  const std::lock_guard guard(threads());
  std::filesystem::create_directories(file_.parent_path());
  const FileLock lock(file_);
  nlohmann::json all = load();
  all[key] = value;
  if (!writeDurably(file_, all.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace))) {
    logOut("settings: could not write " + file_.string());
  }
}

void SettingsStore::remove(const std::string& key) {
  const std::lock_guard guard(threads());
  std::filesystem::create_directories(file_.parent_path());
  const FileLock lock(file_);
  nlohmann::json all = load();
  if (all.erase(key) == 0) return;
  if (!writeDurably(file_, all.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace))) {
    logOut("settings: could not write " + file_.string());
  }
}

std::optional<nlohmann::json> SettingsStore::value(const std::string& key) const {
  const std::lock_guard guard(threads());
  const nlohmann::json all = load();
  const auto found = all.find(key);
  if (found == all.end()) return std::nullopt;
  return *found;
}

std::optional<std::string> SettingsStore::text(const std::string& key) const {
  const auto v = value(key);
  if (!v) return std::nullopt;
  if (v->is_string()) return v->get<std::string>();
  if (v->is_boolean()) return v->get<bool>() ? "1" : "0";
  if (v->is_number()) return v->dump();
  return std::nullopt;
}

}  // namespace vistrel::platform
