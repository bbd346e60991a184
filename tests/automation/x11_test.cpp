// Desktop automation on a real X desktop: Xvfb with the openbox window
// manager, and roteiro programs in the sdl backend driving one another.
// Scripts write their findings as lines starting with "=".
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>

#include "support/scratch.h"
#include "x_desktop.h"

namespace {

using testsupport::ScratchDir;
using testsupport::script;
using testsupport::XDesktop;
using testsupport::XProgram;

// A program that names its window and reads one line into the findings.
std::string lineReader(const char* title) {
  return script({(std::string("TITULO \"") + title + "\"").c_str(), "LE A", "ESCREVE \"=\" A"});
}

class X11 : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { desktop_ = new XDesktop(); }
  static void TearDownTestSuite() {
    delete desktop_;
    desktop_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(desktop_->ready()) << "no Xvfb with openbox";
    desktop_->setLayout("us");
  }

  static XDesktop* desktop_;
  ScratchDir dir_;
};

XDesktop* X11::desktop_ = nullptr;

// Typed text reaches another program's line editor whole, accents through
// the layout's dead keys (br) or keys lent for the moment (us, which has none).
TEST_F(X11, DigitaTypesIntoAnotherProgramInEachLayout) {
  for (const char* layout : {"us", "br"}) {
    ASSERT_TRUE(desktop_->setLayout(layout));
    XProgram target(dir_, std::string("alvo_") + layout, lineReader("Alvo de teste"));
    ASSERT_NE(desktop_->waitForWindow("Alvo de teste"), 0u);
    XProgram driver(dir_, std::string("piloto_") + layout,
                    script({"TITULO \"Piloto\"", "ESPERA 10, \"piloto\"", "JANELA NORMAL \"alvo de teste\"",
                          "ESPERA 10, \"alvo de teste\"",
                            "DIGITA \"Ol\xE1 \xE7\xE3o \xFC a~b^c \xC0 \x80 [x] Y\xFD\""}));
    EXPECT_EQ(driver.wait(), 0) << layout;
    EXPECT_EQ(target.wait(10000), 0) << layout;
    EXPECT_EQ(target.findings(), "=Ol\xC3\xA1 \xC3\xA7\xC3\xA3o \xC3\xBC a~b^c \xC3\x80 \xE2\x82\xAC [x] Y\xC3\xBD\n")
        << layout;
  }
}

TEST_F(X11, AcionaPressesKeysInAnotherProgram) {
  XProgram target(dir_, "alvo", lineReader("Alvo de teste"));
  ASSERT_NE(desktop_->waitForWindow("Alvo de teste"), 0u);
  XProgram driver(dir_, "piloto",
                  script({"TITULO \"Piloto\"", "ESPERA 10, \"piloto\"", "JANELA NORMAL \"alvo de teste\"",
                          "ESPERA 10, \"alvo de teste\"",
                          "ACIONA \"A\"", "ACIONA \"shift+b\"", "ACIONA \"c\"", "ACIONA \"home\"", "ACIONA \"#46\"",
                          "ACIONA \"enter\""}));
  EXPECT_EQ(driver.wait(), 0);
  EXPECT_EQ(target.wait(10000), 0);
  EXPECT_EQ(target.findings(), "=Bc\n");
}

// Keys sent to the own console are all in its queue before the line editor
// takes them, the modifiers long let go: each key is read with the modifiers
// held when it went down, so Shift+End selects and the paste replaces it.
TEST_F(X11, ModifiersGoWithTheirKeysIntoTheOwnConsole) {
  XProgram self(dir_, "eu",
                script({"TITULO \"Eu\"", "ESPERA 10, \"eu\"", "SEJA B \"xyz\"", "TRANSFERE DE B",
                        "DIGITA \"abc def\" &", "ACIONA \"home\"", "ACIONA \"shift+end\"",
                        "ACIONA \"shift+ins\"", "ACIONA \"enter\"", "LE A", "ESCREVE \"=\" A"}));
  EXPECT_EQ(self.wait(), 0);
  EXPECT_EQ(self.findings(), "=xyz\n");
}

