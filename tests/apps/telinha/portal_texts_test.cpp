// Texts from the portal that become file names or the player's command
// line, run on their own: the client's procedures are taken from its script
// and called by roteiro with texts no JSON-speaking portal sends raw
// (control characters, NUL) or the demo portal never sends (quotes, links
// that are options).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "support/scratch.h"

namespace {

using testsupport::slurp;

// Runs the script headless in the folder, with a stand-in mpv first on PATH
// that writes its arguments to mpv.log, one a line; its exit status.
int runScript(const testsupport::ScratchDir& dir, const std::string& script) {
  std::ofstream(dir / "s.txt", std::ios::binary) << script;
  std::ofstream(dir / "mpv") << "#!/bin/sh\nprintf '%s\\n' \"$@\" >>mpv.log\n";
  const std::string cmd = "cd " + dir.path() + " && chmod +x mpv && PATH=" + dir.path() +
                          ":$PATH ESCUTA_FRONT_WAIT_MS=0 " ROTEIRO
                          " --frontend headless --clock-speed 25 --config-dir . --transcript t.txt s.txt";
  const int raw = std::system(cmd.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// A procedure's lines, from its label to its first "retorna", with the
// player the program would have found on PATH.
std::string procedure(const std::string& label, const std::string& player = "mpv") {
  std::istringstream in(slurp(CLIENT_SCRIPTS "/catalogo.txt"));
  std::string out;
  bool inside = false;
  for (std::string line; std::getline(in, line);) {
    inside = inside || line == label;
    for (size_t at = line.find("{{TOCADOR}}"); at != std::string::npos; at = line.find("{{TOCADOR}}"))
      line.replace(at, 11, player);
    if (inside) out += line + "\n";
    if (inside && line == "retorna") break;
  }
  return out;
}

TEST(FileNameCleaning, SeparatorsDotDotControlAndForbiddenCharactersBecomeUnderscores) {
  const struct {
    std::string name;     // Windows-1252, as the script holds it
    std::string cleaned;  // as the transcript shows it, in UTF-8
  } cases[] = {
      {"A Can\xE7\xE3o: o retorno", "A Canção_ o retorno"},
      {"../../../../tmp/PWNED", "________tmp_PWNED"},
      {"..\\..\\segredo", "____segredo"},
      {"c:\\..\\x", "c____x"},
      {"\\\\servidor\\pasta", "__servidor_pasta"},
      {"a\"\"b<c>d|e?f*g", "a_b_c_d_e_f_g"},  // "" is a quote inside the script's text
      {"x\x01y\x1bz\x7f", "x_y_z_"},
      {std::string("a\0b", 3), "a_b"},
      {"....", "__"},
      {"...", "._"},
      {".", "."},
      {"", "sem nome"},
  };
  testsupport::ScratchDir dir;
  std::string script;
  for (const auto& c : cases)
    script += "seja $nomearquivo \"" + c.name + "\"\nchama @nomedearquivo\nescreve mudo \"[\" $nomelimpo \"]\"\n";
  ASSERT_EQ(runScript(dir, script + "termina mudo\n" + procedure("@nomedearquivo")), 0);
  std::istringstream shown(slurp(dir / "t.txt"));
  size_t i = 0;
  for (std::string line; std::getline(shown, line);) {
    if (!line.starts_with("SHOW\t[")) continue;
    ASSERT_LT(i, std::size(cases)) << line;
    EXPECT_EQ(line, "SHOW\t[" + cases[i].cleaned + "]\\r\\n") << i;
    ++i;
  }
  EXPECT_EQ(i, std::size(cases));
}

// A quote in a title would close the player's --title and let the rest
// through as options of its own; a link that starts with "-" would be one.
TEST(PlayerCommandLine, TitlesKeepNoQuotesAndLinksAreNeverOptions) {
  testsupport::ScratchDir dir;
  const std::string play = "seja $numconteudo 1\nchama @reproduzconteudo\n";
  const std::string script =
      "seja $texfilme \"Filme \"\"x\"\" --o=saida.txt\"\nseja $linkconteudo \"https://portal/f.ogg\"\n" + play +
      "seja $linkconteudo \"--o=saida.txt\"\n" + play + "termina mudo\n" + procedure("@reproduzconteudo") +
      procedure("@reproduzconteudo_linkinvalido");
  ASSERT_EQ(runScript(dir, script), 0) << slurp(dir / "t.txt");
  EXPECT_EQ(slurp(dir / "mpv.log"),
            "--save-position-on-quit=yes\nhttps://portal/f.ogg\n--title=Telinha - Reproduzindo: Filme 'x' --o=saida.txt\n");
  EXPECT_NE(slurp(dir / "t.txt").find("SHOW\tO portal deu um endere\xC3\xA7o inv\xC3\xA1lido para este conte\xC3\xBA" "do."),
            std::string::npos);
}

// Without a player the user hears so and the client goes on from where it
// was, instead of ending with an execution error.
TEST(PlayerCommandLine, WithoutAPlayerTheUserIsToldAndTheClientGoesOn) {
  testsupport::ScratchDir dir;
  const std::string script = "seja $numconteudo 1\nseja $texfilme \"Filme\"\nseja $linkconteudo \"https://portal/f.ogg\"\n"
                             "chama @reproduzconteudo\nescreve mudo \"de volta\"\ntermina mudo\n" +
                             procedure("@reproduzconteudo", "") + procedure("@reproduzconteudo_linkinvalido") +
                             procedure("@reproduzconteudo_semtocador");
  ASSERT_EQ(runScript(dir, script), 0) << slurp(dir / "t.txt");
  const std::string t = slurp(dir / "t.txt");
  EXPECT_NE(t.find("SHOW\tO reprodutor mpv n\xC3\xA3o foi encontrado\\r\\n"), std::string::npos) << t;
  EXPECT_NE(t.find("SHOW\tde volta"), std::string::npos) << t;
  EXPECT_EQ(t.find("RUN"), std::string::npos) << t;
}

}  // namespace
