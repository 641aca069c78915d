#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/TestImages.h"
#include "vistrel/colour/ColorMultiFinder.h"
#include "vistrel/colour/ColorUtils.h"

namespace vistrel::colour {
namespace {

using test::rgb;

// ---- A plain reference of the scanning searches, written from the rules, pixel by pixel. ----

struct RefPoint {
  std::int64_t x, y, index;
};

std::string encode(const std::vector<RefPoint>& points) {
  if (points.empty()) return "";
  std::string out = "[";
  for (std::size_t i = 0; i < points.size(); ++i) {
    out += (i ? "," : "") + std::string("{\"x\":") + std::to_string(points[i].x) +
           ",\"y\":" + std::to_string(points[i].y) +
           ",\"index\":" + std::to_string(points[i].index) + "}";
  }
  return out + "]";
}

bool channelMatches(std::int64_t a, std::int64_t b, std::int64_t offset, std::int64_t t) {
  const std::int64_t low = a - offset - t;
  const std::int64_t high = std::min<std::int64_t>(a + offset + t, 255);
  return b >= std::max<std::int64_t>(low, 0) && b <= high;
}

bool colourMatches(std::uint32_t pixel, std::int64_t colour, std::int64_t offset, std::int64_t t) {
  for (int c = 0; c < 3; ++c) {
    if (!channelMatches((colour >> (8 * c)) & 0xFF, (pixel >> (8 * c)) & 0xFF,
                        (offset >> (8 * c)) & 0xFF, t)) {
      return false;
    }
  }
  return true;
}

// The pixels of the rectangle in the sequence of order `orz`, straight from the order table.
std::vector<std::pair<int, int>> visitOrder(int orz, int x0, int y0, int x1, int y1) {
  std::vector<std::pair<int, int>> seq;
  const auto columns = [&](bool leftToRight, bool topToBottom) {
    for (int i = 0; i < x1 - x0; ++i) {
      const int x = leftToRight ? x0 + i : x1 - 1 - i;
      for (int j = 0; j < y1 - y0; ++j) seq.push_back({x, topToBottom ? y0 + j : y1 - 1 - j});
    }
  };
  const auto rows = [&](bool topToBottom, bool leftToRight) {
    for (int j = 0; j < y1 - y0; ++j) {
      const int y = topToBottom ? y0 + j : y1 - 1 - j;
      for (int i = 0; i < x1 - x0; ++i) seq.push_back({leftToRight ? x0 + i : x1 - 1 - i, y});
    }
  };
  switch (orz) {
    case 1:
      columns(true, true);
      break;
    case 2:
      rows(true, true);
      break;
    case 3:
      rows(true, false);
      break;
    case 4:
      columns(false, true);
      break;
    case 5:
      columns(false, false);
      break;
    case 6:
      rows(false, false);
      break;
    case 7:
      rows(false, true);
      break;
    case 8:
      columns(true, false);
      break;
  }
  return seq;
}

struct RefImage {
  int width, height;
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

std::string referenceFind(const RefImage& img, const std::vector<ColorPair>& colours,
                          const std::vector<PointEntry>* pattern, float threshold, std::int64_t x,
                          std::int64_t y, std::int64_t w, std::int64_t h, std::int64_t limit,
                          int orz) {
  if (orz < 1 || orz > 8) return "";
  const std::int64_t t = 255 - static_cast<std::int64_t>(threshold * 255.0f);
  if (w <= 0) w = img.width;
  if (h <= 0) h = img.height;
  const int x1 = static_cast<int>(std::min<std::int64_t>(x + w, img.width));
  const int y1 = static_cast<int>(std::min<std::int64_t>(y + h, img.height));
  std::vector<RefPoint> found;
  const auto reached = [&] { return static_cast<std::int64_t>(found.size()) >= limit; };
  for (const auto& [px, py] : visitOrder(orz, static_cast<int>(x), static_cast<int>(y), x1, y1)) {
    const std::uint32_t pixel = img.at(px, py);
    if (!pattern) {
      for (std::size_t k = 0; k < colours.size(); ++k) {
        if (colourMatches(pixel, colours[k].color, colours[k].offset, t)) {
          found.push_back({px, py, static_cast<std::int64_t>(k)});
        }
        if (reached()) return encode(found);
      }
      continue;
    }
    bool hit = colourMatches(pixel, colours[0].color, colours[0].offset, t);
    for (std::size_t i = 0; hit && i < pattern->size(); ++i) {
      const auto& p = (*pattern)[i];
      const std::int64_t ox = px + p.x, oy = py + p.y;
      hit = ox >= 0 && oy >= 0 && ox < img.width && oy < img.height &&
            colourMatches(img.at(static_cast<int>(ox), static_cast<int>(oy)), p.color, p.offset, t);
    }
    if (hit) found.push_back({px, py, 0});
    if (reached()) return encode(found);
  }
  return encode(found);
}

platform::ImagePtr toImage(const RefImage& img) {
  return test::makeImage(img.width, img.height, [&](int x, int y) { return img.at(x, y); });
}

// ---- Tables on small images with a known layout. ----

TEST(FindColor, EveryOrderVisitsTheRectangleInItsSequence) {
  // 2 x 2 of one colour: with a large limit the result lists the order's sequence.
  image::AutoImage image(test::solidImage(2, 2, rgb(9, 9, 9)));
  const char* expected[] = {
      "",
      R"([{"x":0,"y":0,"index":0},{"x":0,"y":1,"index":0},{"x":1,"y":0,"index":0},{"x":1,"y":1,"index":0}])",
      R"([{"x":0,"y":0,"index":0},{"x":1,"y":0,"index":0},{"x":0,"y":1,"index":0},{"x":1,"y":1,"index":0}])",
      R"([{"x":1,"y":0,"index":0},{"x":0,"y":0,"index":0},{"x":1,"y":1,"index":0},{"x":0,"y":1,"index":0}])",
      R"([{"x":1,"y":0,"index":0},{"x":1,"y":1,"index":0},{"x":0,"y":0,"index":0},{"x":0,"y":1,"index":0}])",
      R"([{"x":1,"y":1,"index":0},{"x":1,"y":0,"index":0},{"x":0,"y":1,"index":0},{"x":0,"y":0,"index":0}])",
      R"([{"x":1,"y":1,"index":0},{"x":0,"y":1,"index":0},{"x":1,"y":0,"index":0},{"x":0,"y":0,"index":0}])",
      R"([{"x":0,"y":1,"index":0},{"x":1,"y":1,"index":0},{"x":0,"y":0,"index":0},{"x":1,"y":0,"index":0}])",
      R"([{"x":0,"y":1,"index":0},{"x":0,"y":0,"index":0},{"x":1,"y":1,"index":0},{"x":1,"y":0,"index":0}])",
  };
  const ColorMultiFinder finder;
  for (int orz = 1; orz <= 8; ++orz) {
    EXPECT_EQ(finder.findColor(image, "090909", 1.0f, 0, 0, 0, 0, 100, orz), expected[orz])
        << "orz " << orz;
  }
}

TEST(FindColor, CasesOfTheRules) {
  // 6 x 4 white; red at (1, 1) and (4, 3); near-black at (5, 0).
  image::AutoImage image(test::makeImage(6, 4, [](int x, int y) {
    if ((x == 1 && y == 1) || (x == 4 && y == 3)) return rgb(255, 0, 0);
    if (x == 5 && y == 0) return rgb(10, 10, 10);
    return rgb(255, 255, 255);
  }));
  const ColorMultiFinder f;
  struct Case {
    const char* label;
    std::string actual;
    const char* expected;
  };
  const Case cases[] = {
      {"two alternatives match one pixel",
       f.findColor(image, "FF0000,FE0000-010101", 0.9f, 0, 0, 0, 0, 10, 2),
       R"([{"x":1,"y":1,"index":0},{"x":1,"y":1,"index":1},{"x":4,"y":3,"index":0},{"x":4,"y":3,"index":1}])"},
      {"a trailing comma adds black", f.findColor(image, "FF0000,", 0.9f, 0, 0, 0, 0, 10, 2),
       R"([{"x":5,"y":0,"index":1},{"x":1,"y":1,"index":0},{"x":4,"y":3,"index":0}])"},
      {"order 5 limit 1 gives the largest x", f.findColor(image, "FF0000", 0.9f, 0, 0, 0, 0, 1, 5),
       R"([{"x":4,"y":3,"index":0}])"},
      {"limit 1 stops between alternatives",
       f.findColor(image, "FF0000,FF0000", 0.9f, 0, 0, 0, 0, 1, 2), R"([{"x":1,"y":1,"index":0}])"},
      {"limit 0 tests the first pixel only", f.findColor(image, "FF0000", 0.9f, 0, 0, 0, 0, 0, 2),
       ""},
      {"limit 0 hit on the first pixel", f.findColor(image, "FFFFFF", 0.9f, 0, 0, 0, 0, 0, 6),
       R"([{"x":5,"y":3,"index":0}])"},
      {"limit 0 tests only the first alternative",
       f.findColor(image, "000000,FFFFFF", 0.9f, 0, 0, 0, 0, 0, 2), ""},
      {"negative limit", f.findColor(image, "FFFFFF", 0.9f, 0, 0, 0, 0, -5, 2),
       R"([{"x":0,"y":0,"index":0}])"},
      {"the last row and column are searched", f.findColor(image, "FF0000", 1.0f, 0, 0, 0, 0, 5, 6),
       R"([{"x":4,"y":3,"index":0},{"x":1,"y":1,"index":0}])"},
      {"rectangle", f.findColor(image, "FF0000", 0.9f, 2, 2, 3, 2, 10, 1),
       R"([{"x":4,"y":3,"index":0}])"},
      {"rectangle starting past the edge", f.findColor(image, "FFFFFF", 0.9f, 6, 0, 0, 0, 10, 1),
       ""},
      {"huge rectangle", f.findColor(image, "FF0000", 0.9f, 0, 0, INT64_MAX, INT64_MAX, 1, 1),
       R"([{"x":1,"y":1,"index":0}])"},
      {"orz 0", f.findColor(image, "FF0000", 0.9f, 0, 0, 0, 0, 10, 0), ""},
      {"orz 9", f.findColor(image, "FF0000", 0.9f, 0, 0, 0, 0, 10, 9), ""},
      {"empty colour text", f.findColor(image, "", 0.9f, 0, 0, 0, 0, 10, 1), ""},
      {"threshold beyond 64 bits", f.findColor(image, "FF0000", 1e30f, 0, 0, 0, 0, 10, 1), ""},
      {"threshold above 1 matches nothing", f.findColor(image, "FF0000", 1.5f, 0, 0, 0, 0, 10, 1),
       ""},
      {"threshold below 0 matches all", f.findColor(image, "FF0000", -1.0f, 0, 0, 0, 0, 2, 2),
       R"([{"x":0,"y":0,"index":0},{"x":1,"y":0,"index":0}])"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.label;
}

TEST(FindMultiColor, CasesOfTheRules) {
  // 5 x 5 black; red at (2, 2) with green to its right (3, 2) and blue at the edge (4, 4).
  image::AutoImage image(test::makeImage(5, 5, [](int x, int y) {
    if (x == 2 && y == 2) return rgb(255, 0, 0);
    if (x == 3 && y == 2) return rgb(0, 255, 0);
    if (x == 4 && y == 4) return rgb(255, 0, 0);
    return rgb(0, 0, 0);
  }));
  const ColorMultiFinder f;
  struct Case {
    const char* label;
    std::string actual;
    const char* expected;
  };
  const Case cases[] = {
      {"pattern matches", f.findMultiColor(image, "FF0000", "1|0|00FF00", 0.9f, 0, 0, 0, 0, 5, 2),
       R"([{"x":2,"y":2,"index":0}])"},
      {"offset outside the image never hits",
       f.findMultiColor(image, "FF0000", "1|0|000000", 0.9f, 0, 0, 0, 0, 5, 2), ""},
      {"offset outside the rectangle is still tested",
       f.findMultiColor(image, "FF0000", "1|0|00FF00", 0.9f, 2, 2, 1, 1, 5, 2),
       R"([{"x":2,"y":2,"index":0}])"},
      {"empty point list: first colour alone",
       f.findMultiColor(image, "FF0000", "bad", 0.9f, 0, 0, 0, 0, 5, 2),
       R"([{"x":2,"y":2,"index":0},{"x":4,"y":4,"index":0}])"},
      {"only the first alternative is used",
       f.findMultiColor(image, "00FF00,FF0000", "bad", 0.9f, 0, 0, 0, 0, 5, 2),
       R"([{"x":3,"y":2,"index":0}])"},
      {"empty points text", f.findMultiColor(image, "FF0000", "", 0.9f, 0, 0, 0, 0, 5, 2), ""},
      {"limit 0 checks the first pixel and its pattern",
       f.findMultiColor(image, "000000", "1|1|000000", 0.9f, 0, 0, 0, 0, 0, 2),
       R"([{"x":0,"y":0,"index":0}])"},
      {"huge offsets are outside",
       f.findMultiColor(image, "FF0000", "9223372036854775807|0|000000", 0.9f, 0, 0, 0, 0, 5, 2),
       ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.label;
}

// ---- The fast scans against the reference, across orders, rectangles, limits, thresholds. ----

class RandomScan : public ::testing::Test {
 protected:
  std::mt19937 random{20261211};

  int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); }

  // An image drawn from a small palette so that matches are frequent.
  RefImage randomImage(int width, int height, const std::vector<std::uint32_t>& palette) {
    RefImage img{width, height, {}};
    for (int i = 0; i < width * height; ++i) {
      img.pixels.push_back(
          palette[static_cast<std::size_t>(uniform(0, static_cast<int>(palette.size()) - 1))]);
    }
    return img;
  }

  static std::string hex(std::uint32_t c) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    return text;
  }

  std::string randomColourText(const std::vector<std::uint32_t>& palette) {
    std::string text =
        hex(palette[static_cast<std::size_t>(uniform(0, static_cast<int>(palette.size()) - 1))]);
    if (uniform(0, 2) == 0)
      text += "-0" + std::to_string(uniform(0, 9)) + "0" + std::to_string(uniform(0, 9)) + "00";
    return text;
  }
};

TEST_F(RandomScan, FastScansEqualTheReference) {
  const std::vector<std::uint32_t> palette = {rgb(250, 20, 20),   rgb(240, 30, 25),
                                              rgb(20, 200, 40),   rgb(0, 0, 0),
                                              rgb(255, 255, 255), rgb(30, 40, 250)};
  const float thresholds[] = {1.0f, 0.95f, 0.9f, 0.8f, 0.5f, 0.0f, 1.2f};
  const std::int64_t limits[] = {-1, 0, 1, 2, 5, 1000000};
  const ColorMultiFinder finder;
  for (int round = 0; round < 600; ++round) {
    // Mostly small images that exercise the 16-pixel groups and their tails; some large enough
    // for the dense column-order path.
    const bool large = round % 50 == 0;
    const int width = large ? uniform(200, 320) : uniform(1, 70);
    const int height = large ? uniform(120, 200) : uniform(1, 40);
    const RefImage img = randomImage(width, height, palette);
    image::AutoImage stored(toImage(img));
    const int orz = uniform(1, 8);
    const std::int64_t x = uniform(0, width), y = uniform(0, height);
    const std::int64_t w = uniform(-1, width + 3), h = uniform(-1, height + 3);
    const std::int64_t limit = limits[uniform(0, 5)];
    const float threshold = thresholds[uniform(0, 6)];

    std::string colours = randomColourText(palette);
    for (int k = uniform(0, 2); k > 0; --k) colours += "," + randomColourText(palette);
    const auto pairs = *ColorUtils::parsePointsStringForFindColor(colours);
    EXPECT_EQ(finder.findColor(stored, colours, threshold, x, y, w, h, limit, orz),
              referenceFind(img, pairs, nullptr, threshold, x, y, w, h, limit, orz))
        << "findColor round " << round << " " << colours << " orz " << orz << " rect " << x << ","
        << y << "," << w << "," << h << " limit " << limit << " t " << threshold;

    std::string points;
    for (int k = uniform(0, 3); k > 0; --k) {
      points += (points.empty() ? "" : ",") + std::to_string(uniform(-4, 4)) + "|" +
                std::to_string(uniform(-4, 4)) + "|" + randomColourText(palette);
    }
    if (points.empty()) points = "bad";
    const auto pattern = *ColorUtils::parsePointsString(points);
    EXPECT_EQ(finder.findMultiColor(stored, colours, points, threshold, x, y, w, h, limit, orz),
              referenceFind(img, pairs, &pattern, threshold, x, y, w, h, limit, orz))
        << "findMultiColor round " << round << " " << colours << " / " << points << " orz " << orz
        << " rect " << x << "," << y << "," << w << "," << h << " limit " << limit;
  }
}

}  // namespace
}  // namespace vistrel::colour
