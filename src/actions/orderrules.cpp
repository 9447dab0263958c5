// Conditions and costs of the commander orders.
#include "actions/orderrules.h"

#include "rule_ids.h"
#include "runtime/util.h"
#include "world/economy.h"
#include "world/forts.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/movement.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

namespace {
bool holdscastle(int32_t c) { return orderlandrec(c).fortholder == orderplayer(c); }
bool ownsprovince(int32_t c) { return orderlandrec(c).owner == orderplayer(c); }
int32_t holy(int32_t c) { return getcommagic(c, P_PRIEST); }
bool mayholypreach(int32_t c) {
  return holy(c) >= 1 && getnatattr(orderplayer(c), NA_NOPREACH) == 0 &&
         !(unittypeflags(com[size_t(c)].body) & MF_UNDEAD);
}
bool anyeffect(int32_t c, int32_t from, int32_t to) {
  for (int32_t k = from; k <= to; k++)
    if (effectof(c, k) > 0) return true;
  return false;
}
bool pretenderdead(int32_t p) {
  const int32_t god = kingdom[size_t(p)].w[KW_GOD];
  const int32_t b = combody(god);
  return b >= 0 && unit[size_t(b)].hp < 1;
}
}  // namespace

int32_t orderland(int32_t c) { return unitlandnr(combody(c)); }
const Land& orderlandrec(int32_t c) { return land[size_t(imax(0, orderland(c)))]; }
int32_t orderplayer(int32_t c) {
  const int32_t b = combody(c);
  return b >= 0 ? unit[size_t(b)].owner : -1;
}
bool ordermobile(int32_t c) { return !(unittypeflags(combody(c)) & MF_IMMOBILE); }
int32_t effectof(int32_t c, int32_t k) { return getitemfx(c, k, 1); }

int32_t preachlimit(int32_t c) {
  const Land& l = orderlandrec(c);
  int32_t m = 2 * holy(c);
  if (holdscastle(c) && l.temple) m++;
  if (l.veystr >= 1) m += getnatattr(orderplayer(c), NA_PREACHBONUS);
  return m;
}

int32_t fortordertype(int32_t c) {
  const Land& l = orderlandrec(c);
  if (l.fort < 0 && l.counter > 0 && l.counter < MAXFORTS) return l.counter;
  return getcastle(orderplayer(c), orderland(c));
}

int32_t ordergoldcost(int32_t c, Order code) {
  const int32_t p = orderplayer(c);
  switch (code) {
    case Order::buildlab: return getlabcost(p);
    case Order::buildtemple: return gettemplecost(p);
    case Order::buildfort: {
      if (orderlandrec(c).fort < 0) return 0;   // continuing costs nothing
      const int32_t t = fortordertype(c);
      return t > 0 && t < MAXFORTS ? fortcost(orderland(c), t) : 0;
    }
    default: return 0;
  }
}

