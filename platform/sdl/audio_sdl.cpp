// The real wave device through SDL audio. It opens on first use in the first
// sound's format and stays open: later formats are converted to it, and it
// is reopened only for a sound that needs a higher rate or more channels.
// Buffers of a few milliseconds let a key silence it at once. A machine
// without sound is told so once and goes on with the null device.
#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>

#include "platform/audio_mix.h"
#include "platform/audio_record.h"
#include "platform/base/printable.h"
#include "platform/platform.h"
#include "platform/sdl_module.h"

namespace platform {
namespace {

constexpr int kBufferMs = 4;

void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// ALSA writes its own lines on standard error for every device it cannot
// open; what matters is said once, by us. Loaded before SDL looks for it,
// so that its handler is ours from the first call; kept loaded.
void quietAlsa() {
  void* alsa = ::dlopen("libasound.so.2", RTLD_NOW);
  if (!alsa) return;
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  if (auto set = reinterpret_cast<int (*)(Handler)>(::dlsym(alsa, "snd_lib_error_set_handler"))) set(ignoreAlsaError);
}

// Frames per device buffer: a power of two of about kBufferMs.
Uint16 bufferFrames(int rate) {
  Uint16 frames = 64;
  while (frames < rate * kBufferMs / 1000 && frames < 4096) frames = static_cast<Uint16>(frames * 2);
  return frames;
}

class SdlAudio final : public AudioDevice {
 public:
  explicit SdlAudio(AudioDoneSink done) : done_(std::move(done)) { finished_.reserve(64); }
  ~SdlAudio() override {
    closeDevice();
    if (initialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  std::vector<std::string> deviceNames() override {
    if (silent_) return silent_->deviceNames();
    std::vector<std::string> names;
    if (!initialise()) return names;
    const int n = SDL_GetNumAudioDevices(0);
    for (int i = 0; i < n; ++i) {
      const char* name = SDL_GetAudioDeviceName(i, 0);
      names.emplace_back(name ? name : "");
    }
    return names;
  }

  int openWave(const WaveFormat& format, int device) override {
    if (!playableFormat(format)) return kWaveBadFormat;
    if (silent_) return silent_->openWave(format, device);
    if (!initialise()) return fallBack()->openWave(format, device);
    if (device >= SDL_GetNumAudioDevices(0) && device >= 0) return kWaveBadDevice;
    device_ = device;
    const bool grows = format.rate > wanted_.rate || format.channels > wanted_.channels;
    if (!dev_ || (grows && !wavePlaying())) {
      if (openDevice(format) != kWaveOk) return fallBack()->openWave(format, device);
    }
    wave_ = format;
    return kWaveOk;
  }

  void closeWave() override {
    if (silent_) return silent_->closeWave();
    resetWave();
    wave_ = WaveFormat{};
  }

  bool writeWave(int tag, const uint8_t* data, size_t size) override {
    if (silent_) return silent_->writeWave(tag, data, size);
    if (!dev_ || !wave_.rate) return false;
    std::vector<int16_t> samples = convertPcm(data, size, wave_, mix_.rate, mix_.channels);
    SDL_LockAudioDevice(dev_);
    queueMixBlock(mix_, tag, std::move(samples));
    SDL_UnlockAudioDevice(dev_);
    return true;
  }

  void resetWave() override {
    if (silent_) return silent_->resetWave();
    if (!dev_) return;
    SDL_LockAudioDevice(dev_);
    const std::vector<int> dropped = dropMixBlocks(mix_);
    SDL_UnlockAudioDevice(dev_);
    for (int tag : dropped) done_(tag);
  }

  bool wavePlaying() override {
    if (silent_) return silent_->wavePlaying();
    if (!dev_) return false;
    SDL_LockAudioDevice(dev_);
    const bool playing = !mix_.blocks.empty();
    SDL_UnlockAudioDevice(dev_);
    return playing;
  }

  void playTone(std::vector<uint8_t> image, bool loop) override {
    if (silent_) return silent_->playTone(std::move(image), loop);
    WaveFormat format;
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (!toneSamples(image, format, data, size)) return;
    if (!dev_ && (!initialise() || openDevice(format) != kWaveOk)) return fallBack()->playTone(std::move(image), loop);
    std::vector<int16_t> samples = convertPcm(data, size, format, mix_.rate, mix_.channels);
    SDL_LockAudioDevice(dev_);
    tone_ = std::move(image);
    mix_.tone = std::move(samples);
    mix_.tonePos = 0;
    mix_.toneLoops = loop;
    SDL_UnlockAudioDevice(dev_);
  }

  void stopTone() override {
    if (silent_) return silent_->stopTone();
    if (!dev_) return;
    SDL_LockAudioDevice(dev_);
    mix_.tone.clear();
    tone_.clear();
    SDL_UnlockAudioDevice(dev_);
  }

  int addSource(std::shared_ptr<AudioSource> source, const WaveFormat& format) override {
    if (silent_) return silent_->addSource(std::move(source), format);
    if (!playableFormat(format)) return 0;
    if (!dev_ && (!initialise() || openDevice(format) != kWaveOk)) return fallBack()->addSource(std::move(source), format);
    SDL_LockAudioDevice(dev_);
    const int id = addMixSource(mix_, std::move(source));
    SDL_UnlockAudioDevice(dev_);
    return id;
  }

  void removeSource(int id) override {
    if (silent_) return silent_->removeSource(id);
    if (!dev_) return;
    SDL_LockAudioDevice(dev_);
    const std::shared_ptr<AudioSource> removed = removeMixSource(mix_, id);
    SDL_UnlockAudioDevice(dev_);
  }

  bool sourcePlaying(int id) override {
    if (silent_) return silent_->sourcePlaying(id);
    if (!dev_) return false;
    SDL_LockAudioDevice(dev_);
    const bool playing = mixSourcePlaying(mix_, id);
    SDL_UnlockAudioDevice(dev_);
    return playing;
  }

  AudioTimes times() override {
    if (silent_) return silent_->times();
    if (!dev_) return {};
    SDL_LockAudioDevice(dev_);
    const AudioTimes t = mix_.times;
    SDL_UnlockAudioDevice(dev_);
    return t;
  }

 private:
  bool initialise() {
    if (!initialised_) {
      quietAlsa();
      SDL_LogSetPriority(SDL_LOG_CATEGORY_AUDIO, SDL_LOG_PRIORITY_CRITICAL);
      initialised_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    }
    return initialised_;
  }

  // No device opens: from now on every sound goes to the null device, which
  // keeps its time, and the user learns why once.
  AudioDevice* fallBack() {
    printError(programName(), std::string("Sem sa\xC3\xAD" "da de som: ") + SDL_GetError() +
                                  "; o programa continua em sil\xC3\xAAncio");
    closeDevice();
    silent_ = makeNullAudio(done_);
    return silent_.get();
  }

  // Opens for the larger of what was asked before and `format`; the tone goes
  // on. The old device closes first: two would run the callback at once.
  int openDevice(const WaveFormat& format) {
    closeDevice();
    const WaveFormat wanted{std::max(format.rate, wanted_.rate), std::max(format.channels, wanted_.channels), 16};
    const char* name = device_ >= 0 ? SDL_GetAudioDeviceName(device_, 0) : nullptr;
    SDL_AudioSpec want{};
    want.freq = wanted.rate;
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(wanted.channels);
    want.samples = bufferFrames(wanted.rate);
    want.callback = &SdlAudio::fill;
    want.userdata = this;
    SDL_AudioSpec got{};
    const SDL_AudioDeviceID dev = SDL_OpenAudioDevice(name, 0, &want, &got, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (!dev) return kWaveFailed;
    dev_ = dev;
    wanted_ = wanted;
    if (!recordBits_) recordBits_ = format.bits;
    mix_.rate = got.freq;
    mix_.channels = got.channels;
    WaveFormat toneFormat;
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (toneSamples(tone_, toneFormat, data, size)) mix_.tone = convertPcm(data, size, toneFormat, mix_.rate, mix_.channels);
    SDL_PauseAudioDevice(dev_, 0);
    return kWaveOk;
  }

  void closeDevice() {
    if (!dev_) return;
    SDL_CloseAudioDevice(dev_);
    dev_ = 0;
    mix_.tonePos = 0;
  }

  // The audio thread, with the device locked.
  static void fill(void* self, Uint8* out, int len) {
    auto* a = static_cast<SdlAudio*>(self);
    const size_t frames = static_cast<size_t>(len) / 2 / static_cast<size_t>(a->mix_.channels);
    auto* samples = reinterpret_cast<int16_t*>(out);
    const size_t sound = renderMix(a->mix_, samples, frames, clockUs(), a->finished_);
    recordAudio(samples, sound, a->mix_.rate, a->mix_.channels, a->recordBits_);
    for (int tag : a->finished_) a->done_(tag);
    a->finished_.clear();
  }

  AudioDoneSink done_;
  std::unique_ptr<AudioDevice> silent_;  // once no device could be opened
  bool initialised_ = false;
  int device_ = -1;
  SDL_AudioDeviceID dev_ = 0;
  WaveFormat wanted_;  // the largest format asked for so far
  WaveFormat wave_;    // of the blocks being written
  int recordBits_ = 0;
  Mix mix_;
  std::vector<uint8_t> tone_;  // the image, converted again when the device reopens
  std::vector<int> finished_;
};

}  // namespace

std::unique_ptr<AudioDevice> openSdlAudio(AudioDoneSink done) { return std::make_unique<SdlAudio>(std::move(done)); }

}  // namespace platform
