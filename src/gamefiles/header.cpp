// The common header of every game file, its checksum, and the game-file writer
// that puts a file in place whole or not at all.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gamefiles/gamefiles.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/rnd.h"
#include "world/gamedata.h"

int32_t headererror = 0;
char headermasterpass[50] = {};
char lastfilepath[3000] = {};
int32_t filegamenumber = 0;
int32_t newlordslotvalue = 0;
int32_t storedcrc = 0;

namespace {
const uint8_t magic[6] = {1, 2, 4, 'V', 'E', 'Y'};
// The world file's password field holds this word instead of a password.
const char worldpassword[] = "fatherland";
}  // namespace

// ---------------------------------------------------------------- paths

const char* realmword(int32_t realm) {
  bailif(realm < 0 || realm >= MAXNATIONS, "realmword: bad realm");
  return nations[realm].fileword;
}

int gamefilepath(char* path, int32_t size, const char* gname, int32_t turnfile, int32_t realm) {
  if (realm < -1 || realm > 94) return 0;
  if (realm == -1) formatbounded(path, size, "%s/%s/ftherlnd", savepath, gname);
  else if (turnfile) formatbounded(path, size, "%s/%s/%s.trn", savepath, gname, realmword(realm));
  else if (strcmp(gname, "newlords") == 0)
    formatbounded(path, size, "%s/newlords/%s_%d.2h", savepath, realmword(realm), newlordslotvalue);
  else formatbounded(path, size, "%s/%s/%s.2h", savepath, gname, realmword(realm));
  return 1;
}

// ---------------------------------------------------------------- the writer

struct GameFileWriter {
  explicit GameFileWriter(const char* target) : out(target) { mem = open_memstream(&bytes, &length); }
  ~GameFileWriter() {
    if (mem) fclose(mem);
    free(bytes);
  }
  SafeWrite out;
  FILE* mem = nullptr;
  char* bytes = nullptr;
  size_t length = 0;
};

void GameFileDeleter::operator()(GameFileWriter* w) const { delete w; }

GameFile opengamefile(const char* path) {
  GameFile file(new GameFileWriter(path));
  if (!file->out.ok() || !file->mem) return nullptr;
  return file;
}

FILE* gamefilestream(const GameFile& file) { return file ? file->mem : nullptr; }

bool closegamefile(GameFile file, int withcrc) {
  if (!file || !file->mem || !file->out.ok()) return false;
  bool good = fflush(file->mem) == 0 && !ferror(file->mem);
  fclose(file->mem);
  file->mem = nullptr;
  if (!good) return false;
  FILE* out = file->out.stream();
  if (file->length > 0 && fwrite(file->bytes, 1, file->length, out) != file->length) return false;
  if (withcrc) {
    int32_t crc = calccrc(reinterpret_cast<const uint8_t*>(file->bytes), int32_t(file->length), 0);
    putshort(crc, out);
  }
  return file->out.commit();
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
  formatbounded(folder, PATHLEN, "%s/%s", savepath, gname);
  if (mkdirs(folder) < 0) debugprint("createdir '%s' failed\n", folder);
  if (realm >= 0 && !turnfile && strcmp(gname, "newlords") == 0) {
    newlordslotvalue = newlordslot(realm);
    bailif(newlordslotvalue < 0, "too many saved gods");
  }
  gamefilepath(lastfilepath, sizeof lastfilepath, gname, turnfile, realm);
  debugprint2("createfileheader: gname %s realm %d turn %d turnfile %d\n", gname, realm, turn, turnfile);
  GameFile file = opengamefile(lastfilepath);
  if (!file) {
    fatalerror("cfh: can't open file");
    return nullptr;
  }
  writefileheader(file->mem, gname, gamenbr, turn, turnfile, realm, password, reserved);
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
  char path[PATHLEN];
  gamefilepath(path, PATHLEN, gname, turnfile, realm);
  UniqueFile f = openfile(path, "rb");
  if (!f) return nullptr;
  if (!checkfileheader(f.get(), gname, gamenbr, turnwanted, realm, turnout, passwordout, reserved1, reserved2))
    return nullptr;
  return f;
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

namespace {
// The whole file, or empty when it cannot be read.
std::vector<uint8_t> wholefile(const char* path) {
  std::vector<uint8_t> bytes;
  UniqueFile f = openfile(path, "rb");
  if (!f) return bytes;
  uint8_t chunk[65536];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, f.get())) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  if (ferror(f.get())) bytes.clear();
  return bytes;
}
}  // namespace

int32_t addcrc(const char* path) {
  std::vector<uint8_t> bytes = wholefile(path);
  if (bytes.empty()) {
    fatalerror("addcrc: can't open file");
    return 0;
  }
  int32_t crc = calccrc(bytes.data(), int32_t(bytes.size()), 0);
  SafeWrite out(path);
  bool good = out.ok() && fwrite(bytes.data(), 1, bytes.size(), out.stream()) == bytes.size();
  good = good && putshort(crc, out.stream()) == 2;
  if (!good || !out.commit()) fatalerror("addcrc: can't open file");
  debugprint2("addcrc: done\n");
  return crc;
}

int checkcrcbuffer(const uint8_t* buffer, int32_t length) {
  bailif(randtab[0] == 0, "cc corrupt randtab");
  // An empty or one-byte file holds no checksum: corrupt.
  if (length < 2) return 0;
  int32_t crc = calccrc(buffer, length, 1);
  debugprint("checkcrc done. len %d crc %d readcrc %d\n", length, crc, storedcrc);
  return crc == storedcrc ? 1 : 0;
}

int checkcrc(const char* path) {
  debugprint("checkcrc: %s\n", path);
  std::vector<uint8_t> bytes = wholefile(path);
  return checkcrcbuffer(bytes.data(), int32_t(bytes.size()));
}
