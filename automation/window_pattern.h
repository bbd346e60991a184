// Window titles as JANELA finds them: a leading "*" asks for a title that
// begins with the rest, a trailing "*" for one that ends with it, both for
// exactly the rest, none for the rest anywhere in the title.
#pragma once
#include <string_view>

namespace automation {

// Both texts already upper-cased by the caller.
bool titleMatches(std::string_view pattern, std::string_view title);

}  // namespace automation
