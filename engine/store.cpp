#include "engine/store.h"

#include "engine/interp.h"

namespace engine {

bool storeLine(Interp& in, std::string_view text, int number) {
  if (number < 1 || number > kMaxLines) return false;
  Program& p = in.program;
  const size_t at = static_cast<size_t>(number);
  if (p.lines.size() <= at) p.lines.resize(at + 1);
  p.lines[at].assign(text);
  p.count = number;
  ++p.version;
  return true;
}

int lineCount(const Interp& in) { return in.program.count; }

void setLineCount(Interp& in, int count) {
  Program& p = in.program;
  if (p.lines.size() <= static_cast<size_t>(count)) p.lines.resize(static_cast<size_t>(count) + 1);
  p.count = count;
  ++p.version;
}

std::string_view lineText(const Interp& in, int n) { return in.program.lines[static_cast<size_t>(n)]; }

unsigned storeVersion(const Interp& in) { return in.program.version; }

}  // namespace engine
