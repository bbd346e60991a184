#include "net/tls.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <fcntl.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <map>
#include <memory>

#include "net/connection.h"
#include "net/resolve.h"

namespace net {
namespace {

// A server that never answers the handshake must not hold the script, even
// when the user does not give the wait up.
constexpr auto kHandshakeLimit = std::chrono::seconds(30);

std::map<int, SSL*> g_sessions;
void (*g_report)(int) = nullptr;

struct ContextFree {
  void operator()(SSL_CTX* c) const { SSL_CTX_free(c); }
};

// One context per set of options; made again when the options change.
SSL_CTX* context(const TlsOptions& options) {
  static std::unique_ptr<SSL_CTX, ContextFree> made;
  static TlsOptions madeFor;
  if (made && madeFor.caFile == options.caFile && madeFor.verify == options.verify) return made.get();
  made.reset(SSL_CTX_new(TLS_client_method()));
  madeFor = options;
  if (!made) return nullptr;
  // Whole buffers from the socket instead of a header and a record apart:
  // half the receives on a download.
  SSL_CTX_set_read_ahead(made.get(), 1);
  if (options.verify) {
    SSL_CTX_set_verify(made.get(), SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_default_verify_paths(made.get());
    // A CA file that cannot be read adds nothing; verification stays on.
    if (!options.caFile.empty()) SSL_CTX_load_verify_locations(made.get(), options.caFile.c_str(), nullptr);
  }
  return made.get();
}

// The handshake runs without blocking, so that between slices the idle step
// keeps the window alive and the user can give it up, as for the connect.
bool runHandshake(SSL* ssl, int fd, Idle idle) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) return false;
  const auto until = std::chrono::steady_clock::now() + kHandshakeLimit;
  bool ok = false;
  for (;;) {
    const int result = SSL_connect(ssl);
    if (result > 0) {
      ok = true;
      break;
    }
    const int why = SSL_get_error(ssl, result);
    const short events = why == SSL_ERROR_WANT_READ ? POLLIN : why == SSL_ERROR_WANT_WRITE ? POLLOUT : 0;
    if (events == 0 || waitIdling(fd, events, idle, until) <= 0) break;
  }
  return ::fcntl(fd, F_SETFL, flags) == 0 && ok;
}

bool handshake(int fd, std::string_view host, const TlsOptions& options, Idle idle) {
  SSL_CTX* ctx = context(options);
  SSL* ssl = ctx ? SSL_new(ctx) : nullptr;
  if (!ssl) return false;
  const std::string name(host);
  SSL_set_fd(ssl, fd);
  SSL_set_tlsext_host_name(ssl, name.c_str());
  if (options.verify) {
    if (isNumericAddress(host)) X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), name.c_str());
    else SSL_set1_host(ssl, name.c_str());
  }
  // OpenSSL writes with plain write(): a peer gone away must give an error,
  // not the signal that ends the program.
  std::signal(SIGPIPE, SIG_IGN);
  const bool ok = runHandshake(ssl, fd, idle);
  ERR_clear_error();
  if (!ok) {
    SSL_free(ssl);
    return false;
  }
  g_sessions[fd] = ssl;
  return true;
}

SSL* session(int fd) {
  const auto found = g_sessions.find(fd);
  return found == g_sessions.end() ? nullptr : found->second;
}

}  // namespace

int openTlsConnection(std::string_view host, uint16_t port, const TlsOptions& options, Idle idle) {
  const int fd = openConnection(host, port, idle);
  if (fd < 0 || handshake(fd, host, options, idle)) return fd;
  closeConnection(fd);
  return -1;
}

void setTlsErrorReport(void (*report)(int code)) { g_report = report; }

bool isTls(int fd) { return session(fd) != nullptr; }

long tlsRead(int fd, char* area, size_t size) {
  SSL* ssl = session(fd);
  for (;;) {
    const int n = SSL_read(ssl, area, static_cast<int>(std::min<size_t>(size, 1 << 30)));
    const int e = SSL_get_error(ssl, n);
    ERR_clear_error();
    if (e == SSL_ERROR_NONE) return n;
    if (e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE) {
      isReadable(fd, 100);
      continue;
    }
    if (e != SSL_ERROR_SYSCALL && e != SSL_ERROR_ZERO_RETURN && g_report) g_report(e);
    return -1;
  }
}

long tlsWrite(int fd, const char* bytes, size_t length) {
  SSL* ssl = session(fd);
  for (;;) {
    const int n = SSL_write(ssl, bytes, static_cast<int>(std::min<size_t>(length, 1 << 30)));
    const int e = SSL_get_error(ssl, n);
    ERR_clear_error();
    if (e == SSL_ERROR_NONE) return n;
    if (e != SSL_ERROR_WANT_READ && e != SSL_ERROR_WANT_WRITE) return -1;
    isReadable(fd, 100);
  }
}

bool tlsPending(int fd) {
  // Bytes read ahead from the socket count too: no poll of the socket would
  // show them.
  SSL* ssl = session(fd);
  return ssl && SSL_has_pending(ssl) == 1;
}

void endTls(int fd) {
  SSL* ssl = session(fd);
  if (!ssl) return;
  // The peer is told the session ends; a failure here changes nothing.
  SSL_shutdown(ssl);
  ERR_clear_error();
  SSL_free(ssl);
  g_sessions.erase(fd);
}

}  // namespace net
