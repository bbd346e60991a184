// The spoken progress report of a download, as the utterances said one
// after another.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace engine {

struct DownloadProgress {
  int64_t fileSize = 0;      // bytes in the file now
  int64_t announced = 0;     // the answer's length
  int64_t resumeOffset = 0;  // bytes the file held before this answer
  bool openEnded = false;    // no length: a stream stored until it ends
  std::string fileName;
};

// Numbers carry the given decimal separator.
std::vector<std::string> progressReport(const DownloadProgress& p, char separator);

}  // namespace engine
