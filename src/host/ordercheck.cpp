// Order files come from other people. The order loader already refuses a
// file that touches records the player does not own; here the host keeps
// every field that no turn screen can change (it is put back as the world
// file had it) and checks the fields that the screens do change. A file
// whose orders are impossible, or that leaves the nation richer than it
// was at the start of its turn (cheat detection), is not used: the
// player's records go back to the world file's and the player is told.
#include <algorithm>
#include <cstring>
#include <memory>

#include "gamefiles/gamefiles.h"
#include "host/host.h"
#include "host/hostinternal.h"
#include "host/phases.h"
#include "runtime/fatal.h"
#include "runtime/util.h"
#include "world/forts.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

namespace {

// The player-owned records as the world file had them. Only what an order
// file can change is copied: the map's provinces (0..lastland), the units
// and commanders up to the highest numbers, and the letters in use (every
// other slot is marked free, b0 255).
struct Snapshot {
  int32_t lastland;
  std::array<Land, MAXLANDS> lands;
  std::array<ProvGeo, MAXLANDS> geo;
  std::array<Kingdom, MAXKINGDOMS> kingdoms;
  int16_t book[MAXPLAYERS][SPELLBOOKSIZE];
  int16_t research[MAXPLAYERS][RESEARCHRECSIZE];
  std::array<Unit, MAXUNITS> units;
  std::array<Commander, MAXCOMS> coms;
  PMess mess[MAXPLAYERS][PMESSSLOTS];
  int32_t highestunit, highestcom;
  std::array<int32_t, MAXPLAYERS> value;   // kingdomvalue at the start of the turn
};
std::unique_ptr<Snapshot> snap;

int32_t ownerat(const Unit& u) { return u.hp >= 1 || (u.flags[2] & F3_PRETENDER) ? u.owner : -1; }

int32_t snapcomowner(int32_t c) {
  const int32_t b = snap->coms[size_t(c)].body;
  return b >= 0 && b < MAXUNITS ? snap->units[size_t(b)].owner : -1;
}

// Kingdom words an order file may change: gold, gems, the laboratory store,
// the mercenary bids, the digit keys' battle orders and the words no rule
// of the host reads.
bool playerword(int32_t w) {
  // The host keeps words of its own in the first battle-order slot (the
  // wealth kept against cheating, the work towards recalling a god, summer
  // victory points, the winner): an order file never sets them.
  if (w >= KW_CHEATVALUE && w <= KW_WINNER) return false;
  return (w >= KW_GEMS && w < KW_GEMS + 9) || (w >= KW_KEPTLOW && w <= KW_KEPTLOWEND) ||
         (w >= KW_LABSTORE && w < KW_LABSTORE + LABSTORESIZE) || (w >= KW_MERCBIDS && w < KW_MERCBIDLAND + 5) ||
         (w >= KW_KEPTHIGH && w <= KW_KEPTHIGHEND) || (w >= KW_BATTLEMEMORY && w < KW_BATTLEMEMORY + 80) || w == KW_MERCBID;
}

void keepland(int32_t l) {
  const Land& was = snap->lands[size_t(l)];
  Land now = was;
  const Land& sent = land[size_t(l)];
  now.comqueued = sent.comqueued;
  now.queuedcomtype = sent.queuedcomtype;
  now.queuecount = sent.queuecount;
  memcpy(now.queue, sent.queue, sizeof now.queue);
  now.provdef = sent.provdef;
  now.tax = sent.tax;
  now.reserved = int16_t((was.reserved & ~LF_AUTOTAX) | (sent.reserved & LF_AUTOTAX));
  land[size_t(l)] = now;
  provgeo[size_t(l)] = snap->geo[size_t(l)];
}

void keepkingdom(int32_t p) {
  Kingdom now = snap->kingdoms[size_t(p)];
  const Kingdom& sent = kingdom[size_t(p)];
  now.gold = sent.gold;
  for (int32_t w = 0; w < KW_COUNT; w++)
    if (playerword(w)) now.w[w] = sent.w[w];
  kingdom[size_t(p)] = now;
  memcpy(spellbook[p], snap->book[p], sizeof snap->book[p]);
  for (int32_t i = 0; i < RESEARCHRECSIZE; i++)
    if (i < RR_PERCENT || i >= RR_PERCENT + 7) researchrec[p][i] = snap->research[p][i];
}

// A change of shape (ability 193 of the old form) is the one way a turn
// screen changes a unit's type, and with it its hit points.
bool shapechanged(const Unit& was, const Unit& sent) {
  return was.type >= 0 && gettypeability(was.type, AB_SHAPECHANGE, -1) == sent.type && sent.type > 0 &&
         sent.type < MAXUNITTYPES && sent.hp >= 1;
}

void keepunit(int32_t u) {
  const Unit& was = snap->units[size_t(u)];
  Unit now = was;
  const Unit& sent = unit[size_t(u)];
  setrecordsquad(now, sent.squad);
  if (shapechanged(was, sent)) {
    now.type = sent.type;
    now.hp = sent.hp;
  }
  putunit(u, now);
}

void keepcom(int32_t c) {
  const Commander& was = snap->coms[size_t(c)];
  Commander now = was;
  const Commander& sent = com[size_t(c)];
  if (gameinfo.gameflags & GF_RENAMING) memcpy(now.name, sent.name, sizeof now.name);
  memcpy(now.squad, sent.squad, sizeof now.squad);
  memcpy(now.item, sent.item, sizeof now.item);
  now.order = sent.order;
  now.orderparam = sent.orderparam;
  memcpy(now.ordergems, sent.ordergems, sizeof now.ordergems);
  now.arrowtime = sent.arrowtime;
  now.armynr = sent.armynr;
  memcpy(now.gems, sent.gems, sizeof now.gems);
  memcpy(now.sqx, sent.sqx, sizeof now.sqx);
  memcpy(now.sqy, sent.sqy, sizeof now.sqy);
  memcpy(now.sqorder, sent.sqorder, sizeof now.sqorder);
  memcpy(now.sqtarget, sent.sqtarget, sizeof now.sqtarget);
  now.ownx = sent.ownx;
  now.owny = sent.owny;
  now.batorder = sent.batorder;
  now.battarget = sent.battarget;
  com[size_t(c)] = now;
}

// ---------------------------------------------------------------- sanity of what the player may change

// An order whose parameters the rules of the host (and kingdomvalue) can
// read without leaving their tables.
const char* badorder(const Commander& c) {
  const OrderInfo* row = orderrow(int32_t(c.order));
  if (!row) return "an order the host does not know";
  if (c.ordergems[0] < 0 || c.ordergems[1] < 0 || c.ordergems[0] > 30000 || c.ordergems[1] > 30000)
    return "gems of an order out of bounds";
  const int32_t v = c.orderparam;
  switch (row->needs) {
    case OrderNeeds::province:
      if (v < 0 || v > nbrlands) return "a destination that does not exist";
      break;
    case OrderNeeds::path:
      if (v < 0 || v > 7) return "a path that cannot be empowered";
      break;
    case OrderNeeds::item:
      if (!validitem(v) || items[size_t(v)].mainpath < 0 || items[size_t(v)].mainpath > 7 ||
          items[size_t(v)].secondpath > 7)
        return "an item that cannot be forged";
      break;
    case OrderNeeds::spell:
      if (v < 1 || v >= MAXSPELLS || spells[size_t(v)].path[0] > 8) return "a spell that is no ritual";
      break;
    case OrderNeeds::forttype:
      if (v < 1 || v >= MAXFORTS) return "a fort type that does not exist";
      break;
    case OrderNeeds::siteslot:
      if (v < 0 || v > 3) return "a site that does not exist";
      break;
    case OrderNeeds::nothing:
      break;
  }
  return nullptr;
}

const char* badmessage(const PMess& m) {
  if (m.b0 == 255) return nullptr;
  if (m.b0 >= MAXPLAYERS) return "a letter to a nation that does not exist";
  if (!(m.b1 == PG_NONE || m.b1 == PG_GOLD || m.b1 == PG_ITEM || (m.b1 >= PG_GEMS && m.b1 < PG_GEMS + 8)))
    return "a gift of an unknown kind";
  if (m.b1 != PG_NONE && m.value < 0) return "a negative gift";
  if (m.b1 == PG_ITEM && !validitem(m.value)) return "an item that does not exist";
  if (m.b1 >= PG_GEMS && m.value > 30000) return "an overlarge gift";
  return nullptr;
}

// Every item of the player in the given tables: the laboratory store, its
// commanders' slots and the items it sends; sorted.
std::vector<int32_t> itemlist(int32_t p, const Kingdom& k, const Commander* coms, int32_t lastcom, const Unit* units,
                              const PMess* mess) {
  std::vector<int32_t> v;
  for (int32_t i = 0; i < LABSTORESIZE; i++)
    if (k.w[KW_LABSTORE + i] > 0) v.push_back(k.w[KW_LABSTORE + i]);
  for (int32_t c = 0; c <= lastcom; c++) {
    const int32_t b = coms[c].body;
    if (b < 0 || b >= MAXUNITS || units[b].owner != p || units[b].hp < 1) continue;
    for (int16_t it : coms[c].item)
      if (it > 0) v.push_back(it);
  }
  for (int32_t n = 0; n < PMESSSLOTS; n++)
    if (mess[n].b0 != 255 && mess[n].b1 == PG_ITEM) v.push_back(mess[n].value);
  std::sort(v.begin(), v.end());
  return v;
}

// The kind of item slot an item type goes into: 1 hand, 2 head, 3 body,
// 4 feet, 5 other; 0 none.
int32_t slotkind(int32_t type) {
  switch (type) {
    case IT_ONEHAND: case IT_TWOHAND: case IT_MISSILE: case IT_SHIELD: return 1;
    case IT_HELMET: return 2;
    case IT_ARMOR: return 3;
    case IT_BOOTS: return 4;
    case IT_MISC: return 5;
    default: return 0;
  }
}

// What the player's records say after its file, checked before any rule
// reads them; the reason for refusing, or null.
const char* badorders(int32_t p) {
  const Kingdom& k = kingdom[size_t(p)];
  if (k.gold < 0) return "a negative treasury";
  for (int32_t g = 0; g < 9; g++)
    if (k.w[KW_GEMS + g] < 0) return "negative gems";
  for (int32_t i = 0; i < LABSTORESIZE; i++)
    if (k.w[KW_LABSTORE + i] >= MAXITEMS) return "an item that does not exist";
  for (int32_t b = 0; b < 5; b++)
    if (k.w[KW_MERCBIDS + b] < 0) return "a negative mercenary bid";
  for (int32_t i = RR_PERCENT; i < RR_PERCENT + 7; i++)
    if (researchrec[p][i] < 0 || researchrec[p][i] > 100) return "research percentages outside 0 to 100";
  for (int32_t l = 1; l <= nbrlands; l++) {
    const Land& ld = land[size_t(l)];
    if (snap->lands[size_t(l)].owner != p) continue;
    if (ld.provdef > 125 || ld.provdef < ld.small[1]) return "province defence that was not paid for";
    if (ld.tax < 0 || ld.tax > 200) return "a tax rate outside 0 to 200";
    if (ld.comqueued < 0 || ld.comqueued > 1 || ld.queuedcomtype < 0 || ld.queuedcomtype >= MAXUNITTYPES)
      return "a commander queued wrongly";
  }
  for (int32_t c = 0; c <= highestcom; c++) {
    if (snapcomowner(c) != p) continue;
    if (const char* why = badorder(com[size_t(c)])) return why;
    for (int32_t s = 0; s < 8; s++) {
      const int32_t item = com[size_t(c)].item[s];
      if (item > 0 && (item >= MAXITEMS || unitslotkind(com[size_t(c)].body, s) != slotkind(items[size_t(item)].type)))
        return "an item in a slot that cannot hold it";
    }
  }
  for (const PMess& m : pmess[p])
    if (const char* why = badmessage(m)) return why;
  return nullptr;
}

// The nation's wealth as kingdomvalue counts it, with the gems that its
// Empowerment and dispelling orders hold (paid when the order was given)
// counted as well, as kingdomvalue counts what the other orders hold.
int32_t wealth(int32_t p) {
  Kingdom& k = kingdom[size_t(p)];
  int16_t saved[9];
  memcpy(saved, &k.w[KW_GEMS], sizeof saved);
  for (int32_t c = 0; c <= highestcom; c++) {
    if (complayer(c) != p) continue;
    const Commander& cm = com[size_t(c)];
    int32_t path = -1, gems = 0;
    if (cm.order == Order::empower) path = cm.orderparam, gems = empowercost(c, cm.orderparam);
    if (cm.order == Order::dispel) path = P_ASTRAL, gems = cm.ordergems[0];
    if (path >= 0 && path <= 8) k.w[KW_GEMS + path] = int16_t(imin(32767, k.w[KW_GEMS + path] + gems));
  }
  const int32_t v = kingdomvalue(p);
  memcpy(&k.w[KW_GEMS], saved, sizeof saved);
  return v;
}

// A slot of the player's letters as the world file had it: a free slot
// goes back to an empty one.
void revertmessages(int32_t p) {
  for (int32_t n = 0; n < PMESSSLOTS; n++) {
    if (snap->mess[p][n].b0 != 255) {
      pmess[p][n] = snap->mess[p][n];
    } else {
      pmess[p][n] = PMess{};
      pmess[p][n].b0 = 255;
    }
  }
}

void revert(int32_t p) {
  for (int32_t l = 0; l <= snap->lastland; l++)
    if (snap->lands[size_t(l)].owner == p) {
      land[size_t(l)] = snap->lands[size_t(l)];
      provgeo[size_t(l)] = snap->geo[size_t(l)];
    }
  kingdom[size_t(p)] = snap->kingdoms[size_t(p)];
  memcpy(spellbook[p], snap->book[p], sizeof snap->book[p]);
  memcpy(researchrec[p], snap->research[p], sizeof snap->research[p]);
  for (int32_t u = 0; u <= snap->highestunit; u++)
    if (ownerat(snap->units[size_t(u)]) == p) putunit(u, snap->units[size_t(u)]);
  for (int32_t c = 0; c <= snap->highestcom; c++)
    if (snapcomowner(c) == p) com[size_t(c)] = snap->coms[size_t(c)];
  revertmessages(p);
}

int32_t storedvalue(int32_t p, int32_t word) {
  const Kingdom& k = kingdom[size_t(p)];
  return int32_t(uint32_t(uint16_t(k.w[word])) | (uint32_t(uint16_t(k.w[word + 1])) << 16));
}

}  // namespace

