#include "platform/base/profile.h"

#include <gtest/gtest.h>

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

}  // namespace
