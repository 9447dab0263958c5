// Built-in game data: the static record tables that the rules read (unit
// types, weapons, armors, magic items, magic sites, nations, spells, forts)
// and the text and list tables beside them (type magic, population recruit
// lists, mercenary band templates, epithets, province and personal names,
// description texts). The rows are authored as text files under data/, which
// the build embeds; `loadgamedata` fills the tables from them at start-up and
// keeps a snapshot of that state that mods restore before they run.
//
// Every table is a fixed-capacity array addressed by row number. Row 0 is a
// sentinel ("no one", "Nothing", "No Item", "None"); every table but the
// nation table ends with a row named "end" that carries an end marker, and
// scans stop at that row or at the capacity, whichever comes first.
#pragma once
#include <array>
#include <span>
#include <cstddef>
#include <cstdint>

#include "rule_ids.h"

// ---------------------------------------------------------------- capacities
constexpr int MAXUNITTYPES = 4000;
constexpr int MAXWEAPONS = 1000;
constexpr int MAXARMORS = 400;
constexpr int MAXITEMS = 500;
constexpr int MAXSITES = 1000;
constexpr int MAXNATIONS = 95;          // nation numbers 0..94
constexpr int MAXSPELLS = 2000;
constexpr int MAXFORTS = 50;
constexpr int MAXTYPEMAGIC = 4000;      // type-magic triples, end row included
constexpr int MAXRANDMAGIC = 2000;      // random-magic triples, end row included
constexpr int MAXPOPTYPES = 100;        // population types with a recruit list
constexpr int RECRUITLEN = 42;          // entries of one recruit list
constexpr int MAXMERCTEMPLATES = 100;
constexpr int MAXEPITHETS = 1000;
constexpr int NBRPROVNAMELISTS = 8;
constexpr int MAXPROVNAMES = 400;       // per list, "end" included
constexpr int MAXNAMETYPES = 64;        // personal-name lists by `nametype`
constexpr int MAXPERSONALNAMES = 200;   // per list
constexpr int MAXDESCRS = 6000;
constexpr int DESCRTEXTPOOL = 4 * 1024 * 1024;
constexpr int MAXDESCRLEN = 4000;       // one description text, terminator excluded
constexpr int MAXGODFORMS = 24;         // pretender forms a nation may choose

// Built-in row counts: the "end" row of each table sits at this row number.
constexpr int BUILTIN_UNITTYPES = 2107;
constexpr int BUILTIN_WEAPONS = 532;
constexpr int BUILTIN_ARMORS = 172;
constexpr int BUILTIN_ITEMS = 315;
constexpr int BUILTIN_SITES = 710;
constexpr int BUILTIN_NATIONS = 72;     // rows 0..71 filled, 72..94 free
constexpr int BUILTIN_EPITHETS = 490;
constexpr int BUILTIN_MERCTEMPLATES = 53;

// End markers.
constexpr uint16_t UNITTYPE_ENDSPRITE = 65535;   // unit type: sprite field
constexpr int32_t WEAPON_ENDDMG = -999;          // weapon: dmg
constexpr int16_t ARMOR_ENDDEF = -999;           // armor: def
constexpr int8_t ITEM_ENDLEVEL = 99;             // item: construction level (>98 ends a scan)
constexpr int8_t ITEM_SENTINELLEVEL = 98;        // row 0 "No Item"
constexpr int16_t SITE_ENDPATH = 99;             // site: path
constexpr int16_t NATION_FREEMARK = -998;        // nation: low 16 bits of the end-marker word
constexpr uint8_t SPELL_ENDLEVEL = 255;          // spell: research level
constexpr int8_t MERC_ENDTIER = 99;              // mercenary template: tier

// Name lengths (bytes including the terminator).
constexpr int UNITNAMELEN = 32;
constexpr int NAMELEN = 36;             // weapons, armors, items, sites, nations, spells, forts
constexpr int ITEMSPELLLEN = 72;
constexpr int SHORTNAMELEN = 8;
constexpr int FILEWORDLEN = 32;
constexpr int MERCNAMELEN = 100;
constexpr int EPITHETLEN = 48;
constexpr int PERSONALNAMELEN = 24;
constexpr int DESCRKEYLEN = 40;

