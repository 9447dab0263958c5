// Commander orders on the turn screens: the text of every order code, the
// commander armies and the paged commander list, the province boxes, the
// spell choice and the order menu with its order store.
//
// Rules (plain functions over the world tables, no window) and screens
// (modal loops that rebuild their items every frame) are declared apart.
// Whether an army may move (mapmove) is a rule that the host and the
// computer players share: it lives in ai/movelegal.h.
#pragma once
#include "runtime/short.h"

// ----------------------------------------------------------- order texts
// Order codes as the turn screens store them (the commander's order byte).
enum OrderCode : uint8_t {
  OC_DEFEND = 0, OC_MOVE = 1, OC_SNEAK = 2, OC_PATROL = 3, OC_RESEARCH = 4, OC_EMPOWER = 5, OC_PREACH = 6,
  OC_SEARCH = 7, OC_BLOODHUNT = 8, OC_RITUAL = 9, OC_PROPHET = 10, OC_FORGE = 11, OC_RECRUIT = 12,
  OC_CALLGOD = 14, OC_DISPEL = 15, OC_HEAL = 16, OC_SUMMONALLIES = 17, OC_BUILDLAB = 18, OC_BUILDTEMPLE = 19,
  OC_BUILDFORT = 20, OC_GHOULS = 21, OC_SOULLESS = 22, OC_LONGDEAD = 23, OC_HORSEMEN = 24, OC_LICTORS = 25,
  OC_TOMBWYRM = 26, OC_MANIKINS = 27, OC_CHARIOT = 28, OC_PILLAGE = 30, OC_STORM = 31, OC_BREAKSIEGE = 32,
  OC_SACRIFICE = 33, OC_UPRISING = 34, OC_ENEMYPREACH = 43, OC_DEMOLISHFORT = 44, OC_DEMOLISHLAB = 45,
  OC_MOVEPATROL = 46, OC_ATTACK = 47, OC_ASSASSINATE = 48, OC_DEATHMATCH = 49, OC_ENTERSITE = 50,
  OC_CAPTURESLAVES = 51, OC_SPIRITS = 54, OC_SHADOWS = 55, OC_APPARITIONS = 56, OC_SEDUCE = 57, OC_CORRUPT = 58,
  OC_MONTHLYRITUAL = 60, OC_LURE = 61, OC_CULTIST = 62, OC_FUNERAL = 63, OC_DEMOLISHTEMPLE = 64
};
constexpr int32_t ORDERTEXTLEN = 1000;
// Writes the text of the commander's order into buf (ORDERTEXTLEN bytes,
// always terminated) and returns buf. A negative number or a commander
// without a unit stops the program.
char* hostordertext(int32_t cnr, char* buf);

// ------------------------------------------------- armies and list paging
// -1 when the commander has no unit or its unit no land; else 1 when its
// place among the owner's living commanders of its land lies on the page
// that starts at `offset` and holds `pagesize` cards, 0 when not.
int32_t comvisible(int32_t cnr, int32_t offset, int32_t pagesize);
// Empties the selection and selects the commander's army (a commander
// without an army gets a new army number and is selected alone). The
// commander's index in the selection; -1 for an invalid commander.
int32_t selectarmy(int32_t cnr);
// Binds every living commander of the same owner, land and unit type into
// one new army and selects them; the index of the last one, -1 when none.
int32_t selectkind(int32_t cnr);
// The army number of the first selected commander that has one; 0 none.
int32_t selarmynr();
// Commanders of the player with that army number whose unit stands outside
// the land leave the army.
void leavearmy(int32_t player, int32_t armynr, int32_t lnr);
// Dead commanders leave their armies; of an army spread over provinces the
// lowest-numbered living commander keeps the number in its province.
void checkarmies();

// ----------------------------------------------------------- province boxes
constexpr int32_t EFFECTTEXTLEN = 1000;
// The effect text of one magic scale's value for the player's nation into
// buf (EFFECTTEXTLEN bytes); empty when the value has no effect.
void veyeffecttext(int32_t player, int32_t scale, int32_t value, char* buf);
// The Veyrance Info window of the land as the player knows it; returns when
// closed. buildveyinfo adds its items to the window being built.
void veyinfo(int32_t player, int32_t lnr);
void buildveyinfo(int32_t player, int32_t lnr);
// Tax steps of the Tax Rate window: step -1 lowers the tax by 10 (not below
// 0), +1 raises it by 10 (not above 200); either ends automatic taxing.
// settaxauto sets the tax that suits the unrest, then automatic taxing on
// or off.
void taxstep(int32_t lnr, int32_t step);
void settaxauto(int32_t lnr, int32_t on);
// The Tax Rate window of a land 1..1504 (other numbers do nothing).
void taxbox(int32_t player, int32_t lnr);
