#include "vistrel/platform/Console.h"

#include <cstdio>
#include <mutex>

namespace vistrel::platform {
namespace {

struct Sinks {
  std::mutex mutex;
  LineSink out;
  LineSink err;
};

Sinks& sinks() {
  static Sinks instance;
  return instance;
}

void writeLine(std::FILE* stream, std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}

}  // namespace

void logOut(std::string_view line) {
  auto& s = sinks();
  const std::lock_guard lock(s.mutex);
  if (s.out) {
    s.out(line);
  } else {
    writeLine(stdout, line);
  }
}

void logErr(std::string_view line) {
  auto& s = sinks();
  const std::lock_guard lock(s.mutex);
  if (s.err) {
    s.err(line);
  } else {
    writeLine(stderr, line);
  }
}

void setOutSink(LineSink sink) {
  auto& s = sinks();
  const std::lock_guard lock(s.mutex);
  s.out = std::move(sink);
}

void setErrSink(LineSink sink) {
  auto& s = sinks();
  const std::lock_guard lock(s.mutex);
  s.err = std::move(sink);
}

}  // namespace vistrel::platform
