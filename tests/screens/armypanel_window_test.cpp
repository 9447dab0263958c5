// The army panel in a real window by scripted input: a commander's units
// split into two squads, one set to fire and one to hold, both placed on
// the deployment field, the army sent into a neighbouring province, the
// turn ended and hosted; the replay of the battle that followed sets the
// squads up where they were placed.
// VEY3_KEEPSHOTS=1 keeps the pictures ($TMPDIR/vey3shots_*/*.ppm); the README
// shows the panel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "actions/moverule.h"
#include "actions/squads.h"
#include "battle/battle.h"
#include "frontend/frontend.h"
#include "gamedata_ids.h"
#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "host/hostgame.h"
#include "mapview/mapview.h"
#include "runtime/rnd.h"
#include "screens/armypanel.h"
#include "screens/turnscreen.h"
#include "support/guitexts.h"
#include "support/pacedscript.h"
#include "support/smallworld.h"
#include "support/turnscript.h"
#include "world/siteentry.h"

namespace {
class ArmyPanelWindow : public HostGame {};

// A commander of the nation at home, not the god, with a squad of at least
// four units, that can march into an independent province next door whose
// point lies on the open map: the commander, its squad, the province and
// its window pixel.
struct Expedition {
  int32_t cnr = -1, squad = -1, lnr = 0, x = 0, y = 0;
};

Expedition findexpedition(int32_t nation) {
  Expedition e;
  const int32_t home = kingdom[size_t(nation)].w[KW_HOMELAND];
  centremap(home);
  for (int32_t c = 0; c <= highestcom && e.cnr < 0; c++) {
    const int32_t b = com[size_t(c)].body;
    if (b < 0 || unit[size_t(b)].hp < 1 || unit[size_t(b)].owner != nation || unit[size_t(b)].land != home) continue;
    if (c == kingdom[size_t(nation)].w[KW_GOD]) continue;
    int32_t squad = -1;
    for (int32_t s : com[size_t(c)].squad)
      if (s != -1 && squad < 0 && squadunitcount(s) >= 4) squad = s;
    if (squad < 0) continue;
    for (int32_t n = 0; n < MAXNEIGHBOURS && provgeo[size_t(home)].nbr[n] > 0; n++) {
      const int32_t l = provgeo[size_t(home)].nbr[n];
      const float x = L2Sx(l), y = L2Sy(l);
      if (land[size_t(l)].owner != INDEPENDENTS || x < 120 || x > 640 || y < 60 || y > 480) continue;
      if (!mapmove(c, l, 0)) continue;
      e = {c, squad, l, int32_t(x), int32_t(600 - y)};
      break;
    }
  }
  return e;
}

}  // namespace

