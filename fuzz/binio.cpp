// Fuzz target: the string and integer readers over arbitrary bytes inside a
// SoftReadScope. Bytes of the input choose the next reader; no read may stop
// the program, run past a buffer or leave a text unterminated.
#include <cstdio>
#include <cstring>

#include "runtime/binio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!f) return 0;
  SoftReadScope soft;
  static char text[MAXSTRING + 1];
  char small[8];
  char password[50];
  int32_t values[16];
  for (size_t step = 0; step <= size && !feof(f); step++) {
    int op = getbyte(f);
    switch (op % 9) {
      case 0: (void)getint(f); break;
      case 1: (void)getshort(f); break;
      case 2: (void)getsbyte(f); break;
      case 3: (void)getfixed(f); break;
      case 4:
        get_string(text, sizeof text, f);
        if (strnlen(text, sizeof text) == sizeof text) __builtin_trap();
        break;
      case 5:
        get_string(small, sizeof small, f);
        if (strnlen(small, sizeof small) == sizeof small) __builtin_trap();
        break;
      case 6:
        get_keystring(password, f, 50);
        if (strnlen(password, sizeof password) == sizeof password) __builtin_trap();
        break;
      case 7:
        get_keystring(small, f, int32_t(sizeof small));
        if (strnlen(small, sizeof small) == sizeof small) __builtin_trap();
        break;
      case 8: {
        int32_t elementsize = getsbyte(f);
        int32_t count = getint(f);
        getmany(values, elementsize, count, f, sizeof values);
        break;
      }
    }
  }
  fclose(f);
  return 0;
}
