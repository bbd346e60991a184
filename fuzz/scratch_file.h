// A private folder for the files a loader must read from disk.
#pragma once
#include <string>
#include <string_view>

namespace fuzz {

// A file of that name (folders made as needed) in the process's own
// scratch folder, holding `bytes`.
std::string scratchFile(std::string_view name, std::string_view bytes);

// The scratch folder, made on first use and removed at exit.
const std::string& scratchDir();

}  // namespace fuzz
