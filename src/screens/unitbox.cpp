// The unit status box: the rules that list what it shows, and the window.
#include "screens/unitbox.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "frontend/frontend.h"
#include "gfx/gui.h"
#include "magic/rituals.h"
#include "runtime/fatal.h"
#include "runtime/trs.h"
#include "world/economy.h"
#include "world/forts.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr int32_t SPRITEMODE = 4;
constexpr int32_t TRS_ITEMS = 2, TRS_ICONS = 10;
constexpr int32_t GEMICON = 7, GEMSPRITE = 85, PATHSPRITE = 98, RESEARCHSPRITE = 82;
constexpr int32_t ICON_AFFLICTION = 0, ICON_SACRED = 17, ICON_BLESSED = 12, ICON_EXPERIENCE = 18, ICON_FLYING = 28,
                  ICON_DISEASED = 125;
constexpr const char* SLOTKIND[6] = {"", "Hand", "Head", "Body", "Feet", "Misc"};
constexpr const char* MAGEWORD[9] = {"fire mage",  "air mage",    "water mage", "earth mage", "astral mage",
                                     "death mage", "nature mage", "blood mage", "priest"};
// Experience that earns each star.
constexpr int32_t STARS[5] = {15, 50, 100, 200, 400};

BoxEntry entry(int32_t id, int32_t file, int32_t sprite, const char* hover, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
BoxEntry entry(int32_t id, int32_t file, int32_t sprite, const char* hover, const char* format, ...) {
  BoxEntry e;
  e.id = id;
  e.file = file;
  e.sprite = sprite;
  snprintf(e.hover, sizeof e.hover, "%s", hover);
  va_list ap;
  va_start(ap, format);
  vsnprintf(e.text, sizeof e.text, format, ap);
  va_end(ap);
  return e;
}

bool validunit(int32_t unr) { return unr >= 0 && unr < MAXUNITS; }
}  // namespace

float unitboxwidth(int32_t len) {
  if (len <= 400) return 450;
  return std::min(450.0f + float(len - 400) / 2, 700.0f);
}

std::vector<BoxEntry> unitboxfigures(int32_t unr) {
  std::vector<BoxEntry> out;
  if (!validunit(unr) || !unittyperec(unr)) return out;
  const Unit& u = unit[size_t(unr)];
  const auto add = [&](int32_t id, const char* format, int32_t a, int32_t b = 0) {
    BoxEntry e;
    e.id = id;
    snprintf(e.text, sizeof e.text, format, a, b);
    out.push_back(e);
  };
  add(UB_FIGURE + 0, "Hit points %d", u.hp);
  add(UB_FIGURE + 2, "Strength %d", getstr(unr));
  add(UB_FIGURE + 5, "Protection %d", getprot(unr));
  add(UB_FIGURE + 3, "Attack skill %d", getatt(unr));
  add(UB_FIGURE + 10, "Morale %d", getmaxmorale(unr));
  add(UB_FIGURE + 9, "Defence skill %d", getdef(unr, 2));
  add(UB_FIGURE + 4, "Magic resistance %d", getmr(unr));
  add(UB_FIGURE + 8, "Precision %d", getprec(unr));
  add(UB_FIGURE + 6, "Encumbrance %d", getenc(unr, 0));
  add(UB_FIGURE + 1, "Move %d / %d", getmapmove(unr), getmaxap(unr, 1));
  add(UB_FIGURE + 7, "Fatigue %d", u.fatigue);
  const int32_t c = u.comnr;
  if (c >= 0 && combody(c) == unr) {
    int32_t undead = 0, magic = 0;
    add(UB_FIGURE + 11, "Leadership %d", maxcomunits(c, &undead, &magic));
  }
  return out;
}

std::vector<BoxEntry> unitboxslots(int32_t cnr) {
  std::vector<BoxEntry> out;
  const int32_t b = combody(cnr);
  if (b < 0) return out;
  for (int32_t s = 0; s < 8; s++) {
    const int32_t kind = unitslotkind(b, s);
    const char* kindname = kind >= 1 && kind <= 5 ? SLOTKIND[kind] : "Slot";
    const int32_t i = com[size_t(cnr)].item[size_t(s)];
    if (validitem(i)) {
      BoxEntry e = entry(UB_ITEM + s, TRS_ITEMS, items[size_t(i)].picture, "", "%s", items[size_t(i)].name);
      snprintf(e.hover, sizeof e.hover, "%s, %s", kindname, items[size_t(i)].name);
      out.push_back(e);
    } else if (kind > 0) {
      BoxEntry e = entry(UB_EMPTYSLOT + s, TRS_MISC2, kind, "", "%s", "");
      snprintf(e.hover, sizeof e.hover, "%s, no magic item", kindname);
      out.push_back(e);
    }
  }
  return out;
}

