#include <sys/stat.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "frontend/frontend.h"
#include "gfx/gfx.h"
#include "net/net.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/util.h"

void flushopengl() {
  if (textonly) return;
  debugprint("flushopengl\n");
  freeallgl();
}

int validgamename(const char* name) {
  if (!name || !name[0]) return 0;
  if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0) return 0;
  static const char* const reserved[] = {"newlords", "rawsound", "doc", "debug", "maps", "battlemaps", "mods", "log"};
  for (const char* word : reserved)
    if (strcasecmp(name, word) == 0) return 0;
  size_t length = strlen(name);
  if (length > 99) return 0;
  for (size_t i = 0; i < length; i++) {
    char c = name[i];
    bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    if (!ok) return 0;
  }
  return 1;
}

void general_init() {
  debugprint("-- general_init --\n");
  removetmpfiles();
  mkdirs(savepath);
  struct stat st;
  if (stat(temppath, &st) == 0) {
    // A folder named by VEY3_TEMP is used as it is (and never removed by us);
    // anything else that already stands there cannot be our temp folder.
    if (!S_ISDIR(st.st_mode) || !getenv("VEY3_TEMP"))
      fatalerror("Failed to create temp directory properly (already existed)");
  } else {
    int made = mkdirs(temppath);
    if (made == 1) {
      // Every end of the program, not only the fatal path, removes the temp
      // folder that this process made.
      if (!tempcreated) atexit(removetmpfiles);
      tempcreated = 1;
    }
    else if (made == 0) fatalerror("Failed to create temp directory properly (already existed)");
    else fatalerror("Failed to create temp directory properly (unknown reason)");
  }
  clearworld();
}
