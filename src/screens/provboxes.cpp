// The province boxes of the turn screen: the Veyrance Info window with the
// effect of each magic scale, and the Tax Rate window.
#include <cstdio>
#include <cstdlib>

#include "gfx/gui.h"
#include "runtime/trs.h"
#include "rule_ids.h"
#include "runtime/util.h"
#include "screens/orders.h"
#include "world/economy.h"
#include "world/gamedata.h"
#include "world/provinfo.h"
#include "world/ruleconstants.h"
#include "world/world.h"

namespace {
constexpr int32_t ID_EXIT = 999, ID_TAXDOWN = 1, ID_TAXUP = 2, ID_TAXAUTO = 3;
// misc.trs: two pictures per scale from 136, the second-named side first.
}  // namespace

void veyeffecttext(int32_t player, int32_t scale, int32_t v, char* buf) {
  const size_t n = EFFECTTEXTLEN;
  buf[0] = 0;
  if (scale == SC_COLD) {
    const int32_t d = std::abs(getnatcoldpref(player) - v);
    if (d != 0) snprintf(buf, n, "Income %d%%, supplies %d%%", -d * coldincome, -d * coldsupply);
    return;
  }
  if (v == 0) return;
  const bool low = v < 1;
  switch (scale) {
    case SC_TURMOIL:
      snprintf(buf, n, low ? "Income +%d%%, random events %d%%" : "Income %d%%, random events +%d%%", -v * turmoilincome,
               v * turmoilevents);
      break;
    case SC_SLOTH:
      snprintf(buf, n, low ? "Income +%d%%, resources +%d%%" : "Income %d%%, resources %d%%", -v * slothincome,
               -v * slothresources);
      break;
    case SC_DEATH:
      if (getnatattr(player, NA_NODEATHSUPPLY) > 0)
        snprintf(buf, n, low ? "Income +%d%%, growth +0.%d%%" : "Income %d%%, growth -0.%d%%", -v * deathincome,
                 low ? -v * deathdeath : v * deathdeath);
      else
        snprintf(buf, n,
                 low ? "Income +%d%%, supplies +%d%%, growth +0.%d%%" : "Income %d%%, supplies %d%%, growth -0.%d%%",
                 -v * deathincome, -v * deathsupply, low ? -v * deathdeath : v * deathdeath);
      break;
    case SC_MISFORTUNE:
      snprintf(buf, n, low ? "Random events +%d%%, event is good +%d%%" : "Random events +%d%%, event is good %d%%",
               low ? -v * luckevents : v * luckevents, -v * misfortune);
      break;
    case SC_DRAIN:
      snprintf(buf, n, low ? "Research +%d RP" : "Research %d RP", scaleresearchmod(v));
      break;
    default:
      snprintf(buf, n, "Unknown effect");
      break;
  }
}

void buildveyinfo(int32_t player, int32_t lnr) {
  const Land& l = land[size_t(lnr)];
  guititle("Veyrance Info");
  guicloseid(ID_EXIT);
  guiminwidth(325);
  guimaxwidth(325);
  guimaxheight(325);
  {
    GuiTextScale body(0.85f);
    if (!(infolevel(lnr, player, 0) & INFO_VEYRANCE)) {
      guibutton(0, "Nothing is known about the Veyrance in this province");
    } else {
      if (l.veystr == 0) guibutton(0, " ");
      else if (l.veyowner == player)
        guibutton(0, "This province is under the influence of %s's Veyrance.", kingdom[size_t(player)].godname);
      else guibutton(0, "This province is under the influence of an enemy Pretender God's Veyrance");
      guibutton(0, "Veyrance strength: %d", l.veystr);
      guialign(GUIALIGN_LEFT);
      char effect[EFFECTTEXTLEN];
      for (int32_t s = 0; s < 6; s++) {
        const int32_t v = imax(-3, imin(3, l.scale[s]));
        guibgbox(0.5f, 0.5f, 0.5f, s % 2 == 0 ? 0.25f : 0.0f);
        guisetnl(0);
        guisprite40mid(0, TRS_MISC, SPRITE_SCALE + 2 * s + (v < 0 ? 0 : 1), 1);
        veyeffecttext(player, s, l.scale[s], effect);
        {
          GuiTextScale rows(1.3f);   // the two rows are drawn at half of it
          guirows(0, 0, "%s: %d\n%s", scalenames[s][v < 0 ? 1 : 0], std::abs(l.scale[s]), effect);
        }
        guisetnl(1);
      }
      guibgbox(0, 0, 0, 0);
      guialign(GUIALIGN_CENTRE);
    }
    guispace(3);
  }
  guiexitbutton(ID_EXIT, "Exit");
}

void veyinfo(int32_t player, int32_t lnr) {
  if (lnr < 1 || lnr >= MAXLANDS) return;
  auto build = [&] {
    guibegin();
    buildveyinfo(player, lnr);
    guishow(-1, -1);
  };
  while (guimodal(build) != ID_EXIT) {}
}

void taxstep(int32_t lnr, int32_t step) {
  Land& l = land[size_t(lnr)];
  l.tax = int16_t(imax(0, imin(200, l.tax + 10 * step)));
  l.reserved = int16_t(l.reserved & ~LF_AUTOTAX);
}

void settaxauto(int32_t lnr, int32_t on) {
  Land& l = land[size_t(lnr)];
  l.tax = int16_t(unrestpercent(lnr));
  l.reserved = int16_t(on ? (l.reserved | LF_AUTOTAX) : (l.reserved & ~LF_AUTOTAX));
}

void taxbox(int32_t player, int32_t lnr) {
  if (lnr < 1 || lnr > 1504) return;
  int32_t automatic = 0;
  auto build = [&] {
    Land& l = land[size_t(lnr)];
    automatic = (l.reserved & LF_AUTOTAX) ? 1 : 0;
    guibegin();
    guititle("Tax Rate");
    guicloseid(ID_EXIT);
    guiminwidth(300);
    guimaxwidth(300);
    guimaxheight(300);
    guibutton(0, "Income for %s is %d gold per turn", l.name, getincome(lnr, player));
    guispace(2);
    guisetnl(0);
    guibutton(ID_TAXDOWN, " < ");
    guiinfo("Lower the tax by 10%%");
    guibutton(0, "%d ", l.tax);
    guibutton(ID_TAXUP, " > ");
    guiinfo("Raise the tax by 10%%");
    guisetnl(1);
    guispace(2);
    {
      GuiTextScale small(0.7f);
      guitoggle(ID_TAXAUTO, &automatic, "Set tax rate automatically for this province");
      guiinfo("Enable this to have your trusted servants set a tax rate for good income and low unrest");
    }
    guispace(3);
    guiexitbutton(ID_EXIT, "Ok");
    guishortcut(ID_TAXDOWN, KEY_DOWN);
    guishortcut(ID_TAXUP, KEY_UP);
    guishow(-1, -1);
  };
  for (;;) {
    switch (guimodal(build)) {
      case ID_EXIT: return;
      case ID_TAXDOWN: taxstep(lnr, -1); break;
      case ID_TAXUP: taxstep(lnr, 1); break;
      case ID_TAXAUTO: settaxauto(lnr, automatic); break;
      default: break;
    }
  }
}
