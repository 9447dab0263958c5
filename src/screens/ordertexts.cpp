// The text of each order, as the commander cards, the order menu and
// the Nation Overview show it.
#include <cstdio>

#include "rule_ids.h"
#include "runtime/fatal.h"
#include "runtime/util.h"
#include "screens/orders.h"
#include "world/forts.h"
#include "world/gamedata.h"
#include "world/provinfo.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

namespace {
const char* spellname(int32_t s) { return s >= 0 && s < MAXSPELLS ? spells[size_t(s)].name : "???"; }

constexpr const char* cultisttexts[8] = {"Heretic preachings", "The stars are right", "Hear the void",
                                         "Hear my dreams of R'lyeh", "See the signs of R'lyeh", "That is not a star",
                                         "R'lyeh is rising", "See the signs in the sky"};
constexpr const char* funeraltexts[8] = {"Build mausoleum", "Call the dead", "All will be ashes", "Whisper to the dead",
                                         "Mutter", "Festival for the dead", "Open tomb", "All will end"};

// The name that a cultist's "Fhtagn" becomes: the pretender of the first of
// nations 67, 47 and 22 in the game, when it lives on and carries effect 277.
const char* awakenedname() {
  for (int32_t n : {67, 47, 22}) {
    if (!isingame(n)) continue;
    const int32_t god = kingdom[size_t(n)].w[KW_GOD];
    const int32_t b = combody(god);
    if (b < 0) return nullptr;
    if (getitemfx(god, AB_VOIDSANITY, 1) > 0 || getability(b, AB_VOIDSANITY, 1) > 0) return comshownname(god);
    return nullptr;
  }
  return nullptr;
}

void forttext(int32_t cnr, int32_t lnr, char* buf) {
  const Land& l = land[size_t(lnr)];
  const int32_t t = l.counter;
  if (t == 0) {
    const int32_t type = imax(0, getcastle(unit[size_t(com[size_t(cnr)].body)].owner, lnr));
    snprintf(buf, ORDERTEXTLEN, "Build %s, %d months remaining", forts[size_t(type)].name,
             forts[size_t(type)].val[FORT_BUILDTIME]);
    return;
  }
  if (t < 0 || t >= MAXFORTS) {
    snprintf(buf, ORDERTEXTLEN, "Build fort ???");
    return;
  }
  int32_t months = forts[size_t(t)].val[FORT_BUILDTIME];
  if (l.fort < 0) months += l.fort;   // the months already built
  snprintf(buf, ORDERTEXTLEN, months == 1 ? "Build %s, %d month remaining" : "Build %s, %d months remaining",
           forts[size_t(t)].name, months);
}
}  // namespace

char* hostordertext(int32_t cnr, char* buf) {
  bailif(cnr < 0 || cnr >= MAXCOMS, "hostordertext: bad cnr");
  const int32_t b = combody(cnr);
  if (b < 0) {
    fatalerror("hostordertext: bad unr");
    return buf;
  }
  const Commander& c = com[size_t(cnr)];
  const int32_t player = unit[size_t(b)].owner;
  const int32_t lnr = unitlandnr(b);
  buf[0] = 0;
  if (const OrderInfo* row = orderrow(int32_t(c.order)); row && row->name) {
    snprintf(buf, ORDERTEXTLEN, "%s", row->name);
    return buf;
  }
  switch (c.order) {
    case Order::defend: {
      const bool siege = lnr >= 0 && land[size_t(lnr)].owner == player && land[size_t(lnr)].fortholder != player;
      snprintf(buf, ORDERTEXTLEN, "%s", siege ? "Siege" : "Defend");
      break;
    }
    case Order::sneak:
      snprintf(buf, ORDERTEXTLEN, "%s", c.orderparam >= 1 && c.orderparam != lnr ? "Sneak" : "Hide");
      break;
    case Order::ritual: case Order::monthlyritual: {
      const char* monthly = c.order == Order::monthlyritual ? " (monthly)" : "";
      const int32_t target = c.ordergems[1];
      if (target < 1 || target > 1504)
        snprintf(buf, ORDERTEXTLEN, "Cast %s%s", spellname(c.orderparam), monthly);
      else if (infolevel(target, player, 0) & INFO_NAME)
        snprintf(buf, ORDERTEXTLEN, "Cast %s at %s%s", spellname(c.orderparam), land[size_t(target)].name, monthly);
      else
        snprintf(buf, ORDERTEXTLEN, "Cast %s at %d%s", spellname(c.orderparam), target, monthly);
      break;
    }
    case Order::forge:
      snprintf(buf, ORDERTEXTLEN, "Forge %s", validitem(c.orderparam) ? items[size_t(c.orderparam)].name : "???");
      break;
    case Order::buildfort:
      if (lnr >= 0) forttext(cnr, lnr, buf);
      else snprintf(buf, ORDERTEXTLEN, "Build fort ???");
      break;
    case Order::cultist: {
      const int32_t v = c.orderparam;
      const char* name = v >= 0 && v < 8 ? cultisttexts[v] : awakenedname();
      snprintf(buf, ORDERTEXTLEN, "%s", name ? name : "Fhtagn");
      break;
    }
    case Order::funeral: {
      const int32_t v = c.orderparam - 9;
      snprintf(buf, ORDERTEXTLEN, "%s", v >= 0 && v < 8 ? funeraltexts[v] : "Attend funeral");
      break;
    }
    default:
      snprintf(buf, ORDERTEXTLEN, "Unknown order");
      break;
  }
  return buf;
}
