// Battle view and battlefield terrain: battle maps (height field and terrain
// objects) and the 3D battlefield drawn from them.
#pragma once
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/short.h"

// Detail switches of the battle view: low detail draws a coarser terrain mesh;
// extra detail adds the objects that are only decoration.
extern int32_t battlelowdetail, battleextradetail;

constexpr int32_t MAXBMSIDE = 256;      // height-field vertices along one side
constexpr int32_t MINBMSIDE = 2;
constexpr int32_t MAXMASSOBJ = 15000;   // terrain objects of one battle map
constexpr int32_t MAXMBENTRY = 100;     // marked places of one battle map
constexpr int32_t MAXBMFILE = 4 << 20;  // larger files are refused unread
constexpr float FLOORSPAN = 64.0f;      // metres a side of the floor drawn without a map

// Kinds of terrain object.
enum class MassKind : int32_t { tree = 0, rock = 1, bush = 2, stone = 3 };
constexpr int32_t MASSKINDS = 4;

// A terrain object. In the file: ten int32 in the order below, then one int16.
struct massobj {
  int32_t kind;          // MassKind
  int32_t x, y;          // position on the ground, centimetres from the map's corner
  int32_t z;             // lift above the ground, centimetres
  int32_t angle;         // turn about the vertical, degrees 0..359
  int32_t scale;         // size, percent 1..1000
  int32_t red, green, blue;   // 0..255
  int32_t seed;          // shape variation
  int16_t decoration;    // 1: drawn only with extra detail
};

// A marked place of a battle map: a height-field vertex. The first is where
// the middle of the battlefield lies; a map without one has it in its middle.
// In the file: two int16, x then y.
struct mbentry {
  int16_t x, y;
};

// A battle map in memory: the height field (row by row, `width` vertices per
// row, `depth` rows, `cellsize` centimetres apart; heights in centimetres) and
// its objects. width 0 means no map.
struct battlemapdata {
  int32_t width, depth, cellsize;
  std::array<int16_t, MAXBMSIDE * MAXBMSIDE> height;
  int32_t objects;
  std::array<massobj, MAXMASSOBJ> obj;
  int32_t entries;
  std::array<mbentry, MAXMBENTRY> entry;
};

// The ".v3m" file, little-endian:
//   0  4 bytes  magic "V3BM"
//   4  int32    version (1 or 2)
//   8  int32    width (2..256)
//  12  int32    depth (2..256)
//  16  int32    cell size in centimetres (10..10000)
//  20  int32    byte offset of the height field (width * depth int16)
//  24  int32    object count (0..15000)
//  28  int32    byte offset of the objects (count records of 42 bytes)
//  32  end of a version 1 header, which has no marked places; version 2 goes on:
//  32  int32    marked place count (0..100)
//  36  int32    byte offset of the marked places (count records of 4 bytes)
//  40  end of header; the sections lie after it, apart, inside the file.
constexpr char BMMAGIC[4] = {'V', '3', 'B', 'M'};
constexpr int32_t BMVERSION = 2;
constexpr int32_t BMHEADER1 = 32, BMHEADER = 40;
constexpr int32_t MASSOBJBYTES = 42, MBENTRYBYTES = 4;

// put_mo, get_mo: put and get a mass object.
void put_mo(const massobj& m, FILE* f);
massobj get_mo(FILE* f);
// put_mb, get_mb: put and get a marked battle place, place n (0..99) of the
// map; a number outside stops the program ("put_mb", "get_mb").
void put_mb(const battlemapdata& map, int32_t n, FILE* f);
void get_mb(battlemapdata& map, int32_t n, FILE* f);
// The height-field vertex where the battlefield's middle lies.
mbentry battlefieldmiddle(const battlemapdata& map);

// Reads a battle map from a stream of the given length; nullptr on success,
// else the reason, with the map left empty. Never reads outside the stream's
// stated length nor writes outside the map's tables.
const char* readbattlemap(FILE* f, int64_t length, battlemapdata& map);
// Writes a battle map; 1 on success.
int writebattlemap(const char* path, const battlemapdata& map);
void clearbattlemap(battlemapdata& map);
// Terrain height in centimetres at a point given in centimetres, bilinear
// between the vertices; 0 outside the map.
float battlemapheight(const battlemapdata& map, float x, float y);

// The loaded battle map that the view draws, whether it is lit, and a count
// of loads that tells the view when to rebuild.
extern battlemapdata battlemap;
extern int32_t battlemaplit;
extern uint32_t battlemapgeneration;
// Loads a battle map for drawing: editing 1 keeps every object (the editor),
// 0 skips decoration when extra detail is off; lit 1 prepares lighting
// normals; objects 0 loads the bare terrain. 1 on success; a failed load
// leaves an empty map and a warning in the log.
int LoadBattleMap(const char* path, int32_t editing, int32_t lit, int32_t objects);

