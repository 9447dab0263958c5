// The mouse wheel over info boxes whose text is longer than the box: real
// wheel notches from the X server (xdotool) scroll the box, and it stays
// open until its Exit.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "gfx/guistate.h"
#include "gfx/xwindow.h"
#include "screens/infoboxes.h"
#include "screens/orders.h"
#include "screens/statbox.h"
#include "screens/unitbox.h"
#include "support/pacedscript.h"
#include "support/smallworld.h"
#include "support/xevents.h"
#include "support/xinput.h"

namespace {
constexpr int32_t ME = 3;

// The description table with one long text under each key (entry 0 stays
// "no description available").
void describeatlength(std::initializer_list<const char*> keys) {
  std::string text;
  for (int32_t n = 0; n < 60; n++) text += "A sentence of lore that goes on and on about nothing. ";
  descrs[0] = Descr{};
  descrs[0].text = -1;
  memcpy(descrtext.data(), text.c_str(), text.size() + 1);
  nbrdescrs = 1;
  for (const char* key : keys) {
    Descr& d = descrs[size_t(nbrdescrs++)];
    d = Descr{};
    strncpy(d.key, key, sizeof d.key - 1);
    d.text = 0;
  }
}

struct WheelCase {
  const char* box;
  int32_t exitid;   // also the id of its close button, over which the wheel turns
  std::function<void()> open;
};

// The box shown for the whole script (Escape at its end), laid out again
// where the scroll took it.
void expectscrolledandopen(const char* box, const std::string& scroll, int32_t exitid, const std::function<void()>& open) {
  setinputscript((paced(line("waitfor", exitid) + scroll) + line("waitfor", exitid) + "key escape\n").c_str());
  guibegin();   // no window of the box before behind
  open();
  EXPECT_FALSE(scriptbusy()) << box << " closed before Escape";
  EXPECT_GT(guiscrollmax(), 0) << box << " scrolls";
  EXPECT_GT(guiscroll(), 0) << box << " laid out again where the scroll took it";
  setinputscript("");
}
}  // namespace

// Two notches down with the pointer over the box, each let through a few
// frames; and a click on the scroll bar's lower arrow.
TEST(BoxWheelWindow, ScrollingAnInfoBoxLeavesItOpen) {
  makesmallworld();
  settype(1, "Ash Warden").sprite = 12;
  // Another title, whose box starts at the top of its own.
  settype(2, "Ember Warden").sprite = 12;
  const int32_t hero = mkcom(1, ME, 2), other = mkcom(2, ME, 2);
  spells[1] = Spell{};
  strcpy(spells[1].name, "Wordy Hex");
  setitem(5, "Wordy Ring", IT_MISC).picture = 7;
  describeatlength({"Ash Warden", "Ember Warden", "Hit Points", "Wordy Hex", "Wordy Ring"});
  const int32_t body = com[hero].body;
  const WheelCase cases[] = {
      {"item box", 999, [] { mibox(5); }},
      {"spell box", 1, [] { spellinfobox(1); }},
      {"breakdown box", 9, [&] { unitdescrbox(body, 1, 0); }},
      {"unit box", UB_EXIT, [&] { ustatbox(body, nullptr, 0, 0); }},
  };

  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  for (const WheelCase& c : cases)
    expectscrolledandopen(c.box,
                          line("point", c.exitid) + "wait 2\n" + xdoline("click 5") + "wait 6\n" + xdoline("click 5") +
                              "wait 6\n",
                          c.exitid, c.open);
  // The unit box, shown last, and the other's are of one size: the arrow
  // stands where it stood.
  int32_t x = 0, y = 0;
  ASSERT_TRUE(areapixel(GUIID_SCROLLDOWN, &x, &y));
  const std::string click = "mousemove --window \"$(xdotool search --name '^vey3 test$' | head -1)\" " +
                            std::to_string(x) + " " + std::to_string(y) + " click 1";
  expectscrolledandopen("unit box by its arrow", xdoline(click) + "wait 6\n", UB_EXIT,
                        [&] { ustatbox(com[other].body, nullptr, 0, 0); });
}
