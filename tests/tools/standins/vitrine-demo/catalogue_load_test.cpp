#include <gtest/gtest.h>

#include <functional>

#include <nlohmann/json.hpp>

#include "catalogue.h"
#include "catalogue_answers.h"
#include "text_fold.h"

namespace {

using nlohmann::json;

json minimal() {
  return json::parse(R"({
    "usuarios_online": 2,
    "generos_filme": [{"id": 1, "nome": "Drama"}],
    "generos_serie": [{"id": 2, "nome": "Comédia"}],
    "filmes": [{"id": 10, "nome": "Ação", "genero": 1, "ano": 2000, "classificacao": "Livre",
                "postado_por": "Ana", "data_postagem": "01/02/2024", "idioma": "Português",
                "sinopse": "Diz \"olá\".\nFim."}],
    "series": [{"id": 20, "nome": "Série", "genero": 2, "ano": 2001, "classificacao": "Livre",
                "postado_por": "Ana", "data_postagem": "01/02/2024", "idioma": "Português",
                "sinopse": "S.", "audiodescricao": "Rui", "temporadas": [{"id": 21, "episodios": ["Um"]}]}],
    "novelas": [{"id": 30, "nome": "Novela", "ano": 1999, "capitulos": 3, "fonte": "TV",
                 "sinopse": "N.", "idioma": "Português"}],
    "notificacoes": [{"id": 1, "mensagem": "Novo filme disponível! Ação.\nVeja.", "dataHora": "2025-01-31T20:15:00"}]
  })");
}

TEST(VitrineCatalogueLoad, TheShippedFixtureLoads) {
  const auto r = vitrine::loadCatalogue(FIXTURE);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_GE(r.catalogue.filmGenres.size(), 3u);
  EXPECT_GT(r.catalogue.notes.size(), 2u);
}

TEST(VitrineCatalogueLoad, RefusesWhatTheClientCouldNotCutOrShow) {
  struct Case {
    const char* what;
    std::function<void(json&)> spoil;
    const char* error;  // part of the message
  };
  const Case cases[] = {
      {"beyond Latin-1", [](json& j) { j["filmes"][0]["nome"] = "Filme “novo”"; }, "filmes[0].nome: character outside"},
      {"quote in a name", [](json& j) { j["filmes"][0]["nome"] = "O \"Filme\""; }, "filmes[0].nome: double quote"},
      {"line break in a name", [](json& j) { j["series"][0]["nome"] = "A\nB"; }, "series[0].nome: control"},
      {"backslash", [](json& j) { j["novelas"][0]["sinopse"] = "a\\b"; }, "novelas[0].sinopse: backslash"},
      {"C1 control", [](json& j) { j["novelas"][0]["fonte"] = "TV\u0085"; }, "novelas[0].fonte: control"},
      {"empty text", [](json& j) { j["generos_filme"][0]["nome"] = ""; }, "generos_filme[0].nome: empty"},
      {"unknown genre", [](json& j) { j["filmes"][0]["genero"] = 9; }, "unknown genre 9"},
      {"series genre from films", [](json& j) { j["series"][0]["genero"] = 1; }, "unknown genre 1"},
      {"repeated id", [](json& j) { j["filmes"].push_back(j["filmes"][0]); }, "filmes[1]: repeated id 10"},
      {"missing field", [](json& j) { j["filmes"][0].erase("idioma"); }, "filmes[0]: missing \"idioma\""},
      {"text for a number", [](json& j) { j["novelas"][0]["capitulos"] = "3"; }, "capitulos: not an integer"},
      {"no seasons", [](json& j) { j["series"][0]["temporadas"] = json::array(); }, "series[0]: no seasons"},
      {"date shape", [](json& j) { j["notificacoes"][0]["dataHora"] = "31/01/2025 20:15"; }, "dataHora"},
      {"not a list", [](json& j) { j["filmes"] = json::object(); }, "filmes: not a list"},
  };
  for (const Case& c : cases) {
    json j = minimal();
    c.spoil(j);
    const auto r = vitrine::parseCatalogue(j.dump());
    EXPECT_FALSE(r.ok) << c.what;
    EXPECT_NE(r.error.find(c.error), std::string::npos) << c.what << ": " << r.error;
  }
  EXPECT_TRUE(vitrine::parseCatalogue(minimal().dump()).ok);
  EXPECT_EQ(vitrine::parseCatalogue("{").error, "not valid JSON");
}

TEST(VitrineCatalogueAnswers, KeepAccentsUnescapedAndEscapeOnlyQuotesAndLineBreaks) {
  const auto c = vitrine::parseCatalogue(minimal().dump());
  ASSERT_TRUE(c.ok) << c.error;
  const auto a = vitrine::answerCatalogue(c.catalogue, "/api/v1/listarfilme", "{\"id_filme\":10}", "https://h:1");
  ASSERT_TRUE(a);
  EXPECT_EQ(a->body,
            "[{\"id_filme\":10,\"nome_filme\":\"Ação\",\"genero\":{\"nome_genero\":\"Drama\",\"id_genero\":1},"
            "\"ano_lancamento\":2000,\"classificacao_indicativa\":\"Livre\",\"usuario\":{\"nome_usuario\":\"Ana\"},"
            "\"data_postagem\":\"01/02/2024\",\"idioma_original\":\"Português\","
            "\"sinopse\":\"Diz \\\"olá\\\".\\nFim.\",\"link_filme\":\"https://h:1/midia/filmes/10.ogg\"}]\n");
  EXPECT_FALSE(vitrine::answerCatalogue(c.catalogue, "/api/v2/listarfilme", "", ""));
  EXPECT_EQ(vitrine::notificationsBody(c.catalogue),
            "[{\"id_notificacao\":1,\"mensagem\":\"\\nNovo filme disponível! Ação.\\nVeja.\","
            "\"dataHora\":\"2025-01-31T20:15:00\"}]\n");
  EXPECT_EQ(vitrine::counterBody(7), "{\n  \"quantidade_usuarios\": 7\n}\n");
}

TEST(VitrineTextFold, IgnoresCaseAndLatinAccents) {
  EXPECT_EQ(vitrine::foldForSearch("Ação À Sombra dos IPÊS ÑÜ"), "acao a sombra dos ipes nu");
  EXPECT_EQ(vitrine::foldForSearch("ÇÉÍÓÚçéíóú"), "ceiouceiou");
  EXPECT_EQ(vitrine::foldForSearch("€ \xff"), "€ \xff");  // not Latin-1 letters: unchanged
}

}  // namespace
