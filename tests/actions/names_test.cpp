// Renaming a commander and its refusals.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "actions/names.h"
#include "support/smallworld.h"

namespace {

TEST(Rename, RefusalsThenTheNameAtMost35Characters) {
  makesmallworld();
  settype(1, "Ash Warden");
  const int32_t hero = mkcom(1, 3, 2), mate = mkcom(1, 3, 2);
  strcpy(com[hero].name, "Aldric");
  strcpy(com[mate].name, "Brenna");
  EXPECT_EQ(canrename(hero).why, "Commander renaming is not enabled in this game");
  EXPECT_EQ(renamecommander(hero, "Edgar").why, "Commander renaming is not enabled in this game");
  EXPECT_STREQ(com[hero].name, "Aldric");
  gameinfo.gameflags |= GF_RENAMING;
  EXPECT_FALSE(canrename(hero));
  unit[bodyunit(mate)].homeland = -2;
  EXPECT_EQ(canrename(mate).why, "Brenna doesn't want to be renamed");
  com[hero].tmpfx = 4;
  EXPECT_EQ(canrename(hero).why, "Aldric is a famous person and cannot be renamed");
  EXPECT_EQ(renamecommander(hero, "Edgar").why, "Aldric is a famous person and cannot be renamed");
  com[hero].tmpfx = 0;
  EXPECT_FALSE(renamecommander(hero, ""));
  EXPECT_STREQ(com[hero].name, "Aldric");
  EXPECT_FALSE(renamecommander(hero, std::string(60, 'x').c_str()));
  EXPECT_EQ(strlen(com[hero].name), 35u);
  EXPECT_EQ(canrename(-1).why, "No commander");
}

}  // namespace
