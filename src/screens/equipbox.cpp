// Weapon, armour and random magic boxes.
#include "screens/equipbox.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "gfx/gui.h"
#include "runtime/trs.h"
#include "world/gamedata.h"
#include "world/rules.h"

namespace {
constexpr int32_t ID_EXIT = 999, ID_RMEXIT = 9, SPRITEMODE = 4;

const char* const DAMAGEHOVER =
    "The damage value plus the strength of the attacker determines the amount of damage an enemy will suffer from a "
    "hit.";

// Runs a read-only box of lines until its Exit id.
int32_t runbox(const char* title, const std::vector<InfoLine>& lines, int32_t exitid) {
  GuiBox box;
  auto build = [&] {
    guiboxbegin();
    guititle("%s", title);
    guicloseid(exitid);
    guiminwidth(300);
    guimaxwidth(450);
    {
      GuiTextScale body(0.8f);
      showinfolines(lines);
    }
    guialign(GUIALIGN_CENTRE);
    guispace(2);
    guiexitbutton(exitid, "Exit");
    guishow(-1, -1);
    guisetfade(0);
  };
  while (guimodal(build) != exitid) {}
  return exitid;
}
}  // namespace

std::string strf(const char* format, ...) {
  char text[600];
  va_list ap;
  va_start(ap, format);
  vsnprintf(text, sizeof text, format, ap);
  va_end(ap);
  return text;
}

void showinfolines(const std::vector<InfoLine>& lines) {
  guialign(GUIALIGN_LEFT);
  for (const InfoLine& l : lines) {
    if (l.sprite < 0) {
      guibutton(0, "%s", l.text.c_str());
      if (!l.hover.empty()) guiinfo("%s", l.hover.c_str());
      continue;
    }
    guisetnl(0);
    guibutton(0, "%s", l.text.c_str());
    guispritescaled(0, TRS_MISC, l.sprite, SPRITEMODE, 0.75f);
    guibutton(0, "%s", l.after.c_str());
    guisetnl(1);
  }
}

int32_t numberlisting(const char* title, const std::string& text) {
  GuiBox box;
  auto build = [&] {
    guiboxbegin();
    guititle("%s", title);
    guicloseid(ID_EXIT);
    guimaxwidth(600);
    guimaxheight(500);
    guialign(GUIALIGN_LEFT);
    guiscrollstart();
    {
      GuiTextScale small(0.8f);
      guitextlong(0, text.c_str());
    }
    guialign(GUIALIGN_CENTRE);
    guispace(8);
    guiexitbutton(ID_EXIT, "Exit");
    guishow(-1, -1);
  };
  while (guimodal(build) != ID_EXIT) {}
  return ID_EXIT;
}

