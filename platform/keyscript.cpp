#include "platform/keyscript.h"

#include <cctype>
#include <charconv>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/base/codepage.h"

namespace platform {
namespace {

struct NamedKey {
  const char* name;
  int key;
};

const NamedKey kNamedKeys[] = {
    {"Enter", kKeyEnter},     {"Esc", kKeyEscape},      {"Tab", kKeyTab},
    {"Backspace", kKeyBackspace}, {"Space", kKeySpace}, {"Up", kKeyUp},
    {"Down", kKeyDown},       {"Left", kKeyLeft},       {"Right", kKeyRight},
    {"Home", kKeyHome},       {"End", kKeyEnd},         {"PageUp", kKeyPageUp},
    {"PageDown", kKeyPageDown}, {"Insert", kKeyInsert}, {"Delete", kKeyDelete},
    {"Break", kKeyCancel},
};

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

bool pressNamed(std::string_view name, KeyStep& step, std::string& error) {
  // Modifier prefixes, in any order and case; a lone "+" is the plus key.
  static const char* kPrefixes[] = {"Ctrl+", "Alt+", "Shift+"};
  for (bool found = true; found && name.size() > 1;) {
    found = false;
    for (const char* p : kPrefixes) {
      const size_t n = std::strlen(p);
      if (name.size() > n && equalsNoCase(name.substr(0, n), p)) {
        (p[0] == 'C' ? step.mods.ctrl : p[0] == 'A' ? step.mods.alt : step.mods.shift) = true;
        name.remove_prefix(n);
        found = true;
      }
    }
  }
  size_t one = 0;
  decodeUtf8(name, one);
  if (one == name.size()) {  // a single character names its own key
    pressCharacter(static_cast<unsigned char>(utf8ToCp1252(name)[0]), step.mods, step.events);
    return true;
  }
  struct Mouse {
    const char* name;
    EventType type;
    int value;
  };
  static const Mouse kMouse[] = {{"MouseLeft", EventType::MouseDown, kMouseLeft},
                                 {"MouseRight", EventType::MouseDown, kMouseRight},
                                 {"MouseMiddle", EventType::MouseDown, kMouseMiddle},
                                 {"WheelUp", EventType::Wheel, 1},
                                 {"WheelDown", EventType::Wheel, -1}};
  for (const Mouse& m : kMouse) {
    if (equalsNoCase(name, m.name)) {
      Event e;
      e.type = m.type;
      e.mods = step.mods;
      (m.type == EventType::Wheel ? e.wheel : e.button) = m.value;
      step.events.push_back(e);
      return true;
    }
  }
  int key = kKeyNone;
  for (const NamedKey& k : kNamedKeys) {
    if (equalsNoCase(name, k.name)) key = k.key;
  }
  if (key == kKeyCancel && !step.mods.ctrl) key = kKeyNone;  // only Ctrl+Break exists
  if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
    int n = 0;
    const auto [end, ec] = std::from_chars(name.data() + 1, name.data() + name.size(), n);
    if (ec == std::errc() && end == name.data() + name.size() && n >= 1 && n <= 12) key = kKeyF1 + n - 1;
  }
  if (key == kKeyNone) {
    error = "unknown key '" + std::string(name) + "'";
    return false;
  }
  pressKey(key, step.mods, step.events);
  return true;
}

}  // namespace

KeyScriptReader::KeyScriptReader(std::istream& in, bool expandTyped) : in_(in), expandTyped_(expandTyped) {}

bool KeyScriptReader::nextTyped(KeyStep& step) {
  if (typePos_ >= typed_.size()) return false;
  const size_t start = typePos_;
  decodeUtf8(typed_, typePos_);
  const std::string ch = utf8ToCp1252(std::string_view(typed_).substr(start, typePos_ - start));
  step = KeyStep{};
  step.waitMs = pendingWait_;
  step.line = lineNo_;
  pendingWait_ = -1;
  pressCharacter(static_cast<unsigned char>(ch[0]), step.mods, step.events);
  if (typePos_ >= typed_.size()) std::string().swap(typed_);  // the line's memory goes with its last key
  return true;
}

bool KeyScriptReader::next(KeyStep& step, std::string& error) {
  if (nextTyped(step)) return true;
  std::string text;
  while (std::getline(in_, text)) {
    ++lineNo_;
    std::string_view line = text;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') continue;
    line.remove_prefix(first);
    const size_t space = line.find(' ');
    const std::string_view verb = line.substr(0, space);
    const std::string_view arg = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
    auto fail = [&](const std::string& what) {
      error = "line " + std::to_string(lineNo_) + ": " + what;
      return false;
    };
    if (verb == "wait") {
      int ms = 0;
      const auto [end, ec] = std::from_chars(arg.data(), arg.data() + arg.size(), ms);
      if (ec != std::errc() || end != arg.data() + arg.size() || ms < 0) return fail("wait needs milliseconds");
      pendingWait_ = (pendingWait_ < 0 ? 0 : pendingWait_) + ms;
    } else if (verb == "type") {
      if (arg.empty()) return fail("type needs text");
      if (!expandTyped_) continue;
      // The line itself becomes the text to type: a long one is not copied.
      const size_t from = static_cast<size_t>(arg.data() - text.data());
      text.resize(from + arg.size());
      text.erase(0, from);
      typed_ = std::move(text);
      typePos_ = 0;
      return nextTyped(step);
    } else if (verb == "key") {
      std::string_view name = arg;
      while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
      if (name.empty()) return fail("key needs a key name");
      step = KeyStep{};
      step.waitMs = pendingWait_;
      step.line = lineNo_;
      pendingWait_ = -1;
      std::string what;
      if (!pressNamed(name, step, what)) return fail(what);
      return true;
    } else {
      return fail("unknown instruction '" + std::string(verb) + "' (type, key or wait)");
    }
  }
  return false;
}

bool parseKeyScript(std::string_view text, std::vector<KeyStep>& steps, std::string& error) {
  steps.clear();
  error.clear();
  std::istringstream in{std::string(text)};
  KeyScriptReader reader(in);
  for (KeyStep step; reader.next(step, error);) steps.push_back(std::move(step));
  return error.empty();
}

bool checkKeyScript(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read the key script " + path;
    return false;
  }
  error.clear();
  KeyScriptReader reader(in, false);
  for (KeyStep step; reader.next(step, error);) {
  }
  if (!error.empty()) error = path + " " + error;
  return error.empty();
}

}  // namespace platform
