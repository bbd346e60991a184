// tts_data_check DIR BASE: loads the voice's data files DIR/BASE.fon, .nrl,
// .exc, .abr, .pro and .dfn, and fails on any line the loaders could not take
// as written, on phoneme names missing from the list, and on letters without
// a rule of their own.
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/base/codepage.h"
#include "tts/chars.h"
#include "tts/data_file.h"
#include "tts/diphone_list.h"
#include "tts/front_end.h"
#include "tts/phoneme_lines.h"
#include "tts/phoneme_list.h"

namespace {

using tts::DataProblems;

// Data is Windows-1252; a file saved as UTF-8 would read as wrong letters.
void checkEncoding(const std::string& path, DataProblems& problems) {
  std::vector<std::string> lines;
  if (!tts::readDataLines(path, lines)) return;
  for (size_t i = 0; i < lines.size(); ++i)
    if (platform::isMultibyteUtf8(lines[i]))
      tts::addProblem(&problems, path, i + 1, "linha em UTF-8; os dados s\xE3o Windows-1252");
}

void checkOutputs(const std::string& path, const tts::RuleTable& rules,
                  const tts::PhonemeList& phonemes, DataProblems& problems) {
  for (const auto& list : rules.byFirstLetter) {
    for (const tts::LetterRule& rule : list) {
      const std::string where = "(" + rule.match + ")=" + rule.output;
      if (rule.output.empty()) continue;
      size_t start = 0;
      for (;;) {
        const size_t amp = rule.output.find('&', start);
        const std::string_view piece =
            std::string_view(rule.output).substr(start, amp == std::string::npos ? amp : amp - start);
        if (!tts::isListedPhoneme(phonemes, tts::phonemeName(piece)))
          tts::addProblem(&problems, path, 0, "fonema fora da lista em " + where);
        if (amp == std::string::npos) break;
        start = amp + 1;
      }
    }
  }
}

// Every letter needs a last rule with no context, so that no letter of any
// word can go unread.
void checkEveryLetterRead(const std::string& path, const tts::RuleTable& rules,
                          DataProblems& problems) {
  for (int c = 32; c < 256; ++c) {
    const unsigned char letter = static_cast<unsigned char>(c);
    if (!tts::isWordLetter(letter) || tts::upperLatin1(letter) != letter) continue;
    bool found = false;
    for (const tts::LetterRule& rule : rules.byFirstLetter[letter])
      found = found || (rule.match.size() == 1 && rule.left.empty() && rule.right.empty());
    if (!found)
      tts::addProblem(&problems, path, 0,
                      "letra sem regra geral (sem contexto): " + std::string(1, static_cast<char>(letter)));
  }
}

bool isPause(std::string_view name) {
  return name == "_" || name == tts::kSentencePause ||
         (name.size() == 2 && name[0] == '_' && name[1] != ' ' &&
          tts::isKeptPunctuation(static_cast<unsigned char>(name[1])));
}

void checkProsody(const std::string& path, const tts::ProsodyConfig& prosody,
                  const tts::PhonemeList& phonemes, DataProblems& problems) {
  for (const tts::PhonemeDuration& d : prosody.durations)
    if (!isPause(d.name) && !tts::isListedPhoneme(phonemes, d.name))
      tts::addProblem(&problems, path, 0, "dura\xE7\xE3o de fonema fora da lista: " + d.name);
  for (const tts::ProsodyRule& r : prosody.rules)
    for (const std::string* cls : {&r.previous, &r.current, &r.next})
      if (cls->size() > 2)
        tts::addProblem(&problems, path, 0, "classe com mais de 2 caracteres: " + *cls);
}

// Both halves of every diphone must be phonemes the rules can give, or the
// pause every bridge and sentence boundary becomes.
void checkDiphones(const std::string& path, const tts::DiphoneList& diphones, const tts::PhonemeList& phonemes,
                   DataProblems& problems) {
  for (const std::string& pair : diphones.names) {
    const size_t dash = pair.find('-');
    for (const std::string_view half : {std::string_view(pair).substr(0, dash), std::string_view(pair).substr(dash + 1)})
      if (half != "_" && std::none_of(phonemes.names.begin(), phonemes.names.end(), [&](const std::string& n) {
            return tts::upperLatin1(n) == half;
          }))
        tts::addProblem(&problems, path, 0, "difone com fonema fora da lista: " + pair);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "uso: tts_data_check PASTA/ BASE\n");
    return 2;
  }
  const std::string stem = std::string(argv[1]) + argv[2];
  DataProblems problems;
  tts::PhonemeList phonemes;
  tts::FrontEnd frontEnd;
  tts::DiphoneList diphones;
  // Every loader runs, so that one report lists the problems of all files.
  const bool loaded = tts::loadPhonemeList(stem + ".fon", phonemes, &problems) &
                      tts::loadRules(stem + ".nrl", frontEnd.rules, &problems) &
                      tts::loadExceptions(stem + ".exc", frontEnd.exceptions, &problems) &
                      tts::loadAbbreviations(stem + ".abr", frontEnd.abbreviations, &problems) &
                      tts::loadProsody(stem + ".pro", frontEnd.prosody, &problems) &
                      tts::loadDiphoneList(stem + ".dfn", diphones, &problems);
  for (const char* ext : {".fon", ".nrl", ".exc", ".abr", ".pro", ".dfn"}) checkEncoding(stem + ext, problems);
  // A loader that failed part way leaves what it read, which is checked too.
  checkOutputs(stem + ".nrl", frontEnd.rules, phonemes, problems);
  checkEveryLetterRead(stem + ".nrl", frontEnd.rules, problems);
  checkProsody(stem + ".pro", frontEnd.prosody, phonemes, problems);
  checkDiphones(stem + ".dfn", diphones, phonemes, problems);
  for (const tts::DataProblem& p : problems)
    std::fprintf(stderr, "%s:%zu: %s\n", p.file.c_str(), p.line,
                 platform::cp1252ToUtf8(p.message).c_str());
  return loaded && problems.empty() ? 0 : 1;
}
