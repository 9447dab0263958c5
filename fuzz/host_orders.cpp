// An order file through the host: the loader, then the checks of the host
// on what it applied (fields kept, orders, gifts, items and wealth). On any
// bytes this must never stop the program.
#include <algorithm>
#include <memory>

#include "gamefile_common.h"
#include "host/hostinternal.h"
#include "world/magic.h"

namespace {
// The nation whose order file the input is.
constexpr int32_t PLAYER = 3;

// What an order file and the host's checks can change, saved once after the
// world is made and put back after every input: the same world before each
// input, without the cost of making it anew. Only the nation's own rows are
// kept where the tables have one per nation (a file touches no other), and
// most of the unit and commander tables lie unused beyond the highest numbers.
struct Saved {
  decltype(land) lands;
  decltype(provgeo) geo;
  decltype(kingdom) kingdoms;
  decltype(veyrec) veys;
  int16_t book[SPELLBOOKSIZE];
  int16_t research[RESEARCHRECSIZE];
  PMess mess[PMESSSLOTS];
  uint8_t items[sizeof iteminplay];
  std::vector<Unit> units;
  std::vector<Commander> coms;
  int32_t highestunit, highestcom;
};
std::unique_ptr<Saved> saved;

void save() {
  saved = std::make_unique<Saved>();
  Saved& s = *saved;
  s.lands = land, s.geo = provgeo, s.kingdoms = kingdom, s.veys = veyrec;
  memcpy(s.book, spellbook[PLAYER], sizeof s.book);
  memcpy(s.research, researchrec[PLAYER], sizeof s.research);
  memcpy(s.mess, pmess[PLAYER], sizeof s.mess);
  memcpy(s.items, iteminplay, sizeof s.items);
  s.units = std::vector<Unit>(unit.begin(), unit.begin() + (highestunit + 1));
  s.coms.assign(com.begin(), com.begin() + (highestcom + 1));
  s.highestunit = highestunit, s.highestcom = highestcom;
}

void restore() {
  const Saved& s = *saved;
  // Orders touch only the provinces of the map (1..nbrlands).
  std::copy(s.lands.begin(), s.lands.begin() + nbrlands + 1, land.begin());
  std::copy(s.geo.begin(), s.geo.begin() + nbrlands + 1, provgeo.begin());
  kingdom = s.kingdoms, veyrec = s.veys;
  memcpy(spellbook[PLAYER], s.book, sizeof s.book);
  memcpy(researchrec[PLAYER], s.research, sizeof s.research);
  memcpy(pmess[PLAYER], s.mess, sizeof s.mess);
  memcpy(iteminplay, s.items, sizeof s.items);
  // Records beyond the saved highest numbers go back to their cleared state.
  // Unit records go back through putunit, which keeps the land and squad indexes.
  for (int32_t u = s.highestunit + 1; u <= std::max(highestunit, s.highestunit); u++) putunit(u, emptyunit());
  std::fill(com.begin() + (s.highestcom + 1), com.begin() + (std::max(highestcom, s.highestcom) + 1),
            emptycommander());
  for (size_t u = 0; u < s.units.size(); u++) putunit(int32_t(u), s.units[u]);
  std::copy(s.coms.begin(), s.coms.end(), com.begin());
  highestunit = s.highestunit, highestcom = s.highestcom;
  for (int32_t m = 0; m <= highestmsg; m++) message[size_t(m)].type = MT_FREE;
  highestmsg = -1;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsetup();
  if (!saved) {
    sampleworld(12, 6, 60, 6);
    kingdom[PLAYER].w[KW_CONTROLLER] = CTRL_HUMAN;
    clearmessages();
    save();
    // The world is the same before every input, and so is the baseline.
    beginordercheck();
  }
  writeorderfile(PLAYER, data, size);
  if (loadorders(PLAYER, "fz", 0, -1) == 1) checkorders(PLAYER);
  restore();
  return 0;
}
