#include "runtime/options.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "mods/mods.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/settings.h"
#include "runtime/util.h"

int32_t hostmode, netmode, textonly, verify, superhost, perftestflag, statfile, scoredump;
int32_t comptrn, allai, nonationsel, quickhost, nocheatdet;
char makemapname[500];
const char* gamename;
int32_t nationcontrol[NATIONCONTROLS];
char ipadr[250];
int32_t port;
char preexec[500], postexec[500];
int32_t hosthour[7], hostinterval, pauseday[7], uploadtime, uploadmaxp, clientstart;
int32_t researchdiff, hofsize, indepstr, magicsites, eventrarity;
int32_t totalvp, requiredvp, richness, resources, supplies, startprov, eraoption;
int32_t capitalvp, summervp, renaming, noscoregraphs, nonationinfo;
char masterpass[50];
char mapfile[500];
int32_t randmap;
int32_t riverpart, seapart, mountpart, forestpart, farmpart, wastepart, swamppart;
int32_t mapnoise, borderwidth, mapsize[2], mapprov, mapaa, impassmount;
int32_t mapgcol[4], mapscol[4], mapbcol[4], mapsbcol[4];
int32_t glext, vsync, arcade, popups, endcredits, badmouse, badgl, compression;
int32_t pendingvalue;

