// The bodies of the world file, the turn files and the order files.
#include <algorithm>
#include <cstring>
#include <string>

#include "gamefiles/gamefiles.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/hoststate.h"
#include "world/magic.h"
#include "world/units.h"
#include "world/world.h"

namespace {

// A commander in the hall of fame: listed among the score entries.
bool famed(int32_t cnr) {
  if (cnr <= 0) return false;
  for (int16_t entry : scorelist)
    if (entry == cnr) return true;
  return false;
}

bool famedbody(int32_t unr) {
  int32_t c = unit[unr].comnr;
  return c >= 0 && c < MAXCOMS && com[c].body == unr && famed(c);
}

// A unit of a mercenary band that every nation sees: the leaders of the
// bands (a nation that bids or hires looks at them) and the troops of the
// bands waiting for hire.
bool mercbody(int32_t unr) {
  const Unit& x = unit[unr];
  if (x.land == MERCLAND) return true;
  for (const MercBand& m : mercband) {
    const int32_t c = m.value[0];
    if (c >= 0 && c < MAXCOMS && com[c].body == unr) return true;
  }
  return false;
}

// The counters of the tables that a section fills.
int32_t lastland() { return imin(imax(nbrlands, 0), MAXLANDS - 1); }
int32_t lastunit() { return imin(highestunit, MAXUNITS - 1); }
int32_t lastcom() { return imin(highestcom, MAXCOMS - 1); }
int32_t lastench() { return imin(highestench, MAXENCH - 1); }
int32_t lastmsg() { return imin(highestmsg, MAXMSG - 1); }

// An indexed section: each record after its number, ended by a negative
// number. The world and turn files read them alike, and write them whole or
// (the turn file) with a filter of their own.
struct Section {
  const char* what;    // names a bad number in the reader's message ("lnr"); null: the
                       // number is not checked here (the record reader checks it)
  int32_t limit;       // numbers 0..limit-1
  bool cut;            // without what: a number past the limit is cut to limit - 1
  void (*get)(int32_t n, FILE* f);
  int32_t* highest;    // set to -1, then to the highest number read; null: none
  const char* trace;   // the turn file's trace of its count
  void (*put)(int32_t n, FILE* f);
  int32_t (*last)();   // the highest number to write
  bool (*stored)(int32_t n);   // whether a record is written; null: every one
};
int32_t lastkingdom() { return MAXKINGDOMS - 1; }
int32_t lastplayer() { return MAXPLAYERS - 1; }
int32_t lastmerc() { return MAXMERCBANDS - 1; }
const Section LANDS{"lnr", MAXLANDS, false, getland, &nbrlands, "lands", put_land, lastland, nullptr};
const Section KINGDOMS{"kdm", MAXKINGDOMS, false, get_kingdom, nullptr, "kingdoms", put_kingdom, lastkingdom, nullptr};
const Section UNITS{"unr", MAXUNITS, false, [](int32_t u, FILE* f) { get_unit(u, f, 0); }, &highestunit, "units",
                    put_unit, lastunit, nullptr};
const Section COMS{"cnr", MAXCOMS, false, [](int32_t c, FILE* f) { get_com(c, f, 0); }, &highestcom, "coms",
                   put_com, lastcom, nullptr};
const Section VEYRANCES{nullptr, MAXPLAYERS, false, get_veyrances, nullptr, nullptr, put_veyrances, lastplayer, nullptr};
// The spell states of every kingdom (the world file).
const Section SPELLS{"kdm", MAXKINGDOMS, false, get_splstf, nullptr, nullptr, put_spellstuff, lastkingdom, nullptr};
const Section MERCS{nullptr, MAXMERCBANDS, true, get_merc, nullptr, nullptr, put_merc, lastmerc,
                    [](int32_t n) { return mercband[n].value[0] >= 0; }};
const Section ENCHS{"ench", MAXENCH, false, get_ench, &highestench, nullptr, put_ench, lastench,
                    [](int32_t e) { return ench[e].kind > 0; }};
const Section MESSAGES{"msg", MAXMSG, false, get_mess, &highestmsg, nullptr, put_mess, lastmsg, nullptr};

// Writes every stored record of the section 0..last.
template <const Section& S>
void putall(int32_t, FILE* f) {
  for (int32_t n = 0; n <= S.last(); n++)
    if (!S.stored || S.stored(n)) {
      putindex(n, f);
      S.put(n, f);
    }
  endsection(f);
}

// Reads the section; tag names the reader in its messages ("gettrndta",
// "getfather"). A checked number past the table goes to beyond (with the
// reader's player p) before the stop. False when the file is broken there.
bool getsection(FILE* f, const char* tag, const Section& s, void (*beyond)(int32_t n, int32_t p) = nullptr,
                int32_t p = -1) {
  char message[100];
  if (s.what) formatbounded(message, sizeof message, "%s: bad %s", tag, s.what);
  if (s.highest) *s.highest = -1;
  for (;;) {
    int32_t n;
    if (s.what) {
      n = getint(f);
      if (beyond && n >= s.limit && !readbroken()) beyond(n, p);
      n = checkindex(f, n, s.limit, message);
      if (n < 0) return n == -1;
    } else {
      n = getint(f);
      if (readbroken()) return false;
      if (n < 0) return true;
      if (s.cut) n = imin(n, s.limit - 1);
    }
    s.get(n, f);
    if (readbroken()) return false;
    if (s.highest) *s.highest = imax(*s.highest, n);
  }
}

void putblocks(FILE* f) {
  putmany(iteminplay, 1, writeversion < 311 ? 400 : int32_t(sizeof iteminplay), f);
  if (writeversion < 312)
    for (int32_t a = 0; a < 80; a++) putmany(diplomacy[a], 1, 80, f);
  else
    putmany(diplomacy, 1, sizeof diplomacy, f);
}

// Files of older versions kept fewer players' passwords.
int32_t storedpasswords(int32_t version) { return version <= 301 ? 85 : version <= 311 ? 80 : MAXPLAYERS; }

bool getblocks(FILE* f) {
  int32_t items = readversion < 311 ? 400 : 500;
  getmany(iteminplay, 1, items, f, sizeof iteminplay);
  if (readversion < 312) {
    uint8_t old[80 * 80];
    getmany(old, 1, sizeof old, f, sizeof old);
    memset(diplomacy, 0, sizeof diplomacy);
  } else {
    getmany(diplomacy, 1, sizeof diplomacy, f, sizeof diplomacy);
  }
  return !readbroken();
}

}  // namespace

