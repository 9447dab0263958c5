// World records: provinces (`land`, `provgeo`), player slots (`kingdom`) and
// the per-player side tables. Fixed global tables addressed by number.
#pragma once
#include <array>
#include "runtime/short.h"

constexpr int32_t MAXLANDS = 1505;      // land numbers 0..1504; 1..1504 provinces
constexpr int32_t MAXKINGDOMS = 100;    // player numbers 0..99 in files
constexpr int32_t MAXPLAYERS = 95;      // 0..94 in play
constexpr int32_t INDEPENDENTS = 25;    // owner of every unconquered province
constexpr int32_t MERCLAND = 1504;      // where mercenary bands wait
constexpr int32_t VOIDLAND = -11;       // The Void

// Scales in code-set order; positive = first-named side.
enum Scale { SC_TURMOIL = 0, SC_SLOTH = 1, SC_COLD = 2, SC_DEATH = 3, SC_MISFORTUNE = 4, SC_DRAIN = 5 };
// Magic paths (and gem kinds in the same order).
enum Path { P_FIRE = 0, P_AIR, P_WATER, P_EARTH, P_ASTRAL, P_DEATH, P_NATURE, P_BLOOD, P_PRIEST };

// A province. Fields in the order the game files store them.
struct Land {
  char name[36];
  int16_t reserved;         // flag word of the host and the screens (LF_ bits, below)
  int16_t site[4];          // site numbers; the list ends at the first below 1
  int16_t veystr;           // strength of the veyrance that covers the land
  int16_t unrest;
  int16_t comqueued;        // 1 while a commander is queued for recruitment
  int16_t queuecount;       // entries of queue[] in use (0..100)
  int16_t extraincome;
  int16_t baseres;
  uint8_t owner;
  uint8_t fortholder;       // equals owner unless a fort is besieged or held against it
  uint8_t supplydiv;        // divides the supply of a fort held against the owner
  uint8_t lab;
  uint8_t temple;
  int8_t fort;              // fort table row; below 0 construction under way
  uint8_t provdef;          // bought province defence
  int8_t veyowner;          // player whose veyrance covers the land, -1 none
  int8_t scale[6];
  int8_t poptype;           // -1 not set
  uint8_t sitefound[4];     // nonzero = the site in that slot has been found
  int8_t searched[MAXPLAYERS][9];   // highest level searched, per player and path
  int16_t queuedcomtype;
  int16_t queue[100];       // unit types queued for recruitment
  int16_t counter;          // fort type under construction; cleared on conquest
  int16_t tax;              // percent
  int16_t turncounters[2];  // cleared before every save
  int16_t population;       // -1 not set
  int16_t fortdef;          // defence value of the fort: the gate strength a siege wears down
  uint16_t vpword;          // low 3 bits victory points; VPW_BATTLE; 0x10 set on conquest
  int16_t corpses[2];       // plain corpses, fallen soldiers; -1 not set
  uint8_t small[2];         // [1]: province defence at the start of the turn
  int32_t values[4];
  // Run-time only.
  int16_t turnaccum;
  int16_t infolevel;        // viewing player's information level
};

// Bits of a land's flag word (Land::reserved): a battle was fought here last
// month (the host's mark), the tax follows the unrest.
constexpr int16_t LF_BATTLE = 0x8, LF_AUTOTAX = 0x10;
// In a battle's replay, whose world holds the battle's land alone: the host
// said whether the losers of each side had a neighbouring land of their own
// to retreat to (the defender's, the attacker's).
constexpr int16_t LF_WAYSTOLD = 0x20, LF_DEFENDERWAY = 0x40, LF_ATTACKERWAY = 0x80;

// Bit of a land's vpword: a battle of the month before was fought there.
// The player's program sets it from the turn file's replays when it opens a
// turn, and the map shows it; the host keeps its own mark (LF_BATTLE).
constexpr uint16_t VPW_BATTLE = 0x8;

