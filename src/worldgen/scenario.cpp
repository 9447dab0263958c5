// The scenario pass over a map file: the map maker's changes to the world
// (names, buildings, owners, gods, commanders with troops, magic, items,
// sites, scales, alliances, victory points).
#include <cstring>

#include "runtime/fatal.h"
#include "runtime/util.h"
#include "world/builders.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/recruit.h"
#include "world/units.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

namespace {

bool validland(int32_t l) { return l >= 1 && l <= MAXPROVINCES; }
bool validnation(int32_t n) { return n >= 0 && n <= 94; }
bool validtype(int32_t m) { return m >= 0 && m < MAXUNITTYPES; }

// The commander the commander commands act on, -1 none.
int32_t currentcom() {
  if (builder.detached || builder.com < 0 || builder.com >= MAXCOMS) return -1;
  return com[size_t(builder.com)].body >= 0 ? builder.com : -1;
}

int32_t currentbody() {
  int32_t c = currentcom();
  if (c < 0) return -1;
  int32_t b = com[size_t(c)].body;
  return b < MAXUNITS ? b : -1;
}

void copygodpaths() {
  for (int32_t k = 0; k < MAXPLAYERS; k++) {
    int32_t g = kingdom[size_t(k)].w[KW_GOD];
    if (g < 0 || g >= MAXCOMS || com[size_t(g)].body < 0) continue;
    for (int p = 0; p < 9; p++) kingdom[size_t(k)].godpath[p] = int8_t(com[size_t(g)].path[p]);
  }
}

// Fills both numbers, or the first number and the type named in quotes.
int32_t numberandtype(MapScanner& s, int32_t* v, const char* what) {
  char name[QUOTEDTEXTLEN];
  if (getquotedtext(s.line, s.line + strlen(s.line), name) > 0) {
    scanints(s.line, v, 1);
    int32_t type = findunittype(name);
    if (type < 0) debugprint("Nonexisting %s type: %s\n", what, name);
    return type;
  }
  scanints(s.line, v, 2);
  return v[1];
}

void replacegod(MapScanner& s, int32_t* v, int nogods, int32_t* godnation, int32_t* godcom) {
  int32_t type = numberandtype(s, v, "god");
  int32_t nation = v[0];
  if (!validnation(nation) || nogods || type < 0) return;
  if (!validtype(type)) return;
  debugprint("Replacing god: %d %d\n", nation, type);
  if (kingdom[size_t(nation)].w[KW_CONTROLLER] == CTRL_NONE) fatalerror("#god: this nation is not in play");
  int32_t c = kingdom[size_t(nation)].w[KW_GOD];
  if (c < 0 || c >= MAXCOMS) fatalerror("bad god cnr");
  int32_t u = com[size_t(c)].body;
  if (u < 0 || u >= MAXUNITS) fatalerror("bad god unr");
  builder.com = c;
  builder.detached = false;
  unit[size_t(u)].type = int16_t(type);
  unit[size_t(u)].hp = unittypes[size_t(type)].hp;
  for (int p = 0; p < 8; p++) com[size_t(c)].path[p] = 0;
  *godnation = nation;
  *godcom = c;
}

void newcommander(MapScanner& s, int32_t* v, int32_t curland) {
  char name[QUOTEDTEXTLEN];
  int32_t type;
  if (getquotedtext(s.line, s.line + strlen(s.line), name) > 0) {
    type = findunittype(name);
    if (type < 0) debugprint("Nonexisting unit type: %s\n", name);
  } else {
    scanints(s.line, v, 1);
    type = v[0];
  }
  if (!validtype(type)) return;
  if (!validland(curland)) {
    debugprint("***** Warning: #commander without a valid #land (%d)\n", curland);
    return;
  }
  popgang(0, type, 0, land[size_t(curland)].fortholder, curland);
}

void addsite(MapScanner& s, int32_t* v, int32_t curland, bool known) {
  if (!validland(curland)) return;
  char name[QUOTEDTEXTLEN];
  int32_t slot = -1;
  if (getquotedtext(s.line, s.line + strlen(s.line), name) > 0) {
    slot = addfeatbyname(curland, name);
  } else {
    scanints(s.line, v, 1);
    if (v[0] > 0 && v[0] < MAXSITES) slot = addfeatnr(curland, v[0]);
  }
  if (known && slot >= 0 && slot < 4) land[size_t(curland)].sitefound[slot] = 1;
}

void setcolour(int16_t* colour, const char* line, int32_t* v) {
  scanints(line, v, 3);
  for (int i = 0; i < 3; i++) colour[i] = int16_t(imax(-32768, imin(32767, v[i])));
}

}  // namespace

