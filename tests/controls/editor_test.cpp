// The line editor used as a user would: keys from a key script, then the
// text it returned, what was said and played, and the screen.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "probe_run.h"

namespace {

using controlstest::ProbeTest;
using Events = std::vector<std::string>;

using Editor = ProbeTest;

TEST_F(Editor, EditingKeysChangeTheTextAsExpected) {
  ini_ = "[ESCUTA]\nFALANDO=Nao\nFALARTUDO=Nao\n";  // quicker: typed characters are not said
  struct Case {
    const char* name;
    const char* action;  // edit:COL:ROW:MAX:TEXT
    const char* keys;
    const char* result;  // what the probe prints
  } cases[] = {
      {"typing", "edit:1:1:255:", "type abc\nkey Enter\n", "edit 13 [abc]"},
      {"left and backspace", "edit:1:1:255:", "type abc\nkey Left\nkey Backspace\nkey Enter\n", "edit 13 [ac]"},
      {"backspace at the start refuses", "edit:1:1:255:", "key Backspace\ntype a\nkey Enter\n", "edit 13 [a]"},
      {"home and insert", "edit:1:1:255:", "type ola\nkey Home\ntype X\nkey Enter\n", "edit 13 [Xola]"},
      {"end after the text", "edit:1:1:255:", "type ab   c\nkey Home\nkey End\ntype d\nkey Enter\n",
       "edit 13 [ab   cd]"},
      {"delete", "edit:1:1:255:", "type abc\nkey Home\nkey Delete\nkey Enter\n", "edit 13 [bc]"},
      {"selection deleted", "edit:1:1:255:",
       "type abcdef\nkey Home\nkey Right\nkey Shift+Right\nkey Shift+Right\nkey Shift+Right\nkey Delete\nkey Enter\n",
       "edit 13 [aef]"},
      {"selection to the left", "edit:1:1:255:",
       "type abcdef\nkey Shift+Left\nkey Shift+Left\nkey Delete\nkey Enter\n", "edit 13 [abcd]"},
      {"ctrl+backspace takes the word and its blanks", "edit:1:1:255:",
       "type um dois tres\nkey Ctrl+Left\nkey Ctrl+Left\nkey Ctrl+Backspace\nkey Enter\n", "edit 13 [um tres]"},
      {"word moves", "edit:1:1:255:", "type um dois tres\nkey Ctrl+Left\nkey Ctrl+Left\ntype X\nkey Enter\n",
       "edit 13 [um Xdois tres]"},
      {"ctrl+d blanks to the end", "edit:1:1:255:", "type abcdef\nkey Home\nkey Right\nkey Right\nkey Ctrl+D\nkey Enter\n",
       "edit 13 [ab]"},
      {"ctrl+s deletes before the cursor", "edit:1:1:255:",
       "type abcdef\nkey Home\nkey Right\nkey Right\nkey Ctrl+S\ntype X\nkey Enter\n", "edit 13 [Xcdef]"},
      {"ctrl+y blanks all", "edit:1:1:255:", "type abc\nkey Ctrl+Y\ntype z\nkey Enter\n", "edit 13 [z]"},
      {"ctrl+u restores", "edit:1:1:255:abc", "key Right\ntype xy\nkey Ctrl+U\nkey Enter\n", "edit 13 [abc]"},
      {"type-over replaces an existing value", "edit:1:1:255:abc", "type x\nkey Enter\n", "edit 13 [x]"},
      {"editing an existing value", "edit:1:1:255:abc", "key Right\ntype x\nkey Enter\n", "edit 13 [axbc]"},
      {"the maximum length refuses more", "edit:1:1:3:", "type abcd\nkey Enter\n", "edit 13 [abc]"},
      {"a full text loses its last character", "edit:1:1:3:", "type abc\nkey Home\ntype X\nkey Enter\n",
       "edit 13 [Xab]"},
      {"esc", "edit:1:1:255:", "type abc\nkey Esc\n", "edit 27 [abc]"},
      {"up ends and keeps the text", "edit:1:1:255:", "type abc\nkey Up\n", "edit 72 [abc]"},
      {"f2 ends", "edit:1:1:255:", "type abc\nkey F2\n", "edit 60 [abc]"},
      {"tab ends", "edit:1:1:255:", "type abc\nkey Tab\n", "edit 9 [abc]"},
      {"ctrl+f9 ends", "edit:1:1:255:", "type abc\nkey Ctrl+F9\n", "edit 102 [abc]"},
      {"alt with a digit is ignored", "edit:1:1:255:", "type ab\nkey Ctrl+Alt+1\ntype c\nkey Enter\n",
       "edit 13 [abc]"},
      {"alt+q lets the next key count alone", "edit:1:1:255:", "type ab\nkey Ctrl+Alt+Q\ntype c\nkey Enter\n",
       "edit 13 [abc]"},
      {"alt+q before a special key ends, taking both its codes", "edit:1:1:255:",
       "type ab\nkey Ctrl+Alt+Q\nkey Up\n", "edit 16 [ab]"},
      {"a timed last key is taken, not the end of the script", "edit:1:1:255:", "type a\nwait 700\nkey Enter\n",
       "edit 13 [a]"},
      {"a text above the limit is cut to 2048", "edit:1:1:5000:", "key End\ntype xyz\nkey Enter\n", "edit 13 [xyz]"},
  };
  for (const Case& c : cases) {
    const controlstest::Outcome r = run({c.action}, c.keys);
    EXPECT_EQ(r.status, 0) << c.name << "\n" << r.output;
    EXPECT_EQ(r.output, std::string(c.result) + "\n") << c.name;
  }
}

TEST_F(Editor, ALongLineScrollsTheFieldAndComesBackWithoutTrailingBlanks) {
  const std::string typed(100, 'x');
  const controlstest::Outcome r = run({"line", "write:fim"}, "type " + typed + "\nkey Enter\n");
  EXPECT_EQ(r.output, "line [" + typed + "]\n");
  // The field at column 1 shows 78 characters: the first 78 when it ends.
  EXPECT_EQ(r.screen[0], std::string(78, 'x'));
  EXPECT_EQ(r.screen[1], "fim");
}

TEST_F(Editor, EscInALineReadEmptiesItAndBlanksWhatWasTyped) {
  const controlstest::Outcome r = run({"write:Nome: ", "line", "write:depois"}, "type Maria\nkey Esc\n");
  EXPECT_EQ(r.output, "line []\n");
  EXPECT_EQ(r.screen[0], "Nome:");
  EXPECT_EQ(r.screen[1], "depois");
}

TEST_F(Editor, EveryActionIsHeard) {
  struct Case {
    const char* name;
    const char* keys;
    Events events;  // in this order, others may come between
  } cases[] = {
      {"typed characters", "type ab\nkey Enter\n", {"PLAY _97", "PLAY _98"}},
      {"deleting says the piece and the character", "type ab\nkey Backspace\nkey Enter\n", {"PLAY _DEL", "PLAY _98"}},
      {"a refusal beeps", "key Left\nkey Enter\n", {"BEEP"}},
      {"words are clicked", "type um dois\nkey Ctrl+Left\nkey Enter\n", {"CLICK"}},
      {"f4 turns the echo off", "type a\nkey F4\ntype b\nkey F4\ntype c\nkey Enter\n",
       {"PLAY _97", "PLAY _FALDLG", "PLAY _FALACI", "PLAY _99"}},
      {"f1 reads word by word", "type 12 casas cpf\nkey Home\nkey F1\nkey F1\nkey F1\nkey F1\nkey Enter\n",
       {"SAY 12", "SAY casas", "SPELL cpf", "BEEP"}},
      {"ctrl+f1 reads it all", "type bom dia\nkey Ctrl+F1\nkey Enter\n", {"SAY bom dia"}},
      {"ctrl+k says the position", "type abc\nkey Ctrl+K\nkey Enter\n", {"SAY 4"}},
      {"ctrl+d", "type abc\nkey Ctrl+D\nkey Enter\n", {"PLAY _APFCPO"}},
      {"ctrl+s", "type abc\nkey Ctrl+S\nkey Enter\n", {"PLAY _APICPO"}},
      {"ctrl+y", "type abc\nkey Ctrl+Y\nkey Enter\n", {"PLAY _CPOAPA"}},
      {"ctrl+u beeps three times", "type abc\nkey Ctrl+U\nkey Enter\n", {"BEEP", "BEEP", "BEEP"}},
      {"ctrl+\\ dials the text", "type 1*2\nkey Ctrl+\\\nkey Enter\n", {"PLAY dtmf_1", "PLAY dtmf_X", "PLAY dtmf_2"}},
      {"ctrl+f4 takes a speed and speech goes on", "key Ctrl+F4\ntype 5\ntype a\nkey Enter\n",
       {"PLAY _VELOC", "PLAY _53", "PLAY _97"}},
      {"ctrl+f4 refuses a letter", "key Ctrl+F4\ntype x\ntype a\nkey Enter\n",
       {"PLAY _VELOC", "PLAY _120", "BEEP", "PLAY _97"}},
  };
  for (const Case& c : cases) {
    const controlstest::Outcome r = run({"edit:1:1:255:"}, c.keys);
    EXPECT_EQ(r.status, 0) << c.name << "\n" << r.output;
    EXPECT_TRUE(inOrder(r.events, c.events)) << c.name << ": " << testing::PrintToString(r.events);
  }
}

TEST_F(Editor, TheMagnifiedLineFollowsTheCursor) {
  ini_ += "[BAIXAVISAO]\nAMPLIACAO=4\n";
  const std::string typed(60, 'm');
  const controlstest::Outcome r = run({"edit:1:1:255:"}, "type " + typed + "\nkey Home\nkey End\nkey Enter\n");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.output, "edit 13 [" + typed + "]\n");
}

