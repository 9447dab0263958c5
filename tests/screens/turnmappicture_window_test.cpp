// The turn screen of a game whose map picture cannot be read (a FIFO, a
// folder or a device in the game's folder where the picture stands): the
// turn is played on a map drawn without it, and the console says once which
// file it is and what stands there.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "frontend/frontend.h"
#include "gfx/xwindow.h"
#include "host/hostgame.h"
#include "mapview/mapview.h"
#include "support/notafile.h"
#include "support/pacedscript.h"
#include "support/turnscript.h"

namespace {
class TurnMapPicture : public HostGame {};
}  // namespace

TEST_F(TurnMapPicture, APictureThatIsNoFileIsNamedOnceAndTheTurnIsPlayed) {
  // A game of its own for each: its first turn, not yet played.
  std::vector<const NotAFile*> planted;
  for (const NotAFile& c : notafiles) {
    game = std::string("vale") + c.kind;
    create("testvale.map", {0, 1}, 3);
    if (c.plant(path("testvale.tga").c_str()) == 0) planted.push_back(&c);
    else EXPECT_STREQ(c.kind, "device") << "cannot be made here";
  }
  RealWindow w;
  ASSERT_TRUE(w.ok);
  installmapscreens();
  for (const NotAFile* c : planted) {
    SCOPED_TRACE(c->kind);
    game = std::string("vale") + c->kind;
    const std::string picture = path("testvale.tga");
    // As in a program that starts with the turn: no picture loaded yet.
    flushmapimage("testvale.tga");
    quitprogram = 0;
    setinputscript(paced("waitfor 1\nclickid 1\nwaitfor 999\nkey escape\n" + TURNSCREEN + "key e\nwait 5\n"
                         "waitfor 1\nclickid 999\n")
                       .c_str());
    testing::internal::CaptureStdout();
    playturn(game.c_str());
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(quitprogram, 0);
    // The orders of the month written, as End turn writes them.
    int32_t ordered = -1;
    EXPECT_TRUE(readfileheader(game.c_str(), 0, -1, 0, 0, &ordered, nullptr, nullptr, nullptr));
    EXPECT_EQ(ordered, worldturn());
    const std::string line = "Map image " + picture + " cannot be read: it is a " + c->kind +
                             ", not a file; the map is drawn without it\n";
    EXPECT_NE(out.find(line), std::string::npos) << out;
    EXPECT_EQ(out.find("testvale.tga"), out.rfind("testvale.tga")) << out;
  }
}
