// telinha_sons: the portal client's recorded sounds, made at build time from
// a list (data/telinha/sons.txt): spoken prompts with eSpeak NG's Brazilian
// Portuguese voice, and effects as short sequences of tones.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/base/paths.h"
#include "platform/base/wave_header.h"
#include "tools/build/espeak_said/espeak_voice.h"

namespace {

constexpr int kToneRate = 22050;
constexpr int kFade = 110;  // 5 ms at the tone rate: no click at either end of a note

std::string waveImage(const std::vector<int16_t>& samples, int rate) {
  const uint32_t bytes = static_cast<uint32_t>(samples.size() * 2);
  std::string image(platform::kWaveHeaderSize + bytes, '\0');
  platform::writeWaveHeader(reinterpret_cast<uint8_t*>(image.data()), 1, rate, 16, bytes);
  for (size_t i = 0; i < samples.size(); ++i) {
    const auto v = static_cast<uint16_t>(samples[i]);
    image[platform::kWaveHeaderSize + 2 * i] = static_cast<char>(v & 0xFF);
    image[platform::kWaveHeaderSize + 2 * i + 1] = static_cast<char>(v >> 8);
  }
  return image;
}

// "~ 660:70 880:90": each note a sine with soft edges, one after the other.
bool tones(const std::string& notes, std::vector<int16_t>& out) {
  std::istringstream in(notes.substr(1));
  const double pi = std::acos(-1.0);
  for (std::string note; in >> note;) {
    const size_t colon = note.find(':');
    if (colon == std::string::npos) return false;
    const double hz = std::atof(note.substr(0, colon).c_str());
    const int n = kToneRate * std::atoi(note.c_str() + colon + 1) / 1000;
    if (hz <= 0 || n <= 0) return false;
    for (int i = 0; i < n; ++i) {
      const double edge = std::min({1.0, i / double(kFade), (n - 1 - i) / double(kFade)});
      out.push_back(static_cast<int16_t>(std::lround(9000 * edge * std::sin(2 * pi * hz * i / kToneRate))));
    }
  }
  return !out.empty();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: telinha_sons LIST DIR\n");
    return 2;
  }
  std::ifstream list(argv[1]);
  const std::string dir = argv[2];
  if (!list || !platform::makeDirectories(dir)) {
    std::fprintf(stderr, "telinha_sons: cannot read %s or make %s\n", argv[1], argv[2]);
    return 1;
  }
  const int rate = espeak_said::startEspeak();
  if (rate <= 0) {
    std::fprintf(stderr, "telinha_sons: eSpeak NG's pt-br voice did not start\n");
    return 1;
  }
  espeak_said::setEspeakStyle(165, 50);
  int line = 0;
  for (std::string text; std::getline(list, text);) {
    ++line;
    if (text.empty() || text[0] == '#') continue;
    const size_t tab = text.find('\t');
    if (tab == std::string::npos || tab == 0 || tab + 1 == text.size()) {
      std::fprintf(stderr, "%s:%d: expected NAME, a tab, and a text or \"~\" and notes\n", argv[1], line);
      return 1;
    }
    const std::string name = text.substr(0, tab), what = text.substr(tab + 1);
    std::vector<int16_t> samples;
    int sampleRate = rate;
    if (what[0] == '~') {
      sampleRate = kToneRate;
      if (!tones(what, samples)) {
        std::fprintf(stderr, "%s:%d: notes are FREQUENCY_HZ:MILLISECONDS\n", argv[1], line);
        return 1;
      }
    } else {
      samples = espeak_said::synthesize(what).samples;
    }
    if (samples.empty() || !platform::replaceFileAtomically(dir + "/" + name + ".wav", waveImage(samples, sampleRate))) {
      std::fprintf(stderr, "telinha_sons: could not make %s.wav\n", name.c_str());
      return 1;
    }
  }
  espeak_said::stopEspeak();
  return 0;
}
