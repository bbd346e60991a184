#include "engine/channels.h"

#include <sys/stat.h>

#include <cerrno>

#include "engine/interp.h"
#include "engine/variables.h"
#include "platform/base/paths.h"

namespace engine {
namespace {

constexpr int kCtrlZ = 26;  // marks the end of a text file

int32_t ioError() { return errno != 0 ? errno : EIO; }

std::FILE* openRegular(const std::string& path, const char* mode) {
  std::FILE* f = std::fopen(path.c_str(), mode);
  struct stat st;
  if (f && (::fstat(fileno(f), &st) != 0 || S_ISDIR(st.st_mode))) {
    std::fclose(f);
    return nullptr;
  }
  return f;
}

int32_t readFileLine(std::FILE* f, std::string& line) {
  int c = std::getc(f);
  if (c == EOF || c == kCtrlZ) {
    if (c == kCtrlZ) std::ungetc(c, f);
    return std::ferror(f) ? ioError() : 1;
  }
  for (; c != EOF && c != '\n'; c = std::getc(f)) {
    if (c == kCtrlZ) {
      std::ungetc(c, f);
      break;
    }
    if (c == '\r') {
      // CR LF ends the line; a CR alone is dropped.
      const int d = std::getc(f);
      if (d == '\n') break;
      if (d != EOF) std::ungetc(d, f);
      continue;
    }
    if (line.size() >= kMaxValueSize) return EFBIG;
    line += static_cast<char>(c);
  }
  return std::ferror(f) ? ioError() : 0;
}

}  // namespace

Channel& channel(Interp& in, int n) { return in.channels.channel[static_cast<size_t>(n)]; }

void setSocketSide(Interp& in, const SocketSide* side) { in.channels.socket = side; }

bool openFile(Interp& in, int n, std::string_view name, bool append) {
  Channel& c = channel(in, n);
  // The old file or connection is closed rather than leaked.
  if (c.open) closeChannel(in, n);
  const std::string path = platform::hostPath(name);
  std::FILE* f = openRegular(path, append ? "ab" : "rb");
  if (!f && append) f = openRegular(path, "wb");
  if (!f) return false;
  c.file = f;
  c.appending = append;
  c.open = true;
  c.socket = false;
  return true;
}

bool closeChannel(Interp& in, int n) {
  Channel& c = channel(in, n);
  bool ok = true;
  if (c.open && c.socket) {
    if (in.channels.socket) in.channels.socket->close(in, n);
  } else if (c.open && c.file) {
    ok = std::fclose(c.file) == 0;
  }
  c.file = nullptr;
  c.open = false;
  return ok;
}

int32_t writeChannel(Interp& in, int n, std::string_view text, bool lineEnd) {
  Channel& c = channel(in, n);
  const SocketSide* socket = in.channels.socket;
  if (c.socket) {
    if (!socket) return EIO;
    return socket->send(in, n, lineEnd ? std::string(text) + "\r\n" : std::string(text));
  }
  errno = 0;
  bool ok = std::fwrite(text.data(), 1, text.size(), c.file) == text.size();
  if (ok && lineEnd) ok = std::fwrite("\r\n", 1, 2, c.file) == 2;
  if (std::fflush(c.file) != 0) ok = false;
  if (ok) return 0;
  const int32_t error = ioError();
  std::clearerr(c.file);
  return error;
}

int32_t readChannelLine(Interp& in, int n, std::string& line) {
  Channel& c = channel(in, n);
  const SocketSide* socket = in.channels.socket;
  line.clear();
  if (c.socket) return socket && socket->readLine(in, n, line) ? 0 : 1;
  errno = 0;
  const int32_t status = readFileLine(c.file, line);
  if (status > 1) std::clearerr(c.file);
  return status;
}

}  // namespace engine
