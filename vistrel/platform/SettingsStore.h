#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace vistrel::platform {

/// The application's persistent key-value store: one JSON object in
/// Library/Preferences/settings.json. Every write or removal is flushed durably (a side file,
/// flushed, renamed over the old one) under a lock file, so that threads and processes writing at
/// once lose nothing. A damaged file is kept aside (renamed) and the store starts empty, with one
/// log line.
class SettingsStore {
 public:
  /// The store of the current base directory.
  static SettingsStore standard();
  explicit SettingsStore(std::filesystem::path file) : file_(std::move(file)) {}

  void set(const std::string& key, const nlohmann::json& value);
  void remove(const std::string& key);
  /// The stored value read as text: a text unchanged, a number (booleans as 1 and 0) as its text,
  /// anything else none.
  std::optional<std::string> text(const std::string& key) const;
  std::optional<nlohmann::json> value(const std::string& key) const;

  const std::filesystem::path& file() const { return file_; }

 private:
  nlohmann::json load() const;
  std::filesystem::path file_;
};

}  // namespace vistrel::platform
