#include "net/connection.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fcntl.h>

#include <cerrno>

#include "net/resolve.h"
#include "net/tls.h"

namespace net {
namespace {

// Slice of a wait between two idle steps.
constexpr int kSliceMs = 100;

int waitFor(int fd, short events, int timeoutMs) {
  pollfd p{fd, events, 0};
  int r;
  do r = ::poll(&p, 1, timeoutMs);
  while (r < 0 && errno == EINTR);
  if (r < 0) return -1;
  return r > 0 && p.revents != 0 ? 1 : 0;
}

std::string dotted(const sockaddr_in& a) {
  char text[INET_ADDRSTRLEN];
  return inet_ntop(AF_INET, &a.sin_addr, text, sizeof text) ? text : "";
}

}  // namespace

int waitIdling(int fd, short events, Idle idle, std::chrono::steady_clock::time_point until) {
  int ready = 0;
  while ((ready = waitFor(fd, events, kSliceMs)) == 0 && idle() && std::chrono::steady_clock::now() < until) {
  }
  return ready;
}

int openConnection(std::string_view host, uint16_t port, Idle idle) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  if (!resolveHost(host, to.sin_addr)) return -1;
  // Connected without blocking, so that an unanswered connect can be given
  // up; the socket blocks again once connected.
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_TCP);
  if (fd < 0) return -1;
  bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0;
  if (!connected && errno == EINPROGRESS) {
    const int ready = waitIdling(fd, POLLOUT, idle);
    int error = 0;
    socklen_t size = sizeof error;
    connected = ready > 0 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
  }
  if (!connected || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

int acceptOne(uint16_t port, Idle idle) {
  const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (listener < 0) return -1;
  const int yes = 1;
  ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_port = htons(port);
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int client = -1;
  if (::bind(listener, reinterpret_cast<const sockaddr*>(&at), sizeof at) == 0 && ::listen(listener, 3) == 0) {
    if (waitIdling(listener, POLLIN, idle) > 0) client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
  }
  ::close(listener);
  return client;
}

void closeConnection(int fd) {
  endTls(fd);
  if (fd >= 0) ::close(fd);
}

bool isReadable(int fd, int timeoutMs) { return fd < 0 || tlsPending(fd) || waitFor(fd, POLLIN, timeoutMs) != 0; }

bool sendAll(int fd, std::string_view bytes) {
  const bool tls = isTls(fd);
  while (!bytes.empty()) {
    if (tls) {
      const long sent = tlsWrite(fd, bytes.data(), bytes.size());
      if (sent <= 0) return false;
      bytes.remove_prefix(static_cast<size_t>(sent));
      continue;
    }
    const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (waitFor(fd, POLLOUT, kSliceMs) < 0) return false;
      continue;
    }
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

long receiveSome(int fd, char* area, size_t size) {
  if (isTls(fd)) return tlsRead(fd, area, size);
  ssize_t got;
  do got = ::recv(fd, area, size, 0);
  while (got < 0 && errno == EINTR);
  return got;
}

std::string localAddress(int fd) {
  sockaddr_in a{};
  socklen_t n = sizeof a;
  return ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n) == 0 && a.sin_family == AF_INET ? dotted(a) : "";
}

std::string remoteAddress(int fd) {
  sockaddr_in a{};
  socklen_t n = sizeof a;
  return ::getpeername(fd, reinterpret_cast<sockaddr*>(&a), &n) == 0 && a.sin_family == AF_INET ? dotted(a) : "";
}

}  // namespace net
