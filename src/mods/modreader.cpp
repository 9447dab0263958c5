// The ".dm" mod reader: general commands and one section per table, read
// line by line into the built-in tables. Every fault is a warning naming
// the file and line, and the reader goes on with the next line; no count,
// row or length from a mod reaches a table unchecked.
#include <dirent.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <span>
#include <string_view>
#include <vector>

#include "mods/mods.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/ruleconstants.h"

namespace {

enum Table { T_NONE = 0, T_UNIT, T_WEAPON, T_ARMOR, T_ITEM, T_SITE, T_NATION, T_SPELL, T_COUNT };
// The word of each table in its section commands: #select<word>, #new<word>.
constexpr const char* tablewords[T_COUNT] = {"", "monster", "weapon", "armor", "item", "site", "nation", "spell"};

enum Kind { K_I8, K_U8, K_I16, K_U16, K_I32 };
// A number field of a table's row, set by the command of its keyword.
struct NumberField {
  Table table;
  std::string_view key;   // compared by length first, with no strlen for each command
  size_t offset;
  Kind kind;
  int32_t lo, hi;
};
constexpr NumberField numberfields[] = {
    {T_UNIT, "hp", offsetof(Monster, hp), K_I16, 1, 30000},
    {T_UNIT, "prot", offsetof(Monster, prot), K_I16, 0, 200},
    {T_UNIT, "mr", offsetof(Monster, mr), K_I16, 0, 100},
    {T_UNIT, "mor", offsetof(Monster, mor), K_I16, 0, 50},
    {T_UNIT, "str", offsetof(Monster, str), K_I16, 0, 200},
    {T_UNIT, "att", offsetof(Monster, att), K_I16, 0, 200},
    {T_UNIT, "def", offsetof(Monster, def), K_I16, 0, 200},
    {T_UNIT, "prec", offsetof(Monster, prec), K_I16, 0, 200},
    {T_UNIT, "enc", offsetof(Monster, enc), K_I16, 0, 100},
    {T_UNIT, "ap", offsetof(Monster, ap), K_I16, 0, 100},
    {T_UNIT, "mapmove", offsetof(Monster, mapmove), K_I16, 0, 50},
    {T_UNIT, "size", offsetof(Monster, size), K_I16, 1, 6},
    {T_UNIT, "gcost", offsetof(Monster, gcost), K_I16, 0, 30000},
    {T_UNIT, "rcost", offsetof(Monster, rcost), K_I16, 0, 30000},
    {T_UNIT, "nametype", offsetof(Monster, nametype), K_I16, 0, MAXNAMETYPES - 1},
    {T_UNIT, "sprite", offsetof(Monster, sprite), K_U16, 0, 65534},
    {T_WEAPON, "dmg", offsetof(Weapon, dmg), K_I32, -998, 999},
    {T_WEAPON, "att", offsetof(Weapon, att), K_I16, -25, 25},
    {T_WEAPON, "def", offsetof(Weapon, def), K_I16, -25, 25},
    {T_WEAPON, "len", offsetof(Weapon, len), K_I16, 0, 7},
    {T_WEAPON, "range", offsetof(Weapon, range), K_I16, -10, 100},
    {T_WEAPON, "nratt", offsetof(Weapon, nratt), K_I16, -3, 100},
    {T_WEAPON, "ammo", offsetof(Weapon, ammo), K_I16, 0, 40},
    {T_WEAPON, "aoe", offsetof(Weapon, aoe), K_I16, 0, 1000},
    {T_WEAPON, "sound", offsetof(Weapon, sound), K_I16, 0, 88},
    {T_WEAPON, "rcost", offsetof(Weapon, rcost), K_I16, 0, 1000},
    {T_ARMOR, "def", offsetof(Armor, def), K_I16, -50, 50},
    {T_ARMOR, "enc", offsetof(Armor, enc), K_I16, 0, 50},
    {T_ARMOR, "rcost", offsetof(Armor, rcost), K_I16, 0, 1000},
    {T_ITEM, "constlevel", offsetof(Item, constlevel), K_I8, 0, 98},
    {T_ITEM, "mainlevel", offsetof(Item, mainlevel), K_U8, 0, 9},
    {T_ITEM, "secondlevel", offsetof(Item, secondlevel), K_U8, 0, 9},
    {T_ITEM, "picture", offsetof(Item, picture), K_I16, 0, 30000},
    {T_SITE, "level", offsetof(Site, level), K_I16, 0, 9},
    {T_SITE, "rarity", offsetof(Site, rarity), K_I16, 0, 10},
    {T_NATION, "era", offsetof(Nation, era), K_I32, 1, 3},
    {T_SPELL, "researchlevel", offsetof(Spell, researchlevel), K_U8, 0, 9},
    {T_SPELL, "fatigue", offsetof(Spell, fatigue), K_I16, 0, 30000},
    {T_SPELL, "effect", offsetof(Spell, effect), K_I16, 0, 30000},
    {T_SPELL, "damage", offsetof(Spell, damage), K_I32, -30000, 30000},
    {T_SPELL, "range", offsetof(Spell, range), K_I16, -1, 30000},
    {T_SPELL, "area", offsetof(Spell, area), K_I16, 0, 30000},
    {T_SPELL, "nbreff", offsetof(Spell, nbreff), K_I16, 0, 30000},
    {T_SPELL, "precision", offsetof(Spell, precision), K_I16, 0, 100},
};

// The general commands: the rule constants the economy and the events read.
struct GeneralField {
  const char* key;
  int32_t* value;
};
const GeneralField generalfields[] = {
    {"poppergold", &poppergold},       {"resourcemult", &resourcemult}, {"supplymult", &supplymult},
    {"unresthalfinc", &unresthalfinc}, {"unresthalfres", &unresthalfres}, {"eventisrare", &eventisrare},
    {"turmoilincome", &turmoilincome}, {"turmoilevents", &turmoilevents}, {"deathincome", &deathincome},
    {"deathsupply", &deathsupply},     {"deathdeath", &deathdeath},     {"slothincome", &slothincome},
    {"slothresources", &slothresources}, {"coldincome", &coldincome}, {"coldsupply", &coldsupply},
    {"misfortune", &misfortune},       {"luckevents", &luckevents},     {"researchscale", &researchscale},
};
constexpr int32_t GENERALMAX = 10000;

// Resistances: 100 is the type's flag bit, anything else an ability.
struct Resistance {
  std::string_view key;
  uint32_t bit;
  int16_t ability;
};
constexpr Resistance resistances[] = {
    {"fireres", MF_FIRERES, AB_FIRERES}, {"shockres", MF_SHOCKRES, AB_SHOCKRES},
    {"poisonres", MF_POISONRES, AB_POISONRES}, {"coldres", MF_COLDRES, AB_COLDRES},
};

// The special abilities that a monster section sets by their keywords, each
// as #ability sets its number: a later value replaces an earlier one and a
// stored 0 takes the ability off. "stealthy", the four resistances and
// "nametype" keep commands of their own (the flag bit, the type's field).
constexpr int32_t ABILITYMIN = -2000000000, ABILITYMAX = 2000000000;
enum class AbilityForm : uint8_t {
  value,   // #key N
  path,    // #key PATH N: ability + path, the all-paths ability for a path number above 9
  gem,     // #key KIND N: ability + gem kind
};
struct AbilityKeyword {
  std::string_view key;
  int32_t ability;
  int32_t lo = ABILITYMIN, hi = ABILITYMAX;   // the value given
  int32_t offset = 0;          // added to the value given: what is stored
  int32_t bare = 0;            // the value of the command without a number; 0: a number is needed
  const char* zeroword = "";   // a word given in place of the number that stores 0
  uint32_t clears = 0;         // the type's flag bit of a fixed amount that the value replaces
  AbilityForm form = AbilityForm::value;
};
constexpr AbilityKeyword abilitykeywords[] = {
    {.key = "magicboost", .ability = AB_MAGICBOOST, .lo = -5, .hi = 5, .form = AbilityForm::path},
    {.key = "gemprod", .ability = AB_GEMPROD, .lo = 0, .hi = 10, .form = AbilityForm::gem},
    {.key = "standard", .ability = AB_STANDARD},
    {.key = "awe", .ability = AB_AWE},
    {.key = "poisoncloud", .ability = AB_POISONCLOUD},
    {.key = "veysummon", .ability = AB_VEYSUMMON},
    {.key = "sailing", .ability = AB_SAILING, .bare = 999},
    {.key = "douse", .ability = AB_DOUSE},
    {.key = "reinvigoration", .ability = AB_REINVIGORATION},
    {.key = "forgebonus", .ability = AB_FORGEBONUS},
    {.key = "researchbonus", .ability = AB_RESEARCHBONUS},
    {.key = "supplybonus", .ability = AB_SUPPLYBONUS},
    {.key = "leper", .ability = AB_REAPER},
    {.key = "siegebonus", .ability = AB_SIEGEBONUS},
    {.key = "eyeloss", .ability = AB_EYELOSS},
    {.key = "horrormark", .ability = AB_HORRORMARKER, .bare = 5},
    {.key = "entangle", .ability = AB_ENTANGLE},
    {.key = "pillagebonus", .ability = AB_PILLAGEBONUS},
    {.key = "summon1", .ability = AB_SUMMON1},
    {.key = "summon5", .ability = AB_SUMMON5},
    {.key = "spreadvey", .ability = AB_SPREADVEY},
    {.key = "animalawe", .ability = AB_ANIMALAWE},
    {.key = "fireshield", .ability = AB_FIRESHIELD},
    {.key = "makemonster1", .ability = AB_MAKEMONSTER, .lo = 0, .hi = MAXUNITTYPES - 1},
    {.key = "makemonster2", .ability = AB_MAKEMONSTER + 1, .lo = 0, .hi = MAXUNITTYPES - 1},
    {.key = "makemonster3", .ability = AB_MAKEMONSTER + 2, .lo = 0, .hi = MAXUNITTYPES - 1},
    {.key = "makemonster4", .ability = AB_MAKEMONSTER + 3, .lo = 0, .hi = MAXUNITTYPES - 1},
    {.key = "makemonster5", .ability = AB_MAKEMONSTER + 4, .lo = 0, .hi = MAXUNITTYPES - 1},
    {.key = "patrolbonus", .ability = AB_PATROLBONUS},
    {.key = "blind", .ability = AB_BLIND},
    {.key = "diseasecloud", .ability = AB_PLAGUECARRIER},
    {.key = "stormpower", .ability = AB_STORMPOWER},
    {.key = "stormimmune", .ability = AB_STORMIMMUNE},
    {.key = "coldpower", .ability = AB_COLDPOWER},
    {.key = "firepower", .ability = AB_FIREPOWER},
    {.key = "eyes", .ability = AB_EYES, .lo = 0, .offset = -2},
    {.key = "itemslots", .ability = AB_ITEMSLOTS, .lo = 0, .hi = 0x3FFFF, .zeroword = "noitem"},
    {.key = "fear", .ability = AB_FEAR},
    {.key = "heretic", .ability = AB_HERETIC},
    {.key = "startaff", .ability = AB_STARTAFF},
    {.key = "poisonarmor", .ability = AB_POISONBARBS, .bare = 5},
    {.key = "regeneration", .ability = AB_REGENERATION},
    {.key = "berserk", .ability = AB_BERSERK},
    {.key = "iceprot", .ability = AB_ICEPROT, .bare = 2},
    {.key = "shapechange", .ability = AB_SHAPECHANGE, .lo = 0, .hi = MAXUNITTYPES - 1},
    {.key = "secondshape", .ability = AB_SECONDSHAPE},
    {.key = "firstshape", .ability = AB_FIRSTSHAPE},
    {.key = "secondtmpshape", .ability = AB_SECONDTMPSHAPE},
    {.key = "bloodvengeance", .ability = AB_BLOODVENGEANCE},
    {.key = "onebattlespell", .ability = AB_ONEBATTLESPELL},
    {.key = "succubus", .ability = AB_SEDUCE},
    {.key = "inquisitor", .ability = AB_INQUISITOR},
    {.key = "healer", .ability = AB_HEALER},
    {.key = "assassin", .ability = AB_ASSASSIN},
    {.key = "spy", .ability = AB_SPY},
    {.key = "castledef", .ability = AB_CASTLEDEF},
    {.key = "ambidextrous", .ability = AB_AMBIDEXTROUS},
    {.key = "veysummon20", .ability = AB_VEYSUMMON20},
    {.key = "cold", .ability = AB_COLD, .clears = MF_UNUSED10000},
    {.key = "banefireshield", .ability = AB_BANEFIRESHIELD},
    {.key = "incunrest", .ability = AB_INCUNREST},
    {.key = "springpower", .ability = AB_SPRINGPOWER},
    {.key = "summerpower", .ability = AB_SUMMERPOWER},
    {.key = "fallpower", .ability = AB_FALLPOWER},
    {.key = "winterpower", .ability = AB_WINTERPOWER},
    {.key = "nobadevents", .ability = AB_NOBADEVENTS},
    {.key = "veysummon2", .ability = AB_VEYSUMMON2},
    {.key = "startvey", .ability = AB_STARTVEY},
    {.key = "pathcost", .ability = AB_PATHCOST},
    {.key = "landshape", .ability = AB_LANDSHAPE},
    {.key = "watershape", .ability = AB_WATERSHAPE},
    {.key = "beckon", .ability = AB_LURE},
    {.key = "homesick", .ability = AB_HOMESICK},
    {.key = "restrictedgod", .ability = AB_RESTRICTEDGOD, .lo = 0, .hi = MAXNATIONS - 1, .offset = 100},
    {.key = "ressize", .ability = AB_RESSIZE},
    {.key = "drainimmune", .ability = AB_DRAINIMMUNE},
    {.key = "unique", .ability = AB_UNIQUE},
    {.key = "uwdamage", .ability = AB_NOWATER},
    {.key = "stonebeing", .ability = AB_STONEBEING},
    {.key = "darkvision", .ability = AB_DARKVISION},
    {.key = "maxage", .ability = AB_MAXAGE},
    {.key = "startage", .ability = AB_STARTAGE},
    {.key = "older", .ability = AB_OLDER},
    {.key = "popkill", .ability = AB_POPKILL},
    {.key = "darkpower", .ability = AB_DARKPOWER},
    {.key = "seduce", .ability = AB_RUNAWAY},
    {.key = "heat", .ability = AB_HEAT, .clears = MF_UNUSED80},
    {.key = "forestshape", .ability = AB_FORESTSHAPE},
    {.key = "plainshape", .ability = AB_PLAINSHAPE},
    {.key = "magicpower", .ability = AB_MAGICPOWER},
    {.key = "shatteredsoul", .ability = AB_SHATTEREDSOUL},
    {.key = "speciallook", .ability = AB_SPECIALLOOK},
};

const char* const pathwords[] = {"fire", "air", "water", "earth", "astral", "death", "nature", "blood", "priest"};
const char* const schoolwords[] = {"conjuration", "alteration", "evocation", "construction",
                                   "enchantment", "thaumaturgy", "blood", "divine"};
const char* const locwords[] = {"", "head", "body", "arms", "legs", "shield", "all"};
const char* const itemtypewords[] = {"", "onehand", "twohand", "missile", "shield", "armor", "helmet", "boots", "misc"};

// One argument of a command: a number, a quoted text or a bare word.
struct Arg {
  std::string text;
  bool quoted = false;
};

struct Reader {
  const char* file;
  int32_t line = 0;
  int32_t warnings = 0;
  ModInfo* info;
  Table table = T_NONE;
  int32_t row = -1;
  int32_t sectionline = 0;
  bool infoonly = false;   // the mod's name, description and version only, no warnings

