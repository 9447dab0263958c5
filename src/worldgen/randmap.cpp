// The random map generator's work state, its pixel and province routines,
// and the order of the steps.
#include "worldgen/randmap.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/image.h"
#include "runtime/options.h"
#include "runtime/progress.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/world.h"
#include "worldgen/heights.h"

RandomMapWork rm;
int32_t rmimpassable = 0;

namespace {
const char* const TITLE = "Random Map Generation";

inline bool inside(int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < rm.width && y < rm.height; }
inline size_t at(int32_t x, int32_t y) { return size_t(y) * size_t(rm.width) + size_t(x); }

// Doubles a row-major array of the current size, nearest neighbour.
template <typename T>
void doublearray(std::vector<T>& a, int32_t w, int32_t h, int32_t channels) {
  if (a.empty()) return;
  std::vector<T> out(size_t(w) * size_t(h) * 4 * size_t(channels));
  size_t w2 = size_t(w) * 2;
  for (size_t y = 0; y < size_t(h) * 2; y++)
    for (size_t x = 0; x < w2; x++)
      for (size_t c = 0; c < size_t(channels); c++)
        out[(y * w2 + x) * size_t(channels) + c] = a[((y / 2) * size_t(w) + x / 2) * size_t(channels) + c];
  a.swap(out);
}

// Keeps the top-left value of each 2 x 2 block.
template <typename T>
void halvearray(std::vector<T>& a, int32_t w, int32_t h) {
  if (a.empty()) return;
  size_t hw = size_t(w / 2), hh = size_t(h / 2);
  std::vector<T> out(hw * hh);
  for (size_t y = 0; y < hh; y++)
    for (size_t x = 0; x < hw; x++) out[y * hw + x] = a[(2 * y) * size_t(w) + 2 * x];
  a.swap(out);
}
}  // namespace

void seedrandommap(int32_t seed) {
  seedrnd(seed);
  srand(unsigned(seed));
}

void RMLog(const char* format, ...) {
  // Working lines of the generator: for -d only (the progress box shows
  // the steps).
  if (debuglevel < 1) return;
  char text[MSGLEN];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  printf("%s\n", text);
}

void RMPutPixel(int32_t x, int32_t y, int32_t r, int32_t g, int32_t b, int32_t a) {
  if (!inside(x, y) || rm.picture.empty()) return;
  uint8_t* p = &rm.picture[at(x, y) * 4];
  p[0] = uint8_t(std::clamp(r, 0, 255));
  p[1] = uint8_t(std::clamp(g, 0, 255));
  p[2] = uint8_t(std::clamp(b, 0, 255));
  p[3] = uint8_t(a);
}

void RMBlendPixel(int32_t x, int32_t y, int32_t r, int32_t g, int32_t b, int32_t strength) {
  if (!inside(x, y) || rm.picture.empty()) return;
  // Strengths beyond 0..255 (jittered blobs, large noise or border alphas)
  // would wrap the channels into dark specks.
  int32_t s = std::clamp(strength, 0, 255);
  uint8_t* p = &rm.picture[at(x, y) * 4];
  int32_t c[3] = {r, g, b};
  for (int i = 0; i < 3; i++) p[i] = uint8_t(std::clamp((p[i] * (255 - s) + std::clamp(c[i], 0, 255) * s) / 255, 0, 255));
  if (p[0] == 255 && p[1] == 255 && p[2] == 255) p[0] = p[1] = p[2] = 254;
}

float RMHeight(int32_t x, int32_t y) {
  if (rm.heights.empty()) return 0;
  x = std::clamp(x, 0, rm.width - 1);
  y = std::clamp(y, 0, rm.height - 1);
  return rm.heights[at(x, y)];
}

int32_t RMOwner(int32_t x, int32_t y) { return inside(x, y) && !rm.owner.empty() ? rm.owner[at(x, y)] : 0; }

void RMSetOwner(int32_t x, int32_t y, int32_t lnr) {
  if (inside(x, y) && !rm.owner.empty()) rm.owner[at(x, y)] = int16_t(lnr);
}

int IsMountainPixel(int32_t x, int32_t y) { return RMHeight(x, y) >= rm.mountlevel; }

int RMIsBorderPixel(int32_t x, int32_t y) {
  int32_t own = RMOwner(x, y);
  const int32_t probe[3][2] = {{1, 0}, {0, 1}, {1, 1}};
  for (const auto& d : probe) {
    if (!inside(x + d[0], y + d[1])) continue;
    int32_t o = RMOwner(x + d[0], y + d[1]);
    if (o > 0 && o != own) return 1;
  }
  return 0;
}

// Neighbour lists: a test of our own; adding and drawing are shared with the map reader.
int rmisneighbour(int32_t a, int32_t b) {
  if (a < 1 || a >= MAXLANDS) return 0;
  for (int32_t i = 0; i < MAXNEIGHBOURS && provgeo[size_t(a)].nbr[i] > 0; i++)
    if (provgeo[size_t(a)].nbr[i] == b) return 1;
  return 0;
}

