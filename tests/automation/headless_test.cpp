// Scripts that drive the desktop in the headless backend, where the console
// is the only window, in front and focused: what they type and press reaches
// the console's own key queue, and the windows they find are the console.
// Each script writes its findings as lines starting with "=".
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/roteiro_run.h"

namespace {

struct Case {
  const char* name;
  const char* script;  // Windows-1252, lines ended by CR LF
  const char* seen;    // the "=" lines shown, then the error report if any
};

std::string findings(const std::string& seen) {
  std::istringstream lines(seen);
  std::string out;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("SHOW =") || line.starts_with("ERROR ")) out += line + "\n";
  }
  return out;
}

const Case kCases[] = {
    {"DigitaTypesIntoTheLineEditorWithEnter",
     "DIGITA \"Ol\xE1 mundo \xE7\xE3o\"\r\nLE A\r\nESCREVE \"=\" A\r\n",
     "SHOW =Ol\xC3\xA1 mundo \xC3\xA7\xC3\xA3o\n"},
    {"DigitaWithAmpersandLeavesTheLineOpen",
     "DIGITA \"abc\" &\r\nDIGITA \"def\"\r\nLE A\r\nESCREVE \"=\" A\r\n",
     "SHOW =abcdef\n"},
    {"DigitaRefusesAnotherOperand", "DIGITA \"abc\" \"def\"\r\n", "ERROR 1\n"},
    {"AcionaOneCharacterIsItsKeyWithoutShift",
     "ACIONA \"A\"\r\nACIONA \"shift+a\"\r\nACIONA \"9\"\r\nACIONA \"enter\"\r\nLE A\r\nESCREVE \"=\" A\r\n",
     "SHOW =aA9\n"},
    {"AcionaKeyNamesReachTheKeyQueue",
     "ACIONA \"F3\"\r\nLE TECLA A\r\nESCREVE \"=\" A\r\nACIONA \"ctrl+shift+esc\"\r\nLE TECLA A\r\n"
     "ESCREVE \"=\" A\r\nACIONA \"#36\"\r\nLE TECLA A\r\nESCREVE \"=\" A\r\nACIONA \"pagedn\"\r\nLE TECLA A\r\n"
     "ESCREVE \"=\" A\r\n",
     "SHOW =000#0#61\nSHOW =110#27\nSHOW =000#0#71\nSHOW =000#0#81\n"},
    {"AcionaShiftBeforeCtrlIsNoKey", "ACIONA \"shift+ctrl+esc\"\r\n", "ERROR 1\n"},
    {"AcionaHashWithoutNumber", "ACIONA \"ctrl+#\"\r\n", "ERROR 1\n"},
    {"AcionaHashWithText", "ACIONA \"#1a\"\r\n", "ERROR 1\n"},
    {"AcionaTwoCharactersNoName", "ACIONA \"xy\"\r\n", "ERROR 1\n"},
    {"AcionaNoValue", "ACIONA\r\n", "ERROR 1\n"},
    {"AcionaTwoOperands", "ACIONA \"a\" \"b\"\r\n", "ERROR 1\n"},
    {"CapturaAtivaAndFocoGiveTheConsolesTitle",
     "TITULO \"Bloco de notas\"\r\nCAPTURA ATIVA A\r\nESCREVE \"=\" A\r\nCAPTURA t\xCDtulo A\r\n"
     "ESCREVE \"=\" A\r\nCAPTURA FOCO A\r\nESCREVE \"=\" A\r\nCAPTURA OUTRA A\r\nESCREVE \"=\" A \"|\"\r\n",
     "SHOW =Bloco de notas\nSHOW =Bloco de notas\nSHOW =Bloco de notas\nSHOW =|\n"},
    {"CapturaWithoutOperands", "CAPTURA\r\n", "ERROR 1\n"},
    {"CapturaWithoutVariable", "CAPTURA ATIVA\r\n", "ERROR 1\n"},
    {"CapturaCampoPressesHomeShiftEndCtrlInsertThenReadsTheClipboard",
     "SEJA A \"antes\"\r\nTRANSFERE DE A\r\nCAPTURA CAMPO B\r\nESCREVE \"=\" B\r\nLE TECLA C\r\nESCREVE \"=\" C\r\n"
     "LE TECLA C\r\nESCREVE \"=\" C\r\nLE TECLA C\r\nESCREVE \"=\" C\r\n",
     "SHOW =antes\nSHOW =000#0#71\nSHOW =100#0#79\nSHOW =010#0#255\n"},
    {"JanelaPatterns",
     "TITULO \"Bloco de Notas\"\r\nJANELA NORMAL \"*bloco\"\r\nCHECA A\r\nJANELA NORMAL \"*notas\"\r\nCHECA B\r\n"
     "JANELA NORMAL \"notas*\"\r\nCHECA C\r\nJANELA NORMAL \"bloco*\"\r\nCHECA D\r\n"
     "JANELA MAXIMIZA \"*bloco de notas*\"\r\nCHECA E\r\nJANELA MINIMIZA \"*bloco*\"\r\nCHECA F\r\n"
     "JANELA NORMAL \"O DE N\"\r\nCHECA G\r\nESCREVE \"=\" A B C D E F G\r\n",
     "SHOW =0101010\n"},
    {"JanelaOtherActionWithoutMatchSetsStatus", "JANELA ABRE \"nada assim\"\r\nCHECA A\r\nESCREVE \"=\" A\r\n",
     "SHOW =1\n"},
    {"JanelaOtherActionWithMatchFails", "TITULO \"Bloco\"\r\nJANELA ABRE \"bloco\"\r\n", "ERROR 2\n"},
    {"JanelaFechaOnTheConsoleEndsTheProgram",
     "TITULO \"Bloco\"\r\nESCREVE \"=antes\"\r\nJANELA FECHA \"loc\"\r\nESCREVE \"=depois\"\r\n", "SHOW =antes\n"},
    {"TransfereRoundTripKeepsAccents",
     "SEJA A \"a\xE7\xE3o \x80 ol\xE1\"\r\nTRANSFERE de A\r\nTRANSFERE PARA B\r\nESCREVE \"=\" B\r\n",
     "SHOW =a\xC3\xA7\xC3\xA3o \xE2\x82\xAC ol\xC3\xA1\n"},
    {"TransferePareFromAnEmptyClipboardEmptiesTheVariable",
     "SEJA B \"cheio\"\r\nTRANSFERE PARA B\r\nESCREVE \"=\" B \"|\"\r\n", "SHOW =|\n"},
    {"TransfereWithoutDirection", "TRANSFERE A\r\n", "ERROR 1\n"},
    {"TransfereWithSomethingAfter", "TRANSFERE DE A B\r\n", "ERROR 1\n"},
    {"TransfereWithoutVariable", "TRANSFERE PARA\r\n", "ERROR 1\n"},
    {"HandleIsTheConsolesOneWindow", "HANDLE A\r\nESCREVE \"=\" A\r\n", "SHOW =1\n"},
    // The headless desktop has no accessibility bus: MSAA takes its quiet paths.
    {"MsaaWithoutBusFollowsNothing",
     "MSAA CHECA A\r\nMSAA MONITORA\r\nmsaa checa B\r\nMSAA FIM\r\nMSAA CHECA C\r\nESCREVE \"=\" A B C\r\n",
     "SHOW =000\n"},
    {"MsaaCapturaWithoutBusClearsEverything",
     "MSAA CAPTURA 10, 20\r\nMSAA NOME A\r\nMSAA CODIGO B\r\nMSAA C\xD3" "DIGO C\r\nMSAA TIPO D\r\n"
     "MSAA ESTADO E\r\nMSAA VALOR F\r\nMSAA AREA G H I J\r\nESCREVE \"=\" A \"|\" B C \"|\" D E F \"|\" G H I J\r\n",
     "SHOW =|00||0000\n"},
    {"MsaaCapturaNeedsWholeNumbers", "MSAA CAPTURA \"a\" 2\r\n", "ERROR 1\n"},
    {"MsaaCapturaNeedsBothNumbers", "MSAA CAPTURA 2\r\n", "ERROR 1\n"},
    {"MsaaChecaNeedsAVariable", "MSAA CHECA\r\n", "ERROR 1\n"},
    {"MsaaAreaNeedsFourVariables", "MSAA AREA A B C\r\n", "ERROR 1\n"},
    {"MsaaUnknownWord", "MSAA OLHA A\r\n", "ERROR 1\n"},
    {"ClicaReachesTheConsoleAsAClick",
     "CLICA 10, 20\r\nLE TECLA A\r\nESCREVE \"=\" A\r\nCLICA NULO TELA 5 5\r\nCLICA DUPLO 1,1\r\nLE TECLA A\r\n"
     "LE TECLA B\r\nESCREVE \"=\" A B\r\n",
     "SHOW =000#13\nSHOW =000#13000#13\n"},
    {"ClicaRefusesWhatIsNoNumber", "CLICA \"a\", 2\r\n", "ERROR 1\n"},
    {"ClicaRefusesWhatFollows", "CLICA 1, 2, 3\r\n", "ERROR 1\n"},
    {"EsperaSeesTheConsolesTitle",
     "TITULO \"Bloco\"\r\nESPERA 1, \"loc\"\r\nCHECA A\r\nESPERA 0, \"loc\"\r\nCHECA B\r\nESCREVE \"=\" A B\r\n",
     "SHOW =01\n"},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Headless : public ::testing::TestWithParam<Case> {};

TEST_P(Headless, Script) {
  const testsupport::ScratchDir dir;
  const testsupport::ScriptRun run = testsupport::runScript(dir, GetParam().script);
  EXPECT_EQ(findings(run.seen), GetParam().seen) << run.seen;
}

INSTANTIATE_TEST_SUITE_P(Desktop, Headless, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& p) { return std::string(p.param.name); });

}  // namespace
