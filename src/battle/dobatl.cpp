// The battle from its set-up to its aftermath: the turns, the checksums
// that let a replay be checked against the hosted battle, the display
// hook, and what the battle leaves in the world.
#include <algorithm>

#include "battle/engine.h"
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "world/rules.h"

namespace {
struct Hash {
  uint32_t h = 2166136261u;
  void add(int32_t v) {
    for (int32_t i = 0; i < 4; i++) {
      h ^= uint32_t(v >> (8 * i)) & 0xFF;
      h *= 16777619u;
    }
  }
};

// What a replay must reproduce: every unit's place and state, in fighter
// order, and the random generator's position. Unit numbers of units made
// during the battle may differ between host and replay and are left out.
int32_t battlechecksum(bool setup) {
  Hash h;
  if (setup) {
    h.add(bs.land);
    h.add(bs.player[0]);
    h.add(bs.player[1]);
    h.add(bs.incastle);
    h.add(bs.provdef);
    h.add(bs.surprise);
    h.add(battlesnow);
    h.add(battlerain);
  }
  h.add(bs.turn);
  h.add(bs.nfighters);
  for (int32_t f = 0; f < bs.nfighters; f++) {
    const Fighter& x = fighter[f];
    const Unit& u = unit[x.unr];
    if (setup) {
      h.add(u.type);
      h.add(u.owner);
      h.add(x.group);
      h.add(x.def);
      h.add(x.prot[LOC_BODY]);
    }
    h.add(x.state);
    h.add(u.hp);
    h.add(x.x);
    h.add(x.y);
    h.add(u.batstate);
    h.add(u.fatigue);
    h.add(u.ammo);
  }
  const RndState r = getrndstate();
  h.add(r.index);
  h.add(r.shift);
  h.add(int32_t(r.xorword));
  return h.h == 0 ? 1 : int32_t(h.h);
}

// Stores or compares the turn's checksum; 1 when it matched the stored one,
// 0 when not, -1 when there was nothing to compare with.
int32_t checksum(int32_t turn, bool compare) {
  if (turn >= MAXCHECKSUMS) return -1;
  const int32_t c = battlechecksum(turn == 0);
  if (!compare) {
    battlechecksums[turn] = c;
    debugprint(turn == 0 ? "Saving setup checksum\n" : "Saving checksum\n");
    return -1;
  }
  if (turn == 0) {
    if (battlechecksums[0] == c) debugprint("This battle looks just like I have forseen\n");
    else debugprint("***** Warning: Battle inconsistency (turn 0)\n");
    return battlechecksums[0] == c ? 1 : 0;
  }
  if (battlechecksums[turn] == 0) return -1;
  if (battlechecksums[turn] == c) debugprint("Battle running along just as I have forseen\n");
  else debugprint("***** Warning: Battle inconsistency (turn %d)\n", turn);
  return battlechecksums[turn] == c ? 1 : 0;
}

void showturn(int32_t foreseen) {
  if (!battleviewhook) return;
  BattleFrame frame;
  frame.turn = bs.turn;
  frame.nunits = bs.nfighters;
  frame.units = fighterunit.data();
  frame.nevents = bs.nevents;
  frame.events = battleevents.data();
  frame.foreseen = foreseen;
  battleviewhook(frame);
}

// A neighbouring land the player holds, drawn with rnd; -1 none. A replay's
// world holds the battle's land alone, whose flag word carries the host's
// word on each side: the losers of a side that had no way out die, those
// of a side that had one leave by a land of theirs, or by the land's first
// neighbour when the replay knows none of theirs.
int32_t retreatland(int32_t player) {
  const int32_t l = bs.land;
  if (l < 1 || l >= MAXLANDS) return -1;
  const int16_t told = land[l].reserved;
  const int16_t way = player == bs.player[0] ? LF_DEFENDERWAY : player == bs.player[1] ? LF_ATTACKERWAY : 0;
  if ((told & LF_WAYSTOLD) && !(told & way)) return -1;
  int32_t options[MAXNEIGHBOURS], n = 0;
  for (int32_t i = 0; i < MAXNEIGHBOURS; i++) {
    const int32_t nb = provgeo[l].nbr[i];
    if (nb < 1) break;
    if (nb < MAXLANDS && land[nb].owner == player) options[n++] = nb;
  }
  if (n == 0 && (told & LF_WAYSTOLD) && provgeo[l].nbr[0] >= 1) return provgeo[l].nbr[0];
  return n == 0 ? -1 : options[n == 1 ? 0 : rnd(n)];
}

void removetemporary(int32_t unr) {
  Unit& u = unit[unr];
  const int32_t c = u.comnr;
  if (c >= 0 && c < MAXCOMS && com[c].body == unr) com[c].body = -1;
  u.comnr = -1;
  u.hp = 0;
  setunitland(unr, -1);
  setunitsquad(unr, -1);
}

// What the battle leaves: the dead removed, temporary units gone, the
// losers' survivors retreating with their commanders, every battle field
// reset, experience for those who lived through it.
void aftermath(int32_t winner, int32_t trapped) {
  const int32_t loser = winner == bs.player[0] ? 1 : 0;
  // Units without a living leader share one retreat land.
  int32_t leaderless = -2;
  for (int32_t f = 0; f < bs.nfighters; f++) {
    Fighter& x = fighter[f];
    Unit& u = unit[x.unr];
    endbattlestates(f, true);
    const bool temporary = u.tmp == 1;
    if (x.state == FS_DEAD || u.hp < 1) {
      battleresult.killed[x.side]++;
      if (temporary) removetemporary(x.unr);
      else killunit(x.unr);
      continue;
    }
    if (x.state == FS_OFF) battleresult.fled[x.side]++;
    if (temporary) {
      removetemporary(x.unr);
      continue;
    }
    if (u.exp < INT16_MAX) u.exp++;
    if (x.cnr >= 0) com[x.cnr].kills = int16_t(std::min<int32_t>(INT16_MAX, com[x.cnr].kills + x.kills));
    u.x = u.y = -1;
    u.batstate = BS_NONE;
    u.batorder = 0;
    u.batcounter = 0;
    u.fatigue = 0;
    u.moralemod = 0;
    u.poison = 0;
    u.ammo = 0;
  }
  // The losing side's survivors go with their commanders.
  for (int32_t pass = 0; pass < 2; pass++) {
    for (int32_t f = 0; f < bs.nfighters; f++) {
      Fighter& x = fighter[f];
      Unit& u = unit[x.unr];
      if (x.side != loser || u.hp < 1 || u.land != bs.land) continue;
      // Commanders first (pass 0), so that their troops follow them.
      const bool commander = x.cnr >= 0;
      if ((pass == 0) != commander) continue;
      int32_t dest;
      if (trapped) {
        dest = -1;
      } else if (commander) {
        dest = retreatland(u.owner);
      } else {
        const int32_t c = group[x.group].cnr;
        const int32_t body = c >= 0 ? com[c].body : -1;
        if (body >= 0 && unit[body].hp > 0 && unit[body].land != bs.land && unitfighter(body) >= 0) {
          dest = unit[body].land;
        } else {
          if (leaderless == -2) leaderless = retreatland(u.owner);
          dest = leaderless;
        }
      }
      if (dest < 0) {
        battleresult.died_trapped++;
        killunit(x.unr);
      } else {
        battleresult.retreated++;
        setunitland(x.unr, dest);
      }
    }
  }
}
}  // namespace