int rmissea(int32_t lnr) { return lnr >= 1 && lnr < MAXLANDS && (provgeo[size_t(lnr)].terrain & TM_SEA) != 0; }

int rmiscoastal(int32_t lnr) {
  if (lnr < 1 || lnr >= MAXLANDS || rmissea(lnr)) return 0;
  for (int32_t i = 0; i < MAXNEIGHBOURS && provgeo[size_t(lnr)].nbr[i] > 0; i++)
    if (rmissea(provgeo[size_t(lnr)].nbr[i])) return 1;
  return 0;
}

int32_t LandSize(int32_t lnr) {
  return int32_t(std::count(rm.owner.begin(), rm.owner.end(), int16_t(lnr)));
}

std::vector<int32_t> LandSizes() {
  std::vector<int32_t> sizes(MAXLANDS, 0);
  for (int16_t o : rm.owner)
    if (o > 0 && o < MAXLANDS) sizes[size_t(o)]++;
  return sizes;
}

int IsImpassablePair(int32_t a, int32_t b) {
  for (int32_t i = 0; i <= rm.paircount; i++)
    if ((rm.pairs[i][0] == a && rm.pairs[i][1] == b) || (rm.pairs[i][0] == b && rm.pairs[i][1] == a)) return 1;
  return 0;
}

namespace {
int32_t countnbors(int32_t lnr, bool sea) {
  bailif(lnr >= 1505, "LandNbors: bad lnr");
  if (lnr < 1) return 0;
  int32_t n = 0;
  for (int32_t i = 0; i < MAXNEIGHBOURS; i++) {
    int32_t o = provgeo[size_t(lnr)].nbr[i];
    if (o < 1) break;
    if (o == lnr || bool(rmissea(o)) != sea || IsImpassablePair(lnr, o)) continue;
    n++;
  }
  return n;
}

int32_t ContSize2(int32_t lnr, int32_t count) {
  bailif(lnr < 1, "ContSize2, bad lnr");
  rm.visited[lnr] = 1;
  count++;
  for (int32_t i = 0; i < MAXNEIGHBOURS; i++) {
    int32_t o = provgeo[size_t(lnr)].nbr[i];
    if (o < 1) break;
    if (o < 1505 && !rm.visited[o] && !rmissea(o)) count = ContSize2(o, count);
  }
  return count;
}
}  // namespace

int32_t LandNbors(int32_t lnr) { return countnbors(lnr, false); }
int32_t SeaNbors(int32_t lnr) { return countnbors(lnr, true); }

int32_t ContSize(int32_t lnr) {
  std::fill(std::begin(rm.visited), std::end(rm.visited), 0);
  return ContSize2(lnr, 0);
}

void DoubleResolution() {
  doublearray(rm.picture, rm.width, rm.height, 4);
  doublearray(rm.owner, rm.width, rm.height, 1);
  doublearray(rm.heights, rm.width, rm.height, 1);
  rm.width *= 2;
  rm.height *= 2;
  for (int32_t l = 1; l <= nbrlands; l++) {
    provgeo[size_t(l)].x = int16_t(provgeo[size_t(l)].x * 2);
    provgeo[size_t(l)].y = int16_t(provgeo[size_t(l)].y * 2);
  }
  rm.mindist *= 2;
}

void HalveResolution() {
  if (!rm.picture.empty()) {
    size_t hw = size_t(rm.width / 2), hh = size_t(rm.height / 2), w = size_t(rm.width);
    std::vector<uint8_t> out(hw * hh * 4);
    for (size_t y = 0; y < hh; y++)
      for (size_t x = 0; x < hw; x++)
        for (size_t c = 0; c < 4; c++) {
          const uint8_t* p = &rm.picture[((2 * y) * w + 2 * x) * 4 + c];
          out[(y * hw + x) * 4 + c] = uint8_t((p[0] + p[4] + p[w * 4] + p[w * 4 + 4] + 2) / 4);
        }
    rm.picture.swap(out);
  }
  halvearray(rm.owner, rm.width, rm.height);
  halvearray(rm.heights, rm.width, rm.height);
  rm.width /= 2;
  rm.height /= 2;
  for (int32_t l = 1; l <= nbrlands; l++) {
    provgeo[size_t(l)].x = int16_t(provgeo[size_t(l)].x / 2);
    provgeo[size_t(l)].y = int16_t(provgeo[size_t(l)].y / 2);
  }
  rm.mindist *= 0.5f;
}

void rmheightstep(float ruggedness) {
  rm.heights.assign(size_t(rm.width) * size_t(rm.height), 0.0f);
  createrandomheights(rm.width, rm.height, rm.heights.data(), 0, 0, nullptr, nullptr, 150, ruggedness, 0);
}

