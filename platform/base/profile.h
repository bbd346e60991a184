// Windows INI files with the private-profile semantics: section and key names
// without case, a missing file, section or key gives the default, and a write
// creates what is missing while keeping every other line as it was.
#pragma once
#include <string>
#include <string_view>

namespace platform {

// Reads a value from the INI text. Surrounding blanks are trimmed and a value
// in matching quotes loses them. The result is cut to maxLen - 1 bytes.
std::string profileValue(std::string_view ini, std::string_view section, std::string_view key,
                         std::string_view def, size_t maxLen);

// The INI text with the key set to value.
std::string profileWithValue(std::string_view ini, std::string_view section, std::string_view key,
                             std::string_view value);

// The same on a file (a host path), read again only when it has changed; a
// write replaces the file atomically and creates its directory when needed.
// A file holding NUL bytes is no INI file: it reads as empty (said once on
// the error output) and is never written. False when the file cannot be written.
std::string readProfileString(const std::string& file, std::string_view section, std::string_view key,
                              std::string_view def, size_t maxLen);
bool writeProfileString(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace platform
