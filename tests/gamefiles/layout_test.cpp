#include "gamefiles/gamefiles.h"
#include "runtime/binio.h"
#include "support/gamefolders.h"

namespace {

struct Sample {
  int32_t big = 0;
  int16_t small[3] = {};
  uint8_t flag = 0;
  int8_t scale = 0;
  char name[8] = {};
  int32_t widened = 0;   // stored as 16 bits
  uint16_t unsignedword = 0;
  int16_t late = 0;
  char note[6] = {};
};

constexpr FieldSpec samplelayout[] = {
    GF_NUM(Sample, big, 4),
    GF_NUM(Sample, small, 2),
    GF_NUM(Sample, flag, 1),
    GF_NUM(Sample, scale, 1),
    GF_STR(Sample, name),
    GF_NUM(Sample, widened, 2),
    GF_NUM(Sample, unsignedword, 2),
    GF_NUM(Sample, late, 2).from(300),
    GF_PART(Sample, small, 2, 1, 1).upto(280),
    GF_KEYSTR(Sample, note),
};

Sample filled() {
  Sample s;
  s.big = -70000;
  s.small[0] = -2;
  s.small[1] = 300;
  s.small[2] = 7;
  s.flag = 200;
  s.scale = -3;
  strlcopy(s.name, "abc", sizeof s.name);
  s.widened = -5;
  s.unsignedword = 65535;
  s.late = 99;
  strlcopy(s.note, "hi", sizeof s.note);
  return s;
}

}  // namespace

TEST(Layout, WriterAndReaderShareOneTable) {
  Sample s = filled();
  std::vector<uint8_t> bytes = streambytes([&](FILE* f) { writefields(samplelayout, &s, f); });
  // 4 + 6 + 1 + 1 + "abc"+0 + 2 + 2 + 2 + "hi" keyed.
  EXPECT_EQ(bytes.size(), 4u + 6 + 2 + 4 + 2 + 2 + 2 + 3);
  EXPECT_EQ(layoutbytes(samplelayout, 327), 4 + 6 + 2 + 1 + 2 + 2 + 2 + 1);
  setreadversion(327);
  Sample back;
  FILE* f = bytestream(bytes);
  EXPECT_TRUE(readfields(samplelayout, &back, f));
  fclose(f);
  EXPECT_EQ(back.big, -70000);
  EXPECT_EQ(back.small[0], -2);
  EXPECT_EQ(back.small[1], 300);
  EXPECT_EQ(back.flag, 200);
  EXPECT_EQ(back.scale, -3);
  EXPECT_STREQ(back.name, "abc");
  EXPECT_EQ(back.widened, -5);   // sign kept through 16 bits
  EXPECT_EQ(back.unsignedword, 65535);
  EXPECT_EQ(back.late, 99);
  EXPECT_STREQ(back.note, "hi");
}

// Written into memory, a layout of numbers gives the writer's bytes, and
// tells whether the reader gives the record's values back; a layout with
// text, or too little room, gives nothing.
TEST(Layout, NumbersIntoMemoryAreTheWritersBytes) {
  constexpr FieldSpec numbers[] = {
      GF_NUM(Sample, big, 4),          GF_NUM(Sample, small, 2),        GF_NUM(Sample, flag, 1),
      GF_NUM(Sample, scale, 1),        GF_NUM(Sample, widened, 2),      GF_NUM(Sample, unsignedword, 2),
      GF_NUM(Sample, late, 2).from(300), GF_PART(Sample, small, 2, 1, 1).upto(280),
  };
  Sample s = filled();
  std::array<uint8_t, 64> out;
  bool exact = false;
  for (int32_t widened : {-5, 32767, -32768, 70000, -40000}) {
    s.widened = widened;
    std::vector<uint8_t> bytes = streambytes([&](FILE* f) { writefields(numbers, &s, f); });
    ASSERT_EQ(fieldsinto(numbers, &s, out.data(), out.size(), &exact), bytes.size());
    EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + ptrdiff_t(bytes.size())), bytes);
    Sample back = s;
    setreadversion(FILEVERSION);
    FILE* f = bytestream(bytes);
    EXPECT_TRUE(readfields(numbers, &back, f));
    fclose(f);
    EXPECT_EQ(exact, back.widened == widened) << widened;
    EXPECT_EQ(exact, memcmp(&back, &s, sizeof s) == 0) << widened;
  }
  EXPECT_EQ(fieldsinto(numbers, &s, out.data(), 10, &exact), 0u);
  EXPECT_EQ(fieldsinto(samplelayout, &s, out.data(), out.size(), &exact), 0u);
}

