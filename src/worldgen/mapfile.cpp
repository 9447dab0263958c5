// The ".map" file reader: finding and loading a map file, the text routines
// that cut arguments out of a command line, and the small passes (map
// information, geography, allowed players).
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gamefiles/gamefiles.h"
#include "runtime/alloc.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/util.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

char mapfilename[PATHLEN] = {};
char mapimagename[PATHLEN] = {};
char maptitle[PATHLEN] = {};
char mapdescription[MAPDESCRLEN] = {};
float maptextcolour[4] = {-1.0f, -1.0f, -1.0f, -1.0f};
uint8_t allowedplayers[95] = {};
int32_t allowedplayersgiven = 0;
int32_t maptextlen = 0;

// ---------------------------------------------------------------- text routines

int getlinerest(const char* text, const char* end, char* buffer) {
  buffer[0] = 0;
  while (text < end && (*text == ' ' || *text == '\t')) text++;
  int n = 0;
  while (text < end && *text != '\r' && *text != '\n' && n < PATHLEN - 1) buffer[n++] = *text++;
  while (n > 0 && (buffer[n - 1] == ' ' || buffer[n - 1] == '\t')) n--;
  buffer[n] = 0;
  return n;
}

int getquotedstr(const char* text, const char* end, char* buffer, int n) {
  if (n < 1) return 0;
  buffer[0] = 0;
  while (text < end && *text != '"') text++;
  if (text >= end) return 0;
  text++;
  int len = 0;
  while (len < n - 1) {
    if (text >= end) {
      buffer[0] = 0;
      return 0;
    }
    if (*text == '"') break;
    buffer[len++] = *text++;
  }
  while (len > 0 && (buffer[len - 1] == ' ' || buffer[len - 1] == '\t' || buffer[len - 1] == '\n' ||
                     buffer[len - 1] == '\r'))
    len--;
  buffer[len] = 0;
  return len;
}

int getquotedarg(const char* text, const char* end, char* buffer, int n) {
  if (n >= 1) buffer[0] = 0;
  while (text < end && *text != '"' && *text != '\n') text++;
  if (text >= end || *text == '\n') return 0;
  text++;
  if (text >= end || *text == '"' || n < 2) return 0;
  int len = 0;
  while (text < end && *text != '"' && len < n - 1) buffer[len++] = *text++;
  buffer[len] = 0;
  return len;
}

int getquotedtext(const char* text, const char* end, char* buffer) {
  return getquotedarg(text, end, buffer, QUOTEDTEXTLEN);
}

int scanints(const char* text, int32_t* values, int count) {
  int got = 0;
  const char* p = text;
  while (got < count) {
    char* after = nullptr;
    errno = 0;
    long long v = strtoll(p, &after, 10);
    if (after == p) break;
    if (v > INT32_MAX) v = INT32_MAX;
    if (v < INT32_MIN) v = INT32_MIN;
    values[got++] = int32_t(v);
    p = after;
  }
  return got;
}

int scanfloats(const char* text, float* values, int count) {
  int got = 0;
  const char* p = text;
  while (got < count) {
    char* after = nullptr;
    float v = strtof(p, &after);
    if (after == p) break;
    values[got++] = v;
    p = after;
  }
  return got;
}

// ---------------------------------------------------------------- the reading rule

int matchkeyword(const char* const* keywords, int count, const char* text, const char* end, const char** after) {
  for (int k = 0; k < count; k++) {
    size_t n = strlen(keywords[k]);
    if (size_t(end - text) >= n && memcmp(text, keywords[k], n) == 0) {
      *after = text + n;
      return k;
    }
  }
  return -1;
}

int MapScanner::next(const char* const* keywords, int count) {
  while (pos < end) {
    if (*pos != '#') {
      pos++;
      continue;
    }
    pos++;
    const char* after = nullptr;
    int k = matchkeyword(keywords, count, pos, end, &after);
    if (k < 0) continue;
    args = after;
    getlinerest(after, end, line);
    // Scanning goes on one byte past the keyword: a '#' later on the line
    // starts another command.
    pos = after + 1;
    return k;
  }
  return -1;
}

namespace {
// The map file that readmapfile is reading, for the messages of its passes.
char readingpath[PATHLEN] = {};
}  // namespace