std::vector<int32_t> unitboxgems(int32_t cnr) {
  std::vector<int32_t> out;
  if (combody(cnr) < 0) return out;
  for (int32_t g = 0; g < 9; g++)
    for (int32_t n = 0; n < com[size_t(cnr)].gems[size_t(g)] && int32_t(out.size()) < UB_MAXGEMSPRITES; n++)
      out.push_back(g);
  return out;
}

std::vector<BoxEntry> unitboxmagic(int32_t cnr) {
  std::vector<BoxEntry> out;
  if (combody(cnr) < 0) return out;
  const int32_t research = comresearch(cnr, 0);
  if (!ismageorpriest(cnr) && research < 1) return out;
  for (int32_t p = 0; p < 9; p++) {
    const int32_t level = com[size_t(cnr)].path[size_t(p)];
    if (level < 1) continue;
    BoxEntry e = entry(0, TRS_MISC, PATHSPRITE + p, "", "%d ", level);
    snprintf(e.hover, sizeof e.hover, "%s level %d", MAGEWORD[p], level);
    out.push_back(e);
  }
  if (research > 0) {
    BoxEntry e = entry(0, TRS_MISC, RESEARCHSPRITE, "", "%d ", research);
    snprintf(e.hover, sizeof e.hover, "Research ability: %d", research);
    out.push_back(e);
  }
  return out;
}

std::vector<BoxEntry> unitboxicons(int32_t unr) {
  std::vector<BoxEntry> out;
  if (!validunit(unr) || !unittyperec(unr)) return out;
  const Unit& u = unit[size_t(unr)];
  const auto icon = [&](int32_t kind, int32_t copies, const char* hover) {
    for (int32_t n = 0; n < copies; n++) out.push_back(entry(UB_ICON + kind, TRS_ICONS, kind, hover, "%s", ""));
  };
  if (u.flags[0] & AF_DISEASED) icon(ICON_DISEASED, 1, "Diseased");
  if (u.flags[1] & ST_BLESSED) icon(ICON_BLESSED, 1, "Blessed");
  else if (issacred(unr)) icon(ICON_SACRED, 1, "Sacred");
  if ((unittypeflags(unr) & MF_FLYING) || (u.flags[1] & ST_FLYING)) icon(ICON_FLYING, 1, "Flying");
  icon(ICON_AFFLICTION, nbrofafflictions(unr), "Affliction");
  icon(ICON_EXPERIENCE, int32_t(std::count_if(std::begin(STARS), std::end(STARS), [&](int32_t s) { return u.exp >= s; })),
       "Experience");
  return out;
}

int32_t iconstep(int32_t count) { return count * 30 > 420 ? 420 / count : 30; }

std::vector<BoxEntry> unitboxweapons(int32_t unr) {
  std::vector<BoxEntry> out;
  if (!validunit(unr) || !unittyperec(unr)) return out;
  int32_t missile = 0;
  for (int32_t s = 0; s < 10; s++) {
    int32_t w = getnthweapon(unr, s);
    if (!validweapon(w)) w = getmissileweapon(unr, missile++);
    if (!validweapon(w)) break;
    out.push_back(entry(UB_WEAPON + w, 0, -1, "", "%s", weapons[size_t(w)].name));
  }
  return out;
}

std::vector<BoxEntry> unitboxarmors(int32_t unr) {
  std::vector<BoxEntry> out;
  if (!validunit(unr) || !unittyperec(unr)) return out;
  for (int32_t s = 0; s < 10; s++) {
    const int32_t a = getarmor(unr, s);
    if (!validarmor(a)) break;
    out.push_back(entry(UB_ARMOR + a, 0, -1, "", "%s", armors[size_t(a)].name));
  }
  return out;
}

void homegarrison(int32_t unr, char* out, int32_t size) {
  out[0] = 0;
  if (!validunit(unr)) return;
  const Unit& u = unit[size_t(unr)];
  if (u.comnr >= 0 && combody(u.comnr) == unr) return;
  if (u.homeland > 0 && u.homeland < MAXLANDS) snprintf(out, size_t(size), "home garrison %s", land[size_t(u.homeland)].name);
}

// ---------------------------------------------------------------- the window

