#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace vistrel::native {

/// Owns one entry of the matrix store: open while it holds the store id, closed (empty id) after
/// `close`. Destroying an open handle closes it; nothing is closed twice.
class MatHandle {
 public:
  MatHandle() = default;
  explicit MatHandle(std::string id) : id_(std::move(id)) {}
  MatHandle(const MatHandle&) = delete;
  MatHandle& operator=(const MatHandle&) = delete;
  ~MatHandle();

  void setNativeAdr(std::string id);
  /// The store id: absent before it is set, "" after `close`.
  std::optional<std::string> getNativeAdr() const;
  void close();

  /// Size, channels and type of the stored matrix (0, 0, 1, 0 for an unknown or closed entry).
  int getWidth() const;
  int getHeight() const;
  int channels() const;
  int type() const;
  /// The colour of a 3- or 4-channel pixel as lower-case hexadecimal RRGGBB without leading zeros;
  /// "" outside the matrix, on a closed handle or for a matrix of fewer than 3 channels.
  std::string getMatColorHex(long long x, long long y) const;

 private:
  mutable std::mutex mutex_;
  std::optional<std::string> id_;
};

using MatHandlePtr = std::shared_ptr<MatHandle>;

}  // namespace vistrel::native
