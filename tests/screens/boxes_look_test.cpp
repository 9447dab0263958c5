// Every smaller box of the unit box in a real window, each opened by
// scripted input and pictured: the ability explanation, weapon, armour and
// random magic boxes, the gem transfer window, the site, fort and
// mercenary boxes. VEY3_KEEPSHOTS=1 keeps the pictures
// ($TMPDIR/vey3shots_*/look_*).
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "gfx/dialogwindow.h"
#include "gfx/xwindow.h"
#include "host/host.h"
#include "screens/abilitybox.h"
#include "screens/equipbox.h"
#include "screens/gemtransfer.h"
#include "screens/infoboxes.h"
#include "screens/unitbox.h"
#include "support/pacedscript.h"
#include "support/smallworld.h"
#include "worldgen/mercenaries.h"

namespace {
// Shows one box under a script that pictures it and leaves by `leave`;
// the picture holds text.
void look(const char* name, int32_t waitid, const std::string& leave, const std::function<void()>& open,
          const std::function<void(const Shot&)>& more = {}) {
  const std::string shot = tempfile((std::string("look_") + name + ".ppm").c_str());
  setinputscript(paced("waitfor " + std::to_string(waitid) + "\nmove 5 5\nwait 2\nshot " + shot + "\n" + leave +
                       "\nwait 2\n")
                     .c_str());
  open();
  const Shot s = readshot(shot);
  ASSERT_GT(s.width, 0) << name;
  EXPECT_GT(pixelslike(s, {250, 150, 300, 300}, 255, 255, 255, 60), 20) << "text on " << name;
  if (more) more(s);
  dropshot(shot);
}

TEST(BoxesLook, EverySmallerBoxOpensAndCloses) {
  makesmallworld();
  Monster& t = settype(1, "Ash Warden");
  t.sprite = 12;
  addtypeability(1, AB_FIRERES, 25);
  const int32_t hero = mkcom(1, 3, 2), mate = mkcom(1, 3, 2);
  strcpy(com[hero].name, "Aldric");
  strcpy(com[mate].name, "Brenna");
  com[hero].gems[P_FIRE] = 4;
  com[mate].gems[P_WATER] = 2;
  land[2].lab = 1;
  land[2].fortholder = 3;
  kingdom[3].w[KW_GEMS + P_ASTRAL] = 6;
  Weapon& w = setweapon(3, "Bane Bow");
  w.range = -3;
  w.ammo = 12;
  w.flags = WF_ARMORPIERCING;
  setarmor(4, "Kite Shield", IT_SHIELD, 4, 2);
  addprot(4, LOC_SHIELD, 16);
  randmagic[0] = {1, 50, 1};
  randmagic[1] = {1, 0x80 | 0x100, 40};
  Site& s = sites[9];
  strcpy(s.name, "Cinder Well");
  s.path = P_FIRE;
  s.effectkind[0] = 1, s.effectval[0] = 2;
  s.effectkind[1] = SE_GOLD, s.effectval[1] = 20;
  strcpy(forts[2].name, "Fortress");
  forts[2].val[FORT_DEF] = 300;
  MercBand& m = mercband[1];
  strcpy(m.name, "The Grey Lances");
  m.value[MB_LEADER] = int16_t(mate);
  m.value[MB_PRICE] = 100;
  m.value[MB_EMPLOYER] = -1;
  kingdom[3].gold = 500;

  RealWindow win(800, 600);
  ASSERT_TRUE(win.ok);
  installwindowdialogs(1);
  look("ability", 9, "key escape", [&] { afflictionbox(bodyunit(hero), 1); });
  look("weapon", 999, "key escape", [&] { weaponbox(3); });
  look("armour", 999, "key escape", [&] { armorbox(4); });
  look("randommagic", 9, "key escape", [&] { randmagicbox(1); });
  look("gems", 9, "clickid 101\nwait 2\nkey escape", [&] { tgems(hero, -1); });
  EXPECT_EQ(com[hero].gems[P_AIR], 0) << "the treasury had no air gem";
  look("site", 999, "key escape", [&] { featbox(9); });
  // The fort's picture fills the space above its lines, whatever number
  // the fort table gives it (6 is an icon of the seasons).
  forts[2].sprite = 6;
  look("fort", 9, "key escape", [&] { castlebox(3, 2, 2); }, [](const Shot& s) {
    EXPECT_GT(pixelslike(s, {360, 350, 80, 70}, 160, 160, 155, 30), 500) << "the fort's grey walls";
  });
  look("merc", 9, "key escape", [&] { mercbox(1, 3, 2); });
  // A commander type offered for recruitment, shown through a commander
  // made for the time of the box and freed again.
  const int32_t coms = highestcom;
  look("recruitcom", 99, "key escape", [&] { comtypestatbox(1); });
  for (int32_t c = coms + 1; c <= highestcom; c++) EXPECT_LT(combody(c), 0) << "commander " << c << " freed";
  for (int32_t u = bodyunit(mate) + 1; u <= highestunit; u++) EXPECT_LT(unit[u].hp, 1) << "unit " << u << " freed";
  installwindowdialogs(0);
}
}  // namespace
