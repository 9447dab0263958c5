// The rules behind the unit box's smaller boxes on small worlds: ability
// icons and their explanations, weapon, armour and random-magic lines, the
// item, site, fort and mercenary lines with the bid's limits, and gem
// transfers with their limits.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "host/host.h"
#include "runtime/trs.h"
#include "screens/abilitybox.h"
#include "screens/equipbox.h"
#include "screens/gemtransfer.h"
#include "screens/infoboxes.h"
#include "screens/unitbox.h"
#include "support/smallworld.h"
#include "worldgen/mercenaries.h"

namespace {
std::vector<std::string> hovers(const std::vector<BoxEntry>& v) {
  std::vector<std::string> out;
  for (const BoxEntry& e : v) out.push_back(e.hover);
  return out;
}
std::vector<std::string> texts(const std::vector<InfoLine>& v) {
  std::vector<std::string> out;
  for (const InfoLine& l : v)
    if (!l.text.empty()) out.push_back(l.text);
  return out;
}
bool has(const std::vector<std::string>& v, const std::string& s) { return std::find(v.begin(), v.end(), s) != v.end(); }

class Boxes : public ::testing::Test {
 protected:
  int32_t hero = -1, mate = -1, soldier = -1;
  void SetUp() override {
    makesmallworld();
    settype(1, "Ash Warden");
    settype(2, "Spearman");
    hero = mkcom(1, 3, 2);
    mate = mkcom(1, 3, 2);
    soldier = mkunit(2, 3, 2);
    strcpy(com[hero].name, "Aldric");
    strcpy(com[mate].name, "Brenna");
  }
};

TEST_F(Boxes, AbilityIconsInDrawingOrderWithValues) {
  EXPECT_TRUE(unitboxicons(soldier).empty());
  Monster& t = unittypes[2];
  t.flags |= MF_UNDEAD | MF_FLYING;
  addtypeability(2, AB_FIRERES, 15);
  addtypeability(2, AB_COLDRES, -5);
  addtypeability(2, AB_AWE, 3);
  addtypeability(2, 298, 1);   // seduction, twice with 210
  addtypeability(2, 210, 1);
  unit[soldier].flags[0] |= AF_LOSTEYE | AF_LIMP | AF_WEAKENED;
  unit[soldier].exp = 250;   // four stars
  EXPECT_EQ(hovers(unitboxicons(soldier)),
            (std::vector<std::string>{"Awe (+2)", "Fire Resistant (15)", "Susceptible to Cold (5)", "Undead", "Flying",
                                      "Seduction", "Seduction", "Affliction", "Affliction", "Affliction", "Experience",
                                      "Experience", "Experience", "Experience"}));
  EXPECT_EQ(unitboxicons(soldier)[2].id, UB_ICON + 76);
  EXPECT_EQ(unitboxicons(soldier)[2].sprite, 76);
  // Explanations: the wounds in their order, values in titles.
  const IconText wounds = icontext(soldier, 0);
  EXPECT_EQ(wounds.title, "Battle Wounds");
  EXPECT_EQ(wounds.lines, (std::vector<std::string>{"Lost one eye (Att -2, Def -2, Prec -3)", "Weakened (Str -4)",
                                                    "Limp (AP -4, Att -1, Def -1)"}));
  EXPECT_EQ(icontext(soldier, 1).title, "Fire Resistant (15)");
  EXPECT_EQ(icontext(soldier, 76).title, "Susceptible to Cold (5)");
  EXPECT_EQ(icontext(soldier, 40).title, "Awe (+2)");
  EXPECT_EQ(icontext(soldier, 6).title, "") << "fear below 5 has no title";
  com[hero].tmpfx = 3;
  EXPECT_EQ(icontext(bodyunit(hero), 22).title, "Lightning Reflexes");
  EXPECT_EQ(icontext(bodyunit(hero), 22).lines.size(), 2u);
  com[hero].tmpfx = 77;
  EXPECT_EQ(icontext(bodyunit(hero), 22).title, "Heroic Agility");
  EXPECT_EQ(icontext(soldier, ICONKINDS).title, "") << "a kind outside the table shows nothing";
  EXPECT_TRUE(unitboxicons(MAXUNITS).empty());
}

// The states kept in the unit's flag words: each bit alone shows its row, with
// its icon and an explanation; all together they keep the row's order.
TEST_F(Boxes, StateFlagsShowTheirIconsInOrder) {
  const struct {
    int32_t word;
    uint32_t bit;
    int32_t kind;
    const char* hover;
  } states[] = {{0, AF_CURSED, 42, "Cursed"},
                {1, ST_SHARPWEAPON, 46, "Weapon of Sharpness"},
                {1, ST_ASTRALWEAPON, 47, "Astral Weapon"},
                {0, AF_RUSTYARMOR, 48, "Rusty Armor"},
                {0, AF_NOARMOR, 49, "Broken Armor"},
                {1, ST_FIREMISSILES, 50, "Fire Missiles"},
                {2, F3_MISTFORM, 53, "Mistform"},
                {2, F3_CHARGEBODY, 58, "Charge Body"},
                {2, F3_TWISTFATE, 77, "Twist Fate"},
                {0, AF_CURSEOFSTONES, 78, "Curse of Stones"},
                {0, AF_DECAYING, 98, "Decaying"},
                {2, F3_MOSSBODY, 107, "Mossbody"},
                {2, F3_RETURNING, 34, "Ritual of Returning"},
                {2, F3_INNERSUN, 35, "Inner Sun"},
                {2, F3_TWICEBORN, 33, "Twiceborn"}};
  std::vector<std::string> all;
  for (const auto& s : states) {
    unit[soldier].flags[0] = unit[soldier].flags[1] = unit[soldier].flags[2] = 0;
    unit[soldier].flags[s.word] = s.bit;
    const std::vector<BoxEntry> row = unitboxicons(soldier);
    ASSERT_EQ(row.size(), 1u) << s.hover;
    EXPECT_EQ(row[0].hover, std::string(s.hover));
    EXPECT_EQ(row[0].sprite, s.kind) << s.hover;
    EXPECT_EQ(row[0].id, UB_ICON + s.kind) << s.hover;
    EXPECT_FALSE(icontext(soldier, s.kind).lines.empty()) << s.hover;
    all.push_back(s.hover);
  }
  EXPECT_EQ(icontext(soldier, 33).title, "Twiceborn Enchantment");
  EXPECT_EQ(icontext(soldier, 98).title, "Decay");
  EXPECT_EQ(icontext(soldier, 50).title, "Flaming Missiles (8 ap damage)");
  unit[soldier].flags[0] = unit[soldier].flags[1] = unit[soldier].flags[2] = 0;
  for (const auto& s : states) unit[soldier].flags[s.word] |= s.bit;
  EXPECT_EQ(hovers(unitboxicons(soldier)), all);
}

TEST_F(Boxes, WeaponArmourAndRandomMagicLines) {
  Weapon& w = setweapon(3, "Bane Bow");
  w.range = -3;
  w.att = 2;
  w.ammo = 12;
  w.flags = WF_ARMORPIERCING | WF_MUNDANE;
  std::vector<std::string> l = texts(weaponlines(3));
  EXPECT_EQ(l[0], "Damage: 5 (armor piercing)");
  EXPECT_TRUE(has(l, "(strength of wielder not added)"));
  EXPECT_TRUE(has(l, "Range: strength / 3"));
  EXPECT_FALSE(has(l, "This weapon is considered magic"));
  w.dmg = 999;
  w.flags = WF_STRENGTH;
  l = texts(weaponlines(3));
  EXPECT_EQ(l[0], "Damage: death");
  EXPECT_FALSE(has(l, "(strength of wielder not added)"));
  EXPECT_TRUE(has(l, "This weapon is considered magic"));
  EXPECT_TRUE(weaponlines(MAXWEAPONS).empty());
  setarmor(4, "Scale Hauberk", IT_ARMOR, -2, 3);
  addprot(4, LOC_BODY, 10);
  addprot(4, LOC_ARMS, 6);
  EXPECT_EQ(texts(armorlines(4)), (std::vector<std::string>{"Protection, Body: 6", "Defence: -2", "Encumbrance: 3"}));
  setarmor(5, "Kite Shield", IT_SHIELD, 4, 2);
  addprot(5, LOC_SHIELD, 16);
  EXPECT_EQ(texts(armorlines(5)),
            (std::vector<std::string>{"Protection, Shield: 16", "Defence: -2", "Parry: 6", "Encumbrance: 2"}));
  randmagic[0] = {1, 50, 1};
  randmagic[1] = {2, 50, 1};
  randmagic[2] = {1, 0x80 | 0x8000, 250};
  randmagic[3] = {1, 7, 100};   // no such code: skipped
  const std::vector<RandMagicRow> rows = randmagicrows(1);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].paths.size(), 8u);
  EXPECT_EQ(rows[0].level, 1);
  EXPECT_EQ(rows[0].chance, 100);
  EXPECT_EQ(rows[1].paths, (std::vector<int32_t>{P_FIRE, P_PRIEST}));
  EXPECT_EQ(rows[1].level, 3);
  EXPECT_EQ(rows[1].chance, 100);
  EXPECT_EQ(randmagictotal(1), 350);
}

