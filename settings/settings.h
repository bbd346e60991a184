// The suite's configuration file, Escuta.ini, shared with the suite's other
// programs. Every read sees what others wrote: the file is read again
// whenever it has changed.
#pragma once
#include <string>
#include <string_view>

namespace settings {

// Directory of Escuta.ini, without a trailing separator.
std::string configDir();

// The value with the legacy fallback and "@" expansion; empty when missing.
// Values are cut to 49999 characters.
std::string readSetting(std::string_view section, std::string_view key);

// readSetting trimmed; when empty, the default is written and returned.
std::string readSettingOrInit(std::string_view section, std::string_view key, std::string_view def);

// Writes into Escuta.ini, and into the legacy copy too when legacy mode is on
// and that copy exists.
void writeSetting(std::string_view section, std::string_view key, std::string_view value);

// The keys some modules read straight from the file: 80 characters at most,
// no fallback, no expansion; the default when missing or empty.
std::string readDirect(std::string_view section, std::string_view key, std::string_view def = {});

// Legacy mode follows LEGADO in section ESCUTA; read when speech starts.
void loadLegacyMode();
bool legacyMode();

}  // namespace settings
