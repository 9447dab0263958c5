#include <gtest/gtest.h>

#include <cstring>

#include "mods/mods.h"
#include "runtime/binio.h"
#include "runtime/folders.h"
#include "runtime/settings.h"
#include "runtime/util.h"
#include "support/process.h"

namespace {
using Bytes = std::vector<unsigned char>;

// Builds a settings file field by field.
struct FileBuilder {
  Bytes b;
  FileBuilder& i(int32_t v) {
    for (int k = 0; k < 4; k++) b.push_back(uint8_t(uint32_t(v) >> (8 * k)));
    return *this;
  }
  FileBuilder& s(const std::string& text, bool terminated = true) {
    for (char c : text) b.push_back(uint8_t(c) ^ STRINGMASK);
    if (terminated) b.push_back(STRINGMASK);
    return *this;
  }
  FileBuilder& f(uint16_t fraction, int32_t whole) {
    b.push_back(uint8_t(fraction));
    b.push_back(uint8_t(fraction >> 8));
    return i(whole);
  }
  // Version and fields 2..13 with the given full-screen size.
  FileBuilder& head(int32_t version = 240, int32_t width = 800, int32_t height = 600) {
    return i(version).i(0).i(1).i(0).i(1).i(1).i(width).i(height).i(0).i(1).i(77).i(85).i(12);
  }
  // Fields 15..21 with the given tree quality and screen scale.
  FileBuilder& tail(int32_t tree = 4, uint16_t fraction = 0x8000, int32_t whole = 0) {
    return i(0).i(0).i(0).i(tree).f(fraction, whole).i(0).i(0);
  }
};

struct ConfigFixture : testing::Test {
  TestDir dir;
  std::string file;
  void SetUp() override {
    strlcopy(confpath, (dir / "conf").c_str(), PATHLEN);
    strlcopy(modpath, (dir / "mods").c_str(), PATHLEN);
    mkdir(confpath, 0755);
    mkdir(modpath, 0755);
    file = dir / "conf/vey3config";
    resetsettings();
    clearenabledmods();
  }
  void TearDown() override {
    resetsettings();
    clearenabledmods();
  }
  void load(const Bytes& bytes) {
    writebytes(file, bytes);
    loadconfig();
  }
  void expectbuiltintail() {
    EXPECT_EQ(lightfx, 1);
    EXPECT_EQ(grass, 1);
    EXPECT_EQ(renderpath, 1);
    EXPECT_EQ(treequality, 3);
    EXPECT_EQ(screenscale, 1.0f);
    EXPECT_EQ(wheelzoom, 1);
    EXPECT_EQ(edgescroll, 1);
  }
};
}  // namespace

TEST_F(ConfigFixture, BuiltInValuesSaveAs86Bytes) {
  EXPECT_TRUE(trysaveconfig());
  Bytes expected = FileBuilder()
                       .i(240).i(1).i(1).i(1).i(2).i(0).i(-1).i(-1).i(1).i(1).i(0).i(-1).i(-1)
                       .i(0)
                       .i(1).i(1).i(1).i(3).f(0, 1).i(1).i(1)
                       .b;
  ASSERT_EQ(expected.size(), 86u);
  EXPECT_EQ(readbytes(file), expected);
}