TEST(Layout, OlderVersionsSkipFieldsTheyLack) {
  // A version-280 file: no "late", and small[1] once more after the unsigned word.
  Sample s = filled();
  std::vector<uint8_t> bytes = streambytes([&](FILE* f) {
    putint(s.big, f);
    putmany(s.small, 2, 3, f);
    putbyte(s.flag, f);
    putbyte(s.scale, f);
    put_string("abc", f);
    putshort(-5, f);
    putshort(65535, f);
    putshort(444, f);
    put_keystring("hi", f);
  });
  setreadversion(280);
  Sample back;
  back.late = 1234;
  FILE* f = bytestream(bytes);
  EXPECT_TRUE(readfields(samplelayout, &back, f));
  EXPECT_EQ(fgetc(f), EOF);
  fclose(f);
  EXPECT_EQ(back.late, 1234);
  EXPECT_EQ(back.small[1], 444);
  EXPECT_STREQ(back.note, "hi");
  setreadversion(327);
}

TEST(Layout, LongTextsAreCutAndUnterminatedFieldsWrittenBounded) {
  Sample s = filled();
  memset(s.name, 'x', sizeof s.name);   // no terminator in memory
  std::vector<uint8_t> bytes = streambytes([&](FILE* f) { writefields(samplelayout, &s, f); });
  setreadversion(327);
  Sample back;
  FILE* f = bytestream(bytes);
  EXPECT_TRUE(readfields(samplelayout, &back, f));
  fclose(f);
  EXPECT_STREQ(back.name, "xxxxxxx");
  EXPECT_EQ(back.widened, -5);   // still in step after the text
}

TEST(Layout, ShortReadsFailSoftly) {
  Sample s = filled();
  std::vector<uint8_t> bytes = streambytes([&](FILE* f) { writefields(samplelayout, &s, f); });
  bytes.resize(9);
  SoftReadScope soft;
  Sample back;
  FILE* f = bytestream(bytes);
  EXPECT_FALSE(readfields(samplelayout, &back, f));
  fclose(f);
  EXPECT_TRUE(readbroken());
}

TEST(Layout, AFileCutAnywhereReadsAsFieldByField) {
  // big, small, flag and scale stand alike in the record and the file
  // (bytes 0..11 of both) and are read as one run. Wherever the file ends,
  // the fields before the cut read whole, the cut field keeps its whole
  // elements and reads 0 after them, and the later fields keep what they
  // held: as reading field by field gave.
  Sample s = filled();
  const std::vector<uint8_t> whole = streambytes([&](FILE* f) { writefields(samplelayout, &s, f); });
  const uint8_t* original = reinterpret_cast<const uint8_t*>(&s);
  struct Span {
    size_t from, to, width;
  };
  const Span fields[] = {{0, 4, 4}, {4, 10, 2}, {10, 11, 1}, {11, 12, 1}};
  setreadversion(327);
  for (size_t cut = 0; cut <= whole.size(); cut++) {
    std::vector<uint8_t> bytes(whole.begin(), whole.begin() + ptrdiff_t(cut));
    Sample back;
    memset(static_cast<void*>(&back), 0x5A, sizeof back);
    bool read;
    {
      SoftReadScope soft;
      FILE* f = bytestream(bytes);
      read = readfields(samplelayout, &back, f);
      fclose(f);
    }
    EXPECT_EQ(read, cut == whole.size()) << cut;
    const uint8_t* got = reinterpret_cast<const uint8_t*>(&back);
    bool stopped = false;
    for (const Span& field : fields)
      for (size_t b = field.from; b < field.to; b++) {
        const size_t kept = cut <= field.from ? 0 : (cut - field.from) / field.width * field.width;
        const uint8_t want = stopped ? 0x5A : b < field.from + kept ? original[b] : 0;
        EXPECT_EQ(got[b], want) << "cut " << cut << ", byte " << b;
        if (b + 1 == field.to && cut < field.to) stopped = true;
      }
    if (cut < 12) {
      EXPECT_EQ(back.widened, int32_t(0x5A5A5A5A)) << cut;
    }
  }
}

TEST(Sections, IndicesAreBoundedAndEndAtMinusOne) {
  std::vector<uint8_t> bytes = streambytes([](FILE* f) {
    putindex(3, f);
    putindex(9, f);
    endsection(f);
    putint(12345, f);
    putint(10, f);
  });
  FILE* f = bytestream(bytes);
  EXPECT_EQ(getindex(f, 10, "x: bad"), 3);
  EXPECT_EQ(getindex(f, 10, "x: bad"), 9);
  EXPECT_EQ(getindex(f, 10, "x: bad"), -1);
  EXPECT_TRUE(readcheck(f, 12345, "x: check"));
  EXPECT_DEATH(getindex(f, 10, "x: bad idx"), "x: bad idx");
  {
    SoftReadScope soft;
    EXPECT_EQ(getindex(f, 10, "x: bad"), -2);
    EXPECT_TRUE(readbroken());
  }
  fclose(f);
  std::vector<uint8_t> wrong = streambytes([](FILE* f) { putint(12346, f); });
  f = bytestream(wrong);
  EXPECT_DEATH(readcheck(f, 12345, "x: bad CHECK"), "x: bad CHECK");
  fclose(f);
}
