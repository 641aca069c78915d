#pragma once

#include <mutex>
#include <optional>
#include <shared_mutex>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vistrel::image {

/// A map whose reads run side by side and whose writes run alone, in the order they were issued:
/// a lookup issued after a write returned sees that write.
template <typename Key, typename Value>
class ThreadSafeDictionary {
 public:
  /// The value under `key`, or absent when the key is not in the map.
  std::optional<Value> get(const Key& key) const {
    const std::shared_lock lock(mutex_);
    const auto found = map_.find(key);
    if (found == map_.end()) return std::nullopt;
    return found->second;
  }

  bool contains(const Key& key) const {
    const std::shared_lock lock(mutex_);
    return map_.contains(key);
  }

  /// Stores `value` under `key`; an absent value removes the key.
  void set(const Key& key, std::optional<Value> value) {
    const std::unique_lock lock(mutex_);
    if (value) {
      map_.insert_or_assign(key, std::move(*value));
    } else {
      map_.erase(key);
    }
  }

  void removeValue(const Key& key) {
    const std::unique_lock lock(mutex_);
    map_.erase(key);
  }

  void removeAll() {
    decltype(map_) old;
    {
      const std::unique_lock lock(mutex_);
      old.swap(map_);
    }
    // The values are released here, outside the lock.
  }

  std::size_t count() const {
    const std::shared_lock lock(mutex_);
    return map_.size();
  }

  /// A copy of every entry, in map order.
  std::vector<std::pair<Key, Value>> entries() const {
    const std::shared_lock lock(mutex_);
    return {map_.begin(), map_.end()};
  }

 private:
  mutable std::shared_mutex mutex_;
  std::unordered_map<Key, Value> map_;
};

}  // namespace vistrel::image
