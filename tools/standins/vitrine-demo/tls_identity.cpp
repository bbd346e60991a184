#include "tls_identity.h"

#include <arpa/inet.h>
#include <ctime>
#include <utility>
#include <vector>

#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509v3.h>

#include "state_files.h"

namespace vitrine {
namespace {

using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using Cert = std::unique_ptr<X509, decltype(&X509_free)>;
using Bio = std::unique_ptr<BIO, decltype(&BIO_free)>;

constexpr long kDay = 24 * 60 * 60;

std::string lastError(const std::string& what) {
  char buf[256] = "";
  ERR_error_string_n(ERR_get_error(), buf, sizeof buf);
  return what + ": " + buf;
}

std::string bioText(BIO* bio) {
  char* data = nullptr;
  const long n = BIO_get_mem_data(bio, &data);
  return std::string(data, static_cast<size_t>(n));
}

std::string certPem(X509* cert) {
  const Bio bio(BIO_new(BIO_s_mem()), BIO_free);
  PEM_write_bio_X509(bio.get(), cert);
  return bioText(bio.get());
}

std::string keyPem(EVP_PKEY* key) {
  const Bio bio(BIO_new(BIO_s_mem()), BIO_free);
  PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr);
  return bioText(bio.get());
}

Key newKey() { return Key(EVP_EC_gen("P-256"), EVP_PKEY_free); }

struct CertPlan {
  std::string commonName;
  long days;
  std::vector<std::pair<int, std::string>> extensions;  // added in this order
};

// Signs with issuerKey as issuer; a certificate with no issuer signs itself.
Cert makeCert(EVP_PKEY* key, const CertPlan& plan, X509* issuer, EVP_PKEY* issuerKey) {
  Cert cert(X509_new(), X509_free);
  if (!cert || !X509_set_version(cert.get(), 2)) return Cert(nullptr, X509_free);
  unsigned char serial[16];
  RAND_bytes(serial, sizeof serial);
  serial[0] &= 0x7F;  // a positive serial
  BIGNUM* bn = BN_bin2bn(serial, sizeof serial, nullptr);
  BN_to_ASN1_INTEGER(bn, X509_get_serialNumber(cert.get()));
  BN_free(bn);
  X509_gmtime_adj(X509_getm_notBefore(cert.get()), -kDay);
  X509_gmtime_adj(X509_getm_notAfter(cert.get()), plan.days * kDay);
  X509_set_pubkey(cert.get(), key);
  X509_NAME* name = X509_get_subject_name(cert.get());
  X509_NAME_add_entry_by_txt(name, "O", MBSTRING_UTF8,
                             reinterpret_cast<const unsigned char*>("Vitrine Aberta demo"), -1, -1, 0);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                             reinterpret_cast<const unsigned char*>(plan.commonName.c_str()), -1, -1, 0);
  X509_set_issuer_name(cert.get(), issuer ? X509_get_subject_name(issuer) : name);
  X509V3_CTX ctx;
  X509V3_set_ctx(&ctx, issuer ? issuer : cert.get(), cert.get(), nullptr, nullptr, 0);
  for (const auto& [nid, value] : plan.extensions) {
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value.c_str());
    const bool added = ext && X509_add_ext(cert.get(), ext, -1);
    X509_EXTENSION_free(ext);
    if (!added) return Cert(nullptr, X509_free);
  }
  if (!X509_sign(cert.get(), issuerKey ? issuerKey : key, EVP_sha256())) return Cert(nullptr, X509_free);
  return cert;
}

bool validForAMonth(X509* cert) {
  std::time_t later = std::time(nullptr) + 30 * kDay;
  return X509_cmp_time(X509_get0_notAfter(cert), &later) > 0;
}

