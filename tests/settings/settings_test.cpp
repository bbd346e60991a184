#include "settings/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

#include "platform/base/paths.h"
#include "support/scratch.h"

namespace {

using testsupport::slurp;

// A home with its own configuration folder and an older installation's
// Windows folder, both empty until a test writes them.
class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = scratch_.path();
    xdg_ = root_ + "/xdg";
    win_ = root_ + "/windows";
    mkdir(xdg_.c_str(), 0755);
    mkdir(win_.c_str(), 0755);
    unsetenv("ESCUTA_CONFIG_DIR");
    setenv("XDG_CONFIG_HOME", xdg_.c_str(), 1);
    setenv("ESCUTA_WINDOWS_DIR", win_.c_str(), 1);
    settings::loadLegacyMode();
  }
  void TearDown() override { unsetenv("ESCUTA_WINDOWS_DIR"); }
  void writeUser(const std::string& text) {
    mkdir((xdg_ + "/Escuta").c_str(), 0755);
    std::ofstream(xdg_ + "/Escuta/Escuta.ini") << text;
  }
  void writeLegacy(const std::string& text) { std::ofstream(win_ + "/Escuta.ini") << text; }
  testsupport::ScratchDir scratch_;
  std::string root_, xdg_, win_;
};

TEST_F(Settings, TheConfigurationDirectoryFollowsXdgOrTheOverride) {
  EXPECT_EQ(settings::configDir(), xdg_ + "/Escuta");
  setenv("ESCUTA_CONFIG_DIR", (root_ + "/mine/").c_str(), 1);
  EXPECT_EQ(settings::configDir(), root_ + "/mine");
  unsetenv("ESCUTA_CONFIG_DIR");
}

TEST_F(Settings, WithTheFileOnlyInTheWindowsDirectoryEverythingUsesThatCopy) {
  writeLegacy("[TRADUTOR]\nVELOCIDADE=4\n");
  EXPECT_EQ(settings::configDir(), win_);
  EXPECT_EQ(settings::readSetting("TRADUTOR", "VELOCIDADE"), "4");
  settings::writeSetting("TRADUTOR", "SAPI", "N");
  EXPECT_EQ(slurp(win_ + "/Escuta.ini"), "[TRADUTOR]\nVELOCIDADE=4\nSAPI=N\n");
}

TEST_F(Settings, ExpandsTheAtForms) {
  const std::string pgm = platform::programDir();
  const std::string cfg = xdg_ + "/Escuta";
  struct Case {
    const char* pgmescuta;  // null: no such key
    const char* value;
    std::string expected;
  } cases[] = {
      {nullptr, "@", pgm},
      {nullptr, "@\\som", pgm + "\\som"},
      {"", "@\\som", pgm + "\\som"},
      {"@x", "@\\som", pgm + "\\som"},
      {"/opt/escuta", "@\\som", "/opt/escuta\\som"},
      {"/opt/escuta", "@@\\dados", cfg + "\\dados"},
      {"/opt/escuta", "@@\\x@\\y", cfg + "\\x/opt/escuta\\y"},
      {"/opt/escuta", "a@b", "a@b"},
      {"@@\\pgm", "@\\som", cfg + "\\pgm\\som"},        // PGMESCUTA expanded itself
      {"x@\\y", "@\\som", "x" + pgm + "\\y\\som"},        // and never through itself forever
  };
  for (const Case& c : cases) {
    std::string ini = "[ROTEIRO]\nDIRROTEIRO=" + std::string(c.value) + "\n";
    if (c.pgmescuta) ini += "[ESCUTA]\nPGMESCUTA=" + std::string(c.pgmescuta) + "\n";
    writeUser(ini);
    EXPECT_EQ(settings::readSetting("ROTEIRO", "DIRROTEIRO"), c.expected) << c.value;
  }
}

TEST_F(Settings, LegacyModeFallsBackToTheWindowsCopyAndWritesBoth) {
  writeUser("[ESCUTA]\nLEGADO=sim\n");
  writeLegacy("[TRADUTOR]\nDIRLETRAS=c:\\velho\n");
  EXPECT_EQ(settings::readSetting("TRADUTOR", "DIRLETRAS"), "");
  settings::loadLegacyMode();
  ASSERT_TRUE(settings::legacyMode());
  EXPECT_EQ(settings::readSetting("TRADUTOR", "DIRLETRAS"), "c:\\velho");
  settings::writeSetting("ESCUTA", "FALANDO", "Nao");
  EXPECT_NE(slurp(xdg_ + "/Escuta/Escuta.ini").find("FALANDO=Nao"), std::string::npos);
  EXPECT_NE(slurp(win_ + "/Escuta.ini").find("FALANDO=Nao"), std::string::npos);
}

TEST_F(Settings, MissingKeysAreWrittenWithTheirDefaults) {
  EXPECT_EQ(settings::readSettingOrInit("ESCUTA", "FALANDO", "Sim"), "Sim");
  EXPECT_EQ(slurp(xdg_ + "/Escuta/Escuta.ini"), "[ESCUTA]\nFALANDO=Sim\n");
  writeUser("[ESCUTA]\nFALANDO=  Nao  \n");
  EXPECT_EQ(settings::readSettingOrInit("ESCUTA", "FALANDO", "Sim"), "Nao");
  writeUser("[ESCUTA]\nFALANDO=   \n");
  EXPECT_EQ(settings::readSettingOrInit("ESCUTA", "FALANDO", "Sim"), "Sim");
  EXPECT_EQ(slurp(xdg_ + "/Escuta/Escuta.ini"), "[ESCUTA]\nFALANDO=Sim\n");
}

TEST_F(Settings, ValuesAreCutToTheirBuffers) {
  writeUser("[VIDEO]\nFONTE=" + std::string(100, 'f') + "\n[X]\nLONGO=" + std::string(60000, 'v') + "\n");
  EXPECT_EQ(settings::readDirect("VIDEO", "FONTE").size(), 80u);
  EXPECT_EQ(settings::readSetting("X", "LONGO").size(), 49999u);
  EXPECT_EQ(settings::readDirect("VIDEO", "FALTA", "padrao"), "padrao");
}

TEST_F(Settings, AnUnreadableOrMalformedFileGivesTheDefaults) {
  writeUser(std::string("\x00\xFF[[[\n=\n[VIDEO\nFONTE\n", 21));
  EXPECT_EQ(settings::readDirect("VIDEO", "FONTE", "Lucida Console"), "Lucida Console");
  mkdir((xdg_ + "/Escuta/Escuta.ini.d").c_str(), 0755);
  std::system(("rm -f " + xdg_ + "/Escuta/Escuta.ini && mkdir " + xdg_ + "/Escuta/Escuta.ini").c_str());
  EXPECT_EQ(settings::readSetting("VIDEO", "FONTE"), "");
  settings::writeSetting("VIDEO", "FONTE", "x");  // fails quietly: a folder stands in the way
}

}  // namespace
