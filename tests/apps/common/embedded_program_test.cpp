// A program with its script built in: the files joined in order, Windows-1252
// text and backslashes kept byte for byte, PARAMS from every argument, and
// --check over the built-in lines.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "support/scratch.h"

namespace {

using testsupport::slurp;

struct Outcome {
  int status;
  std::string out;
};

Outcome run(const testsupport::ScratchDir& dir, const std::string& arguments) {
  const std::string cmd = "cd " + dir.path() + " && " EMBUTIDO " " + arguments + " >out.txt 2>&1";
  const int raw = std::system(cmd.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(dir / "out.txt")};
}

TEST(EmbeddedProgram, RunsItsBuiltInLinesWithTheirTextIntact) {
  testsupport::ScratchDir dir;
  const Outcome r = run(dir, "--frontend headless --config-dir . --transcript t.txt um dois");
  EXPECT_EQ(r.status, 0) << r.out;
  const std::string t = slurp(dir / "t.txt");
  EXPECT_NE(t.find("TITLE\tembutido"), std::string::npos) << t;
  EXPECT_NE(t.find("SHOW\tOlá: 2 um dois"), std::string::npos) << t;
  EXPECT_NE(t.find("SHOW\tAção, ênfase e 'aspas'"), std::string::npos) << t;
  EXPECT_NE(t.find("SHOW\tc:\\\\pasta\\\\arquivo.txt 100% feito"), std::string::npos) << t;
}

TEST(EmbeddedProgram, CheckLooksOverTheBuiltInLines) {
  testsupport::ScratchDir dir;
  const Outcome r = run(dir, "--check");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(r.out.ends_with(": sem problemas\n")) << r.out;
}

}  // namespace
