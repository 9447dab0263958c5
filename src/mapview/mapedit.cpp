// The map editor's rules and the map file writer: plain functions over the
// province tables and the map head.
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "mapview/mapcamera.h"
#include "mapview/mapeditor.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/util.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

const TerrainToggle terraintoggles[TERRAINTOGGLES] = {
    {1, 'u', TM_SEA, "Sea", "(u) Underwater province."},
    {14, 'd', TM_DEEPSEA, "Deep sea", "(d) The sea is a deep sea."},
    {2, 'r', TM_FRESHWATER, "Fresh water", "(r) Province contains a lake or a river."},
    {3, '1', TM_SMALL, "Small prov.", "(1) Province is small and has fewer inhabitants"},
    {4, '2', TM_LARGE, "Large prov.", "(2) Province is large and has more inhabitants"},
    {5, 'm', TM_MOUNTAINS, "Mountain", "(m) Province contains numerous mountains"},
    {15, 'b', TM_BORDERMOUNT, "Border Mount.", "(b) Province contains numerous mountains, but incur no move penalty"},
    {16, 'c', TM_CAVE, "Cave", "(c) Province is inside a mountain"},
    {6, 's', TM_SWAMP, "Swamp", "(s) Province contsists of mostly swamp"},
    {7, 'w', TM_WASTE, "Waste", "(w) Province consists of mostly waste land"},
    {8, 'f', TM_FOREST, "Forest", "(f) Province contains huge forests"},
    {9, 'a', TM_FARM, "Farm", "(a) Province contains excellent farm land"},
    {12, 'n', TM_NOSTART, "No start", "(n) No player can have this province as home province"},
    {13, 'M', TM_MANYSITES, "Many sites", "(M) Magic sites are more common in this province."},
};

const TerrainToggle* terraintoggle(int32_t id) {
  for (const TerrainToggle& t : terraintoggles)
    if (t.id == id) return &t;
  return nullptr;
}

namespace {
bool isprovince(int32_t lnr) { return lnr >= 1 && lnr <= nbrlands && lnr <= MAXPROVINCES; }

// Moves the neighbour list and terrain of province `from` to `to`.
void movegeo(int32_t to, int32_t from) {
  ProvGeo& t = provgeo[size_t(to)];
  const ProvGeo& f = provgeo[size_t(from)];
  memcpy(t.nbr, f.nbr, sizeof t.nbr);
  t.terrain = f.terrain;
}
}  // namespace

void editterrain(int32_t lnr, uint32_t bit) {
  if (!isprovince(lnr)) return;
  uint32_t& t = provgeo[size_t(lnr)].terrain;
  t ^= bit;
  const bool set = t & bit;
  if (set && bit == TM_SMALL) t &= ~TM_LARGE;
  if (set && bit == TM_LARGE) t &= ~TM_SMALL;
  if (!set && bit == TM_SEA) t &= ~TM_DEEPSEA;
  if (set && bit == TM_DEEPSEA) t |= TM_SEA;
}

void editseacheck(int32_t lnr) {
  if (!isprovince(lnr)) return;
  uint32_t& t = provgeo[size_t(lnr)].terrain;
  if (t & TM_SEA) t &= ~(TM_FOREST | TM_MOUNTAINS | TM_SWAMP | TM_FRESHWATER);
}

void editinserted(int32_t selected) {
  const int32_t n = nbrlands < MAXPROVINCES ? nbrlands : MAXPROVINCES;
  if (selected < 1 || selected >= n || n <= 1) return;
  for (int32_t p = n; p > selected; p--) movegeo(p, p - 1);
}

void editremoved(int32_t selected) {
  const int32_t n = nbrlands < MAXPROVINCES ? nbrlands : MAXPROVINCES;
  if (selected < 1 || selected > n) return;
  for (int32_t p = selected; p < n; p++) movegeo(p, p + 1);
}

void editclearneighbours() {
  for (int32_t p = 1; p <= nbrlands && p <= MAXPROVINCES; p++) provgeo[size_t(p)].nbr[0] = 0;
}

void editneighbour(int32_t selected, int32_t other, int ctrl) {
  if (!isprovince(selected) || !isprovince(other) || selected == other) return;
  if (ctrl) {
    removenbor(selected, other);
    removenbor(other, selected);
  } else {
    addnbor(selected, other);
    addnbor(other, selected);
  }
}

void editcleanname(char* text) {
  for (char* p = text; *p; p++)
    if (*p == '%' || *p == '"' || *p == '#') *p = ' ';
}

int editsavename(const char* typed, char* out, size_t size) {
  if (size > 0) out[0] = 0;
  if (!typed || !safemapname(typed) || size < 5) return 0;
  const size_t n = strlen(typed);
  const bool hasending = n >= 4 ? typed[n - 4] == '.' : typed[0] == '.';
  if (n + (hasending ? 0 : 4) + 1 > size) return 0;
  formatbounded(out, int32_t(size), "%s%s", typed, hasending ? "" : ".map");
  return 1;
}

