// A stop about one unit in a real window: the message box naming the unit,
// then the unit's status box, then the stop; a negative unit number gets the
// message box alone. Each stop runs in a child process with an X server of
// its own. VEY3_KEEPSHOTS=1 keeps the pictures ($TMPDIR/vey3shots_*/unitfatal_*).
#include <gtest/gtest.h>

#include <string>

#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "screens/unitbox.h"
#include "support/pacedscript.h"
#include "support/process.h"
#include "support/smallworld.h"

namespace {
// Stops about unit `unr` in a window under the script; the child's end.
Ended stopinwindow(int32_t unr, const std::string& script) {
  return runchild(
      [&] {
        makesmallworld();
        settype(1, "Ash Warden").sprite = 12;
        strcpy(com[mkcom(1, 3, 2)].name, "Aldric");
        RealWindow w(800, 600);
        if (!w.ok) _exit(3);
        installwindowdialogs(1);
        setunitfatalhook(unitfatalbox);
        setinputscript(paced(script).c_str());
        unitfatal(1, "getmaxmorale: bad type", unr);
      },
      600);
}

TEST(UnitFatalWindow, MessageBoxThenTheUnitsStatusBoxThenTheStop) {
  const std::string message = tempfile("unitfatal_message.ppm"), box = tempfile("unitfatal_box.ppm");
  remove(box.c_str());
  const Ended e = stopinwindow(0, "waitfor 1\nmove 5 5\nwait 2\nshot " + message + "\nkey return\nwaitfor 99\nshot " +
                                      box + "\nkey escape\nwait 2\n");
  ASSERT_NE(e.code, 3) << "no window";
  EXPECT_TRUE(e.aborted());
  EXPECT_NE(e.err.find("getmaxmorale: bad type"), std::string::npos) << e.err;
  for (const std::string& s : {message, box}) {
    const Shot shot = readshot(s);
    ASSERT_GT(shot.width, 0) << "not shown: " << s;
    EXPECT_GT(pixelslike(shot, {250, 200, 300, 200}, 255, 255, 255, 60), 30) << "text on " << s;
    dropshot(s);
  }
}

TEST(UnitFatalWindow, ANegativeUnitGetsTheMessageBoxAlone) {
  const std::string message = tempfile("unitfatal_negative.ppm");
  const Ended e = stopinwindow(-3, "waitfor 1\nshot " + message + "\nkey return\nwait 2\n");
  ASSERT_NE(e.code, 3) << "no window";
  EXPECT_TRUE(e.aborted());
  EXPECT_NE(e.err.find("getmaxmorale: bad type"), std::string::npos) << e.err;
  EXPECT_EQ(e.err.find("ustatbox"), std::string::npos) << e.err;
  EXPECT_GT(readshot(message).width, 0) << "the message box was shown";
  dropshot(message);
}
}  // namespace
