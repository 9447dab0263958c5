// New-game services of the front end: the game settings taken from the
// command line, era and participants through the console dialogs, the
// deletion of an old game of the same name, and the province and unit
// checks that world creation asks for.
#include <cstdio>
#include <cstring>

#include "gamefiles/gamefiles.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/units.h"
#include "world/world.h"
#include "worldgen/gamesetup.h"

int32_t vpprovinces[3] = {0, 0, 0};

void applygamesettings(int32_t mode) {
  GameInfo& g = gameinfo;
  g.researchdiff = uint8_t(researchdiff >= 0 ? researchdiff : 1);
  g.hofsize = uint8_t(hofsize >= 0 ? hofsize : 10);
  g.indepstr = uint8_t(indepstr >= 0 ? indepstr : 5);
  g.magicsites = uint8_t(magicsites >= 0 ? magicsites : 40);
  g.eventrarity = uint8_t(eventrarity >= 0 ? eventrarity : 1);
  g.startprov = uint8_t(startprov >= 1 ? startprov : 1);
  g.moneymult = int16_t(richness >= 0 ? richness : 100);
  g.resourcemult = int16_t(resources >= 0 ? resources : 100);
  g.supplymult = int16_t(supplies >= 0 ? supplies : 100);
  if (capitalvp > 0) g.gameflags |= 0x8;
  if (nocheatdet > 0) g.gameflags |= 0x20;
  if (noscoregraphs > 0) g.gameflags |= GF_NOSCOREGRAPHS;
  if (nonationinfo > 0) g.gameflags |= GF_NONATIONINFO;
  // Victory points: the total is spread as provinces worth one point.
  int32_t total = totalvp >= 0 ? totalvp : 0;
  vpprovinces[0] = total, vpprovinces[1] = vpprovinces[2] = 0;
  if (total > 0) {
    g.victory = 1;
    g.victoryvalue = int16_t(requiredvp >= 0 ? requiredvp : total / 2);
  }
  (void)mode;
}

void applynationcontrol() {
  // Per-nation overrides: 20..24 a computer player Easy..Impossible, -3 closed.
  for (int32_t n = 0; n < NATIONCONTROLS; n++) {
    if (nationcontrol[n] >= 20 && nationcontrol[n] <= 24) {
      kingdom[size_t(n)].w[KW_CONTROLLER] = CTRL_AI;
      kingdom[size_t(n)].w[KW_AILEVEL] = int16_t(nationcontrol[n] - 19);
    } else if (nationcontrol[n] == -3) {
      kingdom[size_t(n)].w[KW_CONTROLLER] = CTRL_NONE;
    }
  }
}

int32_t selectera(int32_t mode) {
  (void)mode;
  int32_t era = inputnumber(1, 3, "Choose era (1-3)");
  return era >= 1 && era <= 3 ? era : 0;
}

int32_t gamesettings(int32_t mode) {
  applygamesettings(mode);
  return 1;
}

int32_t chooseparticipants(int32_t fresh, int32_t era) {
  // The participants are the nation slots whose controller is set (by the
  // command line, the map or the caller); at least one must play.
  (void)fresh;
  for (int32_t k = 0; k < MAXPLAYERS; k++) {
    uint16_t c = uint16_t(kingdom[size_t(k)].w[KW_CONTROLLER]);
    if ((c == CTRL_HUMAN || c == CTRL_AI) && nations[size_t(k)].era != era && nations[size_t(k)].era != 0)
      debugprint("***** Warning: nation %d is not of era %d\n", k, era);
    if (c == CTRL_HUMAN || c == CTRL_AI) return 1;
  }
  return 0;
}

void assignnations(int32_t era) {
  (void)era;
  // Each slot plays the nation of its own number: two players can never
  // share a nation here.
}

int32_t designallgods(int32_t era, const char* gname) {
  (void)era, (void)gname;
  return 1;
}

namespace {
void removegamefile(const char* gname, const char* file) {
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/%s/%s", savepath, gname, file);
  remove(path);
}
}  // namespace

int32_t deletegamefiles(const char* gname, const char* question) {
  if (!validgamename(gname)) return 1;
  bool exists = fileexists("%s/%s/ftherlnd", savepath, gname);
  for (int32_t n = 0; n < MAXPLAYERS && !exists; n++)
    if (nations[size_t(n)].fileword[0] && fileexists("%s/%s/%s.trn", savepath, gname, nations[size_t(n)].fileword))
      exists = true;
  if (!exists) return 1;
  if (!textonly && !confirmbox(question)) return 0;
  removegamefiles(gname);
  return 1;
}

void removegamefiles(const char* gname) {
  if (!validgamename(gname)) return;
  removegamefile(gname, "ftherlnd");
  for (int32_t n = 0; n < MAXPLAYERS; n++) {
    const char* word = nations[size_t(n)].fileword;
    if (!word[0]) continue;
    for (const char* ext : {".trn", ".2h", ".chk"}) {
      char file[200];
      formatbounded(file, sizeof file, "%s%s", word, ext);
      removegamefile(gname, file);
    }
  }
  removegamefile(gname, "scores.html");
  char file[300];
  formatbounded(file, sizeof file, "__randommap_%s.map", gname);
  removegamefile(gname, file);
  formatbounded(file, sizeof file, "__randommap_%s.rgb", gname);
  removegamefile(gname, file);
  char folder[PATHLEN];
  formatbounded(folder, PATHLEN, "%s/%s", savepath, gname);
  remove(folder);   // only when empty: nothing else is ever removed
}

void initcapitalland(int32_t lnr) {
  bailif(lnr < 0 || lnr >= MAXLANDS, "initcapitalland: bad lnr");
  land[size_t(lnr)].population = int16_t(2950 + roll(100));
  land[size_t(lnr)].baseres = 80;
}

int32_t nearowned(int32_t lnr, int32_t steps, int32_t kind) {
  // A walk outward, level by level, over the lands of the asked kind.
  auto fits = [kind](int32_t l) {
    const bool sea = (provgeo[size_t(l)].terrain & TM_SEA) != 0;
    return !((kind == 0 && sea) || (kind == 1 && !sea));
  };
  if (lnr < 1 || lnr >= MAXLANDS || !fits(lnr)) return 0;
  static int32_t seen[MAXLANDS];
  static int32_t mark = 0;
  if (++mark == 0) {
    memset(seen, 0, sizeof seen);
    mark = 1;
  }
  static int32_t queue[MAXLANDS];
  int32_t head = 0, tail = 0;
  queue[tail++] = lnr;
  seen[lnr] = mark;
  for (int32_t depth = 0; head < tail; depth++) {
    const int32_t levelend = tail;
    for (; head < levelend; head++) {
      const int32_t l = queue[head];
      if (land[size_t(l)].owner != INDEPENDENTS) return 1;
      if (depth >= steps) continue;
      const int16_t* nb = provgeo[size_t(l)].nbr;
      for (int32_t i = 0; i < MAXNEIGHBOURS && nb[i] != 0; i++) {
        const int32_t n = nb[i];
        if (n < 1 || n >= MAXLANDS || seen[n] == mark || !fits(n)) continue;
        seen[n] = mark;
        queue[tail++] = n;
      }
    }
  }
  return 0;
}

void unitcheck(int32_t level) {
  bailif(highestunit >= MAXUNITS, "unit overflow");
  if (level <= 0) return;
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) {
    int32_t b = com[size_t(c)].body;
    if (b < 0) continue;
    if (b >= MAXUNITS || unit[size_t(b)].comnr != c) fatalerror("damn inconsistency!");
  }
}
