// Army builders: world creation, summons and events place commanders with
// their squads, bodyguards, items and equipment through these calls. A call
// that creates a commander makes it the current one; the calls after it add
// to the current commander until the next creation. After a creation that
// made no commander, the adding calls add nothing, so no squad or item ever
// lands on an earlier commander of another owner or land.
#pragma once
#include "runtime/short.h"

// popgang: populate with a gang, a commander of comtype leading count units
// of unittype.
int32_t popgang(int32_t unittype, int32_t comtype, int32_t count, int32_t owner, int32_t lnr);
int32_t poptempgang(int32_t unittype, int32_t comtype, int32_t count, int32_t owner, int32_t lnr);
// popcom: populate with a commander.
int32_t popcom(int32_t comtype, int32_t lnr);
int32_t addsquad(int32_t unittype, int32_t count);
int32_t addtosquad(int32_t unittype, int32_t count);
int32_t addbodyguards(int32_t unittype, int32_t count);
void setbattleorder(int32_t order, int32_t param);
int32_t additem(const char* name, int32_t chance);
void addequip(int32_t level);
int32_t randitemoflevel(int32_t level);
// killand: kill (everything in the) land, every living unit of the province.
void killand(int32_t lnr);
int32_t pickpoptemplate(int32_t roll, int32_t kind);
void poptemplate(int32_t lnr, int32_t multiplier, int32_t entry);

// The builder state, for tests and callers that need the current commander.
struct BuilderState {
  int32_t com = -1;        // current commander
  int32_t squad = -1;      // its first squad
  int32_t owner = -1;
  int32_t land = -1;
  int32_t added = -1;      // squads attached to it (0..4)
  bool detached = false;   // the last creation made no commander
};
extern BuilderState builder;
void resetbuilder();
