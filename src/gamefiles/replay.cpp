// Battle replays: their numbering in the temp folder, the marker that finds
// them inside a turn file, their header and the checksum block.
#include <unistd.h>

#include <cstring>

#include "battle/battle.h"
#include "gamefiles/gamefiles.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"

namespace {
const char vcrmarker[8] = {'_', 'v', 'c', 'r', '_', 'V', 'C', 'R'};
}

void vcrpath(char* path, int32_t size, int32_t player, int32_t n) {
  formatbounded(path, size, "%s/%d_%d.vcr", temppath, player, n);
}

int32_t freevcrnumber(int32_t player) {
  char path[PATHLEN];
  for (int32_t n = 0; n < MAXVCR; n++) {
    vcrpath(path, PATHLEN, player, n);
    if (!fileexists("%s", path)) return n;
  }
  return -1;
}

void removevcrs() {
  char path[PATHLEN];
  for (int32_t player = 0; player < 95; player++) {
    for (int32_t n = 0; n < MAXVCR; n++) {
      vcrpath(path, PATHLEN, player, n);
      if (!fileexists("%s", path)) break;
      unlink(path);
    }
  }
}

void writevcrmarker(FILE* f) { putmany(vcrmarker, 1, 8, f); }

int find_vcr(int32_t n, FILE* f) {
  // A sliding window over the bytes: a replay starts where all eight marker
  // bytes stand, so stray "_vcr" bytes inside records are not counted.
  uint8_t window[8] = {};
  int32_t filled = 0;
  int32_t count = 0;
  int c;
  while ((c = fgetc(f)) != EOF) {
    memmove(window, window + 1, 7);
    window[7] = uint8_t(c);
    if (filled < 8) filled++;
    if (filled == 8 && memcmp(window, vcrmarker, 8) == 0) {
      if (count == n) {
        fseek(f, -4, SEEK_CUR);   // just after "_vcr"
        return 1;
      }
      count++;
    }
  }
  return 0;
}

bool readvcrmagic(FILE* f) {
  char tag[4] = {};
  if (fread(tag, 1, 4, f) != 4 || memcmp(tag, vcrmarker + 4, 4) != 0) return readdefect("bad vcr header");
  return true;
}

void readvcrheader(int32_t* land, int32_t* defender, int32_t* attacker, FILE* f) {
  if (!readvcrmagic(f)) return;
  *land = getint(f);
  *defender = getint(f);
  *attacker = getint(f);
}

void write_checksums(FILE* f) {
  int32_t n = 0;
  while (n < MAXCHECKSUMS && battlechecksums[n] != 0) n++;
  putint(VCRCHECKSTART, f);
  putshort(n, f);
  putmany(battlechecksums.data(), 4, n, f);
  putint(VCRCHECKEND, f);
}

int32_t readchecksums(FILE* f) {
  int32_t check = getint(f);
  debugprint("readchecksum %d 0x%x (checkmagic=88288 0x%x)\n", check, check, VCRCHECKSTART);
  battlechecksums.fill(0);
  if (check != VCRCHECKSTART) return -1;
  int32_t n = getshort(f);
  debugprint("readchecksum %d checksums\n", n);
  // The count is a 16-bit value; entries past the table are read and dropped.
  for (int32_t i = 0; i < n && !readbroken(); i++) {
    int32_t v = getint(f);
    if (i < MAXCHECKSUMS) battlechecksums[i] = v;
  }
  if (!readcheck(f, VCRCHECKEND, "readchecksums: bad check")) return -1;
  return n;
}

int32_t appendvcrs(int32_t player, FILE* f) {
  char path[PATHLEN];
  int32_t n = 0;
  for (; n < 100; n++) {
    vcrpath(path, PATHLEN, player, n);
    UniqueFile in = openfile(path, "rb");
    if (!in) break;
    char chunk[16384];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, in.get())) > 0) fwrite(chunk, 1, got, f);
  }
  return n;
}
