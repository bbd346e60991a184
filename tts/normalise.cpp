#include "tts/normalise.h"

#include <cstdint>

#include "tts/chars.h"
#include "tts/numbers.h"
#include "tts/symbols.h"

namespace tts {
namespace {

constexpr size_t kMaxNumberDigits = 15;
constexpr unsigned char kMasculineOrdinal = 0xBA;  // Âº
constexpr unsigned char kFeminineOrdinal = 0xAA;   // Âª

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
// A line break counts as a space: text read from files keeps its words apart.
bool isBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

struct Cursor {
  std::string_view text;
  size_t pos = 0;
};

bool atEnd(const Cursor& c, size_t ahead = 0) { return c.pos + ahead >= c.text.size(); }
unsigned char peek(const Cursor& c, size_t ahead = 0) {
  return static_cast<unsigned char>(c.text[c.pos + ahead]);
}
bool startsWith(const Cursor& c, std::string_view s) { return c.text.substr(c.pos).starts_with(s); }

// "1.000" groups thousands only when exactly three digits follow the point.
bool isThousandsGroup(const Cursor& c) {
  for (size_t i = 1; i <= 3; ++i)
    if (atEnd(c, i) || !isDigit(peek(c, i))) return false;
  return atEnd(c, 4) || !isDigit(peek(c, 4));
}

// A run of digits with hyphens is a code or a date: spelled digit by digit.
bool spellCodeRun(Cursor& c, std::string& out) {
  size_t end = c.pos;
  bool hyphen = false;
  while (end < c.text.size() && (isDigit(c.text[end]) || c.text[end] == '-')) {
    hyphen = hyphen || c.text[end] == '-';
    ++end;
  }
  if (!hyphen) return false;
  for (; c.pos < end; ++c.pos) {
    if (peek(c) == '-') {
      out += " tra\xE7o";
    } else {
      out += ' ';
      out += digitWord(peek(c) - '0');
    }
  }
  return true;
}

// Words of the number at the cursor, with an ordinal marker after it taken in.
void readNumber(Cursor& c, std::string& out) {
  if (spellCodeRun(c, out)) return;
  while (!atEnd(c, 1) && peek(c) == '0' && isDigit(peek(c, 1))) {
    out += "zero ";
    ++c.pos;
  }
  uint64_t value = 0;
  size_t digits = 0;
  while (!atEnd(c) && digits < kMaxNumberDigits) {
    if (isDigit(peek(c))) {
      value = value * 10 + (peek(c) - '0');
      ++digits;
      ++c.pos;
    } else if (peek(c) == '.' && value != 0 && isThousandsGroup(c)) {
      // Not after a lone 0: "0.500" is no five hundred.
      ++c.pos;
    } else {
      break;
    }
  }
  struct Marker {
    std::string_view text;
    Gender gender;
    bool plural;
  };
  // º and ª, or the abbreviated endings.
  static constexpr Marker kMarkers[] = {
      {"\xBA", Gender::masculine, false}, {"\xAA", Gender::feminine, false},
      {"o.", Gender::masculine, false},   {"a.", Gender::feminine, false},
      {"os.", Gender::masculine, true},   {"as.", Gender::feminine, true}};
  if (!atEnd(c) && peek(c) != ' ') {
    for (const Marker& m : kMarkers) {
      if (!startsWith(c, m.text)) continue;
      c.pos += m.text.size();
      out += ordinalWords(value, m.gender);
      if (m.plural) out += 's';
      return;
    }
  }
  out += cardinalWords(value);
}

void spellWord(std::string_view word, std::string& out) {
  for (char ch : word) {
    out += ' ';
    out += symbolName(static_cast<unsigned char>(ch));
  }
}

// A word with its inner hyphens. All-consonant words (acronyms) are spelled,
// unless a full stop follows and they are abbreviations ("Sr.").
std::string_view takeWord(Cursor& c, const AbbreviationTable& abbreviations, std::string& out) {
  const size_t start = c.pos;
  bool allConsonants = true;
  while (!atEnd(c) && isWordLetter(peek(c))) {
    allConsonants = allConsonants && isConsonantLetter(peek(c));
    ++c.pos;
    if (!atEnd(c) && peek(c) == '-') ++c.pos;
  }
  const std::string_view word = c.text.substr(start, c.pos - start);
  const bool abbreviation = !atEnd(c) && peek(c) == '.' &&
                            !lookupAbbreviation(abbreviations, word).empty();
  if (allConsonants && !abbreviation) {
    spellWord(word, out);
    return {};
  }
  return word;
}

}  // namespace

std::string normaliseText(std::string_view text, const AbbreviationTable& abbreviations) {
  if (text.size() == 1) return std::string(symbolName(static_cast<unsigned char>(text[0])));
  std::string out;
  out.reserve(text.size() * 2);
  Cursor c{text};
  while (!atEnd(c)) {
    const unsigned char ch = peek(c);
    if (ch == '-' && c.pos > 0 && text[c.pos - 1] == ' ' && !atEnd(c, 1) && peek(c, 1) == ' ') {
      out += ',';
      ++c.pos;
    } else if (ch == '-' && !atEnd(c, 1) && isDigit(peek(c, 1))) {
      out += "menos ";
      ++c.pos;
    } else if (isDigit(ch)) {
      out += ' ';
      readNumber(c, out);
      out += ' ';
      while (!atEnd(c, 1) && (peek(c) == ',' || peek(c) == '.') && isDigit(peek(c, 1))) {
        out += peek(c) == ',' ? "v\xEDrgula " : "ponto ";
        ++c.pos;
        readNumber(c, out);
        out += ' ';
      }
    } else if (isWordLetter(ch)) {
      const std::string_view word = takeWord(c, abbreviations, out);
      if (word.empty()) continue;  // spelled
      const std::string_view expansion =
          !atEnd(c, 1) && peek(c) == '.' && isBlank(peek(c, 1))
              ? lookupAbbreviation(abbreviations, word)
              : std::string_view();
      if (expansion.empty()) {
        out += word;
      } else {
        out += expansion;
        ++c.pos;
      }
    } else if (startsWith(c, "...")) {
      out += "... ";
      c.pos += 3;
    } else if (ch == '.' && !atEnd(c, 1) && !isBlank(peek(c, 1))) {
      out += " ponto ";
      ++c.pos;
    } else if (isKeptPunctuation(ch)) {
      out += static_cast<char>(ch);
      ++c.pos;
    } else if (isBlank(ch)) {
      out += ' ';
      ++c.pos;
    } else {
      out += ' ';
      out += symbolName(ch);
      out += ' ';
      ++c.pos;
    }
  }
  return out;
}

}  // namespace tts
