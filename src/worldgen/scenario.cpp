// The scenario pass over a map file: the map maker's changes to the world.
#include "runtime/fatal.h"
#include "worldgen/worldgen.h"

int readscenario(const char* text, int32_t length, int nogods) {
  static const char* const keywords[] = {"vey2title"};
  MapScanner s(text, length);
  int result = 0;
  while (s.next(keywords, 1) >= 0) result = 1;
  return result;
}
