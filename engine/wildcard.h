// File-name patterns as directory searches take them: "*" any run of
// characters, "?" one character, letters compared without regard to case,
// and a final ".*" also matching a name without an extension (so "*.*"
// matches every file).
#pragma once
#include <string_view>

namespace engine {

bool wildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace engine
