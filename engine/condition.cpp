#include "engine/condition.h"

#include <string>

#include "engine/compare.h"
#include "engine/lists.h"
#include "engine/readers.h"
#include "engine/text.h"

namespace engine {
namespace {

enum class Op { Ge, Le, Same, Differ, Contains, Begins, Ends, In, Equal, Less, Greater };

struct OpForm {
  std::string_view text;
  Op op;
};

// Tried in this order, so ">=" wins over ">" and "*=*" over "*=".
constexpr OpForm kOperators[] = {
    {">=", Op::Ge},      {"<=", Op::Le},      {"==", Op::Same},  {"<>", Op::Differ},
    {"*=*", Op::Contains}, {"=*", Op::Begins}, {"*=", Op::Ends},  {"EM", Op::In},
    {"=", Op::Equal},    {"<", Op::Less},     {">", Op::Greater},
};

bool readOperator(std::string_view& text, Op& op) {
  for (const OpForm& f : kOperators) {
    if ((text[0] | 0x20) != (f.text[0] | 0x20)) continue;  // a quick look before the full one
    const bool match = f.op == Op::In ? startsUpper(text, f.text) : text.starts_with(f.text);
    if (match) {
      op = f.op;
      text = trim(text.substr(f.text.size()));
      return true;
    }
  }
  return false;
}

bool inList(const std::string& value, const List& list) {
  for (const std::string& item : list.items) {
    if (comparePadded(value, item) == 0) return true;
  }
  return false;
}

bool compare(Op op, const std::string& a, const std::string& b) {
  switch (op) {
    case Op::Ge: return comparePadded(a, b) >= 0;
    case Op::Le: return comparePadded(a, b) <= 0;
    case Op::Same: return a == b;
    case Op::Differ: return comparePadded(a, b) != 0;
    case Op::Contains: return !b.empty() && a.find(b) != std::string::npos;
    case Op::Begins: return !b.empty() && a.starts_with(b);
    case Op::Ends: return !b.empty() && a.ends_with(b);
    case Op::Equal: return comparePadded(a, b) == 0;
    case Op::Less: return comparePadded(a, b) < 0;
    case Op::Greater: return comparePadded(a, b) > 0;
    case Op::In: break;
  }
  return false;
}

}  // namespace

bool evaluateCondition(Interp& in, std::string_view& text, bool& result) {
  bool negated = false;
  if (!text.empty() && (text[0] | 0x20) == 'n' && (startsUpper(text, "N\xC3O") || startsUpper(text, "NAO"))) {
    text = trim(text.substr(3));
    negated = true;
    if (text.empty()) return false;
  }
  std::string first, second;
  if (!readOperand(in, text, first) || text.empty()) return false;
  Op op;
  if (!readOperator(text, op) || text.empty()) return false;
  if (op == Op::In) {
    std::string name;
    if (!readListName(text, name)) return false;
    const List* list = findList(in, name);
    if (!list) return false;
    result = inList(first, *list);
  } else {
    if (!readOperand(in, text, second)) return false;
    result = compare(op, first, second);
  }
  if (negated) result = !result;
  text = trim(text);
  return true;
}

}  // namespace engine
