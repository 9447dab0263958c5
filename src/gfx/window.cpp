// The SDL 1.2 platform layer: video modes, the OpenGL window, sizes for the
// full-screen toggle, and shutting SDL down.
#include <SDL.h>
#include <GL/gl.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gfx/dialogwindow.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "gfx/texture.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/util.h"

int32_t guilayoutstyle = 0, guifadein = 1, guireducedgfx = 0;

namespace {
bool sdlstarted = false;
bool windowisopen = false;
bool fullscreenmode = false;
int32_t modebits = 0;
char iconpath[PATHLEN];
int32_t fullsize[2] = {1024, 768};
int32_t windowsize[2] = {1024, 768};

// The X server went away: nothing more can be shown, and shutting SDL down
// would wait on the server for ever. The temp files go, then the process.
int displaylost(void*) {
  printf("The display went away; the game ends.\n");
  fflush(stdout);
  removetmpfiles();
  _exit(1);
}

// Xlib, which SDL loaded, ends the process on a lost connection through
// this handler instead of its own (which runs the exit hooks and hangs).
void watchdisplay() {
  void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
  if (!x11) return;
  using Handler = int (*)(void*);
  auto sethandler = reinterpret_cast<Handler (*)(Handler)>(dlsym(x11, "XSetIOErrorHandler"));
  if (sethandler) sethandler(displaylost);
}

#if defined(__SANITIZE_ADDRESS__)
// Under the sanitizer the libraries that the window brought in (the GL
// driver) stay loaded to the end of the process: the leak check can then name
// the blocks they hold at exit and suppress them by library.
int keeploaded(dl_phdr_info* info, size_t, void*) {
  if (info->dlpi_name && info->dlpi_name[0]) dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  return 0;
}
#endif

bool startvideo() {
  if (sdlstarted) return true;
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) != 0) return false;
  // A normal end of the program gives the screen back as well.
  static bool quitatexit = atexit(sdlquit) == 0;
  (void)quitatexit;
  sdlstarted = true;
  return true;
}
}  // namespace

void setwindowicon(const char* path) { strlcopy(iconpath, path, PATHLEN); }

void stopprivatexserver(int32_t server) {
  if (server <= 0) return;
  kill(server, SIGTERM);
  // A server that does not end within ten seconds is killed.
  for (int32_t waited = 0; waitpid(server, nullptr, WNOHANG) == 0; waited += 20) {
    if (waited >= 10000) {
      kill(server, SIGKILL);
      waitpid(server, nullptr, 0);
      return;
    }
    sleepms(20);
  }
}

int displayreachable() {
  if (!startvideo()) return 0;
  // Without a display SDL falls back to an invisible screen; one asked for
  // by name (SDL_VIDEODRIVER) is taken as it is.
  if (getenv("SDL_VIDEODRIVER")) return 1;
  char name[64] = {};
  SDL_VideoDriverName(name, sizeof name);
  return strcmp(name, "offscreen") != 0 && strcmp(name, "dummy") != 0;
}

int videomodeok(int32_t width, int32_t height, int32_t bits) {
  if (!startvideo()) return 0;
  if (bits < 1) bits = 32;
  return SDL_VideoModeOK(width, height, bits, SDL_OPENGL | SDL_FULLSCREEN) != 0;
}

int open_window(const char* caption, int32_t width, int32_t height, int32_t bits, int32_t depthbits,
                int32_t doublebuffer, int32_t fullscreenflag) {
  if (!startvideo()) {
    printf("SDL_SetVideoMode failed: %s\n", SDL_GetError());
    return 0;
  }
  if (depthbits == 1) depthbits = 16;
  if (bits < 1) bits = 0;   // the screen's own depth
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthbits);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, doublebuffer ? 1 : 0);
  SDL_WM_SetCaption(caption, caption);
  if (iconpath[0]) {
    SDL_Surface* icon = SDL_LoadBMP(iconpath);
    if (icon) {
      SDL_WM_SetIcon(icon, nullptr);
      SDL_FreeSurface(icon);
    }
  }
  Uint32 flags = SDL_OPENGL | (fullscreenflag ? SDL_FULLSCREEN : SDL_RESIZABLE);
  if (!SDL_SetVideoMode(width, height, bits, flags)) {
    printf("SDL_SetVideoMode failed: %s\n", SDL_GetError());
    return 0;
  }
  fullscreenmode = fullscreenflag != 0;
  modebits = bits;
  SDL_EnableUNICODE(1);
  startinput();
  forgetheldinput();
  windowisopen = true;
  watchdisplay();
#if defined(__SANITIZE_ADDRESS__)
  dl_iterate_phdr(keeploaded, nullptr);
#endif
  return 1;
}

void setfullscreensize(int32_t width, int32_t height) {
  fullsize[0] = width;
  fullsize[1] = height;
}

