#include "platform/keyscript.h"

#include <gtest/gtest.h>

namespace {

using platform::EventType;

std::vector<platform::KeyStep> parse(const std::string& text) {
  std::vector<platform::KeyStep> steps;
  std::string error;
  EXPECT_TRUE(platform::parseKeyScript(text, steps, error)) << error;
  return steps;
}

TEST(KeyScript, NamedKeysMakeKeyDownCharacterAndKeyUp) {
  struct Case {
    const char* line;
    int key;
    bool shift, ctrl, alt, system;
    int ch;  // -1: no character event
  } cases[] = {
      {"key Enter", platform::kKeyEnter, false, false, false, false, 13},
      {"key Ctrl+Enter", platform::kKeyEnter, false, true, false, false, 10},
      {"key Backspace", platform::kKeyBackspace, false, false, false, false, 8},
      {"key ctrl+backspace", platform::kKeyBackspace, false, true, false, false, 127},
      {"key F3", platform::kKeyF1 + 2, false, false, false, false, -1},
      {"key Shift+Insert", platform::kKeyInsert, true, false, false, false, -1},
      {"key Ctrl+Alt+F11", platform::kKeyF1 + 10, false, true, true, false, -1},
      {"key Alt+F4", platform::kKeyF1 + 3, false, false, true, true, -1},
      {"key F10", platform::kKeyF1 + 9, false, false, false, true, -1},
      {"key Ctrl+a", 'A', false, true, false, false, 1},
      {"key Ctrl+Alt+a", 'A', false, true, true, false, -1},
      {"key Ctrl+\\", '\\', false, true, false, false, 28},
      {"key Ctrl+]", ']', false, true, false, false, 29},
      {"key \\", '\\', false, false, false, false, '\\'},
      {"key A", 'A', true, false, false, false, 'A'},
      {"key Space", platform::kKeySpace, false, false, false, false, ' '},
      {"key +", platform::kKeyOther, false, false, false, false, '+'},
      {"key Ctrl++", platform::kKeyOther, false, true, false, false, -1},
      {"key Esc", platform::kKeyEscape, false, false, false, false, 27},
  };
  for (const Case& c : cases) {
    const auto steps = parse(c.line);
    ASSERT_EQ(steps.size(), 1u) << c.line;
    const auto& ev = steps[0].events;
    ASSERT_GE(ev.size(), 2u) << c.line;
    EXPECT_EQ(ev[0].type, EventType::KeyDown) << c.line;
    EXPECT_EQ(ev[0].key, c.key) << c.line;
    EXPECT_EQ(ev[0].mods.shift, c.shift) << c.line;
    EXPECT_EQ(ev[0].mods.ctrl, c.ctrl) << c.line;
    EXPECT_EQ(ev[0].mods.alt, c.alt) << c.line;
    EXPECT_EQ(ev[0].system, c.system) << c.line;
    EXPECT_EQ(ev.size(), c.ch < 0 ? 2u : 3u) << c.line;
    if (c.ch >= 0) {
      EXPECT_EQ(ev[1].ch, c.ch) << c.line;
    }
    EXPECT_EQ(ev.back().type, EventType::KeyUp) << c.line;
  }
}

TEST(KeyScript, TypeMakesOneStepPerCharacterInWindows1252) {
  const auto steps = parse("type Sé!\n");
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_TRUE(steps[0].mods.shift);
  EXPECT_EQ(steps[1].events[1].ch, 0xE9);
  EXPECT_EQ(steps[2].events[1].ch, '!');
}

TEST(KeyScript, WaitsTimeTheNextKeyOnly) {
  const auto steps = parse("# comentario\nwait 100\nwait 50\ntype ab\nkey Esc\n  # outro\nwait 0\nkey Up\n");
  ASSERT_EQ(steps.size(), 4u);
  EXPECT_EQ(steps[0].waitMs, 150);
  EXPECT_EQ(steps[1].waitMs, -1);
  EXPECT_EQ(steps[2].waitMs, -1);
  EXPECT_EQ(steps[3].waitMs, 0);
}

TEST(KeyScript, MouseAndBreak) {
  const auto steps = parse("key MouseLeft\nkey WheelDown\nkey Ctrl+Break\n");
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[0].events[0].type, EventType::MouseDown);
  EXPECT_EQ(steps[0].events[0].button, platform::kMouseLeft);
  EXPECT_EQ(steps[1].events[0].wheel, -1);
  EXPECT_EQ(steps[2].events[0].key, platform::kKeyCancel);
  EXPECT_TRUE(steps[2].events[0].mods.ctrl);
}

TEST(KeyScript, FaultsNameTheirLine) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"type a\nkey Foo\n", "line 2: unknown key 'Foo'"},
      {"key F13\n", "line 1: unknown key 'F13'"},
      {"key Break\n", "line 1: unknown key 'Break'"},
      {"\n\nwait soon\n", "line 3: wait needs milliseconds"},
      {"press a\n", "line 1: unknown instruction 'press' (type, key or wait)"},
      {"key\n", "line 1: key needs a key name"},
  };
  for (const Case& c : cases) {
    std::vector<platform::KeyStep> steps;
    std::string error;
    EXPECT_FALSE(platform::parseKeyScript(c.text, steps, error)) << c.text;
    EXPECT_EQ(error, c.error);
  }
}

}  // namespace
