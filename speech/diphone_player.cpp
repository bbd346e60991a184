#include "speech/diphone_player.h"

#include <algorithm>
#include <cstring>

#include "platform/base/paths.h"
#include "platform/base/wave_header.h"
#include "speech/diphone/diphone_chars.h"
#include "speech/diphone/phone_units.h"
#include "speech/diphone/pitch_marks.h"
#include "speech/riff.h"

namespace speech {
namespace {

constexpr size_t kSilenceBlock = 100;
constexpr size_t kNoiseBurst = 300;

struct Player {
  const DiphoneDb& db;
  std::string_view letterDir;
  const DiphoneSpeed& speed;
  DiphoneOutput& out;
  std::vector<uint8_t> stretch = std::vector<uint8_t>(UINT16_MAX);

  void flush() {
    const size_t samples = out.fill - platform::kWaveHeaderSize;
    if (samples == 0) return;
    platform::writeWaveHeader(out.image.data(), 1, kDiphoneRate, 8, static_cast<uint32_t>(samples));
    if (out.play) out.play(std::span<const uint8_t>(out.image.data(), out.fill));
    out.fill = platform::kWaveHeaderSize;
  }

  // The image never reaches 64000 bytes: it is played first. Sound longer
  // than one image (a long letter file) goes out in several.
  void append(std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
      if (out.fill + bytes.size() >= kSynthBufferSize) flush();
      const size_t n = std::min(bytes.size(), kSynthBufferSize - 1 - out.fill);
      std::memcpy(out.image.data() + out.fill, bytes.data(), n);
      out.fill += n;
      bytes = bytes.subspan(n);
    }
  }

  void silence(int samples) {
    static const std::vector<uint8_t> block(kSilenceBlock, 128);
    for (int i = 0; i < samples / static_cast<int>(kSilenceBlock); ++i) append(block);
  }

  void noise() {
    uint8_t burst[kNoiseBurst];
    for (uint8_t& b : burst) b = static_cast<uint8_t>(88 + out.noise() % 80);
    append(burst);
  }

  // Letter files are taken as 8-bit mono; any other sound would play as
  // noise at full volume, so it is skipped.
  bool letterFile(std::string_view name) {
    std::string bytes;
    if (!platform::readWholeFile(platform::hostPath(std::string(letterDir) + std::string(name) + ".wav"), bytes))
      return false;
    const auto wave = parseWaveImage(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    if (!wave || wave->format.bits != 8 || wave->format.channels != 1) return false;
    append(wave->data);
    return true;
  }

  bool diphone(std::string_view name, int stress, double share) {
    std::string upper(name);
    for (char& c : upper)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    const DiphoneUnit* unit = findUnit(db, upper);
    if (!unit) return false;
    const int full = unit->length;
    int n = full;
    if (stress < 2 && name.size() > 2) {
      n = full - speed.cut;
      if (n < speed.shortest) n = std::min(full, speed.shortest);
    }
    // A negative setting must not reach past the stretch.
    n = std::clamp(n, 0, full);
    size_t got = readStretch(db, *unit, static_cast<size_t>(share * n), stretch.data());
    // Cut short inside a vowel, it ends where a period starts, as the next
    // unit begins: a cut anywhere else clicks.
    if (got < unit->length) got = voicedEnd(std::span<const uint8_t>(stretch.data(), got));
    append(std::span<const uint8_t>(stretch.data(), got));
    return true;
  }

  void lookup(std::string_view name, int stress, double share) {
    if (name[0] == '_') {
      letterFile(name);  // a missing letter file is silent
      return;
    }
    if (diphone(name, stress, share)) return;
    if (name.size() <= 2) return noise();
    const char last = name.back();
    if (isPhoneVowel(static_cast<unsigned char>(last))) {
      lookup(name.substr(0, name.size() - 1), stress, share * 0.9);
      lookup(std::string{'$', last}, stress, share);
    } else if (name.ends_with("CIRC") && name.size() > 6) {
      lookup(name.substr(0, name.size() - 5), stress, share * 0.9);
      lookup("$" + std::string(name.substr(name.size() - 5)), stress, share);
    } else if (name.ends_with("TIL")) {
      const std::string_view base = name.substr(0, name.size() - 3);
      const char b = static_cast<char>(base.back() & ~0x20);
      if (b == 'I' || b == 'U')
        lookup(base, stress, share * 0.9);
      else
        lookup(std::string(base) + "CIRC", 2, share * 0.9);
      lookup("$nn", 1, 0.9);
    }
  }
};

}  // namespace

void speakPhones(const DiphoneDb& db, std::string_view letterDir, const DiphoneSpeed& speed,
                 std::string_view phones, DiphoneOutput& out) {
  Player player{db, letterDir, speed, out};
  out.fill = platform::kWaveHeaderSize;
  walkPhones(phones, speed.wordGap,
             {[&](std::string_view name, int stress, double share) { player.lookup(name, stress, share); },
              [&](int samples) { player.silence(samples); }});
  player.flush();
}

}  // namespace speech
