#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/binio.h"
#include "support/process.h"

namespace {
using Bytes = std::vector<uint8_t>;
const std::string fixed = "N\xE5got gick fel!\n";

// The bytes that the writer puts into a stream.
template <class F>
Bytes written(F writer) {
  FILE* f = tmpfile();
  writer(f);
  fflush(f);
  Bytes b(size_t(ftell(f)));
  rewind(f);
  if (!b.empty()) {
    EXPECT_EQ(fread(b.data(), 1, b.size(), f), b.size());
  }
  fclose(f);
  return b;
}

// A read-only stream over the given bytes (closed by the caller).
FILE* reader(const Bytes& b) {
  FILE* f = tmpfile();
  if (!b.empty()) fwrite(b.data(), 1, b.size(), f);
  rewind(f);
  return f;
}

Bytes encoded(const std::string& text, bool keyed) {
  return written([&](FILE* f) { keyed ? put_keystring(text.c_str(), f) : put_string(text.c_str(), f); });
}
}  // namespace

TEST(BinIo, IntegersAreLittleEndianAndShortReadsGiveZero) {
  EXPECT_EQ(written([](FILE* f) { putint(0x01020304, f); }), (Bytes{4, 3, 2, 1}));
  EXPECT_EQ(written([](FILE* f) { putshort(-2, f); }), (Bytes{0xFE, 0xFF}));
  EXPECT_EQ(written([](FILE* f) { putshort(0x12345, f); }), (Bytes{0x45, 0x23}));
  EXPECT_EQ(written([](FILE* f) { putbyte(-1, f); }), (Bytes{0xFF}));
  EXPECT_EQ(written([](FILE* f) { putint_be(0x01020304, f); }), (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(written([](FILE* f) { putshort_be(0x0102, f); }), (Bytes{1, 2}));
  EXPECT_EQ(written([](FILE* f) { EXPECT_EQ(putint(1, f), 4); }).size(), 4u);

  FILE* f = reader({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3});
  EXPECT_EQ(getint(f), -1);
  EXPECT_EQ(getshort(f), 65535);
  EXPECT_EQ(getsbyte(f), -1);
  EXPECT_EQ(getbyte(f), 255);
  EXPECT_EQ(getint(f), 0);   // three bytes left: 0, and all three consumed
  EXPECT_EQ(ftell(f), 11);
  EXPECT_EQ(getshort(f), 0);
  EXPECT_EQ(getsbyte(f), 0);
  fclose(f);
}

TEST(BinIo, FixedPointFloat) {
  EXPECT_EQ(written([](FILE* f) { putfixed(f, 2.25f); }), (Bytes{0x00, 0x40, 0x02, 0x00, 0x00, 0x00}));
  EXPECT_EQ(written([](FILE* f) { putfixed(f, -3.0f); }), (Bytes{0x00, 0x00, 0xFD, 0xFF, 0xFF, 0xFF}));
  for (float v : {2.25f, -3.0f, 0.5f, 1.0f, 1.5f, 0.0f, -1.5f}) {
    FILE* f = reader(written([&](FILE* w) { putfixed(w, v); }));
    float back = getfixed(f);
    fclose(f);
    // A negative non-whole value keeps its odd encoding: -1.5 reads as -0.5.
    EXPECT_EQ(back, v == -1.5f ? -0.5f : v) << v;
  }
  FILE* f = reader({0x00, 0x80, 0x07});   // fraction read, whole part short
  EXPECT_EQ(getfixed(f), 0.5f);
  fclose(f);
  // Values beyond 32 bits do not invoke undefined conversions.
  EXPECT_EQ(written([](FILE* w) { putfixed(w, 1e20f); }).size(), 6u);
  EXPECT_EQ(written([](FILE* w) { putfixed(w, NAN); }).size(), 6u);
}

TEST(BinIo, PutManyAndGetMany) {
  int16_t shorts[2] = {-2, 0x0102};
  EXPECT_EQ(written([&](FILE* f) { EXPECT_EQ(putmany(shorts, 2, 2, f), 4); }), (Bytes{0xFE, 0xFF, 2, 1}));
  int32_t ints[2] = {1, -1};
  EXPECT_EQ(written([&](FILE* f) { EXPECT_EQ(putmany(ints, 4, 2, f), 8); }),
            (Bytes{1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(written([&](FILE* f) { EXPECT_EQ(putmany("abc", 1, 3, f), 3); }), (Bytes{'a', 'b', 'c'}));
  EXPECT_EQ(written([&](FILE* f) { EXPECT_EQ(putmany(ints, 4, 0, f), 0); }), Bytes{});
  Ended bad = runchild([&] { putmany(ints, 3, 1, stdout); });
  EXPECT_TRUE(bad.aborted());
  EXPECT_EQ(bad.err, fixed + "putmany: bad size\n");

  FILE* f = reader({1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 5, 6});
  int32_t back[2] = {};
  getmany(back, 4, 2, f, sizeof back);
  EXPECT_EQ(back[0], 1);
  EXPECT_EQ(back[1], -1);
  getmany(back, 4, 0, f, sizeof back);
  EXPECT_EQ(ftell(f), 8);
  int16_t s = 0;
  getmany(&s, 2, 1, f, sizeof s);
  EXPECT_EQ(s, 0x0605);
  fclose(f);
}

TEST(BinIo, GetManyFailuresStopBeforeTouchingTheDestination) {
  Bytes data(64, 7);
  struct Case {
    int32_t size, count;
    size_t capacity;
    const char* message;
  } cases[] = {{3, 1, 64, "getmany: bad size"},
               {4, 17, 64, "getmany failed"},               // more than the destination holds
               {4, 0x40000001, 64, "getmany failed"},       // size x count beyond 32 bits
               {1, 65, 100, "getmany failed"}};             // the stream is shorter
  for (const Case& c : cases) {
    Ended e = runchild([&] {
      uint8_t dest[100];
      FILE* f = reader(data);
      getmany(dest, c.size, c.count, f, c.capacity);
    });
    EXPECT_TRUE(e.aborted()) << c.message;
    EXPECT_EQ(e.err, fixed + c.message + "\n");
  }
  FILE* f = reader(data);
  uint8_t dest[8];
  memset(dest, 0x55, sizeof dest);
  {
    SoftReadScope soft;
    getmany(dest, 3, 1, f, sizeof dest);
    EXPECT_EQ(binreadfailed, 1);
    EXPECT_EQ(ftell(f), 0);   // the size is checked before anything is read
    EXPECT_EQ(dest[0], 0x55);
  }
  fclose(f);
}

TEST(BinIo, PlainStrings) {
  EXPECT_EQ(encoded("", false), (Bytes{STRINGMASK}));
  EXPECT_EQ(encoded("AB", false), (Bytes{uint8_t('A' ^ STRINGMASK), uint8_t('B' ^ STRINGMASK), STRINGMASK}));
  // 9999 characters is the longest text written, and it reads back.
  std::string longest(MAXSTRING, 'q');
  FILE* f = reader(encoded(longest, false));
  std::vector<char> buffer(MAXSTRING + 1);
  get_string(buffer.data(), buffer.size(), f);
  EXPECT_EQ(std::string(buffer.data()), longest);
  fclose(f);
  Ended toolong = runchild([] { put_string(std::string(MAXSTRING + 1, 'q').c_str(), tmpfile()); });
  EXPECT_TRUE(toolong.aborted());
  EXPECT_EQ(toolong.err, fixed + "put_string: string too long\n");

  Bytes overlong(MAXSTRING + 1, uint8_t('q' ^ STRINGMASK));
  overlong.push_back(STRINGMASK);
  Ended readlong = runchild([&] {
    char b[16];
    get_string(b, sizeof b, reader(overlong));
  });
  EXPECT_EQ(readlong.err, fixed + "get_string: string too long\n");
  Ended eof = runchild([] {
    char b[16];
    get_string(b, sizeof b, reader({'a'}));
  });
  EXPECT_EQ(eof.err, fixed + "getstring failed\n");
  TestDir dir;
  std::string target = dir / "target";
  writetext(target, std::string(1000, 'f'));
  Ended full = runchild([&] {
    limitfilesize(1000);   // room for the messages, none left in the target
    FILE* out = fopen(target.c_str(), "ab");
    setvbuf(out, nullptr, _IONBF, 0);
    put_string("", out);
  });
  EXPECT_EQ(full.err, fixed + "Can't write to file! Disc full???: " + target + ": the disc is full\n");
}

TEST(BinIo, CutStringIsConsumedToItsTerminator) {
  Bytes b = encoded("abcdefghij", false);
  Bytes tail = written([](FILE* f) { putint(77, f); });
  b.insert(b.end(), tail.begin(), tail.end());
  FILE* f = reader(b);
  char small[4];
  get_string(small, sizeof small, f);
  EXPECT_STREQ(small, "abc");
  EXPECT_EQ(getint(f), 77);
  fclose(f);
}

TEST(BinIo, KeyedStrings) {
  EXPECT_EQ(encoded("", true), (Bytes{KEYSTART}));
  Bytes twice = encoded("aa", true);
  ASSERT_EQ(twice.size(), 3u);
  EXPECT_NE(twice[0], twice[1]);
  EXPECT_EQ(twice[0], uint8_t('a' ^ KEYSTART));
  EXPECT_EQ(twice[1], uint8_t('a' ^ uint8_t(KEYSTART + 'a')));
  EXPECT_EQ(twice[2], uint8_t(KEYSTART + 'a' + 'a'));

  std::string password = "quill\xF0" "feathers";
  FILE* f = reader(encoded(password, true));
  char back[50];
  get_keystring(back, f, 50);
  EXPECT_EQ(std::string(back), password);
  fclose(f);

  // A 60-character text read with n = 50 gives 49 characters; the rest is
  // consumed, so the next field reads right.
  std::string sixty(60, 'x');
  for (int i = 0; i < 60; i++) sixty[size_t(i)] = char('A' + i % 26);
  Bytes b = encoded(sixty, true);
  Bytes tail = written([](FILE* w) { putint(-9, w); });
  b.insert(b.end(), tail.begin(), tail.end());
  f = reader(b);
  get_keystring(back, f, 50);
  EXPECT_EQ(std::string(back), sixty.substr(0, 49));
  EXPECT_EQ(getint(f), -9);
  get_keystring(back, f, 0);   // n below 1 reads nothing
  fclose(f);

  std::string longest(10000, 'k');
  EXPECT_EQ(encoded(longest, true).size(), 10001u);
  Ended toolong = runchild([] { put_keystring(std::string(10001, 'k').c_str(), tmpfile()); });
  EXPECT_EQ(toolong.err, fixed + "put_string: string too long\n");
  Ended eof = runchild([] {
    char b2[50];
    get_keystring(b2, reader({1, 2}), 50);
  });
  EXPECT_EQ(eof.err, fixed + "glcs: error reading file\n");
}

TEST(BinIo, SoftReadScopeMarksFailuresInsteadOfStopping) {
  Ended e = runchild([] {
    FILE* f = reader({'a' ^ STRINGMASK});
    char b[8] = "xxxxxxx";
    {
      SoftReadScope outer;
      {
        SoftReadScope inner;
        EXPECT_EQ(binreadfailed, 0);
        get_string(b, sizeof b, f);
        EXPECT_EQ(binreadfailed, 1);
        EXPECT_STREQ(b, "a");
      }
      EXPECT_EQ(binreadfailed, 1);   // the enclosing scope still sees it
      EXPECT_TRUE(softreading());
      get_keystring(b, f, 8);
      EXPECT_EQ(getint(f), 0);
    }
    EXPECT_FALSE(softreading());
    {
      SoftReadScope fresh;
      EXPECT_EQ(binreadfailed, 0);
      FILE* g = reader({1, 2, 3});
      EXPECT_EQ(getint(g), 0);   // short integer reads count as failures here
      EXPECT_EQ(binreadfailed, 1);
    }
    fflush(stdout);
    get_string(b, sizeof b, f);   // outside any scope: stops again
  });
  EXPECT_TRUE(e.aborted());
  EXPECT_EQ(e.err.find("Failure"), std::string::npos) << e.out;
  EXPECT_EQ(e.out.find("Failure"), std::string::npos) << e.out;
  EXPECT_EQ(e.err, fixed + "getstring failed\n");
}

TEST(BinIo, FilesInMemoryKeepTheirBytesAndPositions) {
  // What a sink gathers comes back whole, and it knows how far it got.
  ByteSink sink;
  ASSERT_NE(sink.stream(), nullptr);
  for (int32_t i = 0; i < 5000; i++) putint(i, sink.stream());
  put_string("end", sink.stream());
  EXPECT_EQ(ftell(sink.stream()), 20004);
  EXPECT_TRUE(sink.ok());
  const Bytes all = sink.take();
  ASSERT_EQ(all.size(), 20004u);
  EXPECT_EQ(all[4 * 4999], uint8_t(4999 & 0xFF));
  EXPECT_EQ(all, streambytes([](FILE* f) {
              for (int32_t i = 0; i < 5000; i++) putint(i, f);
              put_string("end", f);
            }));

  // A file read up to some point, the rest in memory: the same bytes at the
  // same positions as in the file, seeks within what memory holds.
  FILE* disc = reader(all);
  EXPECT_EQ(getint(disc), 0);
  EXPECT_EQ(getint(disc), 1);
  UniqueFile rest = restinmemory(UniqueFile(disc));
  ASSERT_TRUE(rest);
  FILE* f = rest.get();
  EXPECT_EQ(ftell(f), 8);
  EXPECT_EQ(getint(f), 2);
  EXPECT_EQ(fseek(f, -4, SEEK_CUR), 0);
  EXPECT_EQ(getint(f), 2);
  EXPECT_NE(fseek(f, 4, SEEK_SET), 0);   // before what memory holds
  EXPECT_EQ(fseek(f, 4 * 4999, SEEK_SET), 0);
  EXPECT_EQ(getint(f), 4999);
  char text[8] = "";
  get_string(text, sizeof text, f);
  EXPECT_STREQ(text, "end");
  EXPECT_EQ(fgetc(f), EOF);
  {
    SoftReadScope soft;
    EXPECT_EQ(getint(f), 0);   // past the end, as a file would give
    EXPECT_EQ(binreadfailed, 1);
  }
  EXPECT_FALSE(restinmemory(nullptr));

  // A file larger than memory takes is read from the disc, where it stands.
  FILE* big = tmpfile();
  ASSERT_EQ(fseek(big, MEMORYFILELIMIT + 8, SEEK_SET), 0);
  putint(77, big);
  rewind(big);
  getint(big);
  UniqueFile same = restinmemory(UniqueFile(big));
  EXPECT_EQ(same.get(), big);
  EXPECT_EQ(ftell(big), 4);
}

TEST(BinIo, AFailedSinkGivesNoBytes) {
  // A stream that failed (here: read from, as it cannot be) hands over
  // nothing, and says so before and after.
  ByteSink sink;
  putint(5, sink.stream());
  EXPECT_TRUE(sink.ok());
  EXPECT_EQ(fgetc(sink.stream()), EOF);
  EXPECT_FALSE(sink.ok());
  EXPECT_TRUE(sink.take().empty());
  EXPECT_FALSE(sink.ok());
  ByteSink good;
  putint(5, good.stream());
  EXPECT_EQ(good.take().size(), 4u);
  EXPECT_TRUE(good.ok());
}
