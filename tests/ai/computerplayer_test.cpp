// Computer players: one computer nation's month on the small world of the
// host tests (checked as an order file is), and a game of eight computer
// nations on a random map hosted for a hundred turns.
#include "ai/ai.h"
#include "host/hostgame.h"
#include "host/hostworld.h"
#include "runtime/trs.h"
#include "support/gamefolders.h"
#include "world/economy.h"

namespace {

class ComputerMonth : public HostWorld {
 protected:
  void SetUp() override {
    HostWorld::SetUp();
    kingdom[A].w[KW_CONTROLLER] = CTRL_AI;
    kingdom[A].w[KW_AILEVEL] = 3;
    kingdom[A].w[KW_AIPERSONALITY] = 1;
  }
  // The computer phase as the host runs it: bonus, orders, the order check.
  int32_t month() {
    computerplayerbonus(A);
    beginordercheck();
    computerplayerturn(A);
    return checkorders(A);
  }
};

TEST_F(ComputerMonth, RecruitsResearchesAndTaxesWithinItsMeansAndPassesTheOrderCheck) {
  const int32_t mage = commander(A, AHOME);
  com[size_t(mage)].path[P_FIRE] = 2;
  land[AHOME].unrest = 30;
  kingdom[A].gold = 2000;
  const int32_t income = getkinc(A);
  ASSERT_EQ(month(), 1);
  const Land& home = land[AHOME];
  EXPECT_GT(home.queuecount + home.comqueued, 0);
  int32_t spent = home.comqueued == 1 ? unittypes[size_t(home.queuedcomtype)].gcost : 0;
  for (int32_t i = 0; i < home.queuecount; i++) spent += unittypes[size_t(home.queue[i])].gcost;
  // Paid from the treasury with the difficult level's bonus, a reserve kept.
  EXPECT_EQ(kingdom[A].gold, 2000 + income * 15 / 100 - spent);
  EXPECT_GE(kingdom[A].gold, 2 * upk(A));
  EXPECT_EQ(home.tax, unrestpercent(AHOME));
  int32_t percent = 0;
  for (int32_t s = 0; s < 7; s++) percent += researchrec[A][RR_PERCENT + s];
  EXPECT_EQ(percent, 100);
  // The mage in its laboratory researches (no gems for a ritual).
  EXPECT_EQ(com[size_t(mage)].order, Order::research);
}

TEST_F(ComputerMonth, LevelsDifferInTheirBonus) {
  int32_t gold[6];
  for (int32_t level = 1; level <= 5; level++) {
    kingdom[A].w[KW_AILEVEL] = int16_t(level);
    kingdom[A].gold = 1000;
    computerplayerbonus(A);
    gold[level] = kingdom[A].gold;
  }
  EXPECT_EQ(gold[1], 1000);
  EXPECT_EQ(gold[2], 1000);
  EXPECT_LT(gold[3], gold[4]);
  EXPECT_LT(gold[4], gold[5]);
  EXPECT_EQ(gold[5], 1000 + getkinc(A) * 60 / 100);
}

TEST_F(ComputerMonth, TakesAWeakerNeighbourLeavesAStrongerOneAndGathersItsUnits) {
  const int32_t general = commander(A, AHOME);
  spawnunits(MON_HEAVY_INFANTRY_38, A, 20, AHOME, -1);   // units without a commander
  // West a small garrison, east a large one.
  spawnunits(MON_HEAVY_INFANTRY_38, INDEPENDENTS, 3, AHOME - 1, -1);
  spawnunits(MON_HEAVY_INFANTRY_38, INDEPENDENTS, 60, AHOME + 1, -1);
  kingdom[A].gold = 0;
  ASSERT_EQ(month(), 1);
  EXPECT_EQ(armyunits(general).size(), 21u);
  EXPECT_EQ(com[size_t(general)].sqorder[0], BO_ATTACK);
  EXPECT_EQ(com[size_t(general)].order, Order::move);
  EXPECT_EQ(com[size_t(general)].orderparam, AHOME - 1);
  // Against the large garrison alone it waits.
  killunit(unitsin(AHOME - 1, INDEPENDENTS)[0]);
  for (int32_t u : unitsin(AHOME - 1, INDEPENDENTS)) killunit(u);
  spawnunits(MON_HEAVY_INFANTRY_38, INDEPENDENTS, 60, AHOME - 1, -1);
  ASSERT_EQ(month(), 1);
  EXPECT_EQ(com[size_t(general)].order, Order::defend);
}

TEST_F(ComputerMonth, ArmiesGoHomeWhenTheCapitalIsThreatened) {
  own(AHOME + 1, A);
  own(AHOME + 2, A);
  const int32_t general = commander(A, AHOME + 1);
  army(general, 20);
  // An army of B stands next to the capital and outweighs what is in it.
  own(AHOME - 1, B);
  army(commander(B, AHOME - 1), 30);
  kingdom[A].gold = 0;
  ASSERT_EQ(month(), 1);
  EXPECT_EQ(com[size_t(general)].order, Order::move);
  EXPECT_EQ(com[size_t(general)].orderparam, AHOME);
  // An easy nation does not look.
  kingdom[A].w[KW_AILEVEL] = 1;
  cancelorder(general);
  ASSERT_EQ(month(), 1);
  EXPECT_NE(com[size_t(general)].orderparam, AHOME);
}

TEST_F(ComputerMonth, MagesCastSummonsAndForgeWhenTheyCan) {
  const int32_t mage = commander(A, AHOME);
  com[size_t(mage)].path[P_NATURE] = 2;
  const int32_t summon = name2spell("Summon Animals");
  addtospellbook(summon, A);
  kingdom[A].w[KW_GEMS + int32_t(P_NATURE)] = 40;
  ASSERT_EQ(month(), 1);
  EXPECT_EQ(com[size_t(mage)].order, Order::ritual);
  EXPECT_EQ(com[size_t(mage)].orderparam, summon);
  // Without the gems for a ritual, a second mage forges what research allows.
  const int32_t smith = commander(A, AHOME);
  com[size_t(smith)].path[P_EARTH] = 3;
  researchrec[A][RR_LEVEL + SCH_CONSTRUCTION] = 4;
  kingdom[A].w[KW_GEMS + int32_t(P_EARTH)] = 200;
  ASSERT_EQ(month(), 1);
  EXPECT_EQ(com[size_t(smith)].order, Order::forge);
  EXPECT_EQ(kingdom[A].w[KW_GEMS + int32_t(P_EARTH)], 200 - com[size_t(smith)].ordergems[0]);
}

TEST_F(ComputerMonth, ConqueringAFortifiedProvinceLeavesNoUnpaidDefence) {
  // A capital's bought defence must not make the conqueror's orders look unpaid.
  land[BHOME].provdef = land[BHOME].small[1] = 25;
  conquerland(BHOME, A);
  EXPECT_EQ(land[BHOME].small[1], 0);
  ASSERT_EQ(month(), 1);
}

class ComputerGame : public HostGame {
 protected:
  // The game's folders in memory where there is a memory file system: a
  // hundred turns of files are written and synced.
  void SetUp() override {
    HostGame::SetUp();
    if (!direxists("/dev/shm")) return;
    const std::string shm = "/dev/shm/vey3ai_" + std::to_string(getpid());
    ASSERT_EQ(system(("mv '" + root + "' '" + shm + "'").c_str()), 0);
    root = shm;
    strlcopy(mappath, (root + "/maps").c_str(), PATHLEN);
    strlcopy(localmappath, (root + "/local").c_str(), PATHLEN);
    strlcopy(savepath, (root + "/save").c_str(), PATHLEN);
    strlcopy(temppath, (root + "/temp").c_str(), PATHLEN);
  }
  // Eight nations of the early era, at levels 1 to 5 in turn, on a random map
  // of eight provinces a nation; their turn files are kept for the test.
  void createcomputergame() {
    settrsfolder(VEY3_DATA_DIR);
    mkdirs((root + "/save/" + game).c_str());
    randmap = 8;
    mapsize[0] = 640, mapsize[1] = 480;
    eraoption = 1;
    startprov = 1;
    comptrn = 1;
    for (int32_t n = 0; n < 8; n++) nationcontrol[n] = 20 + n % 5;
    ASSERT_EQ(createnewgame(game.c_str(), 0, nullptr), 1);
    gamenbr = gameinfo.gamenbr;
  }
  std::vector<int32_t> provinces() {
    clearworld();
    int32_t t = 0;
    EXPECT_EQ(loadworldfile(game.c_str(), 0, &t), 1);
    std::vector<int32_t> v(8, 0);
    for (int32_t l = 1; l <= nbrlands; l++)
      if (land[size_t(l)].owner < 8) v[size_t(land[size_t(l)].owner)]++;
    return v;
  }
};

TEST_F(ComputerGame, EightComputerNationsPlayAHundredTurns) {
  createcomputergame();
  const std::vector<int32_t> start = provinces();
  for (int32_t n = 0; n < 8; n++) {
    ASSERT_EQ(uint16_t(kingdom[size_t(n)].w[KW_CONTROLLER]), CTRL_AI);
    EXPECT_EQ(start[size_t(n)], 1);
  }
  int32_t battles = 0, recruited = 0, rituals = 0, forged = 0;
  for (int32_t t = 0; t < 100; t++) {
    ASSERT_EQ(host(), 1) << "turn " << t;
    battles += battlesfought;
    for (int32_t n = 0; n < 8; n++) {
      if (!openturn(n)) continue;   // destroyed
      recruited += messages(n, "Recruitment in");
      rituals += messages(n, " performed ");
      forged += messages(n, "has forged");
      for (int32_t m = 0; m <= highestmsg; m++) {
        const Message& x = message[size_t(m)];
        if (x.type != MT_FREE && x.player == n && strstr(x.text, "Orders refused"))
          ADD_FAILURE() << "turn " << t << " nation " << n << ": " << x.text;
      }
    }
  }
  EXPECT_EQ(worldturn(), 101);
  const std::vector<int32_t> end = provinces();
  const int32_t leader = int32_t(std::max_element(end.begin(), end.end()) - end.begin());
  EXPECT_GE(end[size_t(leader)], 3 * start[size_t(leader)]);
  EXPECT_GT(battles, 0);
  EXPECT_GT(recruited, 0);
  EXPECT_GT(rituals, 0);
  EXPECT_GT(forged, 0);
  printf("provinces at the end:");
  for (int32_t v : end) printf(" %d", v);
  printf("; %d battles, %d recruitments, %d rituals, %d items forged\n", battles, recruited, rituals, forged);
}

// The rules that ask which units stand in a land or follow a commander read
// the unit indexes; each month hosted again with them scanning the table
// writes the same bytes, and the indexes match the table after every phase
// (the host's consistency check at debug level 1).
TEST_F(ComputerGame, MonthsHostedWithTheUnitIndexesWriteTheBytesOfTheScan) {
  createcomputergame();
  const std::string before = root + "/before";
  const auto files = [&] {
    std::vector<std::vector<uint8_t>> v{readbytes(path("ftherlnd"))};
    for (int32_t n = 0; n < 8; n++) v.push_back(readbytes(path(std::string(nations[size_t(n)].fileword) + ".trn")));
    return v;
  };
  const auto hosted = [&](bool indexed) {
    unitindexused = indexed;
    debuglevel = 1;
    testing::internal::CaptureStdout();
    const int made = host();
    testing::internal::GetCapturedStdout();
    debuglevel = 0;
    unitindexused = true;
    return made;
  };
  int32_t battles = 0;
  for (int32_t t = 0; t < 30; t++) {
    ASSERT_EQ(system(("rm -rf '" + before + "' && cp -r '" + path("") + "' '" + before + "'").c_str()), 0);
    ASSERT_EQ(hosted(true), 1) << "turn " << t;
    EXPECT_EQ(unitindexfault(), "");
    battles += battlesfought;
    const std::vector<std::vector<uint8_t>> indexed = files();
    ASSERT_EQ(system(("rm -rf '" + path("") + "' && cp -r '" + before + "' '" + path("") + "'").c_str()), 0);
    ASSERT_EQ(hosted(false), 1) << "turn " << t;
    ASSERT_TRUE(indexed == files()) << "turn " << t;
  }
  EXPECT_GT(battles, 0);
}

}  // namespace
