// Battle-map files: the ".v3m" reader and writer. Battle maps come from other
// players, so every size, offset and count is checked before it is used.
#include <cmath>
#include <cstring>

#include "battleview/battleview.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "runtime/util.h"

int32_t battlelowdetail = 0, battleextradetail = 1;
battlemapdata battlemap;
int32_t battlemaplit = 1;          // the view lights the terrain
uint32_t battlemapgeneration = 0;  // changes with every load, so the view rebuilds

void put_mo(const massobj& m, FILE* f) {
  putint(m.kind, f);
  putint(m.x, f);
  putint(m.y, f);
  putint(m.z, f);
  putint(m.angle, f);
  putint(m.scale, f);
  putint(m.red, f);
  putint(m.green, f);
  putint(m.blue, f);
  putint(m.seed, f);
  putshort(m.decoration, f);
}

massobj get_mo(FILE* f) {
  massobj m;
  m.kind = getint(f);
  m.x = getint(f);
  m.y = getint(f);
  m.z = getint(f);
  m.angle = getint(f);
  m.scale = getint(f);
  m.red = getint(f);
  m.green = getint(f);
  m.blue = getint(f);
  m.seed = getint(f);
  m.decoration = int16_t(getshort(f));
  return m;
}

void put_mb(const battlemapdata& map, int32_t n, FILE* f) {
  bailif(n < 0 || n >= MAXMBENTRY, "put_mb");
  putshort(map.entry[size_t(n)].x, f);
  putshort(map.entry[size_t(n)].y, f);
}

void get_mb(battlemapdata& map, int32_t n, FILE* f) {
  bailif(n < 0 || n >= MAXMBENTRY, "get_mb");
  map.entry[size_t(n)].x = int16_t(getshort(f));
  map.entry[size_t(n)].y = int16_t(getshort(f));
}

mbentry battlefieldmiddle(const battlemapdata& map) {
  if (map.entries > 0) return map.entry[0];
  return {int16_t(map.width / 2), int16_t(map.depth / 2)};
}

void clearbattlemap(battlemapdata& map) {
  map.width = map.depth = 0;
  map.cellsize = 100;
  map.objects = 0;
  map.entries = 0;
}

