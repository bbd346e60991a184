// The connection layer alone: the numeric host rule, connecting (refused,
// unknown, given up), and line reading from a loopback peer (line ends, the
// end of the connection, a line without end, giving a wait up).
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "net/receive_buffer.h"
#include "net/resolve.h"
#include "support/loopback.h"

namespace {

TEST(Hosts, NumericRuleBeforeTheResolver) {
  const struct {
    const char* host;
    bool numeric;
  } cases[] = {{"127.0.0.1", true},  {"255.255.255.255", true}, {"1.2.3", false},     {"1.2.3.300", false},
               {".1.2.3.4", false},  {"1.2.3.4.", false},       {"1..2.3", false},    {"0001.2.3.4", false},
               {"a.b.c.d", false},   {"localhost", false},      {"", false},          {"1.2.3.4.5.6.7.8", true}};
  for (const auto& c : cases) EXPECT_EQ(net::isNumericAddress(c.host), c.numeric) << c.host;
  in_addr a{};
  EXPECT_TRUE(net::resolveHost("127.0.0.1", a));
  EXPECT_EQ(ntohl(a.s_addr), INADDR_LOOPBACK);
  EXPECT_TRUE(net::resolveHost("localhost", a));
  EXPECT_FALSE(net::resolveHost("1.2.3.4.5", a));
}

// A loopback server that sends `bytes`, then closes unless told to hold on.
struct Peer {
  int listener = -1;
  uint16_t port = 0;
  std::thread thread;
  explicit Peer(std::string bytes, bool hold = false) {
    const nettest::Listener l = nettest::listenOnLoopback();
    listener = l.fd;
    port = l.port;
    thread = std::thread([this, bytes, hold] {
      const int fd = ::accept(listener, nullptr, nullptr);
      ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (hold) {
        char c;
        ::recv(fd, &c, 1, 0);  // until the client closes
      }
      ::close(fd);
    });
  }
  ~Peer() {
    thread.join();
    ::close(listener);
  }
};

bool forever() { return true; }

TEST(Lines, EndsAndTheEndOfTheConnection) {
  Peer peer("abc\r\ndef\nghi\r\r\n\r\n\nxyz");
  net::ReceiveBuffer b;
  b.fd = net::openConnection("127.0.0.1", peer.port, forever);
  ASSERT_GE(b.fd, 0);
  std::string line;
  for (const char* expected : {"abc", "def", "ghi\r", "", "", "xyz"}) {
    ASSERT_EQ(net::receiveLine(b, line, 1000, forever), net::LineResult::Line);
    EXPECT_EQ(line, expected);
  }
  for (int i = 0; i < 2; ++i) EXPECT_EQ(net::receiveLine(b, line, 1000, forever), net::LineResult::End);
  EXPECT_EQ(line, "");
  net::closeConnection(b.fd);
}

TEST(Lines, ALineWithoutEndComesInBoundedPieces) {
  const std::string big(10000, 'x');
  Peer peer(big + "\r\nok\r\n");
  net::ReceiveBuffer b;
  b.fd = net::openConnection("127.0.0.1", peer.port, forever);
  std::string line, joined;
  while (net::receiveLine(b, line, 4000, forever) == net::LineResult::Line) {
    EXPECT_LE(line.size(), 4000u);
    joined += line + "|";
  }
  EXPECT_EQ(joined, std::string(4000, 'x') + "|" + std::string(4000, 'x') + "|" + std::string(2000, 'x') + "|ok|");
  net::closeConnection(b.fd);
}

int g_idleCalls = 0;
bool giveUpAtThird() { return ++g_idleCalls < 3; }

TEST(Lines, AWaitCanBeGivenUpKeepingWhatCame) {
  Peer peer("part", true);
  net::ReceiveBuffer b;
  b.fd = net::openConnection("127.0.0.1", peer.port, forever);
  std::string line;
  g_idleCalls = 0;
  EXPECT_EQ(net::receiveLine(b, line, 1000, giveUpAtThird), net::LineResult::GivenUp);
  EXPECT_EQ(line, "part");
  EXPECT_EQ(g_idleCalls, 3);
  net::closeConnection(b.fd);
}

TEST(Connections, RefusedAndUnknownHostsGiveNone) {
  // A port just released has nobody listening.
  uint16_t port;
  {
    Peer peer("");
    port = peer.port;
    net::closeConnection(net::openConnection("127.0.0.1", port, forever));
  }
  EXPECT_EQ(net::openConnection("127.0.0.1", port, forever), -1);
  EXPECT_EQ(net::openConnection("no-such-host.invalid", 80, forever), -1);
}

TEST(Connections, AnUnansweredConnectCanBeGivenUp) {
  // A listener that never accepts, its queue filled: further connects get no
  // answer.
  const nettest::Listener l = nettest::listenOnLoopback(0);
  const int listener = l.fd;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(l.port);
  int fillers[4];
  for (int& f : fillers) {
    f = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    ::connect(f, reinterpret_cast<sockaddr*>(&a), sizeof a);
  }
  g_idleCalls = 0;
  EXPECT_EQ(net::openConnection("127.0.0.1", ntohs(a.sin_port), giveUpAtThird), -1);
  EXPECT_EQ(g_idleCalls, 3);
  for (const int f : fillers) ::close(f);
  ::close(listener);
}

}  // namespace
