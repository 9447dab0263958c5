// Validation of the built-in data set: every number, name, run, end row and
// cross-reference that the rules rely on.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "gamedata_ids.h"
#include "world/gamedata.h"

namespace {

class GameData : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { loadgamedata(); }
};

bool hasmagic(int m, int path = -1) {
  for (int i = 0; i < MAXTYPEMAGIC && typemagic[i].type >= 0; i++)
    if (typemagic[i].type == m && (path < 0 || typemagic[i].path == path) && typemagic[i].level > 0) return true;
  return false;
}
bool hasweapon(int m, int w) {
  for (int16_t x : unittypes[m].weapon)
    if (x == w) return true;
  return false;
}
bool isunit(int m) { return m > 0 && m < BUILTIN_UNITTYPES && isusedunittype(m); }

TEST_F(GameData, EndRowsSitAtTheBuiltInCounts) {
  EXPECT_EQ(nbrofunittypes(), BUILTIN_UNITTYPES);
  EXPECT_EQ(nbrofweapons(), BUILTIN_WEAPONS);
  EXPECT_EQ(nbrofarmors(), BUILTIN_ARMORS);
  EXPECT_EQ(nbrofitems(), BUILTIN_ITEMS);
  EXPECT_EQ(nbrofsites(), BUILTIN_SITES);
  EXPECT_EQ(nbrofnations(), BUILTIN_NATIONS);
  EXPECT_EQ(unittypes[BUILTIN_UNITTYPES].sprite, UNITTYPE_ENDSPRITE);
  EXPECT_EQ(weapons[BUILTIN_WEAPONS].dmg, WEAPON_ENDDMG);
  EXPECT_EQ(armors[BUILTIN_ARMORS].def, ARMOR_ENDDEF);
  EXPECT_EQ(items[BUILTIN_ITEMS].constlevel, ITEM_ENDLEVEL);
  EXPECT_EQ(sites[BUILTIN_SITES].path, SITE_ENDPATH);
  EXPECT_STREQ(spells[nbrofspells()].name, "end");
  EXPECT_STREQ(epithets[nbrofepithets()].text, "end");
  EXPECT_EQ(merctemplates[nbrofmerctemplates()].tier, MERC_ENDTIER);
  EXPECT_EQ(nbrofepithets(), BUILTIN_EPITHETS);
  EXPECT_EQ(nbrofmerctemplates(), BUILTIN_MERCTEMPLATES);
  for (int n = BUILTIN_NATIONS; n < MAXNATIONS; n++) EXPECT_EQ((int16_t)nations[n].endmarker, NATION_FREEMARK);
  // no used row hides past an end row, and filler items are never forgeable
  for (int i = 1; i < BUILTIN_ITEMS; i++)
    if (items[i].name[0] == 0) {
      EXPECT_GE(items[i].constlevel, 5);
      EXPECT_EQ(items[i].mainpath, -1);
    }
  EXPECT_GE(nbrofsites(), 101);
}

TEST_F(GameData, BoundRowsHoldTheirNames) {
  for (const BoundRow& b : boundrows) {
    const char* have = b.table == 'u' ? unittypes[b.row].name : b.table == 'w' ? weapons[b.row].name
                     : b.table == 'a' ? armors[b.row].name : b.table == 'i' ? items[b.row].name
                     : b.table == 's' ? sites[b.row].name : b.table == 'n' ? nations[b.row].name
                     : b.table == 'f' ? forts[b.row].name : spells[b.row].name;
    EXPECT_STREQ(have, b.name) << b.table << " " << b.row;
  }
  for (const BoundRow& b : boundnames) {
    int r = b.table == 'a' ? findarmor(b.name) : b.table == 'i' ? finditem(b.name) : b.table == 's' ? findsite(b.name)
          : b.table == 'f' ? findfort(b.name) : b.table == 'p' ? findspell(b.name) : -1;
    EXPECT_GT(r, 0) << b.name;
  }
  EXPECT_EQ(findunittype("NO ONE"), 0);
  EXPECT_EQ(findweapon("spear"), WPN_SPEAR);
  EXPECT_EQ(finditem("No Item"), 0);
  EXPECT_EQ(items[0].constlevel, ITEM_SENTINELLEVEL);
  EXPECT_STREQ(sites[SIT_SMOULDERCONE].name, "The Smouldercone");
}

