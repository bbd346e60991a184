#include "console/braille_cells.h"

#include <array>

namespace console {
namespace {

bool isDigit(int c) { return c >= '0' && c <= '9'; }
// ß is no lower-case letter here: it has a symbol of its own.
bool isLower(int c) { return (c >= 'a' && c <= 'z') || c >= 0xE0; }
bool isUpper(int c) { return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7); }
uint8_t lowerOf(int c) { return static_cast<uint8_t>(c + 0x20); }

// Digits written low in the cell, for ordinals and the grave-accent numbers.
constexpr char kLowered[] = "},;:/?!=\"*";

// What a symbol is written as; the characters not listed stand for themselves.
std::string_view symbolText(uint8_t c) {
  switch (c) {
    case '%': return "_}";
    case '(': return "(.";
    case ')': return "\\)";
    case '/': return "\\,";
    case '[': return "[.";
    case '\\': return "~.";
    case ']': return "\\]";
    case 0x80: return "\x80" "e";                   // €
    case 0x85: return "...";                        // …
    case 0x89: return "_}}";                        // ‰
    case 0x91: case 0x92: return "$\"";             // ‘ ’
    case 0x95: return "\xF5o";                      // •
    case 0x96: case 0x97: case 0xAD: return "--";   // – — soft hyphen
    case 0x9C: return "oe";                         // œ
    case 0xA7: return "ss";                         // §
    case 0xAB: case 0xBB: return "\\\"";            // « »
    case 0xB2: return "\xE5#b";                     // ²
    case 0xB3: return "\xE5#c";                     // ³
    case 0xB9: return "\xE5#a";                     // ¹
    case 0xBC: return "#,d";                        // ¼
    case 0xBD: return "#,b";                        // ½
    case 0xBE: return "#:d";                        // ¾
    case 0xDF: return "\xAC" "b";                   // ß
    case 0xE6: return "ae";                         // æ
    default: return {};
  }
}

// What a symbol after a grave accent is written as; empty: the pair is dropped.
std::string_view escapedText(uint8_t c) {
  switch (c) {
    case '"': return "\xFC\xFC";
    case '%': return "_}}";
    case '\'': return "\xFC";
    case '(': return "\xEA";
    case ')': return "\xE3";
    case '*': case 'X': case 'x': return "\xD7";
    case '+': return "+";
    case '-': return "-";
    case '.': return ".";
    case '/': case ':': return "\xF7";
    case '=': return "=";
    case 'E': case 'e': return "\x80" "e";
    case 'O': case 'o': return "\xB0";
    case '[': return "\xE1";
    case '\\': return "\xE2";
    case ']': return "\xFA";
    case '^': return "\xE5";
    case '_': case 0xF7: return "~\xF7";
    case '{': return "~l";
    case '}': return "_,";
    default: return {};
  }
}

class Transcriber {
 public:
  explicit Transcriber(std::string_view row) : row_(row) {}

  BrailleRow run() {
    while (i_ < row_.size()) step();
    return std::move(out_);
  }

 private:
  int at(size_t i) const { return i < row_.size() ? static_cast<uint8_t>(row_[i]) : -1; }

  void emit(std::string_view text, size_t column) {
    out_.text += text;
    out_.source.insert(out_.source.end(), text.size(), static_cast<uint8_t>(column));
  }
  void emit(int c, size_t column) { emit(std::string(1, static_cast<char>(c)), column); }

  size_t digitsEnd(size_t from) const {
    while (isDigit(at(from))) ++from;
    return from;
  }
  size_t digitsBefore(size_t end) const {
    size_t n = 0;
    while (end > n && isDigit(at(end - n - 1))) ++n;
    return n;
  }

  void lowered(size_t from, size_t end) {
    for (size_t k = from; k < end; ++k) emit(kLowered[at(k) - '0'], k);
  }

