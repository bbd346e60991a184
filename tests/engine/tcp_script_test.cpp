// Scripts on TCP channels, run by roteiro headless against peers on
// loopback. Each case is a script (PORT stands for the peer's port), what
// the peer sends, what the peer must receive, and the lines the script shows.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <string>
#include <thread>

#include "engine/net_script_run.h"

namespace {

using nettest::connectTo;
using nettest::replaced;
using nettest::runScript;
using nettest::ScriptRun;

// A loopback server for one client: sends its bytes, closes its sending side
// unless told to hold on, and keeps what the client writes until it closes.
class Peer {
 public:
  Peer(std::string bytes, bool hold) {
    const nettest::Listener l = nettest::listenOnLoopback();
    listener_ = l.fd;
    port_ = l.port;
    thread_ = std::thread([this, bytes, hold] {
      timeval limit{20, 0};
      ::setsockopt(listener_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
      const int fd = ::accept(listener_, nullptr, nullptr);
      if (fd < 0) return;
      ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
      ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (!hold) ::shutdown(fd, SHUT_WR);
      char block[4096];
      long got;
      while ((got = ::recv(fd, block, sizeof block, 0)) > 0) received_.append(block, static_cast<size_t>(got));
      ::close(fd);
    });
  }
  ~Peer() {
    if (thread_.joinable()) thread_.join();
    ::close(listener_);
  }
  uint16_t port() const { return port_; }
  const std::string& received() {
    thread_.join();
    return received_;
  }

 private:
  int listener_ = -1;
  uint16_t port_ = 0;
  std::thread thread_;
  std::string received_;
};

struct Case {
  const char* name;
  std::string script, sends, receives, shown;
  bool hold = false;
  std::string keys = "key Enter\n";
  bool failed = false;
};

const Case kCases[] = {
    {"line ends, three letters then close, reading after FECHA",
     "conecta #1 \"127.0.0.1\" PORT\n"
     "seja i 0\nenquanto i < 5\n  soma i 1\n  le #1 a\n  checa s\n  escreve mudo \"[\" a \"]\" s\nfim enquanto\n"
     "fecha #1\nle #1 a\ncheca s\nescreve mudo \"fechado [\" a \"]\" s\ntermina mudo\n",
     "abc\r\ndef\nghi\r\r\nxyz", "",
     "[abc]0\\r\\n|[def]0\\r\\n|[ghi\\r]0\\r\\n|[xyz]0\\r\\n|[]1\\r\\n|fechado []1\\r\\n|"},
    {"writes: a line, an empty line, a text without line end",
     "conecta #1 \"127.0.0.1\" PORT\nescreve #1 \"um \" 2\ncheca s\nescreve #1 \"\"\ncheca t\n"
     "escreve #1 \"x\" &\ncheca u\nescreve mudo s t u\nfecha #1\ntermina mudo\n",
     "", "um 2\r\n\r\nx", "111\\r\\n|"},
    {"an empty text with \"&\" sends nothing; nothing at all before \"&\" is still a line end",
     "conecta #1 \"127.0.0.1\" PORT\nescreve #1 \"\" &\ncheca s\nescreve #1 &\ncheca t\n"
     "escreve mudo s t\nfecha #1\ntermina mudo\n",
     "", "\r\n", "01\\r\\n|"},
    {"quiet mode statuses",
     "conecta #1 \"127.0.0.1\" \"porta\" &\ncheca a\nconecta #2 \"127.0.0.1\" 1 &\ncheca b\n"
     "conecta #3 \"127.0.0.1\" PORT &\ncheca c\nescreve mudo a b c\nfecha #3\ntermina mudo\n",
     "", "", "210\\r\\n|"},
    {"a port that is not a number stops the script", "conecta #1 \"127.0.0.1\" \"porta\"\ntermina mudo\n", "", "",
     "Erro na porta TCP/IP|1|", false, "key Enter\n", true},
    {"a refused connection stops the script", "conecta #1 \"127.0.0.1\" 1\ntermina mudo\n", "", "",
     "Erro de conexao|1|", false, "key Enter\n", true},
    {"a TLS connect that fails leaves status 1",
     "conecta ssl #1 \"127.0.0.1\" 1 &\ncheca a\nescreve mudo a\ntermina mudo\n", "", "", "1\\r\\n|"},
    {"OBSERVA and IP on connections and on what is not one",
     "conecta #1 \"127.0.0.1\" PORT\nseja v 0\nseja i 0\nenquanto v = 0\n  soma i 1\n  observa #1 v\nfim enquanto\n"
     "observa #2 w\nip local #1 a\nip remoto #1 b\nescreve mudo v w \" \" a \" \" b\n"
     "abre #2 \"s.txt\"\nobserva #2 w\nescreve mudo w\nfecha #1\nip local #1 a\ntermina mudo\n",
     "x\n", "", "10 127.0.0.1 127.0.0.1\\r\\n|0\\r\\n|16|", false, "key Enter\n", true},
    {"Esc gives up a line that does not come",
     "conecta #1 \"127.0.0.1\" PORT\nle #1 a\ncheca s\nescreve mudo \"[\" a \"]\" s\nfecha #1\ntermina mudo\n",
     "meio", "", "[meio]1\\r\\n|", true, "wait 300\nkey Esc\n"},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class TcpScript : public ::testing::TestWithParam<Case> {};

TEST_P(TcpScript, TalksToItsPeer) {
  const Case& c = GetParam();
  Peer peer(c.sends, c.hold);
  const ScriptRun r = runScript(replaced(c.script, "PORT", std::to_string(peer.port())), c.keys);
  EXPECT_EQ(r.shown, c.shown);
  EXPECT_EQ(r.failed, c.failed);
  if (c.script.find("PORT") == std::string::npos) {
    // Nobody connects: wake the peer so that it ends.
    ::close(connectTo(peer.port()));
  }
  EXPECT_EQ(peer.received(), c.receives);
}

// SERVE waits for one client on loopback; the test is that client.
TEST(TcpServe, ServesOneClient) {
  const uint16_t port = nettest::freePort();
  std::string got;
  std::thread client([port, &got] {
    int fd = -1;
    for (int i = 0; i < 200 && (fd = connectTo(port)) < 0; ++i) usleep(50000);
    if (fd < 0) return;
    ::send(fd, "ola\r\n", 5, MSG_NOSIGNAL);
    char block[256];
    long n;
    while ((n = ::recv(fd, block, sizeof block, 0)) > 0) got.append(block, static_cast<size_t>(n));
    ::close(fd);
  });
  const ScriptRun r = runScript("serve #4 " + std::to_string(port) +
                              "\nle #4 a\nip remoto #4 b\nescreve #4 \"eco \" a\nfecha #4\nescreve mudo b\ntermina mudo\n",
                          "key Enter\n");
  client.join();
  EXPECT_EQ(got, "eco ola\r\n");
  EXPECT_EQ(r.shown, "127.0.0.1\\r\\n|");
}

INSTANTIATE_TEST_SUITE_P(Cases, TcpScript, ::testing::ValuesIn(kCases), [](const auto& param) {
  std::string name;
  for (const char* p = param.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return name;
});

}  // namespace
