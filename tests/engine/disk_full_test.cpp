// TRAZDAREDE on a disk that fills up: roteiro runs in a mount namespace of
// its own, downloading into a 16 MiB tmpfs mounted only there, from a server
// that sends far more than fits. The download must stop where the disk
// reserve begins, with an exact prefix of the body in the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "engine/download_script.h"
#include "engine/net_script_run.h"
#include "support/http_peer.h"
#include "support/scratch.h"

namespace {

using nettest::Reply;
using nettest::ScriptRun;
using testsupport::ScratchDir;
using testsupport::slurp;

constexpr uint64_t kMiB = uint64_t{1} << 20;
// What the server sends, over and over: a length that no block size divides,
// so a prefix cut at a block's edge still shows where it went wrong.
const std::string kPiece = nettest::bytesOf(65521, 7);
constexpr size_t kPieces = 512;  // 32 MiB: twice the disk

// How this machine gives a process a mount namespace of its own: as root,
// or as a user mapped to root in a user namespace; empty when neither works.
const std::string& unshareCommand() {
  static const std::string found = [] {
    ScratchDir probe;
    for (const char* u : {"unshare -m", "unshare -rm"}) {
      const std::string cmd = std::string(u) + " sh -c 'mount -t tmpfs -o size=1m tmpfs " + probe.path() +
                              "' >/dev/null 2>&1";
      if (std::system(cmd.c_str()) == 0) return std::string(u);
    }
    return std::string();
  }();
  return found;
}

const std::string k200 = "HTTP/1.1 200 OK\r\n";

Reply endless(const std::string& head) {
  Reply r = nettest::repeating(head + "\r\n", kPiece);
  r.repeatLimit = kPiece.size() * kPieces;
  return r;
}

struct DiskCase {
  const char* name;
  const char* setting;  // RESERVADISCO; none when null
  uint64_t reserve;     // what the download must leave free
  std::vector<Reply> replies;
  bool page;  // fetched as a page: nothing may be left on the disk
};

const uint64_t kDefault = 1024 * kMiB;  // more than the whole disk

const DiskCase kCases[] = {
    {"an audio stream without length", "4", 4 * kMiB, {endless(k200 + "Content-Type: audio/mpeg\r\n")}, false},
    {"a known length larger than fits", "4", 4 * kMiB,
     {endless(k200 + "Content-Type: application/zip\r\nContent-Length: " + std::to_string(kPiece.size() * kPieces) +
              "\r\n")},
     false},
    {"a chunked audio answer", "4", 4 * kMiB,
     {[] {
       Reply r = nettest::repeating(k200 + "Content-Type: audio/ogg\r\nTransfer-Encoding: chunked\r\n\r\n",
                                    "fff1\r\n" + kPiece + "\r\n");
       r.repeatLimit = 32 * kMiB;
       return r;
     }()},
     false},
    {"no reserve: up to a full disk", "0", 0, {endless(k200 + "Content-Type: audio/mpeg\r\n")}, false},
    {"no setting: the default reserve", nullptr, kDefault, {endless(k200 + "Content-Type: audio/mpeg\r\n")}, false},
    {"a negative setting keeps the default", "-4", kDefault, {endless(k200 + "Content-Type: audio/mpeg\r\n")}, false},
    {"an unreadable setting keeps the default", "quatro", kDefault, {endless(k200 + "Content-Type: audio/mpeg\r\n")},
     false},
    {"a page is dropped whole", "4", 4 * kMiB,
     {nettest::once(k200 + "Content-Type: text/html\r\n\r\n"), endless(k200 + "Content-Type: text/html\r\n")}, true},
};

void PrintTo(const DiskCase& c, std::ostream* os) { *os << c.name; }

// The tmpfs's free bytes and its allocation unit, as `stat -f -c '%a %S'`
// wrote them.
struct Space {
  uint64_t free = 0, unit = 0;
};

Space spaceIn(const std::string& file) {
  std::istringstream in(slurp(file));
  uint64_t blocks = 0;
  Space s;
  in >> blocks >> s.unit;
  s.free = blocks * s.unit;
  return s;
}

// The shell's command that runs the script in `dir` with a tmpfs of 16 MiB,
// private to it, as its working directory. The disk's free space before and
// after, what is on it after, and the file are copied out to `dir` before
// the namespace and its tmpfs go.
std::string onPrivateDisk(const std::string& dir) {
  const std::string disk = dir + "/disk";
  const std::string space = "stat -f -c '%a %S' . >" + dir;
  std::string inside = "mount -t tmpfs -o size=16m tmpfs " + disk + " && cd " + disk + " && " + space + "/before";
  inside += " && " + nettest::roteiroCommand(dir) + "; rc=\\$?; " + space + "/after; ls -A >" + dir + "/left";
  inside += "; [ -f f.bin ] && cp f.bin " + dir + "; exit \\$rc";
  return unshareCommand() + " sh -c \"" + inside + "\"";
}

class DiskFull : public ::testing::TestWithParam<DiskCase> {};

TEST_P(DiskFull, StopsAtTheReserve) {
  if (unshareCommand().empty()) GTEST_SKIP() << "no private mount namespace here (unshare -m and -rm both fail)";
  const DiskCase& c = GetParam();
  nettest::HttpPeer peer(c.replies);
  ScratchDir dir;
  std::filesystem::create_directory(dir / "disk");
  const std::string ini = c.setting ? std::string("[ESCUTA]\r\nRESERVADISCO=") + c.setting + "\r\n" : "";
  const ScriptRun r = nettest::runScriptIn(
      dir.path(), nettest::downloadScript("http://127.0.0.1:" + std::to_string(peer.port()) + "/x"), "key Enter\n",
      ini, onPrivateDisk(dir.path()));

  EXPECT_EQ(r.shown, "Disco cheio|r=1\\r\\n|");
  EXPECT_EQ(nettest::events(r, "SAY"), std::vector<std::string>{"Disco cheio"});
  const Space before = spaceIn(dir / "before");
  ASSERT_GT(before.free, 15 * kMiB) << "the tmpfs was not mounted";
  EXPECT_GE(spaceIn(dir / "after").free, std::min(c.reserve, before.free));
  if (c.page) {
    EXPECT_EQ(slurp(dir / "left"), "");
    return;
  }
  EXPECT_EQ(slurp(dir / "left"), "f.bin\n");
  const std::string file = slurp(dir / "f.bin");
  const uint64_t room = before.free > c.reserve ? before.free - c.reserve : 0;
  EXPECT_LE(file.size(), room);
  // What still fitted of the last block went in too.
  EXPECT_GT(file.size() + before.unit, room);
  std::string sent;
  while (sent.size() < file.size()) sent += kPiece;
  EXPECT_TRUE(file == sent.substr(0, file.size())) << "not a prefix of what was sent; size " << file.size();
}

INSTANTIATE_TEST_SUITE_P(Cases, DiskFull, ::testing::ValuesIn(kCases), [](const auto& param) {
  std::string name;
  for (const char* p = param.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return name;
});

}  // namespace
