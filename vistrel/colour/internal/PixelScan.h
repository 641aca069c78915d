#pragma once

// The scanning core of the pixel engine: per-pixel colour tests on packed RGBA words, a
// data-parallel prefilter that finds candidate pixels 16 at a time, and the eight scan orders.
// Hot loops allocate nothing and read rows straight from the contiguous pixel array.

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "vistrel/colour/ColorUtils.h"
#include "vistrel/image/PixelArray.h"

namespace vistrel::colour::internal {

/// A window onto rows of packed pixels: the whole pixel array or a part of it.
struct PixelView {
  const std::uint32_t* data = nullptr;
  std::ptrdiff_t stride = 0;  // pixels from one row to the next
  int width = 0;
  int height = 0;

  static PixelView of(const image::PixelArray& array) {
    return {array.data(), array.width(), array.width(), array.height()};
  }
  PixelView sub(int x, int y, int w, int h) const { return {data + y * stride + x, stride, w, h}; }
  const std::uint32_t* row(int y) const { return data + y * stride; }
  std::uint32_t at(int x, int y) const { return row(y)[x]; }
  /// The pixel at (x, y) when both lie inside the view.
  bool inside(std::int64_t x, std::int64_t y) const {
    return x >= 0 && y >= 0 && x < width && y < height;
  }
};

/// Half-open rectangle of columns x0..x1 and rows y0..y1.
struct Rect {
  int x0 = 0;
  int y0 = 0;
  int x1 = 0;
  int y1 = 0;
  bool empty() const { return x0 >= x1 || y0 >= y1; }
};

/// One colour pair under one allowance: a pixel matches when every channel satisfies
/// |pixel - colour| <= offset + allowance. Alpha is ignored.
class ColorTest {
 public:
  ColorTest(std::int64_t color, std::int64_t offset, std::int64_t allowance) {
    color_ = static_cast<std::uint32_t>(color) & 0x00FFFFFFu;
    tolerance_ = 0xFF000000u;  // alpha: anything goes
    for (int c = 0; c < 3; ++c) {
      const std::int64_t t = ((offset >> (8 * c)) & 0xFF) + allowance;
      if (t < 0) never_ = true;
      tolerance_ |= static_cast<std::uint32_t>(std::clamp<std::int64_t>(t, 0, 255)) << (8 * c);
    }
  }

  /// No pixel can match (a channel's allowance is negative).
  bool never() const { return never_; }

  bool matches(std::uint32_t pixel) const {
    if (never_) return false;
    for (int c = 0; c < 24; c += 8) {
      const int p = static_cast<int>((pixel >> c) & 0xFF);
      const int q = static_cast<int>((color_ >> c) & 0xFF);
      const int d = p > q ? p - q : q - p;
      if (d > static_cast<int>((tolerance_ >> c) & 0xFF)) return false;
    }
    return true;
  }

  std::uint32_t color() const { return color_; }
  std::uint32_t tolerance() const { return tolerance_; }

 private:
  std::uint32_t color_ = 0;
  std::uint32_t tolerance_ = 0;
  bool never_ = false;
};

/// Finds the pixels that match any of its colour tests, 16 pixels at a time.
class Prefilter {
 public:
  explicit Prefilter(const std::vector<ColorTest>& tests) {
    for (const auto& t : tests) {
      if (t.never()) continue;
      scalar_.push_back(t);
#if defined(__SSE2__)
      lanes_.push_back({_mm_set1_epi32(static_cast<int>(t.color())),
                        _mm_set1_epi32(static_cast<int>(t.tolerance()))});
#endif
    }
  }

  /// No pixel can pass.
  bool none() const { return scalar_.empty(); }

  bool matches(std::uint32_t pixel) const {
    for (const auto& t : scalar_) {
      if (t.matches(pixel)) return true;
    }
    return false;
  }

  /// Bit i set when pixel p[i] (i < 16) passes.
  std::uint32_t mask16(const std::uint32_t* p) const {
#if defined(__SSE2__)
    const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4));
    const __m128i v2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
    const __m128i v3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 12));
    __m128i m0 = _mm_setzero_si128(), m1 = m0, m2 = m0, m3 = m0;
    for (const auto& lane : lanes_) {
      m0 = _mm_or_si128(m0, test(v0, lane));
      m1 = _mm_or_si128(m1, test(v1, lane));
      m2 = _mm_or_si128(m2, test(v2, lane));
      m3 = _mm_or_si128(m3, test(v3, lane));
    }
    const __m128i any = _mm_or_si128(_mm_or_si128(m0, m1), _mm_or_si128(m2, m3));
    if (_mm_movemask_epi8(any) == 0) return 0;
    return static_cast<std::uint32_t>(bits(m0) | (bits(m1) << 4) | (bits(m2) << 8) |
                                      (bits(m3) << 12));
#else
    std::uint32_t mask = 0;
    for (int i = 0; i < 16; ++i) {
      if (matches(p[i])) mask |= 1u << i;
    }
    return mask;
