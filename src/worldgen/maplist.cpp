// Map lists and the map chooser: the map files of the maps folders, their
// titles and sizes, the choice of a map (or a random one), and the settings
// of the chosen map that a new game needs before its world is built.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include <strings.h>

#include "gamefiles/gamefiles.h"
#include "runtime/alloc.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/util.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

char maplist[MAXMAPS][100] = {};
int32_t highestmap = -1;
int32_t startlist[MAXSTARTS] = {};
int32_t higheststart = -1;
int32_t specstart[95] = {};
int32_t mapindepstr = -1;
int32_t mapsitefreq = -1;
int32_t nohomelandnames = 0;
int32_t mapisscenario = 0;

int ismapfile(const char* name) {
  size_t n = strlen(name);
  return n >= 5 && strcasecmp(name + n - 4, ".map") == 0;
}

namespace {
void listfolder(const char* folder, const char* logformat, int includerandom) {
  DIR* dir = opendir(folder);
  if (!dir) return;
  while (const dirent* e = readdir(dir)) {
    if (highestmap >= MAXMAPS - 1) break;
    debugprint(logformat, e->d_name);
    if (!ismapfile(e->d_name)) continue;
    if (!includerandom && strncmp(e->d_name, "__randommap", 11) == 0) continue;
    // A name that does not fit would name another file once cut.
    if (strlen(e->d_name) >= sizeof maplist[0] || !safemapname(e->d_name)) continue;
    strlcopy(maplist[++highestmap], e->d_name, sizeof maplist[0]);
  }
  closedir(dir);
}

// Where a listed map file lies: the maps folder, else the local maps folder.
void mapfilepath(char* path, const char* name) {
  formatbounded(path, PATHLEN, "%s/%s", mappath, name);
  if (!filestands(path)) formatbounded(path, PATHLEN, "%s/%s", localmappath, name);
}
}  // namespace

void findmaps(int includerandom) {
  debugprint2("findmaps\n");
  highestmap = -1;
  listfolder(mappath, "findmaps: %s\n", includerandom);
  if (strcmp(localmappath, mappath) != 0) listfolder(localmappath, "findlocalmaps: %s\n", includerandom);
}

namespace {
// Each listed file inside the all-maps buffer: where it starts (the next
// one's start is its end), and why it could not be read whole (empty when
// it was).
int32_t mapfilestart[MAXMAPS + 1];
char mapfileproblem[MAXMAPS][MSGLEN];

// Reads the listed file i to buffer[used...]: the bytes read; the problem
// noted when the file cannot be read or is larger than a map file may be.
int32_t readlistedfile(int32_t i, char* buffer, int32_t used) {
  char path[PATHLEN];
  mapfilepath(path, maplist[i]);
  mapfileproblem[i][0] = 0;
  UniqueFile f = openquiet(path, "rb");
  struct stat st {};
  int32_t size = 0;
  if (!f || fstat(fileno(f.get()), &st) != 0) {
    formatbounded(mapfileproblem[i], MSGLEN, "Map file %s cannot be read: %s", path, readproblem(path, errno).c_str());
  } else if (st.st_size > MAPFILEMAX) {
    // Read in part, it would lose its later lines.
    formatbounded(mapfileproblem[i], MSGLEN, "Map file %s is too large: %lld bytes, where a map file has at most %d",
                  path, static_cast<long long>(st.st_size), MAPFILEMAX);
  } else {
    size = int32_t(st.st_size);
  }
  // Room for the file and the line end that keeps it apart from the next.
  if (used + size + 1 > ALLMAPSBYTES) {
    myfree(buffer);
    fatalerror("Too many maps");
    return 0;
  }
  return size > 0 ? int32_t(fread(buffer + used, 1, size_t(size), f.get())) : 0;
}
}  // namespace

char* loadallmaps() {
  findmaps(0);
  char* buffer = static_cast<char*>(mymalloc(ALLMAPSBYTES + 1));
  int32_t used = 0;
  for (int32_t i = 0; i <= highestmap; i++) {
    mapfilestart[i] = used;
    const int32_t got = readlistedfile(i, buffer, used);
    used += got;
    buffer[used++] = '\n';
    debugprint("map nr %d name %s len %d\n", i, maplist[i], got);
  }
  mapfilestart[highestmap + 1] = used;
  buffer[used] = 0;
  debugprint("LMlength %d\n", used);
  maptextlen = used;
  return buffer;
}

