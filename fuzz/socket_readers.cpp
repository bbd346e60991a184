// The readers of a connection, over a socket pair: the bytes are what the
// peer sent before closing; their first byte sets a bound the reader is
// given.
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/entries.h"
#include "net/http_answer.h"
#include "net/receive_buffer.h"

namespace fuzz {
namespace {

// More than the socket pair holds unread would block the write.
constexpr size_t kMaxSent = 100000;

bool giveUp() { return false; }

void require(bool promise) {
  if (!promise) std::abort();
}

// The reading end of a connection whose peer sent `bytes` and closed.
int connectionThatSent(std::string_view bytes) {
  int ends[2];
  require(socketpair(AF_UNIX, SOCK_STREAM, 0, ends) == 0);
  for (size_t sent = 0; sent < bytes.size();) {
    const ssize_t n = write(ends[1], bytes.data() + sent, bytes.size() - sent);
    require(n > 0);
    sent += static_cast<size_t>(n);
  }
  close(ends[1]);
  return ends[0];
}

}  // namespace

void lineReader(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > kMaxSent) return;
  const size_t maxLength = 1 + static_cast<unsigned char>(bytes[0]) % 200;
  bytes.remove_prefix(1);
  net::ReceiveBuffer buffer;
  buffer.fd = connectionThatSent(bytes);
  std::string line;
  size_t received = 0;
  for (;;) {
    line.clear();
    const net::LineResult result = net::receiveLine(buffer, line, maxLength, giveUp);
    require(line.size() <= maxLength);
    received += line.size();
    require(received <= bytes.size());
    if (result != net::LineResult::Line) break;
  }
  close(buffer.fd);
}

void httpAnswer(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > kMaxSent) return;
  std::vector<char> area(1 + static_cast<unsigned char>(bytes[0]));
  bytes.remove_prefix(1);
  net::ReceiveBuffer buffer;
  buffer.fd = connectionThatSent(bytes);
  net::AnswerHead head;
  if (net::readAnswerHead(buffer, head, giveUp) == net::HeadResult::Complete) {
    net::BodyReader reader = net::bodyReader(head);
    int64_t total = 0;
    // Each step takes at least one byte sent or ends, so this many always do.
    for (size_t step = 0; step <= bytes.size() + 1; ++step) {
      size_t got = 0;
      const net::BodyStep result = net::readBody(buffer, reader, area.data(), area.size(), got);
      require(got <= area.size());
      total += static_cast<int64_t>(got);
      require(total <= static_cast<int64_t>(bytes.size()));
      if (head.length >= 0 && !head.chunked) require(total <= head.length);
      if (result != net::BodyStep::Bytes) break;
    }
  }
  close(buffer.fd);
}

}  // namespace fuzz
