// The entry of the host program: the shared and host layers only, no window
// and no sound, so it runs where there is no display. It starts up as the
// player's program does in text-only mode and runs the command-line modes.
#include <cstdio>

#include "host/host.h"
#include "runtime/fatal.h"
#include "runtime/options.h"
#include "runtime/settings.h"
#include "runtime/startup.h"
#include "world/gamedata.h"
#include "world/ruleconstants.h"
#include "world/startup.h"

int main(int argc, char** argv) {
  beginstartup(argc, argv);
  textonly = 1;
  sounddevice = 0;
  defaultgeneral();
  // The built-in tables stand before any mode runs; their loaded state is the
  // snapshot that mods restore.
  loadgamedata();
  if (netmode != 1 && !makemapname[0] && !hostmode && !superhost && !verify)
    fatalerror("Text only mode can only be used with --tcpserver, --makemap or --host");
  checkrandtab("main3: corrupt randtab");
  general_init();
  checkrandtab("main4: corrupt randtab");
  const int status = runcommandlinemode();
  fflush(stdout);
  return status;
}
