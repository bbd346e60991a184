// fonemas [-d DIR] [TEXT...]: prints the normalised text and then the phoneme
// lines of the Portuguese voice, one per line, in UTF-8, so that whoever
// writes rule data sees what it does. The text comes from the arguments, or
// from standard input when there are none, in Windows-1252 or UTF-8. The data
// is found as the engine finds it, below the data root, or in DIR.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <string>

#include "platform/base/codepage.h"
#include "tts/data_file.h"
#include "tts/front_end.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "uso: fonemas [-d PASTA] [TEXTO...]\n"
               "Sem TEXTO, l\xC3\xAA a entrada padr\xC3\xA3o.\n");
  return 2;
}

void printUtf8(std::string_view cp1252) {
  const std::string utf8 = platform::cp1252ToUtf8(cp1252);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fputc('\n', stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir(tts::kDefaultDataDir);
  int first = 1;
  if (first < argc && std::strcmp(argv[first], "-h") == 0) return usage();
  if (first < argc && std::strcmp(argv[first], "-d") == 0) {
    if (first + 1 >= argc) return usage();
    dir = std::string(argv[first + 1]) + "/";
    first += 2;
  }

  std::string text;
  if (first < argc) {
    for (int i = first; i < argc; ++i) {
      if (i > first) text += ' ';
      text += argv[i];
    }
  } else {
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  }
  if (platform::isMultibyteUtf8(text)) text = platform::utf8ToCp1252(text);

  tts::FrontEnd frontEnd;
  tts::DataProblems problems;
  if (!tts::loadFrontEnd(dir, tts::kDefaultBaseName, frontEnd, &problems)) {
    for (const tts::DataProblem& p : problems)
      std::fprintf(stderr, "fonemas: %s: %s\n", platform::cp1252ToUtf8(p.file).c_str(),
                   platform::cp1252ToUtf8(p.message).c_str());
    return 1;
  }
  const tts::FrontEndResult result = tts::textToPhonemeLines(tts::trimmed(text), frontEnd);
  printUtf8(result.normalised);
  for (const std::string& line : result.lines) printUtf8(line);
  if (!result.unhandled.empty())
    std::fprintf(stderr, "fonemas: letras sem regra: %s\n",
                 platform::cp1252ToUtf8(result.unhandled).c_str());
  return 0;
}