TEST_F(ArmyPanelWindow, TwoSquadsPlacedOnThePanelStartTheHostedBattleWhereTheyWerePlaced) {
  create("veyrmark.map", {0, 1}, 3);
  RealWindow w;
  ASSERT_TRUE(w.ok);
  installmapscreens();
  ASSERT_TRUE(openturn(0));
  openmapview(game.c_str());
  const Expedition ex = findexpedition(0);
  ASSERT_GE(ex.cnr, 0) << "no army that can march into an independent province next door";
  {
    // Independents stand in the province, so that the march ends in a battle.
    clearworld();
    int32_t t = 0;
    ASSERT_EQ(loadworldfile(game.c_str(), 0, &t), 1);
    ASSERT_GE(spawnunits(MON_MILITIA_18, INDEPENDENTS, 6, ex.lnr, -1), 0);
    ASSERT_TRUE(writeworldfile(game.c_str(), filegamenumber, t));
  }
  const std::vector<int32_t> men = squadmembers(ex.squad);
  ASSERT_GE(men.size(), 4u);
  const std::vector<int32_t> front(men.begin(), men.begin() + int32_t(men.size() / 2));
  quitprogram = 0;
  const std::string shot = tempfile("armypanel.ppm"), fieldshot = tempfile("deployfield.ppm");
  // On the turn screen the commander marches next door; in the panel the
  // first half of its squad (a click, then Shift and a click) becomes a new
  // squad (a click on the commander); Exit, End turn.
  const std::string split =
      "waitfor 1\nclickid 1\nwaitfor 999\nkey escape\n" + TURNSCREEN + line("clickid", TS_CARD + ex.cnr) + "click " +
      std::to_string(ex.x) + " " + std::to_string(ex.y) + "\nwait 3\nkey t\n" + line("waitfor", 100000 + men[0]) +
      line("clickid", 100000 + men[0]) + "hold left shift\n" + line("clickid", 100000 + front.back()) +
      "release left shift\n" + line("clickid", 10000 + ex.cnr) + "wait 3\nkey escape\n" + TURNSCREEN + "key e\nwait 5\n"
      "waitfor 1\nclickid 999\n";
  setinputscript(paced(split).c_str());
  playturn(game.c_str());
  auto orders = [&] {
    if (!openturn(0)) return false;
    int32_t t = 0;
    UniqueFile f = readfileheader(game.c_str(), 0, -1, 0, 0, &t, nullptr, nullptr, nullptr);
    if (!f) return false;
    get2hdata(0, f.get(), 0);
    return true;
  };
  ASSERT_TRUE(orders());
  const int32_t newsquad = unit[size_t(front[0])].squad;
  ASSERT_NE(newsquad, -1);
  ASSERT_NE(newsquad, ex.squad);
  for (int32_t u : front) EXPECT_EQ(unit[size_t(u)].squad, newsquad);
  EXPECT_EQ(unit[size_t(men.back())].squad, ex.squad);
  EXPECT_EQ(com[size_t(ex.cnr)].order, Order::move);

  // The nation again, its orders continued: the new squad holds and is
  // placed at the front and top of the field (its middle clicked, then the
  // arrow keys), the old one fires from the back and bottom; Exit, End turn.
  auto place = [](int32_t squad, const char* side, const char* updown, int32_t steps) {
    std::string s = line("clickid", 1000000 + squad) + "waitfor 5\nclickid 5\n";
    for (int32_t i = 0; i < steps; i++) s += std::string("key ") + side + "\nkey " + updown + "\n";
    return s;
  };
  const std::string arrange =
      "waitfor 1\nclickid 1\nwaitfor 2\nkey return\nwaitfor 999\nclickid 999\n" + TURNSCREEN + "key t\n" +
      line("waitfor", 3000000 + newsquad) + line("clickid", 3000000 + newsquad) + "waitfor 5\nclickid 5\n"
      "wait 2\nkey escape\n" + line("clickid", 3000000 + ex.squad) + "waitfor 3\nclickid 3\nwait 2\nkey escape\n" +
      place(newsquad, "right", "up", 6) + "wait 3\nshot " + fieldshot + "\nkey escape\n" +
      place(ex.squad, "left", "down", 6) + "key escape\n" + line("waitfor", 3000000 + newsquad) +
      line("clickid", 100000 + men.back()) + "move 790 590\nwait 3\nshot " + shot + "\nkey return\nkey escape\n" + TURNSCREEN + "key e\nwait 5\nwaitfor 1\nclickid 999\n";
  setinputscript(paced(arrange).c_str());
  playturn(game.c_str());
  ASSERT_TRUE(orders());
  int32_t slotnew = -1, slotold = -1;
  for (int32_t k = 0; k < 5; k++) {
    if (com[size_t(ex.cnr)].squad[k] == newsquad) slotnew = k;
    if (com[size_t(ex.cnr)].squad[k] == ex.squad) slotold = k;
  }
  ASSERT_GE(slotnew, 0);
  ASSERT_GE(slotold, 0);
  const Commander& cm = com[size_t(ex.cnr)];
  EXPECT_EQ(cm.sqorder[slotnew], BO_HOLDATTACK);
  EXPECT_EQ(cm.sqorder[slotold], BO_FIRE);
  // The middle of the field is (0, 0) give or take a pixel; six steps
  // from there each way.
  const int32_t newx = cm.sqx[slotnew], newy = cm.sqy[slotnew], oldx = cm.sqx[slotold], oldy = cm.sqy[slotold];
  EXPECT_GE(newx, 5);
  EXPECT_LE(newy, -5);
  EXPECT_LE(oldx, -5);
  EXPECT_GE(oldy, 5);

  // Hosted from the list; the replay in nation 0's next turn file sets the
  // battle up with each squad where it was placed, under its order.
  setinputscript(paced("waitfor 100\nclickid 100\nwaitfor 6\nclickid 6\nwait 10\nwaitfor 1\nclickid 999\n").c_str());
  playturn(game.c_str());
  ASSERT_TRUE(openturn(0));
  FILE* f = fopen(trnpath(0).c_str(), "rb");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(find_vcr(0, f), 1) << "no battle was fought";
  int32_t lnr = 0, defender = 0, attacker = 0, castle = 0, seed = 0, values[3] = {};
  clearworld();
  ASSERT_EQ(readvcr(&lnr, &defender, &attacker, &castle, &seed, values, 1, f), 1);
  readchecksums(f);
  fclose(f);
  EXPECT_EQ(lnr, ex.lnr);
  EXPECT_EQ(attacker, 0);
  seedrnd(seed);
  initbattle(lnr, defender, attacker, castle, values[0], values[1]);
  // The attacker's zone is the defender's turned round the middle of the field.
  auto near = [](int32_t u, int32_t px, int32_t py) {
    const int32_t x = FIELDW - 1 - (10 + px), y = FIELDH - 1 - (FIELDH / 2 + py);
    return std::abs(unit[size_t(u)].x - x) <= 2 && std::abs(unit[size_t(u)].y - y) <= 2;
  };
  for (int32_t u : men) {
    const bool isnew = std::find(front.begin(), front.end(), u) != front.end();
    EXPECT_TRUE(isnew ? near(u, newx, newy) : near(u, oldx, oldy)) << u << " at " << unit[size_t(u)].x << "," << unit[size_t(u)].y;
    EXPECT_EQ(unit[size_t(u)].batorder, isnew ? BO_HOLDATTACK : BO_FIRE) << u;
  }
  dobatl(defender, attacker, 0, 0, 1, values[2]);
  for (const std::string& s : {shot, fieldshot}) {
    const Shot pic = readshot(s);
    ASSERT_GT(pic.width, 0) << s;
    dropshot(s);
  }
}

