// Sprite archives (".trs") and their cache.
//
// File layout, little-endian, every offset from the start of the file:
//   0  "TCS" and a version byte (TRSVERSION)
//   4  u32 sprite count, 1..MAXTRSSPRITES
//   8  u32 offset of each sprite record, count of them
//   sprite record: u16 width (1..MAXTRSSIDE), u16 height (1..MAXTRSSIDE),
//     u16 frames (1..MAXTRSFRAMES), u16 0, then frames x height x width
//     pixels of 4 bytes (R, G, B, A), frame after frame, each frame's rows
//     top row first.
// The reader checks the whole archive when it is loaded, so a sprite taken
// from a cached archive is always inside it.
#pragma once
#include <span>
#include <vector>

#include "runtime/short.h"

constexpr int32_t TRSFILES = 35;
constexpr int32_t TRSVERSION = 1;
constexpr int32_t TRSHEADER = 8;        // magic, version, count
constexpr int32_t TRSRECORDHEAD = 8;    // width, height, frames, 0
constexpr int32_t MAXTRSSPRITES = 4096;
constexpr int32_t MAXTRSSIDE = 1024;
constexpr int32_t MAXTRSFRAMES = 64;
constexpr int64_t MAXTRSBYTES = 64 << 20;
constexpr int32_t TRSCACHESLOTS = 10;
constexpr int32_t TRSCACHEBUDGET = 1000000;

// Archive numbers with a fixed meaning.
constexpr int32_t TRS_MAPSTUFF = 1;   // decorations of random maps
constexpr int32_t TRS_ITEMS = 2;      // magic items, by the item's picture number
constexpr int32_t TRS_TEMPLES = 5;    // temples, by the nation's temple picture (attribute 138)
constexpr int32_t TRS_FLAGS = 8;
constexpr int32_t TRS_ICONS = 10;     // ability and affliction icons, by kind
constexpr int32_t TRS_ARMY = 11;
constexpr int32_t TRS_MISC = 27;
constexpr int32_t TRS_MISC2 = 28;

// Pictures of misc.trs (TRS_MISC) that the screens draw by number; the map
// art program draws them at these numbers.
enum MiscSprite : int32_t {
  SPRITE_SEASON = 5,             // + season 0..3: a sprout, a sun, a leaf, a snowflake
  SPRITE_TEMPLE = 14,            // a temple, for a temple whose picture the archive lacks
  SPRITE_PAGEBACK = 76,          // a triangle pointing up: the previous page of cards
  SPRITE_PAGEON = 77,            // a triangle pointing down: the next page of cards
  SPRITE_ARROWTOPEARL = 79,      // an arrow in the pearl's colour (alchemy to astral pearls)
  SPRITE_ARROWTOGOLD = 80,       // an arrow in gold's colour (alchemy to gold)
  SPRITE_RESEARCH = 82,          // the research mark of a commander's magic
  SPRITE_GEM = 85,               // + gem kind 0..7 (fire .. blood), + 8 the holy gem: a gem in its colour
  SPRITE_FORGEFRAME = 96,        // the frame over the chosen forge category
  SPRITE_PATH = 98,              // + path 0..8 (fire .. blood, priest): an orb in the path's colour
  SPRITE_RANDOMMAGIC = 108,      // the mark of a random magic pick
  SPRITE_ENCHANTMENT = 110,      // an enchantment on the province: a ring of light
  SPRITE_HERO = 113,             // the hall of fame's hero mark
  SPRITE_SOLDIER = 114,          // a soldier, for units without an icon of their own
  SPRITE_EXPSTAR = 115,          // an experience star
  SPRITE_EFFECT = 116,           // a lasting effect
  SPRITE_GOLD = 132,             // a heap of gold
  SPRITE_SCALE = 136,            // + 2 x scale 0..5: a drop of the second-named side (Order .. Magic);
                                 // + 1: of the first-named (Turmoil .. Drain)
  SPRITE_SITE = 157,             // + 3 x path 0..8 + level 0..2: a standing stone with one to three rings
  SPRITE_SEA = 189,              // waves
  SPRITE_DEEPSEA = 190,          // dark waves
  SPRITE_ENEMYCANDLE = 192,      // a dark candle: the veyrance of another nation
  SPRITE_OWNCANDLE = 193,        // a bright candle: the player's own veyrance
};
// Pictures of misc2.trs (TRS_MISC2) that the screens draw by number.
enum Misc2Sprite : int32_t {
  SPRITE2_COLUMNBUTTON = 16,     // + button 0..5: end turn, options, map filters, statistics, messages, magic
  SPRITE2_ARMYSETUP = 23,        // a dim shield: army setup, no commander here
  SPRITE2_MERCENARIES = 24,      // a dim purse: no mercenaries on offer
  SPRITE2_RECRUIT = 25,          // a dim banner: no recruiting here
  SPRITE2_ARMYSETUPLIT = 37,     // a bright shield: army setup
  SPRITE2_RECRUITLIT = 38,       // a bright banner: recruiting
  SPRITE2_MERCENARIESLIT = 39,   // a bright purse: mercenaries on offer
  SPRITE2_LAB = 94,              // the laboratory
};

// One sprite of an archive: pixels points at frame 0.
struct TrsSprite {
  int32_t width = 0, height = 0, frames = 0;
  const uint8_t* pixels = nullptr;
};

// A sprite being built for an archive (frames x height x width x 4 bytes).
struct TrsImage {
  int32_t width = 0, height = 0, frames = 1;
  std::vector<uint8_t> pixels;
};

// File name of an archive in the data folder ("army.trs" for 11); null for a
// number outside 0..TRSFILES-1.
const char* trsfilename(int32_t file);

// 1 when the bytes form a sound archive.
int trscheck(const uint8_t* data, int64_t size);
// For a checked archive: the sprite count and one sprite (empty for a
// number outside the archive).
int32_t trscount(const uint8_t* data);
TrsSprite trssprite(const uint8_t* data, int32_t nr);

// Archive bytes of the images, and the file written whole (1 on success).
std::vector<uint8_t> encodetrs(std::span<const TrsImage> images);
int savetrsfile(const char* path, std::span<const TrsImage> images);

// Brings an archive of the data folder into the cache (10 slots replaced in
// turn, a budget of 1,000,000 bytes); 1 when it is cached afterwards.
int loadtrsfile(int32_t file);
// The cached archive, or null.
const uint8_t* trsfiledata(int32_t file);
// Forgets every cached archive.
void flushtrscache();
// Where the archives are looked for; the data folder until set.
void settrsfolder(const char* folder);

// Flags of drawtrssprite.
constexpr int32_t TRSDRAW_BLEND = 1;       // mix by the sprite's alpha
constexpr int32_t TRSDRAW_KEEPALPHA = 4;   // the target keeps its own alpha

// Draws a frame of the sprite scaled to w x h into an RGBA block of
// width x height pixels with its first row at row y, first column at x;
// whatever falls outside the block is cut off. mode is the texture mode of
// window drawing and does not change the pixels.
void drawtrssprite(const TrsSprite& sprite, int32_t frame, uint8_t* pixels, int32_t width, int32_t height,
                   int32_t x, int32_t y, int32_t w, int32_t h, int32_t flag, int32_t mode);
