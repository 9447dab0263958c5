// Pretender designs: the design points of each part, the checks, random
// designs, and saved design files read back without touching the world.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ai/design.h"
#include "ai/randgod.h"
#include "gamefiles/gamefiles.h"
#include "runtime/folders.h"
#include "runtime/rnd.h"
#include "support/gamefolders.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr int32_t SAGE = 1399;   // "Great Sage": astral 2, air, earth and fire 1, design cost 180

class Designs : public GameFolders {
 protected:
  void SetUp() override {
    GameFolders::SetUp();
    clearworld();
    seedrnd(7);
  }
  // A design of nation 0 in the Great Sage's form.
  GodDesign sage() {
    GodDesign d = newdesign(0);
    setform(d, SAGE);
    strlcopy(d.name, "Aurel", 36);
    strlcopy(d.password, "secret", 50);
    return d;
  }
};

TEST_F(Designs, EveryPartHasItsPoints) {
  GodDesign d = sage();
  ASSERT_TRUE(formallowed(0, SAGE));
  EXPECT_EQ(d.path[P_ASTRAL], 2);   // the form's own magic comes free
  EXPECT_EQ(designcost(d), 180);
  d.path[P_ASTRAL] = 4;             // levels 3 and 4
  d.path[P_DEATH] = 2;              // levels 1 and 2 of a new path
  EXPECT_EQ(designcost(d), 180 + 56 + 24);
  d.dominion = 4;
  EXPECT_EQ(designcost(d), 180 + 56 + 24 + 30);
  d.scale[0] = -2;   // Order costs
  d.scale[3] = 3;    // Death gives back
  d.scale[2] = -3;   // Heat is free, and so is Cold
  EXPECT_EQ(designcost(d), 290 + 20 - 30);
  d.scale[2] = 3;
  EXPECT_EQ(designcost(d), 280);
  d.awakening = GOD_DORMANT;
  EXPECT_EQ(designcost(d), 230);
  d.awakening = GOD_IMPRISONED;
  EXPECT_EQ(designcost(d), 180);
  // A new form keeps the paths bought and lifts the rest to its own.
  setform(d, 1396);   // earth 2, fire 1
  EXPECT_EQ(d.path[P_ASTRAL], 4);
  EXPECT_EQ(d.path[P_EARTH], 2);
}

TEST_F(Designs, TheRulesRefuseWhatTheyDoNotAllow) {
  GodDesign d = sage();
  EXPECT_STREQ(designproblem(d, DESIGNPOINTS), "");
  d.path[P_FIRE] = 9;
  d.path[P_WATER] = 5;   // 180 + 352 + 120 points
  EXPECT_STREQ(designproblem(d, DESIGNPOINTS), "The design costs 652 points; a god may cost at most 500.");
  EXPECT_STREQ(designproblem(d, 700), "");
  d = sage();
  d.path[P_ASTRAL] = 1;   // below the form's own level
  EXPECT_NE(std::string(designproblem(d, DESIGNPOINTS)).find("out of range"), std::string::npos);
  d = sage();
  d.form = 17;   // an archer is no god form
  EXPECT_NE(std::string(designproblem(d, DESIGNPOINTS)).find("cannot take the form"), std::string::npos);
  d = sage();
  d.dominion = 11;
  EXPECT_STRNE(designproblem(d, DESIGNPOINTS), "");
  d = sage();
  d.scale[1] = -4;
  EXPECT_STRNE(designproblem(d, DESIGNPOINTS), "");
  d = sage();
  d.name[0] = 0;
  EXPECT_STREQ(designproblem(d, DESIGNPOINTS), "The god has no name.");
}

TEST_F(Designs, RandomDesignsSpendTheirPointsWithinTheRules) {
  for (int32_t nation : {0, 5, 30, 50})
    for (int32_t points : {300, 500, 650}) {
      GodDesign d = randomdesign(nation, points);
      EXPECT_STREQ(designproblem(d, points), "") << nation << " " << points;
      EXPECT_GT(designcost(d), points - 60) << nation << " " << points;
    }
  // As a computer player's god in the world, it passes the design check.
  const int32_t c = randgod(5, 500);
  ASSERT_GE(c, 0);
  kingdom[5].w[KW_GOD] = int16_t(c);
  EXPECT_EQ(fg(5, -1), 0);
  EXPECT_EQ(godcost(5), designcost(designof(c, 5, 5)));
  EXPECT_STRNE(veyrec[5].text, "");   // the god carries an epithet
}

