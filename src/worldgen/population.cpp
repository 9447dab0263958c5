// The start-of-game population: every province without units gets its
// independents from one of thirty garrison tables, chosen by terrain class
// and era.
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "world/rules.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

namespace {

enum TerrainClass { DEEPSEA, SEA, CAVE, COAST, FARM, FOREST, MOUNT, SWAMP, WASTE, PLAIN };

// A garrison template with the population type it gives; template 0 is the
// empty entry, which places nothing and leaves the population type alone.
struct Entry {
  int8_t templ;
  int8_t poptype;
};
constexpr int MAXENTRIES = 16;
struct EntryList {
  int n;
  Entry e[MAXENTRIES];
  template <class... T>
  constexpr EntryList(T... items) : n(int(sizeof...(items))), e{items...} {}
};
struct GarrisonTable {
  TerrainClass terrain;
  int era;
  int common;      // draws at or below take the common list
  EntryList commonlist;
  EntryList uncommon;
  int rare;        // second draws above take the rare list
  EntryList rarelist;
};

#define L(...) EntryList(__VA_ARGS__)
constexpr Entry E(int t, int p) { return Entry{int8_t(t), int8_t(p)}; }

// clang-format off
const GarrisonTable tables[] = {
  {DEEPSEA, 1, 69, L(E(33,31), E(34,63), E(35,64), E(37,45), E(38,46)), L(E(40,57), E(42,57), E(44,57), E(46,73)), 97, L(E(61,31), E(62,31))},
  {DEEPSEA, 2, 79, L(E(40,57), E(44,57), E(44,57), E(42,57)), L(E(33,31), E(34,63), E(35,64), E(37,45), E(38,46), E(46,73)), 97, L(E(61,31), E(62,31))},
  {DEEPSEA, 3, 89, L(E(40,57), E(42,57), E(44,57)), L(E(33,31), E(34,63), E(35,64), E(37,45), E(38,46), E(46,73)), 97, L(E(61,31))},
  {SEA, 1, 69, L(E(33,31), E(34,63), E(35,64), E(36,65)), L(E(37,45), E(38,46), E(41,63), E(45,72), E(46,73)), 97, L(E(60,31), E(89,45), E(91,31))},
  {SEA, 2, 79, L(E(33,31), E(34,63), E(35,64), E(36,65)), L(E(37,45), E(38,46), E(39,63), E(40,57), E(41,63), E(42,57), E(44,57), E(45,72), E(46,73)), 97, L(E(60,31), E(89,45), E(91,31))},
  {SEA, 3, 89, L(E(33,31), E(34,63), E(35,64), E(36,65)), L(E(37,45), E(38,46), E(39,63), E(40,57), E(41,63), E(42,57), E(44,57), E(45,72), E(46,73)), 97, L(E(60,31), E(89,45), E(91,31))},
  {CAVE, 1, 69, L(E(10,84), E(53,81), E(50,86), E(52,88)), L(E(32,44), E(48,84), E(49,84), E(72,84)), 97, L(E(86,84), E(85,36), E(84,35))},
  {CAVE, 2, 79, L(E(10,84), E(53,81), E(50,86)), L(E(32,44), E(48,84), E(49,84), E(72,84), E(52,88)), 97, L(E(86,84), E(85,84), E(84,84))},
  {CAVE, 3, 89, L(E(10,84), E(53,81), E(50,86)), L(E(32,44), E(48,84), E(49,84), E(72,84), E(52,88)), 97, L(E(86,84), E(85,84), E(84,84))},
  {COAST, 1, 69, L(E(36,65)), L(E(44,57), E(43,85)), 98, L(E(90,45))},
  {COAST, 2, 79, L(E(36,65)), L(E(44,57)), 98, L(E(90,45))},
  {COAST, 3, 89, L(E(36,65)), L(E(44,57)), 98, L(E(90,45))},
  {FARM, 1, 79, L(E(16,74), E(12,68), E(11,48), E(13,27), E(14,59), E(15,51), E(17,54), E(21,60)), L(E(64,76), E(69,39), E(73,39), E(20,28), E(19,49), E(54,89)), 97, L(E(66,38), E(80,30))},
  {FARM, 2, 84, L(E(18,30), E(24,50), E(19,49), E(23,55), E(30,53), E(22,52), E(20,28), E(25,29)), L(E(63,38), E(64,76), E(25,29), E(31,56), E(16,74), E(69,39), E(73,39), E(26,32), E(27,33), E(21,60), E(12,68)), 97, L(E(66,75), E(80,30))},
  {FARM, 3, 89, L(E(27,33), E(24,50), E(28,58), E(25,29), E(29,47), E(30,53), E(31,56)), L(E(63,38), E(63,38), E(65,75), E(69,39), E(73,39), E(18,30), E(26,32)), 97, L(E(66,75), E(80,30))},
  {FOREST, 1, 69, L(E(1,25), E(47,37), E(14,59), E(21,60), E(13,27), E(5,78), E(6,79), E(4,62), E(7,80), E(8,82)), L(E(20,28), E(48,35), E(76,42), E(56,36), E(57,77)), 97, L(E(94,38), E(82,36), E(98,37))},
  {FOREST, 2, 79, L(E(1,25), E(47,37), E(14,59), E(21,60), E(20,28), E(5,78), E(6,79), E(4,62), E(7,80), E(8,82)), L(E(24,50), E(25,29), E(27,33), E(13,27), E(26,32), E(48,35), E(76,42), E(56,36), E(57,77)), 97, L(E(94,38), E(82,36), E(98,37))},
  {FOREST, 3, 89, L(E(1,25), E(47,37), E(14,59), E(21,60), E(13,27), E(20,28), E(26,32), E(25,29), E(27,33)), L(E(24,50), E(28,58), E(48,35), E(76,42), E(56,36), E(5,78), E(6,79), E(4,62), E(7,80), E(8,82)), 97, L(E(94,38), E(82,36), E(98,37))},
  {MOUNT, 1, 69, L(E(1,25), E(11,48), E(13,27), E(14,59), E(5,78), E(6,79)), L(E(24,50), E(25,29), E(19,49), E(20,28), E(21,60), E(48,35), E(0,-1), E(77,43), E(67,39), E(68,39), E(2,25), E(10,84), E(51,87), E(52,88)), 97, L(E(78,39), E(81,35), E(92,51), E(93,48), E(87,61), E(88,61))},
  {MOUNT, 2, 79, L(E(1,25), E(24,50), E(19,49), E(20,28), E(21,60), E(5,78), E(6,79)), L(E(11,48), E(13,27), E(26,32), E(14,59), E(25,29), E(27,33), E(55,34), E(48,35), E(77,43), E(67,39), E(68,39), E(51,87)), 97, L(E(78,39), E(81,35), E(92,51), E(93,48), E(87,61), E(88,61))},
  {MOUNT, 3, 89, L(E(28,58), E(27,33), E(26,32), E(24,50), E(25,29)), L(E(1,25), E(19,49), E(21,60), E(48,35), E(77,43), E(67,39), E(68,39), E(5,78), E(6,79)), 97, L(E(78,39), E(81,35), E(92,51), E(93,48), E(87,61), E(88,61))},
  {SWAMP, 1, 69, L(E(56,36), E(47,37), E(14,59), E(8,82)), L(E(21,60), E(48,35), E(76,42), E(69,39)), 97, L(E(59,36), E(82,36), E(84,35), E(58,36))},
  {SWAMP, 2, 79, L(E(56,36), E(47,37), E(14,59), E(8,82)), L(E(21,60), E(48,35), E(76,42), E(69,39)), 97, L(E(59,36), E(82,36), E(84,35), E(58,36))},
  {SWAMP, 3, 89, L(E(56,36), E(47,37), E(14,59), E(8,82)), L(E(21,60), E(48,35), E(76,42), E(69,39), E(26,32)), 97, L(E(59,36), E(82,36), E(84,35), E(58,36))},
  {WASTE, 1, 69, L(E(1,25), E(3,26), E(5,78), E(14,59), E(21,60)), L(E(48,35), E(75,41), E(2,25), E(68,39), E(70,39), E(72,39), E(10,84)), 97, L(E(71,39), E(83,35), E(84,35), E(79,35), E(95,35), E(96,35))},
  {WASTE, 2, 79, L(E(1,25), E(3,26), E(5,78), E(14,59), E(21,60)), L(E(48,35), E(75,41), E(2,25), E(68,39), E(70,39), E(72,39)), 97, L(E(71,39), E(83,35), E(84,35), E(79,35), E(95,35), E(96,35))},
  {WASTE, 3, 89, L(E(1,25), E(3,26), E(5,78), E(14,59), E(15,51)), L(E(48,35), E(75,41), E(2,25), E(68,39), E(70,39), E(72,39), E(21,60)), 97, L(E(71,39), E(83,35), E(84,35), E(79,35), E(95,35), E(96,35))},
  {PLAIN, 1, 79, L(E(1,25), E(3,26), E(4,62), E(11,48), E(13,27), E(13,59), E(20,60), E(15,51), E(22,52), E(17,54), E(5,78), E(7,80)), L(E(19,49), E(20,28), E(48,35), E(67,39), E(74,40), E(2,25), E(12,68)), 97, L(E(92,51), E(71,39), E(97,25))},
  {PLAIN, 2, 84, L(E(1,25), E(3,26), E(4,62), E(19,49), E(24,50), E(20,28), E(13,59), E(20,60), E(22,52), E(23,55), E(5,78), E(7,80)), L(E(11,48), E(26,32), E(27,33), E(13,27), E(17,54), E(25,29), E(30,53), E(31,56), E(48,35), E(67,39), E(74,40), E(12,68), E(16,74)), 97, L(E(92,51), E(71,39), E(97,25), E(99,39))},
  {PLAIN, 3, 89, L(E(24,50), E(28,58), E(25,29), E(29,47), E(30,53), E(31,56), E(26,32), E(27,33)), L(E(1,25), E(3,26), E(4,62), E(19,49), E(20,60), E(22,52), E(23,55), E(48,35), E(67,39), E(74,40), E(5,78), E(7,80)), 97, L(E(92,51), E(71,39), E(97,25), E(99,39))},
};
// clang-format on
#undef L

const GarrisonTable& findtable(TerrainClass terrain, int era) {
  for (const GarrisonTable& t : tables)
    if (t.terrain == terrain && t.era == era) return t;
  fatalerror("popl: Bad Era");
  return tables[0];
}

void rungarrison(const GarrisonTable& t, int32_t lnr, int32_t s) {
  Entry entry{0, -1};
  if (rnd(100) <= t.common) {
    entry = t.commonlist.e[rnd(t.commonlist.n)];
  } else if (rnd(100) > t.rare) {
    entry = t.rarelist.e[rnd(t.rarelist.n)];
  } else {
    entry = t.uncommon.e[rnd(t.uncommon.n)];
  }
  if (entry.templ == 0) return;
  if (s > 0) indeptemplate(entry.templ, lnr, s);
  Land& l = land[size_t(lnr)];
  l.poptype = entry.poptype;
  if (entry.templ == 48) l.population = int16_t(l.population / 4);
}

}  // namespace

int popl(int32_t lnr, int32_t strength) {
  int era = gameinfo.era;
  if (era == 4) era = 2;
  if (era < 1 || era > 3) {
    fatalerror("popl: Bad Era");
    return -1;
  }
  bailif(lnr < 1 || lnr >= MAXLANDS, "popl: bad lnr");
  const uint32_t t = provgeo[size_t(lnr)].terrain;
  static const int coastchance[4] = {0, 5, 4, 3};
  TerrainClass c;
  if (t & TM_SEA) c = (t & TM_DEEPSEA) ? DEEPSEA : SEA;
  else if (t & TM_CAVE) c = CAVE;
  else if (iscoastal(lnr) && rnd(100) < coastchance[era]) c = COAST;
  else if (t & TM_FARM) c = FARM;
  else if (t & TM_FOREST) c = FOREST;
  else if (t & TM_MOUNTAINS) c = MOUNT;
  else if (t & TM_SWAMP) c = SWAMP;
  else if (t & TM_WASTE) c = WASTE;
  else c = PLAIN;
  rungarrison(findtable(c, era), lnr, strength);
  return int(c);
}
