// The ".map" text of a random map, and the "--makemap" run.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "runtime/filesets.h"
#include "runtime/folders.h"
#include "runtime/image.h"
#include "runtime/options.h"
#include "runtime/progress.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "world/world.h"
#include "worldgen/randmap.h"

namespace {
const char* const TITLE = "Random Map Generation";

// 75 over the typical capital distance: the mean nearest-capital distance at
// about the lowest fifth of all lands.
float typicaldistance() {
  int32_t n = nbrlands;
  std::vector<float> d(static_cast<size_t>(n));
  for (int32_t i = 1; i <= n; i++) {
    float best = 999999;
    for (int32_t j = 1; j <= n; j++) {
      if (j == i) continue;
      float dx = float(provgeo[size_t(i)].x - provgeo[size_t(j)].x), dy = float(provgeo[size_t(i)].y - provgeo[size_t(j)].y);
      best = std::min(best, dx * dx + dy * dy);
    }
    d[size_t(i - 1)] = best;
  }
  std::sort(d.begin(), d.end());
  int32_t k = n / 5;
  // Numbered from 1: the (k+1)th and (k+2)th smallest, within the list.
  float a = d.empty() ? 1 : d[size_t(std::min(k, n - 1))];
  float b = d.empty() ? 1 : d[size_t(std::min(k + 1, n - 1))];
  float typical = (std::sqrt(a) + std::sqrt(b)) / 2;
  RMLog("dist %f (%f %f %f)", double(typical), double(a), double(b), double(k));
  return std::max(typical, 1.0f);   // never an infinite zoom
}

int refuse(const char* message) {
  printf("%s\n", message);
  return 1;
}
}  // namespace

int write_random_map_file(const char* path, const char* name, int32_t showprogress) {
  RMLog(" Create Map File");
  SafeWrite out(path);
  if (!out.ok()) {
    printf("The map file %s.map could not be written: %s\n", name, filecause(out.error()));
    return 0;
  }
  FILE* f = out.stream();
  const int32_t n = nbrlands;
  fprintf(f, "--\n-- Veyrances 3 random map\n--\n-- Made by the random map generator of Veyrances 3,\n");
  fprintf(f, "-- %s\n--\n\n", VERSIONTEXT);
  fprintf(f, "#vey2title %s\n", name);
  fprintf(f, "#imagefile %s.rgb\n", name);
  fprintf(f, "#veyversion %d\n", RM_MAPVERSION);
  fprintf(f, "#defaultmapzoom %f\n\n", double(75.0f / typicaldistance()));
  fprintf(f, "#description \"This is a randomly created map. It has %d provinces and is %d x %d pixels large.\"\n\n", n,
          rm.width, rm.height);

  std::vector<int32_t> sizes = LandSizes();
  int64_t seasum = 0, landsum = 0;
  int32_t seacount = 0, landcount = 0;
  for (int32_t l = 1; l <= n; l++) {
    if (showprogress) progressbox(TITLE, l * 100 / n, "Calculating sizes");
    if (rmissea(l)) seasum += sizes[size_t(l)], seacount++;
    else landsum += sizes[size_t(l)], landcount++;
  }
  RMLog(" Set nbors");
  for (int32_t i = 1; i <= n; i++)
    for (int32_t k = 0; k < MAXNEIGHBOURS; k++) {
      int32_t j = provgeo[size_t(i)].nbr[k];
      if (j < 1) break;
      if (j > i && !IsImpassablePair(i, j)) fprintf(f, "#neighbour %d %d\n", i, j);
    }
  fprintf(f, "\n");
  if (rmimpassable)
    for (int32_t l = 1; l <= n; l++)
      if (provgeo[size_t(l)].terrain & TM_MOUNTAINS)
        provgeo[size_t(l)].terrain = (provgeo[size_t(l)].terrain & ~TM_MOUNTAINS) | TM_BORDERMOUNT;
  int32_t c = 0;
  for (int32_t l = 1; l <= n; l++) {
    bool poor = rmissea(l) ? LandNbors(l) + SeaNbors(l) < 2 : LandNbors(l) < 2;
    if (poor) provgeo[size_t(l)].terrain |= TM_NOSTART, c++;
  }
  // A kind without lands has no average and no land is measured against it.
  float seaavg = seacount ? float(seasum) / float(seacount) : 0;
  float landavg = landcount ? float(landsum) / float(landcount) : 0;
  for (int32_t l = 1; l <= n; l++) {
    if (showprogress) progressbox(TITLE, l * 100 / n, "Setting terrains");
    ProvGeo& p = provgeo[size_t(l)];
    bool sea = rmissea(l);
    float avg = sea ? seaavg : landavg, size = float(sizes[size_t(l)]);
    if (size < 0.75f * avg) p.terrain |= TM_SMALL;
    else if (size > 1.3f * avg) p.terrain |= TM_LARGE;
    if (!(p.terrain & TM_NOSTART) && float(c) < 0.75f * float(n)) {
      bool nostart = sea ? LandNbors(l) + SeaNbors(l) <= 2
                         : LandNbors(l) < 3 || float(ContSize(l)) < 0.2f * float(landcount);
      if (nostart) p.terrain |= TM_NOSTART, c++;
    }
    fprintf(f, "#terrain %d %u\n", l, unsigned(p.terrain));
  }
  if (showprogress) progressbox(TITLE, 0, "Please wait");
  fprintf(f, "\n\n");
  if (!out.commit()) {
    printf("The map file %s.map could not be written: %s\n", name, filecause(out.error()));
    return 0;
  }
  return 1;
}

