// Land set-up: victory-point provinces, province names, population and
// resources by terrain, the start population and magic sites.
#include <cstring>

#include "runtime/fatal.h"
#include "runtime/progress.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/hoststate.h"
#include "world/units.h"
#include "world/world.h"
#include "worldgen/gamesetup.h"
#include "worldgen/worldgen.h"

int32_t highestsite = 0;
uint8_t siteused[1000] = {};

void worldprogress(const char* label) { progressbox("Creating World", 0, "%s", label ? label : ""); }

void resetlands() {
  for (Land& l : land) l = resetland();
}

void provname(int kind, char* name) {
  name[0] = 0;
  if (kind < 0 || kind >= NBRPROVNAMELISTS) return;
  const ProvNameList& list = provnames[size_t(kind)];
  int32_t count = imin(list.count, MAXPROVNAMES);
  if (count < 1) return;
  strlcopy(name, list.names[rnd(count)], 36);
}

int32_t countlandname(const char* name) {
  int32_t n = 0;
  for (int32_t l = 1; l <= nbrlands; l++)
    if (strncmp(land[size_t(l)].name, name, 36) == 0) n++;
  return n;
}

namespace {
int namelist(uint32_t t) {
  if ((t & TM_SEA) && (t & TM_DEEPSEA)) return PN_DEEPSEA;
  if (t & TM_SEA) return PN_SEA;
  if (t & TM_SWAMP) return PN_SWAMP;
  if (t & TM_FARM) return PN_FARM;
  if ((t & TM_FOREST) && (t & TM_MOUNTAINS) && rnd(100) <= 49) return PN_FOREST;
  if ((t & TM_FOREST) && (t & TM_BORDERMOUNT) && rnd(100) <= 74) return PN_FOREST;
  if (t & (TM_MOUNTAINS | TM_CAVE | TM_BORDERMOUNT)) return PN_MOUNTAIN;
  if (t & TM_FOREST) return PN_FOREST;
  return PN_PLAIN;
}
}  // namespace

void setlandname(int32_t lnr) {
  bailif(lnr < 1 || lnr >= MAXLANDS, "setlandname: bad lnr");
  for (int32_t attempt = 1; attempt <= 25; attempt++) {
    provname(namelist(provgeo[size_t(lnr)].terrain), land[size_t(lnr)].name);
    int32_t dups = countlandname(land[size_t(lnr)].name);
    debugprint2("setlandname, dup%d try%d\n", dups, attempt);
    if (dups <= 1) return;
  }
}

int sitefitsland(int32_t s, int32_t lnr) {
  if (s < 0 || s >= MAXSITES || lnr < 0 || lnr >= MAXLANDS) return 0;
  const uint32_t t = provgeo[size_t(lnr)].terrain;
  const uint32_t f = sites[size_t(s)].placement;
  bool fits = false;
  if ((f & SP_PLAIN) && !(t & (TM_SEA | TM_FOREST | TM_MOUNTAINS | TM_WASTE | TM_SWAMP | TM_BORDERMOUNT | TM_CAVE)))
    fits = true;
  if ((f & SP_FOREST) && (t & TM_FOREST)) fits = true;
  if ((f & SP_MOUNTAIN) && (t & (TM_MOUNTAINS | TM_BORDERMOUNT))) fits = true;
  if ((f & SP_WASTE) && (t & TM_WASTE)) fits = true;
  if ((f & SP_SEA) && (t & TM_SEA)) fits = true;
  if ((f & SP_SWAMP) && (t & TM_SWAMP)) fits = true;
  if ((f & SP_DEEPSEA) && (t & TM_DEEPSEA)) fits = true;
  if ((f & SP_CAVE) && (t & TM_CAVE)) fits = true;
  if ((f & SP_COAST) && !(t & TM_SEA)) {
    const int16_t* nb = provgeo[size_t(lnr)].nbr;
    for (int32_t i = 0; i < MAXNEIGHBOURS && nb[i] != 0; i++)
      if (nb[i] > 0 && nb[i] < MAXLANDS && (provgeo[size_t(nb[i])].terrain & TM_SEA)) fits = true;
  }
  return fits;
}

