// What stopped writes leave behind: temp files and sets of processes that are
// gone are removed by the next write into their folder and at start-up;
// files of running processes stay.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "runtime/filesets.h"
#include "runtime/folders.h"
#include "runtime/util.h"
#include "support/process.h"

namespace {

// A pid that no process has now: a child that has ended.
int32_t deadpid() {
  const pid_t pid = fork();
  if (pid == 0) _exit(0);
  waitpid(pid, nullptr, 0);
  return int32_t(pid);
}

std::vector<std::string> listing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

std::string text(const std::string& path) {
  const std::vector<unsigned char> b = readbytes(path);
  return std::string(b.begin(), b.end());
}

std::string named(const std::string& base, int32_t pid) { return base + TEMPMARK + std::to_string(pid); }

TEST(FileSets, TempNames) {
  EXPECT_EQ(temppid("ftherlnd.vey3.new123"), 123);
  EXPECT_EQ(temppid("a.b.vey3.new7"), 7);
  EXPECT_EQ(temppid(tempname("x.map").c_str()), int32_t(getpid()));
  // A name that a user may give his own file or folder is none of ours.
  for (const char* other : {"ftherlnd", "x.vey3.new", "x.vey3.new12a", "x.vey3.newer", "x.vey3.new-3", ".vey3.new12",
                            "x.vey3.new123456789012", "hx-copy.new2024", "island.new77"})
    EXPECT_EQ(temppid(other), 0) << other;
  EXPECT_EQ(oldtemppid("ftherlnd.new123"), 123);
  EXPECT_EQ(oldtemppid("x.newer"), 0);
  EXPECT_TRUE(processalive(getpid()));
  EXPECT_FALSE(processalive(deadpid()));
  EXPECT_FALSE(processalive(0));
  // Killed and not yet reaped, it writes nothing any more.
  const pid_t zombie = zombiepid();
  EXPECT_FALSE(processalive(zombie));
  waitpid(zombie, nullptr, 0);
}

TEST(FileSets, TheFirstWriteIntoAFolderRemovesWhatDeadWritersLeft) {
  TestDir dir;
  const int32_t dead = deadpid();
  const std::string stale = dir / named("ftherlnd", dead), live = dir / named("ftherlnd", 1);
  const std::string set = dir / named("set", dead), gone = dir / named("g.gone", dead);
  writetext(stale, "half");
  writetext(live, "another program's");
  mkdir(set.c_str(), 0755);
  writetext(set + "/ftherlnd", "aside");
  // A folder that stepped aside for a replacement that never came.
  mkdir(gone.c_str(), 0755);
  writetext(gone + "/ftherlnd", "old game");
  const std::string oldgame = dir / named("h", dead);
  std::filesystem::create_directories(oldgame + "/mine");
  writetext(oldgame + "/mine/notes", "kept");
  mkdir((dir / "h").c_str(), 0755);
  std::filesystem::create_directories(dir / "user.new" + std::to_string(dead));
  writetext(dir / "user.new" + std::to_string(dead) + "/x", "the user's");
  SafeWrite out((dir / "x.trn").c_str());
  ASSERT_TRUE(out.ok());
  fputs("x", out.stream());
  ASSERT_TRUE(out.commit());
  EXPECT_FALSE(exists(stale));
  EXPECT_FALSE(exists(set));
  EXPECT_TRUE(exists(live));
  EXPECT_EQ(text(dir / "g/ftherlnd"), "old game");
  EXPECT_FALSE(exists(gone));
  // The old folder of a replaced game, left by a stop before the user's
  // sub-folder went over to the new game: it goes over now.
  EXPECT_TRUE(exists(dir / "h/mine/notes"));
  EXPECT_FALSE(exists(oldgame));
  EXPECT_EQ(text(dir / "user.new" + std::to_string(dead) + "/x"), "the user's");
  // Once per folder and process: a later stray file waits for the next start.
  writetext(stale, "half");
  SafeWrite again((dir / "y").c_str());
  EXPECT_TRUE(again.commit());
  EXPECT_TRUE(exists(stale));
}

TEST(FileSets, ASetComesWholeOrNotAtAll) {
  TestDir dir;
  writetext(dir / "a", "old a");
  writetext(dir / "b", "old b");
  {
    FileSet set(dir.path.c_str());
    ASSERT_TRUE(set.write("a", "new a", 5));
    ASSERT_TRUE(set.write("b", "new b", 5));
    // Not committed: nothing changes, nothing stays aside.
  }
  EXPECT_EQ(text(dir / "a"), "old a");
  EXPECT_EQ(listing(dir.path), (std::vector<std::string>{"a", "b"}));
  FileSet set(dir.path.c_str());
  EXPECT_FALSE(set.write("../a", "x", 1));
  EXPECT_FALSE(set.commit());   // a set with a bad name fails whole
  FileSet good(dir.path.c_str());
  ASSERT_TRUE(good.write("a", "new a", 5));
  ASSERT_TRUE(good.write("c", "new c", 5));
  ASSERT_TRUE(good.commit());
  EXPECT_EQ(text(dir / "a"), "new a");
  EXPECT_EQ(listing(dir.path), (std::vector<std::string>{"a", "b", "c"}));
}

// A writer (as the host hosting turn after turn) commits sets of two files,
// "a" before "b", each set one number higher; a reader meanwhile finishes
// whatever journal it finds (as a player's program opening the game does).
// "b" never runs ahead of "a", and no set is lost.
TEST(FileSets, AReaderFinishingJournalsNeverMixesTheWritersSets) {
  TestDir dir;
  const std::string folder = dir.path;
  constexpr int32_t SETS = 100;
  const pid_t writer = fork();
  if (writer == 0) {
    for (int32_t n = 1; n <= SETS; n++) {
      const std::string v = std::to_string(n);
      FileSet set(folder.c_str());
      if (!set.write("a", v.data(), v.size()) || !set.write("b", v.data(), v.size()) || !set.commit()) _exit(1);
    }
    _exit(0);
  }
  auto number = [&](const char* name) { return atoi(text(dir / name).c_str()); };
  int32_t ahead = 0, status = 0;
  while (waitpid(writer, &status, WNOHANG) == 0) {
    settlepending(folder.c_str());
    const int32_t b = number("b"), a = number("a");
    if (b > a) ahead++;
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a commit of the writer failed";
  EXPECT_EQ(ahead, 0);
  settlefolder(folder.c_str());
  EXPECT_EQ(number("a"), SETS);
  EXPECT_EQ(number("b"), SETS);
  EXPECT_EQ(listing(folder), (std::vector<std::string>{"a", "b"}));
}

// A set that cannot be put in place whole (here a folder stands where one
// of its files goes) goes back whole: the old files stand, a new file that
// had no old one is gone, and nothing is left for a later reader to finish.
struct Blocked : testing::Test {
  TestDir dir;
  void SetUp() override {
    writetext(dir / "a", "old a");
    writetext(dir / "b", "old b");
    mkdir((dir / "c").c_str(), 0755);
    writetext(dir / "c/inside", "x");
  }
  // Files a, b, d (new) and c, in that order: a and b go in place first.
  bool commitblocked(std::string* problem = nullptr) {
    FileSet set(dir.path.c_str());
    for (const char* name : {"a", "b", "d", "c"})
      if (!set.write(name, name, 1)) return false;
    const bool done = set.commit();
    if (problem) *problem = set.problem();
    return done;
  }
  void expectold() {
    EXPECT_EQ(text(dir / "a"), "old a");
    EXPECT_EQ(text(dir / "b"), "old b");
    EXPECT_EQ(listing(dir.path), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(listing(dir / "c"), std::vector<std::string>{"inside"});
  }
};

TEST_F(Blocked, TheOldSetStandsAndLaterSetsGoIn) {
  std::string problem;
  EXPECT_FALSE(commitblocked(&problem));
  EXPECT_EQ(problem, dir / "c" + ": a folder stands in its place");
  expectold();
  EXPECT_EQ(settlefolder(dir.path.c_str()), 0);
  expectold();
  // The folder stays open to the next set.
  FileSet next(dir.path.c_str());
  ASSERT_TRUE(next.write("a", "new a", 5));
  ASSERT_TRUE(next.commit());
  EXPECT_EQ(text(dir / "a"), "new a");
  EXPECT_TRUE(next.problem().empty());
}

TEST_F(Blocked, StoppedAtEveryStepTheOldSetComesBack) {
  int32_t step = 1;
  for (; step < 100; step++) {
    fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
      killstep = step;
      killsteps = 0;
      _exit(commitblocked() ? 1 : 0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    // The next reader finishes what the stopped writer began: going on
    // meets the folder too, and the set goes back.
    settlefolder(dir.path.c_str());
    expectold();
    if (WIFEXITED(status)) {
      EXPECT_EQ(WEXITSTATUS(status), 0);
      break;
    }
  }
  EXPECT_GT(step, 8);   // the undo has steps of its own
  EXPECT_LT(step, 100);
}

TEST(FileSets, TheStartTidiesEveryGameFolder) {
  TestDir dir;
  const std::string save = dir / "save", game = save + "/g";
  mkdir(save.c_str(), 0755);
  mkdir(game.c_str(), 0755);
  const std::string stale = game + "/" + named("ftherlnd", deadpid());
  writetext(stale, "half");
  const Ended e = runprogram({"--verify", "g"}, {{"VEY3_SAVE", save}, {"VEY3_CONF", dir / "conf"},
                                                 {"VEY3_TEMP", dir / "temp"}, {"HOME", dir.path}},
                             dir.path);
  EXPECT_TRUE(e.exited) << e.out;
  EXPECT_FALSE(exists(stale));
}


// A journal that another account puts into a game folder that it may
// write (or one of ours), naming as its set a link to a folder of this
// user's: a start finishes and undoes none of it and says so in a line that
// names the journal, where it moved the user's file into the game folder
// and emptied the user's folder.
TEST(FileSets, AStartFollowsNoJournalThatNamesWhatThisProgramDidNotMake) {
  if (geteuid() != 0) GTEST_SKIP() << "needs another account's files";
  TestDir dir;
  const std::string save = dir / "save", game = save + "/g", mine = dir / "mine";
  for (const std::string& folder : {save, game, mine}) mkdir(folder.c_str(), 0755);
  for (const char* name : {"secret", ".old.secret", "notes"}) writetext(mine + "/" + name, name);
  const std::string set = game + "/" + named("set", deadpid());
  struct Case {
    const char* journal;
    uid_t owner;
    std::string why;
  };
  const Case cases[] = {{"hostcommit", 65534, "this program did not write it"},
                        {"hostcommit.undo", 0, "it names " + set + ", which this program did not make"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.journal) + " of " + std::to_string(c.owner));
    const std::string journal = game + "/" + c.journal;
    ASSERT_EQ(symlink(mine.c_str(), set.c_str()), 0);
    ASSERT_EQ(lchown(set.c_str(), 65534, 65534), 0);
    writetext(journal, set.substr(game.size() + 1) + "\nsecret\n");
    ASSERT_EQ(chown(journal.c_str(), c.owner, c.owner), 0);
    const Ended e = runprogram({"--verify", "g"}, {{"VEY3_SAVE", save}, {"VEY3_CONF", dir / "conf"},
                                                   {"VEY3_TEMP", dir / "temp"}, {"HOME", dir.path}},
                               dir.path);
    EXPECT_NE(e.out.find(journal + " is refused: " + c.why + "\n"), std::string::npos) << e.out;
    EXPECT_EQ(listing(mine), (std::vector<std::string>{".old.secret", "notes", "secret"}));
    EXPECT_EQ(text(mine + "/secret"), "secret");
    EXPECT_EQ(listing(game), (std::vector<std::string>{std::string(c.journal), set.substr(game.size() + 1)}));
    unlink(journal.c_str());
    unlink(set.c_str());
  }
}

}  // namespace
