#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "vistrel/platform/AudioPlayer.h"

namespace vistrel::device {

/// Plays one audio file at a time.
class PlayMp3 {
 public:
  /// Stops the current player, then plays the file: repeated 1000 times after the first play
  /// with `loop`, once more without. False (with the line "Failed to play audio: ...") when the
  /// file cannot be opened or decoded.
  bool playMp3(const std::string& path, bool loop);
  /// Plays the file once and returns after its duration.
  bool playMp3WaitEnd(const std::string& path, bool flag = false);
  /// Stops the current player, if any. Always true.
  bool stopMp3();
  /// The current player (null before the first start).
  std::shared_ptr<platform::AudioPlayer> audioPlayer() const;

 private:
  mutable std::mutex mutex_;
  std::shared_ptr<platform::AudioPlayer> audioPlayer_;
};

}  // namespace vistrel::device
