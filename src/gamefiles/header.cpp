// The common header of every game file, its checksum, and the game-file writer
// that puts a file in place whole or not at all.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "gamefiles/gamefiles.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "runtime/filesets.h"
#include "runtime/folders.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/gamedata.h"

int32_t headererror = 0;
char headermasterpass[50] = {};
char lastfilepath[3000] = {};
int32_t filegamenumber = 0;
int32_t newlordslotvalue = 0;
int32_t storedcrc = 0;
const char* crcproblem = "";
int32_t crcreaderror = 0;
const char* const CRCTOOLARGE = "larger than any such file";
const char* const CRCEMPTY = "the file is empty";

namespace {
const uint8_t magic[6] = {1, 2, 4, 'V', 'E', 'Y'};
// The world file's password field holds this word instead of a password.
const char worldpassword[] = "fatherland";
// The soft readers' word for a file that ends where a reader wanted more.
const char ENDSEARLY[] = "the file ends early";
}  // namespace

// ---------------------------------------------------------------- paths

const char* realmword(int32_t realm) {
  bailif(realm < 0 || realm >= MAXNATIONS, "realmword: bad realm");
  return nations[realm].fileword;
}

int gamefilepath(char* path, int32_t size, const char* gname, int32_t turnfile, int32_t realm) {
  if (realm < -1 || realm > 94) return 0;
  char folder[PATHLEN];
  gamefolder(folder, PATHLEN, gname);
  if (realm == -1) formatbounded(path, size, "%s/ftherlnd", folder);
  else if (turnfile) formatbounded(path, size, "%s/%s.trn", folder, realmword(realm));
  else if (strcmp(gname, "newlords") == 0) newlordfilepath(path, size, realm, newlordslotvalue);
  else formatbounded(path, size, "%s/%s.2h", folder, realmword(realm));
  return 1;
}

void newlordfilepath(char* path, int32_t size, int32_t realm, int32_t slot) {
  formatbounded(path, size, "%s/newlords/%s_%d.2h", savepath, realmword(realm), slot);
}

bool hasgamefiles(const char* gname) {
  char path[PATHLEN];
  gamefilepath(path, PATHLEN, gname, 1, -1);
  if (fileexists("%s", path)) return true;
  for (int32_t n = 0; n < MAXPLAYERS; n++) {
    if (!nations[size_t(n)].fileword[0]) continue;
    gamefilepath(path, PATHLEN, gname, 1, n);
    if (fileexists("%s", path)) return true;
  }
  return false;
}

// ---------------------------------------------------------------- the writer

struct GameFileWriter {
  GameFileWriter(const char* target, bool durable) : out(target, durable), path(target) {}
  SafeWrite out;
  std::string path;
  ByteSink mem;
};

void GameFileDeleter::operator()(GameFileWriter* w) const { delete w; }

GameFile opengamefile(const char* path, bool durable) {
  GameFile file(new GameFileWriter(path, durable));
  if (file->out.ok() && file->mem.stream()) return file;
  const int err = file->out.ok() ? ENOMEM : file->out.error();
  file.reset();
  errno = err ? err : EIO;
  return nullptr;
}

FILE* gamefilestream(const GameFile& file) { return file ? file->mem.stream() : nullptr; }

const char* gamefiletarget(const GameFile& file) { return file ? file->path.c_str() : ""; }

namespace {
// The writer goes (and its unfinished file with it) before errno is set, so
// that the caller reads the cause of the failure.
bool closefailed(GameFile file, int err) {
  file.reset();
  errno = err ? err : EIO;
  return false;
}
}  // namespace

bool closegamefile(GameFile file, int withcrc) {
  if (!file || !file->mem.stream() || !file->out.ok()) return false;
  const std::vector<uint8_t> bytes = file->mem.take();
  if (!file->mem.ok()) return closefailed(std::move(file), ENOMEM);
  FILE* out = file->out.stream();
  if (!bytes.empty() && fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size())
    return closefailed(std::move(file), errno);
  if (withcrc) {
    int32_t crc = calccrc(bytes.data(), int32_t(bytes.size()), 0);
    putshort(crc, out);
  }
  if (file->out.commit()) return true;
  const int err = file->out.error();
  return closefailed(std::move(file), err);
}

