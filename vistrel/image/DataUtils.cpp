#include "vistrel/image/DataUtils.h"

#include <openssl/evp.h>

#include <memory>
#include <nlohmann/json.hpp>

#include "vistrel/platform/Console.h"

namespace vistrel::image {
namespace {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool validUtf8(const platform::Bytes& b) {
  std::size_t i = 0;
  while (i < b.size()) {
    const std::uint8_t c = b[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t length = 0;
    std::uint32_t lowest = 0;
    std::uint32_t cp = 0;
    if ((c & 0xE0) == 0xC0) {
      length = 2, lowest = 0x80, cp = c & 0x1Fu;
    } else if ((c & 0xF0) == 0xE0) {
      length = 3, lowest = 0x800, cp = c & 0x0Fu;
    } else if ((c & 0xF8) == 0xF0) {
      length = 4, lowest = 0x10000, cp = c & 0x07u;
    } else {
      return false;
    }
    if (i + length > b.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((b[i + k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (b[i + k] & 0x3Fu);
    }
    if (cp < lowest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

}  // namespace

platform::ImagePtr DataUtils::toUIImage(const platform::Bytes& bytes) {
  return platform::PlatformImage::decode(bytes);
}

void DataUtils::appendString(platform::Bytes& bytes, std::string_view text) {
  bytes.insert(bytes.end(), text.begin(), text.end());
}

std::string DataUtils::md5_22(const platform::Bytes& bytes) {
  const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                        &EVP_MD_CTX_free);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1 ||
      EVP_DigestUpdate(context.get(), bytes.data(), bytes.size()) != 1 ||
      EVP_DigestFinal_ex(context.get(), digest, &length) != 1) {
    return {};
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  for (unsigned int i = 0; i < length; ++i) {
    text += kHex[digest[i] >> 4];
    text += kHex[digest[i] & 0x0F];
  }
  return text;
}

std::optional<std::string> DataUtils::toString(const platform::Bytes& bytes) {
  if (!validUtf8(bytes)) return std::nullopt;
  return std::string(bytes.begin(), bytes.end());
}

std::optional<nlohmann::json> DataUtils::toDic(const platform::Bytes& bytes, int) {
  try {
    auto parsed = nlohmann::json::parse(bytes.begin(), bytes.end());
    if (!parsed.is_object()) return std::nullopt;
    return parsed;
  } catch (const nlohmann::json::exception& e) {
    platform::logOut(std::string("[Error] Data isn't to Dictionary: ") + e.what() + " _Ext+Decode");
    return std::nullopt;
  }
}

std::chrono::steady_clock::time_point DataUtils::deadline(std::int64_t seconds) {
  return std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
}

}  // namespace vistrel::image
