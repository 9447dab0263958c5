#include "runtime/folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "runtime/fatal.h"
#include "runtime/util.h"

char datapath[PATHLEN];
char confpath[PATHLEN];
char savepath[PATHLEN];
char modpath[PATHLEN];
char mappath[PATHLEN];
char localmappath[PATHLEN];
char tempbase[PATHLEN];
char temppath[PATHLEN];
int32_t tempcreated = 0;
int32_t tempbasedefault = 0;
int32_t tempbasemade = 0;

namespace {
// A folder under the home folder when none is known: never a folder named "~".
[[noreturn]] void nohome(const char* what) {
  char message[300];
  snprintf(message, sizeof message,
           "No home folder is known for %s: HOME is not set and the password database names none for this user. "
           "Set HOME (or VEY3_CONF for the settings and saved games).",
           what);
  failexit(message);
}

// An environment value, copied (at most 1999 characters) and expanded. An
// empty value names no folder: it counts as not set.
bool fromenv(const char* name, char* destination) {
  const char* value = getenv(name);
  if (!value || !value[0]) return false;
  char copy[2000];
  strlcopy(copy, value, sizeof copy);
  strlcopy(destination, copy, PATHLEN);
  if (!expandpath(destination, PATHLEN)) nohome(name);
  return true;
}
}  // namespace

const char* homefolder() {
  const char* home = getenv("HOME");
  if (home && home[0]) return home;
  // As the shell does without HOME: the user's entry in the password database.
  const passwd* entry = getpwuid(getuid());
  return entry && entry->pw_dir && entry->pw_dir[0] ? entry->pw_dir : nullptr;
}

bool expandpath(char* path, int32_t size) {
  if (size < 2) return true;
  if (path[0] == '%') {
    const char* close = strchr(path + 1, '%');
    if (close) {
      char name[PATHLEN];
      int32_t length = int32_t(close - (path + 1));
      strlcopy(name, path + 1, imin(length + 1, PATHLEN));
      char rest[PATHLEN];
      strlcopy(rest, close + 1, PATHLEN);
      const char* value = getenv(name);
      char result[2 * PATHLEN];
      if (value) {
        snprintf(result, sizeof result, "%s%s", value, rest);
      } else {
        printf("env var '%s' not found\n", name);
        snprintf(result, sizeof result, ".%s", rest);
      }
      strlcopy(path, result, size);
    }
  }
  const bool needshome = strcmp(path, "~") == 0 || strncmp(path, "~/", 2) == 0;
  const char* home = needshome ? homefolder() : nullptr;
  if (needshome && !home) return false;
  if (home) {
    if (strcmp(path, "~") == 0 || strcmp(path, "~/") == 0) {
      strlcopy(path, home, size);
    } else if (strncmp(path, "~/", 2) == 0) {
      char result[2 * PATHLEN];
      snprintf(result, sizeof result, "%s/%s", home, path + 2);
      strlcopy(path, result, size);   // cut to size - 1 like the %NAME% case
    }
  }
  size_t length = strlen(path);
  while (length > 1 && (path[length - 1] == '/' || path[length - 1] == '\\')) path[--length] = 0;
  return true;
}

int readinstalllocation(const char* word, char* destination) {
  char path[PATHLEN];
  snprintf(path, sizeof path, "/usr/local/.install_locations/%s", word);
  if (!fileexists("%s", path)) {
    // Only a file that exists is read; otherwise the search goes on.
    const char* home = homefolder();
    if (!home) return 0;
    snprintf(path, sizeof path, "%s/.install_locations/%s", home, word);
    if (!fileexists("%s", path)) return 0;
  }
  char text[1000];
  loadtextfile(path, text);
  strlcopy(destination, text, PATHLEN);
  return 1;
}

void initpaths() {
  strlcopy(datapath, ".", PATHLEN);
  readinstalllocation(PRODUCTWORD, datapath);
  fromenv("VEY3_DATA", datapath);
  // Programs share the temp folder; each keeps its files in a folder of its
  // own inside it, so that two hosts never take each other's battle replays.
  tempbasedefault = !fromenv("VEY3_TEMP", tempbase);
  if (tempbasedefault) snprintf(tempbase, PATHLEN, "/tmp/veyrances3_%u", unsigned(getuid()));
  formatbounded(temppath, PATHLEN, "%s/%s%d", tempbase, TEMPPREFIX, int(getpid()));

  if (!fileexists("%s/army.trs", datapath)) {
    if (fileexists("./army.trs")) strlcopy(datapath, ".", PATHLEN);
    char home[PATHLEN] = "~/veyrances3";
    if (expandpath(home, PATHLEN) && fileexists("%s/army.trs", home)) strlcopy(datapath, home, PATHLEN);
    if (fileexists("/usr/local/games/veyrances3/army.trs")) strlcopy(datapath, "/usr/local/games/veyrances3", PATHLEN);
  }

  if (!fromenv("VEY3_CONF", confpath)) {
    strlcopy(confpath, "~/veyrances3", PATHLEN);
    if (!expandpath(confpath, PATHLEN)) nohome("the settings folder");
  }
  if (!fromenv("VEY3_SAVE", savepath)) formatbounded(savepath, PATHLEN, "%s/savedgames", confpath);
  if (!fromenv("VEY3_MAPS", mappath)) formatbounded(mappath, PATHLEN, "%s/maps", datapath);
  if (!fromenv("VEY3_LOCALMAPS", localmappath)) formatbounded(localmappath, PATHLEN, "%s/maps", confpath);
  if (!fromenv("VEY3_MODS", modpath)) formatbounded(modpath, PATHLEN, "%s/mods", confpath);
}

void makemoddir() {
  if (direxists("%s", modpath)) return;
  debugprint("Creating mod directory '%s'\n", modpath);
  if (mkdirs(modpath) == -1) debugprint("Failed to create mod directory");
}

int mkdirs(const char* path) {
  if (direxists("%s", path)) return 0;
  if (mkdir(path, 0755) == 0) return 1;
  char copy[PATHLEN];
  strlcopy(copy, path, PATHLEN);
  for (int32_t i = int32_t(strlen(copy)) - 1; i >= 1; i--) {
    if (copy[i] == '/') {
      copy[i] = 0;
      mkdirs(copy);
    }
  }
  // A path with a trailing slash has just been made through its own prefix.
  if (mkdir(path, 0755) == 0) return 1;
  const int err = errno;   // why it failed, for the caller's message
  if (direxists("%s", path)) return 1;
  errno = err;
  return -1;
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

namespace {
char redirectedgame[100] = {};
char redirectedfolder[PATHLEN] = {};
}  // namespace

void gamefolder(char* path, int32_t size, const char* gname) {
  if (redirectedgame[0] && gname && strcmp(gname, redirectedgame) == 0) strlcopy(path, redirectedfolder, size);
  else formatbounded(path, size, "%s/%s", savepath, gname ? gname : "");
}

void redirectgame(const char* gname, const char* folder) {
  if (!gname || !folder || !folder[0]) {
    redirectedgame[0] = 0;
    redirectedfolder[0] = 0;
    return;
  }
  strlcopy(redirectedgame, gname, sizeof redirectedgame);
  strlcopy(redirectedfolder, folder, sizeof redirectedfolder);
}
