// The order menu of a commander and the order store behind it: each order
// request is withdrawn-then-validated, charged and stored through the order
// store that the computer players use too; the menus here only ask what an
// order needs (which building, which dead to raise, which province).
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "actions/moverule.h"
#include "ai/orderstore.h"
#include "battle/battle.h"
#include "gfx/dialogs.h"
#include "gfx/gui.h"
#include "magic/rituals.h"
#include "mapview/mapview.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "runtime/util.h"
#include "screens/forging.h"
#include "screens/lab.h"
#include "screens/orders.h"
#include "world/economy.h"
#include "world/forts.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/movement.h"
#include "world/orderrules.h"
#include "world/provinfo.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr int32_t MENU_MOVEHELP = 998, MENU_CANCEL = 999, MENU_NOTHING = 97;
constexpr int32_t SITEEFFECT_TARGET = 72;   // a site whose entering needs a target province
// The buttons of the building window: an order's code, the tearing down apart.
constexpr int32_t BUTTON_BUILDFORT = int32_t(Order::buildfort), BUTTON_DEMOLISHFORT = 544, BUTTON_DEMOLISHLAB = 545;

const char* const movehelp = "Select a commander and click on the main map in order to move to another province.";

// Menu ids: an order's line is 100 + its code, a choice's 100 + its number,
// so that the choice made is always the request id - 100.
constexpr int32_t menuid(Order o) { return 100 + int32_t(o); }
constexpr int32_t menuid(MenuChoice m) { return 100 + int32_t(m); }

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
    add(menuid(o), r.key, r.help, "%s", r.label);
  }
  // The order's line under another label (the table's help and key).
  void order(Order o, const char* label) {
    const OrderInfo& r = orderrow(o);
    add(menuid(o), r.key, r.help, "%s", label);
  }
};

bool holdscastle(int32_t c) { return orderlandrec(c).fortholder == orderplayer(c); }
bool ownsprovince(int32_t c) { return orderlandrec(c).owner == orderplayer(c); }
bool undeadtype(int32_t c) { return (unittypeflags(com[size_t(c)].body) & MF_UNDEAD) != 0; }
bool maypreach(int32_t c) { return !undeadtype(c) && getnatattr(orderplayer(c), NA_NOPREACH) == 0; }
int32_t destinationset(int32_t c) {
  const int32_t d = com[size_t(c)].orderparam;
  return d >= 1 && d != orderland(c) ? d : 0;
}

void sneakentry(Menu& m, int32_t c, const char* hidehelp) {
  if (com[size_t(c)].order == Order::move) m.order(Order::sneak);
  else m.add(menuid(Order::sneak), 0, hidehelp, "Hide");
}

void siteentries(Menu& m, int32_t c) {
  const Land& l = orderlandrec(c);
  const OrderInfo& r = orderrow(Order::entersite);
  for (int32_t s = 0; s < 4; s++)
    if (canentersite(c, s) >= 1)
      m.add(menuid(MenuChoice::entersite) + s, 0, r.help, "%s: %s", r.label, sites[size_t(l.site[s])].name);
}

void agententries(Menu& m, int32_t c) {
  const bool mobile = ordermobile(c);
  if (mobile && effectof(c, AB_ASSASSIN) > 0) m.order(Order::assassinate);
  if (mobile && effectof(c, AB_SEDUCE) > 0) m.order(Order::seduce);
  if (mobile && effectof(c, AB_RUNAWAY) > 0)
    m.add(menuid(Order::seduce), 0, "Lure an enemy commander in this province into running away with your agent.", "%s",
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
  if (effectof(c, AB_HEALER) > 0) m.add(menuid(Order::heal), 0, heal.help, "%s", heal.label);
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
    m.add(menuid(MenuChoice::alchemy), 0, "Turn gems into other gems, astral pearls or gold.", "Alchemy");
  }
  m.order(Order::empower);
}