// ------------------------------------------------------- unit type (monster)
// Flag word 1: the name is the mod keyword that sets the bit.
constexpr uint32_t MF_HEAL = 0x1;
constexpr uint32_t MF_MOUNTED = 0x2;
constexpr uint32_t MF_ANIMAL = 0x4;
constexpr uint32_t MF_AMPHIBIAN = 0x8;
constexpr uint32_t MF_WASTESURVIVAL = 0x10;
constexpr uint32_t MF_UNDEAD = 0x20;
constexpr uint32_t MF_COLDRES = 0x40;          // cold resistance exactly 100
constexpr uint32_t MF_UNUSED80 = 0x80;
constexpr uint32_t MF_NEEDNOTEAT = 0x100;
constexpr uint32_t MF_FIRERES = 0x200;         // fire resistance exactly 100
constexpr uint32_t MF_POISONRES = 0x400;       // poison resistance exactly 100
constexpr uint32_t MF_AQUATIC = 0x800;
constexpr uint32_t MF_FLYING = 0x1000;
constexpr uint32_t MF_TRAMPLE = 0x2000;
constexpr uint32_t MF_IMMOBILE = 0x4000;
constexpr uint32_t MF_IMMORTAL = 0x8000;
constexpr uint32_t MF_UNUSED10000 = 0x10000;
constexpr uint32_t MF_FORESTSURVIVAL = 0x20000;
constexpr uint32_t MF_SHOCKRES = 0x40000;      // shock resistance exactly 100
constexpr uint32_t MF_SWAMPSURVIVAL = 0x80000;
constexpr uint32_t MF_DEMON = 0x100000;
constexpr uint32_t MF_HOLY = 0x200000;
constexpr uint32_t MF_MOUNTAINSURVIVAL = 0x400000;
constexpr uint32_t MF_ILLUSION = 0x800000;
constexpr uint32_t MF_NOHEAL = 0x1000000;
constexpr uint32_t MF_ETHEREAL = 0x2000000;
constexpr uint32_t MF_POORAMPHIBIAN = 0x4000000;
constexpr uint32_t MF_STEALTHY = 0x8000000;
constexpr uint32_t MF_NOITEM = 0x10000000;
constexpr uint32_t MF_COLDBLOOD = 0x20000000;
constexpr uint32_t MF_INANIMATE = 0x40000000;
constexpr uint32_t MF_FEMALE = 0x80000000;

// Flag word 2: leadership classes and creature classes.
constexpr uint32_t MF2_MAGICBEING = 0x1;
constexpr uint32_t MF2_UNDEADCLASS = 0x4;      // undead and demons: count against undead leadership
constexpr uint32_t MF2_POORMAGICLEADER = 0x8;
constexpr uint32_t MF2_OKMAGICLEADER = 0x10;
constexpr uint32_t MF2_GOODMAGICLEADER = 0x20;
constexpr uint32_t MF2_EXPERTMAGICLEADER = 0x40;
constexpr uint32_t MF2_SUPERIORMAGICLEADER = 0x80;
constexpr uint32_t MF2_POORUNDEADLEADER = 0x100;
constexpr uint32_t MF2_OKUNDEADLEADER = 0x200;
constexpr uint32_t MF2_GOODUNDEADLEADER = 0x400;
constexpr uint32_t MF2_EXPERTUNDEADLEADER = 0x800;
constexpr uint32_t MF2_SUPERIORUNDEADLEADER = 0x1000;
constexpr uint32_t MF2_NOLEADER = 0x1000000;
constexpr uint32_t MF2_POORLEADER = 0x2000000;
constexpr uint32_t MF2_GOODLEADER = 0x4000000;
constexpr uint32_t MF2_EXPERTLEADER = 0x8000000;
constexpr uint32_t MF2_SUPERIORLEADER = 0x10000000;
// No ordinary-leadership bit set means "okleader".

// Resistances other than exactly 100 are stored as the abilities AB_FIRERES,
// AB_SHOCKRES, AB_POISONRES and AB_COLDRES; "stealthy" also stores its value
// as AB_STEALTH.