// ---------------------------------------------------------------- the header

void writefileheader(FILE* f, const char* gname, int32_t gamenbr, int32_t turn, int32_t turnfile, int32_t realm,
                     const char* password, int32_t reserved) {
  putmany(magic, 1, 6, f);
  int32_t fields[8] = {reserved, writeversion, turn, turnfile, gamenbr, realm, 0, 0};
  putmany(fields, 4, 8, f);
  put_string(gname, f);
  char pass[50];
  strlcopy(pass, password ? password : (realm == -1 ? worldpassword : ""), sizeof pass);
  put_keystring(pass, f);
  char master[50];
  strlcopy(master, masterpassword, sizeof master);
  put_keystring(master, f);
  putint(HEADERCHECK, f);
}

GameFile createfileheader(const char* gname, int32_t gamenbr, int32_t turn, int32_t turnfile, int32_t realm,
                          const char* password, int32_t reserved) {
  // Realms 95..99 have no nation row to name their files.
  bailif(realm < -1 || realm > 94, "cfh: bad realmnbr");
  bailif(gname == nullptr, "cfh: bad gname");
  bailif(turn > 30000 || turn < 0, "cfh: bad turnnbr");
  char folder[PATHLEN];
  gamefolder(folder, PATHLEN, gname);
  if (mkdirs(folder) < 0) debugprint("createdir '%s' failed\n", folder);
  if (realm >= 0 && !turnfile && strcmp(gname, "newlords") == 0) {
    newlordslotvalue = newlordslot(realm);
    bailif(newlordslotvalue < 0, "too many saved gods");
  }
  gamefilepath(lastfilepath, sizeof lastfilepath, gname, turnfile, realm);
  debugprint2("createfileheader: gname %s realm %d turn %d turnfile %d\n", gname, realm, turn, turnfile);
  GameFile file = opengamefile(lastfilepath);
  if (!file) return nullptr;   // the cause in errno
  writefileheader(file->mem.stream(), gname, gamenbr, turn, turnfile, realm, password, reserved);
  return file;
}

int checkfileheader(FILE* f, const char* gname, int32_t gamenbr, int32_t turnwanted, int32_t realm,
                    int32_t* turnout, char* passwordout, int32_t* reserved1, int32_t* reserved2) {
  uint8_t got[6] = {};
  if (fread(got, 1, 6, f) != 6 || memcmp(got, magic, 6) != 0) {
    debugprint("rfh: bad header\n");
    headererror = -1;
    return 0;
  }
  int32_t fields[8] = {};
  for (int32_t& field : fields) field = getint(f);
  if (readbroken()) return 0;
  int32_t version = fields[1];
  setreadversion(version);
  char message[MSGLEN];
  if (version < 230) {
    formatbounded(message, MSGLEN, "This file comes from an earlier generation of Veyrances and cannot be read (%d)",
                  version);
    if (!readdefect(message)) return 0;
  }
  if (version < OLDESTVERSION) {
    formatbounded(message, MSGLEN, "Save files are too old %d %d (%s), nation %d, .trn %d\n", FILEVERSION, version,
                  gname, realm, fields[3]);
    if (!readdefect(message)) return 0;
  }
  if (version > FILEVERSION) {
    formatbounded(message, MSGLEN,
                  "Veyrances version is too old\nPlease get the latest update of Veyrances.\n"
                  "myversion%d fileversion%d nation%d",
                  FILEVERSION, version, realm);
    if (!readdefect(message)) return 0;
  }
  if (fields[5] != realm) {
    debugprint("rfh: wrong nation, got %d, wanted %d\n", fields[5], realm);
    return 0;
  }
  *turnout = fields[2];
  if (gamenbr != 0 && fields[4] != gamenbr) {
    debugprint("rfh: wrong gnumber\n");
    headererror = -2;
    return 0;
  }
  if (turnwanted >= 0 && fields[2] != turnwanted && realm >= 0) {
    debugprint("rfh: wrong turnnbr\n");
    return 0;
  }
  filegamenumber = fields[4];
  if (reserved1) *reserved1 = fields[0];
  if (reserved2) *reserved2 = fields[7];
  char scratch[100];
  get_string(scratch, sizeof scratch, f);
  char pass[50];
  get_keystring(pass, f, 50);
  if (passwordout) strlcopy(passwordout, pass, 50);
  get_keystring(headermasterpass, f, 50);
  if (readbroken()) return 0;
  return readcheck(f, HEADERCHECK, "readfileheader: bad CHECK") ? 1 : 0;
}

