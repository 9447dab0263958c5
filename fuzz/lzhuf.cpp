// Fuzz target: LZHUF decompression of arbitrary bytes into a bounded buffer,
// and compression of the same bytes with a round trip.
#include <cstring>
#include <vector>

#include "runtime/lzhuf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1 << 20)) return 0;
  int32_t n = int32_t(size);

  // Any bytes as a compressed stream: -1 or a length within the capacity,
  // and nothing written past it (the guard bytes stay).
  constexpr int32_t CAPACITY = 1 << 14;   // several times the ring, small enough to run fast
  static std::vector<uint8_t> plain(CAPACITY + 16);
  memset(plain.data() + CAPACITY, 0x5A, 16);
  int32_t got = lzh_decompress(data, n, plain.data(), CAPACITY);
  if (got < -1 || got > CAPACITY) __builtin_trap();
  for (int i = 0; i < 16; i++)
    if (plain[size_t(CAPACITY + i)] != 0x5A) __builtin_trap();

  // The same bytes as plain data: with room for the worst case they always
  // fit and come back unchanged.
  std::vector<uint8_t> packed(size * 3 + 64);
  int32_t m = lzh_compress(data, n, packed.data(), int32_t(packed.size()));
  if (m < 4) __builtin_trap();
  std::vector<uint8_t> back(size + 1);
  if (lzh_decompress(packed.data(), m, back.data(), n) != n) __builtin_trap();
  if (size && memcmp(back.data(), data, size) != 0) __builtin_trap();

  // With too little room: -1, or a stream that decodes right.
  int32_t small = n / 2 + 4;
  std::vector<uint8_t> tight(static_cast<size_t>(small));
  int32_t t = lzh_compress(data, n, tight.data(), small);
  if (t != -1) {
    if (t > small || lzh_decompress(tight.data(), t, back.data(), n) != n) __builtin_trap();
    if (size && memcmp(back.data(), data, size) != 0) __builtin_trap();
  }
  return 0;
}