// The battle orders editor says, where the script is chosen, that the order
// file keeps none; the panel then shows the order it keeps, not the script.
TEST(ArmyScriptWindow, TheEditorSaysTheScriptIsNotKept) {
  makesmallworld();
  settype(1, "Warlord");
  land[2].owner = land[2].fortholder = 3;
  const int32_t c = mkcom(1, 3, 2);
  strcpy(com[c].name, "Hrodgar");
  RealWindow w;
  ASSERT_TRUE(w.ok);
  installwindowdialogs(1);
  const std::string editor = tempfile("battlescript.ppm"), panel = tempfile("battlescriptpanel.ppm");
  // The commander's text, Hold a turn, a picture, Attack, no target; a picture
  // of the panel; Exit.
  setinputscript(paced(line("waitfor", 700000 + c) + line("clickid", 700000 + c) + "waitfor 53\nclickid 53\n"
                       "waitfor 53\nmove 5 5\nwait 3\nshot " + editor + "\nclickid 11\nwaitfor 999\nclickid 999\n" +
                       line("waitfor", 700000 + c) + "move 5 5\nwait 3\nshot " + panel + "\nkey escape\n")
                     .c_str());
  armypanel(3, 2, -1);
  installwindowdialogs(0);
  EXPECT_EQ(com[c].batorder, BO_ATTACK);
  EXPECT_EQ(com[c].roundspell[0], -3);
  for (const std::string& s : {editor, panel}) {
    const Shot pic = readshot(s);
    ASSERT_GT(pic.width, 0) << s;
    dropshot(s);
  }
}

// A squad's row counts its units with the same word at any count.
TEST(ArmyScriptWindow, SquadRowsCountTheirUnits) {
  makesmallworld();
  settype(1, "Warlord");
  settype(2, "Spearman");
  land[2].owner = land[2].fortholder = 3;
  const int32_t c = mkcom(1, 3, 2);
  ASSERT_FALSE(joinsquad(mkunit(2, 3, 2), c, -1, 0));
  const int32_t pair = mkunit(2, 3, 2);
  ASSERT_FALSE(joinsquad(pair, c, -1, 0));
  ASSERT_FALSE(joinsquad(mkunit(2, 3, 2), c, unit[pair].squad, 0));
  RealWindow w;
  ASSERT_TRUE(w.ok);
  setinputscript(paced(line("waitfor", 3000000 + unit[pair].squad) + "key escape\n").c_str());
  armypanel(3, 2, -1);
  const std::string shown = windowtexts();
  EXPECT_NE(shown.find("1 units "), std::string::npos) << shown;
  EXPECT_NE(shown.find("2 units "), std::string::npos) << shown;
  setinputscript("");
}