// Terrain mask bits of a province.
constexpr uint32_t TM_SMALL = 0x1;
constexpr uint32_t TM_LARGE = 0x2;
constexpr uint32_t TM_SEA = 0x4;
constexpr uint32_t TM_FRESHWATER = 0x8;
constexpr uint32_t TM_MOUNTAINS = 0x10;
constexpr uint32_t TM_SWAMP = 0x20;
constexpr uint32_t TM_WASTE = 0x40;
constexpr uint32_t TM_FOREST = 0x80;
constexpr uint32_t TM_FARM = 0x100;
constexpr uint32_t TM_NOSTART = 0x200;
constexpr uint32_t TM_MANYSITES = 0x400;
constexpr uint32_t TM_DEEPSEA = 0x800;
constexpr uint32_t TM_CAVE = 0x1000;
constexpr uint32_t TM_FIRESITE = 0x2000;   // one bit per path up to 0x200000 (Holy)
constexpr uint32_t TM_BORDERMOUNT = 0x400000;

constexpr int32_t MAXNEIGHBOURS = 20;

// Map geometry and battleground look of a province, beside its land record.
struct ProvGeo {
  int16_t x, y;             // the province's white pixel in the map image
  int16_t nbr[MAXNEIGHBOURS];   // neighbours; the first 0 ends the list
  int16_t groundcol[3];     // battleground colours; first component -1 = default
  int16_t rockcol[3];
  int16_t fogcol[3];
  uint32_t terrain;         // TM_ bits
  char skybox[100];         // empty = default
  char batmap[100];         // empty = default
};

// Named 16-bit fields of the kingdom record (index into Kingdom::w). Words
// marked "player" are the ones an order file may change (see playerword in
// the host); the host keeps the others from its own copy.
enum KingdomWord {
  KW_GOD = 0,
  KW_MERCBID = 1,       // player
  KW_PROPHET = 2, KW_HOMELAND = 3, KW_PLAYER = 4, KW_CONTROLLER = 5,
  KW_GEMS = 6,          // 6..14, gem kinds in path order; player
  KW_KEPTLOW = 15,      // 15..25: no meaning, kept and saved; player
  KW_KEPTLOWEND = 25,
  KW_MAYWIN = 26,       // 1 while the player may still win (from the start; the map command "cannotwin" clears it)
  KW_LABSTORE = 27,     // 27..76, item numbers; below 1 = empty place; player
  KW_MERCBIDS = 77,     // 77..81: gold bid per month on band 0..4, 0 none; player
  KW_MERCBIDLAND = 82,  // 82..86: the province of each bid; player
  KW_AILEVEL = 87, KW_AITARGET = 88,   // 88, 89
  KW_AIPERSONALITY = 90,
  KW_KEPTHIGH = 91,     // 91..96: no meaning to the host, kept and saved; player
  KW_MAPFILTER = 91,    // the player's program keeps the nation's map filter word here between turns
  KW_KEPTHIGHEND = 96,
  KW_MERCPAY = 97,      // 97..101: contract payments
  KW_MERCBAND = 102,    // 102..106: their band numbers
  KW_BATTLEMEMORY = 107,   // 107..186: ten slots of eight words, the digit keys' battle orders; player
  // Words the host keeps for itself; they share their places with the first
  // slot of the battle memory above.
  KW_CHEATVALUE = 107,  // 107, 108: the nation's wealth when its turn began (low, high)
  KW_CHEATITEMS = 109,  // 109, 110: the worth of its items and mages then
  KW_CHEATSTORED = 111, // 1 once the values above are stored
  KW_CALLGOD = 112,     // priestly work done towards recalling a dead god
  KW_SUMMERVP = 113,    // victory points gathered each summer
  KW_WINNER = 114,      // 1 for the player that has won the game
  KW_DESIGNVALUE = 187, KW_ENDSTATS = 188,
  KW_COUNT = 189
};
constexpr int32_t LABSTORESIZE = 50;

// A player slot.
struct Kingdom {
  int32_t gold;
  int16_t w[KW_COUNT];      // W0..W188, see KingdomWord
  char godname[36];         // the pretender's name
  int8_t godpath[9];        // the god's levels, Fire..Blood then Priest
  int16_t runtime;          // not saved; cleared when loaded
};

