// IMAGEM, MIDI and SENSOR run by roteiro, headless: where pictures land,
// what MIDI sounds like in the recording, and the sensor without a port.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "console/picture_files.h"
#include "speech/wave_bytes.h"
#include "support/roteiro_run.h"
#include "support/scratch.h"
#include "support/sound_measure.h"

namespace {

using testsupport::runScript;
using testsupport::ScratchDir;

// Files to show: 4 x 2 of each kind, and a JPEG cut short.
void writePictures(const ScratchDir& dir) {
  const std::vector<uint32_t> pixels(8, 0xFF336699u);
  const std::string jpeg = testsupport::jpegFile(4, 2, pixels);
  std::ofstream(dir / "foto.jpeg", std::ios::binary) << jpeg;
  std::ofstream(dir / "cortada.jpg", std::ios::binary) << jpeg.substr(0, jpeg.size() / 2);
  std::ofstream(dir / "desenho.png", std::ios::binary) << testsupport::pngFile(5, 3, std::vector<uint32_t>(15, 0));
  // 1 x 1, 24 bits.
  std::string bmp = "BM";
  bmp += std::string("\x3A\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0", 28);
  bmp += std::string(24, '\0') + std::string("\x10\x20\x30\0", 4);
  std::ofstream(dir / "ponto.bmp", std::ios::binary) << bmp;
}

struct Case {
  const char* script;
  const char* seen;
  int status;
};

void expectRuns(const ScratchDir& dir, std::span<const Case> cases) {
  for (const Case& c : cases) {
    const testsupport::ScriptRun run = runScript(dir, c.script);
    EXPECT_EQ(run.seen, c.seen) << c.script;
    EXPECT_EQ(run.status, c.status) << c.script;
  }
}

TEST(Imagem, PicturesArePlacedClearedOrRefused) {
  const ScratchDir dir;
  writePictures(dir);
  const Case cases[] = {
      {"imagem \"foto.jpeg\" 10 20\n", "PICTURE foto.jpeg 10 20 4x2\n", 0},
      {"imagem \"desenho.png\"\nimagem\n", "PICTURE desenho.png 0 0 5x3\nPICTURE \n", 0},
      {"seja $f \"ponto.bmp\"\nimagem $f 3 4\nimagem \"\"\n", "PICTURE ponto.bmp 3 4 1x1\nPICTURE \n", 0},
      // A new picture takes the old one's place.
      {"imagem \"ponto.bmp\"\nimagem \"foto.jpeg\" 1 1 &\n",
       "PICTURE ponto.bmp 0 0 1x1\nPICTURE \nPICTURE foto.jpeg 1 1 4x2\n", 0},
      {"imagem \"falta.jpg\" &\n", "", 0},
      {"imagem \"cortada.jpg\" 5 5 &\n", "", 0},
      {"imagem \"falta.jpg\"\n", "ERROR 1\n", 1},
      {"imagem \"cortada.jpg\"\n", "ERROR 1\n", 1},
      {"imagem \"foto.jpeg\" 10\n", "ERROR 1\n", 1},
      {"imagem \"foto.jpeg\" 10 20 30\n", "ERROR 1\n", 1},
      {"imagem \"foto.jpeg\" 10 x2\n", "ERROR 1\n", 1},
  };
  expectRuns(dir, cases);
  // A JPEG is decoded in memory: nothing is left beside it.
  EXPECT_FALSE(std::ifstream(dir / "$$$.bmp").good());
}

TEST(Midi, StateAndRangesAreChecked) {
  const ScratchDir dir;
  const Case cases[] = {
      {"midi inicia\nmidi tt 16 127\nmidi nl 1 0 0\nmidi nd 16 127\nmidi pane\nmidi termina\nmidi inicia\n"
       "midi termina\n",
       "", 0},
      {"midi nl 1 60 100\n", "ERROR 1\n", 1},
      {"midi termina\n", "ERROR 1\n", 1},
      {"midi pane\n", "ERROR 1\n", 1},
      {"midi inicia\nmidi inicia\n", "ERROR 2\n", 1},
      {"midi inicia\nmidi nl 17 60 100\n", "ERROR 2\n", 1},
      {"midi inicia\nmidi nl 0 60 100\n", "ERROR 2\n", 1},
      {"midi inicia\nmidi nl 1 128 100\n", "ERROR 2\n", 1},
      {"midi inicia\nmidi nl 1 60 -1\n", "ERROR 2\n", 1},
      {"midi inicia\nmidi nl 1 60\n", "ERROR 2\n", 1},
      {"midi inicia\nmidi nl 1 60 100 1\n", "ERROR 2\n", 1},
      {"midi inicia\nmidi nd 1 \"6a\"\n", "ERROR 2\n", 1},
      {"midi inicia\nmidi tt 1 128\n", "ERROR 2\n", 1},
      {"midi inicia\nmidi toca\n", "ERROR 2\n", 1},
      {"midi inicia agora\n", "ERROR 1\n", 1},
  };
  expectRuns(dir, cases);
}

// The loudest frequency near each note's start, by autocorrelation.
TEST(Midi, NotesSoundAtTheirPitchAndPaneSilencesThem) {
  const ScratchDir dir;
  const std::string recording = dir / "midi.wav";
  // A flute (program 73) has a strong fundamental; A4 then E5.
  const testsupport::ScriptRun run =
      runScript(dir,
                "midi inicia\nmidi tt 1 73\nmidi nl 1 69 110\nespera ms 600\nmidi nd 1 69\nmidi nl 1 76 110\n"
                "espera ms 600\nmidi pane\nespera ms 1200\nmidi termina\n",
                "LC_ALL=C ESCUTA_AUDIO_OUT=" + recording);
  ASSERT_EQ(run.status, 0) << run.seen;
  const speech_test::Recording r = speech_test::readRecording(recording);
  ASSERT_EQ(r.bits, 16);
  ASSERT_GT(r.rate, 0);
  // The first channel's samples.
  std::vector<int16_t> s;
  for (size_t i = 0; i + 1 < r.data.size(); i += 2 * static_cast<size_t>(r.channels)) {
    s.push_back(static_cast<int16_t>(r.data[i] | r.data[i + 1] << 8));
  }
  const auto onset = std::find_if(s.begin(), s.end(), [](int16_t v) { return std::abs(v) > 300; }) - s.begin();
  ASSERT_LT(static_cast<size_t>(onset), s.size());
  const auto at = [&](int ms) { return static_cast<size_t>(onset) + static_cast<size_t>(r.rate) * static_cast<size_t>(ms) / 1000; };
  EXPECT_NEAR(testsupport::fundamentalAt(s, at(300), r.rate, 200, 1000), 440.0, 8.0);
  EXPECT_NEAR(testsupport::fundamentalAt(s, at(900), r.rate, 200, 1000), 659.3, 12.0);
  // PANE at 1200 ms: a second later the sound is 40 dB below the notes'.
  const double notes = testsupport::loudnessOf(s, at(100), at(1100));
  const double after = testsupport::loudnessOf(s, at(2200), at(2400));
  ASSERT_GT(notes, 500.0);
  EXPECT_LT(20 * std::log10((after + 1e-9) / notes), -40.0) << after << " against " << notes;
}

TEST(Sensor, WithoutAPortItSaysSoAndFindsNothing) {
  const ScratchDir dir;
  if (std::ifstream("/dev/parport0").good()) GTEST_SKIP() << "this machine has a parallel port";
  const Case cases[] = {
      {"seja a 9\nsensor a\nescreve a\n", "SHOW Porta paralela /dev/parport0 n\xC3\xA3o dispon\xC3\xADvel.\nSHOW 0\n", 0},
      {"sensor\n", "ERROR 1\n", 1},
      {"sensor a b\n", "ERROR 1\n", 1},
  };
  expectRuns(dir, cases);
}

}  // namespace
