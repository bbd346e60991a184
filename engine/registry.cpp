// The command table is assembled here from the libraries, as one list of
// every keyword in the language's order, each taking its handler from the
// library that supplies it. A new command is one line in its library's table;
// a new library is one line in kLibraries.
//
// Layers point one way: console and speech know nothing of the engine, so
// the commands that reach them (speech and sound today; screen, line input
// and menus later) are libraries of the engine that read their operands with
// the engine's readers and call down into those layers. Networking and
// automation will do the same.
#include "engine/registry.h"

#include <array>
#include <string>
#include <unordered_map>

#include "engine/libraries.h"
#include "speech/speech_service.h"

namespace engine {
namespace {

using Forms = std::array<std::string_view, 2>;

constexpr Forms kOrder[] = {
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

constexpr Library (*kLibraries[])() = {
    runLibrary, flowLibrary, valueLibrary, textLibrary, listLibrary, channelLibrary, speechLibrary,
    screenLibrary, inputLibrary, menuLibrary,
    fileLibrary, searchLibrary, byteLibrary, programLibrary, automationLibrary,
    encodingLibrary, netLibrary, downloadLibrary,
};

struct Table {
  std::array<Entry, std::size(kOrder)> entries;
  std::unordered_map<std::string_view, size_t> byForm;  // form -> entry
};

Handler handlerOf(std::string_view keyword) {
  for (const auto library : kLibraries) {
    for (const Command& c : library()) {
      if (keyword == c.keyword) return c.handler;
    }
  }
  return nullptr;
}

const Table& table() {
  static const Table t = [] {
    Table built;
    for (size_t i = 0; i < std::size(kOrder); ++i) {
      const Forms& f = kOrder[i];
      Handler h = handlerOf(f[0]);
      if (!h && !f[1].empty()) h = handlerOf(f[1]);
      built.entries[i] = Entry{{f[0], f[1]}, h};
      for (std::string_view form : f) {
        if (!form.empty()) built.byForm.emplace(form, i);
      }
    }
    return built;
  }();
  return t;
}

}  // namespace

std::span<const Entry> commandTable() { return table().entries; }

const Entry* findCommand(std::string_view upperKeyword) {
  const Table& t = table();
  const auto found = t.byForm.find(upperKeyword);
  return found == t.byForm.end() ? nullptr : &t.entries[found->second];
}

bool callCommand(const Entry* entry, std::string_view upperKeyword, std::string_view operands) {
  if (!entry) {
    speech::sayLine("Comando inv\xE1lido: " + std::string(upperKeyword));
    return false;
  }
  if (!entry->handler) {
    speech::sayLine("Comando ainda n\xE3o dispon\xEDvel: " + std::string(upperKeyword));
    return false;
  }
  return entry->handler(operands);
}

}  // namespace engine
