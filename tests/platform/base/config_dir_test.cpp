#include "platform/base/config_dir.h"

#include <gtest/gtest.h>

namespace {

TEST(ConfigDir, TheOverrideThenXdgThenHome) {
  struct Case {
    const char* escutaConfigDir;
    const char* xdgConfigHome;
    const char* home;
    const char* dir;
  } cases[] = {
      {"/cfg", "/xdg", "/home/u", "/cfg"},
      {"/cfg//", "", "", "/cfg"},
      {"c:\\cfg\\", "", "", "c:\\cfg"},
      {"/", "", "", "/"},
      {"", "/xdg", "/home/u", "/xdg/Escuta"},
      {"", "", "/home/u", "/home/u/.config/Escuta"},
      {"", "", "", "/.config/Escuta"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::configDirNamed(c.escutaConfigDir, c.xdgConfigHome, c.home), c.dir)
        << c.escutaConfigDir << " | " << c.xdgConfigHome << " | " << c.home;
  }
}

}  // namespace
