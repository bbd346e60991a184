// Peers that break the rules: bad requests, huge ones, silent ones, floods.
// Each gets a refusal or a closed connection, and the portal serves the next.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "client_rules.h"
#include "live_demo.h"

namespace {

namespace cr = client_rules;
using Clock = std::chrono::steady_clock;
constexpr int kTimeoutMs = 2000;

class VitrineHostilePeers : public ::testing::Test {
 protected:
  void SetUp() override {
    // Short enough for the waits below, long enough to serve a normal
    // request on a loaded machine.
    auto d = live::start({"--timeout", std::to_string(kTimeoutMs)});
    ASSERT_TRUE(d) << "vitrine-demo did not start";
    demo_ = *d;
  }
  void TearDown() override { EXPECT_EQ(live::stopCleanly(demo_), ""); }

  // Sends raw bytes on the notifications port and returns the answer.
  live::Answer raw(const std::string& bytes) {
    auto c = live::connect(demo_.notes, std::nullopt);
    if (!c) return {};
    live::send(*c, bytes);
    live::Answer a = live::parse(live::receive(*c, 3000));
    live::close(*c);
    return a;
  }

  void expectServing() {
    EXPECT_EQ(cr::statusCode(live::ask(demo_, live::Server::notes, live::clientRequest("/notificacoes")).statusLine),
              "200");
  }

  live::Demo demo_;
};

TEST_F(VitrineHostilePeers, MalformedRequestsAreRefusedWith400) {
  const char* cases[] = {
      "GARBAGE\r\n\r\n",
      "GET /notificacoes\r\n\r\n",
      "GET  /notificacoes HTTP/1.1\r\n\r\n",
      "GET /notificacoes HTTP/2.0\r\n\r\n",
      "GET notificacoes HTTP/1.1\r\n\r\n",
      "GET /notificacoes HTTP/1.1 extra\r\n\r\n",
      "GET /notificacoes HTTP/1.1\r\nSem dois pontos\r\n\r\n",
      "GET /notificacoes HTTP/1.1\r\n: sem nome\r\n\r\n",
      "GET /notificacoes HTTP/1.1\r\nContent-Length: abc\r\n\r\n",
      "GET /notificacoes HTTP/1.1\r\nContent-Length: -1\r\n\r\n",
      "GET /notificacoes HTTP/1.1\r\nContent-Length: 2\r\nContent-Length: 3\r\n\r\n{}",
      "GET /notificacoes HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n2\r\n{}\r\n0\r\n\r\n",
      "GET /notificacoes HTTP/1.1\r\nContent-Length: 5\r\n\r\nnope!",
  };
  for (const char* bytes : cases) {
    const live::Answer a = raw(bytes);
    EXPECT_EQ(cr::statusCode(a.statusLine), "400") << bytes;
    EXPECT_TRUE(a.ok) << bytes;
    expectServing();
  }
}

TEST_F(VitrineHostilePeers, LenientWhereHttpAllowsIt) {
  // Lone line feeds, blank lines before the request, a header name in any case.
  for (const char* bytes : {"GET /notificacoes HTTP/1.1\nHost: x\n\n", "\r\n\r\nGET /notificacoes HTTP/1.0\r\n\r\n",
                            "GET /notificacoes?x=1 HTTP/1.1\r\ncontent-LENGTH: 2\r\n\r\n{}"})
    EXPECT_EQ(cr::statusCode(raw(bytes).statusLine), "200") << bytes;
}

TEST_F(VitrineHostilePeers, OversizedRequestsAreRefusedWithoutReadingThem) {
  const auto begin = Clock::now();
  EXPECT_EQ(cr::statusCode(raw("GET /notificacoes HTTP/1.1\r\nContent-Length: 100000000\r\n\r\n").statusLine), "413");
  EXPECT_LT(Clock::now() - begin, std::chrono::seconds(2));
  EXPECT_EQ(cr::statusCode(raw("GET /notificacoes HTTP/1.1\r\nX-Grande: " + std::string(40000, 'a') + "\r\n\r\n")
                               .statusLine),
            "431");
  EXPECT_EQ(cr::statusCode(raw(std::string(40000, '\n')).statusLine), "431");
  expectServing();
}

TEST_F(VitrineHostilePeers, SilentAndHalfSpokenClientsAreLetGoAfterTheTimeout) {
  const auto begin = Clock::now();
  std::vector<live::Connection> silent;
  for (int i = 0; i < 5; ++i)
    if (auto c = live::connect(demo_.notes, std::nullopt)) silent.push_back(*c);
  auto half = live::connect(demo_.notes, std::nullopt);
  ASSERT_TRUE(half);
  live::send(*half, "GET /notificacoes HTTP/1.1\r\nHost: x\r\n");
  expectServing();  // others are served meanwhile

  const int wait = kTimeoutMs + 6000;
  EXPECT_EQ(cr::statusCode(live::parse(live::receive(*half, wait)).statusLine), "408");
  live::close(*half);
  for (live::Connection& c : silent) {
    EXPECT_EQ(live::receive(c, wait), "");
    live::close(c);
  }
  // Ended by the server, not by the wait running out.
  EXPECT_LT(Clock::now() - begin, std::chrono::milliseconds(wait));
}

TEST_F(VitrineHostilePeers, AFloodOfIdleConnectionsPassesAndServiceResumes) {
  std::vector<live::Connection> flood;
  for (int i = 0; i < 150; ++i)
    if (auto c = live::connect(i % 2 ? demo_.web : demo_.api, std::nullopt)) flood.push_back(*c);
  EXPECT_GT(flood.size(), 100u);
  std::this_thread::sleep_for(std::chrono::milliseconds(kTimeoutMs / 2));
  for (live::Connection& c : flood) live::close(c);
  expectServing();
  EXPECT_EQ(cr::statusCode(live::ask(demo_, live::Server::web, live::clientRequest("/contador.json")).statusLine),
            "200");
}

TEST_F(VitrineHostilePeers, PeersThatLeaveMidRequestOrSendNoiseOverTlsHarmNothing) {
  for (int i = 0; i < 5; ++i) {
    auto c = live::connect(demo_.notes, std::nullopt);
    ASSERT_TRUE(c);
    live::send(*c, "GET /notificacoes HTTP/1.1\r\nContent-Length: 50\r\n\r\n{\"a\":");
    live::close(*c);
    auto t = live::connect(demo_.web, std::nullopt);
    ASSERT_TRUE(t);
    live::send(*t, std::string("\x16\x03\x01\x00\x05hello", 10) + std::string(300, '\xff'));
    live::close(*t);
  }
  expectServing();
}

}  // namespace
