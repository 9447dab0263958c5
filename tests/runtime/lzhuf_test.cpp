#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "runtime/lzhuf.h"

namespace {
using Bytes = std::vector<uint8_t>;

Bytes compress(const Bytes& plain, int32_t capacity = -1) {
  if (capacity < 0) capacity = int32_t(plain.size()) * 3 + 64;
  Bytes out(size_t(capacity) + 1);
  int32_t n = lzh_compress(plain.data(), int32_t(plain.size()), out.data(), capacity);
  EXPECT_GE(n, 4);
  out.resize(size_t(n < 0 ? 0 : n));
  return out;
}

Bytes roundtrip(const Bytes& plain) {
  Bytes packed = compress(plain);
  Bytes back(plain.size() + 16, 0xAB);
  int32_t n = lzh_decompress(packed.data(), int32_t(packed.size()), back.data(), int32_t(plain.size()));
  EXPECT_EQ(n, int32_t(plain.size()));
  back.resize(size_t(n < 0 ? 0 : n));
  return back;
}

Bytes randombytes(size_t n, uint32_t seed) {
  std::mt19937 gen(seed);
  Bytes b(n);
  for (auto& x : b) x = uint8_t(gen());
  return b;
}

// Records such as the game files hold: small integers, names and padding.
Bytes gamelike(size_t n) {
  static const char* const names[] = {"Heavy Infantry", "Longbowman", "Pretender", "Fire Drake", "Militia"};
  Bytes b;
  for (uint32_t i = 0; b.size() < n; i++) {
    uint32_t fields[6] = {i, i % 95, 10 + i % 7, 0, 0xFFFFFFFFu, i * 3};
    for (uint32_t f : fields)
      for (int k = 0; k < 4; k++) b.push_back(uint8_t(f >> (8 * k)));
    const char* name = names[i % 5];
    b.insert(b.end(), name, name + strlen(name) + 1);
  }
  b.resize(n);
  return b;
}
}  // namespace

TEST(Lzhuf, EmptyInputIsTheZeroPrefixAlone) {
  uint8_t out[8] = {9, 9, 9, 9, 9, 9, 9, 9};
  ASSERT_EQ(lzh_compress("", 0, out, 8), 4);
  EXPECT_EQ(Bytes(out, out + 5), (Bytes{0, 0, 0, 0, 9}));
  EXPECT_EQ(lzh_compress(nullptr, 10, out, 8), 4);
  EXPECT_EQ(lzh_compress("x", -5, out, 8), 4);
  EXPECT_EQ(Bytes(out, out + 4), (Bytes{0, 0, 0, 0}));
  uint8_t plain[4];
  EXPECT_EQ(lzh_decompress(out, 4, plain, 0), 0);
}

TEST(Lzhuf, FirstLiteralUsesTheInitialTreeMostSignificantBitFirst) {
  // In the initial tree the literal 'A' (node 65) has the 9-bit code
  // 111001101; the stream is the big-endian length, then those bits padded.
  Bytes packed = compress(Bytes{'A'});
  EXPECT_EQ(packed, (Bytes{0, 0, 0, 1, 0xE6, 0x80}));
}

TEST(Lzhuf, FirstMatchReachesIntoTheSpaceFilledRing) {
  // Four spaces match the ring's initial spaces right behind the start: the
  // length code 255 - 2 + 4 = 257 (node 257 of the initial tree: 10001101),
  // then position 0: upper part 000, lower six bits 000000.
  EXPECT_EQ(compress(Bytes(4, ' ')), (Bytes{0, 0, 0, 4, 0x8D, 0x00, 0x00}));
  EXPECT_EQ(roundtrip(Bytes(4, ' ')), Bytes(4, ' '));
}

TEST(Lzhuf, LengthPrefixIsBigEndian) {
  Bytes packed = compress(Bytes(0x012345, 'z'));
  EXPECT_EQ(Bytes(packed.begin(), packed.begin() + 4), (Bytes{0x00, 0x01, 0x23, 0x45}));
}

TEST(Lzhuf, RoundTripsManyKindsAndSizes) {
  const size_t sizes[] = {1, 2, 3, 59, 60, 61, 62, 4035, 4036, 4095, 4096, 4097, 8191, 20000};
  for (size_t n : sizes) {
    Bytes runs(n);
    for (size_t i = 0; i < n; i++) runs[i] = uint8_t((i / 97) % 5);
    Bytes text;
    const std::string words = "The pretender god of the nation casts a ritual. ";
    while (text.size() < n) text.insert(text.end(), words.begin(), words.end());
    text.resize(n);
    Bytes spaces(n, ' ');   // matches reach into the space-filled start of the ring
    Bytes random = randombytes(n, uint32_t(n));
    Bytes single(n, 0);
    for (const Bytes* b : {&runs, &text, &spaces, &random, &single}) {
      SCOPED_TRACE(n);
      EXPECT_EQ(roundtrip(*b), *b);
    }
  }
}

