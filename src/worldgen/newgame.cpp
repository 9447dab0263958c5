// New game creation: from a map (or a random map), the participants and the
// settings to a filled world and the first world and turn files.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "ai/design.h"
#include "ai/randgod.h"
#include "gamefiles/gamefiles.h"
#include "mods/mods.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "runtime/filesets.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/progress.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/builders.h"
#include "world/economy.h"
#include "world/forts.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/scores.h"
#include "world/units.h"
#include "world/world.h"
#include "worldgen/gamesetup.h"
#include "worldgen/mercenaries.h"
#include "worldgen/randmap.h"
#include "worldgen/worldgen.h"

namespace {

bool playing(int32_t k) {
  uint16_t c = uint16_t(kingdom[size_t(k)].w[KW_CONTROLLER]);
  return c == CTRL_HUMAN || c == CTRL_AI;
}

void checkunits(const char* message) { bailif(highestunit >= MAXUNITS, message); }

// Asks for a game name until a valid one is given and its old files (if any)
// may be deleted. The box holds the name given last (on an earlier pass, or
// the one just refused), so a name is never taken that the player did not
// see on this pass. In the window the question may be left (Escape), which
// goes back to the map: false then, the name kept.
bool askgamename(char* gname) {
  char answer[26] = {};
  strlcopy(answer, gname, sizeof answer);
  for (;;) {
    if (!inputname("Enter game name", answer, 25, textonly ? 0 : 1,
                   "At most 25 letters, digits, - and _ (a space becomes _)")) {
      answer[0] = 0;
      return false;
    }
    for (char* p = answer; *p; p++)
      if (*p == ' ') *p = '_';
    if (!validgamename(answer)) {
      msgbox("That is not a valid game name.\n\nOnly normal filenames can be used.");
      if (!answer[0] && feof(stdin)) fatalerror("No game name given");
      continue;
    }
    char question[MSGLEN];
    formatbounded(question, MSGLEN,
                  "A game with this name already exists: %s.\n\nDelete game removes that game with all its turns and orders, "
                  "and the new game takes its name. Cancel keeps it and asks for another name.",
                  answer);
    if (!askreplacegame(answer, question)) continue;
    strlcopy(gname, answer, 100);
    return true;
  }
}

// The new game is made in a folder of its own beside the saved games,
// "NAME.vey3.new<pid>", and moved into place whole once every file stands; the
// old game of that name is replaced only then, in one exchange of the two
// folders. A stop before that leaves the old game as it was; the folder
// aside goes at the next start (or the next write into the saved games).
class NewGameFolder {
 public:
  // replacing: the old game of that name goes (its order files are no gods
  // for the new one); else every file of the folder stays.
  NewGameFolder(const char* gname, bool replacing) {
    strlcopy(name, gname, sizeof name);
    formatbounded(real, PATHLEN, "%s/%s", savepath, gname);
    strlcopy(stage, tempname(real).c_str(), PATHLEN);
    settlefolderonce(savepath);
    if (!held.make(stage, 0755)) {
      const int cause = errno;
      why = std::string("The new game ") + name + " could not be written to " + savepath + ": " + filecause(cause);
      return;
    }
    active = this;
    addshutdownhook(abandonactive);
    // What the old folder holds besides an old game stays with the new one:
    // the gods that players put there for it, files of the user's own.
    why = carryoldfiles(gname, real, stage, replacing && gameexists(gname));
    if (!why.empty()) {
      abandon();
      return;
    }
    redirectgame(name, stage);
  }
  ~NewGameFolder() { abandon(); }
  const char* game() const { return name; }
  // Why the folder could not be made ("" when it stands): the old game
  // stands as it was.
  const std::string& problem() const { return why; }
  NewGameFolder(const NewGameFolder&) = delete;
  NewGameFolder& operator=(const NewGameFolder&) = delete;