UniqueFile readfileheader(const char* gname, int32_t gamenbr, int32_t turnwanted, int32_t turnfile, int32_t realm,
                          int32_t* turnout, char* passwordout, int32_t* reserved1, int32_t* reserved2) {
  headererror = 0;
  memset(headermasterpass, 0, sizeof headermasterpass);
  bailif(realm < -1 || realm > 94, "rfh: bad realmnbr");
  bailif(gname == nullptr || turnout == nullptr, "rfh: bad pointer");
  // A hosted turn that was stopped while it put its files in place is
  // finished first, so that every reader sees one whole turn.
  if (strcmp(gname, "newlords") != 0) {
    char folder[PATHLEN];
    gamefolder(folder, PATHLEN, gname);
    settlepending(folder);
  }
  char path[PATHLEN];
  gamefilepath(path, PATHLEN, gname, turnfile, realm);
  UniqueFile f = openfile(path, "rb");
  if (!f) return nullptr;
  const ReadingFileScope reading(path);
  if (!checkfileheader(f.get(), gname, gamenbr, turnwanted, realm, turnout, passwordout, reserved1, reserved2))
    return nullptr;
  return f;
}

namespace {
// What a reader's stop words for a soft failure ("getfather: bad kdm") mean
// in the user's words ("a nation number lies beyond the nations"); null for
// words that no reader's stop gives ("the file ends early").
const char* readfailwords(const char* tag) {
  // A tag that ends so stands for all of its kind; a tag of its own first.
  static const struct {
    const char* tag;
    const char* words;
    bool whole;   // the whole tag, not its end
  } words[] = {
      {"readfileheader: bad CHECK", "its header does not end where it should", true},
      {"get_gameinfo: se", "its list of extra settings is longer than the game holds", true},
      {"get_gameinfo: mm", "it names more mods than a game can have", true},
      {"getland: bad p", "a nation number lies beyond the nations", true},
      {"getland: bad a", "a province's record holds values out of range", true},
      {"get_pmess: from", "a nation number lies beyond the nations", true},
      {"get_pmess: msgnr", "a message number lies beyond the table of messages", true},
      {"get_splstf", "a nation number lies beyond the nations", true},
      {"get_vey", "a nation number lies beyond the nations", true},
      {"get_merc", "a mercenary band's number lies beyond the bands", true},
      {"get_ench", "an enchantment number lies beyond the table of enchantments", true},
      {"get_score", "a score entry lies beyond the hall of fame", true},
      {"get_mess", "a message number lies beyond the table of messages", true},
      {"get_com", "a commander number lies beyond the table of commanders", true},
      {"get_com_nu", "a commander number lies beyond the table of commanders", true},
      {"glcs: error reading file", "a text runs on past the end of the file", true},
      {"bad CHECK", "a section does not end where it should", false},
      {"bad check", "a section does not end where it should", false},
      {"bad lnr", "a province number lies beyond the map's", false},
      {"bad kdm", "a nation number lies beyond the nations", false},
      {"bad knr", "a nation number lies beyond the nations", false},
      {"bad unr", "a unit number lies beyond the table of units", false},
      {"bad cnr", "a commander number lies beyond the table of commanders", false},
      {"bad msg", "a message number lies beyond the table of messages", false},
      {"bad msgnr", "a message number lies beyond the table of messages", false},
      {"bad ench", "an enchantment number lies beyond the table of enchantments", false},
      {"bad unique count", "its list of unique units is longer than the table", false},
      {"corrupted file", "a record holds values out of range", false},
      {"getstring failed", "a text runs on past the end of the file", false},
      {"string too long", "a text is longer than any the game writes", false},
      {"getmany failed", "a block is cut short", false},
  };
  const size_t length = strlen(tag);
  for (const auto& w : words) {
    const size_t n = strlen(w.tag);
    if (w.whole ? strcmp(tag, w.tag) == 0 : length >= n && strcmp(tag + length - n, w.tag) == 0) return w.words;
  }
  return nullptr;
}
}  // namespace

