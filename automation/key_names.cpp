#include "automation/key_names.h"

#include <charconv>

#include "automation/virtual_keys.h"

namespace automation {
namespace {

struct KeyName {
  std::string_view name;
  int key;
};

constexpr KeyName kNames[] = {
    {"UP", kVkUp},         {"DOWN", kVkDown},       {"LEFT", kVkLeft},     {"RIGHT", kVkRight},
    {"ESCAPE", kVkEscape}, {"ESC", kVkEscape},      {"ENTER", kVkReturn},  {"RETURN", kVkReturn},
    {"BACKSPACE", kVkBack}, {"TAB", kVkTab},        {"INS", kVkInsert},    {"HOME", kVkHome},
    {"DEL", kVkDelete},    {"DELETE", kVkDelete},   {"END", kVkEnd},       {"PAGEUP", kVkPrior},
    {"PRIOR", kVkPrior},   {"PAGEDN", kVkNext},     {"NEXT", kVkNext},     {"SNAPSHOT", kVkSnapshot},
};

bool takePrefix(std::string_view& text, std::string_view prefix) {
  if (!text.starts_with(prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

// F1 .. F12.
bool functionKey(std::string_view text, int& key) {
  int n = 0;
  if (text.size() < 2 || text[0] != 'F') return false;
  const auto [end, ec] = std::from_chars(text.data() + 1, text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size() || n < 1 || n > 12) return false;
  key = kVkF1 + n - 1;
  return true;
}

}  // namespace

bool parseKeyCombination(std::string_view capitals, KeyCombination& out) {
  std::string_view text = capitals;
  out = KeyCombination{};
  out.ctrl = takePrefix(text, "CTRL+");
  out.shift = takePrefix(text, "SHIFT+");
  out.alt = takePrefix(text, "ALT+");
  for (const KeyName& k : kNames) {
    if (text == k.name) {
      out.key = k.key;
      return true;
    }
  }
  if (functionKey(text, out.key)) return true;
  if (takePrefix(text, "#")) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out.key);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size() && out.key >= 0 &&
           out.key < kCharKey;
  }
  if (text.size() != 1) return false;
  out.key = static_cast<unsigned char>(text[0]);
  return true;
}

}  // namespace automation
