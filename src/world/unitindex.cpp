// The indexes of the unit table by land and by squad, and the one road by
// which a unit's land, its squad or its whole record changes. The rules that
// ask which units stand in a land or follow a commander read one short list
// instead of the whole table, so a month costs in proportion to the game and
// not to its square.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <unordered_map>

#include "runtime/fatal.h"
#include "world/units.h"

bool unitindexused = true;

struct UnitKeyWriter {
  static void land(Unit& x, int32_t lnr) { x.land = UnitKey<int16_t>(int16_t(lnr)); }
  static void squad(Unit& x, int32_t s) { x.squad = UnitKey<int32_t>(s); }
};

namespace {
// Key -> unit numbers, ascending. Key -1 (no land, no squad) is not kept:
// every free slot has it.
using Lists = std::unordered_map<int32_t, std::vector<int32_t>>;
Lists bylands, bysquads;
int32_t resting = 0;   // open UnitIndexRest scopes
// The set-asides in force, outermost first. Their units stay listed under
// the keys they will come back with, while their slots hold empty records.
// The slots written meanwhile (a summons may take one of them) are noted in
// one journal; a level reads its part from `journalfrom` on.
struct AsideLevel {
  std::vector<int32_t> numbers;   // set aside, ascending
  std::vector<Unit> records;
  std::vector<int32_t> stayed;    // the slots of the table that stayed, ascending
  size_t journalfrom = 0;
  // The slots that the level already counts as its own (those that stayed,
  // and those in its part of the journal) carry its stamp, so that its part
  // holds a slot once however often it is written: the month's set-aside
  // lasts all its battles, and the forces of every battle province are
  // written back over their slots after each battle.
  std::vector<uint32_t> marks;
  uint32_t stamp = 0;
  // The commanders go with their bodies: those set aside (ascending, with
  // their records), and those left in the table whose bodies stood in its
  // lands, ascending, so that the battles within it look at these few
  // rather than at every commander of the world.
  std::vector<int32_t> coms;
  std::vector<Commander> comrecords;
  std::vector<int32_t> comsstayed;
};
std::array<AsideLevel, 2> levels;   // storage kept from one battle to the next
int32_t aside = 0;                  // levels in force
std::vector<int32_t> journal;
uint32_t stamps = 0;

// A new stamp for a level that begins; the marks start anew when the
// stamps wrap.
uint32_t newstamp() {
  if (++stamps == 0) {
    for (AsideLevel& l : levels) std::fill(l.marks.begin(), l.marks.end(), 0u);
    stamps = 1;
  }
  return stamps;
}

// Slot u was written while a set-aside is in force: into the journal once
// for every level that does not count it yet.
void note(int32_t u) {
  bool known = true;
  for (int32_t k = 0; k < aside; k++) known = known && levels[size_t(k)].marks[size_t(u)] == levels[size_t(k)].stamp;
  if (known) return;
  for (int32_t k = 0; k < aside; k++) levels[size_t(k)].marks[size_t(u)] = levels[size_t(k)].stamp;
  journal.push_back(u);
}

void file(Lists& lists, int32_t key, int32_t u) {
  if (key == -1) return;
  std::vector<int32_t>& l = lists[key];
  if (l.empty() || l.back() < u) {
    l.push_back(u);
    return;
  }
  const auto at = std::lower_bound(l.begin(), l.end(), u);
  if (*at != u) l.insert(at, u);
}

void unfile(Lists& lists, int32_t key, int32_t u) {
  if (key == -1) return;
  const auto found = lists.find(key);
  if (found == lists.end()) return;
  std::vector<int32_t>& l = found->second;
  const auto at = std::lower_bound(l.begin(), l.end(), u);
  if (at != l.end() && *at == u) l.erase(at);
  if (l.empty()) lists.erase(found);
}

bool unitinrange(int32_t unr) { return unr >= 0 && unr < MAXUNITS; }

// Which units a query may take from the index: those in use.
int32_t topunit() { return highestunit < MAXUNITS ? highestunit : MAXUNITS - 1; }

// The units of the key's list that have the key now (not those set aside),
// cut at the highest unit in use, into out.
template <typename Key>
void appendlist(const Lists& lists, int32_t key, Key keyof, std::vector<int32_t>& out) {
  const auto found = lists.find(key);
  if (found == lists.end()) return;
  const int32_t top = topunit();
  for (int32_t u : found->second) {
    if (u > top) break;
    if (keyof(unit[size_t(u)]) == key) out.push_back(u);
  }
}
int32_t landof(const Unit& x) { return x.land; }
int32_t squadof(const Unit& x) { return x.squad; }

bool serving() { return unitindexused && resting == 0; }
}  // namespace

