// telinha_mon, the notification monitor the portal client switches on and
// off: it asks the portal for its notifications every few minutes and plays
// a sound when a new one has come.
#include "apps/common/client_directory.h"
#include "apps/common/portal_settings.h"
#include "apps/common/script_program.h"

int main(int argc, char** argv) {
  return app::runScriptProgram(argc, argv,
                               {"telinha_mon", "\nThe notification monitor of the telinha portal client.\n",
                                app::storePortalScript, app::enterClientDirectory, 0});
}
