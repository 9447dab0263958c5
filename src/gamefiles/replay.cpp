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
// aside before the last, as they were. So the last file is kept with the
// records it was made from, in its order: a record written again as it was
// takes its bytes over from the last file (neighbours in both files at
// once), and a file that comes back as it was written, over slots that
// still hold what was written, is taken back without reading its records
// field by field (they would change nothing). Any other file is read record
// by record.
template <typename Record>
struct Written {
  std::vector<int32_t> slots;   // in the file's order
  std::vector<Record> records;  // as their bytes were made
  std::vector<size_t> at;       // where each one's index begins in the file, and the section's end
  std::vector<uint8_t> exact;   // its bytes read back to the record
  void clear() {
    slots.clear();
    records.clear();
    at.clear();
    exact.clear();
  }
};
struct MadeFile {
  std::vector<uint8_t> bytes;
  Written<Unit> units;
  Written<Commander> coms;
  bool exact = false;   // every record's bytes read back to it
};
std::array<MadeFile, 2> files;   // the last file written, and room for the next
size_t last = 0;

// One record against another, inline (their size is known here).
template <typename Record>
bool same(const Record& a, const Record& b) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(&a);
  const uint8_t* q = reinterpret_cast<const uint8_t*>(&b);
  uint64_t differ = 0;
  size_t i = 0;
  for (; i + 8 <= sizeof(Record); i += 8) {
    uint64_t x, y;
    memcpy(&x, p + i, 8);
    memcpy(&y, q + i, 8);
    differ |= x ^ y;
  }
  for (; i < sizeof(Record); i++) differ |= uint64_t(p[i] ^ q[i]);
  return differ == 0;
}

void append(std::vector<uint8_t>& out, int32_t value) {
  const uint32_t v = uint32_t(value);
  const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  out.insert(out.end(), b, b + 4);
}

// Record n's bytes put by put into out, through a stream in memory, and
// whether get reads them back into the record as it is.
template <typename Record, typename Put, typename Get>
bool streammade(int32_t n, const Record& now, Put put, Get get, std::vector<uint8_t>& out) {
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
    const std::vector<uint8_t> made = streambytes([&](FILE* f) { put(n, f); });
    out.insert(out.end(), made.begin(), made.end());
    if (s) clearerr(s);
    return false;
  }
  const uint8_t* made = reinterpret_cast<const uint8_t*>(scratch.data());
  out.insert(out.end(), made, made + size);
  rewind(s);
  Record read = now;
  const int32_t version = readversion;
  setreadversion(FILEVERSION);
  const bool whole = writeversion == FILEVERSION && get(read, s) && ftell(s) == size;
  setreadversion(version);
  return whole && same(read, now);
}

// The records of the slots (ascending) that `wanted` takes, as the file has
// them, into file (after was, the last file): those that stand as the last
// file wrote them take their bytes over from it, the others are made anew
// by make(slot, bytes), which tells whether they read back to the record.
template <typename Record, size_t N, typename Wanted, typename Make>
void putwritten(const Written<Record>& was, const std::vector<uint8_t>& wasbytes, Written<Record>& now, MadeFile& file,
                const std::array<Record, N>& table, const std::vector<int32_t>& slots, Wanted wanted, Make make) {
  std::vector<uint8_t>& out = file.bytes;
  // Bytes of the last file to be taken over at once: from..to.
  size_t from = 0, to = 0;
  const auto takeover = [&] {
    out.insert(out.end(), wasbytes.begin() + ptrdiff_t(from), wasbytes.begin() + ptrdiff_t(to));
    from = to = 0;
  };
  const bool current = writeversion == FILEVERSION;
  size_t j = 0;
  for (int32_t s : slots) {
    if (!wanted(s)) continue;
    const Record& record = table[size_t(s)];
    while (j < was.slots.size() && was.slots[j] < s) j++;
    now.slots.push_back(s);
    now.records.push_back(record);
    if (current && j < was.slots.size() && was.slots[j] == s && was.exact[j] && same(was.records[j], record)) {
      if (from == to || to != was.at[j]) {
        takeover();
        from = was.at[j];
      }
      now.at.push_back(out.size() + (was.at[j] - from));
      to = was.at[j + 1];
      now.exact.push_back(1);
      continue;
    }
    takeover();
    now.at.push_back(out.size());
    append(out, s);
    const bool exact = make(s, out) && current;
    now.exact.push_back(exact);
    file.exact = file.exact && exact;
  }
  takeover();
  now.at.push_back(out.size());
}

