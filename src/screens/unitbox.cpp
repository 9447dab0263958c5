// The unit status box: the window that shows what unitboxrules.cpp lists
// of a unit or commander, and what its clicks open.
#include "screens/unitbox.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "actions/items.h"
#include "actions/names.h"
#include "frontend/frontend.h"
#include "gfx/dialogs.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "magic/rituals.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "runtime/options.h"
#include "runtime/trs.h"
#include "screens/abilitybox.h"
#include "screens/equipbox.h"
#include "screens/gemtransfer.h"
#include "screens/infoboxes.h"
#include "screens/lab.h"
#include "screens/statbox.h"
#include "world/economy.h"
#include "world/forts.h"
#include "world/gamedata.h"
#include "world/grammar.h"
#include "world/hoststate.h"
#include "world/rules.h"
#include "world/scores.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr int32_t SPRITEMODE = 4;
constexpr int32_t GEMICON = 7;

// A list of names on rows, a row ending when the names' width passes 22
// text units.
void namelist(const char* head, const std::vector<BoxEntry>& names) {
  if (std::none_of(names.begin(), names.end(), [](const BoxEntry& e) { return e.text[0] != 0; })) return;
  guisetnl(0);
  guibuttonsmall(0, "%s", head);
  float run = 0;
  for (size_t n = 0; n < names.size(); n++) {
    if (!names[n].text[0]) continue;
    run += float(strlen(names[n].text)) * 0.5f;
    if (run > 22) {
      guisetnl(1);
      guisetnl(0);
      run = float(strlen(names[n].text)) * 0.5f;
    }
    guibuttonsmall(names[n].id, "%s%s", names[n].text, n + 1 < names.size() ? ", " : "");
  }
  guisetnl(1);
}

// Whether the item and icon pictures could be loaded: without them the
// items and icons are shown as words, so nothing of the unit goes unseen.
struct Pictures {
  bool items = false, icons = false;
};

// The icons as words, a run of copies as one word with its count.
void iconwords(const std::vector<BoxEntry>& icons) {
  guisetnl(0);
  for (size_t n = 0; n < icons.size();) {
    size_t run = 1;
    while (n + run < icons.size() && icons[n + run].id == icons[n].id) run++;
    if (run > 1) guibuttonsmall(icons[n].id, "%s (%d)  ", icons[n].hover, int32_t(run));
    else guibuttonsmall(icons[n].id, "%s  ", icons[n].hover);
    n += run;
  }
  guisetnl(1);
}

// The title and the header: the unit's picture at twice the card size and
// the commander's name over a tinted box, then the home garrison and, for a
// type shown from a list (mode 1, 2), what it costs.
void unitboxheader(int32_t unr, int32_t c, int32_t mode, float width) {
  const Unit& u = unit[size_t(unr)];
  const Monster* t = unittyperec(unr);
  guititle("%s", (u.flags[1] & ST_PROPHET) ? "Prophet" : t ? t->name : "");
  guicloseid(UB_EXIT);
  guiminwidth(width);
  guimaxwidth(width);
  guimaxheight(495);
  guialign(GUIALIGN_LEFT);
  guibgbox(0.7f, 0.3f, 0.2f, 0.2f);
  guisetnl(0);
  if (mode == 0 && c >= 0) {
    guitextscale(1.125f);
    guibutton(0, "%s", com[size_t(c)].name);
  }
  guiindent(width - 130);
  guitextscale(3.5f);
  if (t) guisprite50(0, TRS_ARMY, t->sprite, SPRITEMODE);
  guisetnl(1);
  guitextscale(1.0f);
  guibgbox(0, 0, 0, 0);
  char line[120];
  homegarrison(unr, line, sizeof line);
  if (line[0]) {
    guitextscale(0.75f);
    guibutton(0, "%s", line);
  }
  guitextscale(0.8f);
  if (t && mode == 1) {
    guisetnl(0);
    guibutton(0, "Gold %d", t->gcost);
    guiindent(170);
    guibutton(0, "Resources %d", unitrescost(u.type));
    guisetnl(1);
  } else if (t && mode == 2) {
    guibutton(0, "Cost %d", t->gcost);
  }
}

// The figures in two columns; a click on one opens its modifiers.
void figurecolumns(int32_t unr) {
  guitextscale(0.8f);
  guispace(2);
  const std::vector<BoxEntry> figures = unitboxfigures(unr);
  for (size_t n = 0; n < figures.size(); n += 2) {
    guisetnl(0);
    guibutton(figures[n].id, "%s", figures[n].text);
    guiinfo("Click for the modifiers");
    if (n + 1 < figures.size()) {
      guiindent(170);
      guibutton(figures[n + 1].id, "%s", figures[n + 1].text);
      guiinfo("Click for the modifiers");
    }
    guisetnl(1);
  }
  guispace(2);
}

