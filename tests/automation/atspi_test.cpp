// Accessibility events from a real stack: Xvfb with openbox, a private
// session bus, the AT-SPI bus and registry, and a GTK 3 window; a roteiro
// program in the sdl backend follows the focus there with MSAA. Scripts
// write their findings as lines starting with "=".
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "atspi_stack.h"
#include "support/scratch.h"
#include "x_desktop.h"

namespace {

using testsupport::AtspiStack;
using testsupport::ScratchDir;
using testsupport::script;
using testsupport::XDesktop;
using testsupport::XProgram;

std::vector<std::string> lines(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

// Whether `wanted` appear in `seen` in this order, others between them.
bool inOrder(const std::vector<std::string>& seen, const std::vector<std::string>& wanted) {
  size_t next = 0;
  for (const std::string& line : seen) {
    if (next < wanted.size() && line == wanted[next]) ++next;
  }
  return next == wanted.size();
}

// The line that starts with `prefix`, without it.
std::string after(const std::vector<std::string>& seen, const std::string& prefix) {
  for (const std::string& line : seen) {
    if (line.starts_with(prefix)) return line.substr(prefix.size());
  }
  return "";
}

class AtSpi : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    desktop_ = new XDesktop();
    if (desktop_->ready()) stack_ = new AtspiStack(*desktop_);
  }
  static void TearDownTestSuite() {
    delete stack_;
    delete desktop_;
    stack_ = nullptr;
    desktop_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(desktop_->ready()) << "no Xvfb with openbox";
    ASSERT_TRUE(stack_ && stack_->ready()) << "no accessibility bus or no GTK window";
    desktop_->setLayout("us");
  }

  static XDesktop* desktop_;
  static AtspiStack* stack_;
  ScratchDir dir_;
};

XDesktop* AtSpi::desktop_ = nullptr;
AtspiStack* AtSpi::stack_ = nullptr;

// The window comes to the front, then Tab walks its controls: each event
// gives its control's name, role, state and value; the check box's and the
// slider's rectangles lead CAPTURA to the check box and to the button below
// the slider, which cannot take the focus.
TEST_F(AtSpi, FocusEventsAndCapturaDescribeTheControls) {
  XProgram driver(dir_, "piloto",
                  script({
                      "TITULO \"Piloto\"",
                      "ESPERA 10, \"piloto\"",
                      "MSAA MONITORA",
                      "JANELA NORMAL \"alvo at-spi\"",
                      "ESPERA 10, \"alvo at-spi\"",
                      "ESPERA MS 500",
                      "ACIONA \"tab\"",
                      "ESPERA MS 300",
                      "ACIONA \"tab\"",
                      "ESPERA MS 300",
                      "ACIONA \"tab\"",
                      "ESPERA MS 500",
                      "MSAA CHECA E",
                      "ENQUANTO E = 1",
                      "  MSAA NOME A",
                      "  MSAA C\xD3" "DIGO C",
                      "  MSAA TIPO T",
                      "  MSAA ESTADO S",
                      "  MSAA VALOR V",
                      "  ESCREVE MUDO \"=\" C \"|\" A \"|\" T \"|\" S \"|\" V",
                      "  SE A = \"Caixa\"",
                      "    MSAA AREA L M W H",
                      "    ESCREVE MUDO \"=area \" L \" \" M \" \" W \" \" H",
                      "  FIM SE",
                      "  SE A = \"Volume\"",
                      "    MSAA AREA P Q R U",
                      "  FIM SE",
                      "  MSAA CHECA E",
                      "FIM ENQUANTO",
                      "DIVIDE W 2",
                      "SOMA L W",
                      "DIVIDE H 2",
                      "SOMA M H",
                      "MSAA CAPTURA L M",
                      "MSAA NOME A",
                      "MSAA CODIGO C",
                      "MSAA ESTADO S",
                      "ESCREVE MUDO \"=caixa \" C \"|\" A \"|\" S",
                      "SOMA P 10",
                      "SOMA Q U",
                      "SOMA Q 18",
                      "MSAA CAPTURA P, Q",
                      "MSAA NOME A",
                      "MSAA CODIGO C",
                      "MSAA TIPO T",
                      "MSAA ESTADO S",
                      "ESCREVE MUDO \"=desligado \" C \"|\" A \"|\" T \"|\" S",
                      "MSAA FIM",
                      "MSAA CHECA E",
                      "ESCREVE MUDO \"=fim \" E",
                  }));
  ASSERT_EQ(driver.wait(60000), 0) << driver.findings();
  const std::vector<std::string> seen = lines(driver.findings());
  EXPECT_TRUE(inOrder(seen, {
                                "=9|Alvo AT-SPI|janela||",
                                "=44|Caixa|caixa de seleção|marcado|",
                                "=42|Campo|texto editável||texto inicial",
                                "=51|Volume|controle deslizante||30",
                                "=caixa 44|Caixa|marcado",
                                "=desligado 43|Desligado|botão de ação|indisponível",
                                "=fim 0",
                            }))
      << driver.findings();

  // The check box's rectangle is on the screen, inside its window.
  int left = -1, top = -1, width = -1, height = -1;
  std::istringstream(after(seen, "=area ")) >> left >> top >> width >> height;
  int x, y, right, bottom;
  desktop_->windowOrigin(stack_->window(), x, y);
  desktop_->windowEnd(stack_->window(), right, bottom);
  EXPECT_GT(x, 0);
  EXPECT_GE(left, x);
  EXPECT_GE(top, y);
  EXPECT_GT(width, 0);
  EXPECT_GT(height, 0);
  EXPECT_LE(left + width, right);
  EXPECT_LE(top + height, bottom);
}

