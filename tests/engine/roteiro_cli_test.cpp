// roteiro's own command line: help, the checks of --check, and the scripts
// it refuses before anything runs.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "support/scratch.h"

namespace {

using testsupport::slurp;

struct Outcome {
  int status;
  std::string out, err;
};

class Roteiro : public ::testing::Test {
 protected:
  Outcome run(const std::string& arguments) {
    const std::string& d = dir_.path();
    const std::string cmd = "cd " + d + " && " ROTEIRO " " + arguments + " >" + d + "/out.txt 2>" + d + "/err.txt";
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(d + "/out.txt"), slurp(d + "/err.txt")};
  }
  std::string script(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
    return dir_ / name;
  }
  std::string headless() { return "--frontend headless --config-dir " + dir_.path() + " --transcript t.txt "; }
  testsupport::ScratchDir dir_;
};

TEST_F(Roteiro, HelpTellsTheScriptAuthorTheOptions) {
  const Outcome r = run("--help");
  EXPECT_EQ(r.status, 0);
  for (const char* word : {"SCRIPT", "PARAMS", "--check", "5000 lines", "--keys", "--transcript", "Exit status"})
    EXPECT_NE(r.out.find(word), std::string::npos) << word;
}

TEST_F(Roteiro, CheckReportsWhatWouldFailWithoutRunning) {
  const std::string s = script("s.txt",
                               "escreve \"nada disto corre\"\n"
                               "escreva \"x\"\n"
                               "desvia @fim\n"
                               "chama @existe\n"
                               "se 1 = 1 fim se\n"
                               "se $x = \"a\" desvia @outro\n"
                               "se (a+1) > 2 escreva\n"  // the condition needs values: not followed
                               "sensor liga\n"  // a command still to come
                               "@existe\n");
  const Outcome r = run("--check " + s);
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.out, s + ":2: unknown command ESCREVA\n" +
                   s + ":3: missing label @fim\n" +
                   s + ":5: FIM cannot follow a one-line SE\n" +
                   s + ":6: missing label @outro\n" +
                   s + ":8: command not available yet: SENSOR\n");
}

TEST_F(Roteiro, CheckPassesTheBundledDemo) {
  const Outcome r = run("--check " DEMO_SCRIPT);
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.out, "");
}

TEST_F(Roteiro, RefusesWhatItCannotRun) {
  struct Case {
    const char* what;
    std::string arguments;
    const char* message;
  } cases[] = {
      {"no script", headless(), "no SCRIPT given"},
      {"missing file", headless() + "nada.txt", "cannot read the script nada.txt"},
      {"too long", headless() + script("longo.txt", std::string(5001, '\n') + "*"), "more than 5000 lines"},
      {"bad option", "--frontend nada s.txt", "unknown frontend"},
  };
  for (const Case& c : cases) {
    const Outcome r = run(c.arguments);
    EXPECT_EQ(r.status, 2) << c.what;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << ": " << r.err;
  }
}

TEST_F(Roteiro, RunsAScriptOfExactly5000LinesAndOneWithAByteOrderMark) {
  std::string lines;
  for (int i = 1; i < 5000; ++i) lines += "* linha\n";
  lines += "termina mudo";
  Outcome r = run(headless() + script("cheio.txt", lines));
  EXPECT_EQ(r.status, 0) << r.err;
  r = run(headless() + script("bom.txt", "\xEF\xBB\xBF" "escreve mudo \"ol\xC3\xA1\"\ntermina mudo\n"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(slurp(dir_ / "t.txt").find("SHOW\tol\xC3\xA1\\r\\n"), std::string::npos) << slurp(dir_ / "t.txt");
}

// A sped-up headless clock changes how long a run takes, nothing else: the
// same events in the same order and the same sound, sample for sample, with
// keys that wait for the speech to end and a pause between them.
TEST_F(Roteiro, AFasterClockKeepsEveryEventAndEverySample) {
  const std::string s = script("fala.txt",
                               "escreve \"Ponto, 12.\"\n"
                               "le tecla $t\n"
                               "espera ms 700\n"
                               "soletra \"ab\"\n"
                               "le $linha\n"
                               "escreve $linha \" \" hora\n"
                               "termina\n");
  std::ofstream(dir_ / "k.txt") << "key a\ntype ol\xC3\xA1\nkey Enter\n";
  std::string seen[2], heard[2];
  for (int i = 0; i < 2; ++i) {
    const std::string speed = i == 0 ? "1" : "25";
    const Outcome r = run("--frontend headless --config-dir " + dir_.path() + " --keys k.txt --transcript t" +
                          speed + ".txt --audio-out a" + speed + ".wav --clock-speed " + speed + " " + s);
    ASSERT_EQ(r.status, 0) << r.err;
    seen[i] = slurp(dir_ / ("t" + speed + ".txt"));
    heard[i] = slurp(dir_ / ("a" + speed + ".wav"));
  }
  EXPECT_EQ(seen[0], seen[1]);
  EXPECT_GT(heard[0].size(), 20000u);
  EXPECT_TRUE(heard[0] == heard[1]) << heard[0].size() << " vs " << heard[1].size() << " bytes";
}

// A configuration folder given relative to where the program starts stays
// the same folder after the script changes directory, for the programs it
// starts too.
TEST_F(Roteiro, ARelativeConfigurationFolderSurvivesAChangeOfDirectory) {
  std::filesystem::create_directories(dir_ / "cfg");
  std::filesystem::create_directories(dir_ / "sub");
  const std::string s = script("s.txt",
                               "dir troca \"sub\"\n"
                               "executa \"sh\" &&&\n"
                               "enviacmd \"echo $ESCUTA_CONFIG_DIR > onde.txt\"\n"
                               "enviacmd \"exit\"\n"
                               "termina mudo\n");
  const Outcome r = run("--frontend headless --config-dir cfg " + s);
  EXPECT_EQ(r.status, 0) << r.err;
  std::string seen;
  for (int i = 0; i < 100 && !seen.ends_with("\n"); ++i) {
    seen = slurp(dir_ / "sub/onde.txt");
    if (!seen.ends_with("\n")) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_EQ(seen, dir_ / "cfg" + "\n");
}

}  // namespace
