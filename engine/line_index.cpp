#include "engine/line_index.h"

#include "engine/interp.h"
#include "engine/store.h"
#include "engine/text.h"

namespace engine {
namespace {

using Nested = LineIndex::Nested;

std::string normalised(std::string_view line) {
  std::string out;
  for (char c : upper(trim(line))) {
    if (c == ' ' && !out.empty() && out.back() == ' ') continue;
    out += c;
  }
  return out;
}

std::string_view firstWord(std::string_view normal) {
  const size_t space = normal.find(' ');
  return space == std::string_view::npos ? std::string_view() : normal.substr(0, space);
}

void build(const Interp& in, LineIndex& g) {
  const int count = lineCount(in);
  const size_t n = static_cast<size_t>(count) + 2;
  g.code.assign(n, LineCode{});
  g.nested.assign(n, Nested{});
  g.marks.assign(n, Mark::None);
  g.seConditions.assign(n, std::string());
  g.nextFimSe.assign(n, count + 1);
  g.nextFimEnquanto.assign(n, count + 1);
  g.nextFimRepete.assign(n, count + 1);
  g.prevEnquanto.assign(n, 0);
  g.prevRepete.assign(n, 0);
  g.labels.clear();
  // First word of the line: the same as the normalised line's, since only
  // the runs of spaces after it differ.
  std::vector<std::string_view> words(n);
  std::vector<std::string> normals(n);
  for (int i = 1; i <= count; ++i) {
    const size_t k = static_cast<size_t>(i);
    const std::string_view text = lineText(in, i);
    g.code[k] = splitLine(text);
    normals[k] = normalised(text);
    const std::string& s = normals[k];
    if (s == "FIM SE") g.marks[k] = Mark::FimSe;
    else if (s == "FIM ENQUANTO") g.marks[k] = Mark::FimEnquanto;
    else if (s == "FIM REPETE") g.marks[k] = Mark::FimRepete;
    else if (s == "SENAO" || s == "SEN\xC3O") g.marks[k] = Mark::Senao;
    else if (s.starts_with("SE ")) {
      g.marks[k] = Mark::Se;
      g.seConditions[k] = s.substr(3);
    }
    words[k] = firstWord(s);
    if (!text.empty() && text[0] == '@') g.labels.emplace(upper(text.substr(1)), i);
  }
  for (int i = count - 1; i >= 0; --i) {
    const size_t k = static_cast<size_t>(i), after = k + 1;
    g.nextFimSe[k] = g.marks[after] == Mark::FimSe ? i + 1 : g.nextFimSe[after];
    g.nextFimEnquanto[k] = g.marks[after] == Mark::FimEnquanto ? i + 1 : g.nextFimEnquanto[after];
    g.nextFimRepete[k] = g.marks[after] == Mark::FimRepete ? i + 1 : g.nextFimRepete[after];
  }
  for (int i = 2; i <= count + 1; ++i) {
    const size_t k = static_cast<size_t>(i), before = k - 1;
    g.prevEnquanto[k] = words[before] == "ENQUANTO" ? i - 1 : g.prevEnquanto[before];
    g.prevRepete[k] = words[before] == "REPETE" ? i - 1 : g.prevRepete[before];
  }
  g.version = storeVersion(in);
}

LineIndex& index(Interp& in) {
  if (in.index.version != in.program.version) build(in, in.index);
  return in.index;
}

size_t at(int n) { return static_cast<size_t>(n); }

}  // namespace

LineCode splitLine(std::string_view text) {
  LineCode c;
  text = trim(text);
  if (text.empty() || text[0] == '*' || text[0] == '@') return c;
  c.command = true;
  const size_t space = text.find(' ');
  const std::string_view word = text.substr(0, space);
  c.keyword.assign(word);
  for (char& ch : c.keyword) {
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
  }
  c.upperKeyword = upper(word);
  if (space != std::string_view::npos) c.operands = trim(text.substr(space + 1));
  c.entry = findCommand(c.upperKeyword);
  return c;
}

const LineCode& lineCode(Interp& in, int n) { return index(in).code[at(n)]; }

bool withinLine(const Interp& in, int n, std::string_view text) {
  if (n < 1 || n > lineCount(in)) return false;
  const std::string_view line = lineText(in, n);
  return text.data() >= line.data() && text.data() + text.size() <= line.data() + line.size();
}

const LineCode& nestedLineCode(Interp& in, int n, std::string_view text) {
  Nested& slot = index(in).nested[at(n)];
  const size_t offset = static_cast<size_t>(text.data() - lineText(in, n).data());
  if (slot.offset != offset || slot.size != text.size() || !slot.code.command) {
    slot.offset = offset;
    slot.size = text.size();
    slot.code = splitLine(text);
  }
  return slot.code;
}

Mark mark(Interp& in, int n) { return index(in).marks[at(n)]; }

std::string_view seCondition(Interp& in, int n) { return index(in).seConditions[at(n)]; }

int nextMarked(Interp& in, int n, Mark m) {
  const LineIndex& x = index(in);
  if (n > lineCount(in)) return lineCount(in) + 1;
  switch (m) {
    case Mark::FimSe: return x.nextFimSe[at(n)];
    case Mark::FimEnquanto: return x.nextFimEnquanto[at(n)];
    case Mark::FimRepete: return x.nextFimRepete[at(n)];
    default: return lineCount(in) + 1;
  }
}

int previousEnquanto(Interp& in, int n) { return n > lineCount(in) + 1 ? 0 : index(in).prevEnquanto[at(n)]; }
int previousRepete(Interp& in, int n) { return n > lineCount(in) + 1 ? 0 : index(in).prevRepete[at(n)]; }

int labelLine(Interp& in, std::string_view upperName) {
  const LineIndex& x = index(in);
  const auto found = x.labels.find(std::string(upperName));
  return found == x.labels.end() ? 0 : found->second;
}

}  // namespace engine
