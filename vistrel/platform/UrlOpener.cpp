#include "vistrel/platform/UrlOpener.h"

#include <mutex>
#include <thread>

#include "vistrel/platform/Process.h"

namespace vistrel::platform {
namespace {

std::mutex& mutex() {
  static std::mutex m;
  return m;
}

UrlOpener::Opener& replaced() {
  static UrlOpener::Opener opener;
  return opener;
}

}  // namespace

void UrlOpener::open(const std::string& url) {
  Opener opener;
  {
    const std::lock_guard lock(mutex());
    opener = replaced();
  }
  if (opener) {
    opener(url);
    return;
  }
  // The opener may wait for the application it starts: do not hold the caller.
  std::thread([url] { runProgramQuietly({"xdg-open", url}); }).detach();
}

void UrlOpener::setOpener(Opener opener) {
  const std::lock_guard lock(mutex());
  replaced() = std::move(opener);
}

}  // namespace vistrel::platform
