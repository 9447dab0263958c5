// Watching a battle: the engine calls the display hook after the set-up and
// after every battle turn; the hook takes the units' new places and the
// turn's events and animates them over the battlefield for a while (its own
// frames, with the camera, pause, speed, skip and detail keys), then lets the
// engine fight on. The figures stand in the province's look: its battle map,
// sky picture and fog colour.
#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "battle/battle.h"
#include "battleview/battleview.h"
#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "gfx/sprites.h"
#include "gfx/texture.h"
#include "runtime/fatal.h"
#include "runtime/filesets.h"
#include "runtime/folders.h"
#include "runtime/settings.h"
#include "runtime/trs.h"
#include "runtime/util.h"
#include "sound/samples.h"
#include "sound/sound.h"
#include "world/gamedata.h"
#include "world/units.h"
#include "world/world.h"

BattleCamera battlecamera = {0.6f, 0.75f, 95.0f, 0.0f, 0.0f};
int32_t battlewatching = 0;

namespace {
constexpr int32_t SPRITEMODE = 4;
constexpr float TURNMS = 900.0f, SETUPMS = 1500.0f;
constexpr float SPEEDS[] = {0.25f, 0.5f, 1.0f, 2.0f, 4.0f, 8.0f};
constexpr int32_t NSPEEDS = int32_t(sizeof SPEEDS / sizeof SPEEDS[0]);
// Ids of the view's controls.
constexpr int32_t BV_PAUSE = 1, BV_SLOWER = 2, BV_FASTER = 3, BV_SKIP = 4, BV_LOW = 5, BV_EXTRA = 6,
                  BV_EXIT = 999;

enum FigureState : uint8_t { FG_FIELD, FG_APPEARING, FG_DYING, FG_DEAD, FG_FLEEING, FG_GONE };

// A unit as the view shows it: where it stood after the last turn and
// where it stands now (in squares, with its place inside the square), and
// what this turn did to it.
struct Figure {
  int32_t unr;
  int16_t type;
  int8_t side, owner;
  uint8_t state, routing;
  float fx, fy, tx, ty;
  int32_t lunge;     // the figure it strikes at this turn, -1 none, -2 new on the field
  int32_t hurt;      // damage taken this turn
};

struct Watch {
  int32_t lnr = 0;
  int32_t turn = 0, foreseen = -1;
  float phase = 1.0f;
  bool paused = false, skip = false;
  int32_t speed = 2;
  std::vector<Figure> figures;
  std::vector<int32_t> figureof;   // by unit number, -1 none
  std::vector<BattleEvent> events;
  BattleCheck running;
  float fog[3] = {0.62f, 0.70f, 0.80f};
  GroundLook look = DEFAULTGROUND;
  uint32_t sky = 0;                // the province's own sky picture, 0 the default
  bool skyround = false;
  float square = 2.0f;             // metres a side
};
Watch watch;

// Places inside a square for up to six figures (in squares from its middle).
constexpr float SLOTS[6][2] = {{0, 0}, {-0.28f, -0.22f}, {0.28f, 0.22f}, {-0.28f, 0.26f}, {0.28f, -0.26f}, {0, 0.36f}};

Figure* figureofunit(int32_t unr) {
  if (unr < 0 || unr >= int32_t(watch.figureof.size())) return nullptr;
  const int32_t i = watch.figureof[size_t(unr)];
  return i < 0 ? nullptr : &watch.figures[size_t(i)];
}

bool onfieldstate(uint8_t s) { return s == FG_FIELD || s == FG_APPEARING; }

// The places of the figures standing on one square, in figure order.
void spreadsquares() {
  std::vector<uint8_t> filled(size_t(FIELDW * FIELDH), 0);
  for (Figure& f : watch.figures) {
    if (!onfieldstate(f.state)) continue;
    const int32_t x = int32_t(lroundf(f.tx)), y = int32_t(lroundf(f.ty));
    if (x < 0 || x >= FIELDW || y < 0 || y >= FIELDH) continue;
    uint8_t& n = filled[size_t(y * FIELDW + x)];
    f.tx = float(x) + SLOTS[n % 6][0];
    f.ty = float(y) + SLOTS[n % 6][1];
    n++;
  }
}

}  // namespace

