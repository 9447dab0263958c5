// The ".dm" reader: every command on a row of each table, the general
// commands, bad input warned and skipped with file and line, and the
// tables put back when a mod is disabled.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "mods/mods.h"
#include "runtime/fatal.h"
#include "screens/unitbox.h"
#include "support/smallworld.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/ruleconstants.h"
#include "world/rules.h"

namespace {

class ModReader : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { loadgamedata(); }
  void SetUp() override {
    restoregamedata();
    defaultgeneral();
  }
  void TearDown() override {
    debuglevel = 0;
    clearworld();
    restoregamedata();
    defaultgeneral();
  }
  ModInfo info;
  std::string log;
  // Reads the text as the mod "test.dm"; the warnings it logged are kept.
  int32_t read(const std::string& text) {
    debuglevel = 1;
    testing::internal::CaptureStdout();
    const int32_t n = readmod("test.dm", text.data(), text.size(), &info);
    log = testing::internal::GetCapturedStdout();
    debuglevel = 0;
    return n;
  }
  // The lines in a section of the Archer (row 17).
  int32_t archer(const std::string& lines) { return read("#selectmonster 17\n" + lines + "#end\n"); }
  static int32_t typeab(int32_t k) { return gettypeability(17, k, -1); }
};

TEST_F(ModReader, GeneralCommandsSetTheRuleConstantsAndTheModsOwnInformation) {
  EXPECT_EQ(read("-- a comment\n#modname \"Harsh Winters\"\n#description \"Cold bites.\"\n#version 1.05\n"
                 "#coldincome 9\n#coldsupply 20\n#poppergold 80\n#researchscale 3\n"),
            0)
      << log;
  EXPECT_STREQ(info.name, "Harsh Winters");
  EXPECT_STREQ(info.description, "Cold bites.");
  EXPECT_EQ(info.version[0], 1);
  EXPECT_EQ(info.version[1], 5);
  EXPECT_EQ(coldincome, 9);
  EXPECT_EQ(coldsupply, 20);
  EXPECT_EQ(poppergold, 80);
  EXPECT_EQ(researchscale, 3);
}

TEST_F(ModReader, AMonsterSectionSetsFieldsFlagsResistancesWeaponsAndAbilities) {
  const int32_t archer = findunittype("Archer");
  ASSERT_GT(archer, 0);
  EXPECT_EQ(read("#selectmonster \"Archer\"\n#name \"Longbowman\"\n#hp 14\n#att 12\n#gcost 15\n"
                 "#flying\n#undead\n#fireres 100\n#coldres 25\n#stealthy 40\n"
                 "#clearweapons\n#weapon \"Spear\"\n#weapon 1\n#cleararmors\n#ability 300 2\n#end\n"),
            0)
      << log;
  const Monster& m = unittypes[size_t(archer)];
  EXPECT_STREQ(m.name, "Longbowman");
  EXPECT_EQ(m.hp, 14);
  EXPECT_EQ(m.att, 12);
  EXPECT_EQ(m.gcost, 15);
  EXPECT_TRUE(m.flags & MF_FLYING);
  EXPECT_TRUE(m.flags & MF_FIRERES);
  EXPECT_FALSE(m.flags & MF_COLDRES);
  EXPECT_TRUE(m.flags & MF_STEALTHY);
  EXPECT_TRUE(m.flags2 & MF2_UNDEADCLASS);
  EXPECT_EQ(gettypeability(archer, 201, -1), 25);
  EXPECT_EQ(gettypeability(archer, 108, -1), 40);
  EXPECT_EQ(gettypeability(archer, 300, -1), 2);
  EXPECT_EQ(m.weapon[0], 1);
  EXPECT_EQ(m.weapon[1], 1);
  EXPECT_EQ(m.weapon[2], 0);
  EXPECT_EQ(m.armor[0], 0);
  // 100 after another value: the flag again, the ability gone.
  EXPECT_EQ(read("#selectmonster " + std::to_string(archer) + "\n#coldres 100\n#end\n"), 0);
  EXPECT_TRUE(unittypes[size_t(archer)].flags & MF_COLDRES);
  for (int16_t id : unittypes[size_t(archer)].abilityid) EXPECT_NE(id, 201);
  EXPECT_EQ(read("#selectmonster " + std::to_string(archer) + "\n#clearflags\n#copystats 18\n#end\n"), 0);
  EXPECT_STREQ(unittypes[size_t(archer)].name, "Longbowman");
  EXPECT_EQ(unittypes[size_t(archer)].hp, unittypes[18].hp);
  EXPECT_EQ(unittypes[size_t(archer)].flags, unittypes[18].flags);
}

