// Mercenary bands on offer: the rules of bidding, the band box and the Hire
// Mercenaries screen.
#include "screens/mercenaries.h"

#include <cstdlib>

#include "frontend/frontend.h"
#include "gfx/dialogs.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "host/host.h"
#include "host/phases.h"
#include "runtime/fatal.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/grammar.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"
#include "worldgen/mercenaries.h"

namespace {
constexpr int32_t SPRITEMODE = 4;
constexpr int32_t MB_HIRE = 1, MB_RESET = 2, MB_EXIT = 9, VM_EXIT = 9, VM_BAND = 100;

bool validband(int32_t b) { return b >= 0 && b < MAXMERCBANDS; }
bool validbidder(int32_t p) { return p >= 0 && p < MAXPLAYERS; }
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

int32_t mercaskingprice(int32_t b, int32_t p) {
  if (!validband(b)) return 0;
  return mercprice(b, p, employerof(b));
}

void resetbid(int32_t b, int32_t p) {
  if (!validband(b) || !validbidder(p)) return;
  kingdom[size_t(p)].gold += imax(0, bidof(b, p));
  bidof(b, p) = 0;
  bidlandof(b, p) = -1;
}

int32_t startbid(int32_t b, int32_t p, int32_t lnr) {
  if (!validband(b) || !validbidder(p)) return 0;
  resetbid(b, p);
  const int32_t bid = imax(0, imin(imin(mercaskingprice(b, p), kingdom[size_t(p)].gold), 32767));
  kingdom[size_t(p)].gold -= bid;
  bidof(b, p) = int16_t(bid);
  if (bid > 0) bidlandof(b, p) = int16_t(lnr);
  return bid;
}

bool stepbid(int32_t b, int32_t p, int32_t step) {
  if (!validband(b) || !validbidder(p) || step == 0) return false;
  int32_t& gold = kingdom[size_t(p)].gold;
  int16_t& bid = bidof(b, p);
  if (step > 0 ? gold <= 0 || bid >= 32767 : bid <= 0) return false;
  step = step > 0 ? 1 : -1;
  gold -= step;
  bid = int16_t(bid + step);
  return true;
}

// ---------------------------------------------------------------- the band box

namespace {
// The lines that tell of the band's leader and contract.
void leaderlines(int32_t b, int32_t p, int32_t leader, int32_t u) {
  const MercBand& m = mercband[size_t(b)];
  const int32_t t = unit[size_t(u)].type;
  const char* name = com[size_t(leader)].name[0] ? com[size_t(leader)].name : unittypes[size_t(t)].name;
  const int32_t n = nbrcomunits(leader), price = mercaskingprice(b, p);
  char who[300];
  if (n >= 1 && ismage(leader)) formatbounded(who, sizeof who, "The mage %s commands %d men", name, n);
  else if (n >= 1) formatbounded(who, sizeof who, "%s commands %d men", name, n);
  else if (ismage(leader)) formatbounded(who, sizeof who, "The mage %s doesn't command any men", name);
  else if (unit[size_t(u)].type != 150 && unittypes[size_t(unit[size_t(u)].type)].size > 3)
    formatbounded(who, sizeof who, "%s doesn't command any men but is quite huge %sself.", name, himher(u));
  else formatbounded(who, sizeof who, "%s doesn't command any men", name);
  char line[600];
  const int32_t months = m.value[MB_MONTHS];
  if (months < 2) {
    if (employerof(b) == p)
      formatbounded(line, sizeof line, "%s and demands %d pounds of gold for another three months of service.", who,
                    price);
    else formatbounded(line, sizeof line, "%s and demands %d pounds of gold for employment.", who, price);
  } else {
    formatbounded(line, sizeof line, "%s and has %d month remaining on current contract", who, months);
  }
  guitextlong(0, line);
  if (months < 2 && price != m.value[MB_PRICE]) {
    guispace(1);
    guibutton(0, "(Demands %d pounds of gold for employment by most other nations)", m.value[MB_PRICE]);
  }
}
}  // namespace

void mercbox(int32_t b, int32_t p, int32_t lnr) {
  bailif(!validband(b), "mercbox: bad mercnr");
  bailif(!validbidder(p), "mercbox: bad player");
  for (;;) {
    const MercBand& m = mercband[size_t(b)];
    const int32_t leader = m.value[MB_LEADER];
    bailif(leader < 0 || leader >= MAXCOMS, "mercbox: bad cnr");
    const int32_t u = com[size_t(leader)].body;
    bailif(u < 0 || u >= MAXUNITS || unit[size_t(u)].type < 0, "mercbox: bad unr");
    guibegin();
    guititle("%s", m.name);
    guicloseid(MB_EXIT);
    guimaxwidth(420);
    guitextscale(0.85f);
    guispritescaled(0, TRS_ARMY, unittypes[size_t(unit[size_t(u)].type)].sprite, SPRITEMODE, 2.5f);
    leaderlines(b, p, leader, u);
    if (bidof(b, p) > 0) {
      guispace(3);
      guibutton(0, "Your current bid is %d pounds of gold.", bidof(b, p));
    }
    guispace(3);
    guitextscale(0.95f);
    if (m.value[MB_MONTHS] < 2) {
      guibutton(MB_HIRE, "Hire");
      guiinfo("Make a bid for this band; its gold is set aside until the bids are settled");
      guibutton(MB_RESET, "Reset");
      guiinfo("Take the bid back");
      guispace(3);
    }
    guibutton(MB_EXIT, "Exit");
    guishortcut(MB_EXIT, KEY_ESCAPE);
    guishortcut(MB_EXIT, KEY_RETURN);
    guishow(-1, -1);
    const int32_t id = render_frame(1, 0);
    if (id == MB_EXIT || quitprogram) return;
    if (id == MB_RESET) resetbid(b, p);
    if (id != MB_HIRE) continue;
    startbid(b, p, lnr);
    for (;;) {
      const int r = adjustvaluebox("Bid for mercenary", "Bid",
                                   "Mercenaries will serve the highest bidder for three months. The current owner of "
                                   "a mercenary band will have his bid counted as double for this purpose.",
                                   bidof(b, p), kingdom[size_t(p)].gold > 0, bidof(b, p) > 0);
      if (r == 0 || quitprogram) break;
      if (r == 1 || r == -1) stepbid(b, p, r);
    }
    if (bidof(b, p) > 0) bidlandof(b, p) = int16_t(lnr);
    else bidlandof(b, p) = -1;
  }
}

// ---------------------------------------------------------------- the screen

void viewmercs(int32_t p, int32_t lnr) {
  bailif(!validbidder(p), "viewmercs: bad player");
  for (;;) {
    guibegin();
    guititle("Hire Mercenaries");
    guicloseid(VM_EXIT);
    guiminwidth(400);
    guimaxwidth(400);
    guialign(GUIALIGN_LEFT);
    guitextscale(0.85f);
    guisetnl(0);
    guiindent(24);
    guibutton(0, "Company name");
    guiindent(220);
    guibutton(0, "Employer");
    guiindent(300);
    guibutton(0, "Bid");
    guiindent(350);
    guibutton(0, "Land");
    guisetnl(1);
    guiseparator();
    const bool mine = lnr >= 1 && lnr < MAXLANDS && land[size_t(lnr)].owner == p;
    int32_t rows = 0;
    for (int32_t b = 0; b < MAXMERCBANDS; b++) {
      const bool ok = mercok(b, lnr) == 1;
      const MercBand& m = mercband[size_t(b)];
      if (m.value[MB_LEADER] < 0) continue;
      const int32_t u = com[size_t(m.value[MB_LEADER])].body;
      guibgbox(0.7f, 0.3f, 0.2f, (rows++ / 2) % 2 == 0 ? 0.2f : 0.0f);
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
    guialign(GUIALIGN_CENTRE);
    guitextscale(1);
    guispace(2);
    guibutton(VM_EXIT, "Exit");
    guishortcut(VM_EXIT, KEY_ESCAPE);
    guishortcut(VM_EXIT, KEY_RETURN);
    guisethint("Click a band to see its leader and bid for it");
    guishow(-1, -1);
    const int32_t id = render_frame(1, 0);
    if (id == VM_EXIT || quitprogram) return;
    if (std::abs(id) >= VM_BAND && std::abs(id) < VM_BAND + MAXMERCBANDS) {
      const int32_t b = std::abs(id) - VM_BAND;
      if (mercband[size_t(b)].value[MB_LEADER] >= 0) mercbox(b, p, lnr);
    }
  }
}
