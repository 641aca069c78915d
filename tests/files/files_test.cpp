#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/TestImages.h"
#include "vistrel/api/AutoApi.h"
#include "vistrel/files/FileUtil.h"
#include "vistrel/files/FileUtils.h"
#include "vistrel/files/Path.h"
#include "vistrel/files/TextFile.h"
#include "vistrel/platform/Base64.h"
#include "vistrel/platform/SettingsStore.h"

namespace vistrel::files {
namespace {

namespace fs = std::filesystem;

// A fresh base directory for every test.
class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    home = fs::temp_directory_path() /
           ("vistrel-files-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(home);
    fs::create_directories(home);
    ::setenv("VISTREL_HOME", home.c_str(), 1);
    ::unsetenv("VISTREL_RESOURCES");
  }
  void TearDown() override { fs::remove_all(home); }

  std::string file(const std::string& name, const std::string& content) {
    const auto p = home / name;
    std::ofstream(p, std::ios::binary) << content;
    return p.string();
  }
  static std::string read(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path home;
  test::CapturedOutput console;
};

TEST(PathText, Operations) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Path::join({"a", "b"}), "a/b");
  EXPECT_EQ(Path::join({"a/", "/b"}), "a/b");
  EXPECT_EQ(Path::join({"", "/b"}), "/b");
  EXPECT_EQ(Path::join({"a", "//b"}), "a//b");
  EXPECT_EQ(Path::join({"a", ""}), "a");
  EXPECT_EQ(Path::join({}), "");
  EXPECT_EQ(Path::split("/a//b/"), (V{"/", "a", "b", "/"}));
  EXPECT_EQ(Path::split("a/b"), (V{"a", "b"}));
  EXPECT_EQ(Path::split("/a/"), (V{"/", "a", "/"}));
  EXPECT_EQ(Path::split("/"), (V{"/"}));
  EXPECT_EQ(Path::extname("archive.tar.gz"), "gz");
  EXPECT_EQ(Path::extname("README"), std::nullopt);
  EXPECT_EQ(Path::extname("name."), std::nullopt);
  EXPECT_EQ(Path::extname(".profile"), "profile");
  EXPECT_EQ(Path::basename("/x/y/"), "");
  EXPECT_EQ(Path::basename("/a/b.txt", "txt"), "b");
  EXPECT_EQ(Path::basename("/a/b.txt", ".txt"), "b.txt");
  EXPECT_EQ(Path::dirname("/a"), "/");
  EXPECT_EQ(Path::dirname("a"), "");
  EXPECT_EQ(Path::dirname("/a/b/"), "/a/b");
  EXPECT_TRUE(Path::isAbsolute("~/x"));
  EXPECT_TRUE(Path::isRelative("x/y"));
  using E = PathElements;
  EXPECT_EQ(Path::format({{E::dir, "/a"}, {E::base, "b"}, {E::ext, "txt"}}), "/a/b.txt");
  EXPECT_EQ(Path::format({{E::dir, "/a"}, {E::base, "b"}, {E::ext, "/txt"}}), "/a/b");
  EXPECT_EQ(Path::format({}), "");
}

