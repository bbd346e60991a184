// The web host's TLS identity: a CA made for this demo alone, kept in the
// state directory so that a client configured to trust it keeps trusting it,
// and a server certificate for the host name, made afresh at every start.
#pragma once

#include <memory>
#include <string>

#include <openssl/ssl.h>

namespace vitrine {

using SslContext = std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)>;

struct TlsResult {
  SslContext context{nullptr, SSL_CTX_free};
  std::string caFile;  // ca.pem, the certificate clients add to their trust
  std::string error;   // when there is no context
};

// Reuses ca.pem and ca-key.pem from stateDir while they are valid for a month
// more, makes them otherwise; then writes server.pem and server-key.pem for
// host (also valid for localhost, 127.0.0.1 and ::1) and returns a server
// context that presents them.
TlsResult prepareTls(const std::string& stateDir, const std::string& host);

}  // namespace vitrine
