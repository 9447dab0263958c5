// The Arcane Laboratory, the Magic Resource and Magic Item Treasuries and
// the Alchemy screen, over the kingdom's resource stock and item store.
#include "screens/lab.h"

#include <cstdlib>

#include "actions/items.h"
#include "battle/battle.h"
#include "frontend/frontend.h"
#include "gfx/dialogs.h"
#include "gfx/gui.h"
#include "gfx/sprites.h"
#include "magic/rituals.h"
#include "runtime/fatal.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "screens/gemtransfer.h"
#include "screens/infoboxes.h"
#include "screens/research.h"
#include "screens/turnscreen.h"
#include "world/economy.h"
#include "world/gamedata.h"
#include "world/grammar.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr int32_t STOCKMAX = 32767;
constexpr int32_t LABRESEARCH = 151, LABENCHANT = 134, LABNOENCHANT = 153, LABRESOURCES = 150, LABITEMS = 152;
constexpr int32_t SPRITEMODE = 4;
constexpr int32_t EXIT = 999;

bool validplayer(int32_t p) { return p >= 0 && p < MAXPLAYERS; }
int16_t& stock(int32_t p, int32_t kind) { return kingdom[size_t(p)].w[KW_GEMS + kind]; }
// A commander of the player, alive, not a mercenary.
bool ownliving(int32_t c, int32_t p) {
  const int32_t b = combody(c);
  return b >= 0 && unit[size_t(b)].owner == p && unit[size_t(b)].hp >= 1 && unit[size_t(b)].homeland != -2;
}
}  // namespace

// ---------------------------------------------------------------- rules

int32_t nbrcomgems(int32_t cnr) {
  if (cnr < 0 || cnr >= MAXCOMS) return 0;
  int32_t n = 0;
  for (int32_t k = 0; k < LABKINDS; k++) n += int8_t(com[size_t(cnr)].gems[k]);
  return n;
}

bool labheld(int32_t p, int32_t lnr) {
  return validplayer(p) && lnr >= 1 && lnr < MAXLANDS && land[size_t(lnr)].lab >= 1 &&
         land[size_t(lnr)].fortholder == p;
}

int32_t poolgems(int32_t p, int32_t kind) {
  bailif(p < 0 || kind < 0 || p >= MAXKINGDOMS || kind >= LABKINDS, "PG: bad");
  int32_t moved = 0;
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) {
    if (!ownliving(c, p) || !labheld(p, unit[size_t(com[size_t(c)].body)].land)) continue;
    uint8_t& carried = com[size_t(c)].gems[kind];
    const int32_t n = imin(carried, STOCKMAX - stock(p, kind));
    if (n <= 0) continue;
    stock(p, kind) = int16_t(stock(p, kind) + n);
    carried = uint8_t(carried - n);
    moved += n;
  }
  return moved;
}

bool treasurytocommander(int32_t p, int32_t lnr, int32_t slot, int32_t cnr) {
  if (!labheld(p, lnr) || slot < 0 || slot >= LABSTORESIZE || !ownliving(cnr, p) ||
      unit[size_t(com[size_t(cnr)].body)].land != lnr)
    return false;
  int16_t& place = kingdom[size_t(p)].w[KW_LABSTORE + slot];
  if (!validitem(place) || getitem(cnr, place) < 0) return false;
  place = 0;
  return true;
}

int32_t alchemygold(int32_t cnr, int32_t kind) {
  const int32_t e = 100 + (combody(cnr) >= 0 ? getitemfx(cnr, AB_ALCHEMY, 1) : 0);
  if (kind == P_FIRE) return e * 15 / 100;
  if (kind == P_EARTH) return e / 10;
  return 0;
}

