// The client's catalogue run against the demo portal: genre menus, pages of
// titles, search, details, seasons and episodes, chapters, the player and
// the film extras; what the user hears and sees, exactly what the portal
// receives, and what the client leaves on the machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "apps/telinha_run.h"

namespace {

using telinha_run::ClientRun;
using telinha_run::missingInOrder;
using Lines = std::vector<std::string>;

// From the main menu back out of the client, after a walk in the catalogue
// that ends on the main menu.
const char* kLeave = "key Esc\nkey s\n";

class Catalogue : public telinha_run::ClientTest {
 protected:
  ClientRun run(const std::string& keys) {
    ClientRun r = runClient(m, keys + kLeave);
    EXPECT_EQ(r.status, 0) << r.seen << r.stderrText;
    return r;
  }

  // The catalogue's requests, whole, in order (the start's two left out).
  Lines catalogueRequests() {
    Lines out;
    for (const auto& q : telinha_run::requests(m)) {
      const std::string raw = q.value("request", std::string());
      if (raw.starts_with("GET /api/")) out.push_back(raw);
    }
    return out;
  }

  std::string media(const std::string& path) {
    return "https://localhost:" + std::to_string(m.portal.web) + "/midia/" + path + ".ogg";
  }
};

// What every catalogue request carries before its body.
const std::string kHead = " HTTP/1.1\r\nUser-Agent: Telinha\r\nHost: localhost\r\nAccept: */*\r\nConnection: Close\r\n";

std::string withBody(const std::string& line, const std::string& body) {
  return line + kHead + "Content-Type: Application/json\r\nContent-length: " + std::to_string(body.size()) +
         "\r\n\r\n" + body;
}

std::string withoutBody(const std::string& line) { return line + kHead + "\r\n"; }

std::string filmPage(int page) {
  return withBody("GET /api/v1/listarfilme",
                  "{\"id_genero\":1,\"pagina\":" + std::to_string(page) + ",\"ordem\":\"asc\",\"limit\":10}");
}

// Drama holds 27 films: pages of 10, 10 and 7. "a" on page 1 stays there
// without asking; "p" past the last page beeps and shows the last page again.
// A page opens on the item chosen last, or on its last when it is shorter.
TEST_F(Catalogue, FilmsOfAGenrePageByPageWithTheBeepAtTheEnd) {
  const ClientRun r = run("key Enter\nkey Enter\nkey a\nkey p\nkey End\nkey p\nkey p\nkey a\nkey Esc\nkey Esc\n");
  EXPECT_EQ(missingInOrder(r.seen, {"MENU Filmes", "KEY #13", "PLAY SOM\\\\EF01.WAV", "SHOW Aguarde",
                                    "TITLE Telinha - Escolha o gênero do filme", "SHOW Escolha o gênero do filme.",
                                    "SHOW Use setas para selecionar.",
                                    "SHOW  Enter confirma, Esc volta ao menu anterior.",
                                    "PLAY SOM\\\\TLESCGENFIL.WAV", "MENU Drama", "KEY #13", "PLAY SOM\\\\EF01.WAV",
                                    "SHOW Aguarde", "TITLE Telinha - Escolha o filme", "SHOW Página 1.",
                                    "PLAY SOM\\\\TLPAG.WAV", "SAY 1", "SHOW Escolha o filme.",
                                    "SHOW Use setas para selecionar.",
                                    "SHOW Teclas p e a avança e recua página, respectivamente.",
                                    "SHOW Enter escolhe o filme, esc volta ao menu anterior.",
                                    "PLAY SOM\\\\TLESCFIL.WAV", "MENU A Canção do Sertão", "KEY a",
                                    "MENU A Canção do Sertão", "KEY p", "SHOW Página 2.", "SAY 2",
                                    "MENU Fé e Coragem", "MENU O Relojoeiro de Ouro Preto", "KEY p", "SHOW Página 3.",
                                    "MENU Ventos do Nordeste", "KEY p", "BEEP ", "SHOW Página 3.",
                                    "MENU Ventos do Nordeste", "KEY a", "SHOW Página 2.", "MENU O Farol de Itaúnas",
                                    "KEY #27", "PLAY SOM\\\\EF02.WAV", "MENU Drama", "KEY #27",
                                    "PLAY SOM\\\\EF02.WAV", "MENU Filmes"}),
            "");
  // Page 1 once only: "a" there asks nothing.
  EXPECT_EQ(catalogueRequests(), (Lines{withoutBody("GET /api/v1/listargenerofilme"), filmPage(1), filmPage(2),
                                        filmPage(3), filmPage(4), filmPage(3), filmPage(2),
                                        withoutBody("GET /api/v1/listargenerofilme")}));
}

// The term goes out as typed, in UTF-8, its length counted in bytes; a term
// that finds nothing is said, beeped, and leads back to the genres. A page
// of one film has no next page.
TEST_F(Catalogue, SearchByNameWithAndWithoutResults) {
  const ClientRun r = run("key Enter\nkey F3\ntype Canção\nkey Enter\nkey p\nkey Esc\n"
                          "key F3\ntype Zzzz\nkey Enter\nkey Esc\n");
  EXPECT_EQ(missingInOrder(r.seen, {"MENU Drama", "KEY #0#61", "SAY Digite o termo a pesquisar", "KEY #13",
                                    "SHOW Aguarde", "SHOW Página 1.", "MENU A Canção do Sertão", "KEY p",
                                    "MENU A Canção do Sertão", "KEY #27",
                                    "MENU Drama", "KEY #0#61", "SAY Digite o termo a pesquisar", "KEY #13",
                                    "SAY Sua busca não retornou resultado", "BEEP ", "SHOW Aguarde", "MENU Drama",
                                    "KEY #27", "MENU Filmes"}),
            "");
  const Lines sent = catalogueRequests();
  ASSERT_EQ(sent.size(), 5u) << testing::PrintToString(sent);
  EXPECT_EQ(sent[1], withBody("GET /api/v1/listarfilme", "{\"nome_filme\":\"Canção\",\"pagina\":1}"));
  EXPECT_NE(sent[1].find("Content-length: 36\r\n"), std::string::npos);
  EXPECT_EQ(sent[3], withBody("GET /api/v1/listarfilme", "{\"nome_filme\":\"Zzzz\",\"pagina\":1}"));
  // The genre list sets no call type of its own: after a search that found
  // nothing it carries that search's body.
  EXPECT_EQ(sent[4], withBody("GET /api/v1/listargenerofilme", "{\"nome_filme\":\"Zzzz\",\"pagina\":1}"));
  // The first search found one film: nothing else is on its page.
  EXPECT_EQ(r.seen.find("MENU A Costureira"), std::string::npos);
}

// A double quote typed in a term stays inside the JSON text.
TEST_F(Catalogue, ASearchTermWithQuotesAndBackslashesKeepsTheBodyValid) {
  run("key Enter\nkey F3\ntype a\"b\\c\nkey Enter\nkey Esc\n");
  const Lines sent = catalogueRequests();
  ASSERT_GE(sent.size(), 2u);
  EXPECT_EQ(sent[1], withBody("GET /api/v1/listarfilme", "{\"nome_filme\":\"a\\\"b\\\\c\",\"pagina\":1}"));
  // Answered as a search that found nothing, not as a malformed request.
  const auto logged = telinha_run::requests(m);
  bool answered404 = false;
  for (const auto& q : logged)
    if (q.value("path", std::string()) == "/api/v1/listarfilme") answered404 = q.value("status", 0) == 404;
  EXPECT_TRUE(answered404);
}

// Enter on a film: its details as a menu, then Enter plays it with the
// player's options and the film's name in the title.
TEST_F(Catalogue, FilmDetailsAndPlayback) {
  const ClientRun r = run("key Enter\nkey Enter\nkey Enter\nkey Down\nkey Enter\nkey End\nkey Esc\nkey Esc\nkey Esc\n");
  EXPECT_EQ(missingInOrder(r.seen, {"MENU A Canção do Sertão", "KEY #13", "PLAY SOM\\\\EF01.WAV", "SHOW Aguarde",
                                    "SHOW Detalhes do filme.", "SHOW Use setas para ler.",
                                    "SHOW Enter reproduz o filme, esc volta ao menu anterior.",
                                    "PLAY SOM\\\\TLDETFIL.WAV", "TITLE Telinha - detalhes de A Canção do Sertão",
                                    "MENU Nome do filme: A Canção do Sertão", "MENU Gênero: Drama", "KEY #13",
                                    "PLAY SOM\\\\EF03.WAV", "SHOW Iniciando reprodução do filme.",
                                    "SHOW Para ajuda, pressione f1.", "PLAY SOM\\\\TLINICREPFIL.WAV",
                                    "TITLE Telinha - reproduzindo: A Canção do Sertão",
                                    "TITLE Telinha - detalhes de A Canção do Sertão", "MENU Gênero: Drama",
                                    "MENU Sinopse: Um violeiro atravessa o sertão para cantar no casamento da irmã.",
                                    "KEY #27", "PLAY SOM\\\\EF02.WAV", "SHOW Página 1.", "MENU A Canção do Sertão"}),
            "");
  EXPECT_EQ(telinha_run::playerStarts(m),
            (std::vector<Lines>{{"--save-position-on-quit=yes", media("filmes/100"),
                                 "--title=Telinha - Reproduzindo: A Canção do Sertão"}}));
  const Lines sent = catalogueRequests();
  ASSERT_GE(sent.size(), 3u);
  EXPECT_EQ(sent[2], withBody("GET /api/v1/listarfilme", "{\"id_filme\":100}"));
  // Every other detail, as the menu shows it.
  for (const char* item : {"Nome do filme: A Canção do Sertão", "Gênero: Drama", "Ano de lançamento: 1975",
                           "Sensura: Livre", "Postado por: Ana Beatriz em 01/01/2022", "Idioma original: Português"})
    EXPECT_NE(r.transcript.find(item), std::string::npos) << item;
}

// A player installed below the client's directory is the one started.
TEST_F(Catalogue, ThePlayerInstalledWithTheClientComesFirst) {
  const std::string log = m.dir.path() + "/own-mpv.log";
  std::filesystem::create_directories(m.client + "/mpv");
  std::ofstream(m.client + "/mpv/mpv") << "#!/bin/sh\nprintf '%s\\n' \"$@\" >'" << log << "'\n";
  std::filesystem::permissions(m.client + "/mpv/mpv", std::filesystem::perms::owner_all);
  run("key Enter\nkey Enter\nkey Enter\nkey Enter\nkey Esc\nkey Esc\nkey Esc\n");
  EXPECT_TRUE(telinha_run::playerStarts(m).empty());
  EXPECT_EQ(telinha_run::clientFile(m, "../../own-mpv.log"),
            "--save-position-on-quit=yes\n" + media("filmes/100") +
                "\n--title=Telinha - Reproduzindo: A Canção do Sertão\n");
}

// "s" downloads the film, "a" writes its details (twice: the file is
// written anew, not added to), Ctrl+C copies them; the folders are made
// when the client's directory lacks them. The copy is read back by pasting
// it into the search field: its first line goes out as the search term.
TEST_F(Catalogue, FilmExtrasDownloadDetailsFileAndClipboard) {
  const ClientRun r = run("key Enter\nkey Enter\nkey Enter\nkey s\nkey a\nkey a\nkey Ctrl+c\nkey Esc\nkey Esc\n"
                          "key F3\nkey Ctrl+v\nkey Enter\nkey Esc\n");
  EXPECT_EQ(missingInOrder(r.seen, {"MENU Nome do filme: A Canção do Sertão", "KEY s",
                                    "SHOW Salvando o filme, aguarde", "PLAY SOM\\\\TLBAIFIL.WAV",
                                    "SHOW Filme baixado com sucesso.", "SHOW Salvo em telinha\\\\downloads\\\\filmes",
                                    "PLAY SOM\\\\TLFILSAL.WAV", "MENU Nome do filme: A Canção do Sertão", "KEY a",
                                    "SHOW Informações salvas em arquivo, na pasta telinha\\\\sinopses\\\\filmes",
                                    "PLAY SOM\\\\TLTXTSINOFIL.WAV", "KEY a", "KEY #3",
                                    "SHOW Informações copiadas para a área de transferência",
                                    "PLAY SOM\\\\TLINFOCOPCLIP.WAV", "MENU Nome do filme: A Canção do Sertão"}),
            "");
  EXPECT_NE(r.transcript.find("CLICK\t"), std::string::npos);

  const std::string film = telinha_run::clientFile(m, "downloads/filmes/A Canção do Sertão.MP3");
  EXPECT_TRUE(film.starts_with("OggS")) << film.size();
  EXPECT_EQ(telinha_run::clientFile(m, "sinopses/filmes/A Canção do Sertão.txt"),
            "Nome do filme: A Can\xE7\xE3o do Sert\xE3o\r\nG\xEAnero: Drama\r\nAno de lan\xE7" "amento: 1975\r\n"
            "Sensura: Livre\r\nPostado por: Ana Beatriz em 01/01/2022\r\nIdioma original: Portugu\xEAs\r\n"
            "Sinopse: Um violeiro atravessa o sert\xE3o para cantar no casamento da irm\xE3.\r\n");

  const Lines sent = catalogueRequests();
  const std::string pasted =
      withBody("GET /api/v1/listarfilme", "{\"nome_filme\":\"Nome do filme: A Canção do Sertão\",\"pagina\":1}");
  EXPECT_NE(std::find(sent.begin(), sent.end(), pasted), sent.end()) << testing::PrintToString(sent);
}

// A page of fewer than ten series has no next page. A series with three
// seasons asks which one (refusing 4 and 0); one with a single season goes
// straight to its episodes.
TEST_F(Catalogue, SeriesWithSeveralSeasonsAndWithOne) {
  const ClientRun r = run("key Down\nkey Enter\nkey Enter\nkey p\nkey Down\nkey Enter\nkey Enter\n"
                          "type 4\nkey Enter\ntype 0\nkey Enter\ntype 2\nkey Enter\nkey Down\nkey Enter\n"
                          "key Esc\nkey Esc\nkey Up\nkey Enter\nkey Enter\nkey Up\nkey Enter\n"
                          "key Esc\nkey Esc\nkey Esc\nkey Esc\n");
  EXPECT_EQ(missingInOrder(r.seen, {"MENU Séries", "KEY #13", "TITLE Telinha - Escolha o gênero da série",
                                    "SHOW TELINHA", "SHOW Escolha o gênero da série.",
                                    "PLAY SOM\\\\TLESCGENSER.WAV", "MENU Drama", "KEY #13",
                                    "TITLE Telinha - Escolha a série", "SHOW Página 1.", "SHOW Escolha a série.",
                                    "SHOW Enter escolhe a série, esc volta ao menu anterior.",
                                    "PLAY SOM\\\\TLESCSER.WAV", "MENU Os Herdeiros", "KEY p", "MENU Os Herdeiros",
                                    "MENU Sob o Sol de Outubro",
                                    "KEY #13", "SHOW Detalhes da série.",
                                    "SHOW Enter lista os episódios de uma temporada, esc volta ao menu anterior",
                                    "PLAY SOM\\\\TLDETSER.WAV", "TITLE Telinha - detalhes de Sob o Sol de Outubro",
                                    "MENU Nome da série: Sob o Sol de Outubro", "KEY #13",
                                    "SHOW Que temporada deseja assistir?", "SHOW Digite um valor entre 1 e 3",
                                    "PLAY SOM\\\\TLQTEMP.WAV", "SAY 1", "PLAY SOM\\\\TLE.WAV", "SAY 3",
                                    "SHOW Valor inválido.", "PLAY SOM\\\\TLVALINV.WAV",
                                    "SHOW Que temporada deseja assistir?", "SAY Valor inválido.",
                                    "SHOW Que temporada deseja assistir?", "SHOW Aguarde",
                                    "TITLE Telinha - escolha o episódio",
                                    "SHOW Escolha o episódio que deseja assistir.",
                                    "SHOW Enter reproduz o episódio selecionado, esc volta ao menu anterior.",
                                    "PLAY SOM\\\\TLESCEPI.WAV", "MENU Episódio 1: Volta para Casa",
                                    "MENU Episódio 2: O Leilão", "KEY #13", "PLAY SOM\\\\EF03.WAV",
                                    "SHOW Iniciando reprodução do episódio.", "PLAY SOM\\\\TLINICREPEPI.WAV",
                                    "TITLE Telinha - reproduzindo: Sob o Sol de Outubro - Temporada 2, Episódio 2: "
                                    "O Leilão",
                                    "KEY #27", "MENU Nome da série: Sob o Sol de Outubro", "KEY #27",
                                    "MENU Sob o Sol de Outubro", "MENU Os Herdeiros", "KEY #13",
                                    "MENU Nome da série: Os Herdeiros", "KEY #13",
                                    "TITLE Telinha - escolha o episódio", "MENU Episódio 2: Primeira Edição",
                                    "MENU Episódio 1: O Testamento", "KEY #13",
                                    "TITLE Telinha - reproduzindo: Os Herdeiros - Temporada 1, Episódio 1: "
                                    "O Testamento"}),
            "");
  // One season: no question.
  const size_t second = r.seen.find("MENU Nome da série: Os Herdeiros");
  ASSERT_NE(second, std::string::npos);
  EXPECT_EQ(r.seen.find("Que temporada", second), std::string::npos);

  EXPECT_EQ(telinha_run::playerStarts(m),
            (std::vector<Lines>{{"--save-position-on-quit=yes", media("episodios/200202"),
                                 "--title=Telinha - Reproduzindo: Sob o Sol de Outubro - Temporada 2, Episódio 2: "
                                 "O Leilão"},
                                {"--save-position-on-quit=yes", media("episodios/203101"),
                                 "--title=Telinha - Reproduzindo: Os Herdeiros - Temporada 1, Episódio 1: "
                                 "O Testamento"}}));
  const std::string page = "{\"id_genero\":21,\"pagina\":1}";
  EXPECT_EQ(catalogueRequests(),
            (Lines{withoutBody("GET /api/v1/listargeneroserie"), withBody("GET /api/v1/listarserie", page),
                   withBody("GET /api/v1/listarserie", "{\"id_serie\":200}"),
                   withBody("GET /api/v1/listartemporada", "{\"id_serie\":200}"),
                   withBody("GET /api/v1/listarepisodio", "{\"id_temporada\":2002}"),
                   withBody("GET /api/v1/listarserie", "{\"id_serie\":200}"), withBody("GET /api/v1/listarserie", page),
                   withBody("GET /api/v1/listarserie", "{\"id_serie\":203}"),
                   withBody("GET /api/v1/listartemporada", "{\"id_serie\":203}"),
                   withBody("GET /api/v1/listarepisodio", "{\"id_temporada\":2031}"),
                   withBody("GET /api/v1/listarserie", "{\"id_serie\":203}"), withBody("GET /api/v1/listarserie", page),
                   withoutBody("GET /api/v1/listargeneroserie")}));
}

// Chapter 120 comes from chapter page 3 as its 20th chapter, chapter 7 from
// page 1, while the list shows its page 2; 200 is refused.
TEST_F(Catalogue, SoapOperaChaptersFromTheirOwnPages) {
  const ClientRun r = run("key Down\nkey Down\nkey Enter\nkey p\nkey Enter\nkey Enter\ntype 200\nkey Enter\n"
                          "type 120\nkey Enter\nkey Enter\ntype 7\nkey Enter\nkey Esc\nkey Esc\n");
  EXPECT_EQ(missingInOrder(r.seen, {"MENU Novelas", "KEY #13", "TITLE Telinha - Escolha a novela", "SHOW Página 1.",
                                    "SHOW Escolha a novela.",
                                    "SHOW As teclas p e a, avança e recua página, respectivamente.",
                                    "SHOW Enter escolhe a novela, esc volta ao menu anterior.",
                                    "PLAY SOM\\\\TLESCNOV.WAV", "MENU Flor do Cerrado", "KEY p", "SHOW Página 2.",
                                    "MENU Flor do Cerrado", "KEY #13", "SHOW Detalhes da novela.",
                                    "PLAY SOM\\\\TLDETNOV.WAV", "TITLE Telinha - detalhes de Flor do Cerrado",
                                    "MENU Novela: Flor do Cerrado", "KEY #13", "SHOW Que capítulo deseja assistir?",
                                    "SHOW Digite um valor entre 1 e 130", "PLAY SOM\\\\TLQCAPNOV.WAV", "SAY 130",
                                    "SHOW Valor inválido", "SHOW Que capítulo deseja assistir?",
                                    "PLAY SOM\\\\EF03.WAV", "SAY Iniciando reprodução da novela.",
                                    "PLAY SOM\\\\TLINICREPNOV.WAV",
                                    "TITLE Telinha - reproduzindo: Flor do Cerrado - Capítulo 120",
                                    "MENU Novela: Flor do Cerrado", "KEY #13",
                                    "TITLE Telinha - reproduzindo: Flor do Cerrado - Capítulo 7", "KEY #27",
                                    "SHOW Página 2.", "KEY #27", "MENU Novelas"}),
            "");
  for (const char* item : {"Novela: Flor do Cerrado", "Ano de lançamento: 2018",
                           "Quantidade de capítulos disponíveis: 130", "Fonte: TV Brasil Central"})
    EXPECT_NE(r.transcript.find(item), std::string::npos) << item;
  EXPECT_EQ(telinha_run::playerStarts(m),
            (std::vector<Lines>{{"--save-position-on-quit=yes", media("novelas/301/120"),
                                 "--title=Telinha - Reproduzindo: Flor do Cerrado - Capítulo 120"},
                                {"--save-position-on-quit=yes", media("novelas/301/7"),
                                 "--title=Telinha - Reproduzindo: Flor do Cerrado - Capítulo 7"}}));
  EXPECT_EQ(catalogueRequests(),
            (Lines{withoutBody("GET /api/v1/listarnovela"), withoutBody("GET /api/v1/listarnovela"),
                   withBody("GET /api/v1/listarnovela", "{\"id_novela\":301,\"pagina\":2}"),
                   withBody("GET /api/v1/listarcapitulonovela", "{\"id_novela\":301,\"pagina\":3}"),
                   withBody("GET /api/v1/listarcapitulonovela", "{\"id_novela\":301,\"pagina\":1}"),
                   withoutBody("GET /api/v1/listarnovela")}));
}

// A portal that refuses the film pages, the seasons and the chapters.
class RefusingPortal : public Catalogue {
 protected:
  telinha_run::Options portal() override {
    return {.portalArgs = {"--fail", "/api/v1/listarfilme=500", "--fail", "/api/v1/listartemporada=503", "--fail",
                           "/api/v1/listarcapitulonovela=502"}};
  }
};

const char* kSimulated = "SAY {\"erro\":\"Falha simulada pelo servidor de demonstração.\"}";

// A first page refused outside a search has no page to step back to: the
// error is told and the genres come back, instead of asking again forever.
TEST_F(RefusingPortal, ARefusedFirstPageIsToldAndLeadsBackToTheGenres) {
  const ClientRun r = run("key Enter\nkey Enter\nkey Esc\n");
  EXPECT_EQ(missingInOrder(r.seen, {"MENU Drama", "KEY #13", "SHOW Aguarde", "BEEP ", "SAY Erro: 500", kSimulated,
                                    "SHOW Aguarde", "MENU Drama", "KEY #27", "MENU Filmes"}),
            "");
  EXPECT_EQ(telinha_run::requestLines(m),
            (Lines{"POST /conectar HTTP/1.1", "GET /contador.json HTTP/1.1", "GET /api/v1/listargenerofilme HTTP/1.1",
                   "GET /api/v1/listarfilme HTTP/1.1", "GET /api/v1/listargenerofilme HTTP/1.1"}));
}

// Refused seasons are told once and whole (the error is read on the
// connection still open, past its first line), no episodes are asked for,
// and the series' details come back.
TEST_F(RefusingPortal, RefusedSeasonsAreToldWholeOnceAndTheDetailsComeBack) {
  const ClientRun r = run("key Down\nkey Enter\nkey Enter\nkey Enter\nkey Enter\nkey Esc\nkey Esc\nkey Esc\n");
  const std::string whole = std::string(kSimulated) + "{\"pedido\":\"/api/v1/listartemporada\"}";
  EXPECT_EQ(missingInOrder(r.seen, {"MENU Nome da série: Os Herdeiros", "KEY #13", "SHOW Aguarde", "SAY Erro: 503",
                                    whole, "MENU Nome da série: Os Herdeiros", "KEY #27", "MENU Os Herdeiros",
                                    "KEY #27", "MENU Drama", "KEY #27", "MENU Séries"}),
            "");
  const size_t first = r.seen.find("SAY Erro: 503");
  EXPECT_EQ(r.seen.find("SAY Erro: 503", first + 1), std::string::npos) << r.seen;
  for (const std::string& line : telinha_run::requestLines(m))
    EXPECT_FALSE(line.starts_with("GET /api/v1/listarepisodio")) << line;
}

// A refused chapter is told, nothing is played, and the soap opera's
// details come back.
TEST_F(RefusingPortal, ARefusedChapterIsToldAndNothingPlays) {
  const ClientRun r = run("key Down\nkey Down\nkey Enter\nkey Enter\nkey Enter\ntype 1\nkey Enter\nkey Esc\nkey Esc\n");
  EXPECT_EQ(missingInOrder(r.seen, {"MENU Novela: Flor do Cerrado", "KEY #13", "SHOW Que capítulo deseja assistir?",
                                    "SAY Erro: 502", kSimulated, "MENU Novela: Flor do Cerrado", "KEY #27",
                                    "MENU Flor do Cerrado", "KEY #27", "MENU Novelas"}),
            "");
  EXPECT_EQ(r.seen.find("Iniciando reprodução"), std::string::npos) << r.seen;
  EXPECT_TRUE(telinha_run::playerStarts(m).empty());
}

// A portal whose film names are paths, or hold separators and characters
// Windows refuses in names: each film's download and details file land
// inside their folder, under the name cleaned; nothing is written anywhere
// else. (Backslashes, quotes and control characters the demo portal never
// sends: the cleaning's own test covers them.)
class HostileNames : public Catalogue {
 protected:
  struct Film {
    std::string name;     // as the portal sends it
    std::string cleaned;  // the file's name, without its extension
  };
  const std::vector<Film> films_ = {
      {"../../../../fora/PWNED", "________fora_PWNED"},
      {"/fora/raiz", "_fora_raiz"},
      {"a/b:c*d?e<g>h|i", "a_b_c_d_e_g_h_i"},
      {"..", "_"},
      {"Ação: o retorno", "Ação_ o retorno"},
  };

