#include "vistrel/platform/Clipboard.h"

#include <cstdlib>
#include <mutex>

#include "vistrel/platform/Process.h"

namespace vistrel::platform {
namespace {

struct ProcessClipboard {
  std::mutex mutex;
  std::optional<std::string> text;
};

ProcessClipboard& local() {
  static ProcessClipboard clipboard;
  return clipboard;
}

bool set(const char* name) {
  const char* v = std::getenv(name);
  return v && *v;
}

}  // namespace

std::string Clipboard::backend() {
  if (set("WAYLAND_DISPLAY") && onPath("wl-copy") && onPath("wl-paste")) return "wayland";
  if (set("DISPLAY") && onPath("xclip")) return "x11";
  return "process";
}

std::optional<std::string> Clipboard::text() {
  const std::string where = backend();
  if (where == "wayland") return runProgram({"wl-paste", "--no-newline", "--type", "text"});
  if (where == "x11") return runProgram({"xclip", "-selection", "clipboard", "-o"});
  auto& c = local();
  const std::lock_guard lock(c.mutex);
  return c.text;
}

void Clipboard::setText(const std::string& value) {
  const std::string where = backend();
  if (where == "wayland") {
    runProgramQuietly({"wl-copy", "--type", "text/plain"}, value);
  } else if (where == "x11") {
    runProgramQuietly({"xclip", "-selection", "clipboard", "-i"}, value);
  } else {
    auto& c = local();
    const std::lock_guard lock(c.mutex);
    c.text = value;
  }
}

void Clipboard::setUrl(const std::optional<std::string>& url) {
  const std::string where = backend();
  if (where == "wayland") {
    if (url) {
      runProgramQuietly({"wl-copy", "--type", "text/uri-list"}, *url);
    } else {
      runProgramQuietly({"wl-copy", "--clear"});
    }
  } else if (where == "x11") {
    runProgramQuietly({"xclip", "-selection", "clipboard", "-t", "text/uri-list", "-i"},
                      url.value_or(""));
  } else {
    // A URL is no text: the process clipboard holds none afterwards.
    auto& c = local();
    const std::lock_guard lock(c.mutex);
    c.text.reset();
  }
}

}  // namespace vistrel::platform
