// The portal's addresses: read from section TELINHA of Escuta.ini, refused
// when they could break the script line they go into, and put in place of
// the placeholders when the program stores its lines.
#include "apps/common/portal_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "apps/common/embedded_script.h"
#include "engine/recording_reporter.h"
#include "engine/store.h"
#include "support/scratch.h"

namespace {

const char* const kLines[] = {"conecta #0 \"{{HOSTAPI}}\" {{PORTAAPI}}", "se $porta = {{PORTAWEB}} conecta ssl #1 $host $porta",
                              "seja $host \"{{HOSTWEB}}\"", "seja $porta {{PORTANOTIFICACOES}}", "* {{OUTRA}} {{"};

}  // namespace

const app::EmbeddedScript app::kEmbeddedScript = {kLines, 5};

namespace {

struct Config {
  testsupport::ScratchDir dir;
  explicit Config(const std::string& ini) {
    std::ofstream(dir / "Escuta.ini") << ini;
    ::setenv("ESCUTA_CONFIG_DIR", dir.path().c_str(), 1);
  }
};

TEST(PortalSettings, DefaultsWithoutTheSection) {
  Config c("[ESCUTA]\r\nFALANDO=Sim\r\n");
  const app::PortalSettings s = app::readPortalSettings();
  EXPECT_EQ(s.webHost, "localhost");
  EXPECT_EQ(s.webPort, 443);
  EXPECT_EQ(s.apiHost, "localhost");
  EXPECT_EQ(s.apiPort, 6000);
  EXPECT_EQ(s.notesPort, 6001);
}

TEST(PortalSettings, ConfiguredValuesAndRefusedOnes) {
  Config c("[telinha]\r\nHOSTWEB=vitrine.example.org\r\nPORTAWEB=8443\r\nHOSTAPI=10.0.0.5\r\nPORTAAPI=70000\r\n"
           "PORTANOTIFICACOES=abc\r\n");
  app::PortalSettings s = app::readPortalSettings();
  EXPECT_EQ(s.webHost, "vitrine.example.org");
  EXPECT_EQ(s.webPort, 8443);
  EXPECT_EQ(s.apiHost, "10.0.0.5");
  EXPECT_EQ(s.apiPort, 6000);    // out of range
  EXPECT_EQ(s.notesPort, 6001);  // not a number
  // A host that would end its quoted literal and run on as script.
  Config quote("[TELINHA]\r\nHOSTWEB=a\" termina \"\r\nHOSTAPI=b c\r\n");
  s = app::readPortalSettings();
  EXPECT_EQ(s.webHost, "localhost");
  EXPECT_EQ(s.apiHost, "localhost");
}

// The player is named only when it can be started; the settings file is told
// as it is read, never with a quote that would end the script's literal.
TEST(PortalSettings, ThePlayerWhenFoundAndTheFileTheyComeFrom) {
  Config c("[TELINHA]\r\n");
  const std::string path = std::getenv("PATH");
  for (const bool installed : {false, true}) {
    testsupport::ScratchDir bin;
    if (installed) {
      std::ofstream(bin / "mpv") << "#!/bin/sh\n";
      std::filesystem::permissions(bin / "mpv", std::filesystem::perms::owner_all);
    }
    ::setenv("PATH", bin.path().c_str(), 1);
    const app::PortalSettings s = app::readPortalSettings();
    ::setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(s.player, installed ? "mpv" : "") << installed;
    EXPECT_EQ(s.settingsFile, c.dir / "Escuta.ini");
  }
  testsupport::ScratchDir quoted;
  const std::string folder = quoted / "a\"b";
  std::filesystem::create_directories(folder);
  ::setenv("ESCUTA_CONFIG_DIR", folder.c_str(), 1);
  EXPECT_EQ(app::readPortalSettings().settingsFile, quoted / "a'b/Escuta.ini");
}

TEST(PortalSettings, PlaceholdersAreReplacedAndOthersKept) {
  app::PortalSettings s;
  s.webHost = "web";
  s.webPort = 8443;
  s.apiHost = "api";
  s.apiPort = 16000;
  s.notesPort = 16001;
  s.programFile = "/opt/telinha";
  s.settingsFile = "/home/u/.config/Escuta/Escuta.ini";
  s.player = "mpv";
  EXPECT_EQ(app::withPortalSettings("{{HOSTWEB}}:{{PORTAWEB}} {{HOSTAPI}}:{{PORTAAPI}}/{{PORTANOTIFICACOES}}", s),
            "web:8443 api:16000/16001");
  EXPECT_EQ(app::withPortalSettings("seja x = \"{{TOCADOR}}\" * {{ESCUTAINI}}", s),
            "seja x = \"mpv\" * /home/u/.config/Escuta/Escuta.ini");
  EXPECT_EQ(app::withPortalSettings("Rede11=C,{{PROGRAMA}},-REDEAD", s), "Rede11=C,/opt/telinha,-REDEAD");
  EXPECT_EQ(app::withPortalSettings("{{OUTRA}} {{ {{HOSTWEB", s), "{{OUTRA}} {{ {{HOSTWEB");
  EXPECT_EQ(app::withPortalSettings("{{{{HOSTWEB}}}}", s), "{{web}}");
}

TEST(PortalSettings, TheStoredLinesCarryTheConfiguredValues) {
  Config c("[TELINHA]\r\nHOSTWEB=portal.local\r\nPORTAWEB=9443\r\nHOSTAPI=127.0.0.1\r\nPORTAAPI=7000\r\n"
           "PORTANOTIFICACOES=7001\r\n");
  std::string error;
  testsupport::RecordingReporter reporter;
  engine::Interp in(reporter);
  ASSERT_TRUE(app::storePortalScript(in, {}, error)) << error;
  EXPECT_EQ(engine::lineText(in, 1), "conecta #0 \"127.0.0.1\" 7000");
  EXPECT_EQ(engine::lineText(in, 2), "se $porta = 9443 conecta ssl #1 $host $porta");
  EXPECT_EQ(engine::lineText(in, 3), "seja $host \"portal.local\"");
  EXPECT_EQ(engine::lineText(in, 4), "seja $porta 7001");
  EXPECT_EQ(engine::lineText(in, 5), "* {{OUTRA}} {{");
}

}  // namespace
