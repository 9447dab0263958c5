// Scores, counting rules and small look-ups shared by the host, the victory
// check, the score page, recruitment and the computer players.
#pragma once
#include "runtime/short.h"

int32_t totalresearch(int32_t player);
int32_t veyscore(int32_t player);
int32_t nbrofprovinces(int32_t player);
int32_t victorypoints(int32_t player);   // -1: every land
int32_t comhasitem(int32_t cnr, int32_t item);
int32_t isuwnation(int32_t nation);
int32_t unitrescost(int32_t type);
int32_t recruitqueueres(int32_t lnr);
// Living units of the player in the land (-1 any land); the two most common
// types with their counts (type -1, count 0 when missing). Out values may be null.
int32_t armycomposition(int32_t player, int32_t lnr, int32_t* type1, int32_t* count1, int32_t* type2,
                        int32_t* count2);
// The queue counts of a land bounded to what the queue holds.
int32_t queuedunits(int32_t lnr);
int32_t queuedcom(int32_t lnr);
