// Battle replays of the last turn: the list of a province's battles, the
// jump from a battle report, and the replay itself, which runs the battle
// engine again on the world the replay carries, from its stored seed, while
// the battle view shows it and the engine checks every battle turn against
// the hosted battle. The live world (orders given since the turn was opened
// included) is set aside in "tmp_fl" of the temp folder around a replay and
// read back after it, whichever way the replay ends.
#pragma once
#include <vector>

#include "battle/battle.h"
#include "battleview/battleview.h"
#include "runtime/short.h"

// One replay of a turn file: its number (from 0), province and sides.
struct ReplayEntry {
  int32_t index, lnr, defender, attacker;
};
// The replays among the first `count` of the nation's turn file that were
// fought in province lnr (every one for lnr 0), read from their headers
// alone; the world is not touched. False when the turn file does not open.
bool listreplays(int32_t player, const char* gname, int32_t lnr, int32_t count, std::vector<ReplayEntry>& out);

enum class ReplayStatus { played, nofile, missing, cut };
// What the replay's battle turns gave against the hosted battle.
using ReplayCheck = BattleCheck;
// playvcr: play VCR, a battle replay.
// Replays the n-th battle (from 0) of the nation's turn file: the world is
// cleared and filled from the replay record, the battle set up from the
// stored seed and fought with the display hook `show` (none: nothing shown),
// every turn checked against the stored checksums. A turn that differs is
// logged and the battle goes on. The replay's world stays loaded for the
// caller's end report; the caller reads the live world back. Any status but
// `played` has fought nothing.
ReplayStatus playvcr(int32_t player, const char* gname, int32_t n, ReplayCheck* check, BattleViewHook show);
// The message a player is shown when a replay cannot be played.
const char* replayproblem(ReplayStatus status);

// The live world into "tmp_fl" of the temp folder, with the messages and
// the letters that the world file leaves out; false when it could not be
// written (nothing is then to be cleared). restoreworld reads it back; a
// set-aside world that cannot be read stops the program.
bool setasideworld();
void restoreworld();
// True while the live world is set aside (a replay's world is loaded).
bool worldisaside();

// The battles screen: the battles of province lnr among the first `count`
// replays of the turn file. One is played at once; several are listed
// (Exit 999, Escape, Return) and the list comes back after each replay. A
// right click on the list, or a left click on its plain text (the margin,
// the title bar), leaves it as Exit does; the wheel and the scroll bar only
// move it.
// A player outside 0..94 stops the program ("viewvcrs: bad player").
void viewvcrs(int32_t player, int32_t lnr, int32_t count, const char* gname);
// Plays the replay of a battle report (message msg): the one whose seed the
// report carries. alt (low 16 bits) only selects the battle's province.
void gotomsg(int32_t player, const char* gname, int32_t msg, int32_t alt);