void readdamage(char* out, int32_t size) {
  const char* tag = readfailwhy();
  const char* words = readfailwords(tag);
  // Where no reader stopped on a value (the file ran out first), the cause
  // is all there is to tell.
  if (!words) return void(formatbounded(out, size, "the file is damaged (%s)", tag));
  formatbounded(out, size, "%s (%s)", tag, words);
}

namespace {
// A file of a version that this program does not read. The world and turn
// files keep the words of the header's own stop before the cause; an order
// file, which only goes unused, gives the cause alone.
void versionproblem(char* out, int32_t size, const char* gname, int32_t turnfile, int32_t realm) {
  char cause[100];
  formatbounded(cause, sizeof cause, "the file is of version %d; this program reads versions %d to %d", readversion,
                OLDESTVERSION, FILEVERSION);
  if (!turnfile)
    strlcopy(out, cause, size);
  else if (readversion > FILEVERSION)
    formatbounded(out, size,
                  "Veyrances version is too old: %s (myversion%d fileversion%d nation%d). Please get the latest "
                  "update of Veyrances.",
                  cause, FILEVERSION, readversion, realm);
  else if (readversion >= 230)
    formatbounded(out, size, "Save files are too old %d %d (%s), nation %d, .trn %d: %s", FILEVERSION, readversion,
                  gname, realm, turnfile, cause);
  else
    formatbounded(out, size, "This file comes from an earlier generation of Veyrances and cannot be read (%d): %s",
                  readversion, cause);
}
}  // namespace

bool filestands(const char* path) {
  struct stat st;
  return lstat(path, &st) == 0 && (stat(path, &st) == 0 || errno != ENOENT);
}

void headerproblem(char* out, int32_t size, FILE* f, const char* gname, int32_t gamenbr, int32_t turnfile,
                   int32_t realm, int32_t* turnout) {
  out[0] = 0;
  // The reader records the version of the file; a header cut before it
  // must not be judged by the version of a file read earlier.
  const int32_t version = readversion;
  setreadversion(FILEVERSION);
  {
    SoftReadScope soft;
    headererror = 0;
    int32_t turn = -1;
    const int read = checkfileheader(f, gname, 0, -1, realm, &turn, nullptr, nullptr, nullptr);
    if (read && !binreadfailed) {
      if (turnout) *turnout = turn;
      if (gamenbr != 0 && filegamenumber != gamenbr) strlcopy(out, "the file belongs to another game", size);
    } else if (headererror == -1) {
      strlcopy(out, "it is not a game file", size);
    } else if (readversion < OLDESTVERSION || readversion > FILEVERSION) {
      versionproblem(out, size, gname, turnfile, realm);
    } else if (binreadfailed) {
      if (strcmp(readfailwhy(), ENDSEARLY) == 0) strlcopy(out, "the file is damaged (its header is cut short)", size);
      else readdamage(out, size);
    } else {
      strlcopy(out, "the file belongs to another nation", size);
    }
  }
  setreadversion(version);
}

void gamefileproblem(char* out, int32_t size, const char* gname, int32_t gamenbr, int32_t turnfile, int32_t realm) {
  out[0] = 0;
  char path[PATHLEN];
  if (!gamefilepath(path, PATHLEN, gname, turnfile, realm) || !filestands(path))
    return void(strlcopy(out, "there is no such file", size));
  std::string unread;
  if (!readsthrough(path, &unread)) return void(strlcopy(out, unread.c_str(), size));
  struct stat st;
  if (stat(path, &st) == 0 && st.st_size == 0) return void(strlcopy(out, CRCEMPTY, size));
  UniqueFile f = openquiet(path, "rb");
  if (!f) return void(strlcopy(out, readproblem(path, errno ? errno : EIO).c_str(), size));
  headerproblem(out, size, f.get(), gname, gamenbr, turnfile, realm, nullptr);
  if (!out[0] && realm >= 0 && !checkcrc(path)) formatbounded(out, size, "the file is damaged (%s)", crcproblem);
}