constexpr int UNITABILITIES = 16;
constexpr int UNITWEAPONS = 10;
constexpr int UNITARMORS = 3;

struct Monster {
  char name[UNITNAMELEN];     // row 0 "no one"
  int16_t nametype;           // personal-name list of a commander of this type, 0 none
  int16_t reserved;           // always 0
  uint16_t sprite;            // 65535 marks the end row
  int16_t ap;                 // action points in battle
  int16_t mapmove;            // provinces per turn
  int16_t size;
  int16_t hp;
  int16_t prot;
  int16_t str;
  int16_t enc;
  int16_t prec;
  int16_t att;
  int16_t def;
  int16_t mr;
  int16_t mor;
  int16_t abilityid[UNITABILITIES];      // ends at the first 0
  int32_t abilityval[UNITABILITIES];
  int16_t weapon[UNITWEAPONS];           // 0 = empty slot
  int16_t armor[UNITARMORS];             // 0 = empty slot
  int16_t gcost;
  int16_t rcost;
  uint32_t flags;                        // MF_*
  uint32_t flags2;                       // MF2_*
};

// ------------------------------------------------------------------- weapon
// Damage types.
constexpr int16_t DT_NORMAL = 2;
constexpr int16_t DT_STUN = 3;
constexpr int16_t DT_POISON = 7;
constexpr int16_t DT_HOLY = 24;
constexpr int16_t DT_LARGE = 32;
constexpr int16_t DT_SMALL = 33;
constexpr int16_t DT_PARALYZE = 66;
constexpr int16_t DT_MAGIC = 73;
constexpr int16_t DT_RAISE = 74;
constexpr int16_t DT_CONSTRUCTONLY = 96;
constexpr int16_t DT_DEMONONLY = 106;
constexpr int16_t DT_DEMON = 107;
constexpr int16_t DT_CAP = 109;

// Weapon flag bits.
constexpr uint32_t WF_STRENGTH = 0x1;          // wielder's strength adds to damage; cleared by "nostr"
constexpr uint32_t WF_TWOHANDED = 0x2;
constexpr uint32_t WF_FLAIL = 0x4;
constexpr uint32_t WF_FIRE = 0x20;
constexpr uint32_t WF_ARMORPIERCING = 0x40;
constexpr uint32_t WF_ARMORNEGATING = 0x80;
constexpr uint32_t WF_COLD = 0x200;
constexpr uint32_t WF_SHOCK = 0x800;
constexpr uint32_t WF_MRNEGATES = 0x1000;
constexpr uint32_t WF_POISON = 0x2000;
constexpr uint32_t WF_MIND = 0x20000;
constexpr uint32_t WF_MUNDANE = 0x200000;      // cleared by "magic"
constexpr uint32_t WF_MRNEGATESEASILY = 0x1000000;
constexpr uint32_t WF_BONUS = 0x8000000;
constexpr uint32_t WF_CHARGE = 0x80000000;

constexpr int WEAPONABILITIES = 3;

struct Weapon {
  char name[NAMELEN];         // row 0 "Nothing", row 1 "Spear"
  int32_t dmg;                // -999 marks the end row
  int16_t att;
  int16_t def;
  int16_t dmgtype;            // DT_*
  int16_t len;                // 0..7; missile weapons 0
  int16_t range;              // 0 = melee
  int16_t nratt;
  int16_t ammo;
  int16_t reserved;
  uint32_t flags;             // WF_*
  int16_t secondaryeffect;    // weapon row; negative = `secondaryeffectalways`
  int16_t flyspr[2];          // missile sprite (-1 none) and frame count
  int16_t explspr[2];         // explosion sprite (-1 none) and a value `explspr` sets to 5
  int16_t aoe;
  int16_t sound;
  int16_t rcost;
  int16_t display;            // picture number for the weapon display
  int16_t reserved2[11];
  int32_t abilityid[WEAPONABILITIES];   // special abilities of the weapon; ends at the first 0
  int32_t abilityval[WEAPONABILITIES];
};

