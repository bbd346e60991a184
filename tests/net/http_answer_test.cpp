// The parts of a web answer, alone: the status code, the headers kept, chunk
// decoding however the bytes are cut, a head read from a connection with its
// bounds, bodies of each framing, page lines, and the requests' texts.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "net/http_answer.h"
#include "net/http_request.h"
#include "net/page_lines.h"

namespace {

TEST(HttpAnswer, StatusCode) {
  const struct {
    const char* line;
    int status;
  } cases[] = {{"HTTP/1.1 200 OK", 200}, {"HTTP/1.0 404 Not Found", 404}, {"HTTP/1.1 206", 206},
               {"HTTP/1.1 20", 0},       {"HTTP/1.1 2x0 OK", 0},          {"HTTP/1.1", 0},
               {"", 0},                  {"x 301 y", 301}};
  for (const auto& c : cases) EXPECT_EQ(net::statusOf(c.line), c.status) << c.line;
}

TEST(HttpAnswer, HeadersKept) {
  net::AnswerHead h;
  for (const char* line : {"location: http://h/x", "Content-Type:  audio/mpeg  ", "CONTENT-LENGTH: 1234",
                           "Transfer-Encoding: gzip, chunked", "Content-Range: bytes 1000-1233/2234",
                           "Content-Location: nao", "X-Outro: 5", "sem dois pontos"}) {
    net::takeHeader(line, h);
  }
  EXPECT_EQ(h.location, "http://h/x");
  EXPECT_EQ(h.contentType, "audio/mpeg");
  EXPECT_EQ(h.length, 1234);
  EXPECT_TRUE(h.chunked);
  EXPECT_EQ(h.rangeStart, 1000);
  EXPECT_EQ(h.rangeTotal, 2234);
  for (const auto& [range, total] : {std::pair{"bytes */5000", 5000}, {"bytes 0-9/*", -1}, {"bytes 0-9", -1}}) {
    net::AnswerHead r;
    net::takeHeader(std::string("Content-Range: ") + range, r);
    EXPECT_EQ(r.rangeTotal, total) << range;
  }
  // Lengths that are no plain number are no length at all.
  for (const char* text : {"-5", "12a", "", "1234567890123456789012"}) {
    net::AnswerHead other;
    net::takeHeader(std::string("Content-Length: ") + text, other);
    EXPECT_EQ(other.length, -1) << text;
  }
  net::AnswerHead gzip;
  net::takeHeader("Transfer-Encoding: chunked, gzip", gzip);
  EXPECT_FALSE(gzip.chunked);
}

// Decodes `framed` cut into pieces of `piece` bytes.
std::string decoded(const std::string& framed, size_t piece, net::ChunkDecoder::State& end) {
  net::ChunkDecoder d;
  std::string out;
  for (size_t at = 0; at < framed.size(); at += piece) {
    std::string block = framed.substr(at, piece);
    out.append(block.data(), net::decodeChunks(d, block.data(), block.size()));
  }
  end = d.state;
  return out;
}

TEST(HttpAnswer, ChunksHoweverTheBytesAreCut) {
  using State = net::ChunkDecoder::State;
  const struct {
    const char* name;
    std::string framed, data;
    State end;
  } cases[] = {
      {"plain", "5\r\nabcde\r\n3\r\nfgh\r\n0\r\n\r\n", "abcdefgh", State::Done},
      {"hex in either case, extensions, a trailer", "A;n=v\r\n0123456789\r\nb \r\nabcdefghijk\r\n0\r\nT: 1\r\n\r\n",
       "0123456789abcdefghijk", State::Done},
      {"bare line feeds", "2\nab\n0\n\n", "ab", State::Done},
      {"bytes after the end are left", "1\r\nx\r\n0\r\n\r\nHTTP/1.1 200", "x", State::Done},
      {"not yet ended", "4\r\nabcd\r\n", "abcd", State::Size},
      {"a size that is no number", "zz\r\n", "", State::Malformed},
      {"data longer than its size", "2\r\nabc\r\n", "ab", State::Malformed},
      {"a size of too many digits", "1000000000000000\r\n", "", State::Malformed},
      {"an empty size line", "\r\n", "", State::Malformed},
  };
  for (const auto& c : cases) {
    for (const size_t piece : {size_t{1}, size_t{2}, size_t{7}, c.framed.size()}) {
      State end;
      EXPECT_EQ(decoded(c.framed, piece, end), c.data) << c.name << " in pieces of " << piece;
      EXPECT_EQ(end, c.end) << c.name << " in pieces of " << piece;
    }
  }
  // An endless trailer is refused, not kept.
  State end;
  decoded("0\r\n" + std::string(100000, 'x'), 4096, end);
  EXPECT_EQ(end, State::Malformed);
}

// A connection whose other end sends `bytes` and closes.
struct FakeServer {
  int fds[2];
  std::thread writer;
  net::ReceiveBuffer b;
  explicit FakeServer(std::string bytes) {
    ::socketpair(AF_UNIX, SOCK_STREAM, 0, fds);
    writer = std::thread([this, bytes] {
      ::send(fds[1], bytes.data(), bytes.size(), MSG_NOSIGNAL);
      ::close(fds[1]);
    });
    b.fd = fds[0];
  }
  ~FakeServer() {
    ::close(fds[0]);  // a writer still sending then gives up
    writer.join();
  }
};

bool forever() { return true; }

TEST(HttpAnswer, HeadsAndTheirBounds) {
  const std::string ok = "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n";
  const struct {
    const char* name;
    std::string bytes;
    net::HeadResult result;
    int status;
  } cases[] = {
      {"a head", ok + "abc", net::HeadResult::Complete, 200},
      {"bare line feeds", "HTTP/1.1 302 Found\nLocation: /x\n\n", net::HeadResult::Complete, 302},
      {"an interim answer first", "HTTP/1.1 100 Continue\r\n\r\n" + ok, net::HeadResult::Complete, 200},
      {"ended before the empty line", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n", net::HeadResult::Broken, 200},
      {"nothing at all", "", net::HeadResult::Broken, 0},
      {"a line too long", "HTTP/1.1 200 OK\r\nX: " + std::string(10000, 'a') + "\r\n\r\n", net::HeadResult::Broken, 200},
      {"too many lines", "HTTP/1.1 200 OK\r\n" + [] {
         std::string many;
         for (int i = 0; i < 300; ++i) many += "X: y\r\n";
         return many;
       }(), net::HeadResult::Broken, 200},
      {"too many bytes", "HTTP/1.1 200 OK\r\n" + [] {
         std::string many;
         for (int i = 0; i < 150; ++i) many += "X: " + std::string(1000, 'a') + "\r\n";
         return many;
       }(), net::HeadResult::Broken, 200},
  };
  for (const auto& c : cases) {
    FakeServer server(c.bytes);
    net::AnswerHead head;
    EXPECT_EQ(net::readAnswerHead(server.b, head, forever), c.result) << c.name;
    EXPECT_EQ(head.status, c.status) << c.name;
  }
}

// The body of an answer read to its end in reads of at most 1000 bytes.
std::string body(const std::string& answer, net::BodyStep& last) {
  FakeServer server(answer);
  net::AnswerHead head;
  EXPECT_EQ(net::readAnswerHead(server.b, head, forever), net::HeadResult::Complete);
  net::BodyReader reader = net::bodyReader(head);
  std::string out;
  char area[1000];
  size_t got;
  while ((last = net::readBody(server.b, reader, area, sizeof area, got)) == net::BodyStep::Bytes) out.append(area, got);
  return out;
}

TEST(HttpAnswer, BodiesOfEachFraming) {
  const std::string big(5000, 'b');
  const struct {
    const char* name;
    std::string answer, body;
    net::BodyStep last;
  } cases[] = {
      {"a length, and bytes past it left", "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + big + "resto", big,
       net::BodyStep::End},
      {"a length not reached", "HTTP/1.1 200 OK\r\nContent-Length: 6000\r\n\r\n" + big, big, net::BodyStep::CutShort},
      {"no length: up to the end", "HTTP/1.1 200 OK\r\n\r\n" + big, big, net::BodyStep::End},
      {"chunks over a length", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n",
       "abc", net::BodyStep::End},
      {"chunks cut short", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1388\r\n" + big, big,
       net::BodyStep::CutShort},
      {"chunks broken", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabcd\r\n", "abc",
       net::BodyStep::Malformed},
  };
  for (const auto& c : cases) {
    net::BodyStep last;
    EXPECT_EQ(body(c.answer, last), c.body) << c.name;
    EXPECT_EQ(last, c.last) << c.name;
  }
}

TEST(HttpAnswer, PageLines) {
  const struct {
    std::string body, text;
  } cases[] = {
      {"", "\r\n"},
      {"a\nb\n", "a\r\nb\r\n\r\n"},
      {"a\r\nb", "a\r\nb\r\n\r\n"},
      {"a\r\r\nb\rc\r", "a\r\r\nb\rc\r\n\r\n"},
      {"\r", "\r\n\r\n"},
      {"\n\n", "\r\n\r\n\r\n"},
  };
  for (const auto& c : cases) {
    // Fed whole and byte by byte, the same text.
    for (const size_t piece : {c.body.size() + 1, size_t{1}}) {
      net::PageLines p;
      std::string out;
      for (size_t at = 0; at < c.body.size(); at += piece) net::feedPageLines(p, c.body.substr(at, piece), out);
      net::finishPageLines(p, out);
      EXPECT_EQ(out, c.text) << testing::PrintToString(c.body);
    }
  }
}

TEST(HttpRequest, Texts) {
  const net::Url u = net::splitUrl("http://exemplo.com.br:8080/a/b.mp3");
  EXPECT_EQ(net::downloadRequest(u, "agente", "", -1),
            "GET /a/b.mp3 HTTP/1.1\r\nUser-Agent: agente\r\nAccept: */*\r\nAccept-Encoding: identity\r\n"
            "Host: exemplo.com.br\r\nConnection: Close\r\n\r\n");
  EXPECT_EQ(net::downloadRequest(net::splitUrl("http://h"), "a", "k=v", 1000),
            "GET / HTTP/1.1\r\nUser-Agent: a\r\nAccept: */*\r\nAccept-Encoding: identity\r\nHost: h\r\n"
            "Connection: Close\r\nRange: bytes=1000-\r\nCookie: k=v\r\n\r\n");
  EXPECT_EQ(net::pageRequest(u, "agente", ""),
            "GET /a/b.mp3 HTTP/1.1\r\nHost: exemplo.com.br\r\nUser-Agent: agente\r\nConnection: close\r\n"
            "Accept-Language: pt-br\r\nUA-CPU: x86\r\n\r\n");
}

}  // namespace
