// Every sound the portal client's scripts play ("som\tlabre" ...) is made at
// build time into the client's directory, as a playable wave.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <string>

#include "support/scratch.h"

namespace {

std::set<std::string> soundsNamed(const std::string& scriptDir) {
  std::set<std::string> names;
  const std::regex sound(R"(som\\([A-Za-z0-9_]+))");
  for (const auto& e : std::filesystem::directory_iterator(scriptDir)) {
    const std::string text = testsupport::slurp(e.path().string());
    for (std::sregex_iterator i(text.begin(), text.end(), sound), end; i != end; ++i) names.insert((*i)[1].str());
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