TEST_F(GameData, UnitRowsFitTheirNamesAndRoles) {
  // runs drawn as base + rnd(k) are contiguous used rows
  const int runs[][2] = {{186, 187}, {191, 196}, {615, 619}, {1657, 1658}, {1716, 1718}, {1720, 1722},
                         {1724, 1726}, {1727, 1729}, {2041, 2044}, {914, 922}};
  for (auto& r : runs)
    for (int m = r[0]; m <= r[1]; m++) {
      EXPECT_TRUE(isunit(m)) << m;
      EXPECT_TRUE(unittypes[m].flags & MF_UNDEAD) << m << " " << unittypes[m].name;
      EXPECT_TRUE(unittypes[m].flags2 & MF2_UNDEADCLASS) << m;
    }
  for (int m = 191; m <= 196; m++) EXPECT_STREQ(unittypes[m].name, "Longdead");
  for (int m : {197, 198, 315, 316, 317, 318, 319, 1715, 1731, 1732, 178, 179, 185, 188, 190, 533, 625, 741, 778, 366})
    EXPECT_TRUE(unittypes[m].flags & MF_UNDEAD) << m;
  EXPECT_TRUE(unittypes[317].flags & MF_FLYING);        // Caelum's dead still fly
  // sea folk breathe water
  for (int m : {110, 174, 175, 176, 206, 207, 406, 438, 529, 545, 564, 565, 573, 574, 576, 577, 580, 974, 975, 976,
                1060, 1065, 1067, 1482, 1521, 1530, 1531, 318, 919, 920, 102, 103})
    EXPECT_TRUE(unittypes[m].flags & (MF_AQUATIC | MF_AMPHIBIAN)) << m << " " << unittypes[m].name;
  for (int m : {88, 632, 1260, 1764}) EXPECT_TRUE(unittypes[m].flags & MF_DEMON) << m;
  for (int m : {471, 474, 475, 542, 768, 370}) EXPECT_TRUE(unittypes[m].flags & MF_INANIMATE) << m;
  for (int m : {217, 240, 241, 135, 440}) EXPECT_TRUE(unittypes[m].flags & MF_HOLY) << m;
  for (int m : {346, 347, 349, 350, 352, 353, 355, 356, 344, 609, 606}) EXPECT_TRUE(unittypes[m].flags & MF_FEMALE) << m;
  // lost-part types carry the natural weapon the part takes
  const int parts[][2] = {{91, 30}, {766, 30}, {719, 30}, {767, 30}, {138, 38}, {438, 85}, {973, 85}, {462, 144},
                          {521, 63}, {608, 20}, {621, 240}, {980, 240}, {981, 240}, {652, 271}, {655, 273}};
  for (auto& p : parts) EXPECT_TRUE(hasweapon(p[0], p[1])) << p[0];
  // commanders of the garrisons can lead what they are given
  const uint32_t undeadleaders = MF2_POORUNDEADLEADER | MF2_OKUNDEADLEADER | MF2_GOODUNDEADLEADER |
                                 MF2_EXPERTUNDEADLEADER | MF2_SUPERIORUNDEADLEADER;
  for (int m : {95, 156, 178, 179, 185, 187, 188, 190, 198, 252, 255, 299, 310, 329, 366, 437, 446, 491, 741, 778, 843,
                1200, 1201, 1608, 1609, 1765})
    EXPECT_TRUE(unittypes[m].flags2 & undeadleaders) << m << " " << unittypes[m].name;
  for (int m : {23, 34, 35, 36, 44, 45, 46, 119, 136, 141, 147, 207, 240, 241, 269, 272, 366, 406, 437, 471, 519, 548,
                573, 580, 741, 843, 976, 1060, 1067, 1127, 1197, 1461, 1463, 1531, 1600, 1611, 1613, 1616, 1750})
    EXPECT_FALSE(unittypes[m].flags2 & MF2_NOLEADER) << m << " " << unittypes[m].name;
  EXPECT_STREQ(weapons[WPN_FIST].name, "Fist");
  EXPECT_STREQ(weapons[WPN_USELESS_KICK].name, "Useless Kick");
  // every used row has a body and valid weapon and armor rows
  for (int m = 1; m < BUILTIN_UNITTYPES; m++) {
    if (!isusedunittype(m)) continue;
    const Monster& u = unittypes[m];
    EXPECT_GT(u.hp, 0) << m;
    EXPECT_GT(u.size, 0) << m;
    EXPECT_GT(u.mor, 0) << m;
    for (int16_t w : u.weapon) EXPECT_TRUE(w == 0 || (w < BUILTIN_WEAPONS && weapons[w].name[0])) << m;
    for (int16_t a : u.armor) EXPECT_TRUE(a == 0 || (a < BUILTIN_ARMORS && armors[a].name[0])) << m;
    EXPECT_NE(u.sprite, UNITTYPE_ENDSPRITE);
  }
}