namespace {
// One entry per listed file: its title (the first in the file) and what the
// chooser shows of it.
struct MapEntry {
  int32_t file;           // the listed file
  int32_t title;          // offset of the title text, -1 when the file has none
  int32_t end;            // end of the file's text
  int32_t image;          // offset of the image name, -1 none
  int32_t kind;           // 0 ordinary, 1 scenario, 2 old format
  int32_t highestprov;
  int32_t seacount;
  int32_t starts;         // "#start" lines
  int32_t version;        // the highest "#veyversion", 0 none
  int32_t ailevel[95];
};
MapEntry entries[MAXMAPENTRIES];
int32_t nbrentries = 0;

// The entries of the listed files, each read from its own file's text only:
// lines before a file's title, and the lines of a file without one, belong
// to no map.
void buildentries(const char* buffer) {
  static const char* const keywords[] = {"vey2title", "title",   "scenario",   "imagefile", "computerplayer",
                                         "neighbour", "terrain", "startspell", "start",     "veyversion"};
  nbrentries = 0;
  for (int32_t f = 0; f <= highestmap && nbrentries < MAXMAPENTRIES; f++) {
    MapEntry* e = &entries[nbrentries++];
    *e = MapEntry{};
    e->file = f;
    e->title = e->image = -1;
    e->end = mapfilestart[f + 1];
    MapScanner s(buffer + mapfilestart[f], e->end - mapfilestart[f]);
    int32_t v[2] = {0, 0};
    for (int k; (k = s.next(keywords, 10)) >= 0;) {
      const int32_t at = int32_t(s.args - buffer);
      if (k <= 1) {
        // A second title in the same file is ignored.
        if (e->title < 0) e->title = at, e->kind = k == 1 ? 2 : 0;
        continue;
      }
      // The readers of a new game stop at a newer version wherever it stands.
      if (k == 9 && scanints(s.line, v, 1) == 1) e->version = imax(e->version, v[0]);
      if (e->title < 0) continue;
      switch (k) {
        case 2: e->kind = e->kind == 2 ? 2 : 1; break;
        case 3: e->image = at; break;
        case 4:
          scanints(s.line, v, 2);
          if (v[0] >= 0 && v[0] <= 94 && v[1] >= 1 && v[1] <= 5) e->ailevel[v[0]] = v[1];
          break;
        case 5:
          scanints(s.line, v, 2);
          if (v[0] >= 1 && v[0] <= 1504 && v[1] >= 1 && v[1] <= 1504)
            e->highestprov = imax(e->highestprov, imax(v[0], v[1]));
          break;
        case 6:
          scanints(s.line, v, 2);
          if (v[0] >= 1 && v[0] <= 1504 && v[1] >= 0 && (v[1] & int32_t(TM_SEA))) e->seacount++;
          break;
        case 8: e->starts++; break;
      }
    }
  }
}

// The rest of a line of the entry's file (its title, its image name).
void restofline(const char* buffer, const MapEntry& e, int32_t offset, char* out) {
  if (offset < 0) out[0] = 0;
  else getlinerest(buffer + offset, buffer + e.end, out);
}

// The chosen entry's new-game commands, up to the next title or the end of its file.
void readchosenmap(const char* buffer, const MapEntry& e) {
  static const char* const keywords[] = {"vey2title", "scenario", "imagefile", "players", "description",
                                         "independents", "features", "startspell", "start", "specstart",
                                         "nostart", "computerplayer", "nohomelandnames", "defaultmapzoom"};
  MapScanner s(buffer + e.title, e.end - e.title);
  int32_t v[2] = {0, 0};
  for (int k; (k = s.next(keywords, 14)) >= 0;) {
    switch (k) {
      case 0: return;
      case 1: mapisscenario = 1; break;
      case 4: getquotedstr(s.args, s.end, mapdescription, MAPDESCRLEN); break;
      case 5:
        if (scanints(s.line, v, 1) == 1) mapindepstr = imin(v[0], 10);
        break;
      case 6:
        if (scanints(s.line, v, 1) == 1) mapsitefreq = imin(v[0], 100);
        break;
      case 8:
        // A map with more is never offered; the list only stays in bounds.
        scanints(s.line, v, 1);
        if (higheststart < MAXSTARTS - 1) startlist[++higheststart] = v[0];
        break;
      case 9:
        scanints(s.line, v, 2);
        debugprint("scanning specstart %d %d\n", v[0], v[1]);
        if (v[0] >= 0 && v[0] <= 94 && v[1] >= 1 && v[1] <= MAXPROVINCES) specstart[v[0]] = v[1];
        break;
      case 10:
        scanints(s.line, v, 1);
        if (v[0] >= 1 && v[0] <= MAXPROVINCES) provgeo[size_t(v[0])].terrain |= TM_NOSTART;
        break;
      case 11:
        scanints(s.line, v, 2);
        debugprint("computerplayer %d %d\n", v[0], v[1]);
        if (v[0] >= 0 && v[0] <= 94 && v[1] >= 1 && v[1] <= 5) {
          kingdom[size_t(v[0])].w[KW_CONTROLLER] = CTRL_AI;
          kingdom[size_t(v[0])].w[KW_AILEVEL] = int16_t(v[1]);
        }
        break;
      case 12: nohomelandnames = 1; break;
      case 13: scanfloats(s.line, &defaultmapzoom, 1); break;
      default: break;   // scenario, imagefile, players, startspell: nothing here
    }
  }
}

// A map whose computer players include a nation a human has claimed.
bool clasheswithhumans(const MapEntry& e) {
  for (int32_t n = 0; n < 95; n++)
    if (e.ailevel[n] > 0 && kingdom[size_t(n)].w[KW_CONTROLLER] == CTRL_HUMAN) return true;
  return false;
}

// Why the entry's map cannot be played, as one line that names its file
// (and the picture's where that is at fault); empty when it can. Only the
// texts are read here: a picture that exists is read when its map is chosen.
void mapfault(const char* buffer, const MapEntry& e, char* why) {
  const char* file = maplist[e.file];
  char title[PATHLEN], image[PATHLEN];
  restofline(buffer, e, e.title, title);
  restofline(buffer, e, e.image, image);
  why[0] = 0;
  if (mapfileproblem[e.file][0]) strlcopy(why, mapfileproblem[e.file], MSGLEN);
  else if (e.title < 0) formatbounded(why, MSGLEN, "Map file %s has no #vey2title line", file);
  else if (e.kind == 2)
    formatbounded(why, MSGLEN, "Map %s (%s) is in an old format that this version cannot read", file, title);
  else if (e.version > VERSIONNBR) {
    char map[MSGLEN];
    formatbounded(map, MSGLEN, "%s (%s)", file, title);
    newermapproblem(why, MSGLEN, map, e.version);
  } else if (e.image < 0)
    formatbounded(why, MSGLEN, "map %s has no imagefile: %s has no #imagefile line", title, file);
  else if (e.starts > MAXSTARTS)
    formatbounded(why, MSGLEN, "too many #start: %s (%s) has %d #start lines, at most %d", file, title, e.starts,
                  MAXSTARTS);
  else if (!safemapname(image))
    formatbounded(why, MSGLEN, "Bad map image name: %s, named by %s (%s), could lead outside the maps folders", image,
                  file, title);
  // Where the new game looks for it: the local maps folder first.
  else if (char path[PATHLEN]; findmapfile(nullptr, image, path) == MAPIN_NONE)
    formatbounded(why, MSGLEN, "Can't find map image: %s, named by %s (%s), is neither in %s nor in %s", image, file,
                  title, localmappath, mappath);
}

// The maps left out of this choice, each with its line.
struct LeftOut {
  int32_t file;
  char text[MSGLEN];
};
std::vector<LeftOut> leftout;

// Maps that cannot be played are left out of the choice, each named on the
// console and in the log; the others stay choosable.
void leaveoutunusable(const char* buffer) {
  leftout.clear();
  int32_t kept = 0;
  for (int32_t i = 0; i < nbrentries; i++) {
    const MapEntry& e = entries[i];
    LeftOut out = {e.file, {}};
    mapfault(buffer, e, out.text);
    if (!out.text[0]) {
      entries[kept++] = e;
      continue;
    }
    printf("%s: left out of the choice\n", out.text);
    debugprint("***** Warning: %s: left out of the choice\n", out.text);
    leftout.push_back(out);
  }
  nbrentries = kept;
}

// "--mapfile" names a map that is not there to be chosen: the program ends
// with the reason (the map's fault when it was left out).
[[noreturn]] void endwithmapfile(char* buffer) {
  char text[MSGLEN];
  formatbounded(text, MSGLEN, "Map specified by --mapfile was not found: %s is not among the map files of %s and %s",
                mapfile, mappath, localmappath);
  for (const LeftOut& out : leftout)
    if (strcmp(maplist[out.file], mapfile) == 0) formatbounded(text, MSGLEN, "%s: it cannot be played", out.text);
  myfree(buffer);
  endwithmapfault(text);
}

MapScreens screens = {};

// Entry i as the chooser offers it, with id 1000 + i: a title that another
// entry has too is followed by the file's name, "Veyrmark (myveyr.map)".
MapChoice choiceof(const char* buffer, int32_t i) {
  const MapEntry& e = entries[i];
  MapChoice c = {1000 + i, e.kind, e.highestprov - e.seacount, e.seacount, {}, {}};
  strlcopy(c.file, maplist[e.file], sizeof c.file);
  char title[PATHLEN], other[PATHLEN];
  restofline(buffer, e, e.title, title);
  bool shared = false;
  for (int32_t k = 0; k < nbrentries && !shared; k++) {
    if (k == i) continue;
    restofline(buffer, entries[k], entries[k].title, other);
    shared = strcmp(title, other) == 0;
  }
  if (shared) formatbounded(c.title, MENULINELEN, "%s (%s)", title, c.file);
  else strlcopy(c.title, title, MENULINELEN);
  return c;
}

int32_t askmapchoice(const char* buffer, int offerrandom) {
  if (screens.choose && !textonly) {
    std::vector<MapChoice> maps;
    for (int32_t i = 0; i < nbrentries; i++) maps.push_back(choiceof(buffer, i));
    return screens.choose(maps.data(), nbrentries, offerrandom);
  }
  // The console list: each line carries its number; a number that is not
  // on it shows the list again. A map whose computer players include a
  // human's nation is not on it.
  auto listed = [&](int32_t choice) {
    if (choice == 0 || choice == 1) return true;
    if (choice >= 5 && choice <= 7) return offerrandom != 0;
    const int32_t i = choice - 1000;
    return i >= 0 && i < nbrentries && !clasheswithhumans(entries[i]);
  };
  for (;;) {
    FILE* out = dialogoutput();
    fprintf(out, "--------------\n");
    if (offerrandom) fprintf(out, "5 <small random map>\n6 <medium random map>\n7 <large random map>\n");
    for (int32_t i = 0; i < nbrentries; i++) {
      if (!listed(1000 + i)) continue;
      fprintf(out, entries[i].kind == 1 ? "%d * %s\n" : "%d %s\n", 1000 + i, choiceof(buffer, i).title);
    }
    fprintf(out, "1 Cancel\n");
    fflush(out);
    const int32_t choice = inputnumber(0, 1000 + MAXMAPENTRIES, "Choose map number");
    if (choice == -2) return 0;   // the input ended
    if (listed(choice)) return choice;
  }
}
}  // namespace

