// Mercenary bands: contracts run out month by month and are paid from the
// employer's treasury; free bands, and bands whose contract ends this month,
// go to the highest bid that reaches their price (the employer's own bid
// counted double); new bands come for hire now and then. A bid's gold left
// the treasury when it was made (the bidding box, the computer players), so
// every bid is paid back before the bids are settled and the winner pays
// its first month again.
#include <algorithm>

#include "host/host.h"
#include "host/hostinternal.h"
#include "host/phases.h"
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"
#include "worldgen/mercenaries.h"

namespace {
constexpr int32_t CONTRACTMONTHS = 3;
constexpr int32_t NEWBANDCHANCE = 10;   // percent a month while a slot is free

bool hired(const MercBand& m) { return m.value[MB_EMPLOYER] >= 0 && m.value[MB_EMPLOYER] < MAXPLAYERS; }

// The band's leader and its troops: the leader's body and the mercenaries in
// its squads.
std::vector<int32_t> bandunits(int32_t leader) {
  std::vector<int32_t> v;
  if (combody(leader) < 0) return v;
  for (int32_t u : armyunits(leader))
    if (unit[size_t(u)].homeland == -2) v.push_back(u);
  return v;
}

void moveband(int32_t leader, int32_t owner, int32_t lnr) {
  for (int32_t u : bandunits(leader)) {
    unit[size_t(u)].owner = int8_t(owner);
    setunitland(u, lnr);
  }
}

void endcontract(int32_t b, const char* why) {
  MercBand& m = mercband[size_t(b)];
  const int32_t p = m.value[MB_EMPLOYER];
  const int32_t leader = m.value[MB_LEADER];
  if (p >= 0 && p < MAXPLAYERS) {
    for (int32_t i = 0; i < 5; i++)
      if (kingdom[size_t(p)].w[KW_MERCBAND + i] == b && kingdom[size_t(p)].w[KW_MERCPAY + i] > 0) {
        kingdom[size_t(p)].w[KW_MERCPAY + i] = 0;
        kingdom[size_t(p)].w[KW_MERCBAND + i] = -1;
      }
    landmsg(p, comland(leader), "Mercenaries\n\n%s %s.", m.name, why);
  }
  if (comalive(leader)) {
    com[size_t(leader)].order = Order::defend;
    moveband(leader, MERCOWNER, MERCLAND);
  }
  m.value[MB_EMPLOYER] = -1;
  m.value[MB_MONTHS] = 0;
}

bool freecontract(int32_t p) { return recmercs(p, -1) < 5; }

void hire(int32_t b, int32_t p, int32_t bid, int32_t lnr) {
  MercBand& m = mercband[size_t(b)];
  Kingdom& k = kingdom[size_t(p)];
  k.gold -= bid;
  for (int32_t i = 0; i < 5; i++)
    if (k.w[KW_MERCPAY + i] <= 0) {
      k.w[KW_MERCPAY + i] = int16_t(imin(bid, 32767));
      k.w[KW_MERCBAND + i] = int16_t(b);
      break;
    }
  m.value[MB_EMPLOYER] = int16_t(p);
  m.value[MB_MONTHS] = CONTRACTMONTHS;
  moveband(m.value[MB_LEADER], p, lnr);
  landmsg(p, lnr, "Mercenaries\n\n%s has been hired for %d gold a month and waits in %s.", m.name, bid,
          land[size_t(lnr)].name);
}

// `lastemployer` is the nation whose contract ended this month (-1 none):
// its bid counts double.
void settlebids(int32_t b, int32_t lastemployer) {
  MercBand& m = mercband[size_t(b)];
  const int32_t leader = m.value[MB_LEADER];
  // Bids from the highest down; the first that can be honoured wins.
  std::vector<int32_t> bidders;
  for (int32_t p = 0; p < MAXPLAYERS; p++)
    if (activeplayer(p) && kingdom[size_t(p)].w[KW_MERCBIDS + b] > 0) bidders.push_back(p);
  auto weight = [&](int32_t p) { return kingdom[size_t(p)].w[KW_MERCBIDS + b] * (p == lastemployer ? 2 : 1); };
  std::stable_sort(bidders.begin(), bidders.end(), [&](int32_t a, int32_t c) { return weight(a) > weight(c); });
  int32_t winner = -1;
  for (int32_t p : bidders) {
    const int32_t bid = kingdom[size_t(p)].w[KW_MERCBIDS + b];
    const int32_t lnr = kingdom[size_t(p)].w[KW_MERCBIDLAND + b];
    const char* why = nullptr;
    if (bid < mercprice(b, p, lastemployer)) why = "the bid was below the band's price";
    else if (winner >= 0) why = "another nation bid more";
    else if (kingdom[size_t(p)].gold < bid) why = "the treasury could not pay the first month";
    else if (lnr < 1 || lnr > nbrlands || land[size_t(lnr)].owner != p) why = "the province of the bid is not yours";
    else if ((provgeo[size_t(lnr)].terrain & TM_SEA) && !breatheswater(combody(leader)))
      why = "the band cannot go under water";
    else if (!freecontract(p)) why = "the nation holds five contracts already";
    if (why) {
      landmsg(p, -1, "Mercenaries\n\nYour bid for %s failed: %s.", m.name, why);
      continue;
    }
    winner = p;
    hire(b, p, bid, lnr);
  }
}
}  // namespace

