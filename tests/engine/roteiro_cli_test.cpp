// roteiro's own command line: help, the checks of --check, and the scripts
// it refuses before anything runs.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
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
  for (const char* word : {"SCRIPT", "PARAMS", "--check", "5000 lines", "--keys", "--transcript", "Exit status",
                           "3 the key script ran", "headless time limit", "output file that could not be written", "130", "ESCUTA_ROOT", "c:\\x is",
                           "type TEXT", "key NAME", "wait MS", "Ctrl+"})
    EXPECT_NE(r.out.find(word), std::string::npos) << word;
  EXPECT_NE(r.out.find("sdl|tty|headless"), std::string::npos) << "every frontend is offered";
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
                               "@existe\n");
  const Outcome r = run("--check " + s);
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.out, s + ":2: unknown command ESCREVA\n" +
                   s + ":3: missing label @fim\n" +
                   s + ":5: FIM cannot follow a one-line SE\n" +
                   s + ":6: missing label @outro\n");
}

TEST_F(Roteiro, CheckPassesTheBundledDemo) {
  const Outcome r = run("--check " DEMO_SCRIPT);
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.out, DEMO_SCRIPT ": sem problemas\n");
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
      {"too large", headless() + script("grande.txt", std::string((16 << 20) + 1, ' ')), "larger than 16 MiB"},
      {"endless", headless() + "/dev/zero", "larger than 16 MiB"},
      {"screen dump in no folder", headless() + "--screen-out nada/tela.txt " + script("s.txt", "termina mudo\n"),
       "cannot write the screen dump nada/tela.txt"},
      {"transcript in no folder", "--frontend headless --transcript nada/t.txt s.txt",
       "cannot write the transcript nada/t.txt"},
  };
  for (const Case& c : cases) {
    const Outcome r = run(c.arguments);
    EXPECT_EQ(r.status, 2) << c.what;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << ": " << r.err;
    EXPECT_TRUE(r.err.starts_with("roteiro: ")) << c.what << ": named by its path: " << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "nada")) << "a folder was made for an output";
}

// The title says the program ended only when it ended normally, never over
// an execution error.
TEST_F(Roteiro, TheTitleTellsANormalEndOnly) {
  std::ofstream(dir_ / "k.txt") << "key Enter\n";
  for (const auto& [text, status] : {std::pair{"escreve mudo \"ok\"\n", 0}, {"desvia @nenhum\n", 1}}) {
    const Outcome r = run(headless() + "--keys k.txt " + script("s.txt", text));
    EXPECT_EQ(r.status, status) << text << r.err;
    EXPECT_EQ(slurp(dir_ / "t.txt").find("TITLE\tPrograma terminado") != std::string::npos, status == 0)
        << text << slurp(dir_ / "t.txt");
  }
}

// A record that could not be written whole is no normal end: the run says
// which file, once, and its status is 2.
TEST_F(Roteiro, OutputsThatCannotBeWrittenMakeTheStatusTwo) {
  const std::string s = script("s.txt", "escreve \"ola\"\n");
  for (const auto& [option, what] : {std::pair{"--transcript", "the transcript"}, {"--screen-out", "the screen dump"},
                                     {"--audio-out", "the sound recording"}}) {
    const Outcome r = run(std::string("--frontend headless ") + option + " /dev/full " + s);
    EXPECT_EQ(r.status, 2) << option;
    EXPECT_EQ(r.err, std::string("roteiro: cannot write ") + what + " /dev/full: No space left on device\n") << option;
  }
}

