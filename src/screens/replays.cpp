// Battle replays of the last turn: listing them, setting the live world
// aside, fighting a replay again under the battle view, and the screens.
#include "screens/replays.h"

#include "battleview/battleview.h"
#include "gamefiles/gamefiles.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "runtime/ask.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/rnd.h"
#include "screens/turnscreen.h"
#include "world/gamedata.h"
#include "world/hoststate.h"
#include "world/provinfo.h"
#include "world/units.h"
#include "world/world.h"

namespace {
// RP_PLAINTEXT: a left click on the list's plain text, which leaves it; it
// lies above every battle's id.
constexpr int32_t RP_EXIT = 999, RP_PLAINTEXT = 1000;
constexpr int32_t SETASIDEWORLDCHECK = 7331;   // between the world and its messages

const char* nationword(int32_t p) { return p >= 0 && p < MAXNATIONS ? nations[size_t(p)].name : "?"; }

// The checks of the replay being fought and the view it is shown in.
ReplayCheck* checking = nullptr;
BattleViewHook showing = nullptr;

void checkedframe(const BattleFrame& frame) {
  if (checking && frame.foreseen >= 0) {
    ReplayCheck& c = *checking;
    if (frame.turn == 0) c.setup = frame.foreseen;
    else if (frame.foreseen) c.foreseen++;
    else c.differing++;
    if (!frame.foreseen && c.firstbad < 0) c.firstbad = frame.turn;
  }
  if (showing) showing(frame);
}
}  // namespace

// ---------------------------------------------------------------- rules

bool listreplays(int32_t player, const char* gname, int32_t lnr, int32_t count, std::vector<ReplayEntry>& out) {
  out.clear();
  SoftReadScope soft;
  int32_t t = 0;
  UniqueFile f = readfileheader(gname, 0, -1, 1, player, &t, nullptr, nullptr, nullptr);
  if (!f) return false;
  for (int32_t i = 0; i < count && i < MAXVCR; i++) {
    if (!find_vcr(0, f.get())) break;
    ReplayEntry e{i, 0, -1, -1};
    readvcrheader(&e.lnr, &e.defender, &e.attacker, f.get());
    if (readbroken()) break;
    if (lnr == 0 || e.lnr == lnr) out.push_back(e);
  }
  return true;
}

ReplayStatus playvcr(int32_t player, const char* gname, int32_t n, ReplayCheck* check, BattleViewHook show) {
  const uint8_t wrap = gameinfo.wraparound;
  int32_t lnr = 0, defender = 0, attacker = 0, castle = 0, seed = 0, values[3] = {};
  clearworld();
  {
    SoftReadScope soft;
    int32_t t = 0;
    UniqueFile f = readfileheader(gname, 0, -1, 1, player, &t, nullptr, nullptr, nullptr);
    if (!f) return ReplayStatus::nofile;
    setreadversion(FILEVERSION);
    if (n < 0 || !find_vcr(n, f.get())) return ReplayStatus::missing;
    if (!readvcr(&lnr, &defender, &attacker, &castle, &seed, values, 1, f.get()) || readbroken())
      return ReplayStatus::cut;
    const int32_t sums = readchecksums(f.get());
    if (sums < 1 || readbroken()) return ReplayStatus::cut;
    if (lnr < 1 || lnr >= MAXLANDS || defender < 0 || defender >= MAXKINGDOMS || attacker < 0 ||
        attacker >= MAXKINGDOMS || defender == attacker)
      return ReplayStatus::cut;
    if (debuglevel > 0)
      debugprint("Playvcr lnr%d def%d att%d incstle%d seed%d checksums%d\n", lnr, defender, attacker, castle, seed,
                 sums);
  }
  seedrnd(seed);
  initbattle(lnr, defender, attacker, castle, values[0], values[1]);
  gameinfo.wraparound = wrap;
  ReplayCheck local;
  checking = check ? check : &local;
  showing = show;
  const BattleViewHook before = battleviewhook;
  battleviewhook = checkedframe;
  dobatl(defender, attacker, 1, 0, 1, values[2]);
  battleviewhook = before;
  checking = nullptr;
  showing = nullptr;
  return ReplayStatus::played;
}

const char* replayproblem(ReplayStatus status) {
  switch (status) {
    case ReplayStatus::nofile: return "viewvcrs: readfileheader failed";
    case ReplayStatus::missing: return "cannot find vcr";
    case ReplayStatus::cut: return "cannot find vcr: the replay is cut short";
    default: return "";
  }
}

namespace {
void setasidepath(char* path) { formatbounded(path, PATHLEN, "%s/tmp_fl", temppath); }
bool aside = false;
}  // namespace

bool worldisaside() { return aside; }

bool setasideworld() {
  char path[PATHLEN];
  setasidepath(path);
  GameFile file = opengamefile(path, false);
  if (!file) return false;
  FILE* f = gamefilestream(file);
  putfatherland(f);
  putint(SETASIDEWORLDCHECK, f);
  for (int32_t m = 0; m <= imin(highestmsg, MAXMSG - 1); m++)
    if (message[size_t(m)].type != MT_FREE) {
      putindex(m, f);
      put_mess(m, f);
    }
  endsection(f);
  for (int32_t p = 0; p < 95; p++)
    for (int32_t n = 0; n < PMESSSLOTS; n++)
      if (pmess[p][n].b0 < 255) {
        putindex(p * PMESSSLOTS + n, f);
        put_pmess(p, n, f);
      }
  endsection(f);
  putint(HEADERCHECK, f);
  aside = closegamefile(std::move(file), 0);
  return aside;
}