namespace {
// The option whose value is awaited, and which of its values comes next.
enum class Wait {
  none, fps, maxfps, filtering, bitplanes, zbuffer, res, gamma, opacity, musicvol, clickvol,
  maxtexsize, treequal, texqual, partamount, renderpath, ipadr, port, preexec, postexec,
  hosttime, minutes, hours, pauseday, uploadtime, uploadmaxp, closed, easyai, normai, diffai,
  mightyai, impai, mapfile, randmap, research, hofsize, indepstr, magicsites, eventrarity,
  totalvp, requiredvp, richness, resourcesopt, supplies, masterpass, startprov, era, enablemod,
  makemap, riverpart, seapart, mountpart, forestpart, farmpart, swamppart, wastepart, mapnoise,
  borderwidth, mapsize, mapprov, mapgcol, mapscol, mapbcol, mapsbcol,
};
Wait waiting = Wait::none;
int32_t valuestep = 0;
int32_t hosttimeday = -1;
bool modlistcleared = false;

struct ValueOption {
  const char* name;
  const char* shortname;
  Wait wait;
};
const ValueOption valueoptions[] = {
    {"--fps", nullptr, Wait::fps}, {"--maxfps", nullptr, Wait::maxfps},
    {"--filtering", nullptr, Wait::filtering}, {"--bitplanes", nullptr, Wait::bitplanes},
    {"--zbuffer", nullptr, Wait::zbuffer}, {"--res", "-r", Wait::res}, {"--gamma", nullptr, Wait::gamma},
    {"--opacity", nullptr, Wait::opacity}, {"--musicvol", nullptr, Wait::musicvol},
    {"--clickvol", nullptr, Wait::clickvol}, {"--maxtexsize", nullptr, Wait::maxtexsize},
    {"--treequal", nullptr, Wait::treequal}, {"--texqual", nullptr, Wait::texqual},
    {"--partamount", nullptr, Wait::partamount}, {"--renderpath", nullptr, Wait::renderpath},
    {"--ipadr", nullptr, Wait::ipadr}, {"--port", nullptr, Wait::port}, {"--preexec", nullptr, Wait::preexec},
    {"--postexec", nullptr, Wait::postexec}, {"--hosttime", "-t", Wait::hosttime},
    {"--minutes", nullptr, Wait::minutes}, {"--hours", nullptr, Wait::hours},
    {"--pauseday", nullptr, Wait::pauseday}, {"--uploadtime", nullptr, Wait::uploadtime},
    {"--uploadmaxp", nullptr, Wait::uploadmaxp}, {"--closed", nullptr, Wait::closed},
    {"--easyai", nullptr, Wait::easyai}, {"--normai", nullptr, Wait::normai}, {"--diffai", nullptr, Wait::diffai},
    {"--mightyai", nullptr, Wait::mightyai}, {"--impai", nullptr, Wait::impai},
    {"--mapfile", nullptr, Wait::mapfile}, {"--randmap", nullptr, Wait::randmap},
    {"--research", nullptr, Wait::research}, {"--hofsize", nullptr, Wait::hofsize},
    {"--indepstr", nullptr, Wait::indepstr}, {"--magicsites", nullptr, Wait::magicsites},
    {"--eventrarity", nullptr, Wait::eventrarity}, {"--totalvp", nullptr, Wait::totalvp},
    {"--requiredvp", nullptr, Wait::requiredvp}, {"--richness", nullptr, Wait::richness},
    {"--resources", nullptr, Wait::resourcesopt}, {"--supplies", nullptr, Wait::supplies},
    {"--masterpass", nullptr, Wait::masterpass}, {"--startprov", nullptr, Wait::startprov},
    {"--era", nullptr, Wait::era}, {"--enablemod", "-M", Wait::enablemod}, {"--makemap", nullptr, Wait::makemap},
    {"--riverpart", nullptr, Wait::riverpart}, {"--seapart", nullptr, Wait::seapart},
    {"--mountpart", nullptr, Wait::mountpart}, {"--forestpart", nullptr, Wait::forestpart},
    {"--farmpart", nullptr, Wait::farmpart}, {"--swamppart", nullptr, Wait::swamppart},
    {"--wastepart", nullptr, Wait::wastepart}, {"--mapnoise", nullptr, Wait::mapnoise},
    {"--borderwidth", nullptr, Wait::borderwidth}, {"--mapsize", nullptr, Wait::mapsize},
    {"--mapprov", nullptr, Wait::mapprov}, {"--mapgcol", nullptr, Wait::mapgcol},
    {"--mapscol", nullptr, Wait::mapscol}, {"--mapbcol", nullptr, Wait::mapbcol},
    {"--mapsbcol", nullptr, Wait::mapsbcol},
};

int32_t clampi(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; }

// "%d" with saturation: leading blanks, an optional sign and at least one
// digit; a number beyond 32 bits reads as the nearest 32-bit value.
bool readint(const char* text, int32_t* value) {
  const char* p = text;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v') p++;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (*p < '0' || *p > '9') return false;
  int64_t v = 0;
  for (; *p >= '0' && *p <= '9'; p++) {
    v = v * 10 + (*p - '0');
    if (v > int64_t(INT32_MAX) + 1) v = int64_t(INT32_MAX) + 1;
  }
  if (negative) v = -v;
  *value = int32_t(v > INT32_MAX ? INT32_MAX : v);
  return true;
}

void setai(int32_t nation, int32_t code) {
  if (nation < 0 || nation > 94 || nation == 23 || nation == 24 || nation == 25) fatalerror("bad ai player");
  nationcontrol[nation] = code;
}

void hourstimer(const char* text, int32_t factor) {
  int32_t x;
  if (readint(text, &x) && x > 0) {
    int64_t minutes = int64_t(x) * factor;
    hostinterval = int32_t(minutes > INT32_MAX ? INT32_MAX : minutes);
  }
}

void colourvalue(int32_t* colour, const char* text) {
  int32_t x;
  if (readint(text, &x)) colour[valuestep] = x;
  if (++valuestep < 4) pendingvalue = 1;
}

// The value of the waiting option.
void takevalue(const char* text) {
  Wait option = waiting;
  waiting = Wait::none;
  int32_t x = 0;
  bool number = readint(text, &x);
  switch (option) {
    case Wait::none: break;
    case Wait::fps: if (number) fpstarget = clampi(x, 4, 200); break;
    case Wait::maxfps: if (number && x > 0) framedelay = 1000 / imin(x, 200); break;
    case Wait::filtering: if (number && x >= 0) filtering = imin(x, 3); break;
    case Wait::bitplanes: if (number && x > 0) bitplanes = imin(x, 256); break;
    case Wait::zbuffer: if (number && x >= 0) zbuffer = imin(x, 32); break;
    case Wait::res:
      if (valuestep == 0) {
        if (number && x >= 160 && x <= 32768) {
          fswidth = winwidth = x;
          valuestep = 1;
          waiting = option;
          pendingvalue = 1;
        }
      } else if (number && x >= 100 && x <= 32768) {
        fsheight = winheight = x;
      }
      break;
    case Wait::gamma: {
      char* end = nullptr;
      float g = strtof(text, &end);
      if (end != text && g == g) gammavalue = g < 0.1f ? 0.1f : g > 5.0f ? 5.0f : g;
      break;
    }
    case Wait::opacity: if (number) guiopacity = clampi(x, 0, 100); break;
    case Wait::musicvol: if (number && x >= 0 && x <= 100) musicvolume = x * 255 / 100; break;
    case Wait::clickvol: if (number && x >= 0 && x <= 100) clickvolume = x * 255 / 100; break;
    case Wait::maxtexsize: if (number && x >= 0) maxtexsize = (x >= 1 && x <= 31) ? 32 : x; break;
    case Wait::treequal: if (number) treequality = clampi(x, 1, 5); break;
    case Wait::texqual: if (number) texquality = clampi(x, 1, 5); break;
    case Wait::partamount: if (number && x >= -1 && x <= 9) partamount = x; break;
    case Wait::renderpath: if (number && x >= -1 && x <= 1) renderpath = x; break;
    case Wait::ipadr: strlcopy(ipadr, text, sizeof ipadr); break;
    case Wait::port: if (number) port = x; break;   // checked where a socket is set up
    case Wait::preexec: strlcopy(preexec, text, sizeof preexec); break;
    case Wait::postexec: strlcopy(postexec, text, sizeof postexec); break;
    case Wait::hosttime:
      if (valuestep == 0) {
        hosttimeday = number ? x : -1;
        valuestep = 1;
        waiting = option;
        pendingvalue = 1;
      } else if (number && hosttimeday >= 0 && hosttimeday <= 6 && x >= 0 && x <= 23) {
        hosthour[hosttimeday] = x;
      }
      break;
    case Wait::minutes: hourstimer(text, 1); break;
    case Wait::hours: hourstimer(text, 60); break;
    case Wait::pauseday: if (number && x >= 0 && x <= 6) pauseday[x] = 1; break;
    case Wait::uploadtime:
      if (number && x >= 0) uploadtime = int64_t(x) * 60000 > INT32_MAX ? INT32_MAX : x * 60000;
      break;
    case Wait::uploadmaxp: if (number && x >= 0) uploadmaxp = imin(x, 95); break;
    case Wait::closed: if (number && x >= 0 && x <= 94) nationcontrol[x] = -3; break;
    case Wait::easyai: if (number) setai(x, 20); break;
    case Wait::normai: if (number) setai(x, 21); break;
    case Wait::diffai: if (number) setai(x, 22); break;
    case Wait::mightyai: if (number) setai(x, 23); break;
    case Wait::impai: if (number) setai(x, 24); break;
    case Wait::mapfile: strlcopy(mapfile, text, sizeof mapfile); break;
    case Wait::randmap: if (number && x >= 0) randmap = imin(x, 100); break;
    case Wait::research: if (number && x >= 0 && x <= 3) researchdiff = x; break;
    case Wait::hofsize: if (number && x >= 5 && x <= 15) hofsize = x; break;
    case Wait::indepstr: if (number && x >= 0 && x <= 9) indepstr = x; break;
    case Wait::magicsites: if (number && x >= 0 && x <= 75) magicsites = x; break;
    case Wait::eventrarity: if (number && x >= 1 && x <= 2) eventrarity = x; break;
    case Wait::totalvp: if (number && imin(x, 25) >= 0) totalvp = imin(x, 25); break;
    case Wait::requiredvp: if (number && imin(x, 25) >= 0) requiredvp = imin(x, 25); break;
    case Wait::richness: if (number) richness = clampi(x, 50, 300); break;
    case Wait::resourcesopt: if (number) resources = clampi(x, 50, 300); break;
    case Wait::supplies: if (number) supplies = clampi(x, 50, 300); break;
    case Wait::masterpass: strlcopy(masterpass, text, sizeof masterpass); break;
    case Wait::startprov: if (number && x >= 1 && x <= 9) startprov = x; break;
    case Wait::era: if (number && x >= 1 && x <= 3) eraoption = x; break;
    case Wait::enablemod:
      if (!modlistcleared) {
        clearenabledmods();
        modlistcleared = true;
      }
      if (modfileexists(text)) enablemod(text);
      else printf("Can't find mod: %s\n", text);
      break;
    case Wait::makemap: {
      strlcopy(makemapname, text, sizeof makemapname);
      size_t length = strlen(makemapname);
      if (length >= 4 && makemapname[length - 4] == '.') makemapname[length - 4] = 0;
      if (!validgamename(makemapname)) fatalerror("Bad filename for random map");
      break;
    }
    case Wait::riverpart: if (number) riverpart = clampi(x, 0, 1000); break;
    case Wait::seapart: if (number) seapart = clampi(x, 0, 100); break;
    case Wait::mountpart: if (number) mountpart = clampi(x, 0, 100); break;
    case Wait::forestpart: if (number) forestpart = x; break;
    case Wait::farmpart: if (number) farmpart = x; break;
    case Wait::swamppart: if (number) swamppart = x; break;
    case Wait::wastepart: if (number) wastepart = x; break;
    case Wait::mapnoise: if (number) mapnoise = x; break;
    case Wait::borderwidth: if (number) borderwidth = clampi(x, 0, 500); break;
    case Wait::mapsize:
      if (number) mapsize[valuestep] = clampi(x, 100, 11000);
      if (valuestep == 0) {
        valuestep = 1;
        waiting = option;
        pendingvalue = 1;
      }
      break;
    case Wait::mapprov: if (number) mapprov = clampi(x, 10, 1495); break;
    case Wait::mapgcol: waiting = option; colourvalue(mapgcol, text); break;
    case Wait::mapscol: waiting = option; colourvalue(mapscol, text); break;
    case Wait::mapbcol: waiting = option; colourvalue(mapbcol, text); break;
    case Wait::mapsbcol: waiting = option; colourvalue(mapsbcol, text); break;
  }
  if (!pendingvalue) waiting = Wait::none;
}

void printversion() {
  printf("Veyrances 3, %s (%s %s)\n", VERSIONTEXT, __DATE__, __TIME__);
  printf("A turn-based game of pretender gods and their nations, by the vey3 developers.\n");
}

void printusage() {
  static const char* const before[] = {
      "usage: vey3 [option(s)] [gamename]",
      "options:",
      "-v  --version       Print version number and exit",
      "-d                  Increase debug level",
      "-g  --host          Generate new turn and exit",
      "    --verify        Verify all 2h-files and exit (creates .chk files)",
      "    --statfile      Create a player info file after each turn (stats.txt)",
      "    --scoredump     Create a score file after each turn (scores.html)",
      "    --finalhost     Generate new turn, send out final score msg and exit",
      "-c  --nocredits     Disables the end credits",
      "******* Network Options *******",
      "-C  --tcpclient     Connect to a Veyrances multiplayer server",
      "-S  --tcpserver     Start a Veyrances multiplayer server",
      "    --ipadr XXX     Use this IP-adr when connecting to server",
      "    --port X        Use this port nbr",
      "    --preexec CMD   Execute this command before each turn generation",
      "    --postexec CMD  Execute this command after each turn generation",
      "-t  --hosttime X Y  Host on day X (0=sunday) hour Y (0-23)",
      "    --minutes X     Set host interval in minutes",
      "-h  --hours X       Set host interval in hours",
      "    --pauseday X    Stop timer on this day (0=sunday)",
      "-q  --quickhost     Host as soon as all turns are done",
      "-n  --nonationsel   No nation selection when resuming a network game",
      "    --noclientstart Clients cannot start the game during Choose Participants",
      "    --uploadtime X  Game is created after this many minutes.",
      "    --uploadmaxp X  Game is created if this many players join.",
  };
  for (const char* line : before) puts(line);
  printf("    --closed X      Nation closed X=nation number (0-%d)\n", 94);
  printf("    --easyai X      Nation ai controlled X=nation number (0-%d)\n", 94);
  printf("    --normai X      Nation ai controlled X=nation number (0-%d)\n", 94);
  printf("    --diffai X      Nation ai controlled X=nation number (0-%d)\n", 94);
  printf("    --mightyai X    Nation ai controlled X=nation number (0-%d)\n", 94);
  printf("    --impai X       Nation ai controlled X=nation number (0-%d)\n", 94);
  static const char* const after[] = {
      "******* New Game Options *******",
      "    --mapfile XXX   Filename of map. E.g. eye.map",
      "    --randmap X     Make and use a random map with X prov per player (10,15,20)",
      "    --research X    Research difficulty 0-3 (default 1)",
      "    --hofsize X     Size of Hall of Fame 5-15 (default 10)",
      "    --indepstr X    Strength of Independents 0-9 (default 5)",
      "    --magicsites X  Magic site frequency 0-75 (default 40)",
      "    --eventrarity X Random event rarity 1-2, 1=common 2=rare",
      "    --totalvp X     Vic. points available in the world 0-25",
      "    --capitalvp     One extra victory per capital",
      "    --requiredvp X  Vic. points required for victory (default total/2)",
      "    --summervp      Vic. points are accumulated each summer",
      "    --richness X    Money multiple 50-300 (default 100)",
      "    --resources X   Resource multiple 50-300 (default 100)",
      "    --supplies X    Supply multiple 50-300 (default 100)",
      "    --masterpass XX Master password. E.g. quillfeathers",
      "    --startprov X   Number of starting provinces (1-9)",
      "    --renaming      Enable commander renaming",
      "    --noscoregraphs Disable score graphs",
      "    --nonationinfo  No info at all on other nations",
      "    --nocheatdet    Turns off cheat detection",
      "    --era X         New game created in this era (1-3)",
      "-M  --enablemod XXX Enable the mod with filename XXX",
      "******* Random Map Options *******",
      "    --makemap XXX   Generate a random map with filename XXX and exit",
      "    --riverpart X   100 = normal amount of rivers, 0=no rivers",
      "    --seapart X     Percent of map that is below water level (default=30)",
      "    --mountpart X   Percent of map that is mountains (default=20)",
      "    --forestpart X  Percent of lands that are forests (default=20)",
      "    --farmpart X    Percent of lands that are farm lands (default=15)",
      "    --wastepart X   Percent of lands that are wastes (default=10)",
      "    --swamppart X   Percent of lands that are swamps (default=10)",
      "    --mapaa         Enable antialiasing for random maps",
      "    --mapsize W H   Set width and height of random map (default=1600 1200)",
      "    --mapprov X     Set number of provinces (default=150)",
      "    --passmount     Don't use impassable mountains on random maps",
      "    --mapgcol RGBA  Ground color 0-255 (default=170 146 116 255)",
      "    --mapscol RGBA  Sea color 0-255 (default=54 54 130 255)",
      "    --mapbcol RGBA  Ground border color 0-255 (x4)",
      "    --mapsbcol RGBA Sea border color 0-255 (x4)",
      "    --mapnoise X    Ground color noise 0-255 (default 15)",
      "    --borderwidth X Border width 0-500 (default 100)",
      "******* Video Options *******",
      "-w  --window        Run Veyrances 3 in a window",
      "-u  --fullscreen    Use the entire screen",
      "    --bitplanes X   Try to use a color depth of X bits per pixel",
      "    --zbuffer X     Try to use a depth buffer of X bits per pixel (default=16)",
      "-T  --textonly      Use this with --tcpserver to get graphicless server",
      "    --gamma X       Set gamma function (brightness) 0.1 - 5.0 (default=1.0)",
      "    --opacity X     Set gui opacity 0 - 100",
      "-r  --res X Y       Set screen resolution / window size (default=1024 768)",
      "    --animback      Use animated backgrounds",
      "-a  --noanimback    Don't use animated backgrounds",
      "    --fade          Use fade effects",
      "-f  --nofade        No fade effects",
      "    --nopopups      No helpful popups",
      "    --fps X         Aim for this nbr of frames per second (default=20)",
      "    --maxfps X      Maximum nbr of frames per second (default=50)",
      "    --filtering X   Quality of OpenGL filtering 0-3 (default=2)",
      "    --maxtexsize X  Max texture size in pixels 32-4096 (default=unlimited)",
      "    --treequal X    Tree quality 1-5 (default=3)",
      "    --texqual X     Texture quality 1-5 (default=3)",
      "    --nolightfx     No light effects in battles",
      "    --partamount X  Max nbr of particles 0-8 (0=none, 4=default, 8=max)",
      "    --nograss       Don't draw the grass",
      "    --noarcade      Don't draw floating damage numbers",
      "    --noglext       Don't use any OpenGL extensions",
      "    --vsync         Enable vsync",
      "-V  --novsync       Disable vsync",
      "    --renderpath X  Use different optimizations 0-1 (0=good for low mem cards)",
      "-x  --fastgrx       Faster graphics (use 3 times for best performance (-xxx))",
      "-p  --perftest      Run a performance test and exit",
      "******* Audio Options *******",
      "-s  --nosound       No sound effects or music",
      "-m  --nomusic       No music",
      "    --musicvol X    Set music volume, 0-100",
      "    --clickvol X    Set mouse click volume, 0-100",
      "    --defsound      Use default sound device",
      "    --jack          Route sound through jack",
      "    --pulseaudio    Route sound through pulse audio",
      "    --arts          Route sound through aRts",
      "-o  --oss           Use direct oss sound output",
      "example: vey3 -wm  (runs Veyrances 3 in a window without music)",
  };
  for (const char* line : after) puts(line);
}

bool is(const char* text, const char* name, const char* shortname = nullptr) {
  return strcmp(text, name) == 0 || (shortname && strcmp(text, shortname) == 0);
}

// Flag options; false when the text is none of them.
bool flagoption(const char* t) {
  if (is(t, "--host", "-g")) hostmode = 1;
  else if (is(t, "--finalhost")) hostmode = 2;
  else if (is(t, "--tcpserver", "-S")) { netmode = 1; musicvolume = 0; sounddevice = 0; }
  else if (is(t, "--tcpclient", "-C")) netmode = 2;
  else if (is(t, "--verify")) verify = 1;
  else if (is(t, "--superhost")) superhost = 1;
  else if (is(t, "--statfile")) statfile = 1;
  else if (is(t, "--scoredump")) scoredump = 1;
  else if (is(t, "--comptrn")) comptrn = 1;
  else if (is(t, "--allai")) allai = 1;
  else if (is(t, "--nonationsel", "-n")) nonationsel = 1;
  else if (is(t, "--quickhost", "-q")) quickhost = 1;
  else if (is(t, "--nocheatdet")) nocheatdet = 1;
  else if (is(t, "--textonly", "-T")) textonly = 1;
  else if (is(t, "--perftest", "-p")) perftestflag = 1;
  else if (is(t, "--noclientstart")) clientstart = 0;
  else if (is(t, "--capitalvp")) capitalvp = 1;
  else if (is(t, "--summervp")) summervp = 1;
  else if (is(t, "--renaming")) renaming = 1;
  else if (is(t, "--noscoregraphs")) noscoregraphs = 1;
  else if (is(t, "--mapaa")) mapaa = 1;
  else if (is(t, "--badgl")) badgl = 1;
  else if (is(t, "--badmouse")) badmouse = 1;
  else if (is(t, "--nonationinfo")) { nonationinfo = 1; noscoregraphs = 1; }
  else if (is(t, "--passmount")) impassmount = 0;
  else if (is(t, "--nocredits", "-c")) endcredits = 0;
  else if (is(t, "--nocompression")) compression = 0;
  else if (is(t, "--window", "-w") || is(t, "--windowed")) fullscreen = 0;
  else if (is(t, "--fullscreen", "-u")) fullscreen = 1;
  else if (is(t, "--fade")) fade = 1;
  else if (is(t, "--nofade", "-f")) fade = 0;
  else if (is(t, "--animback")) animback = 1;
  else if (is(t, "--noanimback", "-a")) animback = 0;
  else if (is(t, "--lightfx")) lightfx = 1;
  else if (is(t, "--nolightfx")) lightfx = 0;
  else if (is(t, "--grass")) grass = 1;
  else if (is(t, "--nograss")) grass = 0;
  else if (is(t, "--vsync")) vsync = 1;
  else if (is(t, "--novsync", "-V")) vsync = 0;
  else if (is(t, "--noglext")) glext = 0;
  else if (is(t, "--noarcade")) arcade = 0;
  else if (is(t, "--nopopups")) popups = 0;
  else if (is(t, "--fastgrx", "-x")) { fastgrx++; filtering = 0; animback = 0; fade = 0; }
  else if (is(t, "--nosound", "-s")) sounddevice = 0;
  else if (is(t, "--defsound")) sounddevice = 1;
  else if (is(t, "--arts")) sounddevice = 2;
  else if (is(t, "--oss", "-o")) sounddevice = 3;
  else if (is(t, "--pulseaudio") || is(t, "--directsound")) sounddevice = 4;
  else if (is(t, "--jack") || is(t, "--waveout")) sounddevice = 5;
  else if (is(t, "--nomusic", "-m")) musicvolume = 0;
  else if (is(t, "-d")) debuglevel++;
  else if (is(t, "--fullgrx") || is(t, "--intro") || is(t, "--nointro", "-i") || is(t, "--antialiasing") ||
           is(t, "--noantialiasing")) {
  } else return false;
  return true;
}
}  // namespace

