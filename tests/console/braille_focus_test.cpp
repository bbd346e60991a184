// The braille display is the program's only while its window has the focus:
// a real X desktop (Xvfb and openbox), a private BRLTTY, and xbrlapi telling
// BRLTTY which window has the focus, as on a user's desktop.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "automation/x_desktop.h"
#include "support/brltty.h"
#include "support/scratch.h"

namespace {

using testsupport::PrivateBrltty;
using testsupport::ScratchDir;
using testsupport::XDesktop;
using testsupport::XProgram;
using testsupport::XWindow;

// BRLTTY's X focus helper, run against the private BrlAPI and the desktop.
// It writes the focused window's name for windows that are no BrlAPI client.
class FocusHelper {
 public:
  FocusHelper(const PrivateBrltty& brltty, const XDesktop& desktop) {
    pid_ = fork();
    if (pid_ == 0) {
      const std::string auth = "keyfile:" + brltty.keyFile();
      freopen("/dev/null", "w", stdout);
      execlp("xbrlapi", "xbrlapi", "-n", "-b", brltty.host().c_str(), "-a", auth.c_str(), "-d",
             desktop.display().c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~FocusHelper() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }

 private:
  pid_t pid_ = -1;
};

bool waitForTitle(const XDesktop& desktop, const std::string& title) {
  for (int waited = 0; waited < 10000; waited += 50, usleep(50000)) {
    if (desktop.activeTitle() == title) return true;
  }
  return false;
}

// BRLTTY paints its own window again only when something moves on its
// side: a key of the display that no program holds is such a thing. The key
// goes on being pressed until the display shows other cells than `ours`.
bool pressUntilOther(PrivateBrltty& brltty, const std::string& ours) {
  for (int tries = 0; tries < 25; ++tries) {
    brltty.press("LnDn");
    if (brltty.waitForOther(ours, 400)) return true;
  }
  return false;
}

// Without a window path (Xvfb names no virtual terminal, so xbrlapi's focus
// counts for nothing at BRLTTY's top) the program gives the display back
// itself; with one (a desktop session's WINDOWPATH), BRLTTY also follows
// xbrlapi. Either way the display leaves with the focus and comes back with it.
TEST(BrailleDisplay, TheDisplayIsOursOnlyWhileTheWindowHasTheFocus) {
  for (const char* windowPath : {"", "7"}) {
    SCOPED_TRACE(std::string("WINDOWPATH=") + windowPath);
    XDesktop desktop;
    ASSERT_TRUE(desktop.ready()) << "no Xvfb with openbox";
    PrivateBrltty brltty;
    ASSERT_TRUE(brltty.ready());
    setenv("BRLAPI_HOST", brltty.host().c_str(), 1);
    setenv("BRLAPI_AUTH", brltty.keyFile().c_str(), 1);
    unsetenv("XDG_VTNR");
    if (*windowPath) setenv("WINDOWPATH", windowPath, 1);
    else unsetenv("WINDOWPATH");
    FocusHelper helper(brltty, desktop);
    ScratchDir dir;
    // Every key but f (its code 102) is let pass; f ends the program.
    XProgram program(dir, "alvo",
                     "TITULO \"Alvo\"\r\nESCREVE \"ola\"\r\nSEJA A \"\"\r\nENQUANTO A <> \"000#102\"\r\n"
                     "LE TECLA A\r\nFIM ENQUANTO\r\nESCREVE \"=\" A\r\n");
    const unsigned long window = desktop.waitForWindow("Alvo");
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(waitForTitle(desktop, "Alvo"));
    const std::string ola = "135|123|1";
    ASSERT_TRUE(brltty.waitFor(ola)) << brltty.shown();

    XWindow other(desktop, "Outra");
    ASSERT_TRUE(waitForTitle(desktop, "Outra"));
    EXPECT_TRUE(pressUntilOther(brltty, ola)) << "the display stayed the program's";
    // A chord now is BRLTTY's, not the program's: f would end it.
    brltty.press("PassDots 11");
    usleep(200000);
    EXPECT_TRUE(program.running());

    desktop.activate(window);
    ASSERT_TRUE(waitForTitle(desktop, "Alvo"));
    EXPECT_TRUE(brltty.waitFor(ola)) << brltty.shown();
    brltty.press("PassDots 11");
    EXPECT_EQ(program.wait(10000), 0);
    EXPECT_EQ(program.findings(), "=000#102\n");
  }
}

}  // namespace
