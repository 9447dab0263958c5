// The Nation Overview screen and the rules of its list.
#include "screens/overview.h"

#include <algorithm>
#include <cstdlib>

#include "frontend/frontend.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "runtime/fatal.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "screens/infoboxes.h"
#include "screens/orders.h"
#include "screens/screens.h"
#include "screens/turnscreen.h"
#include "screens/unitbox.h"
#include "world/economy.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr int32_t SPRITEMODE = 4;
// Text scales of the list and of its commander rows.
constexpr float OVERVIEWSCALE = 0.85f, COMMANDERSCALE = 0.7f;
// The ability pictures of the icon archive that the list borrows, and the
// map archive's own pictures drawn while that archive lacks them.
constexpr int32_t ICON_UNIT = 65, ICON_STAR = 18, ICON_EFFECT = 22;
constexpr int32_t NO_TAB = 1, NO_SEARCH = 100, NO_MAGIC = 120, NO_SITE = 2000, NO_TAX = 4000, NO_DEFENCE = 6000,
                  NO_LAND = 8000, NO_COM = 10000, NO_ORDER = 20000, NO_ITEM = 30000, NO_EXIT = 999;

struct PathLook {
  float r, g, b;
  const char* mage;
};
constexpr PathLook pathlook[9] = {
    {1.0f, 0.2f, 0.1f, "fire mage"},  {0.9f, 0.9f, 1.0f, "air mage"},    {0.0f, 0.0f, 1.0f, "water mage"},
    {1.0f, 0.8f, 0.2f, "earth mage"}, {0.5f, 1.0f, 1.0f, "astral mage"}, {0.5f, 0.0f, 0.6f, "death mage"},
    {0.1f, 0.7f, 0.1f, "nature mage"}, {0.6f, 0.0f, 0.0f, "blood mage"}, {1.0f, 1.0f, 0.5f, "priest"}};

// Kept for the whole run: commander rows shown.
bool withcommanders = true;

bool livingcomin(int32_t c, int32_t p) {
  const int32_t b = combody(c);
  return b >= 0 && unit[size_t(b)].hp > 0 && unit[size_t(b)].owner == p;
}

// A picture of the icon archive, or the map archive's stand-in.
void iconsprite(int32_t icon, int32_t misc, float scale) {
  if (spritepresent(TRS_ICONS, icon)) guispritescaled(0, TRS_ICONS, icon, 1, scale);
  else guispritescaled(0, TRS_MISC, misc, 1, scale);
}

// n icons in a row, each after the first overlapping the one before by half.
void iconrow(int32_t n, int32_t icon, int32_t misc) {
  for (int32_t i = 0; i < n; i++) {
    if (i > 0) guioverlayat(0.5f);
    iconsprite(icon, misc, 0.75f);
  }
}

// Per land: the player's free units (in no squad, not a commander); per
// commander: the units it leads. One pass over the units.
struct ArmyCounts {
  std::vector<int32_t> freeunits;   // by land
  std::vector<int32_t> led;         // by commander
};
ArmyCounts armycounts(int32_t p) {
  ArmyCounts a;
  a.freeunits.assign(size_t(MAXLANDS), 0);
  a.led.assign(size_t(MAXCOMS), 0);
  std::vector<std::pair<int32_t, int32_t>> squads;   // squad, land of the living units in squads
  for (int32_t u = 0; u <= highestunit && u < MAXUNITS; u++) {
    const Unit& x = unit[size_t(u)];
    if (x.hp < 1 || x.owner != p || x.land < 1 || x.land >= MAXLANDS) continue;
    if (x.squad == -1) {
      if (x.comnr < 0) a.freeunits[size_t(x.land)]++;
    } else {
      squads.emplace_back(x.squad, x.land);
    }
  }
  std::sort(squads.begin(), squads.end());
  auto count = [&](int32_t squad, int32_t lnr) {
    const auto r = std::equal_range(squads.begin(), squads.end(), std::make_pair(squad, lnr));
    return int32_t(r.second - r.first);
  };
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) {
    if (!livingcomin(c, p)) continue;
    const int32_t l = unit[size_t(com[size_t(c)].body)].land;
    for (int32_t s : com[size_t(c)].squad)
      if (s != -1) a.led[size_t(c)] += count(s, l);
  }
  return a;
}

void searchmarks(int32_t p, int32_t lnr, float x) {
  for (int32_t path = 0; path < 9; path++) {
    const int32_t level = land[size_t(lnr)].searched[size_t(p)][size_t(path)];
    if (level <= 0) continue;
    const PathLook& pl = pathlook[path];
    guiindent(x + 10 * float(path));
    guicolourbox(0, 8, pl.r, pl.g, pl.b, 0.5f);
    guioverlay();
    guibutton(NO_SEARCH + path, "%d", searchfigure(level));
    guiinfo("A level %d %s has searched for magic sites in this province", searchfigure(level), pl.mage);
  }
}

