// The seven folders of the program, decided at start-up from the
// install-location files, fixed candidates, the home folder and the environment.
#pragma once
#include "runtime/short.h"

extern char datapath[PATHLEN];
extern char confpath[PATHLEN];
extern char savepath[PATHLEN];
extern char modpath[PATHLEN];
extern char mappath[PATHLEN];
extern char localmappath[PATHLEN];
extern char temppath[PATHLEN];
// 1 once this process has created the temp folder; only then is it removed.
extern int32_t tempcreated;

constexpr const char* PRODUCTWORD = "veyrances3";

void initpaths();
int readinstalllocation(const char* word, char* destination);   // destination of PATHLEN
void expandpath(char* path, int32_t size);
void makemoddir();
int mkdirs(const char* path);   // 0 existed, 1 created, -1 failed (errno why)

// The folder of a game's files, "savepath/NAME"; while a new game of that
// name is being made, the folder in which it is made (redirectgame).
void gamefolder(char* path, int32_t size, const char* gname);
// Sends the files of the game to the folder; none ends the redirection.
void redirectgame(const char* gname, const char* folder);

// 1 for a usable game name: 1..99 letters, digits, "-" and "_", not a reserved folder name.
int validgamename(const char* name);
// Deletes "tmp_fl", "tmpmon.trs" and the battle replays "%d_%d.vcr" of the 95
// nations in the temp folder, then the folder itself; only when this process
// created the temp folder.
void removetmpfiles();
