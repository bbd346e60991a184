// What the download tests share: the script that downloads, the bytes the
// servers send, and the events a run said.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/net_script_run.h"

namespace nettest {

// Bytes of every value, the same for the same seed.
inline std::string bytesOf(size_t n, uint32_t seed) {
  std::string out(n, '\0');
  for (char& c : out) {
    seed = seed * 1664525u + 1013904223u;
    c = static_cast<char>(seed >> 24);
  }
  return out;
}

// The download script: the result variable shown as "r=0" or "r=1".
inline std::string downloadScript(const std::string& url, const std::string& click = "0",
                                  const std::string& cookie = "") {
  return "trazdarede \"" + url + "\" \"f.bin\" " + click + " \"teste/1.0\" \"" + cookie +
         "\" r\nescreve mudo \"r=\" r\ntermina mudo\n";
}

// The texts of one event of the transcript, in order.
inline std::vector<std::string> events(const ScriptRun& r, const std::string& name) {
  std::vector<std::string> out;
  for (const std::string& line : r.transcript) {
    if (line.starts_with(name + "\t")) out.push_back(line.substr(name.size() + 1));
  }
  return out;
}

}  // namespace nettest
