// Front end: start, the performance test, and the player side's part of
// start-up and shut-down.
#pragma once
#include "runtime/short.h"

// Hands the player side's part of the shared services to the layers below:
// the shut-down hooks of the fatal path (free the textures, close the
// window, stop sound) and the window behind the progress box. main calls it
// first of all.
void installplayerside();
// Frees all OpenGL textures and display lists; nothing in text-only mode.
void flushopengl();
// The OpenGL performance test of "--perftest".
void perftest();
// Dispatches the command-line modes or runs the main menu; returns on quit.
void start();

