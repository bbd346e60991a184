// The receive buffer of a connection: lines are built byte by byte from it,
// and the system is asked only once per 4096 bytes.
#pragma once
#include <array>
#include <string>

#include "net/connection.h"

namespace net {

struct ReceiveBuffer {
  int fd = -1;
  std::array<char, 4096> data{};
  size_t pos = 0;
  size_t fill = 0;
};

// Bytes are waiting in the buffer, or the socket is readable within
// timeoutMs.
bool hasData(const ReceiveBuffer& b, int timeoutMs);

// The next byte; false at the end of the connection or on a read error.
bool nextByte(ReceiveBuffer& b, char& byte);

// Up to size bytes: those the buffer holds, or else one receive, straight
// into area when that is at least as large as the buffer. 0 or less: the
// connection ended or failed.
long takeSome(ReceiveBuffer& b, char* area, size_t size);

enum class LineResult { Line, End, GivenUp };

// Reads up to a line feed, which is dropped together with one carriage
// return before it. Text that ends with the connection is a line. A line
// reaching maxLength is handed back as it is and the rest comes next, so a
// line without end never fills the memory. While nothing arrives the idle
// step runs about ten times a second; when it returns false the wait ends
// (GivenUp) and what was read so far stays in `line`.
LineResult receiveLine(ReceiveBuffer& b, std::string& line, size_t maxLength, Idle idle);

}  // namespace net
