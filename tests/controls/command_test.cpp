// The script commands of the screen, line input and menus, run by roteiro
// from key scripts: results written on row 20, errors as the run reports
// them.
#include <fstream>
#include <string>

#include "probe_run.h"

namespace {

using controlstest::ProbeTest;
using Events = std::vector<std::string>;

struct Case {
  const char* name;
  const char* script;
  const char* keys;
  const char* row20;  // nullptr: the run ends with an execution error
};

class Commands : public ProbeTest {
 protected:
  void expectCases(const Case* cases, size_t count);
};

void Commands::expectCases(const Case* cases, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const Case& c = cases[i];
    const std::string show = "\ntela @1,20\nescreve mudo \"[\" $r \"]\"\n";
    const bool fails = c.row20 == nullptr;
    const controlstest::Outcome r =
        runScript(std::string(c.script) + (fails ? "" : show), std::string(c.keys) + (fails ? "key Enter\n" : ""));
    if (fails) {
      EXPECT_EQ(r.status, 1) << c.name << "\n" << r.output;
      continue;
    }
    EXPECT_EQ(r.status, 0) << c.name << "\n" << r.output << testing::PrintToString(r.events);
    EXPECT_EQ(r.screen[19], std::string("[") + c.row20 + "]") << c.name;
  }
}

TEST_F(Commands, LineInput) {
  std::ofstream(scratch_ / "linhas.txt") << "linha\r\n";
  const Case cases[] = {
      {"a line", "le $r", "type abc\nkey Enter\n", "abc"},
      {"esc empties it", "le $r", "type abc\nkey Esc\n", ""},
      {"up ends it like enter", "le $r", "type abc\nkey Up\n", "abc"},
      {"editing a value", "seja $r \"abc\"\nle edita $r", "key Right\ntype x\nkey Enter\n", "axbc"},
      {"type-over of a value", "seja $r \"abc\"\nle edita $r", "type x\nkey Enter\n", "x"},
      {"esc in editing empties it", "seja $r \"abc\"\nle edita $r", "key Esc\n", ""},
      {"one key", "le $r &", "type a\n", "a"},
      {"esc as one key", "le $r &", "key Esc\n", "#27"},
      {"a special key", "le $r &", "key F3\n", "#0#61"},
      {"a key with its modifiers", "le tecla $r", "key Shift+F3\n", "100#0#61"},
      {"tecla anywhere", "le mudo tecla $r", "type a\n", "000#97"},
      {"a silent line", "le mudo $r", "type ab\nkey Backspace\ntype c\nkey Enter\n", "ac"},
      {"a hidden line", "le senha $r", "type segredo\nkey Enter\n", "segredo"},
      {"le alone waits for enter", "le\nseja $r \"ok\"", "type abc\nkey Enter\n", "ok"},
      {"le & drops one key", "le &\nle $r &", "type a\ntype b\n", "b"},
      {"the mouse", "le mouse $x $y\nseja $r $x\nconcatena $r \",\"\nconcatena $r $y", "", "0,0"},
      {"lowercase and accented forms", "lê $r", "type ok\nkey Enter\n", "ok"},
      {"the channel form", "abre #1 \"linhas.txt\"\nle #1 $r", "", "linha"},
      {"a missing variable", "le mudo", "", nullptr},
      {"something after the variable", "le $r $s", "", nullptr},
      {"the mouse without its second variable", "le rato $x", "", nullptr},
      {"the mouse with more after it", "le mouse $x $y $z", "", nullptr},
      {"no program's output", "seja $r \"x\"\nle console $r", "", ""},
  };
  expectCases(cases, std::size(cases));
}

TEST_F(Commands, HiddenInputIsNeitherShownNorSpoken) {
  const controlstest::Outcome r = runScript("le senha $p\nescreve mudo \"fim\"", "type segredo\nkey Enter\n");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.screen[0], "");
  EXPECT_EQ(r.screen[1], "fim");
  for (const std::string& e : r.events) {
    EXPECT_EQ(e.find("segredo"), std::string::npos) << e;
    EXPECT_NE(e.rfind("PLAY _", 0), 0u) << e;
  }
  // Nor does it reach the transcript as keys: each character is a "*".
  const std::string t = testsupport::slurp(scratch_ / "t.txt");
  size_t stars = 0;
  for (size_t at = t.find("KEY\t*\n"); at != std::string::npos; at = t.find("KEY\t*\n", at + 1)) ++stars;
  EXPECT_EQ(stars, 7u) << t;
  EXPECT_NE(t.find("KEY\t#13"), std::string::npos) << t;
  // What is shown of it is a "*" for each character, as for any text nobody can see.
  size_t shown = 0;
  for (size_t at = t.find("SHOW\t*\n"); at != std::string::npos; at = t.find("SHOW\t*\n", at + 1)) ++shown;
  EXPECT_EQ(shown, 7u) << t;
  // Even when the colours are fixed, which would keep the text visible.
  ini_ += "[VIDEO]\nCORESFIXAS=S\n";
  const controlstest::Outcome fixed = runScript("le senha $p", "type segredo\nkey Enter\n");
  EXPECT_EQ(fixed.screen[0], "");
}