void setunitland(int32_t unr, int32_t lnr) {
  bailif(!unitinrange(unr), "setunitland: bad unr");
  Unit& x = unit[size_t(unr)];
  const int32_t was = x.land;
  UnitKeyWriter::land(x, lnr);
  if (aside) note(unr);
  if (resting || was == x.land) return;
  unfile(bylands, was, unr);
  file(bylands, x.land, unr);
}

void setunitsquad(int32_t unr, int32_t squad) {
  bailif(!unitinrange(unr), "setunitsquad: bad unr");
  Unit& x = unit[size_t(unr)];
  const int32_t was = x.squad;
  if (was == squad) return;
  UnitKeyWriter::squad(x, squad);
  if (aside) note(unr);
  if (resting) return;
  unfile(bysquads, was, unr);
  file(bysquads, squad, unr);
}

void putunit(int32_t unr, const Unit& x) {
  bailif(!unitinrange(unr), "putunit: bad unr");
  Unit& slot = unit[size_t(unr)];
  const int32_t wasland = slot.land, wassquad = slot.squad;
  std::construct_at(&slot, x);
  if (aside) note(unr);
  if (resting) return;
  if (wasland != slot.land) {
    unfile(bylands, wasland, unr);
    file(bylands, slot.land, unr);
  }
  if (wassquad != slot.squad) {
    unfile(bysquads, wassquad, unr);
    file(bysquads, slot.squad, unr);
  }
}

namespace {
void checkoutside(const Unit& x, const char* tag) {
  const bool intable = &x >= unit.data() && &x < unit.data() + MAXUNITS;
  bailif(intable, tag);
}
}  // namespace

void setrecordland(Unit& x, int32_t lnr) {
  checkoutside(x, "setrecordland: a unit of the table");
  UnitKeyWriter::land(x, lnr);
}

void setrecordsquad(Unit& x, int32_t squad) {
  checkoutside(x, "setrecordsquad: a unit of the table");
  UnitKeyWriter::squad(x, squad);
}

void copyunitrecords(Unit* to, const Unit* from, size_t n) {
  if (n == 0) return;
  checkoutside(to[0], "copyunitrecords: into the table");
  checkoutside(to[n - 1], "copyunitrecords: into the table");
  std::uninitialized_copy_n(from, n, to);
}

std::vector<int32_t> filedinland(int32_t lnr) {
  std::vector<int32_t> out;
  if (lnr == -1 || !serving()) {
    for (int32_t u = 0; u <= topunit(); u++)
      if (unit[size_t(u)].land == lnr) out.push_back(u);
    return out;
  }
  appendlist(bylands, lnr, landof, out);
  return out;
}

std::vector<int32_t> filedinsquads(std::span<const int32_t> squads) {
  std::vector<int32_t> out;
  const auto wanted = [&](int32_t s) {
    if (s == -1) return false;
    for (int32_t x : squads)
      if (x == s) return true;
    return false;
  };
  if (!serving()) {
    for (int32_t u = 0; u <= topunit(); u++)
      if (wanted(unit[size_t(u)].squad)) out.push_back(u);
    return out;
  }
  size_t lists = 0;
  for (size_t i = 0; i < squads.size(); i++) {
    const int32_t s = squads[i];
    if (s == -1 || std::find(squads.begin(), squads.begin() + ptrdiff_t(i), s) != squads.begin() + ptrdiff_t(i))
      continue;
    const size_t before = out.size();
    appendlist(bysquads, s, squadof, out);
    if (out.size() > before) lists++;
  }
  // A unit is in one squad at most: the lists only need merging.
  if (lists > 1) std::sort(out.begin(), out.end());
  return out;
}

