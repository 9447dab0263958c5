// The player side's part of start-up and shut-down.
#include "frontend/frontend.h"
#include "gfx/gfx.h"
#include "mapview/mapview.h"
#include "runtime/fatal.h"
#include "runtime/options.h"
#include "runtime/progress.h"
#include "sound/sound.h"

void flushopengl() {
  if (textonly) return;
  debugprint("flushopengl\n");
  freeallgl();
}

namespace {
void showscene(int32_t scene) { setbgscene(scene); }
}  // namespace

void installplayerside() {
  addshutdownhook(flushopengl);
  addshutdownhook(sdlquit);
  addshutdownhook(deinit_sound);
  setprogresswindow(windowopen, showscene);
  installmapscreens();
  installnewgamescreens();
}
