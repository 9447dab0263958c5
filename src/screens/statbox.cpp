// The statistic breakdown box. The modifier lines come from the value
// getters themselves (world/stattrace.h), so that they always add up to the
// figure that the rules use.
#include "screens/statbox.h"

#include <cstdio>
#include <functional>

#include "gfx/gui.h"
#include "runtime/fatal.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/stattrace.h"

namespace {
constexpr int32_t ID_EXIT = 9;

struct StatRow {
  const char* title;
  const char* first;   // format of the basic value, null for none
};
constexpr StatRow STATROWS[STATISTICS] = {
    {"Hit Points", "Basic Hit Points: %d"},     {"Action Points", "Basic Action Points: %d"},
    {"Strength", "Basic Strength: %d"},         {"Attack Skill", "Basic Attack Skill: %d"},
    {"Magic Resistance", "Basic Magic Resistance: %d"}, {"Protection", "Basic Protection: %d"},
    {"Encumbrance", "Basic Encumbrance: %d"},   {"Fatigue", "Current Fatigue: %d"},
    {"Precision", "Basic Precision: %d"},       {"Defence Skill", "Basic Defence Skill: %d"},
    {"Morale", "Basic Morale: %d"},             {"Leadership", nullptr}};

std::string line(const char* format, int32_t a, int32_t b = 0) {
  char text[120];
  snprintf(text, sizeof text, format, a, b);
  return text;
}

int32_t basicvalue(const Monster& t, int32_t stat, const Unit& u) {
  switch (stat) {
    case STAT_HP: return t.hp;
    case STAT_AP: return t.ap;
    case STAT_STR: return t.str;
    case STAT_ATT: return t.att;
    case STAT_MR: return t.mr;
    case STAT_PROT: return t.prot;
    case STAT_ENC: return t.enc;
    case STAT_FATIGUE: return u.fatigue;
    case STAT_PREC: return t.prec;
    case STAT_DEF: return t.def;
    case STAT_MORALE: return t.mor;
    default: return 0;
  }
}

// The getter of a statistic that adds up, null for the others.
std::function<int32_t(int32_t)> getter(int32_t stat) {
  switch (stat) {
    case STAT_HP: return getmaxhp;
    case STAT_AP: return [](int32_t u) { return getmaxap(u, 1); };
    case STAT_STR: return getstr;
    case STAT_ATT: return getatt;
    case STAT_MR: return getmr;
    case STAT_PROT: return getprot;
    case STAT_ENC: return [](int32_t u) { return getenc(u, 0); };
    case STAT_PREC: return getprec;
    case STAT_DEF: return [](int32_t u) { return getdef(u, 2); };
    case STAT_MORALE: return getmaxmorale;
    default: return nullptr;
  }
}

// The traced steps, one line per modifier (steps of one name summed, in
// the order of their first appearance; those that came to 0 left out).
void modifierlines(const StatTrace& trace, StatBreakdown& out) {
  std::vector<StatStep> merged;
  for (const StatStep& s : trace.steps) {
    bool found = false;
    for (StatStep& m : merged)
      if (std::string(m.what) == s.what) m.delta += s.delta, found = true;
    if (!found) merged.push_back(s);
  }
  for (const StatStep& m : merged) {
    out.total += m.delta;
    if (m.delta != 0) out.modifiers.push_back(std::string(m.what) + line(": %+d", m.delta));
  }
}

void currentlines(int32_t unr, int32_t stat, StatBreakdown& out) {
  const Unit& u = unit[size_t(unr)];
  const int32_t c = unit2com(unr);
  switch (stat) {
    case STAT_HP:
      out.current = {line("Current Hit Points: %d", u.hp), line("Maximum Hit Points: %d", out.value),
                     line("Size: %d", getsize(unr))};
      break;
    case STAT_AP:
      out.current = {line("Current Action Points: %d", out.value), line("Map Movement Speed: %d", getmapmove(unr))};
      if (c >= 0) out.current.push_back(line("Army Map Movement Speed: %d", armymapmove(c)));
      break;
    case STAT_STR: out.current = {line("Current Strength: %d", out.value)}; break;
    case STAT_ATT:
      out.current = {line("Current Attack Skill: %d", out.value)};
      for (int32_t n = 0; n < 10 && getnthweapon(unr, n) > 0; n++)
        out.weaponlines.push_back(line("Attack nr %d: %d", n + 1, getweaponatt(unr, n)));
      break;
    case STAT_MR: out.current = {line("Current Magic Resistance: %d", out.value)}; break;
    case STAT_PROT:
      out.current = {line("Total Protection: %d", out.value)};
      if (out.value >= 1) {
        out.weaponlines.push_back(line("Total Protection, Head: %d", getheadprot(unr)));
        out.weaponlines.push_back(line("Total Protection, Body: %d", getbodyprot(unr)));
      }
      break;
    case STAT_ENC:
      out.current = {line("Melee Encumbrance: %d", out.value), line("Spell Casting Encumbrance: %d", getenc(unr, 1))};
      break;
    case STAT_FATIGUE: out.current = {line("Age: %d (%d)", u.age, getmaxage(unr))}; break;
    case STAT_PREC: out.current = {line("Current Precision: %d", out.value)}; break;
    case STAT_DEF: out.current = {line("Current Defence and Parry Skill: %d", out.value)}; break;
    default: break;
  }
}
}  // namespace

