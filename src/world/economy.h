// Land economy: tax income, magic gems, resources, supply and research
// points, from a land's population, scales, sites, fort and the global
// enchantments in force. 32-bit integer arithmetic; divisions truncate, and
// the order of the steps is part of each rule.
#pragma once
#include "runtime/short.h"

int32_t landsiteeffect(int32_t lnr, int32_t kind, int32_t sum, int32_t all);
// visinc: vis income, the gems of one path that the player gains a month
// from sites and global enchantments.
int32_t visinc(int32_t player, int32_t path);
int32_t getbaseincome(int32_t lnr);
int32_t getincome(int32_t lnr, int32_t player);
// getkinc: get kingdom income, the gold of every province that the player
// owns or holds the fort of.
int32_t getkinc(int32_t player);
int32_t getbaseresources(int32_t lnr, int32_t player);
// grd: get resource drain, the administration of the owner's forts next to
// the province, which takes from a fortless province's resources.
int32_t grd(int32_t lnr);
int32_t getresources(int32_t lnr, int32_t player);
int32_t getsupply(int32_t lnr, int32_t player, int32_t withfort);
// supline: supply line.
int32_t supline(int32_t lnr, int32_t player, int32_t prev, int32_t prev2, int32_t d, int32_t dmax);
// What supline (lnr, p, 0, 0, 1, dmax) gives, found breadth first.
int32_t suplinereach(int32_t lnr, int32_t player, int32_t dmax);
int32_t supplyuse(int32_t lnr, int32_t player);
int32_t scaleresearchmod(int32_t scale);
// The tax percentage that suits the land's unrest (100 without unrest, 90
// for unrest 1..5, 80 for 6..10, down to 50), which automatic taxes take.
int32_t unrestpercent(int32_t lnr);
int32_t comresearch(int32_t cnr, int32_t bonus);

// A fort row's administration, defence-time supply (0 for no fort or a row
// outside the table).
int32_t fortadmin(int32_t fort);
int32_t fortsiegesupply(int32_t fort);