TEST_F(ModReader, AbilityKeywordsSetWhatTheRulesAndTheUnitBoxRead) {
  ASSERT_EQ(archer("#awe 3\n#poisoncloud 5\n#regeneration 10\n#supplybonus -2\n#heat 4\n#leper 1\n#fear 5\n"
                   "#magicboost water 2\n#magicboost 11 1\n"),
            0)
      << log;
  clearworld();
  const int32_t u = mkunit(17, 0, 1);
  EXPECT_EQ(getability(u, AB_AWE, 1), 3);
  EXPECT_EQ(getability(u, AB_SUPPLYBONUS, 1), -2);
  std::vector<std::string> icons;
  for (const BoxEntry& e : unitboxicons(u)) icons.push_back(e.hover);
  for (const char* shown : {"Awe (+2)", "Poison Cloud", "Regenerates", "Gluttony (2)", "Heat (4)", "Reaper", "Fear"})
    EXPECT_NE(std::find(icons.begin(), icons.end(), shown), icons.end()) << shown;
  // A mage's paths: one raised, then every path that it has.
  const int32_t c = mkcom(17, 0, 1);
  com[size_t(c)].path[P_WATER] = 2;
  EXPECT_EQ(getcommagic(c, P_WATER), 5);
  EXPECT_EQ(getcommagic(c, P_FIRE), 0);
}

TEST_F(ModReader, AbilityKeywordsWithFormsOfTheirOwn) {
  ASSERT_EQ(archer("#magicboost priest -1\n#magicboost 9 1\n#magicboost 53 2\n#gemprod astral 2\n#gemprod 7 10\n"
                   "#eyes 3\n#restrictedgod 5\n#itemslots 1024\n#sailing\n#horrormark\n#poisonarmor 8\n#iceprot\n"),
            0)
      << log;
  const int32_t stored[][2] = {{AB_MAGICBOOST + P_PRIEST, -1}, {AB_MAGICBOOST + 9, 1}, {AB_MAGICBOOSTALL, 2},
                               {AB_GEMPROD + 4, 2}, {AB_GEMPROD + 7, 10}, {AB_EYES, 1}, {AB_RESTRICTEDGOD, 105},
                               {AB_ITEMSLOTS, 1024}, {AB_SAILING, 999}, {AB_HORRORMARKER, 5}, {AB_POISONBARBS, 8},
                               {AB_ICEPROT, 2}};
  for (const auto& [k, v] : stored) EXPECT_EQ(typeab(k), v) << k;
  // A later value replaces the earlier in its place; a stored 0 takes the
  // ability off (two eyes, the slots of the flags, a plain 0).
  ASSERT_EQ(archer("#gemprod astral 5\n#sailing 3\n#eyes 2\n#itemslots noitem\n#restrictedgod 0\n"
                   "#ability 300 7\n#ability 300 0\n"),
            0)
      << log;
  const Monster& m = unittypes[17];
  auto held = [&](int32_t k) { return std::count(std::begin(m.abilityid), std::end(m.abilityid), int16_t(k)); };
  EXPECT_EQ(held(AB_GEMPROD + 4), 1);
  EXPECT_EQ(typeab(AB_GEMPROD + 4), 5);
  EXPECT_EQ(typeab(AB_SAILING), 3);
  for (int32_t gone : {AB_EYES, AB_ITEMSLOTS, 300}) EXPECT_EQ(held(gone), 0) << gone;
  EXPECT_EQ(typeab(AB_RESTRICTEDGOD), 100) << "nation 0 is no removal";
  // Heat and cold replace the fixed aura of their flag bit.
  unittypes[17].flags |= MF_UNUSED80 | MF_UNUSED10000;
  ASSERT_EQ(archer("#heat 6\n#cold 0\n"), 0) << log;
  EXPECT_EQ(typeab(AB_HEAT), 6);
  EXPECT_EQ(typeab(AB_COLD), 0);
}

