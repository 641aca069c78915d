#include "vistrel/platform/AudioPlayer.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace vistrel::platform {
namespace {

std::recursive_mutex& mixer() {
  static std::recursive_mutex m;
  return m;
}

// Opens the audio device once; falls back to SDL's dummy driver on a machine without sound.
bool audioReady() {
  static const bool ready = [] {
    const auto open = [] {
      if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
      if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) == 0) return true;
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return false;
    };
    Mix_Init(MIX_INIT_MP3 | MIX_INIT_OGG);
    if (open()) return true;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    return open();
  }();
  return ready;
}

}  // namespace

std::shared_ptr<AudioPlayer> AudioPlayer::open(const std::string& path, std::string& error) {
  const std::lock_guard lock(mixer());
  if (!audioReady()) {
    error = std::string("no audio output: ") + SDL_GetError();
    return nullptr;
  }
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    error = "no file at " + path;
    return nullptr;
  }
  Mix_Music* music = Mix_LoadMUS(path.c_str());
  if (!music) {
    error = Mix_GetError();
    return nullptr;
  }
  return std::shared_ptr<AudioPlayer>(new AudioPlayer(music));
}

AudioPlayer::~AudioPlayer() {
  const std::lock_guard lock(mixer());
  stop();
  Mix_FreeMusic(static_cast<Mix_Music*>(music_));
}

bool AudioPlayer::play() {
  const std::lock_guard lock(mixer());
  // Mix_PlayMusic counts plays, not repeats.
  return Mix_PlayMusic(static_cast<Mix_Music*>(music_), repeats_ + 1) == 0;
}

void AudioPlayer::stop() {
  const std::lock_guard lock(mixer());
  if (playing()) Mix_HaltMusic();
}

bool AudioPlayer::playing() const {
  const std::lock_guard lock(mixer());
  return Mix_PlayingMusic() != 0;
}

double AudioPlayer::duration() const {
  const std::lock_guard lock(mixer());
  const double seconds = Mix_MusicDuration(static_cast<Mix_Music*>(music_));
  return seconds > 0 ? seconds : 0;
}

}  // namespace vistrel::platform
