// The rules behind the ability and affliction icons: which a unit shows, in
// drawing order with their hover texts, and the explanation of each kind.
// No window: the unit status box draws the icons and abilitybox.cpp the
// explanation box.
#include "screens/abilitybox.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "battle/battle.h"
#include "frontend/frontend.h"
#include "gfx/gui.h"
#include "runtime/trs.h"
#include "screens/equipbox.h"
#include "screens/unitbox.h"
#include "world/forts.h"
#include "world/gamedata.h"
#include "world/grammar.h"
#include "world/magic.h"
#include "world/rules.h"

namespace {
constexpr uint32_t AF_STARVING = 0x4;
constexpr uint32_t ST_DIVINE = 0x8000;
// Experience that earns each star.
constexpr int32_t STARS[5] = {15, 50, 100, 200, 400};

// The fixed titles and explanations of the kinds; titles with values are
// made in icontext.
struct KindText {
  const char* title;
  const char* text;
};
const KindText* kindtext(int32_t kind) {
  static const KindText table[ICONKINDS] = {
      /*0*/ {"Battle Wounds", ""},
      {"Fire Resistant", "Damages from heat and fire are reduced by this number of percent."},
      {"Cold Resistant", "Damages from cold and frost are reduced by this number of percent."},
      {"Poison Resistant", "Damages from natural poisons are reduced by this number of percent."},
      {"Shock Resistant", "Damages from lightning and electrical shocks are reduced by this number of percent."},
      /*5*/ {"Undead", "This being is dead but still walks. It needs no food, does not age as the living do and is "
                       "led by commanders who can lead the undead."},
      {"Causes Fear", "Enemies close to this being must pass a morale check or flee. The value is added to the "
                      "difficulty of the check."},
      {"Nuthin", "Nothing out of the ordinary."},
      {"Regenerates", "This unit heals some of its wounds every turn, even in battle."},
      {"Immortal", "This being cannot be killed for good. When slain it returns in its home province after a "
                   "while."},
      /*10*/ {"Chill", "The air around this being is freezing. Nearby enemies suffer cold damage and fatigue."},
      {"Heat", "This being radiates a terrible heat. Nearby enemies suffer heat and fatigue."},
      {"Blessed", "This unit has been blessed by its god and fights with the god's blessing."},
      {"", ""},
      {"Aquatic", "This being lives in the sea and cannot leave it."},
      /*15*/ {"Amphibian", "This being moves as freely under water as on land."},
      {"Poor Amphibian", "This being can enter the sea, but fights poorly there. Move -4, Att -3, Def -3, Enc +1"},
      {"Sacred", "Sacred troops can be blessed by priests and cost only half the usual upkeep."},
      {"Experience", "Every star of experience raises attack, defence, precision and morale by one."},
      {"Cold Blooded", "This being grows sluggish in the cold: its encumbrance rises in cold provinces."},
      /*20*/ {"Starving", "This unit lacks food. Its morale drops and it may fall ill."},
      {"Ethereal", "Only one blow in four from a mundane weapon can harm this being."},
      {"Heroic Ability", ""},
      {"Pretender God", "This is the nation's god, trying to banish all other Pretenders and become a true God."},
      {"Prophet", "The prophet speaks for the god. Its holy power and figures grow in the god's veyrance."},
      /*25*/ {"Trample", "This large being tramples smaller enemies in its way instead of striking them."},
      {"Skin Shifter", "This being can change its shape between a human and a beast."},
      {"Mindless", "This being has no mind of its own. It never routs, but its leader must keep it under "
                   "control."},
      {"Flying", "This being flies. It can move quickly over the battlefield and over impassable land."},
      {"Horror Mark", "This being has been marked by the horrors. They will come for it."},
      /*30*/ {"Stealthy", "This unit can move unseen through enemy provinces. The value tells how hard it is to "
                          "find."},
      {"Unholy", "This being is of an unholy kind."},
      {"", ""},
      {"Twiceborn Enchantment", "When this unit dies it will be reborn once in a new body."},
      {"Ritual of Returning", "When this unit is badly wounded it returns to its home province."},
      /*35*/ {"Inner Sun", "A sun burns within this unit and drives away darkness around it."},
      {"Magic Being", "This being is made of magic and is led by commanders who can lead magic beings."},
      {"", ""},
      {"Lifeless", "This being has no life. It cannot be poisoned, needs no food and does not heal by itself."},
      {"", ""},
      /*40*/ {"Awe", "Enemies must pass a morale check before they dare strike at this being."},
      {"Standard", "This unit raises the morale of its squad."},
      {"Cursed", "This unit is cursed. Misfortune follows it in battle."},
      {"Need not Eat", "This being needs no food and uses no supplies."},
      {"", ""},
      /*45*/ {"Divine Armaments", "The god's power guards this unit's weapons and armor."},
      {"Weapon of Sharpness", "This unit's weapons have been magically sharpened and pierce armor."},
      {"Astral Weapon", "This unit's weapon has been enchanted by astral magic and strikes with magic power."},
      {"Rusty Armor", "This unit's armor has rusted and protects it less."},
      {"Broken Armor", "This unit's armor is broken and protects it less."},
      /*50*/ {"Flaming Missiles (8 ap damage)", "The missiles of this unit burst into flames where they hit."},
      {"Glamour", "This being is surrounded by illusions that make it hard to hit and hard to find."},
      {"Lucky", "Fortune favours this unit: there is a fifty percent chance that a blow that hits it misses."},
      {"Mistform", "This unit turns into mist when wounded, and mundane weapons pass through it."},
      {"Paralyzed", "This unit cannot move or act for this many turns."},
      /*55*/ {"", ""},
      {"", ""},
      {"Demon", "This being is a demon of the nether realms, harmed most by holy damage."},
      {"Charge Body", "This unit carries an electric charge that strikes whoever hits it."},
      {"Fire Shield", "Flames surround this unit. Whoever strikes it in melee is burned."},
      /*60*/ {"Astral Shield", "An astral shield guards this unit and strikes back at its attackers' minds."},
      {"Never Heals", "This being never heals its wounds by itself."},
      {"Berserker", "This unit may go berserk in battle: it fights harder but no longer defends itself."},
      {"Gone Berserk", "This unit has gone berserk: its strength, attack and protection are raised and its "
                       "defence lowered."},
      {"", ""},
      /*65*/ {"", ""},
      {"", ""},
      {"Global Enchantment", ""},
      {"Blood Vengeance", "Whoever tries to enslave or curse this unit by blood magic risks the curse turning "
                          "back on himself."},
      {"Summoning Skill", "This unit is skilled at summoning and calls more beings with each summoning spell."},
      /*70*/ {"Air Shield", "Winds surround this unit and deflect many of the missiles aimed at it."},
      {"Wasteland Survival", "This being moves through wastelands without penalty."},
      {"Mountain Survival", "This being moves through mountains without penalty."},
      {"Forest Survival", "This being moves through forests without penalty."},
      {"Swamp Survival", "This being moves and fights in swamps without penalty."},
      /*75*/ {"Susceptible to Fire", "All fire attacks on this creature will have their damage increased by a "
                                     "number of percent equal to this value."},
      {"Susceptible to Cold", "All cold attacks on this creature will have their damage increased by a number "
                              "of percent equal to this value."},
      {"Twist Fate", "Fate has been twisted for this unit: the first blow that would harm it misses."},
      {"Curse of Stones", "This unit's limbs are heavy as stone: every action tires it twice as much."},
      {"Banefire Shield", "A banefire burns around this unit and rots whoever strikes it."},
      /*80*/ {"Flaming Weapons (6 ap damage)", "The god's fire burns along this unit's weapons."},
      {"Siege Bonus", "This unit is good at siege warfare and wears down fort walls faster."},
      {"Pillage Bonus", "This unit is good at pillaging and counts for more when a province is pillaged."},
      {"Recuperation", "This being recovers from battle wounds over time."},
      {"Inquisitor", "This priest is an inquisitor: its priest level counts double when preaching."},
      /*85*/ {"Sailing", "This commander can sail across the sea with an army."},
      {"Animal", "This being is an animal."},
      {"Supply Bonus", "This unit finds food for the army and raises the supplies of its province."},
      {"Castle Defence Bonus", "This commander is skilled at defending a fort and adds to its defence."},
      {"Forge Bonus", "This commander is a skilled smith and forges magic items for fewer gems."},
      /*90*/ {"Patrol Bonus", "This unit is good at patrolling and finds sneaking enemies and rebels."},
      {"Cursed Luck", "Bad luck follows this unit until the curse wears off."},
      {"Truly Ethereal", "This being is truly ethereal: even most magic weapons pass through it."},
      {"Dragon Master", "This commander is a master of dragons: dragons he summons and leads are stronger."},
      {"Insane", "This unit is insane and may not obey its orders."},
      /*95*/ {"Seduction", "This being can seduce enemy commanders and bring them to its side."},
      {"Darkvision", "This being sees in the dark and suffers less from darkness in battle."},
      {"Blind", "This being is blind but has other senses: it suffers nothing from darkness or lost eyes."},
      {"Decay", "This being is slowly rotting away and loses hit points over time."},
      {"Old Age", ""},
      /*100*/ {"Dimension Overload", "Making sense of this place is highly unlikely. (Att/2, Def/2, Prec/2, MR/2)"},
      {"Poison Cloud", "This being is surrounded by poisonous fumes that harm all nearby."},
      {"Petrification", "The gaze of this being turns its enemies to stone."},
      {"Strength of the Spring", "This being grows stronger in spring and weaker in autumn."},
      {"Strength of the Summer", "This being grows stronger in summer and weaker in winter."},
      /*105*/ {"Strength of the Autumn", "This being grows stronger in autumn and weaker in spring."},
      {"Strength of the Winter", "This being grows stronger in winter and weaker in summer."},
      {"Mossbody", "Moss covers this unit. There is a 75 percent chance that a blow that hits it is softened."},
      {"Death Weapons (2 an+mr damage)", "The god's death magic curses this unit's weapons."},
      {"Susceptible to Poison", "All poison attacks (effect) on this creature will have their damage increased "
                                "by a number of percent equal to this value."},
      /*110*/ {"Susceptible to Shock", "All shock attacks on this creature will have their damage increased by a "
                                      "number of percent equal to this value."},
      {"Gluttony", "This unit eats more than others and lowers the supplies of its province."},
      {"Heretic", "This unit spreads heresy and lowers the veyrance of other gods where it stands."},
      {"Fire Power", "This being grows stronger in heat and weaker in cold."},
      {"Cold Power", "This being grows stronger in cold and weaker in heat."},
      /*115*/ {"Dark Power", "This being grows stronger in darkness."},
      {"Poison Barbs", "Barbs cover this being. Whoever strikes it in melee is poisoned."},
      {"Healer", "This commander heals the afflictions of units in its army."},
      {"Fortune Teller", "This commander foresees random events and makes bad ones less likely."},
      {"Storm Power", "This being grows stronger during storms."},
      /*120*/ {"Ivy Lord", "This commander can call on vines and summons more of them."},
      {"Reinvigoration", "This unit recovers fatigue each turn."},
      {"Exhaustion", "The unit gains fatigue each turn."},
      {"Reaper", "Disease follows this being: units around it may fall ill."},
      {"Plague Carrier", "This being carries a plague that spreads to the units around it."},
      /*125*/ {"Diseased", "This unit is diseased: it never heals, loses a hit point each month and gets "
                          "further afflictions."},
      {"Animal Awe", "Animals must pass a morale check before they dare strike at this being."},
      {"Halt Heretic", "Enemy priests and heretics must pass a morale check before they dare strike at this "
                       "being."},
      {"Assassin", "This unit can be sent to kill enemy commanders."},
      {"Spy", "This unit can spy on enemy provinces unseen."},
      /*130*/ {"Shattered Soul", "This being's soul has been shattered: it may forget its orders in battle."},
  };
  return kind >= 0 && kind < ICONKINDS ? &table[kind] : nullptr;
}

struct HeroicText {
  int32_t kind;
  const char* title;
  const char* text;
};
constexpr HeroicText HEROICS[] = {
    {1, "Heroic Strength", "This hero's strength grows beyond the strength of its kind."},
    {2, "Heroic Battle Prowess", "This hero's attack skill grows with its fame."},
    {3, "Lightning Reflexes", "This hero's defence skill grows with its fame."},
    {4, "Iron Will", "This hero's magic resistance grows with its fame."},
    {5, "Valor", "This hero's morale grows with its fame."},
    {6, "Tough Skin", "This hero's natural protection grows with its fame."},
    {7, "Heroic Toughness", "This hero's hit points grow with its fame."},
    {8, "Heroic Quickness", "This hero's action points grow with its fame."},
    {9, "Heroic Precision", "This hero's precision grows with its fame."},
    {10, "Heroic Endurance", "This hero tires less in battle."},
    {11, "Unequaled Obesity", "This hero has grown very heavy: more hit points and strength, but more "
                              "encumbrance."},
    {100, "Awesome Presence", "Enemies hesitate to strike at this hero."},
    {101, "Battle Bellow", "This hero's roar makes nearby enemies flee."},
    {102, "Undead General", "This hero can lead many more undead."},
    {103, "Adept Researcher", "This hero's research grows with its fame."},
    {104, "Third Eye", "This hero sees more than others: better precision and magic resistance."},
    {105, "Heroic Stupidity", "This hero is too stupid to be afraid: better attack, morale and magic "
                              "resistance."},
    {106, "Legendary Cruelty", "This hero's cruelty makes its troops fear it more than the enemy."},
};

class Row {
 public:
  explicit Row(int32_t unr) : unr_(unr) {}
  void add(int32_t kind, int32_t copies, const std::string& hover) {
    for (int32_t n = 0; n < copies; n++) {
      BoxEntry e;
      e.id = UB_ICON + kind;
      e.file = TRS_ICONS;
      e.sprite = kind;
      snprintf(e.hover, sizeof e.hover, "%s", hover.c_str());
      out.push_back(e);
    }
  }
  void add(int32_t kind, bool shown, const std::string& hover) { add(kind, shown ? 1 : 0, hover); }
  std::vector<BoxEntry> out;