TEST_F(ModReader, BadAbilityKeywordsAreWarnedAndChangeNothing) {
  const Monster before = unittypes[17];
  EXPECT_EQ(archer("#magicboost fire 6\n#magicboost fire\n#gemprod ruby 1\n#gemprod 8 1\n#awe\n#awe 1 2\n"
                   "#sailing 1 2\n#itemslots all\n#makemonster1 4000\n"),
            9)
      << log;
  for (const char* line : {"test.dm:2: #magicboost 6 is outside -5 to 5", "test.dm:3: #magicboost takes 2 arguments",
                           "test.dm:4: #gemprod: no gem kind ruby", "test.dm:5: #gemprod: no gem kind 8",
                           "test.dm:6: #awe takes 1 argument", "test.dm:7: #awe takes 1 argument",
                           "test.dm:8: #sailing takes at most one number", "test.dm:9: #itemslots needs a number",
                           "test.dm:10: #makemonster1 4000 is outside 0 to 3999"})
    EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
  EXPECT_EQ(memcmp(&before, &unittypes[17], sizeof before), 0);
  // Sixteen places: the seventeenth ability is refused, a new value of one held is not.
  std::string full = "#clearabilities\n";
  for (int32_t k = 0; k < UNITABILITIES; k++) full += "#ability " + std::to_string(400 + k) + " 1\n";
  EXPECT_EQ(archer(full + "#awe 2\n#ability 400 3\n"), 1) << log;
  EXPECT_NE(log.find("#awe: the unit type has no room for another ability"), std::string::npos) << log;
  EXPECT_EQ(typeab(400), 3);
}

TEST_F(ModReader, NewRowsGoBelowTheEndRowWhichMovesDown) {
  const int32_t units = nbrofunittypes(), weaponsend = nbrofweapons(), spellsend = nbrofspells();
  EXPECT_EQ(read("#newmonster\n#name \"Frost Giant\"\n#hp 60\n#size 5\n#weapon \"Frost Maul\"\n#end\n"
                 "#newweapon\n#name \"Frost Maul\"\n#dmg 20\n#len 3\n#dt stun\n#cold\n#twohanded\n#nostr\n#end\n"
                 "#newspell\n#name \"Call Frost Giant\"\n#school conjuration\n#researchlevel 5\n#path water 3\n"
                 "#fatigue 2000\n#effect 10001\n#damage " + std::to_string(units) + "\n#nbreff 1\n#underwater\n#end\n"),
            1)
      << log;   // the weapon is named before it exists: one warning
  EXPECT_NE(log.find("test.dm:5: #weapon: no weapon Frost Maul"), std::string::npos) << log;
  EXPECT_EQ(nbrofunittypes(), units + 1);
  EXPECT_EQ(findunittype("Frost Giant"), units);
  EXPECT_TRUE(isusedunittype(units));
  EXPECT_EQ(unittypes[size_t(units + 1)].sprite, UNITTYPE_ENDSPRITE);
  EXPECT_EQ(nbrofweapons(), weaponsend + 1);
  const Weapon& w = weapons[size_t(weaponsend)];
  EXPECT_EQ(w.dmg, 20);
  EXPECT_EQ(w.dmgtype, DT_STUN);
  EXPECT_EQ(w.flags & (WF_COLD | WF_TWOHANDED | WF_STRENGTH), WF_COLD | WF_TWOHANDED);
  EXPECT_EQ(nbrofspells(), spellsend + 1);
  EXPECT_EQ(name2spell("Call Frost Giant"), spellsend);
  EXPECT_EQ(spells[size_t(spellsend)].path[0], P_WATER);
  EXPECT_TRUE(spells[size_t(spellsend)].flags & SF_UNDERWATER);
}

