// The screens call the sound as a player hears it, through the null device
// (which mixes only when asked, so what the screens started is still there
// to count): the main menu's music, the GUI's click on a toggle, the turn
// screen's piece of the game's era, faded in, and the preferences' music
// volume and switch.
#include <gtest/gtest.h>

#include "frontend/frontend.h"
#include "frontend/frontendwindow.h"
#include "gfx/gfx.h"
#include "host/hostgame.h"
#include "screens/turnscreen.h"
#include "sound/mixer.h"
#include "sound/samples.h"
#include "sound/sound.h"
#include "support/pacedscript.h"
#include "world/recruit.h"

namespace {
// Sound as the start-up sets it, over the build's samples.
void startsound(int32_t music) {
  init_sound("vey3 test", SOUND_NULLDEVICE, VEY3_DATA_DIR);
  set_master_volume(100);
  mainmusic = 1;
  musicvolume = music;
  guisetsounds(-1, SND_SCROLL, SND_TOGGLE);
  guisetsoundvols(90, 90, 90);
}

int32_t playingsample(int32_t sample) { return channelsplaying(sample, sample); }
}  // namespace

TEST(ScreenSound, TheMainMenuPlaysItsMusicAndAToggleClicks) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  frontendtest::Folders f;
  startsound(200);
  // The preferences' map wheel zoom (a toggle) clicked twice, then Quit.
  setinputscript(paced("waitfor 4\nclickid 4\nwaitfor 999\nclickid 17\nclickid 17\nclickid 999\n"
                       "waitfor 6\nclickid 6\n").c_str());
  mainmenu();
  EXPECT_EQ(musicplaying(0), 1);
  EXPECT_EQ(playingsample(erasongs(0).first), 1);   // once, however often the menu was shown
  EXPECT_EQ(playingsample(SND_TOGGLE), 2);
  EXPECT_EQ(playingsample(SND_SCROLL), 0);
  deinit_sound();
}

TEST(ScreenSound, TheMusicVolumeAndSwitchMoveTheMusicAndLeaveTheEffectsAlone) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  frontendtest::Folders f;
  startsound(160);
  starteramusic(0, musicvolume);
  const int32_t music = 0;   // the first free channel
  ASSERT_EQ(playingsample(erasongs(0).first), 1);
  ASSERT_EQ(channelplaying(music), 1);
  const int32_t effect = play_sample(SND_HORN, 90, 0, 1);   // a battle sound at its own volume
  ASSERT_GE(effect, 0);
  nullsoundrun(2 * MIXRATE);
  ASSERT_NEAR(channelvolume(music), 160, 2);
  // The music volume a step up (62 % to 72 %): the music comes to it, the effect stays.
  setinputscript(paced("waitfor 999\nclickid 15\nclickid 999\n").c_str());
  preferences();
  EXPECT_EQ(musicvolume, 72 * 255 / 100);
  nullsoundrun(2 * MIXRATE);
  EXPECT_NEAR(channelvolume(music), musicvolume, 2);
  EXPECT_EQ(channelvolume(effect), 90);
  // The menu music switched off: the music fades out and stops, the effect plays on.
  setinputscript(paced("waitfor 999\nclickid 13\nclickid 999\n").c_str());
  preferences();
  EXPECT_EQ(mainmusic, 0);
  nullsoundrun(3 * MIXRATE);
  EXPECT_EQ(channelplaying(music), 0);
  EXPECT_EQ(channelplaying(effect), 1);
  EXPECT_EQ(channelvolume(effect), 90);
  deinit_sound();
  mainmusic = 1;
}

class TurnScreenSound : public HostGame {};

TEST_F(TurnScreenSound, TheTurnScreenFadesTheMenuMusicOutAndItsErasIn) {
  create("testvale.map", {0, 1});
  RealWindow w;
  ASSERT_TRUE(w.ok);
  installmapscreens();
  int32_t turn = 0;
  ASSERT_TRUE(openturn(0, &turn));
  ASSERT_GE(gameinfo.era, 1);
  startsound(160);
  starteramusic(0, musicvolume);   // the menu's piece, as the main menu left it
  ASSERT_EQ(musicplaying(0), 1);
  openturnscreen(home(0), 0, 0, game.c_str(), turn, gamenbr, 0);
  EXPECT_EQ(musicplaying(0), 0);
  ASSERT_EQ(musicplaying(gameinfo.era), 1);
  // Two seconds later the menu's piece is gone and the era's plays at the music volume.
  nullsoundrun(2 * MIXRATE);
  const SongRange songs = erasongs(gameinfo.era);
  int32_t channel = -1;
  for (int32_t c = 0; c < MIXCHANNELS; c++)
    if (channelplaying(c)) channel = c;
  ASSERT_GE(channel, 0);
  EXPECT_NEAR(channelvolume(channel), 160, 2);
  EXPECT_EQ(channelsplaying(0, SOUNDSAMPLES), 1);
  EXPECT_EQ(channelsplaying(songs.first, songs.first + songs.count - 1), 1);
  // Opened again, the piece already playing goes on; with music off nothing starts.
  openturnscreen(home(0), 0, 0, game.c_str(), turn, gamenbr, 0);
  EXPECT_EQ(channelsplaying(0, SOUNDSAMPLES), 1);
  mainmusic = 0;
  stopallchannels();
  openturnscreen(home(0), 0, 0, game.c_str(), turn, gamenbr, 0);
  EXPECT_EQ(channelsplaying(0, SOUNDSAMPLES), 0);
  deinit_sound();
  mainmusic = 1;
}