TEST_F(Commands, Menus) {
  const char* kMenu = "menu cria 1 1 20 4\nmenu adiciona \"um\"\nmenu adiciona \"dois\"\n";
  const std::string run =
      "menu executa $n $k $t\nseja $r $n\nconcatena $r \" \"\nconcatena $r $k\nconcatena $r \" \"\nconcatena $r $t";
  const std::string execute = std::string(kMenu) + run;
  const std::string fromTwo = std::string(kMenu) + "seja $n 2\n" + run;
  const std::string twice = std::string(kMenu) + "seja $n 2\nmenu executa $n $k $t\n" + run;
  const std::string ended = std::string(kMenu) + "menu termina\nmenu adiciona \"tres\"\n" + run;
  const Case cases[] = {
      {"enter", execute.c_str(), "key Down\nkey Enter\n", "2 #13 dois"},
      {"esc", execute.c_str(), "key Esc\n", "1 #27 um"},
      {"a letter", execute.c_str(), "type s\n", "1 s um"},
      {"f3", execute.c_str(), "key F3\n", "1 #0#61 um"},
      {"before the first", execute.c_str(), "key Up\nkey Enter\n", "0 #13 "},
      {"from the number variable", fromTwo.c_str(), "key Enter\n", "2 #13 dois"},
      {"again where the last choice was", twice.c_str(), "key Up\nkey Enter\nkey Enter\n", "1 #13 um"},
      {"a new list after termina", ended.c_str(), "key Enter\n", "1 #13 tres"},
      {"cria without its fourth number", "menu cria 1 1 20", "", nullptr},
      {"cria with a word", "menu cria 1 1 20 x", "", nullptr},
      {"executa without variables", "menu cria 1 1 20 4\nmenu executa $n $k", "", nullptr},
      {"adiciona before cria", "menu adiciona \"x\"", "", nullptr},
      {"an operand too many", "menu cria 1 1 20 4\nmenu adiciona \"x\" \"y\"", "", nullptr},
      {"an unknown sub-command", "menu mostra", "", nullptr},
  };
  expectCases(cases, std::size(cases));
}

TEST_F(Commands, MenusAreAnnouncedInTheTranscript) {
  const controlstest::Outcome r =
      runScript("menu cria 1 1 20 4\nmenu adiciona \"Filmes\"\nmenu adiciona \"S\xC3\xA9ries\"\nmenu executa $n $k $t",
                "key Down\nkey Enter\n");
  EXPECT_TRUE(inOrder(r.events, {"MENU Filmes", "SAY Filmes", "MENU S\xC3\xA9ries", "SAY S\xC3\xA9ries"}))
      << testing::PrintToString(r.events);
}

TEST_F(Commands, ScreenCommands) {
  const Case cases[] = {
      {"tela limpa", "escreve mudo \"x\"\ntela limpa\nseja $r \"ok\"", "", "ok"},
      {"tela from a variable", "seja a \"limpa\"\ntela a\nseja $r \"ok\"", "", "ok"},
      {"tela normal and minimizada", "tela minimizada\ntela normal\nseja $r \"ok\"", "", "ok"},
      {"tela @ with a missing row", "tela @5", "", nullptr},
      {"tela @ with a word", "tela @a,3", "", nullptr},
      {"an unknown tela", "tela cheia", "", nullptr},
      {"cor without a number", "cor \"azul\"", "", nullptr},
      {"fundo without an operand", "fundo", "", nullptr},
      {"titulo without an operand", "titulo", "", nullptr},
      {"alarme above 20000", "alarme 440 20001", "", nullptr},
      {"alarme below 0", "alarme -1 10", "", nullptr},
      {"alarme ignores what follows", "alarme 440 50 \"x\"\nseja $r \"ok\"", "", "ok"},
      {"espera without a number", "espera \"x\"", "", nullptr},
      {"espera for a title that is there", "titulo \"Janela do Programa\"\nespera 1 \"programa\"\ncheca $r", "",
       "0"},
      {"espera for a title that never comes", "espera 1 \"outro\"\ncheca $r", "", "1"},
      {"espera 0 for a title", "espera 0 \"x\"\ncheca $r", "", "1"},
  };
  expectCases(cases, std::size(cases));
}

TEST_F(Commands, ColoursAndTheCursor) {
  // Text whose colours are equal is invisible on the screen: COR 20 is 4,
  // FUNDO 17 is 1.
  const controlstest::Outcome r = runScript(
      "tela @0,0\nescreve mudo \"a\" &\ntela @200,200\nescreve mudo \"z\" &\ntela @3,2\nfundo 4\ncor 20\n"
      "escreve mudo \"oculto\" &\ncor 1\nfundo 17\nescreve mudo \"tambem\" &\ncor 7\nescreve mudo \"visto\" &",
      "");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.screen[0], "a");
  EXPECT_EQ(r.screen[1], std::string(14, ' ') + "visto");
  EXPECT_TRUE(inOrder(r.events, {"SHOW a", "SHOW z", "SHOW ******", "SHOW ******", "SHOW visto"}));
  EXPECT_EQ(r.screen[24], std::string(79, ' ') + "z");
}

TEST_F(Commands, TitlesBeepsAndPauses) {
  clockSpeed_ = 1;
  const controlstest::Outcome r =
      runScript("titulo \"Minha janela\"\nbipa\nbipa 1\nbipa 0\nbipa \"x\"\nespera ms 300\nespera 1", "");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(inOrder(r.events, {"TITLE Minha janela", "BEEP", "CLICK", "BEEP", "BEEP"}))
      << testing::PrintToString(r.events);
  EXPECT_GE(r.seconds, 1.3);
  // A pause of more than 65535 ms is not cut to its low 16 bits: it is
  // still going when the time limit comes.
  const controlstest::Outcome longPause = runScript("espera ms 66000", "", "--time-limit 2");
  EXPECT_EQ(longPause.status, 4) << longPause.output;
}

}  // namespace