  // Puts the new game in place; false (the old game as it was) on failure.
  bool commit() {
    if (!syncfolder(stage)) return false;
    killpoint();
    bool good;
    if (access(real, F_OK) != 0) {
      good = rename(stage, real) == 0;
    } else if (renameat2(AT_FDCWD, stage, AT_FDCWD, real, RENAME_EXCHANGE) == 0) {
      good = true;
    } else {
      // A file system that cannot exchange: the old folder steps aside
      // first; a stop in between brings it back at the next start.
      const std::string gone = tempname((std::string(real) + ".gone").c_str());
      good = rename(real, gone.c_str()) == 0;
      if (good) killpoint();
      if (good && rename(stage, real) != 0) {
        rename(gone.c_str(), real);
        good = false;
      }
      if (good) strlcopy(stage, gone.c_str(), PATHLEN);
    }
    if (!good) return false;
    killpoint();
    held.release();
    syncfolder(savepath);
    // What stands aside now is the old game. The user's sub-folders in it
    // go with the new one (a stop before they have gone, the next start).
    keepsubfolders(stage, real);
    abandon();
    return true;
  }

 private:
  void abandon() {
    if (active != this) return;
    active = nullptr;
    redirectgame(nullptr, nullptr);
    removeownfolder(stage);
  }
  static void abandonactive() {
    if (active) active->abandon();
  }
  static inline NewGameFolder* active = nullptr;
  HeldFolder held;
  std::string why;
  char name[100] = {};
  char real[PATHLEN] = {};
  char stage[PATHLEN] = {};
};

}  // namespace

int32_t randomperplayer(const char* kind) {
  return strcmp(kind, "__smallrandommap") == 0 ? 10 : strcmp(kind, "__largerandommap") == 0 ? 20 : 15;
}

int32_t randomprovinces(const char* kind, int32_t players, float draw) {
  int32_t count = int32_t((0.8f + 0.4f * draw) * float(randomperplayer(kind)) * float(players));
  return imin(imax(count, 10), 500);
}