// Draws the battlefield of the loaded map (OpenGL; a window must be open).
// The camera circles the field while animback is on.
void drawbattlefield(uint32_t milliseconds);
// Frees the battle view's display lists.
void freebattleviewgl();
// Gives the window's battlefield scene (gfx/gui.h, BattlefieldHooks) its
// drawing, camera and freeing; LoadBattleMap and battleviewbegin call it,
// so that the field shows once it is prepared.
void installbattlefield();
// The sides of the current OpenGL view (projection and modelview) as planes
// facing inward, a x + b y + c z + d >= 0 inside; whether a ball can show.
struct ViewSides {
  std::array<std::array<float, 4>, 6> planes;
  bool sees(float x, float y, float z, float radius) const {
    for (const auto& q : planes)
      if (q[0] * x + q[1] * y + q[2] * z + q[3] < -radius) return false;
    return true;
  }
};
ViewSides viewsides();

// ---------------------------------------------------------------- watching a battle
// A battle shown as the engine fights it: the units as their sprites on the
// province's battlefield, moving, fighting, casting and dying turn by turn.
// The view runs frames of its own inside the engine's display hook, with
// keys for the camera (Left/Right turn, Page Up/Down tilt, Up/Down and the
// wheel zoom, W A S D move), pause (p, Space), speed (+, -), skip to the end (e, Escape) and the
// low and extra detail switches (l, x).
struct BattleFrame;
struct BattleEvent;

// What the replay's battle turns gave against the hosted battle.
struct BattleCheck {
  int32_t setup = -1;       // the set-up: 1 as hosted, 0 not, -1 not compared
  int32_t foreseen = 0;     // battle turns as hosted
  int32_t differing = 0;    // battle turns that were not
  int32_t firstbad = -1;    // the first turn that was not (0 the set-up), -1 none
};

// The camera of a battle being watched: turned `yaw` radians about the
// field's middle, looking down `pitch` radians from `distance` metres,
// moved by (panx, panz) metres.
struct BattleCamera {
  float yaw, pitch, distance, panx, panz;
};
extern BattleCamera battlecamera;
// 1 between battleviewbegin and battleviewend.
extern int32_t battlewatching;
// 1 while a battle is watched and its camera is moving: a camera key held
// or wheel notches not yet taken. The frame loop then ends its wait, so
// that a paused battle or the end report, which wait for input, follow the
// camera frame by frame.
int32_t battlecameramoves();

// Prepares the view of a battle in land lnr: the province's battle map (its
// own, else the default one; "empty" a translucent floor; a missing or
// damaged map gives a flat field and a log line naming the file), its sky
// picture, fog, ground and rock colours, the camera and an empty field. The battlefield becomes the scene.
void battleviewbegin(int32_t lnr);
// The display hook: shows one battle turn (the set-up for turn 0), its
// moves and events animated; returns when it has been shown, at once while
// skipping to the end or without a window.
void showbattleframe(const BattleFrame& frame);

// The sound of a battle event: a blow or shot plays its weapon's sound where
// the weapon row names one (else a blade, a miss or a bow string), a spell
// its cast, a death, rout or summoning its own; -1 for an event that is not
// heard. A weapon number outside the table reads nothing; a weapon row's
// sound 0 (the default) is no sound of its own.
int32_t battleeventsound(const BattleEvent& e);
// Most events heard in one battle turn: a turn can hold hundreds of blows,
// and the mixer's channels are shared with the music.
constexpr int32_t BATTLESOUNDSPERTURN = 6;
// What showbattleframe does before it shows the turn: the figures take the
// turn's places and events (the benchmark and skipping use it alone), and
// how far the turn's animation has gone (0..1).
void takebattleframe(const BattleFrame& frame);
void setbattlephase(float phase);
// The end report over the final field until Exit (999, Escape, Return): who
// won, the turns, each side's losses, and the check against the hosted battle.
void battleviewreport(const BattleCheck& check);
void battleviewend();
// Lines of the end report for the last battle (battleresult) and the check.
std::vector<std::string> battlereportlines(const BattleCheck& check);

// Where a battlefield square's middle lies on the battle map, in metres.
void fieldsquarepoint(float x, float y, float* mx, float* mz);
// The figures being shown (for the view's own drawing and the tests):
// counted on the field, dead and gone.
struct FieldCount {
  int32_t standing, fallen, gone;
};
FieldCount fieldcount();
// Draws the figures of the battle being watched (called by drawbattlefield).
void drawbattlefigures();
// The province's fog colour (0 red, 1 green, 2 blue) of the battle being
// watched.
float battlefogcolour(int32_t component);
// The sky of the battlefield: the picture of the battle's province, else the
// default sky of the data folder (also when no battle is watched); texture
// 0 without either. A sky picture covers each side of the sky box from the
// horizon (its bottom row) up to the box's top, whose middle its top row
// reaches. A picture whose left and right edges meet is laid round (round
// 1); any other is laid on mirrored side by side, so that no seam shows.
struct BattleSky {
  uint32_t texture;
  bool round;
};
BattleSky battlesky();
// The colours of the battlefield (0..1): `ground` on level land and `rock`
// on steep slopes, and the field's rocks and standing stones in `rock` where
// the province sets it (`rockset`), else in the battle map's own colours.
// The province's colours where its map sets them, else the defaults (also
// when no battle is watched).
struct GroundLook {
  std::array<float, 3> ground, rock;
  bool rockset;
  bool operator==(const GroundLook&) const = default;
};
constexpr GroundLook DEFAULTGROUND = {{0.30f, 0.52f, 0.20f}, {0.65f, 0.37f, 0.30f}, false};
GroundLook battlegroundlook();
inline constexpr char DEFAULTBATTLESKY[] = "battlesky.tga";
