#include "runtime/options.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
int32_t autohostgame;
char masterpass[50];
char mapfile[500];
int32_t randmap;
int32_t riverpart, seapart, mountpart, forestpart, farmpart, wastepart, swamppart;
int32_t mapnoise, borderwidth, mapsize[2], mapprov, mapaa, impassmount;
int32_t mapgcol[4], mapscol[4], mapbcol[4], mapsbcol[4];
int32_t glext, vsync, arcade, popups, endcredits, badmouse, badgl, compression;
int32_t pendingvalue;

namespace {
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

void printversion() {
  printf("Veyrances 3, %s (%s %s)\n", VERSIONTEXT, __DATE__, __TIME__);
  printf("A turn-based game of pretender gods and their nations, by the vey3 developers.\n");
}

// How an option takes its values:
//   flag    no value; set() runs
//   clamp   a number, clamped into low..high
//   range   a number, ignored outside low..high
//   whole   any number
//   text    copied into the buffer, cut to its size
//   custom  take() gets each value in turn (step 0, 1, ...) with the number it
//           reads as, if any; it says whether a further value is awaited
enum class Kind { flag, clamp, range, whole, text, custom };
struct Option {
  const char* name;
  const char* shortname = nullptr;
  const char* arg = nullptr;        // value placeholder shown in the usage text
  const char* help = nullptr;       // usage text; null: not listed
  const char* heading = nullptr;    // usage line printed before this option
  Kind kind = Kind::flag;
  int32_t* target = nullptr;
  int32_t low = 0, high = 0;
  char* buffer = nullptr;
  size_t size = 0;
  void (*set)() = nullptr;
  bool (*take)(const char* text, bool number, int32_t x, int32_t step) = nullptr;
  void (*begin)() = nullptr;        // runs when the option is named
};

template <size_t N>
Option text(const char* name, const char* arg, const char* help, char (&buffer)[N]) {
  return {.name = name, .arg = arg, .help = help, .kind = Kind::text, .buffer = buffer, .size = N};
}
Option number(const char* name, Kind kind, int32_t& target, int32_t low, int32_t high, const char* arg,
              const char* help) {
  return {.name = name, .arg = arg, .help = help, .kind = kind, .target = &target, .low = low, .high = high};
}
Option custom(const char* name, const char* shortname, const char* arg, const char* help,
              bool (*take)(const char*, bool, int32_t, int32_t)) {
  return {.name = name, .shortname = shortname, .arg = arg, .help = help, .kind = Kind::custom, .take = take};
}
Option flag(const char* name, const char* shortname, const char* help, void (*set)()) {
  return {.name = name, .shortname = shortname, .help = help, .set = set};
}
Option hidden(const char* name, void (*set)()) { return {.name = name, .set = set}; }
template <int32_t N>
Option aiplayer(const char* name, const char* help) {
  return custom(name, nullptr, "X", help, [](const char*, bool number, int32_t x, int32_t) {
    if (number) setai(x, N);
    return false;
  });
}
template <int32_t (&colour)[4]>
Option mapcolour(const char* name, const char* help, const char* heading = nullptr) {
  Option o = custom(name, nullptr, "RGBA", help, [](const char*, bool number, int32_t x, int32_t step) {
    if (number) colour[step] = x;
    return step < 3;
  });
  o.heading = heading;
  return o;
}
// A custom option of numbers low..high (their clamp or check is its own).
Option ranged(Option o, int32_t low, int32_t high) {
  o.low = low;
  o.high = high;
  return o;
}
Option headed(const char* heading, Option o) {
  o.heading = heading;
  return o;
}

int32_t hosttimeday = -1;
bool modlistcleared = false;
enablemodoptionfn enablemodoption = nullptr;
void printusage();

void dosound(int32_t device) { sounddevice = device; }

// Every option in the order of the usage text; a name is looked up from the
// top, so "-h" is help, not the hours shown beside it.
const Option options[] = {
    {.name = "--help", .shortname = "-h", .set = [] { printusage(); fflush(stdout); exit(1); }},
    {.name = "--version", .shortname = "-v", .help = "Print version number and exit", .heading = "options:",
     .set = [] { printversion(); fflush(stdout); exit(1); }},
    flag("", "-d", "Increase debug level", [] { debuglevel++; }),
    flag("--host", "-g", "Generate new turn and exit", [] { hostmode = 1; }),
    flag("--verify", nullptr, "Verify all 2h-files and exit (creates .chk files)", [] { verify = 1; }),
    flag("--statfile", nullptr, "Create a player info file after each turn (stats.txt)", [] { statfile = 1; }),
    flag("--scoredump", nullptr, "Create a score file after each turn (scores.html)", [] { scoredump = 1; }),
    flag("--finalhost", nullptr, "Generate new turn, send out final score msg and exit", [] { hostmode = 2; }),
    flag("--nocredits", "-c", "Disables the end credits", [] { endcredits = 0; }),
    headed("******* Network Options *******", flag("--tcpclient", "-C", "Connect to a Veyrances multiplayer server",
                                                 [] { netmode = 2; })),
    flag("--tcpserver", "-S", "Start a Veyrances multiplayer server", [] {
      netmode = 1;
      musicvolume = 0;
      sounddevice = 0;
    }),
    text("--ipadr", "XXX", "Use this IP-adr when connecting to server", ipadr),
    number("--port", Kind::whole, port, 0, 0, "X", "Use this port nbr"),   // checked where a socket is set up
    text("--preexec", "CMD", "Execute this command before each turn generation", preexec),
    text("--postexec", "CMD", "Execute this command after each turn generation", postexec),
    {.name = "--hosttime", .shortname = "-t", .arg = "X Y", .help = "Host on day X (0=sunday) hour Y (0-23)",
     .kind = Kind::custom,
     .take = [](const char*, bool number, int32_t x, int32_t step) {
       if (step == 0) {
         hosttimeday = number ? x : -1;
         return true;
       }
       if (number && hosttimeday >= 0 && hosttimeday <= 6 && x >= 0 && x <= 23) hosthour[hosttimeday] = x;
       return false;
     },
     .begin = [] { hostinterval = 0; }},
    {.name = "--minutes", .arg = "X", .help = "Set host interval in minutes", .kind = Kind::custom,
     .take = [](const char* t, bool, int32_t, int32_t) { hourstimer(t, 1); return false; },
     .begin = [] { for (int32_t& hour : hosthour) hour = -1; }},
    {.name = "--hours", .shortname = "-h", .arg = "X", .help = "Set host interval in hours", .kind = Kind::custom,
     .take = [](const char* t, bool, int32_t, int32_t) { hourstimer(t, 60); return false; },
     .begin = [] { for (int32_t& hour : hosthour) hour = -1; }},
    custom("--pauseday", nullptr, "X", "Stop timer on this day (0=sunday)",
           [](const char*, bool number, int32_t x, int32_t) {
             if (number && x >= 0 && x <= 6) pauseday[x] = 1;
             return false;
           }),
    flag("--quickhost", "-q", "Host as soon as all turns are done", [] { quickhost = 1; }),
    flag("--nonationsel", "-n", "No nation selection when resuming a network game", [] { nonationsel = 1; }),
    flag("--noclientstart", nullptr, "Clients cannot start the game during Choose Participants",
         [] { clientstart = 0; }),
    custom("--uploadtime", nullptr, "X", "Game is created after this many minutes.",
           [](const char*, bool number, int32_t x, int32_t) {
             if (number && x >= 0) uploadtime = int64_t(x) * 60000 > INT32_MAX ? INT32_MAX : x * 60000;
             return false;
           }),
    custom("--uploadmaxp", nullptr, "X", "Game is created if this many players join.",
           [](const char*, bool number, int32_t x, int32_t) {
             if (number && x >= 0) uploadmaxp = imin(x, 95);
             return false;
           }),
    custom("--closed", nullptr, "X", "Nation closed X=nation number (0-94)", [](const char*, bool number, int32_t x, int32_t) {
      if (number && x >= 0 && x <= 94) nationcontrol[x] = -3;
      return false;
    }),
    aiplayer<20>("--easyai", "Nation ai controlled X=nation number (0-94)"),
    aiplayer<21>("--normai", "Nation ai controlled X=nation number (0-94)"),
    aiplayer<22>("--diffai", "Nation ai controlled X=nation number (0-94)"),
    aiplayer<23>("--mightyai", "Nation ai controlled X=nation number (0-94)"),
    aiplayer<24>("--impai", "Nation ai controlled X=nation number (0-94)"),
    headed("******* New Game Options *******", text("--mapfile", "XXX", "Filename of map. E.g. eye.map", mapfile)),
    custom("--randmap", nullptr, "X", "Make and use a random map with X prov per player (10,15,20)",
           [](const char*, bool number, int32_t x, int32_t) {
             if (number && x >= 0) randmap = imin(x, 100);
             return false;
           }),
    number("--research", Kind::range, researchdiff, 0, 3, "X", "Research difficulty 0-3 (default 1)"),
    number("--hofsize", Kind::range, hofsize, 5, 15, "X", "Size of Hall of Fame 5-15 (default 10)"),
    number("--indepstr", Kind::range, indepstr, 0, 9, "X", "Strength of Independents 0-9 (default 5)"),
    number("--magicsites", Kind::range, magicsites, 0, 75, "X", "Magic site frequency 0-75 (default 40)"),
    number("--eventrarity", Kind::range, eventrarity, 1, 2, "X", "Random event rarity 1-2, 1=common 2=rare"),
    ranged(custom("--totalvp", nullptr, "X", "Vic. points available in the world 0-25",
                  [](const char*, bool number, int32_t x, int32_t) {
                    if (number && imin(x, 25) >= 0) totalvp = imin(x, 25);
                    return false;
                  }),
           0, 25),
    flag("--capitalvp", nullptr, "One extra victory per capital", [] { capitalvp = 1; }),
    ranged(custom("--requiredvp", nullptr, "X", "Vic. points required for victory (default total/2)",
                  [](const char*, bool number, int32_t x, int32_t) {
                    if (number && imin(x, 25) >= 0) requiredvp = imin(x, 25);
                    return false;
                  }),
           0, 25),
    flag("--summervp", nullptr, "Vic. points are accumulated each summer", [] { summervp = 1; }),
    number("--richness", Kind::clamp, richness, 50, 300, "X", "Money multiple 50-300 (default 100)"),
    number("--resources", Kind::clamp, resources, 50, 300, "X", "Resource multiple 50-300 (default 100)"),
    number("--supplies", Kind::clamp, supplies, 50, 300, "X", "Supply multiple 50-300 (default 100)"),
    text("--masterpass", "XX", "Master password. E.g. quillfeathers", masterpass),
    number("--startprov", Kind::range, startprov, 1, 9, "X", "Number of starting provinces (1-9)"),
    flag("--renaming", nullptr, "Enable commander renaming", [] { renaming = 1; }),
    flag("--noscoregraphs", nullptr, "Disable score graphs", [] { noscoregraphs = 1; }),
    flag("--nonationinfo", nullptr, "No info at all on other nations", [] {
      nonationinfo = 1;
      noscoregraphs = 1;
    }),
    flag("--nocheatdet", nullptr, "Turns off cheat detection", [] { nocheatdet = 1; }),
    number("--era", Kind::range, eraoption, 1, 3, "X", "New game created in this era (1-3)"),
    custom("--enablemod", "-M", "XXX", "Enable the mod with filename XXX", [](const char* t, bool, int32_t, int32_t) {
      bailif(!enablemodoption, "--enablemod: no keeper of the mod list");
      enablemodoption(t, !modlistcleared);
      modlistcleared = true;
      return false;
    }),
    headed("******* Random Map Options *******",
           custom("--makemap", nullptr, "XXX", "Generate a random map with filename XXX and exit",
                  [](const char* t, bool, int32_t, int32_t) {
                    strlcopy(makemapname, t, sizeof makemapname);
                    size_t length = strlen(makemapname);
                    if (length >= 4 && makemapname[length - 4] == '.') makemapname[length - 4] = 0;
                    if (!validgamename(makemapname)) fatalerror("Bad filename for random map");
                    return false;
                  })),
    number("--riverpart", Kind::clamp, riverpart, 0, 1000, "X", "100 = normal amount of rivers, 0=no rivers"),
    number("--seapart", Kind::clamp, seapart, 0, 100, "X", "Percent of map that is below water level (default=30)"),
    number("--mountpart", Kind::clamp, mountpart, 0, 100, "X", "Percent of map that is mountains (default=20)"),
    number("--forestpart", Kind::whole, forestpart, 0, 0, "X", "Percent of lands that are forests (default=20)"),
    number("--farmpart", Kind::whole, farmpart, 0, 0, "X", "Percent of lands that are farm lands (default=15)"),
    number("--wastepart", Kind::whole, wastepart, 0, 0, "X", "Percent of lands that are wastes (default=10)"),
    number("--swamppart", Kind::whole, swamppart, 0, 0, "X", "Percent of lands that are swamps (default=10)"),
    flag("--mapaa", nullptr, "Enable antialiasing for random maps", [] { mapaa = 1; }),
    custom("--mapsize", nullptr, "W H", "Set width and height of random map (default=1600 1200)",
           [](const char*, bool number, int32_t x, int32_t step) {
             if (number) mapsize[step] = clampi(x, 100, 11000);
             return step == 0;
           }),
    number("--mapprov", Kind::clamp, mapprov, 10, 1495, "X", "Set number of provinces (default=150)"),
    flag("--passmount", nullptr, "Don't use impassable mountains on random maps", [] { impassmount = 0; }),
    mapcolour<mapgcol>("--mapgcol", "Ground color 0-255 (default=170 146 116 255)"),
    mapcolour<mapscol>("--mapscol", "Sea color 0-255 (default=54 54 130 255)"),
    mapcolour<mapbcol>("--mapbcol", "Ground border color 0-255 (x4)"),
    mapcolour<mapsbcol>("--mapsbcol", "Sea border color 0-255 (x4)"),
    number("--mapnoise", Kind::whole, mapnoise, 0, 0, "X", "Ground color noise 0-255 (default 15)"),
    number("--borderwidth", Kind::clamp, borderwidth, 0, 500, "X", "Border width 0-500 (default 100)"),
    headed("******* Video Options *******", flag("--window", "-w", "Run Veyrances 3 in a window", [] { fullscreen = 0; })),
    flag("--fullscreen", "-u", "Use the entire screen", [] { fullscreen = 1; }),
    custom("--bitplanes", nullptr, "X", "Try to use a color depth of X bits per pixel",
           [](const char*, bool number, int32_t x, int32_t) {
             if (number && x > 0) bitplanes = imin(x, 256);
             return false;
           }),
    custom("--zbuffer", nullptr, "X", "Try to use a depth buffer of X bits per pixel (default=16)",
           [](const char*, bool number, int32_t x, int32_t) {
             if (number && x >= 0) zbuffer = imin(x, 32);
             return false;
           }),
    flag("--textonly", "-T", "Use this with --tcpserver to get graphicless server", [] { textonly = 1; }),
    custom("--gamma", nullptr, "X", "Set gamma function (brightness) 0.1 - 5.0 (default=1.0)",
           [](const char* t, bool, int32_t, int32_t) {
             char* end = nullptr;
             float g = strtof(t, &end);
             if (end != t && g == g) gammavalue = g < 0.1f ? 0.1f : g > 5.0f ? 5.0f : g;
             return false;
           }),
    number("--opacity", Kind::clamp, guiopacity, 0, 100, "X", "Set gui opacity 0 - 100"),
    custom("--res", "-r", "X Y", "Set screen resolution / window size (default=1024 768)",
           [](const char*, bool number, int32_t x, int32_t step) {
             if (step == 0) {
               if (!number || x < 160 || x > 32768) return false;
               fswidth = winwidth = x;
               return true;
             }
             if (number && x >= 100 && x <= 32768) fsheight = winheight = x;
             return false;
           }),
    flag("--animback", nullptr, "Use animated backgrounds", [] { animback = 1; }),
    flag("--noanimback", "-a", "Don't use animated backgrounds", [] { animback = 0; }),
    flag("--fade", nullptr, "Use fade effects", [] { fade = 1; }),
    flag("--nofade", "-f", "No fade effects", [] { fade = 0; }),
    flag("--nopopups", nullptr, "No helpful popups", [] { popups = 0; }),
    number("--fps", Kind::clamp, fpstarget, 4, 200, "X", "Aim for this nbr of frames per second (default=20)"),
    custom("--maxfps", nullptr, "X", "Maximum nbr of frames per second (default=50)",
           [](const char*, bool number, int32_t x, int32_t) {
             if (number && x > 0) framedelay = 1000 / imin(x, 200);
             return false;
           }),
    custom("--filtering", nullptr, "X", "Quality of OpenGL filtering 0-3 (default=2)",
           [](const char*, bool number, int32_t x, int32_t) {
             if (number && x >= 0) filtering = imin(x, 3);
             return false;
           }),
    custom("--maxtexsize", nullptr, "X", "Max texture size in pixels 32-4096 (default=unlimited)",
           [](const char*, bool number, int32_t x, int32_t) {
             if (number && x >= 0) maxtexsize = (x >= 1 && x <= 31) ? 32 : x;
             return false;
           }),
    number("--treequal", Kind::clamp, treequality, 1, 5, "X", "Tree quality 1-5 (default=3)"),
    number("--texqual", Kind::clamp, texquality, 1, 5, "X", "Texture quality 1-5 (default=3)"),
    flag("--nolightfx", nullptr, "No light effects in battles", [] { lightfx = 0; }),
    number("--partamount", Kind::range, partamount, -1, 9, "X", "Max nbr of particles 0-8 (0=none, 4=default, 8=max)"),
    flag("--nograss", nullptr, "Don't draw the grass", [] { grass = 0; }),
    flag("--noarcade", nullptr, "Don't draw floating damage numbers", [] { arcade = 0; }),
    flag("--noglext", nullptr, "Don't use any OpenGL extensions", [] { glext = 0; }),
    flag("--vsync", nullptr, "Enable vsync", [] { vsync = 1; }),
    flag("--novsync", "-V", "Disable vsync", [] { vsync = 0; }),
    number("--renderpath", Kind::range, renderpath, -1, 1, "X", "Use different optimizations 0-1 (0=good for low mem cards)"),
    flag("--fastgrx", "-x", "Faster graphics (use 3 times for best performance (-xxx))", [] {
      fastgrx++;
      filtering = 0;
      animback = 0;
      fade = 0;
    }),
    flag("--perftest", "-p", "Run a performance test and exit", [] { perftestflag = 1; }),
    headed("******* Audio Options *******", flag("--nosound", "-s", "No sound effects or music", [] { dosound(0); })),
    flag("--nomusic", "-m", "No music", [] { musicvolume = 0; }),
    custom("--musicvol", nullptr, "X", "Set music volume, 0-100", [](const char*, bool number, int32_t x, int32_t) {
      if (number && x >= 0 && x <= 100) musicvolume = x * 255 / 100;
      return false;
    }),
    custom("--clickvol", nullptr, "X", "Set mouse click volume, 0-100", [](const char*, bool number, int32_t x, int32_t) {
      if (number && x >= 0 && x <= 100) clickvolume = x * 255 / 100;
      return false;
    }),
    flag("--defsound", nullptr, "Use default sound device", [] { dosound(1); }),
    flag("--jack", nullptr, "Route sound through jack", [] { dosound(5); }),
    flag("--pulseaudio", nullptr, "Route sound through pulse audio", [] { dosound(4); }),
    flag("--arts", nullptr, "Route sound through aRts", [] { dosound(2); }),
    flag("--oss", "-o", "Use direct oss sound output", [] { dosound(3); }),
    // Not listed.
    hidden("--superhost", [] { superhost = 1; }), hidden("--comptrn", [] { comptrn = 1; }),
    hidden("--allai", [] { allai = 1; }), hidden("--badgl", [] { badgl = 1; }),
    hidden("--badmouse", [] { badmouse = 1; }), hidden("--nocompression", [] { compression = 0; }),
    hidden("--windowed", [] { fullscreen = 0; }), hidden("--lightfx", [] { lightfx = 1; }),
    hidden("--grass", [] { grass = 1; }), hidden("--directsound", [] { dosound(4); }),
    hidden("--waveout", [] { dosound(5); }), hidden("--fullgrx", [] {}), hidden("--intro", [] {}),
    {.name = "--nointro", .shortname = "-i", .set = [] {}}, hidden("--antialiasing", [] {}),
    hidden("--noantialiasing", [] {}), hidden("--exit", [] { exit(15); }),
};

// The option whose value is awaited, and which of its values comes next.
const Option* waiting = nullptr;
int32_t valuestep = 0;

bool named(const Option& o, const char* text) {
  return (o.name[0] && strcmp(text, o.name) == 0) || (o.shortname && strcmp(text, o.shortname) == 0);
}

// One value of the waiting option.
void takevalue(const char* text) {
  const Option& o = *waiting;
  int32_t x = 0;
  const bool number = readint(text, &x);
  bool more = false;
  switch (o.kind) {
    case Kind::flag: break;
    case Kind::clamp: if (number) *o.target = clampi(x, o.low, o.high); break;
    case Kind::range: if (number && x >= o.low && x <= o.high) *o.target = x; break;
    case Kind::whole: if (number) *o.target = x; break;
    case Kind::text: strlcopy(o.buffer, text, o.size); break;
    case Kind::custom: more = o.take(text, number, x, valuestep++); break;
  }
  if (more) pendingvalue = 1;
  else waiting = nullptr;
}
void printusage() {
  puts("usage: vey3 [option(s)] [gamename]");
  for (const Option& o : options) {
    if (!o.help) continue;
    if (o.heading) puts(o.heading);
    char left[40];
    snprintf(left, sizeof left, "%s%s%s", o.name, o.arg ? " " : "", o.arg ? o.arg : "");
    printf("%-2s  %-16s%s\n", o.shortname ? o.shortname : "", left, o.help);
  }
  puts("example: vey3 -wm  (runs Veyrances 3 in a window without music)");
}
}  // namespace

void parseoption(const char* text) {
  if (pendingvalue) {
    pendingvalue = 0;
    if (waiting) takevalue(text);
    return;
  }
  for (const Option& o : options) {
    if (!named(o, text)) continue;
    if (o.kind == Kind::flag) {
      o.set();
      return;
    }
    waiting = &o;
    valuestep = 0;
    pendingvalue = 1;
    if (o.begin) o.begin();
    return;
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

bool optionrange(const char* name, int32_t* low, int32_t* high, const char** help) {
  if (!name) return false;
  for (const Option& o : options) {
    if (strcmp(o.name, name) != 0) continue;
    if (o.low >= o.high) return false;   // not an option of numbers
    *low = o.low;
    *high = o.high;
    if (help) *help = o.help ? o.help : "";
    return true;
  }
  return false;
}

void setenablemodoption(enablemodoptionfn enable) { enablemodoption = enable; }

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
  capitalvp = summervp = renaming = noscoregraphs = nonationinfo = autohostgame = 0;
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
  waiting = nullptr;
  valuestep = 0;
  modlistcleared = false;
}

namespace {
struct OptionsInit {
  OptionsInit() { resetoptions(); }
} optionsinit;
}  // namespace
