// Saved pretender designs: the numbered slots of the "newlords" folder.
#include <cstring>

#include "gamefiles/gamefiles.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "world/gamedata.h"

bool newlordsaved(int32_t nation, int32_t slot) {
  char path[PATHLEN];
  newlordfilepath(path, PATHLEN, nation, slot);
  return fileexists("%s", path);
}

int32_t newlordslot(int32_t nation) {
  for (int32_t n = 0; n < NEWLORDSLOTS; n++)
    if (!newlordsaved(nation, n)) return n;
  return -1;
}

int32_t countnewlords(int32_t nation) {
  int32_t count = 0;
  for (int32_t n = 0; n < NEWLORDSLOTS; n++) {
    if (newlordsaved(nation, n)) count++;
    else if (n > 50 && count == 0) return 0;
  }
  return count;
}

bool writenewlordfile(const char* gname, int32_t nation, int32_t slot, int32_t cnr, const char* pass, char* pathout) {
  bailif(cnr < 0 || cnr >= MAXCOMS, "writenewlord: bad cnr");
  int32_t body = com[cnr].body;
  bailif(body < 0 || body >= MAXUNITS, "writenewlord: bad body");
  char folder[PATHLEN], path[PATHLEN];
  gamefolder(folder, PATHLEN, gname);
  mkdirs(folder);
  newlordslotvalue = slot;
  if (!gamefilepath(path, PATHLEN, gname, 0, nation)) path[0] = 0;
  if (pathout) strlcopy(pathout, path, PATHLEN);
  strlcopy(lastfilepath, path, sizeof lastfilepath);
  GameFile file = path[0] ? opengamefile(path) : nullptr;
  if (!file) return false;
  FILE* f = gamefilestream(file);
  writefileheader(f, gname, -1, 0, 0, nation, pass, 0);
  put_unit(body, f);
  put_com(cnr, f);
  put_veyrances(0, f);
  putint(0, f);
  putint(0, f);
  putint(NEWLORDEND, f);
  return closegamefile(std::move(file), 1);
}

void writenewlord(const char* gname, int32_t nation, int32_t cnr, const char* pass) {
  int32_t slot = 0;
  if (strcmp(gname, "newlords") == 0) {
    slot = newlordslot(nation);
    bailif(slot < 0, "too many saved gods");
  }
  bailif(!writenewlordfile(gname, nation, slot, cnr, pass, nullptr), "dl: error closing file");
}

int loadnewlord(const char* gname, int32_t nation, int32_t cnr, int32_t unr, char* pass, int32_t slot) {
  debugprint("Load newlord %d %d %d %d\n", nation, cnr, unr, slot);
  bailif(unr < 0 || nation < 0 || cnr < 0 || unr >= MAXUNITS || cnr >= MAXCOMS || nation >= MAXPLAYERS, "lnl");
  newlordslotvalue = slot;
  char scratch[50];
  int32_t turnout = 0;
  UniqueFile f = readfileheader(gname, -1, 0, 0, nation, &turnout, pass ? pass : scratch, nullptr, nullptr);
  if (!f) return -1;
  char path[PATHLEN];
  gamefilepath(path, PATHLEN, gname, 0, nation);
  char message[MSGLEN];
  formatbounded(message, MSGLEN, "2h God-file for %s is corrupted", nations[nation].name);
  if (!checkcrc(path)) {
    readdefect(message);
    return -1;
  }
  get_unit(unr, f.get(), 0);
  if (readbroken()) return -1;
  // A body of no known type would index the type table later.
  if (unit[unr].type < 0 || unit[unr].type >= MAXUNITTYPES) {
    readdefect("corrupted newlord file");
    return -1;
  }
  get_com_nu(cnr, f.get());
  if (readbroken()) return -1;
  com[cnr].body = unr;
  unit[unr].comnr = cnr;
  debugprint("Get Veyrance\n");
  get_veyrances(nation, f.get());
  getint(f.get());
  int32_t design = getint(f.get());
  if (readbroken()) return -1;
  kingdom[nation].w[KW_DESIGNVALUE] = int16_t(design);
  if (!readcheck(f.get(), NEWLORDEND, "corrupted newlord file")) return -1;
  return 1;
}
