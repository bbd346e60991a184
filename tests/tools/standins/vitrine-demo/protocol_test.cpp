// The portal's protocol around the catalogue: sessions and the online count,
// methods and paths, the updater's folder, media, the request log, and the
// options that make answers fail or wait.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

#include "client_rules.h"
#include "live_demo.h"

namespace {

namespace cr = client_rules;
using Clock = std::chrono::steady_clock;

// The registration and its end, line by line as the client and companion send them.
const std::vector<std::string> kConnect{"POST /conectar HTTP/1.1", "Host: 127.0.0.1", "User-Agent: Telinha",
                                        "Accept: */*", "Connection: Close", ""};
const std::vector<std::string> kDisconnect{"DELETE /desconectar HTTP/1.1", "Host: 127.0.0.1", "User-Agent: Telinha",
                                           "Accept: */*", "Connection: Close", ""};

class VitrineProtocol : public ::testing::Test {
 protected:
  void startDemo(const std::vector<std::string>& extra = {}) {
    auto d = live::start(extra);
    ASSERT_TRUE(d) << "vitrine-demo did not start";
    demo_ = *d;
  }
  void TearDown() override { EXPECT_EQ(live::stopCleanly(demo_), ""); }

  std::string online() {
    const live::Answer a = live::ask(demo_, live::Server::web, live::clientRequest("/contador.json"));
    EXPECT_TRUE(a.ok);
    return cr::onlineCount(a.body).value_or("none");
  }

  live::Answer webGet(const std::string& path, const std::vector<std::string>& headers = {}) {
    std::vector<std::string> lines{"GET " + path + " HTTP/1.1", "User-Agent: ", "Accept: */*",
                                   "Accept-Encoding: identity", "Host: localhost", "Connection: Close"};
    lines.insert(lines.end(), headers.begin(), headers.end());
    lines.push_back("");
    return live::ask(demo_, live::Server::web, lines);
  }

