// Leaks one block on purpose: the sanitizer run's test "leakcheck" expects
// the leak checker to report it, so leak checking cannot be switched off or
// suppressed for our own code without a test failing.
#include <cstdint>
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
