// Loads the sdl module when it is first asked for, and stands for it: the
// backend table's sdl entry, the SDL sound device of headless runs, and the
// resampler.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

#include "platform/sdl_module.h"
#include "platform/shared_library.h"

namespace platform {
namespace {

// The module lies beside this library; why it cannot be loaded is said once.
const SdlModule* sdlModule() {
  static const SdlModule* const loaded = []() -> const SdlModule* {
    const auto entry = reinterpret_cast<SdlModuleEntry>(moduleEntry("escuta_sdl.so", kSdlModuleEntry));
    if (!entry) {
      std::fprintf(stderr, "No window or sound device: %s\n", dlerror());
      return nullptr;
    }
    return entry();
  }();
  return loaded;
}

// Without a display there is nothing to load the module for.
bool available() {
  const char* x = std::getenv("DISPLAY");
  const char* w = std::getenv("WAYLAND_DISPLAY");
  if (!(x && *x) && !(w && *w)) return false;
  const SdlModule* module = sdlModule();
  return module && module->available();
}

std::unique_ptr<Backend> create(const Options& options) { return sdlModule()->create(options); }

}  // namespace

extern const BackendEntry kSdlBackend{"sdl", available, create};

std::unique_ptr<AudioDevice> makeSdlAudio(AudioDoneSink done) {
  const SdlModule* module = sdlModule();
  return module ? module->openAudio(std::move(done)) : makeNullAudio(std::move(done));
}

std::vector<int16_t> resampleThroughSdl(std::vector<int16_t> samples, const WaveFormat& from, int rate, int channels) {
  const SdlModule* module = sdlModule();
  return module ? module->resample(std::move(samples), from, rate, channels) : std::vector<int16_t>();
}

}  // namespace platform
