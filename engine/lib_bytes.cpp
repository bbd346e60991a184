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

#include "engine/api.h"
#include "engine/libraries.h"
#include "engine/number.h"
#include "engine/readers.h"
#include "engine/text_budget.h"
#include "platform/base/paths.h"

namespace engine {
namespace {

constexpr size_t kCapacity = 134217730;
constexpr size_t kLargestSource = 134217728;

// The byte file the interpreter has open, closed with it.
struct ByteFile {
  int fd = -1;
  std::string buffer;  // its size is the byte count
  ByteFile() = default;
  ByteFile(const ByteFile&) = delete;
  ByteFile& operator=(const ByteFile&) = delete;
  ~ByteFile() {
    if (fd >= 0) ::close(fd);
  }
};

ByteFile& byteFile(Interp& in) { return libraryState<ByteFile>(in); }

// Within the buffer's capacity and the bound of the script's texts.
Status fits(Interp& in, size_t more) {
  const size_t had = byteFile(in).buffer.size();
  if (more > kCapacity - had) return false;
  return resizeText(in, had, had + more);
}

void emptyBuffer(Interp& in) {
  (void)resizeText(in, byteFile(in).buffer.size(), 0);
  std::string().swap(byteFile(in).buffer);  // gives the memory back
}

Status criabin(Interp& in, std::string_view text) {
  std::string name;
  if (!readOperand(in, text, name) || byteFile(in).fd >= 0) return false;
  // O_EXCL: a file of that name must not exist, and it is never replaced.
  byteFile(in).fd = ::open(platform::hostPath(name).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  return byteFile(in).fd >= 0;
}

Status escrevebyte(Interp& in, std::string_view text) {
  std::string value;
  if (!readOperand(in, text, value)) return false;
  if (Status s = fits(in, value.size()); !s.ok()) return s;
  byteFile(in).buffer += value;
  return true;
}

// Appends up to `length` bytes of the open file from `first` on.
Status appendRange(Interp& in, int fd, int32_t first, size_t length) {
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) > kLargestSource) {
    return false;
  }
  if (first >= st.st_size) return false;
  const size_t available = static_cast<size_t>(st.st_size - first);
  const size_t wanted = std::min(length, available);
  const size_t had = byteFile(in).buffer.size();
  if (Status s = fits(in, wanted); !s.ok()) return s;
  byteFile(in).buffer.resize(had + wanted);
  size_t got = 0;
  while (got < wanted) {
    const ssize_t n = ::pread(fd, byteFile(in).buffer.data() + had + got, wanted - got, first + static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the file was cut short meanwhile
    got += static_cast<size_t>(n);
  }
  byteFile(in).buffer.resize(had + got);
  (void)resizeText(in, had + wanted, had + got);
  return true;
}

Status lebyte(Interp& in, std::string_view text) {
  std::string name, firstText, endText;
  if (!readOperand(in, text, name) || !readOperand(in, text, firstText) || !readOperand(in, text, endText)) return false;
  if (byteFile(in).buffer.size() >= kLargestSource) return false;
  int32_t first, end;
  if (!numberValue(firstText, first) || !numberValue(endText, end) || first < 0 || end < first) return false;
  const size_t length = end == first ? 1 : static_cast<size_t>(end) - static_cast<size_t>(first);
  const int fd = ::open(platform::hostPath(name).c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  Status appended = appendRange(in, fd, first, length);
  ::close(fd);
  return appended;
}

Status gravabytes(Interp& in, std::string_view) {
  if (byteFile(in).fd < 0) return false;
  std::string_view rest = byteFile(in).buffer;
  while (!rest.empty()) {
    const ssize_t n = ::write(byteFile(in).fd, rest.data(), rest.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    rest.remove_prefix(static_cast<size_t>(n));
  }
  emptyBuffer(in);
  return true;
}

Status limpabytes(Interp& in, std::string_view) {
  emptyBuffer(in);
  return true;
}

Status fechabin(Interp& in, std::string_view) {
  if (byteFile(in).fd < 0) return false;
  const int fd = byteFile(in).fd;
  byteFile(in).fd = -1;
  return ::close(fd) == 0;
}

constexpr Command kByteCommands[] = {
    {"CRIABIN", criabin},       {"ESCREVEBYTE", escrevebyte}, {"LEBYTE", lebyte},
    {"GRAVABYTES", gravabytes}, {"LIMPABYTES", limpabytes},   {"FECHABIN", fechabin},
};

}  // namespace

Library byteLibrary() { return kByteCommands; }

}  // namespace engine
