// SEJA: stores a value, a function of operands or one of the value functions
// (date, time, parameters...) into a variable.
#include <cstdio>
#include <string>

#include "engine/clock.h"
#include "engine/engine.h"
#include "engine/libraries.h"
#include "engine/number.h"
#include "engine/random.h"
#include "engine/readers.h"
#include "engine/run_state.h"
#include "engine/text.h"
#include "engine/variables.h"

namespace engine {
namespace {

std::string twoDigits(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}

// ---- Value functions: the whole source is the function's name.

std::string paramsValue() {
  std::string out = decimal(static_cast<int64_t>(params().size()));
  for (const std::string& p : params()) {
    out += ' ';
    for (char c : p) {
      if (c == ' ') out += "%20";
      else out += c;
    }
  }
  return out;
}

std::string dateValue() {
  const WallTime t = localNow();
  return twoDigits(t.day) + "/" + twoDigits(t.month) + "/" + decimal(t.year);
}

std::string crlfValue() { return "\r\n"; }

std::string timeValue() {
  const WallTime t = localNow();
  return twoDigits(t.hour) + ":" + twoDigits(t.minute) + ":" + twoDigits(t.second);
}

std::string weekdayValue() {
  static const char* const kNames[] = {"Domingo", "Segunda", "Ter\xE7" "a", "Quarta", "Quinta", "Sexta", "S\xE1" "bado"};
  return kNames[localNow().weekday];
}

// Hundredths since the engine started; right across midnight for a week.
std::string elapsedValue() {
  const WallTime t = localNow();
  int days = t.weekday - state().startWeekday;
  if (days < 0) days += 7;
  const int64_t now = (((t.hour + 24LL * days) * 60 + t.minute) * 60 + t.second) * 100 + t.centis;
  return decimal(now - state().startTime);
}

struct ValueFunction {
  std::string_view name;
  std::string (*value)();
};

constexpr ValueFunction kValueFunctions[] = {
    {"PARAMS", paramsValue}, {"DATA", dateValue}, {"CRLF", crlfValue},
    {"HORA", timeValue},     {"DIA", weekdayValue}, {"TEMPO", elapsedValue},
};

// ---- Functions of operands: the name, a space, then one or two operands.

bool lengthOf(const std::string&, const std::string& x, std::string& out) {
  out = decimal(static_cast<int64_t>(x.size()));
  return true;
}

bool upperOf(const std::string&, const std::string& x, std::string& out) {
  out = upper(x);
  return true;
}

bool trimOf(const std::string&, const std::string& x, std::string& out) {
  out = trim(x);
  return true;
}

bool positionOf(const std::string& a, const std::string& x, std::string& out) {
  const size_t at = a.empty() ? std::string::npos : x.find(a);
  out = decimal(at == std::string::npos ? 0 : static_cast<int64_t>(at) + 1);
  return true;
}

bool randomOf(const std::string&, const std::string& x, std::string& out) {
  int32_t n;
  if (!numberValue(x, n)) return false;
  out = decimal(drawRandom(n));
  return true;
}

// The a-th word, words being separated by spaces.
bool wordOf(const std::string& a, const std::string& x, std::string& out) {
  int32_t n;
  if (!numberValue(a, n) || n < 1) return false;
  std::string_view rest = x;
  for (int32_t i = 1; i < n && !rest.empty(); ++i) {
    const size_t space = rest.find(' ');
    rest = space == std::string_view::npos ? std::string_view() : trim(rest.substr(space + 1));
  }
  out = rest.substr(0, rest.find(' '));
  return true;
}

// The character of a key code text: "#13", or with the modifier prefix
// "100#97"; special keys ("#0#61") and anything else give the empty text.
bool charOf(const std::string&, const std::string& x, std::string& out) {
  std::string_view code = x;
  const auto isFlag = [](char c) { return c == '0' || c == '1'; };
  if (code.size() > 4 && code[3] == '#' && isFlag(code[0]) && isFlag(code[1]) && isFlag(code[2])) code.remove_prefix(3);
  out.clear();
  int32_t n;
  if (code.empty() || code[0] != '#') return true;
  code.remove_prefix(1);
  if (code.empty() || code[0] == '0' || !numberValue(code, n)) return true;
  out.assign(1, static_cast<char>(static_cast<uint32_t>(n) & 0xFF));
  return true;
}

bool codeOf(const std::string&, const std::string& x, std::string& out) {
  out = x.size() == 1 ? "#" + decimal(static_cast<unsigned char>(x[0])) : std::string();
  return true;
}

struct Function {
  std::string_view name;
  int operands;
  bool (*value)(const std::string& a, const std::string& x, std::string& out);
};

constexpr Function kFunctions[] = {
    {"TAMANHO", 1, lengthOf}, {"MAIUSC", 1, upperOf}, {"TRIM", 1, trimOf}, {"POS", 2, positionOf},
    {"RAND", 1, randomOf},    {"PALAVRA", 2, wordOf}, {"CHR", 1, charOf}, {"ASC", 1, codeOf},
};

bool seja(std::string_view text) {
  int target;
  if (!readTarget(text, target) || text.empty()) return false;
  if (text[0] == '=') {
    text = trim(text.substr(1));
    if (text.empty()) return false;
  }
  for (const ValueFunction& f : kValueFunctions) {
    if (equalsUpper(text, f.name)) {
      return setVariable(target, f.value());
    }
  }
  for (const Function& f : kFunctions) {
    if (text.size() > f.name.size() && text[f.name.size()] == ' ' && startsUpper(text, f.name)) {
      text = trim(text.substr(f.name.size() + 1));
      std::string a, x, out;
      if (f.operands == 2 && !readOperand(text, a)) return false;
      if (!readOperand(text, x) || !text.empty() || !f.value(a, x, out)) return false;
      return setVariable(target, std::move(out));
    }
  }
  std::string value;
  if (!readOperand(text, value)) return false;
  return setVariable(target, std::move(value)) && text.empty();
}

constexpr Command kValueCommands[] = {
    {"SEJA", seja},
};

}  // namespace

Library valueLibrary() { return kValueCommands; }

}  // namespace engine
