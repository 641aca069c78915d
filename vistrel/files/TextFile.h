#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vistrel::files {

/// Text encodings of the streams.
enum class Encoding { utf8, ascii };

/// The error the stream constructors raise when the delimiter cannot be represented in the
/// encoding. Failures to open a file raise std::system_error.
class ReasonError : public std::runtime_error {
 public:
  enum class Kind { conversion, encoding, closed };
  ReasonError(Kind kind, std::string text)
      : std::runtime_error("ReasonError: " + text), kind_(kind), text_(std::move(text)) {}
  Kind kind() const { return kind_; }
  const std::string& text() const { return text_; }

 private:
  Kind kind_;
  std::string text_;
};

/// An open file with a delimiter and an encoding; closed on destruction.
class TextFileStream {
 public:
  virtual ~TextFileStream();
  TextFileStream(const TextFileStream&) = delete;
  TextFileStream& operator=(const TextFileStream&) = delete;

  /// The file position; 0 once closed.
  std::uint64_t offset() const;
  void seek(std::uint64_t toFileOffset);
  void close();
  bool isClosed() const { return file_ == nullptr; }
  Encoding encoding() const { return encoding_; }

 protected:
  TextFileStream(std::FILE* file, std::string delimiter, Encoding encoding);
  static std::string encodeDelimiter(const std::string& delimiter, Encoding encoding);

  std::FILE* file_;
  std::string delimData_;
  Encoding encoding_;
};

/// Reads the lines of a file in chunks; a line that is not valid in the encoding ends the reading
/// like the end of the file.
class TextFileStreamReader : public TextFileStream {
 public:
  /// Raises std::system_error when the file cannot be opened, ReasonError for the delimiter. A
  /// chunk size below 1 is taken as 4096.
  TextFileStreamReader(const std::string& path, const std::string& delimiter = "\n",
                       Encoding encoding = Encoding::utf8, int chunkSize = 4096);

  std::optional<std::string> nextLine();
  void rewind();
  bool atEOF() const { return atEOF_; }
  /// Whether the reading ended at a line that is not valid in the encoding rather than at the
  /// end of the file.
  bool stoppedAtInvalidLine() const { return invalidLine_; }

 private:
  std::size_t chunkSize_;
  bool atEOF_ = false;
  bool invalidLine_ = false;
  std::string buffer_;
};

/// Writes lines; the file is not truncated (writing starts at offset 0, or at the end to append).
class TextFileStreamWriter : public TextFileStream {
 public:
  TextFileStreamWriter(const std::string& path, const std::string& delimiter = "\n",
                       Encoding encoding = Encoding::utf8, bool append = false,
                       bool createIfNotExist = true);

  bool write(const std::string& line, bool delim = true);
  bool writeDelimiter();
  /// Flushes the file to storage.
  bool synchronize();
  bool append() const { return append_; }

 private:
  bool append_;
};

/// Options of `TextFile::grep`.
struct GrepOptions {
  bool caseInsensitive = false;
  bool regularExpression = false;
};

/// A path with an encoding.
class TextFile {
 public:
  explicit TextFile(std::string filePath, Encoding textEncoding = Encoding::utf8)
      : path(std::move(filePath)), encoding(textEncoding) {}

  TextFileStreamReader streamReader(const std::string& delimiter = "\n",
                                    int chunkSize = 4096) const;
  TextFileStreamWriter streamWriter(const std::string& delimiter = "\n", bool append = false) const;
  /// The lines that contain the pattern (include) or do not (not include); [] when the file
  /// cannot be opened or the pattern does not compile.
  std::vector<std::string> grep(const std::string& pattern, bool include = true,
                                GrepOptions options = {}) const;

  std::string path;
  Encoding encoding;
};

/// Whether the bytes are valid in the encoding.
bool validIn(const std::string& bytes, Encoding encoding);

}  // namespace vistrel::files
