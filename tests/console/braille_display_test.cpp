// The braille display line against a real BRLTTY, started privately with its
// Virtual driver: the test is the display, roteiro runs headless with --braille.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/brltty.h"
#include "support/scratch.h"

namespace {

using testsupport::PrivateBrltty;
using testsupport::ScratchDir;

// A roteiro run in the background, its transcript in a scratch folder.
class Program {
 public:
  Program(const PrivateBrltty& brltty, const std::string& script) {
    std::ofstream(dir_ / "script.txt") << script;
    std::ofstream(dir_ / "Escuta.ini") << "[ESCUTA]\r\n";
    const std::string cmd = brltty.environment() + " exec " ROTEIRO " --frontend headless --braille --time-limit 60 "
                            "--config-dir " + dir_.path() + " --transcript " + (dir_ / "t.txt") + " " +
                            (dir_ / "script.txt") + " 2>" + (dir_ / "err.txt");
    pid_ = fork();
    if (pid_ == 0) {
      execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~Program() {
    if (status_ < 0 && pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  // Its exit status once it has ended within timeoutMs; -1 otherwise.
  int wait(int timeoutMs = 20000) {
    for (int waited = 0; status_ < 0 && waited < timeoutMs; waited += 20) {
      int raw;
      if (waitpid(pid_, &raw, WNOHANG) == pid_) status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128;
      else usleep(20000);
    }
    return status_;
  }
  // The key code texts it read, one a line.
  std::string keys() const {
    std::istringstream lines(testsupport::slurp(dir_ / "t.txt"));
    std::string keys;
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("KEY\t", 0) == 0) keys += line.substr(4) + "\n";
    }
    return keys;
  }
  std::string errors() const { return testsupport::slurp(dir_ / "err.txt"); }

 private:
  ScratchDir dir_;
  pid_t pid_ = -1;
  int status_ = -1;
};

// Each row is written on a clear screen; a key moves on to the next.
TEST(BrailleDisplay, RowsAreWrittenInPortugueseBraille) {
  struct Case {
    const char* row;  // Windows-1252
    const char* dots;
  };
  const Case cases[] = {
      {"Total: 1.250", "46|2345|135|2345|1|123|25| |3456|1|3|12|15|245"},
      {"ABC def", "46|46|1|12|14| |145|15|124"},
      {"3\xBA andar", "3456|25|135| |1|1345|145|1|1235"},               // 3º: an ordinal
      {"(12) a\xE7\xE3o", "126|3456|1|12|345| |1|12346|345|135"},       // (12) ação
      {"50% \xC9 ~", "3456|15|245|456|356| |46|123456| |5"},            // 50% É ~
  };
  PrivateBrltty brltty;
  ASSERT_TRUE(brltty.ready());
  std::string script;
  for (const Case& c : cases) script += std::string("TELA LIMPA\r\nESCREVE \"") + c.row + "\"\r\nLE TECLA A\r\n";
  Program program(brltty, script);
  for (const Case& c : cases) {
    EXPECT_TRUE(brltty.waitFor(c.dots)) << c.row << ": " << brltty.shown();
    brltty.press("LnDn");
  }
  EXPECT_EQ(program.wait(), 0) << program.errors();
}

TEST(BrailleDisplay, TheDisplayFollowsTheCursorFromRowToRow) {
  PrivateBrltty brltty;
  ASSERT_TRUE(brltty.ready());
  Program program(brltty,
                  "TELA @1,1\r\nESCREVE \"um\"\r\nTELA @1,2\r\nESCREVE \"dois\"\r\nLE TECLA A\r\n"
                  "TELA @5,1\r\nLE TECLA A\r\nTELA @1,2\r\nLE TECLA A\r\n");
  const char* um = "136|134";
  const char* dois = "145|135|24|234";
  for (const char* row : {dois, um, dois}) {
    EXPECT_TRUE(brltty.waitFor(row)) << brltty.shown();
    brltty.press("LnDn");
  }
  EXPECT_EQ(program.wait(), 0) << program.errors();
}

TEST(BrailleDisplay, TheDisplaysKeysArriveAsTheirCodes) {
  struct Case {
    const char* command;  // of the Virtual driver
    const char* key;
  };
  const Case cases[] = {
      {"LnUp", "#0#72"},       {"LnDn", "#0#80"},          {"LnBeg", "#0#71"},       {"LnEnd", "#0#79"},
      {"PassDots 64", "#8"},   {"PassDots 128", "#13"},    {"PassDots 192", "#27"},  {"PassDots 11", "f"},
      {"PassDots 4", "."},     {"PassDots 49", "@"},       {"PassDots 47", "\xC3\xA7"},  // ç
      {"Top", "?"},            {"Route 3", "?"},           // keys the console does not know
  };
  PrivateBrltty brltty;
  ASSERT_TRUE(brltty.ready());
  std::string script = "ESCREVE \"teclas\"\r\n", expected;
  for (const Case& c : cases) {
    script += "LE TECLA A\r\n";
    expected += std::string(c.key) + "\n";
  }
  Program program(brltty, script);
  ASSERT_TRUE(brltty.waitFor("2345|15|14|123|1|234")) << brltty.shown();
  // One at a time, as fingers press them: the Virtual driver takes one
  // command from each read of its socket.
  for (const Case& c : cases) {
    brltty.press(c.command);
    usleep(100000);
  }
  EXPECT_EQ(program.wait(), 0) << program.errors();
  EXPECT_EQ(program.keys(), expected);
}

}  // namespace
