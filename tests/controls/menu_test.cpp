// Menus used as a user would: moving, marking, searching by key, and what a
// choice returns, from key scripts; what was announced from the transcript.
#include <string>

#include "probe_run.h"

namespace {

using controlstest::ProbeTest;
using Events = std::vector<std::string>;

using Menu = ProbeTest;

const char* kThree = "menu:1:1:20:4:um|dois|tres";

TEST_F(Menu, TheKeyThatEndsAChoiceAndWhatItReturns) {
  struct Case {
    const char* name;
    std::vector<std::string> actions;
    const char* keys;
    const char* output;
  } cases[] = {
      {"enter on the second item", {kThree, "run"}, "key Down\nkey Enter\n", "menu 2 #13 [dois]\n"},
      {"esc", {kThree, "run"}, "key Esc\n", "menu 1 #27 [um]\n"},
      {"a letter ends the choice", {kThree, "run"}, "key Down\ntype s\n", "menu 2 s [dois]\n"},
      {"a digit ends the choice", {kThree, "run"}, "type 7\n", "menu 1 7 [um]\n"},
      {"f3", {kThree, "run"}, "key F3\n", "menu 1 #0#61 [um]\n"},
      {"before the first item", {kThree, "run"}, "key Up\nkey Enter\n", "menu 0 #13 []\n"},
      {"after the last item", {kThree, "run"}, "key End\nkey Down\nkey Down\nkey Enter\n", "menu 4 #13 []\n"},
      {"page down stops after the last", {kThree, "run"}, "key PageDown\nkey Up\nkey Enter\n", "menu 3 #13 [tres]\n"},
      {"home", {kThree, "run:3"}, "key Home\nkey Enter\n", "menu 1 #13 [um]\n"},
      {"a start number", {kThree, "run:2"}, "key Enter\n", "menu 2 #13 [dois]\n"},
      {"zero starts at the first", {kThree, "run:0"}, "key Enter\n", "menu 1 #13 [um]\n"},
      {"no number keeps the last start", {kThree, "run:3", "run"}, "key Esc\nkey Enter\n",
       "menu 3 #27 [tres]\nmenu 3 #13 [tres]\n"},
      {"left starts the choice again", {kThree, "run:2"}, "key Down\nkey Left\nkey Enter\n", "menu 2 #13 [dois]\n"},
      {"ctrl+f9 starts it again", {kThree, "run"}, "key Down\nkey Ctrl+F9\nkey Enter\n", "menu 1 #13 [um]\n"},
      {"an empty menu", {"menu:1:1:20:4:", "endmenu", "run"}, "key Down\nkey Enter\n", "menu 1 #13 []\n"},
      {"tab", {kThree, "run"}, "key Tab\n", "menu 1 #9 [um]\n"},
  };
  for (const Case& c : cases) {
    const controlstest::Outcome r = run(c.actions, c.keys);
    EXPECT_EQ(r.status, 0) << c.name << "\n" << r.output;
    EXPECT_EQ(r.output, c.output) << c.name;
  }
}

TEST_F(Menu, EachItemIsAnnouncedAsItBecomesCurrent) {
  const controlstest::Outcome r = run({kThree, "run:2"}, "key Down\nkey Left\nkey Up\nkey Up\nkey Enter\n");
  EXPECT_EQ(r.output, "menu 0 #13 []\n");
  Events menu;
  for (const std::string& e : r.events) {
    if (e.rfind("MENU ", 0) == 0 || e == "BEEP") menu.push_back(e);
  }
  // Left announces the start item again; past the first a beep, then silence.
  EXPECT_EQ(menu, (Events{"MENU dois", "MENU tres", "MENU dois", "MENU um", "BEEP"}));
  EXPECT_TRUE(inOrder(r.events, {"MENU dois", "SAY dois"}));
}

TEST_F(Menu, MarksAreToggledAndAMarkedItemBeepsBeforeItsName) {
  const controlstest::Outcome r = run({kThree, "run"}, "key Space\nkey Down\nkey Up\nkey Enter\n");
  EXPECT_EQ(r.output, "menu 1 #13 [um]\n");
  EXPECT_TRUE(inOrder(r.events, {"MENU um", "BEEP", "MENU um", "MENU dois", "BEEP", "MENU um"}))
      << testing::PrintToString(r.events);
  // Shift+Down marks as it goes; "/" clears every mark.
  const controlstest::Outcome shifted =
      run({kThree, "run"}, "key Shift+Down\nkey Up\nkey Up\nkey Down\ntype /\nkey Down\nkey Enter\n");
  EXPECT_EQ(shifted.output, "menu 2 #13 [dois]\n");
  EXPECT_TRUE(inOrder(shifted.events, {"BEEP", "MENU dois", "BEEP", "MENU um", "BEEP", "MENU um", "MENU dois"}))
      << testing::PrintToString(shifted.events);
}

TEST_F(Menu, ThePageScrollsAndMarkedItemsAreGreen) {
  const controlstest::Outcome r =
      run({"colour:7:0", "menu:1:1:20:4:um|dois|tres|quatro|cinco|seis", "run"}, "key Down\nkey Down\nkey Down\nkey Down\nkey Enter\n");
  EXPECT_EQ(r.output, "menu 5 #13 [cinco]\n");
  EXPECT_EQ(Events(r.screen.begin(), r.screen.begin() + 5), (Events{"dois", "tres", "quatro", "cinco", ""}));
}

TEST_F(Menu, RectanglesBeyondTheScreenNeitherWrapNorScroll) {
  // Rows below the screen are drawn on its last row; columns past it are
  // cut, so the screen never scrolls.
  const controlstest::Outcome r =
      run({"write:topo", "menu:70:24:200:60:primeiro item longo|segundo item longo|terceiro", "run"},
          "key Down\nkey Enter\n");
  EXPECT_EQ(r.output, "menu 2 #13 [segundo item longo]\n");
  EXPECT_EQ(r.screen[0], "topo");
  EXPECT_EQ(r.screen[23], std::string(69, ' ') + "primeiro it");
}

// A heading written across the menu's place leaves nothing of itself beside
// the menu's rows: "Filmes" is not followed by the rest of the heading.
TEST_F(Menu, ItsRowsLeaveNoFragmentOfTheTextBeneath) {
  const controlstest::Outcome r =
      run({"write:Escolha o que voce quer assistir.", "menu:1:1:10:2:Filmes|Novelas", "run"}, "key Enter\n");
  EXPECT_EQ(r.screen[0], "Filmes");
  EXPECT_EQ(r.screen[1], "Novelas");
}

TEST_F(Menu, EndBlanksTheRectangle) {
  const controlstest::Outcome r = run({"write:fora", kThree, "run", "endmenu", "write:X"}, "key Enter\n");
  EXPECT_EQ(r.screen[0], "X");
  EXPECT_EQ(r.screen[1], "");
}

TEST_F(Menu, AThousandItemsAndVeryLongOnes) {
  const controlstest::Outcome big = run({"items:1000", "run"}, "key End\nkey PageUp\nkey Enter\n");
  EXPECT_EQ(big.output, "menu 990 #13 [item 990]\n");
  const std::string longItem(3000, 'a');
  const controlstest::Outcome wide = run({"menu:1:1:20:2:" + longItem, "run"}, "wait 200\nkey Enter\n");
  EXPECT_EQ(wide.output, "menu 1 #13 [" + longItem + "]\n");
  EXPECT_EQ(wide.screen[0], std::string(20, 'a'));
}

TEST_F(Menu, AKeyDuringAnItemCutsItsSpeechAndActsAtOnce) {
  const std::string longItem = "um item muito comprido que leva varios segundos para ser dito em voz alta por inteiro";
  clockSpeed_ = 1;
  const controlstest::Outcome r = run({"menu:1:1:80:4:" + longItem + "|dois", "run"}, "wait 300\nkey Down\nkey Enter\n");
  EXPECT_EQ(r.output, "menu 2 #13 [dois]\n");
  EXPECT_LT(r.seconds, 3.0);  // said whole, the first item alone takes longer
}

TEST_F(Menu, AKeyScriptEndingWhileAMenuWaitsIsAClearError) {
  const controlstest::Outcome r = run({kThree, "run"}, "key Down\n");
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.output.find("key script has ended"), std::string::npos) << r.output;
}

}  // namespace
