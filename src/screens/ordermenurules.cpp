// The rules of a commander's order menu: which lines it offers where the
// commander stands, and why a request is refused. No window: ordermenu.cpp
// shows the menu and the windows that an order needs.
#include <cstdarg>
#include <cstdio>

#include "actions/orderrules.h"
#include "magic/rituals.h"
#include "runtime/util.h"
#include "screens/orders.h"
#include "world/economy.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/movement.h"
#include "world/provinfo.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

namespace {
const char* const movehelp = "Select a commander and click on the main map in order to move to another province.";

struct Menu {
  OrderEntry* e;
  int32_t max, n = 0;
  void add(int32_t id, char key, const char* help, const char* format, ...) __attribute__((format(printf, 5, 6))) {
    if (n >= max) return;
    OrderEntry& x = e[n++];
    x.id = id;
    x.key = key;
    x.help = help;
    va_list ap;
    va_start(ap, format);
    vsnprintf(x.label, sizeof x.label, format, ap);
    va_end(ap);
  }
  // The order's line as the order table gives it.
  void order(Order o) {
    const OrderInfo& r = orderrow(o);
    add(ordermenuid(o), r.key, r.help, "%s", r.label);
  }
  // The order's line under another label (the table's help and key).
  void order(Order o, const char* label) {
    const OrderInfo& r = orderrow(o);
    add(ordermenuid(o), r.key, r.help, "%s", label);
  }
};

bool holdscastle(int32_t c) { return orderlandrec(c).fortholder == orderplayer(c); }
bool undeadtype(int32_t c) { return (unittypeflags(com[size_t(c)].body) & MF_UNDEAD) != 0; }
bool maypreach(int32_t c) { return !undeadtype(c) && getnatattr(orderplayer(c), NA_NOPREACH) == 0; }
int32_t destinationset(int32_t c) {
  const int32_t d = com[size_t(c)].orderparam;
  return d >= 1 && d != orderland(c) ? d : 0;
}

void sneakentry(Menu& m, int32_t c, const char* hidehelp) {
  if (com[size_t(c)].order == Order::move) m.order(Order::sneak);
  else m.add(ordermenuid(Order::sneak), 0, hidehelp, "Hide");
}

void siteentries(Menu& m, int32_t c) {
  const Land& l = orderlandrec(c);
  const OrderInfo& r = orderrow(Order::entersite);
  for (int32_t s = 0; s < 4; s++)
    if (canentersite(c, s) >= 1)
      m.add(ordermenuid(MenuChoice::entersite) + s, 0, r.help, "%s: %s", r.label, sites[size_t(l.site[s])].name);
}

void agententries(Menu& m, int32_t c) {
  const bool mobile = ordermobile(c);
  if (mobile && effectof(c, AB_ASSASSIN) > 0) m.order(Order::assassinate);
  if (mobile && effectof(c, AB_SEDUCE) > 0) m.order(Order::seduce);
  if (mobile && effectof(c, AB_RUNAWAY) > 0)
    m.add(ordermenuid(Order::seduce), 0, "Lure an enemy commander in this province into running away with your agent.", "%s",
          orderrow(Order::seduce).label);
  if (effectof(c, AB_LURE) > 0 && iscoastal(orderland(c))) m.order(Order::lure);
  if (mobile && effectof(c, AB_CORRUPT) > 0) m.order(Order::corrupt);
}

void priestentries(Menu& m, int32_t c) {
  const int32_t p = orderplayer(c);
  if (ispriest(c) && getnatattr(p, NA_BLOODSACRIFICE) > 0) m.order(Order::sacrifice);
}

void callgodentry(Menu& m, int32_t c) {
  const int32_t p = orderplayer(c);
  const int32_t god = combody(kingdom[size_t(p)].w[KW_GOD]);
  if (ispriest(c) && god >= 0 && unit[size_t(god)].hp < 1 && veyrec[size_t(p)].value[0] <= 0) m.order(Order::callgod);
}

void healsummon(Menu& m, int32_t c) {
  const OrderInfo& heal = orderrow(Order::heal);   // its key is the turn screen's alone
  if (effectof(c, AB_HEALER) > 0) m.add(ordermenuid(Order::heal), 0, heal.help, "%s", heal.label);
  for (int32_t k = 164; k <= 168; k++)
    if (effectof(c, k) > 0) {
      m.order(Order::summonallies);
      break;
    }
}

void labentries(Menu& m, int32_t c) {
  if (comresearch(c, 0) >= 1) m.order(Order::research);
  if (ismage(c)) {
    m.order(Order::ritual);
    m.order(Order::forge);
    m.add(ordermenuid(MenuChoice::alchemy), 0, "Turn gems into other gems, astral pearls or gold.", "Alchemy");
  }
  m.order(Order::empower);
}

void itemritualentries(Menu& m, int32_t c, const char* format) {
  for (int32_t n = 0; n < MAXITEMRITUALS; n++) {
    const int32_t s = getcomitemspell(c, n);
    if (s < 1 || s >= MAXSPELLS) break;
    m.add(ordermenuid(MenuChoice::itemritual) + n, 0, "Cast the ritual that the item grants.", format, spells[size_t(s)].name);
  }
}

void moveentries(Menu& m, int32_t c) {
  if (!ordermobile(c)) return;
  m.add(ORDERMENU_MOVEHELP, 0, movehelp, "Move");
  m.order(Order::patrol);
  const Commander& cm = com[size_t(c)];
  if (maysneak(c)) {
    if (cm.order == Order::sneak) {
      m.order(Order::move);
      return;
    }
    sneakentry(m, c, "Hidden units will not defend the province");
  }
  const int32_t p = orderplayer(c);
  if (cm.order == Order::move && cm.orderparam >= 1 && cm.orderparam < MAXLANDS) {
    const Land& d = land[size_t(cm.orderparam)];
    if (d.owner == p && d.fortholder == p && d.fort > 0) m.order(Order::movepatrol);
  }
  if (cm.order == Order::movepatrol || cm.order == Order::sneak) m.order(Order::move);
}

void provinceentries(Menu& m, int32_t c) {
  const int32_t p = orderplayer(c), lnr = orderland(c);
  const Land& l = land[size_t(lnr)];
  if (ismageorpriest(c) && holdscastle(c)) m.order(Order::search);
  if (ispriest(c) && maypreach(c)) m.order(Order::preach);
  priestentries(m, c);
  if (!(provgeo[size_t(lnr)].terrain & TM_SEA)) m.order(Order::bloodhunt);
  if (holdscastle(c)) {
    m.add(ordermenuid(MenuChoice::construct), 0, "Build a fort, a laboratory or a temple, or tear one down.",
          "Construct Building");
    m.order(Order::pillage);
    if (l.lab) labentries(m, c);
  }
  if (kingdom[size_t(p)].w[KW_PROPHET] == -1 && !(unit[size_t(com[size_t(c)].body)].flags[2] & F3_PRETENDER))
    m.order(Order::prophet);
  if (getcommagic(c, P_PRIEST) >= 1) {
    // Every way of raising the dead is asked for through the ghouls' line.
    const OrderInfo& manikins = orderrow(Order::manikins);
    if (callspiritslevel(c) >= 1) m.order(Order::spirits);
    else if (reanimatelevel(c) >= 1) m.order(Order::ghouls);
    else if (manikinlevel(c) > 0) m.add(ordermenuid(Order::ghouls), 'A', manikins.help, "%s", manikins.label);
  }
  callgodentry(m, c);
  healsummon(m, c);
  if (effectof(c, AB_CAPTURE) > 0) m.order(Order::captureslaves);
  siteentries(m, c);
  const uint32_t flags = unittypeflags(com[size_t(c)].body);
  if (findench(EN_ARENA, 0, -1) >= 0 && findcomwithorder(p, -1, Order::deathmatch) < 0 && !(flags & (MF_IMMOBILE | MF_AQUATIC)))
    m.order(Order::deathmatch);
  itemritualentries(m, c, "Cast Item Spell: %s");
}
}  // namespace

