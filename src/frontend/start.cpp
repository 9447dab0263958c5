#include <SDL.h>
#include <GL/gl.h>

#include <cstdio>

#include "frontend/frontend.h"
#include "gfx/gfx.h"
#include "runtime/fatal.h"
#include "runtime/options.h"

void perftest() {
  for (int test = 0; test < 3; test++) printf("Test %d, %f frames per second\n", test, benchmarkfps(1000, test));
}

void start() {
  if (textonly) {
    printf("This mode is not available in this version yet.\n");
    fflush(stdout);
    exit(1);
  }
  for (;;) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      if (event.type == SDL_QUIT) return;
      if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) return;
    }
    glClearColor(0.1f, 0.1f, 0.15f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapBuffers();
    SDL_Delay(20);
  }
}
