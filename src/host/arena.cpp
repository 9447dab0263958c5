// Death matches in the Arena of Champions. While the arena stands, the
// commanders sent to it this month (order 49, one champion a nation) are
// paired by the hosting's own generator, so the same files give the same
// pairs. Each pair fights a battle of the two champions alone, their own
// bodies with their items and no troops, in the province where the arena's
// caster stands (the first champion's own when the caster stands nowhere).
// There is no retreat: the loser dies, the winner gains experience and goes
// home, and both nations get a report from which the match can be watched.
// A champion left without an opponent waits for the next month.
#include <cstring>
#include <utility>
#include <vector>

#include "actions/orderrules.h"
#include "battle/battle.h"
#include "host/host.h"
#include "host/hostinternal.h"
#include "host/phases.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/scores.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr int32_t CHAMPIONSTRIDENT = 1;    // its holder is bound to the arena
constexpr int32_t ARENAEXP = 10;           // the winner's experience, on top of any battle's
const char* const COMPETE = "compete in the arena";

struct Champion {
  int32_t cnr, player, body, home;
  char name[36];
};

Champion champion(int32_t c) {
  Champion x{c, complayer(c), com[size_t(c)].body, comland(c), {}};
  strlcopy(x.name, comshownname(c), sizeof x.name);
  return x;
}

bool alive(const Champion& x) { return unit[size_t(x.body)].hp >= 1 && com[size_t(x.cnr)].body == x.body; }

const char* arenaname(int32_t e) {
  const int32_t s = ench[size_t(e)].spell;
  return s > 0 && s < MAXSPELLS && spells[size_t(s)].name[0] ? spells[size_t(s)].name : "Arena of Champions";
}

// The province of the arena's caster, -1 when it stands in none.
int32_t arenaland(int32_t e) {
  const int32_t caster = ench[size_t(e)].caster;
  if (caster < 0 || caster >= MAXUNITS || unit[size_t(caster)].hp < 1) return -1;
  const int32_t l = unit[size_t(caster)].land;
  return l >= 1 && l <= nbrlands ? l : -1;
}

// Both nations hear of the match; the report shows it again.
void tellmatch(const Champion& x, const Champion& y, int32_t lnr, int32_t seed, const char* arena) {
  const bool xlives = alive(x), ylives = alive(y);
  for (int32_t p : {x.player, y.player}) {
    if (p == INDEPENDENTS || !activeplayer(p)) continue;
    const int32_t m = newmsg(lnr, p, MT_BATTLE, seed);
    if (m < 0) continue;
    message[size_t(m)].subj[1] = lnr;
    t2msg(m, "Death match in the %s\n\n%s of %s and %s of %s fought in the %s in %s. ", arena, x.name,
          nationname(x.player), y.name, nationname(y.player), arena, land[size_t(lnr)].name);
    const Champion& won = xlives ? x : y;
    const Champion& lost = xlives ? y : x;
    if (xlives != ylives)
      t2msg(m, "%s of %s won and has gained experience; %s of %s was slain.", won.name, nationname(won.player),
            lost.name, nationname(lost.player));
    else
      t2msg(m, xlives ? "Neither could slay the other." : "Neither left the arena alive.");
  }
}

// After the match the winner's order is done, unless the Champion's Trident
// binds it to the arena.
void endmatch(const Champion& x) {
  if (!alive(x)) return;
  setunitland(x.body, x.home);
  if (!comhasitem(x.cnr, CHAMPIONSTRIDENT)) orderdone(x.cnr);
}

void fightmatch(const Champion& x, const Champion& y, int32_t e) {
  const int32_t lnr = arenaland(e) >= 1 ? arenaland(e) : x.home;
  setunitland(x.body, lnr);
  setunitland(y.body, lnr);
  // Everyone else in the province watches.
  std::vector<int32_t> apart;
  for (int32_t u : unitsin(lnr, -1))
    if (u != x.body && u != y.body) apart.push_back(u);
  BattleTerms terms;
  int32_t seed = 0;
  terms.provdef = false;
  terms.trapped = 1;
  terms.turnlimit = MAXBATTLETURNS;
  terms.report = false;
  terms.seed = &seed;
  fightbattle(lnr, x.player, y.player, 0, 0, apart, terms);
  const bool xlives = alive(x), ylives = alive(y);
  if (xlives != ylives) {
    Unit& winner = unit[size_t(xlives ? x.body : y.body)];
    winner.exp = int16_t(imin(32767, winner.exp + ARENAEXP));
  }
  tellmatch(x, y, lnr, seed, arenaname(e));
  endmatch(x);
  endmatch(y);
}
}  // namespace

void deathmatches() {
  std::vector<int32_t> entrants;
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++)
    if (com[size_t(c)].order == Order::deathmatch && comalive(c) && comland(c) >= 1 && complayer(c) != INDEPENDENTS &&
        activeplayer(complayer(c)))
      entrants.push_back(c);
  if (entrants.empty()) return;
  const int32_t e = findench(EN_ARENA, 0, -1);   // the arena is recorded on land 0
  // The order rule keeps one champion a nation, the first by number, and
  // refuses the others (and every one while no arena stands).
  std::vector<std::pair<int32_t, Refusal>> refused;
  std::vector<Champion> field;
  for (int32_t c : entrants) {
    if (Refusal r = orderallowed(c, Order::deathmatch, 0)) refused.emplace_back(c, std::move(r));
    else field.push_back(champion(c));
  }
  for (const auto& [c, r] : refused) failorder(c, COMPETE, r);
  if (e < 0) return;
  for (size_t i = field.size(); i > 1; i--) std::swap(field[i - 1], field[size_t(rnd(int32_t(i)))]);
  for (size_t i = 0; i + 1 < field.size(); i += 2) fightmatch(field[i], field[i + 1], e);
  if (field.size() % 2)
    landmsg(field.back().player, field.back().home, "%s found no opponent in the %s this month and waits for the next.",
            field.back().name, arenaname(e));
}
