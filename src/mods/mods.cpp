#include "mods/mods.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <sys/stat.h>

#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/settings.h"
#include "runtime/util.h"

EnabledModList enabledmodlist;

int validmodname(const char* name) {
  if (!name || !name[0] || strlen(name) >= size_t(MODNAMELEN)) return 0;
  if (name[0] == '/' || strstr(name, "..")) return 0;
  for (const char* p = name; *p; p++)
    if (uint8_t(*p) < 32 || *p == 127) return 0;
  return 1;
}

int32_t modfilestate(const char* name, std::string* cause, int* problem) {
  if (!validmodname(name)) return 0;
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/%s", modpath, name);
  struct stat st;
  const int err = stat(path, &st) == 0 ? 0 : errno;
  if (err == 0 && S_ISREG(st.st_mode)) return 1;
  if (err == ENOENT || err == ENOTDIR) return 0;
  if (cause) *cause = readproblem(path, err ? err : ENOTAFILE);
  if (problem) *problem = err;
  return -1;
}

int modfileexists(const char* name) { return modfilestate(name) == 1; }

int modinfolder(const char* name) { return modfilestate(name) != 0; }

void enablemod(const char* name) {
  if (!validmodname(name)) {
    debugprint("*** Warning: bad mod name refused\n");
    return;
  }
  for (int32_t i = 0; i <= enabledmodlist.last; i++)
    if (strcmp(enabledmodlist.names[i], name) == 0) return;
  if (enabledmodlist.last + 1 >= MAXMODS) {
    debugprint("Too many mods enabled, %s ignored\n", name);
    return;
  }
  enabledmodlist.last++;
  strlcopy(enabledmodlist.names[enabledmodlist.last], name, MODNAMELEN);
}

void clearenabledmods() { enabledmodlist.last = -1; }

namespace {
// The list's section of the settings file: the count, then each name. Names
// whose file left the mod folder are dropped on reading. False when the file
// is damaged there.
bool readmodsection(FILE* f, const char* path) {
  int32_t mods = getint(f);
  if (mods < 0 || mods > MAXMODS) {
    debugprint("*** Warning: settings file %s damaged (mod count %d)\n", path, mods);
    return false;   // the rest of the stream cannot be trusted
  }
  for (int32_t i = 0; i < mods; i++) {
    char name[MAXSTRING + 1];
    get_string(name, sizeof name, f);
    if (binreadfailed) {
      debugprint("*** Warning: settings file %s damaged (mod names)\n", path);
      return false;
    }
    if (modfileexists(name)) enablemod(name);
  }
  return true;
}

void writemodsection(FILE* f) {
  putint(enabledmodlist.last + 1, f);
  for (int32_t i = 0; i <= enabledmodlist.last; i++) put_string(enabledmodlist.names[i], f);
}

void enablemodoption(const char* name, bool first) {
  if (first) clearenabledmods();
  std::string cause;
  int problem = 0;
  const int32_t state = modfilestate(name, &cause, &problem);
  if (state == 1) {
    enablemod(name);
    return;
  }
  // Why goes with the line where the name stands for something that would
  // be read as a mod and is none (a folder, a FIFO that would hold the start
  // for ever); a link that goes round in a loop leads nowhere, as a missing
  // mod does.
  if (state < 0 && problem != ELOOP) printf("Can't find mod: %s (%s)\n", name, cause.c_str());
  else printf("Can't find mod: %s\n", name);
}

// The settings file and the command line, read in runtime/ below this
// folder, reach the list through these hooks.
struct ModListHooks {
  ModListHooks() {
    setmodlistsection({readmodsection, writemodsection});
    setenablemodoption(enablemodoption);
  }
} modlisthooks;
}  // namespace

int32_t modenabled(const char* name) {
  for (int32_t i = 0; i <= enabledmodlist.last && i < MAXMODS; i++)
    if (strcmp(enabledmodlist.names[i], name) == 0) return 1;
  return 0;
}

void disablemod(const char* name) {
  const int32_t last = imin(enabledmodlist.last, MAXMODS - 1);
  for (int32_t i = 0; i <= last; i++) {
    if (strcmp(enabledmodlist.names[i], name) != 0) continue;
    for (int32_t j = i; j < last; j++) strlcopy(enabledmodlist.names[j], enabledmodlist.names[j + 1], MODNAMELEN);
    enabledmodlist.names[last][0] = 0;
    enabledmodlist.last = last - 1;
    return;
  }
}
