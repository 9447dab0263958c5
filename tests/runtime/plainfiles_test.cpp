// Only plain files are read or written as the program's files: a FIFO, a
// device or a folder in the place of a game file, map, picture, archive,
// mod, battle map, sample, design or the settings file is refused at once
// with "<path>: it is a FIFO, not a file" (a folder, a device), where a
// reader used to wait for ever; a reader that names the file and the cause
// in a line of its own says it once.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "battleview/battleview.h"
#include "gamefiles/gamefiles.h"
#include "mods/mods.h"
#include "runtime/folders.h"
#include "runtime/image.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "sound/samples.h"
#include "support/process.h"
#include "world/gamedata.h"
#include "worldgen/worldgen.h"

namespace {

// Runs a reader in a child; it must end well before the deadline.
template <class F>
Ended promptly(F reader) {
  return runchild(reader, 20);
}

// Ends the child with its output written.
[[noreturn]] void end(int code) {
  fflush(stdout);
  _exit(code);
}

struct NotAFile : testing::Test {
  TestDir dir;
  std::string fifo = dir / "fifo";
  void SetUp() override { ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0); }
  // A FIFO under the given name in the test folder.
  std::string fifoat(const std::string& name) {
    const std::string path = dir / name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    EXPECT_EQ(mkfifo(path.c_str(), 0644), 0);
    return path;
  }
};

TEST_F(NotAFile, OpeningRefusesFifosDevicesAndFoldersAtOnce) {
  const Ended e = promptly([&] {
    for (const std::string& path : {fifo, dir.path, std::string("/dev/zero")}) {
      UniqueFile f = openfile(path.c_str(), "rb");
      if (f || errno != ENOTAFILE) end(1);
    }
    // Writing into a FIFO would wait for a reader just as well.
    if (openfile(fifo.c_str(), "wb") || errno != ENOTAFILE) end(2);
    writetext(dir / "plain", "bytes");
    if (!openfile((dir / "plain").c_str(), "rb")) end(3);
    // Asked without opening: it exists, and its reader says what it is.
    if (!fileexists("%s", fifo.c_str()) || filesize("%s", fifo.c_str()) != 0) end(4);
    if (copyfile(fifo.c_str(), (dir / "copy").c_str()) != -1 || exists(dir / "copy")) end(5);
    if (copyfile((dir / "plain").c_str(), fifo.c_str()) != -2) end(6);
    end(0);
  });
  EXPECT_TRUE(e.exited) << "a reader waited";
  EXPECT_EQ(e.code, 0);
  EXPECT_NE(e.out.find(fifo + ": it is a FIFO, not a file\n"), std::string::npos) << e.out;
  EXPECT_NE(e.out.find(dir.path + ": it is a folder, not a file\n"), std::string::npos) << e.out;
  EXPECT_NE(e.out.find("/dev/zero: it is a device, not a file\n"), std::string::npos) << e.out;
  // A whole-file load has no way around: it stops, naming the file.
  const Ended load = promptly([&] {
    char buffer[16];
    loadfile(fifo.c_str(), buffer, sizeof buffer);
  });
  EXPECT_TRUE(load.aborted());
  EXPECT_NE(load.err.find(fifo + ": it is a FIFO, not a file"), std::string::npos) << load.err;
}

TEST_F(NotAFile, EveryKindOfFileOfTheGameIsRefused) {
  const std::string data = dir / "data";
  mkdirs(data.c_str());
  const std::string archive = fifoat("data/army.trs"), picture = fifoat("maps/fifo.tga");
  const std::string map = fifoat("maps/fifo.map"), mod = fifoat("mods/fifo.dm");
  const std::string battlemap = fifoat("data/battlemaps/plain0.v3m"), sample = fifoat("data/rawsound/sword.wav");
  loadgamedata();
  const std::string design = fifoat("save/g/" + std::string(nations[0].fileword) + ".2h");
  strlcopy(savepath, (dir / "save").c_str(), PATHLEN);
  strlcopy(modpath, (dir / "mods").c_str(), PATHLEN);
  strlcopy(mappath, (dir / "maps").c_str(), PATHLEN);
  strlcopy(localmappath, (dir / "maps").c_str(), PATHLEN);
  const Ended e = promptly([&] {
    int32_t w = 1, h = 1;
    if (loadimage(picture.c_str(), &w, &h, 0) || w || h) end(1);
    settrsfolder(data.c_str());
    if (loadtrsfile(TRS_ARMY)) end(2);
    ModInfo info;
    if (loadmodfile("fifo.dm", &info) > 0) end(3);
    if (LoadBattleMap(battlemap.c_str(), 0, 0, 0)) end(4);
    strlcopy(sounddatafolder, data.c_str(), PATHLEN);
    if (loadsample(SND_SWORD)) end(5);
    char pass[50];
    if (loadnewlord("g", 0, 0, 0, pass, 0) >= 0) end(6);
    end(0);
  });
  EXPECT_TRUE(e.exited) << "a reader waited";
  EXPECT_EQ(e.code, 0);
  for (const std::string& path : {picture, archive, mod, battlemap, sample, design})
    EXPECT_NE(e.out.find(path + ": it is a FIFO, not a file\n"), std::string::npos) << path << "\n" << e.out;
  // A map stops the new game, naming its file.
  const Ended m = promptly([] { readmapfile(nullptr, "fifo.map", 0); });
  EXPECT_TRUE(m.aborted());
  EXPECT_NE(m.err.find(map + ": it is a FIFO, not a file"), std::string::npos) << m.err;
}

// The program's own roads: a game or settings file that is a FIFO.
TEST_F(NotAFile, TheProgramRefusesAFifoGameOrSettingsFile) {
  const std::string world = fifoat("save/g/ftherlnd"), settings = fifoat("conf/vey3config");
  const std::map<std::string, std::string> env = {{"VEY3_SAVE", dir / "save"}, {"VEY3_CONF", dir / "conf"},
                                                  {"VEY3_TEMP", dir / "temp"}, {"HOME", dir.path}};
  const Ended host = runprogram({"--textonly", "--host", "g"}, env, dir.path, 20);
  EXPECT_TRUE(host.exited) << "the host waited";
  EXPECT_EQ(host.code, 1);
  EXPECT_NE(host.out.find(settings + ": it is a FIFO, not a file\n"), std::string::npos) << host.out;
  // The host's own line names the world file, once.
  EXPECT_NE(host.out.find("Cannot read the world file of the game g, " + world + ": it is a FIFO, not a file\n"),
            std::string::npos)
      << host.out;
  EXPECT_EQ(host.out.find(world), host.out.rfind(world)) << host.out;
  const Ended verify = runprogram({"--verify", "g"}, env, dir.path, 20);
  EXPECT_TRUE(verify.exited) << "--verify waited";
  EXPECT_NE(verify.out.find(world + " cannot be read: it is a FIFO, not a file\n"), std::string::npos) << verify.out;
  EXPECT_EQ(verify.out.find(world), verify.out.rfind(world)) << verify.out;
}

TEST(CopyFile, AReadErrorIsAFailedCopy) {
  TestDir dir;
  // A plain file whose reading fails at once.
  const std::string copy = dir / "copy";
  EXPECT_EQ(copyfile("/proc/self/mem", copy.c_str()), -4);
  EXPECT_FALSE(exists(copy));
}

}  // namespace