std::vector<MapChoice> listmaps() {
  char* buffer = loadallmaps();
  buildentries(buffer);
  leaveoutunusable(buffer);
  // The game's own maps first, then the player's, each by title and file.
  std::vector<std::pair<bool, MapChoice>> sorted;
  for (int32_t i = 0; i < nbrentries; i++) {
    const MapChoice c = choiceof(buffer, i);
    sorted.push_back({!fileexists("%s/%s", mappath, c.file), c});
  }
  myfree(buffer);
  std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
    if (a.first != b.first) return b.first;
    const int order = strcasecmp(a.second.title, b.second.title);
    return order != 0 ? order < 0 : strcmp(a.second.file, b.second.file) < 0;
  });
  std::vector<MapChoice> maps;
  for (const auto& [own, c] : sorted) {
    maps.push_back(c);
    maps.back().id = 1000 + int32_t(maps.size()) - 1;
  }
  return maps;
}

int32_t readmaplist(const char* buffer, int32_t length) {
  // Each zero byte ends one file of the joined text.
  highestmap = 0;
  mapfilestart[0] = 0;
  for (int32_t i = 0; i < length && highestmap < MAXMAPS - 1; i++)
    if (buffer[i] == 0) mapfilestart[++highestmap] = i + 1;
  mapfilestart[highestmap + 1] = length;
  for (int32_t f = 0; f <= highestmap; f++) mapfileproblem[f][0] = 0;
  buildentries(buffer);
  char text[PATHLEN];
  int32_t titled = 0;
  for (int32_t i = 0; i < nbrentries; i++) {
    const MapEntry& e = entries[i];
    if (e.title < 0) continue;
    titled++;
    restofline(buffer, e, e.title, text);
    restofline(buffer, e, e.image, text);
    higheststart = -1;
    readchosenmap(buffer, e);
  }
  highestmap = -1;
  return titled;
}

