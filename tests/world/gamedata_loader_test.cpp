// The strict loader: what it refuses and how it reports it, and the snapshot.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "world/gamedata.h"

namespace {

// A unit-type row that the data leaves unused (searched from the top).
int freeunitrow() {
  loadgamedata();
  for (int m = BUILTIN_UNITTYPES - 2; m > 0; m--)
    if (!isusedunittype(m) && !isusedunittype(m + 1)) return m;
  return -1;
}

// The text with every "@" replaced by the free row and "&" by the row after it.
std::string rows(const char* text) {
  static const int r = freeunitrow();
  std::string out;
  for (const char* p = text; *p; p++) {
    if (*p == '@') out += std::to_string(r);
    else if (*p == '&') out += std::to_string(r + 1);
    else out += *p;
  }
  return out;
}

// The embedded files, with one of them replaced (or added) by the given text.
struct Files {
  std::vector<std::string> names, texts;
  Files() {
    for (int i = 0; i < embeddedfilecount(); i++) {
      names.push_back(embeddedfilename(i));
      texts.push_back(embeddedfiletext(i));
    }
  }
  std::string& text(const char* name) {
    for (size_t i = 0; i < names.size(); i++)
      if (names[i] == name) return texts[i];
    names.push_back(name);
    texts.push_back("");
    return texts.back();
  }
  void drop(const char* name) {
    for (size_t i = 0; i < names.size(); i++)
      if (names[i] == name) { names.erase(names.begin() + i); texts.erase(texts.begin() + i); return; }
  }
  // Loads and returns the error text ("" on success).
  std::string load() {
    std::vector<const char*> n, t;
    for (size_t i = 0; i < names.size(); i++) { n.push_back(names[i].c_str()); t.push_back(texts[i].c_str()); }
    char err[800];
    int r = loadgamedatafrom(n.data(), t.data(), (int)n.size(), err, sizeof err);
    if (r == 0) return "";
    EXPECT_NE(err[0], 0);
    return err;
  }
};

class GameDataLoader : public ::testing::Test {
 protected:
  void TearDown() override { loadgamedata(); }
};

TEST_F(GameDataLoader, EmbeddedDataLoads) {
  Files f;
  EXPECT_EQ(f.load(), "");
}

TEST_F(GameDataLoader, RefusesBadInputNamingFileAndLine) {
  struct Case { const char* file; const char* append; const char* expect; };
  const Case cases[] = {
      {"units.txt", "\n@ \"Odd\" hp=10 colour=3\n", "unknown key 'colour'"},
      {"units.txt", "\n@ \"Odd\" hp=70000\n", "value 70000 too large for 'hp'"},
      {"units.txt", "\n@ \"A name that is far too long for a unit\"\n", "longer than 31 characters"},
      {"units.txt", "\n17 \"Archer\" hp=10\n", "row 17 defined twice"},
      {"units.txt", "\n2107 \"Past the end\"\n", "past the table's last row"},
      {"units.txt", "\n@ \"Odd\" flags=swims\n", "unknown flag 'swims'"},
      {"units.txt", "\n@ \"Odd\" weapons=\"Banana\"\n", "no weapon called \"Banana\""},
      {"units.txt", "\n@ \"Odd\" like=&\n", "'like' needs a row defined before"},
      {"units.txt", "\n@ \"Odd\" hp=1x\n", "bad number in 'hp'"},
      {"units.txt", "\n  hp=3\n@ \"Odd\" hp\n", "'key=value' expected"},
      {"weapons.txt", "\n500 \"Odd\" dmg=-999\n", "damage outside"},
      {"armors.txt", "\n170 \"Odd\" type=body prot=tail:3\n", "bad number in 'prot'"},
      {"items.txt", "\n300 \"Odd\" level=99 type=misc\n", "level outside 0..98"},
      {"items.txt", "\n300 \"Odd\" level=1\n", "without a type"},
      {"sites.txt", "\n700 \"Odd\" path=99\n", "bad path"},
      {"sites.txt", "\n700 \"Odd\" path=fire effects=1:2,1:2,1:2,1:2,1:2,1:2\n", "more than five effects"},
      {"nations.txt", "\n72 \"Odd\" era=1 file=\"x9\"\n", "past the table's last row"},
      {"nations.txt", "\n", ""},
      {"mercenaries.txt", "\n60 \"Gap\" eras=early tier=0 com=34\n", "contiguous"},
      {"epithets.txt", "\n\"end\"\n", "'end' in the list"},
      {"provnames.txt", "\n@moon\nLuna\n", "unknown name list 'moon'"},
      {"descriptions.txt", "\n:Tax\nagain\n", "key 'Tax' given twice"},
      {"personalnames.txt", "\n@99\nBob\n", "name type 1..63 expected"},
      // Lines appended to garrisons.txt join its last recipe.
      {"garrisons.txt", "\n@100 x\n", "template 1..99 expected"},
      {"garrisons.txt", "\n@58 again\n", "template 58 given twice"},
      {"garrisons.txt", "\nfly 3\n", "unknown step 'fly'"},
      {"garrisons.txt", "\nsquad 5000 1\n", "no unit row 5000"},
      {"garrisons.txt", "\ncom 1+openroll(3)\n", "a unit is a number or"},
      {"garrisons.txt", "\nitem 50 Banana Peel\n", "no item called Banana Peel"},
      {"garrisons.txt", "\nsite Nowhere At All\n", "no site called Nowhere At All"},
      {"garrisons.txt", "\nmagic sun 2\n", "unknown path 'sun'"},
      {"garrisons.txt", "\nsquad 30 openroll(s/0)\n", "division by 0"},
      {"garrisons.txt", "\nsquad 30 s/n\n", "'/' takes a number"},
      {"garrisons.txt", "\nsquad 30 openroll(s\n", "')' expected"},
      {"garrisons.txt", "\ncase 0 1\n", "case outside a pick"},
      {"garrisons.txt", "\npick 4\nequip 1\nend\n", "a pick begins with a case"},
      {"garrisons.txt", "\npick 4\ncase 0 4\nend\n", "case: 0..3 expected"},
      {"garrisons.txt", "\npick 2\ncase 0 0\n", "pick without end"},
  };
  for (const Case& c : cases) {
    Files f;
    f.text(c.file) += strcmp(c.file, "units.txt") == 0 ? rows(c.append) : std::string(c.append);
    std::string err = f.load();
    if (c.expect[0] == 0) { EXPECT_EQ(err, "") << c.file; continue; }
    EXPECT_NE(err.find(c.expect), std::string::npos) << c.file << ": " << err;
    EXPECT_EQ(err.rfind(c.file, 0), 0u) << err;   // the message begins with the file name
  }
  // the line number points at the offending line
  Files f;
  f.text("forts.txt") = "0 \"None\"\n1 \"Simple Hillfort\"\n\n3 \"Fortified City\" moat=1\n";
  EXPECT_NE(f.load().find("forts.txt:4: unknown key 'moat'"), std::string::npos);
}

TEST_F(GameDataLoader, TheEventTableHasEveryRowAndKnownCodes) {
  struct Case { const char* text; const char* expect; };
  const Case cases[] = {
      {"0 \"Only one\" rarity=1\n", "event row 1 missing"},
      {"0 \"Odd\" rarity=9\n", "rarity 1..4 expected"},
      {"0 \"Odd\" rarity=1 req=rainbow\n", "unknown requirement in 'req'"},
      {"0 \"Odd\" rarity=1 effect=gold:5,hail\n", "unknown effect in 'effect'"},
      {"0 \"Odd\" rarity=1 req=good,land,farm,coast,sea,cave\n", "more than five requirements"},
      {"0 \"Odd\"\n", "event 0 needs a rarity"},
  };
  for (const Case& c : cases) {
    Files f;
    f.text("events.txt") = c.text;
    const std::string err = f.load();
    EXPECT_NE(err.find(c.expect), std::string::npos) << c.text << ": " << err;
  }
  {
    Files f;   // a unit type that does not exist
    std::string& t = f.text("events.txt");
    t.replace(t.find("\"Barbarian\""), 11, "\"Dragonfly\"");
    EXPECT_NE(f.load().find("Dragonfly"), std::string::npos);
  }
  // The built-in rows: codes and unit types as the file names them.
  loadgamedata();
  int32_t monsters = 0;
  for (const Event& e : randevents) {
    EXPECT_GE(e.rarity, 1);
    for (int32_t i = 0; i < EVENTEFFECTS; i++)
      if (e.effect[i] == EVE_MONSTERS) {
        monsters++;
        EXPECT_TRUE(isusedunittype(e.effectval[i]));
      }
  }
  EXPECT_GT(monsters, 20);
}

TEST_F(GameDataLoader, RefusesMissingRowsAndFiles) {
  {
    Files f;   // a bound row renamed
    std::string& t = f.text("weapons.txt");
    t.replace(t.find("\"Useless Kick\""), 14, "\"Kick\"");
    EXPECT_NE(f.load().find("row 346 must be \"Useless Kick\", found \"Kick\""), std::string::npos);
  }
  {
    Files f;   // a bound row dropped
    std::string& t = f.text("armors.txt");
    t.replace(t.find("\n0 \"Nothing\""), 1, "\n#");
    EXPECT_NE(f.load().find("required row 0 \"Nothing\" missing"), std::string::npos);
  }
  {
    Files f;   // a nation row dropped
    std::string& t = f.text("nations.txt");
    size_t at = t.find("\n5 \"");
    t[at + 1] = '#';
    EXPECT_NE(f.load().find("required nation row 5 missing"), std::string::npos);
  }
  {
    Files f;
    f.drop("spells.txt");
    EXPECT_EQ(f.load(), "spells.txt: data file missing");
  }
  {
    Files f;
    f.text("extra.txt") = "x";
    EXPECT_EQ(f.load(), "extra.txt: unknown data file");
  }
}

TEST_F(GameDataLoader, FailedLoadLeavesTablesClearAndRestoreBringsThemBack) {
  loadgamedata();   // takes the snapshot
  const std::string lastdescription = descrtextof(nbrdescrs - 1);
  ASSERT_FALSE(lastdescription.empty());
  Files f;
  f.text("units.txt") += rows("\n@ \"Odd\" hp=-40000\n");
  EXPECT_NE(f.load(), "");
  EXPECT_EQ(findunittype("Archer"), -1);
  EXPECT_EQ(findunittype("no one"), -1);   // cleared rows have no names to match
  EXPECT_EQ(finditem("Champion's Trident"), 0);
  descrtext.fill('x');   // as a longer pool would leave it
  restoregamedata();
  EXPECT_EQ(findunittype("Archer"), 17);
  EXPECT_EQ(descrtextof(nbrdescrs - 1), lastdescription);
  // a change made after loading is undone by restoring the snapshot
  unittypes[17].hp = 99;
  strcpy(nations[0].name, "Changed");
  restoregamedata();
  EXPECT_NE(unittypes[17].hp, 99);
  EXPECT_STREQ(nations[0].name, "Raraduvizaro");
}

// Damaged files are refused with a message or loaded; never read out of bounds.
TEST_F(GameDataLoader, SurvivesDamagedFiles) {
  const char* files[] = {"units.txt", "items.txt", "nations.txt", "mercenaries.txt", "provnames.txt", "descriptions.txt"};
  const char junk[] = "\"=:,#@ \n\t-9x0\xff";
  uint32_t seed = 12345;
  auto next = [&seed]() { seed = seed * 1103515245u + 12345u; return seed >> 8; };
  int refused = 0;
  for (int round = 0; round < 60; round++) {
    Files f;
    std::string& t = f.text(files[round % 6]);
    for (int k = 0; k < 4; k++) {
      size_t at = next() % t.size();
      switch (next() % 3) {
        case 0: t[at] = junk[next() % (sizeof junk - 1)]; break;
        case 1: t.erase(at, next() % 40); break;
        case 2: t.insert(at, std::string(next() % 300, junk[next() % (sizeof junk - 1)])); break;
      }
    }
    std::string err = f.load();
    if (!err.empty()) {
      refused++;
      EXPECT_NE(err.find(".txt"), std::string::npos) << err;   // names a file
    }
  }
  EXPECT_GT(refused, 20);
}

TEST_F(GameDataLoader, FormatDetails) {
  Files f;
  f.text("units.txt") += rows(
      "\n# a comment line\n@ \"Copy\" like=17 hp=33\n  flags=undead,female ab=198:15\n"
      "\"Next\" like=@\n");
  f.text("weapons.txt") += "\n500 \"Whirl\" dmg=4 flags=nostr,magic secondaryalways=\"Fist\" ab=189:5\n";
  f.text("items.txt") += "\n300 \"Cursed Ring\" level=1 type=misc path=blood:1 cursed=1 spell=\"Scrying\"\n";
  f.text("descriptions.txt") += "\n:Multi\nline one\nline two\n\n";
  ASSERT_EQ(f.load(), "");
  const int r = std::stoi(rows("@"));
  const Monster& m = unittypes[r];
  EXPECT_EQ(m.hp, 33);
  EXPECT_EQ(m.att, unittypes[17].att);
  EXPECT_TRUE(m.flags & MF_UNDEAD);
  EXPECT_TRUE(m.flags & MF_FEMALE);
  EXPECT_TRUE(m.flags2 & MF2_UNDEADCLASS);   // undead count against undead leadership
  int k = 0;
  while (m.abilityid[k] != 0 && m.abilityid[k] != AB_FIRERES) k++;
  EXPECT_EQ(m.abilityid[k], AB_FIRERES);
  EXPECT_EQ(m.abilityval[k], 15);
  EXPECT_STREQ(unittypes[r + 1].name, "Next");    // a quoted head takes the next row
  EXPECT_EQ(unittypes[r + 1].hp, 33);
  EXPECT_EQ(weapons[500].flags & (WF_STRENGTH | WF_MUNDANE), 0u);
  EXPECT_EQ(weapons[500].secondaryeffect, -92);   // "always" is stored negative
  EXPECT_EQ(weapons[500].abilityid[0], 189);
  EXPECT_EQ(weapons[500].abilityval[0], 5);
  EXPECT_EQ(items[300].cursed, -1);
  EXPECT_EQ(items[300].mainpath, 7);
  EXPECT_STREQ(items[300].spell, "Scrying");
  EXPECT_STREQ(descrtextof(finddescr("multi")), "line one\nline two");
}

// A copied row takes the gear that its original names, unless it names its own.
TEST_F(GameDataLoader, LikeCopiesNamedGear) {
  const int spear = 1, fist = 92;
  {
    Files f;
    f.text("units.txt") += rows("\n@ \"Named\" like=17 weapons=\"Spear\",\"Fist\" armors=\"Buckler\"\n& \"Twin\" like=@\n");
    ASSERT_EQ(f.load(), "");
    const int r = std::stoi(rows("@"));
    EXPECT_EQ(unittypes[r + 1].weapon[0], spear);
    EXPECT_EQ(unittypes[r + 1].weapon[1], fist);
    EXPECT_EQ(unittypes[r + 1].armor[0], findarmor("Buckler"));
  }
  {
    Files f;
    f.text("units.txt") += rows("\n@ \"Named\" like=17 weapons=\"Spear\",\"Fist\"\n& \"Armed\" like=@ weapons=\"Fist\"\n");
    ASSERT_EQ(f.load(), "");
    const int r = std::stoi(rows("@"));
    EXPECT_EQ(unittypes[r + 1].weapon[0], fist);
    EXPECT_EQ(unittypes[r + 1].weapon[1], 0);
    EXPECT_EQ(unittypes[r].weapon[1], fist);     // the original keeps its own
  }
}

}  // namespace
