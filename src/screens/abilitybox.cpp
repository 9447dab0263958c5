// The explanation box of an ability or affliction icon: the icon, its title
// and the lines that abilityboxrules.cpp gives for the unit.
#include "gfx/gui.h"
#include "runtime/trs.h"
#include "screens/abilitybox.h"
#include "world/rules.h"

namespace {
constexpr int32_t SPRITEMODE = 4, ID_EXIT = 9;
}  // namespace

int32_t afflictionbox(int32_t unr, int32_t kind) {
  const IconText text = icontext(unr, kind);
  if (kind < 0 || kind >= ICONKINDS || !unittyperec(unr)) return ID_EXIT;
  GuiBox box;
  auto build = [&] {
    guiboxbegin();
    guicloseid(ID_EXIT);
    guiminwidth(450);
    guimaxwidth(450);
    guialign(GUIALIGN_LEFT);
    guisetnl(0);
    guiindent(10);
    guitextscale(1.25f);
    guisprite(0, TRS_ICONS, kind, SPRITEMODE);
    guitextscale(1.0f);
    guiindent(50);
    guibutton(0, "%s", text.title.c_str());
    guisetnl(1);
    if (kind != 0 && kind != 99 && kind != 22) guispace(5);
    guitextscale(0.85f);
    for (const std::string& s : text.lines) guitextlong(0, s.c_str());
    guispace(4);
    guitextscale(1.0f);
    guialign(GUIALIGN_CENTRE);
    guibutton(ID_EXIT, "Exit");
    guishortcut(ID_EXIT, KEY_ESCAPE);
    guishortcut(ID_EXIT, KEY_RETURN);
    guishow(-1, -1);
    guisetfade(0);
  };
  // The first click or key closes it, a left click on its plain text (the
  // icon, the title, a line) too; a scroll only lays it out anew.
  return guimodalplainclose(build);
}
