// Leaks one block of our own allocator on purpose: the sanitizer run's test
// "leakcheck" passes only when the leak checker reports it, so leak checking
// cannot be switched off, or our own code suppressed, without a test failing.
#include <cstring>

#include "runtime/alloc.h"

void* volatile kept = nullptr;

int main() {
  void* block = mymalloc(4242);
  memset(block, 1, 4242);
  kept = block;
  kept = nullptr;   // the only pointer to the block is gone
  return 0;
}
