// Spell choice and spell information: the list a mage picks a battle spell
// or a ritual from, the information box of a spell, every spell of a magic
// school, the filter keys shared by the lists, the choice of a world-wide
// enchantment and the row of the nation's gems.
#include <cstdio>
#include <cstring>

#include "battle/battle.h"
#include "gfx/dialogs.h"
#include "gfx/gui.h"
#include "magic/rituals.h"
#include "runtime/fatal.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "screens/orders.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr int32_t ID_FILTER = 50;      // + path 0..7
constexpr int32_t ID_ALLPATHS = 60, ID_FILTERHELP = 61;
constexpr int32_t ID_SPELL = 100;      // + spell
constexpr int32_t ID_ITEMSPELL = 10000;   // + spell
constexpr int32_t ID_CHOICEEXIT = 99;
// A left click on a list's or a box's plain text (a header, a line, the
// margin, the title bar): it leaves as Exit does.
constexpr int32_t ID_PLAINTEXT = 2;
constexpr int32_t NATIONRESTRICTION = 278;         // spell attribute: kept for nation value - 100
constexpr float HEADR = 0.7f, HEADG = 0.3f, HEADB = 0.2f;
constexpr char filterkeys[8] = {'f', 'a', 'w', 'e', 's', 'd', 'n', 'b'};
constexpr const char* filterpaths[8] = {"fire", "air", "water", "earth", "astral", "death", "nature", "blood"};

bool validspell(int32_t s) { return s >= 0 && s < MAXSPELLS; }
bool isritualspell(const Spell& s) { return s.effect > 9999; }
int32_t baseeffect(const Spell& s) { return s.effect >= 1000 && s.effect < 10000 ? s.effect % 1000 : s.effect; }
int32_t ownerofcom(int32_t cnr) { return unit[size_t(com[size_t(cnr)].body)].owner; }

// The n-th spell that the commander's items grant: rituals for a ritual
// list, every spell for a battle list.
int32_t itemspell(int32_t cnr, int32_t ritual, int32_t n) {
  const int32_t s = ritual ? getcomitemspell(cnr, n) : gispl(cnr, n);
  return validspell(s) ? s : 0;
}

bool haspaths(int32_t cnr, const Spell& s) {
  for (int32_t i = 0; i < 2; i++)
    if (s.path[i] >= 0 && getcommagic(cnr, s.path[i]) < 1) return false;
  return true;
}

bool levelsreached(int32_t cnr, const Spell& s) {
  for (int32_t i = 0; i < 2; i++)
    if (s.path[i] >= 0 && getcommagic(cnr, s.path[i]) < s.pathlevel[i]) return false;
  return true;
}

// Path icons of a spell row: path 1 from 342, path 2 from 400, one icon per
// level, 7 units apart.
void pathicons(const Spell& s) {
  for (int32_t i = 0; i < 2; i++) {
    if (s.path[i] < 0 || s.path[i] > 8) continue;
    for (int32_t k = 0; k < s.pathlevel[i] && k < 8; k++) {
      guiindent(float(i == 0 ? 342 : 400) + 7.0f * float(k));
      guispritescaled(0, TRS_MISC, SPRITE_PATH + s.path[i], 1, 0.8f);
    }
  }
}

void spellpopup(const Spell& s) {
  if (s.path[0] < 0 || s.path[0] > 8) return;
  const int32_t gems = s.fatigue / 100;
  guiinfo("%s, %d %s%s", s.name, gems, gemnames[s.path[0]], gems == 1 ? "" : "s");
}

void headerrow(const char* format, const char* text) {
  guibgbox(HEADR, HEADG, HEADB, 0.4f);
  guiindent(200);
  guibutton(0, format, text);
}

void stripe(int32_t row) { guibgbox(HEADR, HEADG, HEADB, row % 2 == 0 ? 0.2f : 0.0f); }

// The filter and help keys of the spell lists; the id asked for, the filter
// changed. -1 when the id is none of them.
int32_t filterinput(int32_t id, SpellFilter& filter) {
  if (id >= ID_FILTER && id < ID_FILTER + 8) {
    spellfilterkey(filter, id - ID_FILTER);
    return 1;
  }
  if (id == ID_ALLPATHS) {
    spellfilterall(filter);
    return 1;
  }
  if (id == ID_FILTERHELP) {
    spellfilterhelp();
    return 0;
  }
  return -1;
}

