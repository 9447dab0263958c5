// The recruitment queue of a province, paid at once and refunded on removal.
#include "actions/recruit.h"

#include <algorithm>

#include "world/gamedata.h"
#include "world/recruit.h"
#include "world/world.h"

namespace {
bool validland(int32_t lnr) { return lnr >= 1 && lnr < MAXLANDS; }
bool validplayer(int32_t p) { return p >= 0 && p < MAXPLAYERS; }
bool validtype(int32_t t) { return t >= 1 && t < MAXUNITTYPES; }
int32_t goldof(int32_t t) { return unittypes[size_t(t)].gcost; }

bool offered(int32_t lnr, int32_t mode, int32_t type) {
  const std::vector<int32_t> list = recruitlist(lnr, mode);
  return std::find(list.begin(), list.end(), type) != list.end();
}

void paygold(int32_t p, int32_t amount) {
  const int64_t g = int64_t(kingdom[size_t(p)].gold) + amount;
  kingdom[size_t(p)].gold = int32_t(std::clamp<int64_t>(g, INT32_MIN, INT32_MAX));
}

bool affordable(int32_t p, int32_t type) { return goldof(type) >= 0 && goldof(type) <= kingdom[size_t(p)].gold; }

Refusal notfortholder(int32_t lnr, int32_t p) {
  if (validland(lnr) && validplayer(p) && land[size_t(lnr)].fortholder == p) return {};
  return refuse("Only the holder of the fort can recruit here");
}

// The player holds the fort, owns the province and its unrest is 99 or less.
Refusal cannotrecruit(int32_t lnr, int32_t p) {
  if (Refusal r = notfortholder(lnr, p)) return r;
  if (land[size_t(lnr)].owner != p) return refuse("Cannot recruit while besieged");
  if (land[size_t(lnr)].unrest > 99) return refuse("Unrest too high");
  return {};
}
}  // namespace

std::vector<int32_t> recruitlist(int32_t lnr, int32_t mode) {
  if (!validland(lnr) || land[size_t(lnr)].fortholder >= MAXPLAYERS) return {};   // no nation holds the fort
  createslist(lnr, mode);
  return {slist.begin(), slist.begin() + (slistlast + 1)};
}

Refusal canrecruitunit(int32_t lnr, int32_t p, int32_t type) {
  if (Refusal r = cannotrecruit(lnr, p)) return r;
  if (!validtype(type) || !offered(lnr, 0, type)) return refuse("Not recruited here");
  const Land& l = land[size_t(lnr)];
  if (l.queuecount < 0 || l.queuecount >= RECRUITQUEUEMAX) return refuse("The recruitment queue is full");
  if (!affordable(p, type)) return refuse("Not enough gold");
  return {};
}

Refusal recruitunit(int32_t lnr, int32_t p, int32_t type) {
  if (Refusal r = canrecruitunit(lnr, p, type)) return r;
  Land& l = land[size_t(lnr)];
  kingdom[size_t(p)].gold -= goldof(type);
  l.queue[l.queuecount++] = int16_t(type);
  return {};
}

int32_t queueunits(int32_t lnr, int32_t p, int32_t type, int32_t times) {
  int32_t n = 0;
  while (n < times && !recruitunit(lnr, p, type)) n++;
  return n;
}

Refusal canrecruitcommander(int32_t lnr, int32_t p, int32_t type) {
  if (Refusal r = cannotrecruit(lnr, p)) return r;
  if (!validtype(type)) return refuse("Not recruited here");
  if (land[size_t(lnr)].comqueued == 1) return refuse("A commander is already queued");
  if (!affordable(p, type)) return refuse("Not enough gold");
  if (!offered(lnr, 10, type)) return refuse("Not recruited here");
  return {};
}

Refusal recruitcommander(int32_t lnr, int32_t p, int32_t type) {
  if (Refusal r = canrecruitcommander(lnr, p, type)) return r;
  Land& l = land[size_t(lnr)];
  kingdom[size_t(p)].gold -= goldof(type);
  l.comqueued = 1;
  l.queuedcomtype = int16_t(type);
  return {};
}

Refusal canunqueuecommander(int32_t lnr, int32_t p) {
  if (Refusal r = notfortholder(lnr, p)) return r;
  if (land[size_t(lnr)].comqueued != 1) return refuse("No commander queued");
  return {};
}

Refusal unqueuecommander(int32_t lnr, int32_t p) {
  if (Refusal r = canunqueuecommander(lnr, p)) return r;
  Land& l = land[size_t(lnr)];
  l.comqueued = 0;
  if (validtype(l.queuedcomtype)) paygold(p, goldof(l.queuedcomtype));
  return {};
}

Refusal canunqueuelastunit(int32_t lnr, int32_t p) {
  if (Refusal r = notfortholder(lnr, p)) return r;
  const Land& l = land[size_t(lnr)];
  if (l.queuecount <= 0 || l.queuecount > RECRUITQUEUEMAX) return refuse("No unit queued");
  return {};
}

Refusal unqueuelastunit(int32_t lnr, int32_t p) {
  if (Refusal r = canunqueuelastunit(lnr, p)) return r;
  Land& l = land[size_t(lnr)];
  const int32_t t = l.queue[--l.queuecount];
  if (validtype(t)) paygold(p, goldof(t));
  return {};
}
