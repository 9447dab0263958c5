// A left click on the plain text of the unit box and of the site box closes
// the box; a click beside it, the wheel and the unit box's selection strip
// do not. Real clicks and wheel notches from the X server (xdotool).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "gfx/guistate.h"
#include "gfx/xwindow.h"
#include "screens/infoboxes.h"
#include "screens/unitbox.h"
#include "support/guitexts.h"
#include "support/pacedscript.h"
#include "support/smallworld.h"
#include "support/xevents.h"
#include "support/xinput.h"

namespace {
constexpr int32_t ME = 3;
constexpr const char* LORE = "A sentence of lore that goes on and on about nothing. ";

// The type's description: LORE sixty times, longer than the box.
void describeatlength(const char* key) {
  std::string text;
  for (int32_t n = 0; n < 60; n++) text += LORE;
  descrs[0] = Descr{};
  descrs[0].text = -1;
  memcpy(descrtext.data(), text.c_str(), text.size() + 1);
  nbrdescrs = 2;
  descrs[1] = Descr{};
  strncpy(descrs[1].key, key, sizeof descrs[1].key - 1);
  descrs[1].text = 0;
}

// Where a click goes: the GUI point and a script line that moves the pointer
// there and presses the button.
struct Spot {
  float x = 0, y = 0;
  std::string press(int32_t button) const {
    float px = 0, py = 0;
    guitowindow(guiviewport(), windowheight(), x, y, &px, &py);
    return xdoline("mousemove --window \"$(xdotool search --name '^vey3 test$' | head -1)\" " +
                   std::to_string(int32_t(px)) + " " + std::to_string(int32_t(py)) + " click " +
                   std::to_string(button));
  }
};

// The middle of the first text area that begins with start, in the window
// last drawn; x -1 when there is none.
Spot middleof(const std::string& start) {
  const guiarea* a = textstarting(start);
  if (!a) return {-1, -1};
  return {a->x + a->w / 2, a->y + a->h / 2};
}

// Runs the box with the script, which ends with Escape; what it returned.
int32_t runbox(const std::string& script, const std::function<int32_t()>& open) {
  setinputscript(script.c_str());
  guibegin();   // no window of a box before behind
  return open();
}
}  // namespace

// The unit box: a click beside it and two wheel notches over its
// description leave it open, scrolled; a click on the description then
// closes it with 0, before the Escape that ends the script.
TEST(BoxPlainClickWindow, UnitBoxClosesOnItsPlainText) {
  makesmallworld();
  settype(1, "Ash Warden").sprite = 12;
  describeatlength("Ash Warden");
  const int32_t body = mkunit(1, ME, 2);
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  auto open = [&] { return ustatbox(body, nullptr, 0, 0); };

  // Shown once, to learn where its text lies.
  ASSERT_EQ(runbox(paced(line("waitfor", UB_EXIT) + "key escape\n"), open), UB_EXIT);
  // A row of the description that stays under the pointer as the text scrolls.
  const Spot lore = middleof("sentence");
  ASSERT_GT(lore.x, 0) << "the description is shown";
  const Spot beside{guishownwindow().x / 2, guishownwindow().y + guishownwindow().h / 2};
  ASSERT_GT(beside.x, 2) << "room beside the box";

  const std::string script = line("waitfor", UB_EXIT) + beside.press(1) + "wait 6\n" + lore.press(5) + "wait 6\n" +
                             lore.press(5) + "wait 6\n" + lore.press(1) + "wait 10\n" + "key escape\n";
  EXPECT_EQ(runbox(script, open), UB_CLOSE) << "closed by the click on its text, not by Escape";
  EXPECT_TRUE(scriptbusy()) << "the Escape after the click was not needed";
  EXPECT_GT(guiscroll(), 3 * GUITEXTHEIGHT) << "open through the click beside it and both wheel notches";
  setinputscript("");
}

// The site box: a click on its line closes it with 0.
TEST(BoxPlainClickWindow, SiteBoxClosesOnItsPlainText) {
  makesmallworld();
  sites[5] = Site{};
  strcpy(sites[5].name, "Gilded Hollow");
  sites[5].effectkind[0] = SE_GOLD;
  sites[5].effectval[0] = 40;
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  auto open = [] { return featbox(5); };

  ASSERT_EQ(runbox(paced(line("waitfor", 999) + "key escape\n"), open), 999);
  const Spot gold = middleof("Brings 40 gold");
  ASSERT_GT(gold.x, 0) << "the line is shown";

  EXPECT_EQ(runbox(line("waitfor", 999) + gold.press(1) + "wait 10\n" + "key escape\n", open), 0)
      << "closed by the click on its line, not by Escape";
  EXPECT_TRUE(scriptbusy());
  setinputscript("");
}

// Two units of one type (their boxes share a title): scrolled down to the
// selection strip in the first, the box shows the second from the top.
TEST(BoxPlainClickWindow, SelectionEntryShowsItsUnitFromTheTop) {
  makesmallworld();
  settype(1, "Ash Warden").sprite = 12;
  describeatlength("Ash Warden");
  const int32_t first = mkcom(1, ME, 2), second = mkcom(1, ME, 2);
  strcpy(com[first].name, "Oda");
  strcpy(com[second].name, "Brannoc");
  const int32_t sel[] = {com[first].body, com[second].body, -1};
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);

  const std::string script = line("waitfor", UB_EXIT) + line("point", UB_EXIT) + "wait 2\n" +
                             xdoline("click --repeat 20 --delay 30 5") + line("waitfor", UB_SELECTION + 1) +
                             "wait 4\n" + line("point", UB_SELECTION + 1) + "wait 2\n" + xdoline("click 1") +
                             "wait 10\n" + "key escape\n";
  EXPECT_EQ(runbox(paced(script), [&] { return ustatbox(sel[0], sel, 0, 0); }), UB_EXIT);
  EXPECT_NE(windowtexts().find("Brannoc"), std::string::npos) << "the second unit is shown";
  EXPECT_GT(guiscrollmax(), 0);
  EXPECT_EQ(guiscroll(), 0) << "from the top of its list";
  setinputscript("");
}