  void step() {
    const int c = at(i_);
    if (isLower(c)) {
      emit(c, i_++);
    } else if (isUpper(c)) {
      capitals();
    } else if (isDigit(c)) {
      number();
    } else if ((c == '(' || c == '[') && isDigit(at(i_ + 1))) {
      openingBeforeDigit(c);
    } else if ((c == ')' || c == ']') && i_ > 0 && isDigit(at(i_ - 1)) && !inGroup_) {
      emit(c == ')' ? 0xE3 : 0xFA, i_++);
    } else if (c == '`' && isDigit(at(i_ + 1))) {
      gravedNumber();
    } else if (c == '`' && i_ + 1 < row_.size()) {
      emit(escapedText(static_cast<uint8_t>(at(i_ + 1))), i_);
      i_ += 2;
    } else if (c == '"' || c == 0x93 || c == 0x94) {
      emit('"', i_++);
    } else {
      symbol();
    }
  }

  void capitals() {
    if (!isUpper(at(i_ + 1))) {
      emit('{', i_);
      emit(lowerOf(at(i_)), i_);
      ++i_;
      return;
    }
    emit("{{", i_);
    while (isUpper(at(i_))) {
      emit(lowerOf(at(i_)), i_);
      ++i_;
    }
    if (isLower(at(i_))) emit('~', i_);
  }

  // The length of an ordinal's marker at `k` (ª º a. o. as. os.), or 0.
  size_t ordinalMarker(size_t k) const {
    const int m = at(k);
    if (m == 0xAA || m == 0xBA) return 1;
    if (m != 'a' && m != 'o') return 0;
    if (at(k + 1) == '.') return 2;
    return at(k + 1) == 's' && at(k + 2) == '.' ? 3 : 0;
  }

  void number() {
    emit('#', i_);
    const size_t end = digitsEnd(i_);
    if (const size_t marker = ordinalMarker(end)) {
      lowered(i_, end);
      const int m = at(end);
      emit(m == 0xAA ? 'a' : m == 0xBA ? 'o' : m, end);
      if (marker == 3) emit('s', end + 1);
      i_ = end + marker;
      return;
    }
    for (;;) {
      const int c = at(i_);
      if (isDigit(c)) {
        emit(c == '0' ? 'j' : 'a' + (c - '1'), i_++);
      } else if (c == '$' || c == ',') {
        emit(c, i_++);
      } else if (c == '.' && isDigit(at(i_ - 1)) && isDigit(at(i_ + 1))) {
        const bool short_ = digitsBefore(i_) < 3 && digitsEnd(i_ + 1) - (i_ + 1) < 3;
        emit(short_ ? ".#" : ".", i_++);
      } else {
        if (c >= 'a' && c <= 'j') emit('~', i_);
        return;
      }
    }
  }

  // A parenthesis or bracket that opens a group of numbers is written as
  // the mathematical one when its match closes right after a digit.
  void openingBeforeDigit(int open) {
    const int close = open == '(' ? ')' : ']';
    int depth = 0;
    for (size_t k = i_ + 1; k < row_.size(); ++k) {
      if (at(k) == open) ++depth;
      if (at(k) != close) continue;
      if (depth-- > 0) continue;
      if (isDigit(at(k - 1))) {
        emit(open == '(' ? 0xEA : 0xE1, i_++);
        return;
      }
      break;
    }
    symbol();
    inGroup_ = true;
  }

  // A number or a fraction written low: `3/4, an index.
  void gravedNumber() {
    const size_t from = i_ + 1, end = digitsEnd(from);
    emit('#', i_);
    lowered(from, end);
    i_ = end;
    if (at(i_) != '/') return;
    const size_t after = digitsEnd(++i_);
    emit(row_.substr(i_, after - i_), i_);
    i_ = after;
  }

  void symbol() {
    const uint8_t c = static_cast<uint8_t>(at(i_));
    const std::string_view text = symbolText(c);
    if (c == '(') inGroup_ = true;
    if (c == ')') inGroup_ = false;
    if (text.empty()) emit(c, i_);
    else emit(text, i_);
    ++i_;
  }