TEST_F(Files, ReaderAcrossChunkSizes) {
  const std::string p = file("lines.txt", "a\n\nb");
  for (const int chunk : {1, 2, 4096, 0}) {
    TextFileStreamReader reader(p, "\n", Encoding::utf8, chunk);
    EXPECT_EQ(reader.nextLine(), "a") << chunk;
    EXPECT_EQ(reader.nextLine(), "") << chunk;
    EXPECT_EQ(reader.nextLine(), "b") << chunk;
    EXPECT_EQ(reader.nextLine(), std::nullopt) << chunk;
    reader.rewind();
    EXPECT_EQ(reader.nextLine(), "a") << chunk;
  }
  // A multi-byte delimiter split across chunks.
  TextFileStreamReader crlf(file("crlf.txt", "x\r\ny\r\n"), "\r\n", Encoding::utf8, 1);
  EXPECT_EQ(crlf.nextLine(), "x");
  EXPECT_EQ(crlf.nextLine(), "y");
  EXPECT_EQ(crlf.nextLine(), std::nullopt);
  // An invalid line ends the reading like the end of the file.
  TextFileStreamReader invalid(file("bad.txt", "ok\n\xff\xfe\nlater\n"), "\n", Encoding::utf8,
                               4096);
  EXPECT_EQ(invalid.nextLine(), "ok");
  EXPECT_EQ(invalid.nextLine(), std::nullopt);
  EXPECT_TRUE(invalid.stoppedAtInvalidLine());
  EXPECT_THROW(TextFileStreamReader((home / "missing").string()), std::system_error);
  EXPECT_THROW(TextFileStreamReader(p, "\xc3\xa9", Encoding::ascii), ReasonError);
}

TEST_F(Files, WriterDoesNotTruncate) {
  const std::string p = file("w.txt", "abcdef");
  {
    TextFileStreamWriter writer(p, "\n", Encoding::utf8, false, true);
    EXPECT_TRUE(writer.write("x"));
  }
  EXPECT_EQ(read(p), "x\ncdef");
  {
    TextFileStreamWriter writer(p, "\n", Encoding::utf8, true, true);
    EXPECT_TRUE(writer.write("end", false));
    writer.close();
    EXPECT_FALSE(writer.write("more"));
    EXPECT_EQ(writer.offset(), 0u);
  }
  EXPECT_EQ(read(p), "x\ncdefend");
}

TEST_F(Files, GrepIncludeAndExclude) {
  const TextFile f(file("g.txt", "alpha\nBeta\ngamma\n"));
  EXPECT_EQ(f.grep("a"), (std::vector<std::string>{"alpha", "Beta", "gamma"}));
  EXPECT_EQ(f.grep("beta", true, {true, false}), (std::vector<std::string>{"Beta"}));
  EXPECT_EQ(f.grep("mm", false), (std::vector<std::string>{"alpha", "Beta"}));
  EXPECT_EQ(f.grep("^[ab]", true, {false, true}), (std::vector<std::string>{"alpha"}));
  EXPECT_TRUE(TextFile((home / "none").string()).grep("a").empty());
}

TEST_F(Files, LineOperations) {
  const std::string p = file("abc.txt", "a\nb\nc");
  EXPECT_EQ(FileUtils::readLineEx(p, 1), "a");
  EXPECT_EQ(FileUtils::readLineEx(p, 3), "c");
  for (const std::int64_t n : {4, 0, -1}) EXPECT_EQ(FileUtils::readLineEx(p, n), std::nullopt);
  EXPECT_TRUE(FileUtils::deleteLineEx(p, 2, ""));
  EXPECT_EQ(read(p), "a\nc\n");
  const std::string q = file("x.txt", "x1\nkeep\nx2");
  EXPECT_TRUE(FileUtils::deleteLineEx(q, 0, "x"));
  EXPECT_EQ(read(q), "keep\n");
  EXPECT_FALSE(FileUtils::deleteLineEx(q, 0, "zzz"));
  EXPECT_EQ(read(q), "keep\n");
  const std::string none = (home / "missing.txt").string();
  EXPECT_FALSE(FileUtils::deleteLineEx(none, 1, ""));
  EXPECT_FALSE(fs::exists(none));
  EXPECT_TRUE(FileUtils::appendLineEx(none, "first"));
  EXPECT_EQ(read(none), "first\n");
  // No work file is left behind.
  for (const auto& e : fs::directory_iterator(home)) {
    EXPECT_EQ(e.path().string().find("_tempFile"), std::string::npos) << e.path();
  }
}

