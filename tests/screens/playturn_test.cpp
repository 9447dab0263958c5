// Choosing and opening a turn without a window: what the nation list does
// first, the lines it shows, the password, the battle markers of the turn
// file's replays, and the failures that end the program or leave the order
// file whole.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "host/hostgame.h"
#include "screens/turnscreen.h"
#include "support/dialogscript.h"
#include "support/gamefolders.h"
#include "support/smallworld.h"

namespace {
class OpenTurn : public HostGame {
 protected:
  void SetUp() override {
    HostGame::SetUp();
    memset(enteredpass, 0, sizeof enteredpass);
  }
};
}  // namespace

TEST(PlayStart, MenuUnlessOneHumanOrEveryoneReadyWithAutomaticHosting) {
  // Two humans: the menu, whoever has played.
  EXPECT_EQ(playstart(2, 1, 0, 1, true, false, true).what, PlayStart::menu);
  // One human with a host file opens that nation directly, the waiting
  // one before a ready one; once it has played, the next pass hosts.
  PlayChoice one = playstart(1, 0, 3, -1, true, false, true);
  EXPECT_EQ(one.what, PlayStart::open);
  EXPECT_EQ(one.nation, 3);
  EXPECT_EQ(playstart(1, 1, -1, 3, true, false, false).what, PlayStart::host);
  // ... but on the first pass it opens the ready nation (already played).
  one = playstart(1, 1, -1, 3, true, false, true);
  EXPECT_EQ(one.what, PlayStart::open);
  EXPECT_EQ(one.nation, 3);
  // Without a host file a single human still gets the menu.
  EXPECT_EQ(playstart(1, 0, 3, -1, false, false, true).what, PlayStart::menu);
  // Automatic hosting with everyone ready hosts from the second pass on.
  EXPECT_EQ(playstart(3, 3, -1, 2, true, true, false).what, PlayStart::host);
  EXPECT_EQ(playstart(3, 2, 1, 2, true, true, false).what, PlayStart::menu);
}

TEST(NationLine, PlayedNationsAreMarkedAndTheDebugLevelShowsTheOrderTurn) {
  makesmallworld();
  strlcopy(nations[4].name, "Ermor", NAMELEN);
  char line[200];
  nationline(line, sizeof line, 4, 7, 7, true);
  EXPECT_STREQ(line, "- Ermor (turn nbr 7)");
  nationline(line, sizeof line, 4, 7, 6, false);
  EXPECT_STREQ(line, "Ermor (turn nbr 7)");
  debuglevel = 1;
  nationline(line, sizeof line, 4, 7, -1, false);
  debuglevel = 0;
  EXPECT_STREQ(line, "Ermor (turn nbr 7)(2h -1)");
}

TEST(Passwords, TheNationsOwnOrTheMasterPasswordAndRememberedEntries) {
  EXPECT_TRUE(passwordmatches("abc", "abc", ""));
  EXPECT_FALSE(passwordmatches("abd", "abc", ""));
  EXPECT_TRUE(passwordmatches("boss", "abc", "boss"));
  // An empty master password opens nothing.
  EXPECT_FALSE(passwordmatches("", "abc", ""));
  makesmallworld();
  memset(enteredpass, 0, sizeof enteredpass);
  strlcopy(password[5], "abc", 50);
  strlcopy(password[6], "abc", 50);
  masterpassword[0] = 0;
  EXPECT_TRUE(passwordknown(4));   // no password at all
  EXPECT_FALSE(passwordknown(5));
  strlcopy(enteredpass[5], "abc", 50);
  EXPECT_TRUE(passwordknown(5));
  EXPECT_FALSE(passwordknown(6)) << "an entry opens its own nation only";
  strlcopy(enteredpass[5], "boss", 50);
  EXPECT_FALSE(passwordknown(5));
  strlcopy(masterpassword, "boss", 50);
  EXPECT_TRUE(passwordknown(5));
}