TEST_F(GameData, MagesAndPriestsHaveTypeMagic) {
  for (int m : {92, 93, 94, 95, 96, 97, 98, 99, 102, 103, 105, 122, 170, 299, 302, 309, 310, 312, 321, 329, 341, 344,
                346, 349, 352, 355, 1198, 1200, 1514, 1530, 1596, 1597, 1598, 1602, 1608, 1614, 178, 179})
    EXPECT_TRUE(hasmagic(m)) << m << " " << unittypes[m].name;
  for (int m : {240, 241, 347, 350, 353, 356, 1195, 576, 1609, 1612}) EXPECT_TRUE(hasmagic(m, 8)) << m;
  for (int i = 0; i < MAXTYPEMAGIC && typemagic[i].type >= 0; i++) {
    EXPECT_TRUE(isunit(typemagic[i].type));
    EXPECT_TRUE(typemagic[i].path <= 8 || typemagic[i].path >= 128);
  }
  for (int i = 0; i < MAXRANDMAGIC && randmagic[i].type >= 0; i++) {
    EXPECT_TRUE(isunit(randmagic[i].type));
    EXPECT_TRUE((randmagic[i].code >= 50 && randmagic[i].code <= 52) || randmagic[i].code >= 128);
    EXPECT_GT(randmagic[i].chance, 0);
  }
  // every commander type named as a nation's mage or priest has magic
  for (int n = 0; n < BUILTIN_NATIONS; n++) {
    bool coms = false;
    int magic = 0;
    for (int32_t e : nations[n].recruit) {
      if (e == RECRUIT_END) break;
      if (e == RECRUIT_COMMANDERS) { coms = true; continue; }
      if (coms && hasmagic(e)) magic++;
    }
    if (n < 23 || n > 25) { EXPECT_GE(magic, 2) << nations[n].name; }
  }
}

