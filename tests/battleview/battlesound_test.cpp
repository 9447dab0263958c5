// What a watched battle sounds like: each event's sample, a weapon's own
// sound where its row names one, and weapon numbers outside the table.
#include <gtest/gtest.h>

#include "battle/battle.h"
#include "battleview/battleview.h"
#include "sound/samples.h"
#include "world/gamedata.h"

namespace {
BattleEvent event(BattleEventKind kind, int32_t what, int32_t amount) {
  BattleEvent e{};
  e.kind = kind;
  e.unr = 1;
  e.target = 2;
  e.what = int16_t(what);
  e.amount = int16_t(amount);
  return e;
}

TEST(BattleSound, EventsSoundTheirKindAndWeaponsTheirOwnSound) {
  loadgamedata();
  constexpr int32_t w = 1;   // a weapon row whose sound the test sets
  const int16_t kept = weapons[w].sound;

  weapons[w].sound = 0;      // the rows' default: no sound of its own
  EXPECT_EQ(battleeventsound(event(BEV_STRIKE, w, 4)), SND_SWORD);
  EXPECT_EQ(battleeventsound(event(BEV_STRIKE, w, 0)), SND_MISS);
  EXPECT_EQ(battleeventsound(event(BEV_MISSILE, w, 3)), SND_BOW);

  weapons[w].sound = SND_AXE;
  EXPECT_EQ(battleeventsound(event(BEV_STRIKE, w, 0)), SND_AXE);
  weapons[w].sound = SND_CROSSBOW;
  EXPECT_EQ(battleeventsound(event(BEV_MISSILE, w, 0)), SND_CROSSBOW);
  // A number that has no file, or lies outside the samples, is not its own.
  weapons[w].sound = SOUNDSAMPLES - 1;
  EXPECT_EQ(battleeventsound(event(BEV_MISSILE, w, 1)), SND_BOW);
  weapons[w].sound = 30000;
  EXPECT_EQ(battleeventsound(event(BEV_STRIKE, w, 1)), SND_SWORD);
  weapons[w].sound = kept;

  // Weapon numbers a damaged replay could carry read nothing.
  for (int32_t bad : {-1, -32768, MAXWEAPONS, 32767}) {
    EXPECT_EQ(battleeventsound(event(BEV_STRIKE, bad, 2)), SND_SWORD) << bad;
    EXPECT_EQ(battleeventsound(event(BEV_MISSILE, bad, 2)), SND_BOW) << bad;
  }

  EXPECT_EQ(battleeventsound(event(BEV_SPELL, 5, 0)), SND_CAST);
  EXPECT_EQ(battleeventsound(event(BEV_DEATH, 0, 0)), SND_DEATH);
  EXPECT_EQ(battleeventsound(event(BEV_ROUT, 0, 0)), SND_RETREAT);
  EXPECT_EQ(battleeventsound(event(BEV_SUMMON, 0, 0)), SND_SUMMON);
  EXPECT_EQ(battleeventsound(event(BEV_FLEE, 0, 0)), -1);
  EXPECT_EQ(battleeventsound(event(BattleEventKind(99), 0, 0)), -1);
}
}  // namespace
