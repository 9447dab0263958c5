// New-game services of the front end: the game settings, era, participants
// and their nations, the questions (console, or the screens the player side
// installs), the deletion of an old game of the same name, and the province
// and unit checks that world creation asks for.
#include <dirent.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "gamefiles/gamefiles.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "runtime/filesets.h"
#include "runtime/folders.h"
#include "runtime/hostlock.h"
#include "runtime/options.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/scores.h"
#include "world/units.h"
#include "world/world.h"
#include "worldgen/gamesetup.h"
#include "worldgen/worldgen.h"

int32_t vpprovinces[3] = {0, 0, 0};

// ---------------------------------------------------------------- game settings

namespace {
const char* const researchnames[] = {"Easy", "Normal", "Hard", "Very hard"};
const char* const eventnames[] = {"Common", "Rare"};
}  // namespace

const NewGameSetting newgamesettings[] = {
    {"--research", "Research difficulty", &researchdiff, 1, 0, 0, researchnames,
        "How much research each new level of magic costs: the harder, the slower the nations learn their spells"},
    {"--hofsize", "Size of the Hall of Fame", &hofsize, 10, 0, 0, nullptr,
        "How many of the mightiest commanders and gods the Hall of Fame remembers"},
    {"--indepstr", "Strength of the independents", &indepstr, 5, 0, 0, nullptr,
        "How strong the independent garrisons are that hold the provinces no nation owns at the start"},
    {"--magicsites", "Magic site frequency", &magicsites, 40, 0, 0, nullptr,
        "How often provinces hold magic sites, which give gems and other wonders to the nation that finds them"},
    {"--eventrarity", "Random events", &eventrarity, 1, 0, 0, eventnames,
        "How often random events (good and bad) strike the provinces"},
    {"--richness", "Gold (percent of normal)", &richness, 100, 0, 0, nullptr,
        "The gold that provinces pay in taxes, in percent of the normal amount"},
    {"--resources", "Resources (percent of normal)", &resources, 100, 0, 0, nullptr,
        "The resources that provinces give for recruiting armoured troops, in percent of the normal amount"},
    {"--supplies", "Supplies (percent of normal)", &supplies, 100, 0, 0, nullptr,
        "The food that provinces give to armies living off the land, in percent of the normal amount"},
    {"--startprov", "Provinces at the start", &startprov, 1, 0, 0, nullptr,
        "How many provinces each nation holds at the start: its capital and the ones next to it"},
    {"--renaming", "Commanders may be renamed", &renaming, 0, 1, 0, nullptr,
        "Players may give their commanders names of their own"},
    {"--noscoregraphs", "No score graphs", &noscoregraphs, 0, 1, 0, nullptr,
        "The graphs that compare the nations' provinces, gold and armies are not shown"},
    {"--nonationinfo", "No information on other nations", &nonationinfo, 0, 1, 0, nullptr,
        "Players learn nothing of other nations beyond what their scouts see (no score graphs either)"},
    {nullptr, "Host when every human has played", &autohostgame, 0, 1, 0, nullptr,
        "Playing the game from this computer hosts the turn as soon as every human nation has played it"},
    {"--nocheatdet", "No cheat detection", &nocheatdet, 0, 1, 0, nullptr,
        "The host does not check the nations for treasure or gods beyond what the rules allow"},
    {"--totalvp", "Victory points in the world", &totalvp, 0, 0, 1, nullptr,
        "How many provinces with victory points the world holds (0: the last god standing wins)"},
    {"--requiredvp", "Victory points needed to win", &requiredvp, -1, 0, 1, nullptr,
        "The victory points a nation must hold to win the game"},
    {"--capitalvp", "An extra victory point in every capital", &capitalvp, 0, 1, 1, nullptr,
        "Every capital is worth one victory point more to the nation that holds it"},
    {"--summervp", "Victory points are gathered each summer", &summervp, 0, 1, 1, nullptr,
        "Victory points held each summer are added up, and a nation wins when its sum reaches the goal"},
};
const int32_t nbrnewgamesettings = int32_t(sizeof newgamesettings / sizeof newgamesettings[0]);

namespace {
const NewGameSetting& settingof(const int32_t* value) {
  for (const NewGameSetting& s : newgamesettings)
    if (s.value == value) return s;
  bailif(true, "settingof: no such setting");
  return newgamesettings[0];
}
int32_t gamevalue(const int32_t* value) { return settingvalue(settingof(value)); }
}  // namespace