TEST_F(Boxes, ItemSiteAndFortLines) {
  setweapon(6, "Ember Blade", 1, 2, 2).dmgtype = 1024;
  Item& it = setitem(7, "Ember Blade", IT_ONEHAND);
  it.weapon = 6;
  it.mainpath = P_FIRE;
  it.mainlevel = 2;
  it.secondpath = P_EARTH;
  it.secondlevel = 12;   // clamped to 9
  additemability(7, 12, 2);
  additemability(7, 119, 1);
  const std::vector<std::string> l = texts(itemlines(7));
  EXPECT_EQ(l[0], "single handed weapon");
  EXPECT_TRUE(has(l, "(x3 vs undead/demon)")) << "damage type 1024 counts as 24";
  EXPECT_TRUE(has(l, "water magic bonus: 2"));
  EXPECT_TRUE(has(l, "astral magic bonus: 2"));
  const std::vector<ItemNeed> needs = itemneeds(7);
  ASSERT_EQ(needs.size(), 2u);
  EXPECT_EQ(needs[0].gems, 10);
  EXPECT_EQ(needs[1].gems, 140);
  EXPECT_TRUE(itemlines(MAXITEMS).empty());
  EXPECT_DEATH(mibox(MAXITEMS), "mibox: bad mi");

  Site& s = sites[9];
  strcpy(s.name, "Cinder Well");
  s.path = P_FIRE;
  for (int32_t n = 0; n < 5; n++) s.effectkind[n] = SE_GOLD, s.effectval[n] = 20;
  EXPECT_EQ(texts(sitelines(9)), std::vector<std::string>{"Brings 20 gold per turn"}) << "repeats shown once";
  s.effectkind[0] = SE_SUMMON, s.effectval[0] = 2;
  s.effectkind[1] = SE_SUMMON, s.effectval[1] = 2;
  s.effectkind[2] = SE_UNREST, s.effectval[2] = -3;
  s.effectkind[3] = 1, s.effectval[3] = 2;
  const std::vector<std::string> sl = texts(sitelines(9));
  EXPECT_EQ(sl[0], "A fire mage may enter to summon Spearmen");
  EXPECT_EQ(sl[1], "Increases unrest by 3");
  // The gem's picture stands between the count and the rest of the sentence.
  const InfoLine gems = sitelines(9)[2];
  EXPECT_EQ(gems.text, "Produces 2");
  EXPECT_EQ(gems.sprite, SPRITE_GEM + P_FIRE);
  EXPECT_EQ(gems.after, "per turn");
  EXPECT_TRUE(sitelines(-1).empty());

  strcpy(forts[2].name, "Fortress");
  forts[2].val[FORT_DEF] = 300;
  land[4].owner = 3;
  land[4].fortholder = 6;
  EXPECT_TRUE(has(texts(fortlines(3, 4, 2)), "Fort is under siege"));
  land[4].fortdef = 120;
  EXPECT_TRUE(has(texts(fortlines(6, 4, 2)), "Defence left 120"));
  EXPECT_FALSE(has(texts(fortlines(6, 0, 2)), "Fort is under siege")) << "no land, no siege";
  EXPECT_DEATH(castlebox(3, 4, -1), "castlebox: bad type");
}

