// The Global Enchantments and Temple screens and their rules.
#include "screens/magicviews.h"

#include <cstdlib>

#include "frontend/frontend.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "runtime/fatal.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "screens/orders.h"
#include "screens/screens.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/veyrates.h"
#include "world/world.h"

namespace {
constexpr int32_t GE_SLOT = 1000, GE_EXIT = 999, VT_EXIT = 9;
}  // namespace

// ---------------------------------------------------------------- rules

bool globalench(int32_t e) {
  if (e < 0 || e >= MAXENCH) return false;
  const Ench& en = ench[size_t(e)];
  return en.kind > 0 && en.spell > 0 && en.land == -1;
}

// ---------------------------------------------------------------- screens

void viewench(int32_t p) {
  bailif(p < 0 || p > 99, "viewench: bad player");
  auto build = [&] {
    guibegin();
    guititle("Global Enchantments");
    guicloseid(GE_EXIT);
    guiminwidth(300);
    guimaxwidth(300);
    guialign(GUIALIGN_LEFT);
    guitextscale(0.9f);
    int32_t rows = 0;
    for (int32_t e = 0; e <= highestench && e < MAXENCH; e++) {
      if (!globalench(e)) continue;
      const Ench& en = ench[size_t(e)];
      liststripe(rows++);
      guisetnl(0);
      if (en.owner >= 0 && en.owner < 95) guisprite(0, TRS_FLAGS, en.owner + 1, 1);
      guiindent(30);
      guibutton(GE_SLOT + e, "\xA4%s", en.spell < MAXSPELLS ? spells[size_t(en.spell)].name : "???");
      guisetnl(1);
    }
    // Five rows at the least.
    for (; rows < 5; rows++) {
      liststripe(rows);
      guibutton(0, " ");
    }
    listexit(GE_EXIT, KEY_F1 + 5);
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (id == GE_EXIT || quitprogram) return;
    const int32_t e = std::abs(id) - GE_SLOT;
    if (std::abs(id) >= GE_SLOT && e < MAXENCH && globalench(e)) spellinfobox(ench[size_t(e)].spell);
  }
}

void buildtemple(int32_t lnr) {
  const int32_t p = land[size_t(lnr)].fortholder;
  const int32_t pic = getnatattr(p, NA_TEMPLEPIC);
  bailif(pic > 1000, "bad templepic");
  const VeyRates t = veyrates(p);
  guititle("Temple");
  guicloseid(VT_EXIT);
  guiminwidth(260);
  // A picture that the temple archive lacks (a mod's number): the map's temple.
  if (spritepresent(TRS_TEMPLES, pic)) guisprite50(0, TRS_TEMPLES, pic, 1);
  else guisprite50(0, TRS_MISC, SPRITE_TEMPLE, 1);
  guialign(GUIALIGN_LEFT);
  guitextscale(0.9f);
  guibutton(0, "Number of temples %d", t.temples);
  guibutton(0, "Converted provinces %d", t.converted);
  guispace(2);
  guibutton(0, "Conversion Rates");
  guibutton(0, "God %d", t.points[VS_GOD]);
  guibutton(0, "Prophet %d", t.points[VS_PROPHET]);
  guibutton(0, "Home province %d", t.points[VS_HOME]);
  guibutton(0, "Temples %d", t.points[VS_TEMPLE]);
  if (t.points[VS_VICTORY] > 0) guibutton(0, "Victory points %d", t.points[VS_VICTORY]);
  listexit(VT_EXIT, 0);
}

int32_t viewtmpl(int32_t lnr) {
  bailif(lnr < 1 || lnr > 1504, "viewtmpl: bad lnr");
  auto build = [&] {
    guibegin();
    buildtemple(lnr);
    guishow(-1, -1);
  };
  // The first click or key closes it, a left click on its plain text (the
  // figures, the picture) too; a scroll only lays it out anew.
  return guimodalplainclose(build);
}
