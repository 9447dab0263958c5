// Forging magic items and Empowerment: the order rules over canforge and
// empowercost, and the two order screens.
#include "screens/forging.h"

#include <cstdlib>

#include "actions/sharedrules.h"
#include "frontend/frontend.h"
#include "gfx/dialogs.h"
#include "gfx/gui.h"
#include "gfx/sprites.h"
#include "magic/rituals.h"
#include "runtime/fatal.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "screens/infoboxes.h"
#include "screens/lab.h"
#include "screens/orders.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

const ForgeCategory forgecategories[FORGECATEGORIES] = {
    {0, "Single handed weapons", IT_ONEHAND, "Single handed weapons", "1-hand"},
    {1, "Double handed weapons", IT_TWOHAND, "Double handed weapons", "2-hand"},
    {202, "Shields", IT_SHIELD, "Shields", "Shield"},
    {94, "Helms", IT_HELMET, "Helms", "Helm"},
    {192, "Armors", IT_ARMOR, "Armors", "Armor"},
    {30, "Boots", IT_BOOTS, "Boots", "Boots"},
    {3, "Miscellaneous", IT_MISC, "Miscellaneous items", "Misc"},
};

namespace {
constexpr int32_t UNIQUELEVEL = 4;   // construction level from which an item exists once
constexpr int32_t GEMPATHS = 8;

int32_t ownerof(int32_t cnr) {
  const int32_t b = combody(cnr);
  return b >= 0 ? unit[size_t(b)].owner : -1;
}
bool gempath(int32_t path) { return path >= 0 && path < GEMPATHS; }
// An item that a mage can make at all: a main path of gems, a level in it,
// a second path of gems or none.
bool forgeable(int32_t item) {
  if (!validitem(item)) return false;
  const Item& it = items[size_t(item)];
  return it.mainlevel >= 1 && gempath(it.mainpath) && (it.secondpath < 0 || gempath(it.secondpath));
}
int16_t& gems(int32_t p, int32_t path) { return kingdom[size_t(p)].w[KW_GEMS + path]; }
}  // namespace

// ---------------------------------------------------------------- rules

std::vector<int32_t> forgelist(int32_t cnr, int32_t category) {
  std::vector<int32_t> out;
  if (category < 1 || category > FORGECATEGORIES || combody(cnr) < 0) return out;
  const int8_t type = forgecategories[category - 1].type;
  const int32_t n = nbrofitems();
  for (int32_t i = 1; i < n; i++)
    if (items[size_t(i)].type == type && forgeable(i) && canforge(cnr, i) != -1) out.push_back(i);
  return out;
}

bool forgefaded(int32_t item) {
  return validitem(item) && items[size_t(item)].constlevel >= UNIQUELEVEL && iteminplay[item] > 0;
}

int32_t orderforge(int32_t cnr, int32_t item) {
  const int32_t p = ownerof(cnr);
  if (p < 0 || p >= MAXKINGDOMS || !forgeable(item)) return -1;
  const int32_t r = canforge(cnr, item);
  if (r != 1) return r;
  const int32_t cost1 = forgegemcost1, cost2 = forgegemcost2;
  if (!cancelorder(cnr)) return 0;
  const Item& it = items[size_t(item)];
  Commander& c = com[size_t(cnr)];
  c.order = Order::forge;
  c.orderparam = item;
  c.ordergems[0] = cost1;
  c.ordergems[1] = it.secondpath >= 0 ? cost2 : 0;
  gems(p, it.mainpath) = int16_t(gems(p, it.mainpath) - cost1);
  if (it.secondpath >= 0) gems(p, it.secondpath) = int16_t(gems(p, it.secondpath) - cost2);
  return 1;
}

const char* forgerefusal(int32_t result) {
  if (result == -2)
    return "This unique artifact is already in play and a new one cannot be made until the existing one is destroyed.";
  if (result == -3) return "You do not have enough magic gems to forge that item.";
  return nullptr;
}

int32_t ordertrain(int32_t cnr, int32_t path) {
  const int32_t p = ownerof(cnr);
  if (p < 0 || p >= MAXKINGDOMS || !gempath(path)) return 0;
  cancelorder(cnr);
  const int32_t cost = empowercost(cnr, path);
  if (gems(p, path) < cost) return -1;
  if (!cancelorder(cnr)) return 0;
  Commander& c = com[size_t(cnr)];
  c.orderparam = path;
  c.order = Order::empower;
  gems(p, path) = int16_t(gems(p, path) - cost);
  return cost;
}

// ---------------------------------------------------------------- the screens