bool inplay(int32_t player) {
  if (player < 0 || player >= MAXKINGDOMS) return false;
  int16_t controller = kingdom[player].w[KW_CONTROLLER];
  return controller == -2 || controller >= 1;
}

// ---------------------------------------------------------------- turn file

namespace {
// One part of a file body, in file order: its writer and its reader. p is
// the player of a turn file (-1 for the world file); tag names the reader in
// its messages. A reader says false when the file is broken there, and
// reading stops.
struct Part {
  void (*put)(int32_t p, FILE* f);
  bool (*get)(int32_t p, FILE* f, const char* tag);
};

bool readparts(const Part* parts, size_t count, int32_t p, FILE* f, const char* tag) {
  for (size_t i = 0; i < count; i++)
    if (!parts[i].get(p, f, tag)) return false;
  return true;
}

// Parts that both files hold.
void putmapzoom(int32_t, FILE* f) { putfixed(f, mapzoom); }
void putblocksection(int32_t, FILE* f) { putblocks(f); }
void putcheck(int32_t, FILE* f) { putint(HEADERCHECK, f); }
template <const Section& S>
bool getpart(int32_t, FILE* f, const char* tag) { return getsection(f, tag, S); }
// The same, traced with its count at debug level 1 (the highest number read, or the table's size).
template <const Section& S, void (*Beyond)(int32_t, int32_t) = nullptr>
bool gettraced(int32_t p, FILE* f, const char* tag) {
  if (!getsection(f, tag, S, Beyond, p)) return false;
  debugprint("%s %d ", S.trace, S.highest ? *S.highest : S.limit);
  return true;
}
bool getblockpart(int32_t, FILE* f, const char*) { return getblocks(f); }
bool getcheck(int32_t, FILE* f, const char* tag) {
  char message[100];
  formatbounded(message, sizeof message, "%s: bad CHECK", tag);
  return readcheck(f, HEADERCHECK, message);
}

// ---------------------------------------------------------------- turn file

// A land number past the table, traced with the player whose file it is.
void landbeyond(int32_t n, int32_t p) { debugprint("getturndata getland%d for knr%d\n", n, p); }

const Part turnparts[] = {
    {[](int32_t, FILE* f) { put_gameinfo(f); },
     [](int32_t p, FILE* f, const char*) {
       if (!get_gameinforec(gameinfo, f)) return false;
       debugprint("got turn info for player %d\n", p);
       return true;
     }},
    {putmapzoom,
     [](int32_t p, FILE* f, const char*) {
       mapzoom = getfixed(f);
       debugprint("get turn data for player %d global_mappic %s fileversion %d\n", p, gameinfo.mappic, readversion);
       return true;
     }},
    {putall<LANDS>, gettraced<LANDS, landbeyond>},
    {putall<KINGDOMS>, gettraced<KINGDOMS>},
    // The player's own units, those of The Void, the hall of fame and the
    // mercenary bands.
    {[](int32_t p, FILE* f) {
       for (int32_t u = 0; u <= lastunit(); u++) {
         const Unit& x = unit[u];
         bool famous = famedbody(u);
         if ((x.owner == p || x.land == -2 || famous || (x.hp > 0 && mercbody(u))) && (x.hp > 0 || famous)) {
           putindex(u, f);
           put_unit(u, f);
         }
       }
       endsection(f);
     },
     gettraced<UNITS>},
    {[](int32_t p, FILE* f) {
       for (int32_t c = 0; c <= lastcom(); c++) {
         int32_t body = com[c].body;
         if (body < 0 || body >= MAXUNITS) continue;
         if (unit[body].owner == p || unit[body].land == -2 || famed(c) || (unit[body].hp > 0 && mercbody(body))) {
           putindex(c, f);
           put_com(c, f);
         }
       }
       endsection(f);
     },
     gettraced<COMS>},
    {putall<VEYRANCES>, getpart<VEYRANCES>},
    // The player's own spell states: one record in a section of its own.
    {[](int32_t p, FILE* f) {
       putindex(p, f);
       put_spellstuff(p, f);
       endsection(f);
     },
     [](int32_t, FILE* f, const char* tag) {
       char message[100];
       formatbounded(message, sizeof message, "%s: bad kdm", tag);
       int32_t k = getindex(f, MAXKINGDOMS, message);
       if (k >= 0) get_splstf(k, f);
       if (readbroken() || k == -2) return false;
       if (k >= 0) getint(f);   // the section's end
       return true;
     }},
    {putall<MERCS>, getpart<MERCS>},
    {putall<ENCHS>, getpart<ENCHS>},
    {[](int32_t, FILE* f) {
       for (int32_t i = 0; i < MAXSCORES; i++) put_score(i, f);
     },
     [](int32_t, FILE* f, const char*) {
       for (int32_t i = 0; i < MAXSCORES; i++) get_score(i, f);
       return true;
     }},
    // The player's messages and those to every player.
    {[](int32_t p, FILE* f) {
       for (int32_t m = 0; m <= lastmsg(); m++)
         if (message[m].type != MT_FREE && (message[m].player == p || message[m].player == MSG_ALLPLAYERS)) {
           putindex(m, f);
           put_mess(m, f);
         }
       endsection(f);
     },
     getpart<MESSAGES>},
    {putblocksection, getblockpart},
    // The end statistics, unless the game hides them.
    {[](int32_t, FILE* f) {
       if (gameinfo.gameflags & (GF_NONATIONINFO | GF_NOSCOREGRAPHS)) {
         putint(0, f);
       } else {
         putint(1, f);
         put_endstats(f);
       }
     },
     [](int32_t, FILE* f, const char*) {
       if (getint(f) == 1) get_endstats(f);
       else endstats.highest = -1;
       return !readbroken();
     }},
    {putcheck, [](int32_t, FILE* f, const char*) { return readcheck(f, HEADERCHECK, "getturndata: bad CHECK"); }},
};
}  // namespace

