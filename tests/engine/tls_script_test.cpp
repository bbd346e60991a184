// Scripts on TLS channels against a loopback TLS server whose certificate
// comes from a test CA made at test time: refused by default, accepted with
// the CA file configured or with verification explicitly off, refused for a
// name the certificate does not cover; the server name is sent as written,
// and a plain channel works beside a TLS one.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <atomic>
#include <fstream>
#include <thread>

#include "engine/net_script_run.h"
#include "support/test_ca.h"

namespace {

using nettest::replaced;
using nettest::runScript;
using nettest::TestCa;

// A TLS server for one client: sends "ola" as a line, keeps what the client
// writes until it closes, and the server name the client asked for.
class TlsPeer {
 public:
  explicit TlsPeer(const TestCa& ca) {
    ctx_ = SSL_CTX_new(TLS_server_method());
    SSL_CTX_use_certificate_file(ctx_, ca.file("srv.pem").c_str(), SSL_FILETYPE_PEM);
    SSL_CTX_use_PrivateKey_file(ctx_, ca.file("srv.key").c_str(), SSL_FILETYPE_PEM);
    const nettest::Listener l = nettest::listenOnLoopback();
    listener_ = l.fd;
    port_ = l.port;
    thread_ = std::thread([this] { serve(); });
  }
  ~TlsPeer() {
    finish();
    ::close(listener_);
    SSL_CTX_free(ctx_);
  }
  uint16_t port() const { return port_; }
  void finish() {
    if (!thread_.joinable()) return;
    // Nobody may have come: a connection of our own ends the wait.
    if (!accepted_) ::close(nettest::connectTo(port_));
    thread_.join();
  }
  const std::string& received() { finish(); return received_; }
  const std::string& serverName() { finish(); return serverName_; }

 private:
  void serve() {
    const int fd = ::accept(listener_, nullptr, nullptr);
    accepted_ = true;
    timeval limit{20, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    SSL* ssl = SSL_new(ctx_);
    SSL_set_fd(ssl, fd);
    if (SSL_accept(ssl) > 0) {
      const char* name = SSL_get_servername(ssl, TLSEXT_NAMETYPE_host_name);
      serverName_ = name ? name : "";
      SSL_write(ssl, "ola\r\n", 5);
      char block[1024];
      int got;
      while ((got = SSL_read(ssl, block, sizeof block)) > 0) received_.append(block, static_cast<size_t>(got));
    } else {
      const char* name = SSL_get_servername(ssl, TLSEXT_NAMETYPE_host_name);
      serverName_ = name ? name : "";
    }
    SSL_free(ssl);
    ::close(fd);
  }
  SSL_CTX* ctx_ = nullptr;
  int listener_ = -1;
  uint16_t port_ = 0;
  std::atomic<bool> accepted_{false};
  std::thread thread_;
  std::string received_, serverName_;
};

constexpr char kTalk[] =
    "conecta ssl #1 HOST PORT &\ncheca s\nescreve mudo s\n"
    "se s = 0\n  le #1 a\n  escreve #1 \"oi \" a\n  escreve mudo a\n  fecha #1\nfim se\ntermina mudo\n";

TEST(TlsScript, VerifiesTheServer) {
  TestCa ca;
  ASSERT_TRUE(ca.ok());
  const std::string withCa = "[TLS]\r\nCERTIFICADOS=" + ca.file("ca.pem") + "\r\n";
  const struct {
    const char* name;
    std::string host, ini, shown, received;
  } cases[] = {
      {"the test CA is unknown to the system", "\"localhost\"", "", "1\\r\\n|", ""},
      {"accepted with the CA file", "\"localhost\"", withCa, "0\\r\\n|ola\\r\\n|", "oi ola\r\n"},
      {"a name the certificate does not cover", "\"127.0.0.1\"", withCa, "1\\r\\n|", ""},
      {"verification explicitly off", "\"127.0.0.1\"", "[TLS]\r\nVERIFICAR=NAO\r\n", "0\\r\\n|ola\\r\\n|",
       "oi ola\r\n"},
      {"anything but NAO keeps it on", "\"localhost\"", "[TLS]\r\nVERIFICAR=SIM\r\n", "1\\r\\n|", ""},
  };
  for (const auto& c : cases) {
    TlsPeer peer(ca);
    const std::string script = replaced(replaced(kTalk, "HOST", c.host), "PORT", std::to_string(peer.port()));
    EXPECT_EQ(runScript(script, "key Enter\n", c.ini).shown, c.shown) << c.name;
    EXPECT_EQ(peer.received(), c.received) << c.name;
    // The name is sent as written, a numeric address included.
    EXPECT_EQ(peer.serverName(), c.host.substr(1, c.host.size() - 2)) << c.name;
  }
}

// A server that takes the connection but never answers the handshake: Esc
// gives the wait up, as it does the connect's. The key is taken by the wait,
// so none is left waiting when the command has failed.
TEST(TlsScript, EscGivesUpAnUnansweredHandshake) {
  const nettest::Listener silent = nettest::listenOnLoopback();
  const std::string script = replaced(
      "conecta ssl #1 \"localhost\" PORT &\ncheca s\nobserva teclado t\nescreve mudo s \" \" t\ntermina mudo\n", "PORT",
      std::to_string(silent.port));
  const auto r = runScript(script, "wait 300\nkey Esc\n");
  ::close(silent.fd);
  EXPECT_EQ(r.shown, "1 0\\r\\n|");
}

TEST(TlsScript, APlainChannelBesideATlsOne) {
  TestCa ca;
  ASSERT_TRUE(ca.ok());
  TlsPeer secure(ca);
  // The plain peer: a line, then what comes until the client closes.
  const nettest::Listener l = nettest::listenOnLoopback();
  const int listener = l.fd;
  std::string plainGot;
  std::thread plain([listener, &plainGot] {
    const int fd = ::accept(listener, nullptr, nullptr);
    ::send(fd, "claro\r\n", 7, MSG_NOSIGNAL);
    char block[256];
    long got;
    while ((got = ::recv(fd, block, sizeof block, 0)) > 0) plainGot.append(block, static_cast<size_t>(got));
    ::close(fd);
  });
  const std::string script = replaced(replaced(
      "conecta ssl #1 \"localhost\" TLS\nconecta #2 \"127.0.0.1\" PLAIN\nle #2 b\nle #1 a\n"
      "escreve #2 \"p \" a\nfecha #2\nescreve #1 \"s \" b\nfecha #1\nescreve mudo a b\ntermina mudo\n",
      "TLS", std::to_string(secure.port())), "PLAIN", std::to_string(l.port));
  const auto r = runScript(script, "key Enter\n", "[TLS]\r\nCERTIFICADOS=" + ca.file("ca.pem") + "\r\n");
  plain.join();
  ::close(listener);
  EXPECT_EQ(r.shown, "olaclaro\\r\\n|");
  EXPECT_EQ(plainGot, "p ola\r\n");
  EXPECT_EQ(secure.received(), "s claro\r\n");
}

}  // namespace