TEST_F(Editor, TheEchoSettingsComeFromTheConfiguration) {
  ini_ = "[ESCUTA]\nFALANDO=Nao\nFALARTUDO=Nao\n";
  const controlstest::Outcome r = run({"edit:1:1:255:"}, "type ab\nkey Backspace\nkey Enter\n");
  EXPECT_EQ(r.output, "edit 13 [a]\n");
  EXPECT_EQ(countOf(r.events, "PLAY _97"), 0);
  EXPECT_EQ(countOf(r.events, "PLAY _DEL"), 0);
  EXPECT_EQ(countOf(r.events, "PLAY _98"), 1);  // the deleted character is still said
}

TEST_F(Editor, ClipboardRoundTrip) {
  struct Case {
    const char* name;
    std::vector<std::string> actions;
    const char* keys;
    const char* output;
  } cases[] = {
      {"copy without a selection", {"edit:1:1:255:", "paste"}, "type ab\nkey Ctrl+Insert\nkey Enter\n",
       "edit 13 [ab]\nclip [ab\r\n]\n"},
      {"copy a selection and paste it", {"edit:1:1:255:", "paste"},
       "type ola mundo\nkey Home\nkey Shift+Right\nkey Shift+Right\nkey Shift+Right\nkey Ctrl+C\nkey End\n"
       "key Space\nkey Ctrl+V\nkey Enter\n",
       "edit 13 [ola mundo ola]\nclip [ola]\n"},
      {"a paste replaces the selection", {"clip:XY", "edit:1:1:255:"},
       "type abcd\nkey Home\nkey Right\nkey Shift+Right\nkey Shift+Right\nkey Shift+Insert\nkey Enter\n",
       "edit 13 [aXYd]\n"},
      {"only the first line is pasted", {"clip:um\\ndois", "edit:1:1:255:"}, "key Ctrl+V\nkey Enter\n",
       "edit 13 [um]\n"},
      {"a paste as the first key replaces the value", {"clip:novo", "edit:1:1:255:velho"}, "key Ctrl+V\nkey Enter\n",
       "edit 13 [novo]\n"},
      {"a paste is cut to the maximum", {"clip:abcdef", "edit:1:1:4:"}, "key Ctrl+V\nkey Enter\n", "edit 13 [abcd]\n"},
      {"an empty clipboard pastes nothing", {"edit:1:1:255:"}, "type ab\nkey Ctrl+V\nkey Enter\n", "edit 13 [ab]\n"},
  };
  for (const Case& c : cases) {
    const controlstest::Outcome r = run(c.actions, c.keys);
    EXPECT_EQ(r.output, c.output) << c.name;
  }
}

