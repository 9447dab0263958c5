// Turn screens: the player's main turn screen, its order menus, info boxes
// and views. For now: the boxes that put a rule's question to the player.
#pragma once
#include <initializer_list>

#include "runtime/short.h"

// The Buy Province Defence box: raises or lowers the province defence of the
// land one point per answer until the player is done (Ok, Escape, the end of
// the input). Shows the gold left after each step.
void buyprovdef(int32_t player, int32_t lnr);

// True when the sprite archive is there and holds a picture of that number
// (the archives of item, icon and temple pictures may still lack some).
bool spritepresent(int32_t file, int32_t nr);

// Pieces of the list windows of the nation's screens (items rebuilt each
// frame): a row of column headings at their x, with a line under it when
// ruled; the shading of list rows in pairs; the foot with "Exit", which
// Escape, Return and the screen's own key (0 none) give too.
struct ListHeading {
  float x;
  const char* text;
};
void listheadings(std::initializer_list<ListHeading> headings, bool ruled = true);
void liststripe(int32_t row);
void listexit(int32_t id, int32_t ownkey);
