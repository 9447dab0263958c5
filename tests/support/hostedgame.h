// What the measurements of a hosted game share: the process's processor
// time, the count of living units, and a folder of the run's own that the
// game's folders point into, with the data loaded and the options of a new
// game of the middle era in text-only mode.
#pragma once
#include <sys/resource.h>

#include <string>
#include <vector>

#include "mods/mods.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/units.h"
#include "world/world.h"

// Processor time of the whole process so far (every thread and the
// system's work for it), seconds.
inline double processcpuseconds() {
  rusage r{};
  getrusage(RUSAGE_SELF, &r);
  return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) + double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

inline int32_t livingunits() {
  int32_t n = 0;
  for (int32_t u = 0; u <= highestunit; u++) n += unit[size_t(u)].hp > 0;
  return n;
}

// Makes root's maps, save, temp and the extra folders named and points the
// game's folders into them.
inline void pointgamefolders(const std::string& root, std::vector<std::string> extra = {}) {
  extra.insert(extra.end(), {"/maps", "/save", "/temp"});
  for (const std::string& d : extra) mkdirs((root + d).c_str());
  strlcopy(mappath, (root + "/maps").c_str(), PATHLEN);
  strlcopy(localmappath, (root + "/maps").c_str(), PATHLEN);
  strlcopy(savepath, (root + "/save").c_str(), PATHLEN);
  strlcopy(temppath, (root + "/temp").c_str(), PATHLEN);
}

// The folders as pointgamefolders makes them, the game data loaded and the
// options of a new game of the middle era in text-only mode.
inline void hostedgamefolders(const std::string& root, std::vector<std::string> extra = {}) {
  pointgamefolders(root, std::move(extra));
  loadgamedata();
  defaultgeneral();
  clearworld();
  resetoptions();
  textonly = 1;
  eraoption = 2;
}