int choosemap(int offerrandom, char* mapname, char* imagename) {
  higheststart = -1;
  memset(specstart, 0, sizeof specstart);
  mapindepstr = mapsitefreq = -1;
  nohomelandnames = mapisscenario = 0;
  mapdescription[0] = 0;
  char* buffer = loadallmaps();
  buildentries(buffer);
  leaveoutunusable(buffer);
  int32_t choice = 0;
  for (;;) {
    if (mapfile[0]) {
      choice = -1;
      for (int32_t i = 0; i < nbrentries; i++)
        if (strcmp(maplist[entries[i].file], mapfile) == 0) choice = 1000 + i;
      debugprint("Map preselction '%s' %d\n", mapfile, choice);
      if (choice < 0) endwithmapfile(buffer);
    } else if (randmap >= 1) {
      choice = randmap < 13 ? 5 : 6;
    } else {
      choice = askmapchoice(buffer, offerrandom);
    }
    if (choice <= 1) {
      myfree(buffer);
      return 0;
    }
    if (offerrandom && choice >= 5 && choice <= 7) {
      static const char* const names[] = {"__smallrandommap", "__mediumrandommap", "__largerandommap"};
      strlcopy(mapname, names[choice - 5], PATHLEN);
      imagename[0] = 0;
      myfree(buffer);
      return 2;
    }
    if (choice >= 1000 && choice < 1000 + nbrentries) break;
    if (mapfile[0] || randmap >= 1) {   // a preselection that cannot be offered
      myfree(buffer);
      return 0;
    }
  }
  const MapEntry& e = entries[choice - 1000];
  debugprint("Map choice %d offs%d maptxt%d\n", choice, e.title, maptextlen);
  strlcopy(mapname, maplist[e.file], PATHLEN);
  char text[PATHLEN];
  restofline(buffer, e, e.image, text);
  strlcopy(imagename, text, PATHLEN);
  restofline(buffer, e, e.title, maptitle);
  mapdescription[0] = 0;
  defaultmapzoom = 1.0f;
  debugprint("fileoffs %d mapinfolen %d\n", e.title, e.end - e.title);
  readchosenmap(buffer, e);
  myfree(buffer);
  return 1;
}

