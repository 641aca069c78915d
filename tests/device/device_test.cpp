#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/support/TestImages.h"
#include "vistrel/api/AutoApi.h"
#include "vistrel/platform/Clipboard.h"
#include "vistrel/platform/PhotoAlbum.h"
#include "vistrel/platform/Process.h"
#include "vistrel/platform/UrlOpener.h"

extern char** environ;

namespace vistrel::device {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class Device : public ::testing::Test {
 protected:
  void SetUp() override {
    home = fs::temp_directory_path() /
           ("vistrel-device-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(home);
    fs::create_directories(home);
    ::setenv("VISTREL_HOME", home.c_str(), 1);
    ::unsetenv("VISTREL_ALBUM");
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);  // this machine has no sound card
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
  }
  void TearDown() override { fs::remove_all(home); }

  // Waits until a console line starting with `prefix` arrives.
  bool awaitLine(const std::string& prefix) {
    for (int i = 0; i < 200; ++i) {
      {
        const std::lock_guard lock(linesMutex);
        for (const auto& l : console.lines) {
          if (l.starts_with(prefix)) return true;
        }
      }
      std::this_thread::sleep_for(10ms);
    }
    return false;
  }
  std::string write(const std::string& name, const std::string& content) {
    const auto p = home / name;
    std::ofstream(p, std::ios::binary) << content;
    return p.string();
  }
  std::vector<fs::path> album(platform::PhotoAlbum::MediaType type) {
    return platform::PhotoAlbum::fetch(type);
  }
  // A WAV file of `seconds` of silence.
  std::string wav(const std::string& name, double seconds) {
    const std::uint32_t rate = 8000, samples = static_cast<std::uint32_t>(rate * seconds);
    std::string data(samples * 2, '\0');
    std::string out = "RIFF";
    const auto u32 = [&](std::uint32_t v) {
      for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i));
    };
    const auto u16 = [&](std::uint16_t v) {
      out += static_cast<char>(v & 0xFF);
      out += static_cast<char>(v >> 8);
    };
    u32(36 + static_cast<std::uint32_t>(data.size()));
    out += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    out += "data";
    u32(static_cast<std::uint32_t>(data.size()));
    return write(name, out + data);
  }

  fs::path home;
  std::mutex linesMutex;
  test::CapturedOutput console;
  api::AutoApi& api = api::AutoApi::getInstance();
};

TEST_F(Device, AlbumSavesOfImagesAndVideos) {
  const auto png = test::solidImage(4, 4, test::rgb(10, 20, 30))->pngData();
  const std::string pngPath = write("a.png", std::string(png->begin(), png->end()));
  EXPECT_EQ(api.saveImageToAlbumPath(R"({"imageId": ")" + pngPath + R"("})"), "ok");
  EXPECT_TRUE(awaitLine("imageSaver successHandler "));
  EXPECT_EQ(album(platform::PhotoAlbum::MediaType::image).size(), 1u);
  EXPECT_EQ(api.saveImageToAlbumPath("{}"), "");
  EXPECT_EQ(api.saveImageToAlbumPath(R"({"imageId": ")" + write("empty.png", "") + R"("})"), "");
  EXPECT_EQ(api.saveImageToAlbumPath(R"({"imageId": ")" + write("t.txt", "text") + R"("})"), "");
  EXPECT_EQ(api.saveImageToAlbumPath("not json"), "");
  EXPECT_EQ(api.saveVideoToAlbumPath(R"({"imageId": ")" + home.string() + R"("})"), "");
  // Any existing file starts a video save; the album refuses what is no video, in the log only.
  EXPECT_EQ(api.saveVideoToAlbumPath(R"({"imageId": ")" + write("t2.txt", "x") + R"("})"), "ok");
  EXPECT_TRUE(awaitLine("imageSaver video Oops! "));
  EXPECT_EQ(api.saveVideoToAlbumPath(R"({"imageId": ")" + write("clip.mp4", "movie") + R"("})"),
            "ok");
  EXPECT_TRUE(awaitLine("imageSaver video successHandler "));
}