TEST_F(ModReader, ArmorItemSiteAndNationSections) {
  const int32_t armorsend = nbrofarmors(), nationsend = nbrofnations();
  EXPECT_EQ(read("#newarmor\n#name \"Ice Plate\"\n#type body\n#prot body 18\n#prot arms 9\n#def -1\n#enc 3\n#end\n"
                 "#selectitem \"Ring of Sorcery\"\n#constlevel 6\n#mainpath astral\n#mainlevel 4\n#secondpath none\n"
                 "#type misc\n#ability 21 2\n#spell \"Teleport\"\n#cursed\n#end\n"
                 "#selectsite 1\n#path earth\n#level 2\n#rarity 3\n#cleareffects\n#effect 13 25\n#forest\n#end\n"
                 "#newnation\n#name \"Frostholm\"\n#epithet \"Winter Court\"\n#shortname \"Fro\"\n#era 1\n"
                 "#fileword frostholm\n#colour 0.2 0.4 0.9\n#attribute 73 1\n#addrecunit \"Archer\"\n"
                 "#addreccom \"Frost Giant\"\n#end\n"),
            1)
      << log;   // no unit type "Frost Giant" in this mod
  const Armor& a = armors[size_t(armorsend)];
  EXPECT_EQ(a.type, IT_ARMOR);
  EXPECT_EQ(a.prot[0].loc, LOC_BODY);
  EXPECT_EQ(a.prot[1].prot, 9);
  EXPECT_EQ(a.def, -1);
  const Item& it = items[size_t(finditem("Ring of Sorcery"))];
  EXPECT_EQ(it.constlevel, 6);
  EXPECT_EQ(it.mainlevel, 4);
  EXPECT_EQ(it.secondpath, -1);
  EXPECT_STREQ(it.spell, "Teleport");
  EXPECT_LT(it.cursed, 0);
  EXPECT_EQ(sites[1].path, P_EARTH);
  EXPECT_EQ(sites[1].effectkind[0], 13);
  EXPECT_EQ(sites[1].effectval[0], 25);
  EXPECT_TRUE(sites[1].placement & SP_FOREST);
  ASSERT_EQ(nbrofnations(), nationsend + 1);
  const Nation& n = nations[size_t(nationsend)];
  EXPECT_STREQ(n.name, "Frostholm");
  EXPECT_STREQ(n.fileword, "frostholm");
  EXPECT_EQ(getnatattr(nationsend, 73), 1);
  EXPECT_EQ(n.recruit[0], findunittype("Archer"));
  EXPECT_EQ(n.recruit[1], RECRUIT_COMMANDERS);
  EXPECT_EQ(n.recruit[2], RECRUIT_END);
}

TEST_F(ModReader, BadInputIsWarnedWithFileAndLineAndSkipped) {
  const int16_t hp = unittypes[17].hp;
  const int32_t end = nbrofunittypes();
  const std::string text =
      "#frobnicate 3\n"                        // 1 unknown
      "plain text\n"                           // 2 no command
      "#selectmonster 17\n"
      "#hp 99999\n"                            // 4 out of range
      "#hp\n"                                  // 5 no value
      "#name \"" + std::string(60, 'x') + "\"\n"   // 6 cut
      "#selectweapon \"No Such Thing\"\n"      // 7 section not ended (and no such weapon)
      "#dmg 5\n"                               // skipped: the section has no row
      "#end\n"
      "#newmonster 3999\n"                     // 10 past the capacity
      "#hp 20\n"                               // skipped: the section has no row
      "#end\n"
      "#newmonster 17\n"                       // 13 in use
      "#end\n"
      "#end\n"                                 // 15 outside a section
      "#name \"unterminated\n"                 // 16
      "#selectmonster 17\n";                   // 17, no #end at the end of the file
  EXPECT_EQ(read(text), 12) << log;
  for (const char* line : {"test.dm:1: unknown command #frobnicate", "test.dm:2: a line that is no command",
                           "test.dm:4: #hp 99999 is outside", "test.dm:5: #hp takes 1 argument",
                           "test.dm:6: #name: text cut to 31 characters",
                           "test.dm:7: #selectweapon before the #end of the section begun on line 3",
                           "test.dm:7: #selectweapon: no weapon No Such Thing", "test.dm:10: #newmonster 3999 is outside",
                           "test.dm:13: #newmonster 17: that row is in use", "test.dm:15: #end outside a section",
                           "test.dm:16: a text without its closing quote",
                           "test.dm:18: the file ends before the #end of the section begun on line 17"})
    EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
  EXPECT_EQ(unittypes[17].hp, hp);
  EXPECT_EQ(strlen(unittypes[17].name), size_t(UNITNAMELEN - 1));
  EXPECT_EQ(nbrofunittypes(), end);
}

TEST_F(ModReader, ATableFullOfNewRowsStopsAtItsCapacity) {
  std::string text;
  for (int32_t i = 0; i < MAXSITES; i++) text += "#newsite\n#name \"S" + std::to_string(i) + "\"\n#end\n";
  EXPECT_GT(read(text), 0);
  EXPECT_EQ(nbrofsites(), MAXSITES - 1);
  EXPECT_EQ(sites[size_t(MAXSITES - 1)].path, SITE_ENDPATH);
  EXPECT_NE(log.find("#newsite: the site table is full"), std::string::npos);
}

// The tables that a mod changes, as bytes.
std::vector<std::string> modtables() {
  auto bytes = [](const auto& table) { return std::string(reinterpret_cast<const char*>(&table), sizeof table); };
  return {bytes(unittypes), bytes(weapons), bytes(armors), bytes(items),
          bytes(sites),     bytes(nations), bytes(spells)};
}

