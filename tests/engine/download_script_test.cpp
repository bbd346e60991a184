// TRAZDAREDE end to end: scripts run by roteiro headless download from
// nginx on loopback (plain and TLS with a test CA, byte ranges for resuming,
// redirections, chunked answers), from a server of our own that answers
// what a real one would not (endless heads, lying lengths, broken chunks,
// pauses for the keys), and a download killed mid-way is completed by the
// next one to the exact bytes.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/download_script.h"
#include "engine/net_script_run.h"
#include "support/http_peer.h"
#include "support/nginx.h"
#include "support/scratch.h"
#include "support/test_ca.h"

namespace {

// Speech and pauses in these runs go ten times faster where the headless
// clock can be sped up.
[[maybe_unused]] const bool kFastClock = ::setenv("ESCUTA_CLOCK_SPEED", "10", 1) == 0;

using nettest::bytesOf;
using nettest::downloadScript;
using nettest::events;
using nettest::HttpPeer;
using nettest::once;
using nettest::repeating;
using nettest::Reply;
using nettest::withPause;
using nettest::replaced;
using nettest::ScriptRun;
using testsupport::ScratchDir;
using testsupport::slurp;

void writeFile(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

const std::string kA = bytesOf(300000, 1);
const std::string kSong = bytesOf(20000, 2);
const std::string kKept = "guardado";  // a file that must come out as it went in

struct NginxCase {
  const char* name;
  std::string url;                    // PORT and TLSPORT stand for nginx's ports
  std::optional<std::string> before;  // the file before the download
  std::string shown;                  // what the script shows, the result last
  std::optional<std::string> after;   // the file after; none: no file
  bool withCa = true;
};

const std::string kPage = "<p>um</p>\n<p>dois</p>";

const NginxCase kNginxCases[] = {
    {"a new file", "http://127.0.0.1:PORT/files/a.bin", std::nullopt, "r=0\\r\\n|", kA},
    {"resumed where the file ends, 206", "http://127.0.0.1:PORT/files/a.bin", kA.substr(0, 100000),
     "Retomando download|r=0\\r\\n|", kA},
    {"a server that ignores ranges answers 200: the file is written anew", "http://127.0.0.1:PORT/norange/a.bin",
     bytesOf(100000, 9), "r=0\\r\\n|", kA},
    {"302 to a path on the same server", "http://127.0.0.1:PORT/move", std::nullopt, "r=0\\r\\n|", kA},
    {"302 to a name beside the current path", "http://127.0.0.1:PORT/dir/go", std::nullopt, "r=0\\r\\n|", kA},
    {"302 to another scheme, host and port", "http://127.0.0.1:PORT/tohttps", std::nullopt, "r=0\\r\\n|", kA},
    {"HTTPS with the test CA", "https://localhost:TLSPORT/files/a.bin", std::nullopt, "r=0\\r\\n|", kA},
    {"HTTPS resumed", "https://localhost:TLSPORT/files/a.bin", kA.substr(0, 123457), "Retomando download|r=0\\r\\n|",
     kA},
    {"HTTPS refused when the CA is unknown", "https://localhost:TLSPORT/files/a.bin", std::nullopt, "r=1\\r\\n|",
     std::nullopt, false},
    {"a redirection loop is given up", "http://127.0.0.1:PORT/loop", std::nullopt, "r=1\\r\\n|", std::nullopt},
    {"404 is said", "http://127.0.0.1:PORT/nada.bin", kKept, "Erro http404: P\xC3\xA1gina n\xC3\xA3o encontrada.|r=1\\r\\n|",
     kKept},
    {"400 is said", "http://127.0.0.1:PORT/a b", std::nullopt,
     "Erro http400:Requisi\xC3\xA7\xC3\xA3o http n\xC3\xA3o foi bem formulada.|r=1\\r\\n|", std::nullopt},
    {"416 for a file already whole: it is whole", "http://127.0.0.1:PORT/files/a.bin", kA, "r=0\\r\\n|", kA},
    {"500 leaves the file alone", "http://127.0.0.1:PORT/erro", kKept, "r=1\\r\\n|", kKept},
    {"a text page without length is fetched as text lines", "http://127.0.0.1:PORT/pages/p.html", kKept,
     "r=0\\r\\n|", "<p>um</p>\r\n<p>dois</p>\r\n\r\n"},
    {"chunked audio is stored without its chunk framing", "http://127.0.0.1:PORT/chunked/s.mp3", std::nullopt,
     "r=0\\r\\n|", kSong},
    {"an empty URL fails at once", "", std::nullopt, "r=1\\r\\n|", std::nullopt},
};

void PrintTo(const NginxCase& c, std::ostream* os) { *os << c.name; }

// One nginx and one test CA for every case of a suite.
class NginxSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ca_ = new nettest::TestCa;
    ASSERT_TRUE(ca_->ok());
    nginx_ = new nettest::Nginx(
        "    location = /move { return 302 /files/a.bin; }\n"
        "    location = /dir/go { return 302 a.bin; }\n"
        "    location /dir/ { alias ROOT/files/; }\n"
        "    location = /tohttps { return 302 https://localhost:TLSPORT/files/a.bin; }\n"
        "    location = /loop { return 302 /loop; }\n"
        "    location = /erro { return 500; }\n"
        "    location /norange/ { alias ROOT/files/; max_ranges 0; }\n"
        "    location /pages/ { ssi on; }\n"
        "    location /chunked/ { alias ROOT/files/; ssi on; ssi_types audio/mpeg; }\n"
        "    location /slow/ { alias ROOT/files/; limit_rate 64k; }\n",
        ca_);
    ASSERT_TRUE(nginx_->ok());
    writeFile(nginx_->root() + "/files/a.bin", kA);
    writeFile(nginx_->root() + "/files/s.mp3", kSong);
    writeFile(nginx_->root() + "/pages/p.html", kPage);
  }
  static void TearDownTestSuite() {
    delete nginx_;
    delete ca_;
  }
  static std::string ini() { return "[TLS]\r\nCERTIFICADOS=" + ca_->file("ca.pem") + "\r\n"; }
  static std::string url(const std::string& u) {
    return replaced(replaced(u, "TLSPORT", std::to_string(nginx_->tlsPort())), "PORT", std::to_string(nginx_->port()));
  }
  static nettest::TestCa* ca_;
  static nettest::Nginx* nginx_;
};

