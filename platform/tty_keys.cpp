#include "platform/tty_keys.h"

#include <charconv>

#include "platform/base/codepage.h"

namespace platform {
namespace {

constexpr char kEsc = '\x1b';

// The xterm modifier parameter: 1 + Shift 1, Alt 2, Ctrl 4, Meta 8.
Mods modsOfParameter(int value) {
  const int m = value > 1 ? value - 1 : 0;
  Mods mods;
  mods.shift = (m & 1) != 0;
  mods.alt = (m & 10) != 0;
  mods.ctrl = (m & 4) != 0;
  return mods;
}

TermInput keyInput(int key, Mods mods = {}) {
  TermInput in;
  in.kind = TermInput::Kind::Key;
  in.key = key;
  in.mods = mods;
  return in;
}

TermInput charInput(unsigned char ch, Mods mods = {}) {
  TermInput in;
  in.kind = TermInput::Kind::Char;
  in.ch = ch;
  in.mods = mods;
  return in;
}

// "CSI n ~" keys, as xterm, the Linux console and rxvt number them.
int tildeKey(int n) {
  switch (n) {
    case 1: case 7: return kKeyHome;
    case 2: return kKeyInsert;
    case 3: return kKeyDelete;
    case 4: case 8: return kKeyEnd;
    case 5: return kKeyPageUp;
    case 6: return kKeyPageDown;
    case 11: case 12: case 13: case 14: case 15: return kKeyF1 + n - 11;
    case 17: case 18: case 19: case 20: case 21: return kKeyF1 + 5 + n - 17;
    case 23: case 24: return kKeyF1 + 10 + n - 23;
    default: return kKeyNone;
  }
}

// The key of a final letter of CSI or SS3: cursor keys, Home, End, F1-F4,
// Shift+Tab.
int letterKey(char c) {
  switch (c) {
    case 'A': return kKeyUp;
    case 'B': return kKeyDown;
    case 'C': return kKeyRight;
    case 'D': return kKeyLeft;
    case 'H': return kKeyHome;
    case 'F': return kKeyEnd;
    case 'P': case 'Q': case 'R': case 'S': return kKeyF1 + (c - 'P');
    default: return kKeyNone;
  }
}

// The numeric keypad in application mode (SS3 p..y and the operators).
int keypadChar(char c) {
  if (c >= 'p' && c <= 'y') return '0' + (c - 'p');
  switch (c) {
    case 'j': return '*';
    case 'k': return '+';
    case 'l': return ',';
    case 'm': return '-';
    case 'n': return '.';
    case 'o': return '/';
    case 'X': return '=';
    default: return -1;
  }
}

// A control code as the key that makes it with Ctrl.
TermInput controlInput(unsigned char b) {
  Mods ctrl;
  ctrl.ctrl = true;
  switch (b) {
    case 0x0D: return keyInput(kKeyEnter);
    case 0x09: return keyInput(kKeyTab);
    case 0x7F: return keyInput(kKeyBackspace);
    case 0x00: return keyInput(kKeySpace, ctrl);
    case 0x1C: return keyInput('\\', ctrl);
    case 0x1D: return keyInput(']', ctrl);
    case 0x1E: case 0x1F: return keyInput(kKeyOther, ctrl);
    default: return keyInput('A' + b - 1, ctrl);
  }
}

// A mouse report's button code: buttons 0-2, Shift 4, Alt 8, Ctrl 16, motion
// 32, the wheel 64. False for a release (button 3) or a motion.
bool mouseInput(int code, int column, int row, TermInput& out) {
  out = TermInput{};
  out.column = column;
  out.row = row;
  out.mods.shift = (code & 4) != 0;
  out.mods.alt = (code & 8) != 0;
  out.mods.ctrl = (code & 16) != 0;
  if (code & 64) {
    out.kind = TermInput::Kind::Wheel;
    out.wheel = (code & 1) ? -1 : 1;
    return true;
  }
  if ((code & 32) || (code & 3) == 3) return false;
  out.kind = TermInput::Kind::Mouse;
  out.button = (code & 3) == 0 ? kMouseLeft : (code & 3) == 1 ? kMouseMiddle : kMouseRight;
  return true;
}

std::vector<int> parameters(std::string_view text) {
  std::vector<int> values;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find(';', pos);
    if (end == std::string_view::npos) end = text.size();
    int v = 0;
    std::from_chars(text.data() + pos, text.data() + end, v);  // sub-parameters after ':' are left out
    values.push_back(v);
    pos = end + 1;
  }
  return values;
}

}  // namespace