void filtershortcuts() {
  for (int32_t p = 0; p < 8; p++) guishortcut(ID_FILTER + p, filterkeys[p]);
  for (char k : {'*', 'A', 'q', '.'}) guishortcut(ID_ALLPATHS, k);
  guishortcut(ID_FILTERHELP, '?');
}

SpellFilter schoolfilter;   // kept for the whole run, as the player left it
}  // namespace

// ---------------------------------------------------------------- rules

void spellfilterkey(SpellFilter& f, int32_t path) {
  if (path < 0 || path > 7) return;
  if (!f.on[path] || (f.on[0] && f.on[1])) {
    for (int8_t& x : f.on) x = 0;
    f.on[path] = 1;
  } else {
    spellfilterall(f);
  }
}

void spellfilterall(SpellFilter& f) {
  for (int8_t& x : f.on) x = 1;
}

int32_t spellscaled(int32_t value, int32_t level, bool* scaled) {
  *scaled = false;
  for (int32_t guard = 0; value > 999 && guard < 100000; guard++) {
    value = value - 1000 + level;
    *scaled = true;
  }
  return value;
}

int32_t spellforbidden(int32_t spell, int32_t nation) {
  if (!validspell(spell)) return 0;
  const Spell& s = spells[size_t(spell)];
  bool restricted = false;
  for (int32_t i = 0; i < SPELLATTRS && s.attrkey[i] != 0; i++) {
    if (s.attrkey[i] != NATIONRESTRICTION) continue;
    restricted = true;
    if (nation >= 0 && s.attrval[i] == nation + 100) return 0;
  }
  return restricted ? 1 : 0;
}

bool spellcastable(int32_t cnr, int32_t spell) {
  const Spell& s = spells[size_t(spell)];
  if (!levelsreached(cnr, s)) return false;
  const int32_t l = unitlandnr(com[size_t(cnr)].body);
  const bool sea = l >= 0 && (provgeo[size_t(l)].terrain & TM_SEA);
  if (sea && !(s.flags & SF_UNDERWATER)) return false;
  if ((s.flags & SF_ONLYUNDERWATER) && !sea) return false;
  return true;
}

int32_t spellchoicerows(int32_t cnr, int32_t ritual, const SpellFilter& filter, SpellRow* rows, int32_t max) {
  int32_t n = 0;
  auto add = [&](SpellRow r) {
    if (n < max) rows[n++] = r;
  };
  for (int32_t k = 0; k < 99; k++) {
    const int32_t s = itemspell(cnr, ritual, k);
    if (s < 1) break;
    if (k == 0) add({-1, -2, true, false});
    add({s, spells[size_t(s)].school, true, false});
  }
  const int32_t player = ownerofcom(cnr);
  if (player < 0 || player >= MAXKINGDOMS) return n;
  for (int32_t school = 0; school < 8; school++) {
    bool header = false;
    for (int32_t i = 0; i < SPELLBOOKSIZE; i++) {
      const int32_t sp = spellbook[player][i];
      if (sp < 0) break;
      if (!validspell(sp)) continue;
      const Spell& s = spells[size_t(sp)];
      if (s.school != school || s.range == -1 || isritualspell(s) != (ritual != 0) || !haspaths(cnr, s)) continue;
      if (s.path[0] >= 0 && s.path[0] <= 7 && !filter.on[s.path[0]]) continue;
      if (!header) add({-1, school, false, false});
      header = true;
      add({sp, school, false, !spellcastable(cnr, sp)});
    }
  }
  return n;
}

