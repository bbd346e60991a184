// telinha_con, the portal client's companion: the runtime with the
// companion's script built in, the portal's addresses from Escuta.ini put into
// it, run from the client's own directory, which an update unpacks into.
#include "apps/common/client_directory.h"
#include "apps/common/portal_settings.h"
#include "apps/common/script_program.h"

int main(int argc, char** argv) {
  return app::runScriptProgram(argc, argv,
                               {"telinha_con",
                                "\nThe Telinha client's companion: reads the news of the installed version once,\n"
                                "installs a newer version from the portal, and reports the end of the session\n"
                                "when the client has exited.\n",
                                app::storePortalScript, app::enterClientDirectory, 0});
}
