// telinha, the portal client: the runtime with the client's script built in,
// the portal's addresses from Escuta.ini put into it, run from the client's
// own directory.
#include "apps/common/client_directory.h"
#include "apps/common/portal_settings.h"
#include "apps/common/script_program.h"

int main(int argc, char** argv) {
  return app::runScriptProgram(argc, argv,
                               {"telinha",
                                "\n"
                                "The talking client of the Vitrine Aberta portal. It finds the portal in\n"
                                "section [TELINHA] of Escuta.ini (HOSTWEB, PORTAWEB, HOSTAPI, PORTAAPI,\n"
                                "PORTANOTIFICACOES) and works in the client's directory, telinha below the\n"
                                "data root (see Files below).\n",
                                app::storePortalScript, app::enterClientDirectory, 0});
}
