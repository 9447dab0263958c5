// The host road of the command line: "vey3 --textonly --host GAME" and its
// kin. The headers of the game's files are scanned as the nation list would
// scan them (which nations wait, which have played, the turn to host), the
// user's --preexec command runs, the turn is hosted, --postexec runs, and
// the program ends quietly (--host, --finalhost) or hosts again
// (--superhost).
#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "gamefiles/gamefiles.h"
#include "host/host.h"
#include "host/hostinternal.h"
#include "runtime/ask.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "runtime/filesets.h"
#include "runtime/folders.h"
#include "runtime/hostlock.h"
#include "runtime/options.h"
#include "runtime/startup.h"
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

// The host writes every player's turn file anew: each damaged one that the
// scan found is named with what is in its place now.
void reportdamagedturns(const char* gname, const GameScan& s) {
  for (const NationTurn& n : s.nations) {
    if (!n.damage[0]) continue;
    char path[PATHLEN], now[200];
    gamefilepath(path, PATHLEN, gname, 1, n.nation);
    gamefileproblem(now, sizeof now, gname, 0, 1, n.nation);
    if (!now[0])
      printf("The turn file %s did not read (%s); the host wrote it anew\n", path, n.damage);
    else
      printf("The turn file %s does not read (%s); no nation of this game plays it, so it was left as it was\n",
             path, n.damage);
  }
}
// The turn in the header of the game's world file, -1 when it does not read.
int32_t worldfileturn(const char* gname) {
  int32_t turn = -1;
  SoftReadScope soft;
  UniqueFile f = readfileheader(gname, 0, -1, 1, -1, &turn, nullptr, nullptr, nullptr);
  return f && !binreadfailed ? turn : -1;
}

// True when the game's world file was put in place after this program
// started: another host made a month meanwhile, which the turn read at the
// end of the start-up would take for the month asked for. The file's stamp
// is the file system's clock (a file server's, for a network folder), which
// may disagree with this machine's wall clock by seconds, and a wall clock
// may be stepped: the start is put on the file system's clock through a
// file made for it in the game folder now, whose stamp stands for the
// clock since the boot read just before.
bool worldchangedsincestart(const char* gname) {
  char path[PATHLEN], folder[PATHLEN];
  gamefilepath(path, PATHLEN, gname, 1, -1);
  struct stat world;
  if (stat(path, &world) != 0) return false;
  gamefolder(folder, PATHLEN, gname);
  const std::string clockfile = tempname((std::string(folder) + "/hostclock").c_str());
  timespec now{}, tick{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  const int fd = opennewfile(clockfile.c_str());
  // A folder that takes no file takes no month either: its host says why.
  if (fd < 0) return false;
  struct stat made;
  const bool stamped = fstat(fd, &made) == 0;
  unlink(clockfile.c_str());
  close(fd);
  if (!stamped) return false;
  // Stamps come from a clock that moves in ticks: one may lie up to a tick
  // before the moment it was made.
  clock_getres(CLOCK_REALTIME_COARSE, &tick);
  const int64_t start = nanoseconds(made.st_ctim) + nanoseconds(tick) - (nanoseconds(now) - processstart());
  return nanoseconds(world.st_ctim) > start;
}

void saidhostedmeanwhile(const char* gname, int32_t now) {
  sayhostproblem("The game %s was hosted by another program meanwhile (it is at turn %d now); it was not hosted again",
                 gname, now);
}
std::string lasthostproblem;
}  // namespace

void sayhostproblem(const char* format, ...) {
  char line[MSGLEN];
  va_list args;
  va_start(args, format);
  vsnprintf(line, sizeof line, format, args);
  va_end(args);
  printf("%s\n", line);
  if (!lasthostproblem.empty()) lasthostproblem += "\n";
  lasthostproblem += line;
}

void clearhostproblem() { lasthostproblem.clear(); }

const std::string& hostproblem() { return lasthostproblem; }

bool hostmayrun(const char* gname, const GameLockScope& lock) {
  switch (lock.state()) {
    case GameLock::busy:
      sayhostproblem("The game %s is being hosted by another program right now; it was not hosted again", gname);
      return false;
    case GameLock::writing:
      sayhostproblem("The order files of the game %s were being written all the while; it was not hosted", gname);
      return false;
    case GameLock::unopened:
      sayhostproblem("The game %s was not hosted: the lock that keeps two hosts apart cannot be taken: %s", gname,
                     lock.problem().c_str());
      return false;
    default:
      return true;
  }
}