TEST_F(Files, DeleteLineLeavesTheOriginalWholeWhenItCannotRewriteIt) {
  // The line after the invalid one cannot be read: a rewrite would lose it.
  const std::string content = "a\n\xff\nb\n";
  const std::string p = file("mixed.txt", content);
  EXPECT_FALSE(FileUtils::deleteLineEx(p, 1, ""));
  EXPECT_EQ(read(p), content);
}

TEST_F(Files, WholeFilesAndTheirTests) {
  const std::string empty = file("empty.bin", "");
  EXPECT_EQ(FileUtils::readFile(empty), std::nullopt);
  EXPECT_EQ(FileUtils::readFileString(empty), std::nullopt);
  EXPECT_EQ(FileUtils::md5File(empty), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(FileUtils::md5File((home / "nothing").string()), std::nullopt);
  EXPECT_EQ(FileUtils::readFileString(file("bad.bin", "\xff")), std::nullopt);
  const std::string p = (home / "w.txt").string();
  EXPECT_TRUE(FileUtils::writeFileString("hello", p, WriteOptions::atomic));
  EXPECT_EQ(FileUtils::readFileString(p), "hello");
  EXPECT_EQ(FileUtils::getSize(p), 5u);
  EXPECT_EQ(FileUtils::getSize((home / "nothing").string()), 0u);
  EXPECT_FALSE(FileUtils::writeFileString("x", (home / "no/such/dir/f").string()));
  EXPECT_FALSE(FileUtils::isFile((home / "nothing").string()));
  EXPECT_FALSE(FileUtils::isDir((home / "nothing").string()));
  EXPECT_FALSE(FileUtils::isFile(home.string()));
  EXPECT_TRUE(FileUtils::isDir(home.string()));
  EXPECT_TRUE(FileUtils::createFolder((home / "d/e").string(), true));
  EXPECT_FALSE(FileUtils::createFolder((home / "f/g").string(), false));
  EXPECT_TRUE(FileUtils::deleteFile((home / "d").string()));
  EXPECT_FALSE(FileUtils::exists((home / "d").string()));
}

TEST_F(Files, MovesAndCopiesNeverReplace) {
  fs::create_directories(home / "from");
  fs::create_directories(home / "to");
  std::ofstream(home / "from/f") << "new";
  std::ofstream(home / "to/f") << "old";
  EXPECT_FALSE(FileUtils::moveFile("f", (home / "from").string(), (home / "to").string()));
  EXPECT_FALSE(FileUtils::copyFile("f", (home / "from").string(), (home / "to").string()));
  EXPECT_EQ(read((home / "to/f").string()), "old");
  EXPECT_EQ(read((home / "from/f").string()), "new");
  EXPECT_TRUE(FileUtils::copyFile((home / "from/f").string(), (home / "to/g").string()));
  EXPECT_TRUE(FileUtils::moveFile("g", (home / "to").string(), (home / "from").string()));
  EXPECT_FALSE(FileUtils::moveFile("missing", (home / "to").string(), (home / "from").string()));
  EXPECT_TRUE(
      FileUtils::renameFile(AppDirectories::customPath((home / "from").string()), "g", "h"));
}

TEST_F(Files, SaveFileStaysInTheCachesDirectory) {
  auto& api = api::AutoApi::getInstance();
  const std::string first = api.saveFile(platform::Bytes{'a'}, "s.bin");
  EXPECT_EQ(first, (home / "Library/Caches/s.bin").string());
  EXPECT_EQ(api.saveFile(platform::Bytes{'b', 'c'}, "s.bin"), first);
  EXPECT_EQ(read(first), "bc");
  for (const char* bad : {"../escape", "a/b", ".", "..", ""}) {
    EXPECT_EQ(api.saveFile(platform::Bytes{'x'}, bad), "") << bad;
  }
  EXPECT_FALSE(fs::exists(home / "Library/escape"));
  EXPECT_EQ(api.saveFile(std::nullopt, "n.bin"), "");
}

TEST_F(Files, SettingsStore) {
  FileUtil::saveConfig("port", 5);
  EXPECT_EQ(FileUtil::getStringConfig("port"), "5");
  FileUtil::saveConfig("flag", true);
  EXPECT_EQ(FileUtil::getConfig("flag"), "1");
  FileUtil::saveConfig("list", nlohmann::json::array({1, 2}));
  EXPECT_FALSE(FileUtil::hasConfigRmPre("list"));
  FileUtil::saveConfig("name", "vistrel");
  FileUtil::removeConfig("missing");
  // A fresh store (another process, a restart) reads what was written.
  EXPECT_EQ(platform::SettingsStore::standard().text("name"), "vistrel");
  FileUtil::removeConfig("name");
  EXPECT_FALSE(FileUtil::hasConfigRmPre("name"));
  // A damaged file is kept aside and the store starts empty.
  const auto settings = home / "Library/Preferences/settings.json";
  std::ofstream(settings) << "{not json";
  EXPECT_EQ(FileUtil::getStringConfig("port"), std::nullopt);
  bool keptAside = false;
  for (const auto& e : fs::directory_iterator(settings.parent_path())) {
    keptAside = keptAside || e.path().filename().string().starts_with("settings.json.damaged-");
  }
  EXPECT_TRUE(keptAside);
  EXPECT_EQ(console.lines.size(), 1u);
}

TEST_F(Files, SettingsWrittenFromManyThreadsAreAllKept) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < 10; ++i) FileUtil::saveConfig("k" + std::to_string(t * 10 + i), i);
    });
  }
  for (auto& th : threads) th.join();
  for (int k = 0; k < 40; ++k) EXPECT_TRUE(FileUtil::hasConfigRmPre("k" + std::to_string(k))) << k;
}