bool alchemy(int32_t p, int32_t cnr, int32_t way, int32_t kind) {
  if (!validplayer(p) || kind < 0 || kind > P_NATURE || kind == P_ASTRAL) return false;
  int16_t &pearls = stock(p, P_ASTRAL), &gems = stock(p, kind);
  switch (way) {
    case AL_FROMPEARLS:
      if (pearls < 2 || gems >= STOCKMAX) return false;
      pearls = int16_t(pearls - 2);
      gems++;
      return true;
    case AL_TOPEARL:
      if (gems < 2 || pearls >= STOCKMAX) return false;
      gems = int16_t(gems - 2);
      pearls++;
      return true;
    case AL_TOGOLD: {
      const int32_t gold = alchemygold(cnr, kind);
      int32_t& treasury = kingdom[size_t(p)].gold;
      if (gold <= 0 || gems < 1 || treasury > INT32_MAX - gold) return false;
      gems--;
      treasury += gold;
      return true;
    }
    default:
      return false;
  }
}

// ---------------------------------------------------------------- the screens

bool itemsprite(int32_t sprite) {
  // A 1 x 1 picture of the archive only holds a place.
  return fetchsprite(TRS_ITEMS, sprite, SPRITEMODE) && spritewidth(TRS_ITEMS, sprite) > 1;
}

void itempicture(int32_t id, int32_t sprite, const char* name, float alpha) {
  if (itemsprite(sprite)) {
    guisprite40midcol(id, TRS_ITEMS, sprite, SPRITEMODE, 1, 1, 1, alpha);
    return;
  }
  char word[16];
  formatbounded(word, sizeof word, "%.15s", name);
  guibuttoncol(id, "%s", 0.85f, 0.8f, 0.6f, alpha, word);
}

namespace {
void exitbutton(int32_t fkey) {
  guialign(GUIALIGN_CENTRE);
  guispace(2);
  guitextscale(1);
  guiexitbutton(EXIT, "Exit");
  if (fkey) guishortcut(EXIT, fkey);
}

// One of the laboratory's four doors: its picture, a row of its own, with
// its tooltip and keys.
void labbutton(int32_t id, int32_t sprite, const char* tip, int32_t key, int32_t fkey) {
  guitextscale(1.6f);
  guisprite(id, TRS_MISC, sprite, SPRITEMODE);
  guiinfo("%s", tip);
  guishortcut(id, key);
  guishortcut(id, fkey);
}
}  // namespace

void viewlab(int32_t p, int32_t lnr) {
  bailif(lnr < 0 || lnr >= MAXLANDS, "viewlab: bad lnr");
  bailif(p < 0 || p > 99, "viewlab: bad player");
  debugprint("viewlab lnr %d\n", lnr);
  auto build = [&] {
    guibegin();
    guicloseid(EXIT);
    guiminwidth(300);
    labbutton(1, LABRESEARCH, "(F5) Research", 'r', KEY_F1 + 4);
    labbutton(2, nbrglobalench() > 0 ? LABENCHANT : LABNOENCHANT, "(F6) Global Enchantments", 'e', KEY_F1 + 5);
    labbutton(3, LABRESOURCES, "(F7) Magic Resource Treasury", 't', KEY_F1 + 6);
    labbutton(4, LABITEMS, "(F8) Magic Item Treasury", 'i', KEY_F1 + 7);
    exitbutton(0);
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (id == EXIT || quitprogram) return;
    switch (id) {
      case 1: viewresearch(p); break;
      case 2: opennationscreen(TS_ENCHANTMENTS); break;   // the enchantments' screen, where it exists
      case 3: viewrt(p, lnr); break;
      case 4: viewmit(p, lnr, -1); break;
      default: break;
    }
  }
}

namespace {
// The treasury's panel and its columns from the panel's left edge: the
// kind's picture and name, its stock, its income, "pool". A text wider than
// its column in our font is cut with "..", a little clear of the next.
constexpr float TREASURYW = 280, STOCKX = 130, INCOMEX = 160, POOLX = 210, TREASURYSCALE = 0.85f;
constexpr float GEMPICTURE = 0.75f;   // of the text height
constexpr float ALCHEMYW = 150;
const char* treasurycolumn(const char* text, float x, float next) {
  return CutTextDots(text, (next - x) / (TREASURYSCALE * GUITEXTHEIGHT) - 0.2f);
}
}  // namespace