namespace {

// The random map of step 12: made into the game folder. False (with the
// cause in errno) when its picture or text could not be written.
bool makerandommap(const char* gname, int32_t players) {
  progressscene(4);
  const int32_t perplayer = randomperplayer(mapfilename);
  const int32_t count = randomprovinces(mapfilename, players, frand());
  char name[PATHLEN], folder[PATHLEN];
  formatbounded(name, PATHLEN, "__randommap_%s", gname);
  gamefolder(folder, PATHLEN, gname);
  mkdirs(folder);
  int32_t w, h;
  if (mapsize[0] >= 0 && mapsize[1] >= 0) w = mapsize[0], h = mapsize[1];
  else if (perplayer == 10) w = 1600, h = 1200;
  else if (perplayer == 20) w = 1920, h = 1440;
  else w = 1760, h = 1320;
  float sea = float(seapart) / 100.0f;
  int32_t n = 0, uw = 0;
  for (int32_t k = 0; k < MAXPLAYERS; k++)
    if (playing(k)) n++, uw += isuwnation(k) ? 1 : 0;
  if (float(uw) / float(n + 1) > sea) {
    sea = float(uw) / float(n + 1);
    debugprint("Seapart inc to %f\n", double(sea));
  }
  float mount = float(mountpart) / 100.0f;
  // A failure leaves no half-made game behind: the folder of the new game
  // goes with the stop. In the window a map that could not be written is
  // the caller's to tell.
  errno = 0;
  if (!CreateRandomMap(name, folder, w, h, count, 1, 0, riverpart, 0.3f, sea, mount)) {
    if (errno != 0 && !textonly) return false;
    fatalerror("The random map could not be made");
  }
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/__randommap_%s.map", folder, gname);
  if (!write_random_map_file(path, name, 1)) {
    if (!textonly) return false;
    fatalerror("The random map could not be written");
  }
  formatbounded(mapimagename, PATHLEN, "__randommap_%s.rgb", gname);
  formatbounded(mapfilename, PATHLEN, "__randommap_%s.map", gname);
  resetlands();
  FindCapitals(gname, mapimagename);
  return true;
}

// Step 14.2: the home province of slot k.
int32_t findstart(int32_t k) {
  const bool uw = isuwnation(k) != 0;
  const bool coastal = getnatattr(k, NA_COASTSTART) > 0;
  for (int32_t t = 0;; t++) {
    bailif(t > 15000, "can't find a valid starting province");
    int32_t cand;
    const bool special = t == 0 && specstart[k] > 0;
    if (special) {
      cand = specstart[k];
      debugprint("specstart %d %d\n", k, cand);
    } else if (t < 5000 && higheststart >= 0) {
      cand = startlist[rnd(higheststart + 1)];
    } else {
      cand = rnd(nbrlands) + 1;
    }
    cand = imax(1, imin(cand, nbrlands));
    const ProvGeo& g = provgeo[size_t(cand)];
    const bool sea = (g.terrain & TM_SEA) != 0;
    int32_t c = 0;
    if (g.x <= 0 || g.y <= 0) c = 2;
    else if (land[size_t(cand)].owner != INDEPENDENTS) c = 1;
    bool skip = false;
    if (sea && !uw) {
      c = 4;
      skip = true;
    } else if (!sea && uw) {
      c = 3;
    }
    if (!skip) {
      if (c == 0 && !special) {
        if (t <= 3999 && nearowned(cand, 1, 2)) c = 5;
        // The walk kind is the candidate's sea bit: 0 keeps a land candidate's
        // walk on land, 4 lets a sea candidate's walk cross every province, so
        // an underwater nation keeps its distance from land nations as well.
        else if (t <= 999 && nearowned(cand, 8 / (t / 50 + 1), int32_t(g.terrain & TM_SEA))) c = 6;
      }
      if (!special && (g.terrain & TM_NOSTART)) c = 7;
    }
    if (c == 0 && coastal && !iscoastal(cand) && t <= 1999) c = 8;
    if (c == 0) return cand;
    if (t <= 2 || t > 9990)
      debugprint2("Hard to find start for pl %d, %d(geo%d), bad %d\n", k, cand, int32_t(g.terrain), c);
  }
}

// A folder, FIFO or device where the player's design should stand (one
// carried over from the game's folder, or a folder that goes over with it)
// stops the new game with the stop's words, the file as the player knows it
// in the game's folder, and what stands there: once, before any reader
// tells it too.
void designinplace(const char* stop, const char* gname, int32_t k) {
  char made[PATHLEN], player[PATHLEN];
  gamefilepath(made, PATHLEN, gname, 0, k);
  const char* name = strrchr(made, '/');
  formatbounded(player, PATHLEN, "%s/%s%s", savepath, gname, name ? name : "");
  struct stat st;
  const char* stands = lstat(made, &st) == 0 ? made : lstat(player, &st) == 0 && S_ISDIR(st.st_mode) ? player : nullptr;
  if (stands && notafile(stands))
    fatalerror((std::string(stop) + ": " + player + ": " + readproblem(stands, ENOTAFILE)).c_str());
}

void sethome(int32_t k, int32_t home) {
  debugprint("nation %d  start land %d, geo.spec %d\n", k, home, int32_t(provgeo[size_t(home)].terrain));
  killand(home);
  unitcheck(debuglevel);
  Land& l = land[size_t(home)];
  l.owner = l.fortholder = uint8_t(k);
  for (int s = 0; s < 4; s++) l.scale[s] = 0;
  if (!nohomelandnames) strlcopy(l.name, nations[size_t(k)].name, 36);
  kingdom[size_t(k)].w[KW_HOMELAND] = int16_t(home);
  l.veyowner = int8_t(k);
  l.veystr = 1;
  l.provdef = 25;
  l.small[1] = 25;
  l.fort = 1;
  l.fortdef = forts[1].val[FORT_DEF];
  l.vpword |= 0x10;
  l.lab = 1;
  l.temple = 1;
  initcapitalland(home);
}

int32_t makegod(int32_t k, const char* gname, int netflag) {
  if (uint16_t(kingdom[size_t(k)].w[KW_CONTROLLER]) == CTRL_HUMAN) {
    debugprint("Load user created god (net %d)\n", netflag);
    bailif(k > 94, "cng: too high player nbr");
    unitcheck(debuglevel);
    bailif(highestunit + 1 >= MAXUNITS, "cng44: bad highestunit");
    bailif(highestcom + 1 >= MAXCOMS, "cng55: bad highestcom");
    int32_t cnr = highestcom + 1, unr = highestunit + 1;
    highestunit++;
    highestcom++;
    char message[MSGLEN];
    formatbounded(message, MSGLEN, "No usable pretender design for %s in game %s", nations[size_t(k)].name, gname);
    designinplace(message, gname, k);
    if (loadnewlord(gname, k, cnr, unr, password[k], -1) < 0) fatalerror(message);
    return cnr;
  }
  debugprint("Creating random god player %d level %d\n", k, kingdom[size_t(k)].w[KW_AILEVEL]);
  bailif(k > 94, "cng: too high player nbr");
  int32_t level = kingdom[size_t(k)].w[KW_AILEVEL];
  return randgod(k, 50 * level < 100 ? 500 : 400 + 50 * level);
}

void godinplay(int32_t k, int32_t cnr, int32_t home) {
  bailif(k > 94, "cng ik: too high player nbr");
  bailif(cnr < 0 || cnr >= MAXCOMS, "cng: bad c");
  int32_t u = com[size_t(cnr)].body;
  bailif(u < 0 || u >= MAXUNITS, "cng: bad u");
  Unit& body = unit[size_t(u)];
  body.flags[2] |= F3_PRETENDER;
  Kingdom& kd = kingdom[size_t(k)];
  strlcopy(kd.godname, com[size_t(cnr)].name, 36);
  body.owner = int8_t(k);
  setunitland(u, home);
  if (body.age <= GODMINAGE + rnd(GODAGESPREAD)) body.age = int16_t(GODMINAGE + rnd(GODAGESPREAD));
  kd.w[KW_MAYWIN] = 1;
  kd.w[KW_PROPHET] = -1;
  kd.w[KW_GOD] = int16_t(cnr);
  for (int p = 0; p < 9; p++) kd.godpath[p] = int8_t(com[size_t(cnr)].path[p]);
  if (veyrec[size_t(k)].value[0] > 0) {
    debugprint("God %d prison %d\n", k, veyrec[size_t(k)].value[0]);
    setunitland(u, -7);
    body.hp = 0;
  }
}

// A commander with up to two squads of the start army.
void startcommander(int32_t k, int32_t home, int32_t comtype, const int32_t* types, const int32_t* counts) {
  int32_t c = newcom(comtype, k);
  if (c < 0) return;
  ccm(c);
  int32_t b = com[size_t(c)].body;
  setunitland(b, home);
  unit[size_t(b)].homeland = int16_t(home);
  for (int i = 0; i < 2; i++) {
    if (types[i] <= 0) continue;
    int32_t squad = newsquadnbr(k);
    spawnunits(types[i], k, counts[i] > 0 ? counts[i] : 20, home, squad);
    com[size_t(c)].squad[i] = squad;
  }
}

void startarmy(int32_t k, int32_t home) {
  debugprint("populate kingdom %d\n", k);
  unitcheck(debuglevel);
  int32_t comtype = getnatattr(k, NA_STARTCOM);
  if (comtype > 0) {
    int32_t types[2] = {getnatattr(k, NA_STARTUNIT1), getnatattr(k, NA_STARTUNIT2)};
    int32_t counts[2] = {getnatattr(k, NA_STARTCOUNT1), getnatattr(k, NA_STARTCOUNT2)};
    startcommander(k, home, comtype, types, counts);
    int32_t scout = getnatattr(k, NA_STARTSCOUT);
    if (scout > 0) {
      int32_t none[2] = {0, 0};
      startcommander(k, home, scout, none, none);
    }
  } else {
    int32_t types[2] = {221, 218}, counts[2] = {10, 10};
    startcommander(k, home, 148, types, counts);
    int32_t none[2] = {0, 0};
    startcommander(k, home, 427, none, none);
  }
}

void startsites(int32_t k, int32_t home) {
  debugprint("start sites for player %d\n", k);
  bailif(k > 94, "strsits");
  Land& l = land[size_t(home)];
  const Nation& n = nations[size_t(k)];
  int32_t i = 0;
  for (int a = 0; a < NATIONATTRS && n.attrkey[a] != 0 && i < 4; a++) {
    int32_t site;
    if (n.attrkey[a] == NA_STARTSITE) site = n.attrval[a];
    else if (n.attrkey[a] == NA_STARTSITEBASE)
      site = n.attrval[a] + (gameinfo.moneymult > 199 ? 2 : gameinfo.moneymult >= 100 ? 1 : 0);
    else continue;
    l.site[i] = int16_t(site);
    l.sitefound[i] = 1;
    i++;
  }
  debugprint2("Populate done\n");
  unitcheck(debuglevel);
}

void setupnation(int32_t k, const char* gname, int netflag) {
  debugprint("Setup nation %d\n", k);
  bailif(k > 94, "createnewgame: bad cnt1or2");
  unitcheck(debuglevel);
  worldprogress("");
  checkunits("cng99: bad highestunit");
  int32_t home = findstart(k);
  sethome(k, home);
  int32_t cnr = makegod(k, gname, netflag);
  godinplay(k, cnr, home);
  debugprint("Init fort\n");
  unitcheck(debuglevel);
  Land& l = land[size_t(home)];
  int32_t fort = getcastle(k, -1);
  if (fort >= 0 && fort < MAXFORTS) {
    l.fort = int8_t(fort);
    l.fortdef = forts[size_t(fort)].val[FORT_DEF];
  }
  updatespellbook(k);
  for (int s = 0; s < 4; s++) l.site[s] = 0, l.sitefound[s] = 0;
  l.sitefound[0] = 1;
  startarmy(k, home);
  if ((gameinfo.gameflags & 0x8) && (gameinfo.victory == 1 || gameinfo.victory == 5) && (l.vpword & 7) != 7)
    l.vpword = uint16_t(l.vpword + 1);
  startsites(k, home);
}

void extrastarts() {
  for (int32_t pass = 2; pass <= gameinfo.startprov; pass++)
    for (int32_t k = 0; k < MAXPLAYERS; k++) {
      if (!playing(k)) continue;
      worldprogress("");
      const bool uw = isuwnation(k) != 0;
      int32_t from = kingdom[size_t(k)].w[KW_HOMELAND];
      for (int32_t draw = 0; draw < 1000; draw++) {
        int32_t n = randneighbour(from);
        if (n <= 0) continue;
        const Land& l = land[size_t(n)];
        if (l.owner != INDEPENDENTS && l.owner <= 94 && l.owner != k) continue;
        if ((provgeo[size_t(n)].terrain & TM_SEA) && !uw) continue;
        if (l.vpword & 7) continue;
        if (l.owner == INDEPENDENTS) {
          killand(n);
          Land& c = land[size_t(n)];
          c.owner = c.fortholder = uint8_t(k);
          c.provdef = c.small[1] = uint8_t(roll(10));
          c.vpword |= 0x10;
          break;
        }
        from = n;
      }
    }
}

void treasuries() {
  for (int32_t k = 0; k < MAXPLAYERS; k++) {
    if (!playing(k)) continue;
    Kingdom& kd = kingdom[size_t(k)];
    kd.gold = 200 + 2 * gameinfo.moneymult;
    int32_t home = kd.w[KW_HOMELAND];
    if (home > 0 && home < MAXLANDS)
      for (int s = 0; s < 6; s++) land[size_t(home)].scale[s] = veyrec[size_t(k)].scale[s];
    for (int g = 0; g < 8; g++) kd.w[KW_GEMS + g] = int16_t(kd.w[KW_GEMS + g] + visinc(k, g));
    for (const char* story : {"start story 1", "start story 2"}) {
      int32_t m = newmsg(-1, k, 0, 0);
      t2msg(m, "%s", descrtextof(finddescr(story)));
    }
  }
}

void cheatcheck() {
  if (gameinfo.gameflags & 0x20) return;
  for (int32_t k = 0; k < MAXPLAYERS; k++) {
    if (uint16_t(kingdom[size_t(k)].w[KW_CONTROLLER]) != CTRL_HUMAN || !fg(k, -1)) continue;
    for (int32_t p = 0; p < MAXPLAYERS; p++)
      t2msg(newmsg(-1, p, 0, 0),
            "%s has cheated\n\n%s has a God that is too powerful considering the current Veyrances 3 rules. This might "
            "be caused by cheating or by using the wrong mod when designing the God. The offending God has been "
            "reduced in power.",
            nations[size_t(k)].name, nations[size_t(k)].name);
    int32_t c = kingdom[size_t(k)].w[KW_GOD];
    bailif(c < 0 || c >= MAXCOMS, "cng: bad c");
    int32_t u = com[size_t(c)].body;
    bailif(u < 0 || u >= MAXUNITS, "cng: bad u");
    for (int p = 0; p < 8; p++) com[size_t(c)].path[p] = 0, kingdom[size_t(k)].godpath[p] = 0;
    unit[size_t(u)].type = 244;
  }
}

bool writefiles(const char* gname) {
  debugprint("create fatherland file\n");
  char folder[PATHLEN];
  gamefolder(folder, PATHLEN, gname);
  mkdirs(folder);
  // No password: the world file's header carries the placeholder word.
  GameFile world = createfileheader(gname, gameinfo.gamenbr, 1, 1, -1, nullptr, 0);
  if (!world) return false;
  putfatherland(gamefilestream(world));
  if (!closegamefile(std::move(world), 0)) return false;
  for (int32_t k = 0; k < MAXPLAYERS; k++) {
    uint16_t c = uint16_t(kingdom[size_t(k)].w[KW_CONTROLLER]);
    if (!(c == CTRL_HUMAN || (c == CTRL_AI && comptrn))) continue;
    debugprint("create return file %d\n", k);
    if (c == CTRL_AI) password[k][0] = 0;
    GameFile trn = createfileheader(gname, gameinfo.gamenbr, 1, 1, k, password[k], 0);
    if (!trn) return false;
    putturndata(k, gamefilestream(trn));
    if (!closegamefile(std::move(trn), 1)) return false;
  }
  return true;
}

// What came of making the world: made with its files in place, not written
// (the cause in errno), or refused for a random map without room for the
// nations (told already).
enum class Made { world, unwritten, noroom };

// The start-province search's stop, said before the search over a map
// (kind: "map" or "random map") that has no room for the nations: with the
// map and why.
void noroomstop(char* message, const char* kind, const char* room) {
  formatbounded(message, MSGLEN, "can't find a valid starting province on the %s %s: %s", kind, mapfilename, room);
}

// A random map is made for the number of nations, not their kinds: one that
// has no start for some (all sea for a nation of the land, say) is refused
// as any map would be, ending the run without a window.
bool randommaphasroom(int netflag) {
  const char* room = startroomproblem();
  if (!room[0]) return true;
  char message[MSGLEN];
  noroomstop(message, "random map", room);
  if (textonly || netflag) failexit(message);
  msgbox("%s", message);
  return false;
}

// Steps 12 to 23: the world made from the choices, and the game's files put
// in place.
Made createworld(const char* name, int mapkind, int32_t era, int32_t players, int netflag,
                 NewGameFolder& staging) {
  if (mapkind == 2 && !makerandommap(name, players)) return Made::unwritten;
  hostingflag = 1;
  resetprogress();   // the box opens anew, whatever it showed last
  worldprogress("Please Wait");
  readmapfile(name, mapfilename, MAPREAD_INFO);
  readmapfile(name, mapfilename, MAPREAD_GEO);
  if (mapkind == 2 && !randommaphasroom(netflag)) return Made::noroom;
  strlcopy(gameinfo.mappic, mapimagename, sizeof gameinfo.mappic);
  for (int i = 0; i < 4; i++) gameinfo.maptextcol[i] = maptextcolour[i];
  landsetup();
  worldprogress("");
  for (int32_t k = 0; k < MAXKINGDOMS; k++) {
    kingdom[size_t(k)].w[KW_PLAYER] = int16_t(k);
    if (k < MAXPLAYERS && playing(k)) setupnation(k, name, netflag);
  }
  worldprogress("");
  readmapfile(name, mapfilename, MAPREAD_SCENARIO);
  extrastarts();
  treasuries();
  cheatcheck();
  if (rnd(100) <= 89) addrandommerc(era, 0);
  updateendstats(0);
  worldprogress("");
  // Never a world without its turn files, never the old game lost.
  return writefiles(name) && staging.commit() ? Made::world : Made::unwritten;
}

// What the choices left before the world was made: the game's settings,
// who plays which nation, and the map (a random map's kind among them).
struct Choices {
  GameInfo info;
  int16_t controller[MAXKINGDOMS], ailevel[MAXKINGDOMS];
  char mapfile[PATHLEN], mapimage[PATHLEN];
};

// Makes the world; when the disc cannot take its files, says so and puts
// the world back as the choices left it, for another try (false), as after a
// random map without room. Without a window, where nobody can make room, the
// program stops.
bool makeworld(const char* name, const char* gname, int mapkind, int32_t era, int32_t players, int netflag,
               NewGameFolder& staging) {
  auto kept = std::make_unique<Choices>();
  kept->info = gameinfo;
  for (int32_t k = 0; k < MAXKINGDOMS; k++) {
    kept->controller[k] = kingdom[size_t(k)].w[KW_CONTROLLER];
    kept->ailevel[k] = kingdom[size_t(k)].w[KW_AILEVEL];
  }
  strlcopy(kept->mapfile, mapfilename, PATHLEN);
  strlcopy(kept->mapimage, mapimagename, PATHLEN);
  const Made made = createworld(name, mapkind, era, players, netflag, staging);
  if (made == Made::world) return true;
  const int cause = errno ? errno : EIO;
  char message[MSGLEN];
  formatbounded(message, MSGLEN, "The new game %s could not be written to %s: %s", name, savepath, filecause(cause));
  if (made == Made::unwritten && (textonly || netflag)) {
    char stop[MSGLEN];
    formatbounded(stop, MSGLEN, "cng: the game files could not be written (%s)", message);
    fatalerror(stop);
  }
  hostingflag = 0;
  clearworld();
  gameinfo = kept->info;
  for (int32_t k = 0; k < MAXKINGDOMS; k++) {
    kingdom[size_t(k)].w[KW_CONTROLLER] = kept->controller[k];
    kingdom[size_t(k)].w[KW_AILEVEL] = kept->ailevel[k];
  }
  strlcopy(mapfilename, kept->mapfile, PATHLEN);
  strlcopy(mapimagename, kept->mapimage, PATHLEN);
  if (mapkind != 2) {
    resetlands();
    FindCapitals(gname, mapimagename);
    readmapfile(gname, mapfilename, MAPREAD_PLAYERS);
    readmapfile(gname, mapfilename, MAPREAD_GEO);
  }
  if (made == Made::unwritten)
    msgbox("%s.\n\nMake room there and choose \"Create the world\" again: every choice of the new game is kept.",
           message);
  return false;
}

}  // namespace