std::vector<InfoLine> weaponlines(int32_t wnr) {
  std::vector<InfoLine> out;
  if (!validweapon(wnr)) return out;
  const Weapon& w = weapons[size_t(wnr)];
  const int32_t type = w.dmgtype;
  if (type == 11 || type == 4 || type == 7 || (type >= 500 && type <= 699)) {
    out.push_back({"Damage: special", DAMAGEHOVER});
  } else if (w.dmg == 999) {
    out.push_back({"Damage: death", DAMAGEHOVER});
  } else {
    if (w.flags & WF_ARMORNEGATING)
      out.push_back({strf("Damage: %d (armor negating)", w.dmg),
                     "Armor negating damage ignores the protection of armor and natural protection alike."});
    else if (w.flags & WF_ARMORPIERCING)
      out.push_back({strf("Damage: %d (armor piercing)", w.dmg),
                     "Armor piercing damage counts only half of the target's protection."});
    else
      out.push_back({strf("Damage: %d", w.dmg), std::string(DAMAGEHOVER) + " The target's protection is subtracted."});
    const struct {
      int32_t type;
      const char *text, *hover;
    } kinds[] = {{66, "(paralyze damage)", "The damage paralyzes the target for a while instead of wounding it."},
                 {3, "(stun damage)", "The damage tires the target instead of wounding it."},
                 {103, "(life drain)", "All damage from this attack will yield a life drain benefit to the attacker. The "
                                       "life drain will yield a half HP and two FP per HP drained."},
                 {104, "(partial life drain)", "Up to 5 HP of damage will yield a life drain benefit to the attacker. "
                                               "The life drain will yield a half HP and two FP per HP drained."},
                 {24, "(x3 vs undead/demons)", "Undead and demons suffer three times the damage."},
                 {107, "(x2 vs demons)", "Demons suffer twice the damage."},
                 {32, "(x3 vs larger beings)", "Beings larger than the wielder suffer three times the damage."},
                 {73, "(x2 vs magic beings)", "Magic beings suffer twice the damage."},
                 {33, "(x2 vs smaller beings)", "Beings smaller than the wielder suffer twice the damage."},
                 {109, "(max 1 HP damage)", "A hit never does more than one hit point of damage."}};
    for (const auto& k : kinds)
      if (type == k.type) out.push_back({k.text, k.hover});
    if (!(w.flags & WF_STRENGTH))
      out.push_back({"(strength of wielder not added)", "The wielder's strength does not add to the damage."});
    if (w.flags & WF_CHARGE) out.push_back({"(charge bonus for first strike)", "The first strike of a battle hits harder."});
  }
  if (w.flags & WF_MRNEGATESEASILY)
    out.push_back({"(magic resistance negates easily)", "A target whose magic resistance wins an easy check takes no harm."});
  else if (w.flags & WF_MRNEGATES)
    out.push_back({"(magic resistance negates)", "A target whose magic resistance wins a check takes no harm."});
  if (w.nratt >= 2) out.push_back({strf("Nbr of attacks: %d", w.nratt), "Attacks with this weapon each round."});
  else if (w.nratt < 0)
    out.push_back({strf("Nbr of attacks: 1 every %d rounds", -w.nratt), "This weapon strikes only now and then."});
  if (w.aoe > 0) out.push_back({strf("Area of effect: %d", w.aoe), "Squares hit around the target."});
  if (w.range != 0) {
    if (w.range > 0) out.push_back({strf("Range: %d", w.range), "How far the missile flies, in squares."});
    else if (w.range == -1) out.push_back({"Range: strength", "The wielder's strength is the range in squares."});
    else out.push_back({strf("Range: strength / %d", -w.range), "The wielder's strength divided gives the range."});
    out.push_back({strf("Precision: %d", w.att), "Added to the wielder's precision."});
    out.push_back({strf("Ammunition: %d", w.ammo), "Shots in each battle."});
  } else {
    out.push_back({strf("Attack: %d", w.att), "Added to the wielder's attack skill."});
    out.push_back({strf("Defence: %d", w.def), "Added to the wielder's defence skill."});
    out.push_back({strf("Length: %d", w.len), "Long weapons strike first and keep enemies at a distance."});
    if (w.ammo == 1) out.push_back({"This weapon can only be used once in each battle", ""});
  }
  if (!(w.flags & WF_MUNDANE)) out.push_back({"This weapon is considered magic", "Magic weapons can hit ethereal units with ease."});
  const int32_t second = w.secondaryeffect;
  const int32_t s = second < 0 ? -second : second;
  if (second != 0 && validweapon(s))
    out.push_back({weapons[size_t(s)].name, second > 0 ? "Anyone wounded by the weapon will also be struck by this."
                                                      : "This effect will be unleashed where the weapon strikes."});
  return out;
}