#endif
  }

 private:
#if defined(__SSE2__)
  struct Lane {
    __m128i color;
    __m128i tolerance;
  };
  // All 32 bits set in each lane whose pixel is within the tolerance in every byte.
  static __m128i test(__m128i v, const Lane& lane) {
    const __m128i distance =
        _mm_or_si128(_mm_subs_epu8(v, lane.color), _mm_subs_epu8(lane.color, v));
    return _mm_cmpeq_epi32(_mm_subs_epu8(distance, lane.tolerance), _mm_setzero_si128());
  }
  static int bits(__m128i m) { return _mm_movemask_ps(_mm_castsi128_ps(m)); }
  std::vector<Lane> lanes_;
#endif
  std::vector<ColorTest> scalar_;
};

/// Calls visit(x) for every column of [x0, x1) in `row` whose pixel passes, left to right
/// (Reverse: right to left); stops and answers true as soon as visit answers true.
template <bool Reverse, typename Visit>
bool scanRow(const std::uint32_t* row, int x0, int x1, const Prefilter& filter, Visit&& visit) {
  if constexpr (!Reverse) {
    int x = x0;
    for (; x + 16 <= x1; x += 16) {
      for (std::uint32_t mask = filter.mask16(row + x); mask != 0; mask &= mask - 1) {
        if (visit(x + std::countr_zero(mask))) return true;
      }
    }
    for (; x < x1; ++x) {
      if (filter.matches(row[x]) && visit(x)) return true;
    }
  } else {
    int x = x1;
    for (; x - 16 >= x0; x -= 16) {
      for (std::uint32_t mask = filter.mask16(row + x - 16); mask != 0;) {
        const int bit = 31 - std::countl_zero(mask);
        if (visit(x - 16 + bit)) return true;
        mask &= ~(1u << bit);
      }
    }
    for (--x; x >= x0; --x) {
      if (filter.matches(row[x]) && visit(x)) return true;
    }
  }
  return false;
}

/// The scan orders: for each order whether columns form the outer loop and in which direction
/// columns and rows are walked.
struct OrderShape {
  bool columnsOuter;
  bool rightToLeft;
  bool bottomToTop;
};

/// 1: columns L-R, rows T-B; 2: rows T-B, columns L-R; 3: rows T-B, columns R-L;
/// 4: columns R-L, rows T-B; 5: columns R-L, rows B-T; 6: rows B-T, columns R-L;
/// 7: rows B-T, columns L-R; 8: columns L-R, rows B-T.
constexpr std::array<OrderShape, 9> kOrders = {{
    {false, false, false},  // unused
    {true, false, false},
    {false, false, false},
    {false, true, false},
    {true, true, false},
    {true, true, true},
    {false, true, true},
    {false, false, true},
    {true, false, true},
}};

inline bool validOrder(std::int64_t orz) { return orz >= 1 && orz <= 8; }

/// The first pixel an order visits in a non-empty rectangle.
inline std::pair<int, int> firstPixel(std::int64_t orz, const Rect& r) {
  const OrderShape& s = kOrders[static_cast<std::size_t>(orz)];
  return {s.rightToLeft ? r.x1 - 1 : r.x0, s.bottomToTop ? r.y1 - 1 : r.y0};
}

/// Calls visit(x, y) for every pixel of the rectangle, in order `orz` (1-8); stops when visit
/// answers true. The plain walk, for searches that look at every pixel.
template <typename Visit>
void forEachInOrder(std::int64_t orz, const Rect& r, Visit&& visit) {
  if (r.empty()) return;
  const OrderShape& s = kOrders[static_cast<std::size_t>(orz)];
  const int xStart = s.rightToLeft ? r.x1 - 1 : r.x0, xStep = s.rightToLeft ? -1 : 1;
  const int yStart = s.bottomToTop ? r.y1 - 1 : r.y0, yStep = s.bottomToTop ? -1 : 1;
  const int columns = r.x1 - r.x0, rows = r.y1 - r.y0;
  if (s.columnsOuter) {
    for (int i = 0, x = xStart; i < columns; ++i, x += xStep) {
      for (int j = 0, y = yStart; j < rows; ++j, y += yStep) {
        if (visit(x, y)) return;
      }
    }
  } else {
    for (int j = 0, y = yStart; j < rows; ++j, y += yStep) {
      for (int i = 0, x = xStart; i < columns; ++i, x += xStep) {
        if (visit(x, y)) return;
      }
    }
  }
}

