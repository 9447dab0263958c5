// Renaming a commander.
#include "actions/names.h"

#include <cstdio>

#include "world/hoststate.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

Refusal canrename(int32_t cnr) {
  const int32_t b = combody(cnr);
  if (b < 0) return refuse("No commander");
  if (!(gameinfo.gameflags & GF_RENAMING)) return refuse("Commander renaming is not enabled in this game");
  const Unit& u = unit[size_t(b)];
  if (u.flags[2] & F3_PRETENDER) return refuse("The Pretender God will not be renamed");
  if (u.flags[1] & ST_PROPHET) return refuse("The Prophet cannot be renamed");
  if (inhalloffame(cnr) || com[size_t(cnr)].tmpfx > 0)
    return refuse("%s is a famous person and cannot be renamed", com[size_t(cnr)].name);
  if (u.homeland == -2) return refuse("%s doesn't want to be renamed", com[size_t(cnr)].name);
  return {};
}

Refusal renamecommander(int32_t cnr, const char* name) {
  if (Refusal r = canrename(cnr)) return r;
  if (!name || !name[0]) return {};
  snprintf(com[size_t(cnr)].name, sizeof com[size_t(cnr)].name, "%s", name);
  return {};
}
