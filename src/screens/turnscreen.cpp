// The main turn screen: the strategic map with the province box and the
// nation box along the top, the commander cards of the current province
// below the province box, and the column of buttons and province features
// at the right. Every frame is built anew from the world; the action of a
// frame is carried out in turncommands.cpp.
#include <cmath>
#include <cstring>

#include "actions/sharedrules.h"
#include "frontend/frontend.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "gfx/particles.h"
#include "mapview/mapview.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/settings.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "screens/mapfilters.h"
#include "screens/messages.h"
#include "screens/orders.h"
#include "screens/screens.h"
#include "screens/turnscreen.h"
#include "sound/sound.h"
#include "world/economy.h"
#include "world/forts.h"
#include "world/gamedata.h"
#include "world/hoststate.h"
#include "world/magic.h"
#include "world/provinfo.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

TurnScreen turnscreen;

namespace {
constexpr const char* gemhints[8] = {"Fire Gems",     "Air Gems",   "Water Gems",  "Earth Gems",
                                     "Astral Pearls", "Death Gems", "Nature Gems", "Blood Slaves"};
constexpr const char* searchers[9] = {"fire mage",  "air mage",    "water mage", "earth mage", "astral mage",
                                      "death mage", "nature mage", "blood mage", "priest"};
constexpr float pathcolour[9][3] = {{1, 0.2f, 0.1f}, {0.9f, 0.9f, 1}, {0, 0, 1},       {1, 0.8f, 0.2f}, {0.5f, 1, 1},
                                    {0.5f, 0, 0.6f}, {0.1f, 0.7f, 0.1f}, {0.6f, 0, 0}, {1, 1, 0.5f}};
constexpr int32_t SPRITEMODE = 4;
// Card marks: the affliction icon, and the gems, experience star and
// lasting-effect mark of "misc.trs".
constexpr int32_t ICON_AFFLICTION = 0;

bool holdscastle(int32_t k, int32_t l) { return land[size_t(l)].fortholder == k; }
bool ownsorholds(int32_t k, int32_t l) { return land[size_t(l)].owner == k || holdscastle(k, l); }

bool isselected(int32_t c) {
  for (int32_t i = 0; i <= selectedcoms.last; i++)
    if (selectedcoms.nr[size_t(i)] == c) return true;
  return false;
}

// A label for a room of the given width at the given text scale, cut with
// ".." when our font makes it wider than the room.
const char* fitlabel(const char* text, float room, float scale) { return CutTextDots(text, room / scale); }

// A text with a hint; the hint only when the area was added.
void hinttext(int32_t id, float x, float y, float scale, const char* text, const char* hint) {
  if (areatext(id, x, y, scale, "%s", text) >= 0 && hint) areainfo("%s", hint);
}

// ---------------------------------------------------------------- province box

// The province's name (or "???" unknown) below the window's rim.
void provincename(int32_t l, int32_t info) {
  char t[200];
  if (info & INFO_NAME) formatbounded(t, sizeof t, "%s (%d)", land[size_t(l)].name, l);
  else formatbounded(t, sizeof t, "??? (%d)", l);
  areatext(0, 20, 570, 18, "%s", t);
}

// The two rows of figures as far as the nation knows them: population,
// income, resources, defence and tax above; unrest, supplies, supply usage
// and corpses below.
void provincefigures(int32_t k, int32_t l, int32_t info) {
  const Land& ld = land[size_t(l)];
  char t[200];
  const int32_t p = ownsorholds(k, l) ? k : ld.fortholder;
  if (info & INFO_ECONOMY) {
    formatbounded(t, sizeof t, "Population %d", ld.population * 10);
    hinttext(0, 20, 555, 15, t, "A high population gives a high income and a high resource value.");
    formatbounded(t, sizeof t, "Income %d", getincome(l, p));
    hinttext(0, 122, 555, 15, t, "The income for this province.");
    formatbounded(t, sizeof t, "Resources %d", getresources(l, p));
    hinttext(0, 202, 555, 15, t, "A high resource value means that troops can be produced quickly here.");
  }
  if ((info & INFO_DEFENCE) || holdscastle(k, l)) {
    formatbounded(t, sizeof t, "Defence %d+/-", ld.provdef);
    hinttext(TS_DEFENCE, 307, 555, 15, t, "(d) Buy local defence for this province.");
    guishortcut(TS_DEFENCE, 'd');
  }
  if (info & INFO_TAX) {
    formatbounded(t, sizeof t, "Tax %d+/-", ld.tax);
    hinttext(TS_TAX, 397, 555, 15, t, "(x) Change the tax rate of this province.");
    guishortcut(TS_TAX, 'x');
    formatbounded(t, sizeof t, "Unrest %d", ld.unrest);
    hinttext(0, 20, 540, 15, t,
             "Unrest will reduce tax income from the province and a value of 100 or more makes it impossible to "
             "recruit troops here.");
    formatbounded(t, sizeof t, "Supplies %d", getsupply(l, k, 1));
    hinttext(0, 122, 540, 15, t, "One human sized unit requires one supply point in order to be well fed.");
  }
  if (ownsorholds(k, l)) {
    formatbounded(t, sizeof t, "Supply usage %d", supplyuse(l, k));
    hinttext(0, 202, 540, 15, t,
             "The supply usage for all troops located here. Starvation may take place if this value exceeds the "
             "available number of supplies.");
  }
  if (info & INFO_CORPSES) {
    formatbounded(t, sizeof t, "Corpses %d", imax(ld.corpses[0], 0) + imax(ld.corpses[1], 0));
    hinttext(0, 307, 540, 15, t,
             "Unburied corpses can be used by necromancers and certain priests in order to create undead soldiers. "
             "The amount of unburied corpses decrease every month.");
  }
}

// The start of the icon row: one candle per point of veyrance (own or
// enemy) and then the magic scales, a mark per step. The rules give at most
// ten candles and three marks a scale, which the province box holds; the
// figures of a damaged file draw no icon beyond its right edge.
void veyranceandscales(int32_t k, int32_t l) {
  const Land& ld = land[size_t(l)];
  constexpr float ROWEND = 15 + 460 - 8;   // the last icon's x in the box
  float x = 20;
  const int32_t strength = iabs(ld.veystr);
  const bool own = ld.veyowner == k;
  for (int32_t i = 0; i < strength && x <= ROWEND; i++) {
    if (areasprite(0, TRS_MISC, own ? SPRITE_OWNCANDLE : SPRITE_ENEMYCANDLE, SPRITEMODE, x, 523, 8, 16) >= 0) {
      if (own)
        areainfo("The province is under the infuence of %s's Veyrance. Veyrance strength: %d",
                 kingdom[size_t(k)].godname, strength);
      else
        areainfo("The province is under the influence of enemy Veyrance. Veyrance strength: -%d", strength);
    }
    x += 8;
  }
  x = strength ? x + 10 : 30;
  for (int32_t s = 0; s < 6; s++) {
    const int32_t v = ld.scale[s];
    if (!v) continue;
    const int32_t sprite = v > 0 ? SPRITE_SCALE + 1 + 2 * s : SPRITE_SCALE + 2 * s;
    for (int32_t i = 0; i < iabs(v) && x <= ROWEND; i++) {
      if (areasprite(TS_SCALES + s, TRS_MISC, sprite, SPRITEMODE, x, 523, 8, 16) >= 0)
        areainfo("%s: %d", scalenames[s][v > 0 ? 0 : 1], iabs(v));
      x += 8;
    }
    x += 8;
  }
}

// A coloured mark per magic path whose mages of the nation have searched
// the province for sites, with the highest level searched.
void sitesearchmarks(int32_t k, int32_t l) {
  for (int32_t path = 0; path < 9; path++) {
    const int32_t level = imin(land[size_t(l)].searched[size_t(k)][size_t(path)], 9);
    if (level <= 0) continue;
    const float bx = 300 + 10 * float(path);
    if (areabox(0, bx, 525, 8, 12, pathcolour[path][0], pathcolour[path][1], pathcolour[path][2], 0.5f) >= 0)
      areainfo("A level %d %s has searched for magic sites in this province", level, searchers[path]);
    areatext(0, bx + 1, 525, 12, "%d", level);
  }
}

// The end of the icon row: the province's terrains, then the sea.
void terrainicons(int32_t l) {
  const uint32_t ter = provgeo[size_t(l)].terrain;
  struct TerrainIcon {
    uint32_t bit;
    int32_t sprite;
    const char* hint;
  };
  static const TerrainIcon terrains[] = {
      {TM_FOREST, 184, "Forest (good resources, hinders movement)"},
      {TM_SWAMP, 185, "Swamp (very low income, hinders movement)"},
      {TM_MOUNTAINS, 186, "Mountain (low income, excellent resources, hinders movement)"},
      {TM_BORDERMOUNT, 186, "Border Mountains (low income, excellent resources)"},
      {TM_CAVE, 228, "Cave (low income, excellent resources)"},
      {TM_WASTE, 187, "Waste (very low income)"},
      {TM_FARM, 188, "Farmland (high income, low resources)"},
  };
  float tx = 390;
  for (const TerrainIcon& ti : terrains)
    if (ter & ti.bit) {
      if (areasprite(0, TRS_MISC, ti.sprite, SPRITEMODE, tx, 525, 20, 20) >= 0) areainfo("%s", ti.hint);
      tx += 16;
    }
  if (ter & TM_DEEPSEA) {
    if (areasprite(0, TRS_MISC, SPRITE_DEEPSEA, SPRITEMODE, tx, 525, 20, 20) >= 0) areainfo("Deep sea (low income)");
  } else if (ter & TM_SEA) {
    if (areasprite(0, TRS_MISC, SPRITE_SEA, SPRITEMODE, tx, 525, 20, 20) >= 0) areainfo("Sea");
  }
}

void provincebox(int32_t k, int32_t l, int32_t info) {
  guiwindow(0, 15, 520, 460, 65);
  provincename(l, info);
  provincefigures(k, l, info);
  if (info & INFO_VEYRANCE) veyranceandscales(k, l);
  sitesearchmarks(k, l);
  terrainicons(l);
}

// ---------------------------------------------------------------- nation box

void nationbox(int32_t k) {
  const Kingdom& kd = kingdom[size_t(k)];
  guiwindow(0, 510, 520, 277, 65);
  hinttext(TS_GOD, 515, 570, 18, kd.godname, nullptr);
  char t[200];
  formatbounded(t, sizeof t, "Treasury %d", kd.gold);
  hinttext(0, 515, 555, 15, t, "The total amount of gold available.");
  formatbounded(t, sizeof t, "Total inc. %d", getkinc(k));
  hinttext(0, 615, 555, 15, t, "The income per month for the entire nation.");
  formatbounded(t, sizeof t, "Upkeep %d", turnscreen.upkeep);
  hinttext(0, 515, 540, 15, t, "The upkeep cost per month for all military units of the nation.");
  char season[200];
  seasonhint(season, sizeof season, turn);
  if (areasprite(0, TRS_MISC, SPRITE_SEASON + getseason(), SPRITEMODE, 763, 560, 20, 20) >= 0) areainfo("%s", season);
  float x = 513;
  for (int32_t g = 0; g < 8; g++) {
    const int32_t stock = kd.w[KW_GEMS + g];
    if (!stock) continue;
    const int32_t inc = visinc(k, g);
    if (areasprite(TS_RESOURCES, TRS_MISC, SPRITE_GEM + g, SPRITEMODE, x, 522, 16, 16) >= 0)
      areainfo("%s: %d (+%d per month)", gemhints[g], stock, inc);
    if (areatext(TS_RESOURCES, x + 16, 524, 12, "%d", stock) >= 0)
      areainfo("%s: %d (+%d per month)", gemhints[g], stock, inc);
    x += 34;
  }
}

// ---------------------------------------------------------------- right column

// One entry of the right column: outline, icon, text and a hot spot.
void columnentry(int32_t id, float y, int32_t file, int32_t icon, const char* text, float scale, const char* hint) {
  areaframe(676, y, 110, 23, 1, 0.5f, 0.45f, 0.35f, 0.8f);
  areasprite(0, file, icon, SPRITEMODE, 677, y + 1, 21, 21);
  areatext(0, 703, y + 3, scale, "%s", fitlabel(text, 78, scale));
  if (areahotspot(id, 676, y, 110, 23) >= 0 && hint) areainfo("%s", hint);
}

// The two windows of command buttons: the nation's screens, then the
// province's army setup, mercenaries and recruitment.
void commandbuttons(int32_t k, int32_t l) {
  guiwindow(0, 676, 355, 110, 144);
  struct Button {
    int32_t id;
    const char* text;
    float scale;
    const char* hint;
  };
  static const Button buttons[] = {
      {TS_ENDTURN, "End turn", 16, "(e) Generate next turn or save moves for multiplayer games."},
      {TS_OPTIONS, "Options", 16, "(esc) Options"},
      {TS_FILTERS, "Map filters", 16, "(1-9) Switch map filters on and off."},
      {TS_STATISTICS, "Statistics", 16,
       "(F1) Nation overview, (F2) Score graphs, (F3) Hall of Fame, (F4) Pretenders of the World"},
      {TS_MESSAGES, "Messages", 17, "(m) Read messages, (s) Send messages"},
      {TS_LAB, "Magic", 16,
       "(l) Enter laboratory, (F5) Research, (F6) Global enchantments, (F7) Magic resource treasury, (F8) Magic "
       "item treasury"},
  };
  for (int32_t i = 0; i < 6; i++)
    columnentry(buttons[i].id, 475 - 24 * float(i), TRS_MISC2, SPRITE2_COLUMNBUTTON + i, buttons[i].text, buttons[i].scale,
                buttons[i].hint);
  // The province's buttons start 50 below the last of the nation's.
  guiwindow(0, 676, 257, 110, 72);
  const bool here = countcommanders(l, k) > 0;
  columnentry(TS_ARMYSETUP, 305, TRS_MISC2, here ? SPRITE2_ARMYSETUPLIT : SPRITE2_ARMYSETUP, "Army setup", 16,
              "(t) Assign military units to commanders and give orders coming battles.");
  columnentry(TS_MERCENARIES, 281, TRS_MISC2, recmercs(k, -1) > 0 ? SPRITE2_MERCENARIESLIT : SPRITE2_MERCENARIES, "Mercenaries", 16,
              "(b) Bid for mercenaries.");
  const bool canrecruit = holdscastle(k, l) && land[size_t(l)].fort > 0;
  columnentry(TS_RECRUIT, 257, TRS_MISC2, canrecruit ? SPRITE2_RECRUITLIT : SPRITE2_RECRUIT, "Recruit units", 16,
              "(r) Recruit military units and commanders.");
}

// The province's features below the buttons (from top down, the first at
// top); the fort and an own temple have a key.
void featurecolumn(int32_t k, int32_t l, int32_t info, float top) {
  const std::vector<ColumnFeature> features = provincefeatures(k, l, info);
  for (const ColumnFeature& f : features) {
    if (f.id == TS_FORT) guishortcut(TS_FORT, 'f');
    if (f.id == TS_TEMPLE) guishortcut(TS_TEMPLE, 'o');
  }
  if (features.empty()) return;
  const float n = float(features.size());
  guiwindow(0, 676, top - 24 * (n - 1), 110, 24 * n - 1);
  for (size_t i = 0; i < features.size(); i++)
    columnentry(features[i].id, top - 24 * float(i), features[i].file, features[i].icon, features[i].text, 16,
                features[i].hint);
}

void rightcolumn(int32_t k, int32_t l, int32_t info) {
  if (turnscreen.buttons) commandbuttons(k, l);
  featurecolumn(k, l, info, turnscreen.buttons ? 211 : 475);
}

// ---------------------------------------------------------------- commander cards

// The scout report of the province above the card grid, when there is one:
// the top of the grid below it (504 without).
float scoutreport(int32_t k, int32_t l) {
  const int32_t scout = findscoutmsg(k, l);
  if (scout < 0) return 504;
  int32_t rows = 0;
  const float w = scoutwidth(message[size_t(scout)].text, &rows);
  const float h = 15 * float(rows);
  guiwindow(0, 15, 501 - h, w, h);
  // The printer allows height / 20 rows, though it writes them 15 apart:
  // its box reaches below the window so that every row of the report fits.
  settextbox(17, 501 - 20 * float(rows), w - 4, 20 * float(rows));
  areatextwrap(TS_SCOUT, 15, "%s", message[size_t(scout)].text);
  areahotspot(TS_SCOUT, 15, 501 - h, w, h);
  return 501 - h - 17;
}

// One commander card: where it stands (its grid step cw x ch, the card 2
// smaller), its scale and whether it is selected.
struct Card {
  int32_t c;
  float x, y, cw, ch, s;
  bool sel;
};

// The card's ground (white when selected, red for a fixed order) and the
// commander's name along its top, cut to fit: the scale of the name.
float cardname(const Card& d, const char* fullname) {
  const int32_t b = com[size_t(d.c)].body;
  const bool fixed = getability(b, AB_FIXEDORDER, 1) > 0;
  if (d.sel) areabox(0, d.x, d.y, d.cw - 2, d.ch - 2, 1, 1, 1, 0.8f);
  else if (fixed) areabox(0, d.x, d.y, d.cw - 2, d.ch - 2, 1, 0.2f, 0.2f, 0.3f);
  else areaframe(d.x, d.y, d.cw - 2, d.ch - 2, 1, 0.6f, 0.55f, 0.45f, 0.7f);
  const float namescale = 14 * d.s;
  const char* name = fitlabel(fullname, d.cw - 6, namescale);
  const float nw = textwidth(name) * namescale;
  const int32_t ink = d.sel ? 0 : -1;
  areatextcol(0, d.x + (d.cw - 2 - nw) / 2, d.y + d.ch - 2 - namescale, namescale, ink, ink, ink, 1, "%s", name);
  return namescale;
}

// The card's edges below the name: afflictions, experience stars and a
// temporary effect at the left, a mark per started 25 units led at the right.
void cardmarks(const Card& d, float namescale) {
  const int32_t c = d.c, b = com[size_t(c)].body;
  const float x = d.x, y = d.y, s = d.s;
  // Left edge: 8s high and stacked 3s apart from the top down, the first no
  // higher than 50 above the card's bottom (nor over the name), none below
  // the figure's foot.
  float my = std::min(y + 50, y + d.ch - 2 - namescale) - 8 * s;
  auto leftmark = [&](int32_t file, int32_t sprite) {
    if (my < y + 12 * s) return;
    areasprite(0, file, sprite, SPRITEMODE, x + 1, my, 8 * s, 8 * s);
    my -= 3 * s;
  };
  for (int32_t a = 0; a < nbrofafflictions(b); a++) leftmark(TRS_ICONS, ICON_AFFLICTION);
  const int32_t xp = unit[size_t(b)].exp;
  for (int32_t limit : {14, 49, 99, 199, 399})
    if (xp > limit) leftmark(TRS_MISC, SPRITE_EXPSTAR);
  if (com[size_t(c)].tmpfx > 0) leftmark(TRS_MISC, SPRITE_EFFECT);
  const int32_t led = comunits(c, nullptr, nullptr);
  float ry = y + d.ch - 2 - namescale - 9 * s;
  for (int32_t m = 0; m < (led + 24) / 25 && ry >= y + 12 * s; m++, ry -= 7)
    areabox(0, x + d.cw - 7, ry, 3, 5, 0.8f, 0.8f, 0.8f, 0.9f);
}

// The unit's figure, the card's hot spot with the hint, and the items and
// then gems carried in a strip along the figure's foot.
void cardfigure(const Card& d, const char* hint) {
  const int32_t c = d.c;
  const float x = d.x, y = d.y, s = d.s, cw = d.cw;
  const Monster* t = unittyperec(com[size_t(c)].body);
  const float fs = 40 * s;
  if (t) {
    const int32_t a = areasprite(TS_CARD + c, TRS_ARMY, t->sprite, SPRITEMODE, x + (cw - 2 - fs) / 2, y + 12 * s,
                                 fs, fs);
    if (a >= 0) {
      areasetpriority(a, 100);
      areainfo("%s", hint);
    }
  }
  const int32_t hot = areahotspot(TS_CARD + c, x, y + 12 * s, cw - 2, d.ch - 2 - 12 * s);
  if (hot >= 0) areainfo("%s", hint);
  const Commander& cm = com[size_t(c)];
  int32_t nitems = 0;
  for (int16_t it : cm.item) nitems += validitem(it);
  const float q = (60 * s - 15) / float(imax(1, nitems + (getcomgems(c) > 0 ? 1 : 0)));
  float ix = x + 9 * s;
  for (int16_t it : cm.item)
    if (validitem(it)) {
      areasprite(0, TRS_ITEMS, items[size_t(it)].picture, SPRITEMODE, ix, y + 12 * s, 12 * s, 12 * s);
      ix += std::min(8 * s, q);
    }
  for (int32_t g = 0; g < 8; g++)
    for (int32_t n = 0; n < cm.gems[size_t(g)] && ix < x + cw - 9 * s; n++) {
      areasprite(0, TRS_MISC, SPRITE_GEM + g, SPRITEMODE, ix, y + 12 * s, 6 * s, 6 * s);
      ix += std::min(4 * s, q);
    }
}

// The order at the card's bottom, a click on it changes the order.
void cardorder(const Card& d, const char* order, const char* fullname) {
  const float os = 12 * d.s;
  const int32_t ink = d.sel ? 0 : -1;
  const int32_t ot = areatextcol(TS_CARDORDER + d.c, d.x + 2, d.y + 1, os, ink, ink, ink, 1, "%s",
                                 CutTextDots(order, (d.cw - 4) / os));
  if (ot >= 0) {
    areasetpriority(ot, 500);
    if (d.sel) areainfo("(space) Change order for selected commanders");
    else areainfo("Change order for %s", fullname);
  }
}

void commandercard(const Card& d, bool selection) {
  const int32_t c = d.c;
  // A commander without a name of its own goes by its kind.
  const Monster* kind = unittyperec(com[size_t(c)].body);
  const char* fullname = com[size_t(c)].name[0] || !kind ? com[size_t(c)].name : kind->name;
  const float namescale = cardname(d, fullname);
  cardmarks(d, namescale);
  char hint[400];
  char order[ORDERTEXTLEN];
  hostordertext(c, order);
  formatbounded(hint, sizeof hint, selection ? "%s. %s.  (space) Change order for selected commanders"
                                             : "%s. %s.  (space) Change order",
                fullname, order);
  cardfigure(d, hint);
  cardorder(d, order, fullname);
}

// The paging arrows beside the grid: back when cards lie before the page,
// on when the last card shown is not the last.
void pagearrows(float ax, float onarrowy, bool more) {
  if (turnscreen.firstcard > 0) {
    areaspritecol(0, TRS_MISC, SPRITE_PAGEBACK, SPRITEMODE, ax + 1, 475, 20, 20, 0, 0, 0, 0.5f);
    if (areaspritecol(TS_PAGEBACK, TRS_MISC, SPRITE_PAGEBACK, SPRITEMODE, ax, 475, 20, 20, 1, 1, 1, 0.75f) >= 0) areainfo("(-)");
  }
  if (more) {
    areaspritecol(0, TRS_MISC, SPRITE_PAGEON, SPRITEMODE, ax + 1, onarrowy, 20, 20, 0, 0, 0, 0.5f);
    if (areaspritecol(TS_PAGEON, TRS_MISC, SPRITE_PAGEON, SPRITEMODE, ax, onarrowy, 20, 20, 1, 1, 1, 0.75f) >= 0)
      areainfo("(+)");
  }
}

void commandercards(int32_t k, int32_t l, const std::vector<int32_t>& cards, float s) {
  const float top = scoutreport(k, l);
  const int32_t n = int32_t(cards.size());
  if (n == 0) return;
  const float cw = std::floor(60 * s + 2), ch = std::floor(70 * s + 2);
  int32_t rows = 0, cols = 0;
  cardgrid(n, s, scoutrows(k, l), &rows, &cols);
  guiwindow(0, 15, top - ch * float(rows), cw * float(cols), ch * float(rows));
  const bool selection = selectedcoms.last >= 0;
  int32_t shown = 0, last = -1;
  for (int32_t i = 0; i < n && shown < rows * cols; i++) {
    const int32_t c = cards[size_t(i)];
    if (comvisible(c, turnscreen.firstcard, rows * cols) != 1) continue;
    last = i;
    shown++;
    const float x = 16 + cw * float((shown - 1) % cols), y = top - ch * float((shown - 1) / cols + 1);
    commandercard(Card{c, x, y, cw, ch, s, isselected(c)}, selection);
  }
  pagearrows(float(cols) * cw + 24, 500 - ch * float(rows), last >= 0 && last < n - 1);
}

// Keys of the screen (the order keys and the filter keys among them).
void bindkeys(int32_t k, int32_t l) {
  struct Key {
    int32_t id, key;
  };
  static const Key keys[] = {
      {TS_ENDTURN, 'e'},       {TS_OPTIONS, KEY_ESCAPE},  {TS_OPTIONS, 'Q'},       {TS_MESSAGELIST, 'm'},
      {TS_MESSAGES, 's'},      {TS_RECRUIT, 'r'},         {TS_ARMYSETUP, 't'},     {TS_ARMYHERE, 'y'},
      {TS_MERCENARIES, 'b'},   {TS_LAB, 'l'},             {TS_RESEARCH, KEY_F1 + 4}, {TS_ENCHANTMENTS, KEY_F1 + 5},
      {TS_RESOURCES, KEY_F1 + 6}, {TS_ITEMS, KEY_F1 + 7}, {TS_OVERVIEW, KEY_F1},   {TS_GRAPHS, KEY_F1 + 1},
      {TS_HALLOFFAME, KEY_F1 + 2}, {TS_NATIONS, KEY_F1 + 3}, {TS_KEYHELP, '?'},     {TS_KEYHELP, 'g'},
      {TS_REPLAYS, 'v'},       {TS_GOTONUMBER, '#'},      {TS_HOME, KEY_HOME},     {TS_DEFAULTZOOM, KEY_END},
      {TS_ZOOMOUT, KEY_DELETE}, {TS_ZOOMIN, 277},         {TS_NEXTIDLE, 'n'},      {TS_SELECTALL, 'a'},
      {TS_UNSELECT, KEY_RETURN}, {TS_PAGEBACK, '-'},      {TS_PAGEON, '+'},        {TS_BIGGER, '<'},
      {TS_SMALLER, '>'},       {TS_BUTTONS, 'h'},         {TS_TABDOWN, KEY_TAB},   {TS_VALUE, '$'},
      {TS_ORDERMENU, KEY_SPACE},
  };
  for (const Key& key : keys) guishortcut(key.id, key.key);
  if (turnscreen.tabheld) guikeyupshortcut(TS_TABUP, KEY_TAB);
  for (int32_t d : {1, 2, 3, 4, 5, 8, 9}) guishortcut(TS_FILTERKEY + d, '0' + d);
  for (const char* o = "DXRSBCFGHATEWZMP"; *o; o++) {
    const int32_t r = orderkeyrequest(*o, ownsorholds(k, l));
    if (r >= 0) guishortcut(TS_ORDERKEY + r, *o);
  }
}

void startmusic() {
  if (!mainmusic) return;
  starteramusic(gameinfo.era, musicvolume);
}
}  // namespace

