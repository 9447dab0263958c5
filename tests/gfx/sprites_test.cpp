// Fetching sprites without a window: what an archive holds, and what it
// does not hold, answered the same on every call.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "gfx/gfx.h"
#include "gfx/sprites.h"
#include "runtime/trs.h"
#include "support/testdir.h"

namespace {
TrsImage picture(int32_t w, int32_t h) {
  TrsImage i;
  i.width = w, i.height = h;
  i.pixels.assign(size_t(w) * size_t(h) * 4, 200);
  return i;
}
}  // namespace

TEST(Sprites, AFailedLookupStaysFailedUntilTheSpritesAreCleared) {
  TestDir dir;
  const char* folder = dir.path.c_str();
  const std::string army = std::string(folder) + "/" + trsfilename(TRS_ARMY);
  const TrsImage held[] = {picture(3, 2)};
  ASSERT_EQ(savetrsfile(army.c_str(), held), 1);
  initsprites(folder);
  clearsprites();

  EXPECT_EQ(fetchsprite(TRS_ARMY, 0, 4), 1);
  EXPECT_EQ(fetchsprite(TRS_ARMY, 0, 4), 1);
  EXPECT_EQ(spritewidth(TRS_ARMY, 0), 3);
  EXPECT_EQ(spriteheight(TRS_ARMY, 0), 2);
  // Past the archive's end, a missing archive and a number of no archive:
  // no on the first call and on every later one, with a place of 1 x 1.
  for (auto [file, nr] : {std::pair{TRS_ARMY, 1}, std::pair{TRS_FLAGS, 0}, std::pair{-1, 0}}) {
    for (int call = 0; call < 3; call++) EXPECT_EQ(fetchsprite(file, nr, 4), 0) << file << " " << nr;
    EXPECT_EQ(spritewidth(file, nr), 1);
    EXPECT_EQ(spriteheight(file, nr), 1);
  }

  // The failure is remembered rather than looked up on disk each frame; a
  // fresh start finds the archive that has appeared since.
  const std::string flags = std::string(folder) + "/" + trsfilename(TRS_FLAGS);
  ASSERT_EQ(savetrsfile(flags.c_str(), held), 1);
  EXPECT_EQ(fetchsprite(TRS_FLAGS, 0, 4), 0);
  clearsprites();
  flushtrscache();
  EXPECT_EQ(fetchsprite(TRS_FLAGS, 0, 4), 1);

  clearsprites();
  initsprites(VEY3_DATA_DIR);
  std::filesystem::remove_all(folder);
}
