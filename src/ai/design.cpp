// Pretender god designs: their points, their checks, random designs, and
// their places in the world tables and in saved design files.
#include "ai/design.h"

#include <cstring>

#include "gamefiles/gamefiles.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/epithets.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr int32_t SCALESTEP = 10;
constexpr int32_t DOMINIONSTEP = 10;
constexpr int32_t PATHSTEP = 8;
constexpr int32_t HEATCOLD = 2;   // the one scale that costs nothing either way

bool validform(int32_t form) { return form > 0 && form < MAXUNITTYPES && unittypes[size_t(form)].name[0]; }
bool validnation(int32_t nation) { return nation >= 0 && nation < MAXPLAYERS; }

// Points of the path levels from `from` up to `to` (none when to <= from).
int32_t levelsbetween(int32_t from, int32_t to) {
  int32_t cost = 0;
  for (int32_t l = imax(from, 0) + 1; l <= to; l++) cost += PATHSTEP * l;
  return cost;
}

// A god made for a while in the world tables and taken out again, with
// whatever the making touched put back as it was.
class ScratchGod {
 public:
  ScratchGod() : units(highestunit), coms(highestcom), rec0(veyrec[0]) {}
  ~ScratchGod() {
    if (unr >= 0) putunit(unr, emptyunit());
    if (cnr >= 0) com[size_t(cnr)] = emptycommander();
    highestunit = units;
    highestcom = coms;
    veyrec[0] = rec0;
  }
  ScratchGod(const ScratchGod&) = delete;
  ScratchGod& operator=(const ScratchGod&) = delete;
  // Places the design as a god of the working record 0; false when no slot is free.
  bool place(const GodDesign& d) {
    cnr = placedesign(d, 0);
    if (cnr >= 0) unr = com[size_t(cnr)].body;
    return cnr >= 0;
  }
  int32_t cnr = -1, unr = -1;   // the slots to free

 private:
  int32_t units, coms;
  VeyRec rec0;
};
}  // namespace

int32_t formcost(int32_t form) { return validform(form) ? imax(0, unittypes[size_t(form)].gcost) : 0; }

int32_t basepath(int32_t form, int32_t path) {
  if (!validform(form) || path < 0 || path >= GODPATHS) return 0;
  return imax(0, gettypemagic(form, path));
}

int32_t pathcost(int32_t form, int32_t path, int32_t level) { return levelsbetween(basepath(form, path), level); }

int32_t dominioncost(int32_t dominion) { return DOMINIONSTEP * imax(0, dominion - MINDOMINION); }

int32_t scalecost(int32_t scale, int32_t value) {
  if (scale == HEATCOLD) return 0;
  return -SCALESTEP * value;   // the first-named side is the positive one, and gives back
}

int32_t awakeningcost(int32_t awakening) {
  return awakening == GOD_DORMANT ? -50 : awakening == GOD_IMPRISONED ? -100 : 0;
}

int32_t designcost(const GodDesign& d) {
  int32_t cost = formcost(d.form) + dominioncost(d.dominion) + awakeningcost(d.awakening);
  for (int32_t p = 0; p < GODPATHS; p++) cost += pathcost(d.form, p, d.path[p]);
  for (int32_t s = 0; s < 6; s++) cost += scalecost(s, d.scale[s]);
  return cost;
}

int formallowed(int32_t nation, int32_t form) {
  if (!validnation(nation)) return 0;
  const Nation& n = nations[size_t(nation)];
  if (n.godform[0] == 0) return form == FALLBACKFORM;
  for (int i = 0; i < MAXGODFORMS && n.godform[i] != 0; i++)
    if (n.godform[i] == form) return 1;
  return 0;
}

int32_t nationforms(int32_t nation, int32_t* forms) {
  if (!validnation(nation)) return 0;
  const Nation& n = nations[size_t(nation)];
  int32_t count = 0;
  for (int i = 0; i < MAXGODFORMS && n.godform[i] != 0; i++)
    if (validform(n.godform[i])) forms[count++] = n.godform[i];
  if (count == 0) forms[count++] = FALLBACKFORM;
  return count;
}

void setform(GodDesign& d, int32_t form) {
  d.form = form;
  for (int32_t p = 0; p < GODPATHS; p++) d.path[p] = uint8_t(imax(d.path[p], basepath(form, p)));
}