TEST_F(Designs, SavedDesignsReadBackWhole) {
  GodDesign d = sage();
  d.path[P_DEATH] = 2;
  d.dominion = 3;
  d.scale[0] = -1, d.scale[4] = 2, d.scale[5] = -3;
  d.awakening = GOD_DORMANT;
  drawepithet(d);
  ASSERT_STRNE(d.epithet, "");
  const int32_t units = highestunit, coms = highestcom;
  char why[MSGLEN];
  ASSERT_EQ(savedesign(d, "newlords", why), 0) << why;
  ASSERT_EQ(savedesign(d, "newlords", why), 1) << why;
  ASSERT_EQ(savedesign(d, "newlords", why), 2) << why;
  EXPECT_EQ(highestunit, units);
  EXPECT_EQ(highestcom, coms);
  // A taken slot set free is the next one used.
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/newlords/%s_1.2h", savepath, nations[0].fileword);
  ASSERT_EQ(remove(path), 0);
  int32_t slots[10];
  ASSERT_EQ(listdesigns(0, slots, 10), 2);
  EXPECT_EQ(slots[1], 2);
  EXPECT_EQ(savedesign(d, "newlords", why), 1);

  veyrec[0].scale[1] = 2;   // the world as it stands
  const VeyRec before = veyrec[0];
  GodDesign back;
  ASSERT_EQ(loaddesign("newlords", 0, 2, &back, why), 1) << why;
  EXPECT_EQ(back.form, SAGE);
  EXPECT_EQ(memcmp(back.path, d.path, sizeof d.path), 0);
  EXPECT_EQ(back.dominion, 3);
  EXPECT_EQ(memcmp(back.scale, d.scale, sizeof d.scale), 0);
  EXPECT_EQ(back.awakening, GOD_DORMANT);
  EXPECT_STREQ(back.name, "Aurel");
  EXPECT_STREQ(back.epithet, d.epithet);
  EXPECT_STREQ(back.password, "secret");
  EXPECT_EQ(designcost(back), designcost(d));
  // Reading changed nothing in the world.
  EXPECT_EQ(highestunit, units);
  EXPECT_EQ(highestcom, coms);
  EXPECT_EQ(memcmp(&veyrec[0], &before, sizeof before), 0);
  EXPECT_EQ(com[size_t(coms + 1)].body, -1);
  // A design saved for a new game lies in its folder as the nation's order file.
  ASSERT_EQ(savedesign(back, "mygame", why), 0) << why;
  EXPECT_TRUE(fileexists("%s/mygame/%s.2h", savepath, nations[0].fileword));
  ASSERT_EQ(loaddesign("mygame", 0, -1, &back, why), 1) << why;
  EXPECT_STREQ(back.name, "Aurel");
}

TEST_F(Designs, BadFilesAndBadDesignsGiveMessagesNotStops) {
  GodDesign d = sage();
  char why[MSGLEN];
  ASSERT_EQ(savedesign(d, "newlords", why), 0);
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/newlords/%s_0.2h", savepath, nations[0].fileword);
  const std::vector<uint8_t> bytes = readbytes(path);
  GodDesign back;
  for (size_t at : {size_t(3), bytes.size() / 2, bytes.size() - 5}) {
    std::vector<uint8_t> broken = bytes;
    broken[at] ^= 0x41;
    writebytes(path, broken);
    EXPECT_EQ(loaddesign("newlords", 0, 0, &back, why), 0) << at;
    EXPECT_NE(std::string(why).find("does not read"), std::string::npos) << why;
  }
  writebytes(path, std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(bytes.size() / 3)));
  EXPECT_EQ(loaddesign("newlords", 0, 0, &back, why), 0);
  EXPECT_EQ(loaddesign("newlords", 0, 5, &back, why), 0);   // no such file
  // A design over its points is never written.
  d.path[P_BLOOD] = 9;
  EXPECT_EQ(savedesign(d, "newlords", why), -1);
  EXPECT_NE(std::string(why).find("costs"), std::string::npos);
  EXPECT_FALSE(fileexists("%s/newlords/%s_1.2h", savepath, nations[0].fileword));
  // A folder that cannot be made: the reason, and no stop.
  d = sage();
  writebytes(root + "/save/blocked", {1});
  EXPECT_EQ(savedesign(d, "blocked", why), -1);
  EXPECT_NE(std::string(why).find("could not be written"), std::string::npos) << why;
}

}  // namespace
