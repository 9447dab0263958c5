// The god designer: form, magic paths, dominion, scales and awakening of a
// pretender god with its design points counted live, a name, a password and
// an epithet; a random god; saving to and loading from the saved designs.
// Game Tools open it on its own, a new game for each human player.
#include <cstring>

#include "frontend/frontend.h"
#include "gamefiles/gamefiles.h"
#include "gfx/gui.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/world.h"
#include "worldgen/gamesetup.h"
#include "worldgen/worldgen.h"

namespace {
const char* const awakenings[3] = {"Awake", "Dormant", "Imprisoned"};
const char* const awakeninginfo[3] = {
    "The god walks the world from the first month.",
    "The god sleeps and wakes after some years; its veyrance spreads meanwhile. Gives 50 points back.",
    "The god is bound and comes free only after many years. Gives 100 points back."};

const float gold[3] = {1, 0.85f, 0.45f};

// One step of a value between limits; a step that the rules do not allow
// leaves it.
bool step(uint8_t& v, int32_t by, int32_t low, int32_t high) {
  const int32_t n = int32_t(v) + by;
  if (n < low || n > high) return false;
  v = uint8_t(n);
  return true;
}

const char* formline(int32_t form) {
  static char text[300];
  const Monster& m = unittypes[size_t(form)];
  formatbounded(text, sizeof text, "%d hit points, protection %d, strength %d, attack %d, defence %d, magic resistance %d, size %d",
                m.hp, m.prot, m.str, m.att, m.def, m.mr, m.size);
  return text;
}

// A row of seven cells for a scale, the value's cell lit.
void scalecells(int32_t value) {
  GuiTextScale cells(0.6f);   // smaller than the row, so that rows stand apart
  for (int32_t c = -MAXSCALE; c <= MAXSCALE; c++) {
    const bool lit = c == -value;   // the first-named side lies to the left
    guicoloursquare(0, lit ? 1.0f : 0.35f, lit ? 0.8f : 0.3f, lit ? 0.35f : 0.28f, 1);
    guibutton(0, " ");
  }
}

void buildscreen(const GodDesign& d, int32_t withfiles) {
  const Nation& n = nations[size_t(d.nation)];
  const int32_t cost = designcost(d);
  guibegin();
  guititle("Pretender God of %s", n.name);
  guicloseid(GD_CANCEL);
  guiminwidth(700);
  guimaxwidth(700);
  guialign(GUIALIGN_LEFT);
  guitextscale(0.85f);
  guisetnl(0);
  guibutton(GD_NAME, "%s", d.name);
  guiinfo("The god's name: click to change it");
  guiindent(420);
  guibutton(GD_PASSWORD, "Password: %s", d.password[0] ? "*****" : "(none)");
  guiinfo("Asked before each of this nation's turns; empty for none");
  guisetnl(1);
  {
    GuiTextScale small(0.7f);
    guibuttoncol(GD_EPITHET, "%s", 0.85f, 0.8f, 0.7f, 1, d.epithet[0] ? d.epithet : "(no epithet yet)");
    guiinfo("The titles the god is known by: click for others");
  }
  guispace(2);

  // The form.
  guisetnl(0);
  guibutton(0, "Form");
  guiindent(110);
  guibutton(GD_FORMPREV, "\xAB");
  guibuttoncol(0, " %s ", gold[0], gold[1], gold[2], 1, unittypes[size_t(d.form)].name);
  guiinfo("%s", formline(d.form));
  guibutton(GD_FORMNEXT, "\xBB");
  guiindent(560);
  guibutton(0, "%d points", formcost(d.form));
  guisetnl(1);
  {
    GuiTextScale small(0.7f);
    guiindent(110);
    guibutton(0, "%s", formline(d.form));
  }
  guispace(2);

  // Paths on the left, scales and awakening on the right, row by row.
  guisetnl(0);
  guishade(0.75f);
  guibutton(0, "Magic");
  guiindent(205);
  guibutton(0, "Points");
  guiindent(300);
  guibutton(0, "Scales of the veyrance");
  guishade(1);
  guisetnl(1);
  for (int32_t row = 0; row < GODPATHS; row++) {
    guisetnl(0);
    const int32_t p = row;
    guibutton(0, "%s", pathnames[p]);
    guiindent(95);
    guibutton(GD_PATHDOWN + p, "-");
    guibuttoncol(0, " %d ", gold[0], gold[1], gold[2], d.path[p] ? 1.0f : 0.45f, d.path[p]);
    guibutton(GD_PATHUP + p, "+");
    guiindent(205);
    guibutton(0, "%d", pathcost(d.form, p, d.path[p]));
    if (row < 6) {
      const int32_t s = row;
      guiindent(300);
      guibutton(0, "%s", scalenames[s][0]);
      guiindent(385);
      guibutton(GD_SCALEFIRST + s, "\xAB");
      guiinfo("A step toward %s", scalenames[s][0]);
      scalecells(d.scale[s]);
      guibutton(GD_SCALESECOND + s, "\xBB");
      guiinfo("A step toward %s", scalenames[s][1]);
      guiindent(560);
      guibutton(0, "%s", scalenames[s][1]);
    } else {
      const int32_t a = row - 6;
      guiindent(300);
      guiradiof(GD_AWAKE + a, d.awakening == a, "%s", awakenings[a]);
      guiinfo("%s", awakeninginfo[a]);
    }
    guisetnl(1);
  }
  guisetnl(0);
  guibutton(0, "Veyrance");
  guiindent(95);
  guibutton(GD_DOMDOWN, "-");
  guibuttoncol(0, " %d ", gold[0], gold[1], gold[2], 1, d.dominion);
  guibutton(GD_DOMUP, "+");
  guiinfo("How strongly the god's veyrance spreads from its temples and changes the provinces it covers");
  guiindent(205);
  guibutton(0, "%d", dominioncost(d.dominion));
  guisetnl(1);

  guispace(3);
  guialign(GUIALIGN_CENTRE);
  guitextscale(1);
  const bool over = cost > DESIGNPOINTS;
  guibuttoncol(0, "Design points: %d of %d", over ? 1.0f : gold[0], over ? 0.3f : gold[1], over ? 0.25f : gold[2], 1,
               cost, DESIGNPOINTS);
  if (over) guiinfo("Too costly: take something away before the god can be used or saved");
  guispace(3);
  guitextscale(0.9f);
  guisetnl(0);
  guibutton(GD_RANDOM, "Random god");
  guibutton(0, "   ");
  if (withfiles) {
    guibutton(GD_SAVE, "Save");
    guibutton(0, "   ");
    guibutton(GD_LOAD, "Load");
    guibutton(0, "   ");
  }
  guibutton(GD_DONE, "Done");
  guibutton(0, "   ");
  guibutton(GD_CANCEL, withfiles ? "Leave" : "Cancel");
  guisetnl(1);
  guispace(2);   // the last row clear of the frame
  guishortcut(GD_DONE, KEY_RETURN);
  guishortcut(GD_CANCEL, KEY_ESCAPE);
  guishow(-1, -1);
}

void asktext(const char* question, char* value, int32_t maxlen) {
  char answer[64];
  strlcopy(answer, value, sizeof answer);
  if (inputstring(question, answer, maxlen, 1)) strlcopy(value, answer, maxlen + 1);
}
}  // namespace

