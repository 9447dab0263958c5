// Where the army panel and the Recruit Units screen stand, in a real window,
// each opened from the turn screen by its key: the panel 700 wide and as high
// as the screen, recruitment 500 wide and as high as its lists, both centred;
// with full lists, long names and a long garrison, everything they show stays
// inside the window and no text runs into another text or a figure.
// The close request of the window (the script's "quit") comes while the
// screen waits; the close question reads the screen's areas as laid out.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "actions/squads.h"
#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "mapview/mapview.h"
#include "screens/recruitment.h"
#include "screens/turnscreen.h"
#include "support/pacedscript.h"
#include "support/smallworld.h"
#include "world/recruit.h"

namespace {
constexpr int32_t ME = 3, HOME = 2;
constexpr int32_t SOLDIER = 1, LORD = 2;

// What the close question found: the shown screen's areas.
std::vector<guiarea> seen;
void readareas() {
  seen.clear();
  for (int32_t i = 0; i < guiareacount(); i++) seen.push_back(guiareaget(i));
}

// The areas of the screen that the key opens from the turn screen; its
// picture kept under the name while VEY3_KEEPSHOTS asks for it.
std::vector<guiarea> opened(const char* key, int32_t waitid, const char* name) {
  RealWindow w(800, 600);
  EXPECT_TRUE(w.ok);
  if (!w.ok) return {};
  installwindowdialogs(1);
  installmapscreens();
  setclosequestion(readareas);
  seen.clear();
  const std::string shot = tempfile(name);
  setinputscript(paced(line("waitfor", TS_GOD) + "key " + key + "\n" + line("waitfor", waitid) +
                       "move 5 5\nwait 2\nshot " + shot + "\nquit\nwait 2\nkey escape\n" + line("waitfor", TS_GOD) +
                       line("clickid", TS_ENDTURN))
                     .c_str());
  viewland(HOME, ME, 0, "panelplaces", 5, 1, 0);
  setinputscript("");
  setclosequestion(nullptr);
  installwindowdialogs(0);
  EXPECT_GT(readshot(shot).width, 0);
  dropshot(shot);
  return seen;
}

bool meets(const guiarea& a, const guiarea& b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

std::string textof(const guiarea& a) {
  return a.kind == AreaKind::text ? std::string(guiareatext(a), size_t(a.length)) : "an area";
}

// The window's frame (one), everything else inside it and off its border,
// no ground box of its own under the rows, and no text meeting another text
// or a figure.
guirect windowof(const std::vector<guiarea>& areas) {
  std::vector<guirect> frames;
  for (const guiarea& a : areas)
    if (a.kind == AreaKind::border) frames.push_back({a.x, a.y, a.w, a.h});
  EXPECT_EQ(frames.size(), 1u);
  if (frames.empty()) return {};
  const guirect w = frames[0];
  constexpr float BORDER = 4;
  for (const guiarea& a : areas) {
    if (a.kind == AreaKind::border) continue;
    const bool shown = a.kind == AreaKind::text || a.kind == AreaKind::sprite;
    const float in = shown ? BORDER : 0;
    EXPECT_TRUE(a.x >= w.x + in && a.x + a.w <= w.x + w.w - in && a.y >= w.y + in && a.y + a.h <= w.y + w.h - in)
        << textof(a) << " at " << a.x << "," << a.y << " " << a.w << "x" << a.h;
    if (a.kind == AreaKind::box) {
      EXPECT_LT(a.h, 100) << "a box " << a.w << "x" << a.h << " under the rows";
    }
  }
  for (size_t i = 0; i < areas.size(); i++) {
    if (areas[i].kind != AreaKind::text) continue;
    for (size_t j = 0; j < areas.size(); j++) {
      if (j != i && (areas[j].kind == AreaKind::sprite || (areas[j].kind == AreaKind::text && j > i))) {
        EXPECT_FALSE(meets(areas[i], areas[j])) << "\"" << textof(areas[i]) << "\" meets " << textof(areas[j]);
      }
    }
  }
  return w;
}

class PanelPlaces : public ::testing::Test {
 protected:
  void SetUp() override {
    makesmallworld();
    settype(SOLDIER, "Ash Warden").sprite = 12;
    settype(LORD, "Lord of the Long Ash Marches").sprite = 12;
    unittypes[LORD].flags2 = MF2_SUPERIORLEADER;
    Land& l = land[HOME];
    strcpy(l.name, "The Mire of Rossia under Ashfell");
    l.owner = l.fortholder = ME;
    l.fort = 1;
    l.poptype = -1;
    kingdom[ME].gold = 100000;
  }
};
}  // namespace

TEST_F(PanelPlaces, TheArmyPanelIs700WideAndAsHighAsTheScreen) {
  const int32_t c = mkcom(LORD, ME, HOME);
  strcpy(com[c].name, "Aldric Thunderhand of Ashfell");
  // Five squads, one of 60 men; a garrison of 150 beside them.
  const int32_t sizes[5] = {60, 1, 3, 12, 25};
  for (int32_t k = 0; k < 5; k++) {
    int32_t squad = -1;
    for (int32_t i = 0; i < sizes[k]; i++) {
      const int32_t u = mkunit(SOLDIER, ME, HOME);
      ASSERT_FALSE(joinsquad(u, c, squad, 0));
      squad = unit[u].squad;
    }
    ASSERT_EQ(com[c].squad[k], squad);
  }
  // The longest order texts: a flying attack on magic users, and none set.
  for (int32_t k = 0; k < 4; k++) com[c].sqorder[k] = 3, com[c].sqtarget[k] = 7;
  for (int32_t i = 0; i < 150; i++) mkunit(SOLDIER, ME, HOME);
  const std::vector<guiarea> areas = opened("t", 700000 + c, "panelplaces_army.ppm");
  ASSERT_FALSE(areas.empty()) << "the panel did not open";
  const guirect w = windowof(areas);
  EXPECT_EQ(w.w, 700);
  EXPECT_EQ(w.h, 600);
  EXPECT_EQ(w.x, 50) << "centred";
  EXPECT_EQ(w.y, 0);
  // The squads' figures end before their places on the field.
  for (const guiarea& a : areas) {
    if (a.kind != AreaKind::sprite) continue;
    for (const guiarea& f : areas) {
      if (f.id >= 800000 && f.id < 2000000) {
        EXPECT_FALSE(meets(a, f)) << "a figure on the field " << f.id;
      }
    }
  }
}

TEST_F(PanelPlaces, RecruitmentIs500WideAndAsHighAsItsLists) {
  // Twenty unit types and twenty commanders: two columns of ten each; a full
  // queue and a commander queued.
  std::vector<int32_t> list;
  for (int32_t t = 10; t < 30; t++) {
    settype(t, "Raraduvizaro Hearth Guardsman").sprite = 12;
    list.push_back(t);
  }
  list.push_back(RECRUIT_COMMANDERS);
  for (int32_t t = 30; t < 50; t++) {
    settype(t, "Golden Tower Archmage of Ash").sprite = 12;
    list.push_back(t);
  }
  list.push_back(RECRUIT_END);
  ASSERT_LE(list.size(), size_t(RECRUITLEN));
  std::copy(list.begin(), list.end(), nations[ME].recruit);
  ASSERT_EQ(recruitlist(HOME, 0).size(), 20u);
  ASSERT_EQ(recruitlist(HOME, 10).size(), 20u);
  ASSERT_EQ(queueunits(HOME, ME, 10, RECRUITQUEUEMAX), RECRUITQUEUEMAX);
  ASSERT_FALSE(recruitcommander(HOME, ME, 30));
  const std::vector<guiarea> areas = opened("r", RC_EXIT, "panelplaces_recruit.ppm");
  ASSERT_FALSE(areas.empty()) << "recruitment did not open";
  const guirect w = windowof(areas);
  EXPECT_EQ(w.w, 500);
  EXPECT_EQ(w.x, 150) << "centred";
  EXPECT_FLOAT_EQ(w.y, (600 - w.h) / 2) << "centred";
  // The last column's entries are there, cut to their column.
  int32_t entries = 0;
  for (const guiarea& a : areas) entries += a.kind == AreaKind::text && a.id == RC_COM + 49;
  EXPECT_EQ(entries, 1);
}
