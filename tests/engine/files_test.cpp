// File, directory and byte-file commands run as scripts, headless: what the
// user sees, and what is left on disk.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <string>

#include "platform/base/paths.h"
#include "support/roteiro_run.h"

namespace {

namespace fs = std::filesystem;
using testsupport::runScript;
using testsupport::ScratchDir;
using testsupport::slurp;

constexpr const char* kAbsent = "<absent>";

struct Case {
  const char* name;
  std::map<std::string, std::string> files;  // a name ending in "/" is a folder
  std::string script;
  std::string seen;                          // "%DIR%" stands for the run's folder
  std::map<std::string, std::string> after;  // contents afterwards, or kAbsent
};

std::string replaced(std::string text, const std::string& what, const std::string& with) {
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size())) {
    text.replace(at, what.size(), with);
  }
  return text;
}

const Case kCases[] = {
    {"RemoveFindsTheNameInAnyCaseAndAmpersandHidesTheFailure",
     {{"a.txt", "x"}},
     "remove \"A.TXT\"\nremove \"a.txt\" &\nescreve mudo \"ok\"\nremove \"a.txt\"\n",
     "SHOW ok\nSHOW Erro no apagamento do arquivo a.txt\nERROR 4\n",
     {{"a.txt", kAbsent}}},
    {"RemoveOfAnEmptyNameFailsSilently", {}, "remove \"\" &\n", "ERROR 1\n", {}},
    {"RemoveDoesNotDeleteAFolder", {{"pasta/", ""}}, "remove \"pasta\"\n",
     "SHOW Erro no apagamento do arquivo pasta\nERROR 1\n", {}},
    {"RenomeiaNeverReplacesAnExistingFile",
     {{"velho.txt", "v"}, {"outro.txt", "o"}},
     "renomeia \"velho.txt\" \"novo.txt\"\nrenomeia \"novo.txt\" \"outro.txt\" &\n"
     "renomeia \"nada.txt\" \"x.txt\" &\nescreve mudo \"ok\"\nrenomeia \"novo.txt\" \"outro.txt\"\n",
     "SHOW ok\nERROR 5\n",
     {{"novo.txt", "v"}, {"outro.txt", "o"}, {"velho.txt", kAbsent}}},
    {"RenomeiaRefusesAThirdOperand", {{"a", "1"}}, "renomeia \"a\" \"b\" \"c\" &\n", "ERROR 1\n", {{"a", "1"}}},
    {"ReplicaCopiesInBlocksAndReplacesTheDestination",
     {{"fonte.txt", std::string(70001, 'f')}, {"copia.txt", "velha e mais longa"}},
     "replica \"fonte.txt\" \"copia.txt\"\ntamarq \"copia.txt\" t\nescreve mudo t\n",
     "SHOW 70001\n",
     {{"copia.txt", std::string(70001, 'f')}}},
    {"ReplicaOntoItselfKeepsTheFile", {{"f.txt", "dados"}}, "replica \"f.txt\" \"F.TXT\"\n",
     "SHOW Erro na escrita de arquivo F.TXT\nERROR 1\n", {{"f.txt", "dados"}}},
    {"ReplicaOfAMissingSourceFailsEvenWithAmpersand", {}, "replica \"nada\" \"b\" &\n", "ERROR 1\n",
     {{"b", kAbsent}}},
    {"ReplicaIntoAFolderFails", {{"a", "1"}, {"pasta/", ""}}, "replica \"a\" \"pasta\"\n", "ERROR 1\n", {}},
    {"DirCreatesChangesToAndRemovesFolders",
     {},
     "dir cria \"Pasta\"\ndir troca \"pasta\"\nabre #1 \"dentro.txt\" &\nfecha #1\ndir troca \"..\"\n"
     "dir remove \"pasta\" &\nbusca a \"pasta\\*.*\"\nescreve mudo a\ndir remove \"nao_ha\" &\ndir cria \"Pasta\"\n",
     "SHOW dentro.txt\nSHOW Erro no processamento do diret\xC3\xB3rio Pasta\nERROR 10\n",
     {{"Pasta/dentro.txt", ""}}},
    {"DirWithAnUnknownWordFails", {}, "dir muda \"x\" &\n", "ERROR 1\n", {}},
    {"DirRefusesASecondOperand", {}, "dir cria \"a\" \"b\"\n", "ERROR 1\n", {{"a", kAbsent}}},
    {"BuscaStepsThroughFilesInNameOrderLeavingOutHiddenOnesAndFolders",
     {{"B.txt", ""}, {"a.TXT", ""}, {"c.doc", ""}, {".oculto.txt", ""}, {"sub.txt/", ""}},
     "busca a \"*.txt\"\nescreve mudo \"1 [\" a \"]\"\nbusca a pr\xD3XIMO\nescreve mudo \"2 [\" a \"]\"\n"
     "busca a proximo\nescreve mudo \"3 [\" a \"]\"\nbusca a proximo\nescreve mudo \"4 [\" a \"]\"\n",
     "SHOW 1 [a.TXT]\nSHOW 2 [B.txt]\nSHOW 3 []\nSHOW 4 []\n",
     {}},
    {"BuscaStarDotStarMatchesNamesWithoutAnExtension",
     {{"leia-me", ""}, {"nota.txt", ""}},
     "busca a \"*.*\"\nbusca b proximo\nbusca c \"?ota.t?t\"\nbusca d \"leia-me.*\"\nescreve mudo a \" \" b \" \" c \" \" d\n",
     "SHOW leia-me nota.txt nota.txt leia-me\n",
     {}},
    {"BuscaWithoutAMatchStoresNothing", {{"a.txt", ""}}, "seja a \"x\"\nbusca a \"*.doc\"\nescreve mudo \"[\" a \"]\"\n",
     "SHOW []\n", {}},
    {"BuscaOfFoldersGivesFoldersAfterTheFirstEntry",
     {{"arq", ""}, {"Beta/", ""}, {"alfa/", ""}},
     "busca a dir \"*\"\nbusca b dir proximo\nbusca c dir proximo\nbusca d dir proximo\n"
     "escreve mudo a \" \" b \" \" c \" [\" d \"]\"\n",
     "SHOW alfa Beta  []\n",
     {}},
    {"BuscaWithDirAloneGivesTheCurrentFolder", {}, "busca a dir\nescreve mudo a\n", "SHOW %DIR%\n", {}},
    {"BuscaFimEndsTheSearch", {{"a.txt", ""}, {"b.txt", ""}},
     "busca a \"*.txt\"\nbusca a fim\nbusca a proximo\nescreve mudo \"[\" a \"]\"\n", "SHOW []\n", {}},
    {"BuscaRefusesTextAfterProximo", {}, "busca a proximo x\n", "ERROR 1\n", {}},
    {"BuscaNeedsMoreThanATarget", {}, "busca a\n", "ERROR 1\n", {}},
    {"BuscaRefusesAPatternOf514Characters", {},
     "seja p \"" + std::string(514, '?') + "\"\nbusca a p\n", "ERROR 2\n", {}},
    {"BuscaTakesAPatternOf513Characters", {},
     "seja p \"" + std::string(513, '?') + "\"\nbusca a p\nescreve mudo \"[\" a \"]\"\n", "SHOW []\n", {}},
    {"FileSizesInBytesAndReadableUnits",
     {{"zero", ""}, {"meio", std::string(1536, 'k')}, {"mega", std::string(1048576, 'm')}},
     "tamarq \"mega\" a\nhtamarq \"zero\" b\nhtamarq \"MEIO\" c\nhtamarq \"mega\" d\n"
     "escreve mudo a \"|\" b \"|\" c \"|\" d\n",
     "SHOW 1048576|0.00 B|1.50KB|1.00 MB\n",
     {}},
    {"TamarqOfAFolderFails", {{"pasta/", ""}}, "tamarq \"pasta\" a\n", "ERROR 1\n", {}},
    {"HtamarqOfAMissingFileFails", {}, "htamarq \"nada\" a\n", "ERROR 1\n", {}},
    {"ByteFileBuiltFromRangesAndOperands",
     {{"q.bin", "abcd"}, {"dez.bin", "0123456789"}},
     "criabin \"out.bin\"\nlebyte \"dez.bin\" 5 5\nlebyte \"q.bin\" 0 10\nescrevebyte \"xy\"\ngravabytes\n"
     "lebyte \"dez.bin\" 2 4\ngravabytes\ngravabytes\nfechabin\n",
     "",
     {{"out.bin", "5abcdxy23"}}},
    {"LimpabytesEmptiesTheBuffer", {},
     "escrevebyte \"abc\"\nlimpabytes\ncriabin \"o\"\nescrevebyte \"d\"\ngravabytes\nfechabin\n", "", {{"o", "d"}}},
    {"CriabinOfAnExistingFileFailsAndLeavesIt", {{"q.bin", "abcd"}}, "criabin \"q.bin\"\n", "ERROR 1\n",
     {{"q.bin", "abcd"}}},
    {"ASecondCriabinFailsAndTheFirstFileKeepsItsBytes", {},
     "criabin \"a.bin\"\nescrevebyte \"x\"\ngravabytes\ncriabin \"b.bin\"\n", "ERROR 4\n",
     {{"a.bin", "x"}, {"b.bin", kAbsent}}},
    {"LebyteEndBeforeFirstFails", {{"q", "abcd"}}, "lebyte \"q\" 2 1\n", "ERROR 1\n", {}},
    {"LebyteFromTheEndOfTheFileFails", {{"q", "abcd"}}, "lebyte \"q\" 4 5\n", "ERROR 1\n", {}},
    {"LebyteOfANegativeOffsetFails", {{"q", "abcd"}}, "lebyte \"q\" -1 2\n", "ERROR 1\n", {}},
    {"LebyteOfAWordFails", {{"q", "abcd"}}, "lebyte \"q\" \"um\" 2\n", "ERROR 1\n", {}},
    {"LebyteOfAFolderFails", {{"pasta/", ""}}, "lebyte \"pasta\" 0 1\n", "ERROR 1\n", {}},
    {"GravabytesWithoutAFileFails", {}, "escrevebyte \"x\"\ngravabytes\n", "ERROR 2\n", {}},
    {"FechabinWithoutAFileFails", {}, "fechabin\n", "ERROR 1\n", {}},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class FileCommands : public ::testing::TestWithParam<Case> {};

TEST_P(FileCommands, SeenAndLeftOnDisk) {
  const Case& c = GetParam();
  ScratchDir dir;
  for (const auto& [name, contents] : c.files) {
    if (name.ends_with("/")) fs::create_directories(dir / name);
    else std::ofstream(dir / name, std::ios::binary) << contents;
  }
  const auto run = runScript(dir, c.script);
  EXPECT_EQ(run.seen, replaced(c.seen, "%DIR%", dir.path()));
  EXPECT_EQ(run.status, c.seen.find("ERROR") == std::string::npos ? 0 : 1);
  for (const auto& [name, contents] : c.after) {
    if (contents == std::string(kAbsent)) EXPECT_FALSE(fs::exists(dir / name)) << name;
    else EXPECT_EQ(slurp(dir / name), contents) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Scripts, FileCommands, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

// Drive paths lie below the data root and ".." never climbs above it, for
// every file command: what the script makes lands inside, and a file beside
// the root is neither read, replaced nor removed.
TEST(FileCommandsAndTheDataRoot, DotDotStopsAtTheRoot) {
  ScratchDir dir;
  fs::create_directories(dir / "raiz");
  for (const auto& e : fs::directory_iterator(platform::dataRoot()))  // the voice and the letters
    fs::create_directory_symlink(e.path(), dir / "raiz/" + e.path().filename().string());
  std::ofstream(dir / "fora.txt") << "de fora";
  const auto run = runScript(dir,
                             "dir cria \"c:\\..\\..\\pasta\"\n"
                             "abre #1 \"c:\\..\\..\\..\\pasta\\nota.txt\" &\nescreve #1 \"dentro\"\nfecha #1\n"
                             "replica \"\\..\\pasta\\nota.txt\" \"c:\\a\\..\\..\\..\\copia.txt\"\n"
                             "renomeia \"c:/../copia.txt\" \"c:\\..\\..\\movida.txt\"\n"
                             "replica \"c:\\movida.txt\" \"c:\\..\\fora.txt\"\n"
                             "remove \"c:\\..\\..\\fora.txt\"\n"
                             "dir troca \"c:\\pasta\"\n"
                             "abre #2 \"..\\..\\..\\relativo.txt\" &\nfecha #2\n"
                             "abre #3 \"c:..\\..\\perto.txt\" &\nfecha #3\n"
                             "abre #4 \"c:\\..\\..\\fora.txt\"\n",
                             "LC_ALL=C ESCUTA_ROOT=" + dir.path() + "/raiz");
  // Reading the outside file finds none inside the root (the transcript
  // doubles backslashes).
  EXPECT_EQ(run.seen, "SHOW Erro na abertura do arquivo c:\\\\..\\\\..\\\\fora.txt\nERROR 14\n");
  EXPECT_EQ(slurp(dir / "raiz/pasta/nota.txt"), "dentro\r\n");
  EXPECT_EQ(slurp(dir / "raiz/movida.txt"), "dentro\r\n");
  EXPECT_FALSE(fs::exists(dir / "raiz/copia.txt"));
  EXPECT_FALSE(fs::exists(dir / "raiz/fora.txt"));  // copied there, then removed there
  EXPECT_TRUE(fs::exists(dir / "raiz/relativo.txt"));
  EXPECT_TRUE(fs::exists(dir / "raiz/perto.txt"));
  EXPECT_EQ(slurp(dir / "fora.txt"), "de fora");
  for (const char* outside : {"pasta", "movida.txt", "copia.txt", "relativo.txt", "perto.txt"})
    EXPECT_FALSE(fs::exists(dir / outside)) << outside;
}

// Readable sizes take the user's decimal separator: a Brazilian locale,
// compiled for the test, gives a comma; the program's own locale stays "C".
TEST(FileSizes, TakeTheUsersDecimalSeparator) {
  ScratchDir locales;
  const std::string make = "localedef -i pt_BR -f UTF-8 " + locales.path() + "/pt_BR.UTF-8 >/dev/null 2>&1";
  ASSERT_EQ(std::system(make.c_str()), 0) << "localedef and the pt_BR source (package locales) are needed";
  ScratchDir dir;
  std::ofstream(dir / "meio") << std::string(1536, 'k');
  const std::string script = "htamarq \"meio\" a\nseja b 3\ndivide b 2\nescreve mudo a \"|\" b\n";
  EXPECT_EQ(runScript(dir, script, "LOCPATH=" + locales.path() + " LC_ALL=pt_BR.UTF-8").seen, "SHOW 1,50KB|1\n");
  EXPECT_EQ(runScript(dir, script, "env -u LC_ALL LOCPATH=" + locales.path() + " LANG=C LC_NUMERIC=pt_BR.UTF-8").seen,
            "SHOW 1,50KB|1\n");
  EXPECT_EQ(runScript(dir, script).seen, "SHOW 1.50KB|1\n");
}

}  // namespace
