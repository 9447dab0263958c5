// Recruitment lists and province utilities.
#include "world/recruit.h"

#include <strings.h>

#include <initializer_list>

#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/scores.h"
#include "world/units.h"
#include "world/world.h"

std::array<int16_t, SLISTSIZE> slist;
int32_t slistlast = -1;

namespace {
void slistappend(int32_t m) {
  bailif(slistlast + 1 >= SLISTSIZE, "slist overflow");
  slist[++slistlast] = int16_t(m);
}

// Walks a recruit list: units before the commander switch, commanders after.
void addrecruitlist(int32_t lnr, const int32_t* list, int32_t mode) {
  bool commanders = false;
  for (int32_t i = 0; i < RECRUITLEN; i++) {
    const int32_t m = list[i];
    if (m == RECRUIT_END) break;
    if (m == RECRUIT_COMMANDERS) {
      commanders = true;
      continue;
    }
    if (m < 0) continue;
    if (commanders && mode > 9) slistaddcom(lnr, m, mode);
    if (!commanders && mode <= 9) slistaddunit(lnr, m, mode);
  }
}

// Types named by nation attributes: units in modes 0..9, commanders above.
void addattrtypes(int32_t lnr, int32_t nation, int32_t mode, std::initializer_list<uint32_t> units,
                  std::initializer_list<uint32_t> coms) {
  if (mode <= 9)
    for (uint32_t k : units) slistaddunit(lnr, getnatattr(nation, k), mode);
  else
    for (uint32_t k : coms) slistaddcom(lnr, getnatattr(nation, k), mode);
}
}  // namespace

void createslist(int32_t lnr, int32_t mode) {
  slistlast = -1;
  bailif(lnr < 0 || lnr >= MAXLANDS, "csl: bad lnr");
  const Land& l = land[lnr];
  const int32_t p = l.fortholder;
  bailif(p >= 95, "csl: bad player");
  debugprint("createslist lnr %d\n", lnr);
  const bool fort = l.fort >= 1;
  const bool sea = (provgeo[lnr].terrain & TM_SEA) != 0;
  if (fort && (isuwnation(p) ? sea : !sea)) addrecruitlist(lnr, nations[p].recruit, mode);
  if (sea && fort)
    addattrtypes(lnr, p, mode, {NA_UWUNIT1, NA_UWUNIT2, NA_UWUNIT3, NA_UWUNIT4, NA_UWUNIT5},
                 {NA_UWCOM1, NA_UWCOM2, NA_UWCOM3, NA_UWCOM4, NA_UWCOM5});
  if (fort && iscoastal(lnr))
    addattrtypes(lnr, p, mode, {NA_COASTUNIT1, NA_COASTUNIT2}, {NA_COASTCOM1, NA_COASTCOM2});
  if (!sea && fort) addattrtypes(lnr, p, mode, {NA_LANDUNIT1, NA_LANDUNIT2}, {NA_LANDCOM1, NA_LANDCOM2});
  const bool capital = kingdom[p].w[KW_HOMELAND] == lnr;
  if (!capital && l.poptype >= 0 && l.poptype < MAXPOPTYPES) addrecruitlist(lnr, poprecruit[l.poptype].data(), mode);
  for (int32_t s = 0; s < 4; s++) {
    const int32_t site = l.site[s];
    if (site < 0 || site >= MAXSITES || !l.sitefound[s]) continue;
    for (int32_t e = 0; e < SITEEFFECTS; e++) {
      const int32_t k = sites[site].effectkind[e];
      const int32_t v = sites[site].effectval[e];
      if (mode > 9 && (k == SE_RECCOM || (k == SE_RECCOMCAP && capital))) slistaddcom(lnr, v, mode);
      if (mode <= 9 && (k == SE_RECUNIT || (k == SE_RECUNITCAP && capital))) slistaddunit(lnr, v, mode);
    }
  }
}

void slistaddunit(int32_t lnr, int32_t m, int32_t mode) {
  bailif(lnr < 0 || lnr >= MAXLANDS, "slau: bad lnr");
  if (m < 1 || m >= MAXUNITTYPES) return;
  if (unittypes[m].flags & MF_HOLY) {
    const bool temple = land[lnr].temple >= 1;
    if ((mode == 0 && temple) || (mode == 2 && !temple)) slistappend(m);
  } else if (mode == 0) {
    slistappend(m);
  }
}

void slistaddcom(int32_t lnr, int32_t m, int32_t mode) {
  bailif(lnr < 0 || lnr >= MAXLANDS, "slac: bad lnr");
  if (m < 1 || m >= MAXUNITTYPES) return;
  const Monster& t = unittypes[m];
  const bool mage = gettypemagic(m, 53) != 0;
  const bool holy = (t.flags & MF_HOLY) != 0;
  const bool lab = land[lnr].lab >= 1, temple = land[lnr].temple >= 1;
  if (mage && holy) {
    if ((lab && temple) ? mode != 12 : mode == 12) slistappend(m);
    return;
  }
  if (!mage && !holy && (t.flags2 & MF2_NOLEADER) && t.abilityid[0] != AB_ASSASSIN) {
    if (rnd(100) < 95) {
      if (mode == 10) slistappend(m);
      return;
    }
  }
  if ((mage && !lab) || (holy && !temple)) {
    if (mode == 12) slistappend(m);
    return;
  }
  if (mode != 12) slistappend(m);
}

int32_t armynrinuse(int32_t p, int32_t n) {
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) {
    const int32_t b = combody(c);
    if (b >= 0 && unit[b].owner == p && com[c].armynr == n) return 1;
  }
  return 0;
}

int32_t getfreearmynr(int32_t p) {
  for (int32_t i = 0; i < 50000; i++) {
    const int32_t n = rnd(30000) + 1;
    if (!armynrinuse(p, n)) return n;
  }
  fatalerror("getfreearmynr");
  return -1;
}

int32_t addfeatnr(int32_t lnr, int32_t s) {
  bailif(lnr < 0 || lnr >= MAXLANDS, "addfeatnr: bad lnr");
  if (s < 1 || s >= MAXSITES) return -1;
  Land& l = land[lnr];
  int32_t slot = 3;
  for (int32_t i = 0; i < 4; i++)
    if (l.site[i] <= 0) {
      slot = i;
      break;
    }
  l.site[slot] = int16_t(s);
  l.sitefound[slot] = sites[s].level < 1 ? 1 : 0;
  return slot;
}

int32_t sitename2nr(const char* name) {
  bailif(name == nullptr, "sitename2nr: bad ptr");
  for (int32_t s = 0; s < MAXSITES && sites[s].path < SITE_ENDPATH; s++)
    if (!strcasecmp(sites[s].name, name)) return s;
  debugprint("***** Warning: no site called %s\n", name);
  return -1;
}

int32_t addfeatbyname(int32_t lnr, const char* name) { return addfeatnr(lnr, sitename2nr(name)); }

void strippercent(char* text) {
  if (!text) return;
  for (char* c = text; *c; c++)
    if (*c == '%') *c = ' ';
}

SongRange erasongs(int32_t era) {
  switch (era) {
    case 1: return {55, 5};
    case 2: return {61, 4};
    case 3: return {66, 4};
    default: return {71, 1};
  }
}

int32_t erasong(int32_t e) {
  if (e == -1) e = sysrnd(4);
  const SongRange songs = erasongs(e);
  return songs.count > 1 ? songs.first + sysrnd(songs.count) : songs.first;
}
