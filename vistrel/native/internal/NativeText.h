#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vistrel::native::internal {

/// Parts between the matches of the ECMAScript pattern `delimiter`; a part before a leading
/// delimiter and between adjacent ones is returned (empty), none after a trailing one.
std::vector<std::string> s_split(const std::string& text, const std::string& delimiter);
/// Replaces the first occurrence of `from`, wherever it is.
std::string replaceStr(std::string text, const std::string& from, const std::string& to);
bool startsWith(const std::string& text, const std::string& prefix);

/// A colour text as a native packed colour (red in bits 16-23): the first "#", "0x" and "0X"
/// removed, the rest read as base-16 like std::stoi. Throws std::invalid_argument without a
/// digit and std::out_of_range beyond 32 bits; the empty text gives 0.
int parseColor(const std::string& text);
/// {colour, offset} of "COLOUR-OFFSET"; {0, 0} for the empty text. Throws as parseColor.
std::vector<int> splitColorParamString(const std::string& text);
/// Flat x, y, colour, offset of "X|Y|COLOUR-OFFSET,..."; empty parts and parts without exactly
/// three fields are skipped; x and y read leniently (unreadable gives 0). Throws as parseColor.
std::vector<int> parsePointsString(const std::string& text);

/// The native tolerance: g = 255 - threshold x 255 in single precision; a pixel channel p with
/// offset o accepts the colour channel c when trunc(p - o - g) (at least 0) <= c <=
/// trunc(g + p + o) (at most 255). For one colour channel the accepted pixel values form an
/// interval, found here once per search.
struct ChannelRange {
  int low = 0;
  int high = -1;  // empty when high < low
};
ChannelRange acceptedPixels(int colour, int offset, float g);

/// A native packed colour and offset under a threshold: per channel, the pixel values accepted,
/// in memory order blue, green, red.
struct NativeColorTest {
  ChannelRange range[3];
  bool never() const {
    return range[0].high < range[0].low || range[1].high < range[1].low ||
           range[2].high < range[2].low;
  }
  bool matches(const std::uint8_t* bgr) const {
    for (int c = 2; c >= 0; --c) {  // red, green, blue
      if (bgr[c] < range[c].low || bgr[c] > range[c].high) return false;
    }
    return true;
  }
};
NativeColorTest colourTest(int colour, int offset, float threshold);

}  // namespace vistrel::native::internal
