// The pieces that the list windows of the nation's screens share.
#include "gfx/gui.h"
#include "screens/screens.h"

void listheadings(std::initializer_list<ListHeading> headings, bool ruled) {
  guisetnl(0);
  for (const ListHeading& h : headings) {
    guiindent(h.x);
    guibutton(0, "%s", h.text);
  }
  guisetnl(1);
  if (ruled) guiseparator();
}

void liststripe(int32_t row) { guibgbox(0.7f, 0.3f, 0.2f, (row / 2) % 2 == 0 ? 0.2f : 0.0f); }

void listexit(int32_t id, int32_t ownkey) {
  guibgbox(0, 0, 0, 0);
  guialign(GUIALIGN_CENTRE);
  guitextscale(1);
  guispace(2);
  guiexitbutton(id, "Exit");
  if (ownkey) guishortcut(id, ownkey);
}