int32_t godesigner(GodDesign& design, int32_t withfiles) {
  GodDesign d = design;
  bool saved = true;
  for (;;) {
    const int32_t id = guimodal([&] { buildscreen(d, withfiles); });
    bool changed = true, redraw = false;
    if (id >= GD_PATHUP && id < GD_PATHUP + GODPATHS) {
      const int32_t p = id - GD_PATHUP;
      redraw = step(d.path[p], 1, 0, imax(MAXDESIGNPATH, basepath(d.form, p)));
    } else if (id >= GD_PATHDOWN && id < GD_PATHDOWN + GODPATHS) {
      const int32_t p = id - GD_PATHDOWN;
      redraw = step(d.path[p], -1, basepath(d.form, p), 255);
    } else if (id >= GD_SCALEFIRST && id < GD_SCALEFIRST + 6) {
      d.scale[id - GD_SCALEFIRST] = int8_t(imin(MAXSCALE, d.scale[id - GD_SCALEFIRST] + 1));
      redraw = true;
    } else if (id >= GD_SCALESECOND && id < GD_SCALESECOND + 6) {
      d.scale[id - GD_SCALESECOND] = int8_t(imax(-MAXSCALE, d.scale[id - GD_SCALESECOND] - 1));
      redraw = true;
    } else if (id >= GD_AWAKE && id < GD_AWAKE + 3) {
      d.awakening = id - GD_AWAKE;
    } else if (id == GD_DOMUP || id == GD_DOMDOWN) {
      d.dominion = imax(MINDOMINION, imin(MAXDOMINION, d.dominion + (id == GD_DOMUP ? 1 : -1)));
      redraw = true;
    } else if (id == GD_FORMPREV || id == GD_FORMNEXT) {
      int32_t forms[MAXGODFORMS];
      const int32_t count = nationforms(d.nation, forms);
      int32_t at = 0;
      while (at < count && forms[at] != d.form) at++;
      at = at >= count ? 0 : (at + (id == GD_FORMNEXT ? 1 : count - 1)) % count;
      // The paths bought stay; the old form's own magic goes with it.
      for (int32_t p = 0; p < GODPATHS; p++)
        if (d.path[p] == basepath(d.form, p)) d.path[p] = 0;
      setform(d, forms[at]);
      redraw = true;
    } else if (id == GD_NAME) {
      asktext("Name of the god", d.name, 35);
      if (!d.name[0]) strlcopy(d.name, design.name[0] ? design.name : unittypes[size_t(d.form)].name, 36);
    } else if (id == GD_PASSWORD) {
      asktext("Password (empty for none)", d.password, 49);
    } else if (id == GD_EPITHET) {
      redraw = true;
    } else if (id == GD_RANDOM) {
      GodDesign r = randomdesign(d.nation, DESIGNPOINTS);
      strlcopy(r.name, d.name, sizeof r.name);
      strlcopy(r.password, d.password, sizeof r.password);
      d = r;
      redraw = true;
    } else if (id == GD_LOAD && withfiles) {
      GodDesign loaded;
      if (choosesaveddesign(d.nation, &loaded)) {
        d = loaded;
        saved = true;
      }
      changed = false;
    } else if (id == GD_SAVE && withfiles) {
      char why[MSGLEN];
      const int32_t slot = savedesign(d, "newlords", why);
      if (slot >= 0) {
        msgbox("%s is saved as design %d of %s.", d.name, slot + 1, nations[size_t(d.nation)].name);
        saved = true;
      } else {
        msgbox("The design was not saved: %s", why);
      }
      changed = false;
    } else if (id == GD_DONE) {
      const char* problem = designproblem(d, DESIGNPOINTS);
      if (problem[0]) {
        msgbox("%s", problem);
        changed = false;
      } else if (!withfiles || saved ||
                 safequestion("", "Leave the designer without saving this god?", "Leave without saving") == ASK_YES) {
        design = d;
        return 1;
      }
      changed = false;
    } else if (id == GD_CANCEL) {
      // Changes are never dropped unasked: unsaved ones in the Game Tools,
      // any in a new game (where Done keeps them).
      if (saved || safequestion("",
                                withfiles ? "Leave the designer without saving this god?"
                                          : "Leave the designer? The changes to this god are lost.",
                                "Leave without saving") == ASK_YES)
        return 0;
      changed = false;
    } else {
      changed = false;
    }
    if (redraw) drawepithet(d);
    if (changed) saved = false;
  }
}

