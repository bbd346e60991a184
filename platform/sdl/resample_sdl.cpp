#include <SDL.h>

#include "platform/sdl_module.h"

namespace platform {

std::vector<int16_t> resampleSdl(std::vector<int16_t> s, const WaveFormat& from, int rate, int channels) {
  SDL_AudioStream* stream = SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(from.channels), from.rate,
                                               AUDIO_S16SYS, static_cast<Uint8>(channels), rate);
  if (!stream) return {};
  // The stream keeps back the end of its input even when flushed (SDL
  // 2.26), more of it the more it shrinks the rate: silence after the sound
  // pushes it out, and the caller cuts the output to the sound's own length.
  const size_t pad = 1024 * static_cast<size_t>(from.channels) * (static_cast<size_t>(from.rate / rate) + 2);
  s.resize(s.size() + pad, 0);
  std::vector<int16_t> out;
  if (SDL_AudioStreamPut(stream, s.data(), static_cast<int>(s.size() * 2)) == 0 && SDL_AudioStreamFlush(stream) == 0) {
    for (int avail; (avail = SDL_AudioStreamAvailable(stream)) > 0;) {
      const size_t at = out.size();
      out.resize(at + static_cast<size_t>(avail) / 2);
      const int got = SDL_AudioStreamGet(stream, out.data() + at, avail);
      out.resize(at + (got > 0 ? static_cast<size_t>(got) / 2 : 0));
      if (got <= 0) break;
    }
  }
  SDL_FreeAudioStream(stream);
  return out;
}

}  // namespace platform