namespace {
// The slots that may hold a unit while level k is in force, ascending: those
// that stayed and those written since.
std::vector<int32_t> slotsoflevel(int32_t k) {
  const AsideLevel& l = levels[size_t(k)];
  std::vector<int32_t> written(journal.begin() + ptrdiff_t(l.journalfrom), journal.end());
  std::sort(written.begin(), written.end());
  std::vector<int32_t> slots;
  std::set_union(l.stayed.begin(), l.stayed.end(), written.begin(), written.end(), std::back_inserter(slots));
  slots.erase(std::unique(slots.begin(), slots.end()), slots.end());
  return slots;
}

// The record that level k keeps for slot u, or nullptr.
const Unit* keptby(int32_t k, int32_t u) {
  const AsideLevel& l = levels[size_t(k)];
  const auto at = std::lower_bound(l.numbers.begin(), l.numbers.end(), u);
  return at != l.numbers.end() && *at == u ? &l.records[size_t(at - l.numbers.begin())] : nullptr;
}

// Slot u holds something else than the unit `was` that comes back to it:
// list the unit under its own keys again.
void refile(int32_t u, const Unit& was) {
  const Unit& slot = unit[size_t(u)];
  if (slot.land != was.land) {
    unfile(bylands, slot.land, u);
    file(bylands, was.land, u);
  }
  if (slot.squad != was.squad) {
    unfile(bysquads, slot.squad, u);
    file(bysquads, was.squad, u);
  }
}
}  // namespace

void setunitsaside(std::span<const int32_t> lands) {
  bailif(aside >= int32_t(levels.size()), "setunitsaside: too many set-asides");
  AsideLevel& l = levels[size_t(aside)];
  l.numbers.clear();
  l.records.clear();
  l.stayed.clear();
  l.marks.resize(MAXUNITS);
  l.stamp = newstamp();
  const auto inlands = [&](int32_t lnr) { return std::find(lands.begin(), lands.end(), lnr) != lands.end(); };
  // A commander whose body stands outside the lands leaves the table, read
  // before the bodies go. One without a body stays and is not listed: it
  // gets none while battles are fought.
  l.coms.clear();
  l.comrecords.clear();
  l.comsstayed.clear();
  const Commander nobody = emptycommander();
  const auto keepcom = [&](int32_t c) {
    const int32_t b = com[size_t(c)].body;
    if (b < 0 || b >= MAXUNITS) return;
    if (inlands(unit[size_t(b)].land)) {
      l.comsstayed.push_back(c);
      return;
    }
    l.coms.push_back(c);
    l.comrecords.push_back(com[size_t(c)]);
    com[size_t(c)] = nobody;
  };
  if (aside == 0)
    for (int32_t c = 0; c <= std::min(highestcom, MAXCOMS - 1); c++) keepcom(c);
  else
    for (int32_t c : levels[size_t(aside - 1)].comsstayed) keepcom(c);
  const Unit empty = emptyunit();
  const auto keep = [&](int32_t u) {
    if (u > topunit()) return;
    if (inlands(unit[size_t(u)].land)) {
      l.stayed.push_back(u);
      // Its writes need no note, unless an outer level keeps its unit: such
      // a slot, written meanwhile, goes back to empty when this level ends.
      if (aside == 0 || !keptby(aside - 1, u)) l.marks[size_t(u)] = l.stamp;
      return;
    }
    l.numbers.push_back(u);
    l.records.push_back(unit[size_t(u)]);
    std::construct_at(&unit[size_t(u)], empty);
  };
  // Within a set-aside only its own slots can hold units.
  if (aside == 0)
    for (int32_t u = 0; u <= topunit(); u++) keep(u);
  else
    for (int32_t u : slotsoflevel(aside - 1)) keep(u);
  l.journalfrom = journal.size();
  aside++;
}

