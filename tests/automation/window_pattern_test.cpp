// JANELA's title patterns: the stars ask where the rest must stand.
#include <gtest/gtest.h>

#include "automation/window_pattern.h"

namespace {

struct Case {
  const char* pattern;
  const char* title;
  bool matches;
};

const Case kCases[] = {
    {"*BLOCO", "BLOCO DE NOTAS", true},
    {"*BLOCO", "MEU BLOCO", false},
    {"NOTAS*", "BLOCO DE NOTAS", true},
    {"NOTAS*", "NOTAS DO BLOCO", false},
    {"*BLOCO DE NOTAS*", "BLOCO DE NOTAS", true},
    {"*BLOCO*", "BLOCO DE NOTAS", false},
    {"DE", "BLOCO DE NOTAS", true},
    {"XX", "BLOCO DE NOTAS", false},
    {"*", "QUALQUER", true},
    {"", "QUALQUER", true},
};

TEST(WindowPattern, Table) {
  for (const Case& c : kCases) EXPECT_EQ(automation::titleMatches(c.pattern, c.title), c.matches) << c.pattern;
}

}  // namespace