// ---------------------------------------------------------------- the screen

void openturnscreen(int32_t home, int32_t k, int32_t vcrs, const char* gname, int32_t turnnbr, int32_t gamenbr,
                    int32_t showmessages) {
  bailif(k < 0 || k > 94, "viewland: bad player");
  TurnScreen& ts = turnscreen;
  ts.nation = k;
  strlcopy(ts.gname, gname, sizeof ts.gname);
  ts.turnnbr = turnnbr;
  ts.gamenbr = gamenbr;
  ts.vcrs = vcrs;
  ts.showmessages = showmessages;
  ts.endturn = 0;
  ts.hint = 0;
  ts.tabheld = 0;
  ts.focus = -1;
  ts.firstcard = 0;
  ts.lastclicked = -1;
  // The button column stays as the player left it on an earlier visit.
  if (fastgrx >= 2) ts.buttons = 0;
  checkarmies();
  cachearmysizes(k);
  cacheinfolevels(k, 1);
  selectedcoms.last = -1;
  ts.gotoprov = home >= 1 && home <= nbrlands ? home : 1;
  ts.current = ts.gotoprov;
  startmusic();
  ts.upkeep = upk(k);
  char border[PATHLEN];
  formatbounded(border, PATHLEN, "%s/guiborderthin.tga", datapath);
  SetActiveGUIBorderTexture(border);
}