  void warn(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    char text[300];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (infoonly) return;
    debugprint("***** Warning: %s:%d: %s\n", file, line, text);
    warnings++;
  }
};

bool sameword(std::string_view a, const char* b) {
  return a.size() == strlen(b) && strncasecmp(a.data(), b, a.size()) == 0;
}

// A decimal (or 0x hexadecimal) integer of the whole argument.
bool number(const Arg& a, int64_t* out) {
  if (a.quoted || a.text.empty() || a.text.size() > 20) return false;
  char* end = nullptr;
  const long long v = strtoll(a.text.c_str(), &end, 0);
  if (*end != 0) return false;
  *out = v;
  return true;
}

// The number of a word of the list, or the argument as a number in 0..count-1.
int32_t wordindex(const Arg& a, const char* const* words, int32_t count) {
  for (int32_t i = 0; i < count; i++)
    if (words[i][0] && sameword(a.text, words[i])) return i;
  int64_t v = 0;
  if (number(a, &v) && v >= 0 && v < count) return int32_t(v);
  return -1;
}

// ---------------------------------------------------------------- rows

int32_t tableend(Table t) {
  switch (t) {
    case T_UNIT: return nbrofunittypes();
    case T_WEAPON: return nbrofweapons();
    case T_ARMOR: return nbrofarmors();
    case T_ITEM: return nbrofitems();
    case T_SITE: return nbrofsites();
    case T_NATION: return nbrofnations();
    case T_SPELL: return nbrofspells();
    default: return 0;
  }
}

int32_t tablecap(Table t) {
  switch (t) {
    case T_UNIT: return MAXUNITTYPES;
    case T_WEAPON: return MAXWEAPONS;
    case T_ARMOR: return MAXARMORS;
    case T_ITEM: return MAXITEMS;
    case T_SITE: return MAXSITES;
    case T_NATION: return MAXNATIONS;
    case T_SPELL: return MAXSPELLS;
    default: return 0;
  }
}

char* rowname(Table t, int32_t r, size_t* size) {
  switch (t) {
    case T_UNIT: *size = UNITNAMELEN; return unittypes[size_t(r)].name;
    case T_WEAPON: *size = NAMELEN; return weapons[size_t(r)].name;
    case T_ARMOR: *size = NAMELEN; return armors[size_t(r)].name;
    case T_ITEM: *size = NAMELEN; return items[size_t(r)].name;
    case T_SITE: *size = NAMELEN; return sites[size_t(r)].name;
    case T_NATION: *size = NAMELEN; return nations[size_t(r)].name;
    case T_SPELL: *size = NAMELEN; return spells[size_t(r)].name;
    default: *size = 0; return nullptr;
  }
}

uint8_t* rowbytes(Table t, int32_t r) {
  switch (t) {
    case T_UNIT: return reinterpret_cast<uint8_t*>(&unittypes[size_t(r)]);
    case T_WEAPON: return reinterpret_cast<uint8_t*>(&weapons[size_t(r)]);
    case T_ARMOR: return reinterpret_cast<uint8_t*>(&armors[size_t(r)]);
    case T_ITEM: return reinterpret_cast<uint8_t*>(&items[size_t(r)]);
    case T_SITE: return reinterpret_cast<uint8_t*>(&sites[size_t(r)]);
    case T_NATION: return reinterpret_cast<uint8_t*>(&nations[size_t(r)]);
    case T_SPELL: return reinterpret_cast<uint8_t*>(&spells[size_t(r)]);
    default: return nullptr;
  }
}

size_t rowsize(Table t) {
  switch (t) {
    case T_UNIT: return sizeof(Monster);
    case T_WEAPON: return sizeof(Weapon);
    case T_ARMOR: return sizeof(Armor);
    case T_ITEM: return sizeof(Item);
    case T_SITE: return sizeof(Site);
    case T_NATION: return sizeof(Nation);
    case T_SPELL: return sizeof(Spell);
    default: return 0;
  }
}

// Every row is marked before the reader changes it, so that going back to
// the built-in tables can put back the changed rows alone.
void changing(Table t, int32_t r) { markgamedatachange(rowbytes(t, r), rowsize(t)); }

// A row in its empty state: what a new row starts from.
void clearrow(Table t, int32_t r) {
  changing(t, r);
  switch (t) {
    case T_UNIT: {
      Monster& m = unittypes[size_t(r)];
      m = Monster{};
      m.sprite = uint16_t(r);
      m.hp = 10, m.str = 10, m.att = 10, m.def = 10, m.prec = 10, m.mr = 10, m.mor = 10;
      m.ap = 12, m.mapmove = 2, m.size = 2, m.enc = 1;
      break;
    }
    case T_WEAPON: weapons[size_t(r)] = Weapon{}; weapons[size_t(r)].flags = WF_STRENGTH | WF_MUNDANE;
      weapons[size_t(r)].nratt = 1; weapons[size_t(r)].dmgtype = DT_NORMAL;
      weapons[size_t(r)].flyspr[0] = weapons[size_t(r)].explspr[0] = -1; break;
    case T_ARMOR: armors[size_t(r)] = Armor{}; armors[size_t(r)].type = IT_ARMOR; break;
    case T_ITEM: items[size_t(r)] = Item{}; items[size_t(r)].mainpath = items[size_t(r)].secondpath = -1;
      items[size_t(r)].type = IT_MISC; break;
    case T_SITE: sites[size_t(r)] = Site{}; break;
    case T_NATION: {
      Nation& n = nations[size_t(r)];
      n = Nation{};
      n.era = 2;
      n.recruit[0] = RECRUIT_END;
      break;
    }
    case T_SPELL: spells[size_t(r)] = Spell{}; spells[size_t(r)].path[0] = spells[size_t(r)].path[1] = -1; break;
    default: break;
  }
}

// Moves a table's end row from `from` down to `to` (from < to < capacity);
// the rows between become empty rows that no scan offers.
void moveend(Table t, int32_t from, int32_t to) {
  if (t == T_NATION) return;   // nations end at a mark of their own
  changing(t, to);
  memmove(rowbytes(t, to), rowbytes(t, from), rowsize(t));
  for (int32_t r = from; r < to; r++) clearrow(t, r);
}

int32_t findrow(Table t, const Arg& a) {
  int64_t v = 0;
  if (number(a, &v)) return v >= 0 && v < tableend(t) ? int32_t(v) : -1;
  switch (t) {
    case T_UNIT: return findunittype(a.text.c_str());
    case T_WEAPON: return findweapon(a.text.c_str());
    case T_ARMOR: return findarmor(a.text.c_str());
    case T_ITEM: { const int32_t i = finditem(a.text.c_str()); return i > 0 ? i : -1; }
    case T_SITE: return findsite(a.text.c_str());
    case T_SPELL: return findspell(a.text.c_str());
    case T_NATION:
      for (int32_t n = 0; n < nbrofnations(); n++)
        if (sameword(a.text, nations[size_t(n)].name)) return n;
      return -1;
    default: return -1;
  }
}

// ---------------------------------------------------------------- the commands

struct Command {
  std::string word;        // without '#', lower case
  std::vector<Arg> args;
};

// Splits a line: "#word arg arg ..." with quoted texts; comments from "--".
bool parse(Reader& rd, std::string_view text, Command* cmd) {
  size_t i = 0;
  auto blank = [&](size_t k) { return k < text.size() && (text[k] == ' ' || text[k] == '\t' || text[k] == '\r'); };
  while (blank(i)) i++;
  if (i >= text.size() || text.substr(i, 2) == "--") return false;
  if (text[i] != '#') {
    rd.warn("a line that is no command");
    return false;
  }
  i++;
  while (i < text.size() && !blank(i) && text[i] != '"') cmd->word.push_back(char(tolower(uint8_t(text[i++]))));
  for (;;) {
    while (blank(i)) i++;
    if (i >= text.size() || text.substr(i, 2) == "--") break;
    Arg a;
    if (text[i] == '"') {
      const size_t close = text.find('"', i + 1);
      if (close == std::string_view::npos) {
        rd.warn("a text without its closing quote");
        return false;
      }
      a.text = std::string(text.substr(i + 1, close - i - 1));
      a.quoted = true;
      i = close + 1;
    } else {
      while (i < text.size() && !blank(i)) a.text.push_back(text[i++]);
    }
    cmd->args.push_back(std::move(a));
  }
  return true;
}

bool argcount(Reader& rd, const Command& c, size_t want) {
  if (c.args.size() == want) return true;
  rd.warn("#%s takes %zu argument%s", c.word.c_str(), want, want == 1 ? "" : "s");
  return false;
}

// A number argument within lo..hi.
bool numberarg(Reader& rd, const Command& c, size_t k, int64_t lo, int64_t hi, int64_t* out) {
  if (k >= c.args.size() || !number(c.args[k], out)) {
    rd.warn("#%s needs a number", c.word.c_str());
    return false;
  }
  if (*out < lo || *out > hi) {
    rd.warn("#%s %lld is outside %lld to %lld", c.word.c_str(), (long long)*out, (long long)lo, (long long)hi);
    return false;
  }
  return true;
}

// A row of another table, by number or by name.
int32_t refarg(Reader& rd, const Command& c, Table t) {
  if (c.args.size() != 1) {
    rd.warn("#%s takes one %s", c.word.c_str(), tablewords[t]);
    return -1;
  }
  const int32_t r = findrow(t, c.args[0]);
  if (r < 0) rd.warn("#%s: no %s %s", c.word.c_str(), tablewords[t], c.args[0].text.c_str());
  return r;
}

void copytext(Reader& rd, const Command& c, char* dst, size_t size) {
  if (c.args.size() != 1) {
    rd.warn("#%s takes one text", c.word.c_str());
    return;
  }
  if (c.args[0].text.size() >= size) rd.warn("#%s: text cut to %zu characters", c.word.c_str(), size - 1);
  std::string t = c.args[0].text;
  for (char& ch : t)
    if (uint8_t(ch) < 32) ch = ' ';
  strlcopy(dst, t.c_str(), int32_t(size));
}

void setnumber(uint8_t* base, const NumberField& f, int64_t v) {
  uint8_t* p = base + f.offset;
  switch (f.kind) {
    case K_I8: { const int8_t x = int8_t(v); memcpy(p, &x, 1); break; }
    case K_U8: { const uint8_t x = uint8_t(v); memcpy(p, &x, 1); break; }
    case K_I16: { const int16_t x = int16_t(v); memcpy(p, &x, 2); break; }
    case K_U16: { const uint16_t x = uint16_t(v); memcpy(p, &x, 2); break; }
    case K_I32: { const int32_t x = int32_t(v); memcpy(p, &x, 4); break; }
  }
}

// (id, value) into the first place that holds the id or is free.
template <class K, class V>
bool setpair(K* keys, V* vals, int32_t cap, int64_t key, int64_t value) {
  for (int32_t i = 0; i < cap; i++)
    if (keys[i] == K(key) || keys[i] == 0) {
      keys[i] = K(key);
      vals[i] = V(value);
      return true;
    }
  return false;
}
template <class K, class V>
void removepair(K* keys, V* vals, int32_t cap, int64_t key) {
  for (int32_t i = 0; i < cap; i++)
    if (keys[i] == K(key)) {
      for (int32_t j = i; j + 1 < cap; j++) keys[j] = keys[j + 1], vals[j] = vals[j + 1];
      keys[cap - 1] = 0, vals[cap - 1] = 0;
      return;
    }
}

bool flagcommand(std::span<const FlagName> names, const std::string& word, uint32_t* w1, uint32_t* w2) {
  for (const FlagName& f : names)
    if (sameword(word, f.name)) {
      if (f.word == 1) *w1 |= f.bit;
      else if (f.word == 2 && w2) *w2 |= f.bit;
      else if (f.word == -1) *w1 &= ~f.bit;
      return true;
    }
  return false;
}

bool pairargs(Reader& rd, const Command& c, int64_t klo, int64_t khi, int64_t vlo, int64_t vhi, int64_t* k, int64_t* v) {
  return argcount(rd, c, 2) && numberarg(rd, c, 0, klo, khi, k) && numberarg(rd, c, 1, vlo, vhi, v);
}

// An ability of the unit type: a later value replaces an earlier one, 0 takes it off.
void setability(Reader& rd, const Command& c, Monster& m, int32_t id, int64_t value) {
  if (value == 0) return removepair(m.abilityid, m.abilityval, UNITABILITIES, id);
  if (!setpair(m.abilityid, m.abilityval, UNITABILITIES, id, value))
    rd.warn("#%s: the unit type has no room for another ability", c.word.c_str());
}

// The keywords grouped by the first letter of their words: every command of
// a monster section asks whether it is one, which takes a few comparisons
// of lengths this way.
struct AbilityKeywordIndex {
  std::array<const AbilityKeyword*, std::size(abilitykeywords)> order{};
  std::array<uint8_t, 257> first{};   // the group of letter c is order[first[c]..first[c + 1])
};
const AbilityKeywordIndex abilityindex = [] {
  static_assert(std::size(abilitykeywords) < 256);
  AbilityKeywordIndex x;
  for (size_t i = 0; i < x.order.size(); i++) x.order[i] = &abilitykeywords[i];
  std::sort(x.order.begin(), x.order.end(), [](const AbilityKeyword* a, const AbilityKeyword* b) { return a->key < b->key; });
  size_t at = 0;
  for (size_t c = 0; c < 256; c++) {
    x.first[c] = uint8_t(at);
    while (at < x.order.size() && uint8_t(x.order[at]->key[0]) == c) at++;
  }
  x.first[256] = uint8_t(at);
  return x;
}();

const AbilityKeyword* abilitykeyword(std::string_view word) {
  if (word.empty()) return nullptr;
  const uint8_t c = uint8_t(word[0]);
  for (size_t i = abilityindex.first[c]; i < abilityindex.first[c + 1]; i++)
    if (abilityindex.order[i]->key == word) return abilityindex.order[i];
  return nullptr;
}

// The ability that the path or gem kind of the argument chooses (a word or a
// number), or -1.
int32_t chosenability(const AbilityKeyword& k, const Arg& a) {
  const bool path = k.form == AbilityForm::path;
  for (int32_t i = 0; i < (path ? 9 : 8); i++)
    if (sameword(a.text, pathwords[i])) return k.ability + i;
  int64_t n = 0;
  if (!number(a, &n) || n < 0) return -1;
  if (!path) return n < 8 ? k.ability + int32_t(n) : -1;
  return n <= 9 ? k.ability + int32_t(n) : AB_MAGICBOOSTALL;
}

void abilitycommand(Reader& rd, const Command& c, const AbilityKeyword& k, Monster& m) {
  int32_t id = k.ability;
  int64_t v = k.bare;
  if (k.form != AbilityForm::value) {
    if (!argcount(rd, c, 2)) return;
    id = chosenability(k, c.args[0]);
    if (id < 0)
      return rd.warn("#%s: no %s %s", c.word.c_str(), k.form == AbilityForm::path ? "path" : "gem kind",
                     c.args[0].text.c_str());
    if (!numberarg(rd, c, 1, k.lo, k.hi, &v)) return;
  } else if (k.bare != 0 && c.args.size() > 1) {
    return rd.warn("#%s takes at most one number", c.word.c_str());
  } else if (k.bare == 0 || !c.args.empty()) {
    if (!argcount(rd, c, 1)) return;
    if (k.zeroword[0] && sameword(c.args[0].text, k.zeroword)) v = -k.offset;   // stores 0
    else if (!numberarg(rd, c, 0, k.lo, k.hi, &v)) return;
  }
  m.flags &= ~k.clears;
  setability(rd, c, m, id, v + k.offset);
}

void unitcommand(Reader& rd, const Command& c, Monster& m) {
  const std::string& w = c.word;
  int64_t k = 0, v = 0;
  for (const Resistance& r : resistances)
    if (w == r.key) {
      if (!argcount(rd, c, 1) || !numberarg(rd, c, 0, 0, 100, &v)) return;
      // Exactly 100 is the flag bit alone.
      m.flags &= ~r.bit;
      if (v == 100) m.flags |= r.bit;
      return setability(rd, c, m, r.ability, v == 100 ? 0 : v);
    }
  if (const AbilityKeyword* a = abilitykeyword(w)) {
    abilitycommand(rd, c, *a, m);
  } else if (w == "stealthy") {
    if (c.args.size() > 1 || (c.args.size() == 1 && !numberarg(rd, c, 0, 0, 100, &v))) return;
    m.flags |= MF_STEALTHY;
    if (!setpair(m.abilityid, m.abilityval, UNITABILITIES, AB_STEALTH, v))
      rd.warn("#stealthy: the unit type has no room for another ability");
  } else if (w == "weapon" || w == "armor") {
    const bool weapon = w == "weapon";
    const int32_t r = refarg(rd, c, weapon ? T_WEAPON : T_ARMOR);
    if (r < 0) return;
    int16_t* slots = weapon ? m.weapon : m.armor;
    const int32_t n = weapon ? UNITWEAPONS : UNITARMORS;
    for (int32_t i = 0; i < n; i++)
      if (slots[i] == 0) {
        slots[i] = int16_t(r);
        return;
      }
    rd.warn("#%s: every slot is taken", w.c_str());
  } else if (w == "clearweapons") {
    for (int16_t& x : m.weapon) x = 0;
  } else if (w == "cleararmors") {
    for (int16_t& x : m.armor) x = 0;
  } else if (w == "ability") {
    if (pairargs(rd, c, 1, 32767, ABILITYMIN, ABILITYMAX, &k, &v)) setability(rd, c, m, int32_t(k), v);
  } else if (w == "clearabilities") {
    for (int16_t& x : m.abilityid) x = 0;
    for (int32_t& x : m.abilityval) x = 0;
  } else if (w == "clearflags") {
    m.flags = m.flags2 = 0;
  } else if (w == "copystats") {
    const int32_t r = refarg(rd, c, T_UNIT);
    if (r < 0) return;
    char name[UNITNAMELEN];
    memcpy(name, m.name, sizeof name);
    const uint16_t sprite = m.sprite;
    m = unittypes[size_t(r)];
    memcpy(m.name, name, sizeof name);
    m.sprite = sprite;
  } else if (flagcommand(unittypeflagnames(), w, &m.flags, &m.flags2)) {
    if (!c.args.empty()) rd.warn("#%s takes no argument", w.c_str());
  } else {
    rd.warn("unknown command #%s in a monster section", w.c_str());
    return;
  }
  // Undead and demons count against undead leadership.
  if (m.flags & (MF_UNDEAD | MF_DEMON)) m.flags2 |= MF2_UNDEADCLASS;
}

void weaponcommand(Reader& rd, const Command& c, Weapon& x) {
  const std::string& w = c.word;
  int64_t v = 0, k = 0;
  static const char* const dtwords[] = {"normal", "stun", "poison", "holy", "large", "small", "paralyze", "magic",
                                       "raise", "constructonly", "demononly", "demon", "cap"};
  static const int16_t dtcodes[] = {DT_NORMAL, DT_STUN, DT_POISON, DT_HOLY, DT_LARGE, DT_SMALL, DT_PARALYZE,
                                    DT_MAGIC, DT_RAISE, DT_CONSTRUCTONLY, DT_DEMONONLY, DT_DEMON, DT_CAP};
  if (w == "dt") {
    if (!argcount(rd, c, 1)) return;
    for (size_t i = 0; i < std::size(dtwords); i++)
      if (sameword(c.args[0].text, dtwords[i])) {
        x.dmgtype = dtcodes[i];
        return;
      }
    if (numberarg(rd, c, 0, 0, 1999, &v)) x.dmgtype = int16_t(v);
  } else if (w == "secondaryeffect" || w == "secondaryeffectalways") {
    const int32_t r = refarg(rd, c, T_WEAPON);
    if (r > 0) x.secondaryeffect = int16_t(w == "secondaryeffect" ? r : -r);
  } else if (w == "flyspr") {
    if (argcount(rd, c, 2) && numberarg(rd, c, 0, -1, 30000, &v) && numberarg(rd, c, 1, 0, 100, &k))
      x.flyspr[0] = int16_t(v), x.flyspr[1] = int16_t(k);
  } else if (w == "explspr") {
    if (!argcount(rd, c, 1) || !numberarg(rd, c, 0, -1, 10257, &v)) return;
    if (v != -1 && v < 10000) return rd.warn("#explspr %lld is outside 10000 to 10257", (long long)v);
    x.explspr[0] = int16_t(v), x.explspr[1] = 5;
  } else if (w == "copyweapon") {
    const int32_t r = refarg(rd, c, T_WEAPON);
    if (r < 0) return;
    char name[NAMELEN];
    memcpy(name, x.name, sizeof name);
    x = weapons[size_t(r)];
    memcpy(x.name, name, sizeof name);
  } else if (!flagcommand(weaponflagnames(), w, &x.flags, nullptr)) {
    rd.warn("unknown command #%s in a weapon section", w.c_str());
  }
}

void armorcommand(Reader& rd, const Command& c, Armor& x) {
  const std::string& w = c.word;
  int64_t v = 0;
  if (w == "type") {
    if (!argcount(rd, c, 1)) return;
    static const char* const words[] = {"shield", "body", "helmet", "other"};
    static const int16_t codes[] = {IT_SHIELD, IT_ARMOR, IT_HELMET, IT_MISC};
    for (size_t i = 0; i < 4; i++)
      if (sameword(c.args[0].text, words[i])) {
        x.type = codes[i];
        return;
      }
    rd.warn("#type: shield, body, helmet or other");
  } else if (w == "prot") {
    if (!argcount(rd, c, 2)) return;
    const int32_t loc = wordindex(c.args[0], locwords, 7);
    if (loc < 1) return rd.warn("#prot: no location %s", c.args[0].text.c_str());
    if (!numberarg(rd, c, 1, 0, 200, &v)) return;
    for (ArmorProt& p : x.prot)
      if (p.loc == loc || p.loc == 0) {
        p.loc = int16_t(loc), p.prot = int16_t(v);
        return;
      }
    rd.warn("#prot: every place of the armor is taken");
  } else if (w == "clearprot") {
    for (ArmorProt& p : x.prot) p = ArmorProt{};
  } else {
    rd.warn("unknown command #%s in an armor section", w.c_str());
  }
}

void itemcommand(Reader& rd, const Command& c, Item& x) {
  const std::string& w = c.word;
  int64_t k = 0, v = 0;
  if (w == "mainpath" || w == "secondpath") {
    if (!argcount(rd, c, 1)) return;
    const int32_t p = sameword(c.args[0].text, "none") ? -1 : wordindex(c.args[0], pathwords, 9);
    if (p < -1 || (p == -1 && !sameword(c.args[0].text, "none"))) return rd.warn("#%s: no path %s", w.c_str(), c.args[0].text.c_str());
    (w == "mainpath" ? x.mainpath : x.secondpath) = int8_t(p);
  } else if (w == "type") {
    if (!argcount(rd, c, 1)) return;
    const int32_t t = wordindex(c.args[0], itemtypewords, 9);
    if (t < 1) return rd.warn("#type: no item type %s", c.args[0].text.c_str());
    x.type = int8_t(t);
  } else if (w == "weapon") {
    const int32_t r = refarg(rd, c, T_WEAPON);
    if (r >= 0) x.weapon = int16_t(r);
  } else if (w == "armor") {
    const int32_t r = refarg(rd, c, T_ARMOR);
    if (r >= 0) x.armor = int16_t(r);
  } else if (w == "spell") {
    copytext(rd, c, x.spell, sizeof x.spell);
  } else if (w == "ability") {
    if (pairargs(rd, c, 1, 32767, -2000000000, 2000000000, &k, &v) &&
        !setpair(x.abilityid, x.abilityval, ITEMABILITIES, k, v))
      rd.warn("#ability: the item has no room for another ability");
  } else if (w == "clearabilities") {
    for (int16_t& a : x.abilityid) a = 0;
    for (int32_t& a : x.abilityval) a = 0;
  } else if (w == "cursed") {
    x.cursed = -1;
  } else {
    rd.warn("unknown command #%s in an item section", w.c_str());
  }
}

void sitecommand(Reader& rd, const Command& c, Site& x) {
  const std::string& w = c.word;
  int64_t k = 0, v = 0;
  if (w == "path") {
    if (!argcount(rd, c, 1)) return;
    const int32_t p = wordindex(c.args[0], pathwords, 9);
    if (p < 0) return rd.warn("#path: no path %s", c.args[0].text.c_str());
    x.path = int16_t(p);
  } else if (w == "effect") {
    if (pairargs(rd, c, 1, 1000, -1000000, 1000000, &k, &v) &&
        !setpair(x.effectkind, x.effectval, SITEEFFECTS, k, v))
      rd.warn("#effect: the site has no room for another effect");
  } else if (w == "cleareffects") {
    for (int16_t& a : x.effectkind) a = 0;
    for (int32_t& a : x.effectval) a = 0;
  } else if (!flagcommand(siteplacenames(), w, &x.placement, nullptr)) {
    rd.warn("unknown command #%s in a site section", w.c_str());
  }
}

void nationcommand(Reader& rd, const Command& c, Nation& x) {
  const std::string& w = c.word;
  int64_t k = 0, v = 0;
  if (w == "epithet") {
    copytext(rd, c, x.epithet, sizeof x.epithet);
  } else if (w == "shortname") {
    copytext(rd, c, x.shortname, sizeof x.shortname);
  } else if (w == "fileword") {
    if (!argcount(rd, c, 1)) return;
    const std::string& t = c.args[0].text;
    bool ok = !t.empty() && t.size() < FILEWORDLEN;
    for (char ch : t) ok = ok && (isalnum(uint8_t(ch)) || ch == '_');
    if (!ok) return rd.warn("#fileword: letters, digits and '_' only, at most %d", FILEWORDLEN - 1);
    for (int32_t n = 0; n < nbrofnations(); n++)
      if (&nations[size_t(n)] != &x && strcmp(nations[size_t(n)].fileword, t.c_str()) == 0)
        return rd.warn("#fileword: %s is the file word of %s already", t.c_str(), nations[size_t(n)].name);
    strlcopy(x.fileword, t.c_str(), FILEWORDLEN);
  } else if (w == "colour" || w == "color") {
    if (!argcount(rd, c, 3)) return;
    float rgb[3];
    for (int32_t i = 0; i < 3; i++) {
      char* end = nullptr;
      rgb[i] = strtof(c.args[size_t(i)].text.c_str(), &end);
      if (c.args[size_t(i)].text.empty() || *end != 0 || !(rgb[i] >= 0.0f && rgb[i] <= 1.0f))
        return rd.warn("#colour: three values from 0 to 1");
    }
    for (int32_t i = 0; i < 3; i++) x.colour[i] = rgb[i];
  } else if (w == "attribute") {
    if (pairargs(rd, c, 1, 100000, -2000000000, 2000000000, &k, &v) &&
        !setpair(x.attrkey, x.attrval, NATIONATTRS, k, v))
      rd.warn("#attribute: the nation has no room for another attribute");
  } else if (w == "clearattributes") {
    for (uint32_t& a : x.attrkey) a = 0;
    for (int32_t& a : x.attrval) a = 0;
  } else if (w == "addrecunit" || w == "addreccom") {
    const int32_t r = refarg(rd, c, T_UNIT);
    if (r < 1) return;
    // The list: units, then the commander mark, then commanders, then the end mark.
    int32_t units[RECRUITLEN], coms[RECRUITLEN], nu = 0, nc = 0;
    bool incoms = false;
    for (int32_t i = 0; i < RECRUITLEN && x.recruit[i] != RECRUIT_END; i++) {
      if (x.recruit[i] == RECRUIT_COMMANDERS) incoms = true;
      else if (incoms) coms[nc++] = x.recruit[i];
      else units[nu++] = x.recruit[i];
    }
    if (w == "addrecunit") units[nu++] = r;
    else coms[nc++] = r;
    if (nu + nc + 2 > RECRUITLEN) return rd.warn("#%s: the recruit list is full", w.c_str());
    int32_t i = 0;
    for (int32_t j = 0; j < nu; j++) x.recruit[i++] = units[j];
    x.recruit[i++] = RECRUIT_COMMANDERS;
    for (int32_t j = 0; j < nc; j++) x.recruit[i++] = coms[j];
    x.recruit[i] = RECRUIT_END;
  } else if (w == "clearrec") {
    x.recruit[0] = RECRUIT_END;
  } else {
    rd.warn("unknown command #%s in a nation section", w.c_str());
  }
}

void spellcommand(Reader& rd, const Command& c, Spell& x) {
  const std::string& w = c.word;
  int64_t k = 0, v = 0;
  if (w == "school") {
    if (!argcount(rd, c, 1)) return;
    const int32_t s = wordindex(c.args[0], schoolwords, 8);
    if (s < 0) return rd.warn("#school: no school %s", c.args[0].text.c_str());
    x.school = int8_t(s);
  } else if (w == "path" || w == "path2") {
    if (!argcount(rd, c, 2)) return;
    const int32_t p = wordindex(c.args[0], pathwords, 9);
    if (p < 0) return rd.warn("#%s: no path %s", w.c_str(), c.args[0].text.c_str());
    if (!numberarg(rd, c, 1, 0, 9, &v)) return;
    const int32_t i = w == "path" ? 0 : 1;
    x.path[i] = int8_t(p), x.pathlevel[i] = uint8_t(v);
  } else if (w == "attribute") {
    if (pairargs(rd, c, 1, 100000, -2000000000, 2000000000, &k, &v) &&
        !setpair(x.attrkey, x.attrval, SPELLATTRS, k, v))
      rd.warn("#attribute: the spell has no room for another attribute");
  } else if (!flagcommand(spellflagnames(), w, &x.flags, nullptr)) {
    rd.warn("unknown command #%s in a spell section", w.c_str());
  }
}

// ---------------------------------------------------------------- sections

void endsection(Reader& rd) {
  rd.table = T_NONE;
  rd.row = -1;
}

bool opensection(Reader& rd, const Command& c) {
  Table t = T_NONE;
  bool add = false;
  // "select" or "new", then a table's word (compared in place: this runs for every command).
  const std::string_view w = c.word;
  const bool select = w.starts_with("select");
  if (select || w.starts_with("new"))
    for (int32_t i = 1; i < T_COUNT; i++)
      if (w.substr(select ? 6 : 3) == tablewords[i]) t = Table(i), add = !select;
  if (t == T_NONE) return false;
  if (rd.table != T_NONE) {
    rd.warn("#%s before the #end of the section begun on line %d", c.word.c_str(), rd.sectionline);
    endsection(rd);
  }
  int32_t row = -1;
  if (!add) {
    row = refarg(rd, c, t);
    if (t == T_ITEM && row == 0) row = -1;
  } else if (t == T_NATION) {
    // A free nation row: the first after the filled ones, or the number given.
    int64_t v = nbrofnations();
    if (c.args.size() > 1 || (c.args.size() == 1 && !numberarg(rd, c, 0, 0, MAXNATIONS - 1, &v))) {
      if (c.args.size() > 1) rd.warn("#%s takes at most one row number", c.word.c_str());
    } else if (v < nbrofnations()) {
      rd.warn("#newnation %lld: that nation exists; use #selectnation", (long long)v);
    } else if (v != nbrofnations()) {
      rd.warn("#newnation %lld: nations are added after the last one (%d)", (long long)v, nbrofnations());
    } else if (v >= MAXNATIONS) {
      rd.warn("#newnation: the nation table is full");
    } else {
      row = int32_t(v);
      clearrow(t, row);
      formatbounded(nations[size_t(row)].fileword, FILEWORDLEN, "mod_nation_%d", row);
      nations[size_t(row)].endmarker = 0;
      if (row + 1 < MAXNATIONS) {
        changing(t, row + 1);
        nations[size_t(row + 1)].endmarker = NATION_FREEMARK;
      }
    }
  } else {
    const int32_t end = tableend(t), cap = tablecap(t);
    int64_t v = end;
    size_t size = 0;
    if (c.args.size() > 1 || (c.args.size() == 1 && !numberarg(rd, c, 0, 1, cap - 2, &v))) {
      if (c.args.size() > 1) rd.warn("#%s takes at most one row number", c.word.c_str());
    } else if (v < end && rowname(t, int32_t(v), &size)[0]) {
      rd.warn("#%s %lld: that row is in use; use #select%s", c.word.c_str(), (long long)v, tablewords[t]);
    } else if (v + 1 >= cap) {
      rd.warn("#%s: the %s table is full", c.word.c_str(), tablewords[t]);
    } else {
      row = int32_t(v);
      if (row >= end) moveend(t, end, row + 1);
      clearrow(t, row);
    }
  }
  rd.table = t;
  rd.row = row;   // -1: the section's commands are skipped
  rd.sectionline = rd.line;
  return true;
}

void sectioncommand(Reader& rd, const Command& c) {
  if (rd.row < 0) return;   // a section whose row was refused: warned once at its start
  const Table t = rd.table;
  const int32_t r = rd.row;
  changing(t, r);   // a section's commands change its own row only
  if (c.word == "name") {
    size_t size = 0;
    char* name = rowname(t, r, &size);
    copytext(rd, c, name, size);
    return;
  }
  if (c.word == "clear") {
    size_t size = 0;
    std::string name = rowname(t, r, &size);
    clearrow(t, r);
    strlcopy(rowname(t, r, &size), name.c_str(), int32_t(size));
    return;
  }
  // A summoning spell names its unit type.
  if (t == T_SPELL && c.word == "damage" && c.args.size() == 1 && c.args[0].quoted) {
    const int32_t m = refarg(rd, c, T_UNIT);
    if (m > 0) spells[size_t(r)].damage = m;
    return;
  }
  for (const NumberField& f : numberfields) {
    if (f.table != t || c.word != f.key) continue;
    int64_t v = 0;
    if (argcount(rd, c, 1) && numberarg(rd, c, 0, f.lo, f.hi, &v)) setnumber(rowbytes(t, r), f, v);
    return;
  }
  switch (t) {
    case T_UNIT: unitcommand(rd, c, unittypes[size_t(r)]); break;
    case T_WEAPON: weaponcommand(rd, c, weapons[size_t(r)]); break;
    case T_ARMOR: armorcommand(rd, c, armors[size_t(r)]); break;
    case T_ITEM: itemcommand(rd, c, items[size_t(r)]); break;
    case T_SITE: sitecommand(rd, c, sites[size_t(r)]); break;
    case T_NATION: nationcommand(rd, c, nations[size_t(r)]); break;
    case T_SPELL: spellcommand(rd, c, spells[size_t(r)]); break;
    default: break;
  }
}

void generalcommand(Reader& rd, const Command& c) {
  if (c.word == "modname") return copytext(rd, c, rd.info->name, sizeof rd.info->name);
  if (c.word == "description") return copytext(rd, c, rd.info->description, sizeof rd.info->description);
  if (c.word == "version") {
    // "1.05": major and minor.
    if (!argcount(rd, c, 1)) return;
    int major = 0, minor = 0;
    char tail = 0;
    const int n = sscanf(c.args[0].text.c_str(), "%d.%d%c", &major, &minor, &tail);
    if (n < 1 || n > 2 || major < 0 || major > 999 || minor < 0 || minor > 999)
      return rd.warn("#version: a number such as 1.05");
    rd.info->version[0] = int16_t(major), rd.info->version[1] = int16_t(minor);
    return;
  }
  for (const GeneralField& g : generalfields)
    if (c.word == g.key) {
      int64_t v = 0;
      if (argcount(rd, c, 1) && numberarg(rd, c, 0, 0, GENERALMAX, &v)) *g.value = int32_t(v);
      return;
    }
  if (c.word == "end") return rd.warn("#end outside a section");
  rd.warn("unknown command #%s", c.word.c_str());
}

}  // namespace

