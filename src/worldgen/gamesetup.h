// New-game set-up: the game settings taken from the command line, era and
// participants (asked on the console until the new-game screens exist), the
// deletion of an old game of the same name, and the province and unit checks
// that world creation asks for.
#pragma once
#include "runtime/short.h"

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
// Removes the files of a game that this program names, and its folder when that is empty.
void removegamefiles(const char* gname);
// Removes the files of an old game of that name (after asking, unless in
// text-only mode); 0 when the user refused.
int32_t deletegamefiles(const char* gname, const char* question);
void initcapitalland(int32_t lnr);
// 1 when the land or a land within the steps (of the kind: 0 dry land, 1 sea,
// else any) belongs to a player other than the independents.
int32_t nearowned(int32_t lnr, int32_t steps, int32_t kind);
// Stops on a unit overflow, and (debug level above 0) on a commander whose
// body does not point back at it.
void unitcheck(int32_t level);
