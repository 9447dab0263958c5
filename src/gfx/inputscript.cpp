// The pure parts of scripted input: reading a script line and writing a
// screenshot file.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gfx/gfx.h"
#include "runtime/util.h"

namespace {
// Reads a whole number in 0..limit at *p and moves past it; false if none.
// Area ids reach higher than counts and pixels (a squad's ids lie above
// three million).
bool readnumber(const char*& p, int32_t& out, int64_t limit = 100000) {
  while (*p == ' ' || *p == '\t') p++;
  if (*p < '0' || *p > '9') return false;
  int64_t value = 0;
  while (*p >= '0' && *p <= '9') {
    value = value * 10 + (*p++ - '0');
    if (value > limit) return false;
  }
  out = int32_t(value);
  return true;
}

bool atend(const char* p) {
  while (*p == ' ' || *p == '\t') p++;
  return *p == 0;
}
}  // namespace

scriptcommand parsescriptline(const char* line) {
  scriptcommand c = {};
  c.op = ScriptOp::bad;
  c.button = 1;
  char text[PATHLEN];
  strlcopy(text, line ? line : "", PATHLEN);
  size_t n = strlen(text);
  while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r')) text[--n] = 0;
  const char* p = text;
  while (*p == ' ' || *p == '\t') p++;
  if (*p == 0 || *p == '#') {
    c.op = ScriptOp::skip;
    return c;
  }
  const char* word = p;
  while (*p && *p != ' ' && *p != '\t') p++;
  size_t wordlength = size_t(p - word);
  auto is = [&](const char* name) { return wordlength == strlen(name) && strncmp(word, name, wordlength) == 0; };
  const char* rest = p;
  while (*rest == ' ' || *rest == '\t') rest++;

  if (is("wait")) {
    if (readnumber(p, c.x) && atend(p)) c.op = ScriptOp::wait;
  } else if (is("key") || is("type") || is("shot") || is("hold") || is("release") || is("run")) {
    if (*rest) {
      c.op = is("key") ? ScriptOp::key : is("type") ? ScriptOp::type : is("shot") ? ScriptOp::shot
           : is("hold") ? ScriptOp::hold : is("run") ? ScriptOp::run : ScriptOp::release;
      strlcopy(c.text, rest, PATHLEN);
    }
  } else if (is("click") || is("down") || is("up")) {
    ScriptOp op = is("click") ? ScriptOp::click : is("down") ? ScriptOp::down : ScriptOp::up;
    if (readnumber(p, c.x) && readnumber(p, c.y)) {
      if (atend(p)) c.op = op;
      else if (readnumber(p, c.button) && c.button >= 1 && c.button <= 5 && atend(p)) c.op = op;
    }
  } else if (is("move") || is("resize")) {
    if (readnumber(p, c.x) && readnumber(p, c.y) && atend(p)) c.op = is("move") ? ScriptOp::move : ScriptOp::resize;
  } else if (is("clickid") || is("waitfor") || is("point")) {
    bool negative = false;
    while (*p == ' ' || *p == '\t') p++;
    if (*p == '-') {
      negative = true;
      p++;
    }
    if (readnumber(p, c.x, 100000000)) {
      if (negative) c.x = -c.x;
      if (atend(p)) c.op = is("clickid") ? ScriptOp::clickid : is("point") ? ScriptOp::point : ScriptOp::waitfor;
      else if (is("clickid") && readnumber(p, c.button) && c.button >= 1 && c.button <= 5 && atend(p))
        c.op = ScriptOp::clickid;
    }
  } else if (is("wheel")) {
    bool down = false;
    while (*p == ' ' || *p == '\t') p++;
    if (*p == '-') {
      down = true;
      p++;
    }
    if (readnumber(p, c.x) && atend(p)) {
      c.op = ScriptOp::wheel;
      if (down) c.x = -c.x;
    }
  } else if (is("quit")) {
    if (atend(p)) c.op = ScriptOp::quit;
  }
  if (c.op == ScriptOp::bad) c.x = c.y = 0;
  return c;
}

int writeppm(const char* path, const uint8_t* rgb, int32_t width, int32_t height) {
  if (!rgb || width <= 0 || height <= 0) return 0;
  SafeWrite out(path);
  if (!out.ok()) return 0;
  fprintf(out.stream(), "P6\n%d %d\n255\n", width, height);
  size_t row = size_t(width) * 3;
  for (int32_t y = height - 1; y >= 0; y--) fwrite(rgb + size_t(y) * row, 1, row, out.stream());
  return out.commit() ? 1 : 0;
}
