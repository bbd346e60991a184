// The user's copy of the shared data: what is missing arrives, what the user
// changed or made stays.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "platform/base/paths.h"
#include "support/scratch.h"

namespace {

using testsupport::slurp;

void write(const std::string& file, const std::string& text) { std::ofstream(file) << text; }

TEST(SeedMissing, CopiesWhatIsMissingAndKeepsWhatTheUserHas) {
  testsupport::ScratchDir scratch;
  const std::string share = scratch.path() + "/share", user = scratch.path() + "/user";
  for (const char* dir : {"/share", "/share/audiwin", "/share/audiwin/som", "/share/telinha", "/user", "/user/audiwin"})
    mkdir((scratch.path() + dir).c_str(), 0755);
  write(share + "/audiwin/som/letras.wav", "shipped");
  write(share + "/audiwin/regras.rgr", "shipped rules");
  write(share + "/telinha/notas.txt", "shipped notes");
  write(user + "/audiwin/regras.rgr", "the user's rules");
  write(user + "/telinha", "a file of the user's where a folder is shipped");
  chmod((share + "/audiwin/som/letras.wav").c_str(), 0444);

  std::string error;
  ASSERT_TRUE(platform::seedMissing(share, user, error)) << error;
  EXPECT_EQ(slurp(user + "/audiwin/som/letras.wav"), "shipped");
  EXPECT_EQ(slurp(user + "/audiwin/regras.rgr"), "the user's rules");
  EXPECT_EQ(slurp(user + "/telinha"), "a file of the user's where a folder is shipped");
  struct stat st;
  ASSERT_EQ(stat((user + "/audiwin/som/letras.wav").c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IWUSR) << "the user's copy must be the user's to change";

  // A file the user deleted or a new one of an upgrade arrives on the next
  // seeding; the user's change survives it.
  write(user + "/audiwin/som/letras.wav", "changed");
  write(share + "/audiwin/som/novo.wav", "new");
  ASSERT_TRUE(platform::seedMissing(share, user, error)) << error;
  EXPECT_EQ(slurp(user + "/audiwin/som/letras.wav"), "changed");
  EXPECT_EQ(slurp(user + "/audiwin/som/novo.wav"), "new");
  EXPECT_EQ(slurp(share + "/audiwin/som/letras.wav"), "shipped");
  // Nothing but the copies: no file the copying wrote along the way.
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(user + "/audiwin/som")) names.insert(e.path().filename());
  EXPECT_EQ(names, (std::set<std::string>{"letras.wav", "novo.wav"}));
}

TEST(SeedMissing, SaysWhyWhenTheSharedDataCannotBeRead) {
  testsupport::ScratchDir scratch;
  std::string error;
  EXPECT_FALSE(platform::seedMissing(scratch.path() + "/absent", scratch.path() + "/user", error));
  EXPECT_NE(error.find("absent"), std::string::npos) << error;
}

}  // namespace