void storecheatvalues(int32_t p) {
  const int32_t v = kingdomvalue(p), iv = kingdomitemvalue(p);
  Kingdom& k = kingdom[size_t(p)];
  k.w[KW_CHEATVALUE] = int16_t(v & 0xFFFF);
  k.w[KW_CHEATVALUE + 1] = int16_t(uint32_t(v) >> 16);
  k.w[KW_CHEATITEMS] = int16_t(iv & 0xFFFF);
  k.w[KW_CHEATITEMS + 1] = int16_t(uint32_t(iv) >> 16);
  k.w[KW_CHEATSTORED] = 1;
}

void beginordercheck() {
  if (!snap) snap = std::make_unique<Snapshot>();
  snap->lastland = imax(0, imin(nbrlands, MAXLANDS - 1));
  std::copy(land.begin(), land.begin() + snap->lastland + 1, snap->lands.begin());
  std::copy(provgeo.begin(), provgeo.begin() + snap->lastland + 1, snap->geo.begin());
  snap->kingdoms = kingdom;
  memcpy(snap->book, spellbook, sizeof snap->book);
  memcpy(snap->research, researchrec, sizeof snap->research);
  snap->highestunit = highestunit;
  snap->highestcom = highestcom;
  copyunitrecords(snap->units.data(), unit.data(), size_t(highestunit + 1));
  std::copy(com.begin(), com.begin() + (highestcom + 1), snap->coms.begin());
  for (int32_t p = 0; p < MAXPLAYERS; p++)
    for (int32_t n = 0; n < PMESSSLOTS; n++) {
      if (pmess[p][n].b0 != 255) snap->mess[p][n] = pmess[p][n];
      else snap->mess[p][n].b0 = 255;
    }
  // The baseline of cheat detection: the wealth each nation had when its
  // turn began. The last phase of the previous hosting stored the same.
  for (int32_t p = 0; p < MAXPLAYERS; p++) {
    snap->value[size_t(p)] = 0;
    if (!activeplayer(p)) continue;
    snap->value[size_t(p)] = wealth(p);
    if (kingdom[size_t(p)].w[KW_CHEATSTORED] == 1 && storedvalue(p, KW_CHEATVALUE) != snap->value[size_t(p)])
      debugprint("***** Warning: player %d is worth %d, stored %d\n", p, snap->value[size_t(p)],
                 storedvalue(p, KW_CHEATVALUE));
  }
}