// The CA kept from an earlier run, when it is whole and still good.
std::pair<Cert, Key> loadCa(const std::string& certFile, const std::string& keyFile) {
  std::pair<Cert, Key> ca{Cert(nullptr, X509_free), Key(nullptr, EVP_PKEY_free)};
  const Bio certBio(BIO_new_file(certFile.c_str(), "r"), BIO_free);
  const Bio keyBio(BIO_new_file(keyFile.c_str(), "r"), BIO_free);
  if (!certBio || !keyBio) return ca;
  Cert cert(PEM_read_bio_X509(certBio.get(), nullptr, nullptr, nullptr), X509_free);
  Key key(PEM_read_bio_PrivateKey(keyBio.get(), nullptr, nullptr, nullptr), EVP_PKEY_free);
  if (cert && key && X509_check_private_key(cert.get(), key.get()) && validForAMonth(cert.get()))
    ca = {std::move(cert), std::move(key)};
  return ca;
}

std::string altNames(const std::string& host) {
  in_addr v4{};
  std::string names = "DNS:localhost,IP:127.0.0.1,IP:::1";
  if (host == "localhost" || host == "127.0.0.1") return names;
  return names + (inet_pton(AF_INET, host.c_str(), &v4) == 1 ? ",IP:" : ",DNS:") + host;
}

}  // namespace

TlsResult prepareTls(const std::string& stateDir, const std::string& host) {
  TlsResult r;
  const std::string caFile = stateDir + "/ca.pem", caKeyFile = stateDir + "/ca-key.pem";
  auto [ca, caKey] = loadCa(caFile, caKeyFile);
  if (!ca) {
    caKey = newKey();
    if (!caKey) return {{nullptr, SSL_CTX_free}, {}, lastError("CA key")};
    ca = makeCert(caKey.get(),
                  {"Vitrine Aberta demo CA", 3650,
                   {{NID_basic_constraints, "critical,CA:TRUE,pathlen:0"},
                    {NID_key_usage, "critical,keyCertSign,cRLSign"},
                    {NID_subject_key_identifier, "hash"},
                    {NID_authority_key_identifier, "keyid:always"}}},
                  nullptr, nullptr);
    if (!ca) return {{nullptr, SSL_CTX_free}, {}, lastError("CA certificate")};
    if (!writeFileAtomic(caKeyFile, keyPem(caKey.get()), 0600, r.error) ||
        !writeFileAtomic(caFile, certPem(ca.get()), 0644, r.error))
      return r;
  }

  const Key key = newKey();
  const Cert cert = key ? makeCert(key.get(),
                                   {host, 365,
                                    {{NID_basic_constraints, "critical,CA:FALSE"},
                                     {NID_key_usage, "critical,digitalSignature"},
                                     {NID_ext_key_usage, "serverAuth"},
                                     {NID_subject_alt_name, altNames(host)},
                                     {NID_subject_key_identifier, "hash"},
                                     {NID_authority_key_identifier, "keyid:always"}}},
                                   ca.get(), caKey.get())
                        : Cert(nullptr, X509_free);
  if (!cert) return {{nullptr, SSL_CTX_free}, {}, lastError("server certificate")};
  if (!writeFileAtomic(stateDir + "/server-key.pem", keyPem(key.get()), 0600, r.error) ||
      !writeFileAtomic(stateDir + "/server.pem", certPem(cert.get()) + certPem(ca.get()), 0644, r.error))
    return r;

  SslContext ctx(SSL_CTX_new(TLS_server_method()), SSL_CTX_free);
  if (!ctx || !SSL_CTX_set_min_proto_version(ctx.get(), TLS1_2_VERSION) ||
      !SSL_CTX_use_certificate(ctx.get(), cert.get()) || !SSL_CTX_add1_chain_cert(ctx.get(), ca.get()) ||
      !SSL_CTX_use_PrivateKey(ctx.get(), key.get()) || !SSL_CTX_check_private_key(ctx.get()))
    return {{nullptr, SSL_CTX_free}, {}, lastError("TLS context")};
  r.context = std::move(ctx);
  r.caFile = caFile;
  return r;
}

}  // namespace vitrine
