// Quads drawn in runs of one texture, out of the order given where they
// share no pixel, draw the picture of quads drawn one by one in order: a
// window with its frame, texts, marks and bars, figures and texts lying
// over each other in turn, a line drawn between them, and a second window
// over the first, read back both ways in a real window.
#include <gtest/gtest.h>

#include "gfx/guidraw.h"
#include "gfx/sprites.h"
#include "runtime/trs.h"
#include "xwindow.h"

namespace {
int32_t flag = 1;

// `swapped` draws the upper text of each pile before the figure under it.
void pileframe(bool swapped) {
  guibegin();
  areabox(0, 0, 0, 800, 600, 0.2f, 0.35f, 0.3f, 1);
  guititle("Ravens of Holmgard");
  guicloseid(5);
  guibutton(1, "Ashford Iron Wolves");
  guitoggle(2, &flag, "March at dawn");
  guiprogressbar(3, 200, 0.4f, 0.9f, 0.3f, 0.2f, 1);
  guisprite(4, TRS_ARMY, 1, 4);
  guibutton(6, "Hold the ford");
  guishow(60, 560);
  // Piles of a text, a figure over it and a text over the figure, some
  // over the window just shown, some over the backdrop.
  for (int32_t k = 0; k < 6; k++) {
    const float x = 40 + float(k) * 120, y = 150 + float(k % 3) * 110;
    fetchsprite(TRS_ARMY, k % 4, 4);
    fetchsprite(TRS_FLAGS, k % 4 + 1, 4);
    areatextcol(0, x, y + 20, 26, 1, 1, 0.9f, 1, "Gyp Wolves");
    if (swapped) areatextcol(0, x + 10, y + 10, 22, 0.1f, 0.1f, 0.4f, 0.8f, "Ford %d", k);
    areasprite(0, TRS_ARMY, k % 4, 4, x + 15, y, 60, 60);
    areaspritecol(0, TRS_FLAGS, k % 4 + 1, 5, x + 40, y - 20, 30, 60, 1, 1, 1, 0.6f);
    if (!swapped) areatextcol(0, x + 10, y + 10, 22, 0.1f, 0.1f, 0.4f, 0.8f, "Ford %d", k);
    areabox(0, x + 5, y + 35, 70, 8, 0.8f, 0.2f, 0.1f, 0.5f);
    if (k == 2) arealine(1, x, y, x + 100, y + 80, 1, 1, 0.2f, 0.9f, 3);
  }
  // A second window over the first.
  guiwindow(0, 200, 380, 300, 150);
  areatextcol(0, 220, 450, 24, 1, 0.9f, 0.5f, 1, "Over the window");
  areasprite(0, TRS_ARMY, 2, 4, 300, 420, 80, 80);
}

Shot shotof(const char* name, bool swapped) {
  return shotofsecondframe(name, [swapped] { pileframe(swapped); });
}
}  // namespace

TEST(QuadRuns, RunsOfOneTextureDrawThePictureOfQuadsInTheirOrder) {
  RealWindow window(1024, 768);
  ASSERT_TRUE(window.ok);
  setbgscene(Scene::none);
  quadreordering = false;
  const Shot inorder = shotof("inorder.ppm", false);
  const Shot swapped = shotof("swapped.ppm", true);
  quadreordering = true;
  const Shot runs = shotof("runs.ppm", false);
  const Shot runsswapped = shotof("runsswapped.ppm", true);
  ASSERT_EQ(inorder.rgb.size(), size_t(1024) * 768 * 3);
  // The order of the piles shows: quads drawn out of it would differ.
  EXPECT_NE(swapped.rgb, inorder.rgb);
  EXPECT_TRUE(runs.rgb == inorder.rgb);
  EXPECT_TRUE(runsswapped.rgb == swapped.rgb);
}
