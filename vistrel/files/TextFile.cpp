#define PCRE2_CODE_UNIT_WIDTH 8
#include "vistrel/files/TextFile.h"
#include "vistrel/platform/Text.h"

#include <pcre2.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <system_error>

namespace vistrel::files {

bool validIn(const std::string& b, Encoding encoding) {
  if (encoding == Encoding::ascii) {
    return std::all_of(b.begin(), b.end(), [](char c) { return (c & 0x80) == 0; });
  }
  return platform::validUtf8(b);
}

TextFileStream::TextFileStream(std::FILE* file, std::string delimiter, Encoding encoding)
    : file_(file), delimData_(std::move(delimiter)), encoding_(encoding) {}

TextFileStream::~TextFileStream() { close(); }

std::string TextFileStream::encodeDelimiter(const std::string& delimiter, Encoding encoding) {
  if (delimiter.empty() || !validIn(delimiter, encoding)) {
    throw ReasonError(ReasonError::Kind::encoding, delimiter);
  }
  return delimiter;
}

std::uint64_t TextFileStream::offset() const {
  if (!file_) return 0;
  const long at = std::ftell(file_);
  return at < 0 ? 0 : static_cast<std::uint64_t>(at);
}

void TextFileStream::seek(std::uint64_t toFileOffset) {
  if (file_) std::fseek(file_, static_cast<long>(toFileOffset), SEEK_SET);
}

void TextFileStream::close() {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
}

namespace {

std::FILE* openOrThrow(const std::string& path, const char* mode) {
  std::FILE* f = std::fopen(path.c_str(), mode);
  if (!f) throw std::system_error(errno, std::generic_category(), path);
  return f;
}

}  // namespace

TextFileStreamReader::TextFileStreamReader(const std::string& path, const std::string& delimiter,
                                           Encoding encoding, int chunkSize)
    : TextFileStream(nullptr, encodeDelimiter(delimiter, encoding), encoding),
      chunkSize_(chunkSize > 0 ? static_cast<std::size_t>(chunkSize) : 4096) {
  file_ = openOrThrow(path, "rb");
}

std::optional<std::string> TextFileStreamReader::nextLine() {
  if (atEOF_) return std::nullopt;
  std::size_t searchFrom = 0;
  std::size_t found;
  while ((found = buffer_.find(delimData_, searchFrom)) == std::string::npos) {
    searchFrom = buffer_.size() >= delimData_.size() ? buffer_.size() - delimData_.size() + 1 : 0;
    std::string chunk(chunkSize_, '\0');
    const std::size_t n = file_ ? std::fread(chunk.data(), 1, chunkSize_, file_) : 0;
    if (n == 0) {
      atEOF_ = true;
      if (buffer_.empty()) return std::nullopt;
      std::string last = std::move(buffer_);
      buffer_.clear();
      if (!validIn(last, encoding_)) {
        invalidLine_ = true;
        return std::nullopt;
      }
      return last;
    }
    buffer_.append(chunk.data(), n);
  }
  std::string line = buffer_.substr(0, found);
  buffer_.erase(0, found + delimData_.size());
  if (!validIn(line, encoding_)) {
    // An undecodable line ends the reading, as the end of the file does.
    atEOF_ = true;
    invalidLine_ = true;
    return std::nullopt;
  }
  return line;
}

void TextFileStreamReader::rewind() {
  seek(0);
  buffer_.clear();
  atEOF_ = false;
  invalidLine_ = false;
}

TextFileStreamWriter::TextFileStreamWriter(const std::string& path, const std::string& delimiter,
                                           Encoding encoding, bool append, bool createIfNotExist)
    : TextFileStream(nullptr, encodeDelimiter(delimiter, encoding), encoding), append_(append) {
  std::error_code ec;
  if (createIfNotExist && !std::filesystem::exists(path, ec)) {
    if (std::FILE* created = std::fopen(path.c_str(), "ab")) std::fclose(created);
  }
  file_ = openOrThrow(path, "r+b");  // not truncated
  if (append) std::fseek(file_, 0, SEEK_END);
}

bool TextFileStreamWriter::write(const std::string& line, bool delim) {
  if (!file_ || !validIn(line, encoding_)) return false;
  if (std::fwrite(line.data(), 1, line.size(), file_) != line.size()) return false;
  return !delim || writeDelimiter();
}

bool TextFileStreamWriter::writeDelimiter() {
  if (!file_) return false;
  return std::fwrite(delimData_.data(), 1, delimData_.size(), file_) == delimData_.size();
}

bool TextFileStreamWriter::synchronize() {
  if (!file_) return false;
  return std::fflush(file_) == 0 && ::fsync(fileno(file_)) == 0;
}

TextFileStreamReader TextFile::streamReader(const std::string& delimiter, int chunkSize) const {
  return TextFileStreamReader(path, delimiter, encoding, chunkSize);
}

TextFileStreamWriter TextFile::streamWriter(const std::string& delimiter, bool append) const {
  return TextFileStreamWriter(path, delimiter, encoding, append, true);
}

std::vector<std::string> TextFile::grep(const std::string& pattern, bool include,
                                        GrepOptions options) const {
  std::vector<std::string> kept;
  std::unique_ptr<pcre2_code, decltype(&pcre2_code_free)> code(nullptr, &pcre2_code_free);
  std::unique_ptr<pcre2_match_data, decltype(&pcre2_match_data_free)> data(nullptr,
                                                                           &pcre2_match_data_free);
  if (options.regularExpression) {
    int error = 0;
    PCRE2_SIZE at = 0;
    code.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                             options.caseInsensitive ? PCRE2_CASELESS : 0, &error, &at, nullptr));
    if (!code) return kept;
    data.reset(pcre2_match_data_create_from_pattern(code.get(), nullptr));
  }
  const auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  const std::string needle = options.caseInsensitive ? lower(pattern) : pattern;
  try {
    TextFileStreamReader reader(path, "\n", encoding, 4096);
    while (auto line = reader.nextLine()) {
      bool matches;
      if (code) {
        matches = pcre2_match(code.get(), reinterpret_cast<PCRE2_SPTR>(line->data()), line->size(),
                              0, 0, data.get(), nullptr) >= 0;
      } else {
        matches =
            (options.caseInsensitive ? lower(*line) : *line).find(needle) != std::string::npos;
      }
      if (matches == include) kept.push_back(*line);
    }
  } catch (const std::exception&) {
    return {};
  }
  return kept;
}

}  // namespace vistrel::files
