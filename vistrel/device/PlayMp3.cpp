#include "vistrel/device/PlayMp3.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "vistrel/platform/Console.h"

namespace vistrel::device {

std::shared_ptr<platform::AudioPlayer> PlayMp3::audioPlayer() const {
  const std::lock_guard lock(mutex_);
  return audioPlayer_;
}

bool PlayMp3::playMp3(const std::string& path, bool loop) {
  stopMp3();
  // Setting the playback category is a step that always succeeds here.
  std::error_code ec;
  platform::logOut(" playMp3 path  file://" + std::filesystem::absolute(path, ec).string());
  std::string error;
  auto player = platform::AudioPlayer::open(path, error);
  if (!player) {
    platform::logOut("Failed to play audio: " + error);
    return false;
  }
  player->setRepeatCount(loop ? 1000 : 1);
  player->play();
  const std::lock_guard lock(mutex_);
  audioPlayer_ = std::move(player);
  return true;
}

bool PlayMp3::playMp3WaitEnd(const std::string& path, bool) {
  stopMp3();
  std::string error;
  auto player = platform::AudioPlayer::open(path, error);
  if (!player) {
    platform::logOut("Failed to play audio: " + error);
    return false;
  }
  player->play();
  const double seconds = player->duration();
  {
    const std::lock_guard lock(mutex_);
    audioPlayer_ = player;
  }
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  return true;
}

bool PlayMp3::stopMp3() {
  const auto player = audioPlayer();
  if (player) player->stop();
  return true;
}

}  // namespace vistrel::device
