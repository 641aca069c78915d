#pragma once

#include <functional>
#include <string>

namespace vistrel::platform {

/// Hands URLs to the desktop's opener (xdg-open, started without a shell: the URL is one
/// argument and no shell ever reads it). Replaceable, so that tests observe calls.
class UrlOpener {
 public:
  using Opener = std::function<void(const std::string& url)>;
  /// Starts the opener for the URL and returns at once.
  static void open(const std::string& url);
  /// Replaces the opener; an empty one restores xdg-open.
  static void setOpener(Opener opener);
};

}  // namespace vistrel::platform
