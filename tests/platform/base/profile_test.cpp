#include "platform/base/profile.h"

#include <gtest/gtest.h>
#include <stdio.h>

#include <fstream>

#include "support/scratch.h"

namespace {

const char kIni[] =
    "; comentario\r\n"
    "[Video]\r\n"
    "CorFundo = 1 \r\n"
    "FONTE=\"Courier New\"\r\n"
    "semigual\r\n"
    "\r\n"
    "[ESCUTA]\r\n"
    "FALANDO=Sim\r\n"
    "FALANDO=Nao\r\n"
    "vazio=\r\n";

TEST(ProfileRead, FollowsPrivateProfileSemantics) {
  struct Case {
    const char* section;
    const char* key;
    const char* def;
    const char* expected;
  } cases[] = {
      {"VIDEO", "CORFUNDO", "", "1"},            // names without case, blanks trimmed
      {"video", "fonte", "", "Courier New"},     // quotes removed
      {"ESCUTA", "FALANDO", "", "Sim"},          // the first of duplicates
      {"ESCUTA", "vazio", "dflt", ""},           // present but empty is not missing
      {"ESCUTA", "falta", "dflt", "dflt"},       // missing key
      {"NADA", "FALANDO", "dflt", "dflt"},       // missing section
      {"VIDEO", "semigual", "dflt", "dflt"},     // a line without "=" is no entry
      {"VIDEO", "; comentario", "dflt", "dflt"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::profileValue(kIni, c.section, c.key, c.def, 100), c.expected) << c.section << "/" << c.key;
  }
}

TEST(ProfileRead, CutsValuesToTheBuffer) {
  const std::string ini = "[S]\nK=" + std::string(200, 'x') + "\n";
  EXPECT_EQ(platform::profileValue(ini, "S", "K", "", 81).size(), 80u);
  EXPECT_EQ(platform::profileValue(ini, "S", "K", "", 0), "");
}

TEST(ProfileWrite, ChangesOnlyWhatItMust) {
  struct Case {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
  } cases[] = {
      {"replace keeps the key's spelling and line ends", "; c\r\n[Video]\r\nCorFundo=1\r\nX=2\r\n", "VIDEO",
       "CORFUNDO", "4", "; c\r\n[Video]\r\nCorFundo=4\r\nX=2\r\n"},
      {"new key goes after the section's last line", "[A]\nx=1\n\n[B]\ny=2\n", "a", "z", "3",
       "[A]\nx=1\nz=3\n\n[B]\ny=2\n"},
      {"new section at the end", "[A]\nx=1\n", "B", "k", "v", "[A]\nx=1\n[B]\nk=v\n"},
      {"file without a final line end", "[A]\nx=1", "A", "y", "2", "[A]\nx=1\ny=2\n"},
      {"empty file", "", "ESCUTA", "FALANDO", "Sim", "[ESCUTA]\nFALANDO=Sim\n"},
      {"a key in another section is not touched", "[A]\nk=1\n[B]\n", "B", "k", "2", "[A]\nk=1\n[B]\nk=2\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::profileWithValue(c.before, c.section, c.key, c.value), c.after) << c.name;
  }
}

// The file is read again only when it has changed, and then always: a
// change of the same size within the same second, a file replaced, removed
// and made again, and writes through this process are all seen at once.
TEST(ProfileFile, EveryChangeIsSeenAtTheNextRead) {
  testsupport::ScratchDir dir;
  const std::string ini = dir / "Escuta.ini";
  auto read = [&] { return platform::readProfileString(ini, "ESCUTA", "FALANDO", "falta", 100); };
  EXPECT_EQ(read(), "falta");
  std::ofstream(ini) << "[ESCUTA]\nFALANDO=Sim\n";
  EXPECT_EQ(read(), "Sim");
  EXPECT_EQ(read(), "Sim");
  std::ofstream(ini) << "[ESCUTA]\nFALANDO=Nao\n";  // same size, at once
  EXPECT_EQ(read(), "Nao");
  std::ofstream(dir / "outro.ini") << "[ESCUTA]\nFALANDO=Outro\n";
  std::filesystem::rename(dir / "outro.ini", ini);
  EXPECT_EQ(read(), "Outro");
  std::filesystem::remove(ini);
  EXPECT_EQ(read(), "falta");
  ASSERT_TRUE(platform::writeProfileString(ini, "ESCUTA", "FALANDO", "Escrito"));
  EXPECT_EQ(read(), "Escrito");
  EXPECT_EQ(testsupport::slurp(ini), "[ESCUTA]\nFALANDO=Escrito\n");
}

// A file with NUL bytes is no settings file: its defaults are used, it is
// never written (a write would keep its bytes and add ours), and that is said
// once for as long as it stays as it is.
TEST(ProfileFile, AFileWithNulBytesIsLeftAlone) {
  testsupport::ScratchDir dir;
  const std::string ini = dir / "Escuta.ini";
  const char kBinary[] = "[ESCUTA]\nFALANDO=Sim\n\0\x7f" "ELF";
  const std::string binary(kBinary, sizeof kBinary - 1);
  std::ofstream(ini, std::ios::binary) << binary;
  testing::internal::CaptureStderr();
  EXPECT_EQ(platform::readProfileString(ini, "ESCUTA", "FALANDO", "padrao", 100), "padrao");
  EXPECT_EQ(platform::readProfileString(ini, "ESCUTA", "OUTRA", "x", 100), "x");
  EXPECT_FALSE(platform::writeProfileString(ini, "ESCUTA", "FALANDO", "Nao"));
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(testsupport::slurp(ini), binary);
  EXPECT_NE(said.find(ini + " holds NUL bytes"), std::string::npos) << said;
  EXPECT_EQ(said.find('\n'), said.size() - 1) << "said more than once: " << said;
}

}  // namespace
