// Text through the clipboard, in Windows-1252.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace console {

void copyToClipboard(std::string_view text);

// The clipboard's text cut to size - 1 characters; empty when there is none
// or size is 0.
std::string pasteFromClipboard(size_t size);

}  // namespace console