  // Drama holds only these films, in this order.
  telinha_run::Options portal() override {
    nlohmann::json catalogue = nlohmann::json::parse(live::readFile(TELINHA_FIXTURE));
    nlohmann::json drama = nlohmann::json::array();
    for (const auto& film : catalogue["filmes"])
      if (film["genero"] != 1) drama.push_back(film);
    for (size_t i = 0; i < films_.size(); ++i) {
      nlohmann::json film = catalogue["filmes"][0];
      film["id"] = 900 + i;
      film["nome"] = films_[i].name;
      drama.push_back(film);
    }
    catalogue["filmes"] = drama;
    const std::string fixture = m.dir / "hostil.json";
    std::ofstream(fixture) << catalogue.dump();
    std::filesystem::create_directories(m.dir / "fora");
    return {.portalArgs = {"--fixture", fixture}};
  }

  static std::vector<std::string> filesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
      names.push_back(std::filesystem::relative(e.path(), dir).string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(HostileNames, FilesLandInsideTheirFolders) {
  std::string keys = "key Enter\nkey Enter\n";
  for (size_t i = 0; i < films_.size(); ++i) keys += "key Enter\nkey s\nkey a\nkey Esc\nkey Down\n";
  const ClientRun r = run(keys + "key Esc\nkey Esc\n");
  std::vector<std::string> downloads, details;
  for (const Film& f : films_) {
    downloads.push_back(f.cleaned + ".MP3");
    details.push_back(f.cleaned + ".txt");
  }
  std::sort(downloads.begin(), downloads.end());
  std::sort(details.begin(), details.end());
  EXPECT_EQ(filesIn(m.client + "/downloads/filmes"), downloads) << r.seen;
  EXPECT_EQ(filesIn(m.client + "/sinopses/filmes"), details);
  EXPECT_EQ(filesIn(m.dir / "fora"), std::vector<std::string>());
  for (const Film& f : films_) {
    EXPECT_TRUE(telinha_run::clientFile(m, "downloads/filmes/" + f.cleaned + ".MP3").starts_with("OggS")) << f.name;
    EXPECT_NE(telinha_run::clientFile(m, "sinopses/filmes/" + f.cleaned + ".txt").find("Sinopse: "),
              std::string::npos) << f.name;
  }
}

}  // namespace