void settingrange(const NewGameSetting& s, int32_t* low, int32_t* high) {
  *low = 0;
  *high = 1;
  if (!s.toggle) optionrange(s.option, low, high, nullptr);
}

int32_t settingvalue(const NewGameSetting& s) {
  if (*s.value >= 0) return *s.value;
  // Without a number of its own, half of the points in the world win.
  if (s.value == &requiredvp) return gamevalue(&totalvp) / 2;
  return s.fallback;
}

bool fitrequiredvp(char* message, int32_t size) {
  if (totalvp < 0 || requiredvp <= totalvp) return false;
  requiredvp = totalvp;
  formatbounded(message, size, "Only %d victory points stand in the world; %d it is.", totalvp, totalvp);
  return true;
}

void applygamesettings(int32_t mode) {
  char fitted[200];
  if (fitrequiredvp(fitted, sizeof fitted)) msgbox("%s", fitted);
  GameInfo& g = gameinfo;
  g.researchdiff = uint8_t(gamevalue(&researchdiff));
  g.hofsize = uint8_t(gamevalue(&hofsize));
  g.indepstr = uint8_t(gamevalue(&indepstr));
  g.magicsites = uint8_t(gamevalue(&magicsites));
  g.eventrarity = uint8_t(gamevalue(&eventrarity));
  g.startprov = uint8_t(imax(1, gamevalue(&startprov)));
  g.autohost = uint8_t(gamevalue(&autohostgame) > 0);
  g.moneymult = int16_t(gamevalue(&richness));
  g.resourcemult = int16_t(gamevalue(&resources));
  g.supplymult = int16_t(gamevalue(&supplies));
  const struct {
    const int32_t* value;
    uint32_t flag;
  } flags[] = {{&capitalvp, GF_CAPITALVP},         {&nocheatdet, GF_NOCHEATDETECTION},
               {&renaming, GF_RENAMING},           {&summervp, GF_SUMMERVP},
               {&noscoregraphs, GF_NOSCOREGRAPHS}, {&nonationinfo, GF_NONATIONINFO}};
  for (const auto& f : flags) {
    if (gamevalue(f.value) > 0) g.gameflags |= f.flag;
    else g.gameflags &= ~f.flag;
  }
  strlcopy(masterpassword, masterpass, sizeof masterpassword);
  // Victory points: the total is spread as provinces worth one point.
  int32_t total = gamevalue(&totalvp);
  vpprovinces[0] = total, vpprovinces[1] = vpprovinces[2] = 0;
  if (total > 0) {
    g.victory = 1;
    g.victoryvalue = int16_t(gamevalue(&requiredvp));
  } else {
    g.victory = 0;
    g.victoryvalue = 0;
  }
  (void)mode;
}

void applynationcontrol() {
  // Per-nation overrides: 20..24 a computer player Easy..Impossible, -3 closed.
  for (int32_t n = 0; n < NATIONCONTROLS; n++) {
    if (nationcontrol[n] >= 20 && nationcontrol[n] <= 24) {
      kingdom[size_t(n)].w[KW_CONTROLLER] = CTRL_AI;
      kingdom[size_t(n)].w[KW_AILEVEL] = int16_t(nationcontrol[n] - 19);
    } else if (nationcontrol[n] == -3) {
      kingdom[size_t(n)].w[KW_CONTROLLER] = CTRL_NONE;
    }
  }
}

// ---------------------------------------------------------------- participants

Participant participants[MAXPLAYERS];
int32_t highestparticipant = -1;

int nationplayable(int32_t nation, int32_t era) {
  if (nation < 0 || nation >= MAXPLAYERS || nation == 23 || nation == 24 || nation == INDEPENDENTS) return 0;
  const Nation& n = nations[size_t(nation)];
  if (!n.name[0] || !n.fileword[0] || int16_t(n.endmarker) == -998 || n.era != era) return 0;
  return !allowedplayersgiven || allowedplayers[nation];
}

int32_t participantof(int32_t nation) {
  for (int32_t i = 0; i <= highestparticipant; i++)
    if (participants[i].nation == nation) return i;
  return -1;
}