int32_t choosesaveddesign(int32_t nation, GodDesign* out) {
  static int32_t slots[NEWLORDSLOTS];
  static GodDesign designs[NEWLORDSLOTS];
  static bool readable[NEWLORDSLOTS];
  static char why[NEWLORDSLOTS][MSGLEN];
  const int32_t count = listdesigns(nation, slots, NEWLORDSLOTS);
  for (int32_t i = 0; i < count; i++) readable[i] = loaddesign("newlords", nation, slots[i], &designs[i], why[i]) != 0;
  listfromtop(2);
  for (;;) {
    guibegin();
    guititle("Saved Gods of %s", nations[size_t(nation)].name);
    guicloseid(NG_BACK);
    guiminwidth(480);
    guimaxheight(460);
    guialign(GUIALIGN_LEFT);
    guitextscale(0.85f);
    if (count == 0) guibutton(0, "No god of this nation is saved yet.");
    guiscrollstart();
    for (int32_t i = 0; i < count; i++) {
      if (!readable[i]) {
        guibuttoncol(NG_SAVED + i, "Design %d does not read", 1, 0.4f, 0.3f, 1, slots[i] + 1);
        continue;
      }
      const int32_t cost = designcost(designs[i]);
      guibutton(NG_SAVED + i, "%d. %s, %s (%d points)", slots[i] + 1, designs[i].name,
                unittypes[size_t(designs[i].form)].name, cost);
      if (designs[i].epithet[0]) guiinfo("%s", designs[i].epithet);
    }
    guiscrollstart();
    const int32_t id = backandshow(NG_BACK);
    if (id == NG_BACK) return 0;
    if (id < NG_SAVED || id >= NG_SAVED + count) continue;
    const int32_t i = id - NG_SAVED;
    if (!readable[i]) {
      msgbox("%s", why[i]);
      continue;
    }
    const char* problem = designproblem(designs[i], DESIGNPOINTS);
    if (problem[0]) msgbox("This design does not keep to the rules of this game: %s It can be changed before it is used.", problem);
    *out = designs[i];
    return 1;
  }
}

void designertool() {
  allowedplayersgiven = 0;   // every nation of the era, whatever map was chosen last
  for (;;) {
    const int32_t era = selectera(1);
    if (era == 0) return;
    // The nation: a list of the era's nations.
    for (bool back = false; !back;) {
      guibegin();
      guititle("Choose a Nation");
      guicloseid(NG_BACK);
      guiminwidth(420);
      guimaxheight(500);
      guitextscale(0.85f);
      guiscrollstart();
      for (int32_t n = 0; n < MAXPLAYERS; n++) {
        if (!nationplayable(n, era)) continue;
        guibutton(NG_NATION + n, "%s, %s", nations[size_t(n)].name, nations[size_t(n)].epithet);
        char key[32];
        formatbounded(key, sizeof key, "nation%d", n);
        guiinfo("%s", descrtextof(finddescr(key)));
      }
      guiscrollstart();
      const int32_t id = backandshow(NG_BACK);
      if (id == NG_BACK) back = true;
      if (id >= NG_NATION && id < NG_NATION + MAXPLAYERS) {
        GodDesign d = newdesign(id - NG_NATION);
        drawepithet(d);
        godesigner(d, 1);
      }
    }
  }
}