// Home, Shift+End and Ctrl+Insert make the other program's line editor
// select its line and copy it; the clipboard then holds the field.
TEST_F(X11, CapturaCampoReadsAnotherProgramsField) {
  XProgram target(dir_, "alvo", lineReader("Alvo de teste"));
  ASSERT_NE(desktop_->waitForWindow("Alvo de teste"), 0u);
  XProgram driver(dir_, "piloto",
                  script({"TITULO \"Piloto\"", "ESPERA 10, \"piloto\"", "JANELA NORMAL \"alvo de teste\"",
                          "ESPERA 10, \"alvo de teste\"",
                          "DIGITA \"campo \xE9 texto\" &", "ACIONA \"left\"", "CAPTURA CAMPO A",
                          "ESCREVE \"=\" A \"|\"", "ACIONA \"enter\""}));
  EXPECT_EQ(driver.wait(), 0);
  EXPECT_EQ(driver.findings(), "=campo \xC3\xA9 texto|\n");
  EXPECT_EQ(target.wait(10000), 0);
  EXPECT_EQ(target.findings(), "=campo \xC3\xA9 texto\n");
}

// With the console in front, what is typed reaches its own key queue.
TEST_F(X11, DigitaIntoTheOwnConsole) {
  XProgram self(dir_, "eu",
                script({"TITULO \"Eu\"", "ESPERA 10, \"eu\"", "DIGITA \"ol\xE1 ~x\"", "LE A", "ESCREVE \"=\" A",
                        "CAPTURA FOCO B", "ESCREVE \"=\" B"}));
  EXPECT_EQ(self.wait(), 0);
  EXPECT_EQ(self.findings(), "=ol\xC3\xA1 ~x\n=Eu\n");
}

// CAPTURA FOCO follows the desktop, not the window's own focus flag, which
// lags behind it: the console's title while it is in front, and nothing
// while another program has the focus.
TEST_F(X11, CapturaFocoIsEmptyWhileAnotherProgramHasTheFocus) {
  XProgram target(dir_, "alvo", lineReader("Alvo de teste"));
  ASSERT_NE(desktop_->waitForWindow("Alvo de teste"), 0u);
  XProgram driver(dir_, "piloto",
                  script({"TITULO \"Piloto\"", "ESPERA 10, \"piloto\"", "CAPTURA FOCO A",
                          "JANELA NORMAL \"alvo de teste\"", "ESPERA 10, \"alvo de teste\"", "CAPTURA FOCO B",
                          "CAPTURA ATIVA C", "ESCREVE \"=\" A \"|\" B \"|\" C", "ACIONA \"enter\""}));
  EXPECT_EQ(driver.wait(), 0);
  EXPECT_EQ(driver.findings(), "=Piloto||Alvo de teste\n");
  EXPECT_EQ(target.wait(10000), 0);
}

TEST_F(X11, ClicaClicksInTheWindowInFront) {
  XProgram target(dir_, "alvo", script({"TITULO \"Alvo de teste\"", "LE TECLA A", "ESCREVE \"=\" A"}));
  ASSERT_NE(desktop_->waitForWindow("Alvo de teste"), 0u);
  XProgram driver(dir_, "piloto",
                  script({"TITULO \"Piloto\"", "ESPERA 10, \"piloto\"", "JANELA NORMAL \"alvo de teste\"",
                          "ESPERA 10, \"alvo de teste\"",
                          "CLICA 100, 100"}));
  EXPECT_EQ(driver.wait(), 0);
  EXPECT_EQ(target.wait(10000), 0);
  EXPECT_EQ(target.findings(), "=000#13\n");
}

