#pragma once

#include <filesystem>

namespace vistrel::platform {

/// Where the application's directories live on this platform. One base directory: $VISTREL_HOME
/// when set, otherwise $XDG_DATA_HOME/vistrel, otherwise ~/.local/share/vistrel. Read from the
/// environment on every call, so a test can point it elsewhere.
struct Directories {
  static std::filesystem::path base();
  /// base/Documents, base/Library, base/Library/Caches; created on first use.
  static std::filesystem::path documents();
  static std::filesystem::path library();
  static std::filesystem::path caches();
  /// $TMPDIR, or /tmp.
  static std::filesystem::path temp();
  /// The machine-wide library directory: /usr/local/share/vistrel/Library.
  static std::filesystem::path machineLibrary();
  /// base/Library/Preferences (the settings file), created on first use.
  static std::filesystem::path preferences();
  /// $VISTREL_RESOURCES, or base/Resources: the application's bundled resources.
  static std::filesystem::path resources();
};

}  // namespace vistrel::platform