TEST_F(GameData, ArmorsWeaponsItemsAndSites) {
  const Armor& b = armors[findarmor("Buckler")];
  EXPECT_EQ(b.prot[0].loc, LOC_SHIELD);
  EXPECT_EQ(b.prot[0].prot, 13);
  EXPECT_EQ(b.prot[1].loc, 0);
  EXPECT_EQ(b.def, 2);
  EXPECT_EQ(b.enc, 0);
  EXPECT_EQ(b.rcost, 1);
  EXPECT_EQ(b.type, IT_SHIELD);
  const Armor& p = armors[findarmor("Plate Cuirass")];
  EXPECT_EQ(p.prot[0].loc, LOC_BODY); EXPECT_EQ(p.prot[0].prot, 20);
  EXPECT_EQ(p.prot[1].loc, LOC_ARMS); EXPECT_EQ(p.prot[1].prot, 8);
  EXPECT_EQ(p.prot[2].loc, LOC_LEGS); EXPECT_EQ(p.prot[2].prot, 8);
  EXPECT_EQ(p.prot[3].loc, 0);
  EXPECT_EQ(p.def, -1); EXPECT_EQ(p.enc, 2); EXPECT_EQ(p.rcost, 15); EXPECT_EQ(p.type, IT_ARMOR);

  int stone = finditem("Alchemist's Stone");
  ASSERT_GT(stone, 0);
  EXPECT_EQ(items[stone].abilityid[0], AB_ALCHEMY);
  EXPECT_EQ(items[stone].abilityval[0], 50);
  // item kinds fit their names and carry the weapon or armor they need
  int perlevel[3] = {};
  for (int i = 1; i < BUILTIN_ITEMS; i++) {
    const Item& it = items[i];
    if (!it.name[0]) continue;
    ASSERT_GE(it.type, IT_ONEHAND) << it.name;
    if (it.type <= IT_MISSILE) { EXPECT_GT(it.weapon, 0) << it.name; }
    if (it.type == IT_SHIELD || it.type == IT_ARMOR || it.type == IT_HELMET) { EXPECT_GT(it.armor, 0) << it.name; }
    if (it.armor > 0) { EXPECT_EQ(armors[it.armor].type == IT_SHIELD, it.type == IT_SHIELD) << it.name; }
    EXPECT_GE(it.mainpath, 0) << it.name;
    if (it.constlevel <= 2) perlevel[it.constlevel]++;
    if (it.spell[0]) { EXPECT_GE(findspell(it.spell), 0) << it.spell; }
  }
  for (int l = 0; l < 3; l++) EXPECT_GE(perlevel[l], 10) << "construction level " << l;
  const struct { const char* name; int8_t type; } kinds[] = {
      {"Bane Blade", IT_ONEHAND}, {"Halberd of Might", IT_TWOHAND}, {"Skull Staff", IT_TWOHAND}, {"Lead Shield", IT_SHIELD},
      {"Black Steel Full Plate", IT_ARMOR}, {"Crown of Command", IT_HELMET}, {"Boots of Stone", IT_BOOTS},
      {"Pendant of Luck", IT_MISC}, {"Champion's Trident", IT_ONEHAND}};
  for (auto& k : kinds) EXPECT_EQ(items[finditem(k.name)].type, k.type) << k.name;
  // items that garrisons hand out carry no picture that limits who may hold them
  for (const BoundRow& b : boundnames)
    if (b.table == 'i') {
      int16_t pic = items[finditem(b.name)].picture;
      EXPECT_TRUE(pic != 26 && pic != 27 && pic != 40) << b.name;
    }

  // sites: heroes' sites stay hidden and unique; every path has level-0 sites at every rarity
  for (const char* s : {"The Queen's Galley", "Halls of the Dead", "Surakid's Tower", "Jungle Temple", "Catacombs",
                        "Cave of Ghouls", "The Iron Caverns", "Cave of Dark Rites", "Troll Pit",
                        "Bolivar's Tower of Reflections", "Starke's Ice Cave", "The Desert of Ptah", "The Doom Cloud"}) {
    int r = findsite(s);
    ASSERT_GT(r, 0) << s;
    EXPECT_GE(sites[r].level, 1) << s;
    EXPECT_TRUE(sites[r].placement & SP_UNIQUE) << s;
  }
  for (int path = 0; path <= 8; path++)
    for (int rar = 0; rar <= 2; rar++) {
      int found = 0;
      for (int s = 1; s < BUILTIN_SITES; s++)
        if (sites[s].name[0] && sites[s].path == path && sites[s].level == 0 && sites[s].rarity == rar &&
            (sites[s].placement & ~SP_UNIQUE))
          found++;
      EXPECT_GE(found, 3) << "path " << path << " rarity " << rar;
    }
  for (int s = 1; s < BUILTIN_SITES; s++)
    for (int k = 0; k < SITEEFFECTS; k++) {
      int kind = sites[s].effectkind[k];
      if (kind == SE_RECUNIT || kind == SE_RECCOM || kind == SE_SUMMON || kind == SE_RECUNITCAP || kind == SE_RECCOMCAP) {
        EXPECT_TRUE(isunit(sites[s].effectval[k])) << sites[s].name;
      }
    }
}

