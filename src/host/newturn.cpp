// newturn: one hosted month. The world file and every human player's order
// file are read (a bad order file leaves that player's orders unused), the
// phases run in their fixed order, and the next world file, every turn file
// with its replays, and the statistics and score files are written as one
// set.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gamefiles/gamefiles.h"
#include "host/host.h"
#include "host/hostinternal.h"
#include "host/phases.h"
#include "mods/mods.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/hostlock.h"
#include "runtime/options.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/units.h"
#include "world/world.h"

// The score page and statistics file of a turn (scores.cpp).
std::vector<uint8_t> scorepage();
std::vector<uint8_t> statisticsfile();

namespace {

struct PhaseText {
  const char* name;
  const char* label;
};
constexpr PhaseText phasetexts[PH_COUNT] = {
    {"computer players", "Computer players"},
    {"messages", "Messages and gifts"},
    {"recruit", "Recruit units"},
    {"research", "Magic research"},
    {"forge", "Forging and empowerment"},
    {"rituals", "Magic rituals"},
    {"move", "Move"},
    {"battles", "Battles"},
    {"sieges", "Sieges and fort construction"},
    {"orders", "Commander orders"},
    {"income", "Income and upkeep"},
    {"starve", "Supplies"},
    {"veyrance", "Veyrance"},
    {"mercenaries", "Mercenaries"},
    {"ageing", "Healing and ageing"},
    {"events", "Random events"},
    {"heroes", "Heroes"},
    {"hall of fame", "Hall of fame"},
    {"statistics", "Statistics and scout reports"},
    {"scores", "Scores and victory"},
    {"cheat detection", "Cheat detection"},
};

void addfile(std::vector<TurnFile>& files, const char* name, std::vector<uint8_t> bytes) {
  TurnFile& t = files.emplace_back();
  strlcopy(t.name, name, sizeof t.name);
  t.bytes = std::move(bytes);
}

std::vector<TurnFile> turnfileset(const char* gname, int32_t gamenbr, int32_t fileturn) {
  std::vector<TurnFile> files;
  addfile(files, "ftherlnd", streambytes([&](FILE* f) {
            writefileheader(f, gname, gamenbr, fileturn, 1, -1, nullptr, 0);
            putfatherland(f);
          }));
  for (int32_t p = 0; p < MAXPLAYERS; p++) {
    // A nation destroyed this month gets one more turn file, which tells it
    // so; the world file already counts it out.
    const bool destroyed = std::find(destroyedthisturn.begin(), destroyedthisturn.end(), p) != destroyedthisturn.end();
    const int16_t controller = kingdom[size_t(p)].w[KW_CONTROLLER];
    if (destroyed) kingdom[size_t(p)].w[KW_CONTROLLER] = int16_t(controller == int16_t(CTRL_WAS1) ? CTRL_HUMAN : CTRL_AI);
    if (!getsturnfile(p, gname)) {
      kingdom[size_t(p)].w[KW_CONTROLLER] = controller;
      continue;
    }
    std::vector<uint8_t> bytes = streambytes([&](FILE* f) {
      writefileheader(f, gname, gamenbr, fileturn, 1, p, password[p], 0);
      putturndata(p, f);
    });
    kingdom[size_t(p)].w[KW_CONTROLLER] = controller;
    const int32_t crc = calccrc(bytes.data(), int32_t(bytes.size()), 0);
    bytes.push_back(uint8_t(crc & 0xFF));
    bytes.push_back(uint8_t((crc >> 8) & 0xFF));
    char name[100];
    formatbounded(name, sizeof name, "%s.trn", nations[size_t(p)].fileword);
    addfile(files, name, std::move(bytes));
  }
  if (statfile) addfile(files, "stats.txt", statisticsfile());
  if (scoredump) addfile(files, "scores.html", scorepage());
  return files;
}

// A folder that stands where a file of the new turn goes would keep it from
// its place: an empty one is removed, one with files in it moved aside
// under a free name ("NAME.folder", "NAME.folder2", ...), said on the console.
void makeroomforfiles(const char* gname, const std::vector<TurnFile>& files) {
  char folder[PATHLEN];
  gamefolder(folder, PATHLEN, gname);
  for (const TurnFile& f : files) {
    const std::string target = std::string(folder) + "/" + f.name;
    struct stat st;
    if (lstat(target.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || rmdir(target.c_str()) == 0) continue;
    std::string aside = target + ".folder";
    for (int32_t n = 2; access(aside.c_str(), F_OK) == 0 && n < 1000; n++) aside = target + ".folder" + std::to_string(n);
    if (rename(target.c_str(), aside.c_str()) == 0)
      printf("The folder %s stood where the file of the new turn goes; it was moved to %s\n", target.c_str(),
             aside.c_str());
  }
}

// The game's own mods, as its game information lists them. A game whose
// mod is missing or cannot be read whole is not hosted: without it the
// game's own units, spells and items would be lost from the world (false,
// with the console line).
bool enablegamemods(const char* gname) {
  clearenabledmods();
  for (int32_t i = 0; i <= gameinfo.modcount && i < MAXGAMEMODS; i++) {
    const char* name = gameinfo.mods[size_t(i)].name;
    if (!modinfolder(name)) {
      sayhostproblem("The game %s needs the mod %s, which is not in the mods folder %s; the turn was not hosted",
                     gname, name, modpath);
      return false;
    }
    enablemod(name);
  }
  // One that is there but cannot be read whole would be left out as well.
  ModProblem unread;
  if (applymods(&unread)) return true;
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/%s", modpath, unread.name.c_str());
  sayhostproblem("The game %s needs the mod %s, %s, which cannot be read: %s; the turn was not hosted", gname,
                 unread.name.c_str(), path, unread.problem.c_str());
  return false;
}

}  // namespace

bool getsturnfile(int32_t p, const char* gname) {
  if (!nations[size_t(p)].fileword[0]) return false;
  const uint16_t c = uint16_t(kingdom[size_t(p)].w[KW_CONTROLLER]);
  if (c == CTRL_HUMAN) return true;
  if (c != CTRL_AI) return false;
  char path[PATHLEN];
  gamefilepath(path, PATHLEN, gname, 1, p);
  return fileexists("%s", path);
}

void reportunusedorders(int32_t p, const char* why) {
  printf("Orders of %s (%s.2h) not used: %s\n", nations[size_t(p)].name, nations[size_t(p)].fileword, why);
}

const char* phasename(int32_t phase) { return phase >= 0 && phase < PH_COUNT ? phasetexts[phase].name : "?"; }
const char* phaselabel(int32_t phase) { return phase >= 0 && phase < PH_COUNT ? phasetexts[phase].label : "?"; }

void runphase(int32_t phase) {
  bailif(phase < 0 || phase >= PH_COUNT, "runphase: bad phase");
  debugprint("host: %s\n", phasetexts[phase].name);
  const uint32_t started = getms();
  showprogress(phasetexts[phase].label, phase * 100 / PH_COUNT);
  switch (phase) {
    case PH_COMPUTER: computerplayersphase(); break;
    case PH_MESSAGES: messagesphase(); break;
    case PH_RECRUIT: recruitphase(); break;
    case PH_RESEARCH: researchphase(); break;
    case PH_FORGE: forgephase(); break;
    case PH_RITUALS: ritualsphase(); break;
    case PH_MOVE: movephase(); break;
    case PH_BATTLES: battlesphase(); break;
    case PH_SIEGES: siegesphase(); break;
    case PH_ORDERS: ordersphase(); break;
    case PH_INCOME: incomephase(); break;
    case PH_STARVE: starvephase(); break;
    case PH_VEYRANCE: veyrancephase(); break;
    case PH_MERCENARIES: mercenaryphase(); break;
    case PH_AGEING: ageingphase(); break;
    case PH_EVENTS: eventsphase(); break;
    case PH_HEROES: heroesphase(); break;
    case PH_FAME: famephase(); break;
    case PH_STATISTICS: statisticsphase(); break;
    case PH_SCORES: scoresphase(); break;
    case PH_CHEATS: cheatsphase(); break;
    default: break;
  }
  bugcheck(debuglevel > 0 ? 1 : 0);
  debugprint2("host: %s done after %u ms\n", phasetexts[phase].name, getms() - started);
}

int newturn(const char* gname, int32_t turnwanted) {
  bailif(gname == nullptr || !gname[0], "newturn: bad gname");
  char folder[PATHLEN];
  gamefolder(folder, PATHLEN, gname);
  // Held already by the host road around it; a caller without it is kept
  // from hosting beside another host all the same.
  const GameLockScope lock(folder, true);
  clearhostproblem();
  if (!hostmayrun(gname, lock)) return 0;
  finishhostcommit(gname);
  hostingflag = 1;
  clearworld();
  int32_t fileturn = 0;
  char why[200];
  if (!readworldfile(gname, &fileturn, why, sizeof why)) {
    sayhostproblem("Cannot read the world file of the game %s, %s/ftherlnd: %s", gname, folder, why);
    clearworld();
    hostingflag = 0;
    return 0;
  }
  const int32_t gamenbr = filegamenumber;
  gameinfo.gamenbr = gamenbr;
  if (turnwanted >= 0 && turnwanted != fileturn)
    debugprint("***** Warning: the world is at turn %d, %d was expected\n", fileturn, turnwanted);
  strlcopy(hostedgame, gname, sizeof hostedgame);
  startprogress("Hosting", 0);
  showprogress("Please wait");
  if (!enablegamemods(gname)) {
    endprogress();
    hostingflag = 0;
    return 0;
  }
  // The same files always give the same turn: every draw of the hosting
  // follows from the game and the turn.
  const int32_t seed = int32_t(uint32_t(gamenbr) * 2654435761u + uint32_t(fileturn) * 40503u);
  seedrnd(seed);
  srand(unsigned(seed));
  removevcrs();
  // The world's month is the header turn less one; orders are for it.
  turn = imax(fileturn - 1, 0);
  beginordercheck();
  bool unread = false;
  for (int32_t p = 0; p < MAXPLAYERS; p++) {
    if (uint16_t(kingdom[size_t(p)].w[KW_CONTROLLER]) != CTRL_HUMAN) continue;
    const int loaded = loadorders(p, gname, gamenbr, fileturn);
    if (loaded == 1) {
      checkorders(p);
      continue;
    }
    // A file that stands there but cannot be read may hold the player's
    // orders: the month waits until the host can read it.
    if (loaded < 0) {
      char path[PATHLEN];
      gamefilepath(path, PATHLEN, gname, 0, p);
      sayhostproblem("The orders of %s, %s, cannot be read: %s", nations[size_t(p)].name, path, unreadableorders());
      unread = true;
      continue;
    }
    const char* why = orderrefusalwords();
    reportunusedorders(p, why);
    // The player hears the reason too.
    for (int32_t m = highestmsg; m >= 0; m--)
      if (message[size_t(m)].type != MT_FREE && message[size_t(m)].player == p &&
          strncmp(message[size_t(m)].text, "Stale Turn", 10) == 0) {
        t2msg(m, "\n\nThe host could not use them: %s.", why);
        break;
      }
  }
  if (unread) {
    sayhostproblem("Turn %d of %s was not hosted; the game stands as it was", fileturn + 1, gname);
    clearworld();
    endprogress();
    hostingflag = 0;
    return 0;
  }
  turn++;
  for (int32_t l = 1; l <= nbrlands; l++) land[size_t(l)].reserved &= int16_t(~LF_BATTLE);
  pendingbattles.clear();
  destroyedthisturn.clear();
  battlesfought = 0;
  for (int32_t phase = 0; phase < PH_COUNT; phase++) runphase(phase);
  showprogress("Writing files", 100);
  const std::vector<TurnFile> files = turnfileset(gname, gamenbr, fileturn + 1);
  makeroomforfiles(gname, files);
  std::string problem;
  if (!committurnfiles(gname, files, &problem)) {
    removevcrs();
    // Nothing of the month stands, and nothing finishes it later.
    sayhostproblem("Turn %d of %s was not hosted: %s; the old turn stands", fileturn + 1, gname, problem.c_str());
    endprogress();
    hostingflag = 0;
    return 0;
  }
  removevcrs();
  printf("Turn %d of %s hosted (%d %s)\n", fileturn + 1, gname, battlesfought, battlesfought == 1 ? "battle" : "battles");
  endprogress();
  hostingflag = 0;
  return 1;
}