void putturndata(int32_t p, FILE* f) {
  bailif(p < 0 || p >= MAXPLAYERS, "putturndata: bad player");
  if (!inplay(p)) return;
  for (const Part& part : turnparts) part.put(p, f);
  appendvcrs(p, f);
}

void getturndata(int32_t p, FILE* f) {
  debugprint("  gtd\n");
  if (!readparts(turnparts, std::size(turnparts), p, f, "gettrndta")) return;
  debugprint("[eof]\n");
}

void getturninfo(FILE* f) {
  get_gameinfo(f);
  debugprint("got turn info from trn file\n");
}

// ---------------------------------------------------------------- order file

void put2hdata(int32_t p, FILE* f) {
  bailif(p < 0 || p >= MAXPLAYERS, "put2hdata: bad player");
  if (!inplay(p)) return;
  for (int32_t l = 0; l <= lastland(); l++)
    if (land[l].owner == p) {
      putindex(l, f);
      put_land(l, f);
    }
  endsection(f);
  putindex(p, f);
  put_kingdom(p, f);
  put_spellstuff(p, f);
  endsection(f);
  for (int32_t u = 0; u <= lastunit(); u++)
    if (unit[u].hp >= 1 && unit[u].owner == p) {
      putindex(u, f);
      put_unit(u, f);
    }
  endsection(f);
  for (int32_t c = 0; c <= lastcom(); c++) {
    int32_t body = com[c].body;
    if (body >= 0 && body < MAXUNITS && unit[body].owner == p) {
      putindex(c, f);
      put_com(c, f);
    }
  }
  endsection(f);
  for (int32_t n = 0; n < PMESSSLOTS; n++)
    if (pmess[p][n].b0 < 255) {
      putindex(n, f);
      put_pmess(p, n, f);
    }
  endsection(f);
  putint(HEADERCHECK, f);
}