int32_t spellinfolines(int32_t spell, char (*lines)[SPELLINFOLINE], int32_t max) {
  if (!validspell(spell)) return 0;
  const Spell& s = spells[size_t(spell)];
  int32_t n = 0;
  auto line = [&](const char* format, auto... args) {
    if (n < max) snprintf(lines[n++], SPELLINFOLINE, format, args...);
  };
  const int32_t level = s.pathlevel[0];
  const bool ritual = isritualspell(s);
  const int32_t e = baseeffect(s);
  bool sc = false;
  const int32_t rawarea = s.area >= 10000 ? s.area - 10000 : s.area;
  const int32_t area = spellscaled(rawarea, level, &sc);
  const bool areascaled = sc;
  const int32_t range = spellscaled(s.range, level, &sc);
  const bool rangescaled = sc;
  if (ritual) {
    line("Ritual");
  } else if (e == 81) {
    line("Battle Enchantment (Affects the entire battlefield for the duration of the battle)");
  } else {
    if (s.range > 0) line("Range: %d%c", range, rangescaled ? '+' : ' ');
    if (e != 1 && e != 21) {
      if (area >= 660) line("Area of Effect: The entire battlefield");
      else if (rawarea == 0 && s.range == 0) line("Area of Effect: Caster");
      else if (rawarea == 0) line("Area of Effect: One person");
      else line("Area of Effect: %d%c", area, areascaled ? '+' : ' ');
    }
  }
  const int32_t effects = spellscaled(s.nbreff, level, &sc);
  if (effects > 1 || sc) line("Number of Effects: %d%c", effects, sc ? '+' : ' ');
  if (!ritual) {
    if (area < 666 && s.range >= 2) line("Precision: %d", spellscaled(s.precision, level, &sc));
    line("Fatigue Cost: %d-", s.fatigue);
  }
  if (s.fatigue > 99 && s.path[0] >= 0 && s.path[0] <= 8) line("%s Required: %d", gemtitles[s.path[0]], s.fatigue / 100);
  const int32_t damage = spellscaled(s.damage, level, &sc);
  const char mark = sc ? '+' : ' ';
  const bool negating = s.flags & SF_ARMORNEGATING, piercing = s.flags & SF_ARMORPIERCING;
  switch (e) {
    case 2: case 3: case 24: case 66: case 73: case 74: case 96: case 99: case 103: case 105: case 106: case 107:
    case 109: {
      const char* kind = "Damage: %d%c";
      if (s.damage == 999) kind = "Damage: Death";
      else if (e == 3) kind = negating ? "Damage: %d%c (stun, armor negating)"
                              : piercing ? "Damage: %d%c (stun, armor piercing)" : "Damage: %d%c (stun)";
      else if (e == 66 && negating) kind = "Damage: %d%c (paralyzation, armor negating)";
      else if (e == 24 && piercing) kind = "Damage: %d%c (armor piercing, undead/demon x3)";
      else if (negating) kind = "Damage: %d%c (armor negating)";
      else if (piercing) kind = "Damage: %d%c (armor piercing)";
      else if (e == 24) kind = "Damage: %d%c (undead/demon x3)";
      else if (e == 107) kind = "Damage: %d%c (demon x2)";
      else if (e == 73) kind = "Damage: %d%c (magic beings x2)";
      else if (e == 105) kind = "Damage: %d%c (vs illusions only)";
      else if (e == 109) kind = "Damage: %d%c (max 1 HP damage)";
      if (s.damage == 999) line("%s", kind);
      else line(kind, damage, mark);
      break;
    }
    case 13:
      line(negating ? "Heal: %d%c (armor negating)" : piercing ? "Heal: %d%c (armor piercing)" : "Heal: %d%c", damage,
           mark);
      break;
    default:
      break;
  }
  if (s.effect >= 1000 && s.effect < 10000) line("Effect remains for %d battle rounds", s.effect / 1000);
  if (s.flags & SF_MRNEGATESEASILY) line("Magic resistance negates easily");
  else if (s.flags & SF_MRNEGATES) line("Magic resistance negates");
  if (!(s.flags & SF_UNDERWATER)) line("Cannot be cast under water");
  return n;
}

// ---------------------------------------------------------------- screens

void gemstockpanel(int32_t player) {
  if (player < 0 || player >= MAXKINGDOMS) return;
  guisetnl(0);
  for (int32_t k = 0; k < 8; k++) {
    guisprite(0, TRS_MISC, SPRITE_GEM + k, 1);
    guiinfo("%s", gemnames[k]);
    guibutton(0, "%d ", kingdom[size_t(player)].w[KW_GEMS + k]);
  }
  guisetnl(1);
}

void resetspellscroll() { resetscrollslot(1); }

void spellinfobox(int32_t spell) {
  if (spell < 0 || !validspell(spell)) return;
  const Spell& s = spells[size_t(spell)];
  char lines[24][SPELLINFOLINE];
  const int32_t n = spellinfolines(spell, lines, 24);
  const int32_t d = finddescr(s.name);
  GuiBox box;
  auto build = [&] {
    guiboxbegin();
    guititle("%s", s.name);
    guicloseid(1);
    guiminwidth(320);
    guimaxwidth(450);
    guispace(4);
    guialign(GUIALIGN_LEFT);
    {
      GuiTextScale body(0.8f);
      for (int32_t i = 0; i < n; i++) guibutton(0, "%s", lines[i]);
      guispace(2);
      guitextlong(0, descrtextof(d < 0 ? 0 : d));
    }
    guialign(GUIALIGN_CENTRE);
    guiexitbutton(1, "Exit");
    guishow(-1, -1);
  };
  guimodalplainclose(build);
}