void parseoption(const char* text) {
  if (pendingvalue) {
    pendingvalue = 0;
    takevalue(text);
    return;
  }
  if (flagoption(text)) return;
  for (const ValueOption& option : valueoptions) {
    if (is(text, option.name, option.shortname)) {
      waiting = option.wait;
      valuestep = 0;
      pendingvalue = 1;
      if (option.wait == Wait::hosttime) hostinterval = 0;
      if (option.wait == Wait::minutes || option.wait == Wait::hours)
        for (int32_t& hour : hosthour) hour = -1;
      return;
    }
  }
  if (is(text, "--exit")) exit(15);
  if (is(text, "--version", "-v")) {
    printversion();
    fflush(stdout);
    exit(1);
  }
  if (is(text, "--help", "-h")) {
    printusage();
    fflush(stdout);
    exit(1);
  }
  printf("unknown switch: %s\n", text);
  fflush(stdout);
  exit(1);
}

void parsecommandline(int argc, char** argv) {
  for (int i = 1; i < argc; i++) {
    const char* argument = argv[i];
    if (argument[0] == '-' && argument[1] == '-') {
      parseoption(argument);
    } else if (argument[0] == '-') {
      for (const char* p = argument + 1; *p; p++) {
        char single[3] = {'-', *p, 0};
        parseoption(single);
      }
    } else if (pendingvalue) {
      parseoption(argument);
    } else {
      gamename = argument;
    }
  }
}

