// Fuzz target: LZHUF decompression of arbitrary bytes into a bounded buffer,
// and compression of the same bytes with a round trip.
#include <cstring>
#include <vector>

#include "runtime/lzhuf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Longer inputs test nothing that these do not, and cost in proportion.
  if (size > 4096) return 0;
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

  // The same bytes as plain data, one of two ways by the input's length
  // (a run of both would cost twice): with room for the worst case they
  // always fit and come back unchanged; with too little room the result is
  // -1 or a stream that decodes right.
  std::vector<uint8_t> back(size + 1);
  const bool roomy = size % 2 == 0;
  const int32_t room = roomy ? int32_t(size * 3 + 64) : n / 2 + 4;
  std::vector<uint8_t> packed(static_cast<size_t>(room));
  const int32_t m = lzh_compress(data, n, packed.data(), room);
  if (roomy && m < 4) __builtin_trap();
  if (m != -1) {
    if (m > room || lzh_decompress(packed.data(), m, back.data(), n) != n) __builtin_trap();
    if (size && memcmp(back.data(), data, size) != 0) __builtin_trap();
  }
  return 0;
}