StatBreakdown statbreakdown(int32_t unr, int32_t mnr, int32_t stat) {
  StatBreakdown out;
  const Monster* t = typerec(mnr);
  if (!unittyperec(unr) || !t || unr > highestunit || stat < 0 || stat >= STATISTICS) return out;
  const Unit& u = unit[size_t(unr)];
  const StatRow& row = STATROWS[stat];
  out.title = row.title;
  const int32_t basic = basicvalue(*t, stat, u);
  if (row.first) out.first.push_back(line(row.first, basic));
  // A unit of unshakeable morale has nothing to explain.
  if (stat == STAT_MORALE && t->mor >= 30) return out;
  if (stat == STAT_FATIGUE) {
    const int32_t r = getability(unr, AB_REINVIGORATION, 1);
    if (r > 0) out.modifiers.push_back(line("Extra Reinvigoration: %d", r));
  }
  if (stat == STAT_LEADERSHIP) {
    const int32_t c = unit2com(unr);
    if (c >= 0) {
      int32_t undead = 0, magic = 0;
      const int32_t normal = maxcomunits(c, &undead, &magic);
      out.modifiers = {"Leadership Limits", line("Normal Units: %d", normal), line("Undead Units: %d", undead),
                       line("Magic Units: %d", magic)};
    }
    return out;
  }
  if (const auto get = getter(stat)) {
    StatTrace trace;
    stattrace = &trace;
    out.value = get(unr);
    stattrace = nullptr;
    out.sums = true;
    out.total = basic;
    modifierlines(trace, out);
  }
  currentlines(unr, stat, out);
  return out;
}

int32_t unitdescrbox(int32_t unr, int32_t mnr, int32_t stat) {
  bailif(mnr < 0, "ds: bad mnr");
  const StatBreakdown b = statbreakdown(unr, mnr, stat);
  if (!b.title[0]) return ID_EXIT;
  guibegin();
  guititle("%s", b.title);
  guicloseid(ID_EXIT);
  guiminwidth(360);
  guimaxwidth(450);
  guialign(GUIALIGN_LEFT);
  guitextscale(0.85f);
  for (const std::string& s : b.first) guibutton(0, "%s", s.c_str());
  guitextscale(0.75f);
  for (const std::string& s : b.modifiers) guibutton(0, "%s", s.c_str());
  guitextscale(0.85f);
  for (const std::string& s : b.current) guibutton(0, "%s", s.c_str());
  if (!b.weaponlines.empty()) {
    if (stat == STAT_PROT) guispace(2);
    guitextscale(0.75f);
    for (const std::string& s : b.weaponlines) guibutton(0, "%s", s.c_str());
  }
  guispace(2);
  guitextscale(0.7f);
  guitextlong(0, descrtextof(finddescr(b.title)));
  guispace(3);
  guitextscale(1.0f);
  guialign(GUIALIGN_CENTRE);
  guibutton(ID_EXIT, "Exit");
  guishortcut(ID_EXIT, KEY_ESCAPE);
  guishortcut(ID_EXIT, KEY_RETURN);
  guishortcut(ID_EXIT, KEY_SPACE);
  guishow(-1, -1);
  guisetfade(0);
  return render_frame(1, 0);
}
