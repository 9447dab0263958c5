// Transfer of magic gems between commanders and the laboratory.
#include "screens/gemtransfer.h"

#include <cstdint>

#include "actions/items.h"
#include "frontend/frontend.h"
#include "gfx/gui.h"
#include "magic/rituals.h"
#include "runtime/fatal.h"
#include "runtime/trs.h"
#include "screens/unitbox.h"
#include "world/gamedata.h"
#include "world/grammar.h"
#include "world/rules.h"

namespace {
constexpr int32_t SPRITEMODE = 4;
constexpr const char* GEMNAMES[GEMKINDS] = {"fire gem",     "air gem",    "water gem",  "earth gem",
                                            "astral pearl", "death gem",  "nature gem", "blood slave"};

bool mayreceive(int32_t c) { return c >= 0 && getcomgems(c) < GEMCARRYLIMIT; }
bool maygive(int32_t c) { return c >= 0 && unit[size_t(com[size_t(c)].body)].homeland != -2; }
int32_t carried(int32_t c, int32_t k) { return c >= 0 ? com[size_t(c)].gems[size_t(k)] : 0; }

// The commander of the player standing in the land, -1 when it is not.
bool present(int32_t c, int32_t player, int32_t lnr) {
  const int32_t b = combody(c);
  return b >= 0 && unit[size_t(b)].hp > 0 && unit[size_t(b)].owner == player && unit[size_t(b)].land == lnr;
}
}  // namespace

GemSides gemsides(int32_t left, int32_t right) {
  bailif(left < 0 || left >= MAXCOMS, "tgems: bad cnr1");
  GemSides s;
  s.left = left;
  const int32_t b = combody(left);
  bailif(b < 0 || unit[size_t(b)].owner < 0, "tgems: bad player");
  s.player = unit[size_t(b)].owner;
  bailif(unit[size_t(b)].land < 0 || unit[size_t(b)].land >= MAXLANDS, "tgems: bad lnr");
  s.lnr = unit[size_t(b)].land;
  s.lab = s.player < MAXPLAYERS && land[size_t(s.lnr)].lab && land[size_t(s.lnr)].fortholder == s.player;
  if (right >= 0 && right != left && present(right, s.player, s.lnr)) s.right = right;
  for (int32_t c = 0; right < 0 && s.right < 0 && c <= highestcom && c < MAXCOMS; c++)
    if (c != left && present(c, s.player, s.lnr)) s.right = c;
  return s;
}

int32_t gemclick(const GemSides& s, int32_t id) {
  const int32_t group = id >= 0 ? id / 100 : -(-id / 100);
  const int32_t k = id >= 0 ? id % 100 : (-id) % 100;
  if (group == 0) return 0;
  static constexpr const char* TAGS[7] = {"tg-300", "tg-200", "tg-100", "", "tg100", "tg200", "tg300"};
  if (group >= -3 && group <= 3) bailif(k > 8, TAGS[group + 3]);
  if (k >= GEMKINDS || s.player < 0 || s.player >= MAXPLAYERS) return 0;
  const int32_t L = s.left, R = s.right;
  const int32_t stock = kingdom[size_t(s.player)].w[KW_GEMS + k];
  const auto tryfrom = [&](int32_t from, int32_t to) { return movegem(s.player, s.lnr, from, to, k) ? 0 : 1; };
  switch (group) {
    case 1:   // increase left
      if (s.lab && stock > 0 && mayreceive(L)) return tryfrom(GEMTREASURY, L);
      if (R >= 0 && carried(R, k) > 0 && mayreceive(L) && maygive(R)) return tryfrom(R, L);
      return 0;
    case -1:   // decrease left
      if (carried(L, k) < 1) return 0;
      if (s.lab) return maygive(L) ? tryfrom(L, GEMTREASURY) : 0;
      if (R >= 0 && mayreceive(R) && maygive(L)) return tryfrom(L, R);
      return 0;
    case 2:
      if (R < 0) return 0;
      if (s.lab && stock > 0 && mayreceive(R)) return tryfrom(GEMTREASURY, R);
      if (carried(L, k) > 0 && mayreceive(R) && maygive(L)) return tryfrom(L, R);
      return 0;
    case -2:
      if (R < 0 || carried(R, k) < 1) return 0;
      if (s.lab) return maygive(R) ? tryfrom(R, GEMTREASURY) : 0;
      if (mayreceive(L) && maygive(R)) return tryfrom(R, L);
      return 0;
    case 3:
      if (!s.lab) return 0;
      if (carried(L, k) > 0) return maygive(L) ? tryfrom(L, GEMTREASURY) : 0;
      if (R >= 0 && carried(R, k) > 0 && maygive(R)) return tryfrom(R, GEMTREASURY);
      return 0;
    default: return 0;
  }
}

