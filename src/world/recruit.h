// Recruitment lists of a province and small province utilities: free army
// numbers, magic sites added by number or name, text cleaning for map files
// and the music of an era.
#pragma once
#include <array>

#include "runtime/short.h"

constexpr int32_t SLISTSIZE = 50;
// The list built by the last createslist; slistlast is the index of its last
// entry, -1 when empty.
extern std::array<int16_t, SLISTSIZE> slist;
extern int32_t slistlast;

// Modes: 0 available units, 2 holy units that need a temple, 10 available
// commanders, 12 commanders that need a laboratory or temple; other values
// above 9 list available commanders without the drawn non-leaders.
void createslist(int32_t lnr, int32_t mode);
void slistaddunit(int32_t lnr, int32_t type, int32_t mode);
void slistaddcom(int32_t lnr, int32_t type, int32_t mode);
int32_t armynrinuse(int32_t player, int32_t n);
int32_t getfreearmynr(int32_t player);
int32_t addfeatnr(int32_t lnr, int32_t site);
int32_t sitename2nr(const char* name);
int32_t addfeatbyname(int32_t lnr, const char* name);
void strippercent(char* text);
// The pieces of music of an era: sample numbers first .. first + count - 1
// (eras 1..3; any other era has the one main menu piece).
struct SongRange {
  int32_t first, count;
};
SongRange erasongs(int32_t era);
// A random piece of the era's music (-1: of a random era 0..3).
int32_t erasong(int32_t era);
