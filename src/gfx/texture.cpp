// Textures: file textures with their cache, pixel blocks, binding and quads.
#include "gfx/texture.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "gfx/gfx.h"
#include "gfx/glext.h"
#include "runtime/image.h"
#include "runtime/alloc.h"
#include "runtime/fatal.h"
#include "runtime/settings.h"
#include "runtime/util.h"

int32_t texmipmaps = 1, texcompresslevel = 0, maptexcompress = 0;

namespace {
struct filetexture {
  char path[PATHLEN];
  int32_t alpha, brightness, wrap;
  uint32_t name;
};
std::vector<filetexture> filetextures;
std::vector<glreloadfn> reloadhooks;
uint32_t boundtexture = 0xFFFFFFFFu;
int32_t boundmode = -1;

GLint internalformat(int32_t alpha) {
  int32_t level = texcompresslevel;
  if (level >= 2 && supported_ARB_texture_compression != 1) level = 1;
  if (level >= 2) return alpha ? GL_COMPRESSED_RGBA_ARB : GL_COMPRESSED_RGB_ARB;
  if (level == 1) return alpha ? GL_RGBA4 : GL_RGB5;
  return alpha ? GL_RGBA8 : GL_RGB8;
}

// Makes the texture under the given name (0: a new name).
uint32_t maketexture(uint32_t name, int32_t width, int32_t height, const uint8_t* pixels, int32_t alpha,
                     int32_t wrap) {
  if (name == 0) {
    GLuint fresh = 0;
    glGenTextures(1, &fresh);
    bailif(fresh == 0, "glGenTextures failed");
    name = fresh;
  }
  glBindTexture(GL_TEXTURE_2D, name);
  // Texturing may be off (after resettexstate): the next bindtexture must
  // bind and switch it on, even for this texture.
  boundtexture = 0xFFFFFFFFu;
  GLint edge = wrap ? GL_REPEAT : (clamptoedge == 0 ? GL_CLAMP : GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, edge);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, edge);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  GLint format = internalformat(alpha);
  if (texmipmaps) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, texfilters.mipmaps ? texfilters.minfilter : GL_LINEAR_MIPMAP_LINEAR);
    gluBuild2DMipmaps(GL_TEXTURE_2D, format, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
  } else {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, format, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
  }
  return name;
}

// Reads the file and makes its texture under the name (0: a new one); 0 on failure.
uint32_t texturefromfile(const filetexture& t, uint32_t name) {
  int32_t w = 0, h = 0;
  uint8_t* pixels = loadimage(t.path, &w, &h, 0);
  if (!pixels) {
    printf("Texture %s: missing or damaged\n", t.path);
    debugprint("***** Warning: loadtexture: cannot read %s\n", t.path);
    return 0;
  }
  int32_t largest = maxtexsize > 0 ? maxtexsize : 4096;
  while ((w > largest || h > largest) && w > 1 && h > 1) {
    halveimage32inplace(pixels, w, h);
    w /= 2;
    h /= 2;
  }
  const int64_t count = int64_t(w) * h;
  for (int64_t i = 0; i < count; i++) {
    uint8_t* p = pixels + i * 4;
    if (t.alpha == 2) {
      p[3] = uint8_t(imax(p[0], imax(p[1], p[2])));
      p[0] = p[1] = p[2] = 255;
    } else if (t.brightness != 100) {
      for (int c = 0; c < 3; c++) p[c] = uint8_t(imin(255, p[c] * imax(t.brightness, 0) / 100));
    }
    if (t.alpha == 0) p[3] = 255;
  }
  uint32_t made = maketexture(name, w, h, pixels, t.alpha != 0, t.wrap);
  myfree(pixels);
  return made;
}
}  // namespace

uint32_t loadtexture(const char* path, int32_t alphamode, int32_t brightness, int32_t wrap) {
  if (!path || !windowopen()) return 0;
  for (const filetexture& t : filetextures)
    if (t.alpha == alphamode && t.brightness == brightness && t.wrap == wrap && strcmp(t.path, path) == 0)
      return t.name;
  filetexture t = {};
  strlcopy(t.path, path, PATHLEN);
  t.alpha = alphamode;
  t.brightness = brightness;
  t.wrap = wrap;
  t.name = texturefromfile(t, 0);
  // A file that cannot be read is remembered too: it is named once, not on
  // every frame that asks for it.
  filetextures.push_back(t);
  return t.name;
}

uint32_t RGBA2Tex(int32_t width, int32_t height, const uint8_t* pixels, int32_t alpha, int32_t wrap) {
  if (!pixels || width < 1 || height < 1) return 0;
  return maketexture(0, width, height, pixels, alpha, wrap);
}

