// Quads cut down to their ink draw the picture that whole quads draw: texts
// and sprites from tiny (shrunken levels of the textures) to large, over a
// backdrop, read back both ways in a real window.
#include <gtest/gtest.h>

#include "gfx/guidraw.h"
#include "gfx/sprites.h"
#include "runtime/trs.h"
#include "xwindow.h"

namespace {
// Texts and sprites at sizes from 5 to 90 units, some of them half
// transparent, over plain boxes.
void inkframe() {
  guibegin();
  areabox(0, 0, 0, 800, 600, 0.2f, 0.35f, 0.3f, 1);
  areabox(0, 400, 0, 400, 600, 0.8f, 0.75f, 0.6f, 1);
  const float sizes[] = {5, 7, 9, 11, 13.5f, 15, 19, 24, 33, 47, 62, 90};
  float y = 10;
  for (float s : sizes) {
    areatextcol(0, 10, y, s, 1, 1, 0.9f, 1, "Ravens of Holmgard gyp");
    areatextcol(0, 420, y, s, 0.1f, 0.1f, 0.3f, 0.7f, "Ashford Iron Wolves");
    y += s * 1.05f;
  }
  float x = 10;
  for (float s : sizes) {
    for (int32_t nr = 0; nr < 4; nr++) {
      fetchsprite(TRS_ARMY, nr, 4);
      areasprite(0, TRS_ARMY, nr, 4, x + float(nr) * s * 0.4f, 560 - s, s, s);
      fetchsprite(TRS_FLAGS, nr + 1, 4);
      areaspritecol(0, TRS_FLAGS, nr + 1, 5, x + float(nr) * s * 0.4f, 450 - 2 * s, s, 2 * s, 1, 1, 1, 0.6f);
    }
    x += s * 1.7f + 4;
  }
}

}  // namespace

TEST(InkCutting, CutQuadsDrawTheWholeQuadsPictureAtEverySize) {
  for (auto [w, h] : {std::pair{800, 600}, std::pair{1024, 768}, std::pair{640, 480}}) {
    RealWindow window(w, h);
    ASSERT_TRUE(window.ok);
    setbgscene(Scene::none);
    inkcutting = false;
    const Shot whole = shotofsecondframe("inkwhole.ppm", inkframe);
    inkcutting = true;
    const Shot cut = shotofsecondframe("inkcut.ppm", inkframe);
    ASSERT_EQ(whole.rgb.size(), size_t(w) * size_t(h) * 3);
    ASSERT_EQ(cut.rgb.size(), whole.rgb.size());
    int32_t worst = 0, differing = 0;
    for (size_t i = 0; i < whole.rgb.size(); i++) {
      const int32_t d = abs(int32_t(whole.rgb[i]) - int32_t(cut.rgb[i]));
      worst = std::max(worst, d);
      differing += d > 0;
    }
    // The filtering rounds a little differently on other corners of the
    // same texels; a glyph or figure cut short would differ by far more.
    EXPECT_LE(worst, 3) << w << " x " << h;
    EXPECT_LT(differing, int32_t(whole.rgb.size() / 100)) << w << " x " << h;
  }
}