int readscenario(const char* text, int32_t length, int nogods) {
  static const char* const keywords[] = {
      "vey2title",    "imagefile",    "wraparound",  "veyversion",   "landname",   "setland",        "land",
      "god",          "commander",    "comname",     "bodyguards",   "units",      "clearmagic",     "mag_astral",
      "mag_nature",   "mag_death",    "mag_blood",   "mag_fire",     "mag_water",  "mag_air",        "mag_earth",
      "mag_priest",   "xp",           "randomequip", "additem",      "knownfeature", "features",     "feature",
      "killfeatures", "skybox",       "batmap",      "groundcol",    "rockcol",    "fogcol",         "fort",
      "temple",       "lab",          "owner",       "unrest",       "population", "poptype",        "defence",
      "defense",      "veyrancestr",  "scale_chaos", "scale_lazy",   "scale_cold", "scale_death",    "scale_unluck",
      "scale_unmagic", "victorypoints", "victorycondition", "cannotwin", "allies", "nostart", "nonamefilter",
      "startspell"};
  constexpr int nkeys = int(sizeof keywords / sizeof keywords[0]);
  MapScanner s(text, length);
  int result = 0;
  int32_t curland = 0;
  int32_t v[3] = {0, 0, 0};
  int32_t godnation = -1, godcom = -1;
  char name[QUOTEDTEXTLEN];
  const char* lineend = nullptr;
  for (int k; (k = s.next(keywords, nkeys)) >= 0;) {
    lineend = s.line + strlen(s.line);
    Land* cl = validland(curland) ? &land[size_t(curland)] : nullptr;
    ProvGeo* cg = validland(curland) ? &provgeo[size_t(curland)] : nullptr;
    const int32_t c = currentcom();
    switch (k) {
      case 0: result = 1; break;
      case 1: setmapimagename(s.line); break;
      case 2: gameinfo.wraparound = 1; break;
      case 3: versioncheck(s.line); break;
      case 4:
        scanints(s.line, v, 1);
        if (validland(v[0]) && getquotedtext(s.line, lineend, name) > 0) {
          strlcopy(land[size_t(v[0])].name, name, 36);
          strippercent(land[size_t(v[0])].name);
        }
        break;
      case 5: scanints(s.line, v, 1), curland = v[0]; break;
      case 6:
        scanints(s.line, v, 1), curland = v[0];
        if (validland(curland)) killand(curland);
        break;
      case 7: replacegod(s, v, nogods, &godnation, &godcom); break;
      case 8: newcommander(s, v, curland); break;
      case 9:
        if (getquotedtext(s.line, lineend, name) > 0 && c >= 0) {
          strlcopy(com[size_t(c)].name, name, 36);
          strippercent(com[size_t(c)].name);
          if (godnation >= 0 && c == godcom) strlcopy(kingdom[size_t(godnation)].godname, com[size_t(c)].name, 36);
        }
        break;
      case 10:
      case 11: {
        int32_t type = numberandtype(s, v, "unit");
        int32_t count = imin(v[0], k == 10 ? 100 : 999);
        // Without a current commander there is nobody for the troops to join.
        if (validtype(type) && count >= 1 && c >= 0) k == 10 ? addbodyguards(type, count) : addsquad(type, count);
        break;
      }
      case 12:
        if (c >= 0)
          for (int p = 0; p < 8; p++) com[size_t(c)].path[p] = 0;
        break;
      case 13: case 14: case 15: case 16: case 17: case 18: case 19: case 20: case 21: {
        // mag_astral .. mag_priest in keyword order.
        static const int paths[] = {P_ASTRAL, P_NATURE, P_DEATH, P_BLOOD, P_FIRE, P_WATER, P_AIR, P_EARTH, P_PRIEST};
        scanints(s.line, v, 1);
        int32_t level = imin(v[0], 19);
        if (level >= 0 && c >= 0) com[size_t(c)].path[paths[k - 13]] = uint8_t(level);
        break;
      }
      case 22:
        scanints(s.line, v, 1);
        if (c >= 0 && imin(v[0], 900) >= 0 && currentbody() >= 0)
          unit[size_t(currentbody())].exp = int16_t(imin(v[0], 900));
        break;
      case 23:
        scanints(s.line, v, 1);
        if (v[0] >= 0 && v[0] <= 4 && c >= 0) addequip(v[0]);
        break;
      case 24:
        if (getquotedtext(s.line, lineend, name) > 0 && c >= 0) additem(name, 100);
        break;
      case 25: addsite(s, v, curland, true); break;
      case 26: break;   // site frequency: read by the map chooser
      case 27: addsite(s, v, curland, false); break;
      case 28:
        if (cl)
          for (int i = 0; i < 4; i++) cl->site[i] = 0;
        break;
      case 29:
      case 30:
        if (cg) {
          getquotedtext(s.line, lineend, name);
          if (name[0] && !safemapname(name)) {
            debugprint("***** Warning: battleground name refused: %s\n", name);
            break;
          }
          strlcopy(k == 29 ? cg->skybox : cg->batmap, name, 100);
        }
        break;
      case 31: if (cg) setcolour(cg->groundcol, s.line, v); break;
      case 32: if (cg) setcolour(cg->rockcol, s.line, v); break;
      case 33: if (cg) setcolour(cg->fogcol, s.line, v); break;
      case 34:
        scanints(s.line, v, 1);
        if (cl && v[0] >= 0 && v[0] <= 49) cl->fort = int8_t(v[0]);
        break;
      case 35: if (cl) cl->temple = 1; break;
      case 36: if (cl) cl->lab = 1; break;
      case 37:
        scanints(s.line, v, 1);
        if (cl && validnation(v[0])) cl->provdef = 0, cl->owner = cl->fortholder = uint8_t(v[0]);
        break;
      case 38:
        scanints(s.line, v, 1);
        if (cl && v[0] >= 0 && v[0] <= 500) cl->unrest = int16_t(v[0]);
        break;
      case 39:
        scanints(s.line, v, 1);
        if (cl && v[0] >= 0 && v[0] <= 250000) cl->population = int16_t(v[0] / 10);
        break;
      case 40:
        scanints(s.line, v, 1);
        if (cl && v[0] >= 25 && v[0] <= 99) cl->poptype = int8_t(v[0]);
        break;
      case 41:
      case 42:
        scanints(s.line, v, 1);
        if (cl && v[0] >= 0 && v[0] <= 125 && int8_t(cl->owner) <= 94) cl->provdef = uint8_t(v[0]);
        break;
      case 43:
        scanints(s.line, v, 2);
        if (validnation(v[0]) && v[1] >= 1 && v[1] <= 10) {
          int32_t g = kingdom[size_t(v[0])].w[KW_GOD];
          if (g >= 0 && g < MAXCOMS) com[size_t(g)].veyvalue = int8_t(v[1]);
        }
        break;
      case 44: case 45: case 46: case 47: case 48: case 49:
        scanints(s.line, v, 2);
        if (validnation(v[0]) && v[1] >= -3 && v[1] <= 3) veyrec[size_t(v[0])].scale[k - 44] = int8_t(v[1]);
        break;
      case 50:
        scanints(s.line, v, 2);
        if (validland(v[0]) && v[1] >= 1 && v[1] <= 7) land[size_t(v[0])].vpword |= uint16_t(v[1]);
        break;
      case 51:
        scanints(s.line, v, 2);
        if (v[0] >= 0 && v[0] <= 5) gameinfo.victory = int16_t(v[0]), gameinfo.victoryvalue = int16_t(v[1]);
        break;
      case 52:
        scanints(s.line, v, 1);
        if (validnation(v[0])) kingdom[size_t(v[0])].w[KW_MAYWIN] = 0;
        break;
      case 53:
        scanints(s.line, v, 2);
        if (validnation(v[0]) && validnation(v[1])) diplomacy[v[0]][v[1]] = diplomacy[v[1]][v[0]] = 255;
        break;
      case 54:
        scanints(s.line, v, 1);
        if (validland(v[0])) provgeo[size_t(v[0])].terrain |= TM_NOSTART;
        break;
      case 55: gameinfo.gameflags |= 4; break;
      case 56:
        scanints(s.line, v, 1);
        if (validnation(v[0]) && getquotedtext(s.line, lineend, name) > 0) {
          int32_t spell = name2spell(name);
          if (spell >= 1) addtospellbook(spell, v[0]);
        }
        break;
    }
  }
  copygodpaths();
  return result;
}