// A point with no window on it is the desktop's: CAPTURA still succeeds.
TEST_F(AtSpi, CapturaOnAnEmptyPointGivesTheDesktop) {
  XProgram driver(dir_, "vazio",
                  script({"MSAA CAPTURA 2 2", "MSAA NOME A", "MSAA CODIGO C", "MSAA TIPO T",
                          "ESCREVE MUDO \"=\" C \"|\" A \"|\" T"}));
  ASSERT_EQ(driver.wait(30000), 0) << driver.findings();
  EXPECT_EQ(driver.findings(), "=9|main|janela\n");
}

// A session bus that offers no accessibility bus, as when accessibility is
// switched off: MSAA takes its quiet paths, and the program ends at once.
TEST(AtSpiAbsent, MsaaIsQuietOnASessionBusWithoutAccessibility) {
  XDesktop desktop({}, false);
  ASSERT_TRUE(desktop.ready()) << "no Xvfb";
  ScratchDir dir;
  const std::string socket = dir / "bus";
  // No service folders: nothing can start the accessibility bus.
  std::ofstream(dir / "bus.conf") << "<busconfig><type>session</type><listen>unix:path=" << socket
                                  << "</listen><policy context=\"default\">"
                                     "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                                     "<allow own=\"*\"/></policy></busconfig>";
  const pid_t bus = testsupport::spawn({"dbus-daemon", "--nofork", "--config-file=" + (dir / "bus.conf")},
                                       dir / "bus.err", -1, true);
  for (int waited = 0; waited < 10000 && !std::filesystem::exists(socket); waited += 50) usleep(50000);
  setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + socket).c_str(), 1);
  XProgram driver(dir, "quieto",
                  script({"MSAA MONITORA", "MSAA CHECA A", "MSAA CAPTURA 5 5", "MSAA NOME B", "MSAA CODIGO C",
                          "MSAA AREA L M W H", "MSAA FIM", "ESCREVE MUDO \"=\" A \"|\" B \"|\" C \"|\" L M W H"}));
  EXPECT_EQ(driver.wait(30000), 0);
  EXPECT_EQ(driver.findings(), "=0||0|0000\n");
  unsetenv("DBUS_SESSION_BUS_ADDRESS");
  testsupport::stop(bus, true);
}

}  // namespace