 private:
  int32_t unr_;
};

int32_t stars(int32_t exp) {
  return int32_t(std::count_if(std::begin(STARS), std::end(STARS), [&](int32_t s) { return exp >= s; }));
}

bool godlevelabove(int32_t unr, int32_t path, int32_t level) {
  return issacred(unr) && godplayer(unit[size_t(unr)].owner) && godpathlevel(unit[size_t(unr)].owner, path) > level;
}
}  // namespace

std::vector<BoxEntry> unitboxicons(int32_t unr) {
  const Monster* t = unittyperec(unr);
  if (!t || unr > highestunit) return {};
  const Unit& u = unit[size_t(unr)];
  const uint32_t tf = t->flags, tf2 = t->flags2, a0 = u.flags[0], a1 = u.flags[1], a2 = u.flags[2];
  const auto ab = [&](int32_t k) { return getability(unr, k, 1); };
  Row r(unr);
  r.add(42, (a0 & AF_CURSED) != 0, "Cursed");
  r.add(125, (a0 & AF_DISEASED) != 0, "Diseased");
  if (issacred(unr)) r.add(12, 1, "Blessed");
  else r.add(17, (tf & MF_HOLY) != 0, "Sacred");
  r.add(8, ab(AB_REGENERATION) > 0, "Regenerates");
  r.add(15, (tf & MF_AMPHIBIAN) != 0, "Amphibian");
  r.add(16, (tf & MF_POORAMPHIBIAN) != 0, "Poor Amphibian");
  r.add(14, (tf & MF_AQUATIC) != 0, "Aquatic");
  r.add(6, ab(AB_FEAR) > 4, "Fear");
  const int32_t awe[3][2] = {{40, AB_AWE}, {126, AB_ANIMALAWE}, {127, AB_HALTHERETIC}};
  const char* awename[3] = {"Awe (+%d)", "Animal Awe (+%d)", "Halt Heretic (+%d)"};
  for (int32_t k = 0; k < 3; k++)
    if (const int32_t v = ab(awe[k][1]); v > 0) r.add(awe[k][0], 1, strf(awename[k], v - 1));
  r.add(41, ab(AB_STANDARD) > 0, "Standard");
  const struct {
    int32_t ability, good, bad;
    const char *goodname, *badname;
  } res[4] = {{AB_SHOCKRES, 4, 110, "Shock Resistant (%d)", "Susceptible to Shock (%d)"},
              {AB_FIRERES, 1, 75, "Fire Resistant (%d)", "Susceptible to Fire (%d)"},
              {AB_COLDRES, 2, 76, "Cold Resistant (%d)", "Susceptible to Cold (%d)"},
              {AB_POISONRES, 3, 109, "Poison Resistant (%d)", "Susceptible to Poison (%d)"}};
  for (const auto& x : res) {
    const int32_t v = ab(x.ability);
    if (v > 0) r.add(x.good, 1, strf(x.goodname, v));
    if (v < 0) r.add(x.bad, 1, strf(x.badname, -v));
  }
  r.add(5, (tf & MF_UNDEAD) != 0, "Undead");
  r.add(36, (tf2 & MF2_MAGICBEING) != 0, "Magic Being");
  r.add(38, (tf & MF_INANIMATE) != 0, "Lifeless");
  r.add(43, (tf & MF_NEEDNOTEAT) != 0, "Need not Eat");
  r.add(9, (tf & MF_IMMORTAL) != 0, "Immortal");
  const int32_t chill = std::max(ab(AB_COLD), gettypeability(u.type, AB_COLD, -1));
  const int32_t heat = std::max(ab(AB_HEAT), gettypeability(u.type, AB_HEAT, -1));
  if (chill >= 1) r.add(10, 1, strf("Chill (%d)", chill));
  if (heat >= 1) r.add(11, 1, strf("Heat (%d)", heat));
  r.add(19, (tf & MF_COLDBLOOD) != 0, "Cold Blooded");
  if ((tf & MF_ETHEREAL) || (a1 & ST_ETHEREAL)) {
    if (ab(AB_TRULYETHEREAL) >= 1) r.add(92, 1, "Truly Ethereal");
    else r.add(21, 1, "Ethereal");
  }
  r.add(23, (a2 & F3_PRETENDER) != 0, "Pretender God");
  r.add(24, (a1 & ST_PROPHET) != 0, "Prophet");
  r.add(25, (tf & MF_TRAMPLE) != 0, "Trample");
  r.add(26, u.type == 400, "Skin Shifter");
  r.add(27, t->mor == 50, "Mindless");
  r.add(28, (tf & MF_FLYING) || (a1 & ST_FLYING), "Flying");
  r.add(30, getstealth(unr) > 0, "Stealthy");
  r.add(29, ab(AB_HORRORMARK) > 0, "Horror Marked");
  r.add(46, (a1 & ST_SHARPWEAPON) != 0, "Weapon of Sharpness");
  r.add(47, (a1 & ST_ASTRALWEAPON) != 0, "Astral Weapon");
  r.add(48, (a0 & AF_RUSTYARMOR) != 0, "Rusty Armor");
  r.add(49, (a0 & AF_NOARMOR) != 0, "Broken Armor");
  r.add(50, (a1 & ST_FIREMISSILES) != 0, "Fire Missiles");
  r.add(51, (tf & MF_ILLUSION) != 0, "Glamour");
  r.add(52, (a1 & ST_LUCK) != 0, "Lucky");
  r.add(53, (a2 & F3_MISTFORM) != 0, "Mistform");
  if (const int32_t v = ab(AB_PARALYZED); v > 0) r.add(54, 1, strf("Paralyzed (%d)", v));
  r.add(57, (tf & MF_DEMON) != 0, "Demon");
  r.add(58, (a2 & F3_CHARGEBODY) != 0, "Charge Body");
  r.add(59, ab(AB_FIRESHIELD) > 0, "Fire Shield");
  r.add(60, ab(AB_BURNING) > 0, "Astral Shield");
  r.add(61, (tf & MF_NOHEAL) != 0, "Never Heals");
  r.add(62, ab(AB_BERSERK) > 0, "Berserker");
  r.add(63, (a1 & ST_BERSERK) != 0, "Gone Berserk");
  r.add(68, ab(AB_BLOODVENGEANCE) > 0, "Blood Vengeance");
  r.add(69, ab(AB_SUMMONSKILL) > 0, "Summoning Skill");
  r.add(70, ab(AB_AIRSHIELD) > 0, "Air Shield");
  r.add(71, (tf & MF_WASTESURVIVAL) != 0, "Wasteland Survival");
  r.add(72, (tf & MF_MOUNTAINSURVIVAL) != 0, "Mountain Survival");
  r.add(73, (tf & MF_FORESTSURVIVAL) != 0, "Forest Survival");
  r.add(74, (tf & MF_SWAMPSURVIVAL) != 0, "Swamp Survival");
  r.add(77, (a2 & F3_TWISTFATE) != 0, "Twist Fate");
  r.add(78, (a0 & AF_CURSEOFSTONES) != 0, "Curse of Stones");
  r.add(79, ab(AB_BANEFIRESHIELD) > 0, "Banefire Shield");
  r.add(80, godlevelabove(unr, P_FIRE, 8), "Fire Weapons");
  r.add(81, ab(AB_SIEGEBONUS) > 0, "Siege Bonus");
  r.add(82, ab(AB_PILLAGEBONUS) > 0, "Pillage Bonus");
  r.add(83, (tf & MF_HEAL) != 0, "Recuperation");
  r.add(84, ab(AB_INQUISITOR) > 0, "Inquisitor");
  r.add(85, ab(AB_SAILING) > 0, "Sailing");
  r.add(86, (tf & MF_ANIMAL) != 0, "Animal");
  const int32_t supply = ab(AB_SUPPLYBONUS);
  if (supply >= 1) r.add(87, 1, strf("Supply Bonus (%d)", supply));
  if (supply < 0) r.add(111, 1, strf("Gluttony (%d)", -supply));
  r.add(88, ab(AB_CASTLEDEF) > 0, "Castle Defence Bonus");
  r.add(89, ab(AB_FORGEBONUS) > 0, "Forge Bonus");
  r.add(90, ab(AB_PATROLBONUS) > 0, "Patrol Bonus");
  r.add(91, ab(AB_CURSEDLUCK) > 0, "Cursed Luck");
  if (const int32_t v = ab(AB_INSANE); v > 0) r.add(94, 1, strf("Insane (%d)", v));
  r.add(95, (ab(AB_RUNAWAY) > 0 ? 1 : 0) + (ab(AB_RUNAWAY) > 0 && ab(AB_SEDUCE) > 0 ? 1 : 0), "Seduction");
  if (const int32_t v = ab(AB_DARKVISION); v > 0) r.add(96, 1, strf("Darkvision (%d)", v));
  r.add(97, ab(AB_BLIND) > 0, "Blind");
  r.add(98, (a0 & AF_DECAYING) != 0, "Decaying");
  if (oldagelevel(unr) > 0) r.add(99, 1, strf("Old Age, %d (%d)", u.age, getmaxage(unr)));
  r.add(100, invoid(unr) != 0, "Lost in Time and Space");
  r.add(101, ab(AB_POISONCLOUD) > 0, "Poison Cloud");
  r.add(102, ab(AB_PETRIFY) > 0, "Petrification");
  const char* seasons[4] = {"Strength of the Spring", "Strength of the Summer", "Strength of the Autumn",
                            "Strength of the Winter"};
  for (int32_t s = 0; s < 4; s++) r.add(103 + s, ab(AB_SPRINGPOWER + s) > 0, seasons[s]);
  r.add(107, (a2 & F3_MOSSBODY) != 0, "Mossbody");
  r.add(108, godlevelabove(unr, P_DEATH, 8), "Death Weapons");
  const int32_t powers[9] = {AB_HERETIC, AB_FIREPOWER,   AB_COLDPOWER,  AB_DARKPOWER, AB_POISONBARBS,
                             AB_HEALER,  AB_NOBADEVENTS, AB_STORMPOWER, AB_IVYLORD};
  const char* powernames[9] = {"Heretic",      "Fire Power",     "Cold Power",  "Dark Power", "Poison Barbs",
                               "Healer",       "Fortune Teller", "Storm Power", "Ivy Lord"};
  for (int32_t k = 0; k < 9; k++) r.add(112 + k, ab(powers[k]) > 0, powernames[k]);
  r.add(121, ab(AB_REINVIGORATION) > 0, "Reinvigoration");
  r.add(122, ab(AB_REINVIGORATION) < 0, "Exhaustion");
  r.add(123, ab(AB_REAPER) > 0, "Reaper");
  r.add(124, ab(AB_PLAGUECARRIER) > 0, "Plague Carrier");
  r.add(128, ab(AB_ASSASSIN) > 0, "Assassin");
  r.add(129, ab(AB_SPY) > 0, "Spy");
  if (const int32_t v = ab(AB_SHATTEREDSOUL); v > 0) r.add(130, 1, strf("Shattered Soul (%d)", v));
  r.add(34, (a2 & F3_RETURNING) != 0, "Ritual of Returning");
  r.add(35, (a2 & F3_INNERSUN) != 0, "Inner Sun");
  r.add(33, (a2 & F3_TWICEBORN) != 0, "Twiceborn");
  r.add(93, ab(AB_DRAGONMASTER) > 0, "Dragon Master");
  r.add(67, countcasterench(unr) > 0, "Global Enchantment");
  r.add(20, (a0 & AF_STARVING) != 0, "Starving");
  r.add(0, nbrofafflictions(unr), "Affliction");
  r.add(18, stars(u.exp), "Experience");
  const int32_t c = unit2com(unr);
  r.add(22, c >= 0 && com[size_t(c)].tmpfx > 0, "Heroic Ability");
  return r.out;
}

