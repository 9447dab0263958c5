#include <gtest/gtest.h>

#include "gfx/gfx.h"
#include "gfx/glext.h"

TEST(ExtensionList, MatchesWholeWordsOnly) {
  const char* list = "GL_ARB_multitexture_extra GL_EXT_texture_env_combine GL_ARB_point_sprite";
  EXPECT_EQ(extensionlisted(list, "GL_EXT_texture_env_combine"), 1);   // in the middle
  EXPECT_EQ(extensionlisted(list, "GL_ARB_point_sprite"), 1);          // last word, no trailing blank
  EXPECT_EQ(extensionlisted(list, "GL_ARB_multitexture"), 0);          // only the start of a longer name
  EXPECT_EQ(extensionlisted(list, "GL_ARB_point"), 0);
  EXPECT_EQ(extensionlisted(list, "GL_ARB_point_sprites"), 0);         // longer than the listed word
  EXPECT_EQ(extensionlisted("GL_ARB_multitexture ", "GL_ARB_multitexture"), 1);
  EXPECT_EQ(extensionlisted("", "GL_ARB_multitexture"), 0);
  EXPECT_EQ(extensionlisted(nullptr, "GL_ARB_multitexture"), 0);
  EXPECT_EQ(extensionlisted("a  b", ""), 0);                           // an empty name names nothing
}

TEST(RendererQuirks, OnlyTheExactRendererNamesClearTheirFlag) {
  clamptoedge = pointspriteworks = 1;
  applyrendererquirks("ATI RADEON X800 XL Pro");
  applyrendererquirks("Mesa DRI Rage128 20010405 AGP 1x ");
  applyrendererquirks("llvmpipe");
  EXPECT_EQ(clamptoedge, 1);
  EXPECT_EQ(pointspriteworks, 1);
  applyrendererquirks("ATI RADEON X800 XL");
  EXPECT_EQ(pointspriteworks, 0);
  EXPECT_EQ(clamptoedge, 1);
  applyrendererquirks("Mesa DRI Rage128 20010405 AGP 1x");
  EXPECT_EQ(clamptoedge, 0);
}

TEST(DetailLevel, ParticleLimitFollowsTheLevelBands) {
  EXPECT_EQ(particlelimitfor(-1), 10000);
  EXPECT_EQ(particlelimitfor(9), 10000);
  EXPECT_EQ(particlelimitfor(10), 20000);
  EXPECT_EQ(particlelimitfor(14), 28000);
  EXPECT_EQ(particlelimitfor(15), 100000);
  setgfxlevel(12);
  EXPECT_EQ(particlelimit(), 24000);
  float nearer = viewdistance();
  setgfxlevel(8);
  EXPECT_EQ(particlelimit(), 10000);
  EXPECT_LT(viewdistance(), nearer);
}

TEST(DetailLevel, FilteringChoosesMipmapsFromLevelOne) {
  EXPECT_EQ(filtersfor(0).mipmaps, 0);
  EXPECT_EQ(filtersfor(-3).mipmaps, 0);
  EXPECT_EQ(filtersfor(1).mipmaps, 1);
  EXPECT_NE(filtersfor(1).minfilter, filtersfor(2).minfilter);
  EXPECT_EQ(filtersfor(3).minfilter, filtersfor(2).minfilter);
}
