// The wave output device: blocks of PCM played one after the other, each
// coming back as an AudioDone event once played or dropped, the console's
// tone looped beside them as a second voice, and sources (background media,
// a synthesizer) mixed in as voices of their own.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/wave_header.h"
#include "platform/clock.h"

namespace platform {

// Results of opening the wave voice, numbered as the system's wave devices
// number them.
enum WaveError : int {
  kWaveOk = 0,
  kWaveFailed = 1,
  kWaveBadDevice = 2,
  kWaveNoDriver = 6,
  kWaveBadFormat = 32,
};

// On the clock (clockUs): when the device last handed on the first sample
// of a sound that began from silence, and when it last fell silent (reset or
// run out). For measuring latency.
struct AudioTimes {
  int64_t startedUs = 0;
  int64_t silencedUs = 0;
};

// What every device takes: 8 or 16 bits, one or two channels, 1 to 384 kHz.
bool playableFormat(const WaveFormat& format);

// A sound of its own, pulled by the device as it plays: on the audio thread,
// or as the null device's clock advances, with the device locked, so mix()
// must neither block nor call back into the device.
class AudioSource {
 public:
  virtual ~AudioSource() = default;
  // Writes up to `frames` frames at `rate` and `channels` into `out` (zeroed)
  // and returns how many it wrote; fewer than `frames` means it has ended,
  // and the device lets it go.
  virtual size_t mix(int16_t* out, size_t frames, int rate, int channels) = 0;
};

// Told the tag of each finished or dropped block; called from any thread.
using AudioDoneSink = std::function<void(int tag)>;

class AudioDevice {
 public:
  virtual ~AudioDevice() = default;

  // Output devices by number, UTF-8.
  virtual std::vector<std::string> deviceNames() = 0;

  // Readies the wave voice for blocks of `format`, opening device number
  // `device` (-1: the default) on first use. A WaveError.
  virtual int openWave(const WaveFormat& format, int device) = 0;
  // Takes no more blocks until opened again; queued ones are dropped. The
  // device itself, and the tone, stay.
  virtual void closeWave() = 0;

  // Queues a block in the open format; a partial last frame is ignored.
  virtual bool writeWave(int tag, const uint8_t* data, size_t size) = 0;
  // Drops every queued block at once; each still comes back done.
  virtual void resetWave() = 0;
  // Blocks queued and not yet played to their end.
  virtual bool wavePlaying() = 0;

  // The tone: a wave image as the console builds it, played once or looped
  // until stopped; a new one replaces the old.
  virtual void playTone(std::vector<uint8_t> waveImage, bool loop) = 0;
  virtual void stopTone() = 0;

  // Starts mixing `source`, untouched by resetWave and closeWave; `format` is
  // the one it would play best in, and opens the device when nothing has
  // yet. An id above 0, or 0 when no device takes it.
  virtual int addSource(std::shared_ptr<AudioSource> source, const WaveFormat& format) = 0;
  virtual void removeSource(int id) = 0;
  // Whether the source is still mixed: it leaves once it ends or is removed.
  virtual bool sourcePlaying(int id) = 0;

  virtual AudioTimes times() = 0;
};

// Plays nothing: blocks take their time on the clock and end then.
std::unique_ptr<AudioDevice> makeNullAudio(AudioDoneSink done);
// The real device through SDL audio; the null device, said on the error
// output, when the sdl module cannot be loaded.
std::unique_ptr<AudioDevice> makeSdlAudio(AudioDoneSink done);

}  // namespace platform
