#include "vistrel/image/PixelArray.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

namespace vistrel::image {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

void PixelArray::Free::operator()(std::uint32_t* p) const { std::free(p); }

PixelArray::Pixels PixelArray::allocatePixels(std::size_t count) {
  const std::size_t bytes = count * sizeof(std::uint32_t);
  void* memory = nullptr;
  if (bytes >= kHugePage) {
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    memory = std::aligned_alloc(kHugePage, rounded);
    if (memory) ::madvise(memory, rounded, MADV_HUGEPAGE);
  } else {
    memory = std::malloc(bytes == 0 ? 1 : bytes);
  }
  if (!memory) throw std::bad_alloc();
  return Pixels(static_cast<std::uint32_t*>(memory));
}

}  // namespace vistrel::image
