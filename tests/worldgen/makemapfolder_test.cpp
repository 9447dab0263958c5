// --makemap into a maps folder that cannot take the map: the console names
// the file and the cause (never a folder aside) and says what became of the
// map of that name; the folder stays open to the next map.
#include "runtime/filesets.h"
#include "runtime/options.h"
#include "runtime/rnd.h"
#include "support/childconsole.h"
#include "support/gamefolders.h"
#include "support/mapfixture.h"
#include "worldgen/randmap.h"

namespace {

class MakeMapInto : public ShippedMapFolders {
 protected:
  void SetUp() override {
    ShippedMapFolders::SetUp();
    strlcopy(datapath, VEY3_DATA_DIR, PATHLEN);
    mapsize[0] = 300, mapsize[1] = 200;
    mapprov = 12;
    maps = localmappath;
  }
  // --makemap NAME in a child made ready by setup.
  template <class Setup>
  ChildEnd make(const char* name, Setup setup) {
    strlcopy(makemapname, name, sizeof makemapname);
    return runwithconsole(root, [&] {
      setup();
      seedrnd(1);
      srand(1);
      return makemapmode();
    });
  }
  ChildEnd make(const char* name) {
    return make(name, [] {});
  }
  std::string maps;
};

TEST_F(MakeMapInto, AFolderInTheWayIsNamedAndStopsNoLaterMap) {
  mkdirs((maps + "/pair.map").c_str());
  writetext(maps + "/pair.map/notes", "mine");
  const ChildEnd e = make("pair");
  EXPECT_EQ(e.code, 1);
  EXPECT_NE(e.out.find("Random map pair not written: " + maps + "/pair.map: a folder stands in its place; no map was made"),
            std::string::npos) << e.out;
  EXPECT_EQ(e.out.find(".new"), std::string::npos) << e.out;
  EXPECT_EQ(listfolder(maps), std::vector<std::string>{"pair.map"});
  // The next maps go in, that one too once the folder is gone.
  EXPECT_EQ(make("other").code, 0);
  ASSERT_EQ(system(("rm -r '" + maps + "/pair.map'").c_str()), 0);
  EXPECT_EQ(make("pair").code, 0);
  EXPECT_GT(filesize("%s/pair.rgb", maps.c_str()), 0);
}

TEST_F(MakeMapInto, AFullDiscKeepsTheOldMap) {
  ASSERT_EQ(make("pair").code, 0);
  const std::vector<uint8_t> map = readbytes(maps + "/pair.map"), picture = readbytes(maps + "/pair.rgb");
  const ChildEnd e = make("pair", [] { fulldiscafter(4000); });
  EXPECT_EQ(e.code, 1);
  EXPECT_NE(e.out.find("The map picture pair.rgb could not be written: the disc is full\n"), std::string::npos)
      << e.out;
  EXPECT_NE(e.out.find("Random map pair not written in " + maps + "; the old map stays\n"), std::string::npos)
      << e.out;
  EXPECT_EQ(e.out.find(".new"), std::string::npos) << e.out;
  EXPECT_EQ(readbytes(maps + "/pair.map"), map);
  EXPECT_EQ(readbytes(maps + "/pair.rgb"), picture);
}

}  // namespace
