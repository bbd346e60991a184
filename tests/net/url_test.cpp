// URL splitting, redirection targets and percent-encoding, as tables.
#include <gtest/gtest.h>

#include "net/url.h"

namespace {

TEST(Urls, Split) {
  const struct {
    const char* url;
    bool secure;
    const char* host;
    uint16_t port;
    bool valid;
    const char* path;
  } cases[] = {
      {"http://exemplo.com.br:8080/a/b.mp3", false, "exemplo.com.br", 8080, true, "/a/b.mp3"},
      {"http://exemplo.com.br", false, "exemplo.com.br", 80, true, "/"},
      {"HTTPS://exemplo.com.br/x?y=1", true, "exemplo.com.br", 443, true, "/x?y=1"},
      {"https://h:8443", true, "h", 8443, true, "/"},
      {"http://h/a:b/c", false, "h", 80, true, "/a:b/c"},  // a colon in the path is no port
      {"http://h:/p", false, "h", 80, true, "/p"},
      {"http://h:abc/p", false, "h", 0, false, "/p"},
      {"http://h:70000/p", false, "h", 0, false, "/p"},
  };
  for (const auto& c : cases) {
    const net::Url u = net::splitUrl(c.url);
    EXPECT_EQ(u.secure, c.secure) << c.url;
    EXPECT_EQ(u.host, c.host) << c.url;
    EXPECT_EQ(u.portValid, c.valid) << c.url;
    if (c.valid) {
      EXPECT_EQ(u.port, c.port) << c.url;
    }
    EXPECT_EQ(u.path, c.path) << c.url;
  }
}

TEST(Urls, RedirectionTargets) {
  const struct {
    const char* base;
    const char* target;
    const char* resolved;
  } cases[] = {
      {"http://a/x/y", "https://b:1/z", "https://b:1/z"},
      {"http://a:8080/x/y", "/novo", "http://a:8080/novo"},
      {"http://a/x/y?q=/w", "z", "http://a/x/z"},
      {"http://a", "z", "http://a/z"},
      {"http://a/", "/", "http://a/"},
  };
  for (const auto& c : cases) EXPECT_EQ(net::resolveLocation(c.base, c.target), c.resolved) << c.target;
}

TEST(Urls, PercentEncoding) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {{"a b/c", "a%20b%2Fc"}, {"Az09-._~", "Az09-._~"}, {"\xE7+%", "%E7%2B%25"}, {"", ""}};
  for (const auto& c : cases) EXPECT_EQ(net::percentEncode(c.in), c.out) << c.in;
}

}  // namespace
