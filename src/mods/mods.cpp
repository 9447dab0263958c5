#include "mods/mods.h"

#include <cstring>

#include <sys/stat.h>

#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/util.h"

EnabledModList enabledmodlist;

int32_t poppergold, resourcemult, supplymult, unresthalfinc, unresthalfres;
int32_t eventisrare, turmoilincome, turmoilevents, deathincome, deathsupply;
int32_t deathdeath, slothincome, slothresources, coldincome, coldsupply;
int32_t misfortune, luckevents, researchscale;

int validmodname(const char* name) {
  if (!name || !name[0] || strlen(name) >= size_t(MODNAMELEN)) return 0;
  if (name[0] == '/' || strstr(name, "..")) return 0;
  for (const char* p = name; *p; p++)
    if (uint8_t(*p) < 32 || *p == 127) return 0;
  return 1;
}

int modfileexists(const char* name) {
  if (!validmodname(name)) return 0;
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/%s", modpath, name);
  struct stat st;
  return stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

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

void defaultgeneral() {
  poppergold = 100;
  resourcemult = 100;
  supplymult = 100;
  unresthalfinc = 50;
  unresthalfres = 100;
  eventisrare = 15;
  turmoilincome = 7;
  turmoilevents = 5;
  deathincome = 2;
  deathsupply = 15;
  deathdeath = 2;
  slothincome = 2;
  slothresources = 15;
  coldincome = 5;
  coldsupply = 10;
  misfortune = 13;
  luckevents = 5;
  researchscale = 2;
}