int32_t choosespell(const char* title, int32_t cnr, int32_t ritual) {
  bailif(cnr < 0 || cnr >= MAXCOMS, "choosespell: bad cnr");
  const int32_t b = combody(cnr);
  if (b < 0) {
    fatalerror("choosespell: bad unr");
    return -1;
  }
  const int32_t player = unit[size_t(b)].owner;
  if (player < 0) {
    fatalerror("choosespell: bad owner");
    return -1;
  }
  SpellFilter filter;
  static SpellRow rows[2 * SPELLBOOKSIZE + 120];
  GuiBox box;
  for (;;) {
    const int32_t n = spellchoicerows(cnr, ritual, filter, rows, int32_t(std::size(rows)));
    guiboxbegin();
    guititle("%s", title);
    guicloseid(ID_CHOICEEXIT);
    guiplainclickid(ID_PLAINTEXT);
    guiminwidth(450);
    guimaxwidth(450);
    guialign(GUIALIGN_LEFT);
    guitextscale(0.8f);
    if (ritual) {
      gemstockpanel(player);
      guispace(2);
    }
    guiscrollstart();
    int32_t row = 0;
    for (int32_t i = 0; i < n; i++) {
      const SpellRow& r = rows[i];
      if (r.spell < 0) {
        headerrow("%s", r.school == -2 ? "Item spells" : schoolnames[r.school]);
        row = 0;
        continue;
      }
      const Spell& s = spells[size_t(r.spell)];
      stripe(++row);
      guisetnl(0);
      if (r.item) {
        guibutton(ID_ITEMSPELL + r.spell, "%s", s.name);
      } else {
        if (r.greyed) guibuttoncol(ID_SPELL + r.spell, "%s", 0.5f, 0.5f, 0.5f, 1.0f, s.name);
        else guibutton(ID_SPELL + r.spell, "%s", s.name);
        spellpopup(s);
        pathicons(s);
      }
      guisetnl(1);
    }
    guibgbox(0, 0, 0, 0);
    guiscrollstart();
    guitextscale(1);
    guialign(GUIALIGN_CENTRE);
    guispace(2);
    guibutton(ID_CHOICEEXIT, "Exit");
    guishortcut(ID_CHOICEEXIT, KEY_CANCEL);
    filtershortcuts();
    restorescrollslot(1);
    guishow(-1, -1);
    const int32_t id = render_frame(true, Scene::none);
    savescrollslot(1);
    if (const int32_t f = filterinput(id, filter); f >= 0) {
      if (f == 1) resetscrollslot(1);
      continue;
    }
    if (id == ID_CHOICEEXIT || id == ID_PLAINTEXT) return -1;
    if (id <= -ID_SPELL && id > -ID_SPELL - MAXSPELLS) {
      spellinfobox(-id - ID_SPELL);
    } else if (id <= -ID_ITEMSPELL && id > -ID_ITEMSPELL - MAXSPELLS) {
      spellinfobox(-id - ID_ITEMSPELL);
    } else if (id >= ID_ITEMSPELL && id < ID_ITEMSPELL + MAXSPELLS) {
      return id - ID_ITEMSPELL;
    } else if (id >= ID_SPELL && id < ID_SPELL + MAXSPELLS) {
      const int32_t sp = id - ID_SPELL;
      if (!ritual || levelsreached(cnr, spells[size_t(sp)])) return sp;
      msgbox("The ritual is too\ncomplex for this mage");
    }
  }
}

