#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "gfx/gfx.h"
#include "support/testdir.h"

TEST(InputScript, ReadsEveryCommand) {
  // The numbers and the text that the command carries (-1: not looked at).
  struct Case {
    const char* line;
    ScriptOp op;
    int32_t x, y, button;
    const char* text;
  };
  const Case cases[] = {
      {"wait 12\n", ScriptOp::wait, 12, -1, -1, nullptr},
      {"  key escape\r\n", ScriptOp::key, -1, -1, -1, "escape"},
      {"type Hello world", ScriptOp::type, -1, -1, -1, "Hello world"},
      {"click 300 200", ScriptOp::click, 300, 200, 1, nullptr},
      {"click 5 6 3", ScriptOp::click, -1, -1, 3, nullptr},
      {"shot /tmp/a b.ppm", ScriptOp::shot, -1, -1, -1, "/tmp/a b.ppm"},
      {"quit", ScriptOp::quit, -1, -1, -1, nullptr},
      {"run xdotool key F5 && sleep 0.3", ScriptOp::run, -1, -1, -1, "xdotool key F5 && sleep 0.3"},
      {"point 10044", ScriptOp::point, 10044, -1, -1, nullptr},
      {"", ScriptOp::skip, -1, -1, -1, nullptr},
      {"   # a comment", ScriptOp::skip, -1, -1, -1, nullptr},
  };
  for (const Case& k : cases) {
    const scriptcommand c = parsescriptline(k.line);
    EXPECT_EQ(c.op, k.op) << k.line;
    if (k.x >= 0) {
      EXPECT_EQ(c.x, k.x) << k.line;
    }
    if (k.y >= 0) {
      EXPECT_EQ(c.y, k.y) << k.line;
    }
    if (k.button >= 0) {
      EXPECT_EQ(c.button, k.button) << k.line;
    }
    if (k.text) {
      EXPECT_STREQ(c.text, k.text) << k.line;
    }
  }
}

TEST(InputScript, RefusesMalformedLines) {
  for (const char* line : {"wait", "wait -1", "wait 3x", "wait 999999999999", "key", "key   ", "click 1",
                           "click 1 2 9", "click a b", "click 1 2 1 4", "shot", "quit now", "jump 3", "waiting 3", "run",
                           "point", "point x"})
    EXPECT_EQ(parsescriptline(line).op, ScriptOp::bad) << line;
}

TEST(Screenshot, WritesTopRowFirst) {
  TestDir dir;
  const std::string file = dir / "shot.ppm";
  const char* path = file.c_str();
  // Two rows as OpenGL reads them: bottom row (red) first, then top row (blue).
  const uint8_t rgb[] = {255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255};
  ASSERT_EQ(writeppm(path, rgb, 2, 2), 1);
  FILE* f = fopen(path, "rb");
  ASSERT_TRUE(f);
  char buffer[64] = {};
  size_t n = fread(buffer, 1, sizeof buffer, f);
  fclose(f);
  unlink(path);
  std::string header = "P6\n2 2\n255\n";
  ASSERT_EQ(n, header.size() + 12);
  EXPECT_EQ(std::string(buffer, header.size()), header);
  const uint8_t* pixels = reinterpret_cast<const uint8_t*>(buffer) + header.size();
  EXPECT_EQ(pixels[2], 255);   // first written pixel is the top row's blue
  EXPECT_EQ(pixels[6], 255);   // second row starts with red
  EXPECT_EQ(writeppm(path, rgb, 0, 2), 0);
  EXPECT_EQ(writeppm("/nonexistent-folder/x.ppm", rgb, 2, 2), 0);
}
