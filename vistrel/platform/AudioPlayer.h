#pragma once

#include <memory>
#include <string>

namespace vistrel::platform {

/// A player for one audio file (MP3, OGG, WAV) over SDL2_mixer. Without a sound device SDL's
/// dummy driver is opened, so playback runs and ends as it would. One file plays at a time.
class AudioPlayer {
 public:
  /// A player for the file; null with `error` set when it is missing or cannot be decoded.
  static std::shared_ptr<AudioPlayer> open(const std::string& path, std::string& error);
  ~AudioPlayer();
  AudioPlayer(const AudioPlayer&) = delete;
  AudioPlayer& operator=(const AudioPlayer&) = delete;

  /// Plays after the first play `repeats` more times.
  void setRepeatCount(int repeats) { repeats_ = repeats; }
  int repeatCount() const { return repeats_; }
  bool play();
  void stop();
  bool playing() const;
  /// Length of one play in seconds (0 when unknown).
  double duration() const;

 private:
  explicit AudioPlayer(void* music) : music_(music) {}
  void* music_;
  int repeats_ = 0;
};

}  // namespace vistrel::platform
