#include "controls/edit_text.h"

#include <cstring>

namespace controls {
namespace {

enum class Kind { Blank, Letter, Digit, Other };

Kind kindOf(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  if (c == ' ') return Kind::Blank;
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128) return Kind::Letter;
  if (c >= '0' && c <= '9') return Kind::Digit;
  return Kind::Other;
}

Kind kindAt(std::string_view text, int p) { return kindOf(text[static_cast<size_t>(p - 1)]); }

int size(std::string_view text) { return static_cast<int>(text.size()); }

// Letters that make no syllable alone: a run of only these is spelled.
bool consonant(char ch) {
  const char c = static_cast<char>(ch & ~0x20);
  return c >= 'B' && c <= 'Z' && std::strchr("BCDFGHJKLMNPQRSTVXZ", c) != nullptr;
}

}  // namespace

int lastNonBlank(std::string_view text) {
  const size_t at = text.find_last_not_of(' ');
  return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

WordMove nextWordStart(std::string_view text, int p) {
  int i = p;
  if (i <= size(text) && kindAt(text, i) != Kind::Blank) {
    const Kind k = kindAt(text, i++);
    if (k != Kind::Other) {
      while (i <= size(text) && kindAt(text, i) == k) ++i;
    }
  }
  while (i <= size(text) && kindAt(text, i) == Kind::Blank) ++i;
  const int last = lastNonBlank(text);
  if (i > last) return {last + 1, false};
  return {i, true};
}

WordMove previousWordStart(std::string_view text, int p) {
  int i = p - 1;
  while (i >= 1 && kindAt(text, i) == Kind::Blank) --i;
  if (i < 1) return {1, false};
  const Kind k = kindAt(text, i);
  if (k != Kind::Other) {
    while (i > 1 && kindAt(text, i - 1) == k) --i;
  }
  return {i, true};
}

Reading nextReading(std::string_view text, int p) {
  int i = p;
  while (i <= size(text) && kindAt(text, i) == Kind::Blank) ++i;
  if (i > size(text)) return {false, p, p, false};
  const char first = text[static_cast<size_t>(i - 1)];
  int end = i + 1;
  if (kindOf(first) == Kind::Digit || first == '-') {
    while (end <= size(text) && kindAt(text, end) == Kind::Digit) ++end;
    return {true, i, end, false};
  }
  if (kindOf(first) != Kind::Letter) return {true, i, end, true};
  bool vowel = !consonant(first);
  for (; end <= size(text) && kindAt(text, end) == Kind::Letter; ++end) {
    vowel = vowel || !consonant(text[static_cast<size_t>(end - 1)]);
  }
  return {true, i, end, !vowel};
}

std::string wordToOpen(std::string_view text, int p) {
  auto blankAt = [&](int q) { return q < 1 || q > size(text) || text[static_cast<size_t>(q - 1)] == ' '; };
  if (blankAt(p) && !blankAt(p - 1)) --p;
  if (blankAt(p)) return {};
  int from = p, to = p;
  while (!blankAt(from - 1)) --from;
  while (!blankAt(to + 1)) ++to;
  std::string_view word = text.substr(static_cast<size_t>(from - 1), static_cast<size_t>(to - from + 1));
  constexpr std::string_view kAround = "\"(*-.<=>[_{";
  const size_t start = word.find_first_not_of(kAround);
  if (start == std::string_view::npos) return {};
  return std::string(word.substr(start, word.find_last_not_of(kAround) - start + 1));
}

}  // namespace controls
