// Turn host: `newturn`, which turns a game's world file and its players'
// order files into the next world and turn files through the phases of
// host/phases.h, over the records of world/hoststate.h; the consistency
// check, the progress line, the files of a turn as one set, and the
// command-line modes that need no window.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "world/hoststate.h"

// What the command line asks the program to do, in the order the modes are
// tried: check a game's order files (--verify), make a random map
// (--makemap), the network server or client (--tcpserver, --tcpclient),
// host a game (--host, --finalhost, --superhost), play the named game (a
// bare word), or the Main Menu.
enum class RunMode { verify, makemap, server, client, host, game, menu };
RunMode chooserunmode();
// Runs the command-line mode that was asked for (--verify, --makemap,
// --host, --finalhost, --superhost, the network modes, which this version
// does not offer) and gives its exit status; in text-only mode without such
// a mode it says so and gives 1; -1 when the player's program goes on to its
// menus.
int runcommandlinemode();

// Generates the next turn of the game from "ftherlnd" and the order files of
// its human players and writes the next world file, every turn file (with
// the player's battle replays) and, when asked, "stats.txt" and
// "scores.html" as one set. The month of a world whose header says turn T is
// T - 1; the hosted month is T. turnwanted is the turn the caller expects
// the world to be at (-1: any). 1 when the new turn was written; 0 when the
// world file does not read or the files cannot be written (the old turn then
// stays as it was).
int newturn(const char* gname, int32_t turnwanted);
// Why the last hosting made no month (another host at work, a file that
// cannot be read, a mod that cannot be read whole, files that could not be
// put in place), each line as the console said it; "" after a month made.
const std::string& hostproblem();

// The files of a hosted turn are first written aside ("NAME.host"); a
// journal ("hostcommit") then names them, and they are renamed into place.
// A host stopped at any moment leaves the whole old turn, or, once the
// journal stands, a turn that this call completes. Every reader of a game's
// files calls it first. Returns the number of files put in place.
int32_t finishhostcommit(const char* gname);
// One file of a turn's set: bytes under a plain name in the game folder.
struct TurnFile {
  char name[100];
  std::vector<uint8_t> bytes;
};
// Writes the set aside and puts it in place; false (and the old files as
// they were) when a file could not be written or put in place, with the
// file and the cause in problem.
bool committurnfiles(const char* gname, const std::vector<TurnFile>& files, std::string* problem = nullptr);

// The progress line of hosting (console lines in text-only mode).
void startprogress(const char* title, int32_t reserved);
// The label with how far the job is (0..100).
void showprogress(const char* label, int32_t percent = 0);
void endprogress();

// Consistency check of the whole game state; stops the program through the
// fatal path on a broken link. Level 1 and above check every living unit
// and every province as well.
void bugcheck(int32_t level);

// The host road of the command line: scans the headers of the game's files,
// runs the --preexec command, hosts (newturn), runs --postexec; --host and
// --finalhost then end the program quietly, --superhost hosts again. The
// game's host lock is held throughout: a game that another program hosts is
// refused with a console line. The exit status when it returns.
int hostgame(const char* gname);

// The headers of a game's files as the nation list reads them: the host
// file's turn, and per nation with a turn file its turn and the turn of its
// order file (-1 none); played when the order file belongs to the current
// turn. A turn file that does not read as this game's (or fails its
// checksum) is listed with the damage and counts for nothing else; the next
// hosting writes it anew.
struct NationTurn {
  int32_t nation, turn, orderturn;
  bool played;
  char damage[200];   // why the turn file does not read, "" when it does
};
struct GameScan {
  int32_t hostturn = 0;
  bool hostfile = false;
  int32_t lastturn = 0;      // turn of the last turn file read
  int32_t humans = 0;        // nations with a turn file
  int32_t ready = 0;         // of those, the ones that have played
  int32_t lastready = -1, lastwaiting = -1;
  std::vector<NationTurn> nations;
};
GameScan scangame(const char* gname);
// One hosting of the scanned game under the game's host lock: the --preexec
// command, newturn, the --postexec command (a command that cannot be
// started is named in a message box; the host still runs), then each
// damaged turn file of the scan named with what became of it. 1 when the
// turn was hosted, 0 when it could not be, HOSTBUSY (with a console line, kept in hostproblem())
// when another program hosts the game or hosted it since the scan.
constexpr int HOSTBUSY = -1;
class GameLockScope;
// False, with a console line, when the host's lock leaves the game to
// another program (a host at work, order files being written on and on) or
// cannot be taken (a lock file that cannot be opened).
bool hostmayrun(const char* gname, const GameLockScope& lock);
int hostscanned(const char* gname, const GameScan& s);