void takebattleframe(const BattleFrame& frame) {
  for (Figure& f : watch.figures) {
    f.fx = f.tx;
    f.fy = f.ty;
    if (f.state == FG_DYING) f.state = FG_DEAD;
    if (f.state == FG_FLEEING) f.state = FG_GONE;
    if (f.state == FG_APPEARING) f.state = FG_FIELD;
    f.lunge = -1;
    f.hurt = 0;
  }
  for (int32_t i = 0; i < frame.nunits; i++) {
    const int32_t u = frame.units[i];
    if (u < 0 || u >= MAXUNITS) continue;
    const Unit& x = unit[size_t(u)];
    Figure* f = figureofunit(u);
    if (!f) {
      if (x.x < 0 || x.hp < 1) continue;
      watch.figureof[size_t(u)] = int32_t(watch.figures.size());
      Figure n{};
      n.unr = u;
      n.type = x.type;
      n.side = int8_t(battleside(u));
      n.owner = x.owner;
      n.state = frame.turn == 0 ? FG_FIELD : FG_APPEARING;
      n.fx = n.tx = x.x;
      n.fy = n.ty = x.y;
      n.lunge = -2;   // placed after the squares are shared out
      watch.figures.push_back(n);
      f = &watch.figures.back();
    }
    if (!onfieldstate(f->state)) continue;
    f->routing = x.batstate == BS_ROUTING;
    if (x.x >= 0 && x.hp > 0) {
      // Keep the place inside the square while the figure stays on it.
      if (lroundf(f->tx) != x.x || lroundf(f->ty) != x.y) {
        f->tx = x.x;
        f->ty = x.y;
      }
    } else {
      f->state = x.hp > 0 ? FG_FLEEING : FG_DYING;
    }
  }
  watch.events.assign(frame.events, frame.events + std::max(frame.nevents, 0));
  int32_t heard = 0;
  for (const BattleEvent& e : watch.events) {
    Figure* f = figureofunit(e.unr);
    if (!f) continue;
    if (!watch.skip && heard < BATTLESOUNDSPERTURN) {
      // Panned by where the figure stands across the field.
      const int32_t sample = battleeventsound(e);
      const int32_t pan = int32_t(f->tx * 200.0f / float(FIELDW - 1)) - 100;
      if (sample >= 0 && play_sample(sample, clickvolume, std::clamp(pan, -100, 100)) >= 0) heard++;
    }
    switch (e.kind) {
      case BEV_STRIKE:
        if (Figure* t = figureofunit(e.target); t && f->lunge != -2) {
          f->lunge = int32_t(t - watch.figures.data());
          t->hurt += e.amount;
        }
        break;
      case BEV_MISSILE:
        if (Figure* t = figureofunit(e.target)) t->hurt += e.amount;
        break;
      case BEV_DEATH:
        f->state = FG_DYING;
        f->tx = e.tx;
        f->ty = e.ty;
        break;
      case BEV_FLEE:
        f->state = FG_FLEEING;
        f->tx = f->side == 0 ? -4.0f : float(FIELDW + 3);
        break;
      default: break;
    }
  }
  spreadsquares();
  // Figures new on the field start where they stand.
  for (Figure& f : watch.figures)
    if (f.lunge == -2) {
      f.fx = f.tx;
      f.fy = f.ty;
      f.lunge = -1;
    }
  // The fallen lie where they fell; the squares' places keep them apart.
  for (Figure& f : watch.figures)
    if (f.state == FG_DYING) {
      f.tx = f.tx + SLOTS[(f.unr & 3) + 1][0];
      f.ty = f.ty + SLOTS[(f.unr & 3) + 1][1];
    }
  watch.turn = frame.turn;
  watch.foreseen = frame.foreseen;
  if (frame.foreseen >= 0) {
    BattleCheck& c = watch.running;
    if (frame.turn == 0) c.setup = frame.foreseen;
    else if (frame.foreseen) c.foreseen++;
    else c.differing++;
    if (!frame.foreseen && c.firstbad < 0) c.firstbad = frame.turn;
  }
}

void setbattlephase(float phase) { watch.phase = std::clamp(phase, 0.0f, 1.0f); }