GameScan scangame(const char* gname) {
  GameScan s;
  int32_t gamenbr = 0;
  // Every file is read softly: a damaged one is marked, never a stop.
  SoftReadScope soft;
  {
    UniqueFile f = readfileheader(gname, 0, -1, 1, -1, &s.hostturn, nullptr, nullptr, nullptr);
    if (f && !binreadfailed) {
      s.hostfile = true;
      gamenbr = filegamenumber;
    }
  }
  for (int32_t k = 0; k < MAXPLAYERS; k++) {
    if (!nations[size_t(k)].fileword[0]) continue;
    char path[PATHLEN];
    gamefilepath(path, PATHLEN, gname, 1, k);
    struct stat st;
    if (stat(path, &st) != 0) continue;
    NationTurn n{k, 0, -1, false, {}};
    binreadfailed = 0;
    {
      UniqueFile trn = readfileheader(gname, gamenbr, -1, 1, k, &n.turn, nullptr, nullptr, nullptr);
      if (!trn || binreadfailed || !checkcrc(path)) {
        gamefileproblem(n.damage, sizeof n.damage, gname, gamenbr, 1, k);
        // Changed between the two looks: taken as damaged all the same.
        if (!n.damage[0]) strlcopy(n.damage, "the file is damaged", sizeof n.damage);
      }
    }
    if (n.damage[0]) {
      s.nations.push_back(n);
      continue;
    }
    s.lastturn = n.turn;
    s.humans++;
    if (n.turn > 0) {
      // Order files come from the players: one that does not read counts as
      // not played (the host then tells its player why).
      binreadfailed = 0;
      UniqueFile orders = readfileheader(gname, gamenbr, -1, 0, k, &n.orderturn, nullptr, nullptr, nullptr);
      if (!orders || binreadfailed) n.orderturn = -1;
    }
    n.played = n.orderturn == imax(n.turn, s.hostturn);
    if (n.played) {
      s.ready++;
      s.lastready = k;
    } else {
      s.lastwaiting = k;
    }
    s.nations.push_back(n);
  }
  binreadfailed = 0;
  return s;
}

int hostscanned(const char* gname, const GameScan& s) {
  char folder[PATHLEN];
  gamefolder(folder, PATHLEN, gname);
  const GameLockScope lock(folder, true);
  clearhostproblem();
  if (!hostmayrun(gname, lock)) return HOSTBUSY;
  // A host that finished after the scan (another program's, before this
  // one took the lock) has made the month already.
  if (s.hostfile) {
    const int32_t now = worldfileturn(gname);
    if (now >= 0 && now != s.hostturn) {
      saidhostedmeanwhile(gname, now);
      return HOSTBUSY;
    }
  }
  debugprint("Host it\n");
  runusercommand(preexec, "--preexec");
  const int hosted = newturn(gname, s.hostfile ? s.hostturn : s.lastturn);
  runusercommand(postexec, "--postexec");
  if (hosted == 1) reportdamagedturns(gname, s);
  return hosted;
}

int hostgame(const char* gname) {
  if (!gname || !safemapname(gname)) {
    printf("Which game should be hosted? Give its name: vey3 --textonly --host GAME\n");
    return 1;
  }
  debugprint("playturn: %s\n", gname);
  // The month this host was asked for: the one that stands before it waits
  // for the lock. A month that another host made meanwhile is not hosted
  // again after it.
  finishhostcommit(gname);
  const int32_t asked = worldfileturn(gname);
  // One lock for every turn that this host makes: no other host slips in
  // between two turns of --superhost.
  char folder[PATHLEN];
  gamefolder(folder, PATHLEN, gname);
  const GameLockScope lock(folder, true);
  if (!hostmayrun(gname, lock)) return 1;
  // A month made after this host started is not the one its command line
  // asked for (a game chosen later, in the menu, is hosted as it stands then).
  if (gamename && strcmp(gamename, gname) == 0 && worldchangedsincestart(gname)) {
    saidhostedmeanwhile(gname, worldfileturn(gname));
    return 1;
  }
  for (bool first = true;; first = false) {
    debugprint("  for real\n");
    finishhostcommit(gname);
    clearworld();
    const GameScan s = scangame(gname);
    if (first && asked >= 0 && s.hostfile && s.hostturn != asked) {
      saidhostedmeanwhile(gname, s.hostturn);
      return 1;
    }
    debugprint("playturn: autohost %d readypl %d humanpl %d\n", 0, s.ready, s.humans);
    const int hosted = hostscanned(gname, s);
    if (hosted != 1) return 1;
    if (hostmode == 1 || hostmode == 2) fatalerror("");
    if (!superhost) return 0;
  }
}