TEST_F(ConfigFixture, EveryStoredFieldRoundTrips) {
  writetext(dir / "mods/first.dm", "#modname");
  writetext(dir / "mods/second.dm", "#modname");
  fade = 0; sounddevice = 0; animback = 0; filtering = 3; fullscreen = 1; fswidth = 1280; fsheight = 1024;
  mainmusic = 0; battlemusic = 2; guiopacity = 85; gfxlevel = 12; lightfx = 0; grass = -1; renderpath = -1;
  treequality = 5; screenscale = 1.5f; wheelzoom = 0; edgescroll = 0;
  enablemod("first.dm");
  enablemod("second.dm");
  EXPECT_TRUE(trysaveconfig());
  EXPECT_EQ(readbytes(file).size(), 86u + 9 + 10);
  resetsettings();
  clearenabledmods();
  loadconfig();
  EXPECT_EQ(fade, 0); EXPECT_EQ(sounddevice, 0); EXPECT_EQ(animback, 0); EXPECT_EQ(filtering, 3);
  EXPECT_EQ(fullscreen, 1); EXPECT_EQ(fswidth, 1280); EXPECT_EQ(fsheight, 1024); EXPECT_EQ(mainmusic, 0);
  EXPECT_EQ(battlemusic, 2); EXPECT_EQ(guiopacity, 85); EXPECT_EQ(gfxlevel, 12); EXPECT_EQ(lightfx, 0);
  EXPECT_EQ(grass, -1); EXPECT_EQ(renderpath, -1); EXPECT_EQ(treequality, 5); EXPECT_EQ(screenscale, 1.5f);
  EXPECT_EQ(wheelzoom, 0); EXPECT_EQ(edgescroll, 0);
  ASSERT_EQ(enabledmodlist.last, 1);
  EXPECT_STREQ(enabledmodlist.names[0], "first.dm");
  EXPECT_STREQ(enabledmodlist.names[1], "second.dm");
}

TEST_F(ConfigFixture, ReservedFieldIsKeptAsRead) {
  load(FileBuilder().head().i(0).tail().b);
  EXPECT_EQ(configreserved, 77);
  EXPECT_TRUE(trysaveconfig());
  Bytes saved = readbytes(file);
  EXPECT_EQ(saved[40], 77);
}

// A file of another version, or of none (empty), is deleted: the built-in
// settings stay, and the next save writes a file of this version.
TEST_F(ConfigFixture, OtherVersionIsDeleted) {
  for (const Bytes& other : {FileBuilder().head(239).i(0).tail().b, Bytes{}}) {
    fswidth = 1280;   // what the file would not have given
    load(other);
    EXPECT_EQ(fswidth, 1280);
    EXPECT_FALSE(exists(file));
    EXPECT_TRUE(trysaveconfig());
    const std::vector<uint8_t> now = readbytes(file);
    ASSERT_GE(now.size(), 4u);
    EXPECT_EQ(now[0] | now[1] << 8, CONFIGVERSION);
  }
}

TEST_F(ConfigFixture, ValuesAreClampedOnLoad) {
  load(FileBuilder().head(240, 320, 0).i(0).tail(0, 0x6666, 0).b);   // 0.4
  EXPECT_EQ(fswidth, 640);
  EXPECT_EQ(fsheight, 400);
  EXPECT_EQ(treequality, 3);
  EXPECT_EQ(screenscale, -1.0f);
  load(FileBuilder().head(240, 639, 399).i(0).tail(6, 0x999A, 1).b);   // 1.6
  EXPECT_EQ(fswidth, 640);
  EXPECT_EQ(fsheight, 400);
  EXPECT_EQ(treequality, 3);
  EXPECT_EQ(screenscale, -1.0f);
  load(FileBuilder().head(240, 640, 400).i(0).tail(5, 0x8000, 0).b);
  EXPECT_EQ(fswidth, 640);
  EXPECT_EQ(fsheight, 400);
  EXPECT_EQ(treequality, 5);
  EXPECT_EQ(screenscale, 0.5f);
  load(FileBuilder().head().i(0).tail(1, 0x8000, 1).b);
  EXPECT_EQ(treequality, 1);
  EXPECT_EQ(screenscale, 1.5f);
}

TEST_F(ConfigFixture, SoundDeviceIsStoredAsOnOrOff) {
  sounddevice = 3;
  EXPECT_TRUE(trysaveconfig());
  EXPECT_EQ(sounddevice, 1);
  EXPECT_EQ(readbytes(file)[8], 1);
  sounddevice = 0;
  EXPECT_TRUE(trysaveconfig());
  EXPECT_EQ(readbytes(file)[8], 0);
}