namespace {
// ---------------------------------------------------------------- the province's look

void flatfield() {
  clearbattlemap(battlemap);
  battlemap.width = battlemap.depth = 65;
  battlemap.cellsize = 200;
  std::fill(battlemap.height.begin(), battlemap.height.begin() + 65 * 65, int16_t(0));
  battlemapgeneration++;
}

// Whether a picture's left and right edges meet, so that it can be laid
// round the sky box: the step between its edge columns is no larger than
// between neighbouring columns inside it. Read back from the texture.
bool edgesmeet(uint32_t texture) {
  int32_t w = 0, h = 0;
  texturesize(texture, &w, &h);
  if (w < 3 || h < 1) return false;
  std::vector<uint8_t> px(size_t(w) * size_t(h) * 4);
  bindtexture(texture, 0);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  resettexstate();
  int64_t across = 0, inside = 0;
  for (size_t y = 0; y < size_t(h); y++) {
    const uint8_t* row = &px[y * size_t(w) * 4];
    for (size_t c = 0; c < 3; c++) {
      across += abs(row[c] - row[size_t(w - 1) * 4 + c]);
      inside += abs(row[c] - row[4 + c]) + abs(row[size_t(w - 1) * 4 + c] - row[size_t(w - 2) * 4 + c]);
    }
  }
  return across <= inside + int64_t(h) * 3 * 2;
}

// A colour of the province's battleground look (0..255 each; a first value
// below 0 leaves the default), as 0..1; whether the province sets it.
bool provincecolour(const int16_t* colour, float* out) {
  if (colour[0] < 0) return false;
  for (size_t i = 0; i < 3; i++) out[i] = float(std::clamp<int32_t>(colour[i], 0, 255)) / 255.0f;
  return true;
}

void loadprovincelook(int32_t lnr) {
  const bool known = lnr >= 0 && lnr < MAXLANDS;
  const ProvGeo* g = known ? &provgeo[size_t(lnr)] : nullptr;
  char path[PATHLEN];
  const char* name = g && g->batmap[0] ? g->batmap : "plain0.v3m";
  if (!plainfilename(name)) {
    debugprint("***** Warning: battle map name refused (%s)\n", name);
    name = "plain0.v3m";
  }
  formatbounded(path, PATHLEN, "%s/battlemaps/%s", datapath, name);
  if (strcmp(name, "empty") == 0) {
    // No battle map: the battle stands on a translucent floor.
    clearbattlemap(battlemap);
    battlemapgeneration++;
  } else if (!LoadBattleMap(path, 0, 1, 1)) {
    debugprint("***** Warning: no battle map, the battle is fought on a flat field (%s)\n", path);
    flatfield();
  }
  watch.fog[0] = 0.62f;
  watch.fog[1] = 0.70f;
  watch.fog[2] = 0.80f;
  watch.look = DEFAULTGROUND;
  if (g) {
    provincecolour(g->fogcol, watch.fog);
    provincecolour(g->groundcol, watch.look.ground.data());
    watch.look.rockset = provincecolour(g->rockcol, watch.look.rock.data());
  }
  watch.sky = 0;
  if (g && g->skybox[0] && windowopen()) {
    if (plainfilename(g->skybox)) {
      formatbounded(path, PATHLEN, "%s/%s", datapath, g->skybox);
      watch.sky = loadtexture(path, 0, 100, 0);
      watch.skyround = watch.sky && edgesmeet(watch.sky);
    }
    if (!watch.sky) debugprint("***** Warning: no sky picture for the battle, the default sky instead (%s)\n", g->skybox);
  }
  const bool floor = battlemap.width < MINBMSIDE;
  const float spanx = floor ? FLOORSPAN : float(battlemap.width - 1) * float(battlemap.cellsize) / 100.0f;
  const float spanz = floor ? FLOORSPAN : float(battlemap.depth - 1) * float(battlemap.cellsize) / 100.0f;
  watch.square = std::clamp(std::min(spanx / float(FIELDW + 6), spanz / float(FIELDH + 6)), 0.5f, 4.0f);
}

// ---------------------------------------------------------------- controls

// The camera keys held at the last frame's controls and never seen let go
// since (battlecameramoves looks at every input pass, waits included).
std::array<bool, KEYTABLE> heldbefore = {};

void cameracontrols(float ms) {
  BattleCamera& c = battlecamera;
  // How long each key counts in this frame: the frame while it is held, but
  // one frame at the frame pace in the frame that finds it newly pressed (it
  // went down during the frame, or ended a wait for input), and as much for
  // each tap whose press and release both came since the last frame.
  const float pace = float(framepace() > 0 ? framepace() : MINFRAMEMS);
  auto keyms = [&](int32_t k) {
    const size_t key = size_t(k);
    const float held = keydown[key] ? (heldbefore[key] ? ms : pace) : 0.0f;
    heldbefore[key] = keydown[key] != 0;
    return held + float(keytaps[key]) * pace;
  };
  c.yaw += (keyms(KEY_RIGHT) - keyms(KEY_LEFT)) * 0.0015f;
  c.distance *= (1.0f - keyms(KEY_UP) * 0.001f) * (1.0f + keyms(KEY_DOWN) * 0.001f);
  // Page Up raises the view toward the horizon and the sky, Page Down
  // looks down onto the field.
  c.pitch += (keyms(KEY_PAGEDOWN) - keyms(KEY_PAGEUP)) * 0.0008f;
  c.pitch = std::clamp(c.pitch, 0.04f, 1.45f);
  if (wheelcount) {
    c.distance *= powf(0.88f, float(wheelcount));
    wheelcount = 0;
  }
  c.distance = std::clamp(c.distance, 12.0f, 400.0f);
  // W A S D move the camera's point along the ground as the view faces.
  const float fx = -cosf(c.yaw), fz = -sinf(c.yaw), rx = -sinf(c.yaw), rz = cosf(c.yaw);
  const float ahead = (keyms('w') - keyms('s')) * 0.04f, side = (keyms('d') - keyms('a')) * 0.04f;
  c.panx = std::clamp(c.panx + fx * ahead + rx * side, -150.0f, 150.0f);
  c.panz = std::clamp(c.panz + fz * ahead + rz * side, -150.0f, 150.0f);
}

float up(float y) { return 600.0f - y; }

constexpr int32_t CAMERAKEYS[] = {KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN, KEY_PAGEUP, KEY_PAGEDOWN, 'w', 's', 'a', 'd'};

void controlbutton(int32_t id, float x, float w, const char* label, bool lit) {
  const float y = 8, h = 24;
  areabox(id, x, y, w, h, lit ? 0.45f : 0.12f, lit ? 0.35f : 0.12f, lit ? 0.12f : 0.16f, 0.85f);
  areaframe(x, y, w, h, 1, 0.7f, 0.62f, 0.4f, 0.9f);
  areatextcol(id, x + 6, y + 5, 15, 1, 0.95f, 0.8f, 1, "%s", label);
}

// The bar of controls and the turn line, as plain areas over the field.
void buildcontrols(bool ended) {
  guibegin();
  areabox(0, 0, 0, 800, ended ? 0 : 58, 0.0f, 0.0f, 0.0f, 0.6f);
  areabox(0, 0, up(34), 800, 34, 0.0f, 0.0f, 0.0f, 0.55f);
  const char* where = watch.lnr >= 1 && watch.lnr < MAXLANDS ? land[size_t(watch.lnr)].name : "";
  if (ended) areatextcol(0, 12, up(26), 18, 1, 0.92f, 0.7f, 1, "Battle of %s: the end", where);
  else if (watch.turn == 0) areatextcol(0, 12, up(26), 18, 1, 0.92f, 0.7f, 1, "Battle of %s: the armies deploy", where);
  else areatextcol(0, 12, up(26), 18, 1, 0.92f, 0.7f, 1, "Battle of %s: turn %d", where, watch.turn);
  if (watch.foreseen == 1)
    areatextcol(0, 420, up(24), 14, 0.6f, 1, 0.6f, 1, "Battle running along just as I have forseen");
  else if (watch.foreseen == 0)
    areatextcol(0, 420, up(24), 14, 1, 0.45f, 0.4f, 1, "Battle inconsistency (turn %d)", watch.turn);
  if (ended) return;
  float x = 8;
  controlbutton(BV_PAUSE, x, 90, watch.paused ? "Go on (p)" : "Pause (p)", watch.paused);
  x += 96;
  controlbutton(BV_SLOWER, x, 80, "Slower (-)", false);
  x += 86;
  areatextcol(0, x + 4, 13, 15, 1, 1, 1, 1, "x%g", double(SPEEDS[watch.speed]));
  x += 48;
  controlbutton(BV_FASTER, x, 80, "Faster (+)", false);
  x += 86;
  controlbutton(BV_SKIP, x, 140, "Skip to end (e)", false);
  x += 146;
  controlbutton(BV_LOW, x, 110, "Low detail (l)", battlelowdetail != 0);
  x += 116;
  controlbutton(BV_EXTRA, x, 120, "Extra detail (x)", battleextradetail != 0);
  areatextcol(0, 12, 38, 13, 0.85f, 0.85f, 0.85f, 1, "Left, Right: turn   PgUp, PgDn: tilt   Up, Down, wheel: zoom   W A S D: move");
  guishortcut(BV_PAUSE, 'p');
  guishortcut(BV_PAUSE, KEY_SPACE);
  guishortcut(BV_SLOWER, '-');
  guishortcut(BV_SLOWER, KEY_KP_MINUS);
  guishortcut(BV_FASTER, '+');
  guishortcut(BV_FASTER, '=');
  guishortcut(BV_FASTER, KEY_KP_PLUS);
  guishortcut(BV_SKIP, KEY_ESCAPE);
  guishortcut(BV_SKIP, 'e');
  guishortcut(BV_LOW, 'l');
  guishortcut(BV_EXTRA, 'x');
}

void act(int32_t id) {
  switch (id) {
    case BV_PAUSE: watch.paused = !watch.paused; break;
    case BV_SLOWER: watch.speed = std::max(watch.speed - 1, 0); break;
    case BV_FASTER: watch.speed = std::min(watch.speed + 1, NSPEEDS - 1); break;
    case BV_SKIP: watch.skip = true; break;
    case BV_LOW: battlelowdetail = !battlelowdetail; break;
    case BV_EXTRA: battleextradetail = !battleextradetail; break;
    default: break;
  }
}
}  // namespace

