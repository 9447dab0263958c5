// The texture state cache in a real window: a texture made while texturing
// is off is drawn textured the next time it is bound.
#include <GL/gl.h>

#include "gfx/texture.h"
#include "gfx/xwindow.h"

TEST(TextureState, ATextureMadeWhileTexturingIsOffIsBoundWithTexturingOn) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  const uint8_t pixels[4 * 4 * 4] = {};
  resettexstate();
  const uint32_t made = RGBA2Tex(4, 4, pixels, 1, 0);
  ASSERT_NE(made, 0u);
  bindtexture(made, 0);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(uint32_t(bound), made);
  resettexstate();
  deletetexture(made);
}
