// Movement, the meetings that make battles, conquest, sieges and forts on a
// small world; the battle replays a hosted battle leaves.
#include "hostworld.h"

#include "battle/battle.h"
#include "battleview/battleview.h"
#include "gamefiles/gamefiles.h"
#include "support/gamefolders.h"
#include "world/scores.h"

namespace {

class War : public HostWorld {
 protected:
  // Movement and the battles it raises.
  void march() {
    movephase();
    battlesphase();
  }
};

TEST_F(War, ArmiesMarchTogetherAndTakeUndefendedProvinces) {
  own(3, A);
  const int32_t c = commander(A, 1);
  army(c, 5);
  order(c, Order::move, 3);   // through the capital: two steps in the nation's own lands
  march();
  EXPECT_EQ(comland(c), 3);
  EXPECT_EQ(living(3, A), 6);
  EXPECT_EQ(com[c].order, Order::defend);
  order(c, Order::move, 4);   // a foreign province next door
  march();
  EXPECT_EQ(comland(c), 4);
  EXPECT_EQ(living(4, A), 6);
  // Land 4 had no defenders: it falls without a battle and is conquered as
  // a land without a fort is: owner and fort holder, temple, defence and
  // queues all change.
  EXPECT_EQ(land[4].owner, A);
  EXPECT_EQ(land[4].fortholder, A);
  EXPECT_TRUE(land[4].vpword & 0x10);
  EXPECT_EQ(battlesfought, 0);
  EXPECT_EQ(messages(A, "Land4 has been conquered"), 1);
  // A destination out of reach withdraws the order with a message.
  order(c, Order::move, 9);
  march();
  EXPECT_EQ(comland(c), 4);
  EXPECT_EQ(com[c].order, Order::defend);
  EXPECT_EQ(messages(A, "could not move"), 1);
}

TEST_F(War, ConquestOfALandWithAFortBeginsASiege) {
  Land& l = land[5];
  own(5, B);
  l.fort = 1;
  l.fortdef = 150;
  l.temple = 1;
  l.queuecount = 1;
  l.queue[0] = MON_MILITIA_18;
  const int32_t gold = kingdom[B].gold;
  conquerland(5, A);
  EXPECT_EQ(l.owner, A);
  EXPECT_EQ(l.fortholder, B);
  EXPECT_EQ(l.temple, 1);
  EXPECT_EQ(l.queuecount, 0);
  EXPECT_EQ(kingdom[B].gold, gold + unittypes[MON_MILITIA_18].gcost);   // the fort holder's queue is refunded
  EXPECT_GE(l.unrest, 7);
  // Without a fort everything goes.
  own(6, B);
  land[6].temple = 1;
  land[6].provdef = 10;
  land[6].small[1] = 10;
  conquerland(6, A);
  EXPECT_EQ(land[6].fortholder, A);
  EXPECT_EQ(land[6].temple, 0);
  EXPECT_EQ(land[6].provdef, 0);
  EXPECT_EQ(land[6].small[1], 0);
}

TEST_F(War, DefendedProvincesAreFoughtForAndTheReplaysWritten) {
  own(3, A);
  own(4, B);
  const int32_t c = commander(A, 3), d = commander(B, 4);
  strlcopy(com[size_t(c)].name, "Ulfar", 36);
  strlcopy(com[size_t(d)].name, "Brannoc", 36);
  const int32_t unnamed = commander(B, 4);   // named by its unit type
  com[size_t(unnamed)].name[0] = 0;
  const std::string typename_ = unittypes[size_t(unit[size_t(com[size_t(unnamed)].body)].type)].name;
  army(c, 40);
  army(d, 3, MON_MILITIA_18);
  order(c, Order::move, 4);
  march();
  EXPECT_EQ(battlesfought, 1);
  EXPECT_EQ(land[4].owner, A);
  EXPECT_TRUE(land[4].reserved & LF_BATTLE);
  // B's commander had nowhere to flee and fell: both reports name him, and
  // the winner who lived is named by neither.
  EXPECT_LT(com[size_t(d)].body, 0);
  EXPECT_GE(com[size_t(c)].body, 0);
  for (int32_t p : {A, B}) {
    EXPECT_EQ(messages(p, "You lost"), 1);
    EXPECT_EQ(messages(p, "\nBrannoc died in the battle of Land4."), 1) << p;
    EXPECT_EQ(messages(p, ("\n" + typename_ + " died in the battle of Land4.").c_str()), 1) << p;
    EXPECT_EQ(messages(p, "Ulfar died"), 0) << p;
  }
  // Both sides hear of it, with the battle's seed and land for the replay screen.
  for (int32_t p : {A, B}) {
    bool found = false;
    for (int32_t m = 0; m <= highestmsg; m++) {
      const Message& x = message[size_t(m)];
      if (x.player != p || x.type != MT_BATTLE) continue;
      found = true;
      EXPECT_GT(x.subj[0], 0);
      EXPECT_EQ(x.subj[1], 4);
    }
    EXPECT_TRUE(found);
    // One replay each, of the battle's land.
    char path[PATHLEN];
    vcrpath(path, PATHLEN, p, 0);
    UniqueFile f = openfile(path, "rb");
    ASSERT_TRUE(f);
    ASSERT_EQ(find_vcr(0, f.get()), 1);
    int32_t lnr = 0, def = 0, att = 0;
    readvcrheader(&lnr, &def, &att, f.get());
    EXPECT_EQ(lnr, 4);
    EXPECT_EQ(def, B);
    EXPECT_EQ(att, A);
  }
  // The world outside the battle is back as it was.
  EXPECT_EQ(commandersin(AHOME, -1).size(), 0u);
  EXPECT_EQ(land[AHOME].owner, A);
  bugcheck(1);
}

// The forces outside a battle's province go aside into "tmp_fl" of the
// temp folder for the battle and come back from it; a temp folder that
// cannot take the file stops the host with the file and the cause. While
// the month's battles are fought, everyone outside all their provinces is
// aside in memory already: the file of a battle holds the forces of the
// other battle provinces, as the tables held them.
TEST_F(War, TheForcesOutsideABattleGoAsideInTheTempFolder) {
  own(3, A);
  own(4, B);
  own(5, A);
  own(6, B);
  const int32_t first = commander(A, 3), second = commander(A, 5), stayer = commander(A, 1);
  strlcopy(com[size_t(first)].name, "First", 36);
  strlcopy(com[size_t(stayer)].name, "Stayer", 36);
  army(first, 40);
  army(second, 40);
  army(commander(B, 4), 3, MON_MILITIA_18);
  army(commander(B, 6), 3, MON_MILITIA_18);
  order(first, Order::move, 4);
  order(second, Order::move, 6);
  const std::string aside = std::string(temppath) + "/tmp_fl";
  ASSERT_EQ(mkdir(aside.c_str(), 0755), 0);
  EXPECT_DEATH(march(), "sf: Write error! Disc full\\?: " + aside + ": a folder stands in its place");
  rmdir(aside.c_str());
  march();
  ASSERT_EQ(battlesfought, 2);
  // The file of the battle of Land6, fought second, holds what the tables
  // held outside Land6 while it was fought: nothing, as the forces of Land4,
  // where the first battle was won, and of everywhere else were kept aside
  // in memory. They came back as they were.
  const std::vector<uint8_t> b = readbytes(aside);
  ASSERT_EQ(b.size(), 16u);
  const auto int32at = [&](size_t at) { return int32_t(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24); };
  EXPECT_EQ(int32at(0), SETASIDECHECK);
  EXPECT_EQ(int32at(4), -1);
  EXPECT_EQ(int32at(8), -1);
  EXPECT_EQ(int32at(12), 12345);
  EXPECT_EQ(unitsin(4, -1).size(), 41u);
  EXPECT_EQ(comland(first), 4);
  EXPECT_STREQ(com[size_t(first)].name, "First");
  EXPECT_STREQ(com[size_t(stayer)].name, "Stayer");
}

// A battle's set-aside file is read back over the forces it holds: a
// record that changed in the table meanwhile, or in the file, comes back as
// the file has it, whether or not the same forces were set aside before.
TEST_F(War, TheSetAsideFileIsReadBackAsItStands) {
  const int32_t c = commander(A, 3), d = commander(B, 6);
  army(c, 5);
  army(d, 4);
  const int32_t u = armyunits(c)[0], v = armyunits(d)[1];
  const int16_t hp = unit[size_t(u)].hp;
  strlcopy(com[size_t(c)].name, "Aldo", 36);
  for (int32_t round = 0; round < 4; round++) {   // later rounds write the same forces again
    setforcesaside(4);
    if (round % 2 == 0) unit[size_t(u)].hp = 1;
    else strlcopy(com[size_t(c)].name, "Bero", 36);
    ASSERT_EQ(takeforcesback(KEEPSTATE), 1);
    EXPECT_EQ(unit[size_t(u)].hp, hp) << round;
    EXPECT_STREQ(com[size_t(c)].name, "Aldo") << round;
  }
  // As written and untouched it leaves the table as it is.
  setforcesaside(4);
  const std::vector<Unit> table(unit.begin(), unit.begin() + highestunit + 1);
  ASSERT_EQ(takeforcesback(KEEPSTATE), 1);
  EXPECT_EQ(memcmp(table.data(), unit.data(), table.size() * sizeof(Unit)), 0);
  // A record changed among its neighbours since the last file goes into the
  // next as it stands now.
  unit[size_t(u)].hp = 2;
  setforcesaside(4);
  unit[size_t(u)].hp = 7;
  ASSERT_EQ(takeforcesback(KEEPSTATE), 1);
  EXPECT_EQ(unit[size_t(u)].hp, 2);
  // A file changed on the disc gives its own record: a unit's hit points
  // follow its number, three flag words, its squad and its type.
  setforcesaside(4);
  const std::string path = std::string(temppath) + "/tmp_fl";
  std::vector<uint8_t> b = readbytes(path);
  size_t at = 4;
  const auto int32at = [&](size_t i) {
    return int32_t(uint32_t(b[i]) | uint32_t(b[i + 1]) << 8 | uint32_t(b[i + 2]) << 16 | uint32_t(b[i + 3]) << 24);
  };
  while (at + 4 <= b.size() && int32at(at) >= 0 && int32at(at) != v) at += 4 + size_t(unitrecordbytes());
  ASSERT_EQ(int32at(at), v);
  b[at + 4 + 18] = 3;
  b[at + 4 + 19] = 0;
  writebytes(path, b);
  ASSERT_EQ(takeforcesback(KEEPSTATE), 1);
  EXPECT_EQ(unit[size_t(v)].hp, 3);
}

TEST_F(War, AReplayFromItsSeedFightsTheSameBattle) {
  own(3, A);
  own(4, B);
  const int32_t c = commander(A, 3), d = commander(B, 4);
  army(c, 20);
  army(d, 15);
  const int32_t bystander = commander(A, 9);
  army(bystander, 4);
  order(c, Order::move, 4);
  march();
  ASSERT_EQ(battlesfought, 1);
  // The replay as the turn screen runs it: the world from the record, the
  // seed once before the set-up, the stored checksums to compare with.
  auto replay = [&](bool changeworld) {
    Replay r;
    ASSERT_NO_FATAL_FAILURE(readreplay(A, r));
    EXPECT_TRUE(unitsin(9, A).empty());   // the replay holds the battle's land only
    if (changeworld)
      for (int32_t u : unitsin(4, A)) unit[size_t(u)].hp = 1;
    const std::string log = fightreplay(r);
    if (!changeworld) {
      EXPECT_NE(log.find("This battle looks just like I have forseen"), std::string::npos);
      EXPECT_NE(log.find("Battle running along just as I have forseen"), std::string::npos);
      EXPECT_EQ(log.find("inconsistency"), std::string::npos);
    } else {
      EXPECT_NE(log.find("***** Warning: Battle inconsistency"), std::string::npos);
    }
  };
  replay(false);
  replay(true);
}

// The end report of a battle's replay tells what the host did with the
// losers: those who went to a land of their own beside the battle as
// retreated, those who had none as having had nowhere to go. The replay's
// world holds the battle's land alone, as the turn screens load it.
class Losers : public War {
 protected:
  // A's army of 20 attacks B's 40 in land `to` from land `from`; the host's
  // result, then the replay's end report against it.
  BattleResult losebattle(int32_t from, int32_t to) {
    own(to, B);
    army(commander(B, to), 40);
    const int32_t c = commander(A, from);
    army(c, 20);
    order(c, Order::move, to);
    march();
    return battleresult;
  }
  void replaytells(const BattleResult& hosted) {
    EXPECT_EQ(hosted.winner, B);
    clearworld();
    Replay r;
    readreplay(A, r);
    EXPECT_NE(fightreplay(r).find("Battle running along just as I have forseen"), std::string::npos);
    EXPECT_EQ(battleresult.winner, B);
    EXPECT_EQ(battleresult.retreated, hosted.retreated);
    EXPECT_EQ(battleresult.died_trapped, hosted.died_trapped);
    const std::vector<std::string> lines = battlereportlines(BattleCheck{});
    const std::string told = std::to_string(hosted.retreated) + " of the losers retreated, " +
                             std::to_string(hosted.died_trapped) + " had nowhere to go.";
    EXPECT_EQ(std::count(lines.begin(), lines.end(), told), 1) << told;
  }
};

TEST_F(Losers, WhoFallBackToTheirOwnLandAreToldAsRetreated) {
  own(3, A);
  const BattleResult hosted = losebattle(3, 4);
  EXPECT_GT(hosted.retreated, 0);
  EXPECT_EQ(hosted.died_trapped, 0);
  EXPECT_EQ(living(3, A), hosted.retreated);
  replaytells(hosted);
}

TEST_F(Losers, WhoHaveNoLandBesideTheBattleAreToldAsHavingNowhereToGo) {
  // Land 7 lies between B's lands 6 and 8.
  const BattleResult hosted = losebattle(7, 6);
  EXPECT_EQ(hosted.retreated, 0);
  EXPECT_GT(hosted.died_trapped, 0);
  EXPECT_EQ(living(6, A) + living(7, A), 0);
  replaytells(hosted);
}

TEST_F(War, CastlesAreBesiegedBrokenStormedOrGivenUp) {
  Land& l = land[BHOME];
  const int32_t c = commander(A, 7);
  army(c, 30);
  const int32_t d = commander(B, BHOME);
  army(d, 2, MON_MILITIA_18);
  order(c, Order::move, BHOME);
  movephase();
  battlesphase();
  // The defenders withdraw into the castle: the province is A's, the fort B's.
  EXPECT_EQ(battlesfought, 0);
  EXPECT_EQ(l.owner, A);
  EXPECT_EQ(l.fortholder, B);
  EXPECT_EQ(messages(B, "lays siege"), 1);
  // Each month of siege wears the gates down; storming waits for them.
  const int32_t full = l.fortdef;
  siegesphase();
  EXPECT_LT(l.fortdef, full);
  order(c, Order::storm);
  movephase();
  EXPECT_EQ(messages(A, "The castle gates still stand: the siege must break them first."), 1);
  l.fortdef = 0;
  order(c, Order::storm);
  movephase();
  battlesphase();
  EXPECT_EQ(battlesfought, 1);
  EXPECT_EQ(l.fortholder, A);   // forty against two
  // A castle whose besiegers are gone ends the siege; one whose defenders
  // are gone surrenders.
  own(5, B);
  land[5].fort = 1;
  land[5].fortdef = 100;
  land[5].owner = A;
  const int32_t e = commander(B, 5);
  siegesphase();
  EXPECT_EQ(land[5].owner, B);
  land[5].owner = A;
  commander(A, 5);
  killunit(com[e].body);
  siegesphase();
  EXPECT_EQ(land[5].fortholder, A);
}

TEST_F(War, FortsRiseMonthByMonth) {
  own(4, A);
  const int32_t c = commander(A, 4);
  const int32_t type = getcastle(A, 4);
  ASSERT_GT(type, 0);
  order(c, Order::buildfort, type);
  const int32_t months = forts[size_t(type)].val[FORT_BUILDTIME];
  for (int32_t m = 1; m < months; m++) {
    siegesphase();
    EXPECT_EQ(land[4].fort, -m);
    EXPECT_EQ(land[4].counter, type);
  }
  siegesphase();
  EXPECT_EQ(land[4].fort, type);
  EXPECT_EQ(land[4].fortdef, fortdef(type, 4));
  EXPECT_EQ(com[c].order, Order::defend);
  EXPECT_EQ(messages(A, "has been built in Land4"), 1);
  // A fort type the nation does not build there is paid back.
  own(5, A);
  const int32_t d = commander(A, 5);
  order(d, Order::buildfort, type == 1 ? 2 : 1);
  const int32_t gold = kingdom[A].gold;
  siegesphase();
  EXPECT_EQ(land[5].fort, 0);
  EXPECT_EQ(kingdom[A].gold, gold + fortcost(5, type == 1 ? 2 : 1));
}

TEST_F(War, HiddenArmiesAndThePatrolsThatFindThem) {
  own(5, A);
  const int32_t patrol = commander(A, 5);
  army(patrol, 30);
  order(patrol, Order::patrol);
  const int32_t spy = commander(B, 6, findunittype("Scout"));   // stealthy, alone
  order(spy, Order::sneak, 5);
  // Sneaking in does not attack; a strong patrol finds the sneakers.
  movephase();
  EXPECT_EQ(comland(spy), 5);
  bool caught = false;
  for (const PendingBattle& b : pendingbattles) caught = caught || (b.kind == BK_PATROL && b.attacker == B);
  EXPECT_TRUE(caught);
  EXPECT_EQ(messages(A, "hiding in Land5"), 1);
  battlesphase();
  EXPECT_EQ(battlesfought, 1);
  EXPECT_EQ(land[5].owner, A);
  // An army that attacks where it stands fights the owner.
  const int32_t raider = commander(B, 5);
  army(raider, 40);
  order(raider, Order::attack);
  movephase();
  battlesphase();
  EXPECT_EQ(battlesfought, 2);
  EXPECT_EQ(land[5].owner, B);
}

TEST_F(War, AnAssassinFightsItsTargetAlone) {
  own(5, A);
  land[5].provdef = 20;
  const int32_t target = commander(A, 5);
  army(target, 20);
  const int32_t assassin = commander(B, 5);
  unit[com[assassin].body].abil[0] = 213;
  unit[com[assassin].body].abilval[0] = 1;
  order(assassin, Order::assassinate);
  movephase();
  ASSERT_EQ(pendingbattles.size(), 1u);
  EXPECT_EQ(pendingbattles[0].kind, BK_ASSASSIN);
  const int32_t guards = living(5, A);
  battlesphase();
  EXPECT_EQ(battlesfought, 1);
  // The target's army stood apart and is whole, whoever won.
  EXPECT_GE(living(5, A), guards - 1);
  EXPECT_EQ(land[5].owner, A);
  // Nor does the province's defence come to the target's aid.
  Replay r;
  ASSERT_NO_FATAL_FAILURE(readreplay(B, r));
  EXPECT_EQ(r.values[0], 0);
}

}  // namespace
