// Scripts run by roteiro as a user would run them, headless, each compared
// with its expected transcript. Every folder under scripts/ is a table of
// cases: NAME.txt is the script; NAME.expected its transcript; NAME.keys
// the key script (default: one Enter, for the error report); NAME.args the
// script's parameters. Runs start in a fresh folder holding an 8-bit wave
// file som.wav, with the clock stopped at Wednesday 05/03/2025 13:05:07.25.
// How the speech service voices a text (the letter and number pieces it
// plays) is its own business: outside the speech folder those lines are left
// out, and the texts handed to it (SAY, SPELL) are compared.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/scratch.h"

namespace {

namespace fs = std::filesystem;
using testsupport::slurp;

std::vector<std::string> casesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(std::string(SCRIPTS) + "/" + folder)) {
    if (entry.path().extension() == ".txt") names.push_back(folder + "/" + entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A tenth of a second of 8-bit mono silence at 11025 Hz.
void writeWave(const std::string& file) {
  const uint32_t samples = 1102;
  std::string w = "RIFF";
  const auto put32 = [&w](uint32_t v) {
    for (int i = 0; i < 4; ++i) w += static_cast<char>(v >> (8 * i) & 0xFF);
  };
  const auto put16 = [&w](uint16_t v) {
    w += static_cast<char>(v & 0xFF);
    w += static_cast<char>(v >> 8);
  };
  put32(36 + samples);
  w += "WAVEfmt ";
  put32(16);
  put16(1);
  put16(1);
  put32(11025);
  put32(11025);
  put16(1);
  put16(8);
  w += "data";
  put32(samples);
  w.append(samples, static_cast<char>(128));
  std::ofstream(file, std::ios::binary) << w;
}

std::string withoutLetterPieces(const std::string& transcript) {
  static const std::string kPiece = "PLAY\tc:\\\\audiwin\\\\som\\\\letras\\\\";
  std::string out;
  size_t pos = 0;
  while (pos < transcript.size()) {
    size_t end = transcript.find('\n', pos);
    end = end == std::string::npos ? transcript.size() : end + 1;
    if (transcript.compare(pos, kPiece.size(), kPiece) != 0) out.append(transcript, pos, end - pos);
    pos = end;
  }
  return out;
}

class Script : public ::testing::TestWithParam<std::string> {
 protected:
  void expectTranscript() {
    const std::string base = std::string(SCRIPTS) + "/" + GetParam();
    const std::string& dir = scratch_.path();
    writeWave(dir + "/som.wav");
    std::string keys = base + ".keys";
    if (!fs::exists(keys)) {
      keys = dir + "/keys.txt";
      std::ofstream(keys) << "key Enter\n";
    }
    std::string args = fs::exists(base + ".args") ? slurp(base + ".args") : "";
    args.erase(std::remove(args.begin(), args.end(), '\n'), args.end());
    const std::string cmd = "cd " + dir + " && ESCUTA_FIXED_TIME='2025-03-05 13:05:07.25' " ROTEIRO
                            " --frontend headless --clock-speed 10 --time-limit 600 --config-dir " + dir + " --keys " + keys +
                            " --transcript " + dir + "/t.txt " + base + ".txt " + args + " 2>" + dir + "/err.txt";
    const int raw = std::system(cmd.c_str());
    std::string transcript = slurp(dir + "/t.txt");
    if (!GetParam().starts_with("speech/")) transcript = withoutLetterPieces(transcript);
    const std::string expected = slurp(base + ".expected");
    EXPECT_EQ(transcript, expected) << slurp(dir + "/err.txt");
    const bool failed = expected.find("\nERROR\t") != std::string::npos;
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, failed ? 1 : 0);
  }
  testsupport::ScratchDir scratch_;
};

TEST_P(Script, GivesItsTranscript) { expectTranscript(); }

std::string caseName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param.substr(info.param.find('/') + 1);
  std::replace(name.begin(), name.end(), '-', '_');
  return name;
}

INSTANTIATE_TEST_SUITE_P(RunLoop, Script, ::testing::ValuesIn(casesIn("run_loop")), caseName);
INSTANTIATE_TEST_SUITE_P(Operands, Script, ::testing::ValuesIn(casesIn("operands")), caseName);
INSTANTIATE_TEST_SUITE_P(Functions, Script, ::testing::ValuesIn(casesIn("functions")), caseName);
INSTANTIATE_TEST_SUITE_P(ControlFlow, Script, ::testing::ValuesIn(casesIn("flow")), caseName);
INSTANTIATE_TEST_SUITE_P(Channels, Script, ::testing::ValuesIn(casesIn("channels")), caseName);
INSTANTIATE_TEST_SUITE_P(Lists, Script, ::testing::ValuesIn(casesIn("lists")), caseName);
INSTANTIATE_TEST_SUITE_P(Speech, Script, ::testing::ValuesIn(casesIn("speech")), caseName);

}  // namespace