TEST_F(OpenTurn, AWrongPasswordGivesNothingAwayAndALongOneOpens) {
  const std::string pass(49, 'p');
  create("testvale.map", {0, 1}, 1, pass.c_str());
  // Three wrong entries: each refused alone, nothing written.
  for (const char* entry : {"wrong\n", "\n", "pppp\n"}) {
    DialogScript s(entry);
    EXPECT_EQ(ppt(0, game.c_str()), -2);
    EXPECT_NE(s.printed().find("Wrong Password!"), std::string::npos);
    EXPECT_EQ(s.printed().find(pass), std::string::npos);
  }
  EXPECT_EQ(enteredpass[0][0], 0);
  // All 49 characters are read: the screen is reached (and stops there, as
  // no window is open).
  DialogScript s(pass + "\n");
  EXPECT_DEATH(ppt(0, game.c_str()), "render_frame: no window");
}

TEST_F(OpenTurn, AlreadyPlayedIsAskedBeforeThePasswordAndNoAnswerIsAWrongOne) {
  create("testvale.map", {0, 1}, 1, "pw");
  play(0, [] {});   // orders of this turn are in
  DialogScript s("y\nwrong\n");
  EXPECT_EQ(ppt(0, game.c_str()), -2);
  const size_t asked = s.printed().find("already played"), prompt = s.printed().find("Enter password for");
  ASSERT_NE(asked, std::string::npos) << s.printed();
  ASSERT_NE(prompt, std::string::npos) << s.printed();
  EXPECT_LT(asked, prompt);
  EXPECT_NE(s.printed().find("Wrong Password!"), std::string::npos);
  // A prompt left without an answer leaves the entry empty: a wrong password.
  DialogScript none("");
  EXPECT_EQ(ppt(0, game.c_str()), -2);
  EXPECT_NE(none.printed().find("Wrong Password!"), std::string::npos);
}

TEST_F(OpenTurn, AMissingOrCorruptedTurnFileEndsWithStatusOne) {
  create("testvale.map", {0, 1});
  std::vector<uint8_t> bytes = readbytes(trnpath(0));
  ASSERT_GT(bytes.size(), 100u);
  bytes[bytes.size() / 2] ^= 0x55;
  writebytes(trnpath(0), bytes);
  EXPECT_EXIT(ppt(0, game.c_str()), ::testing::ExitedWithCode(1), "");
  remove(trnpath(1).c_str());
  EXPECT_EXIT(ppt(1, game.c_str()), ::testing::ExitedWithCode(1), "");
  EXPECT_DEATH(ppt(95, game.c_str()), "ppt: bad player");
}

TEST_F(OpenTurn, BattleMarkersFollowTheReplaysOfTheTurnFile) {
  create("testvale.map", {0, 1});
  const int32_t lands = nbrlands;
  // A stream of turn data with three replays: land 2, land 0 and a land
  // beyond the map. Only land 2 is marked; an old marker is cleared.
  land[3].vpword = VPW_BATTLE | 2;
  std::vector<uint8_t> bytes;
  for (int32_t l : {2, 0, lands + 1}) {
    for (char c : std::string("_vcr_VCR")) bytes.push_back(uint8_t(c));
    for (int32_t v : {l, 1, 2})
      for (int b = 0; b < 4; b++) bytes.push_back(uint8_t(v >> (8 * b)));
  }
  FILE* f = bytestream(bytes);
  EXPECT_EQ(markbattles(f), 3);
  fclose(f);
  EXPECT_TRUE(land[2].vpword & VPW_BATTLE);
  EXPECT_EQ(land[3].vpword, 2);   // the victory points stay
  EXPECT_FALSE(land[0].vpword & VPW_BATTLE);
}

TEST_F(OpenTurn, AnOrderFileThatCannotBeWrittenIsReportedAndNothingIsReplaced) {
  create("testvale.map", {0, 1});
  int32_t t = 0;
  ASSERT_TRUE(openturn(0, &t));
  ASSERT_TRUE(write2hfile(0, game.c_str(), t, filegamenumber));
  EXPECT_EQ(checkcrc(orderpath(0).c_str()), 1);
  // A folder where the order file should go cannot be replaced by it.
  remove(orderpath(0).c_str());
  ASSERT_EQ(mkdir(orderpath(0).c_str(), 0755), 0);
  writebytes(orderpath(0) + "/kept", {1, 2, 3});
  EXPECT_FALSE(write2hfile(0, game.c_str(), t, filegamenumber));
  EXPECT_EQ(readbytes(orderpath(0) + "/kept"), std::vector<uint8_t>({1, 2, 3}));
}
