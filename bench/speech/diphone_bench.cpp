// diphone_bench [TEXT_FILE]: speed of the recorded-speech voice on Portuguese
// prose, in seconds of audio per second of CPU, through textToPhones and
// speakPhones into wave images, beside eSpeak NG synthesizing the same text
// in the same run. Run by hand; not a test.
#include <espeak-ng/speak_lib.h>

#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "speech/diphone/text_to_phones.h"
#include "speech/diphone_player.h"

namespace {

double cpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// Ours, repeated for at least two seconds of CPU.
double diphoneRatio(const std::string& text) {
  const std::string dir = "c:\\audiwin\\som\\difones\\";
  speech::DiphoneDb db;
  speech::DiphoneText voice;
  if (!speech::openDiphoneDb(platform::hostPath(dir + "DIFONES2.IND"), platform::hostPath(dir + "DIFONES2.DIF"), db) ||
      !speech::loadDiphoneRules(platform::hostPath(dir + "regras.rgr"), voice.rules) ||
      !speech::loadDiphoneExceptions(platform::hostPath(dir + "portug.exc"), voice.exceptions))
    return 0;
  size_t samples = 0, runs = 0;
  speech::DiphoneOutput out;
  out.play = [&](std::span<const uint8_t> image) { samples += image.size() - 44; };
  const double start = cpuSeconds();
  do {
    speech::speakPhones(db, "c:\\audiwin\\som\\letras\\", {}, speech::textToPhones(voice, text), out);
    ++runs;
  } while (cpuSeconds() - start < 2.0);
  const double cpu = cpuSeconds() - start;
  const double audio = static_cast<double>(samples) / speech::kDiphoneRate;
  std::printf("diphone voice: %zu runs, %.1f s of audio in %.3f s of CPU: %.0f s of audio per CPU second\n", runs,
              audio, cpu, audio / cpu);
  return audio / cpu;
}

size_t espeakSamples = 0;
int countSamples(short*, int n, espeak_EVENT*) {
  espeakSamples += static_cast<size_t>(n);
  return 0;
}

double espeakRatio(const std::string& text) {
  const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
  if (rate <= 0 || espeak_SetVoiceByName("pt-br") != EE_OK) return 0;
  espeak_SetSynthCallback(countSamples);
  const std::string utf8 = platform::cp1252ToUtf8(text);
  const double start = cpuSeconds();
  do {
    espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    espeak_Synchronize();
  } while (cpuSeconds() - start < 2.0);
  const double cpu = cpuSeconds() - start;
  const double audio = static_cast<double>(espeakSamples) / rate;
  espeak_Terminate();
  std::printf("eSpeak NG pt-br: %.1f s of audio in %.3f s of CPU: %.0f s of audio per CPU second\n", audio, cpu,
              audio / cpu);
  return audio / cpu;
}

}  // namespace

int main(int argc, char** argv) {
  std::ifstream in(argc > 1 ? argv[1] : DIPHONE_BENCH_TEXT, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  std::string text = buffer.str();
  if (platform::isMultibyteUtf8(text)) text = platform::utf8ToCp1252(text);
  // The speech service hands the synthesizer runs of letters and spaces.
  for (char& c : text)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || static_cast<unsigned char>(c) >= 128 || c == ',' || c == '.'))
      c = ' ';
  if (text.empty()) {
    std::fprintf(stderr, "diphone_bench: no text to read\n");
    return 1;
  }
  const double ours = diphoneRatio(text);
  if (ours == 0) {
    std::fprintf(stderr, "diphone_bench: voice data not found below the data root\n");
    return 1;
  }
  const double espeak = espeakRatio(text);
  if (espeak > 0)
    std::printf("ratio: %.1fx faster than eSpeak NG (goal: 5x)\n", ours / espeak);
  else
    std::printf("eSpeak NG could not be run: no ratio\n");
  return 0;
}
