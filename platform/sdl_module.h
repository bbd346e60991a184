// The sdl backend and the sound device through SDL are a module of their
// own (escuta_sdl.so, beside the platform library), loaded on first use: SDL
// and the libraries under it (sound servers, fonts, X and Wayland) would
// otherwise take most of every program's start-up, headless runs included.
#pragma once
#include <memory>

#include "platform/audio_device.h"
#include "platform/backend.h"

namespace platform {

struct SdlModule {
  bool (*available)();
  std::unique_ptr<Backend> (*create)(const Options& options);
  std::unique_ptr<AudioDevice> (*openAudio)(AudioDoneSink done);
  // 16-bit samples of `from` at another rate or channel count; at least
  // the converted sound (it may run on), empty on failure.
  std::vector<int16_t> (*resample)(std::vector<int16_t> samples, const WaveFormat& from, int rate, int channels);
};

// The module's one entry point, found by this name.
inline constexpr char kSdlModuleEntry[] = "escuta_sdl_module";
using SdlModuleEntry = const SdlModule* (*)();

// The resampler, through the module; empty when it cannot be loaded.
std::vector<int16_t> resampleThroughSdl(std::vector<int16_t> samples, const WaveFormat& from, int rate, int channels);

// Inside the module: the sound device and the resampler.
std::unique_ptr<AudioDevice> openSdlAudio(AudioDoneSink done);
std::vector<int16_t> resampleSdl(std::vector<int16_t> samples, const WaveFormat& from, int rate, int channels);

}  // namespace platform
