#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "vistrel/node/NodeManager.h"

namespace vistrel::node {

/// One NodeManager per script thread id ("" is "mainWorker"), made on first use and kept for the
/// life of the store. The map is guarded; so is each manager, so that two threads that happen to
/// use one id take turns instead of racing.
class NodeManagerThread {
 public:
  /// Runs `work(manager)` on the thread's manager, alone.
  template <typename Work>
  auto withManager(std::string_view threadId, Work&& work) {
    Entry& e = entry(threadId);
    const std::lock_guard lock(e.mutex);
    return work(e.manager);
  }

  /// The thread's manager, for callers that are its one user.
  NodeManager& getNodeManager(std::string_view threadId) { return entry(threadId).manager; }

 private:
  struct Entry {
    std::mutex mutex;
    NodeManager manager;
  };
  Entry& entry(std::string_view threadId);

  std::mutex lock_;
  std::unordered_map<std::string, std::unique_ptr<Entry>> threadMap_;
};

}  // namespace vistrel::node