namespace {
// Only the player's own maps can be deleted: the files of the local maps
// folder; a map of the game's data folder is never touched.
void deletemapfile(const char* name) {
  if (!safemapname(name)) return;
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/%s", localmappath, name);
  debugprint("Delete %s\n", path);
  if (fileexists("%s", path)) remove(path);
}
}  // namespace

void setmapscreens(const MapScreens* s) { screens = s ? *s : MapScreens{}; }

void endwithmapfault(const char* text) {
  // In the window the box says it; the console has it from the end itself.
  if (!textonly) msgbox("%s.", text);
  failexit(text);
}

// 1 when the chosen map is one of the player's own (the local maps folder).
static int deletemaplocal() {
  return safemapname(mapfilename) && fileexists("%s/%s", localmappath, mapfilename) ? 1 : 0;
}

int deletemap() {
  const char* description = mapdescription[0] ? mapdescription : "No description available.";
  const int deletable = deletemaplocal();
  for (;;) {
    int32_t id = 0;
    if (screens.info && !textonly) {
      id = screens.info(maptitle, description, mapimagename, deletable);
    } else {
      menubegin();
      menuline(0, maptitle);
      menuline(0, description);
      menuline(999, "Ok");
      if (deletable) menuline(997, "Delete map");
      menuline(998, "Cancel");
      menushow();
      id = menuwait();
    }
    if (id == 999) return 1;
    if (id != 997) return 0;
    if (!deletable) {
      msgbox("The map %s came with the game and cannot be deleted from it. Only maps of your own maps folder "
             "(%s) can be deleted.", maptitle, localmappath);
      continue;
    }
    char question[MSGLEN];
    formatbounded(question, MSGLEN, "Delete Map?\n\nThe files of %s (%s) are removed from your maps folder.",
                  maptitle, mapfilename);
    if (safequestion(maptitle, question, "Delete map") != ASK_YES) continue;
    deletemapfile(mapimagename);
    deletemapfile(mapfilename);
    return 0;
  }
}
