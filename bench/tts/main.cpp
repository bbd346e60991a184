// tts_bench [TEXT_FILE]: characters per second through normaliseText and the
// letter-to-sound stage on Portuguese prose, and through `espeak-ng -q -x -v
// pt-br` on the same text in the same run, with the ratio of the two.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/base/codepage.h"
#include "tts/front_end.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Our front end, repeated for at least a second.
double frontEndCharsPerSecond(const std::string& text, const tts::FrontEnd& voice) {
  size_t chars = 0, lines = 0;
  const Clock::time_point start = Clock::now();
  do {
    lines += tts::textToPhonemeLines(text, voice).lines.size();
    chars += text.size();
  } while (secondsSince(start) < 1.0);
  const double perSecond = static_cast<double>(chars) / secondsSince(start);
  std::printf("escuta_tts: %zu characters, %zu phoneme lines, %.0f characters/s\n", chars, lines,
              perSecond);
  return perSecond;
}

// eSpeak NG on the text repeated, so that its start-up weighs little; best of
// three runs.
double espeakCharsPerSecond(const std::string& text) {
  const std::string path = "/tmp/tts_bench_espeak.txt";
  std::string utf8;
  for (int i = 0; i < 10; ++i) utf8 += platform::cp1252ToUtf8(text) + "\n";
  std::ofstream(path, std::ios::binary) << utf8;
  const std::string command = "espeak-ng -q -x -v pt-br -f " + path + " > /dev/null 2>&1";
  double best = 0;
  for (int run = 0; run < 3; ++run) {
    const Clock::time_point start = Clock::now();
    if (std::system(command.c_str()) != 0) return 0;
    const double seconds = secondsSince(start);
    if (best == 0 || seconds < best) best = seconds;
  }
  std::remove(path.c_str());
  const double perSecond = static_cast<double>(text.size() * 10) / best;
  std::printf("espeak-ng -q -x: %zu characters, %.0f characters/s\n", text.size() * 10, perSecond);
  return perSecond;
}

}  // namespace

int main(int argc, char** argv) {
  std::ifstream in(argc > 1 ? argv[1] : TTS_BENCH_TEXT, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  std::string text = buffer.str();
  if (text.empty()) {
    std::fprintf(stderr, "tts_bench: no text to read\n");
    return 1;
  }
  if (platform::isMultibyteUtf8(text)) text = platform::utf8ToCp1252(text);
  tts::FrontEnd voice;
  if (!tts::loadFrontEnd(tts::kDefaultDataDir, tts::kDefaultBaseName, voice)) {
    std::fprintf(stderr, "tts_bench: voice data not found below the data root\n");
    return 1;
  }
  const double ours = frontEndCharsPerSecond(text, voice);
  const double espeak = espeakCharsPerSecond(text);
  if (espeak > 0)
    std::printf("ratio: %.1fx faster than espeak-ng (goal: 10x)\n", ours / espeak);
  else
    std::printf("espeak-ng could not be run: no ratio\n");
  return 0;
}
