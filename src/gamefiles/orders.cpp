// Order files. The turn screens read their own file back with get2hdata; the
// host loads every player's file through loadorders, which reads the whole
// file into staging and checks it before anything in the world changes: a
// defective file leaves the world as it was and the player's orders unused.
#include <cstring>
#include <string>
#include <vector>

#include "gamefiles/gamefiles.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "world/gamedata.h"
#include "world/hoststate.h"
#include "world/magic.h"
#include "world/units.h"
#include "world/world.h"

void get2hdata(int32_t p, FILE* f, int keeplinks) {
  debugprint("get 2h data for player %d\n", p);
  for (;;) {
    int32_t l = getindex(f, MAXLANDS, "get2hdata: bad lnr");
    if (l < 0) break;
    getland(l, f);
    if (readbroken()) return;
  }
  for (;;) {
    int32_t k = getindex(f, MAXKINGDOMS, "get2hdata: bad kdm");
    if (k < 0) break;
    get_kingdom(k, f);
    get_splstf(k, f);
    if (readbroken()) return;
  }
  for (;;) {
    int32_t u = getindex(f, MAXUNITS, "get2hdata: bad unr");
    if (u < 0) break;
    get_unit(u, f, keeplinks);
    if (readbroken()) return;
    highestunit = imax(highestunit, u);
  }
  for (;;) {
    int32_t c = getindex(f, MAXCOMS, "get2hdata: bad cnr");
    if (c < 0) break;
    get_com(c, f, keeplinks);
    if (readbroken()) return;
    highestcom = imax(highestcom, c);
  }
  for (;;) {
    int32_t n = getindex(f, PMESSSLOTS, "get2hdata: bad msgnr");
    if (n < 0) break;
    get_pmess(p, n, f);
    if (readbroken()) return;
  }
  if (!readcheck(f, HEADERCHECK, "get2hdata: bad CHECK")) return;
  debugprint2("  get 2h done\n");
}

// ---------------------------------------------------------------- staged loading for the host

namespace {

struct StagedLand {
  int32_t index;
  Land land;
  ProvGeo geo;
};
struct StagedUnit {
  int32_t index;
  Unit unit;
};
struct StagedCom {
  int32_t index;
  Commander com;
};
struct StagedPMess {
  int32_t index;
  PMess mess;
};

struct Staging {
  std::vector<StagedLand> lands;
  bool haskingdom = false;
  Kingdom kingdomrec{};
  int16_t book[SPELLBOOKSIZE] = {};
  int16_t research[RESEARCHRECSIZE] = {};
  std::vector<StagedUnit> units;
  std::vector<StagedCom> coms;
  std::vector<StagedPMess> messes;
};

// Why a file was refused, for the log; and in the host operator's words.
const char* refusal = "";
std::string refusalwords;
// Why a file that stands there could not be read at all.
std::string unreadable;

bool refuse(const char* why) {
  refusal = why;
  binreadfailed = 1;
  return false;
}

bool unitbelongs(int32_t u, int32_t p) { return unit[u].owner == p && (unit[u].hp >= 1 || (unit[u].flags[2] & F3_PRETENDER)); }

bool validtype(int32_t type) { return type >= 0 && type < MAXUNITTYPES; }

// Reads and checks the body; every record must be one the world gives to
// the player.
bool stageorders(int32_t p, FILE* f, Staging& s) {
  for (;;) {
    int32_t l = getindex(f, MAXLANDS, "get2hdata: bad lnr");
    if (l == -2) return refuse("land index");
    if (l < 0) break;
    // Lands beyond the map's provinces belong to nobody.
    if (l > nbrlands || land[l].owner != p) return refuse("land not owned");
    StagedLand& x = s.lands.emplace_back(StagedLand{l, land[l], provgeo[l]});
    if (!getlandrec(x.land, x.geo, f)) return refuse("land record");
    if (x.land.owner != p) return refuse("land owner changed");
    for (int32_t i = 0; i < x.land.queuecount; i++)
      if (!validtype(x.land.queue[i])) return refuse("queued type");
  }
  for (;;) {
    int32_t k = getindex(f, MAXKINGDOMS, "get2hdata: bad kdm");
    if (k == -2) return refuse("kingdom index");
    if (k < 0) break;
    if (k != p || s.haskingdom) return refuse("foreign kingdom");
    s.haskingdom = true;
    s.kingdomrec = kingdom[p];
    if (!get_kingdomrec(s.kingdomrec, f) || !get_splstfrec(s.book, s.research, f)) return refuse("kingdom record");
    for (int32_t i = 0; i < LABSTORESIZE; i++) {
      int16_t item = s.kingdomrec.w[KW_LABSTORE + i];
      if (item >= MAXITEMS) return refuse("item number");
    }
  }
  for (;;) {
    int32_t u = getindex(f, MAXUNITS, "get2hdata: bad unr");
    if (u == -2) return refuse("unit index");
    if (u < 0) break;
    if (!unitbelongs(u, p)) return refuse("unit not owned");
    StagedUnit& x = s.units.emplace_back(StagedUnit{u, unit[u]});
    if (!get_unitrec(x.unit, f, 1)) return refuse("unit record");
    if (x.unit.owner != p || !validtype(x.unit.type)) return refuse("unit owner or type");
    if (x.unit.land < -11 || x.unit.land >= MAXLANDS) return refuse("unit land");
  }
  for (;;) {
    int32_t c = getindex(f, MAXCOMS, "get2hdata: bad cnr");
    if (c == -2) return refuse("commander index");
    if (c < 0) break;
    int32_t body = com[c].body;
    if (body < 0 || body >= MAXUNITS || unit[body].owner != p) return refuse("commander not owned");
    StagedCom& x = s.coms.emplace_back(StagedCom{c, com[c]});
    int32_t filebody;
    if (!get_comrec(x.com, f, 1, &filebody)) return refuse("commander record");
    // Links are kept: a commander never moves into another body.
    x.com.body = body;
    for (int16_t item : x.com.item)
      if (item < 0 || item >= MAXITEMS) return refuse("item number");
  }
  for (;;) {
    int32_t n = getindex(f, PMESSSLOTS, "get2hdata: bad msgnr");
    if (n == -2) return refuse("message slot");
    if (n < 0) break;
    StagedPMess& x = s.messes.emplace_back(StagedPMess{n, pmess[p][n]});
    if (!get_pmessrec(x.mess, f)) return refuse("message record");
  }
  if (!readcheck(f, HEADERCHECK, "get2hdata: bad CHECK")) return refuse("check value");
  return true;
}

void applyorders(int32_t p, const Staging& s) {
  for (const StagedLand& x : s.lands) {
    land[x.index] = x.land;
    provgeo[x.index] = x.geo;
  }
  if (s.haskingdom) {
    kingdom[p] = s.kingdomrec;
    memcpy(spellbook[p], s.book, sizeof s.book);
    memcpy(researchrec[p], s.research, sizeof s.research);
  }
  // Staged records began as copies of the world's, so the fields a file
  // does not carry (links, run-time state) are the world's own.
  for (const StagedUnit& x : s.units) putunit(x.index, x.unit);
  for (const StagedCom& x : s.coms) com[x.index] = x.com;
  for (const StagedPMess& x : s.messes) pmess[p][x.index] = x.mess;
}

void stalemessage(int32_t p) {
  int32_t m = newmsg(-1, p, MT_PLAIN, -1);
  t2msg(m, "Stale Turn\n\nYour orders for this turn could not be used.");
}

}  // namespace

