// A process killed (SIGKILL) at every step of the roads that write a game:
// what it leaves, once the next start or reader has tidied up, is the old
// game or the new one, whole.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>

#include "gamefiles/gamefiles.h"
#include "host/host.h"
#include "runtime/filesets.h"
#include "runtime/hostlock.h"
#include "runtime/options.h"
#include "worldgen/randmap.h"
#include "runtime/rnd.h"
#include "support/gamefolders.h"
#include "support/mapfixture.h"
#include "world/gamedata.h"

namespace {

using Files = std::map<std::string, std::vector<uint8_t>>;

// The game's files; the host's lock file (empty, made by the first host)
// holds no state of the game.
Files snapshot(const std::string& folder) {
  Files files;
  for (const std::string& name : listfolder(folder))
    if (name != HOSTLOCKFILE) files[name] = readbytes(folder + "/" + name);
  return files;
}

void restore(const std::string& folder, const Files& files) {
  ASSERT_EQ(system(("rm -rf '" + folder + "'").c_str()), 0);
  mkdirs(folder.c_str());
  for (const auto& [name, bytes] : files) writebytes(folder + "/" + name, bytes);
}

// Runs the road in a child that kills itself at the given step; true when
// the child was killed, false when it ran to its end.
template <class Road>
bool killedat(int32_t step, Road road) {
  fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    if (!freopen("/dev/null", "w", stdout)) _exit(2);
    killstep = step;
    killsteps = 0;
    _exit(road() == 1 ? 0 : 3);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) {
    EXPECT_EQ(WEXITSTATUS(status), 0);
    return false;
  }
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  return true;
}

class Stopped : public ShippedMapFolders {
 protected:
  void SetUp() override {
    ShippedMapFolders::SetUp();
    seedrnd(3);
    srand(3);
    strlcopy(mapfile, "testvale.map", sizeof mapfile);
    eraoption = 1;
    comptrn = 1;
    for (int n : {0, 1, 2}) nationcontrol[n] = 21;
    folder = std::string(savepath) + "/g";
  }
  // The turn that every file of the game holds, or -1 when the world file
  // and the turn files are not one whole set.
  int32_t wholeturn() {
    int32_t turn = -1;
    if (!readfileheader("g", 0, -1, 1, -1, &turn, nullptr, nullptr, nullptr)) return -1;
    const int32_t game = filegamenumber;
    for (int p : {0, 1, 2}) {
      char path[PATHLEN];
      gamefilepath(path, PATHLEN, "g", 1, p);
      int32_t t = -1;
      if (!checkcrc(path) || !readfileheader("g", game, -1, 1, p, &t, nullptr, nullptr, nullptr) || t != turn)
        return -1;
    }
    return turn;
  }
  std::string folder;
};

TEST_F(Stopped, ANewGameOverAnOldOneAtEveryStep) {
  ASSERT_EQ(createnewgame("g", 0, nullptr), 1);
  const Files old = snapshot(folder);
  int32_t step = 1, fresh = 0;
  for (; step < 200 && killedat(step, [] { return createnewgame("g", 0, nullptr); }); step++) {
    // The next start tidies the saved games.
    settlefolder(savepath);
    EXPECT_EQ(listfolder(savepath), std::vector<std::string>{"g"}) << step;
    const Files now = snapshot(folder);
    if (now != old) {
      fresh++;
      EXPECT_EQ(wholeturn(), 1) << step;
      EXPECT_NE(now.at("ftherlnd"), old.at("ftherlnd")) << step;
    }
    restore(folder, old);
  }
  EXPECT_GT(step, 10);
  EXPECT_LT(step, 200);
  EXPECT_GT(fresh, 0);
  // A game made where none stood: no game or the whole one.
  restore(folder, {});
  rmdir(folder.c_str());
  for (step = 1; killedat(step, [] { return createnewgame("g", 0, nullptr); }); step++) {
    settlefolder(savepath);
    if (direxists("%s", folder.c_str())) EXPECT_EQ(wholeturn(), 1) << step;
    else EXPECT_TRUE(listfolder(savepath).empty()) << step;
    ASSERT_EQ(system(("rm -rf '" + folder + "'").c_str()), 0);
  }
}

TEST_F(Stopped, AHostedTurnAtEveryStep) {
  ASSERT_EQ(createnewgame("g", 0, nullptr), 1);
  const Files old = snapshot(folder);
  ASSERT_EQ(newturn("g", -1), 1);
  const Files next = snapshot(folder);
  restore(folder, old);
  int32_t step = 1, fresh = 0;
  for (; step < 200 && killedat(step, [] { return newturn("g", -1); }); step++) {
    // Any reader of the game finishes what the host left.
    const int32_t turn = wholeturn();
    EXPECT_TRUE(turn == 1 || turn == 2) << step;
    // The next start removes the files aside.
    settlefolder(folder.c_str());
    const Files now = snapshot(folder);
    EXPECT_TRUE(now == old || now == next) << step;
    fresh += now == next;
    restore(folder, old);
  }
  EXPECT_GT(step, 5);
  EXPECT_LT(step, 200);
  EXPECT_GT(fresh, 0);
}

// --makemap: the picture and the text of a random map, old pair or new.
TEST_F(Stopped, ARandomMapAtEveryStep) {
  strlcopy(datapath, VEY3_DATA_DIR, PATHLEN);
  strlcopy(makemapname, "pair", sizeof makemapname);
  mapsize[0] = 300, mapsize[1] = 200;
  mapprov = 12;
  auto make = [](uint32_t seed) {
    seedrnd(seed);
    srand(seed);
    return makemapmode() == 0 ? 1 : 0;
  };
  ASSERT_EQ(make(1), 1);
  const Files old = snapshot(localmappath);
  ASSERT_EQ(old.size(), 2u);
  ASSERT_EQ(make(2), 1);
  const Files next = snapshot(localmappath);
  ASSERT_NE(next, old);
  restore(localmappath, old);
  int32_t step = 1, fresh = 0;
  for (; step < 100 && killedat(step, [&] { return make(2); }); step++) {
    settlefolder(localmappath);
    const Files now = snapshot(localmappath);
    EXPECT_TRUE(now == old || now == next) << step;
    fresh += now == next;
    restore(localmappath, old);
  }
  EXPECT_GT(step, 4);
  EXPECT_LT(step, 100);
  EXPECT_GT(fresh, 0);
}

}  // namespace