  live::Demo demo_;
};

TEST_F(VitrineProtocol, SessionsMoveTheOnlineCountOnItsOwnLine) {
  startDemo();
  EXPECT_EQ(online(), "3");  // the fixture's other users
  for (const char* expected : {"4", "5"}) {
    const live::Answer a = live::ask(demo_, live::Server::api, kConnect);
    EXPECT_EQ(cr::statusCode(a.statusLine), "200") << a.raw;
    EXPECT_EQ(online(), expected);
  }
  for (const char* expected : {"4", "3", "3"}) {  // more ends than starts stop at the others
    const live::Answer a = live::ask(demo_, live::Server::api, kDisconnect);
    EXPECT_EQ(cr::statusCode(a.statusLine), "200") << a.raw;
    EXPECT_EQ(online(), expected);
  }
}

TEST_F(VitrineProtocol, BodilessPostIsAnsweredAtOnce) {
  // A server that waited for a body it was never told about would hold the
  // client until its timeout.
  startDemo({"--timeout", "8000"});
  const auto begin = Clock::now();
  const live::Answer a = live::ask(demo_, live::Server::api, kConnect);
  EXPECT_LT(Clock::now() - begin, std::chrono::seconds(3));
  EXPECT_EQ(a.statusLine, "HTTP/1.1 200 OK");
  EXPECT_TRUE(a.ok);
}

TEST_F(VitrineProtocol, MethodsAndPathsOfEachServer) {
  startDemo();
  struct Case {
    live::Server server;
    std::string method, path;
    const char* status;
  };
  const Case cases[] = {
      {live::Server::api, "POST ", "/conectar", "200"},       {live::Server::api, "DELETE ", "/desconectar", "200"},
      {live::Server::api, "GET ", "/conectar", "405"},        {live::Server::api, "POST ", "/desconectar", "405"},
      {live::Server::api, "GET ", "/notificacoes", "404"},    {live::Server::notes, "GET ", "/notificacoes", "200"},
      {live::Server::notes, "POST ", "/notificacoes", "405"}, {live::Server::notes, "GET ", "/conectar", "404"},
      {live::Server::web, "GET ", "/contador.json", "200"},   {live::Server::web, "POST ", "/api/v1/listarfilme", "405"},
      {live::Server::web, "GET ", "/api/v1/nada", "404"},     {live::Server::web, "GET ", "/", "404"},
      {live::Server::web, "GET ", "/notificacoes", "404"},
  };
  for (const Case& c : cases) {
    const live::Answer a = live::ask(demo_, c.server, live::clientRequest(c.path, {}, c.method));
    EXPECT_EQ(cr::statusCode(a.statusLine), c.status) << c.method << c.path;
    EXPECT_TRUE(a.ok) << c.method << c.path;
    if (std::string(c.status) == "405") {
      EXPECT_TRUE(a.header("Allow")) << c.path;
    }
  }
}

TEST_F(VitrineProtocol, VersionFileAndUpdateArchivesOfTheUpdatesFolder) {
  const std::string dir = (std::filesystem::temp_directory_path() / ("vitrine-updates-" + std::to_string(::getpid()))).string();
  std::filesystem::create_directories(dir);
  std::string archive(3000, '\0');
  for (size_t i = 0; i < archive.size(); ++i) archive[i] = static_cast<char>(i * 7);
  std::ofstream(dir + "/telinha_version.txt", std::ios::binary) << "telinha\r\n3.1\r\n";
  std::ofstream(dir + "/telinha-3.1-update.7z", std::ios::binary) << archive;
  std::ofstream(dir + "/.oculto", std::ios::binary) << "x";
  startDemo({"--updates", dir});

  const live::Answer version = webGet("/gdrive/software/mantenedor/telinha_version.txt");
  EXPECT_EQ(cr::statusCode(version.statusLine), "200");
  EXPECT_EQ(cr::latestVersion(version.body), "3.1");
  const live::Answer whole = webGet("/gdrive/software/mantenedor/telinha-3.1-update.7z");
  EXPECT_TRUE(whole.ok);
  EXPECT_EQ(whole.body, archive);
  EXPECT_EQ(whole.header("Content-Type"), "application/x-7z-compressed");
  const live::Answer resumed = webGet("/gdrive/software/mantenedor/telinha-3.1-update.7z", {"Range: bytes=1000-"});
  EXPECT_EQ(cr::statusCode(resumed.statusLine), "206");
  EXPECT_EQ(resumed.body, archive.substr(1000));
  for (const char* name : {".oculto", "nada.7z", "..%2Fcatalogo.json", "../state/ca-key.pem", ""})
    EXPECT_EQ(cr::statusCode(webGet(std::string("/gdrive/software/mantenedor/") + name).statusLine), "404") << name;
  std::filesystem::remove_all(dir);
}

TEST_F(VitrineProtocol, DefaultVersionFileAnnouncesTheFixturesVersion) {
  startDemo();
  const live::Answer a = webGet("/gdrive/software/mantenedor/telinha_version.txt");
  EXPECT_EQ(cr::statusCode(a.statusLine), "200");
  const std::string file = live::readFile(std::string(FIXTURE_DIR) + "/mantenedor/telinha_version.txt");
  EXPECT_EQ(a.body, file);
  EXPECT_EQ(cr::latestVersion(a.body), "3.0");
}

TEST_F(VitrineProtocol, MediaLinksServeAudioWholeOrResumed) {
  startDemo();
  const live::Answer details = live::ask(demo_, live::Server::web,
                                         live::clientRequest("/api/v1/listarfilme", "{\"id_filme\":117}"));
  const auto link = cr::cut(details.body, cr::kFilmLink);
  ASSERT_TRUE(link);
  const std::string path = link->substr(link->find("/midia/"));
  const live::Answer whole = webGet(path);
  ASSERT_EQ(cr::statusCode(whole.statusLine), "200");
  EXPECT_TRUE(whole.ok);
  EXPECT_EQ(whole.header("Content-Type"), "audio/ogg");
  EXPECT_TRUE(whole.body.starts_with("OggS"));
  ASSERT_GT(whole.body.size(), 2000u);

  // A download resumed from a partial file, as the client's download does.
  const live::Answer rest = webGet(path, {"Range: bytes=1000-"});
  EXPECT_EQ(cr::statusCode(rest.statusLine), "206");
  EXPECT_EQ(rest.header("Content-Range"),
            "bytes 1000-" + std::to_string(whole.body.size() - 1) + "/" + std::to_string(whole.body.size()));
  EXPECT_EQ(whole.body.substr(0, 1000) + rest.body, whole.body);
  EXPECT_EQ(cr::statusCode(webGet(path, {"Range: bytes=" + std::to_string(whole.body.size()) + "-"}).statusLine),
            "416");
  EXPECT_EQ(webGet(path, {"Range: bytes=-10"}).body, whole.body.substr(whole.body.size() - 10));

  for (const char* other : {"/midia/episodios/200101.ogg", "/midia/novelas/301/130.ogg"})
    EXPECT_EQ(cr::statusCode(webGet(other).statusLine), "200") << other;
  for (const char* missing : {"/midia/filmes/999999.ogg", "/midia/novelas/301/131.ogg", "/midia/novelas/301/0.ogg",
                              "/midia/episodios/200199.ogg", "/midia/filmes/117.mp3"})
    EXPECT_EQ(cr::statusCode(webGet(missing).statusLine), "404") << missing;
}

TEST_F(VitrineProtocol, LogHoldsEachRequestExactlyAsSent) {
  startDemo();
  const std::string body = "{\"nome_filme\":\"Missão\",\"pagina\":1}";
  const auto lines = live::clientRequest("/api/v1/listarfilme", body);
  ASSERT_EQ(cr::statusCode(live::ask(demo_, live::Server::web, lines).statusLine), "200");
  ASSERT_EQ(cr::statusCode(live::ask(demo_, live::Server::api, kConnect).statusLine), "200");

  const auto entries = live::log(demo_);
  ASSERT_EQ(entries.size(), 2u);
  std::string sent;
  for (size_t i = 0; i + 1 < lines.size(); ++i) sent += lines[i] + (i + 2 < lines.size() ? "\r\n" : "");
  EXPECT_EQ(entries[0]["server"], "web");
  EXPECT_EQ(entries[0]["method"], "GET");
  EXPECT_EQ(entries[0]["path"], "/api/v1/listarfilme");
  EXPECT_EQ(entries[0]["status"], 200);
  EXPECT_EQ(entries[0]["request"], sent);  // head and body, up to the body's last byte
  EXPECT_NE(sent.find("Content-length: " + std::to_string(body.size()) + "\r\n"), std::string::npos);
  EXPECT_EQ(entries[1]["server"], "api");
  EXPECT_EQ(entries[1]["request"], "POST /conectar HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: Telinha\r\n"
                                   "Accept: */*\r\nConnection: Close\r\n\r\n");
}

TEST_F(VitrineProtocol, FailOptionAnswersTheGivenCodeForThatPathOnly) {
  startDemo({"--fail", "/api/v1/listarfilme=500", "--fail=/conectar=503"});
  const live::Answer failed = live::ask(demo_, live::Server::web, live::clientRequest("/api/v1/listarfilme",
                                                                                      "{\"id_filme\":100}"));
  EXPECT_EQ(cr::statusCode(failed.statusLine), "500");
  EXPECT_TRUE(failed.ok);
  EXPECT_TRUE(failed.body.starts_with("{\"erro\":\""));
  EXPECT_TRUE(failed.body.ends_with("}\n{\"pedido\":\"/api/v1/listarfilme\"}\n")) << failed.body;
  EXPECT_EQ(cr::statusCode(live::ask(demo_, live::Server::api, kConnect).statusLine), "503");
  EXPECT_EQ(cr::statusCode(live::ask(demo_, live::Server::web, live::clientRequest("/api/v1/listarserie",
                                                                                   "{\"id_serie\":200}"))
                               .statusLine),
            "200");
  EXPECT_EQ(online(), "3") << "a failed registration registers nothing";
}

TEST_F(VitrineProtocol, LatencyDelaysEveryAnswer) {
  startDemo({"--latency", "400"});
  const std::pair<live::Server, std::vector<std::string>> requests[] = {
      {live::Server::api, kConnect},
      {live::Server::notes, live::clientRequest("/notificacoes")},
      {live::Server::web, live::clientRequest("/contador.json")},
  };
  for (const auto& [server, lines] : requests) {
    const auto begin = Clock::now();
    EXPECT_EQ(cr::statusCode(live::ask(demo_, server, lines).statusLine), "200") << lines[0];
    EXPECT_GE(Clock::now() - begin, std::chrono::milliseconds(400)) << lines[0];
  }
}

TEST_F(VitrineProtocol, EmptyLineAfterTheBodyDoesNotCostTheAnswer) {
  // The client writes an empty line after the body, which the answer may
  // overtake. Closing on those bytes would reset the connection, and a reset
  // can cost the client the answer: the portal ends in order instead.
  startDemo();
  for (live::Server s : {live::Server::notes, live::Server::web}) {
    const std::optional<live::Tls> tls =
        s == live::Server::web ? std::optional<live::Tls>(live::Tls{demo_.stateDir + "/ca.pem"}) : std::nullopt;
    auto c = live::connect(live::port(demo_, s), tls);
    ASSERT_TRUE(c);
    auto lines = live::clientRequest(s == live::Server::web ? "/api/v1/listarnovela" : "/notificacoes",
                                     "{\"id_novela\":301,\"pagina\":1}");
    lines.pop_back();
    for (const std::string& line : lines) ASSERT_TRUE(live::send(*c, line + "\r\n"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the answer is out by now
    live::send(*c, "\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const live::Answer a = live::parse(live::receive(*c, 5000));
    EXPECT_TRUE(a.ok) << a.raw;
    EXPECT_EQ(cr::statusCode(a.statusLine), "200");
    EXPECT_FALSE(c->reset) << (s == live::Server::web ? "web" : "notes");
    live::close(*c);
  }
}

TEST_F(VitrineProtocol, StateDirectoryTellsPortsAndClientSettingsAndIsTidiedOnStop) {
  startDemo();
  EXPECT_EQ(live::readFile(demo_.stateDir + "/ports"), "api=" + std::to_string(demo_.api) + "\nnotes=" +
                                                           std::to_string(demo_.notes) + "\nweb=" +
                                                           std::to_string(demo_.web) + "\n");
  const std::string ini = live::readFile(demo_.stateDir + "/escuta-demo.ini");
  for (const std::string& line : std::vector<std::string>{"[TLS]\r\n", "CERTIFICADOS=" + demo_.stateDir + "/ca.pem\r\n", "[TELINHA]\r\n", "HOSTWEB=localhost\r\n",
        "PORTAWEB=" + std::to_string(demo_.web) + "\r\n", "HOSTAPI=127.0.0.1\r\n",
        "PORTAAPI=" + std::to_string(demo_.api) + "\r\n", "PORTANOTIFICACOES=" + std::to_string(demo_.notes) + "\r\n"})
    EXPECT_NE(ini.find(line), std::string::npos) << line;
  const std::string state = demo_.stateDir;
  EXPECT_EQ(std::filesystem::status(state + "/ca-key.pem").permissions() & std::filesystem::perms::others_read,
            std::filesystem::perms::none);
  EXPECT_EQ(live::stop(demo_, true), 0);
  EXPECT_FALSE(std::filesystem::exists(state + "/ports"));
  EXPECT_TRUE(std::filesystem::exists(state + "/ca.pem"));
  std::filesystem::remove_all(demo_.dir);
}

}  // namespace