TEST_F(ModReader, PuttingBackTheRowsAModChangedLeavesEveryTableAsBuiltIn) {
  const std::vector<std::string> builtin = modtables();
  ASSERT_EQ(gamedatachangedtable(), nullptr);
  // Every table, rows in the middle and at a table's end (whose end row moves to the table's last row).
  read("#selectmonster \"Archer\"\n#hp 14\n#copystats 18\n#flying\n#end\n"
       "#newmonster 3000\n#name \"Far Row\"\n#end\n"
       "#newweapon 998\n#name \"Last Weapon\"\n#dmg 9\n#end\n#selectweapon 1\n#clear\n#end\n"
       "#newarmor\n#name \"Ice Plate\"\n#prot body 18\n#end\n"
       "#selectitem \"Ring of Sorcery\"\n#constlevel 6\n#end\n"
       "#selectsite 1\n#path earth\n#end\n#newsite\n#name \"New Site\"\n#end\n"
       "#newnation\n#name \"Frostholm\"\n#addrecunit \"Archer\"\n#end\n"
       "#selectspell 5\n#fatigue 300\n#end\n#newspell 1998\n#name \"Last Spell\"\n#end\n");
  const std::vector<std::string> modded = modtables();
  for (size_t t = 0; t < builtin.size(); t++) EXPECT_NE(modded[t], builtin[t]) << "table " << t << " unchanged";
  EXPECT_NE(gamedatachangedtable(), nullptr);

  restorechangedgamedata();
  const std::vector<std::string> back = modtables();
  for (size_t t = 0; t < builtin.size(); t++) EXPECT_TRUE(back[t] == builtin[t]) << "table " << t << " differs";
  EXPECT_EQ(gamedatachangedtable(), nullptr);
  // The marks went with the restore: a second one changes nothing, and a mod read again is put back again.
  restorechangedgamedata();
  read("#selectspell 5\n#fatigue 300\n#end\n");
  restorechangedgamedata();
  EXPECT_TRUE(modtables() == builtin);
}

TEST_F(ModReader, AChangeNotMarkedStaysUntilEveryTableIsPutBack) {
  const std::vector<std::string> builtin = modtables();
  read("#selectspell 5\n#fatigue 300\n#end\n");
  spells[7].fatigue = 12345;   // changed behind the reader's back
  restorechangedgamedata();
  EXPECT_EQ(spells[7].fatigue, 12345);
  EXPECT_STREQ(gamedatachangedtable(), "spells");
  EXPECT_FALSE(modtables() == builtin);
  restoregamedata();
  EXPECT_TRUE(modtables() == builtin);
  EXPECT_EQ(gamedatachangedtable(), nullptr);
}

}  // namespace

namespace {
// A stream that gives its text and then ends, or fails with EIO as a disc
// that cannot read on.
struct FailingText {
  std::string text;
  bool fails;
  size_t at = 0;
};
ssize_t readfailing(void* cookie, char* buffer, size_t size) {
  FailingText& f = *static_cast<FailingText*>(cookie);
  if (f.at >= f.text.size()) {
    if (!f.fails) return 0;
    errno = EIO;
    return -1;
  }
  const size_t n = std::min(size, f.text.size() - f.at);
  memcpy(buffer, f.text.data() + f.at, n);
  f.at += n;
  return ssize_t(n);
}
}  // namespace

TEST_F(ModReader, AModWhoseReadingFailsPartWayIsNotUsedAtAll) {
  const int32_t archer = findunittype("Archer");
  const int16_t hp = unittypes[size_t(archer)].hp;
  const int32_t gold = poppergold;
  FailingText part{"#poppergold 80\n#selectmonster \"Archer\"\n#hp 99\n#en", true};
  cookie_io_functions_t io = {readfailing, nullptr, nullptr, nullptr};
  FILE* f = fopencookie(&part, "r", io);
  ASSERT_NE(f, nullptr);
  std::string problem;
  EXPECT_EQ(loadmodstream("cut.dm", f, &info, &problem), -1);
  fclose(f);
  EXPECT_EQ(poppergold, gold);
  EXPECT_EQ(unittypes[size_t(archer)].hp, hp);
  EXPECT_NE(problem.find("line 4"), std::string::npos) << problem;
  EXPECT_NE(problem.find("(the disc reported an error while reading)"), std::string::npos) << problem;
  // The same text read whole is used.
  FailingText whole{"#poppergold 80\n", false};
  f = fopencookie(&whole, "r", io);
  EXPECT_EQ(loadmodstream("whole.dm", f, &info, &problem), 0);
  fclose(f);
  EXPECT_EQ(poppergold, 80);
}