// -------------------------------------------------------------------- armor
constexpr int16_t LOC_HEAD = 1;
constexpr int16_t LOC_BODY = 2;
constexpr int16_t LOC_ARMS = 3;
constexpr int16_t LOC_LEGS = 4;
constexpr int16_t LOC_SHIELD = 5;
constexpr int16_t LOC_ALLBUTSHIELD = 6;
constexpr int ARMORPAIRS = 6;

struct ArmorProt {
  int16_t loc;                // LOC_*; 0 ends the list
  int16_t prot;
};

struct Armor {
  char name[NAMELEN];         // row 0 "Nothing"
  ArmorProt prot[ARMORPAIRS]; // protection pairs
  int16_t reserved;
  int16_t def;                // -999 marks the end row
  int16_t enc;
  int16_t type;               // IT_SHIELD, IT_ARMOR, IT_HELMET, IT_MISC
  int16_t rcost;
  int16_t display[13];        // graphics and sound numbers
};

// --------------------------------------------------------------- magic item
// Item type codes.
constexpr int8_t IT_NONE = 0;
constexpr int8_t IT_ONEHAND = 1;
constexpr int8_t IT_TWOHAND = 2;
constexpr int8_t IT_MISSILE = 3;
constexpr int8_t IT_SHIELD = 4;
constexpr int8_t IT_ARMOR = 5;
constexpr int8_t IT_HELMET = 6;
constexpr int8_t IT_BOOTS = 7;
constexpr int8_t IT_MISC = 8;
// Item slot kinds.
constexpr int SLOT_NONE = 0;
constexpr int SLOT_HAND = 1;
constexpr int SLOT_HEAD = 2;
constexpr int SLOT_BODY = 3;
constexpr int SLOT_FEET = 4;
constexpr int SLOT_MISC = 5;
constexpr int ITEMABILITIES = 10;

struct Item {
  char name[NAMELEN];         // row 0 "No Item", row 1 "Champion's Trident"
  int8_t constlevel;          // research level to forge; row 0 98, 99 = end row
  int8_t mainpath;            // -1 none
  int8_t secondpath;          // -1 none
  uint8_t mainlevel;
  uint8_t secondlevel;
  int8_t type;                // IT_*
  int16_t picture;
  int16_t weapon;             // weapon row of a hand item
  int16_t armor;              // armor row of a shield, armor, helmet or boots item
  char spell[ITEMSPELLLEN];   // name of the spell it casts, empty = none
  int16_t abilityid[ITEMABILITIES];
  int32_t abilityval[ITEMABILITIES];
  uint32_t flags[3];
  int8_t cursed;              // negative = cursed
};

// --------------------------------------------------------------- magic site
// Placement flags.
constexpr uint32_t SP_PLAIN = 0x1;
constexpr uint32_t SP_FOREST = 0x2;
constexpr uint32_t SP_MOUNTAIN = 0x4;
constexpr uint32_t SP_WASTE = 0x8;
constexpr uint32_t SP_SEA = 0x20;
constexpr uint32_t SP_COAST = 0x40;
constexpr uint32_t SP_SWAMP = 0x80;
constexpr uint32_t SP_DEEPSEA = 0x100;
constexpr uint32_t SP_CAVE = 0x200;
constexpr uint32_t SP_UNIQUE = 0x4000;
constexpr int SITEEFFECTS = 5;
// Effect kinds the rules read.
constexpr int16_t SE_GEMFIRST = 1;       // 1..8: gems of path kind-1
constexpr int16_t SE_RECUNIT = 11;
constexpr int16_t SE_RECCOM = 12;
constexpr int16_t SE_GOLD = 13;
constexpr int16_t SE_RES = 14;
constexpr int16_t SE_SUMMON = 18;
constexpr int16_t SE_UNREST = 19;
constexpr int16_t SE_SUPPLY = 20;
constexpr int16_t SE_DISEASE = 21;
constexpr int16_t SE_TRAINING = 22;
constexpr int16_t SE_RECUNITCAP = 29;
constexpr int16_t SE_RECCOMCAP = 30;
constexpr int16_t SE_SCALESECOND = 31;
constexpr int16_t SE_SCALEFIRST = 32;
constexpr int16_t SE_INANIMATEHP = 43;
constexpr int16_t SE_VOID = 57;
constexpr int16_t SE_INCOME = 59;
constexpr int16_t SE_SCHOOLFIRST = 60;   // 60..66: research-school bonus
constexpr int16_t SE_FORGEBONUS = 63;
constexpr int16_t SE_SCRY = 72;
constexpr int16_t SE_TREASURE = 192;