  std::string_view row_;
  size_t i_ = 0;
  bool inGroup_ = false;
  BrailleRow out_;
};

// The cell code (a character of Braille ASCII) of each character.
constexpr std::array<uint8_t, 256> makeCellCodes() {
  std::array<uint8_t, 256> t{};
  for (int c = 32; c < 128; ++c) t[c] = static_cast<uint8_t>(c);
  t[8] = ' ';
  t[15] = '\'';
  const char* pairs[] = {
      "!6", "\"8", "$;", "(<", ")>", "*9", "+6", ",1", ".'", "/4", ":3", ";2", "<{", "=7", ">o", "?5", "@:",
      "[(", "\\,", "])", "^`", "`,", "{.", "|_", "}0", "~\"", "0j", "1a", "2b", "3c", "4d", "5e", "6f",
      "7g", "8h", "9i",
      "\x80@", "\x82=", "\x83*", "\x84>", "\x85$", "\x87&", "\x88<", "\x8A!", "\x8B}", "\x91" "8", "\x92" "8",
      "\x93?", "\x94[", "\x95'", "\x97:", "\xA0(", "\xA1" "6", "\xA2+", "\xA3)", "\xA6_", "\xAA" "a", "\xAB" "8",
      "\xBB" "8", "\xAC^", "\xB0" "0", "\xB2" "b", "\xB3" "c", "\xB4" "9", "\xB9" "a", "\xBAO", "\xBF" "5",
      "\xD7" "8", "\xC0$", "\xE0$", "\xCB$", "\xEB$", "\xC1(", "\xE1(", "\xC2*", "\xE2*", "\xC5*", "\xE5*",
      "\xC3" "3", "\xE3>", "\xC4>", "\xE4>", "\xC6>", "\xE6>", "\xC7&", "\xE7&", "\xC8!", "\xE8!", "\xC9=",
      "\xE9=", "\xCA<", "\xEA<", "\xCC/", "\xEC/", "\xED/", "\xCD'", "\xCE%", "\xEE%", "\xCF]", "\xEF}",
      "\xD1}", "\xF1}", "\xD2+", "\xF2+", "\xF3+", "\xD3?", "\xF4?", "\xD4[", "\xD5[", "\xF5[", "\xD6[",
      "\xF6[", "\xD9)", "\xF9)", "\xDA)", "\xFA)", "\xDB:", "\xFB:", "\xDC\\", "\xFC\\", "\xFD,", "\xF7" "4",
      "\xFF" "4"};
  for (const char* p : pairs) t[static_cast<uint8_t>(p[0])] = static_cast<uint8_t>(p[1]);
  return t;
}

constexpr std::array<uint8_t, 256> kCellCode = makeCellCodes();

// The dots of the Braille ASCII characters 32..95 (the letters' lower case
// and the characters 96..127 share the cells of 64..95).
constexpr uint8_t kAsciiDots[64] = {
    0x00, 0x2E, 0x10, 0x3C, 0x2B, 0x29, 0x2F, 0x04, 0x37, 0x3E, 0x21, 0x2C, 0x20, 0x24, 0x28, 0x0C,
    0x34, 0x02, 0x06, 0x12, 0x32, 0x22, 0x16, 0x36, 0x26, 0x14, 0x31, 0x30, 0x23, 0x3F, 0x1C, 0x39,
    0x08, 0x01, 0x03, 0x09, 0x19, 0x11, 0x0B, 0x1B, 0x13, 0x0A, 0x1A, 0x05, 0x07, 0x0D, 0x1D, 0x15,
    0x0F, 0x1F, 0x17, 0x0E, 0x1E, 0x25, 0x27, 0x3A, 0x2D, 0x3D, 0x35, 0x2A, 0x33, 0x3B, 0x18, 0x38};

}  // namespace

BrailleRow transcribeRow(std::string_view row) { return Transcriber(row).run(); }

uint8_t cellDots(uint8_t c) {
  const uint8_t code = kCellCode[c];
  if (code < 32) return 0;
  return kAsciiDots[(code >= 96 ? code - 32 : code) - 32];
}

std::vector<uint8_t> rowDots(const std::string& text, int cells) {
  std::vector<uint8_t> dots(static_cast<size_t>(cells > 0 ? cells : 0), 0);
  for (size_t k = 0; k < dots.size() && k < text.size(); ++k) dots[k] = cellDots(static_cast<uint8_t>(text[k]));
  return dots;
}

}  // namespace console
