// The command line: run modes, options of a new game, of a random map and of
// network play, and per-run overrides of graphics and sound settings.
#pragma once
#include "runtime/short.h"

// Run-mode flags.
extern int32_t hostmode;      // 1 host one turn, 2 final host
extern int32_t netmode;       // 1 server, 2 client
extern int32_t textonly;
extern int32_t verify;
extern int32_t superhost;
extern int32_t perftestflag;
extern int32_t statfile;
extern int32_t scoredump;
extern int32_t comptrn;
extern int32_t allai;
extern int32_t nonationsel;
extern int32_t quickhost;
extern int32_t nocheatdet;
extern char makemapname[500];
extern const char* gamename;  // the bare word of the command line, or null

constexpr int NATIONCONTROLS = 95;
// Per nation: 0 no override, -3 closed, 20..24 computer player Easy..Impossible.
extern int32_t nationcontrol[NATIONCONTROLS];

// Network.
extern char ipadr[250];
extern int32_t port;
extern char preexec[500];
extern char postexec[500];
extern int32_t hosthour[7];
extern int32_t hostinterval;
extern int32_t pauseday[7];
extern int32_t uploadtime;
extern int32_t uploadmaxp;
extern int32_t clientstart;

// New game (-1 means the game's own default).
extern int32_t researchdiff, hofsize, indepstr, magicsites, eventrarity;
extern int32_t totalvp, requiredvp, richness, resources, supplies, startprov;
extern int32_t eraoption;
extern int32_t capitalvp, summervp, renaming, noscoregraphs, nonationinfo;
// Set on the new-game screen only (no command-line switch): the game hosts itself once all humans played.
extern int32_t autohostgame;
extern char masterpass[50];
extern char mapfile[500];
extern int32_t randmap;

// Random map.
extern int32_t riverpart, seapart, mountpart, forestpart, farmpart, wastepart, swamppart;
extern int32_t mapnoise, borderwidth;
extern int32_t mapsize[2];     // width, height; -1 until given
extern int32_t mapprov, mapaa, impassmount;
extern int32_t mapgcol[4], mapscol[4], mapbcol[4], mapsbcol[4];   // R G B A, -1 until given

// Switches.
extern int32_t glext, vsync, arcade, popups, endcredits, badmouse, badgl, compression;

// 1 while the option just parsed waits for its value.
extern int32_t pendingvalue;

// Parses one option, switch or option value. May end the process (usage,
// version, unknown switch, "--exit", bad values).
void parseoption(const char* text);
// Hands every argument after the program name to parseoption as main does:
// "--x" whole, "-abc" as "-a" "-b" "-c", a pending value, or the game name.
void parsecommandline(int argc, char** argv);
// The values low..high that a numeric option takes, and its usage text;
// false when no option of numbers has that name. The new-game screens offer
// the same values as the command line.
bool optionrange(const char* name, int32_t* low, int32_t* high, const char** help);
// --enablemod NAME: mods/, a folder above this one that keeps the enabled-mod
// list, sets this hook before main runs. first is true for the first
// --enablemod of a command line, whose list replaces the stored one.
using enablemodoptionfn = void (*)(const char* name, bool first);
void setenablemodoption(enablemodoptionfn enable);
// Puts every command-line value back to its built-in value.
void resetoptions();
