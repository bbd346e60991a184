#include "midi/midi.h"

#include "midi/alsa_output.h"
#include "midi/fluid_output.h"
#include "platform/platform.h"

namespace midi {
namespace {

// Not destroyed with the program's statics: at exit the sound device it
// plays into may be gone already, and the process's end releases it.
Output* g_output = nullptr;

}  // namespace

bool open(std::string& why) {
  if (g_output) return true;
  if (!platform::headless()) g_output = openAlsaSynthPort().release();
  if (!g_output) g_output = openFluidSynth(kSoundFont, why).release();
  return g_output != nullptr;
}

void close() {
  delete g_output;
  g_output = nullptr;
}

bool isOpen() { return g_output != nullptr; }

bool send(uint32_t packed) { return g_output && g_output->send(unpack(packed)); }

}  // namespace midi