TEST_F(Editor, TheSelectionIsShownOnADarkBackgroundUntilTheNextKey) {
  // The screen file shows the characters; the selection must not change
  // them, and the field ends drawn plainly.
  const controlstest::Outcome r =
      run({"edit:5:3:20:"}, "type abcdef\nkey Shift+Left\nkey Shift+Left\nkey Enter\n");
  EXPECT_EQ(r.output, "edit 13 [abcdef]\n");
  EXPECT_EQ(r.screen[2], "    abcdef");
}

TEST_F(Editor, ControlCharactersInAValueAreShownAsBlanks) {
  const controlstest::Outcome r = run({"write:12345", "edit:1:2:20:a\bb\x07" "c"}, "key End\nkey Enter\n");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.screen[0], "12345");  // a backspace in the value does not erase the row above or move
  EXPECT_EQ(r.screen[1], "a b c");
  EXPECT_EQ(countOf(r.events, "BEEP"), 0);  // nor does a bell ring at every redraw
}

TEST_F(Editor, TheScreenReviewOpensAndTheEditorGoesOn) {
  const controlstest::Outcome r =
      run({"write:Titulo da tela\\n", "edit:1:2:255:"}, "type ab\nkey Ctrl+Alt+F9\nkey PageUp\nkey Esc\ntype c\nkey Enter\n");
  EXPECT_EQ(r.output, "edit 13 [abc]\n");
  EXPECT_TRUE(inOrder(r.events, {"BEEP", "SAY Titulo", "SAY da", "SAY tela", "BEEP", "BEEP", "PLAY _99"}))
      << testing::PrintToString(r.events);
}