TEST_F(X11, ClicaNuloOnlyMovesAndClicaTelaTakesScreenPositions) {
  XProgram target(dir_, "alvo", script({"TITULO \"Alvo de teste\"", "LE TECLA A", "ESCREVE \"=\" A"}));
  const unsigned long window = desktop_->waitForWindow("Alvo de teste");
  ASSERT_NE(window, 0u);
  XProgram mover(dir_, "mover", script({"TITULO \"Piloto\"", "CLICA NULO TELA 7, 9"}));
  EXPECT_EQ(mover.wait(), 0);
  int x, y;
  desktop_->pointer(x, y);
  EXPECT_EQ(x, 7);
  EXPECT_EQ(y, 9);
  EXPECT_TRUE(target.running());
  // The window manager may still be placing it: its position once settled.
  int lastX = -1, lastY = -1;
  for (int steady = 0, i = 0; steady < 5 && i < 100; ++i) {
    usleep(100000);
    desktop_->windowOrigin(window, x, y);
    steady = x == lastX && y == lastY ? steady + 1 : 0;
    lastX = x, lastY = y;
  }
  XProgram clicker(dir_, "clicker",
                   script({"TITULO \"Piloto\"", "ESPERA 10, \"piloto\"", "JANELA NORMAL \"alvo de teste\"",
                          "ESPERA 10, \"alvo de teste\"",
                           ("CLICA TELA " + std::to_string(x + 40) + " " + std::to_string(y + 30)).c_str()}));
  EXPECT_EQ(clicker.wait(), 0);
  EXPECT_EQ(target.wait(10000), 0);
  EXPECT_EQ(target.findings(), "=000#13\n");
  desktop_->pointer(x, y);
  EXPECT_EQ(x - lastX, 40);
  EXPECT_EQ(y - lastY, 30);
}

TEST_F(X11, AcionaNumLockFlipsItsState) {
  const bool before = desktop_->numLock();
  XProgram driver(dir_, "piloto", script({"TITULO \"Piloto\"", "ACIONA \"#144\""}));
  EXPECT_EQ(driver.wait(), 0);
  EXPECT_EQ(desktop_->numLock(), !before);
  XProgram again(dir_, "again", script({"TITULO \"Piloto\"", "ACIONA \"#144\""}));
  EXPECT_EQ(again.wait(), 0);
  EXPECT_EQ(desktop_->numLock(), before);
}

TEST_F(X11, JanelaPatternsWithLeadingAndTrailingStars) {
  XProgram target(dir_, "alvo", lineReader("Bloco de Notas Teste"));
  ASSERT_NE(desktop_->waitForWindow("Bloco de Notas Teste"), 0u);
  XProgram driver(dir_, "piloto",
                  script({"TITULO \"Piloto\"", "JANELA NORMAL \"*bloco\"", "CHECA A", "JANELA NORMAL \"*notas\"",
                          "CHECA B", "JANELA NORMAL \"teste*\"", "CHECA C", "JANELA NORMAL \"bloco*\"", "CHECA D",
                          "JANELA NORMAL \"*bloco de notas teste*\"", "CHECA E", "JANELA NORMAL \"*bloco de notas*\"",
                          "CHECA F", "JANELA NORMAL \"NOTAS t\"", "CHECA G", "JANELA NORMAL \"inexistente\"",
                          "CHECA H", "ESCREVE \"=\" A B C D E F G H"}));
  EXPECT_EQ(driver.wait(), 0);
  EXPECT_EQ(driver.findings(), "=01010101\n");
}

TEST_F(X11, JanelaFechaClosesAnotherProgramsWindow) {
  XProgram target(dir_, "alvo", lineReader("Alvo de teste"));
  ASSERT_NE(desktop_->waitForWindow("Alvo de teste"), 0u);
  XProgram driver(dir_, "piloto",
                  script({"TITULO \"Piloto\"", "JANELA FECHA \"alvo de TESTE\"", "CHECA A",
                          "JANELA FECHA \"alvo de teste\"", "CHECA B", "ESCREVE \"=\" A B"}));
  EXPECT_EQ(driver.wait(), 0);
  EXPECT_EQ(driver.findings(), "=01\n");
  // Closed as by its close box: the program ends at once, having read nothing.
  EXPECT_EQ(target.wait(5000), 0);
  EXPECT_EQ(target.findings(), "");
}

TEST_F(X11, JanelaFechaOnTheOwnConsoleEndsTheProgram) {
  XProgram driver(dir_, "piloto",
                  script({"TITULO \"Piloto\"", "ESCREVE \"=antes\"", "JANELA FECHA \"pilot\"", "ESCREVE \"=depois\""}));
  EXPECT_EQ(driver.wait(), 0);
  EXPECT_EQ(driver.findings(), "=antes\n");
}