// ---------------------------------------------------------------- checksum

int32_t calccrc(const uint8_t* buffer, int32_t length, int mode) {
  int32_t n = length;
  if (mode == 1) {
    if (length < 2) return 0;
    n = length - 2;
    storedcrc = buffer[length - 1] * 256 + buffer[length - 2];
  }
  uint32_t s = 0;
  for (int32_t i = 0; i < n; i++) s += randtab[(s + buffer[i]) & 255];
  return int32_t(s & 0xFFFF);
}

int64_t largestgamefile(const char* path) {
  // Every table of the world at twice its size in memory (the files never
  // hold more than a record's fields and an index), and room to spare.
  constexpr int64_t world = 2 * int64_t(sizeof unit + sizeof com + sizeof land + sizeof provgeo + sizeof kingdom +
                                        sizeof message + sizeof pmess + sizeof endstats + sizeof gameinfo) +
                            (int64_t(4) << 20);
  // A turn file carries up to 100 battle replays, each no more than a world.
  if (hasextension(path, ".trn")) return world * 101;
  return world;
}

namespace {
// Sums a file in chunks (no copy of it in memory); false when it cannot be
// read. With keep, the last two bytes are left out of the sum and returned.
bool sumfile(const char* path, int64_t limit, int keep, int32_t* sum, int64_t* length, uint8_t last[2]) {
  crcproblem = "cannot be read";
  crcreaderror = 0;
  UniqueFile f = openquiet(path, "rb");
  if (!f) {
    crcreaderror = errno ? errno : EIO;
    return false;
  }
  struct stat st;
  if (fstat(fileno(f.get()), &st) != 0 || !S_ISREG(st.st_mode)) {
    crcreaderror = ENOTAFILE;
    return false;
  }
  if (limit > 0 && st.st_size > limit) {
    crcproblem = CRCTOOLARGE;
    debugprint("***** Warning: %s holds %lld bytes, more than such a file can hold\n", path,
               static_cast<long long>(st.st_size));
    return false;
  }
  uint32_t s = 0;
  int64_t total = 0;
  uint8_t held[2] = {};
  int32_t heldcount = 0;
  uint8_t chunk[65536];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, f.get())) > 0) {
    for (size_t i = 0; i < n; i++) {
      uint8_t b = chunk[i];
      if (keep) {
        // A byte is summed once two newer ones follow it.
        if (heldcount == 2) {
          s += randtab[(s + held[0]) & 255];
          held[0] = held[1];
          held[1] = b;
        } else {
          held[heldcount++] = b;
        }
        continue;
      }
      s += randtab[(s + b) & 255];
    }
    total += int64_t(n);
  }
  if (ferror(f.get())) {
    crcreaderror = errno ? errno : EIO;
    return false;
  }
  crcproblem = "";
  *sum = int32_t(s & 0xFFFF);
  *length = total;
  if (last) last[0] = held[0], last[1] = held[1];
  return true;
}
bool copyinto(const char* path, FILE* out) {
  UniqueFile f = openfile(path, "rb");
  if (!f) return false;
  uint8_t chunk[65536];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, f.get())) > 0)
    if (fwrite(chunk, 1, n, out) != n) return false;
  return !ferror(f.get());
}
}  // namespace

bool readsthrough(const char* path, std::string* why) {
  int32_t sum = 0;
  int64_t length = 0;
  // A file larger than the largest such file is refused unread by the
  // readers: it counts as read here.
  if (sumfile(path, largestgamefile(path), 0, &sum, &length, nullptr) || !crcreaderror) return true;
  *why = readproblem(path, crcreaderror);
  return false;
}

namespace {
// A descriptor closed when it goes.
struct OpenFd {
  int fd;
  ~OpenFd() {
    if (fd >= 0) close(fd);
  }
};
}  // namespace