TEST_F(ConfigFixture, TruncatedFileReadsZeros) {
  load(FileBuilder().i(240).i(0).i(1).b);
  EXPECT_EQ(fade, 0);
  EXPECT_EQ(sounddevice, 1);
  EXPECT_EQ(fswidth, 640);
  EXPECT_EQ(fsheight, 400);
  EXPECT_EQ(gfxlevel, 0);
  EXPECT_EQ(treequality, 3);
  EXPECT_EQ(screenscale, -1.0f);
}

TEST_F(ConfigFixture, MissingModFileIsDroppedAndNotSavedAgain) {
  writetext(dir / "mods/kept.dm", "#modname");
  load(FileBuilder().head().i(2).s("gone.dm").s("kept.dm").tail().b);
  ASSERT_EQ(enabledmodlist.last, 0);
  EXPECT_STREQ(enabledmodlist.names[0], "kept.dm");
  EXPECT_EQ(treequality, 4);   // the fields after the names are read in step
  EXPECT_TRUE(trysaveconfig());
  EXPECT_EQ(readbytes(file).size(), 86u + 8);
}

TEST_F(ConfigFixture, DamagedFilesNeverStopAndFallBackToBuiltInValues) {
  writetext(dir / "mods/ok.dm", "#modname");
  writetext(dir / "mods/" + std::string(150, 'n'), "#modname");
  struct Case {
    const char* what;
    Bytes bytes;
    bool tailread;
  } cases[] = {
      {"huge mod count", FileBuilder().head().i(2000000000).s("ok.dm").tail().b, false},
      {"201 mods", FileBuilder().head().i(201).s("ok.dm").tail().b, false},
      {"negative mod count", FileBuilder().head().i(-5).tail().b, false},
      {"overlong name", FileBuilder().head().i(2).s(std::string(150, 'n')).s("ok.dm").tail().b, true},
      {"name past the longest string", FileBuilder().head().i(1).s(std::string(12000, 'n')).tail().b, false},
      {"unterminated name", FileBuilder().head().i(1).s("ok.dm", false).b, false},
      {"name leaving the mod folder", FileBuilder().head().i(1).s("../mods/ok.dm").tail().b, true},
      {"more names than the file holds", FileBuilder().head().i(3).s("ok.dm").b, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    resetsettings();
    clearenabledmods();
    Ended e = runchild([&] {
      writebytes(file, c.bytes);
      loadconfig();
      _exit(0);
    });
    EXPECT_TRUE(e.exited);
    EXPECT_EQ(e.code, 0);
    writebytes(file, c.bytes);
    loadconfig();
    EXPECT_EQ(fswidth, 800);   // the fields before the list are read
    if (c.tailread) {
      EXPECT_EQ(treequality, 4);
      EXPECT_EQ(screenscale, 0.5f);
      ASSERT_EQ(enabledmodlist.last, std::string(c.what) == "overlong name" ? 0 : -1);
    } else {
      expectbuiltintail();
    }
    for (int32_t m = 0; m <= enabledmodlist.last; m++) EXPECT_STREQ(enabledmodlist.names[m], "ok.dm");
    // The next save writes the whole file again.
    EXPECT_TRUE(trysaveconfig());
    resetsettings();
    clearenabledmods();
    loadconfig();
    EXPECT_EQ(fswidth, 800);
  }
}

TEST_F(ConfigFixture, SaveCreatesTheConfigurationFolder) {
  strlcopy(confpath, (dir / "new/nested/conf").c_str(), PATHLEN);
  EXPECT_TRUE(trysaveconfig());
  EXPECT_EQ(readbytes(dir / "new/nested/conf/vey3config").size(), 86u);
  writetext(dir / "plain", "x");
  strlcopy(confpath, (dir / "plain").c_str(), PATHLEN);
  // A folder that cannot be made: false, the cause in errno.
  errno = 0;
  EXPECT_FALSE(trysaveconfig());
  EXPECT_EQ(configproblem(errno), dir / "plain/vey3config" + ": a part of its path is a file, not a folder");
}