TEST_F(GameData, NationsArePlayable) {
  const Nation& n0 = nations[0];
  EXPECT_STREQ(n0.name, "Raraduvizaro");
  EXPECT_STREQ(n0.epithet, "Golden Era");
  EXPECT_STREQ(n0.shortname, "Arc");
  EXPECT_STREQ(n0.fileword, "early_raraduvizaro");
  const char* words[3] = {"x1", "x2", "x3"};
  for (int n = 23; n <= 25; n++) {
    EXPECT_STREQ(nations[n].fileword, words[n - 23]);
    EXPECT_EQ(nations[n].era, 0);
  }
  EXPECT_STREQ(nations[23].name, "Special Monsters");
  EXPECT_STREQ(nations[24].name, "Special Monsters");
  EXPECT_STREQ(nations[25].name, "Independents");
  // eras of the nations that the undead-culture rules name
  for (int n : {1, 9, 10, 17, 18, 20, 21, 22}) EXPECT_EQ(nations[n].era, 1) << n;
  for (int n : {28, 38, 39, 42, 43, 45, 46, 47}) EXPECT_EQ(nations[n].era, 2) << n;
  for (int n : {50, 59, 60, 63, 64, 66, 67, 68}) EXPECT_EQ(nations[n].era, 3) << n;
  std::set<std::string> files;
  int perera[4] = {};
  for (int n = 0; n < BUILTIN_NATIONS; n++) {
    const Nation& na = nations[n];
    EXPECT_TRUE(files.insert(na.fileword).second) << na.fileword;
    if (n >= 23 && n <= 25) continue;
    perera[na.era]++;
    EXPECT_TRUE(na.name[0] && na.epithet[0] && na.shortname[0]) << n;
    EXPECT_TRUE(na.era >= 1 && na.era <= 3) << n;
    EXPECT_GT(na.colour[0] + na.colour[1] + na.colour[2], 0.0f) << n;
    for (uint32_t key : {NA_STARTCOM, NA_STARTUNIT1, NA_STARTUNIT2, NA_STARTSCOUT})
      EXPECT_TRUE(isunit(getnatattr(n, key))) << na.name << " key " << key;
    for (uint32_t key : {158u, 159u, 160u, 161u, 162u, 163u, 164u, 165u, 186u, 187u, 188u, 189u, 190u, 191u, 211u, 212u, 213u, 214u})
      if (getnatattr(n, key) > 0) { EXPECT_TRUE(isunit(getnatattr(n, key))) << na.name << " key " << key; }
    for (uint32_t key = NA_CASTLEPLAIN; key <= NA_CASTLESTART; key++) EXPECT_LT(getnatattr(n, key), MAXFORTS);
    int units = 0, coms = 0;
    bool c = false;
    for (int32_t e : na.recruit) {
      if (e == RECRUIT_END) break;
      if (e == RECRUIT_COMMANDERS) { c = true; continue; }
      EXPECT_TRUE(isunit(e)) << na.name << " recruits " << e;
      (c ? coms : units)++;
    }
    EXPECT_GE(units, 4) << na.name;
    EXPECT_GE(coms, 3) << na.name;
    int gods = 0;
    for (int16_t g : na.godform) {
      if (g == 0) break;
      EXPECT_TRUE(isunit(g));
      EXPECT_TRUE(unittypes[g].flags & MF_IMMORTAL) << unittypes[g].name;
      gods++;
    }
    EXPECT_GE(gods, 3) << na.name;
    EXPECT_GT(finddescr(("nation" + std::to_string(n)).c_str()), 0) << na.name;
    int base = getnatattr(n, NA_STARTSITEBASE);
    if (base > 0) {
      for (int k = 0; k < 3; k++) EXPECT_TRUE(sites[base + k].name[0]) << na.name;
    }
  }
  for (int e = 1; e <= 3; e++) EXPECT_GE(perera[e], 20) << "era " << e;
}

