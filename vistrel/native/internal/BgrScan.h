#pragma once

// Candidate scanning over 8-bit matrices whose elements start with blue, green, red: 16
// elements at a time for 3-channel rows (48 bytes, every byte tested against its channel's
// accepted range at once), element by element otherwise.

#include <bit>
#include <cstdint>
#include <opencv2/core.hpp>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "vistrel/colour/internal/PixelScan.h"
#include "vistrel/native/internal/NativeText.h"

namespace vistrel::native::internal {

/// Finds the elements that pass any of its colour tests.
class BgrFilter {
 public:
  BgrFilter(const std::vector<NativeColorTest>& tests, int channels) : channels_(channels) {
    for (const auto& t : tests) {
      if (t.never()) continue;
      tests_.push_back(t);
#if defined(__SSE2__)
      Lanes lanes;
      for (int k = 0; k < 3; ++k) {
        alignas(16) std::uint8_t lo[16], hi[16];
        for (int j = 0; j < 16; ++j) {
          const auto& range = t.range[(16 * k + j) % 3];
          lo[j] = static_cast<std::uint8_t>(range.low);
          hi[j] = static_cast<std::uint8_t>(range.high);
        }
        lanes.low[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(lo));
        lanes.high[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(hi));
      }
      lanes_.push_back(lanes);
#endif
    }
  }

  bool none() const { return tests_.empty(); }
  int channels() const { return channels_; }

  bool matches(const std::uint8_t* element) const {
    for (const auto& t : tests_) {
      if (t.matches(element)) return true;
    }
    return false;
  }

  /// Bit i set when element i of the 16 three-byte elements at p passes.
  std::uint32_t mask16(const std::uint8_t* p) const {
#if defined(__SSE2__)
    const __m128i v[3] = {_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16)),
                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32))};
    std::uint64_t any = 0;
    for (const auto& lanes : lanes_) {
      const __m128i zero = _mm_setzero_si128();
      const auto inside = [&](int k) {
        const __m128i outside =
            _mm_or_si128(_mm_subs_epu8(lanes.low[k], v[k]), _mm_subs_epu8(v[k], lanes.high[k]));
        return static_cast<std::uint64_t>(
            static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(outside, zero))));
      };
      const std::uint64_t bytes = inside(0) | (inside(1) << 16) | (inside(2) << 32);
      if (bytes == 0) continue;
      // An element passes when its three bytes do: keep bit 3i where bits 3i..3i+2 are set.
      any |= bytes & (bytes >> 1) & (bytes >> 2) & 0x249249249249ULL;
    }
    std::uint32_t mask = 0;
    for (; any != 0; any &= any - 1) mask |= 1u << (std::countr_zero(any) / 3);
    return mask;
#else
    std::uint32_t mask = 0;
    for (int i = 0; i < 16; ++i) {
      if (matches(p + 3 * i)) mask |= 1u << i;
    }
    return mask;
#endif
  }

 private:
#if defined(__SSE2__)
  struct Lanes {
    __m128i low[3];
    __m128i high[3];
  };
  std::vector<Lanes> lanes_;
#endif
  std::vector<NativeColorTest> tests_;
  int channels_;
};

/// Calls found(x) for the elements of row `row` in [x0, x1) that pass, left to right (Reverse:
/// right to left); answers true when found stopped it.
template <bool Reverse, typename Found>
bool scanBgrRow(const std::uint8_t* row, int x0, int x1, const BgrFilter& filter, Found&& found) {
  const int n = filter.channels();
  const auto at = [&](int x) { return row + static_cast<std::ptrdiff_t>(x) * n; };
  if (n != 3) {
    for (int i = 0; i < x1 - x0; ++i) {
      const int x = Reverse ? x1 - 1 - i : x0 + i;
      if (filter.matches(at(x)) && found(x)) return true;
    }
    return false;
  }
  if constexpr (!Reverse) {
    int x = x0;
    for (; x + 16 <= x1; x += 16) {
      for (std::uint32_t mask = filter.mask16(at(x)); mask != 0; mask &= mask - 1) {
        if (found(x + std::countr_zero(mask))) return true;
      }
    }
    for (; x < x1; ++x) {
      if (filter.matches(at(x)) && found(x)) return true;
    }
  } else {
    int x = x1;
    for (; x - 16 >= x0; x -= 16) {
      for (std::uint32_t mask = filter.mask16(at(x - 16)); mask != 0;) {
        const int bit = 31 - std::countl_zero(mask);
        if (found(x - 16 + bit)) return true;
        mask &= ~(1u << bit);
      }
    }
    for (--x; x >= x0; --x) {
      if (filter.matches(at(x)) && found(x)) return true;
    }
  }
  return false;
}

/// Calls visit(x, y) for every element of the rectangle of `mat` that passes the filter, in scan
/// order `orz`, until visit answers true.
template <typename Visit>
void scanMatCandidates(const cv::Mat& mat, const colour::internal::Rect& r, std::int64_t orz,
                       const BgrFilter& filter, Visit&& visit) {
  if (filter.none()) return;
  colour::internal::scanOrder(
      r, orz,
      [&](int y, int x0, int x1, bool reverse, auto&& found) {
        const std::uint8_t* row = mat.ptr<std::uint8_t>(y);
        return reverse ? scanBgrRow<true>(row, x0, x1, filter, found)
                       : scanBgrRow<false>(row, x0, x1, filter, found);
      },
      visit);
}

}  // namespace vistrel::native::internal