void viewrt(int32_t p, int32_t lnr) {
  bailif(lnr < 0 || lnr >= MAXLANDS, "viewrt: bad lnr");
  bailif(p < 0 || p > 99, "viewrt: bad player");
  bool commanders = false;   // a commander of the nation stands here, set by each build
  auto build = [&] {
    guibegin();
    guititle("Magic Resource Treasury");
    guicloseid(EXIT);
    guiminwidth(TREASURYW);
    guimaxwidth(TREASURYW);
    guialign(GUIALIGN_LEFT);
    guitextscale(TREASURYSCALE);
    // The name follows its picture and the gap after it.
    const float namex = GUIMARGIN + 1.1f * GEMPICTURE * TREASURYSCALE * GUITEXTHEIGHT;
    for (int32_t k = 0; k < LABKINDS; k++) {
      const int32_t have = stock(p, k), income = visinc(p, k);
      char plural[PLURALLEN], name[PLURALLEN], text[PLURALLEN + 8];
      unittitle(2, gemnames[k], plural);
      unittitle(have, gemnames[k], name);
      guisetnl(0);
      guispritescaled(0, TRS_MISC, SPRITE_GEM + k, SPRITEMODE, GEMPICTURE);
      formatbounded(text, sizeof text, "\xA4%s", plural);
      guibutton(10 + k, "%s", treasurycolumn(text, namex, STOCKX));
      guiinfo("%d %s available in the treasury. Income %d per month.", have, name, income);
      guiindent(STOCKX);
      formatbounded(text, sizeof text, "%d", have);
      guibutton(0, "%s", treasurycolumn(text, STOCKX, income != 0 ? INCOMEX : POOLX));
      if (income != 0) {
        guiinfo("%d %s available in the treasury.", have, name);
        guiindent(INCOMEX);
        formatbounded(text, sizeof text, "+%d", income);
        guibutton(0, "%s", treasurycolumn(text, INCOMEX, POOLX));
        guiinfo("Income %d %s per month", income, plural);
      }
      guiindent(POOLX);
      guibuttoncol(20 + k, "pool", 0.6f, 0.9f, 1.0f, 1.0f);
      guiinfo("Bring in all magic resources of this type from commanders located in provinces with a lab.");
      guisetnl(1);
    }
    // Mode 0 asks only whether one is there; the click picks one at random.
    commanders = lnr > 0 && randcom(lnr, p, 0) >= 0;
    if (commanders) {
      guialign(GUIALIGN_CENTRE);
      guispace(2);
      guibutton(1, "Transfer gems to commanders");
    }
    exitbutton(KEY_F1 + 6);
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (id == EXIT || quitprogram) return;
    if (id >= 20 && id < 20 + LABKINDS) poolgems(p, id - 20);
    if (id == 1 && commanders) tgems(randcom(lnr, p, 1), -1);
  }
}

void viewmit(int32_t p, int32_t lnr, int32_t cnr) {
  bailif(lnr < 0 || lnr >= MAXLANDS, "viewmit: bad lnr");
  bailif(p < 0 || p > 99, "viewmit: bad player");
  const bool receiver = cnr >= 0 && combody(cnr) >= 0;
  bool handout = false;   // the lab here hands items out, set by each build
  auto build = [&] {
    handout = labheld(p, lnr);
    guibegin();
    guititle("Magic Item Treasury");
    guicloseid(EXIT);
    for (int32_t row = 0; row < 5; row++) {
      guisetnl(0);
      for (int32_t col = 0; col < 10; col++) {
        const int32_t slot = row * 10 + col, item = kingdom[size_t(p)].w[KW_LABSTORE + slot];
        guitextscale(1.8f);
        // A faint box for every place, so that the grid shows on the dark window.
        guicolourbox(0, 40, 0.55f, 0.5f, 0.45f, validitem(item) ? 0.3f : 0.12f);
        if (!validitem(item)) continue;
        const char* name = items[size_t(item)].name;
        guioverlay();
        guitextscale(itemsprite(items[size_t(item)].picture) ? 1.8f : 0.5f);
        char cut[8];   // the name fits its place while the picture is missing
        formatbounded(cut, sizeof cut, "%s", name);
        itempicture(100 + slot, items[size_t(item)].picture, cut, 1);
        if (!handout) guiinfo("%s, (right click) info", name);
        else if (!receiver) guiinfo("Give %s to a commander, (right click) info", name);
        else guiinfo("Give %s to %s, (right click) info", name, comshownname(cnr));
      }
      guisetnl(1);
      guitextscale(1);
      guispace(1);   // a gap between the rows of places
    }
    exitbutton(KEY_F1 + 7);
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (id == EXIT || quitprogram) return;
    if (std::abs(id) < 100 || std::abs(id) >= 100 + LABSTORESIZE) continue;
    const int32_t slot = std::abs(id) - 100;
    const int32_t item = kingdom[size_t(p)].w[KW_LABSTORE + slot];
    if (id < 0) {
      if (validitem(item)) mibox(item);
    } else if (!handout) {
      msgbox("You must be in a province with a lab in order to retrieve a magic item");
    } else if (!receiver) {
      giveitem(-1, lnr, slot, 0);
    } else {
      treasurytocommander(p, lnr, slot, cnr);
      getiba(cnr);
    }
  }
}

