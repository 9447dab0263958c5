// The host road of the command line: "vey3 --textonly --host GAME" and its
// kin. The headers of the game's files are scanned as the nation list would
// scan them (which nations wait, which have played, the turn to host), the
// user's --preexec command runs, the turn is hosted, --postexec runs, and
// the program ends quietly (--host, --finalhost) or hosts again
// (--superhost).
#include <cstdio>
#include <cstdlib>

#include "gamefiles/gamefiles.h"
#include "host/host.h"
#include "runtime/ask.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "runtime/options.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

namespace {
void runusercommand(const char* command, const char* which) {
  if (!command[0]) return;
  debugprint("Running %s command\n", which);
  if (system(command) == -1) msgbox("Failed to execute user command");
}
}  // namespace

GameScan scangame(const char* gname) {
  GameScan s;
  int32_t gamenbr = 0;
  {
    UniqueFile f = readfileheader(gname, 0, -1, 1, -1, &s.hostturn, nullptr, nullptr, nullptr);
    if (f) {
      s.hostfile = true;
      gamenbr = filegamenumber;
    }
  }
  for (int32_t k = 0; k < MAXPLAYERS; k++) {
    if (!nations[size_t(k)].fileword[0]) continue;
    int32_t t = 0;
    UniqueFile trn = readfileheader(gname, gamenbr, -1, 1, k, &t, nullptr, nullptr, nullptr);
    if (!trn) {
      if (headererror == -1) fatalerror("not a Veyrances file");
      if (headererror == -2) fatalerror("wrong gnumber");
      continue;
    }
    s.lastturn = t;
    s.humans++;
    int32_t o = -1;
    if (t > 0) {
      // Order files come from the players: one that does not read counts as
      // not played (the host then tells its player why).
      SoftReadScope soft;
      UniqueFile orders = readfileheader(gname, gamenbr, -1, 0, k, &o, nullptr, nullptr, nullptr);
      if (!orders || binreadfailed) o = -1;
    }
    const bool played = o == imax(t, s.hostturn);
    if (played) {
      s.ready++;
      s.lastready = k;
    } else {
      s.lastwaiting = k;
    }
    s.nations.push_back({k, t, o, played});
  }
  return s;
}

int hostscanned(const char* gname, const GameScan& s) {
  debugprint("Host it\n");
  runusercommand(preexec, "--preexec");
  const int hosted = newturn(gname, s.hostfile ? s.hostturn : s.lastturn);
  runusercommand(postexec, "--postexec");
  return hosted;
}

int hostgame(const char* gname) {
  if (!gname || !safemapname(gname)) {
    printf("Which game should be hosted? Give its name: vey3 --textonly --host GAME\n");
    return 1;
  }
  debugprint("playturn: %s\n", gname);
  for (;;) {
    debugprint("  for real\n");
    finishhostcommit(gname);
    clearworld();
    const GameScan s = scangame(gname);
    debugprint("playturn: autohost %d readypl %d humanpl %d\n", 0, s.ready, s.humans);
    const int hosted = hostscanned(gname, s);
    if (!hosted) return 1;
    if (hostmode == 1 || hostmode == 2) fatalerror("");
    if (!superhost) return 0;
  }
}