// The rituals of the commander's items; the store serves seven of them.
constexpr int32_t MAXITEMRITUALS = 7;
void itemritualentries(Menu& m, int32_t c, const char* format) {
  for (int32_t n = 0; n < MAXITEMRITUALS; n++) {
    const int32_t s = getcomitemspell(c, n);
    if (s < 1 || s >= MAXSPELLS) break;
    m.add(menuid(MenuChoice::itemritual) + n, 0, "Cast the ritual that the item grants.", format, spells[size_t(s)].name);
  }
}

void moveentries(Menu& m, int32_t c) {
  if (!ordermobile(c)) return;
  m.add(MENU_MOVEHELP, 0, movehelp, "Move");
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
    m.add(menuid(MenuChoice::construct), 0, "Build a fort, a laboratory or a temple, or tear one down.",
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
    else if (manikinlevel(c) > 0) m.add(menuid(Order::ghouls), 'A', manikins.help, "%s", manikins.label);
  }
  callgodentry(m, c);
  healsummon(m, c);
  if (effectof(c, AB_CAPTURE) > 0) m.order(Order::captureslaves);
  siteentries(m, c);
  const uint32_t flags = unittypeflags(com[size_t(c)].body);
  if (findench(38, 0, -1) >= 0 && findcomwithorder(p, -1, Order::deathmatch) < 0 && !(flags & (MF_IMMOBILE | MF_AQUATIC)))
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
    m.add(menuid(Order::defend), 0, "The more units besieging the faster the castle gates will be breached.",
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
    m.add(menuid(MenuChoice::changeshape), 0, "Changing shape is instantaneous", "Change Shape");
  m.add(MENU_CANCEL, 0, "Keep the order the commander has.", "Cancel");
  return m.n;
}

namespace {
// The menu of the buildings; stores the order chosen or returns on Cancel.
void constructmenu(int32_t c) {
  const int32_t p = orderplayer(c), lnr = orderland(c);
  for (;;) {
    const Land& l = land[size_t(lnr)];
    guibegin();
    guititle("Construct Building (%s)", comshownname(c));
    guicloseid(MENU_CANCEL);
    guiminwidth(GUIMENUWIDTH);
    guitextscale(0.8f);
    char why[ORDERWHYLEN];
    if (l.fort == 0 && orderallowed(c, Order::buildfort, 0, why)) {
      const int32_t t = fortordertype(c);
      const Fort& f = forts[size_t(t)];
      guibutton(BUTTON_BUILDFORT, "Build %s (%d)", f.name, ordergoldcost(c, Order::buildfort));
      guiinfo("%s: admin %d, defence %d, siege supplies %d, time to build %d months", f.name, f.val[FORT_ADMIN],
              f.val[FORT_DEF], f.val[FORT_SUPPLY], f.val[FORT_BUILDTIME]);
    } else if (l.fort < 0 && orderallowed(c, Order::buildfort, 0, why)) {
      guibutton(BUTTON_BUILDFORT, "Continue fort construction (0)");
    }
    for (Order o : {Order::buildlab, Order::buildtemple})
      if (orderallowed(c, o, 0, why)) guibutton(int32_t(o), "%s (%d)", orderrow(o).label, ordergoldcost(c, o));
    if (l.fort > 0 && l.fortholder == l.owner) guibutton(BUTTON_DEMOLISHFORT, "%s", orderrow(Order::demolishfort).label);
    if (l.lab) guibutton(BUTTON_DEMOLISHLAB, "Demolish lab");
    guitextscale(0.85f);
    guispace(2);
    guibutton(MENU_CANCEL, "Cancel");
    guishortcut(MENU_CANCEL, KEY_ESCAPE);
    guishow(-1, -1);
    const int32_t id = render_frame(1, 0);
    if (id == MENU_CANCEL) return;
    // Tearing down is stored without a message on refusal.
    if (id == BUTTON_DEMOLISHFORT || id == BUTTON_DEMOLISHLAB) {
      storeorder(c, id == BUTTON_DEMOLISHFORT ? Order::demolishfort : Order::demolishlab, 0, 0, why);
      return;
    }
    const Order o = Order(id);
    if (o != Order::buildfort && o != Order::buildlab && o != Order::buildtemple) continue;
    if (storeorder(c, o, 0, 0, why)) return;
    if (why[0]) msgbox("%s", why);
    (void)p;
  }
}

// A menu of order choices (line ids as the order menu's); the order chosen
// is stored.
void choicemenu(int32_t c, const char* title, const Order (&orders)[8], const char* const (&labels)[8], int32_t n) {
  char head[120];
  snprintf(head, sizeof head, title, comshownname(c));
  menubegin();
  menuline(0, head);
  for (int32_t i = 0; i < n; i++) menuline(menuid(orders[i]), labels[i]);
  menuline(MENU_CANCEL, "Cancel");
  menushow();
  const int32_t id = menuwait();
  char why[ORDERWHYLEN];
  for (int32_t i = 0; i < n; i++)
    if (id == menuid(orders[i])) storeorder(c, orders[i], 0, 0, why);
}

void reanimatemenu(int32_t c) {
  if (getcommagic(c, P_PRIEST) < 1 || !ownsprovince(c)) return;
  char why[ORDERWHYLEN];
  if (manikinlevel(c) >= 1) {
    storeorder(c, Order::manikins, 0, 0, why);
    return;
  }
  Order orders[8];
  const char* labels[8];
  int32_t n = 0;
  struct Choice {
    Order order;
    const char* label;
  };
  static constexpr Choice choices[] = {{Order::ghouls, "reanimate ghouls"},
                                       {Order::soulless, "reanimate soulless"},
                                       {Order::longdead, "reanimate longdead warriors"},
                                       {Order::horsemen, "reanimate longdead horsemen"},
                                       {Order::chariot, "reanimate tomb chariot"},
                                       {Order::tombwyrm, "reanimate tomb wyrm"},
                                       {Order::lictors, "revive lictors"}};
  for (const Choice& ch : choices)
    if (orderallowed(c, ch.order, 0, why)) {
      orders[n] = ch.order;
      labels[n++] = ch.label;
    }
  if (n > 0) choicemenu(c, "Reanimate (%s)", orders, labels, n);
}

void spiritsmenu(int32_t c) {
  const int32_t s = callspiritslevel(c);
  if (s < 1) return;
  const Order orders[8] = {Order::spirits, Order::shadows, Order::apparitions};
  const char* labels[8] = {"call dispossessed spirits", "call shadows", "call apparitions"};
  choicemenu(c, "Call Spirits (%s)", orders, labels, imin(s, 3));
}

void entersite(int32_t c, int32_t slot) {
  char why[ORDERWHYLEN];
  if (!storeorder(c, Order::entersite, slot, 0, why)) {
    if (why[0]) msgbox("%s", why);
    return;
  }
  const int32_t site = orderlandrec(c).site[slot];
  if (site <= 0 || site >= MAXSITES || sites[size_t(site)].effectkind[0] != SITEEFFECT_TARGET) return;
  const int32_t target = chooseprovince(orderplayer(c), 0, "Select target province");
  if (target == 0) com[size_t(c)].order = Order::defend;
  else com[size_t(c)].ordergems[0] = target;
}

void preach(int32_t c, Order code) {
  char why[ORDERWHYLEN];
  if (!storeorder(c, code, 0, 0, why)) return;
  const Land& l = orderlandrec(c);
  if (l.veyowner == orderplayer(c) && l.veystr >= preachlimit(c))
    msgbox("%s\n\nPreaching cannot be used to raise the veyrance of this province any higher.", comshownname(c));
}

// The target a ritual needs: a province, or an enchantment with the astral
// pearls put into its dispelling; 0 when the player backed out.
bool ritualtarget(int32_t c, int32_t spell, int32_t* target, int32_t* pearls) {
  *target = 0;
  *pearls = 0;
  switch (ritualtargetkind(spell)) {
    case RT_PROVINCE:
      *target = chooseprovince(orderplayer(c), 0, "Select target province");
      return *target > 0;
    case RT_ENCHANTMENT: {
      *target = chooseench("Dispel which enchantment?");
      if (*target < 0) return false;
      const int32_t stock = kingdom[size_t(orderplayer(c))].w[KW_GEMS + int32_t(P_ASTRAL)];
      *pearls = inputnumber(1, imax(1, stock), "Astral pearls to put into the dispelling");
      return *pearls >= 1;
    }
    default:
      return true;
  }
}

void castritual(int32_t c, int32_t spell, int32_t granted, bool cancelfirst, Order id) {
  int32_t target = 0, pearls = 0;
  if (!ritualtarget(c, spell, &target, &pearls)) return;
  if (cancelfirst && !cancelorder(c)) return;
  const int32_t r = castrit(c, spell, granted, target, pearls);
  if (r != RIT_OK) {
    msgbox("%s", ritualrefusaltext(r));
    return;
  }
  if (id == Order::monthlyritual && com[size_t(c)].order == Order::ritual) com[size_t(c)].order = Order::monthlyritual;
}

void ritual(int32_t c, Order id) {
  const Land& l = orderlandrec(c);
  if (!l.lab || !holdscastle(c) || (!ismage(c) && getcomitemspell(c, 0) < 1)) return;
  char title[120];
  snprintf(title, sizeof title, "Cast Ritual Spell (%s)", comshownname(c));
  const int32_t spell = choosespell(title, c, 1);
  if (spell < 0) return;
  int32_t granted = 0;
  for (int32_t n = 0; n < 4; n++)
    if (getcomitemspell(c, n) == spell) granted = 1;
  castritual(c, spell, granted, true, id);
}

void itemritual(int32_t c, int32_t n) {
  const int32_t spell = getcomitemspell(c, n);
  if (spell >= 1) castritual(c, spell, 1, false, Order::ritual);
}

void changeshape(int32_t c) {
  const int32_t b = com[size_t(c)].body;
  if (getability(b, AB_SHAPECHANGE, 1) <= 0) return;
  if (!shapechange(b)) {
    msgbox("It is not possible to change shape now, it could be fatal");
    return;
  }
  check_item_slots(b, 2);
  cancelorder(c);
}
}  // namespace

namespace {
// The refusals gathered while OrderBatches live (the outermost tells them).
int32_t batches = 0;
std::vector<std::string> gathered;

void tellrefusal(const char* why) {
  if (batches == 0) {
    msgbox("%s", why);
    return;
  }
  for (const std::string& w : gathered)
    if (w == why) return;
  gathered.push_back(why);
}
}  // namespace

OrderBatch::OrderBatch() { batches++; }

OrderBatch::~OrderBatch() {
  if (--batches > 0) return;
  std::string all;
  for (const std::string& w : gathered) all += (all.empty() ? "" : "\n\n") + w;
  gathered.clear();
  if (!all.empty()) msgbox("%s", all.c_str());
}

bool orderrefused(int32_t cnr, int32_t request, char* why) {
  why[0] = 0;
  const char* name = comshownname(cnr);
  const Land& l = orderlandrec(cnr);
  const bool lab = l.lab && holdscastle(cnr);
  auto tell = [&](const char* format, auto... args) {
    snprintf(why, ORDERWHYLEN, format, args...);
    return true;
  };
  constexpr int32_t SITES = int32_t(MenuChoice::entersite), RITUALS = int32_t(MenuChoice::itemritual);
  if (request >= SITES && request < SITES + 4)
    return !orderallowed(cnr, Order::entersite, request - SITES, why) && why[0];
  if (request >= RITUALS && request < RITUALS + MAXITEMRITUALS)
    return getcomitemspell(cnr, request - RITUALS) < 1 && tell("%s carries no item with that spell.", name);
  switch (MenuChoice(request)) {
    case MenuChoice::alchemy:
      if (!ismage(cnr)) return tell("Only mages can work alchemy.");
      return !lab && tell("Alchemy needs a laboratory in a province whose castle the nation holds.");
    case MenuChoice::changeshape:
      return getability(combody(cnr), AB_SHAPECHANGE, 1) <= 0 && tell("%s cannot change shape.", name);
    case MenuChoice::construct: case MenuChoice::bloodslaves: return false;
    default: break;
  }
  const OrderInfo* row = orderrow(request);
  if (!row) return false;
  switch (const Order o = row->code) {
    case Order::ghouls:
      return !orderallowed(cnr, manikinlevel(cnr) >= 1 ? Order::manikins : Order::ghouls, 0, why);
    case Order::ritual: case Order::monthlyritual:
      if (!lab) return tell("Rituals are cast in a laboratory in a province whose castle the nation holds.");
      return !ismage(cnr) && getcomitemspell(cnr, 0) < 1 && tell("%s knows no ritual magic.", name);
    case Order::forge:
      if (!ismage(cnr)) return tell("Only mages can forge magic items.");
      return !lab && tell("Magic items are forged in a laboratory in a province whose castle the nation holds.");
    case Order::empower:
      return !lab && tell("Empowerment needs a laboratory in a province whose castle the nation holds.");
    case Order::move: case Order::movepatrol: {
      const int32_t dest = com[size_t(cnr)].orderparam;
      if (!movingorder(com[size_t(cnr)].order))
        return tell("Choose where %s moves by clicking a province on the map.", name);
      return (dest < 1 || dest == orderland(cnr) || !mapmove(cnr, dest, 0)) &&
             tell("Choose where %s moves by clicking a province on the map.", name);
    }
    default: return !orderallowed(cnr, o, 0, why);
  }
}

void changeoneorder(int32_t cnr, int32_t request) {
  if (cnr < 0) return;
  const int32_t b = combody(cnr);
  if (b < 0) {
    fatalerror("coo: bad unr");
    return;
  }
  const int32_t lnr = unitlandnr(b);
  if (lnr < 0) {
    fatalerror("coo: bad lnr");
    return;
  }
  Commander& c = com[size_t(cnr)];
  debugprint("changeoneorder %d (%s)\n", cnr, c.name);
  const int32_t p = unit[size_t(b)].owner;
  Land& l = land[size_t(lnr)];
  constexpr int32_t SITES = int32_t(MenuChoice::entersite), RITUALS = int32_t(MenuChoice::itemritual);
  if (request == int32_t(MenuChoice::bloodslaves)) {
    if (l.fortholder == p && l.lab && unit[size_t(b)].homeland != -2) {
      Kingdom& k = kingdom[size_t(p)];
      k.w[KW_GEMS + int32_t(P_BLOOD)] = int16_t(imin(32767, k.w[KW_GEMS + int32_t(P_BLOOD)] + c.gems[P_BLOOD]));
      c.gems[P_BLOOD] = 0;
    }
    return;
  }
  if (request >= -16 && request <= -11) {
    fatalerror("entsi80");
    return;
  }
  // Rituals, forging and alchemy keep the order until a choice is made.
  const bool keepsfirst = request == int32_t(Order::monthlyritual) || request == int32_t(Order::ritual) ||
                          request == int32_t(Order::forge) || request == int32_t(MenuChoice::alchemy);
  char why[ORDERWHYLEN];
  // A refused request says why and leaves the commander's order as it was.
  if (orderrefused(cnr, request, why)) {
    if (why[0]) tellrefusal(why);
    return;
  }
  if (!keepsfirst && !cancelorder(cnr)) return;
  if (request >= SITES && request < SITES + 4) return entersite(cnr, request - SITES);
  if (request >= RITUALS && request < RITUALS + MAXITEMRITUALS) return itemritual(cnr, request - RITUALS);
  switch (MenuChoice(request)) {
    case MenuChoice::alchemy:
      if (ismage(cnr) && holdscastle(cnr) && l.lab) alch(lnr, cnr);
      return;
    case MenuChoice::changeshape: changeshape(cnr); return;
    case MenuChoice::construct: constructmenu(cnr); return;
    default: break;
  }
  const OrderInfo* row = orderrow(request);
  if (!row) return;
  switch (const Order o = row->code) {
    case Order::ghouls: reanimatemenu(cnr); return;
    case Order::spirits: spiritsmenu(cnr); return;
    case Order::preach: case Order::enemypreach: preach(cnr, o); return;
    case Order::ritual: case Order::monthlyritual: ritual(cnr, o); return;
    case Order::forge:
      if (ismage(cnr) && holdscastle(cnr) && l.lab) forge(lnr, cnr);
      return;
    case Order::empower:
      if (holdscastle(cnr) && l.lab) train(lnr, cnr);
      return;
    case Order::move: case Order::movepatrol:
      storeorder(cnr, o, c.orderparam, 1, why);
      return;
    case Order::sneak:
      storeorder(cnr, o, 0, 1, why);
      return;
    default:
      if (!storeorder(cnr, o, 0, 1, why) && why[0]) tellrefusal(why);
      return;
  }
}

void changeorder(int32_t cnr) {
  bailif(cnr < 0 || cnr >= 9000, "changeorder: bad cnr");
  const int32_t b = combody(cnr);
  if (b < 0) {
    fatalerror("changeorder: bad unr");
    return;
  }
  if (unitlandnr(b) < 0) {
    fatalerror("changeorder: bad lnr");
    return;
  }
  static OrderEntry entries[ORDERMENUSIZE];
  const int32_t n = ordermenuentries(cnr, entries, ORDERMENUSIZE);
  int32_t id = 0;
  for (;;) {
    guibegin();
    guititle("%s", comshownname(cnr));
    guicloseid(MENU_CANCEL);
    guiminwidth(GUIMENUWIDTH);
    guitextscale(0.8f);
    for (int32_t i = 0; i < n; i++) {
      if (entries[i].id == MENU_CANCEL) {
        guispace(2);
        guitextscale(0.85f);
      }
      guibutton(entries[i].id, "%s", entries[i].label);
      if (entries[i].help) guiinfo("%s", entries[i].help);
      if (entries[i].key) {
        guishortcut(entries[i].id, entries[i].key);
        guishortcut(entries[i].id, entries[i].key - 'A' + 'a');
      }
    }
    guishortcut(MENU_CANCEL, KEY_ESCAPE);
    guishortcut(MENU_CANCEL, KEY_RETURN);
    guishortcut(MENU_CANCEL, KEY_SPACE);
    guishow(-1, -1);
    id = render_frame(1, 0);
    if (id != 0) break;
  }
  applyorderchoice(cnr, id);
}

void applyorderchoice(int32_t cnr, int32_t id) {
  if (id == MENU_MOVEHELP) {
    msgbox("Follow these steps in order to move your commander to another province\n\n* Select commander on main "
           "screen by clicking on him\n\n* Click on a neigboring province on the map\n\n* An arrow will indicate your "
           "move order");
    return;
  }
  if (id == MENU_CANCEL || id == MENU_NOTHING || id < 1) return;
  bool selected = false;
  for (int32_t i = 0; i <= selectedcoms.last; i++)
    if (selectedcoms.nr[size_t(i)] == cnr) selected = true;
  if (!selected) {
    changeoneorder(cnr, id - 100);
    return;
  }
  const int32_t owner = unit[size_t(com[size_t(cnr)].body)].owner;
  OrderBatch batch;
  for (int32_t i = 0; i <= selectedcoms.last; i++) {
    const int32_t c = selectedcoms.nr[size_t(i)];
    if (combody(c) >= 0 && unit[size_t(com[size_t(c)].body)].owner == owner && unitlandnr(com[size_t(c)].body) >= 0)
      changeoneorder(c, id - 100);
  }
}