nettest::TestCa* NginxSuite::ca_ = nullptr;
nettest::Nginx* NginxSuite::nginx_ = nullptr;

class NginxDownload : public NginxSuite, public ::testing::WithParamInterface<NginxCase> {};

TEST_P(NginxDownload, Downloads) {
  const NginxCase& c = GetParam();
  ScratchDir dir;
  if (c.before) writeFile(dir / "f.bin", *c.before);
  const ScriptRun r = nettest::runScriptIn(dir.path(), downloadScript(url(c.url)), "key Enter\n", c.withCa ? ini() : "");
  EXPECT_EQ(r.shown, c.shown);
  if (c.after) {
    EXPECT_TRUE(slurp(dir / "f.bin") == *c.after) << "the file differs; size " << slurp(dir / "f.bin").size();
  } else {
    EXPECT_FALSE(std::filesystem::exists(dir / "f.bin"));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, NginxDownload, ::testing::ValuesIn(kNginxCases), [](const auto& param) {
  std::string name;
  for (const char* p = param.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return name;
});

// A download killed mid-way leaves a part that the next one completes.
TEST_F(NginxSuite, KilledMidWayThenCompleted) {
  ScratchDir dir;
  std::ofstream(dir / "s.txt") << downloadScript(url("http://127.0.0.1:PORT/slow/a.bin"));
  std::ofstream(dir / "k.txt") << "key Enter\n";
  const std::string command = "cd " + dir.path() + " && exec " ROTEIRO " --frontend headless --time-limit " + nettest::timeLimit() + " --config-dir " +
                              dir.path() + " --keys k.txt s.txt >/dev/null 2>&1";
  const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
  pid_t pid;
  ASSERT_EQ(::posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
  // Killed once a good part has come, well before the end (64 KB a second).
  for (int i = 0; i < 200 && (!std::filesystem::exists(dir / "f.bin") || std::filesystem::file_size(dir / "f.bin") < 70000); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  const std::string part = slurp(dir / "f.bin");
  ASSERT_GE(part.size(), 70000u);
  ASSERT_LT(part.size(), kA.size());
  EXPECT_TRUE(part == kA.substr(0, part.size()));
  const ScriptRun r = nettest::runScriptIn(dir.path(), downloadScript(url("http://127.0.0.1:PORT/files/a.bin")), "key Enter\n");
  EXPECT_EQ(r.shown, "Retomando download|r=0\\r\\n|");
  EXPECT_TRUE(slurp(dir / "f.bin") == kA);
}

// Answers of our own server. The file is "guardado" before, when asked.
struct PeerCase {
  const char* name;
  std::vector<Reply> replies;
  bool before;
  std::string result;                 // "0" or "1"
  std::optional<std::string> after;   // the file after; none: no file
};

const std::string k200 = "HTTP/1.1 200 OK\r\n";
const std::string kStream = bytesOf(10000, 3);

const PeerCase kPeerCases[] = {
    {"endless headers", {repeating(k200, "X-Mais: sim\r\n")}, true, "1", kKept},
    {"a header line without end", {repeating(k200 + "X-Longa: ", std::string(4096, 'a'))}, true, "1", kKept},
    {"a status line without end", {repeating("HTTP/1.1 200 ", std::string(4096, 'a'))}, false, "1", std::nullopt},
    {"a status line without a code", {once("HTTP/1.1 OK\r\nContent-Length: 3\r\n\r\nabc")}, true, "1", kKept},
    {"a length that promises more than comes", {once(k200 + "Content-Length: 1000\r\n\r\n" + std::string(500, 'x'))},
     false, "1", std::string(500, 'x')},
    {"a close in the middle of a block",
     {once(k200 + "Content-Length: 100000\r\n\r\n" + bytesOf(70000, 4))}, false, "1", bytesOf(70000, 4)},
    {"a 200 that breaks before its body leaves the old file",
     {once(k200 + "Content-Length: 10\r\n\r\n")}, true, "1", kKept},
    {"a 206 from another place than the file's end",
     {once("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-9/10\r\nContent-Length: 10\r\n\r\n0123456789")},
     true, "1", kKept},
    {"a 206 from the file's end is appended",
     {once("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 8-9/10\r\nContent-Length: 2\r\n\r\n!!")}, true, "0",
     kKept + "!!"},
    {"a 416 that gives the file's length as the whole's: already whole",
     {once("HTTP/1.1 416 Range Not Satisfiable\r\nContent-Range: bytes */" + std::to_string(kKept.size()) +
           "\r\nContent-Length: 0\r\n\r\n")},
     true, "0", kKept},
    {"a 416 for another length fails",
     {once("HTTP/1.1 416 Range Not Satisfiable\r\nContent-Range: bytes */" + std::to_string(kKept.size() - 1) +
           "\r\nContent-Length: 0\r\n\r\n")},
     true, "1", kKept},
    {"a 416 that names no length fails",
     {once("HTTP/1.1 416 Range Not Satisfiable\r\nContent-Length: 0\r\n\r\n")}, true, "1", kKept},
    {"403 without Location leaves the file", {once("HTTP/1.1 403 Forbidden\r\nContent-Length: 3\r\n\r\nnao")}, true,
     "1", kKept},
    {"an empty body of length 0 empties the file", {once(k200 + "Content-Length: 0\r\n\r\n")}, true, "0", ""},
    {"100 Continue before the answer", {once("HTTP/1.1 100 Continue\r\n\r\n" + k200 + "Content-Length: 2\r\n\r\nok")},
     false, "0", "ok"},
    {"chunks with extensions and a trailer",
     {once(k200 + "Content-Type: audio/wav\r\nTransfer-Encoding: chunked\r\n\r\n"
              "5;x=y\r\nabcde\r\n3\r\nfgh\r\n0\r\nTrailer: t\r\n\r\n")},
     false, "0", "abcdefgh"},
    {"a chunk size that is no number",
     {once(k200 + "Content-Type: audio/wav\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\nzz\r\n")}, false, "1", "abc"},
    {"a chunked answer cut short", {once(k200 + "Content-Type: audio/wav\r\nTransfer-Encoding: chunked\r\n\r\n9\r\nabc")},
     false, "0", "abc"},
    {"an audio stream until the server closes", {once(k200 + "Content-Type: audio/mpeg\r\n\r\n" + kStream)}, false, "0",
     kStream},
    {"a text answer is fetched again as a page",
     {once(k200 + "Content-Type: text/plain\r\n\r\nnao guardado"),
      once(k200 + "Content-Type: text/plain\r\n\r\nlinha 1\r\nlinha 2\nlinha\r3\r\r\nfim\r")},
     true, "0", "linha 1\r\nlinha 2\r\nlinha\r3\r\r\nfim\r\n\r\n"},
    {"a page that breaks off leaves the file",
     {once(k200 + "Content-Type: text/html\r\n\r\n"), once(k200 + "Content-Length: 100\r\n\r\nmeia\r\npagina")},
     true, "1", kKept},
    {"a page that is refused leaves the file",
     {once(k200 + "Content-Type: text/html\r\n\r\n"), once("HTTP/1.1 404 Not Found\r\n\r\nnada")}, true, "1", kKept},
};

void PrintTo(const PeerCase& c, std::ostream* os) { *os << c.name; }

class PeerDownload : public ::testing::TestWithParam<PeerCase> {};

TEST_P(PeerDownload, EndsAsItShould) {
  const PeerCase& c = GetParam();
  HttpPeer peer(c.replies);
  ScratchDir dir;
  if (c.before) writeFile(dir / "f.bin", kKept);
  const ScriptRun r = nettest::runScriptIn(
      dir.path(), downloadScript("http://127.0.0.1:" + std::to_string(peer.port()) + "/x"), "key Enter\n");
  const std::vector<std::string> shown = events(r, "SHOW");
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back(), "r=" + c.result + "\\r\\n");
  if (c.after) {
    EXPECT_TRUE(slurp(dir / "f.bin") == *c.after) << slurp(dir / "f.bin").substr(0, 200);
  } else {
    EXPECT_FALSE(std::filesystem::exists(dir / "f.bin"));
  }
  EXPECT_EQ(peer.requests().size(), c.replies.size());
  // Nothing written on the side is left behind.
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    EXPECT_FALSE(entry.path().filename().string().starts_with("f.bin.")) << entry.path();
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, PeerDownload, ::testing::ValuesIn(kPeerCases), [](const auto& param) {
  std::string name;
  for (const char* p = param.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return name;
});

TEST(DownloadRequests, AsSentForADownloadAndForAPage) {
  HttpPeer peer({once(k200 + "Content-Type: text/html\r\n\r\n"), once(k200 + "\r\nok")});
  ScratchDir dir;
  writeFile(dir / "f.bin", std::string(1000, 'x'));
  const ScriptRun r = nettest::runScriptIn(
      dir.path(), downloadScript("http://127.0.0.1:" + std::to_string(peer.port()) + "/a/b.mp3?x=1", "0", "c=1"),
      "key Enter\n");
  EXPECT_EQ(r.shown, "r=0\\r\\n|");
  const std::vector<std::string>& got = peer.requests();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0],
            "GET /a/b.mp3?x=1 HTTP/1.1\r\nUser-Agent: teste/1.0\r\nAccept: */*\r\nAccept-Encoding: identity\r\n"
            "Host: 127.0.0.1\r\nConnection: Close\r\nRange: bytes=1000-\r\nCookie: c=1\r\n\r\n");
  EXPECT_EQ(got[1],
            "GET /a/b.mp3?x=1 HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: teste/1.0\r\nConnection: close\r\n"
            "Accept-Language: pt-br\r\nUA-CPU: x86\r\nCookie: c=1\r\n\r\n");
  EXPECT_EQ(slurp(dir / "f.bin"), "ok\r\n\r\n");
}

TEST(DownloadRequests, BadOperandsStopTheScript) {
  for (const char* line : {"trazdarede \"http://x/\" \"f\" 2 \"a\" \"\" r", "trazdarede \"http://x/\" \"f\" 0 \"a\" \"\"",
                           "trazdarede \"http://x/\" \"f\""}) {
    const ScriptRun r = nettest::runScript(std::string(line) + "\ntermina mudo\n", "key Enter\n");
    EXPECT_TRUE(r.failed) << line;
  }
  // An empty file name fails as a result.
  EXPECT_EQ(nettest::runScript("trazdarede \"http://127.0.0.1:1/\" \"\" 0 \"a\" \"\" r\nescreve mudo r\ntermina mudo\n",
                               "key Enter\n").shown,
            "1\\r\\n|");
}

// Keys during a download. The script first takes one key, so that the keys
// after it count from there; the server sends part of the body and goes on
// once the transcript shows the key was handled (or the client has left).
Reply paused(const std::string& type, size_t first, size_t rest, std::function<bool()> resumeWhen,
             bool withLength = true) {
  const std::string body = bytesOf(first + rest, 5);
  std::string head = k200 + "Content-Type: " + type + "\r\n";
  if (withLength) head += "Content-Length: " + std::to_string(first + rest) + "\r\n";
  return nettest::withPauseUntil(head + "\r\n" + body.substr(0, first), std::move(resumeWhen), body.substr(first));
}

struct KeyRun {
  ScriptRun run;
  std::string file;
};

class DownloadKeys : public ::testing::Test {
 protected:
  // The transcript so far holds this text.
  std::function<bool()> shows(const std::string& text) const {
    return [path = dir_ / "t.txt", text] { return slurp(path).find(text) != std::string::npos; };
  }
  KeyRun run(const Reply& reply, const std::string& keys, const std::string& click = "0") {
    HttpPeer peer({reply});
    KeyRun k{nettest::runScriptIn(dir_.path(),
                                  "le mudo k &\n" +
                                      downloadScript("http://127.0.0.1:" + std::to_string(peer.port()) + "/x", click),
                                  "key Enter\nwait 1000\n" + keys),
             ""};
    k.file = slurp(dir_ / "f.bin");
    return k;
  }
  ScratchDir dir_;
};

TEST_F(DownloadKeys, EnterSpeaksTheProgress) {
  const KeyRun k = run(paused("application/zip", 4000, 6000, shows("Arquivo: f.bin")), "key Enter\n");
  EXPECT_EQ(events(k.run, "SAY"),
            (std::vector<std::string>{"Recebidos: ", "40% de 9KB.", "3.91 KBytes gravados.", "Arquivo: f.bin"}));
  EXPECT_EQ(k.file.size(), 10000u);
}

TEST_F(DownloadKeys, EnterDuringAStreamSpeaksTheBytesWritten) {
  const KeyRun k = run(paused("audio/mpeg", 3000, 1000, shows("Arquivo: f.bin"), false), "key Enter\n");
  EXPECT_EQ(events(k.run, "SAY"),
            (std::vector<std::string>{"3000 bytes escritos em disco.", "2.93 KBytes gravados.", "Arquivo: f.bin"}));
  EXPECT_EQ(k.file.size(), 4000u);
}

TEST_F(DownloadKeys, EscAndYesStopsAndKeepsThePart) {
  const KeyRun k = run(paused("application/zip", 4000, 6000, nullptr), "key Esc\nkey s\n");
  EXPECT_EQ(k.run.shown, "Deseja parar o download?|s\\r\\n|O download foi interrompido.|r=1\\r\\n|");
  EXPECT_EQ(k.file, bytesOf(10000, 5).substr(0, 4000));
}

TEST_F(DownloadKeys, EscAndNoGoesOn) {
  const KeyRun k = run(paused("application/zip", 4000, 6000, shows("SHOW\tn\\r\\n")), "key Esc\nkey n\n");
  EXPECT_EQ(k.run.shown, "Deseja parar o download?|n\\r\\n|r=0\\r\\n|");
  EXPECT_EQ(k.file, bytesOf(10000, 5));
}

TEST_F(DownloadKeys, AStreamStoppedByTheUserSucceeds) {
  const KeyRun k = run(nettest::repeating(k200 + "Content-Type: audio/mpeg\r\n\r\n" + std::string(2000, 's'),
                                          std::string(1000, 's'), 20),
                       "key Esc\nkey S\n");
  EXPECT_EQ(k.run.shown, "Deseja parar o download?|S\\r\\n|O download foi interrompido.|r=0\\r\\n|");
  EXPECT_GE(k.file.size(), 2000u);
  EXPECT_EQ(k.file, std::string(k.file.size(), 's'));
}

TEST_F(DownloadKeys, SpaceTurnsTheClickOff) {
  const KeyRun k = run(paused("application/zip", 4000, 4000, shows("KEY\t \n")), "key Space\n", "1");
  const std::vector<std::string>& t = k.run.transcript;
  const auto space = std::find(t.begin(), t.end(), "KEY\t ");
  ASSERT_NE(space, t.end());
  EXPECT_GE(std::count(t.begin(), space, "CLICK\t"), 1);
  EXPECT_EQ(std::count(space, t.end(), "CLICK\t"), 0);
  EXPECT_EQ(k.file.size(), 8000u);
}

TEST_F(DownloadKeys, EscGivesUpAServerThatSaysNothing) {
  const KeyRun k = run(nettest::withPause("", 20000, ""), "key Esc\n");
  EXPECT_EQ(k.run.shown, "r=1\\r\\n|");
  EXPECT_EQ(k.file, "");
}

}  // namespace
