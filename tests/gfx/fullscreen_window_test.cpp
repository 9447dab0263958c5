// The full-screen switch in a real window: each Alt+Enter from a keyboard
// switches once; and where the window's OpenGL context is made anew by the
// switch (as on a system that makes it anew; the layer over SDL 2 here keeps
// it), every scene draws as it did before, from objects of the new context,
// none from the names of the one it replaced.
#include <GL/gl.h>
#include <dlfcn.h>

#include <cstdlib>
#include <string>

#include "gfx/texture.h"
#include "gfx/xwindow.h"
#include "support/xinput.h"

namespace {
// The layer over SDL 2 draws the frames into an object of the context that
// it made and shows them scaled to the screen; without it (a driver without
// framebuffer objects) they are the window's own, in whichever context is
// current, and the full screen takes the screen's size.
void windowsownframes() { setenv("SDL12COMPAT_OPENGL_SCALING", "0", 1); }

// The window that the key switches: a title and a button over the menu's
// backdrop.
void optionswindow() {
  guibegin();
  guititle("Options");
  guibutton(1, "Save and quit");
  guishow(-1, -1);
}

// A new context for the window, made current in place of the old one
// through SDL 2 (the layer's own, which SDL 1.2 has no call for).
bool makenewcontext() {
  void* sdl2 = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_NOLOAD);
  if (!sdl2) return false;
  auto window = reinterpret_cast<void* (*)()>(dlsym(sdl2, "SDL_GL_GetCurrentWindow"));
  auto create = reinterpret_cast<void* (*)(void*)>(dlsym(sdl2, "SDL_GL_CreateContext"));
  auto makecurrent = reinterpret_cast<int (*)(void*, void*)>(dlsym(sdl2, "SDL_GL_MakeCurrent"));
  if (!window || !create || !makecurrent || !window()) return false;
  void* context = create(window());
  return context && makecurrent(window(), context) == 0;
}

// A stand-in map: green land on the left of the window, blue sea on the right.
void standmap(int32_t) {
  flatprojection();
  const float w = float(windowwidth()), h = float(windowheight());
  glBegin(GL_QUADS);
  glColor3f(0.1f, 0.7f, 0.2f);
  glVertex2f(0, 0), glVertex2f(w / 2, 0), glVertex2f(w / 2, h), glVertex2f(0, h);
  glColor3f(0.1f, 0.2f, 0.8f);
  glVertex2f(w / 2, 0), glVertex2f(w, 0), glVertex2f(w, h), glVertex2f(w / 2, h);
  glEnd();
}
void standscroll() {}
int32_t standmousescroll(int32_t) { return 0; }
uint64_t standkey() { return 1; }

// A stand-in battlefield that keeps its red square in a display list, made
// once and kept until it is freed, as the battle view keeps its terrain.
GLuint fieldlist = 0;
void standfield(uint32_t) {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  flatprojection();
  if (!fieldlist) {
    fieldlist = glGenLists(1);
    glNewList(fieldlist, GL_COMPILE);
    glColor3f(0.8f, 0.1f, 0.1f);
    glBegin(GL_QUADS);
    glVertex2f(100, 100);
    glVertex2f(500, 100);
    glVertex2f(500, 400);
    glVertex2f(100, 400);
    glEnd();
    glEndList();
  }
  glCallList(fieldlist);
}
void freefield() {
  if (fieldlist) glDeleteLists(fieldlist, 1);
  fieldlist = 0;
}

// The picture of the window over the scene.
Shot sceneshot(Scene scene) {
  const std::string path = tempfile("scene.ppm");
  setinputscript(("wait 3\nshot " + path + "\n").c_str());
  for (int32_t i = 0; i < 20 && scriptbusy(); i++) {
    optionswindow();
    render_frame(false, scene);
  }
  setinputscript("");
  Shot s = readshot(path);
  dropshot(path);
  return s;
}
}  // namespace

// Alt+Enter four times: full screen, the window at its size, and again. The
// screen's size that the switch to full screen sends is no resize of the
// window: acted on, it left full screen at once for a window as large as the
// screen, whose own size notices switched it again.
TEST(FullScreen, EachAltEnterSwitchesOnce) {
  windowsownframes();
  RealWindow w;
  ASSERT_TRUE(w.ok);
  setfullscreensize(800, 600);
  setwindowsize(800, 600);
  for (int32_t press = 1; press <= 4; press++) {
    setinputscript((xdoline("key alt+Return") + "wait 10\n").c_str());
    for (int32_t i = 0; i < 40 && scriptbusy(); i++) {
      optionswindow();
      render_frame(false, Scene::menu);
    }
    EXPECT_EQ(isfullscreen(), press % 2) << "press " << press;
    if (press % 2 == 0) EXPECT_EQ(windowwidth(), 800) << "press " << press;
  }
}

// A new context found after the switch to full screen and back (what
// Alt+Enter does), or after a size set as the preferences set it.
TEST(FullScreen, EverySceneDrawsAsBeforeInAContextMadeAnew) {
  windowsownframes();
  RealWindow w;
  ASSERT_TRUE(w.ok);
  setfullscreensize(800, 600);
  setwindowsize(800, 600);
  setmaphooks(standscroll, standmousescroll, standmap);
  setmapscenekey(standkey);
  setbattlefieldhooks({standfield, nullptr, nullptr, freefield});
  guireducedgfx = 2;   // the map kept in a picture of the window, drawn a stripe a frame
  const Scene scenes[] = {Scene::menu, Scene::map, Scene::battlefield};
  Shot before[3];
  for (size_t i = 0; i < 3; i++) before[i] = sceneshot(scenes[i]);
  for (const bool toggled : {true, false}) {
    for (size_t i = 0; i < 3; i++) {
      ASSERT_TRUE(makenewcontext());
      if (toggled) {
        togglefullscreen();
        sceneshot(scenes[i]);
        togglefullscreen();
      } else {
        setvideosize(800, 600, 0);
      }
      const Shot after = sceneshot(scenes[i]);
      ASSERT_EQ(after.width, 800);
      EXPECT_TRUE(before[i].rgb == after.rgb) << "scene " << int32_t(scenes[i]) << (toggled ? " toggled" : "");
    }
  }
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  guireducedgfx = 0;
  setbattlefieldhooks({});
  setmaphooks(nullptr, nullptr, nullptr);
  setmapscenekey(nullptr);
}