const std::vector<TermKeyCap>& termKeyCaps() {
  static const std::vector<TermKeyCap> caps = [] {
    Mods none, shift, ctrl, ctrlShift, alt;
    shift.shift = ctrlShift.shift = true;
    ctrl.ctrl = ctrlShift.ctrl = true;
    alt.alt = true;
    std::vector<TermKeyCap> list = {
        {"kcuu1", kKeyUp, none},      {"kcud1", kKeyDown, none},    {"kcub1", kKeyLeft, none},
        {"kcuf1", kKeyRight, none},   {"khome", kKeyHome, none},    {"kend", kKeyEnd, none},
        {"kich1", kKeyInsert, none},  {"kdch1", kKeyDelete, none},  {"kpp", kKeyPageUp, none},
        {"knp", kKeyPageDown, none},  {"kbs", kKeyBackspace, none}, {"kcbt", kKeyTab, shift},
        {"kent", kKeyEnter, none},    {"kLFT", kKeyLeft, shift},    {"kRIT", kKeyRight, shift},
        {"kHOM", kKeyHome, shift},    {"kEND", kKeyEnd, shift},     {"kIC", kKeyInsert, shift},
        {"kDC", kKeyDelete, shift},   {"kPRV", kKeyPageUp, shift},  {"kNXT", kKeyPageDown, shift},
    };
    // kf1-kf12 plain, then the same twelve with Shift, Ctrl, Ctrl+Shift, Alt.
    static const std::vector<std::string> names = [] {
      std::vector<std::string> n;
      for (int i = 1; i <= 60; ++i) n.push_back("kf" + std::to_string(i));
      return n;
    }();
    const Mods groups[] = {none, shift, ctrl, ctrlShift, alt};
    for (int i = 0; i < 60; ++i) list.push_back({names[i].c_str(), kKeyF1 + i % 12, groups[i / 12]});
    return list;
  }();
  return caps;
}

TermKeyDecoder::TermKeyDecoder(std::vector<TermSequence> sequences, bool utf8, const ByteCharset& charset)
    : sequences_(std::move(sequences)), utf8_(utf8), charset_(charset) {}

TermKeyDecoder::Match TermKeyDecoder::csiAt(size_t at, TermInput& out, size_t& length) const {
  const std::string_view b(buffer_);
  size_t i = at + 2;
  if (i >= b.size()) return Match::Partial;
  if (b[i] == 'M') {  // X10 mouse: three bytes of button, column and row, each plus 32
    if (b.size() < i + 4) return Match::Partial;
    length = i + 4 - at;
    const auto at1 = [&](size_t k) { return static_cast<unsigned char>(b[i + k]); };
    return mouseInput(at1(1) - 32, at1(2) - 33, at1(3) - 33, out) ? Match::Complete : Match::Ignored;
  }
  if (b[i] == '[') {  // the Linux console's F1-F5: CSI [ A..E
    if (i + 1 >= b.size()) return Match::Partial;
    length = i + 2 - at;
    const char c = b[i + 1];
    if (c < 'A' || c > 'E') return Match::Ignored;
    out = keyInput(kKeyF1 + (c - 'A'));
    return Match::Complete;
  }
  const size_t paramsFrom = i;
  while (i < b.size() && b[i] >= 0x20 && b[i] <= 0x3F) ++i;
  if (i >= b.size()) return Match::Partial;
  length = i + 1 - at;
  const char final = b[i];
  if (final < 0x40 || final > 0x7E) {
    length = i - at;  // not a sequence after all: the odd byte starts what follows
    return Match::Ignored;
  }
  std::string_view params = b.substr(paramsFrom, i - paramsFrom);
  const char prefix = params.empty() ? 0 : params[0];
  if (prefix == '<' || prefix == '?' || prefix == '>' || prefix == '=') params.remove_prefix(1);
  const std::vector<int> p = parameters(params);
  const Mods mods = modsOfParameter(p.size() > 1 ? p[1] : 1);
  if (prefix == '<') {  // SGR mouse: button;column;row, M pressed and m released
    if (final != 'M' || p.size() < 3) return Match::Ignored;
    return mouseInput(p[0], p[1] - 1, p[2] - 1, out) ? Match::Complete : Match::Ignored;
  }
  if (prefix != 0 && prefix < '0') return Match::Ignored;
  if (prefix == '?' || prefix == '>' || prefix == '=') return Match::Ignored;  // replies, not keys
  int key = kKeyNone;
  if (final == '~') {
    key = tildeKey(p[0]);
  } else if (final == 'Z') {
    Mods shifted = mods;
    shifted.shift = true;
    out = keyInput(kKeyTab, shifted);
    return Match::Complete;
  } else if (final == 'u') {  // "CSI code ; mods u": a key with modifiers the classic codes cannot tell
    const int code = p[0];
    if (code == 27) key = kKeyEscape;
    else if (code == 13) key = kKeyEnter;
    else if (code == 9) key = kKeyTab;
    else if (code == 127) key = kKeyBackspace;
    else if (code >= 32) {
      const int c = unicodeToCp1252(static_cast<char32_t>(code));
      if (c < 0) return Match::Ignored;
      out = charInput(static_cast<unsigned char>(c), mods);
      if (mods.ctrl && c >= 'a' && c <= 'z') out = keyInput(c - 32, mods);
      return Match::Complete;
    }
  } else {
    key = letterKey(final);
  }
  if (key == kKeyNone) return Match::Ignored;
  out = keyInput(key, mods);
  return Match::Complete;
}