TEST(Lzhuf, MatchesAcrossTheRingAndTreeRebuilds) {
  // A 5000-byte block repeated: its matches lie more than the ring size
  // back at first and wrap around the ring; 300000 codes force rebuilds of
  // the frequency tree.
  Bytes block = randombytes(5000, 7);
  Bytes data;
  for (int i = 0; i < 8; i++) data.insert(data.end(), block.begin(), block.end());
  EXPECT_EQ(roundtrip(data), data);
  Bytes skewed(300000);
  std::mt19937 gen(3);
  for (auto& x : skewed) x = uint8_t(gen() % 3 == 0 ? gen() : 'e');
  EXPECT_EQ(roundtrip(skewed), skewed);
  Bytes game = gamelike(200000);
  Bytes packed = compress(game);
  EXPECT_LT(packed.size(), game.size() / 3);
  EXPECT_EQ(roundtrip(game), game);
}

TEST(Lzhuf, OutputDoesNotDependOnEarlierCalls) {
  Bytes text = {'a', 'b', 'a', 'b', 'a'};
  Bytes first = compress(text);
  compress(randombytes(10000, 1));
  EXPECT_EQ(compress(text), first);
}

TEST(Lzhuf, TruncatedStreamIsRefused) {
  Bytes plain = gamelike(30000);
  Bytes packed = compress(plain);
  Bytes out(plain.size());
  for (size_t cut : {size_t(1), size_t(2), packed.size() / 2, packed.size() - 5}) {
    SCOPED_TRACE(cut);
    EXPECT_EQ(lzh_decompress(packed.data(), int32_t(packed.size() - cut), out.data(), int32_t(out.size())), -1);
  }
  EXPECT_EQ(lzh_decompress(packed.data(), 3, out.data(), int32_t(out.size())), -1);
  EXPECT_EQ(lzh_decompress(packed.data(), int32_t(packed.size()), out.data(), int32_t(out.size())),
            int32_t(plain.size()));
}

TEST(Lzhuf, PrefixBeyondCapacityIsRefused) {
  Bytes plain(1000, 'q');
  Bytes packed = compress(plain);
  Bytes out(999, 0x55);
  EXPECT_EQ(lzh_decompress(packed.data(), int32_t(packed.size()), out.data(), 999), -1);
  EXPECT_EQ(out, Bytes(999, 0x55));
  const uint8_t huge[] = {0xFF, 0xFF, 0xFF, 0xFF, 0, 0};
  EXPECT_EQ(lzh_decompress(huge, 6, out.data(), 999), -1);
  const uint8_t sign[] = {0x80, 0x00, 0x00, 0x00, 0, 0};
  EXPECT_EQ(lzh_decompress(sign, 6, out.data(), 999), -1);
}

TEST(Lzhuf, IncompressibleDataBeyondCapacityIsRefused) {
  Bytes plain = randombytes(1000, 11);
  Bytes out(1100, 0);
  EXPECT_EQ(lzh_compress(plain.data(), 1000, out.data(), 1000), -1);
  EXPECT_EQ(lzh_compress(plain.data(), 1000, out.data(), 3), -1);
  int32_t n = lzh_compress(plain.data(), 1000, out.data(), 1100);
  EXPECT_GT(n, 1000);
  // Exactly the room needed is enough; one byte less is not.
  Bytes exact(static_cast<size_t>(n));
  EXPECT_EQ(lzh_compress(plain.data(), 1000, exact.data(), n), n);
  EXPECT_EQ(lzh_compress(plain.data(), 1000, exact.data(), n - 1), -1);
}

TEST(Lzhuf, ArbitraryBytesNeverOverrunTheDestination) {
  std::mt19937 gen(5);
  for (int trial = 0; trial < 300; trial++) {
    Bytes junk = randombytes(4 + gen() % 200, uint32_t(trial));
    junk[0] = 0;
    junk[1] = 0;
    Bytes out(70000 + 8, 0xEE);
    int32_t n = lzh_decompress(junk.data(), int32_t(junk.size()), out.data(), 70000);
    EXPECT_LE(n, 70000);
    EXPECT_EQ(out[70000], 0xEE);
  }
}

TEST(Lzhuf, DamagedInputDecodesTheSameWhateverRanBefore) {
  // Damaged streams may copy from ring positions not yet written; those hold
  // the same bytes on every call, not what an earlier call left there.
  Bytes before[2] = {compress(randombytes(100, 1)), compress(randombytes(100, 2))};   // fill the ring's end
  Bytes scratch(100), first(300), second(300);
  std::mt19937 gen(9);
  int completed = 0;
  for (int trial = 0; trial < 3000; trial++) {
    Bytes junk = randombytes(4 + gen() % 200, uint32_t(trial) + 77);
    junk[0] = junk[1] = junk[2] = 0;   // short outputs, which the bits at hand can complete
    lzh_decompress(before[0].data(), int32_t(before[0].size()), scratch.data(), 100);
    int32_t n = lzh_decompress(junk.data(), int32_t(junk.size()), first.data(), 300);
    lzh_decompress(before[1].data(), int32_t(before[1].size()), scratch.data(), 100);
    ASSERT_EQ(lzh_decompress(junk.data(), int32_t(junk.size()), second.data(), 300), n);
    if (n > 0) {
      completed++;
      ASSERT_TRUE(std::equal(first.begin(), first.begin() + n, second.begin())) << trial;
    }
  }
  EXPECT_GT(completed, 1000);
}
