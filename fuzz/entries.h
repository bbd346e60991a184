// What each fuzz target feeds its bytes to. The same functions replay the
// kept crash inputs in the normal test builds, so a fixed fault stays fixed
// without clang.
#pragma once
#include <string_view>

namespace fuzz {

using Entry = void (*)(std::string_view bytes);

struct NamedEntry {
  std::string_view name;  // the target's name and its folder of kept inputs
  Entry run;
};

// Every target, by name.
const NamedEntry* findEntry(std::string_view name);

void scriptLines(std::string_view bytes);
void expression(std::string_view bytes);
void profile(std::string_view bytes);
void wave(std::string_view bytes);
void bmp(std::string_view bytes);
void jpeg(std::string_view bytes);
void png(std::string_view bytes);
void diphoneIndex(std::string_view bytes);
void diphoneRules(std::string_view bytes);
void ttsData(std::string_view bytes);
void ttsUnits(std::string_view bytes);
void normalise(std::string_view bytes);
void lineReader(std::string_view bytes);
void httpAnswer(std::string_view bytes);
void keyScript(std::string_view bytes);
void pathMapping(std::string_view bytes);

}  // namespace fuzz
