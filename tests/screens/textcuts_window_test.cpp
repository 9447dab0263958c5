// Texts cut to their boxes end in ".." after a whole word, in a real
// window: a scout report's subject in the message list, a commander's name
// and order on its card of the turn screen.
#include <gtest/gtest.h>

#include <string>

#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "mapview/mapview.h"
#include "screens/messages.h"
#include "screens/turnscreen.h"
#include "support/guitexts.h"
#include "support/pacedscript.h"
#include "support/smallworld.h"
#include "world/hoststate.h"

namespace {
constexpr int32_t ME = 3;

// The shown text that begins like the full text: cut (it ends in ".."
// where the full text goes on), and at a word's end. "" when none shows.
std::string cutof(const std::string& full) {
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind != AreaKind::text) continue;
    const std::string t(guiareatext(a), size_t(a.length));
    if (t.compare(0, 6, full, 0, 6) == 0) return t;
  }
  return "";
}

// The shown text is the full one, or a start of it up to a word's end
// (a blank or comma follows in the full text) with ".." after it, then
// whatever the screen adds.
void expectwordcut(const std::string& shown, const std::string& full) {
  ASSERT_FALSE(shown.empty()) << full;
  const size_t dots = shown.find("..");
  ASSERT_NE(dots, std::string::npos) << shown;
  const std::string kept = shown.substr(0, dots);
  EXPECT_EQ(full.compare(0, kept.size(), kept), 0) << shown;
  ASSERT_LT(kept.size(), full.size());
  EXPECT_TRUE(full[kept.size()] == ' ' || full[kept.size()] == ',') << shown << " ends inside a word of " << full;
}
}  // namespace

TEST(TextCutsWindow, SubjectsNamesAndOrdersEndInDotsAfterAWord) {
  makesmallworld();
  settype(1, "Ash Warden").sprite = 12;
  const int32_t c = mkcom(1, ME, 2);
  const std::string name = "Aldric Stormborn of the Eastmarch";   // 35 characters at most
  strcpy(com[c].name, name.c_str());
  setitem(5, "Crown of the Everlasting Ember King", IT_HELMET);
  com[c].order = Order::forge;
  com[c].orderparam = 5;
  land[2].owner = land[2].fortholder = ME;
  strcpy(land[2].name, "Mire of Rossia");
  const std::string report =
      "Scouts report 25 units in Mire of Rossia, most of them Triton Troopers, with sea trolls among them.";
  t2msg(newmsg(2, ME, MT_SCOUT, 2), "%s", report.c_str());

  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  installwindowdialogs(1);
  installmapscreens();
  setinputscript(paced("wait 3\nkey escape\nwait 2\n").c_str());
  viewmsgs(ME, "textcuts");
  expectwordcut(cutof(report), report);

  openturnscreen(2, ME, 0, "textcuts", 5, 1, 0);
  buildturnframe();
  installwindowdialogs(0);
  expectwordcut(cutof(name), name);
  const int32_t order = findguiarea(TS_CARDORDER + c);
  ASSERT_GE(order, 0);
  const guiarea& o = guiareaget(order);
  expectwordcut(std::string(guiareatext(o), size_t(o.length)), "Forge Crown of the Everlasting Ember King");
}
