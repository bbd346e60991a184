#include "speech/wave_player.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "console/keyboard.h"
#include "console/screen.h"
#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/platform.h"
#include "platform/transcript.h"
#include "settings/settings.h"
#include "speech/feedback_sounds.h"
#include "speech/message_wait.h"
#include "speech/pitch_cut.h"
#include "speech/riff.h"
#include "tts/chars.h"

namespace speech {
namespace {

constexpr int kQueueFullMs = 2000;  // a queue full this long drops the block
constexpr size_t kShortestBlock = 256;
// A stream keeps at most this much beyond the device's blocks (about 24 s of
// a voice's 16-bit 22050 Hz sound); a text that makes more waits to be heard.
constexpr size_t kMostKept = 1 << 20;

struct Player {
  bool deviceOpen = false;
  int deviceNumber = -1;
  platform::WaveFormat format;
  int queued = 0;  // blocks the device has not given back
  int ring = 0;    // number of the last block used, 1..16
  bool fastRate = false;
  bool pitchCutting = false;
  int clickDivisor = 1;
  std::vector<uint8_t> click;
  std::array<uint8_t, kWaveBlockSize> block;  // what goes to the device
  std::array<uint8_t, kWaveBlockSize> cut;    // a piece being cut
  std::array<uint8_t, kWaveBlockSize> read;   // a piece of a file
  // A synthesizer's sound the device has no room for yet, from keptFrom on.
  std::vector<uint8_t> kept;
  size_t keptFrom = 0;
  bool streaming = false;  // more of the utterance is coming
};

Player g;

platform::AudioDevice& device() { return platform::backend().audio(); }

// The console's queue; looking serves pending events.
bool keyWaiting() { return console::keyPressed(); }

bool queueBlock(const uint8_t* data, size_t length) {
  const uint64_t until = platform::nowMs() + kQueueFullMs;
  while (g.queued >= kWaveBlocks && platform::nowMs() < until) console::waitMessage(50);
  if (g.queued >= kWaveBlocks) return false;
  g.ring = g.ring % kWaveBlocks + 1;
  // Short blocks are padded to 256 bytes with silence; short 8-bit mono
  // pieces also end on silence.
  const size_t size = std::max(length, kShortestBlock);
  std::memmove(g.block.data(), data, length);
  std::fill(g.block.begin() + static_cast<ptrdiff_t>(length), g.block.begin() + static_cast<ptrdiff_t>(size),
            g.format.bits == 8 ? 128 : 0);
  if (g.format.bits == 8 && g.format.channels == 1 && length != kWaveBlockSize && length > 0) g.block[length - 1] = 128;
  if (!device().writeWave(g.ring, g.block.data(), size)) return false;
  ++g.queued;
  return true;
}

// Hands kept stream sound to the device while it has room: full blocks, and
// a short one only when the device is about to run dry or the stream ended,
// so that the device holds seconds of sound rather than slivers.
void topUp() {
  while (g.queued < kWaveBlocks && g.keptFrom < g.kept.size()) {
    const size_t n = std::min(g.kept.size() - g.keptFrom, kWaveBlockSize);
    if (n < kWaveBlockSize && g.streaming && g.queued >= 2) break;
    if (!queueBlock(g.kept.data() + g.keptFrom, n)) {
      g.keptFrom = g.kept.size();  // a device that refuses would be fed forever
      break;
    }
    g.keptFrom += n;
  }
  if (g.keptFrom == g.kept.size()) {
    g.kept.clear();
    g.keptFrom = 0;
  } else if (g.keptFrom >= kMostKept) {
    g.kept.erase(g.kept.begin(), g.kept.begin() + static_cast<ptrdiff_t>(g.keptFrom));
    g.keptFrom = 0;
  }
}

void blockDone(int) {
  if (g.queued > 0) --g.queued;
  topUp();
}

// x\y.wav has its ready cut version in x\rapido\y.wav.
std::string fastVersion(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  const size_t name = slash == std::string_view::npos ? 0 : slash + 1;
  return std::string(path.substr(0, name)) + "rapido\\" + std::string(path.substr(name));
}

bool fileExists(std::string_view path) {
  struct stat st;
  return ::stat(platform::hostPath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

ByteSource fileSource(FILE* file) {
  return ByteSource{[file](uint8_t* to, size_t n) { return std::fread(to, 1, n, file); },
                    [file](uint32_t n) { return ::fseeko(file, static_cast<off_t>(n), SEEK_CUR) == 0; }};
}

bool sameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return tts::upperLatin1(static_cast<unsigned char>(x)) == tts::upperLatin1(static_cast<unsigned char>(y));
  });
}

std::string trimmed(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return std::string(s.substr(first, s.find_last_not_of(" \t") - first + 1));
}

}  // namespace

void startWavePlayer() {
  g.deviceOpen = false;
  g.deviceNumber = -1;
  g.format = {};
  g.queued = 0;
  g.ring = 0;
  g.fastRate = g.pitchCutting = false;
  g.kept.clear();
  g.keptFrom = 0;
  g.streaming = false;
  console::setWaveDoneHook(blockDone);
  const std::string wanted = settings::readDirect("TRADUTOR", "SAIDADEAUDIO");
  if (!wanted.empty()) {
    const std::vector<std::string> names = listWaveDevices();
    const auto found = std::find_if(names.begin(), names.end(), [&](const std::string& n) { return sameName(n, wanted); });
    if (found != names.end()) g.deviceNumber = static_cast<int>(found - names.begin());
  }
  const std::string shortSounds = settings::readSettingOrInit("ESCUTA", "BIPSCLECSCURTOS", "NAO");
  g.clickDivisor = tts::upperLatin1(static_cast<unsigned char>(shortSounds[0])) == 'S' ? 2 : 1;
  g.click = clickImage(g.clickDivisor, static_cast<uint32_t>(std::time(nullptr)));
}

