// Fuzz target: the battle-map reader over arbitrary bytes. It must refuse or
// accept without reading or writing outside its buffers.
#include <cstdio>
#include <memory>

#include "battleview/battleview.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static auto map = std::make_unique<battlemapdata>();
  if (size == 0) return 0;
  FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!f) return 0;
  const char* why = readbattlemap(f, int64_t(size), *map);
  fclose(f);
  // An accepted map holds only what the reader checked.
  if (!why) {
    if (map->width < MINBMSIDE || map->width > MAXBMSIDE || map->objects > MAXMASSOBJ) __builtin_trap();
    for (int32_t i = 0; i < map->objects; i++) (void)battlemapheight(*map, float(map->obj[i].x), float(map->obj[i].y));
    if (map->entries < 0 || map->entries > MAXMBENTRY) __builtin_trap();
    const mbentry middle = battlefieldmiddle(*map);
    if (middle.x < 0 || middle.x >= map->width || middle.y < 0 || middle.y >= map->depth) __builtin_trap();
  }
  return 0;
}
