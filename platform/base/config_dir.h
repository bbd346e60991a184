// Which directory of Escuta.ini an environment names. Programs that name the
// same one share their settings: they are one user's one session of the
// suite, and only they see each other's processes (see process.h).
#pragma once
#include <string>
#include <string_view>

namespace platform {

// The values of ESCUTA_CONFIG_DIR, XDG_CONFIG_HOME and HOME (empty when
// unset) give: the first when not empty, else $XDG_CONFIG_HOME/Escuta, else
// $HOME/.config/Escuta; without trailing separators.
std::string configDirNamed(std::string_view escutaConfigDir, std::string_view xdgConfigHome, std::string_view home);

// The directory this program's own environment names.
std::string configDirOfEnvironment();

}  // namespace platform
