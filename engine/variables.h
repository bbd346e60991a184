// The variable store: 127 text slots named by code. 65-90 are the letters A
// to Z; 91-191 the named variables ("$" and a name), numbered in the order
// their names are first met. Values are Windows-1252 bytes.
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <unordered_map>

#include "engine/status.h"

namespace engine {

struct Interp;

constexpr int kFirstNamedCode = 91;
constexpr int kLastCode = 191;

struct VariableStore {
  std::array<std::string, kLastCode + 1> values;
  std::unordered_map<std::string, int> codes;  // upper-cased name -> code
};

// The code of a named variable, its name entered (upper-cased) when new;
// -1 when all 101 names are taken.
int enterName(Interp& in, std::string_view name);

// The code of a letter of either case.
inline int letterCode(char letter) { return (letter & ~0x20); }

const std::string& variable(const Interp& in, int code);

// Puts the value into the variable. A failure saying why when the script's
// texts together would pass their bound (the variable keeps its value).
Status setVariable(Interp& in, int code, std::string value);

// Replaces `count` characters from `pos` on (both cut to the value) with
// `with`; a failure saying why when the value would grow past kMaxValueSize
// or the texts together past their bound.
Status replaceInVariable(Interp& in, int code, size_t pos, size_t count, std::string_view with);

// A value longer than this would make a script's memory run away (a text
// doubled in a loop); commands that grow texts refuse it.
constexpr size_t kMaxValueSize = 64u << 20;

// Refuses a text that would grow past kMaxValueSize, saying so.
inline Status fitsValueSize(size_t size) {
  if (size > kMaxValueSize) return failSaying("Texto grande demais");
  return true;
}

}  // namespace engine