int playWaveFile(std::string_view path) {
  if (keyWaiting()) {
    waveStop();
    return 0;
  }
  if (g.pitchCutting) {
    if (const std::string fast = fastVersion(path); fileExists(fast)) {
      g.pitchCutting = false;
      const int result = playWaveFile(fast);
      g.pitchCutting = true;
      return result;
    }
  }
  FILE* file = std::fopen(platform::hostPath(path).c_str(), "rb");
  if (!file) return -1;
  ByteSource source = fileSource(file);
  const std::optional<WaveLayout> layout = readWaveLayout(source);
  if (!layout) {
    std::fclose(file);
    return -1;
  }
  platform::transcriptEvent("PLAY", path);
  const platform::WaveFormat& f = layout->format;
  int result = 0;
  for (uint64_t left = layout->dataSize; left > 0 && !keyWaiting();) {
    const size_t got = std::fread(g.read.data(), 1, filePieceSize(left), file);
    if (got == 0) break;
    result = playPcm({g.read.data(), got}, f.rate, f.channels, f.bits);
    if (result != 0) break;
    left -= got;
  }
  std::fclose(file);
  waitWhile(waveBusy);
  return result;
}

int playWaveImage(std::span<const uint8_t> image) {
  const std::optional<WaveImage> parsed = parseWaveImage(image);
  if (!parsed) return -1;
  return playPcm(parsed->data, parsed->format.rate, parsed->format.channels, parsed->format.bits);
}

int playPcm(std::span<const uint8_t> data, int rate, int channels, int bits) {
  // A voice's kept sound plays out first: the blocks of the two must not mix.
  if (g.keptFrom < g.kept.size()) waitWhile(waveBusy);
  const int deviceRate = g.fastRate ? rate * 3 / 2 : rate;
  // Cutting turns each piece of mono sound into 8 bits.
  const bool cut = g.pitchCutting && channels == 1;
  if (const int error = setWaveFormat(deviceRate, cut ? 8 : bits, channels); error != 0) return error;
  for (size_t pos = 0; pos < data.size();) {
    while (g.queued >= kWaveBlocks) {
      if (keyWaiting()) {
        waveStop();
        return 0;
      }
      console::waitMessage(10);
    }
    if (keyWaiting()) {
      waveStop();
      break;
    }
    const size_t n = std::min(data.size() - pos, kWaveBlockSize);
    if (cut) {
      std::memcpy(g.cut.data(), data.data() + pos, n);
      queueBlock(g.cut.data(), cutPitchPeriods(g.cut.data(), n, bits, rate));
    } else {
      queueBlock(data.data() + pos, n);
    }
    pos += n;
  }
  return 0;
}

int streamPcm(std::span<const uint8_t> data, int rate, int channels, int bits) {
  if (const int error = setWaveFormat(rate, bits, channels); error != 0) return error;
  while (g.kept.size() - g.keptFrom > kMostKept) {
    if (keyWaiting()) {
      waveStop();
      return 0;
    }
    console::waitMessage(10);
  }
  g.streaming = true;
  g.kept.insert(g.kept.end(), data.begin(), data.end());
  topUp();
  return 0;
}

void endStream() {
  g.streaming = false;
  topUp();
}

bool waveBusy() {
  console::pumpMessages();
  if (keyWaiting()) waveStop();
  else if (g.queued == 0) topUp();
  return g.queued > 0;
}

void waveStop() {
  g.kept.clear();
  g.keptFrom = 0;
  g.streaming = false;
  if (g.deviceOpen && g.queued > 0) device().resetWave();
  console::pumpMessages();  // the dropped blocks come back
}

int setWaveFormat(int rate, int bits, int channels) {
  const platform::WaveFormat format{rate, channels, bits};
  if (format != g.format) {
    waitWhile(waveBusy);
    if (g.deviceOpen) device().closeWave();
    g.deviceOpen = false;
    g.format = format;
  }
  if (!g.deviceOpen) {
    console::ensureConsole();  // finished blocks come back through its events
    if (const int error = device().openWave(format, g.deviceNumber); error != platform::kWaveOk) return error;
    g.deviceOpen = true;
  }
  return 0;
}

std::vector<std::string> listWaveDevices() {
  std::vector<std::string> names;
  for (const std::string& name : device().deviceNames()) names.push_back(trimmed(platform::utf8ToCp1252(name)));
  return names;
}

int waveDeviceNumber() { return g.deviceNumber; }

void setFastRate(bool on) { g.fastRate = on; }
void setPitchCutting(bool on) { g.pitchCutting = on; }
bool pitchCutting() { return g.pitchCutting; }
bool fastRate() { return g.fastRate; }

int clickDivisor() { return g.clickDivisor; }
const std::vector<uint8_t>& clickSound() { return g.click; }

size_t filePieceSize(uint64_t left) {
  if (left > kWaveBlockSize && left < kWaveBlockSize + 256) return kWaveBlockSize - 256;
  return static_cast<size_t>(std::min<uint64_t>(left, kWaveBlockSize));
}

}  // namespace speech