// ---------------------------------------------------------------- writer

namespace {
bool colourset(const int16_t* c) { return c[0] != -1; }
bool lookset(const ProvGeo& g) {
  return colourset(g.groundcol) || colourset(g.rockcol) || colourset(g.fogcol) || g.skybox[0] || g.batmap[0];
}
}  // namespace

namespace {
// Text appended in printf form.
struct TextOut {
  std::string text;
  void add(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    va_list args, again;
    va_start(args, format);
    va_copy(again, args);
    const int n = vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (n > 0) {
      const size_t at = text.size();
      text.resize(at + size_t(n) + 1);
      vsnprintf(&text[at], size_t(n) + 1, format, again);
      text.resize(at + size_t(n));
    }
    va_end(again);
  }
};
}  // namespace

std::string mapfiletext(const char* imagename, const int32_t* starts, int32_t nstarts) {
  TextOut f;
  const int32_t n = nbrlands < MAXPROVINCES ? nbrlands : MAXPROVINCES;
  f.add("-- \n-- A map of vey3: provinces, their terrain, names and neighbours\n-- \n");
  f.add("-- Made with the map editor of vey3\n-- from a picture with one white pixel for each province\n-- \n");
  f.add("\n-- Title and image file\n");
  if (maptitle[0]) f.add("#vey2title %s\n", maptitle);
  else f.add("#vey2title A map based on %s.\n", imagename);
  f.add("#imagefile %s\n#veyversion %d\n", imagename, 175);
  if (wraparound) f.add("#wraparound\n");
  f.add("#defaultmapzoom %.2f\n", double(defaultmapzoom));
  const float* c = maptextcolour;
  if (c[0] != -1 || c[1] != -1 || c[2] != -1 || c[3] != -1)
    f.add("#maptextcol %.2f %.2f %.2f %.2f\n", double(c[0]), double(c[1]), double(c[2]), double(c[3]));
  f.add("#description \"%s\"\n", mapdescription[0] ? mapdescription : "A newly created map.");
  f.add("\n-- Province names/terrains\n");
  for (int32_t p = 1; p <= n; p++) {
    if (land[size_t(p)].name[0]) f.add("#landname %d \"%.35s\"\n", p, land[size_t(p)].name);
    f.add("#terrain %d %d\n", p, int32_t(provgeo[size_t(p)].terrain));
  }
  f.add("\n-- Province neighbours\n");
  for (int32_t p = 1; p <= n; p++) {
    const int16_t* list = provgeo[size_t(p)].nbr;
    for (int32_t k = 0; k < MAXNEIGHBOURS && list[k] != 0; k++)
      if (list[k] > p) f.add("#neighbour %d %d\n", p, list[k]);
  }
  if (nstarts > 0) {
    f.add("\n-- Start provinces\n");
    for (int32_t k = 0; k < nstarts; k++)
      if (starts[k] >= 1 && starts[k] <= n) f.add("#start %d\n", starts[k]);
  }
  f.add("\n-- Special per province commands\n");
  for (int32_t p = 1; p <= n; p++) {
    const ProvGeo& g = provgeo[size_t(p)];
    if (!lookset(g)) continue;
    f.add("#setland %d\n", p);
    if (colourset(g.groundcol)) f.add("#groundcol %d %d %d\n", g.groundcol[0], g.groundcol[1], g.groundcol[2]);
    if (colourset(g.rockcol)) f.add("#rockcol %d %d %d\n", g.rockcol[0], g.rockcol[1], g.rockcol[2]);
    if (colourset(g.fogcol)) f.add("#fogcol %d %d %d\n", g.fogcol[0], g.fogcol[1], g.fogcol[2]);
    if (g.skybox[0]) f.add("#skybox \"%.99s\"\n", g.skybox);
    if (g.batmap[0]) f.add("#batmap \"%.99s\"\n", g.batmap);
  }
  f.add("\n--\n");
  return std::move(f.text);
}

int cmf(const char* path, const char* imagename, const int32_t* starts, int32_t nstarts) {
  const std::string text = mapfiletext(imagename, starts, nstarts);
  SafeWrite out(path);
  // The cause stays in errno for the caller's message.
  auto failed = [&](const char* what) {
    const int cause = out.error() ? out.error() : EIO;
    printf("cmf: can't %s file %s\n", what, path);
    errno = cause;
    return 0;
  };
  if (!out.ok()) return failed("create");
  fwrite(text.data(), 1, text.size(), out.stream());
  if (!out.commit()) return failed("write");
  return 1;
}

// ---------------------------------------------------------------- opening

