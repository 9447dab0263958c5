// Battle replays: their numbering in the temp folder, the marker that finds
// them inside a turn file, their header and the checksum block.
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gamefiles/gamefiles.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/units.h"

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
  // A sliding window over the bytes (the last eight, the oldest lowest): a
  // replay starts where all eight marker bytes stand, so stray "_vcr" bytes
  // inside records are not counted.
  uint64_t marker = 0;
  for (int i = 7; i >= 0; i--) marker = marker << 8 | uint8_t(vcrmarker[i]);
  uint64_t window = 0;
  int32_t filled = 0;
  int32_t count = 0;
  int c;
  while ((c = getc_unlocked(f)) != EOF) {
    window = window >> 8 | uint64_t(uint8_t(c)) << 56;
    if (filled < 8) filled++;
    if (filled == 8 && window == marker) {
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

// ---------------------------------------------------------------- replay records

namespace {

bool famedcom(int32_t cnr) {
  if (cnr <= 0) return false;
  for (int16_t entry : scorelist)
    if (entry == cnr) return true;
  return false;
}

bool typehasability(int32_t type, int32_t ability) {
  if (type < 0 || type >= MAXUNITTYPES) return false;
  for (int16_t id : unittypes[type].abilityid) {
    if (id == 0) break;
    if (id == ability) return true;
  }
  return false;
}

// A unit slot that must be kept: alive, the god's body, a famed commander's
// body, or of a type that stays (ability 275).
bool unitinuse(int32_t u) {
  const Unit& x = unit[u];
  if (x.hp >= 1 || (x.flags[2] & F3_PRETENDER)) return true;
  if (x.comnr >= 0 && x.comnr < MAXCOMS && com[x.comnr].body == u && famedcom(x.comnr)) return true;
  return typehasability(x.type, AB_UNIQUE);
}

void putlandindexed(int32_t l, FILE* f) {
  if (l < 1 || l >= MAXLANDS) return;
  putindex(l, f);
  put_land(l, f);
}

int32_t homeof(int32_t player) {
  return player >= 0 && player < MAXKINGDOMS ? kingdom[player].w[KW_HOMELAND] : 0;
}

bool sees(int32_t p, int32_t defender, int32_t attacker) { return p == attacker || p == defender || p == 24; }

}  // namespace

GameFile crvcr(int32_t player, int32_t lnr, int32_t defender, int32_t attacker, int32_t castle, int32_t seed,
               int32_t v1, int32_t v2, int32_t v3) {
  bailif(player < 0 || player >= MAXPLAYERS, "crvcr: bad vcrgod");
  int32_t n = freevcrnumber(player);
  if (n < 0) return nullptr;
  char path[PATHLEN];
  vcrpath(path, PATHLEN, player, n);
  GameFile file = opengamefile(path, false);
  if (!file) filestop("crvcr: can't open file", path, errno);
  FILE* f = gamefilestream(file);
  writevcrmarker(f);
  int32_t head[9] = {lnr, defender, attacker, castle, seed, v1, v2, v3, ritualbattle};
  putmany(head, 4, 9, f);
  putlandindexed(lnr, f);
  putlandindexed(homeof(attacker), f);
  putlandindexed(homeof(defender), f);
  endsection(f);
  for (int32_t p = 0; p < MAXPLAYERS; p++)
    if (sees(p, defender, attacker)) {
      putindex(p, f);
      put_kingdom(p, f);
      put_veyrances(p, f);
    }
  endsection(f);
  for (int32_t p = 0; p < MAXPLAYERS; p++)
    if (sees(p, defender, attacker)) {
      putindex(p, f);
      put_spellstuff(p, f);
    }
  endsection(f);
  // With the forces outside the battle set aside, only a few slots can hold
  // a living unit.
  std::vector<int32_t> slots;
  if (!unitslotsintable(slots))
    for (int32_t u = 0; u <= imin(highestunit, MAXUNITS - 1); u++) slots.push_back(u);
  for (int32_t u : slots)
    if (unit[u].hp > 0) {
      putindex(u, f);
      put_unit(u, f);
    }
  endsection(f);
  for (int32_t c = 0; c <= imin(highestcom, MAXCOMS - 1); c++)
    if (com[c].body >= 0) {
      putindex(c, f);
      put_com(c, f);
    }
  endsection(f);
  for (int32_t e = 0; e <= imin(highestench, MAXENCH - 1); e++)
    if (ench[e].kind > 0) {
      putindex(e, f);
      put_ench(e, f);
    }
  endsection(f);
  // The replay is built in memory: only memory can run out here.
  if (putint(HEADERCHECK, f) != 4) fatalerror("crvcr: out of memory");
  return file;
}

void closevcr(GameFile file) {
  write_checksums(gamefilestream(file));
  const std::string path = gamefiletarget(file);
  if (!closegamefile(std::move(file), 0)) filestop("Write error! Disc full???", path.c_str(), errno);
}

int readvcr(int32_t* lnr, int32_t* defender, int32_t* attacker, int32_t* castle, int32_t* seed, int32_t* values,
            int whole, FILE* f) {
  if (!readvcrmagic(f)) return 0;
  int32_t head[9];
  for (int32_t& v : head) v = getint(f);
  *lnr = head[0];
  *defender = head[1];
  *attacker = head[2];
  *castle = head[3];
  *seed = head[4];
  for (int i = 0; i < 3; i++) values[i] = head[5 + i];
  ritualbattle = head[8];
  debugprint("readvcr, lnr %d, seed %d\n", *lnr, *seed);
  int32_t count = 0;
  for (int32_t l; (l = getindex(f, MAXLANDS, "readvcr: bad lnr")) >= 0; count++) getland(l, f);
  if (readbroken()) return 0;
  debugprint("lands %d ", count);
  if (!whole) return 1;
  count = 0;
  for (int32_t k; (k = getindex(f, MAXKINGDOMS, "readvcr: bad kdm")) >= 0 && !readbroken(); count++) {
    get_kingdom(k, f);
    get_veyrances(k, f);
  }
  debugprint("kingdoms %d ", count);
  count = 0;
  for (int32_t k; !readbroken() && (k = getindex(f, MAXKINGDOMS, "readvcr: bad kdm2")) >= 0; count++) get_splstf(k, f);
  debugprint("Spellbooks %d ", count);
  count = 0;
  for (int32_t u; !readbroken() && (u = getindex(f, MAXUNITS, "readvcr: bad unr")) >= 0; count++) {
    get_unit(u, f, 0);
    highestunit = imax(highestunit, u);
  }
  debugprint("units %d ", count);
  count = 0;
  for (int32_t c; !readbroken() && (c = getindex(f, MAXCOMS, "readvcr: bad cnr")) >= 0; count++) {
    get_com(c, f, 0);
    highestcom = imax(highestcom, c);
  }
  debugprint("coms %d ", count);
  for (int32_t e; !readbroken() && (e = getindex(f, MAXENCH, "readvcr: bad ench")) >= 0;) {
    get_ench(e, f);
    highestench = imax(highestench, e);
  }
  if (readbroken()) return 0;
  return readcheck(f, HEADERCHECK, "readvcr: bad CHECK") ? 1 : 0;
}

// ---------------------------------------------------------------- set-aside forces

namespace {
// The forces set aside before one battle of a month are mostly those set
// aside before the last, as they were. So each record's bytes in the file
// are kept with the record they were made from, when reading them back
// over that record gives the record again: a record written again as it
// was takes its kept bytes, and a file that comes back as it was written,
// over slots that still hold what was written, is taken back without
// reading its records field by field (they would change nothing). Any
// other file is read record by record.
template <typename Record>
struct KeptRecord {
  Record record;
  uint16_t size = 0;   // of the bytes; 0: none kept
  std::array<uint8_t, sizeof(Record) + 32> bytes;   // a record's bytes take about its size
};
template <typename Record>
struct Kept {
  std::vector<KeptRecord<Record>> slots;
  std::vector<int32_t> written;   // the slots of the last file, in its order
};
Kept<Unit> keptunits;
Kept<Commander> keptcoms;
std::vector<uint8_t> lastfile;   // the bytes of the last file written
bool lastkept = false;           // and every record in it kept

template <typename Record>
bool same(const Record& a, const Record& b) {
  return memcmp(&a, &b, sizeof(Record)) == 0;
}

void append(std::vector<uint8_t>& out, int32_t value) {
  const uint32_t v = uint32_t(value);
  const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  out.insert(out.end(), b, b + 4);
}

// Record n as the file has it, into out: the kept bytes when the record is
// as kept, else made anew (and kept when they read back to the record).
template <typename Record, typename Put, typename Get>
void appendrecord(Kept<Record>& kept, int32_t n, const Record& now, Put put, Get get, std::vector<uint8_t>& out) {
  if (size_t(n) >= kept.slots.size()) kept.slots.resize(size_t(n) + 1);
  kept.written.push_back(n);
  KeptRecord<Record>& k = kept.slots[size_t(n)];
  if (k.size && same(k.record, now)) {
    out.insert(out.end(), k.bytes.begin(), k.bytes.begin() + k.size);
    return;
  }
  k.size = 0;
  // Made in a stream of memory and read back from there.
  static std::array<char, 16384> scratch;
  static FILE* s = fmemopen(scratch.data(), scratch.size(), "w+");
  long size = -1;
  if (s) {
    rewind(s);
    put(n, s);
    size = ftell(s);
    fflush(s);
  }
  if (size <= 0 || size_t(size) >= scratch.size() || ferror(s)) {
    lastkept = false;
    const std::vector<uint8_t> made = streambytes([&](FILE* f) { put(n, f); });
    out.insert(out.end(), made.begin(), made.end());
    if (s) clearerr(s);
    return;
  }
  const uint8_t* made = reinterpret_cast<const uint8_t*>(scratch.data());
  out.insert(out.end(), made, made + size);
  rewind(s);
  Record read = now;
  const int32_t version = readversion;
  setreadversion(FILEVERSION);
  const bool whole = writeversion == FILEVERSION && get(read, s) && ftell(s) == size;
  setreadversion(version);
  if (!whole || !same(read, now) || size_t(size) > k.bytes.size()) {
    lastkept = false;
    return;
  }
  memcpy(k.bytes.data(), made, size_t(size));
  k.size = uint16_t(size);
  std::construct_at(&k.record, now);
}

// The file as saveforces writes it.
void forcesbytes(int32_t lnr, std::vector<uint8_t>& out) {
  out.clear();
  keptunits.written.clear();
  keptcoms.written.clear();
  lastkept = true;
  append(out, SETASIDECHECK);
  // While the month's battles are fought the forces outside all their
  // provinces are set aside already: only the few unit slots and the
  // commanders left in the tables can hold one.
  std::vector<int32_t> slots;
  if (!unitslotsintable(slots))
    for (int32_t u = 0; u <= imin(highestunit, MAXUNITS - 1); u++) slots.push_back(u);
  const auto getunit = [](Unit& x, FILE* f) { return get_unitrec(x, f, KEEPSTATE); };
  for (int32_t u : slots)
    if (unitinuse(u) && unit[u].land != lnr) {
      append(out, u);
      appendrecord(keptunits, u, unit[u], put_unit, getunit, out);
    }
  append(out, -1);
  const auto getcom = [](Commander& x, FILE* f) {
    int32_t body;
    return get_comrec(x, f, KEEPSTATE, &body);
  };
  for (int32_t c : commandersintable()) {
    int32_t body = com[c].body;
    if (body >= 0 && body < MAXUNITS && unit[body].land != lnr) {
      append(out, c);
      appendrecord(keptcoms, c, com[c], put_com, getcom, out);
    }
  }
  append(out, -1);
  append(out, HEADERCHECK);
}

// The file read is the last one written, of records kept that stand in
// their slots as they were written.
bool comesbackaswritten(const std::vector<uint8_t>& data) {
  if (!lastkept || data != lastfile) return false;
  for (int32_t u : keptunits.written)
    if (!same(keptunits.slots[size_t(u)].record, unit[size_t(u)])) return false;
  for (int32_t c : keptcoms.written)
    if (!same(keptcoms.slots[size_t(c)].record, com[size_t(c)])) return false;
  return true;
}
}  // namespace

void saveforces(int32_t lnr, FILE* f) {
  forcesbytes(lnr, lastfile);
  if (putmany(lastfile.data(), 1, int32_t(lastfile.size()), f) != int32_t(lastfile.size()))
    fatalerror("sf: out of memory");
}

int loadfor(FILE* f, int keeplinks) {
  if (!readcheck(f, SETASIDECHECK, "loadfor: bad header")) return 0;
  for (int32_t u; (u = getindex(f, MAXUNITS, "loadfor: bad unr")) >= 0 && !readbroken();) {
    get_unit(u, f, keeplinks);
    highestunit = imax(highestunit, u);
  }
  for (int32_t c; !readbroken() && (c = getindex(f, MAXCOMS, "loadfor: bad cnr")) >= 0;) {
    get_com(c, f, keeplinks);
    highestcom = imax(highestcom, c);
  }
  if (readbroken()) return 0;
  return readcheck(f, HEADERCHECK, "readfor: bad CHECK") ? 1 : 0;
}

void setasidepath(char* path, int32_t size) { formatbounded(path, size, "%s/tmp_fl", temppath); }

void setforcesaside(int32_t lnr) {
  char path[PATHLEN];
  setasidepath(path, PATHLEN);
  forcesbytes(lnr, lastfile);
  // Written over the file of the battle before: a new file for every battle
  // of a month costs the disc more than its bytes do.
  UniqueFile f = openquiet(path, "r+b");
  if (!f && errno == ENOENT) f = openquiet(path, "wb");
  if (!f) {
    struct stat st;
    const bool folder = errno == ENOTAFILE && stat(path, &st) == 0 && S_ISDIR(st.st_mode);
    filestop("sf: Write error! Disc full?", path, folder ? EISDIR : errno);
  }
  const size_t size = lastfile.size();
  if (fwrite(lastfile.data(), 1, size, f.get()) != size || fflush(f.get()) != 0 ||
      ftruncate(fileno(f.get()), off_t(size)) != 0)
    filestop("sf: Write error! Disc full?", path, errno);
  if (fclose(f.release()) != 0) filestop("sf: Write error! Disc full?", path, errno);
}

int takeforcesback(int keeplinks) {
  char path[PATHLEN];
  setasidepath(path, PATHLEN);
  UniqueFile f = openfile(path, "rb");
  if (!f) {
    fatalerror("loadfor: bad header");
    return 0;
  }
  setreadversion(FILEVERSION);
  if (keeplinks == KEEPSTATE) {
    static std::vector<uint8_t> data;
    data.resize(lastfile.size() + 1);
    data.resize(fread_unlocked(data.data(), 1, data.size(), f.get()));
    if (comesbackaswritten(data)) {
      // The records read over themselves; the units go through the table's
      // writer as a read would put them.
      for (int32_t u : keptunits.written) {
        putunit(u, unit[size_t(u)]);
        highestunit = imax(highestunit, u);
      }
      for (int32_t c : keptcoms.written) highestcom = imax(highestcom, c);
      return 1;
    }
    rewind(f.get());
  }
  return loadfor(f.get(), keeplinks);
}