Refusal orderallowed(int32_t c, Order code, int32_t param) {
  const int32_t b = combody(c);
  const int32_t lnr = orderland(c);
  if (b < 0 || lnr < 0) return refuse("The commander stands in no province.");
  const int32_t p = orderplayer(c);
  const Land& l = land[size_t(lnr)];
  const char* name = comshownname(c);
  const bool castle = holdscastle(c);
  const Refusal allowed;
  switch (code) {
    case Order::sneak:
      return maysneak(c) ? allowed : refuse("%s's army cannot move unseen, so it can neither hide nor sneak.", name);
    case Order::research:
      if (!l.lab || !castle) return refuse("Research needs a laboratory in a province whose castle the nation holds.");
      return comresearch(c, 0) >= 1 ? allowed : refuse("%s has no skill in research.", name);
    case Order::preach: case Order::enemypreach:
      if (holy(c) < 1) return refuse("%s is no priest and cannot preach.", name);
      if (getnatattr(p, NA_NOPREACH) != 0) return refuse("The priests of this nation do not preach.");
      return mayholypreach(c) ? allowed : refuse("%s cannot preach: the undead spread no god's word.", name);
    case Order::search:
      if (!ismageorpriest(c)) return refuse("Only mages and priests can search for magic sites.");
      return castle ? allowed : refuse("Magic sites are searched for where the nation holds the castle.");
    case Order::bloodhunt:
      if (provgeo[size_t(lnr)].terrain & TM_SEA) return refuse("There are no people to hunt for blood under the sea.");
      return ownsprovince(c) ? allowed : refuse("Blood hunts are held in the nation's own provinces.");
    case Order::pillage:
      return ownsprovince(c) && castle ? allowed : refuse("Provinces are pillaged where the nation holds the province and its castle.");
    case Order::prophet:
      return !(unit[size_t(b)].flags[2] & F3_PRETENDER) ? allowed : refuse("The Pretender God cannot become a prophet.");
    case Order::callgod:
      if (!ownsprovince(c) && !castle) return refuse("The god is called from the nation's own provinces.");
      if (!ispriest(c)) return refuse("Only priests can call the god.");
      if (!pretenderdead(p) || veyrec[size_t(p)].value[0] > 0) return refuse("There is no god to call back.");
      return allowed;
    case Order::heal: return effectof(c, AB_HEALER) > 0 ? allowed : refuse("%s cannot heal troops.", name);
    case Order::summonallies: return anyeffect(c, AB_MAKEMONSTER, AB_MAKEMONSTER + 4) ? allowed : refuse("%s cannot summon allies.", name);
    case Order::buildlab:
      if (!castle || !ownsprovince(c)) return refuse("Buildings go up only where the nation holds the province and its castle.");
      if (l.lab) return refuse("A laboratory stands here already.");
      return ismage(c) ? allowed : refuse("Only mages can build a laboratory.");
    case Order::buildtemple:
      if (!castle || !ownsprovince(c)) return refuse("Buildings go up only where the nation holds the province and its castle.");
      if (l.temple) return refuse("A temple stands here already.");
      return ispriest(c) ? allowed : refuse("Only priests can build a temple.");
    case Order::buildfort:
      if (!castle || !ownsprovince(c)) return refuse("Buildings go up only where the nation holds the province and its castle.");
      if (l.fort == 0) return getcastle(p, lnr) > 0 ? allowed : refuse("No fort can be built here.");
      if (l.fort > 0) return refuse("A fort stands here already.");
      return !(provgeo[size_t(lnr)].terrain & TM_SEA) || getnatattr(p, NA_CASTLEUW) > 0
                 ? allowed
                 : refuse("This nation cannot build forts under the sea.");
    case Order::ghouls: case Order::soulless: case Order::longdead: case Order::horsemen: case Order::lictors:
    case Order::tombwyrm: case Order::chariot: {
      if (holy(c) < 1) return refuse("%s is no priest and cannot raise the dead.", name);
      if (!ownsprovince(c)) return refuse("The dead are raised in the nation's own provinces.");
      if (manikinlevel(c) >= 1) return refuse("%s awakens manikins instead.", name);
      const int32_t r = reanimatelevel(c);
      bool may = false;
      switch (code) {
        case Order::ghouls: case Order::soulless: may = r >= 1; break;
        case Order::longdead: may = r >= 2; break;
        case Order::horsemen: may = r >= 3 && getnatattr(p, NA_LONGDEADHORSE) > 0; break;
        case Order::chariot: may = r >= 3 && getnatattr(p, NA_TOMBCHARIOT) > 0; break;
        case Order::tombwyrm: may = r >= 4 && getnatattr(p, NA_TOMBWYRM) > 0; break;
        default: may = r >= 4 && getnatattr(p, NA_LICTORS) > 0; break;
      }
      return may ? allowed : refuse("%s cannot raise such dead.", name);
    }
    case Order::manikins:
      if (holy(c) < 1 || manikinlevel(c) < 1) return refuse("%s cannot awaken manikins.", name);
      return ownsprovince(c) ? allowed : refuse("The dead are raised in the nation's own provinces.");
    case Order::storm:
      if (l.fort <= 0 || l.fortholder == p) return refuse("There is no enemy castle to storm here.");
      if (!ordermobile(c)) return refuse("%s cannot move.", name);
      return l.fortdef <= 0 ? allowed : refuse("The castle gates still stand: the siege must break them first.");
    case Order::breaksiege:
      if (l.fort <= 0 || !castle || l.owner == p) return refuse("There is no siege of the nation's castle to break here.");
      return ordermobile(c) ? allowed : refuse("%s cannot move.", name);
    case Order::sacrifice:
      if (getnatattr(p, NA_BLOODSACRIFICE) == 0) return refuse("Only priests of a few choice nations can perform blood sacrifices.");
      if (!l.temple || !castle) return refuse("A temple is required for blood sacrifices.");
      if (const int32_t first = findcomwithorder(p, lnr, Order::sacrifice); first >= 0 && first != c)
        return refuse("Only one priest at once may perform a sacrifice in this temple.");
      if (!ispriest(c)) return refuse("Only priests can perform blood sacrifices.");
      if (com[size_t(c)].gems[P_BLOOD] < 1)
        return refuse("In order to perform a sacrifice %s must be given some blood slaves.", name);
      return allowed;
    case Order::uprising: return effectof(c, AB_SPY) > 0 ? allowed : refuse("%s cannot stir up an uprising.", name);
    case Order::demolishfort:
      return castle && l.fort > 0 && l.fortholder == l.owner ? allowed : refuse("There is no fort of the nation's to demolish here.");
    case Order::demolishlab:
      return castle && l.lab ? allowed : refuse("There is no laboratory of the nation's to demolish here.");
    case Order::demolishtemple:
      return castle && l.temple ? allowed : refuse("There is no temple of the nation's to demolish here.");
    case Order::assassinate: return effectof(c, AB_ASSASSIN) > 0 ? allowed : refuse("%s is no assassin.", name);
    case Order::deathmatch: {
      const uint32_t flags = unittypeflags(b);
      if (findench(EN_ARENA, 0, -1) < 0) return refuse("No death match is being fought.");
      if (const int32_t first = findcomwithorder(p, -1, Order::deathmatch); first >= 0 && first != c)
        return refuse("A champion of the nation is in the death match already.");
      return !(flags & (MF_IMMOBILE | MF_AQUATIC)) ? allowed : refuse("%s cannot travel to the death match.", name);
    }
    case Order::entersite: {
      if (param < 0 || param > 3) return refuse("There is no such site here.");
      const int32_t r = canentersite(c, param);
      if (r == -1) {
        const int32_t site = l.site[param];
        const int32_t path = site > 0 && site < MAXSITES ? sites[size_t(site)].path : -1;
        return refuse("Only %s mages can enter this site", path >= 0 && path <= 8 ? pathnames[path] : "other");
      }
      if (r == -2) return refuse("Only one commander can enter a site at once");
      return r >= 1 ? allowed : refuse("%s cannot enter this site.", name);
    }
    case Order::captureslaves:
      if (!ownsprovince(c) || !castle) return refuse("Slaves are captured where the nation holds the province and its castle.");
      return effectof(c, AB_CAPTURE) > 0 ? allowed : refuse("%s cannot capture slaves.", name);
    case Order::spirits: case Order::shadows: case Order::apparitions:
      // Spirits need level 1, shadows 2, apparitions 3.
      return callspiritslevel(c) >= int32_t(code) - int32_t(Order::spirits) + 1 ? allowed
                                                                               : refuse("%s cannot call such spirits.", name);
    case Order::seduce:
      return effectof(c, AB_SEDUCE) > 0 || effectof(c, AB_RUNAWAY) > 0 ? allowed : refuse("%s cannot seduce commanders.", name);
    case Order::corrupt: return effectof(c, AB_CORRUPT) > 0 ? allowed : refuse("%s cannot corrupt commanders.", name);
    case Order::lure:
      if (!iscoastal(lnr)) return refuse("Commanders are lured only from coastal provinces.");
      return effectof(c, AB_LURE) > 0 ? allowed : refuse("%s cannot lure commanders.", name);
    default: return allowed;
  }
}
