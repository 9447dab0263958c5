// Garrison templates: the fixed recipes that place the independents of a
// province (tribes, militia, special garrisons) and the unique heroes with
// their named items and sites. Everything belongs to player 25.
#include <cstring>

#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/builders.h"
#include "world/recruit.h"
#include "world/units.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

namespace {

// One template run: the province, the strength and the current commander.
struct Run {
  int32_t lnr, s;
  int32_t cur = -1;
  void gang(int32_t u, int32_t c, int32_t n) { cur = popgang(u, c, n, INDEPENDENTS, lnr); }
  void com(int32_t c) { cur = popcom(c, lnr); }
  void squad(int32_t u, int32_t n) { addsquad(u, n); }
  void guards(int32_t u, int32_t n) { addbodyguards(u, n); }
  void equip(int32_t level) { addequip(level); }
  void item(const char* name, int32_t pct = 100) { additem(name, pct); }
  void name(const char* n) {
    if (cur >= 0 && cur < MAXCOMS) strlcopy(::com[size_t(cur)].name, n, 36);
  }
  void magic(int path, int level) {
    if (cur >= 0 && cur < MAXCOMS) ::com[size_t(cur)].path[path] = uint8_t(level);
  }
  void site(const char* n, bool found) {
    int32_t slot = addfeatbyname(lnr, n);
    if (found && slot >= 0 && slot < 4) land[size_t(lnr)].sitefound[slot] = 1;
  }
};

enum : int { FIRE = 0, AIR, WATER, EARTH, ASTRAL, DEATH, NATURE, BLOOD };

// Tribes: (unit, commander, dice sides) groups of openrolls(sides, s).
struct TribeGroup {
  int16_t unit, commander, sides;
};
const TribeGroup tribes[10][3] = {
    {{140, 141, 4}, {139, 141, 6}, {0, 0, 0}},
    {{140, 147, 6}, {139, 141, 6}, {139, 141, 6}},
    {{137, 136, 6}, {0, 0, 0}, {0, 0, 0}},
    {{1594, 141, 6}, {1595, 1598, 6}, {0, 0, 0}},
    {{123, 141, 6}, {124, 1596, 6}, {0, 0, 0}},
    {{1592, 141, 6}, {1593, 1597, 6}, {0, 0, 0}},
    {{1600, 1600, 6}, {1601, 1602, 6}, {0, 0, 0}},
    {{1610, 1611, 6}, {1611, 1612, 6}, {0, 0, 0}},
    {{1613, 1613, 6}, {1613, 1614, 6}, {0, 0, 0}},
    {{1615, 1616, 4}, {1615, 1616, 4}, {0, 0, 0}},
};

// Militia group counts.
enum Count : int8_t { SMINUS1, SHALF, SPLUS2, ELEPHANTS, KNIGHTS };
struct MilitiaGroup {
  int16_t unit, commander;
  Count count;
};
struct Militia {
  int8_t priest;        // percent; 100 = always (with one Knight as bodyguard)
  int16_t bodyguard;
  MilitiaGroup g[3];    // unit 0 = no group
};
const Militia militia[21] = {
    {25, 38, {{30, 34, SMINUS1}, {28, 34, SHALF}, {38, 34, SHALF}}},            // T11
    {25, 38, {{50, 34, SPLUS2}, {38, 34, SHALF}, {150, 34, ELEPHANTS}}},        // T12
    {25, 38, {{30, 34, SMINUS1}, {17, 34, SHALF}, {38, 34, SHALF}}},            // T13
    {25, 28, {{30, 34, SMINUS1}, {28, 34, SHALF}, {17, 34, SHALF}}},            // T14
    {25, 30, {{30, 46, SMINUS1}, {24, 46, SHALF}, {20, 46, SHALF}}},            // T15
    {25, 29, {{29, 46, SMINUS1}, {26, 46, SHALF}, {1187, 46, SHALF}}},          // T16
    {25, 30, {{38, 46, SHALF}, {20, 46, SHALF}, {0, 0, SHALF}}},                // T17
    {100, 22, {{30, 23, SMINUS1}, {55, 23, SHALF}, {22, 23, KNIGHTS}}},         // T18
    {25, 39, {{18, 35, SMINUS1}, {28, 35, SHALF}, {39, 35, SHALF}}},            // T19
    {25, 39, {{18, 35, SMINUS1}, {33, 35, SHALF}, {39, 35, SHALF}}},            // T20
    {25, 29, {{18, 35, SMINUS1}, {29, 35, SHALF}, {33, 35, SHALF}}},            // T21
    {25, 18, {{18, 45, SMINUS1}, {25, 45, SHALF}, {19, 45, SHALF}}},            // T22
    {25, 18, {{39, 45, SHALF}, {19, 45, SHALF}, {0, 0, SHALF}}},                // T23
    {25, 40, {{31, 36, SMINUS1}, {29, 36, SHALF}, {40, 36, SHALF}}},            // T24
    {50, 40, {{31, 36, SMINUS1}, {32, 36, SHALF}, {40, 36, SHALF}}},            // T25
    {25, 39, {{29, 35, SMINUS1}, {40, 35, SHALF}, {47, 35, SHALF}}},            // T26
    {25, 40, {{29, 36, SMINUS1}, {40, 36, SHALF}, {48, 36, SHALF}}},            // T27
    {25, 40, {{29, 36, SMINUS1}, {40, 36, SHALF}, {49, 36, SHALF}}},            // T28
    {50, 40, {{49, 36, SMINUS1}, {21, 44, SHALF}, {0, 0, SHALF}}},              // T29
    {25, 31, {{31, 44, SMINUS1}, {26, 44, SHALF}, {21, 44, SHALF}}},            // T30
    {25, 31, {{40, 44, SMINUS1}, {21, 44, SHALF}, {0, 0, SHALF}}},              // T31
};

int32_t militiacount(Count c, int32_t s) {
  switch (c) {
    case SMINUS1: return openrolls(5, s - 1);
    case SHALF: return openrolls(5, s / 2);
    case SPLUS2: return openrolls(5, s + 2);
    case ELEPHANTS: return openrolls(2, s / 3 + 1);
    case KNIGHTS: return openrolls(5, s / 5 + 1);
  }
  return 0;
}

void runmilitia(Run& r, const Militia& m) {
  if (m.priest >= 100) {
    r.com(240);
    r.equip(1);
    r.guards(22, 1);
  } else if (rnd(100) < m.priest) {
    r.com(240);
    r.equip(1);
    r.guards(m.bodyguard, openroll(r.s / 2) - 1);
  }
  for (const MilitiaGroup& g : m.g)
    if (g.unit != 0) r.gang(g.unit, g.commander, militiacount(g.count, r.s));
}

void undead(Run& r) {
  const int32_t s = r.s;
  switch (rnd(8)) {
    case 0:
    case 1:
      r.gang(191 + rnd(6), 190, openroll(10));
      r.equip(2);
      for (int i = 0; i < 2; i++) {
        int32_t type = 191 + rnd(6);
        addtosquad(type, openroll(10));
      }
      r.gang(198, 198, openrolls(6, 3));
      r.equip(1);
      break;
    case 2:
      r.gang(189, 188, openrolls(8, s));
      r.equip(1);
      break;
    case 3:
    case 4:
    case 5:
      r.gang(197, 198, openrolls(6, s)), r.equip(1);
      r.gang(198, 198, openrolls(6, s)), r.equip(1);
      r.gang(198, 198, openrolls(6, s / 2)), r.equip(1);
      break;
    case 6:
      r.com(299), r.equip(3), r.guards(190, openroll(6));
      r.gang(197, 190, openrolls(6, 2 * s)), r.equip(1);
      r.gang(189, 188, openrolls(6, s)), r.equip(1);
      break;
    default:
      r.com(1765), r.equip(3), r.guards(1764, openroll(6));
      r.gang(1715, 1715, openrolls(4, 2 * s)), r.equip(1);
      r.gang(1764, 1764, openrolls(4, s)), r.equip(1);
      break;
  }
}

// A commander whose Death magic is set to 1 before its equipment.
void deathcom(Run& r, int32_t type) {
  r.com(type);
  if (r.cur >= 0) r.magic(DEATH, 1);
  r.equip(2);
}

void special(Run& r, int t) {
  const int32_t s = r.s;
  switch (t) {
    case 32: r.gang(447, 1461, openrolls(3, s)); break;
    case 33: r.gang(176, 406, openrolls(6, s)); break;
    case 34: r.gang(175, 406, openrolls(6, s)), r.gang(174, 406, openrolls(6, s)); break;
    case 35: r.gang(175, 406, openrolls(6, s)), r.gang(577, 406, openrolls(6, s)); break;
    case 36: r.gang(974, 976, openrolls(6, s)), r.gang(975, 976, openrolls(6, s)); break;
    case 37:
      r.gang(545, 406, openroll(s)), r.equip(1);
      r.gang(577, 406, openrolls(6, s)), r.equip(1);
      break;
    case 38:
      r.gang(573, 576, openrolls(6, s)), r.equip(2);
      r.gang(574, 573, openrolls(6, s)), r.equip(1);
      break;
    case 39:
      r.com(102), r.equip(2), r.guards(206, openroll(s));
      r.squad(206, openrolls(4, s / 2)), r.squad(206, openroll(s));
      break;
    case 40: r.gang(206, 207, openrolls(4, s)), r.equip(1); break;
    case 41: r.com(102), r.equip(2), r.guards(564, 2), r.squad(564, openroll(s)), r.squad(438, 1); break;
    case 42:
      r.com(103), r.equip(3), r.guards(564, 2), r.squad(564, openroll(s));
      r.gang(174, 406, openrolls(6, s)), r.squad(438, 1);
      break;
    case 43:
      if (rnd(100) <= 74) r.com(1530), r.guards(1482, 2);
      else r.com(1531);
      r.equip(2), r.squad(1482, openroll(2 * s));
      break;
    case 44:
      r.com(207), r.equip(1), r.guards(206, openroll(s));
      r.squad(206, openrolls(4, s / 2)), r.squad(110, openrolls(6, s));
      break;
    case 45: r.gang(1065, 1067, openrolls(4, s)); break;
    case 46:
      r.gang(1060, 1060, openroll(s)), r.equip(1);
      r.gang(577, 406, openrolls(6, s)), r.equip(1);
      break;
    case 47:
      if (rnd(3) <= 1) {
        r.gang(125, 105, openrolls(4, s)), r.equip(2), r.squad(126, openrolls(6, s));
      } else {
        r.com(122), r.equip(2), r.guards(125, openroll(3)), r.squad(330, openroll(3));
        for (int i = 0; i < 3; i++) r.com(122), r.equip(2), r.guards(125, openroll(3));
        r.gang(125, 122, openrolls(4, 2)), r.equip(2);
      }
      break;
    case 48: undead(r); break;
    case 49:
      r.com(843), r.equip(3), r.guards(88, openroll(4));
      r.squad(676, openrolls(4, s)), r.squad(442, openroll(3 * s));
      break;
    case 50:
    case 51:
      deathcom(r, 1608);
      r.guards(1260, openroll(4)), r.squad(1394, openrolls(3, s)), r.squad(1394, openroll(3 * s));
      if (t == 51) r.squad(1395, openroll(3 * s));
      break;
    case 52:
      deathcom(r, 1609);
      r.guards(1260, openroll(4)), r.squad(1260, openrolls(3, s)), r.squad(1260, openroll(3 * s));
      break;
    case 53:
      r.com(1463), r.equip(2), r.guards(1465, openroll(4));
      r.squad(1465, openrolls(2, s)), r.squad(1465, openroll(2 * s));
      break;
    case 54:
      r.com(1750), r.equip(2), r.guards(1756, openroll(4));
      r.squad(1756, openrolls(3, s)), r.squad(1749, openrolls(3, s)), r.squad(1758, openroll(3 * s));
      break;
    case 55:
      r.com(252), r.equip(3), r.guards(205, openroll(4));
      r.squad(205, openrolls(4, s)), r.squad(317, openroll(3 * s));
      break;
    case 56: r.com(170), r.equip(2), r.guards(423, openroll(s)), r.squad(423, openrolls(8, s)); break;
    case 57:
      r.com(1127), r.equip(1), r.guards(1121, openroll(s));
      r.squad(1121, openrolls(5, s)), r.squad(1122, openrolls(5, s)), r.squad(1118, openrolls(5, s));
      break;
  }
}

// Mage towers, amazons and town garrisons without a proper name.
void towers(Run& r, int t) {
  const int32_t s = r.s;
  switch (t) {
    case 63:
      r.gang(271, 272, openrolls(s + 2, 2) + 2), r.equip(3);
      r.gang(273, 272, openrolls(s + 2, 2)), r.equip(1);
      break;
    case 64:
      r.gang(483, 1195, openrolls(s + 2, 3) + 2), r.equip(3);
      r.gang(483, 1198, openrolls(s + 2, 3)), r.equip(1);
      break;
    case 65:
      r.gang(271, 1195, openrolls(s + 2, 2) + 2), r.equip(3);
      r.gang(273, 1198, openrolls(s + 2, 2)), r.equip(1);
      r.gang(1196, 1197, openrolls(5, s / 3)), r.equip(1);
      break;
    case 67:
      if (rnd(2) == 1) {
        r.com(93), r.equip(3), r.guards(40, openroll(4) + 1);
        r.com(92), r.guards(39, openroll(2)), r.equip(1), r.squad(33, openrolls(4, s));
        r.com(92), r.equip(1), r.guards(39, openroll(2)), r.squad(29, openrolls(4, s));
      } else {
        r.com(92), r.equip(2), r.guards(40, openroll(4)), r.squad(33, openrolls(6, s / 2));
        r.gang(29, 35, openrolls(6, s / 2)), r.equip(1);
      }
      break;
    case 68:
      if (rnd(2) == 1) {
        r.com(95), r.equip(3), r.guards(39, openroll(4) + 1), r.squad(195, openrolls(6, s / 2));
        r.com(94), r.equip(1), r.guards(39, 1);
        r.com(94), r.equip(1), r.guards(39, 1), r.squad(33, openrolls(6, s / 2));
        r.gang(32, 35, openrolls(8, s / 2)), r.equip(1);
        r.gang(40, 35, openrolls(8, s / 2)), r.equip(1);
      } else {
        r.com(94), r.equip(2), r.guards(38, openroll(s)), r.squad(33, openrolls(6, s / 2));
        r.gang(38, 35, openrolls(6, (s + 1) / 2)), r.equip(1);
      }
      break;
    case 69:
      if (rnd(2) == 1) {
        r.com(97), r.equip(3), r.guards(279, 1);
        for (int i = 0; i < 2; i++) r.gang(29, 35, openrolls(6, s / 2)), r.equip(1);
      } else {
        r.com(96), r.equip(2), r.guards(30, openroll(s)), r.squad(29, openrolls(6, s / 2));
        r.gang(30, 35, openrolls(6, s / 2)), r.equip(1);
      }
      break;
    case 70:
      r.com(98), r.equip(2), r.guards(28, openroll(s)), r.squad(29, openrolls(6, s / 2));
      r.gang(30, 35, openrolls(6, s / 2)), r.equip(1);
      break;
    case 72:
      r.com(310), r.equip(3), r.guards(29, openroll(s)), r.squad(188, 1);
      r.squad(189, openrolls(6, s / 2)), r.squad(29, openrolls(6, s / 2));
      r.gang(30, 35, openrolls(6, s / 2)), r.equip(1);
      break;
    case 73:
      r.com(312), r.equip(3), r.guards(31, openroll(s) - 1);
      r.com(302), r.equip(3), r.guards(31, openroll(s) - 1);
      r.squad(235, 1), r.squad(50, openrolls(4, s)), r.squad(31, openrolls(6, s / 2));
      r.gang(30, 35, openrolls(8, s / 2)), r.equip(1);
      break;
    case 74:
      r.com(346), r.equip(2), r.item("Crystal Heart", 50), r.guards(348, openroll(s / 2) - 1);
      r.squad(348, openrolls(6, s));
      r.gang(367, 347, openrolls(6, s / 2)), r.item("Crystal Heart", 50), r.equip(2);
      break;
    case 75:
      r.com(349), r.equip(2), r.guards(351, openroll(s / 2) - 1);
      r.com(350), r.equip(2), r.guards(351, openroll(s / 2) - 1);
      r.squad(351, openrolls(6, s)), r.squad(612, openroll(s));
      break;
    case 76:
      r.com(352), r.equip(2), r.guards(354, openroll(s) - 1);
      r.com(353), r.equip(2), r.guards(354, openroll(s / 2) - 1);
      r.squad(354, openrolls(6, s)), r.squad(370, openrolls(6, s / 2));
      break;
    case 77:
      r.com(355), r.equip(2), r.guards(357, openroll(s / 2) - 1);
      r.com(356), r.equip(2), r.guards(357, openroll(s / 2) - 1);
      r.squad(357, openrolls(6, s)), r.squad(369, openrolls(6, s / 2));
      break;
  }
}

void heroes(Run& r, int t) {
  const int32_t s = r.s;
  switch (t) {
    case 58:
      r.com(1514), r.name("Tott'ush"), r.magic(NATURE, 3);
      for (const char* i : {"Hydra Skin Armor", "Vine Whip", "Totem Shield", "Horned Helmet", "Boots of Long Strides",
                            "Barkskin Amulet", "Cat Charm"})
        r.item(i);
      r.equip(2);
      if (rnd(100) < 50) r.guards(171, 5), r.squad(171, openrolls(4, s));
      r.squad(1514, 1);
      break;
    case 59:
      r.com(321), r.name("Tulsa Doom");
      for (const char* i : {"Robe of Shadows", "Pendant of Luck", "Snake Ring", "Thorn Staff"}) r.item(i);
      r.equip(3), r.guards(171, 3), r.squad(171, openrolls(8, 4));
      r.com(170), r.equip(2), r.guards(171, openroll(6)), r.squad(171, openrolls(8, 4));
      break;
    case 60:
      r.com(255), r.name("Queen Andromea");
      r.item("Cat Charm", 50), r.item("Champion's Skull", 50), r.item("Astral Serpent", 50);
      r.guards(566, 1), r.squad(566, openrolls(4, 2));
      r.site("The Queen's Galley", false);
      break;
    case 61: r.com(269), r.name("Tiamat"), r.squad(565, openroll(2 * s)); break;
    case 62:
      r.com(1521), r.name("Shul Uzuz"), r.equip(2), r.guards(1529, 2);
      r.squad(206, openroll(s)), r.squad(1529, openroll(2 * s));
      break;
    case 66:
      r.com(548), r.name("Oberf\xfchrer");
      r.item("Black Steel Full Plate"), r.item("Black Steel Helmet"), r.item("Shortsword");
      for (const char* i : {"Boots of the Messenger", "Pendant of Luck", "Bear Claw Talisman", "Bracers of Protection",
                            "Astral Serpent"})
        r.item(i, 33);
      r.guards(271, 5);
      r.gang(271, 1198, openrolls(6, 3) + 3), r.equip(2);
      r.gang(273, 1195, openrolls(6, 2)), r.equip(2);
      r.gang(1196, 1197, openrolls(3, s)), r.equip(1);
      break;
    case 71:
      r.com(99), r.name("Lucidor"), r.item("Fire Brand"), r.equip(3), r.guards(82, 2);
      r.com(240), r.equip(1), r.guards(28, openroll(4));
      r.gang(82, 119, openrolls(6, 2)), r.equip(2), r.squad(213, 1);
      r.gang(29, 35, openrolls(6, 4)), r.equip(1), r.item("Ring of Fire");
      break;
    case 78:
      r.com(156), r.name("Polyperchon"), r.item("Hammer of the Cyclops");
      r.magic(DEATH, 5), r.magic(ASTRAL, 2), r.magic(EARTH, 2), setbattleorder(5, 0), r.equip(4);
      r.com(156), r.name("Polyphemos"), r.item("Halberd of Might"), r.item("Pendant of Luck"), r.equip(1);
      r.squad(316, openrolls(6, 3)), r.squad(39, openrolls(6, 3));
      r.site("Mine of the Cyclops", true);
      break;
    case 79:
      r.com(179), r.name("Katafagus"), r.item("Crown of Katafagus");
      r.magic(DEATH, 6), r.magic(AIR, 3), r.magic(FIRE, 2), setbattleorder(5, 0), r.equip(4);
      r.com(185), r.name("Shattermouth"), r.equip(2);
      for (int32_t type = 191; type <= 194; type++) r.squad(type, openrolls(6, s));
      r.site("Halls of the Dead", false);
      break;
    case 80:
      r.com(440), r.name("Solaris");
      for (const char* i : {"Sun Armor", "Sun Sword", "Sun Helmet", "Sun Shield"}) r.item(i);
      r.com(241), r.name("Ignatius"), r.equip(2);
      r.squad(135, openroll(3 * s)), r.squad(217, openrolls(4, s));
      break;
    case 81:
      r.com(329), r.name("Surakid"), r.item("Ring of Sorcery"), r.equip(3);
      r.magic(DEATH, 2), r.magic(ASTRAL, 4), r.magic(NATURE, 2), r.guards(195, 2);
      r.com(187), r.name("Arundel");
      for (const char* i : {"Enchanted Sword", "Pendant of Luck", "Hydra Skin Armor", "Horror Helmet"}) r.item(i);
      r.squad(195, openroll(6));
      r.com(187), r.name("Elias");
      for (const char* i : {"Enchanted Sword", "Bone Armor", "Amulet of Antimagic"}) r.item(i);
      r.squad(195, openroll(6));
      r.site("Surakid's Tower", false);
      break;
    case 82:
      r.com(609), r.name("Unu'ishimma"), r.item("Astral Serpent"), r.equip(2);
      r.magic(DEATH, 3), r.magic(ASTRAL, 2), r.magic(NATURE, 2), r.squad(394, openrolls(s, 3));
      r.com(394), r.name("Ninhadi"), r.item("Enchanted Sword"), r.item("Fenris' Pelt");
      r.squad(394, openroll(2 * s)), r.squad(403, openroll(3 * s));
      r.site("Jungle Temple", false);
      break;
    case 83:
      r.com(178), r.name("Mobar"), r.item("Skull Staff"), r.item("Robe of Invulnerability"), r.equip(3);
      r.magic(DEATH, 5), r.guards(191, 10), r.squad(191, openroll(25 * s)), r.squad(197, openroll(25 * s));
      r.com(185), r.name("Corvex"), r.item("Horror Helmet"), r.item("Champion's Skull");
      r.squad(533, openroll(2 * s)), r.squad(191, openroll(20 * s));
      r.site("Catacombs", false);
      break;
    case 84:
      r.com(198), r.name("Gore Jaw");
      for (const char* i : {"Enchanted Sword", "Black Steel Full Plate", "Black Steel Tower Shield", "Black Steel Helmet"})
        r.item(i);
      r.equip(1), r.guards(198, 10);
      for (int i = 0; i < 3; i++) r.squad(198, openroll(10 * s));
      r.site("Cave of Ghouls", false);
      break;
    case 85:
      r.com(1200), r.name("Ar");
      for (const char* i : {"Skull Staff", "Astral Serpent", "Boots of Stone"}) r.item(i);
      r.equip(1), r.magic(DEATH, 4), r.magic(EARTH, 3), r.magic(WATER, 2);
      r.guards(1204, 10), r.squad(1203, openroll(3 * s));
      r.squad(1204, openroll(3 * s)), r.squad(1204, openroll(3 * s));
      r.com(1201), r.name("Eo"), r.item("Bone Armor"), r.item("Amulet of Antimagic"), r.squad(1204, openroll(8));
      r.site("The Iron Caverns", false);
      break;
    case 86:
      r.com(491), r.name("Kekon"), r.equip(1), r.magic(DEATH, 5), r.guards(676, 10);
      r.squad(676, openroll(10 * s)), r.squad(88, openroll(4 * s)), r.squad(442, openroll(10 * s));
      r.site("Cave of Dark Rites", false);
      break;
    case 87:
      r.com(519), r.name("Skallh\xf6gg");
      for (const char* i : {"Elf Bane", "Green Dragon Scale Mail", "Lead Shield", "Girdle of Might"}) r.item(i);
      r.equip(1), r.guards(518, 1);
      r.com(541), r.name("Villvacke");
      for (const char* i : {"Knife of the Damned", "Berserker Pelt", "Slave Collar"}) r.item(i);
      r.guards(541, 5), r.squad(518, openroll(s)), r.squad(541, openrolls(8, s));
      r.squad(520, 3), r.squad(522, 2);
      r.site("Troll Pit", false);
      break;
    case 88:
      r.com(487), r.name("Get-Ola"), r.item("Carcator the Pocket Lich"), r.equip(2), r.squad(593, openrolls(8, s));
      break;
    case 89:
      r.com(103), r.name("Ogul Voidmaster"), r.item("Robe of the Sea"), r.item("Spell Focus"), r.equip(2);
      r.magic(ASTRAL, 3), r.guards(573, 2 * s), r.squad(574, openroll(5 * s));
      r.squad(577, openroll(5 * s)), r.squad(545, openroll(s));
      r.com(529), r.equip(2);
      r.com(102);
      r.com(102);
      break;
    case 90:
      r.com(332), r.name("Yiaia");
      for (const char* i : {"Ring of Sorcery", "Astral Serpent", "Robe of Shadows"}) r.item(i);
      r.equip(2);
      if (r.cur >= 0) ::com[size_t(r.cur)].path[NATURE]++;
      r.guards(974, roll(s)), r.squad(736, s), r.squad(974, openrolls(6, s)), r.squad(975, openrolls(6, s));
      r.com(976), r.equip(2);
      break;
    case 91:
      r.com(580), r.name("Shark Bane"), r.item("Wave Breaker"), r.equip(2), r.guards(564, s);
      r.squad(564, openroll(4 * s)), r.squad(564, openroll(4 * s)), r.squad(438, openroll(2 * s));
      break;
    case 92:
      r.com(341), r.name("Bolivar Wise");
      for (const char* i : {"Amulet of Missile Protection", "Weightless Scale Mail", "Dancing Trident"}) r.item(i);
      r.equip(3), r.magic(AIR, 6), r.guards(286, 2), r.squad(297, openroll(3 * s));
      r.com(341), r.name("Grisman"), r.item("Amulet of Missile Protection"), r.equip(3);
      r.guards(286, 1), r.squad(287, openroll(3 * s));
      r.site("Bolivar's Tower of Reflections", false);
      break;
    case 93:
      r.com(309), r.name("Starke"), r.magic(DEATH, 1);
      for (const char* i : {"Ice Sword", "Raw Hide Shield", "Vial of Frozen Tears"}) r.item(i);
      r.equip(2), r.guards(511, 2);
      r.com(437), r.squad(278, openrolls(6, s)), r.squad(566, 1);
      r.site("Starke's Ice Cave", false);
      break;
    case 94:
      r.com(344), r.name("Satina");
      r.magic(FIRE, 2), r.magic(DEATH, 2), r.magic(ASTRAL, 2), r.magic(NATURE, 2), r.magic(EARTH, 4);
      r.item("Robe of the Sorceress"), r.item("Amulet of Luck"), r.equip(2), r.guards(512, 1);
      r.com(344), r.equip(2), r.squad(561, openrolls(6, s)), r.squad(271, openrolls(6, s)), r.squad(475, 1);
      break;
    case 95:
      r.com(778), r.name("Ptah"), r.magic(FIRE, 3), r.magic(DEATH, 5), r.magic(ASTRAL, 3);
      for (const char* i : {"Sceptre of Authority", "Rat Tail", "Crown of Ptah", "Girdle of Might", "Red Dragon Scale Mail"})
        r.item(i);
      r.equip(2), r.guards(625, 3);
      r.com(741), r.name("Nuptamon"), r.item("Wraith Sword"), r.item("Copper Plate"), r.equip(2);
      r.squad(191, openrolls(10, s)), r.squad(191, openrolls(10, s)), r.squad(524, openroll(2 * s)), r.squad(452, 2);
      r.site("The Desert of Ptah", false);
      break;
    case 96:
      r.com(446);
      for (const char* i : {"Bane Blade", "Weightless Tower Shield", "Light Weight Scale Mail"}) r.item(i);
      r.equip(4), r.squad(632, openroll(s)), r.squad(191, openrolls(10, s));
      r.site("The Doom Cloud", false);
      break;
    case 97:
      r.com(471), r.name("Antatus"), r.magic(ASTRAL, 4);
      for (const char* i : {"Marble Armor", "Crown of Command", "Herald Lance", "Scutata Volturnus"}) r.item(i);
      r.equip(2), r.guards(474, 3), r.squad(474, openrolls(4, s)), r.squad(474, openrolls(4, s));
      r.squad(542, 2), r.squad(768, 2);
      break;
    case 98:
      r.com(606), r.name("Inanna"), r.magic(NATURE, 5), r.magic(EARTH, 4), r.equip(2), r.guards(514, 2);
      r.com(965), r.name("Dumuzi"), r.magic(NATURE, 5), r.magic(DEATH, 3);
      for (const char* i : {"Summer Sword", "Vine Shield", "Ivy Crown"}) r.item(i);
      r.equip(2), r.squad(932, openrolls(3, s)), r.squad(361, openrolls(10, s)), r.squad(361, openrolls(10, s));
      r.squad(362, openroll(2 * s));
      r.site("The Primal Forest", true);
      break;
    case 99:
      r.com(366), r.name("Anre");
      for (const char* i : {"Flambeau", "Crown of Command", "Girdle of Might"}) r.item(i);
      r.equip(2), r.squad(366, s), r.squad(22, openrolls(4, s)), r.squad(38, openrolls(6, 2 * s));
      r.site("The Holy Crypt of Anre", true);
      break;
  }
}

}  // namespace

void indeptemplate(int t, int32_t lnr, int32_t s) {
  if (s < 1) return;
  Run r{lnr, s};
  if (t >= 1 && t <= 10) {
    for (const TribeGroup& g : tribes[t - 1])
      if (g.unit != 0) r.gang(g.unit, g.commander, openrolls(g.sides, s));
  } else if (t >= 11 && t <= 31) {
    runmilitia(r, militia[t - 11]);
  } else if (t >= 32 && t <= 57) {
    special(r, t);
  } else if (t == 63 || t == 64 || t == 65 || (t >= 67 && t <= 70) || (t >= 72 && t <= 77)) {
    towers(r, t);
  } else {
    heroes(r, t);
  }
}