// A figure of a province row in its column, 40 wide from x: cut with ".."
// where our font makes it wider.
void figure(int32_t id, float x, int32_t value) {
  char text[16];
  formatbounded(text, sizeof text, "%d", value);
  guiindent(x);
  guibutton(id, "%s", CutTextDots(text, 40 / (OVERVIEWSCALE * GUITEXTHEIGHT)));
}

void provincerow(int32_t p, int32_t l, const ArmyCounts& counts) {
  const Land& ld = land[size_t(l)];
  guibgbox(0.7f, 0.3f, 0.2f, 0.4f);
  guisetnl(0);
  char name[80];
  formatbounded(name, sizeof name, "%s", CutTextDots(ld.name, 6.75f));
  guibutton(NO_LAND + l, "%s (%d)", name, l);
  if (counts.freeunits[size_t(l)] > 0) iconrow(armyicons(counts.freeunits[size_t(l)]), ICON_UNIT, SPRITE_SOLDIER);
  figure(0, 180, getincome(l, p));
  figure(ld.owner == p ? NO_TAX + l : 0, 220, ld.tax);
  figure(0, 260, ld.unrest);
  figure(0, 300, getresources(l, p));
  figure(0, 340, getsupply(l, p, 1));
  figure(0, 380, supplyuse(l, p));
  figure(NO_DEFENCE + l, 420, ld.provdef);
  float x = 460;
  for (int32_t s = 0; s < 4; s++) {
    const int32_t site = ld.site[s];
    if (site < 1 || site >= MAXSITES || !ld.sitefound[s]) continue;
    guiindent(x);
    guispritescaled(NO_SITE + site, TRS_MISC, siteicon(site), 1, 0.85f);
    guiinfo("%s", sites[size_t(site)].name);
    x += 18;
  }
  searchmarks(p, l, 535);
  guisetnl(1);
  guibgbox(0, 0, 0, 0);
}

void commanderrow(int32_t c, int32_t stripe, const ArmyCounts& counts) {
  const Commander& cm = com[size_t(c)];
  const int32_t u = cm.body;
  guitextscale(COMMANDERSCALE);
  if (stripe % 2 == 1) guibgboxat(25, 610, 0.7f, 0.3f, 0.2f, 0.1f);
  guisetnl(0);
  guiindent(5);
  guisprite40(NO_COM + c, TRS_ARMY, unittypes[size_t(unit[size_t(u)].type)].sprite, SPRITEMODE);
  guibutton(NO_COM + c, "\xA4%s\xA4", comshownname(c));
  if (cm.tmpfx > 0) iconsprite(ICON_EFFECT, SPRITE_EFFECT, 0.75f);
  iconrow(experiencestars(unit[size_t(u)].exp), ICON_STAR, SPRITE_EXPSTAR);
  const int32_t led = counts.led[size_t(c)];
  if (led > 0) iconrow(armyicons(led), ICON_UNIT, SPRITE_SOLDIER);
  char order[ORDERTEXTLEN];
  hostordertext(c, order);
  guiindent(180);
  guibutton(NO_ORDER + c, "%s", CutTextDots(order, 8.5f));
  if (led > 0) {
    char commanding[60];
    formatbounded(commanding, sizeof commanding, "commanding %d %s", led, led == 1 ? "unit" : "units");
    guiindent(320);
    guibutton(0, "%s", CutTextDots(commanding, (460 - 320) / (COMMANDERSCALE * GUITEXTHEIGHT)));
  }
  float x = 460;
  for (int32_t s = 0; s < 8; s++) {
    const int32_t it = cm.item[s];
    if (it <= 0 || it >= MAXITEMS) continue;
    guiindent(x);
    guisprite40mid(NO_ITEM + it, TRS_ITEMS, items[size_t(it)].picture, SPRITEMODE);
    guiinfo("%s", items[size_t(it)].name);
    x += 8;
  }
  for (int32_t g = 0; g < 8 && x <= 520; g++)
    for (int32_t n = 0; n < cm.gems[g] && x <= 520; n++) {
      guiindent(x);
      guispritescaled(0, TRS_MISC, SPRITE_GEM + g, 1, 0.7f);
      x += 4;
    }
  for (int32_t path = 0; path < 9; path++) {
    const int32_t level = getcommagic(c, path);
    if (level <= 0) continue;
    const PathLook& pl = pathlook[path];
    guiindent(536 + 10 * float(path));
    guibuttoncol(NO_MAGIC + path, "%d", pl.r, pl.g, pl.b, 1, level);
    guiinfo("%s is a level %d %s", comshownname(c), level, pl.mage);
  }
  guisetnl(1);
  guibgbox(0, 0, 0, 0);
  guitextscale(OVERVIEWSCALE);
}
}  // namespace

// ---------------------------------------------------------------- rules

bool spritepresent(int32_t file, int32_t nr) {
  const uint8_t* data = loadtrsfile(file) ? trsfiledata(file) : nullptr;
  return data && nr >= 0 && trscount(data) > nr && trssprite(data, nr).width > 1;
}

