#include "midi/fluid_output.h"

#include <fluidsynth.h>
#include <unistd.h>

#include <vector>

#include "platform/audio_device.h"
#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/shared_library.h"

namespace midi {
namespace {

constexpr int kPreferredRate = 44100;
constexpr double kGain = 0.6;
constexpr int kReset = 255;

// Bound once from libfluidsynth.so.3, opened on first use, so programs that
// play no MIDI start without it.
struct Library {
  decltype(new_fluid_settings)* newSettings = nullptr;
  decltype(delete_fluid_settings)* deleteSettings = nullptr;
  decltype(fluid_settings_setnum)* setNum = nullptr;
  decltype(fluid_settings_setint)* setInt = nullptr;
  decltype(new_fluid_synth)* newSynth = nullptr;
  decltype(delete_fluid_synth)* deleteSynth = nullptr;
  decltype(fluid_synth_sfload)* sfload = nullptr;
  decltype(fluid_synth_noteon)* noteOn = nullptr;
  decltype(fluid_synth_noteoff)* noteOff = nullptr;
  decltype(fluid_synth_cc)* cc = nullptr;
  decltype(fluid_synth_program_change)* programChange = nullptr;
  decltype(fluid_synth_system_reset)* systemReset = nullptr;
  decltype(fluid_synth_write_s16)* writeS16 = nullptr;
  decltype(fluid_set_log_function)* setLogFunction = nullptr;
  // Deprecated in the header, yet the only way to follow a device that
  // reopens at another rate without loading the sound font again.
  void (*setSampleRate)(fluid_synth_t*, float) = nullptr;
};

const Library* library() {
  static Library l;
  static const bool bound = platform::loadFunctions(
                                "libfluidsynth.so.3", "new_fluid_settings", l.newSettings, "delete_fluid_settings",
                                l.deleteSettings, "fluid_settings_setnum", l.setNum, "fluid_settings_setint", l.setInt,
                                "new_fluid_synth", l.newSynth, "delete_fluid_synth", l.deleteSynth,
                                "fluid_synth_sfload", l.sfload, "fluid_synth_noteon", l.noteOn, "fluid_synth_noteoff",
                                l.noteOff, "fluid_synth_cc", l.cc, "fluid_synth_program_change", l.programChange,
                                "fluid_synth_system_reset", l.systemReset, "fluid_synth_write_s16", l.writeS16,
                                "fluid_set_log_function", l.setLogFunction, "fluid_synth_set_sample_rate",
                                l.setSampleRate)
                                .empty();
  if (bound) {
    // Its messages would land on the user's terminal; failures come back as results.
    for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level) l.setLogFunction(level, nullptr, nullptr);
  }
  return bound ? &l : nullptr;
}

// The synthesizer, shared by the script's thread, which sends it events, and
// the device, which pulls its sound (FluidSynth's calls are thread-safe).
class Synth final : public platform::AudioSource {
 public:
  Synth(const Library& lib, fluid_settings_t* settings, fluid_synth_t* synth)
      : lib_(lib), settings_(settings), synth_(synth) {}
  ~Synth() override {
    lib_.deleteSynth(synth_);
    lib_.deleteSettings(settings_);
  }

  size_t mix(int16_t* out, size_t frames, int rate, int channels) override {
    if (rate != rate_) {
      lib_.setSampleRate(synth_, static_cast<float>(rate));
      rate_ = rate;
    }
    if (channels == 2) {
      lib_.writeS16(synth_, static_cast<int>(frames), out, 0, 2, out, 1, 2);
    } else {
      // One channel: the left, as a mono device would take a stereo synthesizer's sound.
      stereo_.resize(frames * 2);
      lib_.writeS16(synth_, static_cast<int>(frames), stereo_.data(), 0, 2, stereo_.data(), 1, 2);
      for (size_t i = 0; i < frames; ++i) {
        out[i * static_cast<size_t>(channels)] = static_cast<int16_t>((stereo_[2 * i] + stereo_[2 * i + 1]) / 2);
      }
    }
    return frames;  // it sounds until it is taken out
  }

  bool send(Message m) {
    const int channel = m.status & 0x0F;
    // Releasing a note that is not sounding is no fault, nor is a message a
    // synthesizer does not know: only a program it cannot take is refused.
    switch (m.status & 0xF0) {
      case 0x80: lib_.noteOff(synth_, channel, m.data1); return true;
      case 0x90: lib_.noteOn(synth_, channel, m.data1, m.data2); return true;
      case 0xB0: lib_.cc(synth_, channel, m.data1, m.data2); return true;
      case 0xC0: return lib_.programChange(synth_, channel, m.data1) == FLUID_OK;
      default: break;
    }
    if (m.status == kReset) lib_.systemReset(synth_);
    return true;
  }

 private:
  const Library& lib_;
  fluid_settings_t* settings_;
  fluid_synth_t* synth_;
  int rate_ = kPreferredRate;
  std::vector<int16_t> stereo_;
};

class FluidOutput final : public Output {
 public:
  FluidOutput(std::shared_ptr<Synth> synth, int source) : synth_(std::move(synth)), source_(source) {}
  ~FluidOutput() override { platform::backend().audio().removeSource(source_); }

  bool send(Message m) override {
    // A device that renders on demand (the null device) is brought up to now
    // first, so that the message changes the sound from its own moment on.
    platform::backend().audio().sourcePlaying(source_);
    return synth_->send(m);
  }

 private:
  std::shared_ptr<Synth> synth_;
  int source_;
};

}  // namespace

std::unique_ptr<Output> openFluidSynth(const std::string& soundFont, std::string& why) {
  const Library* lib = library();
  if (!lib) {
    why = "O FluidSynth n\xE3o est\xE1 instalado (libfluidsynth.so.3)";
    return nullptr;
  }
  if (access(soundFont.c_str(), R_OK) != 0) {
    why = "Fonte de sons MIDI n\xE3o encontrada: " + soundFont;
    return nullptr;
  }
  fluid_settings_t* settings = lib->newSettings();
  if (!settings) {
    why = "O FluidSynth n\xE3o p\xF4" "de come\xE7" "ar";
    return nullptr;
  }
  lib->setNum(settings, "synth.sample-rate", kPreferredRate);
  // Its default (0.2) leaves a melody far below the voice.
  lib->setNum(settings, "synth.gain", kGain);
  // Dry sound: reverb and chorus would ring on after PANE, and blur the notes' pitch.
  lib->setInt(settings, "synth.reverb.active", 0);
  lib->setInt(settings, "synth.chorus.active", 0);
  fluid_synth_t* fluid = lib->newSynth(settings);
  if (!fluid) {
    lib->deleteSettings(settings);
    why = "O FluidSynth n\xE3o p\xF4" "de come\xE7" "ar";
    return nullptr;
  }
  auto synth = std::make_shared<Synth>(*lib, settings, fluid);
  if (lib->sfload(fluid, soundFont.c_str(), 1) == FLUID_FAILED) {
    why = "Fonte de sons MIDI ileg\xEDvel: " + soundFont;
    return nullptr;
  }
  const int source = platform::backend().audio().addSource(synth, platform::WaveFormat{kPreferredRate, 2, 16});
  if (source <= 0) {
    why = "Sem sa\xED" "da de som para o MIDI";
    return nullptr;
  }
  return std::make_unique<FluidOutput>(std::move(synth), source);
}

}  // namespace midi
