// The table numbers that the key "I" lists over the unit box and the item
// box: a box of their own whose "Exit" leaves it, as Return and Escape do.
// Keys are real X events (xdotool) in a real window.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "gfx/xwindow.h"
#include "screens/equipbox.h"
#include "screens/infoboxes.h"
#include "screens/unitbox.h"
#include "support/guitexts.h"
#include "support/pacedscript.h"
#include "support/smallworld.h"
#include "support/xinput.h"

namespace {
// "I" over the box, then Return in the listing, then Escape for the box;
// a second Escape is left over when Return closed the listing.
std::string listandleave(int32_t boxexit) {
  return line("waitfor", boxexit) + xdoline("key I") + "wait 10\n" + line("waitfor", 999) + xdoline("key Return") +
         "wait 10\nkey escape\nwait 10\nkey escape\n";
}

int32_t runwith(const std::string& script, const std::function<int32_t()>& open) {
  setinputscript(script.c_str());
  guibegin();
  return open();
}
}  // namespace

TEST(ListingBoxWindow, ShowsTheNumbersUnderItsTitleAndLeavesOnExitOrReturn) {
  makesmallworld();
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  setinputscript((line("waitfor", 999) + xdoline("key Return") + "wait 10\nkey escape\n").c_str());
  EXPECT_EQ(numberlisting("Ash Warden", "Monster number: 7\nSpear, weapon nbr 1\n"), 999);
  EXPECT_TRUE(scriptbusy()) << "Return left it; the Escape was not needed";
  const std::string shown = windowtexts();
  EXPECT_NE(shown.find("Monster number: 7"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Exit "), std::string::npos) << shown;
  EXPECT_EQ(shown.find("Cancel"), std::string::npos) << shown;

  setinputscript((line("waitfor", 999) + line("clickid", 999) + "wait 10\nkey escape\n").c_str());
  EXPECT_EQ(numberlisting("Ash Warden", "Monster number: 7\n"), 999);
  EXPECT_TRUE(scriptbusy()) << "its Exit left it";
  setinputscript("");
}

// "I" over the unit box lists the type's numbers; Return leaves the listing
// for the unit box, which Escape then closes.
TEST(ListingBoxWindow, UnitBoxListingLeavesOnReturn) {
  makesmallworld();
  settype(1, "Ash Warden").sprite = 12;
  const int32_t body = mkunit(1, 3, 2);
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  EXPECT_EQ(runwith(listandleave(UB_EXIT), [&] { return ustatbox(body, nullptr, 0, 0); }), UB_EXIT);
  EXPECT_TRUE(scriptbusy()) << "one Escape closed the unit box: Return had closed the listing";
  setinputscript("");
}

// The same over the item box, whose own Exit is 999 as well.
TEST(ListingBoxWindow, ItemBoxListingLeavesOnReturn) {
  makesmallworld();
  Item& ring = setitem(5, "Ember Ring", IT_MISC);
  ring.picture = 7;
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  EXPECT_EQ(runwith(listandleave(999), [] { return mibox(5); }), 999);
  EXPECT_TRUE(scriptbusy()) << "one Escape closed the item box: Return had closed the listing";
  setinputscript("");
}
