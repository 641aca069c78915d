#pragma once

#include <optional>
#include <string>

namespace vistrel::platform {

/// The system clipboard where there is one (wl-copy / wl-paste under Wayland, xclip under X11,
/// started without a shell); otherwise a clipboard held by the process.
class Clipboard {
 public:
  static std::optional<std::string> text();
  static void setText(const std::string& text);
  /// The content becomes the URL, or nothing for none.
  static void setUrl(const std::optional<std::string>& url);
  /// "wayland", "x11" or "process": where the clipboard lives now.
  static std::string backend();
};

}  // namespace vistrel::platform
