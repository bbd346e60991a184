// psola_bench [TEXT_FILE]: our own renderer of the engine's phoneme lines,
// sentence by sentence through the whole pipeline (front end, durations and
// pitch, rendering), in seconds of audio per CPU second and the time from the
// text to the first sample, beside eSpeak NG on the same sentences in the
// same run. Run by hand; not a test.
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/base/codepage.h"
#include "tts/diphone_units.h"
#include "tts/front_end.h"
#include "tts/psola.h"
#include "tts/time_and_pitch.h"

namespace {

using Clock = std::chrono::steady_clock;

double cpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }
double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Figures {
  double audioPerCpu = 0, medianFirstMs = 0, worstFirstMs = 0;
};

void print(const char* who, const Figures& f) {
  std::printf("%s: %.0f s of audio per CPU second; first sample after %.2f ms (median), %.2f ms (worst)\n", who,
              f.audioPerCpu, f.medianFirstMs, f.worstFirstMs);
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

std::vector<std::string> sentencesOf(const std::string& text) {
  std::vector<std::string> out;
  std::string current;
  for (const char c : text) {
    current += c == '\n' || c == '\r' ? ' ' : c;
    if ((c == '.' || c == '?' || c == '!') && current.find_first_not_of(" .?!") != std::string::npos) {
      out.push_back(current);
      current.clear();
    }
  }
  return out;
}

// Each sentence as the engine says it at speed 3, over every sentence for at
// least two seconds of CPU.
Figures ours(const std::vector<std::string>& sentences, const tts::FrontEnd& voice, const tts::DiphoneList& diphones,
             const tts::DiphoneUnits& units) {
  Figures f;
  std::vector<double> firsts;
  size_t samples = 0;
  const double start = cpuSeconds();
  do {
    for (const std::string& s : sentences) {
      const Clock::time_point key = Clock::now();
      const tts::PhonemeLines lines = tts::timeAndPitch(tts::textToPhonemeLines(s, voice).lines, voice.prosody,
                                                        diphones, tts::pitchFactorOf(0), tts::durationFactorOf(3));
      tts::PsolaRenderer renderer(tts::readPhones(lines), units);
      std::vector<int16_t> out;
      bool first = true;
      while (!renderer.done()) {
        renderer.renderNext(out);
        if (first && !out.empty()) firsts.push_back(msSince(key)), first = false;
      }
      samples += out.size();
    }
  } while (cpuSeconds() - start < 2.0);
  f.audioPerCpu = static_cast<double>(samples) / units.rate / (cpuSeconds() - start);
  f.medianFirstMs = median(firsts);
  f.worstFirstMs = firsts.empty() ? 0 : *std::max_element(firsts.begin(), firsts.end());
  return f;
}

size_t espeakSamples = 0;
bool espeakFirst = false;
Clock::time_point espeakKey;
std::vector<double> espeakFirsts;

int countSamples(short*, int n, espeak_EVENT*) {
  if (n > 0 && espeakFirst) espeakFirsts.push_back(msSince(espeakKey)), espeakFirst = false;
  espeakSamples += static_cast<size_t>(std::max(n, 0));
  return 0;
}

Figures espeak(const std::vector<std::string>& sentences) {
  Figures f;
  const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
  if (rate <= 0 || espeak_SetVoiceByName("pt-br") != EE_OK) return f;
  espeak_SetSynthCallback(countSamples);
  const double start = cpuSeconds();
  do {
    for (const std::string& s : sentences) {
      const std::string utf8 = platform::cp1252ToUtf8(s);
      espeakKey = Clock::now();
      espeakFirst = true;
      espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
      espeak_Synchronize();
    }
  } while (cpuSeconds() - start < 2.0);
  f.audioPerCpu = static_cast<double>(espeakSamples) / rate / (cpuSeconds() - start);
  espeak_Terminate();
  f.medianFirstMs = median(espeakFirsts);
  f.worstFirstMs = espeakFirsts.empty() ? 0 : *std::max_element(espeakFirsts.begin(), espeakFirsts.end());
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  std::ifstream in(argc > 1 ? argv[1] : PSOLA_BENCH_TEXT, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  std::string text = buffer.str();
  if (platform::isMultibyteUtf8(text)) text = platform::utf8ToCp1252(text);
  const std::vector<std::string> sentences = sentencesOf(text);
  tts::FrontEnd voice;
  tts::DiphoneList diphones;
  tts::DiphoneUnits units;
  const std::string dir(tts::kDefaultDataDir);
  if (sentences.empty() || !tts::loadFrontEnd(dir, tts::kDefaultBaseName, voice) ||
      !tts::loadDiphoneList(dir + "portug.dfn", diphones) || !tts::loadDiphoneUnits(dir + "portug.uni", units)) {
    std::fprintf(stderr, "psola_bench: no sentences, or the voice's data is not below the data root\n");
    return 1;
  }
  std::printf("%zu sentences\n", sentences.size());
  const Figures mine = ours(sentences, voice, diphones, units);
  print("our renderer (front end included)", mine);
  const Figures peer = espeak(sentences);
  if (peer.audioPerCpu == 0) {
    std::printf("eSpeak NG could not be run: no ratio\n");
    return 0;
  }
  print("eSpeak NG pt-br", peer);
  std::printf("ratio: %.1fx eSpeak NG's speed (goal: 20x real time: %s); first sample %.1fx sooner (goal: 20 ms: %s)\n",
              mine.audioPerCpu / peer.audioPerCpu, mine.audioPerCpu >= 20 ? "met" : "missed",
              peer.medianFirstMs / std::max(mine.medianFirstMs, 1e-6), mine.worstFirstMs <= 20 ? "met" : "missed");
  return 0;
}
