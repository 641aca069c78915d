#include "vistrel/image/DataUtils.h"

#include <openssl/evp.h>

#include <memory>
#include <nlohmann/json.hpp>

#include "vistrel/platform/Console.h"
#include "vistrel/platform/Text.h"

namespace vistrel::image {

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
  if (!platform::validUtf8(
          std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()))) {
    return std::nullopt;
  }
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
