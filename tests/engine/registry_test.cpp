// The command table: the language's 85 keywords (88 forms with the accented
// ones), each written once in its library's table, and each reaching its
// own handler.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <string_view>

#include "engine/libraries.h"
#include "engine/registry.h"

namespace {

// The language as specified: each keyword with its other form, if any.
struct Specified {
  std::string_view keyword, other = {};
};

constexpr Specified kLanguage[] = {
    {"MIDI"},       {"DEBUG"},        {"SEJA"},       {"TELA"},          {"COR"},
    {"FUNDO"},      {"ABRE"},         {"FECHA"},      {"INTERNET"},      {"CONECTA"},
    {"ATIVASSL"},   {"SERVE"},        {"OBSERVA"},    {"ESCREVE"},       {"BIPA"},
    {"SOMA"},       {"SUBTRAI"},      {"MULTIPLICA"}, {"DIVIDE"},        {"CONCATENA"},
    {"COPIA"},      {"SOLETRA"},      {"LISTA"},      {"FALAHORA"},      {"TITULO", "T\xCDTULO"},
    {"DELETA"},     {"SUBSTITUI"},    {"TOCA"},       {"FALA"},          {"MCI"},
    {"L\xCA", "LE"}, {"CHECA"},       {"REMOVE"},     {"RENOMEIA"},      {"REPLICA"},
    {"CMD"},        {"ESPERA"},       {"ENVIACMD"},   {"DIGITA"},        {"ACIONA"},
    {"CLICA"},      {"CAPTURA"},      {"TRANSFERE"},  {"JANELA"},        {"DESVIA"},
    {"SE"},         {"SENAO", "SEN\xC3O"}, {"ENQUANTO"}, {"REPETE"},     {"FIM"},
    {"EXECUTA"},    {"EXISTEPROG"},   {"ALARME"},     {"GRAVABYTES"},    {"ESCREVEBYTE"},
    {"LEBYTE"},     {"LIMPABYTES"},   {"FECHABIN"},   {"CRIABIN"},       {"TAMARQ"},
    {"HTAMARQ"},    {"DIR"},          {"BUSCA"},      {"TERMINA"},       {"CHAMA"},
    {"RETORNA"},    {"RANDOMIZA"},    {"IP"},         {"MSAA"},          {"MENU"},
    {"IMAGEM"},     {"SENSOR"},       {"ANSIPARAUTF8"}, {"UTF8PARAANSI"}, {"HTTP"},
    {"TRAZDAREDE"}, {"HANDLE"},       {"SINTCONFIG"}, {"MENSAGEM"},      {"CODBASE64"},
    {"REMOVEQUOTED"}, {"ADQUOTED"},   {"CODARQBASE64"}, {"DECODARQBASE64"}, {"DECODBASE64"},
};

std::string_view otherForm(const engine::Command& c) { return c.otherForm ? c.otherForm : std::string_view(); }

TEST(CommandTable, TheLibrariesMakeTheLanguage) {
  // Every form, where it is written: a library's command.
  std::map<std::string_view, int> written;
  std::map<std::string_view, std::string_view> pairs;  // keyword -> other form
  for (const engine::Library& library : engine::libraries()) {
    for (const engine::Command& c : library) {
      ASSERT_NE(c.handler, nullptr) << c.keyword;
      ++written[c.keyword];
      if (c.otherForm) ++written[c.otherForm];
      pairs[c.keyword] = otherForm(c);
    }
  }
  for (const auto& [form, times] : written) EXPECT_EQ(times, 1) << form << " is written " << times << " times";

  std::set<std::string_view> specified;
  for (const Specified& s : kLanguage) {
    specified.insert(s.keyword);
    const auto found = pairs.find(s.keyword);
    ASSERT_NE(found, pairs.end()) << s.keyword << " is in no library";
    EXPECT_EQ(found->second, s.other) << s.keyword;
  }
  EXPECT_EQ(specified.size(), 85u);
  EXPECT_EQ(pairs.size(), 85u);
  EXPECT_EQ(written.size(), 88u);
}

TEST(CommandTable, EveryFormReachesItsOneEntry) {
  const auto table = engine::commandTable();
  ASSERT_EQ(table.size(), 85u);
  std::set<const engine::Entry*> reached;
  for (const Specified& s : kLanguage) {
    const engine::Entry* entry = engine::findCommand(s.keyword);
    ASSERT_NE(entry, nullptr) << s.keyword;
    EXPECT_EQ(entry->forms[0], s.keyword);
    EXPECT_EQ(entry->forms[1], s.other);
    if (!s.other.empty()) {
      EXPECT_EQ(engine::findCommand(s.other), entry) << s.other;
    }
    reached.insert(entry);
  }
  EXPECT_EQ(reached.size(), 85u);
}

TEST(CommandTable, EveryLibraryCommandReachesItsHandler) {
  for (const engine::Library& library : engine::libraries()) {
    for (const engine::Command& c : library) {
      const engine::Entry* entry = engine::findCommand(c.keyword);
      ASSERT_NE(entry, nullptr) << c.keyword << " is not in the table";
      EXPECT_EQ(entry->handler, c.handler) << c.keyword;
    }
  }
}

TEST(CommandTable, AccentedFormsReachTheSameEntry) {
  EXPECT_EQ(engine::findCommand("T\xCDTULO"), engine::findCommand("TITULO"));
  EXPECT_EQ(engine::findCommand("L\xCA"), engine::findCommand("LE"));
  EXPECT_EQ(engine::findCommand("SEN\xC3O"), engine::findCommand("SENAO"));
  EXPECT_NE(engine::findCommand("SENAO"), nullptr);
  EXPECT_EQ(engine::findCommand("ESCREVA"), nullptr);
  EXPECT_EQ(engine::findCommand("escreve"), nullptr);  // the caller upper-cases
}

}  // namespace
