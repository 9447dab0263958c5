// The random map generator: a map picture and its provinces (capital,
// terrain mask, neighbours) made from a few shares, saved as an SGI ".rgb"
// picture and a ".map" text. One generator runs at a time; its work state is
// module-level so the ".map" writer can read what the last run left.
#pragma once
#include <vector>

#include "runtime/short.h"

constexpr int32_t RM_MAXPAIRS = 500;      // border-mountain pairs
constexpr int32_t RM_MAXSTUFF = 50000;    // decoration items
constexpr int32_t RM_MAXPATH = 15;        // provinces of one river
constexpr int32_t RM_BIGMAP = 25000000;   // pixels from which division runs at half size
constexpr int32_t RM_MAPVERSION = 327;

// One decoration to draw: a frame of sprite archive 1, size x size pixels
// standing on (x, y).
struct RmStuff {
  int32_t x, y;
  int16_t frame, size;
};

struct RandomMapWork {
  int32_t width = 0, height = 0;
  float mindist = 0;
  std::vector<float> heights;      // width x height, row-major
  std::vector<int16_t> owner;      // province of each pixel, 0 none
  std::vector<uint8_t> picture;    // RGBA
  float sealevel = 0, deeplevel = 0, seashare = 0, deepshare = 0, mountlevel = 0, mountshare = 0;
  int32_t snowworld = 0, translucentsea = 0, forestvariant = 0;
  int32_t mounttarget = 0;
  int32_t pairs[RM_MAXPAIRS][2] = {};
  int32_t paircount = -1;          // index of the last pair
  int32_t riverpath[RM_MAXPATH] = {};
  int32_t rivercount = -1;
  std::vector<RmStuff> stuff;
  uint8_t visited[1505] = {};
  int32_t antialias = 0, bigmap = 0;
  // Threads for the division; 0 lets the map's size decide. The map does not
  // depend on it.
  int32_t threads = 0;
  // Rows per band of the division's growth passes; 0 lets the map's height
  // decide. The map does not depend on it either.
  int32_t bandrows = 0;
};
extern RandomMapWork rm;
// 1 = mountains only on province borders, impassable. Starts off; the
// Random Map Creator sets it before each map it makes.
extern int32_t rmimpassable;

// Makes a map and saves its picture as "folder/name.rgb"; 1 on success, 0
// (with a message) when the picture cannot be saved.
int CreateRandomMap(const char* name, const char* folder, int32_t width, int32_t height, int32_t provinces,
                    int32_t showprogress, int32_t antialias, int32_t riveramount, float ruggedness, float seashare,
                    float mountshare);
// Writes the ".map" text of the last map made; 1 on success, 0 (with the
// message "Failed to create %s") when the file cannot be written.
int write_random_map_file(const char* path, const char* name, int32_t showprogress);
// The "--makemap NAME" run: checks every option, makes the map into the
// local maps folder and returns the exit status (0 done, 1 refused/failed).
int makemapmode();
// Writes the map text of the random map whose picture NAME.rgb stands in the
// set's folder, and puts picture and text in place together; 0 (the old
// pair as it was) when either could not be; set.problem() names the file
// and the cause of a failure in putting them in place.
class FileSet;
int putrandommap(FileSet& set, const char* name, int32_t showprogress);
// The run in its parts, for callers that time or test the stages: rmbegin
// settles the sizes (a negative size means 1600 x 1200), the stages run in
// their order, rmfinish marks the capitals and saves the picture.
struct RmParams {
  const char* name;
  const char* folder;
  int32_t width, height, provinces, showprogress, antialias, riveramount;
  float ruggedness, seashare, mountshare;
};
enum class RmStage { heights, levels, capitals, division, prettify, colours, neighbours, decorations, borders, rivers, stuff, count };
int rmbegin(RmParams& p);
void rmstage(RmStage stage, const RmParams& p);
int rmfinish(const RmParams& p);
// Seeds both random sources the generator draws from.
void seedrandommap(int32_t seed);

// Pixel and grid routines; everything outside the map is ignored.
void RMPutPixel(int32_t x, int32_t y, int32_t r, int32_t g, int32_t b, int32_t a);
void RMBlendPixel(int32_t x, int32_t y, int32_t r, int32_t g, int32_t b, int32_t strength);
float RMHeight(int32_t x, int32_t y);
int32_t RMOwner(int32_t x, int32_t y);
void RMSetOwner(int32_t x, int32_t y, int32_t lnr);
int IsMountainPixel(int32_t x, int32_t y);
int RMIsBorderPixel(int32_t x, int32_t y);

// Province counts.
int32_t LandSize(int32_t lnr);
std::vector<int32_t> LandSizes();   // every land's size in one pass (index = lnr)
int IsImpassablePair(int32_t a, int32_t b);
int32_t LandNbors(int32_t lnr);
int32_t SeaNbors(int32_t lnr);
int32_t ContSize(int32_t lnr);
void DoubleResolution();
void HalveResolution();
void RMLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Neighbour lists of the province records, as the map reader keeps them.
int rmisneighbour(int32_t a, int32_t b);
int rmiscoastal(int32_t lnr);
int rmissea(int32_t lnr);

// The steps in their order (each also usable alone by tests and benchmarks).
float RMWaterShare(float level);
int RMSquareIsSea(int32_t x, int32_t y, int32_t size);
void rmheightstep(float ruggedness);
void rmsealevel(float seashare, int32_t showprogress);
void rmmountlevel(float seashare, float mountshare, int32_t showprogress);
void rmplacecapitals(int32_t provinces, int32_t showprogress);
void SortLands();
void DivideWorld(int32_t showprogress, int32_t first);
int32_t GrowPass(int32_t a, int32_t b);
int32_t FillPass(int32_t a, int32_t b);
void rmcentrecapitals(int32_t showprogress);
void rmprettify(int32_t showprogress);
void rmcolours(int32_t showprogress);
void rmfindneighbours(int32_t showprogress);
void rmbordermountains();
void rmrocks(int32_t showprogress);
void rmdecorations(int32_t showprogress);
void rmborders(int32_t showprogress);
void rmrivers(int32_t riveramount, int32_t showprogress);
void rmdrawstuff(int32_t showprogress);
void PaintBlob(int32_t r, int32_t g, int32_t b, int32_t strength, float cx, float cy, float radius);
void ScatterStuff(int32_t lnr, int32_t cx, int32_t cy, int32_t spread, int32_t count, int32_t kind, int32_t size,
                  int32_t reach);