struct Site {
  char name[NAMELEN];         // row 0 "None", row 1 "The Smouldercone"
  int16_t path;               // 99 marks the end row
  int16_t level;
  int16_t rarity;
  int16_t effectkind[SITEEFFECTS];
  int32_t effectval[SITEEFFECTS];
  uint32_t placement;         // SP_*
};

// ------------------------------------------------------------------- nation
constexpr int NATIONATTRS = 60;
constexpr int NATIONFURTHER = 6;

// Recruit list coding (nation rows and population types).
constexpr int32_t RECRUIT_END = -1;
constexpr int32_t RECRUIT_COMMANDERS = -2;

constexpr int NATION_SPECIAL1 = 23;      // "Special Monsters"
constexpr int NATION_SPECIAL2 = 24;      // "Special Monsters", owns mercenaries
constexpr int NATION_INDEPENDENTS = 25;  // "Independents"

struct Nation {
  char name[NAMELEN];          // row 0 "Raraduvizaro"
  char epithet[NAMELEN];       // row 0 "Golden Era"
  char shortname[SHORTNAMELEN];// row 0 "Arc"
  char fileword[FILEWORDLEN];  // names the nation's .trn/.2h/.chk files
  int32_t endmarker;           // 0 or 1 in a filled row; low 16 bits -998 in a free row
  float colour[3];             // flag colour, 0..1
  int32_t era;                 // 1 early, 2 middle, 3 late; 0 for rows 23..25
  uint32_t attrkey[NATIONATTRS];   // ended by key 0
  int32_t attrval[NATIONATTRS];
  uint32_t furtherkey[NATIONFURTHER];
  uint32_t furtherval[NATIONFURTHER];
  int32_t recruit[RECRUITLEN];     // RECRUIT_* coding
  int16_t godform[MAXGODFORMS];    // pretender forms (unit types), ended by 0
};

// -------------------------------------------------------------------- spell
// Research schools.
constexpr int8_t SCH_CONJURATION = 0;
constexpr int8_t SCH_ALTERATION = 1;
constexpr int8_t SCH_EVOCATION = 2;
constexpr int8_t SCH_CONSTRUCTION = 3;
constexpr int8_t SCH_ENCHANTMENT = 4;
constexpr int8_t SCH_THAUMATURGY = 5;
constexpr int8_t SCH_BLOOD = 6;
constexpr int8_t SCH_DIVINE = 7;
// Spell flag bits.
constexpr uint32_t SF_ARMORPIERCING = 0x40;
constexpr uint32_t SF_ARMORNEGATING = 0x80;
constexpr uint32_t SF_MRNEGATES = 0x1000;
constexpr uint32_t SF_UNDERWATER = 0x800000;
constexpr uint32_t SF_MRNEGATESEASILY = 0x1000000;
constexpr uint32_t SF_ONLYUNDERWATER = 0x2000000;
constexpr int SPELLATTRS = 13;
constexpr int32_t SPA_NATION = 278;      // nation restriction, value nation + 100
constexpr int16_t SPELL_RITUAL = 10000;  // effects at or above are rituals

struct Spell {
  char name[NAMELEN];
  int8_t school;               // SCH_*
  uint8_t researchlevel;       // 255 marks the end row
  int8_t path[2];              // -1 none
  uint8_t pathlevel[2];
  int16_t fatigue;             // every full 100 is one gem of path[0]
  int16_t area;
  int16_t effect;              // >= 10000 ritual; 1000..9999 rounds*1000 + effect
  int16_t range;               // -1 never offered
  int16_t precision;
  int32_t damage;              // 999 = death
  int16_t nbreff;
  uint32_t flags;              // SF_*
  int32_t attrkey[SPELLATTRS]; // key 0 ends
  int32_t attrval[SPELLATTRS];
};