int checkorders(int32_t p) {
  bailif(!snap, "checkorders: no snapshot");
  // Keep what no screen changes.
  for (int32_t l = 0; l <= snap->lastland; l++)
    if (snap->lands[size_t(l)].owner == p) keepland(l);
  keepkingdom(p);
  for (int32_t u = 0; u <= snap->highestunit; u++)
    if (ownerat(snap->units[size_t(u)]) == p) keepunit(u);
  for (int32_t c = 0; c <= snap->highestcom; c++)
    if (snapcomowner(c) == p) keepcom(c);
  const char* why = badorders(p);
  if (!why && !(gameinfo.gameflags & GF_NOCHEATDETECTION)) {
    // Items only change hands; wealth only goes down while a turn is played.
    const std::vector<int32_t> before = itemlist(p, snap->kingdoms[size_t(p)], snap->coms.data(), snap->highestcom,
                                                 snap->units.data(), snap->mess[p]);
    const std::vector<int32_t> after = itemlist(p, kingdom[size_t(p)], com.data(), highestcom, unit.data(), pmess[p]);
    if (before != after) why = "magic items the nation did not have";
    else if (wealth(p) > snap->value[size_t(p)]) why = "more wealth than the nation had";
  }
  if (!why) return 1;
  char text[200];
  formatbounded(text, sizeof text, "they hold %s", why);
  reportunusedorders(p, text);
  revert(p);
  const int32_t m = newmsg(-1, p, MT_PLAIN, -1);
  t2msg(m, "Orders refused\n\nYour orders for this turn could not be used: they hold %s.", why);
  return 0;
}
