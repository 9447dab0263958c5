// The order menu's rule and the host judge the orders alike: an order that
// the rule lets a commander take is not refused by the host phase that
// carries it out, and an order that the rule refuses is refused by the host
// too wherever the host reports a refusal at all, for the reason the menu
// gives.
#include <functional>

#include "actions/orderrules.h"
#include "host/hostworld.h"
#include "rule_ids.h"
#include "world/orders.h"

namespace {
constexpr int32_t AWAY = 6;         // an independent province
constexpr int32_t BESIEGING = 5;    // A owns it, B holds its castle
constexpr int32_t BESIEGED = 4;     // B owns it, A holds its castle

// The commanders the orders are tried on, each made in a fresh world.
struct Kind {
  const char* what;
  std::function<int32_t()> make;
};

class OrderAgreement : public HostWorld {
 protected:
  static void gifts(int32_t c, std::initializer_list<std::pair<int32_t, int32_t>> list) {
    Unit& u = unit[size_t(com[size_t(c)].body)];
    int32_t i = 0;
    for (const auto& [k, v] : list) {
      u.abil[i] = int16_t(k);
      u.abilval[i++] = int16_t(v);
    }
  }
  static int32_t priestmage(int32_t lnr, int32_t type = MON_COMMANDER_34) {
    const int32_t c = commander(A, lnr, type);
    com[size_t(c)].path[P_PRIEST] = 2;
    com[size_t(c)].path[P_FIRE] = 2;
    com[size_t(c)].gems[P_BLOOD] = 3;
    return c;
  }
  // A province under siege, its gates broken, with a temple.
  static int32_t siege(int32_t lnr, int32_t owner, int32_t holder) {
    Land& l = land[size_t(lnr)];
    l.owner = uint8_t(owner);
    l.fortholder = uint8_t(holder);
    l.fort = 1;
    l.fortdef = 0;
    l.temple = 1;
    return lnr;
  }
  // A's god lies dead and may be called back.
  static void deadgod() {
    const int32_t god = commander(A, AHOME);
    unit[size_t(com[size_t(god)].body)].hp = 0;
    unit[size_t(com[size_t(god)].body)].flags[2] |= F3_PRETENDER;
    kingdom[A].w[KW_GOD] = int16_t(god);
    veyrec[A].value[0] = 0;
  }
  static std::vector<Kind> kinds() {
    return {
        {"a captain at home", [] { return commander(A, AHOME); }},
        {"a captain abroad", [] { return commander(A, AWAY); }},
        {"a priest-mage at home", [] { return priestmage(AHOME); }},
        {"a priest-mage abroad", [] { return priestmage(AWAY); }},
        {"a priest-mage besieging a castle", [] { return priestmage(siege(BESIEGING, A, B)); }},
        {"a priest-mage in a besieged castle", [] { return priestmage(siege(BESIEGED, B, A)); }},
        {"a gifted agent abroad",
         [] {
           const int32_t c = commander(A, AWAY);
           gifts(c, {{AB_SPY, 5}, {AB_SEDUCE, 5}, {AB_CORRUPT, 5}, {AB_ASSASSIN, 5}});
           return c;
         }},
        {"a gifted captain at home",
         [] {
           const int32_t c = commander(A, AHOME);
           gifts(c, {{AB_CAPTURE, 3}, {AB_HEALER, 50}, {AB_MAKEMONSTER, MON_HEAVY_INFANTRY_38}});
           return c;
         }},
        {"an undead priest at home among the dead",
         [] {
           land[AHOME].corpses[0] = 20;
           return priestmage(AHOME, MON_LICH_179);
         }},
        {"a priest at home whose god has died",
         [] {
           deadgod();
           return priestmage(AHOME);
         }},
        {"a priest abroad whose god has died",
         [] {
           deadgod();
           return priestmage(AWAY);
         }},
    };
  }
};

// The host phase that carries the order out.
void carryout(Order o) {
  switch (o) {
    case Order::research: researchphase(); break;
    case Order::buildfort: siegesphase(); break;
    case Order::attack: case Order::storm: case Order::breaksiege: case Order::assassinate: case Order::patrol:
    case Order::sneak:
      movephase();
      break;
    default: ordersphase(); break;
  }
}

// Orders whose every refusal the host reports; for the others a refusal of
// the rule may show in the host as an order that does nothing.
bool reported(Order o) {
  switch (o) {
    case Order::buildlab: case Order::buildtemple: case Order::buildfort: case Order::search: case Order::bloodhunt:
    case Order::captureslaves: case Order::pillage: case Order::uprising: case Order::callgod: case Order::heal:
    case Order::summonallies: case Order::ghouls: case Order::soulless: case Order::longdead: case Order::horsemen:
    case Order::lictors: case Order::tombwyrm: case Order::manikins: case Order::chariot: case Order::spirits:
    case Order::shadows: case Order::apparitions: case Order::sacrifice: case Order::seduce: case Order::corrupt:
    case Order::lure: case Order::preach: case Order::enemypreach: case Order::storm: case Order::assassinate:
    case Order::research: case Order::prophet: case Order::demolishfort: case Order::demolishlab:
    case Order::demolishtemple: case Order::breaksiege: case Order::deathmatch:
      return true;
    default:
      return false;
  }
}

// Moves are the move rule's; orders paid in gems are checked by the windows
// that take the gems and never stored without them.
bool judgedbyrule(Order o) {
  return !(o == Order::move || o == Order::movepatrol || o == Order::empower || o == Order::ritual ||
           o == Order::forge || o == Order::dispel || o == Order::monthlyritual || o == Order::entersite);
}

}  // namespace

