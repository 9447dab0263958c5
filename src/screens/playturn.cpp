// Choosing a nation of a game and opening its turn: the nation list with
// hosting from the same menu, the turn file read and checked, the battle
// markers, the password, Continue or Redo, and the order file written when
// the main turn screen is left with End turn.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "frontend/frontend.h"
#include "gamefiles/gamefiles.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "host/host.h"
#include "mapview/mapview.h"
#include "mods/mods.h"
#include "runtime/ask.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/hostlock.h"
#include "runtime/options.h"
#include "runtime/stopsignal.h"
#include "runtime/util.h"
#include "screens/replays.h"
#include "screens/turnscreen.h"
#include "screens/unitbox.h"
#include "world/gamedata.h"
#include "world/hoststate.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

char enteredpass[95][50];

namespace {
// Menu ids of the nation list and its questions.
constexpr int32_t PT_HOST = 100, PT_EXIT = 999;
constexpr int32_t AP_CONTINUE = 1, AP_REDO = 2, AP_CANCEL = 3;

// A missing or corrupted turn file ends the program with status 1 after its
// message box: the shut-down hooks run first (window, sound, temp files).
void exitone() { exit(1); }
[[noreturn]] void endwithfailure() {
  fflush(stdout);
  addshutdownhook(exitone);
  fatalerror("");
  exit(1);
}

// "Not everyone has played their turns": true to host anyway, which no key
// answers (Return and Escape keep the month for the players who have not
// played).
bool hostanyway() {
  return safequestion("", "Not everyone has played their turns\nAre you sure you want to advance to the next turn?",
                      "host anyway", nullptr, "cancel") == ASK_YES;
}

// The nation list: 1 + nation, PT_HOST or PT_EXIT.
int32_t nationmenu(const GameScan& s, bool autohost) {
  auto build = [&] {
    guibegin();
    guititle("Play a Nation");
    guimaxheight(570);
    guiminwidth(320);
    if (debuglevel > 0) {
      guibuttonsmall(0, "(turn number %d)", s.hostturn);
      guispace(4);
    }
    {
      GuiTextScale list(0.85f);
      for (const NationTurn& n : s.nations) {
        if (n.damage[0]) {
          guibuttoncol(n.nation + 1, "%s (turn file damaged)", 1, 0.45f, 0.35f, 1, nations[size_t(n.nation)].name);
          guiinfo("This nation's turn file does not read: %s. The next hosting writes it anew", n.damage);
          continue;
        }
        if (n.played && autohost && debuglevel < 1) continue;
        char line[200];
        nationline(line, sizeof line, n.nation, n.turn, n.orderturn, n.played);
        guibutton(n.nation + 1, "%s", line);
      }
      guispace(3);
    }
    if (s.hostfile) {
      guibutton(PT_HOST, "Host");
      guishortcut(PT_HOST, 'h');
    }
    guibutton(PT_EXIT, "Exit");
    guishortcut(PT_EXIT, KEY_ESCAPE);
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (id == PT_EXIT || id == PT_HOST || (id >= 1 && id <= MAXPLAYERS)) return id;
  }
}

// Reads the game information of the host file, or of the first turn file
// that reads; a damaged file is passed over (the list then names it).
void readgameinfo(const char* gname) {
  SoftReadScope soft;
  for (int32_t k = -1; k < MAXPLAYERS; k++) {
    binreadfailed = 0;
    int32_t t = 0;
    UniqueFile f = readfileheader(gname, 0, -1, 1, k, &t, nullptr, nullptr, nullptr);
    if (!f || binreadfailed) continue;
    get_gameinfo(f.get());
    if (!binreadfailed) return;
  }
  binreadfailed = 0;
}

// "You have already played this turn": AP_CONTINUE, AP_REDO or AP_CANCEL.
int32_t alreadyplayed() {
  if (textonly) return confirmbox("You have already played this turn. Continue where you left?") ? AP_CONTINUE : AP_REDO;
  auto build = [&] {
    guibegin();
    guibutton(0, "You have already played this turn");
    guispace(4);
    {
      GuiTextScale choices(0.85f);
      guibutton(AP_CONTINUE, "Continue where I left");
      guishortcut(AP_CONTINUE, KEY_RETURN);
      guibutton(AP_REDO, "Redo turn from start");
      guishortcut(AP_REDO, 'r');
      guispace(4);
    }
    guibutton(AP_CANCEL, "Cancel");
    guishortcut(AP_CANCEL, KEY_ESCAPE);
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (id == AP_CONTINUE || id == AP_REDO || id == AP_CANCEL) return id;
  }
}

void turnpath(char* path, const char* gname, int32_t nation, const char* extension) {
  formatbounded(path, PATHLEN, "%s/%s/%s.%s", savepath, gname, nations[size_t(nation)].fileword, extension);
}

// Why the nation's turn file does not read, or null when it does.
const char* turndamage(const GameScan& s, int32_t nation) {
  for (const NationTurn& n : s.nations)
    if (n.nation == nation && n.damage[0]) return n.damage;
  return nullptr;
}
}  // namespace

