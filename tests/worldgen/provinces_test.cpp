// Provinces and neighbours found in hand-made map images.
#include "support/mapfixture.h"

#include "runtime/alloc.h"

namespace {

class Provinces : public MapFolders {};

// Three provinces in a row with two red borders between them; a fourth high
// up on the picture.
Picture rowpicture() {
  Picture p(60, 30);
  p.redcolumn(20);
  p.redcolumn(40);
  p.white(10, 5);
  p.white(30, 5);
  p.white(50, 5);
  p.white(10, 25);
  return p;
}

void expectrow() {
  ASSERT_EQ(nbrlands, 4);
  // Numbered in buffer order: row 0 (the bottom of the picture) first.
  EXPECT_EQ(provgeo[1].x, 10);
  EXPECT_EQ(provgeo[1].y, 5);
  EXPECT_EQ(provgeo[3].x, 50);
  EXPECT_EQ(provgeo[4].y, 25);
  EXPECT_EQ(provgeo[0].x, -500);
  EXPECT_EQ(provgeo[2].groundcol[0], -1);
  EXPECT_EQ(provgeo[2].nbr[0], 0);
}

TEST_F(Provinces, FoundInEveryImageFormatAndRowOrder) {
  Picture p = rowpicture();
  writetga(mapdir() + "bottom.tga", p, false);
  writetga(mapdir() + "top.tga", p, true);
  ASSERT_EQ(savesgi(p.px.data(), p.w, p.h, (mapdir() + "plain.rgb").c_str(), 0), 1);
  ASSERT_EQ(savesgi(p.px.data(), p.w, p.h, (mapdir() + "packed.rgb").c_str(), 1), 1);
  for (const char* name : {"bottom.tga", "top.tga", "plain.rgb", "packed.rgb"}) {
    SCOPED_TRACE(name);
    FindCapitals(nullptr, name);
    expectrow();
    EXPECT_STREQ(mapimage.imagename, name);
  }
}

TEST_F(Provinces, OnlyPureWhiteCountsAlphaIgnored) {
  Picture p(10, 10);
  p.set(1, 1, 255, 255, 254);
  p.set(2, 2, 255, 255, 255, 0);
  p.set(3, 3, 254, 255, 255);
  writetga(mapdir() + "w.tga", p, false);
  FindCapitals(nullptr, "w.tga");
  ASSERT_EQ(nbrlands, 1);
  EXPECT_EQ(provgeo[1].x, 2);
}

TEST_F(Provinces, ImageSearchOrderGameFolderLocalThenMaps) {
  Picture a(10, 10), b(10, 10), c(10, 10);
  a.white(1, 1);
  b.white(1, 1), b.white(2, 2);
  c.white(1, 1), c.white(2, 2), c.white(3, 3);
  writetga(mapdir() + "m.tga", a, false);
  FindCapitals("", "m.tga");
  EXPECT_EQ(nbrlands, 1);
  writetga(root + "/local/m.tga", b, false);
  freebigmap();
  FindCapitals(nullptr, "m.tga");
  EXPECT_EQ(nbrlands, 2);
  mkdirs((root + "/save/g1").c_str());
  writetga(root + "/save/g1/m.tga", c, false);
  freebigmap();
  FindCapitals("g1", "m.tga");
  EXPECT_EQ(nbrlands, 3);
  // The same image again is not reloaded.
  EXPECT_EQ(LoadBigMap("g1", "m.tga"), 0);
}

TEST_F(Provinces, MoreThan1503WhitePixelsKeepTheFirst1503) {
  Picture p(100, 16);
  for (int32_t y = 0; y < 16; y++)
    for (int32_t x = 0; x < 100; x++) p.white(x, y);
  writetga(mapdir() + "many.tga", p, false);
  FindCapitals(nullptr, "many.tga");
  EXPECT_EQ(nbrlands, 1503);
  EXPECT_EQ(provgeo[1503].x, 2);
  EXPECT_EQ(provgeo[1503].y, 15);
}

TEST_F(Provinces, DamagedImageGivesNoProvinces) {
  writetext(mapdir() + "bad.tga", "not an image at all, just some text");
  FindCapitals(nullptr, "bad.tga");
  EXPECT_EQ(nbrlands, 0);
  EXPECT_EQ(mapimage.width, 0);
  EXPECT_EQ(mapimage.pixels, nullptr);
}

TEST_F(Provinces, MissingImagesAndNamesThatLeaveTheFolderStop) {
  EXPECT_DEATH(FindCapitals(nullptr, "nothere.tga"), "Can't find map image: nothere.tga");
  EXPECT_DEATH(LoadBigMap(nullptr, "../maps/x.tga"), "Bad map image name");
  EXPECT_DEATH(LoadBigMap(nullptr, "/etc/passwd"), "Bad map image name");
  EXPECT_DEATH(LoadBigMap("../g", "x.tga"), "Bad map image name");
  EXPECT_EQ(safemapname("a\tb.tga"), 0);
  EXPECT_EQ(safemapname("a b.tga"), 1);
}

TEST_F(Provinces, NeighboursAcrossOneBorderNotThroughAThird) {
  writetga(mapdir() + "row.tga", rowpicture(), false);
  FindCapitals(nullptr, "row.tga");
  FPN(1, 1e9f);
  FPN(2, 1e9f);
  // 1 and 2 share a border; 1 and 3 lie two borders apart.
  EXPECT_EQ(provgeo[1].nbr[0], 2);
  EXPECT_EQ(provgeo[2].nbr[0], 1);
  EXPECT_EQ(provgeo[2].nbr[1], 3);
  for (int i = 0; i < MAXNEIGHBOURS; i++) EXPECT_NE(provgeo[1].nbr[i], 3);
  // 4 lies above 1 without a border between them.
  EXPECT_EQ(provgeo[1].nbr[1], 4);
}

TEST_F(Provinces, FindNborsUsesTheDistanceLimit) {
  writetga(mapdir() + "row.tga", rowpicture(), false);
  FindCapitals(nullptr, "row.tga");
  FindNbors();
  // The closest pairs (20 pixels) are within the limit; 1-4 (also 20) too.
  EXPECT_EQ(provgeo[1].nbr[0], 2);
  EXPECT_EQ(provgeo[3].nbr[0], 2);
  EXPECT_EQ(provgeo[3].nbr[1], 0);
}

TEST_F(Provinces, LineCrossingsCooldownAndLimits) {
  Picture p(400, 10);
  p.redcolumn(10);
  p.redcolumn(11);   // a thick border counts once
  p.redcolumn(50);
  writetga(mapdir() + "l.tga", p, false);
  FindCapitals(nullptr, "l.tga");
  EXPECT_EQ(linecrossings(0, 5, 30, 5, 0), 1);
  EXPECT_EQ(linecrossings(0, 5, 60, 5, 0), 2);
  EXPECT_EQ(linecrossings(0, 5, 1, 5, 0), 0);
  EXPECT_EQ(linecrossings(0, 5, 5000, 5, 0), 99);
  // A second border too soon after the first is still cooling down.
  Picture q(40, 10);
  q.redcolumn(10);
  q.redcolumn(13);
  writetga(mapdir() + "q.tga", q, false);
  FindCapitals(nullptr, "q.tga");
  EXPECT_EQ(linecrossings(0, 5, 30, 5, 0), 1);
  EXPECT_EQ(isredpixel(-5, 5), 0);
  EXPECT_EQ(isredpixel(10, 500), 1);
}

TEST(Neighbours, AddAndRemoveEdges) {
  clearlandtables();
  addnbor(5, 7);
  addnbor(5, 7);
  EXPECT_EQ(provgeo[5].nbr[0], 7);
  EXPECT_EQ(provgeo[5].nbr[1], 0);
  EXPECT_EQ(provgeo[7].nbr[0], 0);
  addnbor(0, 7);
  addnbor(5, 1504);
  EXPECT_EQ(provgeo[5].nbr[1], 0);
  for (int i = 0; i < 19; i++) addnbor(5, 100 + i);
  EXPECT_EQ(provgeo[5].nbr[19], 118);
  addnbor(5, 200);
  for (int i = 0; i < MAXNEIGHBOURS; i++) EXPECT_NE(provgeo[5].nbr[i], 200);
  addnbor(7, 5);
  removenbor(5, 7);
  EXPECT_EQ(provgeo[5].nbr[0], 100);
  EXPECT_EQ(provgeo[5].nbr[19], 0);
  EXPECT_EQ(provgeo[7].nbr[0], 5);
}

TEST(Neighbours, StepsAlongAChain) {
  clearlandtables();
  nbrlands = 10;
  for (int l = 1; l < 10; l++) {
    addnbor(l, l + 1);
    addnbor(l + 1, l);
  }
  EXPECT_EQ(landsteps(1, 2), 1);
  EXPECT_EQ(landsteps(1, 7), 6);
  EXPECT_EQ(landsteps(1, 8), 999);
  // A shortcut is found whatever the list order.
  addnbor(1, 6);
  addnbor(6, 1);
  EXPECT_EQ(landsteps(1, 8), 3);
  EXPECT_EQ(landsteps(2, 8), 4);
  EXPECT_DEATH(provdist(0, 1), "bad provdist");
  EXPECT_DEATH(FPN(1505, 1.0f), "FPN bad l");
}

}  // namespace