namespace {
void readlines(Reader& rd, const char* text, size_t length) {
  size_t pos = 0;
  while (pos < length) {
    size_t eol = pos;
    while (eol < length && text[eol] != '\n') eol++;
    rd.line++;
    std::string_view line(text + pos, eol - pos);
    pos = eol + 1;
    if (line.size() > size_t(MODLINELEN)) {
      rd.warn("a line longer than %d characters", MODLINELEN);
      continue;
    }
    if (line.find('\0') != std::string_view::npos) {
      rd.warn("a line holding a zero byte");
      continue;
    }
    Command c;
    if (!parse(rd, line, &c)) continue;
    if (rd.infoonly) {
      if (c.word == "modname" || c.word == "description" || c.word == "version") generalcommand(rd, c);
      continue;
    }
    if (c.word.empty()) {
      rd.warn("'#' without a command");
      continue;
    }
    if (opensection(rd, c)) continue;
    if (c.word == "end" && rd.table != T_NONE) {
      if (!c.args.empty()) rd.warn("#end takes no argument");
      endsection(rd);
      continue;
    }
    if (rd.table != T_NONE) sectioncommand(rd, c);
    else generalcommand(rd, c);
  }
  if (rd.table != T_NONE) {
    rd.line++;
    rd.warn("the file ends before the #end of the section begun on line %d", rd.sectionline);
  }
}

// The stream to its end. False when the text is too large or the reading
// fails part-way, with why (and where) in *problem: a mod is used whole or
// not at all, never the part before a failed read.
bool readstream(FILE* f, std::string* text, std::string* problem) {
  char buffer[65536];
  size_t n = 0;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) {
    text->append(buffer, n);
    if (text->size() > size_t(MAXMODFILE)) {
      *problem = "it is larger than " + std::to_string(MAXMODFILE) + " bytes";
      return false;
    }
  }
  if (!ferror(f)) return true;
  const int err = errno;
  const auto line = std::count(text->begin(), text->end(), '\n') + 1;
  *problem = "line " + std::to_string(line) + ": the file could not be read on from there (" + readcause(err) + ")";
  return false;
}

