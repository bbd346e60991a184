// Comparing titles the way people type them.
#pragma once

#include <string>
#include <string_view>

namespace vitrine {

// Lower-case, with the accents of Latin-1 letters removed ("Ação" -> "acao"),
// so that searches and the alphabetical order ignore both. Characters beyond
// Latin-1, and bytes that are not UTF-8, pass through unchanged.
std::string foldForSearch(std::string_view utf8);

}  // namespace vitrine
