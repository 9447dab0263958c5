// The message list, reading a message, and the Messages screen with the
// letters and gifts to other nations.
#include "screens/messages.h"

#include <cstring>

#include "actions/letters.h"
#include "gfx/dialogs.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "runtime/options.h"
#include "runtime/util.h"
#include "screens/replays.h"
#include "screens/turnscreen.h"
#include "world/gamedata.h"
#include "world/hoststate.h"
#include "world/rules.h"
#include "world/world.h"

namespace {
constexpr int32_t ML_EXIT = 999, ML_FIRST = 1000;   // + message number
constexpr int32_t MM_READ = 1, MM_WRITE = 2, MM_EXIT = 999, MM_WITHDRAW = 100;   // + slot
constexpr int32_t RM_GOTO = 1, RM_WATCH = 2, RM_CLOSE = 999;
constexpr int32_t LETTERLEN = 400;

bool validplayer(int32_t p) { return p >= 0 && p < MAXPLAYERS; }

// A line of a menu chosen in the window (or the console): the id, 0 none.
int32_t choose(const std::vector<MenuLine>& lines) {
  menubegin();
  for (const MenuLine& l : lines) menuline(l.id, l.text);
  menushow();
  return menuwait();
}

// Asks what the letter carries: the gift code and amount; false when left.
bool askgift(int32_t p, int32_t* gift, int32_t* amount) {
  const Kingdom& k = kingdom[size_t(p)];
  std::vector<MenuLine> lines;
  auto line = [&](int32_t id, const char* format, auto... args) {
    MenuLine l{id, {}};
    formatbounded(l.text, MENULINELEN, format, args...);
    lines.push_back(l);
  };
  line(0, "What goes with the letter?");
  line(1000, "Nothing");
  if (k.gold > 0) line(1000 + PG_GOLD, "Gold (%d in the treasury)", k.gold);
  for (int32_t g = 0; g < 8; g++)
    if (k.w[KW_GEMS + g] > 0) line(1000 + PG_GEMS + g, "%s (%d)", gemtitles[g], k.w[KW_GEMS + g]);
  for (int32_t i = 0; i < LABSTORESIZE; i++) {
    const int32_t it = k.w[KW_LABSTORE + i];
    if (validitem(it)) line(2000 + i, "%s", items[size_t(it)].name);
  }
  line(999, "Cancel");
  const int32_t id = choose(lines);
  if (id == 1000) {
    *gift = PG_NONE;
    *amount = 0;
    return true;
  }
  if (id >= 2000 && id < 2000 + LABSTORESIZE) {
    *gift = PG_ITEM;
    *amount = id - 2000;
    return true;
  }
  if (id == 1000 + PG_GOLD) {
    *gift = PG_GOLD;
    *amount = inputnumber(1, k.gold, "How much gold?");
    return *amount >= 1;
  }
  if (id >= 1000 + PG_GEMS && id < 1000 + PG_GEMS + 8) {
    *gift = id - 1000;
    *amount = inputnumber(1, k.w[KW_GEMS + *gift - PG_GEMS], "How many?");
    return *amount >= 1;
  }
  return false;
}

// The foot of a scrolling window: "Close" (Escape and Enter too), the
// window shown where its scroll slot left it, and the id chosen.
int32_t closeandshow(int32_t closeid, int32_t slot) {
  guiexitbutton(closeid, "Close");
  guisetnl(1);
  restorescrollslot(slot);
  guishow(-1, -1);
  const int32_t id = render_frame(true, Scene::none);
  savescrollslot(slot);
  return id;
}

void writeletter(int32_t p) {
  const std::vector<int32_t> to = letterreceivers(p);
  if (to.empty()) {
    msgbox("%s", cansendletter(p, -1, PG_NONE, 0).why.c_str());   // the check's "no nation" sentence
    return;
  }
  std::vector<MenuLine> lines;
  lines.push_back({0, "Send a message to"});
  for (int32_t r : to) {
    MenuLine l{1 + r, {}};
    formatbounded(l.text, MENULINELEN, "%s", nations[size_t(r)].name);
    lines.push_back(l);
  }
  lines.push_back({999, "Cancel"});
  const int32_t chosen = choose(lines);
  if (chosen < 1 || chosen > MAXPLAYERS) return;
  char text[LETTERLEN + 1] = {};
  char title[200];
  formatbounded(title, sizeof title, "Message to %s", nations[size_t(chosen - 1)].name);
  if (!inputstring(title, text, LETTERLEN, 1)) return;
  int32_t gift = PG_NONE, amount = 0;
  if (!askgift(p, &gift, &amount)) return;
  if (Refusal r = sendletter(p, chosen - 1, text, gift, amount)) msgbox("%s", r.why.c_str());
}
}  // namespace

