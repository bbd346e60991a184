// Rewrites one setting of an INI file without end, each time with a new
// value, until it is killed: the writer the kill test interrupts.
//   ini_rewriter FILE
#include <cstdio>
#include <string>

#include "ini_rewrite_values.h"
#include "platform/base/profile.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: ini_rewriter FILE\n");
    return 2;
  }
  // One byte says the writing begins, so that kills fall on writes rather
  // than on a slow start.
  std::fputc('w', stdout);
  std::fflush(stdout);
  for (unsigned n = 1;; ++n) {
    if (!platform::writeProfileString(argv[1], kRewriteSection, kRewriteKey, rewriteValue(n))) return 1;
  }
}