// Controller values of W5.
constexpr uint16_t CTRL_NONE = 0, CTRL_HUMAN = 1, CTRL_AI = 2, CTRL_WAS1 = 0xFFFF, CTRL_WAS2 = 0xFFFE;

// The per-player veyrance record.
struct VeyRec {
  int8_t scale[6];
  char text[251];
  int32_t value[2];         // value[0]: the god's awakening state (0 awake)
};

extern std::array<Land, MAXLANDS> land;
extern std::array<ProvGeo, MAXLANDS> provgeo;
extern int32_t nbrlands;                        // provinces 1..nbrlands exist
extern std::array<Kingdom, MAXKINGDOMS> kingdom;
extern char password[MAXKINGDOMS][50];
extern char masterpassword[50];
extern uint8_t diplomacy[MAXPLAYERS][MAXPLAYERS];   // [a][b] > 0: a is at war with b
extern std::array<VeyRec, MAXPLAYERS> veyrec;

// A land in its reset state: both owner bytes 25, no veyrance owner, population
// and corpses unset, tax 100, everything else 0.
Land resetland();
// Clears the land, province, kingdom and side tables.
void clearlandtables();

// ---------------------------------------------------------------- game state kept in the game files
constexpr int32_t MAXGAMEMODS = 200;
constexpr int32_t MAXEXTRAS = 100;       // entries of the game information's extra list
constexpr uint32_t GF_NONATIONINFO = 0x1;   // information on other nations disabled
constexpr uint32_t GF_NOSCOREGRAPHS = 0x2;
constexpr uint32_t GF_NONAMEFILTER = 0x4;
constexpr uint32_t GF_CAPITALVP = 0x8;          // one extra victory point per capital
constexpr uint32_t GF_NOCHEATDETECTION = 0x20;
constexpr uint32_t GF_RENAMING = 0x40;          // players may rename their commanders
constexpr uint32_t GF_SUMMERVP = 0x80;          // victory points are gathered each summer

// A mod the game was created with.
struct GameMod {
  int16_t version[2];
  char name[100];
  int32_t value[2];
};

// The game's settings, saved with every game as its game information.
struct GameInfo {
  uint8_t gametype, setting1, setting2, indepstr, magicsites, eventrarity, hofsize, researchdiff, wraparound,
      autohost, startprov;               // autohost 1: the play menu hosts once every human nation has played
  int16_t extracount;                    // highest index of the extra list; -1 empty
  int16_t victory, victoryvalue;
  int16_t moneymult, resourcemult, supplymult;   // percent
  int16_t extra16[2 * MAXEXTRAS];
  int16_t era;
  uint32_t gameflags;                    // GF_ bits
  int32_t extra32[4 * MAXEXTRAS];
  char extratext[MAXEXTRAS][500];
  int32_t further;
  int16_t modcount;                      // number of mods minus one; -1 none
  GameMod mods[MAXGAMEMODS];
  char mappic[500];                      // the map picture name
  float maptextcol[4];                   // red, green, blue, alpha
  int32_t gamenbr;                       // identifies the game; in file headers, not in this record
};
extern GameInfo gameinfo;
extern float mapzoom;                    // the map view's zoom

// A mercenary band for hire; value[0] below 0 marks a free slot.
constexpr int32_t MAXMERCBANDS = 5;
struct MercBand {
  char name[100];
  int16_t value[7];   // by MercField
};
// Fields of a band record (MercBand::value).
enum MercField { MB_LEADER = 0, MB_EMPLOYER, MB_PRICE, MB_FAVNATION, MB_FAVPERCENT, MB_MONTHS, MB_RESERVE };
// The player that owns a band's leader and troops while no nation hires them.
constexpr int32_t MERCOWNER = 24;
extern std::array<MercBand, MAXMERCBANDS> mercband;
extern uint8_t merctemplateused[100];    // templates already drawn
extern uint8_t iteminplay[500];          // per magic item: already forged or found

// Resets the game information, the zoom, the bands and the items in play.
void cleargamestate();
// Resets every world table before a game is created or loaded.
void clearworld();
