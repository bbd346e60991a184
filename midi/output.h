// Where MIDI short messages go: a synthesizer port of the ALSA sequencer, or
// FluidSynth playing into our own sound device.
#pragma once
#include <cstdint>

namespace midi {

// A short message packed as the language packs it: status + 256 × first data
// byte + 65536 × second data byte; 255 alone is a reset.
struct Message {
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
};

inline Message unpack(uint32_t packed) {
  return Message{static_cast<uint8_t>(packed), static_cast<uint8_t>(packed >> 8 & 0x7F),
                 static_cast<uint8_t>(packed >> 16 & 0x7F)};
}

class Output {
 public:
  virtual ~Output() = default;
  // False when the synthesizer refuses the message.
  virtual bool send(Message message) = 0;
};

}  // namespace midi
