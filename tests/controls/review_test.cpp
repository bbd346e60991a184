// The screen review from key scripts: what it reads, where the position
// goes, and that the console's cursor comes back.
#include <string>

#include "probe_run.h"

namespace {

using controlstest::ProbeTest;
using Events = std::vector<std::string>;

using Review = ProbeTest;

// Four rows; the cursor is left after "fim", on row 4.
const char* kScreen = "write:Nome: Ana\\nIdade 30 anos\\n\\nveja o fim";

TEST_F(Review, KeysReadAndMoveThePosition) {
  struct Case {
    const char* name;
    const char* keys;
    Events events;  // in this order, others may come between
  } cases[] = {
      {"page up reads the first row", "key PageUp\nkey Esc\n", {"SAY Nome", "SAY :", "SAY Ana"}},
      {"up at the top beeps and stays", "key PageUp\nkey Up\nkey Ctrl+K\nkey Esc\n", {"SAY Ana", "BEEP", "SAY 1 1"}},
      {"down clicks and reads", "key PageUp\nkey Down\nkey Esc\n", {"CLICK", "SAY Idade", "SAY 30", "SAY anos"}},
      {"f6 jumps to a row and column", "key F6\ntype 0207\nkey Ctrl+K\nkey Esc\n",
       {"SAY Entre linha e coluna", "PLAY _48", "PLAY _55", "SAY 2 7"}},
      {"f6 with a letter cancels", "key F6\ntype 0x\nkey Ctrl+K\nkey Esc\n", {"PLAY _120", "BEEP", "BEEP", "SAY 4 11"}},
      {"left and right say characters", "key Home\nkey Right\nkey Right\nkey Left\nkey Esc\n",
       {"PLAY _118", "PLAY _101", "PLAY _101"}},
      {"f1 reads the next word", "key Home\nkey F1\nkey F1\nkey Ctrl+K\nkey Esc\n", {"SAY veja", "SAY o", "SAY 4 7"}},
      {"a search goes to the text", "key PageUp\nkey F5\ntype 30\nkey Enter\nkey Ctrl+K\nkey Esc\n",
       {"SAY Qual texto", "PLAY _51", "PLAY _48", "CLICK", "SAY 2 7"}},
      {"a text only before the cursor is not found", "key F5\ntype veja\nkey Enter\nkey Esc\n",
       {"SAY Qual texto", "BEEP", "BEEP"}},
      {"search again", "key PageUp\nkey F5\ntype a\nkey Enter\nkey Ctrl+F5\nkey Ctrl+K\nkey Esc\n",
       {"CLICK", "CLICK", "SAY 2 3"}},
      {"tl reads the row and comes back", "key PageUp\nkey End\ntype tl\nkey Ctrl+K\nkey Esc\n",
       {"SAY Nome", "SAY Ana", "SAY 1 10"}},
      {"tt reads the screen with clicks between rows", "type tt\nkey Esc\n",
       {"SAY Nome", "SAY Ana", "CLICK", "SAY Idade", "CLICK", "CLICK", "SAY veja", "SAY fim"}},
      {"ft from the position", "key PageUp\nkey Down\nkey Ctrl+Right\ntype ft\nkey Esc\n", {"SAY 30", "SAY anos",
       "CLICK", "CLICK", "SAY veja"}},
      {"the field under the position", "key PageUp\nkey Ctrl+F1\nkey Tab\nkey Ctrl+F1\nkey Esc\n",
       {"SAY Nome", "CLICK", "SAY Ana"}},
      {"an unknown pair", "type tz\nkey Esc\n", {"BEEP", "CLICK", "BEEP"}},
      {"an unknown key", "key F9\nkey Esc\n", {"BEEP", "CLICK", "BEEP"}},
      {"entering and leaving", "key Esc\n", {"BEEP", "BEEP", "BEEP"}},
  };
  for (const Case& c : cases) {
    const controlstest::Outcome r = run({kScreen, "review"}, c.keys);
    EXPECT_EQ(r.status, 0) << c.name << "\n" << r.output;
    EXPECT_TRUE(inOrder(r.events, c.events)) << c.name << ": " << testing::PrintToString(r.events);
  }
}

TEST_F(Review, LeavingPutsTheCursorBack) {
  const controlstest::Outcome r = run({kScreen, "review", "write:!"}, "key PageUp\nkey Down\nkey Esc\n");
  EXPECT_EQ(r.screen[3], "veja o fim!");
}

TEST_F(Review, CtrlCCopiesTheWholeScreen) {
  const controlstest::Outcome r = run({kScreen, "review", "paste"}, "key Ctrl+C\nkey Esc\n");
  std::string rows;
  const char* shown[] = {"Nome: Ana", "Idade 30 anos", "", "veja o fim"};
  for (int i = 0; i < 25; ++i) {
    std::string row = i < 4 ? shown[i] : "";
    row.resize(80, ' ');
    rows += row + "\r\n";
  }
  EXPECT_EQ(r.output, "clip [" + rows + "]\n");
}

TEST_F(Review, AKeyStopsTheReadingOfTheScreen) {
  const controlstest::Outcome r = run({kScreen, "review"}, "type tt\nwait 200\nkey Esc\n");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_FALSE(inOrder(r.events, {"SAY veja"})) << testing::PrintToString(r.events);
}

}  // namespace
