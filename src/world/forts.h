// Player values (the gold worth of holdings, items and mages), building
// prices, fort defence and the castle a nation builds on each terrain.
#pragma once
#include "runtime/short.h"

int32_t kingdomvalue(int32_t player);
int32_t kingdomitemvalue(int32_t player);
int32_t getlabcost(int32_t nation);
int32_t gettemplecost(int32_t nation);
int32_t fortcost(int32_t lnr, int32_t fort);
int32_t fortdef(int32_t fort, int32_t lnr);
int32_t getcastle(int32_t nation, int32_t lnr);   // lnr -1: the start castle
int32_t nbrofafflictions(int32_t unr);