// ---------------------------------------------------------------- the hook

void battleviewbegin(int32_t lnr) {
  installbattlefield();
  watch = Watch{};
  watch.lnr = lnr;
  watch.figureof.assign(size_t(MAXUNITS), -1);
  loadprovincelook(lnr);
  battlecamera = {1.5708f, 0.32f, std::clamp(watch.square * 36.0f, 25.0f, 250.0f), 0.0f, 0.0f};
  battlewatching = 1;
  if (windowopen()) setbgscene(Scene::battlefield);
}

void showbattleframe(const BattleFrame& frame) {
  if (!battlewatching) return;
  takebattleframe(frame);
  watch.phase = 0.0f;
  if (watch.skip || !windowopen()) {
    watch.phase = 1.0f;
    return;
  }
  const float length = frame.turn == 0 ? SETUPMS : TURNMS;
  float shown = 0.0f;
  uint32_t last = timems();
  for (;;) {
    const uint32_t now = timems();
    // A slow frame moves the battle on by a tenth of a second at most, so
    // that nothing is skipped unseen.
    const float ms = std::min(float(now - last), 100.0f);
    last = now;
    if (!watch.paused) shown += ms * SPEEDS[watch.speed];
    watch.phase = std::min(1.0f, shown / length);
    cameracontrols(ms);
    buildcontrols(false);
    // A paused battle is still: the frame waits for input (the camera
    // moving ends the wait too).
    act(render_frame(watch.paused, Scene::battlefield));
    if (watch.skip || (shown >= length && !watch.paused)) break;
  }
  watch.phase = 1.0f;
}

