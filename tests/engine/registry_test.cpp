// The command table: every keyword in the language's order, the accented
// forms, and each library's commands reaching their own handlers.
#include <gtest/gtest.h>

#include <string>

#include "engine/libraries.h"
#include "engine/registry.h"

namespace {

TEST(CommandTable, HoldsThe85KeywordsInOrder) {
  const auto table = engine::commandTable();
  ASSERT_EQ(table.size(), 85u);
  const char* expected[] = {"MIDI", "DEBUG", "SEJA", "TELA", "COR", "FUNDO", "ABRE", "FECHA", "INTERNET", "CONECTA"};
  for (size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(table[i].forms[0], expected[i]);
  EXPECT_EQ(table[24].forms[0], "TITULO");
  EXPECT_EQ(table[30].forms[1], "LE");
  EXPECT_EQ(table[46].forms[0], "SENAO");
  EXPECT_EQ(table[63].forms[0], "TERMINA");
  EXPECT_EQ(table[84].forms[0], "DECODBASE64");
}

TEST(CommandTable, AccentedFormsReachTheSameEntry) {
  EXPECT_EQ(engine::findCommand("T\xCDTULO"), engine::findCommand("TITULO"));
  EXPECT_EQ(engine::findCommand("L\xCA"), engine::findCommand("LE"));
  EXPECT_EQ(engine::findCommand("SEN\xC3O"), engine::findCommand("SENAO"));
  EXPECT_NE(engine::findCommand("SENAO"), nullptr);
  EXPECT_EQ(engine::findCommand("ESCREVA"), nullptr);
  EXPECT_EQ(engine::findCommand("escreve"), nullptr);  // the caller upper-cases
}

TEST(CommandTable, EveryLibraryCommandIsListedWithItsHandler) {
  const engine::Library libraries[] = {engine::runLibrary(),  engine::flowLibrary(),    engine::valueLibrary(),
                                       engine::textLibrary(), engine::listLibrary(),    engine::channelLibrary(),
                                       engine::speechLibrary()};
  for (const engine::Library& library : libraries) {
    for (const engine::Command& c : library) {
      const engine::Entry* entry = engine::findCommand(c.keyword);
      ASSERT_NE(entry, nullptr) << c.keyword << " is not in the table";
      EXPECT_EQ(entry->handler, c.handler) << c.keyword;
    }
  }
}

}  // namespace