// A commander's item slots (items as words without their pictures, empty
// places dimmed) and the gems carried over the gem icon.
void itemsandgems(int32_t c, Pictures pics) {
  guitextscale(1.25f);
  guisetnl(0);
  for (const BoxEntry& e : unitboxslots(c)) {
    if (e.id >= UB_ITEM && e.id < UB_EMPTYSLOT && !pics.items) {
      guitextscale(0.75f);
      guibutton(e.id, "%s  ", e.text);
      guitextscale(1.25f);
    } else if (e.id >= UB_EMPTYSLOT) {
      guisprite40midcol(e.id, e.file, e.sprite, SPRITEMODE, 1, 1, 1, 0.55f);
    } else {
      guisprite40mid(e.id, e.file, e.sprite, SPRITEMODE);
    }
    guiinfo("%s", e.hover);
  }
  guisprite40mid(UB_GEMS, TRS_MISC2, GEMICON, SPRITEMODE);
  guiinfo("Personal magic gems");
  float at = 1.0f;
  for (int32_t g : unitboxgems(c)) {
    guioverlayat(at);
    guispritescaled(0, TRS_MISC, SPRITE_GEM + g, SPRITEMODE, 0.5f);
    at = 0.69f;
  }
  guisetnl(1);
  guispace(1);
}

// A commander's magic paths, random magic and research.
void magicrow(int32_t c, int32_t mode) {
  const std::vector<BoxEntry> magic = unitboxmagic(c, mode);
  if (!magic.empty()) {
    guitextscale(0.75f);
    guisetnl(0);
    for (const BoxEntry& e : magic) {
      guisprite(e.id, e.file, e.sprite, SPRITEMODE);
      guiinfo("%s", e.hover);
      guibutton(e.id, "%s", e.text);
      guiinfo("%s", e.hover);
    }
    guisetnl(1);
  }
  guispace(1);
}

// Afflictions, abilities and experience: a row of pictures, copies of one
// close together, or words without the pictures.
void iconrow(int32_t unr, Pictures pics) {
  const std::vector<BoxEntry> icons = unitboxicons(unr);
  if (icons.empty()) return;
  if (!pics.icons) {
    guitextscale(0.95f);
    iconwords(icons);
    return;
  }
  guitextscale(0.8f);
  guisetnl(0);
  const float step = float(iconstep(int32_t(icons.size())));
  float x = 16;
  for (size_t n = 0; n < icons.size(); n++) {
    guiindent(x);
    guisprite30(icons[n].id, icons[n].file, icons[n].sprite, SPRITEMODE);
    guiinfo("%s", icons[n].hover);
    x += n + 1 < icons.size() && icons[n + 1].id == icons[n].id ? 10 : step;
  }
  guisetnl(1);
}

// The god's claim, the description, for a god's design its veyrance and
// the cost of new paths, then the weapons and armour.
void descriptionpanel(int32_t unr, int32_t c, int32_t mode, const char* desc) {
  const Unit& u = unit[size_t(unr)];
  if ((u.flags[2] & F3_PRETENDER) && u.owner >= 0 && u.owner < MAXPLAYERS && c >= 0) {
    guitextscale(0.7f);
    char claim[400];
    snprintf(claim, sizeof claim, "%s, %s is a Pretender %s trying to banish all other Pretenders and become a true God.",
             com[size_t(c)].name, veyrec[size_t(u.owner)].text, (unittypeflags(unr) & MF_FEMALE) ? "Goddess" : "God");
    guitextlong(0, claim);
  }
  guitextscale(0.7f);
  guitextlong(0, desc);
  if (mode == 2) {
    const int32_t vey = gettypeability(u.type, AB_STARTVEY, -1), cost = gettypeability(u.type, AB_PATHCOST, -1);
    guibutton(0, "Veyrance: %d", vey > 0 ? vey : 1);
    guibutton(0, "New magic paths cost: %d", cost > 9 ? cost : 10);
  }
  guitextscale(0.95f);
  namelist("Weapons: ", unitboxweapons(unr));
  namelist("Armor: ", unitboxarmors(unr));
}