GodDesign newdesign(int32_t nation) {
  GodDesign d;
  d.nation = nation;
  int32_t forms[MAXGODFORMS];
  setform(d, nationforms(nation, forms) > 0 ? forms[0] : FALLBACKFORM);
  // A name from the form's own list, else from any list of names.
  int32_t type = unittypes[size_t(d.form)].nametype;
  for (int32_t tries = 0; tries < MAXNAMETYPES && (type <= 0 || type >= MAXNAMETYPES || personalnames[size_t(type)].count < 1);
       tries++)
    type = 1 + rnd(MAXNAMETYPES - 1);
  if (type > 0 && type < MAXNAMETYPES && personalnames[size_t(type)].count > 0)
    strlcopy(d.name, personalnames[size_t(type)].names[size_t(rnd(personalnames[size_t(type)].count))], 36);
  else
    strlcopy(d.name, unittypes[size_t(d.form)].name, 36);
  return d;
}

const char* designproblem(const GodDesign& d, int32_t points) {
  static char why[MSGLEN];
  if (!validnation(d.nation)) return "The design belongs to no nation.";
  if (!validform(d.form) || !formallowed(d.nation, d.form)) {
    formatbounded(why, MSGLEN, "%s cannot take the form of %s.", nations[size_t(d.nation)].name,
                  validform(d.form) ? unittypes[size_t(d.form)].name : "an unknown being");
    return why;
  }
  for (int32_t p = 0; p < GODPATHS; p++)
    if (d.path[p] < basepath(d.form, p) || (d.path[p] > MAXDESIGNPATH && d.path[p] > basepath(d.form, p))) {
      formatbounded(why, MSGLEN, "The %s level %d is out of range.", pathnames[p], d.path[p]);
      return why;
    }
  if (d.dominion < MINDOMINION || d.dominion > MAXDOMINION) return "The veyrance is out of range.";
  for (int32_t s = 0; s < 6; s++)
    if (d.scale[s] < -MAXSCALE || d.scale[s] > MAXSCALE) return "A scale is out of range.";
  if (d.awakening < GOD_AWAKE || d.awakening > GOD_IMPRISONED) return "The awakening is out of range.";
  if (!d.name[0]) return "The god has no name.";
  const int32_t cost = designcost(d);
  if (cost > points) {
    formatbounded(why, MSGLEN, "The design costs %d points; a god may cost at most %d.", cost, points);
    return why;
  }
  return "";
}

GodDesign randomdesign(int32_t nation, int32_t points) {
  bailif(!validnation(nation), "randomdesign: bad nation");
  GodDesign d = newdesign(nation);
  int32_t forms[MAXGODFORMS];
  setform(d, forms[rnd(nationforms(nation, forms))]);
  for (int32_t p = 0; p < GODPATHS; p++) d.path[p] = uint8_t(basepath(d.form, p));
  d.dominion = 1 + rnd(3);
  for (int32_t s = 0; s < 6; s++) d.scale[s] = int8_t(rnd(2 * MAXSCALE + 1) - MAXSCALE);
  // Scales that the points cannot pay for move toward the middle.
  for (int32_t s = 0; s < 6 && designcost(d) > points; s++)
    while (d.scale[s] < 0 && designcost(d) > points) d.scale[s]++;
  while (d.dominion > MINDOMINION && designcost(d) > points) d.dominion--;
  // The rest a level at a time on random paths, then on dominion.
  for (int32_t attempt = 0; attempt < 200; attempt++) {
    const int32_t p = rnd(GODPATHS);
    if (d.path[p] >= MAXDESIGNPATH) continue;
    d.path[p]++;
    if (designcost(d) > points) d.path[p]--;
  }
  while (d.dominion < MAXDOMINION) {
    d.dominion++;
    if (designcost(d) > points) {
      d.dominion--;
      break;
    }
  }
  return d;
}

int32_t placedesign(const GodDesign& d, int32_t owner) {
  bailif(owner < 0 || owner >= MAXPLAYERS, "placedesign: bad owner");
  if (!validform(d.form)) return -1;
  const int32_t cnr = newcom(d.form, owner);
  if (cnr < 0) return -1;
  Commander& c = com[size_t(cnr)];
  strlcopy(c.name, d.name, 36);
  for (int32_t p = 0; p < GODPATHS; p++) c.path[p] = d.path[p];
  c.veyvalue = int8_t(d.dominion);
  VeyRec& v = veyrec[size_t(owner)];
  for (int32_t s = 0; s < 6; s++) v.scale[s] = d.scale[s];
  v.value[0] = d.awakening;
  strlcopy(v.text, d.epithet, sizeof v.text);
  return cnr;
}