void removeparticipant(int32_t index) {
  if (index < 0 || index > highestparticipant) return;
  for (int32_t i = index; i < highestparticipant; i++) participants[i] = participants[i + 1];
  highestparticipant--;
}

void addparticipant(int32_t nation, int32_t controller, int32_t ailevel) {
  if (highestparticipant + 1 >= MAXPLAYERS) return;
  participants[++highestparticipant] = {nation, controller, controller == CTRL_AI ? imax(1, imin(ailevel, 5)) : 0};
}

void setparticipant(int32_t nation, int32_t controller, int32_t ailevel) {
  const int32_t i = participantof(nation);
  if (controller != CTRL_HUMAN && controller != CTRL_AI) {
    removeparticipant(i);
    return;
  }
  if (i < 0) {
    addparticipant(nation, controller, ailevel);
    return;
  }
  participants[i] = {nation, controller, controller == CTRL_AI ? imax(1, imin(ailevel, 5)) : 0};
}

void defaultparticipants(int32_t era) {
  highestparticipant = -1;
  for (int32_t n = 0; n < MAXPLAYERS; n++) {
    if (!nationplayable(n, era)) continue;
    const uint16_t c = uint16_t(kingdom[size_t(n)].w[KW_CONTROLLER]);
    if (nationcontrol[n] >= 20 && nationcontrol[n] <= 24) addparticipant(n, CTRL_AI, nationcontrol[n] - 19);
    else if (nationcontrol[n] == -3) continue;
    else if (c == CTRL_HUMAN || c == CTRL_AI) addparticipant(n, c, kingdom[size_t(n)].w[KW_AILEVEL]);
  }
}

const char* participantsproblem(int32_t era, int needhuman) {
  static char why[MSGLEN];
  if (highestparticipant < 0) return "Choose at least one nation to play.";
  int32_t humans = 0, drawn = 0, free = 0;
  for (int32_t i = 0; i <= highestparticipant; i++) {
    const Participant& p = participants[i];
    humans += p.controller == CTRL_HUMAN;
    if (p.nation < 0) {
      drawn++;
      continue;
    }
    if (!nationplayable(p.nation, era)) {
      formatbounded(why, MSGLEN, "%s cannot play in this game.", p.nation < MAXPLAYERS ? nations[size_t(p.nation)].name : "?");
      return why;
    }
    if (participantof(p.nation) != i) {
      formatbounded(why, MSGLEN, "%s is chosen twice.", nations[size_t(p.nation)].name);
      return why;
    }
  }
  for (int32_t n = 0; n < MAXPLAYERS; n++) free += nationplayable(n, era) && participantof(n) < 0;
  if (drawn > free) {
    formatbounded(why, MSGLEN, "Only %d nations are left for the %d random opponents.", free, drawn);
    return why;
  }
  if (needhuman && humans == 0) return "At least one nation must be played by a human.";
  return "";
}

namespace {
// Provinces of the map where a nation of the land or of the sea may start,
// less those that the nations already playing need; unlimited (a random
// map, made to fit) while no map is read.
struct StartRoom {
  int32_t land = 0, sea = 0;
  bool known = false;
};
StartRoom startroom() {
  StartRoom r;
  r.known = nbrlands > 0;
  for (int32_t l = 1; l <= nbrlands && l < MAXLANDS; l++) {
    const ProvGeo& g = provgeo[size_t(l)];
    if (g.x <= 0 || g.y <= 0 || (g.terrain & TM_NOSTART)) continue;
    if (g.terrain & TM_SEA) r.sea++;
    else r.land++;
  }
  for (int32_t k = 0; k < MAXPLAYERS; k++) {
    const uint16_t c = uint16_t(kingdom[size_t(k)].w[KW_CONTROLLER]);
    // A special start province is the nation's own, whatever its marks.
    if ((c != CTRL_HUMAN && c != CTRL_AI) || specstart[k] > 0) continue;
    if (isuwnation(k)) r.sea--;
    else r.land--;
  }
  return r;
}
bool roomfor(const StartRoom& r, int32_t nation) {
  return !r.known || specstart[nation] > 0 || (isuwnation(nation) ? r.sea : r.land) > 0;
}
}  // namespace