int32_t randomsite(int32_t lnr, int32_t rarity, int32_t path, int32_t level) {
  bailif(lnr > MAXPROVINCES || lnr < 0, "randomsite: bad lnr");
  bailif(rarity > 2, "randomsite: bad rarity");
  bailif(highestsite <= 99 || highestsite >= MAXSITES, "randomsite: bad highestsite");
  for (int32_t attempt = 0; attempt < 25000; attempt++) {
    int32_t s = rnd(highestsite - 49) + rnd(50);
    const Site& site = sites[size_t(s)];
    if (!sitefitsland(s, lnr)) continue;
    if ((site.placement & SP_UNIQUE) && siteused[s]) continue;
    if (site.rarity != rarity) continue;
    if (path != -1 && site.path != path) continue;
    if (level != -1 && site.level != level) continue;
    return s;
  }
  debugprint("Can't find any site lnr%d rarity%d path%d lvl%d\n", lnr, rarity, path, level);
  return -1;
}

int32_t minvpsteps(int32_t lnr) {
  int32_t best = 999;
  for (int32_t l = 1; l <= nbrlands; l++)
    if (l != lnr && (land[size_t(l)].vpword & 7) != 0) best = imin(best, landsteps(l, lnr));
  return best;
}

namespace {
void placevictorypoints() {
  int32_t total = vpprovinces[0] + vpprovinces[1] + vpprovinces[2];
  for (int32_t v = 1; v <= 3; v++)
    for (int32_t n = 0; n < vpprovinces[v - 1]; n++) {
      // Placement ends when no province without points is left.
      bool freeland = false;
      for (int32_t l = 1; l <= nbrlands && !freeland; l++) freeland = (land[size_t(l)].vpword & 7) == 0;
      if (!freeland) return;
      int32_t d = 119 - 2 * total;
      for (;;) {
        int32_t c = rnd(nbrlands) + 1;
        worldprogress("");
        int32_t mindist = d / 20;
        debugprint2("... trying %d, mindist %d\n", c, mindist);
        if ((land[size_t(c)].vpword & 7) != 0 || minvpsteps(c) < mindist) {
          d--;
          continue;
        }
        debugprint("VP in %d, mindist %d\n", c, mindist);
        land[size_t(c)].vpword = uint16_t(v);
        break;
      }
    }
}

int32_t rollpopulation(uint32_t t) {
  float base = (t & TM_SMALL) ? 400.0f : (t & TM_LARGE) ? 1200.0f : 800.0f;
  if (t & TM_FARM) base = float(int32_t(base * 1.5f));
  if (t & TM_FRESHWATER) base = float(int32_t(base * 1.2f));
  if (t & TM_WASTE) base = float(int32_t(base * 0.25f));
  else if (t & TM_SWAMP) base = float(int32_t(base * 0.3f));
  else if (t & TM_MOUNTAINS) base = float(int32_t(base * 0.5f));
  else if (t & TM_CAVE) base = float(int32_t(base * 0.4f));
  else if (t & TM_BORDERMOUNT) base = float(int32_t(base * 0.6f));
  else if (t & TM_FOREST) base = float(int32_t(base * 0.75f));
  float factor;
  if (t & TM_DEEPSEA) factor = frand() + 0.25f;
  else if (t & TM_SEA) factor = 1.5f * frand() + 0.25f;
  else factor = 0.5f * frand() + 0.75f;
  return int32_t(base * factor);
}

int32_t rollresources(uint32_t t) {
  int32_t r = openroll(40) + ((t & TM_SMALL) ? 20 : (t & TM_LARGE) ? 60 : 40);
  if (t & TM_FARM) r = int32_t(float(r) * 0.5f);
  if (t & (TM_MOUNTAINS | TM_CAVE | TM_BORDERMOUNT)) r *= 2;
  else if (t & TM_FOREST) r = int32_t(float(r) * 1.5f);
  return r;
}

int32_t popclass(int32_t pop) {
  if (pop <= 149) return -2;
  if (pop <= 349) return -1;
  if (pop <= 1000) return 0;
  if (pop <= 1500) return 1;
  if (pop <= 2000) return 2;
  return 3;
}

int32_t drawrarity() {
  if (rnd(100) <= 74) return 0;
  return rnd(100) <= 89 ? 1 : 2;
}

void placesites(int32_t l) {
  Land& ld = land[size_t(l)];
  const uint32_t t = provgeo[size_t(l)].terrain;
  int32_t slots = 0;
  while (slots < 4 && ld.site[slots] != 0) slots++;
  int32_t freq = mapsitefreq >= 0 ? mapsitefreq : int32_t(int8_t(gameinfo.magicsites));
  int32_t chance;
  if (t & TM_MANYSITES) {
    chance = freq + 25;
  } else {
    chance = freq + ((ld.vpword & 7) ? 20 : 0);
    if (t & TM_FARM) chance = imax(chance - 20, 5);
    else if (t & TM_WASTE) chance += 20;
    else if (t & (TM_CAVE | TM_DEEPSEA)) chance += 15;
    else if (t & (TM_SWAMP | TM_FOREST | TM_MOUNTAINS | TM_BORDERMOUNT)) chance += 10;
  }
  for (int32_t path = 0; path <= 8; path++) {
    if (!(t & (TM_FIRESITE << path))) continue;
    for (int32_t attempt = 0; attempt < 5 && slots < 4; attempt++) {
      int32_t rarity = rnd(100) <= 4 ? 2 : rnd(100) < 25 ? 1 : 0;
      int32_t s = randomsite(l, rarity, path, 0);
      if (s < 0) continue;
      ld.site[slots] = int16_t(s);
      ld.sitefound[slots] = 1;
      siteused[s] = 1;
      slots++;
      break;
    }
    break;   // the lowest path bit chooses the path
  }
  for (int32_t attempt = 0; attempt < 4; attempt++) {
    if (slots >= 4 || chance <= rnd(100)) continue;
    int32_t s = randomsite(l, drawrarity(), -1, -1);
    if (s < 0) continue;
    ld.site[slots] = int16_t(s);
    ld.sitefound[slots] = sites[size_t(s)].level <= 0 ? 1 : 0;
    siteused[s] = 1;
    slots++;
  }
}
}  // namespace

