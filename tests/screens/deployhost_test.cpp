// A battle fought as the army panel arranged it: squads made by the
// panel's drops, orders and places set through its rules, then the
// battle engine of the host.
#include <gtest/gtest.h>

#include <cstdlib>

#include "battle/battleworld.h"
#include "screens/armypanel.h"
#include "screens/deployment.h"

namespace {
std::vector<int32_t> watched;
std::vector<std::vector<std::pair<int16_t, int16_t>>> track;   // per frame, per watched unit
void trackframe(const BattleFrame& f) {
  recordframe(f);
  std::vector<std::pair<int16_t, int16_t>> at;
  for (int32_t u : watched) at.push_back({unit[u].x, unit[u].y});
  track.push_back(at);
}

int32_t slotof(int32_t c, int32_t unr) {
  for (int32_t k = 0; k < 5; k++)
    if (com[c].squad[k] != -1 && com[c].squad[k] == unit[unr].squad) return k;
  return -1;
}
}  // namespace

TEST(ArrangedBattle, SquadsStartWherePlacedTheHoldersHoldAndTheArchersShoot) {
  makebattleworld();
  const int32_t c = mkcom(T_CAPTAIN, DEF, FIELD);
  std::vector<int32_t> archers, soldiers;
  for (int32_t i = 0; i < 6; i++) archers.push_back(mkunit(T_ARCHER, DEF, FIELD));
  for (int32_t i = 0; i < 6; i++) soldiers.push_back(mkunit(T_SOLDIER, DEF, FIELD));
  army(ATT, T_CAPTAIN, T_SOLDIER, 12, BO_ATTACK, 0, 0, 0);

  // The garrison into two squads of the captain, a double click each.
  openarmypanel(DEF, FIELD, -1);
  ASSERT_TRUE(clickunit(archers[0], UnitClick{true, false}));
  dropcommander(c);
  ASSERT_TRUE(clickunit(soldiers[0], UnitClick{true, false}));
  dropcommander(c);
  const int32_t ka = slotof(c, archers[0]), ks = slotof(c, soldiers[0]);
  ASSERT_GE(ka, 0);
  ASSERT_GE(ks, 0);
  ASSERT_NE(ka, ks);
  EXPECT_TRUE(setsquadorder(c, ka, BO_FIRE));
  EXPECT_TRUE(setsquadorder(c, ks, BO_HOLDATTACK));
  // The archers clicked to the front top of a 250 x 200 field, the soldiers
  // moved by arrow steps to the back bottom, out of range.
  int32_t x = 0, y = 0;
  fieldclickplace(225, 160, 250, 200, &x, &y);
  com[c].sqx[ka] = int8_t(x);
  com[c].sqy[ka] = int8_t(y);
  enfpos(c, ka);
  com[c].sqx[ks] = -20;
  com[c].sqy[ks] = 20;
  enfpos(c, ks);
  const Commander& cm = com[c];
  ASSERT_EQ(cm.sqx[ka], 8);
  ASSERT_EQ(cm.sqy[ka], -6);
  ASSERT_EQ(cm.sqx[ks], -8);
  ASSERT_EQ(cm.sqy[ks], 9);

  watched = archers;
  watched.insert(watched.end(), soldiers.begin(), soldiers.end());
  track.clear();
  fightwith(trackframe, 7, 0);
  ASSERT_GT(track.size(), 4u);
  // The set-up (frame 0): each squad around its place in the defender's zone.
  auto near = [](std::pair<int16_t, int16_t> at, int32_t px, int32_t py) {
    return std::abs(at.first - (10 + px)) <= 1 && std::abs(at.second - (FIELDH / 2 + py)) <= 1;
  };
  for (size_t i = 0; i < watched.size(); i++) {
    const bool archer = i < archers.size();
    EXPECT_TRUE(near(track[0][i], archer ? 8 : -8, archer ? -6 : 9))
        << watched[i] << " at " << track[0][i].first << "," << track[0][i].second;
  }
  // The holders stand still for two turns.
  for (size_t i = archers.size(); i < watched.size(); i++)
    for (size_t f = 1; f <= 2; f++) EXPECT_EQ(track[f][i], track[0][i]) << watched[i] << " turn " << f;
  // The archers shoot, and from where they were placed.
  int32_t shots = 0, firstturn = 0;
  for (size_t e = 0; e < seen.events.size(); e++) {
    const BattleEvent& ev = seen.events[e];
    if (ev.kind != BEV_MISSILE || std::find(archers.begin(), archers.end(), ev.unr) == archers.end()) continue;
    if (shots++ == 0) firstturn = seen.eventturn[e];
  }
  EXPECT_GT(shots, 0);
  ASSERT_GT(firstturn, 0);
  for (size_t i = 0; i < archers.size(); i++)
    for (int32_t f = 1; f < firstturn && f < int32_t(track.size()); f++) EXPECT_EQ(track[size_t(f)][i], track[0][i]);
}
