// A console whose configuration fixes the colours and asks for the magnifier.
#include <gtest/gtest.h>

#include "console/magnifier.h"
#include "console/screen.h"
#include "headless_env.h"

const char* const testenv::kTestIni =
    "[VIDEO]\nCORESFIXAS=sim\nCORFUNDO=17\nCORLETRA=2\n[BAIXAVISAO]\nAMPLIACAO=4\nCORLETRA=x\n";

namespace {

TEST(FixedColours, ColourCommandsAreIgnoredAndTheStartingAttributeIsKeptToAByte) {
  EXPECT_EQ(console::textAttribute(), 0x12);  // 17 * 16 + 2, kept to one byte
  console::setTextColor(4);
  console::setBackColor(5);
  EXPECT_EQ(console::textAttribute(), 0x12);
  EXPECT_TRUE(console::coloursFixed());
}

TEST(Magnifier, FactorFromTheSettingsAndAFallbackForBadValues) {
  console::loadMagnifierSettings();
  EXPECT_EQ(console::magnifierFactor(), 4);
  console::showMagnifiedLine("uma linha bem comprida para ampliar, mais longa que a tela ampliada", 40);
  console::hideMagnifiedLine();
  EXPECT_EQ(console::cellChar(1, 1), ' ');  // the magnified line never touches the grids
}

}  // namespace
