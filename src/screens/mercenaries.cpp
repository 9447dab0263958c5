// Mercenary bands on offer: which can be hired where, and the Hire
// Mercenaries screen (a band's box, where the nation bids, is an info box).
#include "screens/mercenaries.h"

#include <cstdlib>

#include "frontend/frontend.h"
#include "gfx/dialogs.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "runtime/fatal.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "screens/infoboxes.h"
#include "screens/screens.h"
#include "world/gamedata.h"
#include "world/grammar.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"
#include "worldgen/mercenaries.h"

namespace {
constexpr int32_t SPRITEMODE = 4;
constexpr int32_t VM_EXIT = 9, VM_BAND = 100;

bool validband(int32_t b) { return b >= 0 && b < MAXMERCBANDS; }
int16_t& bidof(int32_t b, int32_t p) { return kingdom[size_t(p)].w[KW_MERCBIDS + b]; }
int16_t& bidlandof(int32_t b, int32_t p) { return kingdom[size_t(p)].w[KW_MERCBIDLAND + b]; }
int32_t employerof(int32_t b) { return mercband[size_t(b)].value[MB_EMPLOYER]; }
bool employed(int32_t b) { return employerof(b) >= 0 && employerof(b) < MAXPLAYERS; }
}  // namespace

// ---------------------------------------------------------------- rules

int32_t mercok(int32_t b, int32_t lnr) {
  if (!validband(b)) return 0;
  MercBand& m = mercband[size_t(b)];
  const int32_t leader = m.value[MB_LEADER];
  if (leader < 0) return 0;
  const int32_t u = leader < MAXCOMS ? com[size_t(leader)].body : -1;
  if (u >= 0 && u <= highestunit && unit[size_t(u)].hp > 0) {
    bailif(u >= MAXUNITS, "mercok: bad u");
    if (lnr >= 1 && lnr < MAXLANDS && (provgeo[size_t(lnr)].terrain & TM_SEA)) return breatheswater(u) ? 1 : 0;
    return 1;
  }
  debugprint("*** Warning: merc commander dead\n");
  m.value[MB_LEADER] = -1;
  return 0;
}

// ---------------------------------------------------------------- the screen

void viewmercs(int32_t p, int32_t lnr) {
  bailif(p < 0 || p >= MAXPLAYERS, "viewmercs: bad player");
  auto build = [&] {
    guibegin();
    guititle("Hire Mercenaries");
    guicloseid(VM_EXIT);
    guiminwidth(400);
    guimaxwidth(400);
    guialign(GUIALIGN_LEFT);
    guitextscale(0.85f);
    listheadings({{24, "Company name"}, {220, "Employer"}, {300, "Bid"}, {350, "Land"}}, false);
    const bool mine = lnr >= 1 && lnr < MAXLANDS && land[size_t(lnr)].owner == p;
    int32_t rows = 0;
    for (int32_t b = 0; b < MAXMERCBANDS; b++) {
      const bool ok = mercok(b, lnr) == 1;
      const MercBand& m = mercband[size_t(b)];
      if (m.value[MB_LEADER] < 0) continue;
      const int32_t u = com[size_t(m.value[MB_LEADER])].body;
      liststripe(rows++);
      guisetnl(0);
      guisprite(0, TRS_ARMY, unittypes[size_t(unit[size_t(u)].type)].sprite, SPRITEMODE);
      if (mine && ok) guibutton(VM_BAND + b, "\xA4%s\xA4", m.name);
      else guibuttoncol(0, "\xA4%s\xA4", -1, -1, -1, 0.5f, m.name);
      debugprint("Merc %d owner %d\n", b, employerof(b));
      if (employed(b)) {
        guiinfo("%s is currently employing this mercenary band", nations[size_t(employerof(b))].name);
        guiindent(250);
        guisprite(0, TRS_FLAGS, employerof(b) + 1, 1);
        const int32_t left = m.value[MB_MONTHS];
        guibutton(0, "\xA4%d", left);
        if (left == 1) guiinfo("1 month left of employment");
        else guiinfo("%d months left of employment", left);
      }
      if (bidof(b, p) > 0) {
        guiindent(300);
        guibutton(0, "%d", bidof(b, p));
        guiindent(350);
        guibutton(0, "%d", bidlandof(b, p));
      }
      guisetnl(1);
    }
    guibgbox(0, 0, 0, 0);
    if (rows == 0) guibutton(0, "No mercenaries are available this month");
    listexit(VM_EXIT, 0);
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (id == VM_EXIT || quitprogram) return;
    if (std::abs(id) >= VM_BAND && std::abs(id) < VM_BAND + MAXMERCBANDS) {
      const int32_t b = std::abs(id) - VM_BAND;
      if (mercband[size_t(b)].value[MB_LEADER] >= 0) mercbox(b, p, lnr);
    }
  }
}