// ---------------------------------------------------------------- rules

std::vector<int32_t> playermessages(int32_t p) {
  std::vector<int32_t> out;
  for (int32_t m = 0; m <= highestmsg && m < MAXMSG; m++)
    if (message[size_t(m)].type != MT_FREE && (message[size_t(m)].player == p || message[size_t(m)].player == MSG_ALLPLAYERS))
      out.push_back(m);
  return out;
}

void messagetitle(int32_t m, char* out, int32_t size) {
  const char* text = message[size_t(m)].text;
  int32_t n = 0;
  while (n < MSGTEXTLEN - 1 && text[n] && text[n] != '\n') n++;
  n = imin(n, size - 1);
  memcpy(out, text, size_t(n));
  out[n] = 0;
  if (!n) strlcopy(out, "(no text)", size);
}

void letterline(int32_t p, int32_t slot, char* out, int32_t size) {
  const PMess& m = pmess[p][slot];
  char gift[120] = "";
  if (m.b1 == PG_GOLD) formatbounded(gift, sizeof gift, " (with %d gold)", m.value);
  else if (m.b1 >= PG_GEMS && m.b1 < PG_GEMS + 8) formatbounded(gift, sizeof gift, " (with %d %s)", m.value, gemtitles[m.b1 - PG_GEMS]);
  else if (m.b1 == PG_ITEM && validitem(m.value)) formatbounded(gift, sizeof gift, " (with %s)", items[size_t(m.value)].name);
  const char* to = m.b0 < MAXNATIONS ? nations[m.b0].name : "?";
  char text[40];
  strlcopy(text, m.text, sizeof text);
  formatbounded(out, size, "To %s: %s%s%s", to, text, strlen(m.text) >= sizeof text - 1 ? "..." : "", gift);
}

// ---------------------------------------------------------------- screens

int32_t readmsg(int32_t m) {
  bailif(m < 0 || m >= MAXMSG, "readmsg: bad msg");
  const Message& msg = message[size_t(m)];
  const bool place = msg.land >= 1 && msg.land <= nbrlands;
  if (textonly) {
    textinfobox("Message", msg.text, 0);
    return 0;
  }
  resetscrollslot(2);
  for (;;) {
    guibegin();
    guititle("Message");
    guicloseid(RM_CLOSE);
    guimaxwidth(560);
    guiminwidth(360);
    guimaxheight(480);
    guialign(GUIALIGN_LEFT);
    guiscrollstart();
    {
      GuiTextScale body(0.8f);
      guitextlong(0, msg.text);
    }
    guiscrollstart();
    guialign(GUIALIGN_CENTRE);
    guispace(3);
    guisetnl(0);
    if (place) {
      guibutton(RM_GOTO, "Go to %s   ", land[size_t(msg.land)].name);
      guishortcut(RM_GOTO, 'g');
    }
    const bool battle = msg.type == MT_BATTLE && msg.subj[0] > 0;
    if (battle) {
      guibutton(RM_WATCH, "Watch the battle   ");
      guishortcut(RM_WATCH, 'w');
    }
    const int32_t id = closeandshow(RM_CLOSE, 2);
    if (id == RM_CLOSE) return 0;
    if (id == RM_GOTO && place) return 1;
    if (id == RM_WATCH && battle) return 2;
  }
}

