// Every sound the portal client's scripts play ("som\tlabre" ...) is made at
// build time into the client's directory, as a playable wave.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "support/scratch.h"

namespace {

std::set<std::string> soundsNamed(const std::string& scriptDir) {
  // Every "som\NAME" written in the scripts.
  std::set<std::string> names;
  const auto nameChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
  for (const auto& e : std::filesystem::directory_iterator(scriptDir)) {
    const std::string text = testsupport::slurp(e.path().string());
    for (size_t at = text.find("som\\"); at != std::string::npos; at = text.find("som\\", at + 1)) {
      size_t end = at + 4;
      while (end < text.size() && nameChar(text[end])) ++end;
      if (end > at + 4) names.insert(text.substr(at + 4, end - at - 4));
    }
  }
  return names;
}

TEST(ClientSounds, EverySoundTheScriptsPlayIsMadeAndPlayable) {
  const char* root = std::getenv("ESCUTA_ROOT");
  ASSERT_NE(root, nullptr);
  std::set<std::string> names = soundsNamed(CLIENT_SCRIPTS);
  const std::set<std::string> monitor = soundsNamed(MONITOR_SCRIPTS);
  names.insert(monitor.begin(), monitor.end());
  ASSERT_GT(names.size(), 30u);
  for (const std::string& n : names) {
    const std::string wave = testsupport::slurp(std::string(root) + "/telinha/som/" + n + ".wav");
    ASSERT_GT(wave.size(), 44u + 1000u) << n;
    EXPECT_EQ(wave.substr(0, 4), "RIFF") << n;
    EXPECT_EQ(wave.substr(8, 8), "WAVEfmt ") << n;
  }
}

}  // namespace