int32_t iconstep(int32_t count) { return count * 30 > 420 ? 420 / count : 30; }

namespace {
// The titles that give one ability's value: the kind, the format, the
// ability and how its value is shown (factor -1 for a susceptibility, the
// offset -1 where the first point is the ability itself, the summoning
// skill halved).
struct ValueTitle {
  int32_t kind;
  const char* format;
  int32_t ability;
  int32_t factor = 1, offset = 0, divisor = 1;
};
const ValueTitle VALUETITLES[] = {
    {1, "Fire Resistant (%d)", AB_FIRERES},
    {2, "Cold Resistant (%d)", AB_COLDRES},
    {3, "Poison Resistant (%d)", AB_POISONRES},
    {4, "Shock Resistant (%d)", AB_SHOCKRES},
    {75, "Susceptible to Fire (%d)", AB_FIRERES, -1},
    {76, "Susceptible to Cold (%d)", AB_COLDRES, -1},
    {109, "Susceptible to Poison (%d)", AB_POISONRES, -1},
    {110, "Susceptible to Shock (%d)", AB_SHOCKRES, -1},
    {40, "Awe (+%d)", AB_AWE, 1, -1},
    {126, "Animal Awe (+%d)", AB_ANIMALAWE, 1, -1},
    {127, "Halt Heretic (+%d)", AB_HALTHERETIC, 1, -1},
    {41, "Standard (%d)", AB_STANDARD},
    {54, "Paralyzed (%d)", AB_PARALYZED},
    {59, "Fire Shield (%d ap damage)", AB_FIRESHIELD},
    {62, "Berserker (+%d)", AB_BERSERK},
    {63, "Gone Berserk (+%d)", AB_BERSERK},
    {68, "Blood Vengeance (+%d)", AB_BLOODVENGEANCE, 1, -1},
    {69, "Summoning Skill (%d)", AB_SUMMONSKILL, 1, 0, 2},
    {70, "Air Shield (%d)", AB_AIRSHIELD},
    {79, "Banefire Shield (%d ap damage)", AB_BANEFIRESHIELD},
    {81, "Siege Bonus (%d)", AB_SIEGEBONUS},
    {82, "Pillage Bonus (%d)", AB_PILLAGEBONUS},
    {88, "Castle Defence Bonus (%d)", AB_CASTLEDEF},
    {89, "Forge Bonus (%d)", AB_FORGEBONUS},
    {90, "Patrol Bonus (%d)", AB_PATROLBONUS},
    {91, "Cursed Luck (%d turns left)", AB_CURSEDLUCK},
    {93, "Dragon Master (%d)", AB_DRAGONMASTER},
    {94, "Insane (%d)", AB_INSANE},
    {96, "Darkvision (%d)", AB_DARKVISION},
    {112, "Heretic (%d)", AB_HERETIC},
    {113, "Fire Power (%d)", AB_FIREPOWER},
    {114, "Cold Power (%d)", AB_COLDPOWER},
    {115, "Dark Power (%d)", AB_DARKPOWER},
    {117, "Healer (%d)", AB_HEALER},
    {118, "Fortune Teller (%d)", AB_NOBADEVENTS},
    {119, "Storm Power (%d)", AB_STORMPOWER},
    {120, "Ivy Lord (%d)", AB_IVYLORD},
    {130, "Shattered Soul (%d)", AB_SHATTEREDSOUL},
};

void woundlines(int32_t unr, IconText& out) {
  const Unit& u = unit[size_t(unr)];
  const uint32_t a = u.flags[0];
  const bool blind = a & AF_BLIND;
  auto add = [&](const std::string& s) { out.lines.push_back(s); };
  if (a & AF_DISEASED) add("Diseased (never heals, loses one HP each month and gets additional afflictions)");
  if (a & AF_LOSTEYE) {
    const int32_t eyes = getability(unr, AB_EYES, 1);
    if (eyes < -1) add("Lost some unimportant body part (No effect)");
    else if (eyes == -1) add(strf("Lost %s only eye (Att 0, Def 0, Prec 0)", hisher(unr)));
    else if (eyes == 0) {
      add("Lost one eye (Att -2, Def -2, Prec -3)");
      if (blind) add("Lost the other eye as well (Att 0, Def 0, Prec 0)");
    } else if (blind) add("Lost all those eyes (Att 0, Def 0, Prec 0)");
    else add("Lost a couple of eyes (Att -2, Def -2, Prec -3)");
  } else if (blind) add("Blind (Att 0, Def 0, Prec 0)");
  const struct {
    uint32_t bit;
    const char* text;
  } plain[] = {{AF_WEAKENED, "Weakened (Str -4)"},
               {AF_CHESTWOUND, "Chest Wound (Enc +5, Str -1)"},
               {AF_LIMP, "Limp (AP -4, Att -1, Def -1)"},
               {AF_CRIPPLED, "Crippled (AP 2, Att -4, Def -4)"},
               {AF_NEVERHEAL, "Never Healing Wound (20 percent HP reduction)"},
               {AF_MUTE, "Mute (Ldr divided by four, halved magic skills)"},
               {AF_FRIGHT, "Battle Fright (Morale -5)"},
               {AF_FEEBLEMINDED, "Feeble Minded (Att -1, Def -1, Prec -1, MR -5, Ldr divided by four, magic skill 0)"}};
  for (const auto& p : plain)
    if (a & p.bit) add(p.text);
  if (a & AF_LOSTARM)
    add(nbrslotsofkind(u.type, SLOT_HAND) < 2 ? "Lost the arm (Str -1, unable to wield weapons)"
                                              : "Lost an arm (Str -1, cannot use as many items as before)");
  if (a & AF_LOSTPART) {
    char text[200] = {};
    specialpartloss(unr, nullptr, nullptr, nullptr, nullptr, text);
    add(text[0] ? text : "It feels like something is missing (No effect)");
  }
  if (a & AF_LOSTHEAD)
    add(nbrslotsofkind(u.type, SLOT_HEAD) < 2 ? "Lost the head (pity, you cannot use helmets any longer)"
                                              : "Lost a head (pity, you cannot use as many helmets)");
}
}  // namespace

