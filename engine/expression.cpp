#include "engine/expression.h"

#include "engine/interp.h"
#include "engine/number.h"
#include "engine/text.h"
#include "engine/variables.h"

namespace engine {
namespace {

// Beyond this nesting an expression fails rather than exhaust the stack.
constexpr int kMaxDepth = 200;

enum class Tok { End, Number, Open, Close, Plus, Minus, Times, Divide, Invalid };

struct Lexer {
  Interp& in;
  std::string_view text;
  size_t pos = 0;
  Tok tok = Tok::End;
  int64_t value = 0;  // of a number or a variable
};

bool isNameChar(char c) { return isLetter(c) || isDigit(c); }

// A variable reads under the number rule or is not a token at all.
Tok variableToken(Lexer& L, int code) {
  int32_t v;
  if (code < 0 || !numberValue(variable(L.in, code), v)) return Tok::Invalid;
  L.value = v;
  return Tok::Number;
}

void next(Lexer& L) {
  while (L.pos < L.text.size() && L.text[L.pos] == ' ') ++L.pos;
  if (L.pos >= L.text.size()) {
    L.tok = Tok::End;
    return;
  }
  const char c = L.text[L.pos++];
  switch (c) {
    case '(': L.tok = Tok::Open; return;
    case ')': L.tok = Tok::Close; return;
    case '+': L.tok = Tok::Plus; return;
    case '-': L.tok = Tok::Minus; return;
    case '*': L.tok = Tok::Times; return;
    case '/': L.tok = Tok::Divide; return;
    default: break;
  }
  if (isDigit(c)) {
    // Read in 32 bits that wrap, then widened with the sign.
    uint32_t v = static_cast<uint32_t>(c - '0');
    while (L.pos < L.text.size() && isDigit(L.text[L.pos])) v = v * 10u + static_cast<uint32_t>(L.text[L.pos++] - '0');
    L.value = static_cast<int32_t>(v);
    L.tok = Tok::Number;
  } else if (isLetter(c)) {
    L.tok = variableToken(L, letterCode(c));
  } else if (c == '$') {
    const size_t start = L.pos;
    while (L.pos < L.text.size() && isNameChar(L.text[L.pos])) ++L.pos;
    L.tok = L.pos == start ? Tok::Invalid : variableToken(L, enterName(L.in, L.text.substr(start, L.pos - start)));
  } else {
    L.tok = Tok::Invalid;
  }
}

bool startsFactor(Tok t) { return t == Tok::Number || t == Tok::Open || t == Tok::Minus; }

// Two's-complement arithmetic that wraps instead of overflowing.
int64_t wrap(uint64_t v) { return static_cast<int64_t>(v); }
int64_t add(int64_t a, int64_t b) { return wrap(static_cast<uint64_t>(a) + static_cast<uint64_t>(b)); }
int64_t sub(int64_t a, int64_t b) { return wrap(static_cast<uint64_t>(a) - static_cast<uint64_t>(b)); }
int64_t mul(int64_t a, int64_t b) { return wrap(static_cast<uint64_t>(a) * static_cast<uint64_t>(b)); }
int64_t divide(int64_t a, int64_t b) { return b == -1 ? sub(0, a) : a / b; }

bool expression(Lexer& L, int64_t& v, int depth);

bool factor(Lexer& L, int64_t& v, int depth) {
  if (depth > kMaxDepth) return false;
  switch (L.tok) {
    case Tok::Number:
      v = L.value;
      next(L);
      return true;
    case Tok::Open:
      next(L);
      if (!expression(L, v, depth + 1) || L.tok != Tok::Close) return false;
      next(L);
      return true;
    case Tok::Minus:
      next(L);
      if (!factor(L, v, depth + 1)) return false;
      v = sub(0, v);
      return true;
    default: return false;
  }
}

// After an operator that finds no factor on its right: another operator of
// the same level fails, anything else drops the operator and goes on.
bool dangling(const Lexer& L, Tok a, Tok b) { return L.tok != a && L.tok != b; }

bool term(Lexer& L, int64_t& v, int depth) {
  if (!factor(L, v, depth)) return false;
  while (L.tok == Tok::Times || L.tok == Tok::Divide) {
    const Tok op = L.tok;
    next(L);
    if (!startsFactor(L.tok)) {
      if (!dangling(L, Tok::Times, Tok::Divide)) return false;
      continue;
    }
    int64_t r;
    if (!factor(L, r, depth)) return false;
    if (op == Tok::Divide && r == 0) return false;
    v = op == Tok::Times ? mul(v, r) : divide(v, r);
  }
  return true;
}

bool expression(Lexer& L, int64_t& v, int depth) {
  if (!term(L, v, depth)) return false;
  while (L.tok == Tok::Plus || L.tok == Tok::Minus) {
    const Tok op = L.tok;
    next(L);
    if (!startsFactor(L.tok)) {
      if (!dangling(L, Tok::Plus, Tok::Minus)) return false;
      continue;
    }
    int64_t r;
    if (!term(L, r, depth)) return false;
    v = op == Tok::Plus ? add(v, r) : sub(v, r);
  }
  return true;
}

}  // namespace

bool evaluateExpression(Interp& in, std::string_view& text, int64_t& value) {
  Lexer L{in, text};
  next(L);
  int64_t v;
  if (!expression(L, v, 0) || L.tok != Tok::Close) return false;
  text.remove_prefix(L.pos);
  value = v;
  return true;
}

}  // namespace engine
