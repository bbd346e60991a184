#include "test_files.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <string>

#include "platform/base/codepage.h"

namespace tts_test {

std::string cp(std::string_view utf8) { return platform::utf8ToCp1252(utf8); }
std::string utf8(std::string_view cp1252) { return platform::cp1252ToUtf8(cp1252); }

std::string writeTempFile(std::string_view name, std::string_view contents) {
  // CTest runs each case as its own process in parallel: the process id keeps
  // two cases from writing one file at once.
  const std::string path =
      testing::TempDir() + std::to_string(getpid()) + "-" + std::string(name);
  std::ofstream(path, std::ios::binary) << contents;
  return path;
}

std::string squeezed(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == ' ') {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += c;
    }
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "/";
  return out;
}

const tts::FrontEnd& stagedVoice() {
  static const tts::FrontEnd voice = [] {
    tts::FrontEnd v;
    tts::DataProblems problems;
    EXPECT_TRUE(tts::loadFrontEnd(tts::kDefaultDataDir, tts::kDefaultBaseName, v, &problems));
    EXPECT_TRUE(problems.empty()) << problems.front().file << ":" << problems.front().line << ": "
                                  << problems.front().message;
    return v;
  }();
  return voice;
}

std::string phonemesOf(std::string_view text) {
  std::string out;
  for (const std::string& line : tts::textToPhonemeLines(text, stagedVoice()).lines) {
    if (line.empty() || line[0] == ';' || line[0] == '_') continue;
    if (!out.empty()) out += ' ';
    out += line;
  }
  return out;
}

}  // namespace tts_test