bool write2hfile(int32_t p, const char* gname, int32_t turnnbr, int32_t gamenbr) {
  GameFile file = createfileheader(gname, gamenbr, turnnbr, 0, p, password[p], 0);
  if (!file) return false;
  put2hdata(p, gamefilestream(file));
  return closegamefile(std::move(file), 1);
}

bool orderfileholds(int32_t p, const char* gname, int32_t turnnbr, int32_t gamenbr) {
  bailif(p < 0 || p >= MAXPLAYERS, "orderfileholds: bad player");
  ByteSink now;
  if (!now.stream()) return false;
  writefileheader(now.stream(), gname, gamenbr, turnnbr, 0, p, password[p], 0);
  put2hdata(p, now.stream());
  const std::vector<uint8_t> bytes = now.take();
  if (!now.ok()) return false;
  char path[PATHLEN];
  gamefilepath(path, PATHLEN, gname, 0, p);
  UniqueFile f = openquiet(path, "rb");
  if (!f) return false;
  // The file holds these bytes and their checksum, and nothing more.
  std::vector<uint8_t> saved(bytes.size() + 3);
  const size_t n = fread(saved.data(), 1, saved.size(), f.get());
  return n == bytes.size() + 2 && std::equal(bytes.begin(), bytes.end(), saved.begin()) &&
         checkcrcbuffer(saved.data(), int32_t(n));
}

// ---------------------------------------------------------------- world file

namespace {
const Part worldparts[] = {
    {[](int32_t, FILE* f) { put_gameinfo(f); },
     [](int32_t, FILE* f, const char*) { return get_gameinforec(gameinfo, f); }},
    {putmapzoom, [](int32_t, FILE* f, const char*) {
       mapzoom = getfixed(f);
       return true;
     }},
    {putall<LANDS>, getpart<LANDS>},
    {putall<KINGDOMS>, getpart<KINGDOMS>},
    {putall<UNITS>, getpart<UNITS>},
    {putall<COMS>, getpart<COMS>},
    {putall<VEYRANCES>, getpart<VEYRANCES>},
    {putall<SPELLS>, getpart<SPELLS>},
    {putall<MERCS>, getpart<MERCS>},
    {[](int32_t, FILE* f) { putmany(merctemplateused, 1, sizeof merctemplateused, f); },
     [](int32_t, FILE* f, const char*) {
       getmany(merctemplateused, 1, sizeof merctemplateused, f, sizeof merctemplateused);
       return !readbroken();
     }},
    {putall<ENCHS>, getpart<ENCHS>},
    // The hall of fame, as long as the game keeps it.
    {[](int32_t, FILE* f) {
       int32_t h = imin(gameinfo.hofsize, MAXSCORES);
       for (int32_t i = 0; i < h; i++) put_score(i, f);
     },
     [](int32_t, FILE* f, const char*) {
       int32_t h = imin(imax(int32_t(gameinfo.hofsize), 0), MAXSCORES);
       for (int32_t i = 0; i < h; i++) get_score(i, f);
       return true;
     }},
    {putblocksection, getblockpart},
    {[](int32_t, FILE* f) {
       int32_t c = imin(imax(uniquetypelist.count, -1), MAXUNIQUETYPES - 1);
       putint(c, f);
       putmany(uniquetypelist.type, 2, c + 1, f);
     },
     [](int32_t, FILE* f, const char* tag) {
       int32_t c = getint(f);
       if (c < -1 || c >= MAXUNIQUETYPES) {
         char message[100];
         formatbounded(message, sizeof message, "%s: bad unique count", tag);
         readdefect(message);
         return false;
       }
       uniquetypelist.count = c;
       getmany(uniquetypelist.type, 2, c + 1, f, sizeof uniquetypelist.type);
       return true;
     }},
    {[](int32_t, FILE* f) {
       for (int32_t p = 0; p < storedpasswords(writeversion); p++) {
         char pass[50];
         strlcopy(pass, password[p], sizeof pass);
         put_keystring(pass, f);
       }
     },
     [](int32_t, FILE* f, const char*) {
       for (int32_t p = 0; p < storedpasswords(readversion) && !readbroken(); p++) get_keystring(password[p], f, 50);
       return !readbroken();
     }},
    {[](int32_t, FILE* f) { put_endstats(f); },
     [](int32_t, FILE* f, const char*) {
       get_endstats(f);
       return !readbroken();
     }},
    {putcheck, getcheck},
};
}  // namespace

