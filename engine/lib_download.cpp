// TRAZDAREDE: a URL downloaded into a file over HTTP or HTTPS. A file
// already there is resumed from its end; redirections are followed up to a
// bound; a click can mark each block; Enter speaks the progress, the space
// bar toggles the click and Esc stops after asking. An answer without length
// that is not audio is fetched again as a page and kept as text lines.
//
// Nothing on disk is lost to an answer that is refused or breaks off: the
// file is touched only by a 200 or 206 answer (a 416 that gives the file's
// own length as the whole's says it is whole), a 200 empties it only once
// its body starts (or ends empty), a 206 must continue where the file ends,
// and a page replaces the file only once it came whole.
//
// No write takes the file system's free space below the disk reserve: what
// fits is written, so the file holds an exact prefix of the body, "Disco
// cheio" is said and the download fails, an endless stream included.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/keyboard.h"
#include "console/screen.h"
#include "engine/api.h"
#include "engine/disk_reserve.h"
#include "engine/download_progress.h"
#include "engine/libraries.h"
#include "engine/net_connect.h"
#include "engine/readers.h"
#include "engine/text.h"
#include "engine/variables.h"
#include "net/http_answer.h"
#include "net/http_request.h"
#include "net/page_lines.h"
#include "net/url.h"
#include "platform/base/decimal_point.h"
#include "platform/base/paths.h"
#include "speech/click_beep.h"
#include "speech/speech_service.h"