/// Calls visit(x, y) for every candidate pixel of the rectangle, in order `orz` (1-8); stops when
/// visit answers true. `scanSegment(y, x0, x1, reverse, found)` finds the candidates of one row
/// segment, calling found(x) left to right (right to left when `reverse`) until it answers true,
/// and answers whether it was stopped.
///
/// Memory is always read in one direction: rows walked downwards are read left to right, rows
/// walked upwards right to left, so the hardware prefetcher sees one stream (a zig-zag walk loses
/// it and runs at half speed). Where the order wants a row the other way round, the row's
/// candidates are gathered and handed out reversed. Column orders read the rectangle the same way
/// and hand the candidates out sorted into the order's sequence, so no column is ever walked pixel
/// by pixel across rows; when candidates are dense they read vertical bands of 256 columns
/// instead, so that the first columns' points come early.
template <typename ScanSegment, typename Visit>
void scanOrder(const Rect& r, std::int64_t orz, ScanSegment&& scanSegment, Visit&& visit) {
  if (r.empty()) return;
  const OrderShape& s = kOrders[static_cast<std::size_t>(orz)];
  const int rows = r.y1 - r.y0;
  const int yStart = s.bottomToTop ? r.y1 - 1 : r.y0, yStep = s.bottomToTop ? -1 : 1;
  const auto readSegment = [&](int y, int x0, int x1, auto&& found) {
    return scanSegment(y, x0, x1, s.bottomToTop, found);
  };

  if (!s.columnsOuter) {
    std::vector<int> columns;
    for (int j = 0, y = yStart; j < rows; ++j, y += yStep) {
      if (s.rightToLeft == s.bottomToTop) {
        if (readSegment(y, r.x0, r.x1, [&](int x) { return visit(x, y); })) return;
        continue;
      }
      columns.clear();
      readSegment(y, r.x0, r.x1, [&](int x) {
        columns.push_back(x);
        return false;
      });
      for (auto c = columns.rbegin(); c != columns.rend(); ++c) {
        if (visit(*c, y)) return;
      }
    }
    return;
  }

  struct Candidate {
    int x;
    int y;
  };
  std::vector<Candidate> found;
  std::vector<Candidate> sorted;
  std::vector<int> start;
  // Hands out the candidates of columns bx0..bx1 sorted by column in the order's direction
  // (stable: within a column rows keep the order's row sequence).
  const auto emitByColumn = [&](int bx0, int bx1) {
    start.assign(static_cast<std::size_t>(bx1 - bx0) + 1, 0);
    const auto slot = [&](int x) {
      return static_cast<std::size_t>(s.rightToLeft ? bx1 - 1 - x : x - bx0);
    };
    for (const auto& c : found) ++start[slot(c.x) + 1];
    for (std::size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
    sorted.resize(found.size());
    for (const auto& c : found) sorted[static_cast<std::size_t>(start[slot(c.x)]++)] = c;
    for (const auto& c : sorted) {
      if (visit(c.x, c.y)) return true;
    }
    return false;
  };

  // Sparse colours (the usual search): one pass over the whole rectangle in memory order.
  constexpr std::size_t kSparse = std::size_t{1} << 15;
  bool dense = false;
  for (int j = 0, y = yStart; j < rows && !dense; ++j, y += yStep) {
    readSegment(y, r.x0, r.x1, [&](int x) {
      found.push_back({x, y});
      dense = found.size() > kSparse;
      return dense;
    });
  }
  if (!dense) {
    emitByColumn(r.x0, r.x1);
    return;
  }

  // Dense colours: vertical bands, so that the first columns' points come without reading the
  // whole rectangle.
  constexpr int kBand = 256;
  const int bands = (r.x1 - r.x0 + kBand - 1) / kBand;
  for (int b = 0; b < bands; ++b) {
    const int bx0 = s.rightToLeft ? std::max(r.x0, r.x1 - (b + 1) * kBand) : r.x0 + b * kBand;
    const int bx1 = s.rightToLeft ? r.x1 - b * kBand : std::min(r.x1, bx0 + kBand);
    found.clear();
    for (int j = 0, y = yStart; j < rows; ++j, y += yStep) {
      readSegment(y, bx0, bx1, [&](int x) {
        found.push_back({x, y});
        return false;
      });
    }
    if (emitByColumn(bx0, bx1)) return;
  }
}

/// Calls visit(x, y) for every pixel of the rectangle that passes the prefilter, in order `orz`
/// (1-8); stops when visit answers true.
template <typename Visit>
void scanCandidates(const PixelView& view, const Rect& r, std::int64_t orz, const Prefilter& filter,
                    Visit&& visit) {
  if (filter.none()) return;
  scanOrder(
      r, orz,
      [&](int y, int x0, int x1, bool reverse, auto&& found) {
        return reverse ? scanRow<true>(view.row(y), x0, x1, filter, found)
                       : scanRow<false>(view.row(y), x0, x1, filter, found);
      },
      visit);
}

/// A found point: column, row and the index of the colour that matched.
struct Hit {
  std::int64_t x;
  std::int64_t y;
  std::int64_t index;
};

/// The result text: [{"x":..,"y":..,"index":..},...], compact, or "" when there is no hit.
std::string encodeHits(const std::vector<Hit>& hits);

/// The allowance of a threshold and the colour tests of colour pairs under it.
std::vector<ColorTest> colorTests(const std::vector<ColorPair>& pairs, std::int64_t allowance);

}  // namespace vistrel::colour::internal
