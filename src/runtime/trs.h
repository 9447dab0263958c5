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