void viewland(int32_t home, int32_t k, int32_t vcrs, const char* gname, int32_t turnnbr, int32_t gamenbr,
              int32_t showmessages) {
  openturnscreen(home, k, vcrs, gname, turnnbr, gamenbr, showmessages);
  runturnscreen();
}

void runturnscreen() {
  TurnScreen& ts = turnscreen;
  const int32_t k = ts.nation;
  for (;;) {
    buildturnframe();
    int32_t id = 0;
    if (ts.showmessages && nbrofmsg(k) > 0) id = TS_MESSAGELIST;
    else id = render_frame(true, Scene::map);
    ts.showmessages = 0;
    // The screens that the action opens show the darkened map behind them.
    guisetfade(1);
    setbgscene(Scene::darkmap);
    if (turnaction(id)) return;
    if (quitprogram) return;
  }
}

void buildturnframe() {
  TurnScreen& ts = turnscreen;
  const int32_t k = ts.nation;
  clearparticles();
  guibegin();
  setmapviewport(0, 0, 800, 600);
  if (ts.focus >= 0 && ts.focus < MAXCOMS && comalivein(ts.focus, k, -1)) {
    const int32_t fl = unit[size_t(com[size_t(ts.focus)].body)].land;
    if (fl > 0 && fl <= nbrlands && fl != ts.current) ts.gotoprov = fl;
  }
  if (ts.gotoprov >= 1 && ts.gotoprov <= nbrlands) {
    ts.current = ts.gotoprov;
    selectedcoms.last = -1;
    centremap(ts.current);
    for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) com[size_t(c)].arrowtime = 0;
    ts.firstcard = 0;
    ts.lastclicked = -1;
  }
  ts.gotoprov = 0;
  const int32_t l = ts.current;
  const std::vector<int32_t> cards = provincecards(k, l);
  const float s = cardscale(screenscale, int32_t(cards.size()));
  if (ts.focus >= 0 && ts.focus < MAXCOMS && comalivein(ts.focus, k, l)) {
    selectedcoms.last = -1;
    selectcom(ts.focus);
    ts.firstcard = focusoffset(ts.focus, int32_t(cards.size()), s, scoutrows(k, l));
  }
  ts.focus = -1;
  const uint32_t saved = savedlayers(uint16_t(kingdom[size_t(k)].w[KW_MAPFILTER]));
  mapfilter = ts.tabheld ? (saved | MAPF_START) : saved;
  // Arrow start times: the selected commanders that move show their arrow.
  for (int32_t c : cards) {
    Commander& cm = com[size_t(c)];
    if (!isselected(c)) {
      cm.arrowtime = 0;
      continue;
    }
    const bool moving = (cm.order == Order::move || cm.order == Order::sneak || cm.order == Order::movepatrol) &&
                        cm.orderparam > 0 && cm.orderparam != l;
    if (moving && cm.arrowtime == 0) cm.arrowtime = 1;
  }
  const int32_t info = infolevel(l, k, 0);
  if (mapfilter & MAPF_NEIGHBOURS)
    for (int32_t n = 0; n < MAXNEIGHBOURS && provgeo[size_t(l)].nbr[n] > 0; n++)
      drawarrow(l, provgeo[size_t(l)].nbr[n], ARROW_NEIGHBOUR, 0, 10);
  drawmapoverlays(k, l);
  guistilllayer();
  provincebox(k, l, info);
  nationbox(k);
  rightcolumn(k, l, info);
  commandercards(k, l, cards, s);
  bindkeys(k, l);
  areahotspot(TS_MAPCLICK, 0, 0, 800, 600);
  if (ts.hint) guisethint("To select another province, right click on its flag");
  guishow(-1, -1);
}