const char* lastorderrefusal() { return refusal; }

const char* orderrefusalwords() { return refusalwords.c_str(); }

const char* unreadableorders() { return unreadable.c_str(); }

namespace {

// The header of the order file on the stream: true when it is the player's
// for this game and turn, with its password in pass; else refused, and read
// again with the checks relaxed to say which of them failed.
bool acceptheader(int32_t p, const char* gname, int32_t gamenbr, int32_t turnwanted, FILE* f, char* pass) {
  headererror = 0;
  int32_t fileturn = -1;
  if (checkfileheader(f, gname, gamenbr, turnwanted, p, &fileturn, pass, nullptr, nullptr) && !binreadfailed)
    return true;
  rewind(f);
  binreadfailed = 0;
  char why[200];
  int32_t t = -1;
  headerproblem(why, sizeof why, f, gname, 0, 0, p, &t);
  if (why[0]) refusalwords = why;
  // A god design waits under the order file's name until its nation plays.
  else if (filegamenumber == -1 && t == 0) refusalwords = "the file holds the nation's god design, not orders";
  else if (filegamenumber != gamenbr) refusalwords = "the file belongs to another game";
  else refusalwords = "the orders are for turn " + std::to_string(t) + ", the game is at turn " + std::to_string(turnwanted);
  return refuse("header");
}

// The words for a refusal other than the header's.
std::string refusalsaid(const char* why) {
  if (strcmp(why, "missing") == 0) return "there is no order file";
  if (strcmp(why, "checksum") == 0) return "the file is damaged (its checksum is wrong)";
  if (strcmp(why, CRCEMPTY) == 0) return CRCEMPTY;
  if (strcmp(why, "too short") == 0) return "the file is damaged (it is too short to hold a checksum)";
  if (strcmp(why, "password") == 0) return "the file carries a wrong password";
  return std::string("the file is damaged (") + why + ")";
}

}  // namespace

int loadorders(int32_t p, const char* gname, int32_t gamenbr, int32_t turnwanted) {
  bailif(p < 0 || p >= MAXPLAYERS, "loadorders: bad player");
  refusal = "";
  refusalwords.clear();
  unreadable.clear();
  char path[PATHLEN];
  gamefilepath(path, PATHLEN, gname, 0, p);
  int applied = 0;
  {
    SoftReadScope soft;
    // Read once, whole: the checksum, the header and the body come from
    // these bytes, so that a read that fails is never taken for a file
    // that is stale or damaged.
    UniqueFile f;
    const int err = readcheckedfile(path, f);
    char pass[50] = {};
    if (err > 0) {
      unreadable = readproblem(path, err);
      debugprint("loadorders: the orders of player %d cannot be read (%s)\n", p, unreadable.c_str());
      return -1;
    }
    if (err == FILEABSENT) {
      refuse("missing");
    } else if (err == FILETOOLARGE) {
      refuse(CRCTOOLARGE);
    } else if (err == FILECORRUPT) {
      refuse(strcmp(crcproblem, "bad checksum") == 0 ? "checksum" : crcproblem);
    } else if (acceptheader(p, gname, gamenbr, turnwanted, f.get(), pass)) {
      auto staging = std::make_unique<Staging>();
      if (password[p][0] && strncmp(pass, password[p], 50) != 0) {
        refuse("password");
      } else if (stageorders(p, f.get(), *staging) && !binreadfailed) {
        applyorders(p, *staging);
        applied = 1;
      } else if (!refusal[0]) {
        refusal = "corrupt";
      }
    }
  }
  if (!applied) {
    if (refusalwords.empty()) refusalwords = refusalsaid(refusal);
    debugprint("loadorders: orders of player %d not used (%s)\n", p, refusal);
    stalemessage(p);
  }
  return applied;
}
