// Files vitrine-demo leaves in its state directory for whoever starts it.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

namespace vitrine {

// Writes through a temporary file and a rename, so that a reader never sees
// half a file. False, with the reason, when it cannot.
bool writeFileAtomic(const std::string& path, std::string_view content, mode_t mode, std::string& error);

// Creates a directory and its parents.
bool makeDirectories(const std::string& path, std::string& error);

struct BoundPorts {
  int api = 0, notes = 0, web = 0;
};

// "api=6000\nnotes=6001\nweb=8443\n": the ports actually bound.
std::string portsFileText(const BoundPorts& ports);

// The Escuta.ini sections a client needs to use this portal: where it is, and
// the CA to trust for the web host.
std::string clientIniText(const std::string& host, const BoundPorts& ports, const std::string& caFile);

}  // namespace vitrine
