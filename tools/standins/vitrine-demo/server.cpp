#include "server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include <openssl/crypto.h>

#include "catalogue_answers.h"

namespace vitrine {
namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kChunk = 16 * 1024;
constexpr int kDrainMs = 1000;
constexpr size_t kDrainMax = 1024 * 1024;

// A connection, plain or TLS.
struct Stream {
  int fd;
  SSL* ssl;  // none for plain connections
};

int msLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

bool waitFor(int fd, short events, int ms) {
  pollfd p{fd, events, 0};
  int n;
  do n = ::poll(&p, 1, ms);
  while (n < 0 && errno == EINTR);
  return n > 0;
}

bool waitReadable(const Stream& s, int ms) {
  if (s.ssl && SSL_pending(s.ssl) > 0) return true;
  return ms > 0 && waitFor(s.fd, POLLIN, ms);
}

// The handshake runs non-blocking, so that a peer that trickles it in cannot
// hold the connection past the deadline.
bool handshake(SSL* ssl, int fd, Clock::time_point deadline) {
  const int flags = ::fcntl(fd, F_GETFL);
  ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  bool done = false;
  for (;;) {
    const int r = SSL_accept(ssl);
    if (r == 1) {
      done = true;
      break;
    }
    const int e = SSL_get_error(ssl, r);
    if ((e != SSL_ERROR_WANT_READ && e != SSL_ERROR_WANT_WRITE) ||
        !waitFor(fd, e == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT, msLeft(deadline)))
      break;
  }
  ::fcntl(fd, F_SETFL, flags);
  return done;
}

// Bytes read, 0 at the end of the connection, below 0 on failure.
long readSome(const Stream& s, char* buf, size_t size) {
  if (s.ssl) return SSL_read(s.ssl, buf, static_cast<int>(size));
  long n;
  do n = ::recv(s.fd, buf, size, 0);
  while (n < 0 && errno == EINTR);
  return n;
}

bool writeAll(const Stream& s, std::string_view data) {
  while (!data.empty()) {
    long n;
    if (s.ssl) {
      n = SSL_write(s.ssl, data.data(), static_cast<int>(std::min<size_t>(data.size(), 1 << 30)));
    } else {
      do n = ::send(s.fd, data.data(), data.size(), MSG_NOSIGNAL);
      while (n < 0 && errno == EINTR);
    }
    if (n <= 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Ends the connection so that the answer arrives whole: a close with unread
// bytes pending (the empty line the client sends after a body) would reset
// the connection, and the peer could lose the answer. So the write side is
// shut first and what is still coming is read and dropped, for a while.
void finish(const Stream& s) {
  if (s.ssl) SSL_shutdown(s.ssl);
  ::shutdown(s.fd, SHUT_WR);
  const auto end = Clock::now() + std::chrono::milliseconds(kDrainMs);
  char buf[4096];
  size_t drained = 0;
  while (drained < kDrainMax) {
    if (!waitReadable(s, msLeft(end))) break;
    const long n = readSome(s, buf, sizeof buf);
    if (n <= 0) break;
    drained += static_cast<size_t>(n);
  }
}

std::string peerName(int fd) {
  sockaddr_in addr{};
  socklen_t len = sizeof addr;
  char ip[INET_ADDRSTRLEN] = "?";
  if (::getpeername(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
    ::inet_ntop(AF_INET, &addr.sin_addr, ip, sizeof ip);
  return std::string(ip) + ":" + std::to_string(ntohs(addr.sin_port));
}

Response refusal(int status, std::string_view message) {
  return {status, "application/json; charset=utf-8", {}, errorBody(message)};
}

struct Shared {
  Portal& portal;
  SSL_CTX* webTls;
  RequestLog& log;
  ServeSettings settings;
  std::mutex mutex;
  std::condition_variable idle;
  int active = 0;
};

// Reads one request within the time allowed; the answer is none when the
// peer went away or said nothing at all.
std::optional<Response> readAndAnswer(Shared& sh, ServerKind kind, const Stream& s,
                                      Clock::time_point deadline, std::string& received, Request& request) {
  char buf[kChunk];
  for (;;) {
    ParseResult parsed = parseRequest(received, sh.settings.limits);
    switch (parsed.status) {
      case ParseStatus::complete:
        request = std::move(parsed.request);
        return respond(sh.portal, kind, request);
      case ParseStatus::malformed: return refusal(400, "Requisição malformada.");
      case ParseStatus::headTooLarge: return refusal(431, "Cabeçalhos grandes demais.");
      case ParseStatus::bodyTooLarge: return refusal(413, "Corpo grande demais.");
      case ParseStatus::incomplete: break;
    }
    if (!waitReadable(s, msLeft(deadline))) {
      if (received.empty()) return std::nullopt;
      return refusal(408, "A requisição não chegou inteira a tempo.");
    }
    const long n = readSome(s, buf, sizeof buf);
    if (n <= 0) return std::nullopt;
    received.append(buf, static_cast<size_t>(n));
  }
}

void handleConnection(Shared& sh, ServerKind kind, int fd) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(sh.settings.timeoutMs);
  timeval tv{sh.settings.timeoutMs / 1000, (sh.settings.timeoutMs % 1000) * 1000};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
  const int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);

  Stream s{fd, nullptr};
  if (kind == ServerKind::web) {
    s.ssl = SSL_new(sh.webTls);
    if (!s.ssl || !SSL_set_fd(s.ssl, fd) || !handshake(s.ssl, fd, deadline)) {
      SSL_free(s.ssl);
      ::close(fd);
      return;
    }
  }
  std::string received;
  Request request;
  if (const auto response = readAndAnswer(sh, kind, s, deadline, received, request)) {
    const std::string_view raw = request.size ? std::string_view(received).substr(0, request.size)
                                              : std::string_view(received).substr(0, sh.settings.limits.maxHead);
    logRequest(sh.log, {serverName(kind), peerName(fd), request.method, request.path, response->status, raw});
    if (sh.settings.latencyMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(sh.settings.latencyMs));
    if (writeAll(s, formatResponse(*response))) finish(s);
  }
  SSL_free(s.ssl);
  ::close(fd);
}

}  // namespace

bool listenLoopback(ServerKind kind, int port, Listener& out, std::string& error) {
  // Non-blocking, so that accepting never waits for a peer that went away.
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  const int one = 1;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  socklen_t len = sizeof addr;
  if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0 ||
      ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 64) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    error = std::string(serverName(kind)) + " server on 127.0.0.1:" + std::to_string(port) + ": " +
            std::strerror(errno);
    if (fd >= 0) ::close(fd);
    return false;
  }
  out = {kind, fd, ntohs(addr.sin_port)};
  return true;
}

bool serve(const std::vector<Listener>& listeners, Portal& portal, SSL_CTX* webTls, RequestLog& log,
           const ServeSettings& settings, int stopFd) {
  // Outlives serve() when a connection is still stuck in a write at the end.
  auto& sh = *new Shared{portal, webTls, log, settings, {}, {}, 0};
  std::vector<pollfd> fds{{stopFd, POLLIN, 0}};
  for (const Listener& l : listeners) fds.push_back({l.fd, POLLIN, 0});
  for (;;) {
    const int ready = ::poll(fds.data(), fds.size(), -1);
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0) continue;
    if (fds[0].revents) break;
    for (size_t i = 1; i < fds.size(); ++i) {
      if (!(fds[i].revents & POLLIN)) continue;
      const int fd = ::accept4(fds[i].fd, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      {
        const std::lock_guard lock(sh.mutex);
        if (sh.active >= settings.maxConnections) {
          ::close(fd);
          continue;
        }
        ++sh.active;
      }
      const ServerKind kind = listeners[i - 1].kind;
      std::thread([&sh, kind, fd] {
        handleConnection(sh, kind, fd);
        // The thread's own TLS state (its random generators) goes now, not at
        // thread exit, which may come after the process has ended.
        OPENSSL_thread_stop();
        const std::lock_guard lock(sh.mutex);
        if (--sh.active == 0) sh.idle.notify_all();
      }).detach();
    }
  }
  for (const Listener& l : listeners) ::close(l.fd);
  // Reading a request is bounded by the timeout; an answer to a reader that
  // stalls is not, so the wait for the last connections is bounded here.
  const auto bound = std::chrono::milliseconds(2 * settings.timeoutMs + settings.latencyMs + kDrainMs);
  std::unique_lock lock(sh.mutex);
  const bool idle = sh.idle.wait_for(lock, bound, [&] { return sh.active == 0; });
  lock.unlock();
  if (idle) delete &sh;
  return idle;
}

}  // namespace vitrine