TEST_F(OrderAgreement, TheMenusRuleAndTheHostAgreeForEveryOrder) {
  auto refusals = [] { return messages(A, "could not"); };
  // The reason of the host's last refusal told to A: what follows "could not WHAT: ".
  auto told = [] {
    std::string reason;
    for (int32_t m = 0; m <= highestmsg; m++) {
      const Message& x = message[size_t(m)];
      const char* at = x.type != MT_FREE && x.player == A ? strstr(x.text, " could not ") : nullptr;
      if (const char* colon = at ? strstr(at, ": ") : nullptr) reason = colon + 2;
    }
    return reason;
  };
  int32_t tried = 0, allowedonce = 0, refusedonce = 0;
  for (const OrderInfo& row : orderinfo) {
    if (!judgedbyrule(row.code)) continue;
    for (const Kind& kind : kinds()) {
      TearDown();
      SetUp();
      const int32_t c = kind.make();
      const Refusal rule = orderallowed(c, row.code, 0);
      const bool allowed = !rule;
      // The parameter the order store gives.
      const int32_t param = row.code == Order::attack      ? comland(c)
                            : row.code == Order::buildfort ? imax(1, fortordertype(c))
                                                           : 0;
      order(c, row.code, param);
      const int32_t before = refusals();
      carryout(row.code);
      const bool refused = refusals() > before;
      const std::string where = std::string(kind.what) + ", " + "order " + std::to_string(int32_t(row.code));
      EXPECT_FALSE(allowed && refused) << where << ": the rule allows what the host refuses";
      if (reported(row.code)) EXPECT_FALSE(!allowed && !refused) << where << ": the host does what the rule refuses: " << rule.why;
      // The reason is the rule's as the world stands when the phase comes
      // to the order (a siege before it may have taken the castle).
      if (!allowed && refused)
        EXPECT_EQ(told(), orderallowed(c, row.code, param).why) << where << ": the host and the menu give different reasons";
      tried++;
      allowedonce += allowed;
      refusedonce += refused;
    }
  }
  // The commanders can do much but not everything.
  EXPECT_GT(allowedonce, tried / 4);
  EXPECT_GT(refusedonce, tried / 4);
}
