#include "net/http_answer.h"

#include <algorithm>
#include <cstring>

namespace net {
namespace {

// Bounds of a head: servers send far less, and a hostile one must not make
// us keep more.
constexpr size_t kMaxHeadLine = 8192;
constexpr size_t kMaxHeadBytes = 65536;
constexpr int kMaxHeadLines = 200;
// Chunk sizes above 15 hex digits, and extensions or trailers past this, are
// no honest framing.
constexpr int kMaxSizeDigits = 15;
constexpr int64_t kMaxSkipped = 65536;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool sameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// Decimal digits only, at most 18 of them (no overflow); -1 otherwise.
int64_t decimalOf(std::string_view s) {
  if (s.empty() || s.size() > 18) return -1;
  int64_t v = 0;
  for (const char c : s) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = lower(c);
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

}  // namespace

int statusOf(std::string_view statusLine) {
  const size_t blank = statusLine.find(' ');
  if (blank == std::string_view::npos || statusLine.size() < blank + 4) return 0;
  int code = 0;
  for (const char c : statusLine.substr(blank + 1, 3)) {
    if (c < '0' || c > '9') return 0;
    code = code * 10 + (c - '0');
  }
  return code;
}

void takeHeader(std::string_view line, AnswerHead& head) {
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) return;
  const std::string_view name = trimmed(line.substr(0, colon));
  const std::string_view value = trimmed(line.substr(colon + 1));
  if (sameNoCase(name, "Location")) {
    head.location = value;
  } else if (sameNoCase(name, "Content-Type")) {
    head.contentType = value;
  } else if (sameNoCase(name, "Content-Length")) {
    head.length = decimalOf(value);
  } else if (sameNoCase(name, "Transfer-Encoding")) {
    // The last coding applied is the one that frames the body.
    const size_t comma = value.rfind(',');
    head.chunked = sameNoCase(trimmed(comma == std::string_view::npos ? value : value.substr(comma + 1)), "chunked");
  } else if (sameNoCase(name, "Content-Range")) {
    // "bytes first-last/total", or "bytes */total" with a 416
    std::string_view range = value;
    if (range.size() < 6 || !sameNoCase(range.substr(0, 6), "bytes ")) return;
    range = trimmed(range.substr(6));
    head.rangeStart = decimalOf(range.substr(0, range.find('-')));
    const size_t slash = range.find('/');
    if (slash != std::string_view::npos) head.rangeTotal = decimalOf(trimmed(range.substr(slash + 1)));
  }
}

HeadResult readAnswerHead(ReceiveBuffer& b, AnswerHead& head, Idle idle) {
  std::string line;
  size_t total = 0;
  int lines = 0;
  bool statusLine = true;
  for (;;) {
    const LineResult r = receiveLine(b, line, kMaxHeadLine + 1, idle);
    if (r == LineResult::GivenUp) return HeadResult::GivenUp;
    if (r == LineResult::End || line.size() > kMaxHeadLine) return HeadResult::Broken;
    total += line.size() + 2;
    if (total > kMaxHeadBytes || ++lines > kMaxHeadLines) return HeadResult::Broken;
    if (statusLine) {
      head = AnswerHead{};
      head.status = statusOf(line);
      statusLine = false;
    } else if (line.empty()) {
      // An interim answer (100 Continue) is followed by the real one.
      if (head.status < 100 || head.status > 199) return HeadResult::Complete;
      statusLine = true;
    } else {
      takeHeader(line, head);
    }
  }
}

size_t decodeChunks(ChunkDecoder& d, char* data, size_t size) {
  using State = ChunkDecoder::State;
  size_t out = 0;
  size_t i = 0;
  // The size line is over: data follows, or the trailer after the last chunk.
  const auto sizeLineDone = [&d] {
    d.state = d.left == 0 ? State::Trailer : State::Data;
    d.sizeDigits = 0;
    d.skipped = 0;
  };
  while (i < size) {
    const char c = data[i];
    switch (d.state) {
      case State::Size: {
        const int v = hexDigit(c);
        if (v >= 0) {
          if (++d.sizeDigits > kMaxSizeDigits) d.state = State::Malformed;
          else d.left = d.left * 16 + v;
        } else if (d.sizeDigits == 0) {
          d.state = State::Malformed;
        } else if (c == ';' || c == ' ' || c == '\t') {
          d.state = State::Extension;
        } else if (c == '\r') {
          d.state = State::SizeEnd;
        } else if (c == '\n') {
          sizeLineDone();
        } else {
          d.state = State::Malformed;
        }
        ++i;
        break;
      }
      case State::Extension:
        if (c == '\n') sizeLineDone();
        else if (++d.skipped > kMaxSkipped) d.state = State::Malformed;
        ++i;
        break;
      case State::SizeEnd:
        if (c == '\n') sizeLineDone();
        else d.state = State::Malformed;
        ++i;
        break;
      case State::Data: {
        const size_t n = static_cast<size_t>(std::min<int64_t>(d.left, static_cast<int64_t>(size - i)));
        std::memmove(data + out, data + i, n);
        out += n;
        i += n;
        d.left -= static_cast<int64_t>(n);
        if (d.left == 0) d.state = State::DataEnd;
        break;
      }
      case State::DataEnd:
      case State::DataEndLf:
        if (c == '\n') {
          d.state = State::Size;
        } else if (c == '\r' && d.state == State::DataEnd) {
          d.state = State::DataEndLf;
        } else {
          d.state = State::Malformed;
        }
        ++i;
        break;
      case State::Trailer:
      case State::TrailerLine:
        // Trailer lines are skipped; an empty one ends the body.
        if (c == '\n') d.state = d.state == State::Trailer ? State::Done : State::Trailer;
        else if (c != '\r') d.state = State::TrailerLine;
        if (++d.skipped > kMaxSkipped) d.state = State::Malformed;
        ++i;
        break;
      case State::Done:
      case State::Malformed:
        return out;
    }
  }
  return out;
}

BodyReader bodyReader(const AnswerHead& head) {
  BodyReader r;
  if (head.chunked) {
    r.framing = BodyReader::Framing::Chunked;
  } else if (head.length >= 0) {
    r.framing = BodyReader::Framing::Length;
    r.left = head.length;
  }
  return r;
}

BodyStep readBody(ReceiveBuffer& b, BodyReader& r, char* area, size_t size, size_t& got) {
  using Framing = BodyReader::Framing;
  using State = ChunkDecoder::State;
  got = 0;
  if (r.framing == Framing::Length) {
    if (r.left <= 0) return BodyStep::End;
    const long n = takeSome(b, area, static_cast<size_t>(std::min<int64_t>(r.left, static_cast<int64_t>(size))));
    if (n <= 0) return BodyStep::CutShort;
    r.left -= n;
    got = static_cast<size_t>(n);
    return BodyStep::Bytes;
  }
  if (r.framing == Framing::UntilClose) {
    const long n = takeSome(b, area, size);
    if (n <= 0) return BodyStep::End;
    got = static_cast<size_t>(n);
    return BodyStep::Bytes;
  }
  if (r.chunks.state == State::Done) return BodyStep::End;
  if (r.chunks.state == State::Malformed) return BodyStep::Malformed;
  const long n = takeSome(b, area, size);
  if (n <= 0) return BodyStep::CutShort;
  got = decodeChunks(r.chunks, area, static_cast<size_t>(n));
  if (got == 0 && r.chunks.state == State::Malformed) return BodyStep::Malformed;
  if (got == 0 && r.chunks.state == State::Done) return BodyStep::End;
  return BodyStep::Bytes;
}

}  // namespace net
