// The ritual phase at the host on the small world: each kind of ritual
// changes the world as it says, enchantments pay their upkeep and end, and
// dispels break them.
#include "magic/magicworld.h"

namespace {

class Rituals : public MagicWorld {
 protected:
  void SetUp() override { setup(6, 500); }
  // Gives the ritual order and runs the phase; the order is over afterwards.
  void cast(const char* name, int32_t target = 0, int32_t pearls = 0) {
    ASSERT_EQ(castrit(mage, spell(name), 0, target, pearls), RIT_OK) << name;
    performrituals();
    EXPECT_EQ(com[size_t(mage)].order, Order::defend) << name;
  }
};

TEST_F(Rituals, EveryRitualOfTheSpellTableIsCarriedOut) {
  own(AHOME + 1, A);
  for (int32_t s = 1; s < nbrofspells(); s++) {
    if (!isritual(s) || spells[size_t(s)].flags & SF_ONLYUNDERWATER) continue;
    for (Ench& e : ench) e = Ench{};
    highestench = -1;
    int32_t target = 0;
    if (ritualtargetkind(s) == RT_PROVINCE) target = AHOME + 1;
    if (ritualtargetkind(s) == RT_ENCHANTMENT) target = addench(35, -1, B, -1, 0);
    const int32_t before = highestmsg;
    // Spells kept for another nation are cast here all the same.
    ASSERT_EQ(castrit(mage, s, 0, target, 5), RIT_OK) << spells[size_t(s)].name;
    performrituals();
    EXPECT_EQ(com[size_t(mage)].order, Order::defend) << spells[size_t(s)].name;
    ASSERT_GT(highestmsg, before) << spells[size_t(s)].name;
    EXPECT_EQ(strstr(message[size_t(highestmsg)].text, "took no shape"), nullptr) << spells[size_t(s)].name;
    EXPECT_EQ(strstr(message[size_t(highestmsg)].text, "could not"), nullptr)
        << spells[size_t(s)].name << ": " << message[size_t(highestmsg)].text;
    // The teleport took the mage away: bring it home.
    setunitland(com[size_t(mage)].body, AHOME);
    unit[size_t(com[size_t(mage)].body)].type = MON_COMMANDER_34;
  }
}

TEST_F(Rituals, SummonsRemoteAttacksAndArmyRituals) {
  const int32_t before = gems(A, P_NATURE);
  cast("Summon Animals");
  EXPECT_EQ(gems(A, P_NATURE), before - ritualgemcost(spell("Summon Animals")));
  const int32_t animal = spells[size_t(spell("Summon Animals"))].damage;
  int32_t summoned = 0;
  for (int32_t u : unitsin(AHOME, A))
    if (unit[size_t(u)].type == animal) {
      summoned++;
      EXPECT_EQ(unit[size_t(u)].squad, com[size_t(mage)].squad[0]);
    }
  EXPECT_EQ(summoned, spells[size_t(spell("Summon Animals"))].nbreff);
  EXPECT_EQ(messages(A, "joined the army"), 1);

  // Fire Rain strikes the foreign armies of the target and spares the caster's.
  const int32_t foe = commander(B, AHOME + 2);
  army(foe, 10, MON_HEAVY_INFANTRY_38);
  unit[size_t(com[size_t(foe)].body)].hp = 1;   // the commander falls, and its nation hears who
  const std::string foename = comshownname(foe);
  const int32_t friendly = commander(A, AHOME + 2);
  army(friendly, 3, MON_HEAVY_INFANTRY_38);
  std::vector<std::pair<int32_t, int32_t>> hp;   // unit and hit points
  for (int32_t u : unitsin(AHOME + 2, B)) hp.emplace_back(u, unit[size_t(u)].hp);
  const int32_t ahp = unit[size_t(unitsin(AHOME + 2, A).back())].hp;
  cast("Fire Rain", AHOME + 2);
  int32_t harmed = 0;
  for (const auto& [u, before] : hp) harmed += unit[size_t(u)].hp < before ? 1 : 0;
  EXPECT_EQ(harmed, int32_t(hp.size()));
  EXPECT_EQ(unit[size_t(unitsin(AHOME + 2, A).back())].hp, ahp);
  EXPECT_EQ(messages(B, "from afar"), 1);
  EXPECT_EQ(messages(B, ("\n" + foename + " has died.").c_str()), 1);

  // Heal Army mends the wounded of the caster's army.
  army(mage, 3, MON_HEAVY_INFANTRY_38);
  for (int32_t u : unitsin(AHOME, A)) unit[size_t(u)].hp = 1;
  cast("Heal Army");
  for (int32_t u : unitsin(AHOME, A)) EXPECT_EQ(unit[size_t(u)].hp, getmaxhp(u));

  // Teleport carries the army to a province of the nation's.
  own(AHOME - 1, A);
  const size_t armysize = unitsin(AHOME, A).size();
  cast("Teleport", AHOME - 1);
  EXPECT_EQ(comland(mage), AHOME - 1);
  EXPECT_EQ(unitsin(AHOME - 1, A).size(), armysize);
  EXPECT_TRUE(unitsin(AHOME, A).empty());
}

TEST_F(Rituals, KnowledgeGemsItemsAndTheCastersOwnBody) {
  // Sites of the spell's path within the caster's level are found in the
  // caster's own province, which is asked for no target.
  Land& l = land[AHOME];
  Land& next = land[AHOME + 1];
  l.site[0] = next.site[0] = int16_t(findsite("Iron Circle"));
  l.sitefound[0] = next.sitefound[0] = 0;
  com[size_t(mage)].path[P_EARTH] = 1;
  EXPECT_EQ(ritualtargetkind(name2spell("Detect Sites")), RT_NONE);
  cast("Detect Sites");
  EXPECT_EQ(l.sitefound[0], 1);
  EXPECT_EQ(next.sitefound[0], 0);
  com[size_t(mage)].path[P_EARTH] = 6;

  // Scrying tells who stands in a province.
  army(commander(B, AHOME + 3), 4);
  cast("Scrying", AHOME + 3);
  EXPECT_EQ(messages(A, "5 units of"), 1);

  const int32_t pearls = gems(A, P_ASTRAL);
  cast("Enchant Gems");
  EXPECT_EQ(gems(A, P_ASTRAL), pearls + 2 + (6 - 2));

  cast("Wish");
  const int32_t wished = kingdom[A].w[KW_LABSTORE];
  ASSERT_GT(wished, 0);
  EXPECT_GT(iteminplay[wished], 0);
  // With every great item in play a wish brings gold, which stops at the
  // treasury's limit instead of wrapping round to a debt.
  for (int32_t i = 0; i < MAXITEMS; i++) iteminplay[i] = 1;
  kingdom[A].gold = 100;
  cast("Wish");
  EXPECT_EQ(kingdom[A].gold, 1100);
  kingdom[A].gold = INT32_MAX - 400;
  cast("Wish");
  EXPECT_EQ(kingdom[A].gold, INT32_MAX);
  for (int32_t i = 0; i < MAXITEMS; i++) iteminplay[i] = 0;
  iteminplay[wished] = 1;
  cast("Craft Weapons");
  const int32_t made = kingdom[A].w[KW_LABSTORE + 1];
  ASSERT_GT(made, 0);
  EXPECT_EQ(items[size_t(made)].mainpath, P_EARTH);
  EXPECT_EQ(items[size_t(made)].constlevel, 0);

  cast("Lichcraft");
  EXPECT_EQ(unit[size_t(com[size_t(mage)].body)].type, findunittype("Lich"));
}

TEST_F(Rituals, EnchantmentsTakeHoldPayUpkeepAndEnd) {
  const int32_t growth = spell("Wild Growth");
  cast("Wild Growth");
  const int32_t e = findench(spells[size_t(growth)].damage, -1, A);
  ASSERT_GE(e, 0);
  EXPECT_EQ(ench[size_t(e)].spell, growth);
  EXPECT_EQ(messages(B, "over the whole world"), 1);
  // A second casting finds it in force.
  EXPECT_EQ(castrit(mage, growth, 0, 0, 0), RIT_INFORCE);

  cast("Rain of Toads", AHOME + 3);
  EXPECT_GE(findench(spells[size_t(spell("Rain of Toads"))].damage, AHOME + 3, A), 0);
  cast("Arena of Champions");
  EXPECT_GE(findench(38, 0, A), 0);

  // Upkeep from the next month on: a tenth of the cost, at least one gem.
  const int32_t upkeep = std::max(1, ritualgemcost(growth) / 10);
  const int32_t nature = gems(A, P_NATURE);
  turn++;
  enchantmentupkeep();
  EXPECT_EQ(gems(A, P_NATURE), nature - upkeep);
  gems(A, P_NATURE) = int16_t(upkeep - 1);
  turn++;
  enchantmentupkeep();
  EXPECT_LT(findench(spells[size_t(growth)].damage, -1, A), 0);
  EXPECT_EQ(messages(A, "could not pay its upkeep"), 1);

  // An enchantment ends with its caster.
  const int32_t toads = findench(spells[size_t(spell("Rain of Toads"))].damage, AHOME + 3, A);
  ASSERT_GE(toads, 0);
  killunit(ench[size_t(toads)].caster);
  turn++;
  enchantmentupkeep();
  EXPECT_EQ(ench[size_t(toads)].kind, 0);
  // One of the world's making has no caster and stands.
  const int32_t old = addench(40, -1, -1, -1, 0);
  enchantmentupkeep();
  EXPECT_GT(ench[size_t(old)].kind, 0);
}

TEST_F(Rituals, DispelBreaksAnEnchantmentWithEnoughPearls) {
  const int32_t growth = spell("Wild Growth");
  const int32_t e = addench(spells[size_t(growth)].damage, -1, B, -1, 0);
  ench[size_t(e)].spell = int16_t(growth);
  gems(B, P_NATURE) = 100;   // its upkeep
  const int32_t needed = (ritualgemcost(growth) + 1) / 2;
  cast("Dispel", e, needed - 1);
  EXPECT_GT(ench[size_t(e)].kind, 0);
  EXPECT_EQ(messages(A, "were too few"), 1);
  const int32_t pearls = gems(A, P_ASTRAL);
  cast("Dispel", e, needed);
  EXPECT_EQ(ench[size_t(e)].kind, 0);
  EXPECT_EQ(gems(A, P_ASTRAL), pearls - needed);
  EXPECT_EQ(messages(B, "it was dispelled"), 1);
}

TEST_F(Rituals, OrdersThatCannotStandAreGivenBackAndMonthlyRitualsRepeat) {
  // A file that claims the ritual without paying its gems.
  const int32_t s = spell("Summon Animals");
  order(mage, Order::ritual, s);
  performrituals();
  EXPECT_EQ(messages(A, "the gems were not given"), 1);
  // A caster without the levels is refused at the host too, and refunded.
  ASSERT_EQ(castrit(mage, s, 0, 0, 0), RIT_OK);
  const int32_t nature = gems(A, P_NATURE);
  com[size_t(mage)].path[P_NATURE] = 0;
  performrituals();
  EXPECT_EQ(gems(A, P_NATURE), nature + ritualgemcost(s));
  EXPECT_EQ(messages(A, "too\ncomplex"), 1);
  com[size_t(mage)].path[P_NATURE] = 6;

  // Monthly: pays for the next month, until the treasury runs dry.
  const int32_t cost = ritualgemcost(s);
  ASSERT_EQ(castrit(mage, s, 0, 0, 0), RIT_OK);
  com[size_t(mage)].order = Order::monthlyritual;
  gems(A, P_NATURE) = int16_t(cost);
  performrituals();
  EXPECT_EQ(com[size_t(mage)].order, Order::monthlyritual);
  EXPECT_EQ(com[size_t(mage)].ordergems[0], cost);
  EXPECT_EQ(gems(A, P_NATURE), 0);
  performrituals();
  EXPECT_EQ(com[size_t(mage)].order, Order::defend);
  EXPECT_EQ(messages(A, "cannot repeat"), 1);
}

}  // namespace
