#include <gtest/gtest.h>

#include <string>

#include "world/gamedata.h"
#include "world/grammar.h"
#include "world/units.h"
#include "world/world.h"

namespace {
std::string plural(int32_t n, const char* name) {
  char buf[PLURALLEN];
  return pluralname(n, name, buf);
}
}  // namespace

TEST(Grammar, PluralsByTitleWholeNameAndEnding) {
  EXPECT_EQ(plural(1, "Wolf"), "Wolf");
  EXPECT_EQ(plural(0, "Wolf"), "Wolves");
  EXPECT_EQ(plural(7, "Knight of Avalon"), "Knights of Avalon");
  EXPECT_EQ(plural(2, "Queen of the Sea"), "Queens of the Sea");
  EXPECT_EQ(plural(2, "Arch Bishop of Rome"), "Arch Bishops of Rome");
  EXPECT_EQ(plural(2, "Angel of the Host"), "Angel of the Host");
  EXPECT_EQ(plural(2, "Crone of Avalon"), "Crone of Avalon");
  EXPECT_EQ(plural(2, "Soulless of Caelum"), "Soulless of Caelum");
  EXPECT_EQ(plural(2, "Man at Arms"), "Men at Arms");
  EXPECT_EQ(plural(2, "Crossbowman"), "Crossbowmen");
  EXPECT_EQ(plural(2, "Iron Man"), "Iron Men");
  EXPECT_EQ(plural(2, "Heavy Cavalry"), "Heavy Cavalries");
  EXPECT_EQ(plural(2, "Turkey"), "Turkeys");
  EXPECT_EQ(plural(2, "Priestess"), "Priestesses");
  EXPECT_EQ(plural(2, "Soulless"), "Soulless");
  EXPECT_EQ(plural(2, "Harpies"), "Harpies");
  EXPECT_EQ(plural(2, "Lord"), "Lords");
  // A name that is exactly a title prefix is not a title.
  EXPECT_EQ(plural(2, "Knight of"), "Knight ofs");
  EXPECT_EQ(plural(2, ""), "s");
  EXPECT_EQ(plural(2, "y"), "ys");
}

TEST(Grammar, PluralStaysInsideItsBuffer) {
  std::string longname(200, 'y');
  const std::string p = plural(3, longname.c_str());
  EXPECT_LT(p.size(), size_t(PLURALLEN));
  const std::string t = plural(3, ("Knight of " + std::string(100, 'a')).c_str());
  EXPECT_EQ(t.size(), size_t(PLURALLEN - 1));
  EXPECT_EQ(t.substr(0, 11), "Knights of ");
}

TEST(Grammar, PronounsFollowTheFemaleFlagAndArticlesTheVowel) {
  clearworld();
  unittypes[1] = Monster{};
  unittypes[1].flags = MF_FEMALE;
  unittypes[2] = Monster{};
  const int32_t she = 0, he = 1;
  putunit(she, emptyunit());
  unit[she].type = 1;
  putunit(he, emptyunit());
  unit[he].type = 2;
  EXPECT_STREQ(heshecap(she), "She");
  EXPECT_STREQ(heshe(she), "she");
  EXPECT_STREQ(hisher(she), "her");
  EXPECT_STREQ(hishercap(she), "Her");
  EXPECT_STREQ(himher(she), "her");
  EXPECT_STREQ(himherself(she), "herself");
  EXPECT_STREQ(heshecap(he), "He");
  EXPECT_STREQ(himherself(he), "himself");
  EXPECT_STREQ(heshe(-1), "he");
  unit[she].type = -3;
  EXPECT_STREQ(hisher(she), "his");
  EXPECT_STREQ(aan("Elephant"), "an");
  EXPECT_STREQ(aan("elephant"), "an");
  EXPECT_STREQ(anacap("Unicorn"), "An");
  EXPECT_STREQ(aan("Horse"), "a");
  EXPECT_STREQ(anacap(nullptr), "A");
  EXPECT_STREQ(waswere(1), "was");
  EXPECT_STREQ(waswere(0), "were");
  EXPECT_STREQ(waswere(3), "were");
}
