// One battle of a hosted turn. The forces outside the battle's province are
// set aside and taken out of the tables, so that the battle and its replays
// hold the province alone; every player in the game who fights gets a
// replay with the battle's set-up; the table generator is seeded once
// with the battle's seed right before the set-up and the checksum table is
// cleared first, so the replay fights the same battle; then the forces come
// back and both sides get a report.
#include "battle/battle.h"
#include "gamefiles/gamefiles.h"
#include "host/host.h"
#include "host/hostinternal.h"
#include "host/phases.h"
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/grammar.h"
#include "world/rules.h"
#include "world/world.h"

int32_t battlesfought = 0;

namespace {
bool seesbattle(int32_t p) { return activeplayer(p) && p != INDEPENDENTS; }

// The commanders that stand alive in the land before a battle, with their
// names, so that those who fall can be named after it.
struct Fallen {
  int32_t cnr;
  char name[36];
};
bool alive(int32_t c) {
  const int32_t b = com[size_t(c)].body;
  return b >= 0 && b < MAXUNITS && unit[size_t(b)].hp >= 1;
}
std::vector<Fallen> commandershere(int32_t lnr) {
  std::vector<Fallen> here;
  for (int32_t c : commandersintable()) {
    if (!alive(c) || unit[size_t(com[size_t(c)].body)].land != lnr) continue;
    Fallen f{c, {}};
    strlcopy(f.name, comshownname(c), sizeof f.name);
    here.push_back(f);
  }
  return here;
}

// Those of them left without a living body.
std::vector<Fallen> fallen(const std::vector<Fallen>& before) {
  std::vector<Fallen> dead;
  for (const Fallen& f : before)
    if (!alive(f.cnr)) dead.push_back(f);
  return dead;
}

void report(int32_t p, int32_t lnr, int32_t seed, int32_t defender, int32_t attacker, int32_t winner,
            const std::vector<Fallen>& dead) {
  if (!seesbattle(p)) return;
  const int32_t m = newmsg(lnr, p, MT_BATTLE, seed);
  if (m < 0) return;
  message[size_t(m)].subj[1] = lnr;
  const bool own = winner == p;
  const int32_t side = p == defender ? 0 : 1;
  t2msg(m, "Battle of %s\n\n%s attacked %s in %s. %s the battle.\n\nYou lost %d units; the enemy lost %d.",
        land[size_t(lnr)].name, nationname(attacker), nationname(defender), land[size_t(lnr)].name,
        own ? "You won" : "You lost", battleresult.killed[side], battleresult.killed[1 - side]);
  for (const Fallen& f : dead) t2msg(m, "\n%s died in the battle of %s.", f.name, land[size_t(lnr)].name);
}

// Every unit and commander outside the land leaves the tables for the
// battle and comes back after it, as it was. They are kept aside in memory,
// records and run-time state alike (a unit's temp mark and battle state, a
// commander's scratch values), while the unit indexes keep them listed
// under their keys; what the tables still hold outside the land then goes
// to the set-aside file "tmp_fl" of the temp folder and is read back from
// it. The forces of the other battle provinces are moved aside in memory,
// not written and read back, so that a battle costs what its own province
// holds; everyone else is kept aside once for all the month's battles.
void setaside(int32_t lnr) {
  setunitsaside(std::span(&lnr, 1));
  setforcesaside(lnr);
}

void takeback() {
  takeforcesback(KEEPSTATE);
  takeunitsback();
}
}  // namespace

int32_t fightbattle(int32_t lnr, int32_t defender, int32_t attacker, int32_t incastle, int32_t surprise,
                    const std::vector<int32_t>& apart, const BattleTerms& terms) {
  bailif(lnr < 1 || lnr > nbrlands, "host_battle: bad lnr");
  bailif(defender < 0 || defender >= MAXKINGDOMS || attacker < 0 || attacker >= MAXKINGDOMS, "host_battle: bad player");
  battlechecksums.fill(0);
  // The seed comes from the hosting's own sequence, so the same files give
  // the same battles; the hosting goes on from where it was afterwards.
  const int32_t seed = 1 + rnd(1 << 30);
  const RndState hostrnd = getrndstate();
  std::vector<std::pair<int32_t, int16_t>> away;
  for (int32_t u : apart) {
    if (u < 0 || u >= MAXUNITS || unit[size_t(u)].land != lnr) continue;
    away.push_back({u, unit[size_t(u)].land});
    setunitland(u, -1);
  }
  setaside(lnr);
  const std::vector<Fallen> commanders = commandershere(lnr);
  const int32_t provdef =
      terms.provdef && land[size_t(lnr)].owner == defender && defender != INDEPENDENTS ? land[size_t(lnr)].provdef : 0;
  const int32_t turnlimit = imax(terms.turnlimit, 0);
  std::vector<GameFile> replays;
  // A replay holds the battle's land alone: the land it carries says
  // whether the losers of each side have a land of their own beside it to
  // retreat to, so that they go (or die) in the replay as they do here.
  int16_t& flags = land[size_t(lnr)].reserved;
  const int16_t before = flags;
  flags = int16_t(flags | LF_WAYSTOLD);
  if (!terms.trapped && haslandbeside(lnr, defender)) flags = int16_t(flags | LF_DEFENDERWAY);
  if (!terms.trapped && haslandbeside(lnr, attacker)) flags = int16_t(flags | LF_ATTACKERWAY);
  // A replay goes into the player's turn file: a computer player whose game
  // writes none gets none.
  for (int32_t p : {defender, attacker})
    if (p < MAXPLAYERS && seesbattle(p) && getsturnfile(p, hostedgame)) {
      GameFile f = crvcr(p, lnr, defender, attacker, incastle, seed, provdef, surprise, turnlimit);
      if (f) replays.push_back(std::move(f));
    }
  flags = int16_t(before & ~(LF_WAYSTOLD | LF_DEFENDERWAY | LF_ATTACKERWAY));
  seedrnd(seed);
  initbattle(lnr, defender, attacker, incastle, provdef, surprise);
  const int32_t winner = dobatl(defender, attacker, 0, terms.trapped, 1, turnlimit);
  for (GameFile& f : replays) closevcr(std::move(f));
  const std::vector<Fallen> dead = fallen(commanders);
  flags = before;
  takeback();
  for (const auto& [u, l] : away)
    if (unit[size_t(u)].land == -1) setunitland(u, l);
  setrndstate(hostrnd);
  land[size_t(lnr)].reserved |= LF_BATTLE;
  battlesfought++;
  debugprint("battle in %d: %d attacks %d, %d wins (seed %d)\n", lnr, attacker, defender, winner, seed);
  if (terms.seed) *terms.seed = seed;
  if (!terms.report) return winner;
  report(defender, lnr, seed, defender, attacker, winner, dead);
  report(attacker, lnr, seed, defender, attacker, winner, dead);
  return winner;
}

int32_t host_battle(int32_t lnr, int32_t defender, int32_t attacker, int32_t incastle, int32_t surprise) {
  return fightbattle(lnr, defender, attacker, incastle, surprise, {});
}