namespace engine {
namespace {

constexpr int kMaxRedirections = 10;
// One receive and one write per block; keys are looked at after each.
constexpr size_t kBlock = 64 * 1024;
// Longest wait for data before the keys are looked at again.
constexpr int kSliceMs = 100;
constexpr uint8_t kEnter = 13, kEsc = 27;

struct Download {
  std::string url;   // of the current pass
  std::string name;  // as the script gave it, for the progress report
  std::string path;
  bool click = false;
  std::string agent, cookie;
  std::optional<uint64_t> reserve;  // as Escuta.ini sets it
};

// A connection and its receive buffer, released on every way out.
struct Connection {
  net::ReceiveBuffer b;
  ~Connection() { net::closeConnection(b.fd); }
};

struct OpenFile {
  int fd = -1;
  ~OpenFile() {
    if (fd >= 0) ::close(fd);
  }
};

bool writeAll(int fd, const char* bytes, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

enum class Stored { All, DiskFull, Refused };

// Writes the bytes, or as many of them as fit above the disk reserve; a disk
// without room for all of them is said.
Stored store(const Download& d, int fd, std::string_view bytes, size_t& written) {
  written = roomAboveReserve(fd, d.reserve, bytes.size());
  if (!writeAll(fd, bytes.data(), written)) return Stored::Refused;
  if (written == bytes.size()) return Stored::All;
  speech::sayLine("Disco cheio");
  return Stored::DiskFull;
}

// Connects to the URL's server, sends the request and reads the answer's
// head; false when any of it fails or the user gives a wait up.
bool ask(Connection& c, const net::Url& u, const std::string& request, net::AnswerHead& head) {
  if (!u.portValid || u.host.empty()) return false;
  c.b.fd = connectTo(u.host, u.port, u.secure);
  return c.b.fd >= 0 && net::sendAll(c.b.fd, request) &&
         net::readAnswerHead(c.b, head, keepWaiting) == net::HeadResult::Complete;
}

enum class KeyAction { Go, Stop };

// One waiting key: Enter reports, space toggles the click, Esc asks whether
// to stop; every other key is dropped.
KeyAction takeKey(Download& d, const DownloadProgress& progress) {
  if (!console::keyPressed()) return KeyAction::Go;
  const uint8_t code = console::readKey();
  if (code == 0) {
    console::readKey();  // the second code of a special key
  } else if (code == kEnter) {
    for (const std::string& said : progressReport(progress, platform::userDecimalPoint())) speech::speakText(said);
  } else if (code == ' ') {
    d.click = !d.click;
  } else if (code == kEsc) {
    speech::sayLine("Deseja parar o download?");
    const uint8_t answer = speech::echoKey();
    if (answer == 0) console::readKey();
    console::streamWrite(std::string(1, static_cast<char>(answer)) + "\r\n");
    if (answer == 'S' || answer == 's') {
      speech::sayLine("O download foi interrompido.");
      return KeyAction::Stop;
    }
  }
  return KeyAction::Go;
}

enum class Outcome { Succeeded, Failed, Redirected, AsPage };

// Stores the body into the file from `from` on. A body of known length
// succeeds only complete; a stream succeeds when it ends, or when the user
// stops it.
Outcome storeBody(Download& d, Connection& c, const net::AnswerHead& head, int fd, int64_t from, bool emptyFirst,
                  bool openEnded) {
  DownloadProgress progress{from, openEnded ? 0 : head.length, from, openEnded, d.name};
  net::BodyReader reader = net::bodyReader(head);
  std::vector<char> area(kBlock);
  if (::lseek(fd, from, SEEK_SET) < 0) return Outcome::Failed;
  for (;;) {
    while (!net::hasData(c.b, kSliceMs)) {
      if (takeKey(d, progress) == KeyAction::Stop) return openEnded ? Outcome::Succeeded : Outcome::Failed;
    }
    size_t got = 0;
    const net::BodyStep step = net::readBody(c.b, reader, area.data(), area.size(), got);
    if (got > 0) {
      if (emptyFirst && ::ftruncate(fd, 0) != 0) return Outcome::Failed;
      emptyFirst = false;
      size_t written;
      const Stored stored = store(d, fd, std::string_view(area.data(), got), written);
      progress.fileSize += static_cast<int64_t>(written);
      if (stored != Stored::All) return Outcome::Failed;
    }
    if (step == net::BodyStep::End) break;
    if (step == net::BodyStep::Malformed) return Outcome::Failed;
    if (step == net::BodyStep::CutShort) return openEnded ? Outcome::Succeeded : Outcome::Failed;
    if (got > 0 && d.click) speech::playClick();
    if (takeKey(d, progress) == KeyAction::Stop) return openEnded ? Outcome::Succeeded : Outcome::Failed;
  }
  if (emptyFirst && ::ftruncate(fd, 0) != 0) return Outcome::Failed;
  return Outcome::Succeeded;
}

// One request and its answer.
Outcome pass(Download& d) {
  struct stat st{};
  const bool exists = ::stat(d.path.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) return Outcome::Failed;
  const int64_t offset = exists ? st.st_size : 0;
  const net::Url u = net::splitUrl(d.url);
  Connection c;
  net::AnswerHead head;
  if (!ask(c, u, net::downloadRequest(u, d.agent, d.cookie, exists ? offset : -1), head)) return Outcome::Failed;
  if (!head.location.empty()) {
    d.url = net::resolveLocation(d.url, head.location);
    return Outcome::Redirected;
  }
  // Nothing left to send from where the file ends: when that is the whole's
  // length, the file is already whole.
  if (head.status == 416 && exists && head.rangeTotal == offset) return Outcome::Succeeded;
  if (head.status == 400) speech::sayLine("Erro http400:Requisi\xE7\xE3o http n\xE3o foi bem formulada.");
  if (head.status == 404) speech::sayLine("Erro http404: P\xE1gina n\xE3o encontrada.");
  if (head.status != 200 && head.status != 206) return Outcome::Failed;
  const bool resumed = head.status == 206;
  // A part that does not begin where the file ends would corrupt it.
  if (resumed && head.rangeStart >= 0 && head.rangeStart != offset) return Outcome::Failed;
  if (resumed) speech::sayLine("Retomando download");
  const bool lengthKnown = head.length >= 0 && !head.chunked;
  const bool audio = startsUpper(head.contentType, "AUDIO");
  if (!lengthKnown && !audio) return Outcome::AsPage;
  OpenFile file;
  file.fd = ::open(d.path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (file.fd < 0) return Outcome::Failed;
  return storeBody(d, c, head, file.fd, resumed ? offset : 0, !resumed && offset > 0, !lengthKnown);
}

// The page being written beside the file, put in its place only once whole,
// so that a page that breaks off leaves the file as it was.
struct PageFile {
  std::string temp, path;
  int fd = -1;
  explicit PageFile(const std::string& target) : temp(target + ".XXXXXX"), path(target) {
    fd = ::mkstemp(temp.data());
    // Made with the permissions a new file gets, as the file itself would be.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (fd >= 0) ::fchmod(fd, 0666 & ~mask);
  }
  bool putInPlace() {
    const bool closed = ::close(fd) == 0;
    fd = -1;
    if (!closed || ::rename(temp.c_str(), path.c_str()) != 0) return false;
    temp.clear();
    return true;
  }
  ~PageFile() {
    if (fd >= 0) ::close(fd);
    if (!temp.empty()) ::unlink(temp.c_str());
  }
};

// The page at the URL, its body kept as text lines.
bool fetchPage(const Download& d) {
  const net::Url u = net::splitUrl(d.url);
  Connection c;
  net::AnswerHead head;
  if (!ask(c, u, net::pageRequest(u, d.agent, d.cookie), head) || head.status < 200 || head.status > 299) return false;
  PageFile file(d.path);
  if (file.fd < 0) return false;
  net::BodyReader reader = net::bodyReader(head);
  net::PageLines lines;
  std::vector<char> area(kBlock);
  std::string out;
  for (;;) {
    while (!net::hasData(c.b, kSliceMs)) {
      if (!keepWaiting()) return false;
    }
    size_t got = 0;
    const net::BodyStep step = net::readBody(c.b, reader, area.data(), area.size(), got);
    out.clear();
    net::feedPageLines(lines, std::string_view(area.data(), got), out);
    if (step == net::BodyStep::End) net::finishPageLines(lines, out);
    size_t written;
    if (store(d, file.fd, out, written) != Stored::All) return false;
    if (step == net::BodyStep::End) return file.putInPlace();
    if (step != net::BodyStep::Bytes) return false;
  }
}

bool download(Download& d) {
  for (int redirections = 0; redirections <= kMaxRedirections; ++redirections) {
    switch (pass(d)) {
      case Outcome::Succeeded: return true;
      case Outcome::Failed: return false;
      case Outcome::AsPage: return fetchPage(d);
      case Outcome::Redirected: break;
    }
  }
  return false;
}

// TRAZDAREDE url file click agent cookie var
Status trazDaRede(Interp& in, std::string_view text) {
  Download d;
  std::string click;
  int target;
  if (!readOperand(in, text, d.url) || !readOperand(in, text, d.name) || !readOperand(in, text, click) ||
      !readOperand(in, text, d.agent) || !readOperand(in, text, d.cookie) || !readTarget(in, text, target)) {
    return false;
  }
  if (click != "0" && click != "1") return false;
  d.click = click == "1";
  d.path = platform::hostPath(d.name);
  d.reserve = configuredDiskReserve();
  const bool ok = !d.url.empty() && !d.name.empty() && download(d);
  return setVariable(in, target, ok ? "0" : "1");
}

constexpr Command kDownloadCommands[] = {
    {"TRAZDAREDE", trazDaRede},
};

}  // namespace

Library downloadLibrary() { return kDownloadCommands; }

}  // namespace engine
