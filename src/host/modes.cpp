// The command-line modes that need no window, for the player's program and
// the host program alike.
#include <cstdio>

#include "gamefiles/gamefiles.h"
#include "host/host.h"
#include "runtime/options.h"
#include "worldgen/randmap.h"

int runcommandlinemode() {
  if (verify) return verifymode();
  if (makemapname[0]) return makemapmode();
  if (textonly) {
    printf("The text-only modes (--tcpserver, --makemap, --host, --verify) are not available in this version yet.\n");
    return 1;
  }
  return -1;
}
