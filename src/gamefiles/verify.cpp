// The "--verify" mode: a small text report beside each order file of a game
// and one for its world file.
#include <unistd.h>

#include "gamefiles/gamefiles.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "world/gamedata.h"

namespace {
void writereport(const char* path, const char* text) {
  SafeWrite out(path);
  if (out.ok()) fputs(text, out.stream());
  if (!out.commit()) debugprint("*** Warning: could not write %s\n", path);
}
}  // namespace

void verifygamefiles(const char* gname) {
  char orders[PATHLEN], report[PATHLEN], text[MSGLEN];
  int32_t fileturn = 0;
  // A damaged or foreign file is reported, never a reason to stop.
  SoftReadScope soft;
  for (int32_t nation = 0; nation < MAXPLAYERS; nation++) {
    const char* word = nations[nation].fileword;
    if (!word[0]) continue;
    formatbounded(orders, PATHLEN, "%s/%s/%s.2h", savepath, gname, word);
    formatbounded(report, PATHLEN, "%s/%s/%s.chk", savepath, gname, word);
    unlink(report);
    if (!fileexists("%s", orders)) continue;
    binreadfailed = 0;
    if (!checkcrc(orders)) {
      writereport(report, "Error: corrupted file\n");
    } else if (readfileheader(gname, 0, -1, 0, nation, &fileturn, nullptr, nullptr, nullptr)) {
      formatbounded(text, MSGLEN, "2h file is OK!\n  gamenbr %d\n  turnnbr %d\n", filegamenumber, fileturn);
      writereport(report, text);
    } else {
      writereport(report, "Error: something is rotten\n");
    }
  }
  binreadfailed = 0;
  if (readfileheader(gname, 0, -1, 1, -1, &fileturn, nullptr, nullptr, nullptr)) {
    formatbounded(report, PATHLEN, "%s/%s/ftherlnd.chk", savepath, gname);
    formatbounded(text, MSGLEN, "Fatherland file\n  gamenbr %d\n  turnnbr %d\n", filegamenumber, fileturn);
    writereport(report, text);
  }
}

int verifymode() {
  if (!gamename || !validgamename(gamename)) {
    printf("--verify needs the name of a game\n");
    return 1;
  }
  if (!direxists("%s/%s", savepath, gamename)) {
    printf("There is no game named %s in %s\n", gamename, savepath);
    return 1;
  }
  verifygamefiles(gamename);
  return 0;
}
