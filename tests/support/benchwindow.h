// The window of the frame benchmarks: opened once, 1024 x 768, on an X
// server of the benchmark's own, frames unthrottled, the build's data
// folder. False when no window can be had.
#pragma once
#include "gfx/gfx.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/settings.h"
#include "runtime/util.h"

inline bool benchwindow() {
  static int state = 0;
  if (state) return state > 0;
  state = -1;
  if (startprivatexserver() < 0) return false;
  resetsettings();
  resetoptions();
  animback = 0;
  framedelay = 0;
  strlcopy(datapath, VEY3_DATA_DIR, PATHLEN);
  initsprites(datapath);
  if (open_window("vey3 bench", 1024, 768, 0, 16, 1, 0) != 1) return false;
  InitGLStuff();
  state = 1;
  return true;
}