namespace {
void portrait(int32_t id, int32_t c, float at) {
  const Monster* t = unittyperec(com[size_t(c)].body);
  guiindent(at);
  guisprite(id, TRS_ARMY, t ? t->sprite : 0, SPRITEMODE);
  guiinfo("%s, (left click) select another commander", comshownname(c));
}

void count(int32_t id, int32_t n, int32_t k, float at) {
  char name[PLURALLEN];
  guiindent(at);
  guibutton(id, "%d", n);
  guiinfo("%s, (left click) increase, (right click) decrease", unittitle(n, GEMNAMES[k], name));
  guioverlay();
  guicolourbox(id, 40, 0, 0, 0, 0);
}

void buildgems(const GemSides& s) {
  guititle("Transfer Magic Resources");
  guicloseid(GEM_EXIT);
  guiminwidth(260);
  guialign(GUIALIGN_LEFT);
  guitextscale(2.0f);
  guisetnl(0);
  portrait(GEM_LEFTPIC, s.left, 45);
  if (s.right >= 0) portrait(GEM_RIGHTPIC, s.right, 105);
  guiindent(165);
  guispritecol(0, TRS_MISC2, SPRITE2_LAB, SPRITEMODE, 1, 1, 1, s.lab ? 1.0f : 0.5f);
  guisetnl(1);
  guispace(2);
  guitextscale(1.0f);
  for (int32_t k = 0; k < GEMKINDS; k++) {
    guisetnl(0);
    guiindent(10);
    guispritescaled(0, TRS_MISC, SPRITE_GEM + k, SPRITEMODE, 0.75f);
    count(GEM_LEFT + k, carried(s.left, k), k, 60);
    if (s.right >= 0) count(GEM_RIGHT + k, carried(s.right, k), k, 120);
    guiindent(180);
    const int32_t stock = kingdom[size_t(s.player)].w[KW_GEMS + k];
    if (s.lab) {
      guibutton(GEM_TREASURY + k, "%d", stock);
      char name[PLURALLEN];
      guiinfo("%s, (left click) increase", unittitle(stock, GEMNAMES[k], name));
    } else {
      guibuttoncol(0, "%d", 0.25f, 0.25f, 0.25f, 1.0f, stock);
    }
    guisetnl(1);
  }
  guialign(GUIALIGN_CENTRE);
  guispace(2);
  guibutton(GEM_EXIT, "Exit");
  guishortcut(GEM_EXIT, KEY_ESCAPE);
}
}  // namespace

void tgems(int32_t left, int32_t right) {
  GemSides s = gemsides(left, right);
  if (s.player >= MAXPLAYERS) return;
  GuiBox box;
  auto build = [&] {
    guiboxbegin();
    buildgems(s);
    guishow(-1, -1);
    guisetfade(0);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (id == GEM_EXIT || quitprogram) break;
    if (id == GEM_LEFTPIC || id == GEM_RIGHTPIC) {
      const int32_t b = chooseitemowner("Select commander", s.player, s.lnr, -1, 0, 0);
      const int32_t c = b >= 0 ? unit2com(b) : -1;
      if (c >= 0 && id == GEM_LEFTPIC && c != s.right) s = gemsides(c, s.right >= 0 ? s.right : -2);
      else if (c >= 0 && id == GEM_RIGHTPIC && c != s.left) s = gemsides(s.left, c);
    } else if (id == -GEM_LEFTPIC || id == -GEM_RIGHTPIC) {
      ustatbox(com[size_t(id == -GEM_LEFTPIC ? s.left : s.right)].body, nullptr, 0, 0);
    } else {
      gemclick(s, id);
    }
  }
  guisetfade(1);
}
