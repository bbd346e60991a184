// Starting and watching real programs from scripts, headless.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/roteiro_run.h"

namespace {

namespace fs = std::filesystem;
using testsupport::runScript;
using testsupport::ScratchDir;
using testsupport::slurp;

// A started program runs on after the script: its traces come in a while.
std::string awaitFile(const std::string& file) {
  for (int i = 0; i < 100 && slurp(file).empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  return slurp(file);
}

void writeProgram(const std::string& file, const std::string& body) {
  std::ofstream(file) << "#!/bin/sh\n" << body << "\n";
  ::chmod(file.c_str(), 0755);
}

TEST(Executa, QuotedProgramNameWithBlanksGetsItsParameters) {
  ScratchDir dir;
  writeProgram(dir / "meu prog", "printf '%s|' \"$@\" > args.txt");
  const auto run = runScript(dir, "executa \"\"\".\\meu prog\"\" um \"\"dois  tres\"\" quatro\" &\n");
  EXPECT_EQ(run.seen, "RUN ./meu prog um dois  tres quatro\n");
  EXPECT_EQ(awaitFile(dir / "args.txt"), "um|dois  tres|quatro|");
}

TEST(Executa, ChildrenGetNoFilesOfThisRunAndNoOpenDescriptors) {
  ScratchDir dir;
  // Written aside and renamed, so the test never reads it half written.
  writeProgram(dir / "ver", "{ ls /proc/self/fd; env | grep '^ESCUTA_' | sort; } > visto.tmp && mv visto.tmp visto.txt");
  const auto run = runScript(dir, "abre #1 \"aberto.txt\" &\nexecuta \"./ver\" &\n");
  EXPECT_EQ(run.status, 0);
  const std::string seen = awaitFile(dir / "visto.txt");
  // Descriptors 0 to 2, and the one ls opens to list them.
  EXPECT_EQ(seen.substr(0, seen.find("ESCUTA")), "0\n1\n2\n3\n");
  EXPECT_EQ(seen.find("ESCUTA_TRANSCRIPT"), std::string::npos);
  EXPECT_EQ(seen.find("ESCUTA_KEYS"), std::string::npos);
  EXPECT_NE(seen.find("ESCUTA_CONFIG_DIR"), std::string::npos);
}

TEST(Executa, WithoutAmpersandWaitsForTheUserThenGoesOn) {
  ScratchDir dir;
  const auto run = runScript(dir, "executa \"true\"\nescreve mudo \"de volta\"\n");
  EXPECT_EQ(run.seen, "RUN /usr/bin/true\nSHOW de volta\n");
}

TEST(Executa, RefusesWhatCannotStart) {
  struct Row {
    const char* script;
    const char* seen;
  };
  const Row rows[] = {
      {"executa \"nao_ha_tal_programa\" &\n", "ERROR 1\n"},
      {"executa \"true\" \"x\" &\n", "ERROR 1\n"},
      {"executa &\n", "ERROR 1\n"},
  };
  for (const Row& r : rows) {
    ScratchDir dir;
    EXPECT_EQ(runScript(dir, r.script).seen, r.seen) << r.script;
  }
}

// Documents, folders and addresses are opened with the desktop's program
// for them, xdg-open: here a stand-in on PATH that notes its argument and
// where its output goes (nowhere when started hidden).
TEST(Executa, OpensDocumentsAndAddressesWithTheDesktop) {
  struct Row {
    const char* script;
    const char* target;  // below the scratch folder when it starts with "/"
    bool hidden;
  };
  const Row rows[] = {
      {"executa \"carta.txt\" &\n", "/carta.txt", false},
      {"executa \"Pasta\\carta.txt\" &\n", "/Pasta/carta.txt", false},
      {"executa \"Pasta\" &&\n", "/Pasta", true},
      {"executa \"https://exemplo.com.br/busca?q=1\" &&\n", "https://exemplo.com.br/busca?q=1", true},
      {"executa \"www.exemplo.com.br\" &\n", "http://www.exemplo.com.br", false},
      {"executa \"mailto:alguem@exemplo.com.br\" &\n", "mailto:alguem@exemplo.com.br", false},
      {"executa \"carta.txt\"\n", "/carta.txt", false},
  };
  for (const Row& r : rows) {
    ScratchDir dir;
    writeProgram(dir / "xdg-open",
                 "printf '%s|%s' \"$*\" \"$(readlink /proc/$$/fd/1)\" > aberto.tmp && mv aberto.tmp aberto.txt");
    fs::create_directory(dir / "Pasta");
    std::ofstream(dir / "carta.txt") << "Prezado";
    std::ofstream(dir / "Pasta/carta.txt") << "Prezada";
    const std::string target = r.target[0] == '/' ? dir.path() + r.target : r.target;
    const auto run =
        runScript(dir, std::string(r.script) + "escreve mudo \"depois\"\n", "PATH=" + dir.path() + ":$PATH");
    EXPECT_EQ(run.seen, "RUN " + (dir / "xdg-open") + " " + target + "\nSHOW depois\n") << r.script;
    const std::string opened = awaitFile(dir / "aberto.txt");
    EXPECT_EQ(opened.substr(0, opened.find('|')), target) << r.script;
    EXPECT_EQ(opened.ends_with("|/dev/null"), r.hidden) << r.script << opened;
  }
}

// Neither a program nor a document: nothing to open.
TEST(Executa, AMissingDocumentIsNotOpened) {
  ScratchDir dir;
  writeProgram(dir / "xdg-open", "echo \"$*\" > aberto.txt");
  const auto run = runScript(dir, "executa \"nao_ha.txt\" &\n", "PATH=" + dir.path() + ":$PATH");
  EXPECT_EQ(run.seen, "ERROR 1\n");
  EXPECT_FALSE(fs::exists(dir / "aberto.txt"));
}

TEST(Existeprog, FindsARunningProgramByNameInAnyCaseWithOrWithoutExe) {
  ScratchDir dir;
  fs::copy_file("/bin/sleep", dir / "Dorme_Prog_Teste");
  const auto run = runScript(dir,
                             "existeprog \"dorme_prog_teste\" a\n"
                             "executa \".\\Dorme_Prog_Teste 3\" &&\n"
                             "existeprog \"DORME_PROG_TESTE.EXE\" b\n"
                             "existeprog \"dorme_prog_teste\" c\n"
                             "existeprog \"dorme_prog\" d\n"
                             "escreve mudo a b c d\n");
  EXPECT_EQ(run.seen, "RUN ./Dorme_Prog_Teste 3\nSHOW 0110\n");
}

// The processes whose program is this file.
std::vector<pid_t> runningFrom(const std::string& file) {
  std::vector<pid_t> pids;
  for (const auto& e : fs::directory_iterator("/proc")) {
    std::error_code error;
    if (fs::read_symlink(e.path() / "exe", error) == file) pids.push_back(std::atoi(e.path().filename().c_str()));
  }
  return pids;
}

// A program of another directory of Escuta.ini (another session of the
// suite) is not seen, even while it runs; one of this run's own is.
TEST(Existeprog, SeesOnlyProgramsOfItsOwnConfigurationDirectory) {
  ScratchDir dir;
  fs::copy_file("/bin/sleep", dir / "Dorme_Mesmo");
  fs::copy_file("/bin/sleep", dir / "Dorme_Outro");
  const auto run = runScript(dir,
                             "executa \".\\Dorme_Mesmo 30\" &&\n"
                             "executa \"env ESCUTA_CONFIG_DIR=" + dir / "outro" + " ./Dorme_Outro 30\" &&\n"
                             "espera ms 2000\n"
                             "existeprog \"dorme_mesmo\" a\n"
                             "existeprog \"dorme_outro\" b\n"
                             "escreve mudo a b\n");
  const std::vector<pid_t> other = runningFrom(dir / "Dorme_Outro");
  const std::vector<pid_t> same = runningFrom(dir / "Dorme_Mesmo");
  for (pid_t pid : other) ::kill(pid, SIGKILL);
  for (pid_t pid : same) ::kill(pid, SIGKILL);
  EXPECT_EQ(run.seen.substr(run.seen.rfind("SHOW")), "SHOW 10\n") << run.seen;
  EXPECT_EQ(other.size(), 1u) << "the other session's program ran all along";
}

TEST(Existeprog, NeedsANameAndAVariable) {
  ScratchDir dir;
  EXPECT_EQ(runScript(dir, "existeprog \"sh\"\n").seen, "ERROR 1\n");
}

// Each line reaches the piped child ended by CR LF, as console programs
// take their lines.
TEST(Enviacmd, SendsLinesEndedByCrLfToThePipedChild) {
  ScratchDir dir;
  const auto run = runScript(dir, "executa \"tee recebido.bin\" &&&\nenviacmd \"ola\"\nenviacmd \"dois\"\n");
  EXPECT_EQ(run.status, 0);
  std::string received;
  for (int i = 0; i < 100 && received != "ola\r\ndois\r\n"; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    received = slurp(dir / "recebido.bin");
  }
  EXPECT_EQ(received, "ola\r\ndois\r\n");
}

// A piped shell answers what ENVIACMD sends; LE CONSOLE gives its output and
// a CR LF before the error text (empty here), or the error text alone, and
// a final CR LF. A Linux shell is given its lines through a filter that
// drops the CR.
TEST(Enviacmd, APipedShellAnswersThroughLeConsole) {
  ScratchDir dir;
  const char* const kAwaitAnswer =
      "seja $r \"\"\n"
      "seja n 0\n"
      "enquanto $r = \"\" e n < 100\n"
      "  espera ms 20\n"
      "  le console $r\n"
      "  soma n 1\n"
      "fim enquanto\n"
      "escreve mudo \"[\" $r \"]\"\n";
  const auto run = runScript(dir, std::string("executa \"sh -c \"\"stdbuf -o0 tr -d '\\r' | sh\"\"\" &&&\n"
                                              "enviacmd \"echo ola\"\n") +
                                      kAwaitAnswer +
                                      "enviacmd \"echo falhou 1>&2\"\n" + kAwaitAnswer +
                                      "enviacmd \"exit\"\n");
  EXPECT_EQ(run.status, 0);
  ASSERT_TRUE(run.seen.starts_with("RUN /")) << run.seen;
  EXPECT_EQ(run.seen.substr(run.seen.find('\n') + 1), "SHOW [ola\\n\\r\\n\\r\\n]\nSHOW [falhou\\n\\r\\n]\n");
}

TEST(Enviacmd, WithoutAPipedChildSendsNothing) {
  ScratchDir dir;
  EXPECT_EQ(runScript(dir, "enviacmd \"x\"\nescreve mudo \"ok\"\n").seen, "SHOW ok\n");
}

TEST(Cmd, RunsALineButNoBlockKeyword) {
  ScratchDir dir;
  const auto run = runScript(dir,
                             "seja l \"se 1 = 1 escreve mudo \"\"sim\"\"\"\ncmd l\n"
                             "cmd \"escreve mudo \"\"dois\"\"\"\ncmd \"repete n 2\"\n");
  EXPECT_EQ(run.seen, "SHOW sim\nSHOW dois\nERROR 4\n");
}

}  // namespace
