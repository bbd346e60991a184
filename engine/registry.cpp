// The command table is put together here from the libraries: each keyword is
// written once, in its library's table, with its other form (accented or
// plain) when it has one. A new command is one line in its library's table;
// a new library is one line in kLibraries.
//
// Layers point one way: console and speech know nothing of the engine, so
// the commands that reach them (speech and sound, the screen, line input and
// menus) are libraries of the engine that read their operands with the
// engine's readers and call down into those layers. Networking, automation
// and the devices (pictures, MIDI, the port sensor) do the same.
#include "engine/registry.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "engine/libraries.h"

namespace engine {
namespace {

struct Table {
  std::vector<Library> libraries;
  std::vector<Entry> entries;
  std::unordered_map<std::string_view, size_t> byForm;  // form -> entry
};

const Table& table() {
  static const Table t = [] {
    Table built;
    built.libraries = {
        runLibrary(),     flowLibrary(),  valueLibrary(),   textLibrary(),       listLibrary(),
        channelLibrary(), speechLibrary(), screenLibrary(), inputLibrary(),      menuLibrary(),
        fileLibrary(),    searchLibrary(), byteLibrary(),   programLibrary(),    automationLibrary(),
        encodingLibrary(), netLibrary(),  downloadLibrary(), deviceLibrary(),
    };
    for (const Library& library : built.libraries) {
      for (const Command& c : library) {
        built.entries.push_back(Entry{{c.keyword, c.otherForm ? c.otherForm : ""}, c.handler});
      }
    }
    for (size_t i = 0; i < built.entries.size(); ++i) {
      for (std::string_view form : built.entries[i].forms) {
        if (!form.empty()) built.byForm.emplace(form, i);
      }
    }
    return built;
  }();
  return t;
}

}  // namespace

std::span<const Library> libraries() { return table().libraries; }

std::span<const Entry> commandTable() { return table().entries; }

const Entry* findCommand(std::string_view upperKeyword) {
  const Table& t = table();
  const auto found = t.byForm.find(upperKeyword);
  return found == t.byForm.end() ? nullptr : &t.entries[found->second];
}

Status callCommand(Interp& in, const Entry* entry, std::string_view upperKeyword, std::string_view operands) {
  if (!entry) return failSaying("Comando inv\xE1lido: " + std::string(upperKeyword));
  return entry->handler(in, operands);
}

}  // namespace engine