namespace {
constexpr int32_t SPRITEMODE = 4;
constexpr int32_t EXIT = 999, TRAINEXIT = 9, ITEMID = 1000, ITEMSPERROW = 14;

void checkcommander(int32_t lnr, int32_t cnr, const char* lnrtag, const char* cnrtag, const char* unrtag) {
  bailif(lnr < 0 || lnr >= MAXLANDS, lnrtag);
  bailif(cnr < 0 || cnr > 8999, cnrtag);
  const int32_t b = com[size_t(cnr)].body;
  bailif_fmt(b < 0 || b > highestunit, "%s %d", unrtag, b);
}

void forgewindow(int32_t p, int32_t cnr, int32_t category) {
  guibegin();
  guititle("Forge Magic Item");
  guicloseid(EXIT);
  guiminwidth(512);
  guimaxwidth(700);
  guitextscale(0.8f);
  guialign(GUIALIGN_LEFT);
  gemstockpanel(p);
  guialign(GUIALIGN_CENTRE);
  guispace(2);
  // Pictures when the archive has every category's (or every listed
  // item's); names in columns otherwise.
  bool pictures = true;
  for (const ForgeCategory& f : forgecategories) pictures &= itemsprite(f.sprite);
  guitextscale(pictures ? 1.5f : 0.8f);
  guibgbox(0.7f, 0.3f, 0.2f, 0.4f);
  guisetnl(0);
  for (int32_t k = 0; k < FORGECATEGORIES; k++) {
    const ForgeCategory& f = forgecategories[k];
    if (!pictures) guiindent(16 + 70 * float(k));
    itempicture(k + 1, pictures ? f.sprite : -1, f.label, k + 1 == category || pictures ? 1 : 0.55f);
    guiinfo("%s", f.popup);
    if (k + 1 == category && pictures) {
      guioverlay();
      guisprite40mid(0, TRS_MISC, SPRITE_FORGEFRAME, SPRITEMODE);
    }
  }
  guisetnl(1);
  guibgbox(0, 0, 0, 0);
  guispace(3);
  const std::vector<int32_t> list = forgelist(cnr, category);
  pictures = true;
  for (int32_t i : list) pictures &= itemsprite(items[size_t(i)].picture);
  guialign(GUIALIGN_LEFT);
  guitextscale(pictures ? 1.5f : 0.7f);
  // Named items stand in four columns while the pictures are missing.
  const size_t perrow = pictures ? ITEMSPERROW : 4;
  for (size_t n = 0; n < list.size(); n++) {
    if (n % perrow == 0) {
      if (n > 0) guisetnl(1);
      guisetnl(0);
      guiindent(16);
    } else if (!pictures) {
      guiindent(16 + 120 * float(n % perrow));
    }
    const Item& it = items[size_t(list[n])];
    itempicture(ITEMID + list[n], it.picture, it.name, forgefaded(list[n]) ? 0.4f : 1.0f);
    guiinfo("%s  (rclick) info", it.name);
  }
  guisetnl(1);
  guialign(GUIALIGN_CENTRE);
  if (list.empty()) {
    guitextscale(0.8f);
    guibutton(0, "%s cannot forge any %s", comshownname(cnr), forgecategories[category - 1].name);
    guitextscale(0.7f);
    guibutton(0, " ");
  }
  guitextscale(1);
  guispace(2);
  guibutton(EXIT, "Exit");
  guishortcut(EXIT, KEY_ESCAPE);
  guishow(-1, 450);
}
}  // namespace

void forge(int32_t lnr, int32_t cnr) {
  bailif(lnr < 0 || lnr >= MAXLANDS, "forge: bad lnr");
  const int32_t p = int8_t(land[size_t(lnr)].fortholder);
  bailif(p < 0 || p > 99, "forge: bad player");
  checkcommander(lnr, cnr, "forge: bad lnr", "forge: bad cnr", "forge: bad unr");
  int32_t category = 1;
  for (;;) {
    const int32_t id = guimodal([&] { forgewindow(p, cnr, category); });
    if (id == EXIT || quitprogram) return;
    if (id >= 1 && id <= FORGECATEGORIES) {
      category = id;
    } else if (id <= -ITEMID && id > -ITEMID - MAXITEMS) {
      mibox(-ITEMID - id);
    } else if (id >= ITEMID && id < ITEMID + MAXITEMS) {
      const int32_t r = orderforge(cnr, id - ITEMID);
      if (const char* why = forgerefusal(r)) msgbox("%s", why);
      else if (r == 1) return;
    }
  }
}

int32_t train(int32_t lnr, int32_t cnr) {
  checkcommander(lnr, cnr, "train: bad lnr", "train: bad cnr", "train: bad unr");
  const int32_t p = ownerof(cnr);
  bailif(p > 99, "train: bad player");
  auto build = [&] {
    guibegin();
    guicloseid(TRAINEXIT);
    guibutton(0, "Empowerment");
    guispace(4);
    guitextscale(0.8f);
    guialign(GUIALIGN_LEFT);
    gemstockpanel(p);
    guialign(GUIALIGN_CENTRE);
    guispace(2);
    guitextscale(0.85f);
    for (int32_t path = 0; path < GEMPATHS; path++)
      guibutton(10 + path, "%s to level %d (%d %ss)", pathnames[path], com[size_t(cnr)].path[path] + 1,
                empowercost(cnr, path), gemnames[path]);
    guispace(3);
    guitextscale(0.95f);
    guiexitbutton(TRAINEXIT, "Exit");
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (id == TRAINEXIT || quitprogram) return TRAINEXIT;
    if (id < 10 || id >= 10 + GEMPATHS) continue;
    const int32_t spent = ordertrain(cnr, id - 10);
    if (spent >= 0) return spent;
    msgbox("not enough magic gems");
  }
}