std::vector<std::string> battlereportlines(const BattleCheck& check) {
  std::vector<std::string> out;
  char line[300];
  const BattleResult& r = battleresult;
  auto name = [](int32_t p) { return p >= 0 && p < MAXNATIONS ? nations[size_t(p)].name : "?"; };
  const char* where = r.land >= 1 && r.land < MAXLANDS ? land[size_t(r.land)].name : "?";
  formatbounded(line, sizeof line, "%s attacked %s in %s.", name(r.attacker), name(r.defender), where);
  out.push_back(line);
  formatbounded(line, sizeof line, "%s held the field after %d turns.", name(r.winner), r.turns);
  out.push_back(line);
  for (int32_t side = 0; side < 2; side++) {
    formatbounded(line, sizeof line, "%s lost %d units, %d fled.", name(side == 0 ? r.defender : r.attacker),
                  r.killed[side], r.fled[side]);
    out.push_back(line);
  }
  if (r.retreated > 0 || r.died_trapped > 0) {
    formatbounded(line, sizeof line, "%d of the losers retreated, %d had nowhere to go.", r.retreated, r.died_trapped);
    out.push_back(line);
  }
  if (check.setup < 0 && check.foreseen == 0 && check.differing == 0) {
    out.push_back("There was no hosted battle to compare with.");
  } else if (check.differing == 0 && check.setup != 0) {
    formatbounded(line, sizeof line, "Battle running along just as I have forseen (%d turns compared).",
                  check.foreseen);
    out.push_back(line);
  } else {
    formatbounded(line, sizeof line, "Battle inconsistency (turn %d): the world is not the one the battle was fought in.",
                  check.firstbad);
    out.push_back(line);
  }
  return out;
}

void battleviewreport(const BattleCheck& check) {
  if (!windowopen()) return;
  const std::vector<std::string> lines = battlereportlines(check);
  watch.phase = 1.0f;
  watch.skip = true;
  uint32_t last = timems();
  auto build = [&] {
    const uint32_t now = timems();
    // After a wait for input the camera moves as after a tenth of a second.
    cameracontrols(std::min(float(now - last), 100.0f));
    last = now;
    buildcontrols(true);
    guititle("The battle is over");
    guicloseid(BV_EXIT);
    guiminwidth(440);
    guimaxwidth(640);
    {
      GuiTextScale report(0.8f);
      for (const std::string& l : lines) guibutton(0, "%s", l.c_str());
    }
    guispace(3);
    guiexitbutton(BV_EXIT, "Exit");
    guishow(-1, 420);
  };
  while (guimodal(build, Scene::battlefield) != BV_EXIT) {}
}

int32_t battlecameramoves() {
  if (!battlewatching) return 0;
  // A key let go while the frames wait for input is no longer held: pressed
  // again, it counts as newly pressed, not as the whole wait held.
  for (const int32_t key : CAMERAKEYS)
    if (!keydown[size_t(key)]) heldbefore[size_t(key)] = false;
  for (const int32_t key : CAMERAKEYS)
    if (keydown[size_t(key)] || keytaps[size_t(key)]) return 1;
  return wheelcount != 0 ? 1 : 0;
}

void battleviewend() {
  battlewatching = 0;
  watch.figures.clear();
  watch.figureof.clear();
  watch.events.clear();
}

FieldCount fieldcount() {
  FieldCount c{0, 0, 0};
  for (const Figure& f : watch.figures) {
    if (onfieldstate(f.state)) c.standing++;
    else if (f.state == FG_DYING || f.state == FG_DEAD) c.fallen++;
    else c.gone++;
  }
  return c;
}

void fieldsquarepoint(float x, float y, float* mx, float* mz) {
  const float cell = float(battlemap.cellsize) / 100.0f;
  const mbentry middle = battlefieldmiddle(battlemap);
  const float cx = battlemap.width >= MINBMSIDE ? float(middle.x) * cell : FLOORSPAN / 2;
  const float cz = battlemap.depth >= MINBMSIDE ? float(middle.y) * cell : FLOORSPAN / 2;
  *mx = cx + (x - float(FIELDW - 1) / 2.0f) * watch.square;
  *mz = cz + (y - float(FIELDH - 1) / 2.0f) * watch.square;
}

// ---------------------------------------------------------------- drawing