int32_t armyicons(int32_t k) { return (std::clamp(k, 0, 100) + 24) / 25; }

int32_t experiencestars(int32_t e) {
  if (e < 15) return 0;
  if (e < 50) return 1;
  if (e < 100) return 2;
  if (e < 200) return 3;
  if (e < 400) return 4;
  return 5;
}

int32_t searchfigure(int32_t level) { return imin(level, 9); }

std::vector<OverviewRow> overviewrows(int32_t p, bool coms) {
  std::vector<OverviewRow> rows;
  if (p < 0 || p >= MAXPLAYERS) return rows;
  const int32_t n = imin(nbrlands, MAXLANDS - 1);
  // The commanders by land, each land's in number order.
  std::vector<std::vector<int32_t>> at(size_t(n + 1));
  if (coms)
    for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) {
      if (!livingcomin(c, p)) continue;
      const int32_t l = unit[size_t(com[size_t(c)].body)].land;
      if (l >= 1 && l <= n) at[size_t(l)].push_back(c);
    }
  for (int32_t l = 1; l <= n; l++) {
    const bool own = land[size_t(l)].owner == p || land[size_t(l)].fortholder == p;
    if (own) rows.push_back({l, -1, false});
    if (at[size_t(l)].empty()) continue;
    if (!own) rows.push_back({l, -1, true});
    for (int32_t c : at[size_t(l)]) rows.push_back({l, c, false});
  }
  return rows;
}

void takeoverviewresult(int32_t r) {
  if (r >= 1 && r <= nbrlands) turnscreen.gotoprov = r;
  else if (r < 0 && -r - 1 < MAXCOMS) turnscreen.focus = -r - 1;
}

// ---------------------------------------------------------------- the screen

void buildoverview(int32_t p) {
  guibegin();
  guititle("Nation Overview");
  guicloseid(NO_EXIT);
  guiminwidth(635);
  guimaxwidth(635);
  guialign(GUIALIGN_LEFT);
  guitextscale(OVERVIEWSCALE);
  listheadings({{0, "Province"}, {180, "Inc."}, {220, "Tax"}, {260, "Unr."}, {300, "Res."}, {340, "Sup."},
                {380, "S.U."}, {420, "Def."}, {460, "Sites"}, {540, "Searches"}});
  guispace(2);
  guiscrollstart();
  const ArmyCounts counts = armycounts(p);
  int32_t stripe = 0;
  for (const OverviewRow& r : overviewrows(p, withcommanders)) {
    if (r.com >= 0) {
      commanderrow(r.com, stripe++, counts);
    } else if (r.header) {
      stripe = 0;
      guibutton(NO_LAND + r.land, "%s (%d)", land[size_t(r.land)].name, r.land);
    } else {
      stripe = 0;
      provincerow(p, r.land, counts);
    }
  }
  listexit(NO_EXIT, KEY_F1);
  guishortcut(NO_TAB, KEY_TAB);
  restorescrollslot(0);
  guishow(-1, -1);
}

int32_t nation_overview_screen(int32_t p) {
  bailif(p < 0 || p >= MAXPLAYERS, "visprsh: bad player");
  resetscrollslot(0);
  for (;;) {
    buildoverview(p);
    const int32_t id = render_frame(true, Scene::none);
    savescrollslot(0);
    if (id == NO_EXIT || quitprogram) return 0;
    if (id == NO_TAB) {
      withcommanders = !withcommanders;
      resetscrollslot(0);
    } else if (std::abs(id) >= NO_SITE && std::abs(id) < NO_TAX) {
      featbox(std::abs(id) - NO_SITE);
    } else if (id >= NO_TAX && id < NO_DEFENCE) {
      bailif(id - NO_TAX > 1504, "cd4000");
      taxbox(p, id - NO_TAX);
    } else if (id >= NO_DEFENCE && id < NO_LAND) {
      bailif(id - NO_DEFENCE > 1504, "cd6000");
      buyprovdef(p, id - NO_DEFENCE);
    } else if (id >= NO_LAND && id < NO_COM) {
      return id - NO_LAND;
    } else if (id >= NO_COM && id < NO_ORDER) {
      bailif(id - NO_COM > 8999, "visprsh10000");
      return -(id - NO_COM + 1);
    } else if (id >= NO_ORDER && id < NO_ITEM) {
      bailif(id - NO_ORDER > 8999, "visprsh20000");
      changeorder(id - NO_ORDER);
    } else if (id <= -NO_ITEM && id > -NO_ITEM - MAXITEMS) {
      mibox(-id - NO_ITEM);
    } else if (id <= -NO_COM && id > -NO_ITEM) {
      const int32_t c = -id - (id > -NO_ORDER ? NO_COM : NO_ORDER);
      bailif(c > 8999, id > -NO_ORDER ? "visprsh-10000" : "visprsh-20000");
      if (combody(c) >= 0) ustatbox(combody(c), nullptr, comowner(c) == p, 0);
    }
  }
}
