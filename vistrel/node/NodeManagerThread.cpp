#include "vistrel/node/NodeManagerThread.h"

namespace vistrel::node {

NodeManagerThread::Entry& NodeManagerThread::entry(std::string_view threadId) {
  const std::lock_guard lock(lock_);
  const std::string key = threadId.empty() ? "mainWorker" : std::string(threadId);
  auto& slot = threadMap_[key];
  if (!slot) slot = std::make_unique<Entry>();
  return *slot;
}

}  // namespace vistrel::node
