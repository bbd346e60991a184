// SEJA: stores a value, a function of operands or one of the value functions
// (date, time, parameters...) into a variable.
#include <cstdio>
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

std::string twoDigits(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}

// ---- Value functions: the whole source is the function's name.

std::string paramsValue(Interp& in) {
  std::string out = decimal(static_cast<int64_t>(params(in).size()));
  for (const std::string& p : params(in)) {
    out += ' ';
    for (char c : p) {
      if (c == ' ') out += "%20";
      else out += c;
    }
  }
  return out;
}

std::string dateValue(Interp&) {
  const WallTime t = localNow();
  return twoDigits(t.day) + "/" + twoDigits(t.month) + "/" + decimal(t.year);
}

std::string crlfValue(Interp&) { return "\r\n"; }

std::string timeValue(Interp&) {
  const WallTime t = localNow();
  return twoDigits(t.hour) + ":" + twoDigits(t.minute) + ":" + twoDigits(t.second);
}

std::string weekdayValue(Interp&) {
  static const char* const kNames[] = {"Domingo", "Segunda", "Ter\xE7" "a", "Quarta", "Quinta", "Sexta", "S\xE1" "bado"};
  return kNames[localNow().weekday];
}

// Hundredths since the interpreter was made; right across midnight for a
// week.
std::string elapsedValue(Interp& in) {
  const WallTime t = localNow(), start = startTime(in);
  int days = t.weekday - start.weekday;
  if (days < 0) days += 7;
  const int64_t now = (((t.hour + 24LL * days) * 60 + t.minute) * 60 + t.second) * 100 + t.centis;
  const int64_t then = ((start.hour * 60LL + start.minute) * 60 + start.second) * 100 + start.centis;
  return decimal(now - then);
}

struct ValueFunction {
  std::string_view name;
  std::string (*value)(Interp& in);
};

constexpr ValueFunction kValueFunctions[] = {
    {"PARAMS", paramsValue}, {"DATA", dateValue}, {"CRLF", crlfValue},
    {"HORA", timeValue},     {"DIA", weekdayValue}, {"TEMPO", elapsedValue},
};

// ---- Functions of operands: the name, a space, then one or two operands.

bool lengthOf(Interp&, const std::string&, const std::string& x, std::string& out) {
  out = decimal(static_cast<int64_t>(x.size()));
  return true;
}

bool upperOf(Interp&, const std::string&, const std::string& x, std::string& out) {
  out = upper(x);
  return true;
}

bool trimOf(Interp&, const std::string&, const std::string& x, std::string& out) {
  out = trim(x);
  return true;
}

bool positionOf(Interp&, const std::string& a, const std::string& x, std::string& out) {
  const size_t at = a.empty() ? std::string::npos : x.find(a);
  out = decimal(at == std::string::npos ? 0 : static_cast<int64_t>(at) + 1);
  return true;
}

bool randomOf(Interp& in, const std::string&, const std::string& x, std::string& out) {
  int32_t n;
  if (!numberValue(x, n)) return false;
  out = decimal(drawRandom(in, n));
  return true;
}

// The a-th word, words being separated by spaces.
bool wordOf(Interp&, const std::string& a, const std::string& x, std::string& out) {
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
bool charOf(Interp&, const std::string&, const std::string& x, std::string& out) {
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

bool codeOf(Interp&, const std::string&, const std::string& x, std::string& out) {
  out = x.size() == 1 ? "#" + decimal(static_cast<unsigned char>(x[0])) : std::string();
  return true;
}

struct Function {
  std::string_view name;
  int operands;
  bool (*value)(Interp& in, const std::string& a, const std::string& x, std::string& out);
};

constexpr Function kFunctions[] = {
    {"TAMANHO", 1, lengthOf}, {"MAIUSC", 1, upperOf}, {"TRIM", 1, trimOf}, {"POS", 2, positionOf},
    {"RAND", 1, randomOf},    {"PALAVRA", 2, wordOf}, {"CHR", 1, charOf}, {"ASC", 1, codeOf},
};

Status seja(Interp& in, std::string_view text) {
  int target;
  if (!readTarget(in, text, target) || text.empty()) return false;
  if (text[0] == '=') {
    text = trim(text.substr(1));
    if (text.empty()) return false;
  }
  for (const ValueFunction& f : kValueFunctions) {
    if (equalsUpper(text, f.name)) {
      return setVariable(in, target, f.value(in));
    }
  }
  for (const Function& f : kFunctions) {
    if (text.size() > f.name.size() && text[f.name.size()] == ' ' && startsUpper(text, f.name)) {
      text = trim(text.substr(f.name.size() + 1));
      std::string a, x, out;
      if (f.operands == 2 && !readOperand(in, text, a)) return false;
      if (!readOperand(in, text, x) || !text.empty() || !f.value(in, a, x, out)) return false;
      return setVariable(in, target, std::move(out));
    }
  }
  std::string value;
  if (!readOperand(in, text, value)) return false;
  if (Status s = setVariable(in, target, std::move(value)); !s.ok()) return s;
  return text.empty();
}

constexpr Command kValueCommands[] = {
    {"SEJA", seja},
};

}  // namespace

Library valueLibrary() { return kValueCommands; }

}  // namespace engine