TEST_F(Files, ConfigurationResource) {
  const auto write = [&](const std::string& content) {
    fs::create_directories(home / "Resources");
    std::ofstream(home / "Resources/system_config.json") << content;
  };
  const auto encode = [](const std::string& json) {
    std::string b64 = platform::base64Encode(platform::Bytes(json.begin(), json.end()));
    std::string out;
    for (const char c : b64)
      out += c == '=' ? std::string("%3D") : c == '+' ? std::string("%2B") : std::string(1, c);
    return out;
  };
  EXPECT_EQ(FileUtil::getAgentPort(), std::nullopt);  // no resource
  write(encode(
      R"({"agent_port": 8080, "appName": "NULL", "show_header_bar": true, "main_color": ""})"));
  EXPECT_EQ(FileUtil::getAgentPort(), "8080");
  EXPECT_EQ(FileUtil::getAppNameFromSystemJson(), std::nullopt);
  EXPECT_EQ(FileUtil::getShowHeaderBarFromSystemJson(), "true");
  EXPECT_EQ(FileUtil::getMainColorFromSystemJson(), "");
  EXPECT_EQ(FileUtil::getAgentUrlPrefix(), std::nullopt);
  write(R"({"agent_port": 8080})");
  EXPECT_EQ(FileUtil::getAgentPort(), std::nullopt);  // plain JSON reads as none
  write("%zz");
  EXPECT_EQ(FileUtil::getAgentPort(), std::nullopt);  // a malformed percent sequence
}

TEST(Constants, KeysAndMode) {
  EXPECT_TRUE(Const::isSystemKey("keepAlive1"));
  EXPECT_TRUE(Const::isSystemKey("server_port"));
  EXPECT_FALSE(Const::isSystemKey("KeepAlive1"));
  EXPECT_FALSE(Const::isSystemKey("server_url_prefix"));
  EXPECT_TRUE(Const::runningInApp());
  EXPECT_EQ(Const::member("KEY_PRE"), "blue_kite_user_");
  EXPECT_EQ(std::string(Const::GET_UDID_URL), "http://127.0.0.1:9999/getudid");
}

}  // namespace
}  // namespace vistrel::files
