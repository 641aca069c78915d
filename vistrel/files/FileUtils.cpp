#include "vistrel/files/FileUtils.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "vistrel/files/TextFile.h"
#include "vistrel/platform/Console.h"
#include "vistrel/platform/Directories.h"

namespace vistrel::files {
namespace fs = std::filesystem;

namespace {

std::string url(const fs::path& p) { return "file://" + p.string(); }

bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Moves or copies without ever replacing an existing target.
bool transfer(const fs::path& from, const fs::path& to, bool copy) {
  std::error_code ec;
  if (!fs::exists(from, ec) || fs::exists(to, ec)) return false;
  if (copy) {
    fs::copy(from, to, fs::copy_options::recursive, ec);
  } else {
    fs::rename(from, to, ec);
  }
  return !ec;
}

}  // namespace

std::string FilePathProtocol::filePathUrl() const {
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec);
  return url(ec ? fs::path(path) : absolute);
}

std::string FilePathUtils::pathOf(const std::string& text) {
  return text.starts_with("file://") ? text.substr(7) : text;
}

std::string FilePathUtils::documentsDirectoryURL() {
  return url(platform::Directories::documents());
}
std::string FilePathUtils::documentsDirectoryURL2() {
  return url(platform::Directories::machineLibrary());
}
std::string FilePathUtils::libraryDirectoryURL() { return url(platform::Directories::library()); }
std::string FilePathUtils::librayCachesURL() { return url(platform::Directories::caches()); }
std::string FilePathUtils::tempDirectoryURL() { return url(platform::Directories::temp()); }

std::string FilePathUtils::getURL(const AppDirectories& d) {
  switch (d.kind) {
    case AppDirectories::Kind::documents:
      return documentsDirectoryURL();
    case AppDirectories::Kind::library:
      return libraryDirectoryURL();
    case AppDirectories::Kind::libraryCaches:
      return librayCachesURL();
    case AppDirectories::Kind::temp:
      return tempDirectoryURL();
    case AppDirectories::Kind::customPath:
      return FilePathProtocol(d.custom).filePathUrl();
  }
  return {};
}

std::string FilePathUtils::setupFilePath(const AppDirectories& directory, const std::string& name) {
  return url(fs::path(pathOf(getURL(directory))) / name);
}

bool FilePathUtils::createFile(const FilePathProtocol& filePath, const std::string&) {
  std::error_code ec;
  if (!fs::exists(filePath.path, ec))
    std::ofstream(filePath.path, std::ios::binary | std::ios::app);
  return fs::exists(filePath.path, ec);
}

std::optional<platform::Bytes> FileUtils::readFile(const FilePathProtocol& filePath) {
  std::ifstream in(FilePathUtils::pathOf(filePath.filePathUrl()), std::ios::binary);
  if (!in) return std::nullopt;
  platform::Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad() || bytes.empty()) return std::nullopt;
  return bytes;
}

std::optional<std::string> FileUtils::readFileString(const FilePathProtocol& filePath) {
  const auto bytes = readFile(filePath);
  if (!bytes) return std::nullopt;
  std::string text(bytes->begin(), bytes->end());
  if (!validIn(text, Encoding::utf8)) return std::nullopt;
  return text;
}

bool FileUtils::writeFile(const platform::Bytes& content, const FilePathProtocol& filePath,
                          WriteOptions options) {
  const std::string target = FilePathUtils::pathOf(filePath.filePathUrl());
  const std::string written = options == WriteOptions::atomic ? target + ".writing" : target;
  const int fd = ::open(written.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  bool ok = fd >= 0 && writeAll(fd, content.data(), content.size());
  if (fd >= 0) ok = (options != WriteOptions::atomic || ::fsync(fd) == 0) && ::close(fd) == 0 && ok;
  if (ok && options == WriteOptions::atomic) ok = std::rename(written.c_str(), target.c_str()) == 0;
  if (!ok) {
    platform::logOut(std::string("writeFile ") + std::strerror(errno));
    if (options == WriteOptions::atomic) ::unlink(written.c_str());
  }
  return ok;
}

bool FileUtils::writeFileString(const std::string& content, const FilePathProtocol& filePath,
                                WriteOptions options) {
  return writeFile(platform::Bytes(content.begin(), content.end()), filePath, options);
}

bool FileUtils::exists(const FilePathProtocol& filePath) {
  std::error_code ec;
  return fs::exists(filePath.path, ec);
}

bool FileUtils::isFile(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec) && !fs::is_directory(path, ec);
}

