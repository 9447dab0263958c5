// The map image: provinces are its pure white pixels, borders its red ones.
#include <cstring>

#include "runtime/alloc.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/image.h"
#include "runtime/util.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

MapImage mapimage = {};
int32_t maptexturesmade = 0;
float defaultmapzoom = 1.0f;

int safemapname(const char* name) {
  if (!name || !name[0] || name[0] == '/') return 0;
  if (strstr(name, "..")) return 0;
  for (const char* p = name; *p; p++)
    if (uint8_t(*p) < 32 || *p == 127) return 0;
  return 1;
}

void freebigmap() {
  if (mapimage.pixels) myfree(mapimage.pixels);
  mapimage.pixels = nullptr;
  mapimage.width = mapimage.height = 0;
}

int LoadBigMap(const char* folder, const char* image) {
  bool hasfolder = folder && folder[0];
  if (hasfolder) debugprint("LoadBigMap (%s) %s (%s)\n", folder, image, mapimage.imagename);
  else debugprint("LoadBigMap %s (%s)\n", image, mapimage.imagename);
  if (mapimage.pixels && strcmp(mapimage.imagename, image) == 0) return 0;
  // The names come from map files that other people made.
  if (!safemapname(image) || (hasfolder && !safemapname(folder))) {
    char message[MSGLEN];
    formatbounded(message, MSGLEN, "Bad map image name: %s", image);
    fatalerror(message);
    return 0;
  }
  char path[PATHLEN];
  if (findmapfile(folder, image, path) == MAPIN_NONE) {
    char message[MSGLEN];
    formatbounded(message, MSGLEN, "Can't find map image: %s", image);
    fatalerror(message);
    return 0;
  }
  if (mapimage.pixels) debugprint("  freeing map %s\n", mapimage.imagename);
  freebigmap();
  mapimage.imagename[0] = mapimage.folder[0] = 0;
  maptexturesmade = 0;
  mapzoom = defaultmapzoom;
  strlcopy(mapimage.imagename, image, PATHLEN);
  strlcopy(mapimage.folder, hasfolder ? folder : "", PATHLEN);
  debugprint("  loading map %s\n", path);
  strlcopy(mapimage.path, path, PATHLEN);
  int32_t w = 0, h = 0;
  const char* problem = nullptr;
  uint8_t* pixels = loadimage(path, &w, &h, 0, &problem);
  strlcopy(mapimage.problem, problem ? problem : "", sizeof mapimage.problem);
  if (!pixels) {
    debugprint("Failed to load map image\n");
    return 0;
  }
  mapimage.pixels = pixels;
  mapimage.width = w;
  mapimage.height = h;
  debugprint("  w%d h%d\n", w, h);
  return 1;
}

namespace {
void clearprovgeo(int32_t l, int16_t x, int16_t y) {
  ProvGeo& g = provgeo[size_t(l)];
  g = ProvGeo{};
  g.x = x;
  g.y = y;
  g.groundcol[0] = g.rockcol[0] = g.fogcol[0] = -1;
}
}  // namespace

void FindCapitals(const char* folder, const char* image) {
  debugprint("FindCapitals\n");
  LoadBigMap(folder, image);
  nbrlands = 0;
  clearprovgeo(0, -500, -500);
  int32_t ignored = 0;
  if (mapimage.pixels) {
    const int32_t w = mapimage.width, h = mapimage.height;
    for (int32_t y = 0; y < h; y++)
      for (int32_t x = 0; x < w; x++) {
        const uint8_t* p = &mapimage.pixels[(int64_t(y) * w + x) * 4];
        if (p[0] != 255 || p[1] != 255 || p[2] != 255) continue;
        if (nbrlands >= MAXPROVINCES) {
          ignored++;
          continue;
        }
        nbrlands++;
        clearprovgeo(nbrlands, int16_t(x), int16_t(y));
        if (y == 0) debugprint("cap %d %d\n", x, 0);
      }
  }
  if (ignored > 0)
    debugprint("***** Warning: the map image has %d white pixels beyond province %d; they are ignored\n", ignored,
               MAXPROVINCES);
  debugprint("%d capitals found\n", nbrlands);
}

int isredpixel(int32_t x, int32_t y) {
  if (!mapimage.pixels || mapimage.width < 1 || mapimage.height < 1) return 0;
  x = imax(0, imin(x, mapimage.width - 1));
  y = imax(0, imin(y, mapimage.height - 1));
  const uint8_t* p = &mapimage.pixels[(int64_t(y) * mapimage.width + x) * 4];
  float mean = float(p[0] + p[1] + p[2]) * 0.33333334f;
  return p[0] > 1.2f * mean && 0.9f * mean > p[1] && 0.9f * mean > p[2];
}