// The file as saveforces writes it, made the last file.
const MadeFile& forcesbytes(int32_t lnr) {
  const MadeFile& was = files[last];
  MadeFile& file = files[1 - last];
  file.bytes.clear();
  file.units.clear();
  file.coms.clear();
  file.exact = true;
  append(file.bytes, SETASIDECHECK);
  // While the month's battles are fought the forces outside all their
  // provinces are set aside already: only the few unit slots and the
  // commanders left in the tables can hold one.
  std::vector<int32_t> slots;
  if (!unitslotsintable(slots))
    for (int32_t u = 0; u <= imin(highestunit, MAXUNITS - 1); u++) slots.push_back(u);
  // A unit's bytes are made in memory at once.
  const auto makeunit = [](int32_t u, std::vector<uint8_t>& into) {
    std::array<uint8_t, 256> bytes;
    bool exact = false;
    if (const size_t n = unitbytes(unit[u], bytes.data(), bytes.size(), &exact)) {
      into.insert(into.end(), bytes.data(), bytes.data() + n);
      return exact;
    }
    const auto getunit = [](Unit& x, FILE* f) { return get_unitrec(x, f, KEEPSTATE); };
    return streammade(u, unit[u], put_unit, getunit, into);
  };
  const auto inuse = [&](int32_t u) { return unitinuse(u) && unit[u].land != lnr; };
  putwritten(was.units, was.bytes, file.units, file, unit, slots, inuse, makeunit);
  append(file.bytes, -1);
  const auto makecom = [](int32_t c, std::vector<uint8_t>& into) {
    const auto getcom = [](Commander& x, FILE* f) {
      int32_t body;
      return get_comrec(x, f, KEEPSTATE, &body);
    };
    return streammade(c, com[c], put_com, getcom, into);
  };
  const auto outside = [&](int32_t c) {
    const int32_t body = com[c].body;
    return body >= 0 && body < MAXUNITS && unit[body].land != lnr;
  };
  putwritten(was.coms, was.bytes, file.coms, file, com, commandersintable(), outside, makecom);
  append(file.bytes, -1);
  append(file.bytes, HEADERCHECK);
  last = 1 - last;
  return file;
}

// The slots written stand in the table as written.
template <typename Record, size_t N>
bool standaswritten(const Written<Record>& written, const std::array<Record, N>& table) {
  for (size_t i = 0; i < written.slots.size(); i++)
    if (!same(written.records[i], table[size_t(written.slots[i])])) return false;
  return true;
}

// The file is the last one written (compared a part at a time as it is
// read), of records that read back to themselves and stand in their slots
// as they were written.
bool comesbackaswritten(FILE* f) {
  const MadeFile& file = files[last];
  if (!file.exact) return false;
  static std::array<uint8_t, 65536> part;
  size_t at = 0;
  for (size_t n; (n = fread_unlocked(part.data(), 1, part.size(), f)) > 0; at += n)
    if (n > file.bytes.size() - at || memcmp(part.data(), file.bytes.data() + at, n) != 0) return false;
  return at == file.bytes.size() && !ferror(f) && standaswritten(file.units, unit) && standaswritten(file.coms, com);
}
}  // namespace

void saveforces(int32_t lnr, FILE* f) {
  const std::vector<uint8_t>& bytes = forcesbytes(lnr).bytes;
  if (putmany(bytes.data(), 1, int32_t(bytes.size()), f) != int32_t(bytes.size())) fatalerror("sf: out of memory");
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
  const std::vector<uint8_t>& bytes = forcesbytes(lnr).bytes;
  // Written over the file of the battle before: a new file for every battle
  // of a month costs the disc more than its bytes do.
  UniqueFile f = openquiet(path, "r+b");
  if (!f && errno == ENOENT) f = openquiet(path, "wb");
  if (!f) {
    struct stat st;
    const bool folder = errno == ENOTAFILE && stat(path, &st) == 0 && S_ISDIR(st.st_mode);
    filestop("sf: Write error! Disc full?", path, folder ? EISDIR : errno);
  }
  const size_t size = bytes.size();
  if (fwrite(bytes.data(), 1, size, f.get()) != size || fflush(f.get()) != 0 ||
      ftruncate(fileno(f.get()), off_t(size)) != 0)
    filestop("sf: Write error! Disc full?", path, errno);
  if (fclose(f.release()) != 0) filestop("sf: Write error! Disc full?", path, errno);
}

int takeforcesback(int keeplinks) {
  char path[PATHLEN];
  setasidepath(path, PATHLEN);
  UniqueFile f = openquiet(path, "rb");
  if (!f) filestop("loadfor: bad header", path, errno);
  setreadversion(FILEVERSION);
  if (keeplinks == KEEPSTATE) {
    if (comesbackaswritten(f.get())) {
      // Reading the records over themselves would change nothing but the
      // highest numbers, which the last (ascending) slots raise.
      const MadeFile& file = files[last];
      if (!file.units.slots.empty()) highestunit = imax(highestunit, file.units.slots.back());
      if (!file.coms.slots.empty()) highestcom = imax(highestcom, file.coms.slots.back());
      return 1;
    }
    rewind(f.get());
  }
  return loadfor(f.get(), keeplinks);
}