TEST_F(Device, DataSavesLeaveTheirStagingFiles) {
  const auto jpeg = test::solidImage(4, 4, test::rgb(10, 20, 30))->jpegData(0.9);
  EXPECT_EQ(api.savImageToAlbumPathForData(*jpeg), "ok");
  EXPECT_TRUE(fs::exists(home / "Documents/tmp.jpg"));
  EXPECT_EQ(api.saveVideoToAlbumPathForData(platform::Bytes{'m', 'p', '4'}), "ok");
  EXPECT_TRUE(fs::exists(home / "Documents/tmp.mp4"));
  EXPECT_EQ(api.savImageToAlbumPathForData(platform::Bytes{'n', 'o'}), "");
  EXPECT_EQ(api.savImageToAlbumPathForData(std::nullopt), "");
  EXPECT_TRUE(awaitLine("imageSaver video successHandler "));
}

TEST_F(Device, DeletionsByKindNewestFirst) {
  const auto dir = platform::PhotoAlbum::directory();
  std::ofstream(dir / "old.jpg") << "x";
  fs::last_write_time(dir / "old.jpg", fs::file_time_type::clock::now() - 1h);
  std::ofstream(dir / "new.png") << "x";
  std::ofstream(dir / "movie.mov") << "x";
  const auto images = album(platform::PhotoAlbum::MediaType::image);
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].filename(), "new.png");
  EXPECT_EQ(api.deleteAllPhotos(""), "ok");
  EXPECT_TRUE(awaitLine("所有删除成功"));
  EXPECT_TRUE(album(platform::PhotoAlbum::MediaType::image).empty());
  EXPECT_EQ(album(platform::PhotoAlbum::MediaType::video).size(), 1u);
  EXPECT_EQ(api.deleteAllVideos(""), "ok");
  for (int i = 0; i < 100 && !album(platform::PhotoAlbum::MediaType::video).empty(); ++i)
    std::this_thread::sleep_for(10ms);
  EXPECT_TRUE(album(platform::PhotoAlbum::MediaType::video).empty());
  EXPECT_EQ(api.requestPhotoAuthorization(""), "ok");
  EXPECT_TRUE(awaitLine("Permission ok"));
}

TEST_F(Device, AudioPlayback) {
  const std::string sound = wav("beep.wav", 0.3);
  struct Case {
    std::string loop;
    int repeats;
  };
  const Case cases[] = {{R"(, "loop": 1)", 1000},
                        {R"(, "loop": "1")", 1000},
                        {R"(, "loop": true)", 1},
                        {R"(, "loop": "0")", 1},
                        {"", 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(api.playMp3(R"({"path": ")" + sound + "\"" + c.loop + "}"), "ok") << c.loop;
    ASSERT_TRUE(api.playMp3Ins().audioPlayer());
    EXPECT_EQ(api.playMp3Ins().audioPlayer()->repeatCount(), c.repeats) << c.loop;
  }
  EXPECT_EQ(api.stopMp3(), "ok");
  EXPECT_EQ(api.stopMp3(), "ok");  // nothing playing
  EXPECT_EQ(api.playMp3(R"({"path": ")" + write("t.txt", "not audio") + R"("})"), "");
  EXPECT_TRUE(awaitLine("Failed to play audio: "));
  EXPECT_EQ(api.playMp3(R"({"path": "/no/such/file.mp3"})"), "");
  EXPECT_TRUE(awaitLine("file not exist  /no/such/file.mp3"));
  EXPECT_EQ(api.playMp3(R"({})"), "");  // an absent path reads "null"
  EXPECT_EQ(api.playMp3("nope"), "");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(api.playMp3Ins().playMp3WaitEnd(sound));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms);
}