TEST_F(Boxes, MercenaryPriceAndBidLimits) {
  MercBand& m = mercband[1];
  strcpy(m.name, "The Grey Lances");
  m.value[MB_LEADER] = int16_t(hero);
  m.value[MB_PRICE] = 100;
  m.value[MB_FAVNATION] = 5;
  m.value[MB_FAVPERCENT] = 50;
  m.value[MB_EMPLOYER] = 40;
  m.value[MB_MONTHS] = 1;
  EXPECT_EQ(mercprice(1, 3), 100);
  EXPECT_EQ(mercprice(1, 5), 50);
  EXPECT_EQ(mercprice(1, 40), 62) << "(price + price / 4) / 2";
  EXPECT_EQ(texts(merclines(1, 3))[0], "Aldric doesn't command any men and demands 100 pounds of gold for employment.");
  // Hire with no gold starts at 0 and cannot rise; a bid never drives the
  // treasury below 0 whatever the answers.
  kingdom[3].gold = 0;
  EXPECT_EQ(mercstartbid(1, 3, 7), 0);
  EXPECT_EQ(stepmercbid(1, 3, 1).why, "You have no more gold");
  kingdom[3].gold = 120;
  EXPECT_EQ(mercstartbid(1, 3, 7), 100);
  EXPECT_EQ(kingdom[3].gold, 20);
  for (int32_t n = 0; n < 30; n++) stepmercbid(1, 3, 1);
  EXPECT_EQ(kingdom[3].gold, 0);
  EXPECT_EQ(kingdom[3].w[KW_MERCBIDS + 1], 120);
  EXPECT_EQ(kingdom[3].w[KW_MERCBIDLAND + 1], 7);
  EXPECT_TRUE(has(texts(merclines(1, 3)), "Your current bid is 120 pounds of gold."));
  withdrawmercbid(1, 3);
  EXPECT_EQ(kingdom[3].gold, 120);
  EXPECT_EQ(kingdom[3].w[KW_MERCBIDLAND + 1], -1);
  EXPECT_EQ(mercprice(7, 3), 0);
  EXPECT_DEATH(mercbox(5, 3, 0), "mercbox: bad mercnr");
}

