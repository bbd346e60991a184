#include "client_directory.h"

#include <stdlib.h>
#include <unistd.h>


#include "platform/base/paths.h"
#include "platform/base/printable.h"
#include "settings/settings.h"

namespace app {

std::string clientDirectory() { return platform::dataRoot() + "/telinha"; }

void enterClientDirectory() {
  ::setenv("ESCUTA_CONFIG_DIR", settings::configDir().c_str(), 1);
  const std::string dir = clientDirectory();
  for (const char* sub : {"/temp", "/downloads/filmes", "/sinopses/filmes"}) platform::makeDirectories(dir + sub);
  if (::chdir(dir.c_str()) != 0) platform::printError("telinha", "cannot enter the client's directory " + dir);
}

}  // namespace app
