// A program rewriting an INI file is killed at random moments, again and
// again: the file always holds the old or the new text whole.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "ini_rewrite_values.h"
#include "platform/base/profile.h"
#include "support/scratch.h"

namespace {

const char kFirstText[] =
    "[Video]\r\n"
    "CorFundo=1\r\n"
    "\r\n"
    "[Teste]\r\n"
    "antes=sim\r\n"
    "carga=0:inicial:0\r\n"
    "depois=sim\r\n";

// The number of the value the text was written with; -1 when the text is
// not one the writer could have left whole.
long wholeVersion(const std::string& text) {
  const std::string value = platform::profileValue(text, kRewriteSection, kRewriteKey, "", 1u << 20);
  if (text == kFirstText) return 0;
  unsigned n = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), n);
  if (error != std::errc() || end == value.data()) return -1;
  return platform::profileWithValue(kFirstText, kRewriteSection, kRewriteKey, rewriteValue(n)) == text
             ? static_cast<long>(n)
             : -1;
}

TEST(AtomicRewrite, KilledWriterLeavesOldOrNewTextWhole) {
  testsupport::ScratchDir dir;
  const std::string ini = dir / "Escuta.ini";
  {
    std::FILE* f = std::fopen(ini.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs(kFirstText, f);
    std::fclose(f);
  }
  std::mt19937 random(12345);
  long newest = 0;
  for (int round = 0; round < 60; ++round) {
    int begun[2];
    ASSERT_EQ(pipe(begun), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      dup2(begun[1], STDOUT_FILENO);
      execl(INI_REWRITER, INI_REWRITER, ini.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    close(begun[1]);
    char sign = 0;
    ASSERT_EQ(read(begun[0], &sign, 1), 1) << "the writer did not start";
    close(begun[0]);
    usleep(std::uniform_int_distribution<useconds_t>(0, 40000)(random));
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself, status " << status;

    const std::string text = testsupport::slurp(ini);
    const long version = wholeVersion(text);
    ASSERT_GE(version, 0) << "round " << round << ": a mixed or cut file of " << text.size() << " bytes";
    newest = std::max(newest, version);
  }
  // Writes did happen under the kills, not only the first text surviving.
  EXPECT_GT(newest, 0);

  // The next write clears the unfinished replacements the killed writers left.
  ASSERT_TRUE(platform::writeProfileString(ini, kRewriteSection, kRewriteKey, "fim"));
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    left.push_back(entry.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{"Escuta.ini"});
}

}  // namespace
