// The answer of a web server, as the web commands read it: the status line,
// the few headers they act on, then the body, framed by its length, by
// chunks, or by the end of the connection. Everything a server sends is
// untrusted: lines and the whole head are bounded, and a body never needs
// more memory than the caller's area.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "net/receive_buffer.h"

namespace net {

struct AnswerHead {
  int status = 0;            // 0 when the status line holds no code
  std::string location;      // Location; empty when none
  std::string contentType;   // trimmed
  int64_t length = -1;       // Content-Length; -1 when absent or not a number
  bool chunked = false;      // Transfer-Encoding: chunked
  int64_t rangeStart = -1;   // first byte of Content-Range; -1 when absent
  int64_t rangeTotal = -1;   // the whole's length after its "/"; -1 when absent or "*"
};

// The three characters after the first blank of the status line, when they
// are three digits; else 0.
int statusOf(std::string_view statusLine);

// Takes what the head keeps from one header line; other lines change nothing.
void takeHeader(std::string_view line, AnswerHead& head);

enum class HeadResult { Complete, Broken, GivenUp };

// Reads the status line and the headers up to the empty line. Broken: the
// connection ended first, or a line or the whole head went past its bound.
// GivenUp: the idle step gave the wait up.
HeadResult readAnswerHead(ReceiveBuffer& b, AnswerHead& head, Idle idle);

// Undoes chunked framing in place, block by block, keeping only its state:
// the size lines, their extensions, the line ends and the trailer go, the
// data stays.
struct ChunkDecoder {
  enum class State { Size, Extension, SizeEnd, Data, DataEnd, DataEndLf, Trailer, TrailerLine, Done, Malformed };
  State state = State::Size;
  int64_t left = 0;      // data bytes left in the current chunk
  int sizeDigits = 0;
  int64_t skipped = 0;   // bytes of extensions or trailer passed over
};

// Decodes `size` bytes at `data` into the front of the same area; the
// number of data bytes kept. Stops at the last chunk's end (Done) or at
// bytes that are no chunk framing (Malformed).
size_t decodeChunks(ChunkDecoder& d, char* data, size_t size);

// How the body of an answer is framed and how much of it is left.
struct BodyReader {
  enum class Framing { Length, Chunked, UntilClose };
  Framing framing = Framing::UntilClose;
  int64_t left = 0;  // Length: bytes still to come
  ChunkDecoder chunks;
};

// Chunks when the answer says so, else its length when it has one, else up
// to the end of the connection.
BodyReader bodyReader(const AnswerHead& head);

enum class BodyStep {
  Bytes,      // `got` bytes of the body (possibly 0: only framing came)
  End,        // the body is complete
  CutShort,   // the connection ended before the body did
  Malformed,  // the chunk framing is broken
};

// One read of the body into area: what the receive buffer holds, or else one
// receive from the connection, which waits when nothing has arrived (check
// hasData first to keep waits short).
BodyStep readBody(ReceiveBuffer& b, BodyReader& r, char* area, size_t size, size_t& got);

}  // namespace net
