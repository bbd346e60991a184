#include "engine/readers.h"

#include "engine/expression.h"
#include "engine/number.h"
#include "engine/text.h"
#include "engine/variables.h"

namespace engine {
namespace {

// What is left after an expression is cut to this many characters.
constexpr size_t kAfterExpression = 9999;

bool isNameChar(char c) { return isLetter(c) || isDigit(c) || c == '_'; }

// "$" and its name characters at the front; the variable's code or -1.
bool readName(Interp& in, std::string_view& text, int& code) {
  size_t end = 1;
  while (end < text.size() && isNameChar(text[end])) ++end;
  if (end == 1) return false;
  code = enterName(in, text.substr(1, end - 1));
  text.remove_prefix(end);
  return code >= 0;
}

bool readQuoted(std::string_view& text, std::string& value) {
  value.clear();
  size_t i = 1;
  while (i < text.size()) {
    if (text[i] == '"') {
      if (i + 1 < text.size() && text[i + 1] == '"') {
        value += '"';
        i += 2;
        continue;
      }
      ++i;
      break;
    }
    const size_t quote = text.find('"', i);
    const size_t end = quote == std::string_view::npos ? text.size() : quote;
    value.append(text.substr(i, end - i));
    i = end;
  }
  text.remove_prefix(i);
  return true;
}

bool readElement(Interp& in, std::string_view& text, std::string& value) {
  const char c = text[0];
  if (c == '-' || isDigit(c)) {
    size_t end = 1;
    while (end < text.size() && isDigit(text[end])) ++end;
    value.assign(text.substr(0, end));
    text.remove_prefix(end);
    return true;
  }
  if (c == '"') return readQuoted(text, value);
  if (c == '$') {
    int code;
    if (!readName(in, text, code)) return false;
    value = variable(in, code);
    return true;
  }
  if (isLetter(c)) {
    value = variable(in, letterCode(c));
    text.remove_prefix(1);
    return true;
  }
  if (c == '(') {
    text.remove_prefix(1);
    int64_t v;
    if (!evaluateExpression(in, text, v)) return false;
    if (text.size() > kAfterExpression) text = text.substr(0, kAfterExpression);
    value = decimal(v);
    return true;
  }
  return false;
}

}  // namespace

bool readOperand(Interp& in, std::string_view& text, std::string& value) {
  text = trim(text);
  if (text.empty() || !readElement(in, text, value)) return false;
  text = trim(text);
  return true;
}

bool readTarget(Interp& in, std::string_view& text, int& code) {
  text = trim(text);
  if (text.empty()) return false;
  if (text[0] == '$') {
    if (!readName(in, text, code)) return false;
  } else if (isLetter(text[0]) && (text.size() == 1 || !(isLetter(text[1]) || isDigit(text[1])))) {
    code = letterCode(text[0]);
    text.remove_prefix(1);
  } else {
    return false;
  }
  text = trim(text);
  return true;
}

bool readChannel(std::string_view& text, int& channel) {
  text = trim(text);
  if (text.size() < 2 || text[0] != '#' || !isDigit(text[1])) return false;
  if (text.size() > 2 && text[2] != ' ') return false;
  channel = text[1] - '0';
  text = trim(text.substr(2));
  return true;
}

bool readListName(std::string_view& text, std::string& name) {
  text = trim(text);
  if (text.size() < 2 || text[0] != '[') return false;
  // The first character is always taken, so "[]]" names the list "]".
  const size_t close = text.find(']', 2);
  if (close == std::string_view::npos) return false;
  name.assign(text.substr(1, close - 1));
  text.remove_prefix(close + 1);
  return true;
}

bool readNumber(Interp& in, std::string_view& text, int32_t& n) {
  std::string value;
  return readOperand(in, text, value) && numberValue(value, n);
}

}  // namespace engine
