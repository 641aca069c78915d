#pragma once

#include <sys/types.h>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "vistrel/platform/PlatformImage.h"

namespace vistrel::files {

/// A path that can give its file URL and its text. Plain path texts are such things.
struct FilePathProtocol {
  std::string path;
  FilePathProtocol(std::string p) : path(std::move(p)) {}  // NOLINT: texts convert implicitly
  FilePathProtocol(const char* p) : path(p) {}             // NOLINT
  /// "file://" and the absolute path (a relative path is taken from the current directory).
  std::string filePathUrl() const;
  const std::string& stringPath() const { return path; }
};

/// The application's standard directories, or a custom one.
struct AppDirectories {
  enum class Kind { documents, library, libraryCaches, temp, customPath } kind;
  std::string custom;
  static AppDirectories documents() { return {Kind::documents, {}}; }
  static AppDirectories library() { return {Kind::library, {}}; }
  static AppDirectories libraryCaches() { return {Kind::libraryCaches, {}}; }
  static AppDirectories temp() { return {Kind::temp, {}}; }
  static AppDirectories customPath(std::string path) { return {Kind::customPath, std::move(path)}; }
};

/// Where the application's directories are. Results are file URLs.
class FilePathUtils {
 public:
  static std::string documentsDirectoryURL();
  /// The machine-wide library directory (/usr/local/share/vistrel/Library).
  static std::string documentsDirectoryURL2();
  static std::string libraryDirectoryURL();
  static std::string librayCachesURL();
  static std::string tempDirectoryURL();
  static std::string getURL(const AppDirectories& directory);
  static std::string setupFilePath(const AppDirectories& directory, const std::string& name);
  /// Creates an empty file when nothing is at the path; whether something is there now.
  static bool createFile(const FilePathProtocol& filePath, const std::string& unused = {});
  /// The path of a file URL (the text itself when it is no file URL).
  static std::string pathOf(const std::string& url);
};

/// Options of `writeFile`: replace the file in one step (write a side file, then rename it).
enum class WriteOptions { none, atomic };

/// File operations; every failure is a result (false, 0 or none) and at most one log line.
class FileUtils {
 public:
  /// The whole file; none when missing, unreadable or empty.
  static std::optional<platform::Bytes> readFile(const FilePathProtocol& filePath);
  /// As readFile, decoded as UTF-8; none for invalid UTF-8.
  static std::optional<std::string> readFileString(const FilePathProtocol& filePath);
  static bool writeFile(const platform::Bytes& content, const FilePathProtocol& filePath,
                        WriteOptions options = WriteOptions::none);
  static bool writeFileString(const std::string& content, const FilePathProtocol& filePath,
                              WriteOptions options = WriteOptions::none);
  static bool exists(const FilePathProtocol& filePath);
  static bool isFile(const std::string& path);
  static bool isDir(const std::string& path);
  /// Removes the file or directory with everything under it.
  static bool deleteFile(const FilePathProtocol& filePath);
  static bool isReadable(const FilePathProtocol& filePath);
  static bool isWritable(const FilePathProtocol& fileURL);
  static std::uint64_t getSize(const FilePathProtocol& fileURL);
  /// MD5 of the content as 32 lower-case hexadecimal digits; none when it cannot be opened.
  static std::optional<std::string> md5File(const FilePathProtocol& url);
  static bool createFolder(const std::string& path, bool createIntermediates,
                           std::optional<mode_t> permissions = std::nullopt);
  static bool createFolder(const AppDirectories& basePath, const std::string& folderName,
                           bool createIntermediates,
                           std::optional<mode_t> permissions = std::nullopt);
  /// Moves, copies and renames never replace an existing target.
  static bool renameFile(const AppDirectories& path, const std::string& oldName,
                         const std::string& newName);
  static bool moveFile(const std::string& fileName, const std::string& fromDirectory,
                       const std::string& toDirectory);
  static bool copyFile(const std::string& fileName, const std::string& fromDirectory,
                       const std::string& toDirectory);
  static bool copyFile(const std::string& from, const std::string& to);

  /// The 1-based line `lineNo`, or none.
  static std::optional<std::string> readLineEx(const std::string& filePath, std::int64_t lineNo);
  /// Appends the text and a line feed, creating the file; flushed to storage.
  static bool appendLineEx(const std::string& filePath, const std::string& data);
  /// Removes the line numbered `lineNo` and every line containing `text` (when not empty); true
  /// when at least one went. The kept lines, each ending with a line feed, go to a fresh file in
  /// the same directory that is flushed and renamed over the original in one step: a crash
  /// midway leaves the original whole. A file with a line that is not UTF-8 (whose later lines
  /// cannot be read) is left as it is: false.
  static bool deleteLineEx(const std::string& path, std::int64_t lineNo, const std::string& text);
};

}  // namespace vistrel::files
