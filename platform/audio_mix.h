// What both wave devices share: converting PCM to the device's samples and
// mixing the queued blocks with the tone. Devices call these under their lock.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "platform/audio_device.h"

namespace platform {

struct MixBlock {
  int tag = 0;
  std::vector<int16_t> samples;
  size_t pos = 0;
};

struct MixSource {
  int id = 0;
  std::shared_ptr<AudioSource> source;
};

// The device's output as 16-bit samples at its rate and channel count.
struct Mix {
  int rate = 0;
  int channels = 0;
  std::deque<MixBlock> blocks;
  std::vector<int16_t> tone;
  size_t tonePos = 0;
  bool toneLoops = false;
  std::vector<MixSource> sources;
  int lastSourceId = 0;
  std::vector<int16_t> scratch;  // a source's frames before they are added
  std::vector<int32_t> sum;      // every voice added, before clipping
  bool startPending = false;    // a block came while the wave voice was idle
  bool silencePending = false;  // the wave voice has just run out or been reset
  AudioTimes times;
};

// PCM of `from` as 16-bit samples at `rate` and `channels`. 8-bit samples map
// exactly onto the high byte, so sound that needs no resampling comes back
// unchanged; a partial last frame is dropped.
std::vector<int16_t> convertPcm(const uint8_t* data, size_t size, const WaveFormat& from, int rate, int channels);

// The format and PCM of a tone's wave image (the 44-byte header as
// writeWaveHeader makes it); false when it is not playable.
bool toneSamples(const std::vector<uint8_t>& image, WaveFormat& format, const uint8_t*& data, size_t& size);

void queueMixBlock(Mix& mix, int tag, std::vector<int16_t> samples);

// Empties the queue; returns the tags dropped.
std::vector<int> dropMixBlocks(Mix& mix);

// Adds a source; its id.
int addMixSource(Mix& mix, std::shared_ptr<AudioSource> source);
// Takes the source out of the mix and hands it back, so that the caller lets
// it go outside the device's lock.
std::shared_ptr<AudioSource> removeMixSource(Mix& mix, int id);
bool mixSourcePlaying(const Mix& mix, int id);

// Fills `frames` frames: the blocks in order, the tone and the sources added. Returns how
// many frames, from the start, carry sound; the rest is silence. The tags of
// blocks that ended are appended to `done`.
size_t renderMix(Mix& mix, int16_t* out, size_t frames, int64_t nowUs, std::vector<int>& done);

}  // namespace platform