bool haslandbeside(int32_t lnr, int32_t player) {
  if (lnr < 1 || lnr >= MAXLANDS) return false;
  for (int32_t i = 0; i < MAXNEIGHBOURS; i++) {
    const int32_t nb = provgeo[lnr].nbr[i];
    if (nb < 1) break;
    if (nb < MAXLANDS && land[nb].owner == player) return true;
  }
  return false;
}

int32_t dobatl(int32_t defender, int32_t attacker, int32_t view, int32_t trapped, int32_t checksums,
               int32_t turnlimit) {
  bailif(bs.land < 0 || bs.player[0] != defender || bs.player[1] != attacker, "dobatl: bad battle");
  const int32_t limit = turnlimit > 0 ? std::min<int32_t>(turnlimit, MAXBATTLETURNS) : DEFAULTBATTLETURNS;
  const bool compare = battlechecksums[0] != 0;
  const BattleViewHook hook = battleviewhook;
  if (!view) battleviewhook = nullptr;
  bs.turn = 0;
  bs.nevents = 0;
  showturn(checksums ? checksum(0, compare) : -1);
  int32_t winner = -1;
  while (winner < 0) {
    bs.turn++;
    bs.nevents = 0;
    battleturn();
    endofturn();
    showturn(checksums ? checksum(bs.turn, compare) : -1);
    if (bs.active[1] <= 0) winner = defender;
    else if (bs.active[0] <= 0) winner = attacker;
    else if (bs.turn >= limit) winner = defender;
  }
  battleviewhook = hook;
  battleresult.land = bs.land;
  battleresult.defender = defender;
  battleresult.attacker = attacker;
  battleresult.winner = winner;
  battleresult.turns = bs.turn;
  aftermath(winner, trapped);
  inbattle = 0;
  battlesnow = battlerain = 0;   // the weather was the battle's own
  bs.land = -1;                  // fought: a second dobatl needs a new set-up
  return winner;
}
