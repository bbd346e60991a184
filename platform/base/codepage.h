// Windows-1252 <-> UTF-8. Text inside the system is Windows-1252 bytes; these
// convert only at the edges (screen glyphs, transcript, clipboard, file names).
#pragma once
#include <string>
#include <string_view>

namespace platform {

// Unicode code point of a Windows-1252 byte. The five undefined bytes map to
// the C1 control of the same value, as Windows does, so every byte round-trips.
char32_t cp1252ToUnicode(unsigned char byte);

// The Windows-1252 byte for a code point, or -1 when the code page lacks it.
int unicodeToCp1252(char32_t cp);

std::string cp1252ToUtf8(std::string_view text);

// Characters the code page lacks, and malformed UTF-8 sequences, become
// `replacement`.
std::string utf8ToCp1252(std::string_view text, char replacement = '?');

// Decodes one UTF-8 sequence at text[pos], advancing pos; malformed input
// yields U+FFFD and advances by one byte.
char32_t decodeUtf8(std::string_view text, size_t& pos);

// True when the text is valid UTF-8 and contains at least one multi-byte
// sequence: a good sign that it is not Windows-1252.
bool isMultibyteUtf8(std::string_view text);

}  // namespace platform