// ---------------------------------------------------------------- rules

void nationline(char* out, int32_t size, int32_t nation, int32_t turnnbr, int32_t orderturn, bool played) {
  const char* name = nation >= 0 && nation < MAXNATIONS ? nations[size_t(nation)].name : "?";
  if (played) formatbounded(out, size, "- %s (turn nbr %d)", name, turnnbr);
  else if (debuglevel >= 1) formatbounded(out, size, "%s (turn nbr %d)(2h %d)", name, turnnbr, orderturn);
  else formatbounded(out, size, "%s (turn nbr %d)", name, turnnbr);
}

PlayChoice playstart(int32_t humans, int32_t ready, int32_t lastwaiting, int32_t lastready, bool hostfile,
                     bool autohost, bool firstpass) {
  PlayChoice c;
  if ((humans != 1 || !hostfile) && (!autohost || (humans >= 2 && ready < humans))) return c;
  if (ready >= humans && !firstpass) {
    c.what = PlayStart::host;
    return c;
  }
  c.what = PlayStart::open;
  c.nation = lastwaiting >= 0 ? lastwaiting : lastready;
  return c;
}

bool passwordmatches(const char* entry, const char* nationpass, const char* master) {
  if (!strcmp(entry, nationpass)) return true;
  return master[0] && !strcmp(entry, master);
}

bool passwordknown(int32_t k) {
  if (!password[k][0]) return true;
  return passwordmatches(enteredpass[k], password[k], masterpassword);
}

int32_t markbattles(FILE* f) {
  for (int32_t l = 1; l <= nbrlands && l < MAXLANDS; l++) land[size_t(l)].vpword &= uint16_t(~VPW_BATTLE);
  int32_t n = 0;
  while (n < MAXVCR && find_vcr(0, f)) {
    int32_t lnr = 0, defender = 0, attacker = 0;
    readvcrheader(&lnr, &defender, &attacker, f);
    if (lnr >= 1 && lnr <= nbrlands && lnr < MAXLANDS) land[size_t(lnr)].vpword |= VPW_BATTLE;
    n++;
  }
  return n;
}

