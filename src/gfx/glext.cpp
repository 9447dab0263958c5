// The OpenGL capability probe.
#include "gfx/glext.h"

#include <GL/glx.h>
#include <SDL.h>

#include <cstring>

#include "runtime/fatal.h"

int32_t supported_ARB_vertex_buffer_object = -1;
int32_t supported_ARB_multitexture = -1;
int32_t supported_EXT_texture_env_combine = -1;
int32_t supported_SGIS_generate_mipmap = -1;
int32_t supported_ARB_texture_compression = -1;
int32_t supported_ARB_point_sprite = -1;
int32_t supported_GLX_SGI_swap_control = -1;
int32_t supported_EXT_framebuffer_blit = -1;
int32_t clamptoedge = -1;
int32_t pointspriteworks = -1;

PFNGLBINDBUFFERARBPROC pglBindBufferARB;
PFNGLDELETEBUFFERSARBPROC pglDeleteBuffersARB;
PFNGLGENBUFFERSARBPROC pglGenBuffersARB;
PFNGLISBUFFERARBPROC pglIsBufferARB;
PFNGLBUFFERDATAARBPROC pglBufferDataARB;
PFNGLBUFFERSUBDATAARBPROC pglBufferSubDataARB;
PFNGLGETBUFFERSUBDATAARBPROC pglGetBufferSubDataARB;
PFNGLMAPBUFFERARBPROC pglMapBufferARB;
PFNGLUNMAPBUFFERARBPROC pglUnmapBufferARB;
PFNGLGETBUFFERPARAMETERIVARBPROC pglGetBufferParameterivARB;
PFNGLGETBUFFERPOINTERVARBPROC pglGetBufferPointervARB;
PFNGLACTIVETEXTUREARBPROC pglActiveTextureARB;
PFNGLMULTITEXCOORD2FARBPROC pglMultiTexCoord2fARB;
PFNGLPOINTPARAMETERFARBPROC pglPointParameterfARB;
PFNGLPOINTPARAMETERFVARBPROC pglPointParameterfvARB;
PFNGLGENFRAMEBUFFERSEXTPROC pglGenFramebuffersEXT;
PFNGLDELETEFRAMEBUFFERSEXTPROC pglDeleteFramebuffersEXT;
PFNGLBINDFRAMEBUFFEREXTPROC pglBindFramebufferEXT;
PFNGLGENRENDERBUFFERSEXTPROC pglGenRenderbuffersEXT;
PFNGLDELETERENDERBUFFERSEXTPROC pglDeleteRenderbuffersEXT;
PFNGLBINDRENDERBUFFEREXTPROC pglBindRenderbufferEXT;
PFNGLRENDERBUFFERSTORAGEEXTPROC pglRenderbufferStorageEXT;
PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC pglFramebufferRenderbufferEXT;
PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC pglCheckFramebufferStatusEXT;
PFNGLBLITFRAMEBUFFEREXTPROC pglBlitFramebufferEXT;
SwapIntervalProc pglXSwapIntervalSGI;

