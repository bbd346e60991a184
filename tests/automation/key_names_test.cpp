// ACIONA's key combinations: prefixes only in the order Ctrl, Shift, Alt.
#include <gtest/gtest.h>

#include "automation/key_names.h"
#include "automation/virtual_keys.h"

namespace {

using automation::KeyCombination;

struct Case {
  const char* text;
  bool ok;
  int key;
  bool ctrl, shift, alt;
};

const Case kCases[] = {
    {"UP", true, 38, false, false, false},
    {"PAGEDN", true, 34, false, false, false},
    {"PRIOR", true, 33, false, false, false},
    {"SNAPSHOT", true, 44, false, false, false},
    {"F1", true, 112, false, false, false},
    {"F12", true, 123, false, false, false},
    {"CTRL+SHIFT+ESC", true, 27, true, true, false},
    {"CTRL+SHIFT+ALT+DEL", true, 46, true, true, true},
    {"ALT+ESC", true, 27, false, false, true},
    {"SHIFT+A", true, 'A', false, true, false},
    {"CTRL+1", true, '1', true, false, false},
    {"#144", true, 144, false, false, false},
    {"ALT+#9", true, 9, false, false, true},
    {"SHIFT+CTRL+ESC", false, 0, false, false, false},  // CTRL+ESC is left, no key name
    {"ALT+CTRL+A", false, 0, false, false, false},
    {"#", false, 0, false, false, false},
    {"#12A", false, 0, false, false, false},
    {"#-1", false, 0, false, false, false},
    {"F13", false, 0, false, false, false},
    {"XY", false, 0, false, false, false},
    {"CTRL+", false, 0, false, false, false},
};

TEST(KeyNames, Table) {
  for (const Case& c : kCases) {
    KeyCombination k;
    ASSERT_EQ(automation::parseKeyCombination(c.text, k), c.ok) << c.text;
    if (!c.ok) continue;
    EXPECT_EQ(k.key, c.key) << c.text;
    EXPECT_EQ(k.ctrl, c.ctrl) << c.text;
    EXPECT_EQ(k.shift, c.shift) << c.text;
    EXPECT_EQ(k.alt, c.alt) << c.text;
  }
}

}  // namespace
