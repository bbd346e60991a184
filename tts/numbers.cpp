#include "tts/numbers.h"

#include <array>

namespace tts {
namespace {

// Windows-1252 spellings: \xEA is ê, \xFC ü, \xE3 ã, \xF5 õ, \xE9 é.
constexpr std::array<std::string_view, 10> kUnits = {
    "zero", "um", "dois", "tr\xEAs", "quatro", "cinco", "seis", "sete", "oito", "nove"};
constexpr std::array<std::string_view, 10> kTeens = {
    "dez",    "onze",   "doze",      "treze",     "quatorze",
    "quinze", "dezesseis", "dezessete", "dezoito", "dezenove"};
constexpr std::array<std::string_view, 10> kTens = {
    "",         "",        "vinte",   "trinta",  "quarenta",
    "cinq\xFC" "enta", "sessenta", "setenta", "oitenta", "noventa"};
constexpr std::array<std::string_view, 10> kHundreds = {
    "",           "cento",      "duzentos",   "trezentos",  "quatrocentos",
    "quinhentos", "seiscentos", "setecentos", "oitocentos", "novecentos"};
// Scales from the trillions down to the thousands.
constexpr std::array<std::string_view, 4> kScaleOne = {"trilh\xE3o ", "bilh\xE3o ", "milh\xE3o ", "mil "};
constexpr std::array<std::string_view, 4> kScaleMany = {"trilh\xF5" "es ", "bilh\xF5" "es ",
                                                        "milh\xF5" "es ", "mil "};

constexpr std::array<std::string_view, 10> kOrdinalUnits = {
    "",       "primeiro", "segundo", "terceiro", "quarto",
    "quinto", "sexto",    "s\xE9timo", "oitavo", "nono"};
constexpr std::array<std::string_view, 10> kOrdinalTens = {
    "",
    "d\xE9" "cimo",
    "vig\xE9simo",
    "trig\xE9simo",
    "quadrag\xE9simo",
    "quinquag\xE9simo",
    "sexag\xE9simo",
    "septuag\xE9simo",
    "octog\xE9simo",
    "nonag\xE9simo"};
constexpr std::array<std::string_view, 10> kOrdinalHundreds = {
    "",
    "cent\xE9simo",
    "ducent\xE9simo",
    "tricent\xE9simo",
    "quadringent\xE9simo",
    "quingent\xE9simo",
    "seiscent\xE9simo",
    "septingent\xE9simo",
    "octingent\xE9simo",
    "nongent\xE9simo"};
constexpr std::string_view kOrdinalThousand = "mil\xE9simo";

std::string_view unitWord(int u, NumberSpelling spelling) {
  if (u == 3 && spelling == NumberSpelling::recordedPieces) return "tres";
  return kUnits[u];
}

std::string_view tensWord(int t, NumberSpelling spelling) {
  if (t == 5 && spelling == NumberSpelling::recordedPieces) return "cinquenta";
  return kTens[t];
}

// Words of one group of three digits; empty for 000.
std::string groupWords(int group, NumberSpelling spelling) {
  const int h = group / 100, t = group / 10 % 10, u = group % 10;
  std::string out;
  if (group == 0) return out;
  if (group == 100) return "cem";
  if (h != 0) {
    out += kHundreds[h];
    if (t != 0 || u != 0) out += " e ";
  }
  if (t == 1) {
    out += kTeens[u];
  } else {
    if (t != 0) {
      out += tensWord(t, spelling);
      if (u != 0) out += " e ";
    }
    if (u != 0) out += unitWord(u, spelling);
  }
  return out;
}

std::string spellDigits(uint64_t n) {
  const std::string digits = std::to_string(n);
  std::string out;
  for (char d : digits) {
    if (!out.empty()) out += ' ';
    out += kUnits[d - '0'];
  }
  return out;
}

// The feminine of a number agrees in its last word only.
void makeLastWordFeminine(std::string& words) {
  const size_t start = words.find_last_of(' ') == std::string::npos ? 0 : words.find_last_of(' ') + 1;
  const std::string_view last = std::string_view(words).substr(start);
  if (last == "um") words += 'a';
  else if (last == "dois") words.replace(start, std::string::npos, "duas");
}

}  // namespace

std::string_view digitWord(int digit) { return digit >= 0 && digit <= 9 ? kUnits[digit] : ""; }

std::string cardinalWords(uint64_t n, Gender gender, NumberSpelling spelling) {
  if (n == 0) return "zero";
  if (n > kMaxCardinal) return spellDigits(n);
  // Trillions, billions, millions, thousands, units.
  std::array<int, 5> groups{};
  for (int i = 4; i >= 0; --i, n /= 1000) groups[i] = static_cast<int>(n % 1000);
  int last = 4;
  while (groups[last] == 0) --last;

  std::string out;
  for (int i = 0; i <= last; ++i) {
    if (groups[i] == 0) continue;
    if (i == last && !out.empty()) out += "e ";
    // A thousand is "mil", never "um mil", wherever it stands (um milhão e mil).
    if (i == 3 && groups[i] == 1) {
      out += kScaleOne[3];
      continue;
    }
    out += groupWords(groups[i], spelling);
    if (i < 4) {
      out += ' ';
      out += groups[i] == 1 ? kScaleOne[i] : kScaleMany[i];
    }
  }
  if (gender == Gender::feminine) makeLastWordFeminine(out);
  return out;
}

std::string ordinalWords(uint64_t n, Gender gender) {
  if (n == 0) return "zero";
  if (n >= 2000) return cardinalWords(n);
  const std::array<std::string_view, 4> parts = {
      n >= 1000 ? kOrdinalThousand : std::string_view(), kOrdinalHundreds[n / 100 % 10],
      kOrdinalTens[n / 10 % 10], kOrdinalUnits[n % 10]};
  std::string out;
  for (std::string_view part : parts) {
    if (part.empty()) continue;
    if (!out.empty()) out += ' ';
    out += part;
    if (gender == Gender::feminine) out.back() = 'a';
  }
  return out;
}

}  // namespace tts
