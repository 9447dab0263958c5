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

// ---------------------------------------------------------------- new game settings and services
// Victory-point provinces worth 1, 2 and 3 points that a new game places.
extern int32_t vpprovinces[3];
// Copies the command-line game options into the game settings.
void applygamesettings(int32_t mode);
// The command line's per-nation controllers into the player slots.
void applynationcontrol();
int32_t gamesettings(int32_t mode);           // 0 when the user went back
int32_t selectera(int32_t mode);              // 1..3, 0 back
int32_t chooseparticipants(int32_t fresh, int32_t era);   // above 0 when confirmed
void assignnations(int32_t era);
int32_t designallgods(int32_t era, const char* gname);
// Removes the files of an old game of that name (after asking, unless in
// text-only mode); 0 when the user refused.
// Removes the files of a game that this program names, and its folder when that is empty.
void removegamefiles(const char* gname);
int32_t deletegamefiles(const char* gname, const char* question);
void initcapitalland(int32_t lnr);
// 1 when the land or a land within the steps (of the kind: 0 dry land, 1 sea,
// else any) belongs to a player other than the independents.
int32_t nearowned(int32_t lnr, int32_t steps, int32_t kind);
// Stops on a unit overflow, and (debug level above 0) on a commander whose
// body does not point back at it.
void unitcheck(int32_t level);