namespace {
// The first of the names (typed, then with each ending) that exists: each
// name looked for in the maps folder and then the local maps folder before
// the next (byname), or every name in the maps folder before the local maps
// folder. 0 when none does.
int findmapfile(const char* typed, const char* const* endings, int32_t count, bool byname, char* found) {
  const char* const folders[] = {mappath, localmappath};
  const int32_t outer = byname ? count + 1 : 2, inner = byname ? 2 : count + 1;
  for (int32_t a = 0; a < outer; a++)
    for (int32_t b = 0; b < inner; b++) {
      const int32_t ending = (byname ? a : b) - 1;
      formatbounded(found, PATHLEN, "%s%s", typed, ending < 0 ? "" : endings[ending]);
      if (fileexists("%s/%s", folders[byname ? b : a], found)) return 1;
    }
  found[0] = 0;
  return 0;
}

// The start provinces that a map file lists, which the editor keeps: read
// where readmapfile reads the file.
std::vector<int32_t> readstarts(const char* name) {
  std::vector<int32_t> starts;
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/%s", localmappath, name);
  if (!fileexists("%s", path)) formatbounded(path, PATHLEN, "%s/%s", mappath, name);
  const int32_t size = filesize("%s", path);
  if (size < 1 || size > ALLMAPSBYTES) return starts;
  std::vector<char> text(size_t(size) + 1, 0);
  if (loadfile(path, text.data(), size) != size) return starts;
  static const char* const keywords[] = {"startspell", "start"};
  MapScanner s(text.data(), size);
  for (int k; (k = s.next(keywords, 2)) >= 0;) {
    int32_t v = 0;
    if (k == 1 && scanints(s.line, &v, 1) == 1 && v >= 1 && v <= MAXPROVINCES && starts.size() < MAXSTARTS)
      starts.push_back(v);
  }
  return starts;
}

// The map head of a map that has none yet, and provinces without names.
void newmaphead() {
  maptitle[0] = mapdescription[0] = 0;
  for (float& c : maptextcolour) c = -1;
  defaultmapzoom = 1.0f;
  gameinfo.wraparound = 0;
  wraparound = 0;
  resetlands();
}

// The pure white pixels of the loaded picture, all of them.
int32_t whitepixels() {
  int32_t n = 0;
  const int64_t count = int64_t(mapimage.width) * mapimage.height;
  for (int64_t i = 0; mapimage.pixels && i < count; i++) {
    const uint8_t* p = &mapimage.pixels[i * 4];
    n += p[0] == 255 && p[1] == 255 && p[2] == 255;
  }
  return n;
}

int refuse(char* message, const char* text) {
  strlcopy(message, text, MSGLEN);
  return 0;
}
}  // namespace

int editopenimage(const char* typed, char* image, char* message) {
  static const char* const endings[] = {".rgb", ".tga"};
  image[0] = message[0] = 0;
  if (!safemapname(typed) || !findmapfile(typed, endings, 2, false, image)) return refuse(message, "Cannot open file");
  debugprint("Mapeditor load: %s (%s)\n", image, typed);
  newmaphead();
  // The picture may have been drawn anew since it was last loaded.
  freebigmap();
  mapimage.imagename[0] = 0;
  FindCapitals("", image);
  if (!mapimage.pixels) return refuse(message, "Cannot open file");
  const int32_t white = whitepixels();
  if (white == 0)
    return refuse(message, "The picture has no pure white pixels. Mark each province with one pixel of pure white "
                           "(red, green and blue 255).");
  if (white > MAXPROVINCES) {
    formatbounded(message, MSGLEN, "The picture has %d pure white pixels, but a map holds at most %d provinces.",
                  white, MAXPROVINCES);
    return 0;
  }
  FindNbors();
  return 1;
}

int editopenmap(const char* typed, char* image, std::vector<int32_t>& starts, char* message) {
  static const char* const endings[] = {".map"};
  char name[PATHLEN];
  image[0] = message[0] = 0;
  starts.clear();
  if (!safemapname(typed) || !findmapfile(typed, endings, 1, true, name)) return refuse(message, "Cannot open file");
  // The reader stops the program at a file it cannot load whole.
  const bool local = fileexists("%s/%s", localmappath, name);
  const int32_t size = filesize("%s/%s", local ? localmappath : mappath, name);
  if (size < 1 || size > ALLMAPSBYTES) return refuse(message, "Bad map file");
  newmaphead();
  mapimagename[0] = 0;
  if (!readmapfile("", name, MAPREAD_INFO) || !mapimagename[0]) return refuse(message, "Bad map file");
  strlcopy(image, mapimagename, PATHLEN);
  if (!fileexists("%s/%s", localmappath, image) && !fileexists("%s/%s", mappath, image))
    return refuse(message, "Cannot open the map's picture");
  freebigmap();
  mapimage.imagename[0] = 0;
  FindCapitals("", image);
  if (!mapimage.pixels) return refuse(message, "Cannot open the map's picture");
  readmapfile("", name, MAPREAD_GEO);
  if (!readmapfile("", name, MAPREAD_EDITOR)) return refuse(message, "Bad map file");
  wraparound = gameinfo.wraparound;
  starts = readstarts(name);
  return 1;
}
