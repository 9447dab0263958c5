// The Mods screen in a real window: the mods of the folder with their
// names, a click enables or disables one and the settings file keeps it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "frontend/frontend.h"
#include "gfx/gfx.h"
#include "gfx/xwindow.h"
#include "mods/mods.h"
#include "runtime/folders.h"
#include "runtime/settings.h"
#include "runtime/util.h"

namespace {

TEST(ModScreen, ClicksEnableAndDisableModsAndTheSettingsKeepThem) {
  RealWindow w;
  ASSERT_TRUE(w.ok);
  const std::string root = tempfile("modscreen");
  std::filesystem::remove_all(root);
  for (const char* sub : {"/mods", "/conf"}) std::filesystem::create_directories(root + sub);
  std::filesystem::copy_file(std::string(VEY3_SOURCE_DIR) + "/data/mods/longwinter.dm", root + "/mods/longwinter.dm");
  FILE* f = fopen((root + "/mods/second.dm").c_str(), "w");
  ASSERT_NE(f, nullptr);
  fputs("#modname \"Second Mod\"\n#version 0.50\n", f);
  fclose(f);
  strlcopy(modpath, (root + "/mods").c_str(), PATHLEN);
  strlcopy(confpath, (root + "/conf").c_str(), PATHLEN);
  clearenabledmods();
  enablemod("second.dm");
  const std::string shot = tempfile("modscreen.ppm");
  // longwinter.dm is the first of the list, second.dm the second.
  setinputscript(("waitfor 1\nclickid 1\nwait 2\nclickid 2\nwait 2\nmove 790 10\nwait 3\nshot " + shot +
                  "\nwait 2\nclickid 999\nwait 2\n").c_str());
  modscreen();
  EXPECT_TRUE(modenabled("longwinter.dm"));
  EXPECT_FALSE(modenabled("second.dm"));
  // The settings file holds the list.
  clearenabledmods();
  loadconfig();
  EXPECT_TRUE(modenabled("longwinter.dm"));
  EXPECT_FALSE(modenabled("second.dm"));
  const Shot s = readshot(shot);
  ASSERT_GT(s.width, 0);
  EXPECT_GT(pixelslike(s, {100, 100, 600, 400}, 255, 255, 255, 60), 60);
  if (!getenv("VEY3_KEEPSHOTS")) dropshot(shot);
  clearenabledmods();
  std::filesystem::remove_all(root);
}

}  // namespace
