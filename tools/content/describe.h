// Descriptions generated from the data: what a unit type, magic item, spell
// or magic site does, in the words a player reads in its info box. The data
// tool writes them into data/descriptions.txt below its "generated" line; the
// content tests check that the file says what the data says.
#pragma once
#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "contentrules.h"
#include "world/gamedata.h"
#include "world/grammar.h"

namespace content {

inline std::string fmt(const char* f, int v) {
  char b[160];
  snprintf(b, sizeof b, f, v);
  return b;
}

inline std::string listwords(const std::vector<std::string>& w) {
  std::string s;
  for (size_t i = 0; i < w.size(); i++) s += (i == 0 ? "" : i + 1 == w.size() ? " and " : ", ") + w[i];
  return s;
}

inline std::string sentence(std::string s) {
  if (!s.empty()) s[0] = char(toupper(static_cast<unsigned char>(s[0])));
  return s + ". ";
}

inline std::string lower(std::string s) {
  for (char& c : s) c = char(tolower(static_cast<unsigned char>(c)));
  return s;
}

inline std::string pluralof(const char* name) {
  char b[PLURALLEN];
  return pluralname(2, name, b);
}

inline std::string plural(int count, const char* name) {
  char b[PLURALLEN];
  return std::to_string(count) + " " + pluralname(count, name, b);
}

inline std::vector<std::string> abilityphrases(const int16_t* ids, const int32_t* vals, int n) {
  std::vector<std::string> out;
  for (int k = 0; k < n && ids[k] != 0; k++)
    if (ids[k] >= 30 && ids[k] <= 37) out.push_back(plural(vals[k], gemnames[ids[k] - 30]) + " a month");
    else if (const char* t = abilitytext(ids[k])) out.push_back(fmt(t, vals[k]));
  return out;
}

inline std::string magicphrase(const TypeMagicOf& t) {
  std::vector<std::string> paths;
  for (int p = 0; p < 9; p++)
    if (t.level[p] > 0) paths.push_back(std::string(p == 8 ? "holy power" : lower(pathnames[p])) + " " + std::to_string(t.level[p]));
  std::string s = listwords(paths);
  if (t.randomrows > 0) s += (s.empty() ? "" : ", ") + fmt("with a chance of more (%d percent in all)", t.randomchance);
  return s;
}

inline std::string describeunit(const Roles& r, int m) {
  const Monster& u = unittypes[m];
  std::string d;
  const TypeMagicOf t = typemagicof(m);
  const bool com = servesascommander(r, m);
  std::string what = t.mage() > 0 ? "mage" : t.level[8] > 0 ? "priest" : com ? "commander" : "warrior";
  if (u.flags & MF_INANIMATE) what = "construct";
  else if (u.flags & MF_UNDEAD) what = "undead " + what;
  else if (u.flags & MF_DEMON) what = "demon " + what;
  else if (u.flags & MF_ANIMAL) what = "beast";
  else if ((u.flags2 & MF2_MAGICBEING) && what == "warrior") what = "magic being";
  std::vector<std::string> traits;
  if (u.flags & MF_MOUNTED) traits.push_back("rides to battle");
  if (u.flags & MF_FLYING) traits.push_back("flies");
  if (u.flags & MF_AQUATIC) traits.push_back("lives in the sea");
  if (u.flags & MF_AMPHIBIAN) traits.push_back("walks on land and under water");
  if (u.flags & MF_STEALTHY) traits.push_back("moves unseen");
  if (u.flags & MF_HOLY) traits.push_back("is sacred");
  if (u.flags & MF_ETHEREAL) traits.push_back("is ethereal");
  if (u.flags & MF_TRAMPLE) traits.push_back("tramples smaller foes");
  if (u.flags & MF_POORAMPHIBIAN) traits.push_back("wades into the sea with difficulty");
  if (u.flags & MF_COLDBLOOD) traits.push_back("is cold-blooded");
  static const struct { uint32_t bit; const char* land; } survival[] = {
      {MF_FORESTSURVIVAL, "forests"}, {MF_MOUNTAINSURVIVAL, "mountains"}, {MF_SWAMPSURVIVAL, "swamps"}, {MF_WASTESURVIVAL, "wastes"}};
  std::vector<std::string> lands;
  for (const auto& s : survival)
    if (u.flags & s.bit) lands.push_back(s.land);
  if (!lands.empty()) traits.push_back("crosses " + listwords(lands) + " with ease");
  if (u.flags & MF_IMMOBILE) traits.push_back("cannot move");
  if (u.mor >= 50) traits.push_back("never routs");
  d += std::string(aan(u.name)) == "an" ? "An " : "A ";
  d += std::string(u.name) + " is " + aan(what.c_str()) + " " + what + " of size " + std::to_string(u.size) + " with " +
       std::to_string(u.hp) + " hit points";
  d += traits.empty() ? ". " : " that " + listwords(traits) + ". ";
  std::vector<std::string> weaps, arms;
  for (int16_t w : u.weapon) if (w > 0) weaps.push_back(weapons[w].name);
  for (int16_t a : u.armor) if (a > 0) arms.push_back(armors[a].name);
  if (!weaps.empty()) d += "It fights with " + listwords(weaps) + (arms.empty() ? ". " : " and wears " + listwords(arms) + ". ");
  if (t.mage() > 0 || t.level[8] > 0 || t.randomrows > 0) d += sentence("Magic: " + magicphrase(t));
  std::vector<std::string> ab = abilityphrases(u.abilityid, u.abilityval, UNITABILITIES);
  if (!ab.empty()) d += sentence("It has " + listwords(ab));
  std::vector<std::string> res;
  if (u.flags & MF_FIRERES) res.push_back("fire");
  if (u.flags & MF_COLDRES) res.push_back("cold");
  if (u.flags & MF_POISONRES) res.push_back("poison");
  if (u.flags & MF_SHOCKRES) res.push_back("shock");
  if (!res.empty()) d += sentence("It cannot be harmed by " + listwords(res));
  if (com) {
    const uint32_t f = u.flags2;
    const int lead = (f & MF2_NOLEADER) ? 0 : (f & MF2_POORLEADER) ? 10 : (f & MF2_GOODLEADER) ? 80
                     : (f & MF2_EXPERTLEADER) ? 120 : (f & MF2_SUPERIORLEADER) ? 160 : 40;
    d += lead ? fmt("It leads %d troops into battle. ", lead) : "It leads no troops. ";
  }
  if (!d.empty() && d.back() == ' ') d.pop_back();
  return d;
}

// The kind of an item with its article.
inline std::string itemkindphrase(int8_t type) {
  static const char* const kinds[] = {"a trinket", "a one-handed weapon", "a two-handed weapon", "a missile weapon", "a shield",
                                      "an armour", "a helmet", "a pair of boots", "a trinket"};
  return type >= 0 && type <= 8 ? kinds[type] : "a trinket";
}

// What a weapon does: "strikes for 8 damage with attack +2 and defence +1".
inline std::string weaponphrase(int x) {
  const Weapon& w = weapons[x];
  std::vector<std::string> mods;
  if (w.att) mods.push_back(fmt("attack %+d", w.att));
  if (w.def) mods.push_back(fmt("defence %+d", w.def));
  return fmt(w.range != 0 ? "shoots for %d damage" : "strikes for %d damage", w.dmg) + (mods.empty() ? "" : " with " + listwords(mods));
}

// What the item gives its holder, one phrase per effect (its weapon's first);
// empty when nothing.
inline std::vector<std::string> itemeffects(int i) {
  const Item& it = items[i];
  std::vector<std::string> e;
  if (it.weapon > 0) e.push_back(weaponphrase(it.weapon));
  if (it.armor > 0) {
    const Armor& a = armors[it.armor];
    int best = 0;
    for (const ArmorProt& p : a.prot) if (p.loc != 0) best = std::max<int>(best, p.prot);
    if (best > 0) e.push_back(fmt("protection %d", best));
    if (a.def != 0) e.push_back(fmt("defence %+d", a.def));
  }
  for (const std::string& s : abilityphrases(it.abilityid, it.abilityval, ITEMABILITIES)) e.push_back(s);
  for (const BattleState& b : battlestates) {
    const uint32_t w = b.word == 2 ? it.flags[0] : b.word == 3 ? it.flags[1] : it.flags[2];
    if (w & b.bit) e.push_back(b.name);
  }
  if (it.spell[0]) e.push_back(std::string("lets its bearer cast ") + it.spell);
  return e;
}

inline std::string describeitem(int i) {
  const Item& it = items[i];
  std::string d = sentence(itemkindphrase(it.type));
  d.resize(d.size() - 2);
  if (it.mainpath >= 0) {
    d += " forged with " + lower(pathnames[it.mainpath]) + " " + std::to_string(it.mainlevel);
    if (it.secondpath >= 0) d += " and " + lower(pathnames[it.secondpath]) + " " + std::to_string(it.secondlevel);
    d += fmt(" at construction level %d", it.constlevel);
  }
  d += ". ";
  std::vector<std::string> e = itemeffects(i);
  if (it.weapon > 0 && !e.empty()) {
    d += sentence("It " + e.front());
    e.erase(e.begin());
    if (!e.empty()) d += sentence("It also gives " + listwords(e));
  } else {
    d += e.empty() ? "It gives nothing." : sentence("It gives " + listwords(e));
  }
  if (it.cursed < 0) d += "It is cursed and cannot be taken off.";
  if (!d.empty() && d.back() == ' ') d.pop_back();
  return d;
}

inline std::string describespell(const Roles& r, int s) {
  const Spell& sp = spells[s];
  std::string d;
  if (sp.effect == 0 && sp.path[0] < 0) {
    d = "No spell: the row that stands for none.";
  } else if (islastingench(sp)) {
    const EnchKind* k = enchkindof(sp);
    d = sp.effect == EFFECT_PROVINCEENCH ? "A lasting enchantment on a province: " :
        sp.effect == EFFECT_WORLDENCH ? "A lasting enchantment over the whole world: " : "A lasting enchantment: ";
    d += k ? std::string(k->does) : "it does nothing";
    d += ". It lasts while its caster lives.";
  } else if (sp.effect == EFFECT_SUMMON && sp.damage > 0) {
    d = "A ritual that summons " + plural(std::max<int>(1, sp.nbreff), unittypes[sp.damage].name) + fmt(" for %d gems.", summongems(r, sp));
  } else if (const BattleState* b = battlestateof(sp)) {
    d = sp.effect == EFFECT_BATTLEENCH ? "A battle enchantment: every unit on the caster's side gains " + std::string(b->name) + "."
        : sp.area == 0 && sp.range == 0 ? "The caster gains " + std::string(b->name) + "."
        : std::string(b->hostile ? "Enemies in the area suffer " : "Allies in the area gain ") + b->name + ".";
  } else if (sp.effect == 1 && sp.damage > 0) {
    d = "Calls " + plural(std::max<int>(1, sp.nbreff), unittypes[sp.damage].name) + " to fight for the caster in this battle.";
  } else if (sp.effect == 13) {
    d = "Heals the wounds of allies.";
  } else if (sp.effect == 10002) {
    d = fmt("A ritual that rains %d damage on the armies of a distant province.", sp.damage);
  } else if (sp.effect == 10010) {
    d = "A ritual that carries the caster to a distant province.";
  } else if (sp.effect == 10013) {
    d = "A ritual that heals the wounds and afflictions of the caster's army.";
  } else if (sp.effect == 10020) {
    d = sp.path[0] == 3 ? "A ritual that reveals the magic sites of every path in the caster's province."
                        : "A ritual that reveals the magic sites of its own path in the caster's province.";
  } else if (sp.effect == 10023) {
    d = "A ritual that shows the caster a distant province for a while.";
  } else if (sp.effect == 10033) {
    d = "A ritual that turns earth gems into gems of another path.";
  } else if (sp.effect == 10044) {
    d = "A ritual that grants the caster one wish.";
  } else if (sp.effect == 10050) {
    d = fmt("A ritual of construction that teaches the forging of items up to level %d.", sp.researchlevel + 1);
  } else if (sp.effect == 10062) {
    d = "A ritual by which a death mage becomes an undead lich.";
  } else if (sp.effect == 10111) {
    d = "A ritual that breaks a lasting enchantment.";
  } else if (sp.effect >= SPELL_RITUAL) {
    d = "A ritual.";
  } else {
    const int dmg = sp.damage > 999 ? sp.damage - 1000 : sp.damage;
    d = sp.damage == 999 ? "Slays its targets outright" : fmt(sp.damage > 999 ? "Strikes for %d damage and more the stronger the caster" : "Strikes for %d damage", dmg);
    d += sp.effect == 24 ? ", three times against undead and demons" : "";
    d += sp.area >= 660 ? " every enemy on the battlefield" : sp.area > 1 ? fmt(" an area of %d squares", sp.area) : " one target";
    d += fmt(" up to %d squares away.", sp.range);
    if (sp.flags & SF_ARMORNEGATING) d += " Armour does not protect.";
  }
  if (sp.path[0] >= 0) {
    d += " It needs " + std::string(sp.path[0] == 8 ? "holy power" : lower(pathnames[sp.path[0]])) + " " + std::to_string(sp.pathlevel[0]);
    if (sp.path[1] >= 0) d += " and " + std::string(sp.path[1] == 8 ? "holy power" : lower(pathnames[sp.path[1]])) + " " + std::to_string(sp.pathlevel[1]);
    d += fmt(sp.school == SCH_DIVINE ? " and faith alone." : " and research level %d in ", sp.researchlevel);
    if (sp.school != SCH_DIVINE) d += lower(schoolnames[sp.school]) + ".";
  }
  if (sp.flags & SF_MRNEGATESEASILY) d += " Magic resistance easily negates it.";
  else if (sp.flags & SF_MRNEGATES) d += " Magic resistance negates it.";
  if (sp.flags & SF_ONLYUNDERWATER) d += " It can only be cast under water.";
  else if (!(sp.flags & SF_UNDERWATER) && sp.path[0] >= 0) d += " It cannot be cast under water.";
  // The nations that know it, each people once with its eras.
  std::vector<std::pair<std::string, std::vector<std::string>>> peoples;
  for (int a = 0; a < SPELLATTRS && sp.attrkey[a] != 0; a++)
    if (sp.attrkey[a] == SPA_NATION && sp.attrval[a] >= 100 && sp.attrval[a] < 100 + MAXNATIONS) {
      const Nation& n = nations[sp.attrval[a] - 100];
      auto p = std::find_if(peoples.begin(), peoples.end(), [&](const auto& x) { return x.first == n.name; });
      if (p == peoples.end()) p = peoples.insert(peoples.end(), {n.name, {}});
      p->second.push_back(n.era == 1 ? "early" : n.era == 2 ? "middle" : "late");
    }
  std::vector<std::string> known;
  for (const auto& [name, eras] : peoples) known.push_back(name + " of the " + listwords(eras) + (eras.size() > 1 ? " eras" : " era"));
  if (!known.empty()) d += " Known to " + listwords(known) + ".";
  return d;
}

inline std::string describesite(int s) {
  const Site& st = sites[s];
  std::vector<std::string> e;
  for (int k = 0; k < SITEEFFECTS; k++) {
    const int kind = st.effectkind[k], v = st.effectval[k];
    if (kind >= 1 && kind <= 8) e.push_back(plural(v, gemnames[kind - 1]) + " a month");
    else if (kind == 9) e.push_back(plural(v, gemnames[8]) + " a month");
    else if (kind == SE_GOLD) e.push_back(fmt("%d gold a month", v));
    else if (kind == SE_RES) e.push_back(fmt("%d resources", v));
    else if ((kind == SE_RECUNIT || kind == SE_RECCOM) && v > 0) e.push_back("the recruitment of " + pluralof(unittypes[v].name));
    else if ((kind == SE_RECUNITCAP || kind == SE_RECCOMCAP) && v > 0) e.push_back("the recruitment of " + pluralof(unittypes[v].name) + " in the capital");
    else if (kind == SE_SUPPLY) e.push_back(fmt("%d supply", v));
    else if (kind == SE_UNREST) e.push_back(v > 0 ? fmt("order (unrest lowered by %d)", v) : fmt("unrest (raised by %d)", -v));
    else if (kind == SE_TRAINING) e.push_back("combat training");
    else if (kind == SE_SCALESECOND || kind == SE_SCALEFIRST) e.push_back("a change of the province's scales");
    else if (kind == SE_INANIMATEHP) e.push_back(fmt("%d percent more hit points to lifeless guardians", v));
    else if (kind == SE_INCOME) e.push_back(fmt("a change of income by %d", v));
    else if (kind >= 60 && kind <= 66) e.push_back(fmt("a bonus of %d to research", v));
    else if (kind == SE_SCRY) e.push_back("visions of far provinces");
    else if (kind == SE_SUMMON && v > 0) e.push_back("the summoning of " + pluralof(unittypes[v].name));
    else if (kind == SE_DISEASE) e.push_back("disease");
    else if (kind == SE_TREASURE) e.push_back("treasure to those who seek it");
  }
  std::vector<std::string> where;
  static const struct { uint32_t bit; const char* word; } places[] = {
      {SP_PLAIN, "on plains"}, {SP_FOREST, "in forests"}, {SP_MOUNTAIN, "in mountains"}, {SP_WASTE, "in wastes"},
      {SP_SEA, "in the sea"}, {SP_COAST, "on coasts"}, {SP_SWAMP, "in swamps"}, {SP_DEEPSEA, "in the deep sea"},
      {SP_CAVE, "in caves"}};
  for (const auto& p : places)
    if (st.placement & p.bit) where.push_back(p.word);
  const std::string path = st.path == 8 ? "holy power" : lower(pathnames[st.path]);
  std::string d = "A magic site of " + path + (st.path == 8 ? "" : " magic") +
                  fmt(" (search level %d)", st.level) +
                  (where.empty() ? std::string(st.placement & SP_UNIQUE ? ", one of a kind" : "") : ", " + listwords(where)) + ". ";
  d += e.empty() ? "It gives nothing." : sentence("It gives " + listwords(e));
  if (!d.empty() && d.back() == ' ') d.pop_back();
  return d;
}

// A nation: its hand-written story ("nationstory<number>") and what the data
// says of it: the paths its mages reach, the unit of its capital and its
// national rituals.
inline std::string describenation(int n) {
  const int story = finddescr(("nationstory" + std::to_string(n)).c_str());
  std::string d = story > 0 ? std::string(descrtextof(story)) + " " : "";
  const std::array<int, 9> reach = nationreach(n);
  std::vector<std::pair<int, int>> paths;   // level, path
  for (int p = 0; p < 9; p++)
    if (reach[p] > 0) paths.push_back({reach[p], p});
  std::stable_sort(paths.begin(), paths.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<std::string> words;
  for (const auto& [level, p] : paths)
    words.push_back(std::string(p == 8 ? "holy power" : lower(pathnames[p])) + " " + std::to_string(level));
  if (!words.empty()) d += sentence("Its mages reach " + listwords(words));
  if (const int cap = capitalunitof(n)) d += sentence("Its capital recruits " + pluralof(unittypes[cap].name));
  std::vector<std::string> rituals;
  for (int s = 1; s < nbrofspells(); s++)
    if (isnational(s) && !keptfromnation(s, n)) rituals.push_back(spells[s].name);
  if (!rituals.empty()) d += sentence(std::string(rituals.size() > 1 ? "Its national rituals: " : "Its national ritual: ") + listwords(rituals));
  if (!d.empty() && d.back() == ' ') d.pop_back();
  return d;
}

// Every generated text with its key, in file order.
inline std::vector<std::pair<std::string, std::string>> generateddescriptions() {
  const Roles r = rolesofdata();
  std::vector<std::pair<std::string, std::string>> out;
  for (int s = 0; s < nbrofspells(); s++) out.push_back({spells[s].name, describespell(r, s)});
  for (int i = 1; i < nbrofitems(); i++)
    if (items[i].name[0]) out.push_back({"item" + std::to_string(i), describeitem(i)});
  for (int m = 1; m < nbrofunittypes(); m++)
    if (isusedunittype(m)) out.push_back({"mon" + std::to_string(m), describeunit(r, m)});
  for (int s = 1; s < nbrofsites(); s++)
    if (sites[s].name[0]) out.push_back({"site" + std::to_string(s), describesite(s)});
  for (int n = 0; n < nbrofnations(); n++)
    if (playable(n)) out.push_back({"nation" + std::to_string(n), describenation(n)});
  return out;
}

}  // namespace content