void setwindowsize(int32_t width, int32_t height) {
  windowsize[0] = width;
  windowsize[1] = height;
}

int windowopen() { return windowisopen; }

int setvideosize(int32_t width, int32_t height, int32_t full) {
  if (!windowisopen) return 0;
  width = imax(1, width);
  height = imax(1, height);
  Uint32 flags = SDL_OPENGL | (full ? SDL_FULLSCREEN : SDL_RESIZABLE);
  const bool made = SDL_SetVideoMode(width, height, modebits, flags) != nullptr;
  // Made or refused, the window may have a new context: names of the one it
  // replaced must not reach it.
  checkglcontext();
  if (!made) {
    printf("SDL_SetVideoMode failed: %s\n", SDL_GetError());
    return 0;
  }
  fullscreenmode = full != 0;
  return 1;
}

int togglefullscreen() {
  bool full = !fullscreenmode;
  const int32_t* size = full ? fullsize : windowsize;
  int32_t w = size[0] == -2 ? 0 : size[0], h = size[1] == -2 ? 0 : size[1];
  if (setvideosize(w, h, full)) return 1;
  return setvideosize(windowwidth(), windowheight(), !full) ? 0 : 0;
}

int fullscreenon() { return fullscreenmode ? 1 : 0; }

int32_t windowwidth() {
  SDL_Surface* screen = windowisopen ? SDL_GetVideoSurface() : nullptr;
  return screen ? screen->w : 0;
}

int32_t windowheight() {
  SDL_Surface* screen = windowisopen ? SDL_GetVideoSurface() : nullptr;
  return screen ? screen->h : 0;
}

// The screen is scaled by the smaller of the two ratios, so 800 x 600 units
// always fit, and centred on whole pixels.
guiview guiviewfor(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return {1, 0, 0};
  const float scale = fminf(float(width) / GUIWIDTH, float(height) / GUIHEIGHT);
  return {scale, floorf((float(width) - GUIWIDTH * scale) * 0.5f), floorf((float(height) - GUIHEIGHT * scale) * 0.5f)};
}

guiview guiviewport() { return guiviewfor(windowwidth(), windowheight()); }

void windowtogui(const guiview& v, int32_t windowh, float px, float py, float* x, float* y) {
  *x = (px - v.offx) / v.scale;
  *y = (float(windowh) - py - v.offy) / v.scale;
}

void guitowindow(const guiview& v, int32_t windowh, float x, float y, float* px, float* py) {
  *px = v.offx + x * v.scale;
  *py = float(windowh) - (v.offy + y * v.scale);
}

guirect guivisible() {
  const int32_t w = windowwidth(), h = windowheight();
  if (w <= 0 || h <= 0) return {0, 0, GUIWIDTH, GUIHEIGHT};
  const guiview v = guiviewport();
  return {-v.offx / v.scale, -v.offy / v.scale, float(w) / v.scale, float(h) / v.scale};
}

void sdlquit() {
  installwindowdialogs(0);
  if (!sdlstarted) return;
  freeallgl();   // names made in this window mean nothing in another
  SDL_Quit();
  forgetheldinput();
  sdlstarted = false;
  windowisopen = false;
}

int32_t startprivatexserver() {
  if (getenv("DISPLAY")) return 0;
  int fds[2];
  if (pipe(fds) != 0) return -1;
  pid_t server = fork();
  if (server == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);   // the server ends with the process, however it ends
    close(fds[0]);
    // The server's words go nowhere: a server that outlives the process
    // must not hold its output open (a test runner waits for that to close).
    if (fds[1] <= 2) fds[1] = fcntl(fds[1], F_DUPFD, 3);
    const int quiet = open("/dev/null", O_RDWR);
    if (quiet >= 0) {
      dup2(quiet, 0), dup2(quiet, 1), dup2(quiet, 2);
      if (quiet > 2) close(quiet);
    }
    std::string fd = std::to_string(fds[1]);
    // -noreset: a server that regenerates when its last client leaves
    // forgets a SIGTERM that comes during the regeneration and never ends.
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1920x1200x24", "-nolisten", "tcp", "-noreset",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  // The server writes the number and its newline apart: read up to the
  // newline, for a server whose pipe is closed before its newline ends.
  char number[16] = {};
  size_t n = 0;
  while (server > 0 && n < sizeof number - 1 && !strchr(number, '\n')) {
    const ssize_t got = read(fds[0], number + n, sizeof number - 1 - n);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    n += size_t(got);
  }
  close(fds[0]);
  if (n == 0 || !strchr(number, '\n')) return -1;
  for (char* p = number; *p; p++)
    if (*p == '\n') *p = 0;
  setenv("DISPLAY", (std::string(":") + number).c_str(), 1);
  return int32_t(server);
}
