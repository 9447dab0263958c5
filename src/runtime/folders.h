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
// The temp folder that programs share (VEY3_TEMP, else /tmp/veyrances3_UID)
// and this process's own folder in it, "TEMPPREFIX<pid>" (made by
// opentempfolder; temp files and battle replays go there).
extern char tempbase[PATHLEN];
extern char temppath[PATHLEN];
constexpr const char* TEMPPREFIX = "vey3-";
// 1 once this process has created its temp folder; only then is it removed.
extern int32_t tempcreated;
// 1 when tempbase is the default "/tmp/veyrances3_UID" (no VEY3_TEMP): used
// only when it is this user's own (see opentempfolder).
extern int32_t tempbasedefault;
// 1 when this process made tempbase as a folder of its own in place of a
// default one not the user's own; removed at its end.
extern int32_t tempbasemade;

constexpr const char* PRODUCTWORD = "veyrances3";

void initpaths();
int readinstalllocation(const char* word, char* destination);   // destination of PATHLEN
// Expands "%NAME%" at the start and "~" or "~/..." (the home folder) and cuts
// trailing slashes; false (the path unchanged) for "~" without a home folder.
bool expandpath(char* path, int32_t size);
// HOME, else the user's home folder in the password database; null when
// neither names one.
const char* homefolder();
void makemoddir();
int mkdirs(const char* path);   // 0 existed, 1 created, -1 failed (errno why)

// The folder of a game's files, "savepath/NAME"; while a new game of that
// name is being made, the folder in which it is made (redirectgame).
void gamefolder(char* path, int32_t size, const char* gname);
// Sends the files of the game to the folder; none ends the redirection.
void redirectgame(const char* gname, const char* folder);

// 1 for a usable game name: 1..99 letters, digits, "-" and "_", not a reserved folder name.
int validgamename(const char* name);
// Makes the shared temp folder and this process's folder in it, after
// removing the folders in it of programs that are gone (killed ones leave
// theirs). A default shared folder that is not the user's own (another
// account's, a link, writable by others) is said and left: a folder of the
// program's own takes its place, or the start ends with status 1. Such
// folders of the program's own that killed programs left beside it go
// too, and a default shared folder of the user's own that the group may
// write is made private again. Stops through the fatal path, naming the
// folder, when a folder cannot be made.
void opentempfolder();
// Deletes "tmp_fl", "tmpmon.trs" and the battle replays "%d_%d.vcr" of the 95
// nations in the temp folder, then the folder itself; only when this process
// created the temp folder.
void removetmpfiles();
