// OpenGL capability probe: which optional extensions the driver offers, their
// entry points, and two renderers known to get a feature wrong. Drawing code
// chooses its paths by these flags; -1 means the probe has not run, which
// code that tests a flag for 1 treats as not supported.
#pragma once
#include <GL/gl.h>
#include <GL/glext.h>

#include "runtime/short.h"

extern int32_t supported_ARB_vertex_buffer_object;
extern int32_t supported_ARB_multitexture;
extern int32_t supported_EXT_texture_env_combine;
extern int32_t supported_SGIS_generate_mipmap;
extern int32_t supported_ARB_texture_compression;
extern int32_t supported_ARB_point_sprite;
extern int32_t supported_GLX_SGI_swap_control;
// Framebuffer objects with copies between framebuffers (both EXT extensions).
extern int32_t supported_EXT_framebuffer_blit;
// Texture edges clamp correctly (also cleared by "--badgl").
extern int32_t clamptoedge;
// Point sprites draw correctly.
extern int32_t pointspriteworks;

// Entry points fetched by the probe (null until fetched).
extern PFNGLBINDBUFFERARBPROC pglBindBufferARB;
extern PFNGLDELETEBUFFERSARBPROC pglDeleteBuffersARB;
extern PFNGLGENBUFFERSARBPROC pglGenBuffersARB;
extern PFNGLISBUFFERARBPROC pglIsBufferARB;
extern PFNGLBUFFERDATAARBPROC pglBufferDataARB;
extern PFNGLBUFFERSUBDATAARBPROC pglBufferSubDataARB;
extern PFNGLGETBUFFERSUBDATAARBPROC pglGetBufferSubDataARB;
extern PFNGLMAPBUFFERARBPROC pglMapBufferARB;
extern PFNGLUNMAPBUFFERARBPROC pglUnmapBufferARB;
extern PFNGLGETBUFFERPARAMETERIVARBPROC pglGetBufferParameterivARB;
extern PFNGLGETBUFFERPOINTERVARBPROC pglGetBufferPointervARB;
extern PFNGLACTIVETEXTUREARBPROC pglActiveTextureARB;
extern PFNGLMULTITEXCOORD2FARBPROC pglMultiTexCoord2fARB;
extern PFNGLPOINTPARAMETERFARBPROC pglPointParameterfARB;
extern PFNGLPOINTPARAMETERFVARBPROC pglPointParameterfvARB;
extern PFNGLGENFRAMEBUFFERSEXTPROC pglGenFramebuffersEXT;
extern PFNGLDELETEFRAMEBUFFERSEXTPROC pglDeleteFramebuffersEXT;
extern PFNGLBINDFRAMEBUFFEREXTPROC pglBindFramebufferEXT;
extern PFNGLGENRENDERBUFFERSEXTPROC pglGenRenderbuffersEXT;
extern PFNGLDELETERENDERBUFFERSEXTPROC pglDeleteRenderbuffersEXT;
extern PFNGLBINDRENDERBUFFEREXTPROC pglBindRenderbufferEXT;
extern PFNGLRENDERBUFFERSTORAGEEXTPROC pglRenderbufferStorageEXT;
extern PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC pglFramebufferRenderbufferEXT;
extern PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC pglCheckFramebufferStatusEXT;
extern PFNGLBLITFRAMEBUFFEREXTPROC pglBlitFramebufferEXT;
using SwapIntervalProc = int (*)(int);
extern SwapIntervalProc pglXSwapIntervalSGI;

// 1 if the blank-separated word list holds the name as a whole word.
int extensionlisted(const char* extensions, const char* name);
// 1 if the driver's extension string lists the name as a whole word.
int glextsupported(const char* name);
// Clears the "works" flags for the renderers known to get a feature wrong.
void applyrendererquirks(const char* renderer);
// Runs the probe (needs a current OpenGL context).
void initglext();
