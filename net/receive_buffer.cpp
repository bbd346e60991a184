#include "net/receive_buffer.h"

#include <algorithm>
#include <cstring>

namespace net {
namespace {

constexpr int kSliceMs = 100;

}  // namespace

bool hasData(const ReceiveBuffer& b, int timeoutMs) { return b.pos < b.fill || isReadable(b.fd, timeoutMs); }

bool nextByte(ReceiveBuffer& b, char& byte) {
  if (b.pos >= b.fill) {
    const long got = receiveSome(b.fd, b.data.data(), b.data.size());
    b.pos = 0;
    b.fill = got > 0 ? static_cast<size_t>(got) : 0;
    if (b.fill == 0) return false;
  }
  byte = b.data[b.pos++];
  return true;
}

long takeSome(ReceiveBuffer& b, char* area, size_t size) {
  if (size == 0) return 0;
  if (b.pos >= b.fill) {
    if (size >= b.data.size()) return receiveSome(b.fd, area, size);
    const long got = receiveSome(b.fd, b.data.data(), b.data.size());
    b.pos = 0;
    b.fill = got > 0 ? static_cast<size_t>(got) : 0;
    if (b.fill == 0) return got;
  }
  const size_t n = std::min(size, b.fill - b.pos);
  std::memcpy(area, b.data.data() + b.pos, n);
  b.pos += n;
  return static_cast<long>(n);
}

LineResult receiveLine(ReceiveBuffer& b, std::string& line, size_t maxLength, Idle idle) {
  line.clear();
  while (line.size() < maxLength) {
    while (!hasData(b, kSliceMs)) {
      if (!idle()) return LineResult::GivenUp;
    }
    char c;
    if (!nextByte(b, c)) {
      if (line.empty()) return LineResult::End;
      if (line.back() == '\r') line.pop_back();
      return LineResult::Line;
    }
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      break;
    }
    line += c;
  }
  return LineResult::Line;
}

}  // namespace net
