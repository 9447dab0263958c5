// Checking allocator: every block carries its size and guard bytes
//   [n: u32 LE]["1111"][n user bytes]["1111"]
// so a double free, a write past either end or exhausted memory stops at once.
#pragma once
#include "runtime/short.h"

void* mymalloc(int32_t n);
void myfree(void* address);
void* myrealloc(void* address, int32_t size);
int32_t mymemcheck(void* address);
int32_t checkallmem();
// Whole file into a new block; the byte count is left in lastloadsize. A
// file above MAXLOADBYTES stops with "myloadmalloc: PATH is too large".
constexpr int32_t MAXLOADBYTES = 256 << 20;
void* myloadmalloc(const char* path);
void* myloadmallocf(const char* format, ...) __attribute__((format(printf, 1, 2)));

extern int32_t lastloadsize;
extern int32_t memused;      // bytes in live blocks
extern int32_t memallocs;    // number of allocations
extern int32_t memfrees;     // number of frees
