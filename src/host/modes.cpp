// The command-line modes that need no window, for the player's program and
// the host program alike.
#include <cstdio>

#include "gamefiles/gamefiles.h"
#include "host/host.h"
#include "runtime/options.h"
#include "worldgen/randmap.h"

RunMode chooserunmode() {
  if (verify) return RunMode::verify;
  if (makemapname[0]) return RunMode::makemap;
  if (netmode == 1) return RunMode::server;
  if (netmode == 2) return RunMode::client;
  if (hostmode || superhost) return RunMode::host;
  if (gamename && gamename[0]) return RunMode::game;
  return RunMode::menu;
}

int runcommandlinemode() {
  switch (chooserunmode()) {
    case RunMode::verify: return verifymode();
    case RunMode::makemap: return makemapmode();
    case RunMode::server:
    case RunMode::client:
      printf("Network play (--tcpserver, --tcpclient) is not available in this version of Veyrances 3.\n");
      return 1;
    case RunMode::host: return hostgame(gamename);
    default: break;
  }
  if (textonly) {
    printf("In text-only mode give a mode: --host, --finalhost, --superhost, --verify or --makemap.\n");
    return 1;
  }
  return -1;
}
