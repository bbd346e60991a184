#include "platform/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "support/scratch.h"

namespace {

class Paths : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = scratch_.path();
    setenv("ESCUTA_ROOT", root_.c_str(), 1);
    mkdir((root_ + "/AudiWin").c_str(), 0755);
    mkdir((root_ + "/AudiWin/Som").c_str(), 0755);
    std::ofstream(root_ + "/AudiWin/Som/Letras.WAV") << "x";
  }
  testsupport::ScratchDir scratch_;
  std::string root_;
};

TEST_F(Paths, DriveAndRootedPathsLieBelowTheDataRoot) {
  struct Case {
    const char* path;
    std::string expected;
  } cases[] = {
      {"c:\\audiwin\\som\\letras.wav", root_ + "/AudiWin/Som/Letras.WAV"},
      {"C:/AUDIWIN/SOM/LETRAS.WAV", root_ + "/AudiWin/Som/Letras.WAV"},
      {"\\audiwin\\som\\", root_ + "/AudiWin/Som/"},
      {"d:\\audiwin\\novo\\arq.txt", root_ + "/AudiWin/novo/arq.txt"},  // missing parts stay as written
      {"/usr/share", "/usr/share"},
      {"relativo\\a.txt", "relativo/a.txt"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::hostPath(c.path), c.expected) << c.path;
}

TEST_F(Paths, ReplacesFilesAtomicallyAndReadsThemBack) {
  const std::string file = root_ + "/deep/er/f.txt";
  ASSERT_TRUE(platform::makeDirectories(root_ + "/deep/er"));
  ASSERT_TRUE(platform::replaceFileAtomically(file, "one"));
  ASSERT_TRUE(platform::replaceFileAtomically(file, "two"));
  std::string back;
  ASSERT_TRUE(platform::readWholeFile(file, back));
  EXPECT_EQ(back, "two");
  EXPECT_FALSE(platform::readWholeFile(root_ + "/none", back));
  EXPECT_FALSE(platform::replaceFileAtomically(root_ + "/no/such/dir/f", "x"));
}

TEST(ProgramDir, IsTheTestsOwnDirectory) {
  const std::string dir = platform::programDir();
  EXPECT_EQ(platform::programFile().substr(0, dir.size() + 1), dir + "/");
}

}  // namespace
