#include "state_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vitrine {

bool writeFileAtomic(const std::string& path, std::string_view content, mode_t mode, std::string& error) {
  const std::string temp = path + ".tmp" + std::to_string(::getpid());
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) {
    error = temp + ": " + std::strerror(errno);
    return false;
  }
  size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  const bool written = done == content.size() && ::fchmod(fd, mode) == 0;
  if (::close(fd) != 0 || !written || ::rename(temp.c_str(), path.c_str()) != 0) {
    error = path + ": " + std::strerror(errno);
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

bool makeDirectories(const std::string& path, std::string& error) {
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (!part.empty() && ::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
      error = part + ": " + std::strerror(errno);
      return false;
    }
    if (slash == std::string::npos) return true;
  }
}

std::string portsFileText(const BoundPorts& p) {
  return "api=" + std::to_string(p.api) + "\nnotes=" + std::to_string(p.notes) + "\nweb=" +
         std::to_string(p.web) + "\n";
}

std::string clientIniText(const std::string& host, const BoundPorts& p, const std::string& caFile) {
  return "; Escuta.ini sections for a client of vitrine-demo\r\n"
         "[TLS]\r\nCERTIFICADOS=" + caFile + "\r\n"
         "[TELINHA]\r\nHOSTWEB=" + host + "\r\nPORTAWEB=" + std::to_string(p.web) +
         "\r\nHOSTAPI=127.0.0.1\r\nPORTAAPI=" + std::to_string(p.api) +
         "\r\nPORTANOTIFICACOES=" + std::to_string(p.notes) + "\r\n";
}

}  // namespace vitrine