// The whole file, or false (logged, and why in *problem but for a missing
// file) when it cannot be read whole. told: the caller tells *problem, so a
// FIFO or a folder in the file's place is not said here too.
bool readfile(const char* name, std::string* text, std::string* problem, bool told) {
  if (!validmodname(name)) {
    debugprint("***** Warning: mod name refused: it would leave the mod folder\n");
    *problem = "its name would leave the mods folder";
    return false;
  }
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/%s", modpath, name);
  UniqueFile f = told ? openquiet(path, "rb") : openfile(path, "rb");
  if (!f) {
    if (errno != ENOENT) *problem = "it cannot be opened: " + readproblem(path, errno);
    debugprint("***** Warning: the mod %s cannot be read\n", name);
    return false;
  }
  const bool whole = readstream(f.get(), text, problem);
  f.reset();
  if (!whole) debugprint("***** Warning: %s: %s; the mod is not read\n", name, problem->c_str());
  return whole;
}
}  // namespace

int32_t readmod(const char* file, const char* text, size_t length, ModInfo* info) {
  ModInfo scratch;
  Reader rd{file ? file : "mod", 0, 0, info ? info : &scratch};
  *rd.info = ModInfo{};
  readlines(rd, text, length);
  return rd.warnings;
}

int32_t readmodinfo(const char* name, ModInfo* info) {
  *info = ModInfo{};
  std::string text, problem;
  if (!readfile(name, &text, &problem, false)) return 0;
  Reader rd{name, 0, 0, info};
  rd.infoonly = true;
  readlines(rd, text.data(), text.size());
  return 1;
}

std::vector<std::string> listmodfiles() {
  std::vector<std::string> names;
  DIR* d = opendir(modpath);
  if (!d) return names;
  while (const dirent* e = readdir(d)) {
    const size_t n = strlen(e->d_name);
    if (n > 3 && strcmp(e->d_name + n - 3, ".dm") == 0 && modfileexists(e->d_name)) names.emplace_back(e->d_name);
  }
  closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

int32_t loadmodfile(const char* name, ModInfo* info, std::string* problem) {
  std::string text, why;
  if (!readfile(name, &text, &why, problem != nullptr)) {
    if (problem) *problem = why;
    return -1;
  }
  return readmod(name, text.data(), text.size(), info);
}

int32_t loadmodstream(const char* name, FILE* f, ModInfo* info, std::string* problem) {
  std::string text, why;
  if (!readstream(f, &text, &why)) {
    debugprint("***** Warning: %s: %s; the mod is not read\n", name, why.c_str());
    if (problem) *problem = why;
    return -1;
  }
  return readmod(name, text.data(), text.size(), info);
}