TEST_F(Boxes, AnItemBeyondTheTableIsShownAsNothing) {
  // Only a damaged file holds one.
  com[hero].item[2] = 600;
  for (const BoxEntry& e : unitboxslots(hero)) EXPECT_NE(e.id, UB_ITEM + 2);
}

TEST_F(Boxes, GemTransfersWithTheirLimits) {
  // Without a laboratory gems move between the two commanders only.
  com[hero].gems[P_FIRE] = 2;
  GemSides s = gemsides(hero, -1);
  EXPECT_EQ(s.right, mate);
  EXPECT_FALSE(s.lab);
  EXPECT_EQ(gemclick(s, GEM_RIGHT + P_FIRE), 1);
  EXPECT_EQ(com[mate].gems[P_FIRE], 1);
  EXPECT_EQ(gemclick(s, GEM_TREASURY + P_FIRE), 0);
  EXPECT_EQ(gemclick(s, -(GEM_LEFT + P_FIRE)), 1);
  EXPECT_EQ(com[hero].gems[P_FIRE], 0);
  EXPECT_EQ(com[mate].gems[P_FIRE], 2);
  // 30 gems is the most a commander takes, from either source.
  com[hero].gems[P_EARTH] = 30;
  EXPECT_EQ(gemclick(s, GEM_LEFT + P_FIRE), 0);
  land[2].lab = 1;
  land[2].fortholder = 3;
  kingdom[3].w[KW_GEMS + P_FIRE] = 5;
  s = gemsides(hero, -1);
  EXPECT_EQ(gemclick(s, GEM_LEFT + P_FIRE), 0);
  com[hero].gems[P_EARTH] = 0;
  // With a laboratory the treasury gives first; empty, the other commander.
  EXPECT_EQ(gemclick(s, GEM_LEFT + P_FIRE), 1);
  EXPECT_EQ(kingdom[3].w[KW_GEMS + P_FIRE], 4);
  kingdom[3].w[KW_GEMS + P_FIRE] = 0;
  EXPECT_EQ(gemclick(s, GEM_LEFT + P_FIRE), 1);
  EXPECT_EQ(com[mate].gems[P_FIRE], 1);
  EXPECT_EQ(gemclick(s, GEM_TREASURY + P_FIRE), 1);
  EXPECT_EQ(kingdom[3].w[KW_GEMS + P_FIRE], 1);
  // A full store takes nothing more (its count would wrap).
  kingdom[3].w[KW_GEMS + P_FIRE] = INT16_MAX;
  ASSERT_GT(com[hero].gems[P_FIRE], 0);
  EXPECT_EQ(gemclick(s, -(GEM_LEFT + P_FIRE)), 0);
  EXPECT_EQ(kingdom[3].w[KW_GEMS + P_FIRE], INT16_MAX);
  kingdom[3].w[KW_GEMS + P_FIRE] = 1;
  // A mercenary gives nothing away, but takes.
  unit[bodyunit(hero)].homeland = -2;
  const int32_t before = com[hero].gems[P_FIRE];
  EXPECT_EQ(gemclick(s, GEM_TREASURY + P_FIRE), 0);
  EXPECT_EQ(gemclick(s, -(GEM_LEFT + P_FIRE)), 0);
  kingdom[3].w[KW_GEMS + P_FIRE] = 0;   // so the right would take it from the left
  EXPECT_EQ(gemclick(s, GEM_RIGHT + P_FIRE), 0);
  EXPECT_EQ(com[hero].gems[P_FIRE], before);
  EXPECT_EQ(gemclick(s, GEM_LEFT + P_FIRE), 1) << "from the right commander";
  // Alone in its land: no right side.
  setunitland(bodyunit(mate), 5);
  EXPECT_EQ(gemsides(hero, -1).right, -1);
  EXPECT_EQ(gemclick(gemsides(hero, -1), GEM_RIGHT + P_FIRE), 0);
  EXPECT_DEATH(gemclick(s, GEM_LEFT + 9), "tg100");
  EXPECT_DEATH(gemclick(s, -(GEM_RIGHT + 12)), "tg-200");
  EXPECT_DEATH(gemsides(-1, -1), "tgems: bad cnr1");
  setunitland(bodyunit(mate), -1);
  EXPECT_DEATH(gemsides(mate, -1), "tgems: bad lnr");
}
}  // namespace
