// The web host's TLS: the generated CA is what a client must trust, and the
// certificate names the host.
#include <gtest/gtest.h>

#include <filesystem>

#include "client_rules.h"
#include "live_demo.h"

namespace {

namespace cr = client_rules;

class VitrineWebHostTls : public ::testing::Test {
 protected:
  void startDemo(const std::vector<std::string>& extra = {}, const std::string& stateDir = {}) {
    auto d = live::start(extra, stateDir);
    ASSERT_TRUE(d) << "vitrine-demo did not start";
    demo_ = *d;
  }
  void TearDown() override { EXPECT_EQ(live::stopCleanly(demo_), ""); }

  // The handshake's outcome: empty when verified, else why not.
  std::string handshake(const std::string& caFile, const std::string& host) {
    std::string error;
    auto c = live::connect(demo_.web, live::Tls{caFile, host}, &error);
    if (c) live::close(*c);
    return c ? std::string() : error.empty() ? "failed" : error;
  }

  live::Demo demo_;
};

TEST_F(VitrineWebHostTls, VerifiesOnlyWithTheGeneratedCaAndForItsNames) {
  startDemo();
  const std::string ca = demo_.stateDir + "/ca.pem";
  EXPECT_EQ(handshake(ca, "localhost"), "");
  EXPECT_NE(handshake("", "localhost"), "") << "the system's store alone must not trust it";
  EXPECT_NE(handshake(ca, "vitrine.example"), "") << "another host name";
}

TEST_F(VitrineWebHostTls, HostOptionNamesTheCertificateAndTheLinks) {
  startDemo({"--host", "vitrine.test"});
  EXPECT_EQ(handshake(demo_.stateDir + "/ca.pem", "vitrine.test"), "");
  EXPECT_EQ(handshake(demo_.stateDir + "/ca.pem", "localhost"), "") << "loopback names stay valid";
  const live::Answer a = live::ask(demo_, live::Server::web, live::clientRequest("/api/v1/listarfilme",
                                                                                 "{\"id_filme\":100}"));
  EXPECT_EQ(cr::cut(a.body, cr::kFilmLink), "https://vitrine.test:" + std::to_string(demo_.web) + "/midia/filmes/100.ogg");
  EXPECT_NE(live::readFile(demo_.stateDir + "/escuta-demo.ini").find("HOSTWEB=vitrine.test\r\n"), std::string::npos);
}

TEST_F(VitrineWebHostTls, CaIsKeptAcrossStartsAndTheServerCertificateIsNew) {
  startDemo();
  const std::string state = demo_.stateDir;
  const std::string ca = live::readFile(state + "/ca.pem"), server = live::readFile(state + "/server.pem");
  ASSERT_FALSE(ca.empty());
  ASSERT_EQ(live::stop(demo_, true), 0);
  const std::string firstDir = demo_.dir;
  startDemo({}, state);
  EXPECT_EQ(live::readFile(state + "/ca.pem"), ca);
  EXPECT_NE(live::readFile(state + "/server.pem"), server);
  EXPECT_EQ(handshake(state + "/ca.pem", "localhost"), "");
  std::filesystem::remove_all(firstDir);
}

TEST_F(VitrineWebHostTls, PlainHttpOnTheTlsPortGetsNoAnswerAndServiceGoesOn) {
  startDemo();
  auto c = live::connect(demo_.web, std::nullopt);
  ASSERT_TRUE(c);
  live::send(*c, "GET /contador.json HTTP/1.1\r\nHost: localhost\r\n\r\n");
  EXPECT_EQ(live::parse(live::receive(*c, 3000)).statusLine, "");
  live::close(*c);
  EXPECT_EQ(cr::statusCode(live::ask(demo_, live::Server::web, live::clientRequest("/contador.json")).statusLine),
            "200");
}

}  // namespace