void viewmsgs(int32_t p, const char* gname) {
  bailif(!validplayer(p), "viewmsgs: bad player");
  resetscrollslot(1);
  for (;;) {
    const std::vector<int32_t> list = playermessages(p);
    if (textonly) {
      for (int32_t m : list) textinfobox("Message", message[size_t(m)].text, 0);
      return;
    }
    guibegin();
    guititle("Messages");
    guicloseid(ML_EXIT);
    guiminwidth(420);
    guimaxwidth(620);
    guimaxheight(500);
    guialign(GUIALIGN_LEFT);
    guitextscale(0.8f);
    guiscrollstart();
    if (list.empty()) guibutton(0, "There are no messages this month.");
    for (int32_t m : list) {
      char title[200], full[200];
      messagetitle(m, full, sizeof full);
      const Message& msg = message[size_t(m)];
      if (msg.land >= 1 && msg.land <= nbrlands) {
        char place[60];
        formatbounded(place, sizeof place, "  (%s)", land[size_t(msg.land)].name);
        strlcopy(title, CutTextDots(full, 30.0f - textwidth(place)), sizeof title);
        strlappend(title, place, sizeof title);
      } else {
        strlcopy(title, CutTextDots(full, 30.0f), sizeof title);
      }
      guibutton(ML_FIRST + m, "%s", title);
      if (strncmp(title, full, strlen(full)) != 0) guiinfo("%s", full);
    }
    guiscrollstart();
    guialign(GUIALIGN_CENTRE);
    guitextscale(1);
    guispace(3);
    const int32_t id = closeandshow(ML_EXIT, 1);
    if (id == ML_EXIT) return;
    const int32_t m = iabs(id) - ML_FIRST;
    if (m < 0 || m >= MAXMSG || message[size_t(m)].type == MT_FREE) continue;
    const int32_t read = readmsg(m);
    if (read == 2) gotomsg(p, gname, m, 0);
    if (read == 1) {
      turnscreen.gotoprov = message[size_t(m)].land;
      return;
    }
  }
}

void messagesmenu(int32_t p, const char* gname) {
  bailif(!validplayer(p), "messagesmenu: bad player");
  auto build = [&] {
    const std::vector<int32_t> letters = pendingletters(p);
    guibegin();
    guititle("Messages");
    guicloseid(MM_EXIT);
    guiminwidth(420);
    guimaxwidth(640);
    guibutton(MM_READ, "Read messages (%d)", int32_t(playermessages(p).size()));
    guibutton(MM_WRITE, "Send a message");
    guiinfo("A letter to another nation, with gold, gems or a magic item if you like. It arrives next month.");
    guispace(3);
    {
      GuiTextScale waiting(0.8f);
      if (letters.empty()) guibutton(0, "No messages are waiting to be sent.");
      else guibutton(0, "Waiting to be sent (click one to take it back):");
      guialign(GUIALIGN_LEFT);
      for (int32_t slot : letters) {
        char line[200];
        letterline(p, slot, line, sizeof line);
        guibutton(MM_WITHDRAW + slot, "%s", line);
      }
    }
    guialign(GUIALIGN_CENTRE);
    guispace(3);
    guibutton(MM_EXIT, "Close");
    guishortcut(MM_EXIT, KEY_ESCAPE);
    guishortcut(MM_READ, 'r');
    guishortcut(MM_WRITE, 's');
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (id == MM_EXIT) return;
    if (id == MM_READ) {
      viewmsgs(p, gname);
      if (turnscreen.gotoprov > 0) return;
    } else if (id == MM_WRITE) {
      writeletter(p);
    } else if (id >= MM_WITHDRAW && id < MM_WITHDRAW + PMESSSLOTS) {
      if (confirmbox("Take this message back?"))
        if (Refusal r = withdrawletter(p, id - MM_WITHDRAW)) msgbox("%s", r.why.c_str());
    }
  }
}
