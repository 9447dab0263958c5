// Battle deployment: where each commander and each of its five squads
// stands on its side's deployment field before a battle, the short texts of
// their battle orders, and the Position Squad / Position Commander screen.
//
// The field is 20 units each way with 0 in the middle: x grows from the back
// of the field (left) to its front (right), y is +10 at the lower edge of the
// drawn field and -10 at its upper edge. The battle engine turns a place
// into a square of the side's zone (battle/battle.h).
//
// Rules are plain functions over the world tables; the screen and the
// drawing build GUI items every frame.
#pragma once
#include "runtime/short.h"

// The side of a squad's square in field units for its summed size: at least
// 2, the smallest integer whose square reaches size / 6 + 1, capped at 10000.
int32_t squadside(int32_t totalsize);
// enfpos: enter-field position.
// The place of the commander (slot -1) or of its squad slot 0..4 brought
// into the field: the commander and an empty slot -8..9, a squad of square
// side s with h = s / 2 from h - 9 to 10 - h. A slot of 5 or more or a
// negative commander stops the program ("enfpos").
void enfpos(int32_t cnr, int32_t slot);
// The place that a click at (px, py) inside a field area of size w x h
// (origin lower left) means, before enfpos brings it into range.
void fieldclickplace(float px, float py, float w, float h, int32_t* x, int32_t* y);

// The short order texts (buffers of ORDERTEXTSIZE bytes, always terminated):
// the commander's script steps, order and preferred target, and a squad
// slot's order and target; "<set battle orders>" when nothing is set.
constexpr int32_t ORDERTEXTSIZE = 200;
void comordertext(int32_t cnr, char* buf);
// The two parts of comordertext: the script steps ("" for none), and the
// order and target ("<set battle orders>" when there is none). The order
// and target are kept in the order and world files, the script is not.
void comscripttext(int32_t cnr, char* buf);
void combattleordertext(int32_t cnr, char* buf);
void squadordertext(int32_t cnr, int32_t slot, char* buf);

// The screen: moves the commander's place (slot -1) or squad slot 0..4's
// with the arrow keys or a click on the field, showing the player's other
// boxes in the commander's land (or of commanders moving to dest when dest
// is 1 or more). Returns when closed: Exit (Escape, the close button), a
// right click, or a left click on its plain text. Bad numbers stop the program
// ("setpos: bad cnr", "setpos: bad snbr", "setpos: bad unr").
void setpos(int32_t cnr, int32_t slot, int32_t dest);

// Draws the field of the player's commanders in the land (or, with dest 1
// or more, of those moving there) into the rectangle (origin lower left):
// every squad box, every commander box, the selected one in white on top.
// With id 0 the boxes are drawn at once, else added as areas with that id.
void drawdeployfield(int32_t id, int32_t lnr, int32_t dest, int32_t player, int32_t selcom, int32_t selsquad,
                     float x, float y, float w, float h);
// Forgets the squad sizes kept for drawing (the army panel changes them).
void cleardeploycache();