void bindtexture(uint32_t texture, int32_t mode) {
  if (texture != boundtexture) {
    if (texture == 0) {
      glDisable(GL_TEXTURE_2D);
    } else {
      if (boundtexture == 0 || boundtexture == 0xFFFFFFFFu) glEnable(GL_TEXTURE_2D);
      glBindTexture(GL_TEXTURE_2D, texture);
    }
    boundtexture = texture;
  }
  if (mode == boundmode) return;
  boundmode = mode;
  bool modulate = mode >= 3;
  bool blend = mode == 1 || mode == 2 || mode == 4 || mode == 5;
  bool alphatest = mode == 1 || mode == 4;
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, modulate ? GL_MODULATE : GL_REPLACE);
  if (blend) glEnable(GL_BLEND);
  else glDisable(GL_BLEND);
  if (alphatest) glEnable(GL_ALPHA_TEST);
  else glDisable(GL_ALPHA_TEST);
}

void resettexstate() {
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glDisable(GL_TEXTURE_2D);
  boundtexture = 0;
  boundmode = 0;
}

void deletetexture(uint32_t texture) {
  if (texture == 0 || !windowopen()) return;
  GLuint name = texture;
  glDeleteTextures(1, &name);
  if (boundtexture == texture) boundtexture = 0xFFFFFFFFu;
  for (size_t i = 0; i < filetextures.size(); i++)
    if (filetextures[i].name == texture) {
      filetextures.erase(filetextures.begin() + long(i));
      break;
    }
}

void drawguiquad(float x, float y, float w, float h) {
  glBegin(GL_QUADS);
  glVertex2f(x, y);
  glVertex2f(x + w, y);
  glVertex2f(x + w, y + h);
  glVertex2f(x, y + h);
  glEnd();
}

void drawguicolourquad(float x, float y, float w, float h, float r, float g, float b, float a) {
  bindtexture(0, a < 1 ? 2 : 0);
  glColor4f(r, g, b, a);
  drawguiquad(x, y, w, h);
}

void drawguitexquad(float x, float y, float w, float h, float u, float v, float du, float dv) {
  glBegin(GL_QUADS);
  glTexCoord2f(u, v);
  glVertex2f(x, y);
  glTexCoord2f(u + du, v);
  glVertex2f(x + w, y);
  glTexCoord2f(u + du, v + dv);
  glVertex2f(x + w, y + h);
  glTexCoord2f(u, v + dv);
  glVertex2f(x, y + h);
  glEnd();
}

void drawguitexquadclipped(float x, float y, float w, float h, float u, float v, float du, float dv, float cx,
                           float cy, float cw, float ch) {
  if (w <= 0 || h <= 0) return;
  float x0 = maxf(x, cx), y0 = maxf(y, cy);
  float x1 = x + w < cx + cw ? x + w : cx + cw, y1 = y + h < cy + ch ? y + h : cy + ch;
  if (x1 <= x0 || y1 <= y0) return;
  float u0 = u + du * (x0 - x) / w, v0 = v + dv * (y0 - y) / h;
  drawguitexquad(x0, y0, x1 - x0, y1 - y0, u0, v0, du * (x1 - x0) / w, dv * (y1 - y0) / h);
}

void addglreloadhook(glreloadfn hook) {
  for (glreloadfn h : reloadhooks)
    if (h == hook) return;
  reloadhooks.push_back(hook);
}

void reloadtextures() {
  boundtexture = 0xFFFFFFFFu;
  boundmode = -1;
  for (filetexture& t : filetextures)
    if (t.name) t.name = texturefromfile(t, t.name);
  for (glreloadfn h : reloadhooks) h();
}

void checkglcontext() {
  glViewport(0, 0, windowwidth(), windowheight());
  const auto made = std::find_if(filetextures.begin(), filetextures.end(), [](const filetexture& t) { return t.name; });
  if (made == filetextures.end() || glIsTexture(made->name)) return;
  debugprint("The window's textures were lost; loading them again\n");
  setglstate();
  reloadtextures();
}

void freealltextures() {
  if (windowopen())
    for (const filetexture& t : filetextures) {
      GLuint name = t.name;
      if (name) glDeleteTextures(1, &name);
    }
  filetextures.clear();
  boundtexture = 0xFFFFFFFFu;
  boundmode = -1;
}

int32_t filetexturecount() {
  return int32_t(std::count_if(filetextures.begin(), filetextures.end(), [](const filetexture& t) { return t.name; }));
}

void texturesize(uint32_t texture, int32_t* width, int32_t* height) {
  GLint w = 0, h = 0;
  if (texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    resettexstate();
  }
  *width = w;
  *height = h;
}