void newermapproblem(char* out, int32_t size, const char* map, int32_t version) {
  formatbounded(out, size,
                "Veyrances version is too old: this scenario requires a newer version of Veyrances: %s has "
                "#veyversion %d, and this program reads maps up to version %d",
                map, version, VERSIONNBR);
}

void versioncheck(const char* line) {
  int32_t v = 0;
  scanints(line, &v, 1);
  if (v > VERSIONNBR) {
    // Told in a box before the end, so that a player in the window sees why.
    msgbox("This scenario requires a newer version of Veyrances.");
    char message[MSGLEN];
    newermapproblem(message, MSGLEN, readingpath[0] ? readingpath : "the map", v);
    failexit(message);
  }
}

// ---------------------------------------------------------------- loading

namespace {
// The whole file as a terminated text in a block of the checking allocator.
char* loadmaptext(const char* path, int32_t* length) {
  if (notafile(path)) {
    fatalerror(fileproblem(path, ENOTAFILE).c_str());
    return nullptr;
  }
  // A file that stands but cannot be read says why ("no permission").
  auto loadfailed = [path](int err) {
    const std::string message = "veyloadmalloc: load failed: " + std::string(path) + ": " + readproblem(path, err);
    fatalerror(message.c_str());
  };
  UniqueFile f = openquiet(path, "rb");
  struct stat st {};
  if (!f || fstat(fileno(f.get()), &st) != 0) {
    loadfailed(errno);
    return nullptr;
  }
  if (st.st_size > ALLMAPSBYTES) {
    // Not the program's fault: the one who made the map is told what to mend.
    char message[MSGLEN];
    formatbounded(message, MSGLEN, "veyloadmalloc: load failed: map file %s is too large: %lld bytes, where a map "
                  "file has at most %d", path, static_cast<long long>(st.st_size), ALLMAPSBYTES);
    endwithmapfault(message);
  }
  const int32_t size = int32_t(st.st_size);
  if (size < 1) {
    fatalerror("veyloadmalloc: load failed");
    return nullptr;
  }
  char* text = static_cast<char*>(mymalloc(size + 1));
  errno = 0;
  if (int32_t(fread(text, 1, size_t(size), f.get())) != size) {
    myfree(text);
    if (errno != 0) loadfailed(errno);
    else fatalerror("veyloadmalloc: load failed");
    return nullptr;
  }
  text[size] = 0;
  *length = size;
  return text;
}
}  // namespace

int findmapfile(const char* folder, const char* name, char* path) {
  if (folder && folder[0]) {
    gamefolder(path, PATHLEN, folder);
    strlappend(path, "/", PATHLEN);
    strlappend(path, name, PATHLEN);
    if (filestands(path)) return MAPIN_GAME;
  }
  formatbounded(path, PATHLEN, "%s/%s", localmappath, name);
  if (filestands(path)) return MAPIN_LOCAL;
  formatbounded(path, PATHLEN, "%s/%s", mappath, name);
  return filestands(path) ? MAPIN_MAPS : MAPIN_NONE;
}

int readmapfile(const char* folder, const char* mapname, int mode) {
  if (!safemapname(mapname) || (folder && folder[0] && !safemapname(folder))) {
    char message[MSGLEN];
    formatbounded(message, MSGLEN, "Bad map file name: %s", mapname ? mapname : "");
    fatalerror(message);
    return 0;
  }
  char path[PATHLEN];
  const int where = findmapfile(folder, mapname, path);
  int32_t length = 0;
  char* text = loadmaptext(path, &length);
  // A game's own copy is named where the player keeps it, not in the folder
  // aside in which a new game of that name is being made.
  if (where == MAPIN_GAME) formatbounded(readingpath, PATHLEN, "%s/%s/%s", savepath, folder, mapname);
  else strlcopy(readingpath, path, PATHLEN);
  maptextlen = length;
  int result = 0;
  switch (mode) {
    case MAPREAD_SCENARIO: result = readscenario(text, length, 0); break;
    case MAPREAD_EDITOR: result = readscenario(text, length, 1); break;
    case MAPREAD_GEO: result = readmapgeo(text, length); break;
    case MAPREAD_PLAYERS: result = readallowedplayers(text, length); break;
    default: result = readmapinfo(text, length); break;
  }
  readingpath[0] = 0;
  myfree(text);
  return result;
}