// A window destroyed by another program (xdotool windowclose) instead of
// asked to close: the program ends as when it is closed, whatever it waits
// for, and writes its screen on the way out. It used to wait for ever
// without a window.
TEST_F(X11, ProgramsEndAsClosedWhenTheirWindowIsDestroyed) {
  struct Case {
    const char* name;
    const char* wait;
  };
  for (const Case& c : {Case{"espera", "ESPERA 100"}, Case{"le", "LE B"}, Case{"menu", "MENU B \"um\" \"dois\""}}) {
    XProgram p(dir_, c.name, script({"TITULO \"Destruida\"", "ESPERA 10, \"destruida\"", "CAPTURA ATIVA A",
                                     "ESCREVE \"=\" A", c.wait, "ESCREVE \"=depois\""}));
    const unsigned long window = desktop_->waitForWindow("Destruida");
    ASSERT_NE(window, 0u) << c.wait;
    for (int i = 0; i < 400 && p.findings().empty(); ++i) usleep(50000);
    ASSERT_EQ(p.findings(), "=Destruida\n") << c.wait;
    desktop_->destroyWindow(window);
    EXPECT_EQ(p.wait(5000), 0) << c.wait;
    EXPECT_EQ(p.findings(), "=Destruida\n") << c.wait;
    EXPECT_EQ(p.screen(), "=Destruida\n") << c.wait;
  }
}

// Letter sizes that cannot be used never stop a program: it starts with the
// default, or the largest size that fits, says which setting it passed over,
// and its whole window, row 25 included, is on the 1024x768 screen.
TEST_F(X11, LetterSizesThatCannotBeUsedStillOpenAWindowThatFits) {
  struct Case {
    const char* value;
    const char* said;  // on the error output, "" for nothing
  } cases[] = {
      {"", ""},
      {"12", ""},
      {"0", "ALTURALETRA=0 is not a size"},
      {"-5", "ALTURALETRA=-5 is not a size"},
      {"abc", "ALTURALETRA=abc is not a size"},
      {"100000", "ALTURALETRA=100000 is too large for the screen"},
      {"40", "ALTURALETRA=40 is too large for the screen"},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    std::ofstream(dir / "Escuta.ini") << "[ESCUTA]\r\nCANTOTELA=S\r\n[VIDEO]\r\nALTURALETRA=" << c.value
                                      << "\r\nLARGURALETRA=" << c.value << "\r\n";
    const std::string title = std::string("Tamanho ") + c.value;  // not the window of the case before
    XProgram p(dir, "tamanho", script({("TITULO \"" + title + "\"").c_str(), "ESPERA 30"}));
    const unsigned long window = desktop_->waitForWindow(title);
    ASSERT_NE(window, 0u) << c.value << ": " << testsupport::slurp(dir / "tamanho.err");
    int right = 0, bottom = 0;
    desktop_->windowEnd(window, right, bottom);
    EXPECT_LE(right, 1024) << c.value;
    EXPECT_LE(bottom, 768) << c.value;
    const std::string err = testsupport::slurp(dir / "tamanho.err");
    if (*c.said) EXPECT_NE(err.find(c.said), std::string::npos) << c.value << ": " << err;
    else EXPECT_EQ(err.find("[VIDEO]"), std::string::npos) << c.value << ": " << err;
  }
}

