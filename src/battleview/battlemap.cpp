#include "battleview/battleview.h"

#include "runtime/util.h"

int32_t battlelowdetail = 0, battleextradetail = 1;

int LoadBattleMap(const char* path, int32_t a, int32_t b, int32_t c) { return fileexists("%s", path); }
