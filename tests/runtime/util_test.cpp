#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "runtime/util.h"
#include "support/plainuser.h"
#include "support/process.h"

namespace {
const std::string fixed = "N\xE5got gick fel!\n";
}

TEST(Strings, BoundedCopyAndAppend) {
  char buffer[16];
  memset(buffer, '#', sizeof buffer);
  strlcopy(buffer, "0123456789", 4);
  EXPECT_STREQ(buffer, "012");
  strlcopy(buffer, "0123456789", 1);
  EXPECT_STREQ(buffer, "");
  buffer[0] = 'k';
  strlcopy(buffer, "0123456789", 0);
  EXPECT_EQ(buffer[0], 'k');

  char small[4] = "ab";
  strlappend(small, "cde", 4);
  EXPECT_STREQ(small, "abc");
  strlappend(small, "", 4);
  EXPECT_STREQ(small, "abc");
  char unterminated[4] = {'w', 'x', 'y', 'z'};
  strlappend(unterminated, "q", 4);
  EXPECT_STREQ(unterminated, "wxy");
  char room[16] = "game";
  strlappend(room, " name", sizeof room);
  EXPECT_STREQ(room, "game name");
}

TEST(Strings, CapFirstExtensionAndPath) {
  EXPECT_STREQ(capfirst("abc"), "Abc");
  EXPECT_STREQ(capfirst("1abc"), "1abc");
  EXPECT_STREQ(capfirst("\xE4" "bc"), "\xE4" "bc");
  EXPECT_EQ(capfirst(nullptr), nullptr);
  EXPECT_EQ(strlen(capfirst(std::string(300, 'z').c_str())), 249u);

  EXPECT_EQ(hasextension("map.TGA", ".tga"), 1);
  EXPECT_EQ(hasextension("eye.map", ".map"), 1);
  EXPECT_EQ(hasextension("a.tar.gz", ".tar"), 0);
  EXPECT_EQ(hasextension("noext", ".map"), 0);
  EXPECT_EQ(hasextension("", ""), 0);

  char name[8];
  strippath("a/b\\c.txt", name, sizeof name);
  EXPECT_STREQ(name, "c.txt");
  strippath("plain-long-name", name, sizeof name);
  EXPECT_STREQ(name, "plain-l");
  char out[8];
  EXPECT_EQ(formatbounded(out, sizeof out, "%d-%s", 12, "abcdefgh"), 11);
  EXPECT_STREQ(out, "12-abcd");
}

TEST(Files, ExistenceAndSize) {
  TestDir dir;
  writetext(dir / "f.txt", "hello");
  EXPECT_EQ(fileexists("%s/%s", dir.path.c_str(), "f.txt"), 1);
  EXPECT_EQ(fileexists("%s/none", dir.path.c_str()), 0);
  EXPECT_EQ(direxists("%s", dir.path.c_str()), 1);
  EXPECT_EQ(direxists("%s/f.txt", dir.path.c_str()), 0);
  EXPECT_EQ(filesize("%s/f.txt", dir.path.c_str()), 5);
  EXPECT_EQ(filesize("%s/none", dir.path.c_str()), 0);
  EXPECT_EQ(filesize("%s", dir.path.c_str()), 0);
}

TEST(Files, SaveAndLoad) {
  TestDir dir;
  std::string path = dir / "saved";
  savefile(path.c_str(), "abc\0def", 7);
  EXPECT_EQ(readbytes(path), (std::vector<unsigned char>{'a', 'b', 'c', 0, 'd', 'e', 'f'}));
  savetextfile(path.c_str(), "xy");
  EXPECT_EQ(readbytes(path).size(), 2u);
  char buffer[16] = {};
  EXPECT_EQ(loadfile(path.c_str(), buffer, 16), 2);
  EXPECT_EQ(loadfile(path.c_str(), buffer, 1), 1);

  std::string missing = dir / "missing";
  Ended e = runchild([&] { loadfile(missing.c_str(), buffer, 4); });
  EXPECT_TRUE(e.aborted());
  EXPECT_EQ(e.err, fixed + "error opening " + missing + "\n");
  std::string nofolder = dir / "no/such/file";
  Ended s = runchild([&] { savefile(nofolder.c_str(), "x", 1); });
  EXPECT_TRUE(s.aborted());
  EXPECT_EQ(s.out, fixed + "savefile: error opening file: " + nofolder + ": there is no such file or folder\n");
  // A read-only folder is no full disc (for a plain user where the tests run
  // as root: the folder stands where that user reaches it).
  TestDir open(Reach::plainuser);
  ASSERT_FALSE(open.path.empty()) << "no folder that a plain user reaches";
  const std::string locked = open / "locked";
  mkdir(locked.c_str(), 0555);
  Ended ro = runchild([&] {
    asplainuser();
    savefile((locked + "/file").c_str(), "x", 1);
  });
  EXPECT_EQ(ro.out, fixed + "savefile: error opening file: " + locked + "/file: cannot be written: no permission\n");
  std::string target = dir / "target";
  Ended full = runchild([&] {
    limitfilesize(1000);   // room for the messages, not for the file
    std::string data(5000, 'd');
    savefile(target.c_str(), data.c_str(), 5000);
  });
  EXPECT_TRUE(full.aborted());
  EXPECT_EQ(full.err, fixed + "savefile: error writing to file: " + target + ": the disc is full\n");
  EXPECT_NE(full.out.find("/5000\n"), std::string::npos) << "the written and wanted counts";
}