namespace {
bool within(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

// Why an object cannot stand on this map, or nullptr.
const char* badobject(const massobj& m, const battlemapdata& map) {
  int64_t spanx = int64_t(map.width - 1) * map.cellsize, spany = int64_t(map.depth - 1) * map.cellsize;
  if (!within(m.kind, 0, MASSKINDS - 1)) return "LoadBattleMap: bad object kind";
  if (m.x < 0 || m.x > spanx || m.y < 0 || m.y > spany) return "LoadBattleMap: bad object position";
  if (!within(m.z, -100000, 100000)) return "LoadBattleMap: bad object lift";
  if (!within(m.angle, 0, 359)) return "LoadBattleMap: bad object angle";
  if (!within(m.scale, 1, 1000)) return "LoadBattleMap: bad object scale";
  if (!within(m.red, 0, 255) || !within(m.green, 0, 255) || !within(m.blue, 0, 255))
    return "LoadBattleMap: bad object colour";
  if (!within(m.decoration, 0, 1)) return "LoadBattleMap: bad object detail";
  return nullptr;
}

// Checks a section [offset, offset + bytes) against the file and the header.
bool sectionfits(int64_t offset, int64_t bytes, int64_t length, int64_t header) {
  return offset >= header && bytes >= 0 && offset <= length && bytes <= length - offset;
}

bool apart(int64_t a, int64_t abytes, int64_t b, int64_t bbytes) { return a + abytes <= b || b + bbytes <= a; }

const char* readchecked(FILE* f, int64_t length, battlemapdata& map) {
  if (length < BMHEADER1) return "LoadBattleMap: file too short";
  if (length > MAXBMFILE) return "LoadBattleMap: file too large";
  char magic[4];
  if (fread(magic, 1, 4, f) != 4 || memcmp(magic, BMMAGIC, 4) != 0) return "LoadBattleMap: bad magic";
  int32_t version = getint(f);
  int32_t width = getint(f), depth = getint(f), cellsize = getint(f);
  int32_t heightoffset = getint(f), objects = getint(f), objectoffset = getint(f);
  if (binreadfailed) return "LoadBattleMap: file too short";
  if (version != 1 && version != BMVERSION) return "LoadBattleMap: bad version";
  const int32_t header = version == 1 ? BMHEADER1 : BMHEADER;
  int32_t entries = 0, entryoffset = header;
  if (version >= 2) {
    if (length < BMHEADER) return "LoadBattleMap: file too short";
    entries = getint(f);
    entryoffset = getint(f);
    if (binreadfailed) return "LoadBattleMap: file too short";
  }
  if (!within(width, MINBMSIDE, MAXBMSIDE) || !within(depth, MINBMSIDE, MAXBMSIDE))
    return "LoadBattleMap: bad size";
  if (!within(cellsize, 10, 10000)) return "LoadBattleMap: bad cell size";
  if (!within(objects, 0, MAXMASSOBJ)) return "LoadBattleMap: bad object count";
  if (!within(entries, 0, MAXMBENTRY)) return "LoadBattleMap: bad entry count";
  int64_t heightbytes = int64_t(width) * depth * 2, objectbytes = int64_t(objects) * MASSOBJBYTES;
  int64_t entrybytes = int64_t(entries) * MBENTRYBYTES;
  if (!sectionfits(heightoffset, heightbytes, length, header)) return "LoadBattleMap: bad height offset";
  if (!sectionfits(objectoffset, objectbytes, length, header)) return "LoadBattleMap: bad object offset";
  if (!sectionfits(entryoffset, entrybytes, length, header)) return "LoadBattleMap: bad entry offset";
  if (objects > 0 && !apart(heightoffset, heightbytes, objectoffset, objectbytes))
    return "LoadBattleMap: sections overlap";
  if (entries > 0 && (!apart(heightoffset, heightbytes, entryoffset, entrybytes) ||
                      (objects > 0 && !apart(objectoffset, objectbytes, entryoffset, entrybytes))))
    return "LoadBattleMap: sections overlap";

  map.width = width;
  map.depth = depth;
  map.cellsize = cellsize;
  if (fseek(f, heightoffset, SEEK_SET) != 0) return "LoadBattleMap: bad height offset";
  getmany(map.height.data(), 2, width * depth, f, sizeof(map.height));
  if (binreadfailed) return "LoadBattleMap: file too short";
  if (objects > 0 && fseek(f, objectoffset, SEEK_SET) != 0) return "LoadBattleMap: bad object offset";
  for (int32_t i = 0; i < objects; i++) {
    map.obj[i] = get_mo(f);
    if (binreadfailed) return "LoadBattleMap: file too short";
    if (const char* why = badobject(map.obj[i], map)) return why;
  }
  map.objects = objects;
  if (entries > 0 && fseek(f, entryoffset, SEEK_SET) != 0) return "LoadBattleMap: bad entry offset";
  for (int32_t i = 0; i < entries; i++) {
    get_mb(map, i, f);
    if (binreadfailed) return "LoadBattleMap: file too short";
    const mbentry& e = map.entry[size_t(i)];
    if (!within(e.x, 0, width - 1) || !within(e.y, 0, depth - 1)) return "LoadBattleMap: bad entry";
  }
  map.entries = entries;
  return nullptr;
}
}  // namespace

const char* readbattlemap(FILE* f, int64_t length, battlemapdata& map) {
  clearbattlemap(map);
  SoftReadScope soft;
  const char* why = readchecked(f, length, map);
  if (why) clearbattlemap(map);
  return why;
}

int writebattlemap(const char* path, const battlemapdata& map) {
  bailif(!within(map.width, MINBMSIDE, MAXBMSIDE) || !within(map.depth, MINBMSIDE, MAXBMSIDE),
         "writebattlemap: bad size");
  bailif(!within(map.objects, 0, MAXMASSOBJ), "writebattlemap: bad object count");
  bailif(!within(map.entries, 0, MAXMBENTRY), "writebattlemap: bad entry count");
  SafeWrite out(path);
  if (!out.ok()) return 0;
  FILE* f = out.stream();
  int32_t heightbytes = map.width * map.depth * 2;
  fwrite(BMMAGIC, 1, 4, f);
  putint(BMVERSION, f);
  putint(map.width, f);
  putint(map.depth, f);
  putint(map.cellsize, f);
  putint(BMHEADER, f);
  putint(map.objects, f);
  putint(BMHEADER + heightbytes, f);
  putint(map.entries, f);
  putint(BMHEADER + heightbytes + map.objects * MASSOBJBYTES, f);
  putmany(map.height.data(), 2, map.width * map.depth, f);
  for (int32_t i = 0; i < map.objects; i++) put_mo(map.obj[i], f);
  for (int32_t i = 0; i < map.entries; i++) put_mb(map, i, f);
  return out.commit() ? 1 : 0;
}

float battlemapheight(const battlemapdata& map, float x, float y) {
  if (map.width < MINBMSIDE || map.depth < MINBMSIDE) return 0.0f;
  float gx = x / float(map.cellsize), gy = y / float(map.cellsize);
  if (!(gx >= 0.0f && gy >= 0.0f && gx <= float(map.width - 1) && gy <= float(map.depth - 1))) return 0.0f;
  int32_t ix = imin(int32_t(gx), map.width - 2), iy = imin(int32_t(gy), map.depth - 2);
  float fx = gx - float(ix), fy = gy - float(iy);
  auto h = [&](int32_t cx, int32_t cy) { return float(map.height[size_t(cy) * map.width + cx]); };
  float low = h(ix, iy) * (1 - fx) + h(ix + 1, iy) * fx;
  float high = h(ix, iy + 1) * (1 - fx) + h(ix + 1, iy + 1) * fx;
  return low * (1 - fy) + high * fy;
}

int LoadBattleMap(const char* path, int32_t editing, int32_t lit, int32_t objects) {
  installbattlefield();
  battlemapgeneration++;
  battlemaplit = lit;
  UniqueFile f = openfile(path, "rb");
  if (!f) {
    clearbattlemap(battlemap);
    debugprint("***** Warning: LoadBattleMap: cannot open %s\n", path);
    return 0;
  }
  int64_t length = -1;
  if (fseek(f.get(), 0, SEEK_END) == 0) length = ftell(f.get());
  rewind(f.get());
  if (const char* why = readbattlemap(f.get(), length, battlemap)) {
    debugprint("***** Warning: %s (%s)\n", why, path);
    return 0;
  }
  // Keep only what this view shows: no objects on a bare map, no decoration
  // without extra detail (the editor keeps everything).
  int32_t kept = 0;
  for (int32_t i = 0; i < battlemap.objects; i++) {
    const massobj& m = battlemap.obj[i];
    if (!objects) break;
    if (!editing && m.decoration && !battleextradetail) continue;
    battlemap.obj[kept++] = m;
  }
  battlemap.objects = kept;
  debugprint2("LoadBattleMap %s: %dx%d, %d objects\n", path, battlemap.width, battlemap.depth, battlemap.objects);
  return 1;
}
