// Letters with gifts to other nations, paid when written.
#include "actions/letters.h"

#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/hoststate.h"
#include "world/rules.h"
#include "world/world.h"

namespace {
bool validplayer(int32_t p) { return p >= 0 && p < MAXPLAYERS; }

int32_t freeslot(int32_t from) {
  for (int32_t n = 0; n < PMESSSLOTS; n++)
    if (pmess[from][n].b0 == 255) return n;
  return -1;
}

bool isgems(int32_t gift) { return gift >= PG_GEMS && gift < PG_GEMS + 8; }

bool labhasroom(int32_t p) {
  for (int32_t i = 0; i < LABSTORESIZE; i++)
    if (kingdom[size_t(p)].w[KW_LABSTORE + i] < 1) return true;
  return false;
}
}  // namespace

std::vector<int32_t> letterreceivers(int32_t p) {
  std::vector<int32_t> out;
  for (int32_t r = 0; r < MAXPLAYERS; r++)
    if (r != p && godplayer(r) && isingame(r)) out.push_back(r);
  return out;
}

std::vector<int32_t> pendingletters(int32_t p) {
  std::vector<int32_t> out;
  if (!validplayer(p)) return out;
  for (int32_t n = 0; n < PMESSSLOTS; n++)
    if (pmess[p][n].b0 != 255) out.push_back(n);
  return out;
}

Refusal cansendletter(int32_t from, int32_t to, int32_t gift, int32_t amount) {
  if (!validplayer(from) || to == from || !godplayer(to) || !isingame(to))
    return refuse("There is no nation to send a message to");
  if (freeslot(from) < 0) return refuse("You cannot send more messages this month");
  const Kingdom& k = kingdom[size_t(from)];
  if (gift == PG_GOLD) {
    if (amount < 1) return refuse("Nothing to send");
    if (amount > k.gold) return refuse("You do not have that much gold");
  } else if (isgems(gift)) {
    if (amount < 1) return refuse("Nothing to send");
    if (amount > k.w[KW_GEMS + gift - PG_GEMS]) return refuse("You do not have that many gems");
  } else if (gift == PG_ITEM) {
    if (amount < 0 || amount >= LABSTORESIZE || !validitem(k.w[KW_LABSTORE + amount]))
      return refuse("That item is not in your laboratory");
  }
  return {};
}

Refusal sendletter(int32_t from, int32_t to, const char* text, int32_t gift, int32_t amount, int32_t* slot) {
  if (Refusal r = cansendletter(from, to, gift, amount)) return r;
  const int32_t n = freeslot(from);
  Kingdom& k = kingdom[size_t(from)];
  int32_t value = 0;
  if (gift == PG_GOLD) {
    k.gold -= amount;
    value = amount;
  } else if (isgems(gift)) {
    int16_t& stock = k.w[KW_GEMS + gift - PG_GEMS];
    stock = int16_t(stock - amount);
    value = amount;
  } else if (gift == PG_ITEM) {
    value = k.w[KW_LABSTORE + amount];
    k.w[KW_LABSTORE + amount] = 0;
  } else {
    gift = PG_NONE;
  }
  PMess& m = pmess[from][n];
  m = PMess{};
  m.b0 = uint8_t(to);
  m.b1 = uint8_t(gift);
  m.value = value;
  strlcopy(m.text, text ? text : "", MSGTEXTLEN);
  if (slot) *slot = n;
  return {};
}

Refusal canwithdrawletter(int32_t from, int32_t slot) {
  if (!validplayer(from) || slot < 0 || slot >= PMESSSLOTS || pmess[from][slot].b0 == 255)
    return refuse("There is no such message");
  const PMess& m = pmess[from][slot];
  if (m.b1 == PG_ITEM && validitem(m.value) && !labhasroom(from))
    return refuse("Your laboratory has no room for the item; the message stays");
  return {};
}

Refusal withdrawletter(int32_t from, int32_t slot) {
  if (Refusal r = canwithdrawletter(from, slot)) return r;
  PMess& m = pmess[from][slot];
  Kingdom& k = kingdom[size_t(from)];
  if (m.b1 == PG_GOLD) {
    k.gold = int32_t(imin(INT32_MAX - imax(m.value, 0), k.gold) + imax(m.value, 0));
  } else if (isgems(m.b1)) {
    int16_t& stock = k.w[KW_GEMS + m.b1 - PG_GEMS];
    stock = int16_t(imin(32767, imax(stock, 0) + imax(m.value, 0)));
  } else if (m.b1 == PG_ITEM && validitem(m.value)) {
    additemtolab(from, m.value, 0);
  }
  m = PMess{};
  m.b0 = 255;
  return {};
}