TEST_F(X11, CapturaAtivaFollowsActivationMinimiseAndRestore) {
  XProgram one(dir_, "um", lineReader("Alvo Um"));
  XProgram two(dir_, "dois", lineReader("Alvo Dois"));
  ASSERT_NE(desktop_->waitForWindow("Alvo Um"), 0u);
  ASSERT_NE(desktop_->waitForWindow("Alvo Dois"), 0u);
  XProgram driver(dir_, "piloto",
                  script({"TITULO \"Piloto\"", "ESPERA 10, \"piloto\"", "CAPTURA ATIVA A", "ESCREVE \"=\" A",
                          "JANELA NORMAL \"alvo um\"", "ESPERA 10, \"alvo um\"", "CAPTURA ATIVA A",
                          "ESCREVE \"=\" A",
                          "JANELA MAXIMIZA \"alvo dois\"", "ESPERA 3, \"alvo dois\"", "CHECA B", "ESCREVE \"=\" B",
                          "CAPTURA TITULO A", "ESCREVE \"=\" A", "JANELA MINIMIZA \"alvo dois\"", "CHECA B",
                          "SEJA N 0", "CAPTURA ATIVA A", "ENQUANTO A = \"Alvo Dois\"", "SOMA N 1",
                          "SE N > 50 TERMINA", "ESPERA MS 100", "CAPTURA ATIVA A", "FIM ENQUANTO",
                          "ESCREVE \"=\" B A", "JANELA NORMAL \"alvo dois\"", "ESPERA 10, \"alvo dois\"",
                          "CAPTURA ATIVA A", "ESCREVE \"=\" A"}));
  EXPECT_EQ(driver.wait(), 0);
  const std::string seen = driver.findings();
  EXPECT_EQ(seen.substr(0, seen.find("=0") + 2), "=Piloto\n=Alvo Um\n=0");
  EXPECT_NE(seen.find("=Alvo Dois\n=0"), std::string::npos) << seen;  // minimised: in front no more
  EXPECT_TRUE(seen.ends_with("=Alvo Dois\n")) << seen;                 // restored and in front
  EXPECT_EQ(seen.find("=0Alvo Dois"), std::string::npos) << seen;
}

// The companion's way to the front: TELA NORMAL, then Alt+Esc until the
// window in front is its own.
TEST_F(X11, AltEscLoopBringsTheConsoleToTheFront) {
  XProgram target(dir_, "alvo", lineReader("Alvo de teste"));
  ASSERT_NE(desktop_->waitForWindow("Alvo de teste"), 0u);
  XProgram driver(dir_, "piloto",
                  script({"TITULO \"Telinha Check\"", "TELA MINIMIZADA", "ESPERA MS 300",
                          "JANELA NORMAL \"alvo de teste\"", "ESPERA 10, \"alvo de teste\"", "CAPTURA ATIVA A",
                          "ESCREVE \"=\" A",
                          "TELA NORMAL", "SEJA N 0", "CAPTURA ATIVA A", "ENQUANTO NAO A = \"Telinha Check\"",
                          "SOMA N 1", "SE N > 20 TERMINA", "ACIONA \"alt+esc\"", "ESPERA MS 200", "CAPTURA ATIVA A",
                          "FIM ENQUANTO", "ESCREVE \"=\" A"}));
  EXPECT_EQ(driver.wait(), 0);
  EXPECT_EQ(driver.findings(), "=Alvo de teste\n=Telinha Check\n");
}

// Script lines that wait (at most 20 s) for a window whose title holds `title`.
std::string waitForTitle(const char* title) {
  const std::string find = std::string("JANELA NORMAL \"") + title + "\"";
  return script({"SEJA N 0", find.c_str(), "CHECA S", "ENQUANTO S = 1", "SOMA N 1", "SE N > 100 TERMINA",
                 "ESPERA MS 200", find.c_str(), "CHECA S", "FIM ENQUANTO"});
}

// Each program serves its clipboard while it waits for the other's sign.
TEST_F(X11, TransfereCarriesAccentedTextBetweenPrograms) {
  XProgram source(dir_, "origem",
                  script({"TITULO \"Origem\"", "SEJA A \"a\xE7\xE3o \x80 \xFC\"", "TRANSFERE DE A",
                          "TITULO \"Origem pronta\""}) +
                      waitForTitle("destino pronto") +
                      script({"TRANSFERE PARA D", "ESCREVE \"=\" D", "TITULO \"Origem lida\"", "ESPERA 2"}));
  ASSERT_NE(desktop_->waitForWindow("Origem pronta"), 0u);
  XProgram reader(dir_, "destino",
                  script({"TITULO \"Destino\"", "TRANSFERE PARA B", "ESCREVE \"=\" B", "SEJA C \"volta \xE9\"",
                          "TRANSFERE DE C", "TITULO \"Destino pronto\""}) +
                      waitForTitle("origem lida"));
  EXPECT_EQ(reader.wait(), 0);
  EXPECT_EQ(source.wait(), 0);
  EXPECT_EQ(reader.findings(), "=a\xC3\xA7\xC3\xA3o \xE2\x82\xAC \xC3\xBC\n");
  EXPECT_EQ(source.findings(), "=volta \xC3\xA9\n");
}

