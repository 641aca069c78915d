#include "vistrel/platform/Memory.h"

#include <malloc.h>

namespace vistrel::platform {

void keepFreedImageMemory() {
  // Blocks up to 256 MB come from the heap, and up to 1 GB of free heap is kept.
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

}  // namespace vistrel::platform
