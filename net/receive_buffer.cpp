#include "net/receive_buffer.h"

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
