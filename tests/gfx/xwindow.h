// A real OpenGL window for tests, on an X server of the test's own (Xvfb,
// which picks a free display itself), with the build's data folder and
// scripted input. Frames are read back through the script's "shot".
#pragma once
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/progress.h"
#include "runtime/settings.h"
#include "runtime/util.h"
#include "support/scratch.h"

class RealWindow {
 public:
  explicit RealWindow(int32_t width = 800, int32_t height = 600) {
    // A dialog that never gets its answer must not hang the run; the bound
    // is generous, for a window test on a heavily loaded machine.
    alarm(900);
    unsetenv("DISPLAY");   // a server of the test's own, whatever the caller has
    server = startprivatexserver();
    if (server <= 0) return;
    resetsettings();
    resetoptions();
    animback = 0;
    strlcopy(datapath, VEY3_DATA_DIR, PATHLEN);
    initsprites(datapath);
    ok = open_window("vey3 test", width, height, 0, 16, 1, 0) == 1;
    if (ok) InitGLStuff();
    setprogresswindow(windowopen, nullptr);
    setbgscene(Scene::title);
  }
  ~RealWindow() {
    setinputscript("");
    sdlquit();
    stopprivatexserver(server);
  }
  bool ok = false;

 private:
  pid_t server = -1;
};

// A binary PPM read back: width, height and RGB rows top first.
struct Shot {
  int32_t width = 0, height = 0;
  std::vector<uint8_t> rgb;
  const uint8_t* at(int32_t x, int32_t y) const { return &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3]; }
};

inline Shot readshot(const std::string& path) {
  Shot s;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return s;
  int maxval = 0;
  if (fscanf(f, "P6 %d %d %d", &s.width, &s.height, &maxval) == 3 && fgetc(f) != EOF) {
    s.rgb.resize(size_t(s.width) * size_t(s.height) * 3);
    if (fread(s.rgb.data(), 1, s.rgb.size(), f) != s.rgb.size()) s.rgb.clear();
  }
  fclose(f);
  return s;
}

// Pixels of the shot (window pixels, top-left origin) inside the GUI
// rectangle whose colour is close to the given one.
inline int32_t pixelslike(const Shot& s, guirect r, int32_t red, int32_t green, int32_t blue, int32_t tolerance) {
  if (s.rgb.empty()) return 0;
  const guiview v = guiviewfor(s.width, s.height);
  float px0 = 0, py0 = 0, px1 = 0, py1 = 0;
  guitowindow(v, s.height, r.x, r.y + r.h, &px0, &py0);
  guitowindow(v, s.height, r.x + r.w, r.y, &px1, &py1);
  int32_t x0 = int32_t(px0), x1 = int32_t(px1), y0 = int32_t(py0), y1 = int32_t(py1);
  int32_t n = 0;
  for (int32_t y = std::max(0, y0); y < std::min(s.height, y1); y++)
    for (int32_t x = std::max(0, x0); x < std::min(s.width, x1); x++) {
      const uint8_t* p = s.at(x, y);
      if (abs(p[0] - red) <= tolerance && abs(p[1] - green) <= tolerance && abs(p[2] - blue) <= tolerance) n++;
    }
  return n;
}

// A file of this run's own folder of pictures, "$TMPDIR/vey3shots_*" (else
// under /tmp), which goes at the end unless VEY3_KEEPSHOTS keeps it.
inline std::string tempfile(const char* name) {
  static const std::string folder = getenv("VEY3_KEEPSHOTS") ? makescratch("vey3shots_") : makerunscratch("vey3shots_");
  return folder + "/" + name;
}

// Removes a shot unless VEY3_KEEPSHOTS asks to keep them for a look.
inline void dropshot(const std::string& path) {
  if (!getenv("VEY3_KEEPSHOTS")) remove(path.c_str());
}

// The second of two frames built by `build` and drawn over the current
// scene (the first loads what they draw), read back.
template <typename Build>
Shot shotofsecondframe(const char* name, Build build) {
  const std::string path = tempfile(name);
  setinputscript(("shot " + path + "\n").c_str());
  build();
  render_frame(false, Scene::none);
  build();
  render_frame(false, Scene::none);
  setinputscript("");
  Shot s = readshot(path);
  dropshot(path);
  return s;
}
