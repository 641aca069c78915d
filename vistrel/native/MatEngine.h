#pragma once

#include <cstdint>
#include <string>

namespace vistrel::native {

/// The matrix engine's facade. Until the native matrix store is built no matrix id resolves, so
/// every operation answers its "id does not resolve" value.
class MatEngine {
 public:
  std::string cmpColor() const { return "-1"; }
  std::string findColor() const { return "-1"; }
  std::string findNotColor() const { return {}; }
  std::string findMultiColor() const { return {}; }
  std::string findImageByColor() const { return {}; }
  void setLog(std::int32_t on) { log_ = on; }
  std::int32_t log() const { return log_; }

 private:
  std::int32_t log_ = 0;
};

}  // namespace vistrel::native