// The selection strip: each selected unit with bars for its wounds,
// fatigue and poison; a click shows that unit.
void selectionstrip(const int32_t* sel) {
  guitextscale(2.0f);
  guisetnl(0);
  for (int32_t k = 0; k < UB_SELECTIONS && sel[k] >= 0; k++) {
    const Monster* st = unittyperec(sel[k]);
    if (!st) continue;
    guiindent(float(50 * k));
    guisprite50(UB_SELECTION + k, TRS_ARMY, st->sprite, SPRITEMODE);
    const Unit& su = unit[size_t(sel[k])];
    const int32_t maxhp = getmaxhp(sel[k]);
    guiindent(float(50 * k + 10));
    if (maxhp > su.hp && maxhp > 0) guihline(0, float((maxhp - su.hp) * 30 / maxhp), -0.15f, 1, 0, 0, 0.5f);
    if (su.fatigue > 9) guihline(0, float(std::min<int32_t>(su.fatigue, 100) * 30 / 100), -0.2f, 0, 0, 1, 0.5f);
    if (su.poison > 0) guihline(0, float(std::min(su.poison * 30 / 20, 30)), -0.25f, 0, 1, 0, 0.5f);
  }
  guisetnl(1);
}

// Exit, and the keys of the box.
void exitrow() {
  guitextscale(1.0f);
  guispace(2);
  guialign(GUIALIGN_CENTRE);
  guibutton(UB_EXIT, "Exit");
  guishortcut(UB_EXIT, KEY_RETURN);
  guishortcut(UB_EXIT, KEY_ESCAPE);
  guishortcut(UB_EXIT, KEY_SPACE);
  guishortcut(UB_RENAME, 'r');
  guishortcut(UB_TOLAB, 'l');
  guishortcut(UB_LISTING, 'I');
}

void buildunitbox(int32_t unr, const int32_t* sel, int32_t mode, Pictures pics) {
  const Unit& u = unit[size_t(unr)];
  const int32_t c = u.comnr >= 0 && combody(u.comnr) == unr ? u.comnr : -1;
  const char* desc = descrtextof(unittyperec(unr) ? findmondescr(u.type) : 0);
  unitboxheader(unr, c, mode, unitboxwidth(int32_t(strlen(desc))));
  figurecolumns(unr);
  guiscrollstart();
  if (c >= 0) {
    itemsandgems(c, pics);
    magicrow(c, mode);
  }
  iconrow(unr, pics);
  descriptionpanel(unr, c, mode, desc);
  if (sel) selectionstrip(sel);
  exitrow();
}

// The numbers of the unit's type, weapons and armours, for modders.
void listingbox(int32_t unr) {
  const Monster* t = unittyperec(unr);
  if (!t) return;
  std::string text;
  char row[120];
  snprintf(row, sizeof row, "Monster number: %d\n", unit[size_t(unr)].type);
  text += row;
  for (int32_t n = 0; n < 10; n++)
    for (int32_t w : {getnthweapon(unr, n), getmissileweapon(unr, n)})
      if (validweapon(w)) {
        snprintf(row, sizeof row, "%s, weapon nbr %d\n", weapons[size_t(w)].name, w);
        text += row;
      }
  for (int32_t n = 0; n < 10; n++)
    if (const int32_t a = getarmor(unr, n); validarmor(a)) {
      snprintf(row, sizeof row, "%s, armor nbr %d\n", armors[size_t(a)].name, a);
      text += row;
    }
  numberlisting(t->name, text);
}

// The slot under the pointer when it is over one of the item row's items.
int32_t hoveredslot() {
  const int32_t id = guihoverid();
  return id >= UB_ITEM && id < UB_ITEM + 8 ? id - UB_ITEM : -1;
}

void rename(int32_t c) {
  if (Refusal r = canrename(c)) {
    msgbox("%s", r.why.c_str());
    return;
  }
  char name[36] = {};
  if (inputname("Rename commander to", name, sizeof name - 1, 1, "At most 35 characters")) renamecommander(c, name);
}

void transfer(int32_t c, int32_t slot, int32_t tolab) {
  if (Refusal r = canmoveitem(c, slot, tolab)) msgbox("%s", r.why.c_str());
  else moveitem(c, slot, tolab);
}
}  // namespace