int rmbegin(RmParams& p) {
  bailif(!p.name || !p.name[0], "CRM: bad name");
  RMLog("CreateRandomMap");
  if (p.width < 0 || p.height < 0) {
    p.width = 1600;
    p.height = 1200;
  }
  bailif(p.width <= 24 || p.height <= 24, "maparea too small");
  bailif(p.width > MAXIMAGESIDE || p.height > MAXIMAGESIDE, "maparea too large");
  bailif(p.provinces < 1 || p.provinces > 1503, "CRM: bad provinces");
  rm.bigmap = int64_t(p.width) * p.height >= RM_BIGMAP;
  if (rm.bigmap || p.width * 2 > MAXIMAGESIDE || p.height * 2 > MAXIMAGESIDE) p.antialias = 0;
  rm.antialias = p.antialias;
  if (p.showprogress) {
    resetprogress();
    progressbox(TITLE, 0, "Generating height data");
  }
  rm.mounttarget = int32_t(float(p.provinces) * p.mountshare * 0.5f);
  rm.owner.clear();
  rm.picture.clear();
  rm.heights.clear();
  rm.stuff.clear();
  rm.paircount = -1;
  rm.rivercount = -1;
  rm.mindist = 0;
  rm.width = p.width;
  rm.height = p.height;
  nbrlands = 0;
  if (p.antialias) DoubleResolution();
  return 1;
}

void rmstage(RmStage stage, const RmParams& p) {
  const int32_t show = p.showprogress;
  switch (stage) {
    case RmStage::heights:
      RMLog(" Height data");
      rmheightstep(p.ruggedness);
      break;
    case RmStage::levels:
      RMLog(" Sea and mountain levels");
      rmsealevel(p.seashare, show);
      rmmountlevel(p.seashare, p.mountshare, show);
      break;
    case RmStage::capitals:
      RMLog(" Capitals");
      rmplacecapitals(p.provinces, show);
      SortLands();
      break;
    case RmStage::division: {
      // Big and antialiased maps are divided at half size.
      std::vector<float> savedheights;
      bool halfsize = rm.bigmap || rm.antialias;
      if (halfsize) {
        savedheights = rm.heights;
        HalveResolution();
      }
      RMLog(" Divide world");
      DivideWorld(show, 1);
      rmcentrecapitals(show);
      SortLands();
      DivideWorld(show, 0);
      if (halfsize) {
        DoubleResolution();
        rm.heights.swap(savedheights);
      }
      break;
    }
    case RmStage::prettify:
      RMLog(" Prettify");
      rmprettify(show);
      break;
    case RmStage::colours:
      RMLog(" Colours");
      rmcolours(show);
      break;
    case RmStage::neighbours:
      RMLog(" Neighbours");
      rmfindneighbours(show);
      if (rmimpassable) rmbordermountains();
      break;
    case RmStage::decorations:
      RMLog(" Decorations");
      rmrocks(show);
      rmdecorations(show);
      break;
    case RmStage::borders:
      RMLog(" Borders");
      rmborders(show);
      break;
    case RmStage::rivers:
      if (p.riveramount > 0) {
        RMLog(" Rivers");
        rmrivers(p.riveramount, show);
      }
      break;
    case RmStage::stuff:
      RMLog(" Stuff");
      rmdrawstuff(show);
      break;
    case RmStage::count:
      break;
  }
}

int rmfinish(const RmParams& p) {
  if (rm.antialias) HalveResolution();
  flipimage32(rm.picture.data(), rm.width, rm.height);

  // Only capitals may be pure white: the map reader finds provinces by them.
  for (size_t i = 0; i < rm.picture.size(); i += 4)
    if (rm.picture[i] == 255 && rm.picture[i + 1] == 255 && rm.picture[i + 2] == 255)
      rm.picture[i] = rm.picture[i + 1] = rm.picture[i + 2] = 254;
  for (int32_t l = 1; l <= nbrlands; l++) RMPutPixel(provgeo[size_t(l)].x, provgeo[size_t(l)].y, 255, 255, 255, 255);
  if (p.showprogress) progressbox(TITLE, 0, "Please wait");
  rm.heights = {};

  int ok = 1;
  char path[PATHLEN];
  if (!direxists("%s", p.folder)) mkdirs(p.folder);
  formatbounded(path, PATHLEN, "%s/%s.rgb", p.folder, p.name);
  if (!savesgi(rm.picture.data(), rm.width, rm.height, path, 1)) {
    // The folder may be one aside; the caller says where the map goes.
    printf("The map picture %s.rgb could not be written: %s\n", p.name, filecause(errno));
    ok = 0;
  }
  rm.picture = {};
  return ok;
}

int CreateRandomMap(const char* name, const char* folder, int32_t width, int32_t height, int32_t provinces,
                    int32_t showprogress, int32_t antialias, int32_t riveramount, float ruggedness, float seashare,
                    float mountshare) {
  RmParams p{name, folder, width, height, provinces, showprogress, antialias, riveramount, ruggedness, seashare, mountshare};
  rmbegin(p);
  for (int32_t s = 0; s < int32_t(RmStage::count); s++) rmstage(RmStage(s), p);
  return rmfinish(p);
}
