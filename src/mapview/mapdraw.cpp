// The map in the window: textures of the map image, the map drawn through
// the camera with its background, the map scenes' hooks, and previews.
#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include "gfx/gfx.h"
#include "gfx/glext.h"
#include "gfx/gui.h"
#include "gfx/guidraw.h"
#include "gfx/texture.h"
#include "mapview/mapview.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/settings.h"
#include "runtime/util.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

namespace {
// The background picture beyond the map; the texture cache owns it.
uint32_t mapbgtexture = 0;
MapDrawPlan plan;

void bindbackground(int32_t mode) {
  if (!mapbgtexture) {
    char path[PATHLEN];
    formatbounded(path, PATHLEN, "%s/mapbg.tga", datapath);
    mapbgtexture = loadtexture(path, 0, 100, 1);
  }
  bindtexture(mapbgtexture, mode);
}

// After the window's context was made anew the tile names mean nothing:
// forget them, so that the next map frame cuts the image again.
void forgettextures() {
  maptex.names = {};
  maptex.imagename[0] = 0;
  maptex.width = maptex.height = 0;
  mapbgtexture = 0;
}

// Where LoadBigMap would find the image, without stopping when it is
// nowhere: 1 when it is found.
int findmapimage(const char* folder, const char* image) {
  if (!safemapname(image) || (folder && folder[0] && !safemapname(folder))) return 0;
  if (folder && folder[0] && fileexists("%s/%s/%s", savepath, folder, image)) return 1;
  return fileexists("%s/%s", localmappath, image) || fileexists("%s/%s", mappath, image);
}

// The scene hooks: the camera from the keys and the mouse (elapsed ms, or
// -1 when another scene was shown), and the map drawn (a stripe of 120
// units at reduced graphics, or all of it).
MapKeyClock keyclock;

int32_t scenemousescroll(int32_t elapsed) {
  MapControls in = {pointerx, pointery, pointerbuttons, wheelcount, isfullscreen()};
  wheelcount = 0;
  if (elapsed < 0) {
    mapkeyforget(keyclock);
    mapmousescroll(-1, 0, in);
    return 0;
  }
  const uint32_t pace = uint32_t(framepace() > 0 ? framepace() : MINFRAMEMS);
  // The clock counts in ticks of 10 ms: a frame that follows the one before
  // within a tick moves a held key's map by nothing, and the frames must go
  // on all the same, or the still screen would wait for the key's release.
  const int32_t keys =
      mapkeyframe(keyclock, timems(), uint32_t(elapsed), pace, framesdrawn(), keydown.data(), keytaps.data());
  mapmousescroll(1, float(elapsed) * 0.001f, in);
  return keys;
}

void scenedraw(int32_t stripe) {
  guiprojection();
  // A map over the whole screen fills the whole window (mapdrawnrect).
  const MapRect screen = mapviewport;
  mapviewport = mapdrawnrect();
  if (stripe < 0) drawmapview(mapcamx, mapcamy, mapzoom, 1.0f);
  else drawbigmap(mapwraps(), mapcamx, mapcamy, mapzoom, mapviewport.x, 120.0f * float(stripe), mapviewport.w, 120, 1.0f, 1.0f);
  mapviewport = screen;
}
}  // namespace

void CreateMapTextures(const char* gamename, const char* mapname) {
  if (!mapname || strcmp(mapname, maptex.imagename) == 0) return;
  debugprint("CreateMapTextures\n");
  if (gamename && gamename[0]) debugprint2("  gamename '%s'\n", gamename);
  static bool hooked = false;
  if (!hooked) addglreloadhook(forgettextures);
  hooked = true;
  const int32_t mipmaps = texmipmaps;
  texmipmaps = 0;
  texcompresslevel = maptexcompress;
  freemaptextures();
  // The name is kept even when the image cannot be had, so that the map
  // frames do not try again and again.
  strlcopy(maptex.imagename, mapname, MAPTEXNAMELEN);
  char folder[PATHLEN];
  strlcopy(folder, gamename && gamename[0] ? gamename : mapimage.folder, PATHLEN);
  const bool held = mapimage.pixels && strcmp(mapimage.imagename, mapname) == 0;
  if (!held && !findmapimage(folder, mapname)) {
    printf("Map image %s: not found; the map is drawn without it\n", mapname);
    debugprint("***** Warning: CreateMapTextures: no map image %s\n", mapname);
    // As after a failed load: no image, under the name asked for.
    freebigmap();
    strlcopy(mapimage.imagename, mapname, PATHLEN);
    strlcopy(mapimage.folder, folder, PATHLEN);
  } else {
    if (LoadBigMap(folder, mapname) == 1) mapistransparent = 0;
    if (!mapimage.pixels || strcmp(mapimage.imagename, mapname) != 0) {
      // The file and why, as the load found it (a FIFO, a folder or a device
      // in its place among them), once: the frames after do not try again.
      printf("Map image %s cannot be read: %s; the map is drawn without it\n", mapimage.path,
             mapimage.problem[0] ? mapimage.problem : "it is not loaded");
      debugprint("***** Warning: CreateMapTextures: map image %s could not be read\n", mapname);
    } else {
      if (windowopen())
        cutmapimage(mapimage.pixels, mapimage.width, mapimage.height, fastgrx,
                    [](const MapTileLevel& t) { return RGBA2Tex(t.side, t.side, t.pixels, t.alpha, 0); });
      maptex.width = mapimage.width;
      maptex.height = mapimage.height;
      maptexturesmade = 1;
    }
  }
  debugprint("CMT: done\n");
  texmipmaps = mipmaps;
}