namespace {
template <typename Proc>
void fetch(Proc& target, const char* name) {
  target = reinterpret_cast<Proc>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

// Through SDL: a compatibility layer that draws the window's frames into a
// framebuffer object of its own hands out binders that put that one where
// framebuffer 0 is asked for.
template <typename Proc>
void fetchsdl(Proc& target, const char* name) {
  target = reinterpret_cast<Proc>(SDL_GL_GetProcAddress(name));
}

const char* glstring(GLenum which) {
  const GLubyte* s = glGetString(which);
  return s ? reinterpret_cast<const char*>(s) : "";
}
}  // namespace

int extensionlisted(const char* extensions, const char* name) {
  if (!extensions || !name || !name[0]) return 0;
  size_t length = strlen(name);
  const char* word = extensions;
  for (;;) {
    const char* end = strchr(word, ' ');
    size_t wordlength = end ? size_t(end - word) : strlen(word);
    if (wordlength == length && memcmp(word, name, length) == 0) return 1;
    if (!end) return 0;
    word = end + 1;
  }
}

int glextsupported(const char* name) {
  const GLubyte* extensions = glGetString(GL_EXTENSIONS);
  if (!extensions) {
    debugprint("glGetString failed\n");
    return 0;
  }
  return extensionlisted(reinterpret_cast<const char*>(extensions), name);
}

void applyrendererquirks(const char* renderer) {
  if (!renderer) return;
  if (strcmp(renderer, "Mesa DRI Rage128 20010405 AGP 1x") == 0) {
    debugprint("  Incorrect CLAMP_TO_EDGE\n");
    clamptoedge = 0;
  }
  if (strcmp(renderer, "ATI RADEON X800 XL") == 0) {
    debugprint("  Incorrect POINT_SPRITE\n");
    pointspriteworks = 0;
  }
}

void initglext() {
  debugprint("Init OpenGL extensions\n");
  clamptoedge = 1;
  pointspriteworks = 1;
  debugprint("Renderer (%s)\n", glstring(GL_RENDERER));
  debugprint("Vendor (%s)\n", glstring(GL_VENDOR));
  debugprint("Version (%s)\n", glstring(GL_VERSION));
  applyrendererquirks(glstring(GL_RENDERER));

  supported_ARB_vertex_buffer_object = glextsupported("GL_ARB_vertex_buffer_object");
  debugprint("supported_ARB_vertex_buffer_object = %d\n", supported_ARB_vertex_buffer_object);
  if (supported_ARB_vertex_buffer_object == 1) {
    fetch(pglBindBufferARB, "glBindBufferARB");
    bailif(!pglBindBufferARB, "Bad Address, glBindBufferARB\n");
    fetch(pglDeleteBuffersARB, "glDeleteBuffersARB");
    fetch(pglGenBuffersARB, "glGenBuffersARB");
    fetch(pglIsBufferARB, "glIsBufferARB");
    fetch(pglBufferDataARB, "glBufferDataARB");
    fetch(pglBufferSubDataARB, "glBufferSubDataARB");
    fetch(pglGetBufferSubDataARB, "glGetBufferSubDataARB");
    fetch(pglMapBufferARB, "glMapBufferARB");
    fetch(pglUnmapBufferARB, "glUnmapBufferARB");
    fetch(pglGetBufferParameterivARB, "glGetBufferParameterivARB");
    fetch(pglGetBufferPointervARB, "glGetBufferPointervARB");
  }

  supported_ARB_multitexture = glextsupported("GL_ARB_multitexture");
  debugprint("supported_ARB_multitexture = %d\n", supported_ARB_multitexture);
  if (supported_ARB_multitexture == 1) {
    fetch(pglActiveTextureARB, "glActiveTextureARB");
    bailif(!pglActiveTextureARB, "No glActiveTextureARB");
    fetch(pglMultiTexCoord2fARB, "glMultiTexCoord2fARB");
    bailif(!pglMultiTexCoord2fARB, "No glMultiTexCoord2fARB");
  }

  supported_EXT_texture_env_combine = glextsupported("GL_EXT_texture_env_combine");
  debugprint("supported_EXT_texture_env_combine = %d\n", supported_EXT_texture_env_combine);
  supported_SGIS_generate_mipmap = glextsupported("GL_SGIS_generate_mipmap");
  debugprint("supported_SGIS_generate_mipmap = %d\n", supported_SGIS_generate_mipmap);
  supported_ARB_texture_compression = glextsupported("GL_ARB_texture_compression");
  debugprint("supported_ARB_texture_compression = %d\n", supported_ARB_texture_compression);
  supported_GLX_SGI_swap_control = 0;

  supported_ARB_point_sprite = glextsupported("GL_ARB_point_sprite");
  debugprint("supported_ARB_point_sprite = %d\n", supported_ARB_point_sprite);
  if (supported_ARB_point_sprite == 1) {
    fetch(pglPointParameterfARB, "glPointParameterfARB");
    bailif(!pglPointParameterfARB, "No glPointParameterfARB");
    fetch(pglPointParameterfvARB, "glPointParameterfvARB");
    bailif(!pglPointParameterfvARB, "No glPointParameterfvARB");
  }

  supported_EXT_framebuffer_blit =
      glextsupported("GL_EXT_framebuffer_object") == 1 && glextsupported("GL_EXT_framebuffer_blit") == 1;
  if (supported_EXT_framebuffer_blit == 1) {
    fetchsdl(pglGenFramebuffersEXT, "glGenFramebuffersEXT");
    fetchsdl(pglDeleteFramebuffersEXT, "glDeleteFramebuffersEXT");
    fetchsdl(pglBindFramebufferEXT, "glBindFramebufferEXT");
    fetchsdl(pglGenRenderbuffersEXT, "glGenRenderbuffersEXT");
    fetchsdl(pglDeleteRenderbuffersEXT, "glDeleteRenderbuffersEXT");
    fetchsdl(pglBindRenderbufferEXT, "glBindRenderbufferEXT");
    fetchsdl(pglRenderbufferStorageEXT, "glRenderbufferStorageEXT");
    fetchsdl(pglFramebufferRenderbufferEXT, "glFramebufferRenderbufferEXT");
    fetchsdl(pglCheckFramebufferStatusEXT, "glCheckFramebufferStatusEXT");
    fetchsdl(pglBlitFramebufferEXT, "glBlitFramebufferEXT");
    // Without every entry point the pictures stay textures.
    if (!pglGenFramebuffersEXT || !pglDeleteFramebuffersEXT || !pglBindFramebufferEXT || !pglGenRenderbuffersEXT ||
        !pglDeleteRenderbuffersEXT || !pglBindRenderbufferEXT || !pglRenderbufferStorageEXT ||
        !pglFramebufferRenderbufferEXT || !pglCheckFramebufferStatusEXT || !pglBlitFramebufferEXT)
      supported_EXT_framebuffer_blit = 0;
  }
  debugprint("supported_EXT_framebuffer_blit = %d\n", supported_EXT_framebuffer_blit);

  pglXSwapIntervalSGI = reinterpret_cast<SwapIntervalProc>(SDL_GL_GetProcAddress("glXSwapIntervalSGI"));
  if (pglXSwapIntervalSGI) supported_GLX_SGI_swap_control = 1;
  debugprint("supported_GLX_SGI_swap_control = %d\n", supported_GLX_SGI_swap_control);
}
