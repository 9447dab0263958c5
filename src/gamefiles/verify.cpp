// The "--verify" mode: a small text report beside each order file of a game
// and one for its world file.
#include <unistd.h>

#include <cerrno>

#include "gamefiles/gamefiles.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "world/gamedata.h"

namespace {
// A report written whole; false, with a message, when it could not be.
bool writereport(const char* path, const char* text) {
  SafeWrite out(path);
  if (out.ok()) fputs(text, out.stream());
  if (out.commit()) return true;
  printf("Could not write the report %s: %s\n", path, filecause(errno));
  return false;
}

// A file that stands there but cannot be read is reported.
bool readable(const char* path) {
  std::string why;
  if (readsthrough(path, &why)) return true;
  printf("%s cannot be read: %s\n", path, why.c_str());
  return false;
}
}  // namespace

VerifyCount verifygamefiles(const char* gname) {
  char orders[PATHLEN], report[PATHLEN], text[MSGLEN], why[200];
  int32_t fileturn = 0;
  VerifyCount count;
  // A report that cannot be written is named and counted apart: the file
  // itself may be sound.
  auto reportto = [&](const char* path, const char* said) { count.unwritten += !writereport(path, said); };
  // A damaged or foreign file is reported, never a reason to stop.
  SoftReadScope soft;
  for (int32_t nation = 0; nation < MAXPLAYERS; nation++) {
    const char* word = nations[nation].fileword;
    if (!word[0]) continue;
    gamefilepath(orders, PATHLEN, gname, 0, nation);
    formatbounded(report, PATHLEN, "%s/%s/%s.chk", savepath, gname, word);
    unlink(report);
    // Read once, whole, as the host reads it: the checksum and the header
    // come from these bytes.
    UniqueFile f;
    const int err = readcheckedfile(orders, f);
    if (err == FILEABSENT) continue;
    binreadfailed = 0;
    // Each file that does not verify is named and counted once.
    bool good = false;
    if (err > 0) {
      // A file that cannot be read is named with why.
      printf("%s cannot be read: %s\n", orders, readproblem(orders, err).c_str());
    } else if (err < 0) {
      printf("%s: %s\n", orders, err == FILETOOLARGE ? CRCTOOLARGE : crcproblem);
      reportto(report, "Error: corrupted file\n");
    } else if (checkfileheader(f.get(), gname, 0, -1, nation, &fileturn, nullptr, nullptr, nullptr) && !binreadfailed) {
      formatbounded(text, MSGLEN, "2h file is OK!\n  gamenbr %d\n  turnnbr %d\n", filegamenumber, fileturn);
      reportto(report, text);
      good = true;
    } else {
      rewind(f.get());
      headerproblem(why, sizeof why, f.get(), gname, 0, 0, nation, nullptr);
      printf("%s: %s\n", orders, why);
      reportto(report, "Error: something is rotten\n");
    }
    count.failed += !good;
  }
  binreadfailed = 0;
  char world[PATHLEN];
  gamefilepath(world, PATHLEN, gname, 1, -1);
  errno = 0;
  if (!filestands(world)) {
    printf("%s: there is no world file\n", world);
    count.failed++;
  } else if (!readable(world)) {
    count.failed++;
  } else if (readworldfile(gname, &fileturn, why, sizeof why)) {
    // Read whole: the world file has no checksum, a cut or damaged body
    // shows only in the reading.
    formatbounded(report, PATHLEN, "%s/%s/ftherlnd.chk", savepath, gname);
    formatbounded(text, MSGLEN, "Fatherland file\n  gamenbr %d\n  turnnbr %d\n", filegamenumber, fileturn);
    reportto(report, text);
  } else {
    printf("%s: %s\n", world, why);
    count.failed++;
  }
  return count;
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
  const VerifyCount count = verifygamefiles(gamename);
  if (count.failed > 0)
    printf("%d %s of %s could not be verified\n", count.failed, count.failed == 1 ? "file" : "files", gamename);
  if (count.unwritten > 0)
    printf("%d %s of %s could not be written\n", count.unwritten, count.unwritten == 1 ? "report" : "reports", gamename);
  return count.failed > 0 || count.unwritten > 0 ? 1 : 0;
}
