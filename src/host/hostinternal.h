// Services inside the host that its files share; not for other subsystems.
#pragma once
#include <vector>

#include "runtime/short.h"

// ---------------------------------------------------------------- why no month was made
// Prints a line that tells why the month was not made and keeps it for the
// window's message box (hostproblem()).
__attribute__((format(printf, 1, 2))) void sayhostproblem(const char* format, ...);
void clearhostproblem();

// ---------------------------------------------------------------- order files
// Takes the world as its file has it, before any order file is read: the
// baseline against which every player's orders are checked.
void beginordercheck();
// After the player's order file was applied: fields no screen changes are
// put back; orders that cannot stand put the player's records back as the
// world file had them (with a message). 1 when the orders are used.
int checkorders(int32_t p);
// Tells the host operator that the player's orders were left unused, and why.
void reportunusedorders(int32_t p, const char* why);
// Stores the nation's wealth at the start of its coming turn.
void storecheatvalues(int32_t p);

// ---------------------------------------------------------------- the world during hosting
// Units and commanders of every land, rebuilt on demand after armies move.
struct LandIndex {
  std::vector<std::vector<int32_t>> units;   // living units by land (0..MAXLANDS-1)
  std::vector<std::vector<int32_t>> coms;    // living commanders by land
};
// Rebuilds the index from the tables.
const LandIndex& indexlands();

// The battles that movement and the orders raise, fought in the battles phase
// in the order they were found.
struct PendingBattle {
  int32_t land;
  int32_t defender, attacker;
  int32_t incastle;
  int32_t surprise;
  int32_t kind;                  // BK_ below
  std::vector<int32_t> units;    // an assassination: the target's body and the assassin's
};
enum BattleKind { BK_INVASION = 0, BK_ATTACK, BK_PATROL, BK_STORM, BK_BREAKSIEGE, BK_ASSASSIN };
extern std::vector<PendingBattle> pendingbattles;
// How a battle is fought when it is no plain meeting of armies.
struct BattleTerms {
  bool provdef = true;       // the province's defence fights for its owner
  int32_t trapped = 0;       // 1: the losers have nowhere to go and die
  int32_t turnlimit = 0;     // battle turns before the defender holds (0: the usual)
  bool report = true;        // both sides get the usual battle report
  int32_t* seed = nullptr;   // where the battle's seed is left, for a report of the caller's own
};
// host_battle with units of the land that stand apart (they keep out of the
// battle: hidden armies, or everyone but an assassin and the target).
int32_t fightbattle(int32_t lnr, int32_t defender, int32_t attacker, int32_t incastle, int32_t surprise,
                    const std::vector<int32_t>& apart, const BattleTerms& terms = {});

// The month's death matches in the arena (part of the orders phase).
void deathmatches();

// The name of the game being hosted.
extern char hostedgame[100];
// Players whose turn file is written: every human, and computer players
// whose game keeps turn files for them.
bool getsturnfile(int32_t p, const char* gname);
// Nations destroyed this month: they still get the turn file that tells them.
extern std::vector<int32_t> destroyedthisturn;

// Text of a nation for messages ("Ulm", or "the independents").
const char* nationname(int32_t p);
// Gold into (or out of) a treasury, which stays within 0..INT32_MAX.
void addgold(int32_t p, int64_t gold);
// count units of the type for the owner in the land, in the squad (-1 none),
// at home there; how many were made.
int32_t placeunits(int32_t type, int32_t owner, int32_t count, int32_t lnr, int32_t squad);
// Gives a new commander a name of its type's name kind.
void namecommander(int32_t cnr);
// A new commander of the type for the owner in the land, at home there,
// named, with its random magic rolled; -1 when no slot is free.
int32_t placecommander(int32_t type, int32_t owner, int32_t lnr);
// A message to a player about a land (land link when lnr is 1 or more).
int32_t landmsg(int32_t player, int32_t lnr, const char* format, ...) __attribute__((format(printf, 3, 4)));