int32_t ordermenuentries(int32_t c, OrderEntry* entries, int32_t max) {
  Menu m{entries, max};
  const int32_t p = orderplayer(c), lnr = orderland(c);
  const Land& l = land[size_t(lnr)];
  const bool owns = l.owner == p, castle = l.fortholder == p;
  const bool mobile = ordermobile(c);
  if (owns && castle) {
    m.order(Order::defend, l.fort > 0 ? "Defend Castle" : orderrow(Order::defend).label);
    moveentries(m, c);
    provinceentries(m, c);
  } else if (owns) {
    m.add(ordermenuid(Order::defend), 0, "The more units besieging the faster the castle gates will be breached.",
          "Maintain Siege");
    if (l.fortdef <= 0 && mobile) m.order(Order::storm);
    moveentries(m, c);
    provinceentries(m, c);
  } else if (castle) {
    m.order(Order::defend, "Defend Castle");
    if (mobile) m.order(Order::breaksiege);
    agententries(m, c);
    if (ispriest(c) && maypreach(c)) m.order(Order::preach);
    callgodentry(m, c);
    if (l.lab) {
      m.order(Order::demolishlab);
      labentries(m, c);
    }
    priestentries(m, c);
    healsummon(m, c);
    siteentries(m, c);
    itemritualentries(m, c, "Cast Spell: %s");
  } else {
    const Commander& cm = com[size_t(c)];
    if (cm.order == Order::sneak && destinationset(c)) m.order(Order::move, "Move without sneaking");
    if (maysneak(c) && cm.order != Order::sneak) sneakentry(m, c, "Hidden units will not attack the province");
    m.order(Order::attack);
    agententries(m, c);
    if (effectof(c, AB_SPY) > 0) m.order(Order::uprising);
    if (maypreach(c) && getcommagic(c, P_PRIEST) >= 1) m.order(Order::enemypreach);
  }
  if (effectof(c, AB_SHAPECHANGE) > 0)
    m.add(ordermenuid(MenuChoice::changeshape), 0, "Changing shape is instantaneous", "Change Shape");
  m.add(ORDERMENU_CANCEL, 0, "Keep the order the commander has.", "Cancel");
  return m.n;
}