void assignnations(int32_t era) {
  for (int32_t k = 0; k < MAXPLAYERS; k++) {
    kingdom[size_t(k)].w[KW_CONTROLLER] = CTRL_NONE;
    kingdom[size_t(k)].w[KW_AILEVEL] = 0;
  }
  auto give = [](int32_t n, const Participant& p) {
    Kingdom& k = kingdom[size_t(n)];
    bailif(k.w[KW_CONTROLLER] != CTRL_NONE, "s2k: two players on same nation");
    k.w[KW_CONTROLLER] = int16_t(p.controller);
    k.w[KW_AILEVEL] = int16_t(p.controller == CTRL_AI ? p.ailevel : 0);
  };
  for (int32_t i = 0; i <= highestparticipant; i++)
    if (participants[i].nation >= 0) {
      bailif(participants[i].nation >= MAXPLAYERS, "assignnations: bad nation");
      give(participants[i].nation, participants[i]);
    }
  for (int32_t i = 0; i <= highestparticipant; i++) {
    if (participants[i].nation >= 0) continue;
    // Nations that could find no home on the map are passed over while
    // others may be drawn; a map too small for all is told by the room check.
    const StartRoom room = startroom();
    int32_t draws = 0, n = -1;
    for (; draws < 2000; draws++) {
      n = rnd(MAXPLAYERS);
      if (nationplayable(n, era) && kingdom[size_t(n)].w[KW_CONTROLLER] == CTRL_NONE &&
          (draws >= 1000 || roomfor(room, n)))
        break;
    }
    bailif(draws >= 2000, "no nation available");
    give(n, participants[i]);
  }
}

const char* startroomproblem() {
  static char why[MSGLEN];
  const StartRoom left = startroom();
  if (!left.known) return "";
  // The room of the map is what is left plus what the players take.
  int32_t landplayers = 0, seaplayers = 0;
  for (int32_t k = 0; k < MAXPLAYERS; k++) {
    const uint16_t c = uint16_t(kingdom[size_t(k)].w[KW_CONTROLLER]);
    if ((c != CTRL_HUMAN && c != CTRL_AI) || specstart[k] > 0) continue;
    if (isuwnation(k)) seaplayers++;
    else landplayers++;
  }
  if (left.land < 0) {
    formatbounded(why, MSGLEN, "This map has room for %d nations on land, not for %d. Choose fewer nations or another map.",
                  left.land + landplayers, landplayers);
    return why;
  }
  if (left.sea < 0) {
    formatbounded(why, MSGLEN, "This map has room for %d nations of the sea, not for %d. Choose fewer of them or another map.",
                  left.sea + seaplayers, seaplayers);
    return why;
  }
  return "";
}

// ---------------------------------------------------------------- questions

namespace {
NewGameScreens screens = {};
bool windowed() { return !textonly; }
}  // namespace

void setnewgamescreens(const NewGameScreens* s) { screens = s ? *s : NewGameScreens{}; }

int32_t selectera(int32_t mode) {
  (void)mode;
  if (screens.era && windowed()) return screens.era();
  int32_t era = inputnumber(1, 3, "Choose era (1-3)");
  return era >= 1 && era <= 3 ? era : 0;
}

int32_t gamesettings(int32_t mode) {
  if (screens.settings && windowed() && screens.settings() == 0) return 0;
  applygamesettings(mode);
  return 1;
}

int32_t chooseparticipants(int32_t fresh, int32_t era) {
  if (!fresh) defaultparticipants(era);
  if (screens.participants && windowed()) return screens.participants(era);
  // On the console the participants are those that the map and the command
  // line name; at least one must play.
  return highestparticipant >= 0 ? 1 : 0;
}

int32_t designallgods(int32_t era, const char* gname) {
  if (screens.gods && windowed()) return screens.gods(era, gname);
  // On the console every human's design must stand in the game's folder.
  return 1;
}

bool gameexists(const char* gname) {
  return validgamename(gname) && hasgamefiles(gname);
}