namespace {
struct Vec {
  float x, y, z;
};
Vec at(float sx, float sy) {
  Vec v;
  fieldsquarepoint(sx, sy, &v.x, &v.z);
  v.y = battlemapheight(battlemap, v.x * 100.0f, v.z * 100.0f) / 100.0f;
  return v;
}
float lerp(float a, float b, float t) { return a + (b - a) * t; }

Vec figureplace(const Figure& f, float phase) {
  float x = lerp(f.fx, f.tx, phase), y = lerp(f.fy, f.ty, phase);
  if (f.lunge >= 0 && size_t(f.lunge) < watch.figures.size()) {
    const Figure& t = watch.figures[size_t(f.lunge)];
    const float dx = t.fx - f.fx, dy = t.fy - f.fy, d = sqrtf(dx * dx + dy * dy);
    const float reach = 0.35f * sinf(phase * 3.14159f);
    if (d > 0.01f) {
      x += dx / d * reach;
      y += dy / d * reach;
    }
  }
  return at(x, y);
}

// What drawing the figures needs of the camera this frame.
struct View {
  float right[3];        // the camera's right, in the world
  float toward[3];       // toward the viewer along the ground
  float depthrow[4];     // eye-space depth of a point: -(row . (x, y, z, 1))
  ViewSides sides;
  float fogstart;        // depth where the fog begins (no fog: never)
  float texels;          // texels of a 32-pixel figure on one window pixel
  float depth(const Vec& p) const {
    return -(depthrow[0] * p.x + depthrow[1] * p.y + depthrow[2] * p.z + depthrow[3]);
  }
  bool sees(const Vec& p, float radius) const { return sides.sees(p.x, p.y, p.z, radius); }
};

View viewnow() {
  View v{};
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  v.right[0] = m[0], v.right[1] = m[4], v.right[2] = m[8];
  v.toward[0] = m[2], v.toward[2] = m[10];
  const float tl = sqrtf(v.toward[0] * v.toward[0] + v.toward[2] * v.toward[2]);
  if (tl > 0.001f) {
    v.toward[0] /= tl;
    v.toward[2] /= tl;
  }
  v.depthrow[0] = m[2], v.depthrow[1] = m[6], v.depthrow[2] = m[10], v.depthrow[3] = m[14];
  v.sides = viewsides();
  v.fogstart = 1e30f;
  if (glIsEnabled(GL_FOG)) glGetFloatv(GL_FOG_START, &v.fogstart);
  // Window pixels a metre spans at the field's middle.
  const float pixelspermetre =
      float(windowheight()) / (2.0f * tanf(22.5f * 3.14159265f / 180.0f) * std::max(battlecamera.distance, 1.0f));
  v.texels = 32.0f / std::max(watch.square * 1.1f * pixelspermetre, 0.01f);
  return v;
}

// The nation's colour at each figure's feet, opaque.
void markers(float phase, const View& view) {
  bindtexture(0, 0);
  glBegin(GL_QUADS);
  const float r = watch.square * 0.22f;
  for (const Figure& f : watch.figures) {
    if (!onfieldstate(f.state) && f.state != FG_FLEEING) continue;
    const Vec p = figureplace(f, phase);
    if (!view.sees(p, r * 1.5f)) continue;
    const float* c = f.owner >= 0 && f.owner < MAXNATIONS ? nations[size_t(f.owner)].colour : nullptr;
    if (c) glColor3f(c[0], c[1], c[2]);
    else glColor3f(0.5f, 0.5f, 0.5f);
    glVertex3f(p.x - r, p.y + 0.05f, p.z - r);
    glVertex3f(p.x - r, p.y + 0.05f, p.z + r);
    glVertex3f(p.x + r, p.y + 0.05f, p.z + r);
    glVertex3f(p.x + r, p.y + 0.05f, p.z - r);
  }
  glEnd();
}

// One figure's quad as it is drawn: corners of texture coordinates,
// colour and place, as the vertex array takes them.
struct Quad {
  uint32_t texture;
  bool translucent;
  bool fogged;          // stands where the fog shows
  float nearness;       // toward the camera
  float corner[4][9];   // u, v, red, green, blue, alpha, x, y, z
};

// The quads of the figures from one vertex array, in runs of one texture
// (the figures share pages) and one state: the opaque ones with the alpha
// test alone (blending costs most on software renderers), front to back,
// then the fading ones blended, back to front. Fog is computed only for
// figures that stand where it shows. Figures shown near their own size are
// read from the full-size picture alone (`sharp`), not from a blend of it
// and its shrunken copy, which costs a software renderer twice the reads
// and blurs them.
void drawquads(std::vector<Quad>& quads, bool sharp) {
  std::sort(quads.begin(), quads.end(), [](const Quad& a, const Quad& b) {
    if (a.translucent != b.translucent) return !a.translucent;
    if (a.translucent) return a.nearness < b.nearness;
    if (a.fogged != b.fogged) return !a.fogged;
    return a.texture != b.texture ? a.texture < b.texture : a.nearness > b.nearness;
  });
  std::vector<float> array;
  array.reserve(quads.size() * 36);
  for (const Quad& q : quads)
    for (const auto& c : q.corner) array.insert(array.end(), c, c + 9);
  if (!quads.empty()) {
    const GLsizei stride = GLsizei(sizeof(float) * 9);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, stride, array.data());
    glColorPointer(4, GL_FLOAT, stride, array.data() + 2);
    glVertexPointer(3, GL_FLOAT, stride, array.data() + 6);
  }
  const bool fog = glIsEnabled(GL_FOG);
  size_t i = 0;
  while (i < quads.size()) {
    const size_t first = i;
    const uint32_t tex = quads[i].texture;
    const bool translucent = quads[i].translucent, fogged = quads[i].fogged;
    while (i < quads.size() && quads[i].texture == tex && quads[i].translucent == translucent &&
           quads[i].fogged == fogged)
      i++;
    resettexstate();
    bindtexture(tex, 4);
    if (!translucent) glDisable(GL_BLEND);
    if (fog && !fogged) glDisable(GL_FOG);
    GLint filter = GL_LINEAR;
    if (sharp) {
      glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    }
    glDrawArrays(GL_QUADS, GLint(first * 4), GLsizei((i - first) * 4));
    if (sharp) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    if (fog) glEnable(GL_FOG);
  }
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  resettexstate();
}