void mercenaryphase() {
  for (int32_t p = 0; p < MAXPLAYERS; p++)
    for (int32_t b = 0; b < 5; b++) kingdom[size_t(p)].gold += imax(0, kingdom[size_t(p)].w[KW_MERCBIDS + b]);
  for (int32_t b = 0; b < MAXMERCBANDS; b++) {
    MercBand& m = mercband[size_t(b)];
    if (m.value[MB_LEADER] < 0) continue;
    const int32_t leader = m.value[MB_LEADER];
    if (!comalive(leader)) {
      // The band breaks up with its leader; hired troops stay as ordinary units.
      if (hired(m)) endcontract(b, "has broken up: its leader is dead");
      for (int32_t u = 0; u <= highestunit; u++) {
        Unit& x = unit[size_t(u)];
        if (x.hp < 1 || x.homeland != -2) continue;
        if (x.owner == MERCOWNER && x.land == MERCLAND && x.squad != -1 && squadcommander(x.squad) < 0) killunit(u);
      }
      m.value[MB_LEADER] = -1;
      m.value[0] = -1;
      continue;
    }
    if (hired(m)) {
      const int32_t p = m.value[MB_EMPLOYER];
      m.value[MB_MONTHS] = int16_t(m.value[MB_MONTHS] - 1);
      int32_t pay = 0;
      for (int32_t i = 0; i < 5; i++)
        if (kingdom[size_t(p)].w[KW_MERCBAND + i] == b) pay = imax(pay, kingdom[size_t(p)].w[KW_MERCPAY + i]);
      if (!activeplayer(p)) endcontract(b, "has left");
      else if (m.value[MB_MONTHS] <= 0) endcontract(b, "has served its time and left");
      else if (kingdom[size_t(p)].gold < pay) endcontract(b, "has left: the treasury could not pay it");
      else kingdom[size_t(p)].gold -= pay;
      // A band whose time is up serves the best bid at once, its employer's
      // counted double; one still under contract takes no bids.
      if (hired(m)) continue;
      settlebids(b, p);
      continue;
    }
    settlebids(b, -1);
  }
  for (int32_t p = 0; p < MAXPLAYERS; p++)
    for (int32_t b = 0; b < 5; b++) {
      kingdom[size_t(p)].w[KW_MERCBIDS + b] = 0;
      kingdom[size_t(p)].w[KW_MERCBIDLAND + b] = -1;
    }
  int32_t used = 0;
  for (const MercBand& m : mercband) used += m.value[MB_LEADER] >= 0;
  if (used < MAXMERCBANDS && rnd(100) < NEWBANDCHANCE)
    addrandommerc(gameinfo.era, imin(2, imax(turn, 0) / 24));
}
