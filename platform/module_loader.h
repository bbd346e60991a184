// Modules that the platform library loads on first use, from beside itself.
#pragma once

namespace platform {

// The entry point `entry` of the module `file` (a file name beside the
// platform library); null when either cannot be found, dlerror() saying why.
void* moduleEntry(const char* file, const char* entry);

}  // namespace platform