// The screen dump sent to standard output, or to a pipe, follows what was
// written there before: a log that the shell sends to a file is neither cut
// back to its start nor overwritten.
TEST_F(Roteiro, TheScreenDumpAddsToStandardOutputAndPipes) {
  const std::string s = script("s.txt", "escreve mudo \"ol\xE1\"\ntermina mudo\n");
  const std::string d = dir_.path();
  for (const char* destination : {"-", "/dev/stdout", "/dev/fd/1", "fifo"}) {
    const std::string to = std::string(destination) == "fifo" ? d + "/fila" : destination;
    const std::string reader = std::string(destination) == "fifo" ? "mkfifo fila && { cat fila & } && " : "";
    const std::string cmd = "cd " + d + " && rm -f fila && { echo antes; " + reader + ROTEIRO " " + headless() +
                            "--screen-out " + to + " " + s + "; wait; echo depois; } > log.txt";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << destination;
    const std::string log = slurp(dir_ / "log.txt");
    EXPECT_TRUE(log.starts_with("antes\nol\xC3\xA1\n")) << destination << ": " << log;
    EXPECT_TRUE(log.ends_with("\n\ndepois\n")) << destination << ": " << log;
    EXPECT_EQ(log.find('\0'), std::string::npos) << destination;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 27) << destination << ": 25 rows between the two lines";
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

// A key script is read as its keys are needed: a 10 MB "type" line or a
// million lines take no more memory than a short script (they took 2.4 GB
// and 259 MB when the whole script was expanded before the run). The script
// reports the program's peak memory, then ends after two keys.
TEST_F(Roteiro, KeyScriptsAreReadAsTheKeysAreNeeded) {
  const std::string s = script("pico.txt",
                               "le tecla a\nle tecla b\n"
                               "abre #1 \"/proc/self/status\"\n"
                               "@linha\nle #1 l\nse nao l =* \"VmHWM:\" desvia @linha\n"
                               "copia l l 7 99\nescreve mudo \"pico \" l\ntermina mudo\n");
  std::string million;
  for (int i = 0; i < 1000000; ++i) million += "key Enter\n";
  const struct {
    const char* what;
    std::string keys;
  } cases[] = {{"two keys", "key a\nkey b\n"},
               {"a 10 MB type line", "type " + std::string(10 << 20, 'x') + "\n"},
               {"a million lines", million}};
  // Under AddressSanitizer freed memory waits in its quarantine, which is
  // not the program's: measured without it. Other builds ignore the setting.
  const char* given = std::getenv("ASAN_OPTIONS");
  const std::optional<std::string> asan = given ? std::optional<std::string>(given) : std::nullopt;
  setenv("ASAN_OPTIONS", ((asan ? *asan + ":" : "") + "quarantine_size_mb=0").c_str(), 1);
  long peakKb[3] = {};
  for (int i = 0; i < 3; ++i) {
    std::ofstream(dir_ / "k.txt", std::ios::binary) << cases[i].keys;
    const Outcome r = run(headless() + "--clock-speed 100 --keys k.txt " + s);
    ASSERT_EQ(r.status, 0) << cases[i].what << ": " << r.err;
    const std::string t = slurp(dir_ / "t.txt");
    const size_t at = t.find("SHOW\tpico ");
    ASSERT_NE(at, std::string::npos) << cases[i].what << ": " << t;
    peakKb[i] = std::stol(t.substr(t.find_first_of("0123456789", at)));
  }
  for (int i = 1; i < 3; ++i) EXPECT_LT(peakKb[i], peakKb[0] + 30 * 1024) << cases[i].what;
  if (asan) setenv("ASAN_OPTIONS", asan->c_str(), 1);
  else unsetenv("ASAN_OPTIONS");
}

// Messages that repeat outside input print its control characters escaped:
// a key script's bad line, an option's value, a script's unknown command.
TEST_F(Roteiro, MessagesNeverPassControlCharactersToTheTerminal) {
  std::ofstream(dir_ / "k.txt") << "key \x1b]0;titulo\x07\x1b[2J\n";
  Outcome r = run(headless() + "--keys k.txt " + script("s.txt", "termina mudo\n"));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("line 1: unknown key '\\x1b]0;titulo\\x07\\x1b[2J'"), std::string::npos) << r.err;
  r = run("--frontend \"$(printf 'a\\033[2Jb')\" s.txt");
  EXPECT_NE(r.err.find("unknown frontend a\\x1b[2Jb"), std::string::npos) << r.err;
  r = run("--check " + script("c.txt", "escreva\x1b[2J \"x\"\n"));
  EXPECT_NE(r.out.find("unknown command ESCREVA\\x1b[2J"), std::string::npos) << r.out;
  for (const std::string& printed : {r.out, r.err}) EXPECT_EQ(printed.find('\x1b'), std::string::npos) << printed;
}

// A program ended by a signal says so by its status, as a shell would, and
// still leaves the screen dump.
TEST_F(Roteiro, SignalsEndTheRunWithTheirStatusAndTheScreenWritten) {
  const std::string s = script("s.txt", "escreve \"ol\xE1\"\nespera 60\n");
  for (const auto& [signal, status] : {std::pair{"INT", 130}, {"TERM", 143}, {"HUP", 129}}) {
    std::filesystem::remove(dir_ / "t.txt");
    std::filesystem::remove(dir_ / "tela.txt");
    // The run's own folder is the background job's: the wait reads the transcript by its full name.
    const std::string shown = "grep -q SHOW " + dir_.path() + "/t.txt 2>/dev/null";
    const Outcome r = run("--frontend headless --transcript t.txt --screen-out tela.txt " + s +
                          " & p=$!; for i in $(seq 200); do " + shown + " && break; sleep 0.05; done; kill -" +
                          signal + " $p; wait $p");
    EXPECT_EQ(r.status, status) << signal << ": " << r.err;
    EXPECT_TRUE(slurp(dir_ / "tela.txt").starts_with("ol\xC3\xA1\n")) << signal;
  }
}

// With no sound output to open, the user is told once why all is silent, the
// sound libraries say nothing of their own, and speech still takes its time.
TEST_F(Roteiro, AMachineWithoutSoundSaysSoOnceAndKeepsTheTime) {
  const std::string s = script("s.txt", "escreve \"um dois tr\xEAs\"\nescreve \"quatro cinco\"\n");
  double seconds[2] = {};
  Outcome r[2];
  ::setenv("SDL_AUDIODRIVER", "nenhum", 1);  // a driver that cannot open, whatever the machine has
  for (int i = 0; i < 2; ++i) {
    const auto start = std::chrono::steady_clock::now();
    r[i] = run(std::string(i == 0 ? "" : "--audio-device ") + headless() + s);
    seconds[i] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  ::unsetenv("SDL_AUDIODRIVER");
  for (const Outcome& o : r) ASSERT_EQ(o.status, 0) << o.err;
  const std::string& said = r[1].err;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_TRUE(said.starts_with("roteiro: Sem sa\xC3\xAD" "da de som: ")) << said;
  EXPECT_TRUE(said.ends_with("; o programa continua em sil\xC3\xAAncio\n")) << said;
  EXPECT_GT(seconds[1], 0.8 * seconds[0]) << "the silent run did not keep the speech's time";
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
                               "executa \"sh -c \"\"stdbuf -o0 tr -d '\\r' | sh\"\"\" &&&\n"
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