TermKeyDecoder::Match TermKeyDecoder::sequenceAt(size_t at, TermInput& out, size_t& length) const {
  const std::string_view rest = std::string_view(buffer_).substr(at);
  // The terminal's own description first: the longest sequence it names.
  size_t best = 0;
  bool prefix = false;
  for (const TermSequence& s : sequences_) {
    if (rest.starts_with(s.bytes) && s.bytes.size() > best) {
      best = s.bytes.size();
      out = keyInput(s.key, s.mods);
    } else if (s.bytes.size() > rest.size() && std::string_view(s.bytes).starts_with(rest)) {
      prefix = true;
    }
  }
  if (best > 0) {
    length = best;
    return Match::Complete;
  }
  if (rest.empty() || rest[0] != kEsc) return Match::None;
  if (rest.size() < 2) return Match::Partial;
  if (rest[1] == '[') return csiAt(at, out, length);
  if (rest[1] != 'O') return prefix ? Match::Partial : Match::None;
  if (rest.size() < 3) return Match::Partial;
  size_t finalAt = 2;
  Mods mods;
  if (rest[2] >= '1' && rest[2] <= '9') {  // SS3 with a modifier digit, as some terminals send F1-F4
    if (rest.size() < 4) return Match::Partial;
    mods = modsOfParameter(rest[2] - '0');
    finalAt = 3;
  }
  length = finalAt + 1;
  const char c = rest[finalAt];
  if (const int key = letterKey(c); key != kKeyNone) {
    out = keyInput(key, mods);
    return Match::Complete;
  }
  if (c == 'M') {
    out = keyInput(kKeyEnter, mods);
    return Match::Complete;
  }
  if (const int ch = keypadChar(c); ch >= 0) {
    out = charInput(static_cast<unsigned char>(ch), mods);
    return Match::Complete;
  }
  return Match::Ignored;
}

TermKeyDecoder::Match TermKeyDecoder::characterAt(size_t at, TermInput& out, size_t& length, bool flush) const {
  const std::string_view b(buffer_);
  const auto c = static_cast<unsigned char>(b[at]);
  length = 1;
  if (c < 0x20 || c == 0x7F) {
    out = controlInput(c);
    return Match::Complete;
  }
  if (c < 0x80) {
    out = charInput(c);
    return Match::Complete;
  }
  if (!utf8_) {
    if (charset_[c] < 0) return Match::Ignored;
    out = charInput(static_cast<unsigned char>(charset_[c]));
    return Match::Complete;
  }
  const size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  if (b.size() - at < need && !flush) {
    // Only continuation bytes may follow; anything else spoils it now.
    bool spoilt = false;
    for (size_t i = at + 1; i < b.size(); ++i) spoilt |= (static_cast<unsigned char>(b[i]) & 0xC0) != 0x80;
    if (!spoilt) return Match::Partial;
  }
  size_t pos = at;
  const char32_t cp = decodeUtf8(b, pos);
  length = pos - at;
  const int ch = unicodeToCp1252(cp);
  if (cp == 0xFFFD || ch < 0x20) return Match::Ignored;
  out = charInput(static_cast<unsigned char>(ch));
  return Match::Complete;
}

bool TermKeyDecoder::next(TermInput& out, bool flush) {
  while (!buffer_.empty()) {
    size_t length = 0;
    Match m = sequenceAt(0, out, length);
    if (m == Match::Partial && !flush) return false;
    if (m == Match::None || m == Match::Partial) {
      if (buffer_[0] != kEsc) {
        m = characterAt(0, out, length, flush);
        if (m == Match::Partial) return false;
      } else if (buffer_.size() == 1) {
        if (!flush) return false;
        out = keyInput(kKeyEscape);
        m = Match::Complete;
        length = 1;
      } else {
        // Alt: Esc before a sequence or a character; a second Esc alone is the Esc key.
        size_t inner = 0;
        m = buffer_[1] == kEsc ? sequenceAt(1, out, inner) : characterAt(1, out, inner, flush);
        if (m == Match::Partial && !flush) return false;
        if (m == Match::Complete) {
          out.mods.alt = true;
          length = 1 + inner;
        } else if (m == Match::Ignored) {
          length = 1 + inner;
        } else {
          out = keyInput(kKeyEscape);
          m = Match::Complete;
          length = 1;
        }
      }
    }
    buffer_.erase(0, length);
    if (m == Match::Complete) return true;
  }
  return false;
}

}  // namespace platform
