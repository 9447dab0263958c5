// The ritual order: what a ritual asks of its caster, its target and the
// treasury, and the order that castrit stores.
#include <vector>

#include "magic/rituals.h"
#include "runtime/fatal.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/movement.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

namespace {
bool validspell(int32_t s) { return s > 0 && s < MAXSPELLS && s < nbrofspells(); }
bool validland(int32_t l) { return l >= 1 && l <= nbrlands && l < MAXLANDS; }
}  // namespace

const char* ritualrefusaltext(int32_t result) {
  switch (result) {
    case RIT_OK: return "";
    case RIT_BADTARGET: return "The target is beyond the reach of this ritual.";
    case RIT_NOGEMS: return "There are not enough gems in the treasury for this ritual.";
    case RIT_TOOCOMPLEX: return "The ritual is too\ncomplex for this mage";
    case RIT_ONLYUNDERWATER: return "This spell can only be cast under water.";
    case RIT_NOTUNDERWATER: return "This spell cannot be cast under water.";
    case RIT_IMMOBILE: return "The caster is too immobile to use this spell.";
    case RIT_WRONGTERRAIN: return "Wrong terrain for this ritual.";
    case RIT_INFORCE: return "This enchantment is already in force.";
    case RIT_NOLAB: return "Rituals need a laboratory of the nation.";
    default: return "This spell is no ritual.";
  }
}

bool isritual(int32_t spell) { return validspell(spell) && spells[size_t(spell)].effect >= SPELL_RITUAL; }

int32_t ritualtargetkind(int32_t spell) {
  if (!isritual(spell)) return RT_NONE;
  switch (spells[size_t(spell)].effect) {
    // Finding sites searches the caster's own province: no target is asked.
    case RITUAL_REMOTEDAMAGE: case RITUAL_TELEPORT: case RITUAL_SCRY: case RITUAL_PROVINCEENCH: return RT_PROVINCE;
    case RITUAL_DISPEL: return RT_ENCHANTMENT;
    default: return RT_NONE;
  }
}

int32_t ritualgemcost(int32_t spell) {
  if (!validspell(spell)) return 0;
  return imax(0, spells[size_t(spell)].fatigue / 100);
}

int32_t ritualrange(int32_t cnr, int32_t spell) {
  if (!validspell(spell)) return 0;
  const int32_t path = spells[size_t(spell)].path[0];
  int32_t level = path >= 0 ? getcommagic(cnr, path) : 0;
  // A ritual granted by an item reaches as far as its own level does.
  level = imax(level, spells[size_t(spell)].pathlevel[0]);
  return 2 * imax(level, 1);
}

int32_t landdistance(int32_t a, int32_t b, int32_t maxsteps) {
  if (!validland(a) || !validland(b)) return -1;
  if (a == b) return 0;
  static std::vector<int16_t> seen;
  seen.assign(size_t(MAXLANDS), -1);
  std::vector<int32_t> now{a}, next;
  seen[size_t(a)] = 0;
  for (int32_t step = 1; step <= maxsteps && !now.empty(); step++) {
    next.clear();
    for (int32_t l : now)
      for (int32_t i = 0; i < MAXNEIGHBOURS; i++) {
        const int32_t n = provgeo[size_t(l)].nbr[i];
        if (n < 1) break;
        if (!validland(n) || seen[size_t(n)] >= 0) continue;
        if (n == b) return step;
        seen[size_t(n)] = int16_t(step);
        next.push_back(n);
      }
    now.swap(next);
  }
  return -1;
}

