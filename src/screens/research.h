// The Magic Research screen and its rules: the seven schools' shares of the
// nation's research, their levels and the points gathered towards the next.
// The split itself (pathresearch, balanceresearch) is the host's rule, so
// the screen shows exactly what the host will add.
#pragma once
#include "runtime/short.h"

// Moves the school's percentage one step at a time (step +1 or -1) until its
// research points this turn change or the percentage reaches 0 or 100, so
// one press always moves the points unless a bound is reached. Nothing for a
// player or school out of range or a zero step.
void finetuneresearch(int32_t player, int32_t school, int32_t step);
// The percentage that a click on a school's slider gives, `pixels` from the
// slider's left edge (0..100).
int32_t sliderpercent(float pixels);
// Sets the school's percentage and brings the others back to a sum of 100.
void setresearchpercent(int32_t player, int32_t school, int32_t percent);

// A school's row: points this turn, level, points gathered towards the next
// level and what that level costs; a school at level 9 or more is complete.
struct ResearchRow {
  int32_t points, level, gathered, cost;
  bool complete;
};
ResearchRow researchrow(int32_t player, int32_t school);

// The screen: runs until Exit (Escape, F5, Return). A player outside 0..99
// stops the program ("viewresearch: bad player").
void viewresearch(int32_t player);
