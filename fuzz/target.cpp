// One fuzz target: the entry named at build time, fed libFuzzer's bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fuzz::Entry entry = [] {
    const fuzz::NamedEntry* found = fuzz::findEntry(ESCUTA_FUZZ_ENTRY);
    if (!found) std::abort();
    return found->run;
  }();
  entry({reinterpret_cast<const char*>(data), size});
  return 0;
}
