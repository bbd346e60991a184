#include "options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <functional>
#include <map>

namespace vitrine {
namespace {

bool toInt(const std::string& s, int lo, int hi, int& out) {
  int n = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size() || n < lo || n > hi) return false;
  out = n;
  return true;
}

bool isHostName(const std::string& s) {
  return !s.empty() && s.size() <= 253 && s.front() != '-' && s.front() != '.' &&
         std::all_of(s.begin(), s.end(), [](char c) {
           return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.';
         });
}

}  // namespace

std::string usageText() {
  return "usage: vitrine-demo [options]\n"
         "Serves the demo portal on 127.0.0.1: the API server (plain HTTP), the\n"
         "notifications server (plain HTTP) and the web host (HTTPS).\n"
         "  --host NAME          the web host's name in its certificate and links (localhost)\n"
         "  --api-port N         API server port, POST /conectar, DELETE /desconectar (6000)\n"
         "  --notes-port N       notifications port, GET /notificacoes (6001)\n"
         "  --web-port N         web host port (8443); 0 on any port picks a free one\n"
         "  --fixture FILE       catalogue (data root's vitrine/catalogo.json)\n"
         "  --updates DIR        folder served as /gdrive/software/mantenedor/ (vitrine/mantenedor)\n"
         "  --media DIR          generated media files (vitrine/midia)\n"
         "  --state-dir DIR      CA, certificate, escuta-demo.ini and the ports file\n"
         "                       ($XDG_STATE_HOME/vitrine-demo)\n"
         "  --log FILE           append every request received, one JSON object a line\n"
         "  --latency MS         wait before every answer\n"
         "  --fail PATH=CODE     answer CODE to every request for PATH (repeatable), with\n"
         "                       an error of two JSON lines\n"
         "  --timeout MS         how long a connection may take to send its request (10000)\n"
         "  --help\n";
}

OptionsResult parseOptions(const std::vector<std::string>& args) {
  OptionsResult r;
  Options& o = r.options;
  const auto port = [](int& field) {
    return [&field](const std::string& v) { return toInt(v, 0, 65535, field); };
  };
  const auto text = [](std::string& field) {
    return [&field](const std::string& v) {
      field = v;
      return !v.empty();
    };
  };
  const std::map<std::string, std::function<bool(const std::string&)>> withValue{
      {"--host", [&](const std::string& v) { o.host = v; return isHostName(v); }},
      {"--api-port", port(o.apiPort)},
      {"--notes-port", port(o.notesPort)},
      {"--web-port", port(o.webPort)},
      {"--fixture", text(o.fixture)},
      {"--updates", text(o.updatesDir)},
      {"--media", text(o.mediaDir)},
      {"--state-dir", text(o.stateDir)},
      {"--log", text(o.logFile)},
      {"--latency", [&](const std::string& v) { return toInt(v, 0, 600000, o.latencyMs); }},
      {"--timeout", [&](const std::string& v) { return toInt(v, 1, 600000, o.timeoutMs); }},
      {"--fail",
       [&](const std::string& v) {
         const size_t eq = v.rfind('=');
         int code = 0;
         if (eq == std::string::npos || eq == 0 || v[0] != '/' || !toInt(v.substr(eq + 1), 200, 599, code))
           return false;
         o.failures.emplace_back(v.substr(0, eq), code);
         return true;
       }},
  };
  for (size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i], value;
    if (name == "--help" || name == "-h") {
      o.help = true;
      continue;
    }
    const size_t eq = name.find('=');
    const bool inline_value = name.starts_with("--") && eq != std::string::npos;
    if (inline_value) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
    }
    const auto it = withValue.find(name);
    if (it == withValue.end()) {
      r.error = "unknown option " + name;
      return r;
    }
    if (!inline_value) {
      if (i + 1 >= args.size()) {
        r.error = name + " needs a value";
        return r;
      }
      value = args[++i];
    }
    if (!it->second(value)) {
      r.error = "bad value for " + name + ": " + value;
      return r;
    }
  }
  r.ok = true;
  return r;
}

}  // namespace vitrine
