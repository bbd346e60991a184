// Every catalogue answer of a running vitrine-demo, cut by the client's own
// field rules and compared with the fixture it was built from.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "client_rules.h"
#include "live_demo.h"

namespace {

using nlohmann::json;
namespace cr = client_rules;

class VitrineCatalogueByClientRules : public ::testing::Test {
 protected:
  void SetUp() override {
    fixture_ = json::parse(live::readFile(FIXTURE));
    auto d = live::start();
    ASSERT_TRUE(d) << "vitrine-demo did not start";
    demo_ = *d;
  }
  void TearDown() override { EXPECT_EQ(live::stopCleanly(demo_), ""); }

  // A request as the client writes it; the answer converted as the client
  // converts it. Every answer is whole, with a Content-Length, one line.
  std::pair<std::string, std::string> get(const std::string& resource, const std::string& body = {}) {
    const live::Answer a = live::ask(demo_, live::Server::web, live::clientRequest(resource, body));
    EXPECT_TRUE(a.ok) << resource << " " << body << ": " << a.raw;
    EXPECT_FALSE(a.header("Transfer-Encoding"));
    EXPECT_EQ(a.body.find('\n'), a.body.size() - 1) << "not one line: " << a.body;
    return {cr::statusCode(a.statusLine), cr::utf8ToAnsi(a.body)};
  }

  std::string body200(const std::string& resource, const std::string& body = {}) {
    auto [status, text] = get(resource, body);
    EXPECT_EQ(status, "200") << resource << " " << body << ": " << text;
    return text;
  }

  std::string linkBase() const { return "https://localhost:" + std::to_string(demo_.web); }

  static std::string ansi(const json& v) { return cr::utf8ToAnsi(v.get<std::string>()); }
  static std::string synopsis(const json& v) {
    std::string s = ansi(v);
    for (char& c : s)
      if (c == '\n') c = ' ';
    return s;
  }

  std::string genreName(const char* list, long id) const {
    for (const json& g : fixture_[list])
      if (g["id"] == id) return ansi(g["nome"]);
    return {};
  }

  // Pages of a list until the first answer other than 200.
  std::vector<std::vector<cr::Item>> pages(const std::string& resource, const std::string& bodyWithoutPage,
                                           const cr::Field& id, const cr::Field& name) {
    std::vector<std::vector<cr::Item>> out;
    for (int page = 1; page <= 20; ++page) {
      auto [status, text] = get(resource, "{" + bodyWithoutPage + "\"pagina\":" + std::to_string(page) + "}");
      if (status != "200") {
        EXPECT_EQ(status, "404") << text;
        break;
      }
      out.push_back(cr::cutList(text, id, name));
      // Every name of the page finds its own id, as the client looks it up.
      const std::string list = cr::listText(out.back());
      for (const cr::Item& item : out.back()) EXPECT_EQ(cr::lookup(list, item.name), item.id) << item.name;
    }
    return out;
  }

