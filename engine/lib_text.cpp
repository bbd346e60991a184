// Integer commands (32-bit, wrapping) and text commands on variables, and
// RANDOMIZA.
#include <algorithm>
#include <cstdint>
#include <string>

#include "engine/api.h"
#include "engine/clock.h"
#include "engine/libraries.h"
#include "engine/number.h"
#include "engine/random.h"
#include "engine/readers.h"
#include "engine/text.h"
#include "engine/variables.h"

namespace engine {
namespace {

int32_t wrap32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }

// A target, then an operand read as a number.
bool readTargetAndNumber(Interp& in, std::string_view& text, int& target, int32_t& n) {
  std::string operand;
  return readTarget(in, text, target) && !text.empty() && readOperand(in, text, operand) && numberValue(operand, n);
}

bool readNumber(Interp& in, std::string_view& text, int64_t& n) {
  std::string operand;
  int32_t v;
  if (!readOperand(in, text, operand) || !numberValue(trim(operand), v)) return false;
  n = v;
  return true;
}

// Adds to the number at the end of the target's text: abc12 plus 1 is abc13.
Status soma(Interp& in, std::string_view text) {
  int target;
  int32_t n;
  if (!readTargetAndNumber(in, text, target, n)) return false;
  const std::string& value = variable(in, target);
  size_t start = value.size();
  while (start > 0 && isDigit(value[start - 1])) --start;
  if (start > 0 && value[start - 1] == '-') --start;
  const std::string_view part = std::string_view(value).substr(start);
  int32_t old = 0;
  if (part != "" && part != "-" && !numberValue(part, old)) return false;
  return replaceInVariable(in, target, start, part.size(), decimal(wrap32(int64_t{old} + n)));
}

Status arithmetic(Interp& in, std::string_view text, char op) {
  int target;
  int32_t n, old;
  if (!readTargetAndNumber(in, text, target, n) || !numberValue(variable(in, target), old)) return false;
  int32_t result;
  if (op == '-') {
    result = wrap32(int64_t{old} - n);
  } else if (op == '*') {
    result = wrap32(int64_t{old} * n);
  } else {
    if (n == 0) return failSaying("Divis\xE3o por zero");
    if (n == -1 && old == INT32_MIN) return failSaying("Resultado grande demais");
    result = old / n;
  }
  if (Status s = setVariable(in, target, decimal(result)); !s.ok()) return s;
  return text.empty();
}

Status subtrai(Interp& in, std::string_view text) { return arithmetic(in, text, '-'); }
Status multiplica(Interp& in, std::string_view text) { return arithmetic(in, text, '*'); }
Status divide(Interp& in, std::string_view text) { return arithmetic(in, text, '/'); }

Status concatena(Interp& in, std::string_view text) {
  int target;
  std::string operand;
  if (!readTarget(in, text, target) || !readOperand(in, text, operand) || !text.empty()) return false;
  return replaceInVariable(in, target, variable(in, target).size(), 0, operand);
}

// Characters first to last of a variable; a first below 1 counts from 1.
Status copia(Interp& in, std::string_view text) {
  int target, source;
  int64_t first, last;
  if (!readTarget(in, text, target) || !readTarget(in, text, source) || !readNumber(in, text, first) || !readNumber(in, text, last))
    return false;
  const int64_t count = last - first + 1;
  const std::string& s = variable(in, source);
  first = std::max<int64_t>(first, 1);
  std::string part;
  if (count > 0 && first <= static_cast<int64_t>(s.size()))
    part = s.substr(static_cast<size_t>(first - 1), static_cast<size_t>(count));
  return setVariable(in, target, std::move(part));
}

Status deleta(Interp& in, std::string_view text) {
  int target;
  int64_t position, count;
  if (!readTarget(in, text, target) || !readNumber(in, text, position) || !readNumber(in, text, count)) return false;
  if (position < 1 || position > static_cast<int64_t>(variable(in, target).size()) || count <= 0) return true;
  return replaceInVariable(in, target, static_cast<size_t>(position - 1), static_cast<size_t>(count), "");
}

// Replaces from the last position to the first, each on the text as changed
// so far, so a replacement can join with what precedes it and match again
// (ab -> b turns aab into b). The text right of the position is kept
// reversed, so that each step works at its end.
Status replaceAll(const std::string& s, const std::string& old, const std::string& with, std::string& out) {
  const size_t k = old.size();
  if (k == 0) {
    if (Status fits = fitsValueSize(with.size() * (s.size() + 1) + s.size()); !fits.ok()) return fits;
    out = with;
    for (char c : s) (out += c) += with;
    return true;
  }
  const std::string oldReversed(old.rbegin(), old.rend()), withReversed(with.rbegin(), with.rend());
  std::string right;
  right.reserve(s.size());
  for (size_t i = s.size(); i-- > 0;) {
    right += s[i];
    if (s[i] == old[0] && right.size() >= k && right.compare(right.size() - k, k, oldReversed) == 0) {
      right.resize(right.size() - k);
      right += withReversed;
      if (Status fits = fitsValueSize(right.size() + i); !fits.ok()) return fits;
    }
  }
  out.assign(right.rbegin(), right.rend());
  return true;
}

Status substitui(Interp& in, std::string_view text) {
  int target;
  std::string old, with, out;
  if (!readTarget(in, text, target) || !readOperand(in, text, old) || !readOperand(in, text, with)) return false;
  if (Status s = replaceAll(variable(in, target), old, with, out); !s.ok()) return s;
  return setVariable(in, target, std::move(out));
}

Status randomiza(Interp& in, std::string_view text) {
  if (!text.empty()) return false;
  seedRandom(in, static_cast<uint32_t>(utcMillisOfDay()));
  return true;
}

constexpr Command kTextCommands[] = {
    {"SOMA", soma},           {"SUBTRAI", subtrai},   {"MULTIPLICA", multiplica}, {"DIVIDE", divide},
    {"CONCATENA", concatena}, {"COPIA", copia},       {"DELETA", deleta},         {"SUBSTITUI", substitui},
    {"RANDOMIZA", randomiza},
};

}  // namespace

Library textLibrary() { return kTextCommands; }

}  // namespace engine