bool gamefilename(const char* gname, const char* name) {
  // What stopped writes leave, finished or not, is the game's too; of the
  // older temp names only those of the game's own files and sets.
  if (temppid(name) > 0 || hasextension(name, ".host")) return true;
  if (oldtemppid(name) > 0) {
    const std::string base(name, strrchr(name, '.'));
    return base == "set" || (oldtemppid(base.c_str()) == 0 && gamefilename(gname, base.c_str()));
  }
  for (const char* own : {"ftherlnd", "ftherlnd.chk", "scores.html", "stats.txt", "hostcommit", HOSTLOCKFILE})
    if (strcmp(name, own) == 0) return true;
  char file[300];
  for (const char* ext : {".map", ".rgb"}) {
    formatbounded(file, sizeof file, "__randommap_%s%s", gname, ext);
    if (strcmp(name, file) == 0) return true;
  }
  const char* dot = strrchr(name, '.');
  if (!dot || !(strcmp(dot, ".trn") == 0 || strcmp(dot, ".2h") == 0 || strcmp(dot, ".chk") == 0)) return false;
  for (int32_t n = 0; n < MAXPLAYERS; n++) {
    const char* word = nations[size_t(n)].fileword;
    if (word[0] && size_t(dot - name) == strlen(word) && strncmp(name, word, size_t(dot - name)) == 0) return true;
  }
  return false;
}

namespace {
// True when this process may take another account's entry out of a folder
// with the sticky bit, as the owner of the folder may.
bool overridessticky() {
  __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct caps[2] = {};
  return syscall(SYS_capget, &header, caps) == 0 && (caps[CAP_FOWNER / 32].effective & (1u << (CAP_FOWNER % 32))) != 0;
}

// Why an entry of an old game's folder with the sticky bit (one that every
// player writes) could not be taken out of it, nullptr when it can: only
// the owner of the entry or of the folder takes it.
const char* stickystays(const struct stat& parent, const struct stat& st) {
  if (!(parent.st_mode & S_ISVTX) || st.st_uid == geteuid() || parent.st_uid == geteuid() || overridessticky())
    return nullptr;
  return S_ISDIR(st.st_mode) ? "it is another account's folder" : "it is another account's file";
}

// Why a sub-folder of an old game's folder would stay behind when the new
// game stands (it is moved into the new game's folder then, and a folder
// left there keeps the old folder from going), nullptr when it goes. A
// folder moves into another folder when the user may write the folder it
// leaves and, as its ".." changes, the folder itself; out of a folder with
// the sticky bit only as stickystays says; and never while a file system is
// mounted on it.
const char* staysbehind(const char* from, const struct stat& parent, const char* path, const struct stat& st) {
  if (st.st_dev != parent.st_dev) return "another file system is mounted on it";
  const char* denied = st.st_uid != geteuid() ? "it is another account's folder" : "no permission";
  for (const auto& [folder, access] : {std::pair{from, W_OK | X_OK}, std::pair{path, W_OK}})
    if (faccessat(AT_FDCWD, folder, access, AT_EACCESS) != 0)
      return errno == EACCES || errno == EPERM ? denied : readcause(errno);
  return stickystays(parent, st);
}

// Why the old game's folder could not be emptied once the new game stands,
// nullptr when it can: the user must write it. Whatever stayed in it would
// keep it beside the saved games for good, as no start removes what is not
// wholly the user's.
const char* cannotempty(const char* from, const struct stat& folder) {
  if (faccessat(AT_FDCWD, from, W_OK | X_OK, AT_EACCESS) == 0) return nullptr;
  if (errno != EACCES && errno != EPERM) return readcause(errno);
  return folder.st_uid != geteuid() ? "it is another account's folder" : "no permission";
}
}  // namespace

std::string carryoldfiles(const char* gname, const char* from, const char* to, bool oldgame) {
  DIR* d = opendir(from);
  std::vector<std::string> names;
  while (dirent* e = d ? readdir(d) : nullptr)
    if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) names.emplace_back(e->d_name);
  if (d) closedir(d);
  struct stat parent;
  if (stat(from, &parent) != 0) return "";
  const std::string notmade = "The new game " + std::string(gname) + " was not made: ";
  if (!names.empty())
    if (const char* stays = cannotempty(from, parent))
      return notmade + from + ", which would go with it, cannot be emptied: " + stays;
  for (const std::string& name : names) {
    const std::string source = std::string(from) + "/" + name, copy = std::string(to) + "/" + name;
    const std::string why = notmade + source;
    struct stat st;
    if (lstat(source.c_str(), &st) != 0) continue;
    // What is not moved into the new game goes with the old folder.
    const bool moved = S_ISDIR(st.st_mode) && temppid(name.c_str()) <= 0;
    const char* left = moved ? nullptr : stickystays(parent, st);
    if (left) return why + ", which would go with it, cannot be removed: " + left;
    if (temppid(name.c_str()) > 0) continue;
    // Sub-folders go over when the new game is in place: each must be able to.
    if (S_ISDIR(st.st_mode)) {
      if (const char* stays = staysbehind(from, parent, source.c_str(), st))
        return why + ", which would go with it, cannot be moved: " + stays;
      continue;
    }
    if (oldgame && gamefilename(gname, name.c_str())) continue;
    if (link(source.c_str(), copy.c_str()) == 0) continue;
    const int32_t copied = copynofollow(source.c_str(), copy.c_str());
    const int cause = errno;
    if (copied == 0) continue;
    if (copied == -1) return why + ", which would go with it, cannot be read: " + nofollowproblem(source.c_str(), cause);
    return why + " could not be copied into it: " + fileproblem(savepath, cause);
  }
  return "";
}