void freemaptextures() {
  mapbgtexture = 0;
  if (maptex.width < 1 || maptex.height < 1) {
    maptex.imagename[0] = 0;
    return;
  }
  debugprint("freeing old texobjs\n");
  for (int32_t y = 0, r = 0; y < maptex.height && r < MAPTILES; y += MAPTILE, r++)
    for (int32_t x = 0, c = 0; x < maptex.width && c < MAPTILES; x += MAPTILE, c++)
      for (uint32_t& name : maptex.names[size_t(c)][size_t(r)]) {
        if (name && windowopen()) deletetexture(name);
        name = 0;
      }
  maptex.width = maptex.height = 0;
  maptex.imagename[0] = 0;
}

void flushmapimage(const char* name) {
  if (!name) return;
  if (strcmp(name, mapimage.imagename) == 0) {
    debugprint("Flushing %s pic\n", name);
    freebigmap();
    mapimage.imagename[0] = 0;
  }
  if (strcmp(name, maptex.imagename) == 0) {
    debugprint("Flushing %s tex\n", name);
    freemaptextures();
  }
}

void openmapview(const char* gamename) {
  wraparound = gameinfo.wraparound;
  setmapviewport(0, 0, 800, 600);
  CreateMapTextures(gamename, gameinfo.mappic);
  mapzoomlimits();
  mapcameraedges();
}

void drawbigmap(int wrap, float camx, float camy, float zoom, float clipx, float clipy, float clipw, float cliph,
                float brightness, float alpha) {
  if (mapimage.imagename[0]) CreateMapTextures("", mapimage.imagename);
  const float inset = clamptoedge == 0 ? 1.0f / 256 : 0.0f;
  planbigmap(plan, wrap, camx, camy, zoom, {clipx, clipy, clipw, cliph}, brightness, alpha, inset);
  if (plan.underlay) {
    glColor4f(1, 1, 1, alpha);
    if (fastgrx == 0) bindbackground(0);
    drawmapbgquad(mapviewport.x, fminf(mapviewport.y, 0), fmaxf(mapviewport.w, 800), fmaxf(mapviewport.h, 600));
  }
  glColor4f(plan.colour[0], plan.colour[1], plan.colour[2], plan.colour[3]);
  for (const MapTileQuad& q : plan.tiles) {
    bindtexture(maptex.names[size_t(q.column)][size_t(q.row)][size_t(plan.level)], plan.blend);
    if (plan.clipped)
      drawguitexquadclipped(q.x, q.y, q.w, q.h, q.u, q.v, q.du, q.dv, plan.clip.x, plan.clip.y, plan.clip.w,
                            plan.clip.h);
    else
      drawguitexquad(q.x, q.y, q.w, q.h, q.u, q.v, q.du, q.dv);
  }
  resettexstate();
  if (fastgrx) glColor4f(0.4f, 0, 0.05f, 1);
  else glColor4f(1, 1, 1, alpha);
  if (!plan.bands.empty() && fastgrx == 0) bindbackground(plan.blend);
  for (const MapRect& b : plan.bands) drawmapbgquad(b.x, b.y, b.w, b.h);
  resettexstate();
  glColor4f(1, 1, 1, 1);
}

void drawmapview(float camx, float camy, float zoom, float brightness) {
  drawbigmap(mapwraps(), camx, camy, zoom, mapviewport.x, mapviewport.y, mapviewport.w, mapviewport.h, brightness,
             1.0f);
}

void drawmappreview(int32_t value, float x, float y, float w, float h) {
  (void)value;
  setmapviewport(x, y, w, h);
  if (mapwidth() < 1 || mapheight() < 1) return;
  const float zoom = fmaxf(h / float(mapheight()), w / float(mapwidth()));
  guiprojection();
  drawbigmap(0, float(mapwidth()) / 2, float(mapheight()) / 2, zoom, x, y, w, h, 1.0f, 1.0f);
}

void drawmapbgquad(float x, float y, float w, float h) {
  if (fastgrx == 0) drawguitexquad(x, y, w, h, x / 512, y / 512, w / 512, h / 512);
  else drawguiquad(x, y, w, h);
}

namespace {
// What a frame of the map scene shows depends on: the camera, the viewport,
// the map's textures and the settings that pick how they are drawn.
uint64_t scenekey() {
  const float f[7] = {mapcamx, mapcamy, mapzoom, mapviewport.x, mapviewport.y, mapviewport.w, mapviewport.h};
  const int32_t n[8] = {mapwraps(), maptex.width, maptex.height, maptexturesmade, fastgrx, clamptoedge,
                        int32_t(mapbgtexture), int32_t(maptex.names[0][0][0])};
  uint64_t h = 14695981039346656037ull;
  auto mix = [&h](const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; i++) h = (h ^ p[i]) * 1099511628211ull;
  };
  mix(f, sizeof f);
  mix(n, sizeof n);
  mix(maptex.imagename, strnlen(maptex.imagename, MAPTEXNAMELEN));
  return h;
}
}  // namespace

void installmapscreenhooks() {
  setmaphooks(nullptr, scenemousescroll, scenedraw);
  setmapscenekey(scenekey);
}
