// The screens of a new game that world creation asks through its hooks: the
// era, the participants (each nation none, human or a computer at one of
// five levels, and opponents drawn at random), the god of every human
// player, and the game settings with the victory conditions.
#include <cstring>

#include "frontend/frontend.h"
#include "gamefiles/gamefiles.h"
#include "gfx/gui.h"
#include "runtime/ask.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/world.h"
#include "worldgen/gamesetup.h"
#include "worldgen/worldgen.h"

char designsgame[100] = {};

const char* const eranames[3] = {"Early Era", "Middle Era", "Late Era"};
const char* const erainfos[3] = {
    "An age of old magic: the gods walk close to the world, and the first kingdoms raise their temples.",
    "An age of empires and faiths: magic has thinned, and armies and trade decide much.",
    "An age of twilight: the old powers fade, and strange peoples rise from their ruins."};

namespace {

// The gods chosen on this road, kept while the player goes back and forth:
// a nation's god stays until the nation is no longer played by a human.
struct KeptGod {
  bool kept = false;
  GodDesign design;
};
KeptGod keptgods[MAXPLAYERS];
// Set when the gods were all chosen: the next time the gods are asked the
// player came back from the settings, to the last human's god.
bool godsdone = false;

void okback(const char* ok) {
  guialign(GUIALIGN_CENTRE);
  guitextscale(1);
  guispace(4);
  guisetnl(0);
  guibutton(NG_OK, "%s", ok);
  guibutton(0, "      ");
  guibutton(NG_BACK, "Back");
  guisetnl(1);
  guishortcut(NG_OK, KEY_RETURN);
  guishortcut(NG_BACK, KEY_ESCAPE);
}

int32_t erascreen() {
  for (;;) {
    guibegin();
    guititle("Choose Era");
    guicloseid(NG_BACK);
    guiminwidth(380);
    guimaxwidth(420);
    guispace(2);
    for (int32_t e = 0; e < 3; e++) {
      guibuttonlarge(NG_ERA + e + 1, "%s", eranames[e]);
      guiinfo("%s", erainfos[e]);
      guishortcut(NG_ERA + e + 1, '1' + e);
      guispace(2);
    }
    const int32_t id = backandshow(NG_BACK);
    if (id > NG_ERA && id <= NG_ERA + 3) return id - NG_ERA;
    if (id == NG_BACK) return 0;
  }
}

// ---------------------------------------------------------------- participants

// A controller as one step of the cycle: 0 none, 1 human, 2..6 a computer
// at level 1..5.
int32_t stepof(int32_t index) {
  if (index < 0) return 0;
  const Participant& p = participants[index];
  return p.controller == CTRL_HUMAN ? 1 : 1 + p.ailevel;
}
const char* stepname(int32_t step) { return step == 0 ? "None" : step == 1 ? "Human" : ailevelnames[step - 1]; }
void stepcolour(int32_t step, float* c) {
  const float none[3] = {0.55f, 0.55f, 0.55f}, human[3] = {1, 0.85f, 0.45f}, computer[3] = {0.6f, 0.8f, 1};
  memcpy(c, step == 0 ? none : step == 1 ? human : computer, sizeof none);
}
void setstep(int32_t nation, int32_t step) {
  setparticipant(nation, step == 0 ? CTRL_NONE : step == 1 ? CTRL_HUMAN : CTRL_AI, step - 1);
}

int32_t participantsscreen(int32_t era) {
  godsdone = false;
  listfromtop(1);
  auto build = [&] {
    guibegin();
    guititle("Choose Participants");
    guicloseid(NG_BACK);
    guiminwidth(580);
    guimaxwidth(580);
    guimaxheight(540);
    guitextscale(0.8f);
    guibutton(0, "Click a nation to change who plays it: nobody, a human or the computer.");
    guispace(2);
    guialign(GUIALIGN_LEFT);
    guisetnl(0);
    guishade(0.75f);
    guibutton(0, "Nation");
    guiindent(380);
    guibutton(0, "Played by");
    guisetnl(1);
    guishade(1);
    guiseparator();
    guiscrollstart();
    int32_t row = 0;
    auto line = [&](int32_t id, const char* name, const char* info, int32_t step) {
      if (row++ % 2) guibgbox(1, 0.9f, 0.7f, 0.07f);
      else guibgbox(0, 0, 0, 0);
      float c[3];
      stepcolour(step, c);
      guisetnl(0);
      guibutton(id, "%s", name);
      if (info) guiinfo("%s", info);
      guiindent(380);
      guibuttoncol(id, "%s", c[0], c[1], c[2], 1, stepname(step));
      guiinfo("Click: the next choice; right click: the one before");
      guisetnl(1);
    };
    for (int32_t i = 0; i <= highestparticipant; i++)
      if (participants[i].nation < 0) line(NG_RANDOM + i, "A nation drawn at random", nullptr, stepof(i));
    for (int32_t n = 0; n < MAXPLAYERS; n++) {
      if (!nationplayable(n, era)) continue;
      char key[32], name[120];
      formatbounded(key, sizeof key, "nation%d", n);
      formatbounded(name, sizeof name, "%s, %s", nations[size_t(n)].name, nations[size_t(n)].epithet);
      line(NG_NATION + n, name, descrtextof(finddescr(key)), stepof(participantof(n)));
    }
    guibgbox(0, 0, 0, 0);
    guiscrollstart();
    guialign(GUIALIGN_CENTRE);
    guispace(2);
    guibutton(NG_ADDRANDOM, "Add an opponent drawn at random");
    okback("Ok");
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    const int32_t key = id < 0 ? -id : id, turn = id < 0 ? 6 : 1;   // a right click steps back
    if (id == NG_BACK) return 0;
    if (id == NG_OK) {
      const char* problem = participantsproblem(era, 1);
      if (!problem[0]) return 1;
      msgbox("%s", problem);
    } else if (id == NG_ADDRANDOM) {
      addparticipant(-1, CTRL_AI, 2);
    } else if (key >= NG_NATION && key < NG_NATION + MAXPLAYERS) {
      const int32_t n = key - NG_NATION;
      setstep(n, (stepof(participantof(n)) + turn) % 7);
    } else if (key >= NG_RANDOM && key <= NG_RANDOM + highestparticipant && participants[key - NG_RANDOM].nation < 0) {
      // A drawn opponent cycles through the computer's levels and none.
      const int32_t i = key - NG_RANDOM, step = (stepof(i) + turn) % 7;
      if (step < 2) removeparticipant(i);
      else participants[i].ailevel = step - 1;
    }
  }
}

// ---------------------------------------------------------------- the gods

void forgetgod(int32_t nation) {
  if (!keptgods[nation].kept) return;
  keptgods[nation].kept = false;
  if (!designsgame[0]) return;
  char path[PATHLEN];
  gamefilepath(path, PATHLEN, designsgame, 0, nation);
  remove(path);
}

// One line on a kept god: name, form and points.
void keptgodline(const GodDesign& d) {
  GuiTextScale small(0.85f);
  guibuttoncol(0, "%s, %s (%d points)", 1, 0.85f, 0.45f, 1, d.name, unittypes[size_t(d.form)].name, designcost(d));
  if (d.epithet[0]) guiinfo("%s", d.epithet);
}

// The god of one human nation: kept, designed, loaded or drawn, then saved
// into the game's folder. 1 when chosen, 0 when the player went back (the
// god chosen before stays).
int32_t godofnation(int32_t nation, const char* gname) {
  KeptGod& kept = keptgods[nation];
  for (;;) {
    int32_t slots[NEWLORDSLOTS];
    const int32_t saved = listdesigns(nation, slots, NEWLORDSLOTS);
    guibegin();
    guititle("The God of %s", nations[size_t(nation)].name);
    guicloseid(NG_BACK);
    guiminwidth(440);
    guimaxwidth(480);
    {
      GuiTextScale small(0.85f);
      guitextlong(0, "Design the pretender god who leads this nation to its throne, take one that you saved, or let "
                     "chance give it one.");
    }
    guispace(4);
    if (kept.kept) {
      keptgodline(kept.design);
      guispace(2);
      guibuttonlarge(NG_KEEPGOD, "Keep this god");
      guishortcut(NG_KEEPGOD, KEY_RETURN);
      guibuttonlarge(NG_CHANGEGOD, "Change this god");
      guishortcut(NG_CHANGEGOD, 'c');
      guispace(2);
    }
    guibuttonlarge(NG_DESIGN, "Design a new god");
    guishortcut(NG_DESIGN, 'd');
    guispace(2);
    if (saved > 0) {
      guibuttonlarge(NG_LOAD, "Load a saved design");
      guishortcut(NG_LOAD, 'l');
    } else {
      guibuttoncol(0, "Load a saved design", 1, 1, 1, 0.35f);
      guiinfo("No design of this nation is saved yet");
    }
    guispace(2);
    guibuttonlarge(NG_RANDOMGOD, "A random god");
    guishortcut(NG_RANDOMGOD, 'r');
    const int32_t id = backandshow(NG_BACK);
    GodDesign d;
    bool chosen = false;
    if (id == NG_BACK) return 0;
    if (id == NG_KEEPGOD && kept.kept) {
      d = kept.design;
      chosen = true;
    } else if (id == NG_CHANGEGOD && kept.kept) {
      d = kept.design;
      chosen = godesigner(d, 0) != 0;
    } else if (id == NG_DESIGN) {
      d = newdesign(nation);
      drawepithet(d);
      chosen = godesigner(d, 0) != 0;
    } else if (id == NG_LOAD && saved > 0) {
      chosen = choosesaveddesign(nation, &d) && godesigner(d, 0);
    } else if (id == NG_RANDOMGOD) {
      d = randomdesign(nation, DESIGNPOINTS);
      drawepithet(d);
      chosen = godesigner(d, 0) != 0;
    }
    if (!chosen) continue;
    char why[MSGLEN];
    if (savedesign(d, gname, why) >= 0) {
      kept.kept = true;
      kept.design = d;
      return 1;
    }
    msgbox("The god of %s could not be kept for the game: %s", nations[size_t(nation)].name, why);
  }
}

int32_t godsscreen(int32_t era, const char* gname) {
  (void)era;
  // Gods of nations that no human plays any more go; gods saved under a
  // name given before go to the game's present name.
  for (int32_t k = 0; k < MAXPLAYERS; k++)
    if (kingdom[size_t(k)].w[KW_CONTROLLER] != CTRL_HUMAN) forgetgod(k);
  if (designsgame[0] && strcmp(designsgame, gname) != 0) removegamefiles(designsgame);
  strlcopy(designsgame, gname, sizeof designsgame);
  int32_t humans[MAXPLAYERS], count = 0;
  for (int32_t k = 0; k < MAXPLAYERS; k++)
    if (kingdom[size_t(k)].w[KW_CONTROLLER] == CTRL_HUMAN) humans[count++] = k;
  // Back from the settings: the last human's god; Escape on a god's screen
  // goes to the one before.
  int32_t at = godsdone ? count - 1 : 0;
  godsdone = false;
  while (at >= 0 && at < count) at += godofnation(humans[at], gname) ? 1 : -1;
  godsdone = at >= count;
  return godsdone ? 1 : 0;
}

// ---------------------------------------------------------------- settings

const char* valuetext(const NewGameSetting& s) {
  static char text[64];
  const int32_t v = settingvalue(s);
  int32_t low, high;
  settingrange(s, &low, &high);
  if (s.names && v >= low && v <= high) return s.names[v - low];
  formatbounded(text, sizeof text, "%d", v);
  return text;
}

// A row's popup: what the setting does, and the switch that sets it.
void settinginfo(const NewGameSetting& s) {
  if (s.option) guiinfo("%s (%s)", s.effect, s.option);
  else guiinfo("%s", s.effect);
}

// The map's own values stand over two of the settings.
int32_t mapoverride(const NewGameSetting& s) {
  if (s.value == &indepstr) return mapindepstr;
  if (s.value == &magicsites) return mapsitefreq;
  return -1;
}

void changesetting(const NewGameSetting& s, bool back) {
  int32_t low, high;
  settingrange(s, &low, &high);
  const int32_t v = settingvalue(s);
  if (s.toggle) {
    // The check box has flipped the value itself. Without information on
    // other nations there are no score graphs either.
    if (s.value == &nonationinfo && nonationinfo) noscoregraphs = 1;
  } else if (s.names) {
    *s.value = back ? (v <= low ? high : v - 1) : (v >= high ? low : v + 1);
  } else {
    char question[200];
    formatbounded(question, sizeof question, "%s (%d-%d)", s.label, low, high);
    // The box opens with the value and says the range of a number outside
    // it; Cancel keeps the value.
    const int32_t answer = inputnumberbox(low, high, question, v);
    if (answer >= low && answer <= high) *s.value = answer;
  }
}

// The rows of one settings screen (0 game settings, 1 victory conditions).
void settingrows(int32_t screen) {
  guialign(GUIALIGN_LEFT);
  guitextscale(0.85f);
  for (int32_t i = 0; i < nbrnewgamesettings; i++) {
    const NewGameSetting& s = newgamesettings[i];
    if (s.screen != screen) continue;
    if (s.toggle) {
      guitoggle(NG_SETTING + i, s.value, "%s", s.label);
    } else {
      guisetnl(0);
      guibutton(NG_SETTING + i, "%s", s.label);
      settinginfo(s);
      guiindent(360);
      if (mapoverride(s) >= 0) guibuttoncol(0, "%d (the map's)", 0.7f, 0.7f, 0.7f, 1, mapoverride(s));
      else guibuttoncol(NG_SETTING + i, "%s", 1, 0.85f, 0.45f, 1, valuetext(s));
      guisetnl(1);
    }
    settinginfo(s);
  }
  guialign(GUIALIGN_CENTRE);
}

void victoryscreen() {
  auto build = [&] {
    guibegin();
    guititle("Victory Conditions");
    guicloseid(NG_OK);
    guiminwidth(560);
    guimaxwidth(560);
    guitextscale(0.8f);
    guitextlong(0, "Victory points lie in provinces of the world. A nation that holds the points needed wins the "
                   "game; without victory points the last god standing wins.");
    guispace(3);
    settingrows(1);
    guitextscale(1);
    guispace(4);
    guiexitbutton(NG_OK, "Ok");
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    const int32_t key = id < 0 ? -id : id;
    if (id == NG_OK) return;
    if (key >= NG_SETTING && key < NG_SETTING + nbrnewgamesettings) changesetting(newgamesettings[key - NG_SETTING], id < 0);
    char fitted[200];
    if (fitrequiredvp(fitted, sizeof fitted)) msgbox("%s", fitted);
  }
}

int32_t settingsscreen() {
  auto build = [&] {
    guibegin();
    guititle("Game Settings");
    guicloseid(NG_BACK);
    guiminwidth(560);
    guimaxwidth(560);
    settingrows(0);
    guialign(GUIALIGN_LEFT);
    guisetnl(0);
    guibutton(NG_PASSWORD, "Master password");
    guiinfo("Opens every nation's turn, for the one who hosts the game");
    guiindent(360);
    guibuttoncol(NG_PASSWORD, "%s", 1, 0.85f, 0.45f, 1, masterpass[0] ? masterpass : "(none)");
    guisetnl(1);
    guialign(GUIALIGN_CENTRE);
    guispace(3);
    guibutton(NG_VICTORY, "Victory Conditions");
    guishortcut(NG_VICTORY, 'v');
    okback("Create the world");
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    const int32_t key = id < 0 ? -id : id;
    if (id == NG_OK) return 1;
    if (id == NG_BACK) return 0;
    if (id == NG_VICTORY) victoryscreen();
    if (key == NG_PASSWORD) {
      char pass[50];
      strlcopy(pass, masterpass, sizeof pass);
      if (inputstring("Master password (empty for none)", pass, 49, 1)) strlcopy(masterpass, pass, sizeof masterpass);
    }
    if (key >= NG_SETTING && key < NG_SETTING + nbrnewgamesettings) changesetting(newgamesettings[key - NG_SETTING], id < 0);
  }
}
}  // namespace

void forgetnewgamegods() {
  for (KeptGod& g : keptgods) g.kept = false;
  godsdone = false;
}

void installnewgamescreens() {
  static const NewGameScreens screens = {erascreen, participantsscreen, godsscreen, settingsscreen};
  setnewgamescreens(&screens);
}