TEST_F(Device, ProcessClipboard) {
  ASSERT_EQ(platform::Clipboard::backend(), "process");
  EXPECT_EQ(api.setClipboardText("hello", "1"), "ok");
  EXPECT_EQ(api.getClipboardText(), "hello");
  EXPECT_EQ(api.setClipboardText("other", "3"), "");
  EXPECT_EQ(api.getClipboardText(), "hello");
  EXPECT_EQ(api.setClipboardText("https://example.invalid/a", "2"), "ok");
  EXPECT_EQ(api.getClipboardText(), "");  // a URL is no text
  EXPECT_EQ(api.setClipboardText("no url at all", "2"), "ok");
  EXPECT_EQ(api.operateClipboard(R"({"imageId": "2", "firstColor": "abc"})"), "ok");
  EXPECT_EQ(api.operateClipboard(R"({"imageId": "1"})"), "abc");
  EXPECT_EQ(api.operateClipboard(R"({"imageId": "2"})"), "ok");
  EXPECT_EQ(api.getClipboardText(), "");
  EXPECT_EQ(api.operateClipboard(R"({"imageId": "3"})"), "");
  EXPECT_EQ(api.operateClipboard("[]"), "");
}

TEST_F(Device, X11ClipboardUnderXvfb) {
  ASSERT_TRUE(platform::onPath("Xvfb") && platform::onPath("xclip"))
      << "scripts/setup.sh installs xvfb and xclip";
  const std::string display = ":" + std::to_string(90 + ::getpid() % 9);
  pid_t server = 0;
  const char* argv[] = {"Xvfb", display.c_str(), "-nolisten", "tcp", nullptr};
  ASSERT_EQ(posix_spawnp(&server, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
  ::setenv("DISPLAY", display.c_str(), 1);
  bool up = false;
  for (int i = 0; i < 100 && !up; ++i) {
    std::this_thread::sleep_for(50ms);
    up = platform::runProgram({"xclip", "-selection", "clipboard", "-o"}).has_value() ||
         fs::exists("/tmp/.X11-unix/X" + display.substr(1));
  }
  EXPECT_EQ(platform::Clipboard::backend(), "x11");
  EXPECT_EQ(api.setClipboardText("from x11", "1"), "ok");
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(api.getClipboardText(), "from x11");
  ::unsetenv("DISPLAY");
  ::kill(server, SIGTERM);
  ::waitpid(server, nullptr, 0);
}

TEST_F(Device, UrlOpening) {
  std::vector<std::string> opened;
  platform::UrlOpener::setOpener([&](const std::string& url) { opened.push_back(url); });
  EXPECT_EQ(api.openUrl(""), "");
  EXPECT_EQ(api.openUrl("not a url"), "");
  EXPECT_EQ(api.openUrl("https://example.invalid/?q=1"), "ok");
  EXPECT_EQ(opened, (std::vector<std::string>{"https://example.invalid/?q=1"}));
  platform::UrlOpener::setOpener({});
  // The real opener is started without a shell: a stand-in xdg-open records its arguments.
  const auto bin = home / "bin";
  fs::create_directories(bin);
  const auto record = home / "args.txt";
  std::ofstream(bin / "xdg-open") << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > " << record.string()
                                  << "\n";
  fs::permissions(bin / "xdg-open", fs::perms::owner_all);
  const std::string path = std::string(std::getenv("PATH"));
  ::setenv("PATH", (bin.string() + ":" + path).c_str(), 1);
  const std::string tricky =
      "https://example.invalid/a;touch${IFS}" + (home / "pwned").string() + "&b=$(id)";
  EXPECT_EQ(api.openUrl(tricky), "ok");
  for (int i = 0; i < 200 && !fs::exists(record); ++i) std::this_thread::sleep_for(10ms);
  std::this_thread::sleep_for(50ms);
  ::setenv("PATH", path.c_str(), 1);
  std::ifstream in(record);
  std::string count, argument;
  std::getline(in, count);
  std::getline(in, argument);
  EXPECT_EQ(count, "1");
  EXPECT_EQ(argument, tricky);
  EXPECT_FALSE(fs::exists(home / "pwned"));
}

}  // namespace
}  // namespace vistrel::device