int readwholefile(const char* path, int64_t limit, std::vector<uint8_t>& bytes) {
  bytes.clear();
  // Looked at before opening, as openquiet does (opening some devices does
  // something); a look that fails is a failure of the read, never passed
  // over.
  struct stat st;
  if (stat(path, &st) != 0) return errno == ENOENT || errno == ENOTDIR ? FILEABSENT : errno;
  if (!S_ISREG(st.st_mode)) return ENOTAFILE;
  const OpenFd file{open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (file.fd < 0) return errno == ENOENT ? FILEABSENT : errno;
  if (fstat(file.fd, &st) != 0) return errno;
  if (!S_ISREG(st.st_mode)) return ENOTAFILE;
  if (st.st_size > limit) return FILETOOLARGE;
  // Read to the end, not to the size the file gave: some files (of /proc)
  // say 0 and hold more. One byte of room past the size finds the end
  // without a second buffer.
  size_t at = 0;
  try {
    bytes.resize(size_t(st.st_size) + 1);
    for (;;) {
      if (at == bytes.size()) {
        if (int64_t(at) > limit) return FILETOOLARGE;
        bytes.resize(size_t(std::min<int64_t>(int64_t(at) * 2 + 4096, limit + 1)));
      }
      const ssize_t n = read(file.fd, bytes.data() + at, bytes.size() - at);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        const int err = errno;
        bytes.clear();
        return err;
      }
      if (n == 0) break;
      at += size_t(n);
    }
  } catch (const std::bad_alloc&) {
    bytes.clear();
    return ENOMEM;
  }
  bytes.resize(at);
  return 0;
}

int readcheckedfile(const char* path, UniqueFile& f) {
  f.reset();
  std::vector<uint8_t> bytes;
  const int err = readwholefile(path, largestgamefile(path), bytes);
  if (err != 0) return err;
  if (!checkcrcbuffer(bytes.data(), int32_t(bytes.size()))) return FILECORRUPT;
  f = memorystream(std::move(bytes));
  return f ? 0 : ENOMEM;
}

int32_t addcrc(const char* path) {
  int32_t crc = 0;
  int64_t length = 0;
  if (!sumfile(path, 0, 0, &crc, &length, nullptr)) filestop("addcrc: can't open file", path, errno);
  if (length == 0) fatalerror((std::string("addcrc: ") + path + ": the file is empty").c_str());
  SafeWrite out(path);
  bool good = out.ok() && copyinto(path, out.stream()) && putshort(crc, out.stream()) == 2;
  if (!good || !out.commit()) filestop("addcrc: can't write file", path, out.error() ? out.error() : errno);
  debugprint2("addcrc: done\n");
  return crc;
}

int checkcrcbuffer(const uint8_t* buffer, int32_t length) {
  bailif(randtab[0] == 0, "cc corrupt randtab");
  crcreaderror = 0;
  // An empty or one-byte file holds no checksum: corrupt.
  if (length < 2) {
    crcproblem = length == 0 ? CRCEMPTY : "too short";
    return 0;
  }
  int32_t crc = calccrc(buffer, length, 1);
  debugprint("checkcrc done. len %d crc %d readcrc %d\n", length, crc, storedcrc);
  if (crc != storedcrc) crcproblem = "bad checksum";
  return crc == storedcrc ? 1 : 0;
}

int checkcrc(const char* path) {
  debugprint("checkcrc: %s\n", path);
  bailif(randtab[0] == 0, "cc corrupt randtab");
  int32_t crc = 0;
  int64_t length = 0;
  uint8_t last[2] = {};
  // A file larger than any that our writers make is corrupt, unread.
  if (!sumfile(path, largestgamefile(path), 1, &crc, &length, last)) return 0;
  if (length < 2) {
    crcproblem = length == 0 ? CRCEMPTY : "too short";
    return 0;
  }
  storedcrc = last[1] * 256 + last[0];
  debugprint("checkcrc done. len %lld crc %d readcrc %d\n", static_cast<long long>(length), crc, storedcrc);
  if (crc != storedcrc) crcproblem = "bad checksum";
  return crc == storedcrc ? 1 : 0;
}
