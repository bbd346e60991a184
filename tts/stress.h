// Finding the stressed vowel of a word from its spelling.
#pragma once
#include <cstddef>
#include <string_view>

namespace tts {

// Short function words that carry no stress mark: words of one or two letters
// and POR, DAS, DOS, COM, NÃO, SIM. The word is upper-cased.
bool isUnstressedWord(std::string_view word);

// 1-based position of the stressed letter, or 0 when the word has no vowel.
// A written acute or circumflex accent wins, then a tilde; otherwise the
// Portuguese default (paroxytone after a, e, o, am, em and their plurals
// -as, -es, -os, -ams, -ens; oxytone otherwise), read from the end of the word.
size_t stressPosition(std::string_view word);

}  // namespace tts