int32_t readturnfile(int32_t k, const char* gname, int32_t* turnnbr, int32_t* gamenbr, int32_t* vcrs, char* why,
                     int32_t whysize) {
  clearworld();
  char path[PATHLEN];
  turnpath(path, gname, k, "trn");
  if (!fileexists("%s", path)) {
    debugprint("***** No turn file present (%s)\n", path);
    return -1;
  }
  if (!checkcrc(path)) {
    debugprint("***** Turn file is corrupted (%s)\n", path);
    if (why) formatbounded(why, whysize, "%s", crcproblem);
    return -2;
  }
  // The file passed its checksum; a header or body that does not read all
  // the same is named with the reader's tag, never a bare stop.
  SoftReadScope soft;
  {
    UniqueFile f = restinmemory(readfileheader(gname, 0, -1, 1, k, turnnbr, password[k], nullptr, nullptr));
    if (f && !binreadfailed) {
      *gamenbr = filegamenumber;
      strlcopy(masterpassword, headermasterpass, sizeof masterpassword);
      getturndata(k, f.get());
      if (!binreadfailed) *vcrs = markbattles(f.get());
    }
    if (!f) {
      if (why) gamefileproblem(why, whysize, gname, 0, 1, k);
      binreadfailed = 0;
      return -3;
    }
  }
  if (binreadfailed) {
    if (why) readdamage(why, whysize);
    binreadfailed = 0;
    clearworld();
    return -3;
  }
  debugprint("player %d has %d vcrs\n", k, *vcrs);
  // The month of a turn file whose header says T is T - 1, as the host counts.
  turn = imax(*turnnbr - 1, 0);
  return 1;
}

namespace {
// The orders could not be written (the cause in errno): the file and why.
std::string ordersnotwritten(int32_t k, const char* gname) {
  const int cause = errno ? errno : EIO;
  char path[PATHLEN];
  gamefilepath(path, PATHLEN, gname, 0, k);
  return "Your orders could not be saved. " + fileproblem(path, cause) +
         ". The order file there is left as it was.";
}
void sayordersnotwritten(int32_t k, const char* gname) { msgbox("%s", ordersnotwritten(k, gname).c_str()); }
}  // namespace

OrdersSave saveorders(int32_t k, const char* gname, int32_t turnnbr, int32_t gamenbr, std::string* said) {
  char folder[PATHLEN];
  gamefolder(folder, PATHLEN, gname);
  // Held while the file is written: a host that starts meanwhile waits for
  // it. Busy: a host has started already.
  const GameLockScope lock(folder, false);
  int32_t now = -1;
  {
    SoftReadScope soft;
    UniqueFile trn = readfileheader(gname, gamenbr, -1, 1, k, &now, nullptr, nullptr, nullptr);
    if (!trn || binreadfailed) now = -1;
  }
  char text[MSGLEN] = "";
  OrdersSave saved = OrdersSave::written;
  errno = 0;
  if (now > turnnbr) {
    formatbounded(text, MSGLEN,
                  "While you played, %s was hosted: it is at turn %d now. These orders were for turn %d and were "
                  "not saved; open the game again to play the new turn.",
                  gname, now, turnnbr);
    saved = OrdersSave::monthhosted;
  } else if (!write2hfile(k, gname, turnnbr, gamenbr)) {
    strlcopy(text, ordersnotwritten(k, gname).c_str(), MSGLEN);
    saved = OrdersSave::notwritten;
  } else if (lock.state() == GameLock::busy) {
    formatbounded(text, MSGLEN,
                  "%s is being hosted right now. The host started before these orders were saved, so they go into "
                  "the month only if it had not read the order files yet.",
                  gname);
  }
  if (said) *said = text;
  else if (text[0]) msgbox("%s", text);
  return saved;
}

// The game's own mods, each in the mods folder, become the enabled list and
// build the tables; a missing one is named and the game does not open.
int32_t enablegamemodsforplay() {
  if (!ConfirmGameInfoMods()) return 0;
  EnableGameInfoMods();
  applymods();
  return 1;
}

// ---------------------------------------------------------------- the nation list

