#include "platform/base/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

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

// The current directory for one block, given back at its end.
class InDirectory {
 public:
  explicit InDirectory(const std::string& dir) : was_(getcwd(nullptr, 0)) { EXPECT_EQ(chdir(dir.c_str()), 0) << dir; }
  ~InDirectory() {
    EXPECT_EQ(chdir(was_), 0);
    free(was_);
  }

 private:
  char* was_;
};

struct Mapped {
  std::string path;
  std::string expected;
};

void expectMapped(const std::vector<Mapped>& cases) {
  for (const Mapped& c : cases) EXPECT_EQ(platform::hostPath(c.path), c.expected) << c.path;
}

// ".." stops at a drive's root, which is the data root, whatever separators,
// drive letters or shares a path uses: no script reaches outside it.
TEST_F(Paths, DotDotNeverClimbsAboveTheDataRoot) {
  const testsupport::ScratchDir elsewhere;
  InDirectory outside(elsewhere.path());
  expectMapped({
      {"c:\\..\\x", root_ + "/x"},
      {"c:\\..\\..\\..\\..\\..\\etc\\passwd", root_ + "/etc/passwd"},
      {"c:\\a\\..\\..\\..\\x", root_ + "/x"},
      {"c:\\audiwin\\.\\..\\AUDIWIN\\som\\.\\letras.wav", root_ + "/AudiWin/Som/Letras.WAV"},
      {"c:/audiwin\\../..\\x", root_ + "/x"},
      {"C:\\..\\..", root_},
      {"\\..\\..\\x", root_ + "/x"},
      {"/\\..\\x", root_ + "/x"},
      {"\\\\server\\share\\f.txt", root_ + "/server/share/f.txt"},
      {"\\\\server\\share\\..\\..\\..\\x", root_ + "/x"},
      {"//server/../../x", "/server/../../x"},  // a Linux path, as Linux reads it
      {"c:x", root_ + "/x"},                    // a drive's current directory, when ours lies elsewhere
      {"c:..\\..\\x", root_ + "/x"},
      {"c:", root_},
      {std::string("c:\\..") + '\0' + "x\\..", root_},  // a NUL ends the name, as the kernel would read it
      {"..\\x", "../x"},                        // relative paths elsewhere stay relative
      {"a\\..\\..\\..\\x", "../../x"},
  });
}

// From a folder below the data root, relative and drive-relative paths climb
// at most to the root.
TEST_F(Paths, RelativePathsFromBelowTheRootStopThere) {
  {
    InDirectory below(root_ + "/AudiWin");
    expectMapped({
        {"..\\..\\x", "../x"},
        {"som\\..\\..\\..\\..\\x", "../x"},
        {"..\\AUDIWIN\\som\\letras.wav", "../AudiWin/Som/Letras.WAV"},
        {"c:..\\..\\..\\x", "../x"},
        {"c:som", "Som"},
        {"../../", "../"},
        {"relativo\\a.txt", "relativo/a.txt"},
    });
  }
  InDirectory atRoot(root_);
  expectMapped({{"..", "."}, {"..\\..\\x", "x"}, {"c:..\\x", "x"}});
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