Refusal orderrefusal(int32_t cnr, int32_t request) {
  const char* name = comshownname(cnr);
  const Land& l = orderlandrec(cnr);
  const bool lab = l.lab && holdscastle(cnr);
  constexpr int32_t SITES = int32_t(MenuChoice::entersite), RITUALS = int32_t(MenuChoice::itemritual);
  if (request >= SITES && request < SITES + 4) return orderallowed(cnr, Order::entersite, request - SITES);
  if (request >= RITUALS && request < RITUALS + MAXITEMRITUALS) {
    if (getcomitemspell(cnr, request - RITUALS) < 1) return refuse("%s carries no item with that spell.", name);
    return {};
  }
  switch (MenuChoice(request)) {
    case MenuChoice::alchemy:
      if (!ismage(cnr)) return refuse("Only mages can work alchemy.");
      if (!lab) return refuse("Alchemy needs a laboratory in a province whose castle the nation holds.");
      return {};
    case MenuChoice::changeshape:
      if (getability(combody(cnr), AB_SHAPECHANGE, 1) <= 0) return refuse("%s cannot change shape.", name);
      return {};
    case MenuChoice::construct: case MenuChoice::bloodslaves: return {};
    default: break;
  }
  const OrderInfo* row = orderrow(request);
  if (!row) return {};
  switch (const Order o = row->code) {
    case Order::ghouls: return orderallowed(cnr, manikinlevel(cnr) >= 1 ? Order::manikins : Order::ghouls, 0);
    case Order::ritual: case Order::monthlyritual:
      if (!lab) return refuse("Rituals are cast in a laboratory in a province whose castle the nation holds.");
      if (!ismage(cnr) && getcomitemspell(cnr, 0) < 1) return refuse("%s knows no ritual magic.", name);
      return {};
    case Order::forge:
      if (!ismage(cnr)) return refuse("Only mages can forge magic items.");
      if (!lab) return refuse("Magic items are forged in a laboratory in a province whose castle the nation holds.");
      return {};
    case Order::empower:
      if (!lab) return refuse("Empowerment needs a laboratory in a province whose castle the nation holds.");
      return {};
    case Order::move: case Order::movepatrol: {
      // The destination that the former move left; whether the army can go
      // there is the move rule's, asked when the order is stored.
      const int32_t dest = com[size_t(cnr)].orderparam;
      if (dest < 1 || dest == orderland(cnr)) return refuse("Choose where %s moves by clicking a province on the map.", name);
      return {};
    }
    default: return orderallowed(cnr, o, 0);
  }
}
