// The Recruit Units screen under real X events (xdotool): the keys of the
// queue act once for a press and repeat while held, and clicks queue units
// between them.
#include <gtest/gtest.h>

#include "gfx/xwindow.h"
#include "host/hostgame.h"
#include "screens/recruitment.h"
#include "support/xevents.h"
#include "world/recruit.h"

namespace {
class RecruitWindow : public HostGame {};
}  // namespace

TEST_F(RecruitWindow, DeleteEmptiesTheQueueOnceAndHeldBackspaceRepeats) {
  create("veyrmark.map", {0, 1}, 1);
  ASSERT_TRUE(openturn(0));
  RealWindow w;
  ASSERT_TRUE(w.ok);
  const int32_t home = kingdom[0].w[KW_HOMELAND];
  kingdom[0].gold = 5000;
  const std::vector<int32_t> offered = recruitlist(home, 0);
  ASSERT_FALSE(offered.empty());
  const int32_t type = offered[0];
  // One frame drawn to learn where the entry stands.
  setinputscript("key escape\n");
  buildarmy(home, 0);
  setinputscript("");
  int32_t x = 0, y = 0;
  ASSERT_TRUE(areapixel(RC_UNIT + type, &x, &y));

  // A quick Delete empties the queue; the clicks after it queue again (a
  // key that went on firing after its release emptied the queue anew).
  XEvents quick;
  quick.click(x, y).click(x, y).key("Delete").click(x, y).pause(1.5).key("Escape");
  quick.start();
  buildarmy(home, 0);
  ASSERT_TRUE(quick.finish());
  EXPECT_EQ(land[home].queuecount, 1);

  // Backspace held for a while takes off unit after unit: the eight of the
  // queue within the first second of repeats, which a busy machine's frames,
  // a repeat each at most, may make longer; held for three.
  land[home].queuecount = 0;
  ASSERT_EQ(queueunits(home, 0, type, 8), 8);
  XEvents hold;
  hold.hold("BackSpace", 3).key("Escape");
  hold.start();
  buildarmy(home, 0);
  ASSERT_TRUE(hold.finish());
  EXPECT_EQ(land[home].queuecount, 0);
}