// --------------------------------------------------------------------- fort
// The eight values of a fort row.
constexpr int FORT_DEFVALUE = 0;         // kept equal to FORT_DEF
constexpr int FORT_ADMIN = 1;
constexpr int FORT_DEF = 2;
constexpr int FORT_SUPPLY = 3;           // supply while besieged
constexpr int FORT_AVAIL = 4;            // below 999 = available
constexpr int FORT_COSTFACTOR = 5;
constexpr int FORT_BUILDTIME = 6;
constexpr int FORT_STORAGE = 7;          // supply storage shown in the fort box
constexpr uint16_t FORTF_NOTUW = 0x1;
constexpr uint16_t FORTF_UWONLY = 0x2;
constexpr uint16_t FORTF_ATTR58 = 0x4;

struct Fort {
  char name[NAMELEN];          // row 0 "None"
  char battlemap[NAMELEN];
  int16_t val[8];              // FORT_* positions
  uint16_t flags;              // FORTF_*
  int16_t sprite;
};

// ------------------------------------------------- type magic, random magic
// (unit type, path, level); paths 0..8, above 127 random picks; ended by type < 0.
struct TypeMagic {
  int16_t type;
  int16_t path;
  int16_t level;
};
// (unit type, code, chance): code 50 any arcane, 51 elemental, 52 sorcery,
// 128 or more a path mask (0x80 Fire .. 0x8000 Priest); ended by type -1.
struct RandMagic {
  int16_t type;
  uint16_t code;               // unsigned: the Priest bit of a mask is 0x8000
  int16_t chance;
};

// ----------------------------------------------------- mercenary templates
constexpr uint8_t MERC_EARLY = 0x1;
constexpr uint8_t MERC_MIDDLE = 0x2;
constexpr uint8_t MERC_LATE = 0x4;
constexpr int MERCITEMS = 4;

struct MercTemplate {
  uint8_t eras;                // MERC_*
  int8_t tier;                 // 0, 1, 2; 99 ends the list
  char bandname[MERCNAMELEN];
  char leadername[NAMELEN];    // empty = keep the generated name
  int32_t comtype;
  int32_t unittype;            // 0 = none
  int32_t count;
  int32_t reserve;
  int32_t price;
  int32_t xp;
  int32_t favnation;           // -1 none
  int32_t favpercent;
  int32_t equiplevel;
  char items[MERCITEMS][NAMELEN];
};

// ------------------------------------------------------------------ epithet
constexpr int EPITHETREQS = 5;

struct Epithet {
  char text[EPITHETLEN];       // "end" ends the table; '#' title word marks, '!' He/She
  int16_t reqkind[EPITHETREQS];
  int16_t reqval[EPITHETREQS];
  int16_t reserved[2];
};

// --------------------------------------------------------------- name lists
// Province name lists, each ended by the entry "end".
constexpr int PN_PLAIN = 0;
constexpr int PN_FARM = 1;
constexpr int PN_SWAMP = 2;
constexpr int PN_FOREST = 3;
constexpr int PN_MOUNTAIN = 4;
constexpr int PN_CAVE = 5;
constexpr int PN_SEA = 6;
constexpr int PN_DEEPSEA = 7;
constexpr std::array<int, NBRPROVNAMELISTS> PROVNAMECOUNTS = {221, 59, 24, 82, 48, 33, 45, 39};

struct ProvNameList {
  int32_t count;               // entries before "end"
  char names[MAXPROVNAMES][NAMELEN];
};

struct PersonalNameList {
  int32_t count;               // 0 = no such list
  char names[MAXPERSONALNAMES][PERSONALNAMELEN];
};

// ----------------------------------------------------------- description texts
// Entry 0 is "no description available"; texts live in one pool.
struct Descr {
  char key[DESCRKEYLEN];
  int32_t text;                // offset into `descrtext`
};

