#include "controls/review_text.h"

#include <cstring>

namespace controls {
namespace {

int size(std::string_view row) { return static_cast<int>(row.size()); }
char cell(std::string_view row, int column) {
  return column >= 1 && column <= size(row) ? row[static_cast<size_t>(column - 1)] : ' ';
}

bool separator(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  return c == '!' || c == ':' || c == '?' || c == '|' || (c >= 176 && c <= 223);
}

bool consonant(char c) { return c != 0 && std::strchr("BCDFGHJKLMNPQRSTVWXYZbcdfghjklmnpqrstvwxyz", c) != nullptr; }

}  // namespace

bool reviewWordChar(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  // à á â ã ç é ê í ñ ó ô õ ú in Windows-1252, small and capital.
  constexpr unsigned char kAccented[] = {0xE0, 0xE1, 0xE2, 0xE3, 0xE7, 0xE9, 0xEA, 0xED, 0xF1, 0xF3, 0xF4, 0xF5, 0xFA};
  for (const unsigned char a : kAccented) {
    if (c == a || c == a - 32) return true;
  }
  return false;
}

int rowEnd(std::string_view row) {
  const size_t last = row.find_last_not_of(' ');
  return last == std::string_view::npos ? 1 : static_cast<int>(last) + 2;
}

Span fieldAround(std::string_view row, std::string_view attrs, int column) {
  if (column < 1 || column > size(row) || separator(cell(row, column))) return {false, column, column};
  auto same = [&](int c) { return c >= 1 && c <= size(row) && attrs[static_cast<size_t>(c - 1)] == attrs[static_cast<size_t>(column - 1)] && !separator(cell(row, c)); };
  int from = column, to = column;
  while (same(from - 1)) --from;
  while (same(to + 1)) ++to;
  return {true, from, to};
}

Piece nextPiece(std::string_view row, int column, int limit) {
  int c = column;
  while (c <= limit && cell(row, c) == ' ') ++c;
  if (c > limit) return {false, c, c, 0, false};
  const int from = c++;
  while (c <= limit && reviewWordChar(cell(row, c))) ++c;
  if (c - from == 1) {
    while (c <= limit && cell(row, c) == cell(row, from)) ++c;
    return {true, from, c, c - from < 3 ? c - from : 3, false};
  }
  bool allConsonants = true;
  for (int i = from; i < c; ++i) allConsonants = allConsonants && consonant(cell(row, i));
  return {true, from, c, c - from, allConsonants};
}

Move nextBlankWord(std::string_view row, int column) {
  int c = column;
  while (c <= size(row) && cell(row, c) != ' ') ++c;
  while (c <= size(row) && cell(row, c) == ' ') ++c;
  if (c >= rowEnd(row)) return {rowEnd(row), false};
  return {c, true};
}

Move previousBlankWord(std::string_view row, int column) {
  int c = column - 1;
  while (c >= 1 && cell(row, c) == ' ') --c;
  if (c < 1) return {1, false};
  while (c > 1 && cell(row, c - 1) != ' ') --c;
  return {c, true};
}

}  // namespace controls