void landsetup() {
  for (int32_t s = 0; s < MAXSITES; s++)
    if (sites[size_t(s)].path == SITE_ENDPATH) {
      highestsite = s - 1;
      break;
    }
  memset(siteused, 0, sizeof siteused);
  placevictorypoints();
  // Provinces that already hold units keep them; population is placed only
  // in land l itself, so one look at the unit table serves the whole loop.
  static uint8_t occupied[MAXLANDS];
  memset(occupied, 0, sizeof occupied);
  for (int32_t u = 0; u <= highestunit && u < MAXUNITS; u++)
    if (unit[size_t(u)].hp > 0 && unit[size_t(u)].land >= 0 && unit[size_t(u)].land < MAXLANDS)
      occupied[unit[size_t(u)].land] = 1;
  for (int32_t l = 1; l <= nbrlands; l++) {
    Land& ld = land[size_t(l)];
    const uint32_t t = provgeo[size_t(l)].terrain;
    if (!ld.name[0]) setlandname(l);
    ld.population = int16_t(imin(rollpopulation(t), 32767));
    ld.baseres = int16_t(imin(rollresources(t), 32767));
    debugprint("land %d (spec%d) pop %d bres %d\n", l, int32_t(t), ld.population, ld.baseres);
    ld.corpses[0] = ld.corpses[1] = 0;
    int32_t cls = popclass(ld.population);
    if (!occupied[l]) {
      int32_t strength = 0;
      if (mapindepstr > 0) strength = mapindepstr;
      else if (mapindepstr == 0) strength = 0;
      else if (int8_t(gameinfo.indepstr) > 0)
        strength = imax(2 * (ld.vpword & 7) + int8_t(gameinfo.indepstr) + cls, 1);
      popl(l, strength);
    }
    if (ld.poptype < 0) ld.poptype = 39;
    placesites(l);
  }
}
