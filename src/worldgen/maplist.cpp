// Map lists and the map chooser: the map files of the maps folders, their
// titles and sizes, the choice of a map (or a random one), and the settings
// of the chosen map that a new game needs before its world is built.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include <strings.h>

#include "runtime/alloc.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/image.h"
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
  if (!fileexists("%s", path)) formatbounded(path, PATHLEN, "%s/%s", localmappath, name);
}
}  // namespace

void findmaps(int includerandom) {
  debugprint2("findmaps\n");
  highestmap = -1;
  listfolder(mappath, "findmaps: %s\n", includerandom);
  if (strcmp(localmappath, mappath) != 0) listfolder(localmappath, "findlocalmaps: %s\n", includerandom);
}

namespace {
// Start of each listed file inside the all-maps buffer (and its end).
int32_t mapfilestart[MAXMAPS + 1];
}  // namespace

char* loadallmaps() {
  findmaps(0);
  char* buffer = static_cast<char*>(mymalloc(ALLMAPSBYTES + 1));
  int32_t used = 0;
  for (int32_t i = 0; i <= highestmap; i++) {
    char path[PATHLEN];
    mapfilepath(path, maplist[i]);
    mapfilestart[i] = used;
    int32_t size = imin(filesize("%s", path), MAPFILEMAX);
    // Room for the file and the line end that keeps it apart from the next.
    if (size > 0 && used + size + 1 > ALLMAPSBYTES) {
      myfree(buffer);
      fatalerror("Too many maps");
      return nullptr;
    }
    int32_t got = size > 0 ? loadfile(path, buffer + used, size) : 0;
    if (got > 0) used += got;
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
struct MapEntry {
  int32_t file;           // the listed file that holds the title
  int32_t title;          // offset of the title text
  int32_t image;          // offset of the image name, -1 none
  int32_t kind;           // 0 ordinary, 1 scenario, 2 old format
  int32_t highestprov;
  int32_t seacount;
  int32_t starts;         // "#start" lines
  int32_t ailevel[95];
};
MapEntry entries[MAXMAPENTRIES];
int32_t nbrentries = 0;

int32_t fileofoffset(int32_t offset) {
  int32_t f = 0;
  while (f < highestmap && mapfilestart[f + 1] <= offset) f++;
  return f;
}

void buildentries(const char* buffer, int32_t length) {
  static const char* const keywords[] = {"vey2title", "title", "scenario", "imagefile", "computerplayer",
                                         "neighbour", "terrain", "startspell", "start"};
  nbrentries = 0;
  MapScanner s(buffer, length);
  MapEntry* e = nullptr;
  int32_t v[2] = {0, 0};
  for (int k; (k = s.next(keywords, 9)) >= 0;) {
    int32_t at = int32_t(s.args - buffer);
    if (k <= 1) {
      e = nullptr;
      // One entry per file: a second title in the same file is ignored.
      int32_t file = fileofoffset(at);
      if (nbrentries >= MAXMAPENTRIES || (nbrentries > 0 && entries[nbrentries - 1].file == file)) continue;
      e = &entries[nbrentries++];
      *e = MapEntry{};
      e->file = file;
      e->title = at;
      e->image = -1;
      e->kind = k == 1 ? 2 : 0;
      continue;
    }
    if (!e) continue;
    switch (k) {
      case 2: e->kind = e->kind == 2 ? 2 : 1; break;
      case 3: e->image = at; break;
      case 4:
        scanints(s.line, v, 2);
        if (v[0] >= 0 && v[0] <= 94 && v[1] >= 1 && v[1] <= 5) e->ailevel[v[0]] = v[1];
        break;
      case 5:
        scanints(s.line, v, 2);
        if (v[0] >= 1 && v[0] <= 1504 && v[1] >= 1 && v[1] <= 1504) e->highestprov = imax(e->highestprov, imax(v[0], v[1]));
        break;
      case 6:
        scanints(s.line, v, 2);
        if (v[0] >= 1 && v[0] <= 1504 && v[1] >= 0 && (v[1] & int32_t(TM_SEA))) e->seacount++;
        break;
      case 8: e->starts++; break;
    }
  }
}

void restofline(const char* buffer, int32_t length, int32_t offset, char* out) {
  getlinerest(buffer + offset, buffer + length, out);
}

// The chosen entry's new-game commands, up to the next title.
void readchosenmap(const char* buffer, int32_t length, const MapEntry& e) {
  static const char* const keywords[] = {"vey2title", "scenario", "imagefile", "players", "description",
                                         "independents", "features", "startspell", "start", "specstart",
                                         "nostart", "computerplayer", "nohomelandnames", "defaultmapzoom"};
  MapScanner s(buffer + e.title, length - e.title);
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

// What a map picture gives, remembered by the file's identity so that a
// chooser opened again reads only pictures that changed.
struct PictureCheck {
  std::string path;
  dev_t device;
  ino_t inode;
  off_t size;
  timespec changed;
  const char* why;
};
std::vector<PictureCheck> checkedpictures;

// Why the picture gives no provinces (it cannot be read, or holds no pure
// white pixel); null when it gives at least one.
const char* picturefault(const char* path) {
  struct stat st {};
  if (stat(path, &st) != 0) return "has its image file missing";
  for (const PictureCheck& c : checkedpictures)
    if (c.path == path && c.device == st.st_dev && c.inode == st.st_ino && c.size == st.st_size &&
        c.changed.tv_sec == st.st_mtim.tv_sec && c.changed.tv_nsec == st.st_mtim.tv_nsec)
      return c.why;
  int32_t w = 0, h = 0;
  uint8_t* pixels = loadimage(path, &w, &h, 0);
  const char* why = "has an image file that cannot be read";
  if (pixels) {
    why = "has no provinces in its image file (no pure white pixel)";
    for (int64_t i = 0, n = int64_t(w) * h; i < n; i++) {
      const uint8_t* p = pixels + i * 4;
      if (p[0] == 255 && p[1] == 255 && p[2] == 255) {
        why = nullptr;
        break;
      }
    }
    myfree(pixels);
  }
  checkedpictures.push_back({path, st.st_dev, st.st_ino, st.st_size, st.st_mtim, why});
  return why;
}

// Why the entry's map cannot be played; null when it can.
const char* mapfault(const char* buffer, int32_t length, const MapEntry& e) {
  if (e.kind == 2) return "is in an old format that this version cannot read";
  if (e.image < 0) return "has no imagefile";
  if (e.starts > MAXSTARTS) return "has more than 100 #start lines";
  char image[PATHLEN];
  restofline(buffer, length, e.image, image);
  if (!safemapname(image)) return "names an image file outside the maps folder";
  // Where the new game looks for it: the local maps folder first.
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/%s", localmappath, image);
  if (!fileexists("%s", path)) formatbounded(path, PATHLEN, "%s/%s", mappath, image);
  return picturefault(path);
}

// The maps left out of this choice, each with its line.
struct LeftOut {
  int32_t file;
  char text[MSGLEN];
};
std::vector<LeftOut> leftout;

// Maps that cannot be played are left out of the choice, each named on the
// console and in the log; the others stay choosable.
void leaveoutunusable(const char* buffer, int32_t length) {
  leftout.clear();
  char title[PATHLEN];
  int32_t kept = 0;
  for (int32_t i = 0; i < nbrentries; i++) {
    const MapEntry& e = entries[i];
    const char* why = mapfault(buffer, length, e);
    if (!why) {
      entries[kept++] = e;
      continue;
    }
    restofline(buffer, length, e.title, title);
    LeftOut& out = leftout.emplace_back();
    out.file = e.file;
    formatbounded(out.text, MSGLEN, "Map %s (%s) %s", maplist[e.file], title, why);
    printf("%s: left out of the choice\n", out.text);
    debugprint("***** Warning: %s: left out of the choice\n", out.text);
  }
  nbrentries = kept;
}

// "--mapfile" names a map that is not there to be chosen: the program ends
// with the reason (the map's fault when it was left out).
[[noreturn]] void endwithmapfile(char* buffer) {
  char text[MSGLEN];
  strlcopy(text, "Map specified by --mapfile was not found", MSGLEN);
  for (const LeftOut& out : leftout)
    if (strcmp(maplist[out.file], mapfile) == 0) formatbounded(text, MSGLEN, "%s: it cannot be played", out.text);
  myfree(buffer);
  endwithmapfault(text);
}

MapScreens screens = {};

// Entry i as the chooser offers it, with id 1000 + i: a title that another
// entry has too is followed by the file's name, "Veyrmark (myveyr.map)".
MapChoice choiceof(const char* buffer, int32_t length, int32_t i) {
  const MapEntry& e = entries[i];
  MapChoice c = {1000 + i, e.kind, e.highestprov - e.seacount, e.seacount, {}, {}};
  strlcopy(c.file, maplist[e.file], sizeof c.file);
  char title[PATHLEN], other[PATHLEN];
  restofline(buffer, length, e.title, title);
  bool shared = false;
  for (int32_t k = 0; k < nbrentries && !shared; k++) {
    if (k == i) continue;
    restofline(buffer, length, entries[k].title, other);
    shared = strcmp(title, other) == 0;
  }
  if (shared) formatbounded(c.title, MENULINELEN, "%s (%s)", title, c.file);
  else strlcopy(c.title, title, MENULINELEN);
  return c;
}

int32_t askmapchoice(const char* buffer, int32_t length, int offerrandom) {
  if (screens.choose && !textonly) {
    std::vector<MapChoice> maps;
    for (int32_t i = 0; i < nbrentries; i++) maps.push_back(choiceof(buffer, length, i));
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
      fprintf(out, entries[i].kind == 1 ? "%d * %s\n" : "%d %s\n", 1000 + i, choiceof(buffer, length, i).title);
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
  const int32_t length = maptextlen;
  buildentries(buffer, length);
  leaveoutunusable(buffer, length);
  // The game's own maps first, then the player's, each by title and file.
  std::vector<std::pair<bool, MapChoice>> sorted;
  for (int32_t i = 0; i < nbrentries; i++) {
    const MapChoice c = choiceof(buffer, length, i);
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
  buildentries(buffer, length);
  char text[PATHLEN];
  for (int32_t i = 0; i < nbrentries; i++) {
    restofline(buffer, length, entries[i].title, text);
    if (entries[i].image >= 0) restofline(buffer, length, entries[i].image, text);
    higheststart = -1;
    readchosenmap(buffer, length, entries[i]);
  }
  highestmap = -1;
  return nbrentries;
}

int choosemap(int offerrandom, char* mapname, char* imagename) {
  higheststart = -1;
  memset(specstart, 0, sizeof specstart);
  mapindepstr = mapsitefreq = -1;
  nohomelandnames = mapisscenario = 0;
  mapdescription[0] = 0;
  char* buffer = loadallmaps();
  const int32_t length = maptextlen;
  buildentries(buffer, length);
  leaveoutunusable(buffer, length);
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
      choice = askmapchoice(buffer, length, offerrandom);
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
  debugprint("Map choice %d offs%d maptxt%d\n", choice, e.title, length);
  strlcopy(mapname, maplist[e.file], PATHLEN);
  char text[PATHLEN];
  restofline(buffer, length, e.image, text);
  strlcopy(imagename, text, PATHLEN);
  restofline(buffer, length, e.title, maptitle);
  mapdescription[0] = 0;
  defaultmapzoom = 1.0f;
  debugprint("fileoffs %d mapinfolen %d\n", e.title, length - e.title);
  readchosenmap(buffer, length, e);
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
