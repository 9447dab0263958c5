// Battle replays from a player's turn file: a battle hosted on a small world,
// its replay found in the turn file, fought again and checked turn by turn,
// and the live world (orders and letters given since the turn was opened)
// back whole afterwards; cut and missing replays and a changed world.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "mapview/mapcamera.h"
#include "mapview/overlay.h"
#include "runtime/binio.h"
#include "runtime/trs.h"
#include "screens/replays.h"
#include "screens/turnscreen.h"
#include "support/hostedbattle.h"

namespace {
int32_t frames = 0, lastturn = -1;
void countframe(const BattleFrame& frame) {
  frames++;
  lastturn = frame.turn;
}

int32_t count(const std::string& text, const std::string& what) {
  int32_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) n++;
  return n;
}

// The whole world as the world file holds it, with the messages and letters.
std::vector<uint8_t> worldbytes() {
  FILE* f = tmpfile();
  putfatherland(f);
  for (int32_t m = 0; m <= highestmsg; m++) put_mess(m, f);
  for (int32_t p = 0; p < 95; p++)
    for (int32_t n = 0; n < PMESSSLOTS; n++) put_pmess(p, n, f);
  std::vector<uint8_t> out(size_t(ftell(f)));
  rewind(f);
  EXPECT_EQ(fread(out.data(), 1, out.size(), f), out.size());
  fclose(f);
  return out;
}

class Replays : public HostedBattle {
 protected:
  void SetUp() override {
    HostedBattle::SetUp();
    frames = 0;
    lastturn = -1;
  }
  std::string trnpath() const { return tmp + "/save/g/" + nations[A].fileword + ".trn"; }
};
}  // namespace

TEST_F(Replays, AHostedBattleIsForeseenTurnByTurnAndTheWorldComesBackWhole) {
  hostbattle();
  const int32_t hostedturns = battleresult.turns;
  ASSERT_EQ(openturn(), 1);
  std::vector<ReplayEntry> list;
  ASSERT_TRUE(listreplays(A, game, 4, 1, list));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].index, 0);
  EXPECT_EQ(list[0].defender, B);
  EXPECT_EQ(list[0].attacker, A);
  ASSERT_TRUE(listreplays(A, game, 5, 1, list));
  EXPECT_TRUE(list.empty());
  ASSERT_TRUE(listreplays(A, game, 4, 0, list));
  EXPECT_TRUE(list.empty());

  // Orders and a letter given since the turn was opened.
  const int32_t c = commandersin(4, A).empty() ? -1 : commandersin(4, A)[0];
  ASSERT_GE(c, 0);
  order(c, Order::move, 5);
  pmess[A][0].b0 = B;
  strlcopy(pmess[A][0].text, "Greetings", sizeof pmess[A][0].text);
  const std::vector<uint8_t> before = worldbytes();
  const int32_t messagesbefore = messages(A, "Battle of");
  ASSERT_GT(messagesbefore, 0);

  ASSERT_TRUE(setasideworld());
  ReplayCheck check;
  debuglevel = 1;
  testing::internal::CaptureStdout();
  const ReplayStatus status = playvcr(A, game, 0, &check, countframe);
  const std::string log = testing::internal::GetCapturedStdout();
  debuglevel = 0;
  ASSERT_EQ(status, ReplayStatus::played);
  EXPECT_EQ(battleresult.turns, hostedturns);
  EXPECT_EQ(frames, hostedturns + 1);
  EXPECT_EQ(lastturn, hostedturns);
  const int32_t compared = std::min(hostedturns, MAXCHECKSUMS - 1);
  EXPECT_EQ(check.setup, 1);
  EXPECT_EQ(check.foreseen, compared);
  EXPECT_EQ(check.differing, 0);
  EXPECT_EQ(check.firstbad, -1);
  EXPECT_EQ(count(log, "This battle looks just like I have forseen\n"), 1);
  EXPECT_EQ(count(log, "Battle running along just as I have forseen\n"), compared);
  EXPECT_EQ(count(log, "inconsistency"), 0);
  EXPECT_EQ(count(log, "Playvcr lnr4 def1 att0"), 1);

  restoreworld();
  EXPECT_EQ(worldbytes(), before);
  EXPECT_EQ(com[size_t(c)].order, Order::move);
  EXPECT_EQ(com[size_t(c)].orderparam, 5);
  EXPECT_STREQ(pmess[A][0].text, "Greetings");
  EXPECT_EQ(messages(A, "Battle of"), messagesbefore);
}

// The host's battle reaches the player's map: the turn opened, the overlay
// of every province shows the battle icon on the battle's province alone
// (not on the province the attackers came from).
TEST_F(Replays, TheMapMarksTheProvinceOfAHostedBattleAndNoOther) {
  hostbattle();
  ASSERT_EQ(openturn(), 1);
  for (int32_t l = 1; l <= nbrlands; l++) {
    provgeo[size_t(l)].x = int16_t(60 * l);
    provgeo[size_t(l)].y = 300;
  }
  mapzoom = defaultmapzoom = 1;
  mapcamx = 330;
  mapcamy = 300;
  mapfilter = MAPF_MARKERS;
  MapMarks marks;
  overlaymarksall(marks, A, 0, 1000);
  std::vector<MapPoint> battles;
  for (const MapMark& m : marks)
    if (m.file == TRS_MISC && m.nr == ICON_BATTLE) battles.push_back({m.x, m.y});
  ASSERT_EQ(battles.size(), 1u);
  EXPECT_EQ(battles[0].x, L2Sx(4));
  EXPECT_EQ(battles[0].y, L2Sy(4));
}