int32_t ustatbox(int32_t unr, const int32_t* sel, int32_t mayedit, int32_t mode) {
  bailif(unr < 0 || unr >= MAXUNITS, "ustatbox: bad unr");
  if (sel)
    for (int32_t k = 0; k < UB_SELECTIONS && sel[k] >= 0; k++) bailif(sel[k] >= MAXUNITS, "ustatbox: bad selection");
  Pictures pics;
  pics.items = loadtrsfile(TRS_ITEMS);
  pics.icons = loadtrsfile(TRS_ICONS);
  int32_t shown = unr;
  // A unit taken from the selection opens at the top of its list, also
  // where a unit of its type (whose box has the same title, under which
  // the toolkit keeps the scroll) was scrolled before.
  bool fromtop = false;
  GuiBox box;
  for (;;) {
    if (!unittyperec(shown)) return UB_CLOSE;
    const Unit& u = unit[size_t(shown)];
    const int32_t c = u.comnr >= 0 && combody(u.comnr) == shown ? u.comnr : -1;
    guiboxbegin();
    buildunitbox(shown, sel, mode, pics);
    guiplainclickid(UB_PLAINTEXT);
    if (fromtop) guisetscroll(0);
    fromtop = false;
    guishow(-1, -1);
    guisetfade(0);
    const int32_t id = render_frame(true, Scene::none);
    const int32_t slot = hoveredslot();
    if (id == UB_EXIT || id == UB_PLAINTEXT || quitprogram) {
      guisetfade(1);
      return id == UB_EXIT ? UB_EXIT : UB_CLOSE;
    }
    // Nothing chosen: the wheel or the scroll bar moved the list, which is
    // laid out anew.
    if (id == 0) continue;
    const int32_t a = std::abs(id);
    if (id == UB_GEMS && mayedit && c >= 0) tgems(c, -1);
    else if (a == UB_RANDOMMAGIC) randmagicbox(u.type);
    else if (a >= UB_FIGURE && a < UB_FIGURE + 20) unitdescrbox(shown, u.type, a - UB_FIGURE);
    else if (sel && id >= UB_SELECTION && id < UB_SELECTION + UB_SELECTIONS && sel[id - UB_SELECTION] >= 0) {
      shown = sel[id - UB_SELECTION];
      fromtop = true;
    } else if (id >= UB_ITEM && id < UB_ITEM + 8 && mayedit && c >= 0) transfer(c, id - UB_ITEM, 0);
    else if (id <= -UB_ITEM && id > -UB_ITEM - 8 && c >= 0) {
      const int32_t item = com[size_t(c)].item[size_t(-id - UB_ITEM)];
      if (validitem(item)) mibox(item);
    } else if (id >= UB_EMPTYSLOT && id < UB_EMPTYSLOT + 8 && mayedit && c >= 0) {
      // An empty place: the nation's item treasury, where its laboratory stands here.
      const int32_t l = u.land;
      if (l > 0 && l < MAXLANDS && land[size_t(l)].lab && land[size_t(l)].fortholder == u.owner) viewmit(u.owner, l, c);
    } else if (id == UB_TOLAB && mayedit && c >= 0 && slot >= 0) transfer(c, slot, 1);
    else if (id == UB_LISTING) listingbox(shown);
    else if (id == UB_RENAME && mayedit && c >= 0) rename(c);
    else if (a >= UB_ICON && a < UB_ICON + 200) afflictionbox(shown, a - UB_ICON);
    else if (a >= UB_WEAPON && a < UB_ARMOR) weaponbox(a - UB_WEAPON);
    else if (a >= UB_ARMOR && a < UB_ARMOR + 1000) armorbox(a - UB_ARMOR);
  }
}

void unitfatalbox(int32_t unr) {
  if (textonly || !windowopen() || unr < 0 || unr >= MAXUNITS) return;
  ustatbox(unr, nullptr, 0, 0);
}

void typestatbox(int32_t type, int32_t design) {
  if (!typerec(type)) return;
  const int32_t u = newunit(type, INDEPENDENTS, 1);
  if (u < 0) return;
  ustatbox(u, nullptr, 0, design ? 2 : 1);
  unit[size_t(u)].hp = 0;
  setunitland(u, -1);
}

void comtypestatbox(int32_t type) {
  if (!typerec(type)) return;
  const int32_t c = newcom(type, INDEPENDENTS);
  if (c < 0) return;
  const int32_t b = combody(c);
  // Freed directly afterwards: the box changes nothing, and no death of a
  // commander that never was may follow.
  if (b >= 0) ustatbox(b, nullptr, 0, 1);
  if (b >= 0) {
    unit[size_t(b)].hp = 0;
    setunitland(b, -1);
    unit[size_t(b)].comnr = -1;
  }
  com[size_t(c)] = emptycommander();
}