IconText icontext(int32_t unr, int32_t kind) {
  IconText out;
  const KindText* k = kindtext(kind);
  if (!k || !unittyperec(unr) || unr > highestunit) return out;
  const auto ab = [&](int32_t n) { return getability(unr, n, 1); };
  out.title = k->title;
  for (const ValueTitle& v : VALUETITLES)
    if (v.kind == kind) out.title = strf(v.format, (v.factor * ab(v.ability) + v.offset) / v.divisor);
  switch (kind) {
    case 0: woundlines(unr, out); return out;
    case 99: {
      const int32_t l = oldagelevel(unr);
      out.lines = {strf("Current Age: %d", unit[size_t(unr)].age), strf("Start of old age: %d", getmaxage(unr)),
                   strf("Penalties: Str -%d, Att  -%d, Def -%d, Prec -%d, Enc +%d, HP -%d%%, AP -%d%%", l, l, l,
                          l / 2, l, 5 * l, 5 * l)};
      return out;
    }
    case 22: {
      const int32_t c = unit2com(unr);
      const int32_t h = c >= 0 ? com[size_t(c)].tmpfx : 0;
      out.title = "Heroic Agility";
      std::string text = "This hero moves and dodges with uncanny agility.";
      for (const HeroicText& x : HEROICS)
        if (x.kind == h) out.title = x.title, text = x.text;
      out.lines = {text, "All non-gods entering the Hall of Fame get a heroic ability that will become increasingly "
                         "better while they remain in the Hall of Fame."};
      return out;
    }
    case 6: out.title = ab(AB_FEAR) >= 5 ? strf("Causes Fear (+%d)", ab(AB_FEAR) - 5) : ""; break;
    case 8: out.title = strf("Regenerates (%d hp per turn)", (getmaxhp(unr) * ab(AB_REGENERATION) + 99) / 100); break;
    case 10: out.title = strf("Chill (%d)", std::max(ab(AB_COLD), gettypeability(unit[size_t(unr)].type, AB_COLD, -1))); break;
    case 11: out.title = strf("Heat (%d)", std::max(ab(AB_HEAT), gettypeability(unit[size_t(unr)].type, AB_HEAT, -1))); break;
    case 30: out.title = strf("Stealthy (+%d)", getstealth(unr) - 40); break;
    case 87:
    case 111: {
      const int32_t v = ab(AB_SUPPLYBONUS);
      out.title = v < 1 ? strf("Gluttony (%d)", -v) : strf("Supply Bonus (%d)", v);
      if (v < 1) k = kindtext(111);
      else k = kindtext(87);
      break;
    }
    case 121:
    case 122: {
      const int32_t v = ab(AB_REINVIGORATION);
      out.title = v >= 1 ? strf("Reinvigoration (%d)", v) : strf("Exhaustion (%d)", -v);
      k = kindtext(v >= 1 ? 121 : 122);
      break;
    }
    case 67: {
      const int32_t n = countcasterench(unr);
      out.lines = {n == 1 ? std::string("This unit has created a global enchantment. The enchantment will fall if this "
                                        "unit dies.")
                          : strf("This unit has created %d global enchantments. The enchantments will fall if this "
                                   "unit dies",
                                   n)};
      return out;
    }
    default: break;
  }
  if (k->text[0]) out.lines.push_back(k->text);
  if (kind == 12) {
    char bless[300] = {};
    blesseffects(unit[size_t(unr)].owner, bless, sizeof bless);
    out.lines.push_back(strf("Bless effects: %s, +2 morale", bless));
  }
  return out;
}