int linecrossings(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t cooldown) {
  int32_t n = imax(iabs(x1 - x0), iabs(y1 - y0));
  if (n > 4999) return 99;
  if (n < 2) return 0;
  int found = 0;
  for (int32_t i = 1; i < n; i++) {
    bool red = isredpixel(x0 + (x1 - x0) * i / n, y0 + (y1 - y0) * i / n);
    if (red && cooldown < 1) {
      if (found) return 2;
      found = 1;
      cooldown = 25;
    } else if (red) {
      cooldown--;
    } else if (cooldown >= 1) {
      cooldown -= 5;
    }
  }
  return found;
}

float provdist(int32_t a, int32_t b) {
  bailif(a < 1 || b < 1 || a >= MAXLANDS || b >= MAXLANDS, "bad provdist");
  float dx = float(provgeo[size_t(a)].x - provgeo[size_t(b)].x);
  float dy = float(provgeo[size_t(a)].y - provgeo[size_t(b)].y);
  return dx * dx + dy * dy;
}

void FPN(int32_t l, float limit) {
  debugprint("FPN %d\n", l);
  bailif(l > 1504 || l < 1, "FPN bad l");
  const ProvGeo& a = provgeo[size_t(l)];
  for (int32_t m = 1; m <= nbrlands; m++) {
    if (m == l || provdist(l, m) > limit) continue;
    const ProvGeo& b = provgeo[size_t(m)];
    int blocked = 0;
    for (int32_t k = -2; k <= 2; k++)
      if (linecrossings(a.x + 4 * k, a.y + k, b.x + k, b.y + 4 * k, 0) >= 2) blocked++;
    if (blocked <= 2) {
      debugprint2(" prov %d and %d are nbors (not unanimous)\n", l, m);
      addnbor(l, m);
      addnbor(m, l);
    }
  }
}

void FindNbors() {
  debugprint("FindNbors (hl%d)\n", nbrlands);
  float smallest = 99999.0f, largest = 0.0f;
  for (int32_t a = 1; a <= nbrlands; a++)
    for (int32_t b = 1; b <= nbrlands; b++) {
      if (a == b) continue;
      float d = provdist(a, b);
      if (d < smallest) smallest = d;
      if (d > largest) largest = d;
    }
  float limit = smallest + 0.05f * (largest - smallest);
  debugprint(" gooddist=%f\n", double(limit));
  for (int32_t l = 1; l <= nbrlands; l++) FPN(l, limit);
  debugprint(" done\n");
}

void addnbor(int32_t a, int32_t b) {
  if (a < 1 || a > MAXPROVINCES || b < 1 || b > MAXPROVINCES) return;
  int16_t* list = provgeo[size_t(a)].nbr;
  for (int32_t i = 0; i < MAXNEIGHBOURS; i++) {
    if (list[i] == b) return;
    if (list[i] == 0) {
      list[i] = int16_t(b);
      if (i <= MAXNEIGHBOURS - 2) list[i + 1] = 0;
      return;
    }
  }
}

void removenbor(int32_t a, int32_t b) {
  if (a < 1 || a > MAXPROVINCES || b < 1 || b > MAXPROVINCES) return;
  int16_t* list = provgeo[size_t(a)].nbr;
  for (int32_t k = 0; k < MAXNEIGHBOURS; k++) {
    if (list[k] != b) continue;
    for (int32_t j = k; j < MAXNEIGHBOURS - 1; j++) list[j] = list[j + 1];
    list[MAXNEIGHBOURS - 1] = 0;
  }
}

namespace {
int32_t steplimit = 6;
}

int32_t provsteps(int32_t from, int32_t to, int32_t depth, int32_t prev, int32_t prev2) {
  if (depth >= steplimit) return 999;
  if (from < 0 || from >= MAXLANDS) return 999;
  const int16_t* list = provgeo[size_t(from)].nbr;
  for (int32_t i = 0; i < MAXNEIGHBOURS && list[i] != 0; i++)
    if (list[i] == to) return depth + 1;
  int32_t best = 999;
  for (int32_t i = 0; i < MAXNEIGHBOURS && list[i] != 0; i++) {
    int32_t n = list[i];
    if (n == prev || n == prev2) continue;
    best = imin(best, provsteps(n, to, depth + 1, from, prev));
    steplimit = imin(steplimit, best);
  }
  return best;
}

int32_t landsteps(int32_t a, int32_t b) {
  steplimit = 6;
  return provsteps(a, b, 0, 0, 0);
}