// The clipboard's keepers serving a display.
int keepersOn(const std::string& display) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::error_code failed;
    if (std::filesystem::read_symlink(entry.path() / "exe", failed).filename() != "escuta_clipboard") continue;
    std::ifstream environ(entry.path() / "environ");
    const std::string env{std::istreambuf_iterator<char>(environ), std::istreambuf_iterator<char>()};
    if (env.find("DISPLAY=" + display + '\0') != std::string::npos) ++count;
  }
  return count;
}

// Text put on the clipboard stays there once its program has ended, until
// another program puts its own: then one keeper serves the new text.
TEST_F(X11, TheClipboardOutlivesTheProgramThatFilledIt) {
  XProgram giver(dir_, "da", script({"SEJA D \"a\xE7\xE3o \x80\"", "TRANSFERE DE D"}));
  ASSERT_EQ(giver.wait(), 0);
  XProgram taker(dir_, "toma", script({"TRANSFERE PARA E", "ESCREVE \"=\" E", "SEJA D \"nova\"", "TRANSFERE DE D"}));
  EXPECT_EQ(taker.wait(), 0);
  EXPECT_EQ(taker.findings(), "=a\xC3\xA7\xC3\xA3o \xE2\x82\xAC\n");
  XProgram last(dir_, "ultimo", script({"TRANSFERE PARA E", "ESCREVE \"=\" E"}));
  EXPECT_EQ(last.wait(), 0);
  EXPECT_EQ(last.findings(), "=nova\n");
  int keepers = 0;
  for (int i = 0; i < 100 && (keepers = keepersOn(desktop_->display())) > 1; ++i) usleep(20000);
  EXPECT_EQ(keepers, 1);
}

TEST_F(X11, TelaMinimizadaHidesTheConsoleAndNormalBringsItBack) {
  XProgram driver(dir_, "piloto",
                  script({"TITULO \"Piloto\"", "ESPERA 10, \"piloto\"", "HANDLE H", "ESCREVE \"=\" H",
                          "TELA MINIMIZADA", "SEJA N 0", "CAPTURA ATIVA B", "ENQUANTO B = \"Piloto\"", "SOMA N 1",
                          "SE N > 50 TERMINA", "ESPERA MS 100", "CAPTURA ATIVA B", "FIM ENQUANTO",
                          "JANELA NORMAL \"piloto\"", "CHECA A", "ESCREVE \"=\" A B \"|\"", "TELA NORMAL",
                          "ESPERA 10, \"piloto\"", "CAPTURA ATIVA C",
                          "ESCREVE \"=\" C", "LE D"}));
  const unsigned long window = desktop_->waitForWindow("Piloto");
  ASSERT_NE(window, 0u);
  for (int i = 0; i < 400 && driver.findings().find("=Piloto") == std::string::npos; ++i) usleep(50000);
  EXPECT_EQ(driver.findings(), "=" + std::to_string(window) + "\n=1|\n=Piloto\n");
  EXPECT_EQ(desktop_->activeTitle(), "Piloto");
}

