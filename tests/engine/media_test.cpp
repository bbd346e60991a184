// Media files through TOCA and MCI, headless: played in the background
// beside speech, and driven by the media control strings. The files are
// tones made here with libsndfile, in each format it writes.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "support/roteiro_run.h"

namespace {

using testsupport::runScript;
using testsupport::ScratchDir;

constexpr double kPi = 3.14159265358979;

// A 440 Hz tone, loud enough to be told from silence in every window.
bool writeTone(const std::string& file, int format, int rate, int channels, double seconds) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* sf = sf_open(file.c_str(), SFM_WRITE, &info);
  if (!sf) return false;
  const auto frames = static_cast<size_t>(seconds * rate);
  std::vector<short> samples(frames * static_cast<size_t>(channels));
  for (size_t f = 0; f < frames; ++f) {
    const auto s = static_cast<short>(12000 * std::sin(2 * kPi * 440 * static_cast<double>(f) / rate));
    for (int c = 0; c < channels; ++c) samples[f * static_cast<size_t>(channels) + static_cast<size_t>(c)] = s;
  }
  const bool whole = sf_writef_short(sf, samples.data(), static_cast<sf_count_t>(frames)) ==
                     static_cast<sf_count_t>(frames);
  sf_close(sf);
  return whole;
}

// The recording's samples (mono or the first channel) and its rate.
std::vector<short> readRecording(const std::string& file, int& rate) {
  SF_INFO info{};
  SNDFILE* sf = sf_open(file.c_str(), SFM_READ, &info);
  if (!sf) return {};
  std::vector<short> all(static_cast<size_t>(info.frames * info.channels));
  sf_readf_short(sf, all.data(), info.frames);
  sf_close(sf);
  rate = info.samplerate;
  std::vector<short> first(static_cast<size_t>(info.frames));
  for (size_t f = 0; f < first.size(); ++f) first[f] = all[f * static_cast<size_t>(info.channels)];
  return first;
}

// Script lines that wait (at most 30 s on the clock) until `device` has
// stopped, then show its mode.
std::string awaitStopped(const std::string& device) {
  const std::string status = "mci m \"status " + device + " mode\"\n";
  return status + "seja n 0\nenquanto m = \"playing\" e n < 300\n  espera ms 100\n  " + status +
         "  soma n 1\nfim enquanto\nescreve mudo \"fim \" m\n";
}

