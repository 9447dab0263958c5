#include <gtest/gtest.h>

#include <cstring>

#include "runtime/alloc.h"
#include "support/process.h"

namespace {
const std::string fixed = "N\xE5got gick fel!\n";
}

TEST(Alloc, BlockLayoutAndCounters) {
  int32_t used = memused, allocs = memallocs, frees = memfrees;
  uint8_t* p = static_cast<uint8_t*>(mymalloc(10));
  EXPECT_EQ(memcmp(p - 8, "\x0a\x00\x00\x00" "1111", 8), 0);
  EXPECT_EQ(memcmp(p + 10, "1111", 4), 0);
  EXPECT_EQ(memused, used + 10);
  EXPECT_EQ(memallocs, allocs + 1);
  EXPECT_EQ(mymemcheck(p), 10);
  myfree(p);
  EXPECT_EQ(memused, used);
  EXPECT_EQ(memfrees, frees + 1);
  EXPECT_EQ(checkallmem(), 0);
}

TEST(Alloc, ZeroSizeBlockHasItsTrailingGuardAtTheAddress) {
  uint8_t* p = static_cast<uint8_t*>(mymalloc(0));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(memcmp(p, "1111", 4), 0);
  EXPECT_EQ(mymemcheck(p), 0);
  myfree(p);
}

TEST(Alloc, GuardDamageIsFatal) {
  Ended high = runchild([] {
    char* p = static_cast<char*>(mymalloc(10));
    p[10] = 'x';
    myfree(p);
  });
  EXPECT_TRUE(high.aborted());
  EXPECT_EQ(high.err, fixed + "myfree: corrupted mem block (high)\n");
  EXPECT_EQ(high.out, "mymemcheck, size 10\n" + fixed + "myfree: corrupted mem block (high)\n");
  Ended low = runchild([] {
    char* p = static_cast<char*>(mymalloc(10));
    p[-1] = 'x';
    myfree(p);
  });
  EXPECT_TRUE(low.aborted());
  EXPECT_EQ(low.err, fixed + "myfree: corrupted mem block (low)\n");
}

TEST(Alloc, DoubleFreeIsFatalEvenAfterTheHeapReusedTheMemory) {
  Ended e = runchild([] {
    void* p = mymalloc(24);
    myfree(p);
    void* q = mymalloc(24);   // may well be the same address
    myfree(q);
    for (int i = 0; i < 100; i++) myfree(mymalloc(24));
    myfree(p);
  });
  EXPECT_TRUE(e.aborted());
  EXPECT_EQ(e.err, fixed + "myfree: freeing already freed memory\n");
}

TEST(Alloc, NullAddressesAreFatal) {
  EXPECT_EQ(runchild([] { myfree(nullptr); }).err, fixed + "myfree: adr==0\n");
  EXPECT_EQ(runchild([] { myrealloc(nullptr, 4); }).err, fixed + "myrealloc: adr==0\n");
  EXPECT_EQ(runchild([] { mymemcheck(nullptr); }).err, fixed + "mymemcheck: adr==0\n");
}

TEST(Alloc, NegativeSizeTakesTheOutOfMemoryStop) {
  Ended e = runchild([] { mymalloc(-1); });
  EXPECT_TRUE(e.aborted());
  EXPECT_EQ(e.err, fixed + "out of memory! -1 bytes wanted.\n");
  EXPECT_EQ(e.out.rfind("mymalloc -1, mu ", 0), 0u) << e.out;
  Ended huge = runchild([] { mymalloc(INT32_MIN); });
  EXPECT_EQ(huge.err, fixed + "out of memory! -2147483648 bytes wanted.\n");
}

TEST(Alloc, Realloc) {
  char* p = static_cast<char*>(mymalloc(8));
  memcpy(p, "abcdefgh", 8);
  int32_t allocs = memallocs;
  EXPECT_EQ(myrealloc(p, 8), p);
  EXPECT_EQ(memallocs, allocs);
  char* smaller = static_cast<char*>(myrealloc(p, 3));
  EXPECT_EQ(mymemcheck(smaller), 3);
  EXPECT_EQ(memcmp(smaller, "abc", 3), 0);
  char* larger = static_cast<char*>(myrealloc(smaller, 100));
  EXPECT_EQ(mymemcheck(larger), 100);
  EXPECT_EQ(memcmp(larger, "abc", 3), 0);
  myfree(larger);
}

TEST(Alloc, LoadMalloc) {
  TestDir dir;
  writetext(dir / "data.bin", "0123456789");
  char* p = static_cast<char*>(myloadmalloc((dir / "data.bin").c_str()));
  EXPECT_EQ(lastloadsize, 10);
  EXPECT_EQ(mymemcheck(p), 10);
  EXPECT_EQ(memcmp(p, "0123456789", 10), 0);
  myfree(p);
  p = static_cast<char*>(myloadmallocf("%s/%s", dir.path.c_str(), "data.bin"));
  EXPECT_EQ(lastloadsize, 10);
  myfree(p);

  writetext(dir / "empty", "");
  std::string empty = dir / "empty";
  Ended e = runchild([&] { myloadmalloc(empty.c_str()); });
  EXPECT_TRUE(e.aborted());
  EXPECT_EQ(e.err, fixed + "myloadmalloc: can't open " + empty + "\n");
  std::string missing = dir / "missing";
  EXPECT_EQ(runchild([&] { myloadmalloc(missing.c_str()); }).err, fixed + "myloadmalloc: can't open " + missing + "\n");
  // A folder is no file to load.
  EXPECT_EQ(runchild([&] { myloadmalloc(dir.path.c_str()); }).err, fixed + dir.path + ": it is a folder, not a file\n");
}