GodDesign designof(int32_t cnr, int32_t rec, int32_t nation) {
  bailif(cnr < 0 || cnr >= MAXCOMS, "designof: bad cnr");
  bailif(rec < 0 || rec >= MAXPLAYERS, "designof: bad rec");
  GodDesign d;
  d.nation = nation;
  const Commander& c = com[size_t(cnr)];
  d.form = c.body >= 0 && c.body < MAXUNITS ? unit[size_t(c.body)].type : 0;
  for (int32_t p = 0; p < GODPATHS; p++) d.path[p] = c.path[p];
  d.dominion = c.veyvalue;
  strlcopy(d.name, c.name, 36);
  const VeyRec& v = veyrec[size_t(rec)];
  for (int32_t s = 0; s < 6; s++) d.scale[s] = v.scale[s];
  d.awakening = v.value[0];
  strlcopy(d.epithet, v.text, sizeof d.epithet);
  return d;
}

void drawepithet(GodDesign& d) {
  if (!validform(d.form) || !validnation(d.nation)) return;
  ScratchGod scratch;
  if (!scratch.place(d)) return;
  ge(d.nation, scratch.cnr);
  strlcopy(d.epithet, veyrec[0].text, sizeof d.epithet);
}

int32_t savedesign(const GodDesign& d, const char* gname, char* why) {
  why[0] = 0;
  const char* problem = designproblem(d, DESIGNPOINTS);
  if (problem[0]) {
    strlcopy(why, problem, MSGLEN);
    return -1;
  }
  const bool slots = strcmp(gname, "newlords") == 0;
  int32_t slot = 0;
  if (slots) {
    slot = newlordslot(d.nation);
    if (slot < 0) {
      formatbounded(why, MSGLEN, "All %d design places of %s are taken.", NEWLORDSLOTS, nations[size_t(d.nation)].name);
      return -1;
    }
  }
  // The file carries the god through the designer's working record 0.
  ScratchGod scratch;
  if (!scratch.place(d)) {
    strlcopy(why, "There is no room for another commander.", MSGLEN);
    return -1;
  }
  char path[PATHLEN];
  if (!writenewlordfile(gname, d.nation, slot, scratch.cnr, d.password, path)) {
    formatbounded(why, MSGLEN, "%s could not be written.", path);
    return -1;
  }
  return slot;
}

int loaddesign(const char* gname, int32_t nation, int32_t slot, GodDesign* d, char* why) {
  why[0] = 0;
  if (!validnation(nation)) {
    strlcopy(why, "No such nation.", MSGLEN);
    return 0;
  }
  char path[PATHLEN];
  newlordslotvalue = slot;
  gamefilepath(path, PATHLEN, gname, 0, nation);
  if (highestunit + 1 >= MAXUNITS || highestcom + 1 >= MAXCOMS) {
    strlcopy(why, "There is no room for another commander.", MSGLEN);
    return 0;
  }
  // The reader fills the nation's veyrance record and design value: both
  // are put back with the scratch slots.
  const VeyRec rec = veyrec[size_t(nation)];
  const int16_t value = kingdom[size_t(nation)].w[KW_DESIGNVALUE];
  ScratchGod scratch;
  const int32_t cnr = highestcom + 1, unr = highestunit + 1;
  char pass[50] = {};
  int ok;
  {
    SoftReadScope soft;
    ok = loadnewlord(gname, nation, cnr, unr, pass, slot) == 1 && !readbroken();
  }
  scratch.cnr = cnr;
  scratch.unr = unr;
  if (ok) {
    *d = designof(cnr, nation, nation);
    strlcopy(d->password, pass, sizeof d->password);
  }
  veyrec[size_t(nation)] = rec;
  kingdom[size_t(nation)].w[KW_DESIGNVALUE] = value;
  if (!ok) formatbounded(why, MSGLEN, "The saved design %s does not read: it is damaged or not a design.", path);
  return ok;
}

int32_t listdesigns(int32_t nation, int32_t* slots, int32_t max) {
  if (!validnation(nation)) return 0;
  int32_t count = 0;
  for (int32_t n = 0; n < NEWLORDSLOTS && count < max; n++)
    if (newlordsaved(nation, n)) slots[count++] = n;
  return count;
}