// The part of a sprite's quad that can show ink, as fractions of its width
// and height from its lower left: the ink box widened by what the texture
// filter spreads it over when `texels` texels fall on a pixel (a shrunken
// level of 2^L texels a block reaches 1.5 x 2^L texels), the whole quad when
// the ink is not known.
struct InkCut {
  float x0 = 0, y0 = 0, x1 = 1, y1 = 1;
};
InkCut inkcut(const spritetex& st, float texels) {
  InkCut c;
  const inkbox& ink = st.ink;
  if (ink.texw <= 0 || ink.texh <= 0 || st.du <= 0 || st.dv <= 0 || !std::isfinite(texels)) return c;
  const int32_t level = std::clamp(int32_t(ceilf(log2f(std::max(texels, 1.0f)))), 0, 10);
  const float spread = 1.5f * float(1 << level) + 1;
  const float mu = spread / float(ink.texw), mv = spread / float(ink.texh);
  c.x0 = std::clamp((ink.u0 - mu - st.u) / st.du, 0.0f, 1.0f);
  c.x1 = std::clamp((ink.u1 + mu - st.u) / st.du, 0.0f, 1.0f);
  c.y0 = std::clamp((ink.v0 - mv - st.v) / st.dv, 0.0f, 1.0f);
  c.y1 = std::clamp((ink.v1 + mv - st.v) / st.dv, 0.0f, 1.0f);
  if (c.x0 >= c.x1 || c.y0 >= c.y1) c = InkCut{};
  return c;
}

// Figures shown at most this many texels to a pixel are read sharp.
constexpr float SHARPTEXELS = 1.5f;

void sprites(float phase, const View& view) {
  std::vector<uint8_t> fetched(size_t(MAXUNITTYPES), 0);
  std::vector<Quad> quads;
  quads.reserve(watch.figures.size());
  const float* right = view.right;
  const float* toward = view.toward;
  for (const Figure& f : watch.figures) {
    if (f.state == FG_GONE || f.type < 0 || f.type >= MAXUNITTYPES) continue;
    const int32_t nr = unittypes[size_t(f.type)].sprite;
    if (!fetched[size_t(f.type)]) {
      fetchsprite(TRS_ARMY, nr, SPRITEMODE);
      fetched[size_t(f.type)] = 1;
    }
    const float pw = float(spritewidth(TRS_ARMY, nr)), ph = float(spriteheight(TRS_ARMY, nr));
    // Figures are drawn larger than life, so that a squad reads at a glance.
    const float scale = std::max(0.8f, ph / 32.0f);
    const float h = scale * watch.square * 1.1f, w = h * (ph > 0 ? pw / ph : 1.0f);
    const Vec p = f.state == FG_DEAD ? at(f.tx, f.ty) : figureplace(f, phase);
    if (!view.sees(Vec{p.x, p.y + h / 2, p.z}, std::max(w, h))) continue;
    const spritetex st = spritetexture(TRS_ARMY, nr);
    if (!st.texture) continue;
    // The fallen tip over toward the camera, so that they lie face up.
    const float fall = f.state == FG_DEAD ? 1.0f : f.state == FG_DYING ? phase : 0.0f;
    const float a = fall * 1.5f, ux = toward[0] * sinf(a), uy = cosf(a), uz = toward[2] * sinf(a);
    float r = 1, g = 1, b = 1, alpha = 1;
    if (f.state == FG_DEAD || f.state == FG_DYING) r = g = b = 0.45f + 0.55f * (1 - fall);
    if (f.hurt > 0 && f.state != FG_DEAD) {
      const float flash = sinf(phase * 3.14159f);
      g = b = 1 - 0.7f * flash;
    }
    if (f.routing) alpha = 0.7f;
    if (f.state == FG_APPEARING) alpha = phase;
    if (f.state == FG_FLEEING) alpha = 1 - phase * 0.8f;
    // The quad cut down to the sprite's ink: its empty margins cost a
    // software renderer as much to fill as the figure.
    const InkCut c = inkcut(st, view.texels * ph / 32.0f / scale);
    const float y = p.y + (f.state == FG_DEAD ? 0.08f : 0.0f);
    const float x0 = w * (c.x0 - 0.5f), x1 = w * (c.x1 - 0.5f);
    const float bx0 = p.x + right[0] * x0, bz0 = p.z + right[2] * x0;
    const float bx1 = p.x + right[0] * x1, bz1 = p.z + right[2] * x1;
    const float lo = h * c.y0, hi = h * c.y1;
    const float u0 = st.u + st.du * c.x0, u1 = st.u + st.du * c.x1;
    const float v0 = st.v + st.dv * c.y0, v1 = st.v + st.dv * c.y1;
    const bool fogged = view.depth(p) + std::max(w, h) >= view.fogstart;
    quads.push_back(Quad{st.texture, alpha < 1.0f, fogged, p.x * toward[0] + p.z * toward[2],
                         {{u0, v0, r, g, b, alpha, bx0 + ux * lo, y + uy * lo, bz0 + uz * lo},
                          {u1, v0, r, g, b, alpha, bx1 + ux * lo, y + uy * lo, bz1 + uz * lo},
                          {u1, v1, r, g, b, alpha, bx1 + ux * hi, y + uy * hi, bz1 + uz * hi},
                          {u0, v1, r, g, b, alpha, bx0 + ux * hi, y + uy * hi, bz0 + uz * hi}}});
  }
  drawquads(quads, view.texels <= SHARPTEXELS);
}