// TOCA with "&" returns at once and the script goes on speaking while the
// sound (its name holds a blank) plays: speech, a stop of speech and a key
// leave it playing, and the recording holds the whole sound (resampled to
// the device, no gap, not cut short) under the speech.
TEST(Toca, PlaysInTheBackgroundWhileTheScriptSpeaks) {
  ScratchDir dir;
  ASSERT_TRUE(writeTone(dir / "som longo.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 16000, 1, 10.0));
  const std::string device = "\"\"som longo.wav\"\"";
  const auto run = runScript(dir,
                             "fala \"primeiro\"\n"
                             "toca \"som longo.wav\" &\n"
                             "fala \"oi\"\n"
                             "digita \"x\"\n"
                             "fala\n"
                             "le tecla k\n"
                             "mci m \"status " + device + " mode\"\n"
                             "mci p \"status " + device + " position\"\n"
                             "escreve mudo m\n"
                             "se p < 3000 escreve mudo \"cedo\"\n" +
                                 awaitStopped(device) + "mci p \"status " + device + " position\"\nescreve mudo p\n",
                             "ESCUTA_AUDIO_OUT=" + (dir / "gravado.wav"));
  EXPECT_EQ(run.seen, "SHOW playing\nSHOW cedo\nSHOW fim stopped\nSHOW 10000\n");
  int rate = 0;
  const std::vector<short> heard = readRecording(dir / "gravado.wav", rate);
  ASSERT_GT(rate, 0);
  // The tone starts after the first words; from there every 20 ms holds it.
  const size_t window = static_cast<size_t>(rate) / 50;
  size_t start = 0;
  double last = 0;
  size_t loud = 0, longest = 0;
  for (size_t at = 0; at + window <= heard.size(); at += window) {
    double sum = 0;
    for (size_t i = at; i < at + window; ++i) sum += static_cast<double>(heard[i]) * heard[i];
    last = std::sqrt(sum / static_cast<double>(window));
    loud = last > 3000 ? loud + 1 : 0;
    if (loud > longest) longest = loud, start = at;
  }
  EXPECT_GE(static_cast<double>(longest * window) / rate, 9.96) << "a gap, or the tone cut short, ending at " << start;
}

// A table of media control strings and their replies, each run in order on
// one 2 s tone; an error leaves an empty reply.
TEST(Mci, StringsAndTheirReplies) {
  struct Row {
    const char* command;
    const char* reply;
  };
  const Row rows[] = {
      {"open tom.wav alias t", "1"},
      {"open tom.wav alias T", ""},  // the alias is taken
      {"open nada.wav alias n", ""},
      {"status t mode", "stopped"},
      {"status t length", "2000"},
      {"status t position", "0"},
      {"set t time format milliseconds", ""},
      {"set t time format ms", ""},
      {"status t time format", "milliseconds"},
      {"set t time format frames", ""},
      {"seek t to 500", ""},
      {"status t position", "500"},
      {"seek t to end", ""},
      {"status t position", "2000"},
      {"seek t to 9000", ""},  // beyond the end: refused, the position stays
      {"status t position", "2000"},
      {"seek t to start", ""},
      {"status t position", "0"},
      {"play t from 1800 to 1200", ""},
      {"status t mode", "stopped"},
      {"play t from 1000 to 1900", ""},
      {"status t mode", "playing"},
      {"pause t", ""},
      {"status t mode", "paused"},
      {"resume t", ""},
      {"status t mode", "playing"},
      {"stop t", ""},
      {"status t mode", "stopped"},
      {"play t from 1400 to 1500 wait", ""},
      {"status t mode", "stopped"},
      {"status t position", "1500"},
      {"play t from 1000 to 1700", ""},
      {"pause t", ""},
      {"resume t wait", ""},  // on to where the play was to stop
      {"status t position", "1700"},
      {"play t wait", ""},  // on from where it stands
      {"status t position", "2000"},
      {"status t volume", ""},
      {"pause nada", ""},
      {"nada t", ""},
      {"close t", ""},
      {"status t mode", ""},
      {"play tom.wav", ""},  // a file played as it is is opened under its name
      {"status tom.wav mode", "playing"},
      {"close all", ""},
      {"status tom.wav mode", ""},
  };
  ScratchDir dir;
  ASSERT_TRUE(writeTone(dir / "tom.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 1, 2.0));
  std::string script, expected;
  for (const Row& r : rows) {
    script += std::string("mci v \"") + r.command + "\"\nescreve mudo \"[\" v \"]\"\n";
    expected += std::string("SHOW [") + r.reply + "]\n";
  }
  EXPECT_EQ(runScript(dir, script).seen, expected);
}

// A paused sound holds its place and goes on from it, whatever the clock.
TEST(Mci, PauseHoldsThePosition) {
  ScratchDir dir;
  ASSERT_TRUE(writeTone(dir / "tom.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 1, 3.0));
  const auto run = runScript(dir,
                             "mci v \"play tom.wav from 1000\"\n"
                             "espera ms 300\n"
                             "mci v \"pause tom.wav\"\n"
                             "mci a \"status tom.wav position\"\n"
                             "espera ms 500\n"
                             "mci b \"status tom.wav position\"\n"
                             "se a > 1200 se a < 2000 escreve mudo \"andou\"\n"
                             "se a = b escreve mudo \"parado\"\n"
                             "mci v \"resume tom.wav\"\n" +
                                 awaitStopped("tom.wav") + "mci p \"status tom.wav position\"\nescreve mudo p\n");
  EXPECT_EQ(run.seen, "SHOW andou\nSHOW parado\nSHOW fim stopped\nSHOW 3000\n");
}

// TOCA without "&" plays to the end in every format libsndfile reads.
TEST(Toca, PlaysEachFormat) {
  struct Row {
    const char* file;
    int format;
    int channels;
  };
  const Row rows[] = {
      {"som.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1},
      {"som.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2},
      {"som.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 2},
      {"som.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 1},
  };
  for (const Row& r : rows) {
    ScratchDir dir;
    ASSERT_TRUE(writeTone(dir / r.file, r.format, 22050, r.channels, 0.5)) << r.file;
    const auto run = runScript(dir, std::string("mci v \"open ") + r.file + " alias s\"\nmci l \"status s length\"\n" +
                                        "se l > 450 se l < 600 escreve mudo \"inteiro\"\ntoca \"" + r.file +
                                        "\"\nescreve mudo \"depois\"\n",
                               "ESCUTA_AUDIO_OUT=" + (dir / "gravado.wav"));
    EXPECT_EQ(run.seen, "SHOW inteiro\nSHOW depois\n") << r.file;
    int rate = 0;
    EXPECT_GE(readRecording(dir / "gravado.wav", rate).size(), 22050u * 45 / 100) << r.file;
  }
}

}  // namespace