void putfatherland(FILE* f) {
  for (const Part& part : worldparts) part.put(-1, f);
}

void getfatherland(FILE* f) {
  debugprint("getfatherland\n");
  if (!readparts(worldparts, std::size(worldparts), -1, f, "getfather")) return;
  debugprint("  [eof]\n");
}

// ---------------------------------------------------------------- whole files for the host

bool writeworldfile(const char* gname, int32_t gamenbr, int32_t turnnbr) {
  GameFile file = createfileheader(gname, gamenbr, turnnbr, 1, -1, nullptr, 0);
  if (!file) return false;
  putfatherland(gamefilestream(file));
  return closegamefile(std::move(file), 0);
}

bool writeturnfile(int32_t p, const char* gname, int32_t gamenbr, int32_t turnnbr) {
  GameFile file = createfileheader(gname, gamenbr, turnnbr, 1, p, password[p], 0);
  if (!file) return false;
  putturndata(p, gamefilestream(file));
  return closegamefile(std::move(file), 1);
}

int loadworldfile(const char* gname, int32_t gamenbr, int32_t* turnout) {
  UniqueFile f = restinmemory(readfileheader(gname, gamenbr, -1, 1, -1, turnout, nullptr, nullptr, nullptr));
  if (!f) return 0;
  strlcopy(masterpassword, headermasterpass, sizeof masterpassword);
  char path[PATHLEN];
  gamefilepath(path, PATHLEN, gname, 1, -1);
  const ReadingFileScope reading(path);
  getfatherland(f.get());
  return 1;
}

std::string worldfault(int32_t level) {
  char fault[200] = "";
  auto say = [&](auto... args) {
    formatbounded(fault, sizeof fault, args...);
    return std::string(fault);
  };
  if (highestunit >= MAXUNITS || highestcom >= MAXCOMS || nbrlands >= MAXLANDS)
    return "it counts more units, commanders or provinces than the game holds";
  // Commanders and their bodies point at each other.
  for (int32_t c = 0; c <= highestcom; c++) {
    const int32_t b = com[size_t(c)].body;
    if (b < 0) continue;
    if (b >= MAXUNITS) return say("commander %d has a body beyond the units (%d)", c, b);
    if (unit[size_t(b)].comnr != c) return say("commander %d and its body, unit %d, do not point at each other", c, b);
  }
  if (level < 1) return "";
  // Every living unit stands somewhere, has a type and an owner.
  for (int32_t u = 0; u <= highestunit; u++) {
    const Unit& x = unit[size_t(u)];
    if (x.hp < 1) continue;
    if (x.type < 0 || x.type >= MAXUNITTYPES) return say("unit %d is of no unit type (%d)", u, x.type);
    if (x.owner < 0 || x.owner >= MAXKINGDOMS) return say("unit %d belongs to no nation (%d)", u, x.owner);
    if (x.land >= MAXLANDS || (x.land < 0 && x.land != VOIDLAND && x.land != -1))
      return say("unit %d stands in no province (%d)", u, x.land);
    const int32_t c = x.comnr;
    if (c >= 0 && (c >= MAXCOMS || com[size_t(c)].body != u))
      return say("unit %d and commander %d, which it names, do not point at each other", u, c);
  }
  for (int32_t l = 1; l <= nbrlands; l++) {
    const Land& ld = land[size_t(l)];
    if (ld.queuecount < 0 || ld.queuecount > 100) return say("province %d has a queue of %d", l, ld.queuecount);
    if (ld.owner >= MAXKINGDOMS || ld.fortholder >= MAXKINGDOMS) return say("province %d belongs to no nation", l);
  }
  return "";
}

int readworldfile(const char* gname, int32_t* turnout, char* why, int32_t size) {
  why[0] = 0;
  {
    SoftReadScope soft;
    const int headerread = loadworldfile(gname, 0, turnout);
    // A body that reads but does not hold together would stop the host
    // part-way: refused as damaged here, for the host and --verify alike.
    const std::string fault = headerread && !binreadfailed ? worldfault(1) : "";
    if (headerread && !binreadfailed && fault.empty()) return 1;
    if (headerread && binreadfailed) readdamage(why, size);
    else if (headerread) formatbounded(why, size, "the file is damaged (%s)", fault.c_str());
  }
  if (!why[0]) gamefileproblem(why, size, gname, 0, 1, -1);
  return 0;
}
