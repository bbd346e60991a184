// SDL, and the many libraries under it, are loaded only when something needs
// them: a program started without a display runs without them, and the
// first sound to resample brings them in.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/audio_mix.h"
#include "platform/platform.h"

namespace {

bool mapped(const std::string& library) {
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    if (line.find(library) != std::string::npos) return true;
  }
  return false;
}

TEST(SdlModule, IsLoadedOnlyWhenNeeded) {
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  const char* argv[] = {"sdl_module_tests"};
  platform::Options options;
  ASSERT_EQ(platform::start(1, const_cast<char**>(argv), "", options), -1);
  EXPECT_STREQ(platform::backend().name(), "headless");
  EXPECT_FALSE(mapped("escuta_sdl.so"));
  EXPECT_FALSE(mapped("libSDL2"));

  const std::vector<uint8_t> pcm(2000, 128);
  EXPECT_EQ(platform::convertPcm(pcm.data(), pcm.size(), platform::WaveFormat{11025, 1, 8}, 22050, 2).size(), 8000u);
  EXPECT_TRUE(mapped("escuta_sdl.so"));
  EXPECT_TRUE(mapped("libSDL2"));
}

}  // namespace