TEST_F(Replays, MissingOrCutReplaysPlayNothingAndTheWorldIsKept) {
  hostbattle();
  ASSERT_EQ(openturn(), 1);
  const std::vector<uint8_t> before = worldbytes();
  ASSERT_TRUE(setasideworld());
  EXPECT_EQ(playvcr(A, game, 1, nullptr, countframe), ReplayStatus::missing);
  restoreworld();
  EXPECT_EQ(playvcr(A, "nosuchgame", 0, nullptr, countframe), ReplayStatus::nofile);
  restoreworld();
  EXPECT_EQ(worldbytes(), before);
  EXPECT_EQ(frames, 0);

  // The replay is the end of the turn file; cut it at points through it.
  struct stat st {};
  ASSERT_EQ(stat(trnpath().c_str(), &st), 0);
  std::vector<uint8_t> whole(size_t(st.st_size));
  {
    FILE* f = fopen(trnpath().c_str(), "rb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(fread(whole.data(), 1, whole.size(), f), whole.size());
    fclose(f);
  }
  const std::string marker = "_vcr_VCR";
  const auto at = std::search(whole.begin(), whole.end(), marker.begin(), marker.end());
  ASSERT_NE(at, whole.end());
  const size_t start = size_t(at - whole.begin()), length = whole.size() - start;
  for (size_t cut : {start + 4, start + 30, start + length / 3, start + length * 2 / 3, whole.size() - 10,
                     whole.size() - 2}) {
    ASSERT_EQ(truncate(trnpath().c_str(), off_t(cut)), 0);
    // Whatever the replay did to the tables, the set-aside world comes back.
    const ReplayStatus s = playvcr(A, game, 0, nullptr, countframe);
    EXPECT_TRUE(s == ReplayStatus::cut || s == ReplayStatus::missing) << cut;
    EXPECT_STRNE(replayproblem(s), "");
    restoreworld();
    EXPECT_EQ(worldbytes(), before) << cut;
  }
  EXPECT_EQ(frames, 0);
}

TEST_F(Replays, AWorldThatChangedIsLoggedAndTheBattleStillRunsToItsEnd) {
  hostbattle();
  ASSERT_EQ(openturn(), 1);
  // The soldiers are tougher than when the battle was hosted (a mod changed).
  Monster& soldier = unittypes[MON_HEAVY_INFANTRY_38];
  const Monster kept = soldier;
  soldier.def = int16_t(soldier.def + 4);
  ReplayCheck check;
  debuglevel = 1;
  testing::internal::CaptureStdout();
  const ReplayStatus s = playvcr(A, game, 0, &check, countframe);
  const std::string log = testing::internal::GetCapturedStdout();
  debuglevel = 0;
  soldier = kept;
  ASSERT_EQ(s, ReplayStatus::played);
  EXPECT_GT(battleresult.turns, 0);
  EXPECT_EQ(frames, battleresult.turns + 1);
  EXPECT_EQ(check.setup, 0);
  EXPECT_EQ(check.firstbad, 0);
  EXPECT_GT(count(log, "***** Warning: Battle inconsistency (turn 0)\n"), 0);
  const std::vector<std::string> lines = battlereportlines(check);
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find("Battle inconsistency (turn 0)"), std::string::npos);
}

TEST_F(Replays, ABattleReportPlaysItsBattleAndOtherLinksOnlySelect) {
  hostbattle();
  ASSERT_EQ(openturn(), 1);
  int32_t m = -1;
  for (int32_t i = 0; i <= highestmsg; i++)
    if (message[size_t(i)].type == MT_BATTLE && message[size_t(i)].player == A) m = i;
  ASSERT_GE(m, 0);
  const int32_t seed = message[size_t(m)].subj[0];
  const std::vector<uint8_t> before = worldbytes();

  // With alt only the battle's province is chosen.
  turnscreen.gotoprov = 0;
  gotomsg(A, game, m, 1);
  EXPECT_EQ(turnscreen.gotoprov, 4);
  EXPECT_EQ(frames, 0);

  // The report's battle is found by its seed and fought again (no window
  // here, so nothing is shown), checked, and the world comes back.
  debuglevel = 1;
  testing::internal::CaptureStdout();
  gotomsg(A, game, m, 0);
  std::string log = testing::internal::GetCapturedStdout();
  EXPECT_EQ(count(log, "gotomsg: view vcr (seed " + std::to_string(seed) + ")"), 1);
  EXPECT_EQ(count(log, "This battle looks just like I have forseen\n"), 1);
  EXPECT_EQ(count(log, "inconsistency"), 0);
  EXPECT_EQ(worldbytes(), before);

  // A seed that no replay carries ends with the message, the world untouched.
  message[size_t(m)].subj[0] = seed + 1;
  const std::vector<uint8_t> changed = worldbytes();
  testing::internal::CaptureStdout();
  gotomsg(A, game, m, 0);
  log = testing::internal::GetCapturedStdout();
  debuglevel = 0;
  EXPECT_EQ(count(log, "cannot find vcr"), 1);
  EXPECT_EQ(count(log, "forseen"), 0);
  EXPECT_EQ(worldbytes(), changed);

  // Links to a province or a commander select it.
  message[size_t(m)].type = MT_LANDLINK;
  message[size_t(m)].subj[0] = 6;
  gotomsg(A, game, m, 0);
  EXPECT_EQ(turnscreen.gotoprov, 6);
  message[size_t(m)].type = MT_COMLINK;
  message[size_t(m)].subj[0] = attackerc;
  gotomsg(A, game, m, 0);
  EXPECT_EQ(turnscreen.focus, attackerc);
}