void playturn(const char* gname) {
  debugprint("playturn: %s\n", gname);
  if (hostmode || superhost) {
    hostgame(gname);
    return;
  }
  bool firstpass = true;
  // Set when a nation was opened without the list: a wrong password or a
  // cancelled opening then leaves.
  bool leaveonfailure = false;
  for (;;) {
    if (quitprogram) return;
    // The list and its questions stand over the menu's backdrop, not over
    // the map that a turn screen left behind.
    guisetfade(0);
    setbgscene(Scene::menu);
    debugprint("  for real\n");
    finishhostcommit(gname);
    clearworld();
    readgameinfo(gname);
    if (!enablegamemodsforplay()) return;
    const GameScan s = scangame(gname);
    const bool autohost = gameinfo.autohost != 0;
    debugprint("playturn: autohost %d readypl %d humanpl %d\n", autohost, s.ready, s.humans);
    const PlayChoice start =
        playstart(s.humans, s.ready, s.lastwaiting, s.lastready, s.hostfile, autohost, firstpass);
    int32_t choice = 0;
    leaveonfailure = false;
    if (start.what == PlayStart::host) {
      choice = PT_HOST;
    } else if (start.what == PlayStart::open) {
      bailif(start.nation < 0, "pt: no lastplayer");
      choice = start.nation + 1;
      leaveonfailure = true;
    } else {
      choice = nationmenu(s, autohost);
      if (choice == PT_HOST && s.ready < s.humans && !hostanyway()) choice = 0;
    }
    firstpass = false;
    if (choice == PT_EXIT) return;
    if (choice == PT_HOST) {
      const int hosted = hostscanned(gname, s);
      // The host's own line says why: another host, order files still
      // written, a lock that cannot be taken, a month made meanwhile.
      if (hosted == HOSTBUSY) msgbox("%s", hostproblem().c_str());
      else if (!hosted && hostproblem().empty()) msgbox("The turn of %s could not be hosted", gname);
      else if (!hosted) msgbox("The turn of %s could not be hosted.\n\n%s", gname, hostproblem().c_str());
      continue;
    }
    if (choice < 1 || choice > MAXPLAYERS) continue;
    if (const char* damage = turndamage(s, choice - 1)) {
      char path[PATHLEN];
      turnpath(path, gname, choice - 1, "trn");
      msgbox("The turn file of %s, %s, does not read: %s. The next hosting writes it anew.",
             nations[size_t(choice - 1)].name, path, damage);
      continue;
    }
    guibegin();
    guishow(-1, -1);
    render_frame(false, Scene::none);
    if (ppt(choice - 1, gname) < 0 && leaveonfailure) return;
  }
}

// ---------------------------------------------------------------- closing the window during a turn

namespace {

// The window's close (the window manager's, Alt+F4) during a turn asks what
// becomes of the month's orders, as the Options menu's quitting does; the
// program ends unless the player goes back to the turn. Orders that stand
// in the order file as they are (saved, or opened again with Continue, and
// not changed since) lose nothing: the program ends without a question.
// During a replay the turn's world is set aside and the question is asked.
void askclosingturn() {
  const TurnScreen& ts = turnscreen;
  if (!worldisaside() && orderfileholds(ts.nation, ts.gname, ts.turnnbr, ts.gamenbr)) fatalerror("");
  switch (safequestion("", "Quit the game? The orders of this turn are not saved yet.", "Quit without saving",
                       "Save and quit")) {
    case ASK_SAVE: {
      // A replay's world stands in the tables: the turn's own comes back first.
      const bool replaying = worldisaside();
      if (replaying) restoreworld();
      errno = 0;
      if (write2hfile(ts.nation, ts.gname, ts.turnnbr, ts.gamenbr)) fatalerror("");
      sayordersnotwritten(ts.nation, ts.gname);
      // The replay cannot go on over the turn's world.
      if (replaying) fatalerror("");
      return;
    }
    case ASK_YES: fatalerror(""); return;
    default: return;
  }
}

// A signal that asks the program to stop during a turn (a shutdown, a
// kill, Ctrl+C) saves the month's orders as End turn does, with nobody to
// answer a box: what the player would be told goes to the log. The
// program then ends, with status 1 when the orders could not be written.
void saveturnonstop() {
  const TurnScreen& ts = turnscreen;
  // A replay's world stands in the tables: the turn's own comes back first.
  if (worldisaside()) restoreworld();
  std::string said;
  const OrdersSave saved = saveorders(ts.nation, ts.gname, ts.turnnbr, ts.gamenbr, &said);
  if (saved == OrdersSave::written) printf("The orders of %s are saved\n", nations[size_t(ts.nation)].name);
  if (!said.empty()) printf("%s\n", said.c_str());
  if (saved == OrdersSave::notwritten) endwithfailure();
}

// The close question and the stop on a signal stand while the turn screen
// is shown.
struct TurnEndingScope {
  TurnEndingScope() : signals(saveturnonstop) { setclosequestion(askclosingturn); }
  ~TurnEndingScope() { setclosequestion(nullptr); }
  TurnEndingScope(const TurnEndingScope&) = delete;
  TurnEndingScope& operator=(const TurnEndingScope&) = delete;
  StopSignalScope signals;
};
}  // namespace