int putrandommap(FileSet& set, const char* name, int32_t showprogress) {
  char picture[PATHLEN], text[PATHLEN];
  formatbounded(picture, PATHLEN, "%s.rgb", name);
  formatbounded(text, PATHLEN, "%s.map", name);
  const std::string path = set.staging() + "/" + text;
  if (!write_random_map_file(path.c_str(), name, showprogress)) return 0;
  return set.add(picture) && set.add(text) && set.commit() ? 1 : 0;
}

int makemapmode() {
  const char* name = makemapname;
  if (!validgamename(name)) return refuse("Bad filename for random map");
  // The numbers stand as the command line took them: it clamps those that
  // have limits, and the generator takes any of the others.
  const int32_t w = mapsize[0], h = mapsize[1];
  if (!loadtrsfile(TRS_MAPSTUFF)) {
    printf("Can't find the sprite archive %s in the data folder %s\n", trsfilename(TRS_MAPSTUFF), datapath);
    return 1;
  }
  if (mkdirs(localmappath) < 0) {
    printf("Can't create the maps folder %s\n", localmappath);
    return 1;
  }
  // The progress box in the window; in text-only mode none.
  const int32_t show = textonly ? 0 : 1;
  // Picture and text are made aside and put in place together.
  FileSet set(localmappath);
  if (set.staging().empty()) {
    printf("Can't write into the maps folder %s: %s\n", localmappath, set.problem().c_str());
    return 1;
  }
  // What a failure leaves: the map of that name as it was, or none.
  const char* left = filesize("%s/%s.map", localmappath, name) > 0 ? "the old map stays" : "no map was made";
  if (!CreateRandomMap(name, set.staging().c_str(), w, h, mapprov, show, mapaa, riverpart, 0.3f,
                       float(seapart) / 100.0f, float(mountpart) / 100.0f)) {
    printf("Random map %s not written in %s; %s\n", name, localmappath, left);
    return 1;
  }
  if (!putrandommap(set, name, show)) {
    if (set.problem().empty()) printf("Random map %s not written in %s; %s\n", name, localmappath, left);
    else printf("Random map %s not written: %s; %s\n", name, set.problem().c_str(), left);
    return 1;
  }
  return 0;
}