TEST_F(GameData, FortsSpellsAndTexts) {
  const int fv[4][4] = {{0, 0, 0, 0}, {5, 150, 100, 3}, {20, 300, 200, 4}, {50, 250, 1000, 5}};
  for (int f = 1; f <= 3; f++) {
    EXPECT_EQ(forts[f].val[FORT_ADMIN], fv[f][0]);
    EXPECT_EQ(forts[f].val[FORT_DEF], fv[f][1]);
    EXPECT_EQ(forts[f].val[FORT_DEFVALUE], fv[f][1]);
    EXPECT_EQ(forts[f].val[FORT_SUPPLY], fv[f][2]);
    EXPECT_EQ(forts[f].val[FORT_COSTFACTOR], fv[f][3]);
    EXPECT_LT(forts[f].val[FORT_AVAIL], 999);
  }
  // every enchantment kind that the rules read has a spell that makes it
  const int kinds[] = {1, 2, 7, 15, 16, 17, 18, 20, 21, 27, 28, 30, 32, 33, 35, 36, 37, 38, 40, 46, 47, 48, 49, 53, 54, 56, 59,
                       68, 69, 70, 71, 77, 82, 85};
  for (int k : kinds) {
    bool found = false;
    for (int s = 0; s < nbrofspells(); s++) found = found || (spells[s].effect >= SPELL_RITUAL && spells[s].damage == k);
    EXPECT_TRUE(found) << "enchantment " << k;
  }
  const struct { const char* name; int kind; } named[] = {
      {"The Eyes of God", 15}, {"Solar Brilliance", 21}, {"Astral Window", 36}, {"Astral Projection", 37}, {"Iron Walls", 69}};
  for (auto& s : named) EXPECT_EQ(spells[findspell(s.name)].damage, s.kind) << s.name;
  bool school[8] = {}, path[9] = {};
  for (int s = 0; s < nbrofspells(); s++) {
    school[spells[s].school] = true;
    if (spells[s].path[0] >= 0) path[spells[s].path[0]] = true;
  }
  for (bool b : school) EXPECT_TRUE(b);
  // research in every arcane school brings a spell at every level
  for (int sch = 0; sch < SCH_DIVINE; sch++)
    for (int level = 0; level <= 9; level++) {
      bool found = false;
      for (int s = 0; s < nbrofspells(); s++) found = found || (spells[s].school == sch && spells[s].researchlevel == level);
      EXPECT_TRUE(found) << schoolnames[sch] << " " << level;
    }
  for (bool b : path) EXPECT_TRUE(b);

  for (const char* key : {"start story 1", "start story 2", "Hit Points", "Action Points", "Strength", "Attack Skill",
                          "Magic Resistance", "Protection", "Encumbrance", "Fatigue", "Precision", "Defence Skill",
                          "Morale", "Leadership", "Province Defence", "Tax", "fortadmin", "fortsupply", "forttime",
                          "fortcost", "fortdef"})
    EXPECT_GT(finddescr(key), 0) << key;
  for (int s = 0; s < nbrofspells(); s++) EXPECT_GT(finddescr(spells[s].name), 0) << spells[s].name;
  for (int m = 1; m < BUILTIN_UNITTYPES; m++)
    if (isusedunittype(m)) {
      EXPECT_GT(finddescr(("mon" + std::to_string(m)).c_str()), 0) << unittypes[m].name;
    }
  EXPECT_EQ((unsigned char)nations[NAT_UTGARD].name[3], 0xE5);   // kept as Latin-1 in memory

  // province name lists at their sizes with the given first names
  const char* firsts[8][3] = {{"Andoria", "Epernia", "Ferra"}, {"Glimmering Fields", "The Promised Land", "Summerlands"},
                              {"Ogdan Mirks", "Diluphe", "Emain"}, {"Feldan Forest", "Silvania", "Dendra Nigra"},
                              {"Nifel", "Muspel", "Birman Highs"}, {"Underdark", "Silent Cavern", "The Hole"},
                              {"Underhome", "Smallsea", "Blue Water"}, {"The Darks", "Mu", "Sea of Silence"}};
  std::set<std::string> seen;
  for (int l = 0; l < NBRPROVNAMELISTS; l++) {
    EXPECT_EQ(provnames[l].count, PROVNAMECOUNTS[l]);
    EXPECT_STREQ(provnames[l].names[provnames[l].count], "end");
    for (int k = 0; k < 3; k++) EXPECT_STREQ(provnames[l].names[k], firsts[l][k]);
    for (int k = 0; k < provnames[l].count; k++) EXPECT_TRUE(seen.insert(provnames[l].names[k]).second) << provnames[l].names[k];
  }
  // every name type that a unit type uses has names
  for (int m = 1; m < BUILTIN_UNITTYPES; m++)
    if (isusedunittype(m) && unittypes[m].nametype > 0) {
      ASSERT_LT(unittypes[m].nametype, MAXNAMETYPES);
      EXPECT_GE(personalnames[unittypes[m].nametype].count, 30) << unittypes[m].name;
    }
}