// ---------------------------------------------------------------- small passes

void setmapimagename(const char* line) {
  if (!safemapname(line)) {
    debugprint("***** Warning: map image name refused: %s\n", line);
    mapimagename[0] = 0;
    return;
  }
  strlcopy(mapimagename, line, PATHLEN);
}

int readmapinfo(const char* text, int32_t length) {
  static const char* const keywords[] = {"vey2title", "description", "imagefile", "defaultmapzoom", "maptextcol"};
  MapScanner s(text, length);
  int result = 0;
  // A map without these has none: nothing is carried over from the map read before.
  mapdescription[0] = 0;
  for (float& c : maptextcolour) c = -1.0f;
  for (int k; (k = s.next(keywords, 5)) >= 0;) {
    switch (k) {
      case 0: strlcopy(maptitle, s.line, PATHLEN); break;
      case 1:
        debugprint("Found map description\n");
        getquotedstr(s.args, s.end, mapdescription, MAPDESCRLEN);
        break;
      case 2:
        setmapimagename(s.line);
        if (mapimagename[0]) result = 1;
        break;
      case 3: scanfloats(s.line, &defaultmapzoom, 1); break;
      case 4:
        debugprint("maptextcol = %s\n", s.line);
        scanfloats(s.line, maptextcolour, 4);
        debugprint("  %f, %f\n", double(maptextcolour[0]), double(maptextcolour[1]));
        break;
    }
  }
  return result;
}

int readmapgeo(const char* text, int32_t length) {
  static const char* const keywords[] = {"vey2title", "veyversion", "neighbour", "neighbor", "terrain", "nostart"};
  for (int32_t l = 0; l < MAXLANDS - 1; l++) provgeo[size_t(l)].nbr[0] = 0;
  MapScanner s(text, length);
  int result = 0;
  int32_t v[2] = {0, 0};
  for (int k; (k = s.next(keywords, 6)) >= 0;) {
    switch (k) {
      case 0: result = 1; break;
      case 1: versioncheck(s.line); break;
      case 2:
      case 3:
        scanints(s.line, v, 2);
        // A province that the picture does not have would be a neighbour that
        // no rule of the game can walk to: the host would stop on it.
        if (nbrlands > 0 && ((v[0] > nbrlands && v[0] <= MAXPROVINCES) || (v[1] > nbrlands && v[1] <= MAXPROVINCES))) {
          debugprint("***** Warning: #neighbour %d %d names a province beyond the %d of the map's picture; ignored\n",
                     v[0], v[1], nbrlands);
          break;
        }
        if (v[0] >= 1 && v[0] <= MAXPROVINCES && v[1] >= 1 && v[1] <= MAXPROVINCES) {
          addnbor(v[0], v[1]);
          addnbor(v[1], v[0]);
        }
        break;
      case 4:
        scanints(s.line, v, 2);
        debugprint2("terrain %d %d\n", v[0], v[1]);
        if (v[0] >= 1 && v[0] <= MAXPROVINCES && v[1] >= 0) {
          uint32_t& t = provgeo[size_t(v[0])].terrain;
          t = uint32_t(v[1]) | (t & TM_NOSTART);
        }
        break;
      case 5:
        scanints(s.line, v, 1);
        if (v[0] >= 1 && v[0] <= MAXPROVINCES) provgeo[size_t(v[0])].terrain |= TM_NOSTART;
        break;
    }
  }
  return result;
}

int readallowedplayers(const char* text, int32_t length) {
  static const char* const keywords[] = {"allowedplayer"};
  mapdescription[0] = 0;
  allowedplayersgiven = 0;
  memset(allowedplayers, 0, sizeof allowedplayers);
  MapScanner s(text, length);
  int32_t last = 95;
  while (s.next(keywords, 1) >= 0) {
    scanints(s.line, &last, 1);
    if (last >= 0 && last <= 94) {
      allowedplayersgiven = 1;
      allowedplayers[last] = 1;
    }
  }
  return last;
}