void restoreworld() {
  char path[PATHLEN];
  setasidepath(path);
  UniqueFile f = openquiet(path, "rb");
  if (!f) filestop("viewvcrs: the set-aside world is gone", path, errno);
  clearworld();
  setreadversion(FILEVERSION);
  getfatherland(f.get());
  readcheck(f.get(), SETASIDEWORLDCHECK, "viewvcrs: bad set-aside world");
  for (int32_t m; (m = getindex(f.get(), MAXMSG, "viewvcrs: bad message")) >= 0;) {
    get_mess(m, f.get());
    highestmsg = imax(highestmsg, m);
  }
  for (int32_t i; (i = getindex(f.get(), 95 * PMESSSLOTS, "viewvcrs: bad letter")) >= 0;)
    get_pmess(i / PMESSSLOTS, i % PMESSSLOTS, f.get());
  readcheck(f.get(), HEADERCHECK, "viewvcrs: bad set-aside world");
  aside = false;
}

// ---------------------------------------------------------------- the screens

namespace {
// Plays replay n of the turn file with the world set aside around it, shows
// the battle and its end report; a replay that cannot be played is named in
// a message box. The live world is back on return.
void watchreplay(int32_t player, const char* gname, int32_t n) {
  if (!setasideworld()) {
    msgbox("The world could not be set aside in %s/tmp_fl, so the battle is not shown", temppath);
    return;
  }
  const int32_t scene = currentscene();
  ReplayCheck check;
  int32_t lnr = 0;
  {
    std::vector<ReplayEntry> all;
    if (listreplays(player, gname, 0, n + 1, all) && !all.empty() && all.back().index == n) lnr = all.back().lnr;
  }
  battleviewbegin(lnr);
  const ReplayStatus status = playvcr(player, gname, n, &check, showbattleframe);
  if (status == ReplayStatus::played) {
    battleviewreport(check);
  }
  battleviewend();
  restoreworld();
  cacheinfolevels(player, 1);
  enterscene(scene);
  if (status != ReplayStatus::played) msgbox("%s", replayproblem(status));
}
}  // namespace

void viewvcrs(int32_t player, int32_t lnr, int32_t count, const char* gname) {
  bailif(player < 0 || player >= MAXPLAYERS, "viewvcrs: bad player");
  for (;;) {
    std::vector<ReplayEntry> list;
    if (!listreplays(player, gname, lnr, count, list)) {
      msgbox("%s", replayproblem(ReplayStatus::nofile));
      return;
    }
    if (list.empty()) return;
    if (list.size() == 1) {
      watchreplay(player, gname, list[0].index);
      return;
    }
    auto build = [&] {
      guibegin();
      guititle("the battles of %s", nationword(player));
      guicloseid(RP_EXIT);
      guiplainclickid(RP_PLAINTEXT);
      guiminwidth(360);
      for (const ReplayEntry& e : list)
        guibutton(e.index + 1, "%s, %s vs %s", land[size_t(e.lnr)].name, nationword(e.attacker),
                  nationword(e.defender));
      guispace(3);
      guiexitbutton(RP_EXIT, "Exit");
      guishow(-1, -1);
    };
    // A battle is watched; Exit, a right click and plain text leave. The
    // wheel and the scroll bar only move the list.
    const int32_t id = guimodal(build);
    if (id < 1 || id == RP_EXIT || id == RP_PLAINTEXT) return;
    if (id <= 899) watchreplay(player, gname, id - 1);
  }
}

void gotomsg(int32_t player, const char* gname, int32_t msg, int32_t alt) {
  if (msg < 0 || msg >= MAXMSG) return;
  const Message& m = message[size_t(msg)];
  if (m.type == MT_COMLINK) {
    turnscreen.focus = m.subj[0];
    return;
  }
  if (m.type == MT_LANDLINK) {
    turnscreen.gotoprov = m.subj[0];
    return;
  }
  if (m.type != MT_BATTLE) return;
  if (alt & 0xFFFF) {
    if (m.subj[1] >= 1 && m.subj[1] <= nbrlands) turnscreen.gotoprov = m.subj[1];
    return;
  }
  const int32_t seed = m.subj[0];
  if (seed <= 0) return;
  debugprint("gotomsg: view vcr (seed %d)\n", seed);
  int32_t found = -1;
  {
    SoftReadScope soft;
    int32_t t = 0;
    UniqueFile f = readfileheader(gname, 0, -1, 1, player, &t, nullptr, nullptr, nullptr);
    if (!f) {
      msgbox("gotomsg: (vcr) no trn file");
      return;
    }
    debugprint2("find vcr\n");
    // Each replay's head: the marker's tag, land, sides, castle, then the seed.
    for (int32_t i = 0; i < MAXVCR && find_vcr(0, f.get()); i++) {
      int32_t head[5] = {};
      if (!readvcrmagic(f.get())) break;
      for (int32_t& v : head) v = getint(f.get());
      if (readbroken()) break;
      if (head[4] == seed) {
        found = i;
        break;
      }
    }
  }
  if (found < 0) {
    msgbox("cannot find vcr");
    return;
  }
  debugprint2("play vcr nbr %d\n", found);
  watchreplay(player, gname, found);
}
