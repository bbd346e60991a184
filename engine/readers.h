// The operand readers every command handler takes its arguments with. Each
// works on the front of the operand text: it trims the text, reads one
// element, removes it and trims what is left, so the next reader starts on
// the next element. Nothing needs to separate elements. Readers never speak;
// they report success or failure and the command decides.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

struct Interp;

// A literal ("-" or digits, or a quoted text with "" for a quote), a
// variable (a letter, or "$" and a name) or an expression in parentheses.
bool readOperand(Interp& in, std::string_view& text, std::string& value);

// An operand that reads as a whole number.
bool readNumber(Interp& in, std::string_view& text, int32_t& n);

// The variable a command stores into: "$" and a name, or a letter that no
// letter or digit follows.
bool readTarget(Interp& in, std::string_view& text, int& code);

// "#" and one digit, then a space or the end: the channel number 0 to 9.
bool readChannel(std::string_view& text, int& channel);

// "[" name "]", the name untrimmed and case kept; what follows is left
// untrimmed.
bool readListName(std::string_view& text, std::string& name);

}  // namespace engine
