// Text measuring and wrapping with the font's advance widths.
#include <cmath>
#include <cstring>

#include "gfx/font.h"
#include "gfx/guistate.h"
#include "runtime/fatal.h"
#include "runtime/util.h"

float rowwidth(const char* text, int32_t length) {
  float w = 0;
  for (int32_t i = 0; i < length; i++) w += charadvance(uint8_t(text[i]));
  return w;
}

float textwidth(const char* text) {
  if (!text) return 0;
  float widest = 0, line = 0;
  for (const uint8_t* p = reinterpret_cast<const uint8_t*>(text); *p; p++) {
    if (*p == '\n') {
      widest = maxf(widest, line);
      line = 0;
    } else {
      line += charadvance(*p);
    }
  }
  return maxf(widest, line);
}

int32_t wraptext(const char* text, int32_t length, float width, textrow* rows, int32_t max) {
  if (!text || max < 1) return 0;
  int32_t count = 0, pos = 0;
  for (;;) {
    int32_t start = pos, i = pos, lastblank = -1, end = -1, next = -1;
    float w = 0;
    while (i < length && text[i] != '\n') {
      float adv = charadvance(uint8_t(text[i]));
      if (w + adv > width && i > start && text[i] != ' ') {
        if (lastblank > start) {
          end = lastblank;
          next = lastblank + 1;
        } else {
          end = next = i;   // a word wider than the row is cut
        }
        break;
      }
      if (text[i] == ' ') lastblank = i;
      w += adv;
      i++;
    }
    if (end < 0) {
      end = i;
      next = i + 1;
    }
    rows[count++] = {start, end - start};
    if (next > length || count >= max) break;
    pos = next;
  }
  return count;
}

int32_t SplitText(char* text, float width) {
  bailif(!text, "SplitText: bad txt pntr");
  int32_t rows = 1, lastblank = -1;
  float w = 0, sinceblank = 0;
  for (int32_t i = 0; text[i]; i++) {
    if (text[i] == '\n') {
      rows++;
      w = sinceblank = 0;
      lastblank = -1;
      continue;
    }
    float adv = charadvance(uint8_t(text[i]));
    if (text[i] == ' ') {
      if (w + adv > width && w > 0) {   // the blank itself would overflow: break here
        text[i] = '\n';
        rows++;
        w = sinceblank = 0;
        lastblank = -1;
        continue;
      }
      lastblank = i;
      sinceblank = 0;
    } else if (w + adv > width && lastblank >= 0) {
      text[lastblank] = '\n';
      rows++;
      w = sinceblank;
      lastblank = -1;
    }
    w += adv;
    if (text[i] != ' ') sinceblank += adv;
  }
  return rows;
}

const char* CutTextDots(const char* text, float width) {
  static char cut[MSGLEN];
  cut[0] = 0;
  if (!text) return cut;
  const char* whole = CutText(text, width);
  size_t n = strlen(whole);
  if (text[n] == 0 || text[n] == '\n') return whole;
  // Cut again with room for the dots, at the end of the last word that
  // fits whole; a first word wider than the room is cut inside.
  strlcopy(cut, CutText(text, fmaxf(0, width - textwidth(".."))), sizeof cut);
  n = strlen(cut);
  if (text[n] != ' ') {
    size_t blank = n;
    while (blank > 0 && cut[blank - 1] != ' ') blank--;
    if (blank > 0) n = blank;
  }
  while (n > 0 && strchr(" ,;:-", cut[n - 1])) n--;
  cut[n] = 0;
  if (n > 0 || width >= textwidth("..")) strlappend(cut, "..", sizeof cut);
  return cut;
}

const char* CutText(const char* text, float width) {
  static char cut[MSGLEN];
  cut[0] = 0;
  if (!text) return cut;
  float w = 0;
  int32_t n = 0;
  while (text[n] && text[n] != '\n' && n < MSGLEN - 1) {
    float adv = charadvance(uint8_t(text[n]));
    if (w + adv > width) break;
    w += adv;
    cut[n] = text[n];
    n++;
  }
  cut[n] = 0;
  return cut;
}
