#include "runtime/alloc.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

#include "runtime/fatal.h"
#include "runtime/util.h"

int32_t lastloadsize = 0;
int32_t memused = 0;
int32_t memallocs = 0;
int32_t memfrees = 0;

namespace {
constexpr size_t HEADER = 8;
constexpr size_t TRAILER = 4;
const uint8_t guard[4] = {'1', '1', '1', '1'};

// Blocks that are live right now. A double free is recognised from this record
// instead of by reading memory that has already gone back to the heap.
std::unordered_set<const void*>& liveblocks() {
  static std::unordered_set<const void*> blocks;
  return blocks;
}

uint32_t blocksize(const uint8_t* user) {
  const uint8_t* p = user - HEADER;
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
}  // namespace

void* mymalloc(int32_t n) {
  uint8_t* block = nullptr;
  // A negative size takes the out-of-memory stop; sizes are computed unsigned.
  if (n >= 0) block = static_cast<uint8_t*>(malloc(size_t(n) + HEADER + TRAILER));
  if (!block) {
    printf("mymalloc %d, mu %d (%d %d)\n", n, memused, memallocs, memfrees);
    char message[MSGLEN];
    snprintf(message, sizeof message, "out of memory! %d bytes wanted.", n);
    fatalerror(message);
    return nullptr;
  }
  uint32_t size = uint32_t(n);
  block[0] = uint8_t(size);
  block[1] = uint8_t(size >> 8);
  block[2] = uint8_t(size >> 16);
  block[3] = uint8_t(size >> 24);
  memcpy(block + 4, guard, 4);
  memcpy(block + HEADER + size, guard, 4);
  memused += n;
  memallocs++;
  liveblocks().insert(block + HEADER);
  return block + HEADER;
}

int32_t mymemcheck(void* address) {
  bailif(address == nullptr, "mymemcheck: adr==0");
  const uint8_t* user = static_cast<const uint8_t*>(address);
  if (!liveblocks().count(user)) {
    printf("mymemcheck, size %d\n", 0);
    fatalerror("myfree: freeing already freed memory");
    return 0;
  }
  uint32_t n = blocksize(user);
  if (memcmp(user - 4, guard, 4) != 0) {
    printf("mymemcheck, size %d\n", int32_t(n));
    fatalerror(user[-4] == '2' ? "myfree: freeing already freed memory" : "myfree: corrupted mem block (low)");
    return 0;
  }
  if (memcmp(user + n, guard, 4) != 0) {
    printf("mymemcheck, size %d\n", int32_t(n));
    fatalerror("myfree: corrupted mem block (high)");
    return 0;
  }
  return int32_t(n);
}

void myfree(void* address) {
  bailif(address == nullptr, "myfree: adr==0");
  int32_t n = mymemcheck(address);
  uint8_t* user = static_cast<uint8_t*>(address);
  user[-4] = '2';
  liveblocks().erase(user);
  free(user - HEADER);
  memused -= n;
  memfrees++;
}

void* myrealloc(void* address, int32_t size) {
  bailif(address == nullptr, "myrealloc: adr==0");
  int32_t n = mymemcheck(address);
  if (size == n) return address;
  void* fresh = mymalloc(size);
  memcpy(fresh, address, size_t(imin(size, n)));
  myfree(address);
  return fresh;
}

int32_t checkallmem() { return 0; }

void* myloadmalloc(const char* path) {
  if (notafile(path)) {
    fatalerror(fileproblem(path, ENOTAFILE).c_str());
    return nullptr;
  }
  int32_t size = filesize("%s", path);
  // No file that the game loads whole comes near this; a larger one is
  // refused before anything is allocated.
  if (size > MAXLOADBYTES) {
    char message[MSGLEN];
    snprintf(message, sizeof message, "myloadmalloc: %s is too large", path);
    fatalerror(message);
    return nullptr;
  }
  if (size < 1) {
    char message[MSGLEN];
    snprintf(message, sizeof message, "myloadmalloc: can't open %s", path);
    fatalerror(message);
    return nullptr;
  }
  void* block = mymalloc(size);
  lastloadsize = loadfile(path, block, size);
  if (lastloadsize < 1) {
    char message[MSGLEN];
    snprintf(message, sizeof message, "myloadmalloc: %s was empty", path);
    fatalerror(message);
  }
  return block;
}

void* myloadmallocf(const char* format, ...) {
  char path[PATHLEN];
  va_list args;
  va_start(args, format);
  vsnprintf(path, sizeof path, format, args);
  va_end(args);
  return myloadmalloc(path);
}
