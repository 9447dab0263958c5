// A turn file whose land number lies past the table, opened as the player's
// program opens it: the trace of -d names the number and the nation before
// the program ends with the box that the file does not read.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "host/hostgame.h"
#include "runtime/ask.h"
#include "screens/turnscreen.h"
#include "support/gamefolders.h"

namespace {

class TurnLands : public HostGame {
 protected:
  // Where the first land number of the nation's turn file stands: after the
  // header, the game information and the map zoom.
  size_t firstlandat(int32_t p) {
    int32_t t = 0;
    UniqueFile f = readfileheader(game.c_str(), 0, -1, 1, p, &t, nullptr, nullptr, nullptr);
    if (!f || !get_gameinforec(gameinfo, f.get())) return 0;
    getfixed(f.get());
    return size_t(ftell(f.get()));
  }
};

TEST_F(TurnLands, ALandNumberPastTheTableIsTracedWithItsNation) {
  create("testvale.map", {0, 1});
  const size_t at = firstlandat(1);
  ASSERT_GT(at, 0u);
  ASSERT_EQ(readbytes(trnpath(1))[at], 0);   // the first land number, 0
  patchgamefile(trnpath(1), at, MAXLANDS);
  EXPECT_EXIT(
      {
        // The trace and the box in one stream, in the order written.
        fflush(stdout);
        dup2(2, 1);
        setvbuf(stdout, nullptr, _IOLBF, 0);
        setdialogoutput(stderr);
        debuglevel = 1;
        ppt(1, game.c_str());
      },
      ::testing::ExitedWithCode(1),
      "\ngetturndata getland1505 for knr1\n(.|\n)*The turn file " + trnpath(1) + " does not read: ");
}

}  // namespace