TEST_F(Editor, F12OpensTheWordWithTheConfiguredProgram) {
  // Stand-ins for the desktop's opener and a browser record what they get.
  const std::string bin = scratch_ / "bin";
  std::filesystem::create_directories(bin);
  for (const char* name : {"xdg-open", "navegador", "leitor"}) {
    const std::string file = bin + "/" + name;
    std::ofstream(file) << "#!/bin/sh\necho \"" << name << " $*\" >> " << (scratch_ / "opened.txt") << "\n";
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
  }
  extraEnv_ = "PATH=" + bin + ":$PATH";
  struct Case {
    const char* ini;
    const char* text;
    const char* opened;
  } cases[] = {
      {"PROG.HTM=navegador", "veja (www.exemplo.com.br) agora", "navegador www.exemplo.com.br)\n"},
      {"", "veja (www.exemplo.com.br) agora", "xdg-open http://www.exemplo.com.br)\n"},
      {"PROG.TXT=leitor", "abra notas.txt", "leitor notas.txt\n"},
      {"", "abra notas.txt", "xdg-open notas.txt\n"},
  };
  for (const Case& c : cases) {
    ini_ = std::string("[ESCUTA]\n") + c.ini + "\n";
    std::filesystem::remove(scratch_ / "opened.txt");
    const controlstest::Outcome r = run({std::string("edit:1:1:255:") + c.text}, "key Right\nkey Ctrl+Left\nkey Ctrl+Right\nkey F12\nkey Enter\n");
    EXPECT_EQ(r.status, 0) << r.output;
    // The opener runs on its own: give it a moment to write.
    for (int i = 0; i < 50 && !std::filesystem::exists(scratch_ / "opened.txt"); ++i) usleep(20000);
    usleep(20000);
    EXPECT_EQ(testsupport::slurp(scratch_ / "opened.txt"), c.opened) << c.text << " " << c.ini;
  }
  ini_ = "[ESCUTA]\n";
  const controlstest::Outcome blank = run({"edit:1:1:255:a   b"}, "key Right\nkey Right\nkey F12\nkey Enter\n");
  EXPECT_TRUE(inOrder(blank.events, {"BEEP"}));
}

}  // namespace
