// vitrine-demo: a local stand-in for the Vitrine Aberta portal, so that the
// client and the companion can be tried and tested without the real one.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/signalfd.h>
#include <unistd.h>
#include <vector>

#include "catalogue.h"
#include "options.h"
#include "platform/base/paths.h"
#include "platform/base/printable.h"
#include "portal.h"
#include "request_log.h"
#include "server.h"
#include "state_files.h"
#include "tls_identity.h"

using namespace vitrine;

namespace {

std::string defaultStateDir() {
  if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && *xdg) return std::string(xdg) + "/vitrine-demo";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.local/state/vitrine-demo";
}

int fatal(const std::string& message) {
  platform::printError("vitrine-demo", message);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const OptionsResult parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.ok) {
    platform::printError("vitrine-demo", parsed.error);
    std::fputs(usageText().c_str(), stderr);
    return 2;
  }
  Options o = parsed.options;
  if (o.help) {
    std::fputs(usageText().c_str(), stdout);
    return 0;
  }
  // The catalogue and the media are only read: the shared data serves.
  const std::string root = platform::sharedDataRoot() + "/vitrine";
  if (o.fixture.empty()) o.fixture = root + "/catalogo.json";
  if (o.updatesDir.empty()) o.updatesDir = root + "/mantenedor";
  if (o.mediaDir.empty()) o.mediaDir = root + "/midia";
  if (o.stateDir.empty()) o.stateDir = defaultStateDir();

  // Stop signals are taken from a descriptor by the accept loop, on no thread.
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  sigaddset(&stop, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  const int stopFd = ::signalfd(-1, &stop, SFD_CLOEXEC);

  const CatalogueResult catalogue = loadCatalogue(o.fixture);
  if (!catalogue.ok) return fatal(catalogue.error);
  std::string error;
  const std::string portsFile = o.stateDir + "/ports";
  if (!makeDirectories(o.stateDir, error)) return fatal(error);
  ::unlink(portsFile.c_str());  // a caller waiting for it must not read an old one
  const TlsResult tls = prepareTls(o.stateDir, o.host);
  if (!tls.context) return fatal(tls.error);

  RequestLog log;
  if (!o.logFile.empty() && !(log.file = std::fopen(o.logFile.c_str(), "a")))
    return fatal(o.logFile + ": cannot be written");

  std::vector<Listener> listeners(3);
  if (!listenLoopback(ServerKind::api, o.apiPort, listeners[0], error) ||
      !listenLoopback(ServerKind::notes, o.notesPort, listeners[1], error) ||
      !listenLoopback(ServerKind::web, o.webPort, listeners[2], error))
    return fatal(error);
  const BoundPorts ports{listeners[0].port, listeners[1].port, listeners[2].port};

  Portal portal{catalogue.catalogue, {}, {}};
  portal.settings.linkBase = "https://" + o.host + (ports.web == 443 ? "" : ":" + std::to_string(ports.web));
  portal.settings.mediaDir = o.mediaDir;
  portal.settings.updatesDir = o.updatesDir;
  portal.settings.failures = o.failures;

  if (::access((o.mediaDir + "/filme.ogg").c_str(), R_OK) != 0)
    platform::printError("vitrine-demo", "no media in " + o.mediaDir + ": media links will answer 404");
  if (!writeFileAtomic(o.stateDir + "/escuta-demo.ini", clientIniText(o.host, ports, tls.caFile), 0644, error) ||
      !writeFileAtomic(portsFile, portsFileText(ports), 0644, error))
    return fatal(error);
  std::printf("vitrine-demo: API http://127.0.0.1:%d, notifications http://127.0.0.1:%d, web %s\n"
              "vitrine-demo: CA %s; client settings %s/escuta-demo.ini\n",
              ports.api, ports.notes, portal.settings.linkBase.c_str(), tls.caFile.c_str(), o.stateDir.c_str());
  std::fflush(stdout);

  ServeSettings settings;
  settings.latencyMs = o.latencyMs;
  settings.timeoutMs = o.timeoutMs;
  const bool allEnded = serve(listeners, portal, tls.context.get(), log, settings, stopFd);
  ::unlink(portsFile.c_str());
  if (log.file) std::fflush(log.file);
  if (!allEnded) std::_Exit(0);  // a connection still holds the portal
  if (log.file) std::fclose(log.file);
  return 0;
}