void schoolspells(int32_t nation, int32_t school, int32_t knownlevel) {
  if (school < 0 || school > 7) return;
  static constexpr const char* construction[5] = {
      "Construction of magic trinkets", "Construction of lesser magic items", "Construction of greater magic items",
      "Construction of very powerful magic items", "Construction of unique magic artifacts"};
  resetscrollslot(0);
  GuiBox box;
  for (;;) {
    guiboxbegin();
    guititle("%s", schoolnames[school]);
    guicloseid(1);
    guiplainclickid(ID_PLAINTEXT);
    guiminwidth(453);
    guimaxwidth(453);
    guialign(GUIALIGN_LEFT);
    for (int32_t level = 0; level <= 9; level++) {
      guitextscale(0.8f);
      char head[20];
      snprintf(head, sizeof head, "Level %d", level);
      headerrow("%s", head);
      guibgbox(0, 0, 0, 0);
      if (school == SCH_CONSTRUCTION && level % 2 == 0) guibutton(0, "%s", construction[level / 2]);
      guitextscale(0.85f);
      int32_t row = 0;
      for (int32_t path = 0; path <= 9; path++) {
        if (!schoolfilter.on[path]) continue;
        for (int32_t sp = 0; sp < MAXSPELLS && spells[size_t(sp)].researchlevel != 255; sp++) {
          const Spell& s = spells[size_t(sp)];
          if (s.school != school || s.researchlevel != level || s.path[0] != path) continue;
          if (nation >= 0 && spellforbidden(sp, nation)) continue;
          stripe(++row);
          guisetnl(0);
          const float alpha = level < knownlevel ? 1.0f : 0.5f;
          if (spellforbidden(sp, -1)) guibuttoncol(ID_SPELL + sp, "%s", 0.5f, 0.5f, 1.0f, alpha, s.name);
          else guibuttoncol(ID_SPELL + sp, "%s", -1, -1, -1, alpha, s.name);
          spellpopup(s);
          pathicons(s);
          guisetnl(1);
        }
      }
      guibgbox(0, 0, 0, 0);
    }
    guitextscale(1);
    guispace(2);
    guiindent(210);
    guiexitbutton(1, "Exit");
    guishortcut(1, KEY_SPACE);
    filtershortcuts();
    restorescrollslot(0);
    guishow(-1, -1);
    const int32_t id = render_frame(true, Scene::none);
    savescrollslot(0);
    if (const int32_t f = filterinput(id, schoolfilter); f >= 0) {
      if (f == 1) resetscrollslot(0);
      continue;
    }
    if (id == 1 || id == ID_PLAINTEXT) return;
    const int32_t sp = id < 0 ? -id - ID_SPELL : id - ID_SPELL;
    if (validspell(sp) && (id >= ID_SPELL || id <= -ID_SPELL)) spellinfobox(sp);
  }
}

void magicschools() {
  auto build = [] {
    guibegin();
    guititle("Magic Schools");
    guicloseid(1);
    guiplainclickid(ID_PLAINTEXT);
    guitextscale(0.85f);
    for (int32_t s = 0; s <= 6; s++) guibutton(10 + s, "%s", schoolnames[s]);
    guispace(3);
    guiexitbutton(1, "Exit");
    guishow(-1, -1);
  };
  // A school opens its list; Exit, plain text and a right click leave.
  for (;;) {
    const int32_t id = guimodal(build);
    if (id < 10 || id > 16) return;
    schoolspells(-1, id - 10, 100);
  }
}

void spellfilterhelp() {
  GuiBox box;
  auto build = [] {
    guiboxbegin();
    guititle("Keyboard Commands");
    guicloseid(999);
    guibutton(0, "Filters");
    for (int32_t p = 0; p < 8; p++) guibuttonsmall(0, "%c = view %s magic only", filterkeys[p], filterpaths[p]);
    guibuttonsmall(0, "* = clear filter");
    guispace(4);
    guiexitbutton(999, "exit");
    guishortcut(999, '?');
    guishow(-1, -1);
  };
  while (guimodal(build) != 999) {}
}

int32_t chooseench(const char* title) {
  auto build = [&] {
    guibegin();
    guibuttonlarge(0, "%s", title);
    guispace(4);
    guitextscale(0.85f);
    guialign(GUIALIGN_LEFT);
    for (int32_t e = 0; e <= highestench && e < MAXENCH; e++) {
      const Ench& en = ench[size_t(e)];
      if (en.kind == 0 || en.land != -1) continue;
      guibutton(ID_ITEMSPELL + e, "%s", validspell(en.spell) ? spells[size_t(en.spell)].name : "???");
    }
    guialign(GUIALIGN_CENTRE);
    guibutton(1, "Cancel");
    guishortcut(1, KEY_CANCEL);
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (id == 1) return -1;
    if (id >= ID_ITEMSPELL && id <= 99999) return id - ID_ITEMSPELL;
    if (id <= -ID_ITEMSPELL && id >= -99999) {
      const int32_t e = -id - ID_ITEMSPELL;
      if (e < MAXENCH) spellinfobox(ench[size_t(e)].spell);
    }
  }
}