// ------------------------------------------------------------- random event
// The random-event table (data/events.txt): rows 0..MAXRANDEVENTS-1, each a text
// with its rarity, up to five requirements that must all hold for the
// province it falls on, and up to six effects, each with a parameter. The
// turn host gives the codes their meaning; the file names them by the words
// of eventreqnames and eventeffectnames.
constexpr int MAXRANDEVENTS = 274;
constexpr int EVENTREQS = 5;
constexpr int EVENTEFFECTS = 6;
constexpr int EVENTTEXTLEN = 500;
enum EventRequirement : int16_t {
  EVR_NONE = 0, EVR_GOOD, EVR_BAD, EVR_SEASON, EVR_FOREST, EVR_MOUNTAIN, EVR_SWAMP, EVR_WASTE, EVR_FARM, EVR_SEA,
  EVR_LAND, EVR_COAST, EVR_CAVE, EVR_PLAIN, EVR_DEEPSEA, EVR_TURMOIL, EVR_ORDER, EVR_SLOTH, EVR_PRODUCTIVITY,
  EVR_COLD, EVR_HEAT, EVR_DEATH, EVR_GROWTH, EVR_MISFORTUNE, EVR_LUCK, EVR_DRAIN, EVR_MAGIC, EVR_FORT, EVR_NOFORT,
  EVR_TEMPLE, EVR_NOTEMPLE, EVR_LAB, EVR_NOLAB, EVR_MINPOP, EVR_MAXPOP, EVR_UNREST, EVR_CALM, EVR_VEYRANCE,
  EVR_FOREIGNVEYRANCE, EVR_GOLD, EVR_TURN, EVR_MAGE, EVR_PRIEST, EVR_COMMANDER, EVR_ARMY, EVR_NOARMY, EVR_SITE,
  EVR_CAPITAL, EVR_NOTCAPITAL, EVR_CORPSES, EVR_PROVINCES, EVR_ERA, EVR_POOR,
  EVR_COUNT
};
enum EventEffect : int16_t {
  EVE_NONE = 0, EVE_GOLD, EVE_GOLDPOP, EVE_POP, EVE_UNREST, EVE_FIREGEMS, EVE_AIRGEMS, EVE_WATERGEMS, EVE_EARTHGEMS,
  EVE_PEARLS, EVE_DEATHGEMS, EVE_NATUREGEMS, EVE_SLAVES, EVE_TURMOIL, EVE_SLOTH, EVE_COLD, EVE_DEATH,
  EVE_MISFORTUNE, EVE_DRAIN, EVE_DEFENCE, EVE_RESOURCES, EVE_INCOME, EVE_NUMBER, EVE_MONSTERS, EVE_UNITS,
  EVE_COMMANDER, EVE_ITEM, EVE_KILL, EVE_DISEASE, EVE_HEAL, EVE_EXPERIENCE, EVE_TEMPLE, EVE_NOTEMPLE, EVE_LAB,
  EVE_NOLAB, EVE_FINDSITE, EVE_NEWSITE, EVE_VEYRANCE, EVE_CORPSES, EVE_RESEARCH, EVE_GATES,
  EVE_COUNT
};
extern const char* const eventreqnames[EVR_COUNT];
extern const char* const eventeffectnames[EVE_COUNT];

struct Event {
  char text[EVENTTEXTLEN];     // "[land]", "[nation]", "[god]" and "[amount]" are filled in
  int16_t rarity;              // 1 common .. 4 very rare; 0 an unused row
  int16_t req[EVENTREQS];      // EVR_*, 0 ends
  int32_t reqval[EVENTREQS];
  int16_t effect[EVENTEFFECTS];   // EVE_*, 0 ends
  int32_t effectval[EVENTEFFECTS];   // for EVE_MONSTERS, EVE_UNITS, EVE_COMMANDER a unit type
};

// ------------------------------------------------------------- the tables
extern std::array<Monster, MAXUNITTYPES> unittypes;
extern std::array<Weapon, MAXWEAPONS> weapons;
extern std::array<Armor, MAXARMORS> armors;
extern std::array<Item, MAXITEMS> items;
extern std::array<Site, MAXSITES> sites;
extern std::array<Nation, MAXNATIONS> nations;
extern std::array<Spell, MAXSPELLS> spells;
extern std::array<Fort, MAXFORTS> forts;
extern std::array<TypeMagic, MAXTYPEMAGIC> typemagic;
extern std::array<RandMagic, MAXRANDMAGIC> randmagic;
extern std::array<std::array<int32_t, RECRUITLEN>, MAXPOPTYPES> poprecruit;
extern std::array<MercTemplate, MAXMERCTEMPLATES> merctemplates;
extern std::array<Epithet, MAXEPITHETS> epithets;
extern std::array<ProvNameList, NBRPROVNAMELISTS> provnames;
extern std::array<PersonalNameList, MAXNAMETYPES> personalnames;
extern std::array<Descr, MAXDESCRS> descrs;
extern std::array<Event, MAXRANDEVENTS> randevents;
extern int32_t nbrdescrs;
extern std::array<char, DESCRTEXTPOOL> descrtext;