// ---------------------------------------------------------------- opening a turn

int32_t ppt(int32_t k, const char* gname) {
  bailif(k < 0 || k >= MAXPLAYERS, "ppt: bad player");
  clearworld();
  int32_t orderturn = -1, ordergame = -1;
  {
    UniqueFile o = readfileheader(gname, 0, -1, 0, k, &orderturn, nullptr, nullptr, nullptr);
    if (o) ordergame = filegamenumber;
    else orderturn = -1;
  }
  int32_t turnnbr = 0, gamenbr = 0, vcrs = 0;
  char why[200] = "";
  const int32_t read = readturnfile(k, gname, &turnnbr, &gamenbr, &vcrs, why, sizeof why);
  if (read < 0) {
    char path[PATHLEN];
    turnpath(path, gname, k, "trn");
    if (read == -1) msgbox("No turn file present\n%s", path);
    else if (read == -2) msgbox("Turn file is corrupted\n%s: %s", path, why);
    else msgbox("The turn file %s does not read: %s", path, why);
    endwithfailure();
  }
  if (orderturn >= 0 && ordergame != gamenbr) {
    debugprint("***** Warning: 2h file from another game\n");
    orderturn = -1;
  }
  debugprint("ppt: gameturn %d turn %d\n", turnnbr, orderturn);

  if (orderturn == turnnbr) {
    const int32_t answer = alreadyplayed();
    if (answer == AP_CANCEL) return -1;
    if (answer == AP_CONTINUE) {
      char orderpath[PATHLEN];
      turnpath(orderpath, gname, k, "2h");
      if (checkcrc(orderpath)) {
        int32_t t = 0;
        UniqueFile o = readfileheader(gname, gamenbr, -1, 0, k, &t, nullptr, nullptr, nullptr);
        if (!o) fatalerror("ppt: skumt fel!");
        const ReadingFileScope reading(orderpath);
        get2hdata(k, o.get(), 0);
      } else {
        msgbox("%s't turn file is corrupted and will not be used", nations[size_t(k)].name);
      }
    }
  }

  // A cancelled prompt leaves the entry empty, which no nation's password
  // is: it is a wrong password like any other.
  if (!passwordknown(k)) {
    char entry[PASSWORDLEN + 1] = {};
    char title[200];
    formatbounded(title, sizeof title, "Enter password for %s", nations[size_t(k)].name);
    inputpassword(title, entry, PASSWORDLEN, 1);
    if (!passwordmatches(entry, password[k], masterpassword)) {
      msgbox("Wrong Password!");
      return -2;
    }
    strlcopy(enteredpass[k], entry, sizeof enteredpass[k]);
  }

  // The map image stays loaded: picking and the camera's limits read its size.
  openmapview(gname);
  bugcheck(9);
  {
    TurnEndingScope ending;
    openturnscreen(kingdom[size_t(k)].w[KW_HOMELAND], k, vcrs, gname, turnnbr, gamenbr, 1);
    // Orders that could not be written keep the player in the turn with
    // every order, to end it again once the disc has room.
    do runturnscreen();
    while (!quitprogram && saveorders(k, gname, turnnbr, gamenbr) == OrdersSave::notwritten);
  }
  return 1;
}

void installturnscreens() {
  setplaygame(playturn);
  setunitfatalhook(unitfatalbox);
}