int32_t askreplacegame(const char* gname, const char* question) {
  if (!gameexists(gname)) return 1;
  if (textonly) return 1;
  return safequestion("A Game of That Name", question, "Delete game") == ASK_YES ? 1 : 0;
}

int32_t deletegamefiles(const char* gname, const char* question) {
  if (!validgamename(gname)) return 1;
  if (!askreplacegame(gname, question)) return 0;
  removegamefiles(gname);
  return 1;
}

void removegamefiles(const char* gname) {
  if (!validgamename(gname)) return;
  char folder[PATHLEN];
  formatbounded(folder, PATHLEN, "%s/%s", savepath, gname);
  DIR* d = opendir(folder);
  if (!d) return;
  std::vector<std::string> doomed;
  while (dirent* e = readdir(d))
    if (gamefilename(gname, e->d_name)) doomed.emplace_back(std::string(folder) + "/" + e->d_name);
  closedir(d);
  for (const std::string& path : doomed)
    if (remove(path.c_str()) != 0 && (temppid(path.c_str()) > 0 || oldtemppid(path.c_str()) > 0))
      removeownfolder(path.c_str());
  remove(folder);   // only when empty: nothing else is ever removed
}

void initcapitalland(int32_t lnr) {
  bailif(lnr < 0 || lnr >= MAXLANDS, "initcapitalland: bad lnr");
  land[size_t(lnr)].population = int16_t(2950 + roll(100));
  land[size_t(lnr)].baseres = 80;
}

int32_t nearowned(int32_t lnr, int32_t steps, int32_t kind) {
  // A walk outward, level by level, over the lands of the asked kind.
  auto fits = [kind](int32_t l) {
    const bool sea = (provgeo[size_t(l)].terrain & TM_SEA) != 0;
    return !((kind == 0 && sea) || (kind == 1 && !sea));
  };
  if (lnr < 1 || lnr >= MAXLANDS || !fits(lnr)) return 0;
  static int32_t seen[MAXLANDS];
  static int32_t mark = 0;
  if (++mark == 0) {
    memset(seen, 0, sizeof seen);
    mark = 1;
  }
  static int32_t queue[MAXLANDS];
  int32_t head = 0, tail = 0;
  queue[tail++] = lnr;
  seen[lnr] = mark;
  for (int32_t depth = 0; head < tail; depth++) {
    const int32_t levelend = tail;
    for (; head < levelend; head++) {
      const int32_t l = queue[head];
      if (land[size_t(l)].owner != INDEPENDENTS) return 1;
      if (depth >= steps) continue;
      const int16_t* nb = provgeo[size_t(l)].nbr;
      for (int32_t i = 0; i < MAXNEIGHBOURS && nb[i] != 0; i++) {
        const int32_t n = nb[i];
        if (n < 1 || n >= MAXLANDS || seen[n] == mark || !fits(n)) continue;
        seen[n] = mark;
        queue[tail++] = n;
      }
    }
  }
  return 0;
}

void unitcheck(int32_t level) {
  bailif(highestunit >= MAXUNITS, "unit overflow");
  if (level <= 0) return;
  for (int32_t c = 0; c <= highestcom && c < MAXCOMS; c++) {
    int32_t b = com[size_t(c)].body;
    if (b < 0) continue;
    if (b >= MAXUNITS || unit[size_t(b)].comnr != c) fatalerror("damn inconsistency!");
  }
}
