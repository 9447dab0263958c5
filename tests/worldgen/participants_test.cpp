// The participants of a new game and their nations, the settings that the
// screens and the command line share, and the whole road of a new game
// through the questions that the player side answers with its screens
// (here answered by the test).
#include "support/mapfixture.h"

#include <cstring>
#include <deque>
#include <string>

#include "ai/design.h"
#include "runtime/fatal.h"
#include "runtime/options.h"
#include "runtime/rnd.h"
#include "support/dialogscript.h"
#include "world/gamedata.h"
#include "world/scores.h"
#include "world/world.h"
#include "worldgen/gamesetup.h"

namespace {

class Participants : public ShippedMapFolders {
 protected:
  void SetUp() override {
    ShippedMapFolders::SetUp();
    seedrnd(3);
    srand(3);
    allowedplayersgiven = 0;
  }
  int32_t controller(int32_t n) { return kingdom[size_t(n)].w[KW_CONTROLLER]; }
};

TEST_F(Participants, AFreshListTakesWhatTheMapAndTheCommandLineSay) {
  kingdom[3].w[KW_CONTROLLER] = CTRL_AI;   // a computer player of the map
  kingdom[3].w[KW_AILEVEL] = 4;
  kingdom[30].w[KW_CONTROLLER] = CTRL_AI;  // of another era: not offered
  nationcontrol[5] = 22;                   // --diffai 5
  nationcontrol[7] = -3;                   // --closed 7
  kingdom[7].w[KW_CONTROLLER] = CTRL_HUMAN;
  defaultparticipants(1);
  ASSERT_EQ(highestparticipant, 1);
  EXPECT_EQ(participants[0].nation, 3);
  EXPECT_EQ(participants[0].ailevel, 4);
  EXPECT_EQ(participants[1].nation, 5);
  EXPECT_EQ(participants[1].ailevel, 3);
  // Choosing again replaces a nation's controller; none removes it.
  setparticipant(3, CTRL_HUMAN, 0);
  EXPECT_EQ(participants[participantof(3)].controller, CTRL_HUMAN);
  setparticipant(5, CTRL_NONE, 0);
  EXPECT_EQ(participantof(5), -1);
  EXPECT_EQ(highestparticipant, 0);
  // The nations a map allows are the only ones offered.
  allowedplayersgiven = 1;
  memset(allowedplayers, 0, sizeof allowedplayers);
  allowedplayers[4] = 1;
  EXPECT_TRUE(nationplayable(4, 1));
  EXPECT_FALSE(nationplayable(3, 1));
  EXPECT_FALSE(nationplayable(4, 2));
  EXPECT_FALSE(nationplayable(25, 0));
}

TEST_F(Participants, NationsAreGivenOutAndDrawnAmongTheFreeOnes) {
  kingdom[40].w[KW_CONTROLLER] = CTRL_AI;   // left from an earlier choice
  allowedplayersgiven = 1;
  memset(allowedplayers, 0, sizeof allowedplayers);
  for (int32_t n : {0, 4, 7, 8}) allowedplayers[n] = 1;
  highestparticipant = -1;
  addparticipant(0, CTRL_HUMAN, 0);
  addparticipant(4, CTRL_AI, 3);
  addparticipant(-1, CTRL_AI, 5);
  addparticipant(-1, CTRL_AI, 9);   // levels stay within 1..5
  EXPECT_STREQ(participantsproblem(1, 1), "");
  assignnations(1);
  EXPECT_EQ(controller(0), CTRL_HUMAN);
  EXPECT_EQ(controller(4), CTRL_AI);
  EXPECT_EQ(kingdom[4].w[KW_AILEVEL], 3);
  EXPECT_EQ(controller(7), CTRL_AI);
  EXPECT_EQ(controller(8), CTRL_AI);
  EXPECT_EQ(kingdom[7].w[KW_AILEVEL] + kingdom[8].w[KW_AILEVEL], 10);
  EXPECT_EQ(controller(40), CTRL_NONE);
  int32_t playing = 0;
  for (int32_t k = 0; k < MAXPLAYERS; k++) playing += controller(k) != CTRL_NONE;
  EXPECT_EQ(playing, 4);
  // One random opponent more than there are free nations.
  addparticipant(-1, CTRL_AI, 2);
  EXPECT_STREQ(participantsproblem(1, 1), "Only 2 nations are left for the 3 random opponents.");
}

TEST_F(Participants, NationsDrawnAtRandomCanStartOnTheMap) {
  // Twenty land provinces and no sea: the nations of the sea (21 and 22 of
  // the early era) are never drawn while others can be.
  nbrlands = 20;
  for (int32_t l = 1; l <= 20; l++) provgeo[size_t(l)].x = provgeo[size_t(l)].y = int16_t(10 * l);
  ASSERT_TRUE(isuwnation(21) && isuwnation(22));
  for (int32_t seed = 1; seed <= 20; seed++) {
    seedrnd(seed);
    highestparticipant = -1;
    for (int32_t i = 0; i < 15; i++) addparticipant(-1, CTRL_AI, 2);
    assignnations(1);
    EXPECT_EQ(controller(21), CTRL_NONE) << seed;
    EXPECT_EQ(controller(22), CTRL_NONE) << seed;
  }
  EXPECT_STREQ(startroomproblem(), "");
  // A nation of the sea chosen by name finds no room, and is told so.
  setparticipant(21, CTRL_HUMAN, 0);
  assignnations(1);
  EXPECT_STREQ(startroomproblem(),
               "This map has room for 0 nations of the sea, not for 1. Choose fewer of them or another map.");
}

TEST_F(Participants, ListsThatCannotMakeAGame) {
  highestparticipant = -1;
  EXPECT_STREQ(participantsproblem(1, 0), "Choose at least one nation to play.");
  addparticipant(2, CTRL_AI, 2);
  EXPECT_STREQ(participantsproblem(1, 0), "");
  EXPECT_STREQ(participantsproblem(1, 1), "At least one nation must be played by a human.");
  addparticipant(30, CTRL_HUMAN, 0);
  EXPECT_NE(std::string(participantsproblem(1, 1)).find("cannot play in this game"), std::string::npos);
  removeparticipant(1);
  addparticipant(2, CTRL_HUMAN, 0);
  EXPECT_NE(std::string(participantsproblem(1, 1)).find("is chosen twice"), std::string::npos);
  EXPECT_DEATH(assignnations(1), "s2k: two players on same nation");
}

TEST_F(Participants, SettingsTakeTheCommandLinesValuesAndLimits) {
  // Every setting of the screens is an option of the command line with its
  // own limits and usage text.
  for (int32_t i = 0; i < nbrnewgamesettings; i++) {
    const NewGameSetting& s = newgamesettings[i];
    int32_t low = 0, high = 0;
    const char* help = nullptr;
    if (s.toggle) {
      EXPECT_FALSE(optionrange(s.option, &low, &high, &help)) << s.option;
      continue;
    }
    ASSERT_TRUE(optionrange(s.option, &low, &high, &help)) << s.option;
    EXPECT_LT(low, high);
    EXPECT_GE(settingvalue(s), low) << s.option;
    EXPECT_LE(settingvalue(s), high) << s.option;
    EXPECT_STRNE(help, "");
  }
  // The game's defaults for values not given, and the values given.
  applygamesettings(2);
  EXPECT_EQ(gameinfo.magicsites, 40);
  EXPECT_EQ(gameinfo.eventrarity, 1);
  EXPECT_EQ(gameinfo.victory, 0);
  parseoption("--totalvp");
  parseoption("12");
  parseoption("--magicsites");
  parseoption("60");
  parseoption("--capitalvp");
  parseoption("--masterpass");
  parseoption("quill");
  applygamesettings(2);
  EXPECT_EQ(gameinfo.magicsites, 60);
  EXPECT_EQ(gameinfo.victory, 1);
  EXPECT_EQ(gameinfo.victoryvalue, 6);   // half of the points, when not given
  EXPECT_EQ(vpprovinces[0], 12);
  EXPECT_TRUE(gameinfo.gameflags & 0x8);
  EXPECT_STREQ(masterpassword, "quill");
  capitalvp = 0;
  requiredvp = 9;
  applygamesettings(2);
  EXPECT_FALSE(gameinfo.gameflags & 0x8);
  EXPECT_EQ(gameinfo.victoryvalue, 9);
  // More points needed than stand in the world: as many as stand, and said.
  requiredvp = 20;
  DialogScript told("");
  applygamesettings(2);
  EXPECT_EQ(gameinfo.victoryvalue, 12);
  EXPECT_EQ(requiredvp, 12);
  EXPECT_NE(told.printed().find("Only 12 victory points stand in the world; 12 it is."), std::string::npos)
      << told.printed();
  char message[200] = "";
  EXPECT_FALSE(fitrequiredvp(message, sizeof message));   // it fits now
}

// The questions of a new game answered in turn by the test, as the screens
// would answer them; each answer list is taken from the front.
struct Answers {
  std::deque<int32_t> era, participants, gods, settings;
  int32_t asked = 0;
  std::string gname;
};
Answers* answers = nullptr;

int32_t take(std::deque<int32_t>& list) {
  answers->asked++;
  if (list.empty()) {
    ADD_FAILURE() << "a question more than the test answers";
    return 0;
  }
  int32_t a = list.front();
  list.pop_front();
  return a;
}
int32_t answerera() { return take(answers->era); }
int32_t answerparticipants(int32_t era) {
  int32_t a = take(answers->participants);
  if (a > 0) {
    // Two humans and two computers of the era (one drawn at random).
    const int32_t first = era == 2 ? 26 : 0;
    highestparticipant = -1;
    setparticipant(first, CTRL_HUMAN, 0);
    setparticipant(first + 1, CTRL_HUMAN, 0);
    addparticipant(-1, CTRL_AI, 2);
    addparticipant(first + 3, CTRL_AI, 5);
  }
  return a;
}
int32_t answergods(int32_t era, const char* gname) {
  int32_t a = take(answers->gods);
  answers->gname = gname;
  if (a > 0)
    for (int32_t k = 0; k < MAXPLAYERS; k++) {
      if (kingdom[size_t(k)].w[KW_CONTROLLER] != CTRL_HUMAN) continue;
      GodDesign d = randomdesign(k, DESIGNPOINTS);
      strlcopy(d.password, "pw", 50);
      char why[MSGLEN];
      EXPECT_EQ(savedesign(d, gname, why), 0) << why;
    }
  return a;
}
int32_t answersettings() { return take(answers->settings); }

class NewGameRoad : public Participants {
 protected:
  void SetUp() override {
    Participants::SetUp();
    textonly = 0;   // the questions go to the screens
    static const NewGameScreens screens = {answerera, answerparticipants, answergods, answersettings};
    setnewgamescreens(&screens);
    answers = &state;
  }
  void TearDown() override {
    setnewgamescreens(nullptr);
    answers = nullptr;
    Participants::TearDown();
  }
  Answers state;
};

TEST_F(NewGameRoad, EveryScreenGoesBackAndTheGameIsMadeAtTheEnd) {
  strlcopy(mapfile, "veyrmark.map", sizeof mapfile);
  // The map information screen and the game's name on the console, twice:
  // the era screen goes back to the map once, and every pass from the map
  // on asks the name.
  DialogScript console("999\nroad\n999\nroad\n");
  // Back from the era to the map, from the participants to the era, from
  // the gods to the participants and from the settings to the gods.
  state.era = {0, 2, 2};
  state.participants = {0, 1, 1};
  state.gods = {0, 1, 1};
  state.settings = {0, 1};
  char made[100];
  ASSERT_EQ(createnewgame(nullptr, 0, made), 1);
  EXPECT_STREQ(made, "road");
  EXPECT_EQ(state.asked, 3 + 3 + 3 + 2);
  EXPECT_TRUE(state.era.empty() && state.participants.empty() && state.gods.empty() && state.settings.empty());
  EXPECT_EQ(state.gname, "road");
  EXPECT_EQ(gameinfo.era, 2);
  int32_t humans = 0, computers = 0;
  for (int32_t k = 0; k < MAXPLAYERS; k++) {
    humans += kingdom[size_t(k)].w[KW_CONTROLLER] == CTRL_HUMAN;
    computers += kingdom[size_t(k)].w[KW_CONTROLLER] == CTRL_AI;
    if (kingdom[size_t(k)].w[KW_CONTROLLER] != CTRL_NONE) {
      EXPECT_EQ(nations[size_t(k)].era, 2);
    }
  }
  EXPECT_EQ(humans, 2);
  EXPECT_EQ(computers, 2);
  EXPECT_TRUE(fileexists("%s/road/ftherlnd", savepath));
  EXPECT_TRUE(fileexists("%s/road/%s.trn", savepath, nations[26].fileword));
  EXPECT_TRUE(fileexists("%s/road/%s.trn", savepath, nations[27].fileword));
  EXPECT_STREQ(password[26], "pw");
}

TEST_F(NewGameRoad, LeavingTheMapChooserMakesNothing) {
  DialogScript console("1\n");
  char made[100] = "x";
  EXPECT_EQ(createnewgame(nullptr, 0, made), 0);
  EXPECT_STREQ(made, "");
  EXPECT_EQ(state.asked, 0);
}

TEST_F(NewGameRoad, AMapWithoutRoomSendsThePlayerBackToTheParticipants) {
  Picture p(60, 20);
  p.redcolumn(20), p.redcolumn(40);
  p.white(10, 10), p.white(30, 10), p.white(50, 10);
  writetga(mapdir() + "tiny.tga", p, false);
  writetext(mapdir() + "tiny.map", "#vey2title Tiny\n#imagefile tiny.tga\n#neighbour 1 2\n#neighbour 2 3\n");
  ASSERT_EQ(system(("rm " + mapdir() + "testvale.map " + mapdir() + "veyrmark.map").c_str()), 0);
  // The map, Ok, the name; at the end the chooser is left.
  DialogScript console("1000\n999\ntiny\n1\n");
  state.era = {1, 0};
  state.participants = {1, 0};   // four nations do not fit on three provinces
  char made[100];
  EXPECT_EQ(createnewgame(nullptr, 0, made), 0);
  EXPECT_NE(console.printed().find("has room for 3 nations on land, not for 4"), std::string::npos);
  EXPECT_EQ(state.asked, 4);
  EXPECT_FALSE(fileexists("%s/tiny/ftherlnd", savepath));
}

}  // namespace
