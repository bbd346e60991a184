#include <gtest/gtest.h>

#include "http_request.h"

namespace {

using vitrine::ParseStatus;

TEST(VitrineRequestParser, ReadsRequestsAsTheClientWritesThem) {
  struct Case {
    std::string bytes;
    ParseStatus status;
    std::string method, path, body;
  };
  const std::string search = "{\"nome_filme\":\"Missão\",\"pagina\":1}";
  const Case cases[] = {
      // Registration: POST with no body and no Content-Length is whole at its empty line.
      {"POST /conectar HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: Telinha\r\nAccept: */*\r\nConnection: Close\r\n\r\n",
       ParseStatus::complete, "POST", "/conectar", ""},
      {"DELETE /desconectar HTTP/1.1\r\nHost: h\r\n\r\n", ParseStatus::complete, "DELETE", "/desconectar", ""},
      // GET with a JSON body, and the empty line the client adds after it.
      {"GET /api/v1/listarfilme HTTP/1.1\r\nContent-Type: Application/json\r\nContent-length: " +
           std::to_string(search.size()) + "\r\n\r\n" + search + "\r\n\r\n",
       ParseStatus::complete, "GET", "/api/v1/listarfilme", search},
      {"GET /a?b=c HTTP/1.0\n\n", ParseStatus::complete, "GET", "/a", ""},
      {"\r\n\r\nGET /a HTTP/1.1\r\n\r\n", ParseStatus::complete, "GET", "/a", ""},
      // Not yet whole.
      {"", ParseStatus::incomplete, "", "", ""},
      {"GET /a HTTP/1.1\r\nHost: x\r\n", ParseStatus::incomplete, "", "", ""},
      {"GET /a HTTP/1.1\r\nContent-Length: 4\r\n\r\n{}", ParseStatus::incomplete, "", "", ""},
      // Malformed.
      {"GET /a\r\n\r\n", ParseStatus::malformed, "", "", ""},
      {"GET /a HTTP/1.1 \r\n\r\n", ParseStatus::malformed, "", "", ""},
      {"G(T /a HTTP/1.1\r\n\r\n", ParseStatus::malformed, "", "", ""},
      {"GET http://x/a HTTP/1.1\r\n\r\n", ParseStatus::malformed, "", "", ""},
      {"GET /a HTTP/1.1\r\n folded\r\n\r\n", ParseStatus::malformed, "", "", ""},
      {"GET /a HTTP/1.1\r\nContent-Length: 1x\r\n\r\n", ParseStatus::malformed, "", "", ""},
      {"GET /a HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", ParseStatus::malformed, "", "", ""},
      // Too large.
      {"GET /a HTTP/1.1\r\nContent-Length: 65537\r\n\r\n", ParseStatus::bodyTooLarge, "", "", ""},
      {"GET /a HTTP/1.1\r\nX: " + std::string(17000, 'a'), ParseStatus::headTooLarge, "", "", ""},
  };
  for (const Case& c : cases) {
    const auto r = vitrine::parseRequest(c.bytes, {});
    EXPECT_EQ(r.status, c.status) << c.bytes.substr(0, 80);
    if (c.status != ParseStatus::complete) continue;
    EXPECT_EQ(r.request.method, c.method);
    EXPECT_EQ(r.request.path, c.path);
    EXPECT_EQ(r.request.body, c.body);
    EXPECT_EQ(c.bytes.substr(0, r.request.size).size(), r.request.size);
    EXPECT_TRUE(c.bytes.substr(0, r.request.size).ends_with(c.body.empty() ? "\n" : c.body));
  }
}

TEST(VitrineRequestParser, HeadersAreFoundWhateverTheirCase) {
  const auto r = vitrine::parseRequest("GET / HTTP/1.1\r\nRANGE:  bytes=10- \r\n\r\n", {});
  ASSERT_EQ(r.status, ParseStatus::complete);
  EXPECT_EQ(vitrine::headerValue(r.request, "range"), "bytes=10-");
  EXPECT_FALSE(vitrine::headerValue(r.request, "Host"));
}

}  // namespace