namespace {
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

void buildunitbox(int32_t unr, const int32_t* sel, int32_t mode, Pictures pics) {
  const Unit& u = unit[size_t(unr)];
  const Monster* t = unittyperec(unr);
  const int32_t c = u.comnr >= 0 && combody(u.comnr) == unr ? u.comnr : -1;
  const char* desc = descrtextof(t ? findmondescr(u.type) : 0);
  const float width = unitboxwidth(int32_t(strlen(desc)));
  guititle("%s", (u.flags[1] & ST_PROPHET) ? "Prophet" : t ? t->name : "");
  guicloseid(UB_EXIT);
  guiminwidth(width);
  guimaxwidth(width);
  guimaxheight(495);
  guialign(GUIALIGN_LEFT);
  // Header: the unit's picture at twice the card size and the commander's
  // name, over a tinted box.
  guibgbox(0.7f, 0.3f, 0.2f, 0.2f);
  guitextscale(1.0f);
  guitextscale(2.0f);
  if (t) guisprite50(0, TRS_ARMY, t->sprite, SPRITEMODE);
  guitextscale(1.0f);
  if (mode == 0 && c >= 0) {
    guitextscale(1.125f);
    guibutton(0, "%s", com[size_t(c)].name);
    guitextscale(1.0f);
  }
  guispace(2);
  guibgbox(0, 0, 0, 0);
  char line[120];
  homegarrison(unr, line, sizeof line);
  if (line[0]) {
    guitextscale(0.75f);
    guibutton(0, "%s", line);
  }
  // The figures in two columns.
  guitextscale(0.8f);
  guispace(2);
  const std::vector<BoxEntry> figures = unitboxfigures(unr);
  for (size_t n = 0; n < figures.size(); n += 2) {
    guisetnl(0);
    guibutton(figures[n].id, "%s", figures[n].text);
    if (n + 1 < figures.size()) {
      guiindent(170);
      guibutton(figures[n + 1].id, "%s", figures[n + 1].text);
    }
    guisetnl(1);
  }
  guispace(2);
  guiscrollstart();
  if (c >= 0) {
    // Items and gems.
    guitextscale(1.25f);
    guisetnl(0);
    for (const BoxEntry& e : unitboxslots(c)) {
      if (e.id >= UB_ITEM && e.id < UB_EMPTYSLOT && !pics.items) {
        guitextscale(0.75f);
        guibutton(e.id, "%s  ", e.text);
        guitextscale(1.25f);
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
      guispritescaled(0, TRS_MISC, GEMSPRITE + g, SPRITEMODE, 0.5f);
      at = 0.69f;
    }
    guisetnl(1);
    guispace(1);
    // Magic paths and research.
    const std::vector<BoxEntry> magic = unitboxmagic(c);
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
  // Afflictions, states and experience.
  const std::vector<BoxEntry> icons = unitboxicons(unr);
  if (!icons.empty() && !pics.icons) {
    guitextscale(0.95f);
    iconwords(icons);
  } else if (!icons.empty()) {
    guitextscale(0.8f);
    guisetnl(0);
    const float step = float(iconstep(int32_t(icons.size())));
    float x = 0;
    for (size_t n = 0; n < icons.size(); n++) {
      guiindent(x);
      guisprite30(icons[n].id, icons[n].file, icons[n].sprite, SPRITEMODE);
      guiinfo("%s", icons[n].hover);
      x += n + 1 < icons.size() && icons[n + 1].id == icons[n].id ? 10 : step;
    }
    guisetnl(1);
  }
  // Description, weapons and armour.
  guitextscale(0.7f);
  guitextlong(0, desc);
  guitextscale(0.95f);
  namelist("Weapons: ", unitboxweapons(unr));
  namelist("Armor: ", unitboxarmors(unr));
  guiscrollstart();
  // The selection strip.
  if (sel) {
    guitextscale(2.0f);
    guisetnl(0);
    for (int32_t k = 0; k < UB_SELECTIONS && sel[k] >= 0; k++) {
      const Monster* st = unittyperec(sel[k]);
      if (!st) continue;
      guiindent(float(50 * k));
      guisprite50(UB_SELECTION + k, TRS_ARMY, st->sprite, SPRITEMODE);
    }
    guisetnl(1);
  }
  guitextscale(1.0f);
  guispace(2);
  guialign(GUIALIGN_CENTRE);
  guibutton(UB_EXIT, "Exit");
  guishortcut(UB_EXIT, KEY_RETURN);
  guishortcut(UB_EXIT, KEY_ESCAPE);
  guishortcut(UB_EXIT, KEY_SPACE);
}
}  // namespace

int32_t ustatbox(int32_t unr, const int32_t* sel, int32_t mayedit, int32_t mode) {
  (void)mayedit;   // the actions that change the world are not offered yet
  bailif(unr < 0 || unr >= MAXUNITS, "ustatbox: bad unr");
  if (sel)
    for (int32_t k = 0; k < UB_SELECTIONS && sel[k] >= 0; k++) bailif(sel[k] >= MAXUNITS, "ustatbox: bad selection");
  Pictures pics;
  pics.items = loadtrsfile(TRS_ITEMS);
  pics.icons = loadtrsfile(TRS_ICONS);
  int32_t shown = unr;
  for (;;) {
    guibegin();
    buildunitbox(shown, sel, mode, pics);
    guishow(-1, -1);
    const int32_t id = render_frame(1, 0);
    if (id == UB_EXIT || id == UB_CLOSE || quitprogram) {
      guisetfade(1);
      return id == UB_EXIT ? UB_EXIT : UB_CLOSE;
    }
    if (sel && id >= UB_SELECTION && id < UB_SELECTION + UB_SELECTIONS && sel[id - UB_SELECTION] >= 0)
      shown = sel[id - UB_SELECTION];
  }
}