bool FileUtils::isDir(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

bool FileUtils::deleteFile(const FilePathProtocol& filePath) {
  std::error_code ec;
  return fs::remove_all(FilePathUtils::pathOf(filePath.filePathUrl()), ec) > 0 && !ec;
}

bool FileUtils::isReadable(const FilePathProtocol& filePath) {
  return ::access(filePath.path.c_str(), R_OK) == 0;
}

bool FileUtils::isWritable(const FilePathProtocol& fileURL) {
  return ::access(fileURL.path.c_str(), W_OK) == 0;
}

std::uint64_t FileUtils::getSize(const FilePathProtocol& fileURL) {
  struct stat info {};
  if (::stat(fileURL.path.c_str(), &info) != 0) {
    platform::logOut(std::string("getSize Error: ") + std::strerror(errno));
    return 0;
  }
  return static_cast<std::uint64_t>(info.st_size);
}

std::optional<std::string> FileUtils::md5File(const FilePathProtocol& file) {
  std::ifstream in(FilePathUtils::pathOf(file.filePathUrl()), std::ios::binary);
  if (!in) {
    platform::logOut(std::string("Cannot open file: ") + std::strerror(errno));
    return std::nullopt;
  }
  const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                        &EVP_MD_CTX_free);
  if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1) return std::nullopt;
  std::vector<char> chunk(1 << 20);
  while (in) {
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    const auto n = static_cast<std::size_t>(in.gcount());
    if (n == 0) break;
    EVP_DigestUpdate(context.get(), chunk.data(), n);
  }
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_DigestFinal_ex(context.get(), digest, &length);
  std::string text;
  char hex[3];
  for (unsigned int i = 0; i < length; ++i) {
    std::snprintf(hex, sizeof hex, "%02hhx", digest[i]);
    text += hex;
  }
  return text;
}

bool FileUtils::createFolder(const std::string& path, bool createIntermediates,
                             std::optional<mode_t> permissions) {
  std::error_code ec;
  const bool made =
      createIntermediates ? fs::create_directories(path, ec) : fs::create_directory(path, ec);
  if (!made || ec) return false;
  if (permissions) ::chmod(path.c_str(), *permissions);
  return true;
}

bool FileUtils::createFolder(const AppDirectories& basePath, const std::string& folderName,
                             bool createIntermediates, std::optional<mode_t> permissions) {
  return createFolder(FilePathUtils::pathOf(FilePathUtils::setupFilePath(basePath, folderName)),
                      createIntermediates, permissions);
}

bool FileUtils::renameFile(const AppDirectories& path, const std::string& oldName,
                           const std::string& newName) {
  return transfer(FilePathUtils::pathOf(FilePathUtils::setupFilePath(path, oldName)),
                  FilePathUtils::pathOf(FilePathUtils::setupFilePath(path, newName)), false);
}

bool FileUtils::moveFile(const std::string& fileName, const std::string& fromDirectory,
                         const std::string& toDirectory) {
  return transfer(fs::path(fromDirectory) / fileName, fs::path(toDirectory) / fileName, false);
}

bool FileUtils::copyFile(const std::string& fileName, const std::string& fromDirectory,
                         const std::string& toDirectory) {
  return transfer(fs::path(fromDirectory) / fileName, fs::path(toDirectory) / fileName, true);
}

bool FileUtils::copyFile(const std::string& from, const std::string& to) {
  return transfer(from, to, true);
}

std::optional<std::string> FileUtils::readLineEx(const std::string& filePath, std::int64_t lineNo) {
  try {
    TextFileStreamReader reader(filePath, "\n", Encoding::utf8, 4096);
    std::int64_t count = 0;
    while (auto line = reader.nextLine()) {
      if (++count == lineNo) return line;
    }
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

bool FileUtils::appendLineEx(const std::string& filePath, const std::string& data) {
  try {
    TextFileStreamWriter writer(filePath, "\n", Encoding::utf8, true, true);
    return writer.write(data, true) && writer.synchronize();
  } catch (const std::exception&) {
    return false;
  }
}

bool FileUtils::deleteLineEx(const std::string& path, std::int64_t lineNo,
                             const std::string& text) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) {
    platform::logOut("error deleteLineEx ");
    platform::logOut("no file at " + path);
    return false;
  }
  // A fresh work file beside the original, so the rename below replaces it in one step.
  std::string work = path + "_tempFileXXXXXX";
  const int fd = ::mkstemp(work.data());
  if (fd < 0) {
    platform::logOut("error deleteLineEx ");
    platform::logOut(std::strerror(errno));
    return false;
  }
  bool deleted = false;
  bool ok = true;
  try {
    TextFileStreamReader reader(path, "\n", Encoding::utf8, 4096);
    std::string kept;
    std::int64_t count = 0;
    while (auto line = reader.nextLine()) {
      ++count;
      if (count == lineNo || (!text.empty() && line->find(text) != std::string::npos)) {
        deleted = true;
        continue;
      }
      kept += *line;
      kept += '\n';
      if (kept.size() >= (1 << 20)) {
        ok = ok && writeAll(fd, reinterpret_cast<const std::uint8_t*>(kept.data()), kept.size());
        kept.clear();
      }
    }
    ok = ok && writeAll(fd, reinterpret_cast<const std::uint8_t*>(kept.data()), kept.size());
    if (reader.stoppedAtInvalidLine()) {
      // The lines after it could not be read: rewriting would lose them.
      platform::logOut("error deleteLineEx ");
      platform::logOut("a line of " + path + " is not UTF-8; the file is left as it is");
      ok = false;
    }
  } catch (const std::exception& e) {
    platform::logOut("error deleteLineEx ");
    platform::logOut(e.what());
    ok = false;
  }
  // Keep the original's permissions.
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) ::fchmod(fd, info.st_mode & 07777);
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  if (!ok || std::rename(work.c_str(), path.c_str()) != 0) {
    ::unlink(work.c_str());  // the original stays whole
    return false;
  }
  return deleted;
}

}  // namespace vistrel::files
