#pragma once

namespace vistrel::platform {

/// Tunes the C allocator of a process that works on screenshot-sized buffers: blocks freed are
/// kept for reuse instead of being handed back to the system at once. Each fresh 12 MB buffer
/// otherwise costs thousands of page faults (on virtual machines as much as the work itself).
/// A process-wide choice for hosts to make once at start-up; the library never calls it.
void keepFreedImageMemory();

}  // namespace vistrel::platform
