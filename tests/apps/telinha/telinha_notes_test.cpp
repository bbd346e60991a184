// The portal's notifications as the client reads them: the notes file, the
// menu of titles, each kind of note opened and played, and an error answer.
#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "apps/telinha_run.h"

namespace {

using telinha_run::ClientRun;
using telinha_run::Machine;
using telinha_run::missingInOrder;
using Lines = std::vector<std::string>;

// From the main menu to the notifications (its fifth item).
const std::string kNotes = "key Down\nkey Down\nkey Down\nkey Down\nkey Enter\n";
// From a menu of the notes back out of the program.
const std::string kLeave = "key Esc\nkey Esc\nkey s\n";

class Notes : public telinha_run::ClientTest {};

TEST_F(Notes, TheTitlesAreListedWithTheirDatesAndTheNotesFileHoldsThemWhole) {
  const ClientRun r = runClient(m, kNotes + "key Down\nkey Esc\nkey Esc\nkey s\n");
  EXPECT_EQ(r.status, 0) << r.seen << r.stderrText;
  EXPECT_EQ(missingInOrder(r.seen, {"KEY #13", "PLAY SOM\\\\EF01.WAV",
                                    "SHOW Notificações. Use as setas para ler os títulos das notas",
                                    "SHOW Enter abre a nota selecionada, esc volta ao menu anterior",
                                    "PLAY SOM\\\\TLLENOTAS.WAV",
                                    "MENU Novo filme disponível! O Farol de Itaúnas. - em 31/01/2025 20:15:00",
                                    "MENU Nova série disponível! Delegacia Central. - em 03/02/2025 09:30:00",
                                    "KEY #27", "PLAY SOM\\\\EF02.WAV", "MENU Ler notificações do Vitrine Aberta"}),
            "");
  const std::string notes = telinha_run::clientFile(m, "temp/tlnotas");
  EXPECT_EQ(notes.substr(0, notes.find("/\r\n") + 3),
            "***Novo filme dispon\xEDvel! O Farol de Ita\xFAnas. - em 31/01/2025 20:15:00\r\n"
            "Novo filme dispon\xEDvel! O Farol de Ita\xFAnas.\r\nUm drama com audiodescri\xE7\xE3o completa.\r\n"
            "Assista agora no Vitrine Aberta.\r\n/\r\n");
  // An escaped double quote in a message is a plain one in the file.
  EXPECT_NE(notes.find("Dos criadores de \"Zona de Perigo\"."), std::string::npos) << notes;
  // The request goes to the notifications port in plain text; the requests
  // after it go to the web host again.
  const Lines lines = telinha_run::requestLines(m);
  EXPECT_EQ(lines, (Lines{"POST /conectar HTTP/1.1", "GET /contador.json HTTP/1.1", "GET /notificacoes HTTP/1.1"}));
  for (const auto& q : telinha_run::requests(m)) {
    const std::string raw = q.value("request", std::string());
    if (raw.starts_with("GET /notificacoes") && raw.find("Telinha_mon") == std::string::npos) {
      EXPECT_EQ(q.value("server", std::string()), "notes") << raw;
      EXPECT_EQ(raw, "GET /notificacoes HTTP/1.1\r\nUser-Agent: Telinha\r\nHost: 127.0.0.1\r\nAccept: */*\r\n"
                     "Connection: Close\r\n\r\n");
    }
  }
}

// Enter on a note of each kind opens it and plays what it announces.
struct Kind {
  const char* name;
  std::string keys;       // from the notes menu, through the note, back to the notes menu
  Lines seen;             // in order
  std::string searched;   // the search request's first line and body
  std::string title;      // the player's title (its beginning)
};

// Named by its kind in test names and reports.
void PrintTo(const Kind& k, std::ostream* os) { *os << k.name; }

class EachKind : public Notes, public ::testing::WithParamInterface<Kind> {};

TEST_P(EachKind, EnterPlaysWhatTheNoteAnnounces) {
  const Kind& k = GetParam();
  const ClientRun r = runClient(m, kNotes + k.keys + kLeave);
  EXPECT_EQ(r.status, 0) << r.seen << r.stderrText;
  EXPECT_EQ(missingInOrder(r.seen, k.seen), "");
  bool searched = false;
  for (const auto& q : telinha_run::requests(m)) {
    const std::string raw = q.value("request", std::string());
    if (raw.find(k.searched) != std::string::npos) searched = true;
  }
  std::string all;
  for (const auto& q : telinha_run::requests(m)) all += q.value("request", std::string()) + "\n----\n";
  EXPECT_TRUE(searched) << k.searched << "\nnot among:\n" << all;
  const auto starts = telinha_run::playerStarts(m);
  ASSERT_EQ(starts.size(), 1u) << r.seen;
  ASSERT_EQ(starts[0].size(), 3u);
  EXPECT_EQ(starts[0][0], "--save-position-on-quit=yes");
  EXPECT_TRUE(starts[0][1].starts_with("https://localhost:")) << starts[0][1];
  EXPECT_TRUE(starts[0][2].starts_with("--title=Telinha - Reproduzindo: " + k.title)) << starts[0][2];
}

INSTANTIATE_TEST_SUITE_P(
    Notes, EachKind,
    ::testing::Values(
        Kind{"film",
             "key Enter\nkey Enter\nkey Esc\n",
             {"KEY #13", "PLAY SOM\\\\EF07.WAV", "SHOW Lendo notificação.", "PLAY SOM\\\\TLLENO.WAV",
              "MENU Novo filme disponível! O Farol de Itaúnas.", "KEY #13", "SHOW Iniciando reprodução do filme.",
              "PLAY SOM\\\\TLINICREPFIL.WAV", "TITLE Telinha - reproduzindo: O Farol de Itaúnas",
              "MENU Novo filme disponível! O Farol de Itaúnas.", "KEY #27", "PLAY SOM\\\\EF02.WAV",
              "MENU Novo filme disponível! O Farol de Itaúnas. - em 31/01/2025 20:15:00"},
             "GET /api/v1/listarfilme HTTP/1.1\r\nUser-Agent: Telinha\r\nHost: localhost\r\nAccept: */*\r\n"
             "Connection: Close\r\nContent-Type: Application/json\r\nContent-length: 47\r\n\r\n"
             "{\"nome_filme\":\"O Farol de Itaúnas\",\"pagina\":1}",
             "O Farol de Itaúnas"},
        Kind{"series",
             "key Down\nkey Enter\nkey Enter\nkey Enter\nkey Esc\nkey Esc\n",
             {"MENU Nova série disponível! Delegacia Central. - em 03/02/2025 09:30:00", "KEY #13",
              "PLAY SOM\\\\EF07.WAV", "MENU Nova série disponível! Delegacia Central.", "KEY #13",
              "TITLE Telinha - escolha o episódio", "KEY #13", "SHOW Iniciando reprodução do episódio.",
              "KEY #27", "MENU Nova série disponível! Delegacia Central."},
             "{\"nome_serie\":\"Delegacia Central\",\"pagina\":1}",
             "Delegacia Central - Temporada 1, "},
        Kind{"updated series",
             "key Down\nkey Down\nkey Enter\nkey Enter\nkey Enter\nkey Esc\nkey Esc\n",
             {"KEY #13", "PLAY SOM\\\\EF07.WAV", "MENU Série atualizada: chegou nova temporada! Sob o Sol de Outubro.",
              "KEY #13", "TITLE Telinha - escolha o episódio", "KEY #13",
              "SHOW Iniciando reprodução do episódio."},
             "{\"nome_serie\":\"Sob o Sol de Outubro\",\"pagina\":1}",
             "Sob o Sol de Outubro - Temporada 3, "}),
    [](const ::testing::TestParamInfo<Kind>& p) {
      std::string n = p.param.name;
      for (char& c : n) c = c == ' ' ? '_' : c;
      return n;
    });

// An answer other than 200 is said with the server's message, and the
// client goes back to the main menu.
class FailingNotes : public Notes {
 protected:
  telinha_run::Options portal() override { return {.portalArgs = {"--fail", "/notificacoes=503"}}; }
};

TEST_F(FailingNotes, TheErrorIsReportedAndLaterRequestsGoToTheWebHostAgain) {
  const ClientRun r = runClient(m, kNotes + "key Up\nkey Up\nkey Up\nkey Up\nkey Enter\nkey Esc\nkey Esc\nkey s\n");
  EXPECT_EQ(r.status, 0) << r.seen << r.stderrText;
  EXPECT_EQ(missingInOrder(r.seen, {"KEY #13", "SAY Erro: 503", "MENU Ler notificações do Vitrine Aberta",
                                    "MENU Filmes", "KEY #13"}),
            "");
  const size_t said = r.seen.find("SAY Erro: 503");
  EXPECT_NE(r.seen.find("SAY {\"erro\":\"Falha simulada pelo servidor de demonstração.\"}", said), std::string::npos)
      << r.seen;
  bool genres = false;
  for (const auto& q : telinha_run::requests(m)) {
    if (q.value("request", std::string()).starts_with("GET /api/v1/listargenerofilme ")) {
      genres = true;
      EXPECT_EQ(q.value("server", std::string()), "web");
    }
  }
  EXPECT_TRUE(genres);
}

// With no notes the menu is empty, and Esc leaves it.
TEST(NoNotes, AnEmptyMenuIsLeftWithEsc) {
  Machine m;
  nlohmann::json catalogue = nlohmann::json::parse(live::readFile(TELINHA_FIXTURE));
  catalogue["notificacoes"] = nlohmann::json::array();
  const std::string none = m.dir / "none.json";
  std::ofstream(none) << catalogue.dump();
  ASSERT_TRUE(telinha_run::start(m, {.portalArgs = {"--fixture", none}}));
  const ClientRun r = runClient(m, kNotes + "key Esc\nkey Esc\nkey s\n");
  telinha_run::stop(m);
  EXPECT_EQ(r.status, 0) << r.seen << r.stderrText;
  EXPECT_EQ(missingInOrder(r.seen, {"PLAY SOM\\\\TLLENOTAS.WAV", "KEY #27", "PLAY SOM\\\\EF02.WAV",
                                    "MENU Ler notificações do Vitrine Aberta"}),
            "");
}

}  // namespace