TEST_F(GameData, EpithetsMercenariesAndPopulations) {
  auto findepithet = [](const char* t) {
    for (int e = 0; e < nbrofepithets(); e++)
      if (strcmp(epithets[e].text, t) == 0) return e;
    return -1;
  };
  int e = findepithet("the Everburning One");
  ASSERT_GE(e, 0);
  EXPECT_EQ(epithets[e].reqkind[0], 1000);
  EXPECT_EQ(epithets[e].reqval[0], 4);
  e = findepithet("# of the Sun");
  ASSERT_GE(e, 0);
  EXPECT_EQ(epithets[e].reqkind[0], 1000);
  EXPECT_EQ(epithets[e].reqval[0], 9);
  EXPECT_EQ(epithets[e].reqkind[1], 1004);
  EXPECT_EQ(epithets[e].reqval[1], 4);
  EXPECT_GE(findepithet("# of Flames"), 0);
  EXPECT_GE(findepithet("! Who Stole the Fire"), 0);
  bool nation37 = false;
  for (int i = 0; i < nbrofepithets(); i++)
    for (int k = 0; k < EPITHETREQS; k++) nation37 = nation37 || (epithets[i].reqkind[k] == 3 && epithets[i].reqval[k] == 37);
  EXPECT_TRUE(nation37);

  // the three telling mercenary bands
  int tier0all = -1, lone = -1, eternal = -1;
  bool eratier0[3] = {};
  for (int t = 0; t < nbrofmerctemplates(); t++) {
    const MercTemplate& m = merctemplates[t];
    if (m.tier == 0 && m.comtype == 291 && m.unittype == 285 && m.count == 30 && m.price == 150 && m.xp == 15 && m.eras == 7) tier0all = t;
    if (m.tier == 1 && m.comtype == 428 && m.unittype == 0 && m.price == 25 && m.xp == 50 && m.favnation == 29 &&
        m.favpercent == 75 && m.equiplevel == 2 && m.items[1][0] && !m.items[2][0]) lone = t;
    if (m.tier == 1 && m.eras == MERC_LATE && m.unittype == 366 && m.count == 8 && m.price == 100 && m.xp == 500 &&
        m.favnation == 28 && m.favpercent == 300 && m.items[1][0] && !m.items[2][0]) eternal = t;
    for (int era = 0; era < 3; era++) eratier0[era] = eratier0[era] || (m.tier == 0 && (m.eras & (1 << era)));
    EXPECT_TRUE(isunit(m.comtype)) << m.bandname;
    if (m.unittype) { EXPECT_TRUE(isunit(m.unittype)) << m.bandname; }
    for (auto& it : m.items)
      if (it[0]) { EXPECT_GT(finditem(it), 0) << it; }
  }
  EXPECT_GE(tier0all, 0);
  EXPECT_GE(lone, 0);
  EXPECT_GE(eternal, 0);
  for (bool b : eratier0) EXPECT_TRUE(b);

  // population types 25..89 offer troops and leaders
  for (int p = 25; p < 90; p++) {
    int units = 0, coms = 0;
    bool c = false;
    for (int32_t x : poprecruit[p]) {
      if (x == RECRUIT_END) break;
      if (x == RECRUIT_COMMANDERS) { c = true; continue; }
      EXPECT_TRUE(isunit(x)) << "population " << p;
      (c ? coms : units)++;
    }
    EXPECT_GT(units + coms, 0) << "population " << p;
  }
}

}  // namespace
