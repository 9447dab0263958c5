// Feeds arbitrary bytes to the image readers: the first byte picks SGI or TGA.
#include <cstddef>
#include <cstdint>

#include "runtime/alloc.h"
#include "runtime/image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  int32_t w = 0, h = 0;
  uint8_t* pixels = decodeimage(data + 1, int64_t(size - 1), data[0] & 1, &w, &h);
  if (pixels) {
    minalpha32(pixels, w, h);
    myfree(pixels);
  } else if (w != 0 || h != 0) {
    __builtin_trap();
  }
  return 0;
}
