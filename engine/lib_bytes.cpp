// Byte files: CRIABIN opens one, ESCREVEBYTE and LEBYTE gather bytes in the
// write buffer, GRAVABYTES appends them to the file, FECHABIN closes it. The
// buffer grows as bytes come, up to its fixed capacity, and an append that
// would not fit is refused.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "engine/libraries.h"
#include "engine/number.h"
#include "engine/readers.h"
#include "engine/text_budget.h"
#include "platform/base/paths.h"

namespace engine {
namespace {

constexpr size_t kCapacity = 134217730;
constexpr size_t kLargestSource = 134217728;

struct ByteFile {
  int fd = -1;
  std::string buffer;  // its size is the byte count
};

ByteFile g_bytes;

// Within the buffer's capacity and the bound of the script's texts.
bool fits(size_t more) {
  const size_t had = g_bytes.buffer.size();
  return more <= kCapacity - had && resizeText(had, had + more);
}

void emptyBuffer() {
  (void)resizeText(g_bytes.buffer.size(), 0);
  std::string().swap(g_bytes.buffer);  // gives the memory back
}

bool criabin(std::string_view text) {
  std::string name;
  if (!readOperand(text, name) || g_bytes.fd >= 0) return false;
  // O_EXCL: a file of that name must not exist, and it is never replaced.
  g_bytes.fd = ::open(platform::hostPath(name).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  return g_bytes.fd >= 0;
}

bool escrevebyte(std::string_view text) {
  std::string value;
  if (!readOperand(text, value) || !fits(value.size())) return false;
  g_bytes.buffer += value;
  return true;
}

// Appends up to `length` bytes of the open file from `first` on.
bool appendRange(int fd, int32_t first, size_t length) {
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) > kLargestSource) {
    return false;
  }
  if (first >= st.st_size) return false;
  const size_t available = static_cast<size_t>(st.st_size - first);
  const size_t wanted = std::min(length, available);
  const size_t had = g_bytes.buffer.size();
  if (!fits(wanted)) return false;
  g_bytes.buffer.resize(had + wanted);
  size_t got = 0;
  while (got < wanted) {
    const ssize_t n = ::pread(fd, g_bytes.buffer.data() + had + got, wanted - got, first + static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the file was cut short meanwhile
    got += static_cast<size_t>(n);
  }
  g_bytes.buffer.resize(had + got);
  (void)resizeText(had + wanted, had + got);
  return true;
}

bool lebyte(std::string_view text) {
  std::string name, firstText, endText;
  if (!readOperand(text, name) || !readOperand(text, firstText) || !readOperand(text, endText)) return false;
  if (g_bytes.buffer.size() >= kLargestSource) return false;
  int32_t first, end;
  if (!numberValue(firstText, first) || !numberValue(endText, end) || first < 0 || end < first) return false;
  const size_t length = end == first ? 1 : static_cast<size_t>(end) - static_cast<size_t>(first);
  const int fd = ::open(platform::hostPath(name).c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = appendRange(fd, first, length);
  ::close(fd);
  return ok;
}

bool gravabytes(std::string_view) {
  if (g_bytes.fd < 0) return false;
  std::string_view rest = g_bytes.buffer;
  while (!rest.empty()) {
    const ssize_t n = ::write(g_bytes.fd, rest.data(), rest.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    rest.remove_prefix(static_cast<size_t>(n));
  }
  emptyBuffer();
  return true;
}

bool limpabytes(std::string_view) {
  emptyBuffer();
  return true;
}

bool fechabin(std::string_view) {
  if (g_bytes.fd < 0) return false;
  const int fd = g_bytes.fd;
  g_bytes.fd = -1;
  return ::close(fd) == 0;
}

constexpr Command kByteCommands[] = {
    {"CRIABIN", criabin},       {"ESCREVEBYTE", escrevebyte}, {"LEBYTE", lebyte},
    {"GRAVABYTES", gravabytes}, {"LIMPABYTES", limpabytes},   {"FECHABIN", fechabin},
};

}  // namespace

Library byteLibrary() { return kByteCommands; }

}  // namespace engine