void alch(int32_t lnr, int32_t cnr) {
  bailif(lnr < 0 || lnr >= MAXLANDS, "alch: bad lnr");
  const int32_t p = int8_t(land[size_t(lnr)].fortholder);
  bailif(p < 0 || p > 99, "alch: bad player");
  bailif(cnr < 0 || cnr > 8999, "alch: bad cnr");
  bailif_fmt(com[size_t(cnr)].body < 0 || com[size_t(cnr)].body > highestunit, "alch: bad unr %d",
             com[size_t(cnr)].body);
  auto build = [&] {
    guibegin();
    guititle("Alchemy");
    guicloseid(EXIT);
    guiminwidth(ALCHEMYW);
    guimaxwidth(ALCHEMYW);
    guimaxheight(520);
    guitextscale(0.8f);
    guibutton(0, "(%s)", comshownname(cnr));
    guibutton(0, "Money: %d", kingdom[size_t(p)].gold);
    guispace(2);
    guialign(GUIALIGN_LEFT);
    // Each kind's stock, then a row of its conversions.
    for (int32_t k = 0; k < 7; k++) {
      guitextscale(0.8f);
      guibutton(0, "%ss: %d", gemnames[k], stock(p, k));
      guitextscale(1.1f);
      if (k != P_ASTRAL) {
        const char lower = gemnames[k][0], upper = capfirst(gemnames[k])[0];
        guisetnl(0);
        guisprite(100 + k, TRS_MISC, SPRITE_GEM + k, SPRITEMODE);
        guiinfo("(%c) Convert two astral pearls to one %s", lower, gemnames[k]);
        guishortcut(100 + k, lower);
        guisprite(0, TRS_MISC, SPRITE_ARROWTOPEARL, SPRITEMODE);
        guisprite(200 + k, TRS_MISC, SPRITE_GEM + P_ASTRAL, SPRITEMODE);
        guiinfo("(%c) Convert two %ss to one astral pearl", upper, gemnames[k]);
        guishortcut(200 + k, upper);
        guisetnl(1);
      }
      if (k == P_FIRE || k == P_EARTH) {
        guisetnl(0);
        guisprite(0, TRS_MISC, SPRITE_GEM + k, SPRITEMODE);
        guisprite(0, TRS_MISC, SPRITE_ARROWTOGOLD, SPRITEMODE);
        guisprite(300 + k, TRS_MISC, SPRITE_GOLD, SPRITEMODE);
        guiinfo("Convert one %s to gold", gemnames[k]);
        guisetnl(1);
      }
    }
    exitbutton(0);
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (id == EXIT || quitprogram) return;
    if (id >= 100 && id < 200) {
      bailif(id - 100 >= 20, "va100");
      alchemy(p, cnr, AL_FROMPEARLS, id - 100);
    } else if (id >= 200 && id < 300) {
      bailif(id - 200 >= 20, "va200");
      alchemy(p, cnr, AL_TOPEARL, id - 200);
    } else if (id >= 300 && id < 310) {
      alchemy(p, cnr, AL_TOGOLD, id - 300);
    }
  }
}
