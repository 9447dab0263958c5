// Bids for mercenary bands, paid at once.
#include "actions/mercs.h"

#include <algorithm>

#include "world/world.h"

namespace {
int16_t& bidof(int32_t b, int32_t p) { return kingdom[size_t(p)].w[KW_MERCBIDS + b]; }
int16_t& tagof(int32_t b, int32_t p) { return kingdom[size_t(p)].w[KW_MERCBIDLAND + b]; }
}  // namespace

Refusal canwithdrawmercbid(int32_t b, int32_t p) {
  if (b < 0 || b >= MAXMERCBANDS) return refuse("No such mercenary band");
  if (p < 0 || p >= MAXPLAYERS) return refuse("No such nation");
  return {};
}

Refusal withdrawmercbid(int32_t b, int32_t p) {
  if (Refusal r = canwithdrawmercbid(b, p)) return r;
  kingdom[size_t(p)].gold += std::max<int32_t>(bidof(b, p), 0);
  bidof(b, p) = 0;
  tagof(b, p) = -1;
  return {};
}

Refusal canbidformerc(int32_t b, int32_t p, int32_t amount) {
  if (Refusal r = canwithdrawmercbid(b, p)) return r;
  if (amount < 0 || amount > 32767) return refuse("A bid is between 0 and 32767 pounds of gold");
  if (amount > 0 && amount > int64_t(kingdom[size_t(p)].gold) + std::max<int32_t>(bidof(b, p), 0))
    return refuse("You do not have that much gold");
  return {};
}

Refusal bidformerc(int32_t b, int32_t p, int32_t amount, int32_t lnr) {
  if (Refusal r = canbidformerc(b, p, amount)) return r;
  withdrawmercbid(b, p);
  kingdom[size_t(p)].gold -= amount;
  bidof(b, p) = int16_t(amount);
  tagof(b, p) = int16_t(lnr);
  return {};
}

Refusal canstepmercbid(int32_t b, int32_t p, int32_t step) {
  if (Refusal r = canwithdrawmercbid(b, p)) return r;
  if (step > 0) {
    if (kingdom[size_t(p)].gold <= 0) return refuse("You have no more gold");
    if (bidof(b, p) >= 32767) return refuse("The bid cannot rise further");
    return {};
  }
  if (step < 0) return bidof(b, p) > 0 ? Refusal{} : refuse("There is no bid to lower");
  return refuse("Nothing to move");
}

Refusal stepmercbid(int32_t b, int32_t p, int32_t step) {
  if (Refusal r = canstepmercbid(b, p, step)) return r;
  const int32_t one = step > 0 ? 1 : -1;
  kingdom[size_t(p)].gold -= one;
  bidof(b, p) = int16_t(bidof(b, p) + one);
  return {};
}
