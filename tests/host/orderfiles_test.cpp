// Order files at the host: every way a file can be unusable gives its player
// the "Stale Turn" message and changes nothing of that nation; orders that
// give a nation more than it had are refused; fields no screen changes are
// kept as the world file has them.
#include <unistd.h>

#include "hostgame.h"
#include "support/gamefolders.h"

#include "world/recruit.h"

namespace {

// Rewrites a file with a new checksum after changing its bytes.
void withcrc(const std::string& p, std::vector<uint8_t> b) { writewithchecksum(p, std::move(b)); }

void patch32(std::vector<uint8_t>& b, size_t at, int32_t v) {
  for (int i = 0; i < 4; i++) b[at + size_t(i)] = uint8_t(uint32_t(v) >> (8 * i));
}

class OrderFiles : public HostGame {
 protected:
  // The player queues a unit at home and pays for it, as the screen does.
  void queueone(int32_t p) {
    const int32_t h = home(p);
    createslist(h, 0);
    ASSERT_GE(slistlast, 0);
    land[size_t(h)].queue[land[size_t(h)].queuecount++] = slist[0];
    kingdom[size_t(p)].gold -= unittypes[size_t(slist[0])].gcost;
  }
  void recruitone(int32_t p) {
    play(p, [&] { queueone(p); });
  }
  // What player p's new turn file says: were its orders stale, did its
  // recruit arrive.
  void look(int32_t p, bool* stale, bool* recruited) {
    ASSERT_TRUE(openturn(p));
    *stale = messages(p, "Stale Turn") > 0;
    *recruited = messages(p, "Recruitment in") > 0;
  }
  void hostandlook(int32_t p, bool* stale, bool* recruited) {
    ASSERT_EQ(host(), 1);
    look(p, stale, recruited);
  }
};

TEST_F(OrderFiles, EveryStaleTurnCauseLeavesTheNationAsItWas) {
  struct Cause {
    const char* what;
    void (*spoil)(OrderFiles&, const std::string&);
    const char* console;   // what the host tells its operator
  };
  const Cause causes[] = {
      {"missing", [](OrderFiles&, const std::string& f) { unlink(f.c_str()); }, "there is no order file"},
      {"too old", [](OrderFiles&, const std::string& f) { auto b = readbytes(f); patch32(b, 10, 250); withcrc(f, b); },
       "the file is of version 250; this program reads versions 264 to 327"},
      {"too new", [](OrderFiles&, const std::string& f) { auto b = readbytes(f); patch32(b, 10, 400); withcrc(f, b); },
       "the file is of version 400"},
      {"another game", [](OrderFiles&, const std::string& f) { auto b = readbytes(f); patch32(b, 22, 12345); withcrc(f, b); },
       "the file belongs to another game"},
      {"another turn", [](OrderFiles&, const std::string& f) { auto b = readbytes(f); patch32(b, 14, 7); withcrc(f, b); },
       "the orders are for turn 7, the game is at turn 1"},
      {"another nation", [](OrderFiles&, const std::string& f) { auto b = readbytes(f); patch32(b, 26, 1); withcrc(f, b); },
       "the file belongs to another nation"},
      {"not a game file", [](OrderFiles&, const std::string& f) { auto b = readbytes(f); b[3] = 'X'; withcrc(f, b); },
       "it is not a game file"},
      {"too short", [](OrderFiles&, const std::string& f) { auto b = readbytes(f); b.resize(b.size() / 2); withcrc(f, b); },
       "the file is damaged ("},
      {"bad checksum", [](OrderFiles&, const std::string& f) { auto b = readbytes(f); b[b.size() / 2] ^= 0x55; writebytes(f, b); },
       "the file is damaged (its checksum is wrong)"},
      {"one byte", [](OrderFiles&, const std::string& f) { writebytes(f, {1}); },
       "the file is damaged (it is too short to hold a checksum)"},
      {"empty", [](OrderFiles&, const std::string& f) { writebytes(f, {}); }, "the file is empty"},
  };
  for (const Cause& c : causes) {
    SCOPED_TRACE(c.what);
    create("testvale.map", {0, 1});
    recruitone(0);
    recruitone(1);
    c.spoil(*this, orderpath(0));
    bool stale = false, recruited = false;
    testing::internal::CaptureStdout();
    const int hosted = host();
    const std::string console = testing::internal::GetCapturedStdout();
    ASSERT_EQ(hosted, 1);
    EXPECT_NE(console.find(std::string("Orders of ") + nations[0].name + " (" + nations[0].fileword +
                           ".2h) not used: " + c.console),
              std::string::npos) << console;
    EXPECT_EQ(console.find(std::string("Orders of ") + nations[1].name), std::string::npos) << console;
    look(0, &stale, &recruited);
    EXPECT_TRUE(stale);
    EXPECT_FALSE(recruited);
    EXPECT_EQ(messages(0, (std::string("The host could not use them: ") + c.console).c_str()), 1);
    // The other nation's orders were used.
    look(1, &stale, &recruited);
    EXPECT_FALSE(stale);
    EXPECT_TRUE(recruited);
  }
}

TEST_F(OrderFiles, AWrongPasswordOrAForeignRecordIsStale) {
  create("testvale.map", {0, 1}, 1, "secret");
  // The file carries another password than the nation's.
  play(0, [] { strlcopy(password[0], "guess", 50); });
  bool stale = false, recruited = false;
  hostandlook(0, &stale, &recruited);
  EXPECT_TRUE(stale);
  // A record of another nation's unit, passed off as one's own.
  int32_t enemyunit = -1;
  {
    clearworld();
    int32_t t = 0;
    ASSERT_EQ(loadworldfile(game.c_str(), 0, &t), 1);
    for (int32_t u = 0; u <= highestunit && enemyunit < 0; u++)
      if (unit[size_t(u)].owner == 1 && unit[size_t(u)].hp > 0) enemyunit = u;
  }
  ASSERT_GE(enemyunit, 0);
  play(0, [&] {
    for (int32_t u = 0; u <= highestunit; u++)
      if (unit[size_t(u)].owner == 0 && unit[size_t(u)].hp > 0) {
        putunit(enemyunit, unit[size_t(u)]);
        unit[size_t(enemyunit)].comnr = -1;
        highestunit = imax(highestunit, enemyunit);
        break;
      }
  });
  hostandlook(0, &stale, &recruited);
  EXPECT_TRUE(stale);
  clearworld();
  int32_t t = 0;
  ASSERT_EQ(loadworldfile(game.c_str(), 0, &t), 1);
  EXPECT_EQ(unit[size_t(enemyunit)].owner, 1);
}

TEST_F(OrderFiles, OrdersThatMakeANationRicherAreRefused) {
  create("testvale.map", {0, 1});
  int32_t gold = 0;
  play(0, [&] {
    kingdom[0].gold += 5000;
    gold = kingdom[0].gold;
    queueone(0);
  });
  ASSERT_EQ(host(), 1);
  ASSERT_TRUE(openturn(0));
  EXPECT_EQ(messages(0, "more wealth than the nation had"), 1);
  EXPECT_LT(kingdom[0].gold, gold - 4000);
  // A magic item out of nowhere.
  play(0, [&] {
    for (int32_t c : commandersof(0)) {
      com[size_t(c)].item[7] = 0;
      for (int32_t s = 0; s < 8; s++)
        if (unitslotkind(com[size_t(c)].body, s) == 5 && com[size_t(c)].item[s] == 0) {
          for (int32_t i = 1; i < nbrofitems(); i++)
            if (items[size_t(i)].type == IT_MISC) {
              com[size_t(c)].item[s] = int16_t(i);
              break;
            }
          return;
        }
    }
  });
  ASSERT_EQ(host(), 1);
  ASSERT_TRUE(openturn(0));
  EXPECT_EQ(messages(0, "magic items the nation did not have"), 1);
  // An Empowerment that was not paid for.
  play(0, [&] {
    const int32_t god = kingdom[0].w[KW_GOD];
    com[size_t(god)].order = Order::empower;
    com[size_t(god)].orderparam = P_FIRE;
  });
  ASSERT_EQ(host(), 1);
  ASSERT_TRUE(openturn(0));
  EXPECT_EQ(messages(0, "more wealth than the nation had"), 1);
  // An order the host does not know.
  play(0, [&] { com[size_t(commandersof(0).front())].order = Order(13); });
  ASSERT_EQ(host(), 1);
  ASSERT_TRUE(openturn(0));
  EXPECT_EQ(messages(0, "an order the host does not know"), 1);
  // A game without cheat detection takes the gold.
  clearworld();
  int32_t t = 0;
  ASSERT_EQ(loadworldfile(game.c_str(), 0, &t), 1);
  gameinfo.gameflags |= GF_NOCHEATDETECTION;
  ASSERT_TRUE(writeworldfile(game.c_str(), filegamenumber, t));
  play(0, [&] { kingdom[0].gold += 5000; });
  ASSERT_EQ(host(), 1);
  ASSERT_TRUE(openturn(0));
  EXPECT_EQ(messages(0, "Orders refused"), 0);
  EXPECT_GT(kingdom[0].gold, 5000);
}

TEST_F(OrderFiles, FieldsNoScreenChangesAreKept) {
  create("testvale.map", {0, 1});
  int32_t moved = -1, land0 = -1, hp = 0;
  play(0, [&] {
    for (int32_t u = 0; u <= highestunit; u++)
      if (unit[size_t(u)].owner == 0 && unit[size_t(u)].hp > 0 && unit[size_t(u)].comnr < 0) {
        moved = u;
        land0 = unit[size_t(u)].land;
        hp = unit[size_t(u)].hp;
        setunitland(u, land0 == 1 ? 2 : 1);   // a soldier teleported
        unit[size_t(u)].hp = 999;
        unit[size_t(u)].exp = 500;
        break;
      }
    land[size_t(home(0))].population = 30000;
    queueone(0);
    kingdom[0].w[KW_HOMELAND] = 7;
    kingdom[0].w[KW_WINNER] = 1;       // words the host keeps for itself
    kingdom[0].w[KW_SUMMERVP] = 99;
    kingdom[0].w[KW_CALLGOD] = 5000;
    kingdom[0].w[KW_BATTLEMEMORY + 8] = 3;   // a battle order of digit key 1 is the player's
  });
  ASSERT_GE(moved, 0);
  ASSERT_EQ(host(), 1);
  ASSERT_TRUE(openturn(0));
  EXPECT_EQ(messages(0, "Orders refused"), 0);
  EXPECT_EQ(messages(0, "Recruitment in"), 1);   // the honest orders stand
  EXPECT_EQ(unit[size_t(moved)].land, land0);
  EXPECT_LE(unit[size_t(moved)].hp, hp);
  EXPECT_LT(unit[size_t(moved)].exp, 500);
  EXPECT_NE(kingdom[0].w[KW_HOMELAND], 7);
  EXPECT_EQ(kingdom[0].w[KW_WINNER], 0);
  EXPECT_NE(kingdom[0].w[KW_SUMMERVP], 99);
  EXPECT_NE(kingdom[0].w[KW_CALLGOD], 5000);
  EXPECT_EQ(kingdom[0].w[KW_BATTLEMEMORY + 8], 3);
  EXPECT_LT(land[size_t(home(0))].population, 30000);
}

}  // namespace

TEST_F(OrderFiles, ARefusedFileDeliversNoneOfItsLettersAndAGoodOneDeliversThem) {
  create("testvale.map", {0, 1});
  auto letter = [](int32_t slot, uint8_t gift, int32_t value, const char* text) {
    PMess& m = pmess[0][size_t(slot)];
    m.b0 = 1;
    m.b1 = gift;
    m.value = value;
    strlcopy(m.text, text, sizeof m.text);
  };
  // A letter beside a gift of an item that does not exist: the whole file goes.
  play(0, [&] {
    letter(2, PG_NONE, 0, "a word in confidence");
    letter(5, PG_ITEM, 30000, "a gift");
  });
  ASSERT_EQ(host(), 1);
  ASSERT_TRUE(openturn(1));
  EXPECT_EQ(messages(1, "a word in confidence"), 0);
  ASSERT_TRUE(openturn(0));
  EXPECT_EQ(messages(0, "an item that does not exist"), 1);
  // The same letter alone arrives, once.
  play(0, [&] { letter(2, PG_NONE, 0, "a word in confidence"); });
  ASSERT_EQ(host(), 1);
  ASSERT_TRUE(openturn(1));
  EXPECT_EQ(messages(1, "a word in confidence"), 1);
}