void takeunitsback() {
  bailif(aside < 1, "takeunitsback: nothing is set aside");
  aside--;
  AsideLevel& l = levels[size_t(aside)];
  std::vector<int32_t> written(journal.begin() + ptrdiff_t(l.journalfrom), journal.end());
  std::sort(written.begin(), written.end());
  written.erase(std::unique(written.begin(), written.end()), written.end());
  // A slot that a summons took is listed under the summons' keys now, and its
  // unit's own entries may have gone with the summons' moves. A slot of an
  // outer set-aside (whose record here, if any, is an empty stand-in) goes
  // back to empty, its unit listed as before.
  const Unit empty = emptyunit();
  for (int32_t u : written) {
    if (const Unit* outer = aside > 0 ? keptby(aside - 1, u) : nullptr) {
      if (!resting) refile(u, *outer);
      std::construct_at(&unit[size_t(u)], empty);
    } else if (const Unit* was = keptby(aside, u)) {
      if (!resting) refile(u, *was);
    }
  }
  for (size_t i = 0; i < l.numbers.size(); i++) std::construct_at(&unit[size_t(l.numbers[i])], l.records[i]);
  // Nothing makes a commander while battles are fought: one made meanwhile
  // would have taken the free-looking slot of one set aside.
  for (size_t i = 0; i < l.coms.size(); i++) {
    bailif(com[size_t(l.coms[i])].body >= 0, "takeunitsback: a commander was made in a set-aside slot");
    com[size_t(l.coms[i])] = l.comrecords[i];
  }
  if (aside == 0) journal.clear();
}

bool unitslotsintable(std::vector<int32_t>& slots) {
  if (aside == 0) return false;
  slots = slotsoflevel(aside - 1);
  const int32_t top = topunit();
  while (!slots.empty() && slots.back() > top) slots.pop_back();
  return true;
}

std::vector<int32_t> commandersintable() {
  if (aside > 0) return levels[size_t(aside - 1)].comsstayed;
  std::vector<int32_t> all;
  for (int32_t c = 0; c <= std::min(highestcom, MAXCOMS - 1); c++) all.push_back(c);
  return all;
}

UnitIndexRest::UnitIndexRest() { resting++; }

UnitIndexRest::~UnitIndexRest() {
  if (--resting == 0) reindexunits();
}

void reindexunits() {
  // The units set aside are not in the table to be found.
  bailif(aside, "reindexunits: a set-aside is in force");
  bylands.clear();
  bysquads.clear();
  if (resting) return;
  for (int32_t u = 0; u < MAXUNITS; u++) {
    const Unit& x = unit[size_t(u)];
    if (x.land != -1) bylands[x.land].push_back(u);
    if (x.squad != -1) bysquads[x.squad].push_back(u);
  }
}

std::string unitindexfault() {
  if (resting || aside) return "";
  char text[200];
  // Every listed unit has the key of its list, each list ascending; and the
  // lists hold as many units as the table has with a key, so none is missing.
  const auto check = [&](const char* what, const Lists& lists, auto key) -> bool {
    size_t listed = 0;
    for (const auto& [k, list] : lists) {
      for (size_t i = 0; i < list.size(); i++) {
        const int32_t u = list[i];
        const bool bad = !unitinrange(u) || (i > 0 && list[i - 1] >= u) || key(unit[size_t(u)]) != k;
        if (bad) {
          snprintf(text, sizeof text, "unit index: %s %d lists unit %d, whose %s is %d", what, k, u, what,
                   unitinrange(u) ? key(unit[size_t(u)]) : -1);
          return false;
        }
      }
      if (list.empty()) {
        snprintf(text, sizeof text, "unit index: %s %d has an empty list", what, k);
        return false;
      }
      listed += list.size();
    }
    size_t keyed = 0;
    for (int32_t u = 0; u < MAXUNITS; u++) keyed += key(unit[size_t(u)]) != -1;
    if (keyed == listed) return true;
    snprintf(text, sizeof text, "unit index: %zu units listed by %s, the table has %zu", listed, what, keyed);
    return false;
  };
  if (!check("land", bylands, [](const Unit& x) { return int32_t(x.land); })) return text;
  if (!check("squad", bysquads, [](const Unit& x) { return int32_t(x.squad); })) return text;
  return "";
}