  live::Demo demo_;
  json fixture_;
};

TEST_F(VitrineCatalogueByClientRules, GenreListsGiveEveryGenreWithAnIdItsNameFinds) {
  for (const auto& [resource, key] : {std::pair{"/api/v1/listargenerofilme", "generos_filme"},
                                      std::pair{"/api/v1/listargeneroserie", "generos_serie"}}) {
    const auto items = cr::cutList(body200(resource), cr::kGenreId, cr::kGenreName);
    ASSERT_EQ(items.size(), fixture_[key].size()) << resource;
    const std::string list = cr::listText(items);
    for (size_t i = 0; i < items.size(); ++i) {
      EXPECT_EQ(items[i].name, ansi(fixture_[key][i]["nome"]));
      EXPECT_EQ(items[i].id, std::to_string(fixture_[key][i]["id"].get<long>()));
      EXPECT_EQ(cr::lookup(list, items[i].name), items[i].id);
    }
  }
}

TEST_F(VitrineCatalogueByClientRules, TitlesOfEachGenreComeInPagesOfTenAndThe404EndsThem) {
  struct Kind {
    const char* resource;
    const char* genres;
    const char* titles;
    cr::Field id, name;
    const char* extra;  // the rest of the client's body
  };
  for (const Kind& k : {Kind{"/api/v1/listarfilme", "generos_filme", "filmes", cr::kFilmId, cr::kFilmName,
                             "\"ordem\":\"asc\",\"limit\":10"},
                        Kind{"/api/v1/listarserie", "generos_serie", "series", cr::kSeriesId, cr::kSeriesName, ""}}) {
    size_t seen = 0;
    for (const json& genre : fixture_[k.genres]) {
      const std::string g = std::to_string(genre["id"].get<long>());
      std::set<std::string> expected;
      for (const json& t : fixture_[k.titles])
        if (t["genero"] == genre["id"]) expected.insert(std::to_string(t["id"].get<long>()));
      const std::string rest = std::string(k.extra).empty() ? "" : std::string(k.extra) + ",";
      const auto got = pages(k.resource, "\"id_genero\":" + g + "," + rest, k.id, k.name);
      std::set<std::string> ids;
      for (size_t p = 0; p < got.size(); ++p) {
        EXPECT_EQ(got[p].size(), p + 1 < got.size() ? 10u : (expected.size() - 1) % 10 + 1) << k.resource << g;
        for (const cr::Item& item : got[p]) ids.insert(item.id);
      }
      EXPECT_EQ(ids, expected) << k.resource << " genre " << g;
      seen += ids.size();
    }
    EXPECT_EQ(seen, fixture_[k.titles].size()) << k.resource;
  }
}

TEST_F(VitrineCatalogueByClientRules, DescendingOrderReversesTheAscendingOne) {
  const auto all = [&](const char* order) {
    std::vector<std::string> names;
    for (const auto& page : pages("/api/v1/listarfilme",
                                  std::string("\"id_genero\":1,\"ordem\":\"") + order + "\",\"limit\":10,",
                                  cr::kFilmId, cr::kFilmName))
      for (const cr::Item& i : page) names.push_back(i.name);
    return names;
  };
  auto asc = all("asc");
  const auto desc = all("desc");
  ASSERT_GE(asc.size(), 25u);
  std::reverse(asc.begin(), asc.end());
  EXPECT_EQ(asc, desc);
}

TEST_F(VitrineCatalogueByClientRules, FilmDetailsGiveEveryFieldByItsRule) {
  for (const json& f : fixture_["filmes"]) {
    const std::string id = std::to_string(f["id"].get<long>());
    const std::string r = body200("/api/v1/listarfilme", "{\"id_filme\":" + id + "}");
    EXPECT_EQ(cr::cut(r, cr::kFilmName), ansi(f["nome"])) << id;
    EXPECT_EQ(cr::cut(r, cr::kFilmGenre), genreName("generos_filme", f["genero"].get<long>())) << id;
    EXPECT_EQ(cr::cut(r, cr::kYear), std::to_string(f["ano"].get<int>())) << id;
    EXPECT_EQ(cr::cut(r, cr::kRating), ansi(f["classificacao"])) << id;
    EXPECT_EQ(cr::cut(r, cr::kFilmPoster), ansi(f["postado_por"])) << id;
    EXPECT_EQ(cr::cut(r, cr::kPosted), ansi(f["data_postagem"])) << id;
    EXPECT_EQ(cr::cut(r, cr::kLanguage), ansi(f["idioma"])) << id;
    EXPECT_EQ(cr::unescapeSynopsis(cr::cut(r, cr::kSynopsis).value_or("")), synopsis(f["sinopse"])) << id;
    EXPECT_EQ(cr::cut(r, cr::kFilmLink), linkBase() + "/midia/filmes/" + id + ".ogg") << id;
  }
  EXPECT_EQ(get("/api/v1/listarfilme", "{\"id_filme\":999999}").first, "404");
}

TEST_F(VitrineCatalogueByClientRules, SeriesDetailsGiveEveryFieldByItsRule) {
  for (const json& s : fixture_["series"]) {
    const std::string id = std::to_string(s["id"].get<long>());
    const std::string r = body200("/api/v1/listarserie", "{\"id_serie\":" + id + "}");
    EXPECT_EQ(cr::cut(r, cr::kSeriesId), id);
    EXPECT_EQ(cr::cut(r, cr::kSeriesName), ansi(s["nome"])) << id;
    EXPECT_EQ(cr::cut(r, cr::kSeriesGenre), genreName("generos_serie", s["genero"].get<long>())) << id;
    EXPECT_EQ(cr::cut(r, cr::kYear), std::to_string(s["ano"].get<int>())) << id;
    EXPECT_EQ(cr::cut(r, cr::kRating), ansi(s["classificacao"])) << id;
    EXPECT_EQ(cr::cut(r, cr::kSeriesPoster), ansi(s["postado_por"])) << id;
    EXPECT_EQ(cr::cut(r, cr::kPosted), ansi(s["data_postagem"])) << id;
    EXPECT_EQ(cr::cut(r, cr::kLanguage), ansi(s["idioma"])) << id;
    EXPECT_EQ(cr::cut(r, cr::kSeasons), std::to_string(s["temporadas"].size())) << id;
    EXPECT_EQ(cr::unescapeSynopsis(cr::cut(r, cr::kSynopsis).value_or("")), synopsis(s["sinopse"])) << id;
  }
  EXPECT_EQ(get("/api/v1/listarserie", "{\"id_serie\":999999}").first, "404");
}

TEST_F(VitrineCatalogueByClientRules, EachSeasonLeadsToItsEpisodesAndEachTitleToItsLink) {
  bool oneSeason = false, several = false;
  for (const json& s : fixture_["series"]) {
    const std::string id = std::to_string(s["id"].get<long>());
    const std::string seasons = body200("/api/v1/listartemporada", "{\"id_serie\":" + id + "}");
    const size_t count = s["temporadas"].size();
    (count == 1 ? oneSeason : several) = true;
    EXPECT_FALSE(cr::seasonId(seasons, static_cast<int>(count) + 1)) << "more seasons than announced";
    for (size_t n = 1; n <= count; ++n) {
      const auto season = cr::seasonId(seasons, static_cast<int>(n));
      ASSERT_TRUE(season) << id << " season " << n;
      EXPECT_EQ(*season, std::to_string(s["temporadas"][n - 1]["id"].get<long>()));
      const auto episodes = cr::cutEpisodes(body200("/api/v1/listarepisodio", "{\"id_temporada\":" + *season + "}"));
      const json& titles = s["temporadas"][n - 1]["episodios"];
      ASSERT_EQ(episodes.size(), titles.size()) << id << " season " << n;
      const std::string list = cr::listText(episodes);
      std::set<std::string> links;
      for (size_t e = 0; e < episodes.size(); ++e) {
        EXPECT_EQ(episodes[e].name, cr::utf8ToAnsi("Episódio " + std::to_string(e + 1) + ": ") + ansi(titles[e]));
        EXPECT_EQ(cr::lookup(list, episodes[e].name, false), episodes[e].id) << episodes[e].name;
        EXPECT_TRUE(episodes[e].id.starts_with(linkBase() + "/midia/episodios/"));
        links.insert(episodes[e].id);
      }
      EXPECT_EQ(links.size(), episodes.size()) << "links must tell episodes apart";
    }
  }
  EXPECT_TRUE(oneSeason && several) << "the fixture needs series with one and with several seasons";
  EXPECT_EQ(get("/api/v1/listarepisodio", "{\"id_temporada\":999999}").first, "404");
}

TEST_F(VitrineCatalogueByClientRules, SoapOperasListDetailsAndChaptersInPagesOfFifty) {
  const auto list = cr::cutList(body200("/api/v1/listarnovela"), cr::kSoapId, cr::kSoapName);
  ASSERT_EQ(list.size(), fixture_["novelas"].size());
  int longest = 0;
  for (size_t i = 0; i < list.size(); ++i) {
    const json& s = fixture_["novelas"][i];
    const std::string id = std::to_string(s["id"].get<long>());
    EXPECT_EQ(list[i].id, id);
    EXPECT_EQ(list[i].name, ansi(s["nome"]));
    const std::string r = body200("/api/v1/listarnovela", "{\"id_novela\":" + id + ",\"pagina\":1}");
    EXPECT_EQ(cr::cut(r, cr::kSoapName), ansi(s["nome"]));
    EXPECT_EQ(cr::cut(r, cr::kYear), std::to_string(s["ano"].get<int>()));
    const int chapters = s["capitulos"].get<int>();
    longest = std::max(longest, chapters);
    EXPECT_EQ(cr::cut(r, cr::kChapters), std::to_string(chapters));
    EXPECT_EQ(cr::cut(r, cr::kSoapSource), ansi(s["fonte"]));
    EXPECT_EQ(cr::unescapeSynopsis(cr::cut(r, cr::kSoapSynopsis).value_or("")), synopsis(s["sinopse"]));

    // The client's arithmetic: page = chapter / 50 rounded up, position within it.
    for (int chapter : {1, 7, 50, 51, 120, chapters}) {
      if (chapter > chapters) continue;
      const int page = (chapter + 49) / 50, position = chapter - 50 * (page - 1);
      const std::string answer = body200("/api/v1/listarcapitulonovela",
                                         "{\"id_novela\":" + id + ",\"pagina\":" + std::to_string(page) + "}");
      EXPECT_EQ(cr::chapterLink(answer, position),
                linkBase() + "/midia/novelas/" + id + "/" + std::to_string(chapter) + ".ogg")
          << id << " chapter " << chapter;
    }
    const std::string past = std::to_string((chapters + 49) / 50 + 1);
    EXPECT_EQ(get("/api/v1/listarcapitulonovela", "{\"id_novela\":" + id + ",\"pagina\":" + past + "}").first,
              "404");
  }
  EXPECT_GT(longest, 120) << "the fixture needs a soap opera of more than 120 chapters";
}

TEST_F(VitrineCatalogueByClientRules, SearchFindsNamesWhateverTheAccentsAndCase) {
  struct Case {
    const char* resource;
    const char* key;
    std::string term;
    int page;
    const char* status;
    std::string first;  // name of the first title found
  };
  const Case cases[] = {
      {"/api/v1/listarfilme", "nome_filme", "farol", 1, "200", "O Farol de Itaúnas"},
      {"/api/v1/listarfilme", "nome_filme", "ITAÚNAS", 1, "200", "O Farol de Itaúnas"},
      {"/api/v1/listarfilme", "nome_filme", "itaunas", 1, "200", "O Farol de Itaúnas"},
      {"/api/v1/listarfilme", "nome_filme", "Missão Amazônia", 1, "200", "Missão Amazônia"},
      {"/api/v1/listarfilme", "nome_filme", "farol", 2, "404", ""},
      {"/api/v1/listarfilme", "nome_filme", "nenhum título assim", 1, "404", ""},
      {"/api/v1/listarserie", "nome_serie", "delegacia", 1, "200", "Delegacia Central"},
      {"/api/v1/listarserie", "nome_serie", "Sob o Sol de Outubro", 1, "200", "Sob o Sol de Outubro"},
      {"/api/v1/listarserie", "nome_serie", "xyz", 1, "404", ""},
  };
  for (const Case& c : cases) {
    // As typed, in UTF-8; the Content-length counts the bytes.
    const std::string body = std::string("{\"") + c.key + "\":\"" + c.term + "\",\"pagina\":" +
                             std::to_string(c.page) + "}";
    const auto [status, text] = get(c.resource, body);
    EXPECT_EQ(status, c.status) << body << ": " << text;
    if (!c.first.empty()) {
      const bool film = c.resource == std::string("/api/v1/listarfilme");
      EXPECT_EQ(cr::cut(text, film ? cr::kFilmName : cr::kSeriesName), cr::utf8ToAnsi(c.first)) << body;
    }
  }
  // A search over many titles pages like a genre.
  size_t found = 0;
  for (const auto& page : pages("/api/v1/listarfilme", "\"nome_filme\":\"a\",", cr::kFilmId, cr::kFilmName))
    found += page.size();
  EXPECT_GT(found, 10u);
}

TEST_F(VitrineCatalogueByClientRules, NotesAnnounceTitlesTheClientCanFind) {
  const live::Answer a = live::ask(demo_, live::Server::notes, live::clientRequest("/notificacoes"));
  ASSERT_EQ(cr::statusCode(a.statusLine), "200");
  const auto notes = cr::cutNotes(cr::utf8ToAnsi(a.body));
  ASSERT_EQ(notes.size(), fixture_["notificacoes"].size());
  std::set<std::string> kinds;
  for (size_t i = 0; i < notes.size(); ++i) {
    const json& f = fixture_["notificacoes"][i];
    const std::string message = ansi(f["mensagem"]);
    EXPECT_EQ(notes[i].title, message.substr(0, message.find('\n')));
    std::string crlf;
    for (char c : message) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(notes[i].message, crlf);
    const std::string dt = f["dataHora"];
    EXPECT_EQ(notes[i].dateTime, dt.substr(8, 2) + "/" + dt.substr(5, 2) + "/" + dt.substr(0, 4) + " " + dt.substr(11));

    const std::string title = cr::ansiToUtf8(notes[i].title);
    const bool film = title.starts_with("Novo filme disponível!");
    const bool updated = title.starts_with("Série atualizada:");
    ASSERT_TRUE(film || updated || title.starts_with("Nova série disponível!")) << title;
    kinds.insert(film ? "filme" : updated ? "atualizada" : "série");
    const auto name = cr::noteContentName(notes[i].title);
    ASSERT_TRUE(name) << title;
    // The client searches the name on page 1 and reads the details of the first title found.
    const std::string resource = film ? "/api/v1/listarfilme" : "/api/v1/listarserie";
    const std::string found = body200(
        resource, std::string("{\"") + (film ? "nome_filme" : "nome_serie") + "\":\"" + cr::ansiToUtf8(*name) +
                      "\",\"pagina\":1}");
    EXPECT_EQ(cr::cut(found, film ? cr::kFilmName : cr::kSeriesName), *name);
    if (updated) {
      const size_t at = notes[i].message.find("\r\nTemporada ");
      ASSERT_NE(at, std::string::npos) << "an updated series names its season";
      const int season = std::atoi(notes[i].message.c_str() + at + 12);
      EXPECT_GE(season, 1);
      EXPECT_LE(season, std::atoi(cr::cut(found, cr::kSeasons).value_or("0").c_str()));
    }
  }
  EXPECT_EQ(kinds.size(), 3u) << "notes of all three kinds";
}

TEST_F(VitrineCatalogueByClientRules, BodiesLeftFromEarlierRequestsAreAnsweredByTheFieldsThatMatter) {
  const std::string stale[] = {"{\"nome_filme\":\"farol\",\"pagina\":3}", "{\"nome_serie\":\"sol\",\"pagina\":2}",
                               "{\"id_genero\":1,\"pagina\":9,\"ordem\":\"asc\",\"limit\":10}", "{\"id_filme\":100}"};
  for (const char* resource : {"/api/v1/listargenerofilme", "/api/v1/listargeneroserie", "/api/v1/listarnovela"}) {
    const std::string clean = body200(resource);
    for (const std::string& body : stale) EXPECT_EQ(body200(resource, body), clean) << resource << " " << body;
  }
  // The season list the client asks for an updated series still carries the
  // series search: no series id, so nothing found, but not a bad request.
  EXPECT_EQ(get("/api/v1/listartemporada", "{\"nome_serie\":\"Sob o Sol de Outubro\",\"pagina\":1}").first, "404");
}

TEST_F(VitrineCatalogueByClientRules, BodiesThatAreNotJsonAreBadRequests) {
  for (const char* resource : {"/api/v1/listarfilme", "/api/v1/listargenerofilme", "/contador.json"})
    for (const char* body : {"{\"id_filme\":}", "id_filme=3", "{\"nome_filme\":\"sem fim"})
      EXPECT_EQ(get(resource, body).first, "400") << resource << " " << body;
}

}  // namespace