// Magic path, gem, scale, AI and school names.
extern const char* const pathnames[10];        // "Fire".."Priest", "Unholy priest"
extern const char* const gemnames[9];          // "fire gem".."holy gem"
extern const char* const gemtitles[9];         // "Fire Gems".."Holy Gems"
extern const char* const scalenames[6][2];     // {"Turmoil","Order"}, ...
extern const char* const ailevelnames[6];
extern const char* const aipersonalitynames[4];
extern const char* const itemtypenames[9];     // 0 "nuffin" .. 8 "Misc"
extern const char* const slotkindnames[6];
extern const char* const schoolnames[8];

// ---------------------------------------------------------------- loading
// Fills every table from the embedded data files and takes the snapshot that
// `restoregamedata` returns to. A fault in the built-in data is fatal, with
// the file and line in the message.
void loadgamedata();
// The same from caller-given file texts (for tests and tools): names[i] is
// the file name ("units.txt", ...) of texts[i]. Returns 0, or -1 with
// "file:line: problem" in err. The tables are left cleared on failure.
int loadgamedatafrom(const char* const* names, const char* const* texts, int count, char* err, size_t errlen);
// The embedded data files (generated at build time).
int embeddedfilecount();
const char* embeddedfilename(int i);
const char* embeddedfiletext(int i);
// The state after `loadgamedata`, which mods restore before they run.
// `restoregamedata` puts back every table, whoever changed it. A writer that
// marks each table row before changing it (`markgamedatachange`, as the mod
// reader does) may instead have `restorechangedgamedata` put back only the
// marked rows, at the cost of those rows rather than of every table: exact
// as long as nothing changed a table unmarked since the last restore.
void snapshotgamedata();
void restoregamedata();
void markgamedatachange(const void* at, size_t size);   // bytes within one table
void restorechangedgamedata();
// The name of the first table that differs from the state restored to ("unittypes", ...), or null.
const char* gamedatachangedtable();
void cleargamedata();

// The keywords of the tables' flag bits, shared by the data files and the
// mods: word 1 or 2 sets the bit in the first or second flag word, -1 clears
// it in the first ("nostr", "magic").
struct FlagName {
  const char* name;
  uint32_t bit;
  int word;
};
std::span<const FlagName> unittypeflagnames();
std::span<const FlagName> weaponflagnames();
std::span<const FlagName> spellflagnames();
std::span<const FlagName> siteplacenames();

// ---------------------------------------------------------------- look-ups
// Names compare without regard to case. Every scan stops at the end row or
// the capacity and never offers a free or unused row.
int findunittype(const char* name);    // -1 when none
int findarmor(const char* name);       // -1 when none
int findweapon(const char* name);      // first row with WF_STRENGTH, then any; -1 when none
int finditem(const char* name);        // 0 when none; row 0 is never a match
int findsite(const char* name);        // -1 when none
int findspell(const char* name);       // -1 when none
int findfort(const char* name);        // -1 when none
int32_t getnatattr(int nation, uint32_t key);   // 0 when absent or nation outside 0..94
int32_t getnatcoldpref(int nation);
int finddescr(const char* key);        // 0 ("no description available") when none
const char* descrtextof(int index);    // text of a description entry; entry 0 for a bad index

// Row counts: the row number of each table's end row.
int nbrofunittypes();
int nbrofweapons();
int nbrofarmors();
int nbrofitems();
int nbrofsites();
int nbrofspells();
int nbrofnations();                    // first free nation row
int nbrofepithets();
int nbrofmerctemplates();
// 1 for a row that is authored (not a filler, not past the end row).
int isusedunittype(int m);