// Without a window manager windows are found among the root's children,
// activated by the focus and closed by their own close protocol.
TEST(X11WithoutWindowManager, WindowsAreFoundActivatedAndClosed) {
  XDesktop desktop({}, false);
  ASSERT_TRUE(desktop.ready());
  ScratchDir dir;
  XProgram typed(dir, "um", lineReader("Alvo Um"));
  XProgram closed(dir, "dois", lineReader("Alvo Dois"));
  ASSERT_NE(desktop.waitForWindow("Alvo Um"), 0u);
  ASSERT_NE(desktop.waitForWindow("Alvo Dois"), 0u);
  XProgram driver(dir, "piloto",
                  script({"TITULO \"Piloto\"", "ESPERA MS 300", "JANELA NORMAL \"*alvo um*\"", "ESPERA 10, \"alvo um\"",
                          "CAPTURA ATIVA A", "DIGITA \"abc\"", "JANELA FECHA \"alvo dois\"", "CHECA B",
                          "JANELA FECHA \"alvo dois\"", "CHECA C", "ESCREVE \"=\" A B C"}));
  EXPECT_EQ(driver.wait(), 0);
  EXPECT_EQ(driver.findings(), "=Alvo Um01\n");
  EXPECT_EQ(typed.wait(10000), 0);
  EXPECT_EQ(typed.findings(), "=abc\n");
  EXPECT_EQ(closed.wait(5000), 0);
  EXPECT_EQ(closed.findings(), "");
}

// Without a window manager nothing gives the console the focus back after
// it starts a program: the script goes on instead of waiting for ever.
TEST(X11WithoutWindowManager, AStartedProgramDoesNotHoldTheScriptForEver) {
  XDesktop desktop({}, false);
  ASSERT_TRUE(desktop.ready());
  ScratchDir dir;
  std::ofstream(dir / "outro.txt") << script({"TITULO \"Outro\"", "ESPERA MS 500"});
  const std::string start = "EXECUTA \"" ROTEIRO " " + dir / "outro.txt" + "\"";
  XProgram starter(dir, "inicia", script({"TITULO \"Inicia\"", start.c_str(), "ESCREVE \"=voltou\""}));
  EXPECT_EQ(starter.wait(20000), 0);
  EXPECT_EQ(starter.findings(), "=voltou\n");
  // The started program ends on its own before the desktop goes.
  usleep(3000000);
}

// A display without XTest: nothing can be injected, so the commands take
// their failure paths; windows, the title in front and the clipboard go on.
TEST(X11WithoutXTest, CommandsTakeTheirFailurePaths) {
  XDesktop desktop({"-extension", "XTEST"});
  ASSERT_TRUE(desktop.ready());
  ScratchDir dir;
  for (const char* command : {"DIGITA \"abc\"", "ACIONA \"enter\"", "CLICA 10, 10"}) {
    XProgram p(dir, "sem", script({"TITULO \"Sem\"", "ESPERA 10, \"sem\"", "CAPTURA ATIVA A", "JANELA NORMAL \"sem\"",
                                   "CHECA B", "SEJA D \"a\xE7\xE3o\"", "TRANSFERE DE D", "TRANSFERE PARA E",
                                   "ESCREVE \"=\" A B E", command, "ESCREVE \"=depois\""}));
    // The error report waits for the user's Enter: the program is ended here.
    for (int i = 0; i < 600 && p.findings().find("ERROR") == std::string::npos; ++i) usleep(50000);
    EXPECT_EQ(p.findings(), "=Sem1a\xC3\xA7\xC3\xA3o\nERROR 10\n") << command;
    EXPECT_TRUE(p.running()) << command;
  }
}

// When the X server goes away (the session ends) a program ends as when its
// window is closed, whatever it waits for; it used to spin on the dead
// connection, deaf to SIGTERM. CAPTURA opens the automation's own connection,
// which breaks too.
TEST(X11ServerGone, ProgramsEndAsWhenTheirWindowIsClosed) {
  for (const char* wait : {"ESPERA 100", "LE B", "MENU B \"um\" \"dois\""}) {
    XDesktop desktop;
    ASSERT_TRUE(desktop.ready());
    ScratchDir dir;
    XProgram p(dir, "orfao", script({"TITULO \"Orfao\"", "ESPERA 10, \"orfao\"", "CAPTURA ATIVA A",
                                     "ESCREVE \"=\" A", wait, "ESCREVE \"=depois\""}));
    for (int i = 0; i < 400 && p.findings().empty(); ++i) usleep(50000);
    ASSERT_EQ(p.findings(), "=Orfao\n") << wait;
    desktop.stopServer();
    EXPECT_EQ(p.wait(10000), 0) << wait;
    EXPECT_EQ(p.findings(), "=Orfao\n") << wait;
  }
}

}  // namespace