TEST(Files, LoadTextFile) {
  TestDir dir;
  writetext(dir / "long", std::string(5000, 'a'));
  char text[1000];
  loadtextfile((dir / "long").c_str(), text);
  EXPECT_EQ(strlen(text), 999u);
  writetext(dir / "crlf", "/opt/games/vey3\r\n\r\n");
  loadtextfile((dir / "crlf").c_str(), text);
  EXPECT_STREQ(text, "/opt/games/vey3");
  writetext(dir / "empty", "");
  loadtextfile((dir / "empty").c_str(), text);
  EXPECT_STREQ(text, "");
}

TEST(Files, CopyFile) {
  TestDir dir;
  std::string big(25000, 0);
  for (size_t i = 0; i < big.size(); i++) big[i] = char(i * 7);
  writetext(dir / "src", big);
  EXPECT_EQ(copyfile((dir / "src").c_str(), (dir / "dst").c_str()), 25000);
  EXPECT_EQ(readbytes(dir / "dst"), readbytes(dir / "src"));
  EXPECT_EQ(copyfile((dir / "missing").c_str(), (dir / "dst2").c_str()), -1);
  EXPECT_FALSE(exists(dir / "dst2"));
  EXPECT_EQ(copyfile((dir / "src").c_str(), (dir / "no/dst").c_str()), -2);
  std::string src = dir / "src", dst = dir / "short";
  Ended full = runchild([&] {
    limitfilesize(15000);
    _exit(copyfile(src.c_str(), dst.c_str()) == -3 ? 0 : 1);
  });
  EXPECT_TRUE(full.exited);
  EXPECT_EQ(full.code, 0);
  EXPECT_FALSE(exists(dst));   // a short copy is deleted
}

TEST(Files, SafeWriteReplacesWholeOrNotAtAll) {
  TestDir dir;
  std::string path = dir / "world";
  writetext(path, "old");
  {
    SafeWrite out(path.c_str());
    ASSERT_TRUE(out.ok());
    fputs("half", out.stream());
  }   // no commit: the old file stays and no new file is left
  EXPECT_EQ(readbytes(path), (std::vector<unsigned char>{'o', 'l', 'd'}));
  int files = 0;
  for (auto& entry : std::filesystem::directory_iterator(dir.path)) files += entry.is_regular_file();
  EXPECT_EQ(files, 1);
  SafeWrite out(path.c_str());
  fputs("new!", out.stream());
  EXPECT_TRUE(out.commit());
  EXPECT_EQ(readbytes(path).size(), 4u);
  SafeWrite nowhere((dir / "no/folder/file").c_str());
  EXPECT_FALSE(nowhere.ok());
  EXPECT_FALSE(nowhere.commit());
}

TEST(Clock, MillisecondsWrapIn32BitsWithSteadyDifferences) {
  EXPECT_EQ(tickstoms(250, 100), 2500u);
  // Around the point where ticks x 1000 passes 2^32 and where the result
  // itself wraps, one tick is always 10 ms.
  for (uint64_t ticks : {uint64_t(4294967), uint64_t(4294968), uint64_t(429496729), uint64_t(429496730),
                         uint64_t(1) << 40}) {
    EXPECT_EQ(uint32_t(tickstoms(ticks + 1, 100) - tickstoms(ticks, 100)), 10u) << ticks;
  }
  EXPECT_EQ(tickstoms(uint64_t(429496730), 100), uint32_t(4294967300ull));
  initmathtables();
  uint32_t before = getms();
  sleepms(-5);
  sleepms(60);
  uint32_t elapsed = getms() - before;
  EXPECT_GE(elapsed, 40u);
  EXPECT_LT(elapsed, 5000u);
  EXPECT_EQ(timems() - getms() < 1000u, true);
}

TEST(Math, FastAtan) {
  initmathtables();
  EXPECT_EQ(fastatan(0.0f), 0.0f);
  for (float x : {0.05f, 0.37f, 1.0f, 2.5f, 19.85f}) {
    EXPECT_EQ(fastatan(-x), -fastatan(x)) << x;
    EXPECT_NEAR(fastatan(x), std::atan(x), 0.01) << x;
  }
  EXPECT_NEAR(fastatan(0.05f), 0.5f * std::atan(0.1f), 1e-6);
  float top = float(std::atan(19.9));
  EXPECT_FLOAT_EQ(fastatan(100.0f), top);
  EXPECT_FLOAT_EQ(fastatan(19.95f), top);
  EXPECT_FLOAT_EQ(fastatan(1e30f), top);
  EXPECT_FLOAT_EQ(fastatan(-1e30f), -top);
  EXPECT_FLOAT_EQ(fastatan(INFINITY), top);
  EXPECT_FLOAT_EQ(fastatan(-INFINITY), -top);
  EXPECT_EQ(fastatan(NAN), 0.0f);
}

TEST(Bytes, PeekPokeAndIntegers) {
  const uint8_t b[4] = {0x12, 0x34, 0x56, 0x78};
  EXPECT_EQ(peekle16(b), 0x3412u);
  EXPECT_EQ(peekbe16(b), 0x1234u);
  EXPECT_EQ(peekbe32(b), 0x12345678u);
  uint8_t out[4];
  pokebe32(0xA1B2C3D4u, out);
  EXPECT_EQ(peekbe32(out), 0xA1B2C3D4u);
  EXPECT_EQ(out[0], 0xA1);
  EXPECT_EQ(iabs(-5), 5);
  EXPECT_EQ(imin(-5, 3), -5);
  EXPECT_EQ(imax(-5, 3), 3);
  EXPECT_EQ(maxf(1.5f, -2.0f), 1.5f);
  char dst[4] = "abc";
  memcopy(dst, "xyz", 2);
  EXPECT_STREQ(dst, "xyc");
}