// Missiles in flight and spells where they land, for the turn's events.
void effects(float phase, const float* right) {
  if (phase >= 1.0f) return;
  bindtexture(0, 5);
  glLineWidth(2.0f);
  glBegin(GL_LINES);
  for (const BattleEvent& e : watch.events) {
    if (e.kind != BEV_MISSILE) continue;
    const Figure* f = figureofunit(e.unr);
    if (!f) continue;
    const Vec a = at(f->tx, f->ty), b = at(e.tx, e.ty);
    const float dist = sqrtf((b.x - a.x) * (b.x - a.x) + (b.z - a.z) * (b.z - a.z));
    auto point = [&](float t) {
      return Vec{lerp(a.x, b.x, t), lerp(a.y, b.y, t) + 1.2f + dist * 0.35f * 4 * t * (1 - t), lerp(a.z, b.z, t)};
    };
    const Vec p0 = point(std::max(0.0f, phase - 0.06f)), p1 = point(phase);
    glColor4f(0.25f, 0.18f, 0.1f, 1);
    glVertex3f(p0.x, p0.y, p0.z);
    glVertex3f(p1.x, p1.y, p1.z);
  }
  glEnd();
  glLineWidth(1.0f);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glBegin(GL_QUADS);
  for (const BattleEvent& e : watch.events) {
    if (e.kind != BEV_SPELL) continue;
    const Vec p = at(e.tx, e.ty);
    const int32_t path = e.what > 0 && e.what < MAXSPELLS ? spells[size_t(e.what)].path[0] : -1;
    static const float tint[8][3] = {{1, 0.45f, 0.1f}, {0.6f, 0.8f, 1}, {0.3f, 0.5f, 1}, {0.7f, 0.55f, 0.3f},
                                     {0.9f, 0.8f, 1},   {0.5f, 0.9f, 0.5f}, {0.4f, 1, 0.3f}, {0.9f, 0.1f, 0.1f}};
    const float* c = path >= 0 && path < 8 ? tint[path] : tint[4];
    const float s = watch.square * (0.6f + 2.0f * phase);
    glColor4f(c[0], c[1], c[2], 0.8f * (1 - phase));
    glVertex3f(p.x - right[0] * s, p.y + 0.2f, p.z - right[2] * s);
    glVertex3f(p.x + right[0] * s, p.y + 0.2f, p.z + right[2] * s);
    glVertex3f(p.x + right[0] * s, p.y + 0.2f + 2 * s, p.z + right[2] * s);
    glVertex3f(p.x - right[0] * s, p.y + 0.2f + 2 * s, p.z - right[2] * s);
  }
  glEnd();
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}
}  // namespace

void drawbattlefigures() {
  if (!battlewatching) return;
  const View view = viewnow();
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glDepthMask(GL_TRUE);
  markers(watch.phase, view);
  sprites(watch.phase, view);
  effects(watch.phase, view.right);
  resettexstate();
}

float battlefogcolour(int32_t i) { return watch.fog[std::clamp(i, 0, 2)]; }
GroundLook battlegroundlook() { return battlewatching ? watch.look : DEFAULTGROUND; }

BattleSky battlesky() {
  if (battlewatching && watch.sky) return {watch.sky, watch.skyround};
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/%s", datapath, DEFAULTBATTLESKY);
  const uint32_t texture = loadtexture(path, 0, 100, 0);
  static uint32_t known = 0;
  static bool round = false;
  if (texture != known) {
    known = texture;
    round = texture && edgesmeet(texture);
  }
  return {texture, round};
}

int32_t battleeventsound(const BattleEvent& e) {
  const bool weaponok = e.what > 0 && e.what < MAXWEAPONS;
  const int32_t own = weaponok ? weapons[size_t(e.what)].sound : -1;
  // 0 is a row's default: no sound of its own.
  const bool hasown = own > 0 && own < SOUNDSAMPLES && samplefile(own);
  switch (e.kind) {
    case BEV_STRIKE: return hasown ? own : e.amount > 0 ? SND_SWORD : SND_MISS;
    case BEV_MISSILE: return hasown ? own : SND_BOW;
    case BEV_SPELL: return SND_CAST;
    case BEV_DEATH: return SND_DEATH;
    case BEV_ROUT: return SND_RETREAT;
    case BEV_SUMMON: return SND_SUMMON;
    default: return -1;
  }
}
