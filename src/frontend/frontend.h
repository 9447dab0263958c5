// Front end and game setup: start, the general initialisation, and the
// services that start-up and the fatal path need.
#pragma once
#include "runtime/short.h"

// Frees all OpenGL textures and display lists; nothing in text-only mode.
void flushopengl();
// Removes old temp files, creates the saved-games and temp folders, clears the world.
void general_init();
// 1 for a usable game name: 1..99 letters, digits, "-" and "_", not a reserved folder name.
int validgamename(const char* name);
// The OpenGL performance test of "--perftest".
void perftest();
// Dispatches the command-line modes or runs the main menu; returns on quit.
void start();
// Resets the world tables before a game is created or loaded.
void clearworld();