void resetoptions() {
  hostmode = netmode = textonly = verify = superhost = perftestflag = statfile = scoredump = 0;
  comptrn = allai = nonationsel = quickhost = nocheatdet = 0;
  makemapname[0] = 0;
  gamename = nullptr;
  for (int32_t& n : nationcontrol) n = 0;
  ipadr[0] = 0;
  port = 0;
  preexec[0] = postexec[0] = 0;
  for (int32_t& h : hosthour) h = -1;
  hostinterval = 0;
  for (int32_t& d : pauseday) d = 0;
  uploadtime = -1;
  uploadmaxp = 0;
  clientstart = 1;
  researchdiff = 1;
  hofsize = 10;
  indepstr = 5;
  magicsites = -1;
  eventrarity = -1;
  totalvp = -1;
  requiredvp = -1;
  richness = resources = supplies = 100;
  startprov = 1;
  eraoption = 0;
  capitalvp = summervp = renaming = noscoregraphs = nonationinfo = 0;
  masterpass[0] = 0;
  mapfile[0] = 0;
  randmap = 0;
  riverpart = 0;
  seapart = 30;
  mountpart = 20;
  forestpart = 20;
  farmpart = 15;
  wastepart = 10;
  swamppart = 10;
  mapnoise = 15;
  borderwidth = -1;
  mapsize[0] = mapsize[1] = -1;
  mapprov = 150;
  mapaa = 0;
  impassmount = 1;
  for (int i = 0; i < 4; i++) mapgcol[i] = mapscol[i] = mapbcol[i] = mapsbcol[i] = -1;
  glext = 1;
  vsync = -1;
  arcade = popups = endcredits = 1;
  badmouse = badgl = 0;
  compression = 1;
  pendingvalue = 0;
  waiting = Wait::none;
  valuestep = 0;
  modlistcleared = false;
}

namespace {
struct OptionsInit {
  OptionsInit() { resetoptions(); }
} optionsinit;
}  // namespace