int createnewgame(const char* gname, int netflag, char* namebuffer) {
  if (namebuffer) namebuffer[0] = 0;
  if (!gname && !netflag) clearworld();
  applymods();
  char name[100] = {};
  if (gname) strlcopy(name, gname, 100);
  EnabledMods2GameInfo();
  bailif(highestunit >= MAXUNITS, "cng: bad highestunit");
  int mapkind = 0;
  int32_t era = 0;
  int32_t players = 0;
  bool fromcommandline = gname && gamename && strcmp(gname, gamename) == 0;
  std::unique_ptr<NewGameFolder> staging;
  for (bool ready = false; !ready;) {   // loop A: the map
    mapkind = choosemap(1, mapfilename, mapimagename);
    if (mapkind < 1) return 0;
    if (mapkind != 2) {
      resetlands();
      FindCapitals(gname, mapimagename);
      if (nbrlands < 1) {
        // The chooser reads no picture: one that cannot be read or holds no
        // province is found here, and named by its own file. Named by the
        // command line it would only be chosen again.
        char message[MSGLEN];
        if (!mapimage.pixels)
          formatbounded(message, MSGLEN, "Map image %s of %s (%s) cannot be read: %s", mapimage.path, mapfilename,
                        maptitle, mapimage.problem[0] ? mapimage.problem : "it is not loaded");
        else
          formatbounded(message, MSGLEN, "Map image %s of %s (%s) has no provinces: no pixel of it is pure white",
                        mapimage.path, mapfilename, maptitle);
        if (textonly || mapfile[0]) endwithmapfault(message);
        msgbox("%s.", message);
        continue;
      }
      if (!textonly && !deletemap()) continue;
    }
    // The game name, asked again while the folder of its game cannot be made.
    bool named = false;
    while (!named) {
      bool replacing = true;
      if (fromcommandline && validgamename(name)) {
        char question[MSGLEN];
        formatbounded(question, MSGLEN,
                      "A game with this name already exists: %s.\n\nDelete game removes that game with all its turns and "
                      "orders and makes the new game in its place. Cancel keeps it and ends.", name);
        // Asked once: a later pass keeps the answer.
        if (!staging && !netflag && !askreplacegame(name, question)) fatalerror("");
        replacing = !netflag;
      } else if (!gname || !validgamename(name)) {
        if (!askgamename(name)) break;   // every pass from the map on asks the name again
      } else {
        replacing = false;   // a name from the caller, used as it is
      }
      // From here on the game's files go into the folder of the new game,
      // made anew when this pass gave another name.
      if (!staging || strcmp(staging->game(), name) != 0) {
        staging.reset();
        staging = std::make_unique<NewGameFolder>(name, replacing);
      }
      named = staging->problem().empty();
      if (named) break;
      const std::string why = staging->problem();
      staging.reset();
      // A name of the command line (or the caller's) is not asked again.
      if (!textonly) msgbox("%s.%s", why.c_str(), gameexists(name) ? "\n\nThe old game stands as it was." : "");
      if (gname) failexit(why.c_str());
    }
    if (!named) continue;
    gameinfo.gamenbr = rand();
    // The map's nations and terrain before the participants: a nation is
    // drawn only where it can start. A random map is made to fit later: no
    // provinces until then, and no room to check.
    if (mapkind != 2) {
      readmapfile(gname, mapfilename, MAPREAD_PLAYERS);
      readmapfile(gname, mapfilename, MAPREAD_GEO);
    } else {
      nbrlands = 0;
    }
    // A map chosen anew starts a new list of participants: nothing of an
    // abandoned map carries over.
    highestparticipant = -1;
    int32_t listera = 0;
    for (;;) {   // loop B: the era
      era = eraoption > 0 ? eraoption : selectera(1);
      if (era == 0) break;
      gameinfo.era = int16_t(era);
      // Loop C: participants, gods and settings, one screen at a time; going
      // back from one returns to the one before, which keeps what was chosen
      // there (the list, with its opponents still drawn at random, and the
      // gods). Back from the participants is the era (the map when the
      // command line chose the era).
      enum { PARTICIPANTS, GODS, SETTINGS } screen = PARTICIPANTS;
      for (;;) {
        if (screen == PARTICIPANTS) {
          if (!gname) {
            const bool fresh = highestparticipant < 0 || listera != era;
            if (fresh)
              for (int32_t k = 0; k < MAXPLAYERS; k++) kingdom[size_t(k)].w[KW_CONTROLLER] = CTRL_NONE;
            listera = era;
            if (chooseparticipants(fresh ? 0 : 1, era) < 1) break;
            assignnations(era);
          } else {
            applynationcontrol();
          }
          players = 0;
          for (int32_t k = 0; k < MAXPLAYERS; k++)
            if (kingdom[size_t(k)].w[KW_CONTROLLER] > 0 && kingdom[size_t(k)].w[KW_CONTROLLER] != 3) players++;
          if (players == 0) fatalerror("no players");
          const char* room = startroomproblem();
          if (room[0]) {
            // The nations that a caller names cannot be chosen again: the
            // run ends with the search's stop (a box says it in the window).
            if (textonly || gname) {
              char message[MSGLEN];
              noroomstop(message, "map", room);
              if (!textonly) msgbox("%s", message);
              failexit(message);
            }
            msgbox("%s", room);
            continue;
          }
          screen = GODS;
        } else if (screen == GODS) {
          if (netflag || designallgods(era, name)) screen = SETTINGS;
          else if (gname) break;
          else screen = PARTICIPANTS;
        } else {
          if (textonly) {
            applygamesettings(2);
          } else if (gamesettings(2) == 0) {
            if (gname) break;
            screen = GODS;
            continue;
          }
          // A disc that cannot take the game keeps the window on the
          // settings, every choice as it was.
          if (!makeworld(name, gname, mapkind, era, players, netflag, *staging)) continue;
          ready = true;
          break;
        }
      }
      if (ready || eraoption > 0) break;
    }
  }
  hostingflag = 0;
  if (namebuffer) strlcopy(namebuffer, name, 100);
  return 1;
}

int newgamemode(const char* gname) {
  if (!validgamename(gname)) {
    printf("Not a valid game name: %s\n", gname ? gname : "");
    return 1;
  }
  textonly = 1;
  return createnewgame(gname, 0, nullptr) ? 0 : 1;
}
