// Squads: which units a commander leads, under its three leadership limits
// (normal, undead, magic beings). A commander leads its units in at most
// five squads; each squad slot keeps a place on the deployment field, a
// battle order and a preferred target.
#pragma once
#include "actions/refusal.h"
#include "runtime/short.h"
#include "world/gamedata.h"

// Squad defaults that every new squad slot gets (program-wide; the army
// panel copies them from the squad of each clicked unit, zeros for the
// garrison).
struct SquadDefaults {
  int8_t x = 0, y = 0;
  uint8_t order = 0, target = 0;
};
extern SquadDefaults squaddefaults;

// The leadership kind of a unit type: 0 normal, 1 undead, 2 magic.
int32_t leadkind(const Monster& t);

// Whether unit unr may join squad `squad` of commander cnr (squad -1: a new
// squad, or the first one when all five are used), counted as if it had
// left its own squad first. Refused: "No commander to join" (none, no
// living unit, a unit of no type), "The unit stands in another province",
// "That squad stands in another province", "NAME does not lead that
// squad", "A mercenary commander leads only its band", "NAME cannot lead
// more troops" (or undead, or magic beings).
Refusal canjoinsquad(int32_t unr, int32_t cnr, int32_t squad);
// Takes the unit out of its squad and asks canjoinsquad; then puts it into
// the squad (a new one gets the squad defaults). Commander -1 only takes
// it out (into the garrison; no refusal). A unit refused ends outside
// every squad with leaveout set, or under a mercenary commander, else
// keeps the squad it had. A joined sneaking commander turns to Defend
// (Move on its owner's ground) when the unit cannot sneak; a moving army
// that can no longer make its move stays. A unit number outside the table
// stops the program ("tu1": transfer unit).
Refusal joinsquad(int32_t unr, int32_t cnr, int32_t squad, int32_t leaveout);
// Whether the commander has any leadership of the kind of the unit
// (normal, undead, magic): "No commander to join", "NAME cannot lead
// troops" (or undead, or magic beings).
Refusal canlead(int32_t cnr, int32_t unr);

// enfll: enforce leadership limits.
// Applies the commander's three leadership limits to the units it leads, in
// unit order: a unit beyond the limit of its kind leaves its squad.
void enfll(int32_t cnr);
