#include "fuzz/entries.h"

namespace fuzz {
namespace {

constexpr NamedEntry kEntries[] = {
    {"script_lines", scriptLines},   {"expression", expression}, {"profile", profile},
    {"wave", wave},                  {"bmp", bmp},               {"diphone_index", diphoneIndex},
    {"diphone_rules", diphoneRules}, {"tts_data", ttsData},      {"normalise", normalise},
    {"line_reader", lineReader},     {"http_answer", httpAnswer}, {"key_script", keyScript},
    {"path_mapping", pathMapping},   {"tts_units", ttsUnits},     {"jpeg", jpeg},
    {"png", png},
};

}  // namespace

const NamedEntry* findEntry(std::string_view name) {
  for (const NamedEntry& e : kEntries) {
    if (e.name == name) return &e;
  }
  return nullptr;
}

}  // namespace fuzz
