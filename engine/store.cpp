#include "engine/store.h"

#include <vector>

namespace engine {
namespace {

struct Store {
  std::vector<std::string> lines = std::vector<std::string>(kMaxLines + 1);
  int count = 0;
  unsigned version = 0;
};

Store g;

}  // namespace

bool storeLine(std::string_view text, int number) {
  if (number < 1 || number > kMaxLines) return false;
  g.lines[static_cast<size_t>(number)].assign(text);
  g.count = number;
  ++g.version;
  return true;
}

int lineCount() { return g.count; }

void setLineCount(int count) {
  g.count = count;
  ++g.version;
}

std::string_view lineText(int n) { return g.lines[static_cast<size_t>(n)]; }

unsigned storeVersion() { return g.version; }

}  // namespace engine