int32_t ritualrefusal(int32_t cnr, int32_t spell, int32_t granted, int32_t target) {
  const int32_t b = combody(cnr);
  if (b < 0 || !isritual(spell)) return RIT_NORITUAL;
  const Spell& sp = spells[size_t(spell)];
  const int32_t l = unitlandnr(b), p = unit[size_t(b)].owner;
  if (!validland(l)) return RIT_BADTARGET;
  if (!granted) {
    for (int32_t i = 0; i < 2; i++)
      if (sp.path[i] >= 0 && getcommagic(cnr, sp.path[i]) < sp.pathlevel[i]) return RIT_TOOCOMPLEX;
    if (!land[size_t(l)].lab || land[size_t(l)].fortholder != p) return RIT_NOLAB;
  }
  const bool sea = issea(l) != 0;
  if (sea && !(sp.flags & SF_UNDERWATER)) return RIT_NOTUNDERWATER;
  if (!sea && (sp.flags & SF_ONLYUNDERWATER)) return RIT_ONLYUNDERWATER;
  if (sp.effect == RITUAL_TELEPORT && (unittypeflags(b) & MF_IMMOBILE)) return RIT_IMMOBILE;
  switch (ritualtargetkind(spell)) {
    case RT_PROVINCE: {
      if (!validland(target)) return RIT_BADTARGET;
      const int32_t d = landdistance(l, target, ritualrange(cnr, spell));
      if (d < 0) return RIT_BADTARGET;
      if (sp.effect == RITUAL_TELEPORT) {
        // The army arrives in a province of its own nation, on ground it can stand on.
        if (land[size_t(target)].owner != p || target == l) return RIT_BADTARGET;
        const uint32_t word = getmoveflags(cnr);
        if (issea(target) ? !(word & MW_WATER) : !(word & MW_LAND)) return RIT_WRONGTERRAIN;
      }
      // Enchantments of fire and air do not take hold on the sea.
      if (sp.effect == RITUAL_PROVINCEENCH && issea(target) && !(sp.flags & SF_UNDERWATER)) return RIT_WRONGTERRAIN;
      if (sp.effect == RITUAL_PROVINCEENCH && findench(sp.damage, target, p) >= 0) return RIT_INFORCE;
      break;
    }
    case RT_ENCHANTMENT:
      if (target < 0 || target >= MAXENCH || ench[size_t(target)].kind <= 0 || ench[size_t(target)].land != -1)
        return RIT_BADTARGET;
      break;
    default:
      if (sp.effect == RITUAL_GLOBALENCH && findench(sp.damage, -1, p) >= 0) return RIT_INFORCE;
      if (sp.effect == RITUAL_ARENAENCH && findench(sp.damage, 0, p) >= 0) return RIT_INFORCE;
      break;
  }
  return RIT_OK;
}

int32_t castrit(int32_t cnr, int32_t spell, int32_t granted, int32_t target, int32_t pearls) {
  bailif(cnr < 0 || cnr >= MAXCOMS, "castrit: bad cnr");
  const int32_t b = combody(cnr);
  bailif(b < 0, "castrit: bad unr");
  const int32_t why = ritualrefusal(cnr, spell, granted, target);
  if (why != RIT_OK) return why;
  const int32_t p = unit[size_t(b)].owner;
  if (p < 0 || p >= MAXPLAYERS) return RIT_NOGEMS;
  Kingdom& k = kingdom[size_t(p)];
  Commander& c = com[size_t(cnr)];
  if (ritualtargetkind(spell) == RT_ENCHANTMENT) {
    if (pearls < 1 || pearls > k.w[KW_GEMS + int32_t(P_ASTRAL)]) return RIT_NOGEMS;
    k.w[KW_GEMS + int32_t(P_ASTRAL)] = int16_t(k.w[KW_GEMS + int32_t(P_ASTRAL)] - pearls);
    c.order = Order::dispel;
    c.orderparam = target;
    c.ordergems[0] = pearls;
    c.ordergems[1] = 0;
    return RIT_OK;
  }
  const int32_t path = spells[size_t(spell)].path[0], cost = ritualgemcost(spell);
  if (cost > 0 && (path < 0 || path > 8 || k.w[KW_GEMS + path] < cost)) return RIT_NOGEMS;
  if (cost > 0) k.w[KW_GEMS + path] = int16_t(k.w[KW_GEMS + path] - cost);
  c.order = Order::ritual;
  c.orderparam = spell;
  c.ordergems[0] = cost;
  c.ordergems[1] = ritualtargetkind(spell) == RT_PROVINCE ? target : 0;
  return RIT_OK;
}

int32_t getcomitemspell(int32_t cnr, int32_t n) {
  if (combody(cnr) < 0 || n < 0) return 0;
  for (int32_t s = 0; s < 8; s++) {
    const int32_t it = com[size_t(cnr)].item[s];
    if (!validitem(it) || items[size_t(it)].spell[0] == 0) continue;
    const int32_t spell = name2spell(items[size_t(it)].spell);
    if (isritual(spell) && n-- == 0) return spell;
  }
  return 0;
}
