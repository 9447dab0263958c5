// The order menu of a commander and the windows behind it: each order
// request is withdrawn-then-validated, charged and stored through the order
// store that the computer players use too; the menus here only ask what an
// order needs (which building, which dead to raise, which province). The
// lines offered and the refusals are the rules of ordermenurules.cpp.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "actions/orderrules.h"
#include "actions/orderstore.h"
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
#include "world/provinfo.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr int32_t SITEEFFECT_TARGET = 72;   // a site whose entering needs a target province
// The buttons of the building window: an order's code, the tearing down apart.
constexpr int32_t BUTTON_BUILDFORT = int32_t(Order::buildfort), BUTTON_DEMOLISHFORT = 544, BUTTON_DEMOLISHLAB = 545;

bool holdscastle(int32_t c) { return orderlandrec(c).fortholder == orderplayer(c); }
bool ownsprovince(int32_t c) { return orderlandrec(c).owner == orderplayer(c); }
}  // namespace

namespace {
// The menu of the buildings; stores the order chosen or returns on Cancel.
void constructmenu(int32_t c) {
  const int32_t lnr = orderland(c);
  for (;;) {
    const Land& l = land[size_t(lnr)];
    guibegin();
    guititle("Construct Building (%s)", comshownname(c));
    guicloseid(ORDERMENU_CANCEL);
    guiminwidth(GUIMENUWIDTH);
    guitextscale(0.8f);
    const bool fort = !orderallowed(c, Order::buildfort, 0);
    if (l.fort == 0 && fort) {
      const int32_t t = fortordertype(c);
      const Fort& f = forts[size_t(t)];
      guibutton(BUTTON_BUILDFORT, "Build %s (%d)", f.name, ordergoldcost(c, Order::buildfort));
      guiinfo("%s: admin %d, defence %d, siege supplies %d, time to build %d months", f.name, f.val[FORT_ADMIN],
              f.val[FORT_DEF], f.val[FORT_SUPPLY], f.val[FORT_BUILDTIME]);
    } else if (l.fort < 0 && fort) {
      guibutton(BUTTON_BUILDFORT, "Continue fort construction (0)");
    }
    for (Order o : {Order::buildlab, Order::buildtemple})
      if (!orderallowed(c, o, 0)) guibutton(int32_t(o), "%s (%d)", orderrow(o).label, ordergoldcost(c, o));
    if (l.fort > 0 && l.fortholder == l.owner) guibutton(BUTTON_DEMOLISHFORT, "%s", orderrow(Order::demolishfort).label);
    if (l.lab) guibutton(BUTTON_DEMOLISHLAB, "Demolish lab");
    guitextscale(0.85f);
    guispace(2);
    guibutton(ORDERMENU_CANCEL, "Cancel");
    guishortcut(ORDERMENU_CANCEL, KEY_ESCAPE);
    guishow(-1, -1);
    const int32_t id = render_frame(true, Scene::none);
    if (id == ORDERMENU_CANCEL) return;
    // Tearing down is stored without a message on refusal.
    if (id == BUTTON_DEMOLISHFORT || id == BUTTON_DEMOLISHLAB) {
      storeorder(c, id == BUTTON_DEMOLISHFORT ? Order::demolishfort : Order::demolishlab, 0, 0);
      return;
    }
    const Order o = Order(id);
    if (o != Order::buildfort && o != Order::buildlab && o != Order::buildtemple) continue;
    const Refusal r = storeorder(c, o, 0, 0);
    if (!r) return;
    msgbox("%s", r.why.c_str());
  }
}

// A menu of order choices (line ids as the order menu's); the order chosen
// is stored.
void choicemenu(int32_t c, const char* title, const Order (&orders)[8], const char* const (&labels)[8], int32_t n) {
  char head[120];
  snprintf(head, sizeof head, title, comshownname(c));
  menubegin();
  menuline(0, head);
  for (int32_t i = 0; i < n; i++) menuline(ordermenuid(orders[i]), labels[i]);
  menuline(ORDERMENU_CANCEL, "Cancel");
  menushow();
  const int32_t id = menuwait();
  for (int32_t i = 0; i < n; i++)
    if (id == ordermenuid(orders[i])) storeorder(c, orders[i], 0, 0);
}

void reanimatemenu(int32_t c) {
  if (getcommagic(c, P_PRIEST) < 1 || !ownsprovince(c)) return;
  if (manikinlevel(c) >= 1) {
    storeorder(c, Order::manikins, 0, 0);
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
    if (!orderallowed(c, ch.order, 0)) {
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
  if (const Refusal r = storeorder(c, Order::entersite, slot, 0)) {
    msgbox("%s", r.why.c_str());
    return;
  }
  const int32_t site = orderlandrec(c).site[slot];
  if (site <= 0 || site >= MAXSITES || sites[size_t(site)].effectkind[0] != SITEEFFECT_TARGET) return;
  const int32_t target = chooseprovince(orderplayer(c), 0, "Select target province");
  if (target == 0) com[size_t(c)].order = Order::defend;
  else com[size_t(c)].ordergems[0] = target;
}

void preach(int32_t c, Order code) {
  if (storeorder(c, code, 0, 0)) return;
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

void tellrefusal(const std::string& why) {
  if (batches == 0) {
    msgbox("%s", why.c_str());
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
  const bool known = orderrow(request) || (request >= SITES && request < SITES + 4) ||
                     (request >= RITUALS && request < RITUALS + MAXITEMRITUALS) ||
                     request == int32_t(MenuChoice::alchemy) || request == int32_t(MenuChoice::changeshape) ||
                     request == int32_t(MenuChoice::construct);
  if (!known) return;
  // Rituals, forging and alchemy keep the order until a choice is made.
  const bool keepsfirst = request == int32_t(Order::monthlyritual) || request == int32_t(Order::ritual) ||
                          request == int32_t(Order::forge) || request == int32_t(MenuChoice::alchemy);
  // The former order goes first, refunded; a request refused then says why
  // and leaves the commander on Defend.
  if (!keepsfirst && !cancelorder(cnr)) return;
  if (const Refusal r = orderrefusal(cnr, request)) {
    tellrefusal(r.why);
    return;
  }
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
    // The move rule has asked the player what it needed; a move it refuses
    // is not told again.
    case Order::move: case Order::movepatrol:
      storeorder(cnr, o, c.orderparam, 1);
      return;
    case Order::sneak:
      storeorder(cnr, o, 0, 1);
      return;
    default:
      if (const Refusal r = storeorder(cnr, o, 0, 1)) tellrefusal(r.why);
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
    guicloseid(ORDERMENU_CANCEL);
    guiminwidth(GUIMENUWIDTH);
    guitextscale(0.8f);
    for (int32_t i = 0; i < n; i++) {
      if (entries[i].id == ORDERMENU_CANCEL) {
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
    guishortcut(ORDERMENU_CANCEL, KEY_ESCAPE);
    guishortcut(ORDERMENU_CANCEL, KEY_RETURN);
    guishortcut(ORDERMENU_CANCEL, KEY_SPACE);
    guishow(-1, -1);
    id = render_frame(true, Scene::none);
    if (id != 0) break;
  }
  applyorderchoice(cnr, id);
}

void applyorderchoice(int32_t cnr, int32_t id) {
  if (id == ORDERMENU_MOVEHELP) {
    msgbox("Follow these steps in order to move your commander to another province\n\n* Select commander on main "
           "screen by clicking on him\n\n* Click on a neigboring province on the map\n\n* An arrow will indicate your "
           "move order");
    return;
  }
  if (id == ORDERMENU_CANCEL || id == ORDERMENU_NOTHING || id < 1) return;
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
