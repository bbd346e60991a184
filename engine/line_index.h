// What a run derives from the stored text alone, worked out again whenever
// the store changes: each line's split into keyword and operands with its
// command, the label lines, and the lines the block commands look for. All of
// it could be found by scanning the text each time, with the same results.
#pragma once
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/registry.h"

namespace engine {

struct Interp;

struct LineCode {
  bool command = false;       // false for a blank, comment or label line
  std::string keyword;        // up to the first space, a-z upper-cased
  std::string upperKeyword;   // fully upper-cased, as the table compares
  std::string_view operands;  // after the first space, trimmed
  const Entry* entry = nullptr;
};

// Lines looked for by their normalised form: trimmed, upper-cased, each run
// of spaces made one.
enum class Mark { None, Se, FimSe, Senao, FimEnquanto, FimRepete };

// What the interpreter keeps of it, by line number.
struct LineIndex {
  struct Nested {
    size_t offset = 0, size = 0;
    LineCode code;
  };
  unsigned version = ~0u;  // of the store it was worked out from
  std::vector<LineCode> code;
  std::vector<Nested> nested;
  std::vector<Mark> marks;
  std::vector<std::string> seConditions;  // per line; empty unless marked Se
  std::vector<int> nextFimSe, nextFimEnquanto, nextFimRepete;
  std::vector<int> prevEnquanto, prevRepete;
  std::unordered_map<std::string, int> labels;
};

// Splits a command line the way the run loop does: trimmed, then the
// keyword up to the first space (a tab does not end it).
LineCode splitLine(std::string_view text);

const LineCode& lineCode(Interp& in, int n);

// The split of a text lying within stored line n (what follows a one-line
// SE's condition); the last one of each line is kept.
const LineCode& nestedLineCode(Interp& in, int n, std::string_view text);

// Whether the text lies within the stored text of line n.
bool withinLine(const Interp& in, int n, std::string_view text);

Mark mark(Interp& in, int n);
// The normalised text after "SE " of a line marked Se.
std::string_view seCondition(Interp& in, int n);

// The first line after n marked m (FimSe, FimEnquanto or FimRepete), or
// lineCount() + 1 when there is none.
int nextMarked(Interp& in, int n, Mark m);

// The nearest line before n whose first word (trimmed, upper-cased, up to a
// space that must be there) is ENQUANTO, or REPETE; 0 when there is none.
int previousEnquanto(Interp& in, int n);
int previousRepete(Interp& in, int n);

// The first line "@" + a name equal to the upper-cased one; 0 when none.
int labelLine(Interp& in, std::string_view upperName);

}  // namespace engine