std::vector<InfoLine> armorlines(int32_t anr) {
  std::vector<InfoLine> out;
  if (!validarmor(anr)) return out;
  const Armor& a = armors[size_t(anr)];
  int32_t body = 0;
  bool shield = false;
  for (const ArmorProt& p : a.prot) {
    if (p.loc == 0) break;
    if (p.loc == LOC_HEAD) out.push_back({strf("Protection, Head: %d", p.prot), "Protection of the head."});
    else if (p.loc == LOC_SHIELD) {
      out.push_back({strf("Protection, Shield: %d", p.prot), "Protection against the hits that the shield takes."});
      shield = true;
    } else if (p.loc == LOC_ALLBUTSHIELD) {
      out.push_back({strf("Protection: %d", p.prot), "Protection of all body parts."});
    } else {
      body += p.loc == LOC_BODY ? 2 * p.prot : p.prot;
    }
  }
  if (body > 0)
    out.push_back({strf("Protection, Body: %d", body / 4),
                   "Protection of the body; a high natural protection lessens the armor's effect."});
  if (shield) {
    out.push_back({strf("Defence: %d", -a.enc), "A shield lowers the defence skill by its weight."});
    out.push_back({strf("Parry: %d", a.def + a.enc), "Blows parried by the shield before they reach the bearer."});
  } else {
    out.push_back({strf("Defence: %d", a.def), "Added to the wearer's defence skill; heavy armor gives a negative defence."});
  }
  out.push_back({strf("Encumbrance: %d", a.enc), "Added to the fatigue the wearer gains for every melee attack."});
  return out;
}

std::vector<RandMagicRow> randmagicrows(int32_t type) {
  std::vector<RandMagicRow> out;
  if (!typerec(type)) return out;
  for (const RandMagic& r : randmagic) {
    if (r.type == -1) break;
    if (r.type != type) continue;
    RandMagicRow row;
    if (r.code >= 50 && r.code <= 52) {
      const int32_t first = r.code == 52 ? 4 : 0, last = r.code == 51 ? 3 : 7;
      for (int32_t p = first; p <= last; p++) row.paths.push_back(p);
      row.level = (r.chance * 100 + 99) / 100;
      row.chance = std::min(r.chance * 100, 100);
    } else if (r.code >= 128) {
      for (int32_t p = 0; p < 9; p++)
        if (r.code & (0x80u << p)) row.paths.push_back(p);
      row.level = (r.chance + 99) / 100;
      row.chance = std::min<int32_t>(r.chance, 100);
    } else {
      continue;
    }
    out.push_back(row);
  }
  return out;
}

int32_t weaponbox(int32_t weapon) {
  if (!validweapon(weapon)) return ID_EXIT;
  return runbox(weapons[size_t(weapon)].name, weaponlines(weapon), ID_EXIT);
}

int32_t armorbox(int32_t armor) {
  if (!validarmor(armor)) return ID_EXIT;
  return runbox(armors[size_t(armor)].name, armorlines(armor), ID_EXIT);
}

int32_t randmagicbox(int32_t type) {
  const std::vector<RandMagicRow> rows = randmagicrows(type);
  GuiBox box;
  auto build = [&] {
    guiboxbegin();
    guititle("Random magic");
    guicloseid(ID_RMEXIT);
    guiminwidth(360);
    guimaxwidth(360);
    guitextscale(0.85f);
    guialign(GUIALIGN_LEFT);
    guisetnl(0);
    guibutton(0, "Possible paths");
    guiindent(150);
    guibutton(0, "Level");
    guiindent(200);
    guibutton(0, "Chance");
    guisetnl(1);
    guiseparator();
    guispace(2);
    for (size_t n = 0; n < rows.size(); n++) {
      guibgbox(0.7f, 0.3f, 0.2f, n % 2 == 0 ? 0.4f : 0.0f);
      guisetnl(0);
      for (size_t k = 0; k < rows[n].paths.size(); k++) {
        guiindent(2 + 16 * float(k));
        guisprite(0, TRS_MISC, SPRITE_PATH + rows[n].paths[k], SPRITEMODE);
      }
      guiindent(150);
      guibutton(0, "+%d", rows[n].level);
      guiindent(200);
      guibutton(0, "%d percent", rows[n].chance);
      guisetnl(1);
    }
    guibgbox(0, 0, 0, 0);
    guispace(4);
    guitextscale(1.0f);
    guialign(GUIALIGN_CENTRE);
    guiexitbutton(ID_RMEXIT, "Exit");
    guishow(-1, -1);
    guisetfade(0);
  };
  while (guimodal(build) != ID_RMEXIT) {}
  return ID_RMEXIT;
}
