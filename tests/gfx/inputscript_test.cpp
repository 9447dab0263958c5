#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "gfx/gfx.h"

TEST(InputScript, ReadsEveryCommand) {
  scriptcommand c = parsescriptline("wait 12\n");
  EXPECT_EQ(c.op, ScriptOp::wait);
  EXPECT_EQ(c.x, 12);
  c = parsescriptline("  key escape\r\n");
  EXPECT_EQ(c.op, ScriptOp::key);
  EXPECT_STREQ(c.text, "escape");
  c = parsescriptline("type Hello world");
  EXPECT_EQ(c.op, ScriptOp::type);
  EXPECT_STREQ(c.text, "Hello world");
  c = parsescriptline("click 300 200");
  EXPECT_EQ(c.op, ScriptOp::click);
  EXPECT_EQ(c.x, 300);
  EXPECT_EQ(c.y, 200);
  EXPECT_EQ(c.button, 1);
  c = parsescriptline("click 5 6 3");
  EXPECT_EQ(c.op, ScriptOp::click);
  EXPECT_EQ(c.button, 3);
  c = parsescriptline("shot /tmp/a b.ppm");
  EXPECT_EQ(c.op, ScriptOp::shot);
  EXPECT_STREQ(c.text, "/tmp/a b.ppm");
  EXPECT_EQ(parsescriptline("quit").op, ScriptOp::quit);
  c = parsescriptline("run xdotool key F5 && sleep 0.3");
  EXPECT_EQ(c.op, ScriptOp::run);
  EXPECT_STREQ(c.text, "xdotool key F5 && sleep 0.3");
  c = parsescriptline("point 10044");
  EXPECT_EQ(c.op, ScriptOp::point);
  EXPECT_EQ(c.x, 10044);
  EXPECT_EQ(parsescriptline("").op, ScriptOp::skip);
  EXPECT_EQ(parsescriptline("   # a comment").op, ScriptOp::skip);
}

TEST(InputScript, RefusesMalformedLines) {
  for (const char* line : {"wait", "wait -1", "wait 3x", "wait 999999999999", "key", "key   ", "click 1",
                           "click 1 2 9", "click a b", "click 1 2 1 4", "shot", "quit now", "jump 3", "waiting 3", "run",
                           "point", "point x"})
    EXPECT_EQ(parsescriptline(line).op, ScriptOp::bad) << line;
}

TEST(Screenshot, WritesTopRowFirst) {
  char path[] = "/tmp/vey3shotXXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
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
