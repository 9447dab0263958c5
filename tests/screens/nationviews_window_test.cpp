// The nation's views in a real window by scripted input on Veyrmark: a bid
// for a mercenary band made in its box (written into the order file with
// its gold set aside, and settled by the host); the Nation Overview, from
// which a province is chosen, with its headings and figures in their
// columns; the order menu over the turn screen.
// VEY3_KEEPSHOTS=1 keeps the pictures ($TMPDIR/vey3shots_*/*.ppm); the README
// shows them.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "frontend/frontend.h"
#include "gfx/xwindow.h"
#include "host/hostgame.h"
#include "mapview/mapview.h"
#include "runtime/settings.h"
#include "screens/magicviews.h"
#include "screens/mapfilters.h"
#include "screens/overview.h"
#include "screens/turnscreen.h"
#include "support/guitexts.h"
#include "support/pacedscript.h"
#include "support/smallworld.h"
#include "support/turnscript.h"
#include "world/veyrates.h"
#include "worldgen/mercenaries.h"

namespace {
class NationViews : public HostGame {
 protected:
  // A picture with light text in the given part of the screen.
  static void looked(const std::string& shot, guirect where) {
    const Shot pic = readshot(shot);
    ASSERT_GT(pic.width, 0) << shot;
    EXPECT_GT(pixelslike(pic, where, 200, 200, 200, 55), 60) << shot;
    dropshot(shot);
  }
  // A window for the turn screens; the darkening behind the screens is
  // shown at once, without the fade.
  std::optional<RealWindow> window;
  bool openwindow() {
    window.emplace();
    installmapscreens();
    quitprogram = 0;
    fade = 0;
    return window->ok;
  }
  // The turn screen's opening: the nation, its message list.
  static std::string opening() { return "waitfor 1\nclickid 1\nwaitfor 999\nkey escape\n" + TURNSCREEN; }
};
}  // namespace

TEST_F(NationViews, ABidIsMadeInTheBandsBoxAndSettledByTheHost) {
  create("veyrmark.map", {0, 1}, 3);
  ASSERT_TRUE(openturn(0));
  int32_t band = -1;
  for (int32_t b = 0; b < MAXMERCBANDS && band < 0; b++)
    if (mercband[size_t(b)].value[MB_LEADER] >= 0) band = b;
  ASSERT_GE(band, 0) << "no band on offer";
  const int32_t gold = kingdom[0].gold, home = kingdom[0].w[KW_HOMELAND];
  const int32_t price = mercband[size_t(band)].value[MB_PRICE];
  const int32_t bid = std::min(gold, price);
  ASSERT_TRUE(openwindow());
  const std::string list = tempfile("mercs.ppm"), box = tempfile("mercbox.ppm");
  const std::string id = std::to_string(100 + band);
  // b, the band, Hire, the starting bid raised by one and lowered again,
  // Ok; the box and the list in pictures; End turn.
  const std::string script = opening() + "key b\nwaitfor " + id + "\nclickid " + id +
                             "\nwaitfor 1\nclickid 1\nwaitfor 1\nkey -\nkey +\nkey return\nwaitfor 9\nmove 5 5\n"
                             "wait 3\nshot " + box + "\nkey escape\nwaitfor " + id + "\nwait 3\nshot " + list +
                             "\nkey escape\n" + TURNSCREEN + "key e\nwait 5\nwaitfor 1\nclickid 999\n";
  setinputscript(paced(script).c_str());
  playturn(game.c_str());
  ASSERT_TRUE(readorders(0));
  EXPECT_EQ(kingdom[0].w[KW_MERCBIDS + band], bid);
  EXPECT_EQ(kingdom[0].w[KW_MERCBIDLAND + band], home);
  EXPECT_EQ(kingdom[0].gold, gold - bid);
  looked(box, {250, 250, 300, 150});
  looked(list, {200, 250, 400, 100});
  // The host: a bid at the price hires the band into the province; a
  // lower one is refused and its gold comes back.
  EXPECT_EQ(host(), 1);
  ASSERT_TRUE(openturn(0));
  if (bid >= price) {
    EXPECT_EQ(mercband[size_t(band)].value[MB_EMPLOYER], 0);
    EXPECT_EQ(unit[size_t(com[size_t(mercband[size_t(band)].value[MB_LEADER])].body)].land, home);
  } else {
    EXPECT_EQ(messages(0, "below the band's price"), 1);
  }
}

TEST_F(NationViews, TheOverviewListsTheNationAndSendsTheTurnScreenToAProvince) {
  create("veyrmark.map", {0, 1}, 3);
  ASSERT_TRUE(openturn(0));
  const int32_t home = kingdom[0].w[KW_HOMELAND];
  int32_t other = -1;
  for (int32_t l = 1; l <= nbrlands && other < 0; l++)
    if (l != home && land[size_t(l)].owner == 0) other = l;
  ASSERT_GT(other, 0) << "one province only";
  ASSERT_TRUE(openwindow());
  const std::string shot = tempfile("overview.ppm"), tabbed = tempfile("overviewtab.ppm");
  const std::string land = std::to_string(8000 + other);
  // F1, a picture, Tab (commanders hidden) and a picture, Tab again; the
  // second province chosen; F1 and Exit; End turn.
  const std::string script = opening() + "key f1\nwaitfor " + land + "\nmove 5 5\nwait 3\nshot " + shot +
                             "\nkey tab\nwait 3\nshot " + tabbed + "\nkey tab\nwaitfor " + land + "\nclickid " + land +
                             "\n" + TURNSCREEN + "wait 3\nkey f1\nwaitfor 999\nkey escape\n" + TURNSCREEN + "key e\nwait 5\n"
                             "waitfor 1\nclickid 999\n";
  setinputscript(paced(script).c_str());
  playturn(game.c_str());
  EXPECT_EQ(turnscreen.current, other);
  looked(shot, {100, 200, 600, 300});
  looked(tabbed, {100, 200, 600, 300});
}

TEST_F(NationViews, TheMagicAndStatisticsViewsOpenFromTheTurnScreen) {
  create("veyrmark.map", {0, 1}, 3);
  // Four hosted turns give the graphs something to draw.
  for (int32_t t = 0; t < 4; t++) ASSERT_EQ(host(), 1);
  ASSERT_TRUE(openturn(0));
  const int32_t home = kingdom[0].w[KW_HOMELAND];
  ASSERT_GT(land[size_t(home)].temple, 0) << "no temple at home";
  // The temple screen's figures are the rates the host spent: four months
  // of them have raised the home province to the nation's strength.
  const VeyRates rates = veyrates(0);
  EXPECT_GT(rates.points[VS_GOD], 0);
  EXPECT_EQ(land[size_t(home)].veystr, rates.rate);
  guibegin();
  buildtemple(home);
  guishow(-1, -1);
  const std::string shown = windowtexts();
  const std::pair<std::string, int32_t> lines[] = {
      {"Number of temples", rates.temples},          {"Converted provinces", rates.converted},
      {"God", rates.points[VS_GOD]},                 {"Prophet", rates.points[VS_PROPHET]},
      {"Home province", rates.points[VS_HOME]},      {"Temples", rates.points[VS_TEMPLE]}};
  for (const auto& [line, value] : lines)
    EXPECT_NE(shown.find(line + " " + std::to_string(value) + " "), std::string::npos) << line << " in " << shown;
  ASSERT_GE(endstats.highest, 3);
  const uint16_t filter = uint16_t(kingdom[0].w[KW_MAPFILTER]);
  ASSERT_TRUE(openwindow());
  const std::string ench = tempfile("enchantments.ppm"), temple = tempfile("temple.ppm"),
                    graphs = tempfile("graphs.ppm"), fame = tempfile("halloffame.ppm"),
                    nationlist = tempfile("pretenders.ppm"), help = tempfile("keyhelp.ppm"),
                    filters = tempfile("mapfilters.ppm"), stats = tempfile("statistics.ppm");
  // F6, o, F2 (the next graph by Tab, back by p, a nation hidden and shown
  // again, the veyrance graph by d), F3, F4, ?, the filter menu with Flags and forts cleared, the
  // statistics menu and its graphs; End turn.
  const std::string script =
      opening() + "key f6\nwaitfor 999\nmove 5 5\nwait 3\nshot " + ench + "\nkey escape\n" + TURNSCREEN +
      "key o\nwaitfor 9\nmove 5 5\nwait 3\nshot " + temple + "\nkey escape\n" + TURNSCREEN +
      "key f2\nwaitfor 999\nkey tab\nkey p\nclickid 101\nclickid 101\nkey d\nmove 5 5\nwait 3\nshot " + graphs +
      "\nkey f2\n" + TURNSCREEN + "key f3\nwaitfor 999\nmove 5 5\nwait 3\nshot " + fame + "\nkey f3\n" + TURNSCREEN +
      "key f4\nwaitfor 999\nmove 5 5\nwait 3\nshot " + nationlist + "\nkey f4\n" + TURNSCREEN +
      "key ?\nwaitfor 999\nmove 5 5\nwait 3\nshot " + help + "\nkey ?\n" + TURNSCREEN +
      "clickid 91\nwaitfor 1\nclickid 1\nmove 5 5\nwait 3\nshot " + filters + "\nkey escape\n" + TURNSCREEN +
      "clickid 90\nwaitfor 2\nmove 5 5\nwait 3\nshot " + stats + "\nclickid 2\nwaitfor 999\nkey escape\nwaitfor 9\n"
      "key escape\n" + TURNSCREEN + "key e\nwait 5\nwaitfor 1\nclickid 999\n";
  setinputscript(paced(script).c_str());
  playturn(game.c_str());
  ASSERT_TRUE(readorders(0));
  // Flags and forts cleared from the word the turn opened with (every
  // layer but the terrain icons and the neighbours when none was chosen).
  EXPECT_EQ(savedlayers(uint16_t(kingdom[0].w[KW_MAPFILTER])), savedlayers(filter) & ~0x104u);
  looked(ench, {250, 200, 300, 200});
  looked(temple, {250, 200, 300, 250});
  looked(fame, {200, 150, 400, 300});
  looked(nationlist, {200, 200, 400, 200});
  looked(help, {40, 100, 700, 400});
  looked(filters, {250, 200, 300, 200});
  looked(stats, {250, 200, 300, 200});
  // The graph: the nations' lines over the dark bands.
  const Shot pic = readshot(graphs);
  ASSERT_GT(pic.width, 0);
  EXPECT_GT(pixelslike(pic, {0, 0, 800, 500}, 76, 64, 64, 6), 20000);
  int32_t coloured = 0;
  for (int32_t y = 100; y < 600; y += 2)
    for (int32_t x = 0; x < 800; x += 2) {
      const uint8_t* c = pic.at(x, y);
      coloured += std::abs(int32_t(c[0]) - int32_t(c[1])) + std::abs(int32_t(c[1]) - int32_t(c[2])) > 120;
    }
  EXPECT_GT(coloured, 50);
  dropshot(graphs);
}

// The pictures of the README's order menu and research screen, both over
// the darkened turn screen.
TEST_F(NationViews, TheOrderMenuAndResearchLieOverTheDarkenedMap) {
  create("veyrmark.map", {0, 1}, 3);
  ASSERT_TRUE(openturn(0));
  const int32_t god = kingdom[0].w[KW_GOD];
  ASSERT_GE(god, 0);
  ASSERT_TRUE(openwindow());
  const std::string menu = tempfile("ordermenu.ppm"), research = tempfile("researchscreen.ppm");
  const std::string card = std::to_string(TS_CARD + god);
  const std::string script = opening() + "clickid " + card + "\nkey space\nwaitfor 999\nmove 5 5\nwait 3\nshot " + menu +
                             "\nkey escape\n" + TURNSCREEN + "key f5\nwaitfor 32\nclickid 32\nmove 5 5\nwait 3\nshot " +
                             research + "\nkey escape\n" + TURNSCREEN + "key e\nwait 5\nwaitfor 1\nclickid 999\n";
  setinputscript(paced(script).c_str());
  playturn(game.c_str());
  for (const std::string& s : {menu, research}) {
    const Shot pic = readshot(s);
    ASSERT_GT(pic.width, 0) << s;
    // The map's land, darkened: green well below its full brightness, and
    // none of the menu backdrop's title band.
    EXPECT_GT(pixelslike(pic, {0, 0, 800, 600}, 40, 70, 30, 30), 2000) << s;
    EXPECT_EQ(pixelslike(pic, {0, 380, 85, 80}, 200, 150, 50, 30), 0) << s;
  }
  looked(menu, {300, 150, 200, 300});
  looked(research, {100, 200, 600, 200});
}

// The Nation Overview's headings and figures in their columns, counted from
// the window's left edge; a figure wider than its column is cut with "..";
// every second commander row of a province on a stripe 610 wide from 25,
// its texts in their columns as on a row without one.
TEST(OverviewWindow, HeadingsAndFiguresStandInTheirColumns) {
  makesmallworld();
  constexpr int32_t ME = 3;
  land[2].owner = land[2].fortholder = ME;
  land[2].provdef = 7;
  land[2].tax = 32000;   // wider than its column
  settype(1, "Ash Warden");
  const int32_t plain = mkcom(1, ME, 2), striped = mkcom(1, ME, 2);
  RealWindow w(800, 600);
  ASSERT_TRUE(w.ok);
  buildoverview(ME);
  const guirect shown = guishownwindow();
  std::vector<guiarea> stripes;
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind == AreaKind::box && a.a == 0.1f) stripes.push_back(a);
  }
  ASSERT_EQ(stripes.size(), 1u);
  EXPECT_EQ(stripes[0].x - shown.x, 25);
  EXPECT_EQ(stripes[0].w, 610);
  for (int32_t c : {plain, striped}) {
    const int32_t order = findguiarea(20000 + c);
    ASSERT_GE(order, 0);
    EXPECT_EQ(guiareaget(order).x - shown.x, 180) << "commander " << c;
    const guiarea& row = guiareaget(order);
    for (int32_t i = 0; i < guiareacount(); i++) {
      if (guiareaget(i).id == 10000 + c && guiareaget(i).kind == AreaKind::text) {
        EXPECT_LT(guiareaget(i).x - shown.x, 100) << "the name beside the commander's picture";
      }
    }
    if (c == striped) {
      EXPECT_GE(row.y, stripes[0].y);
      EXPECT_LE(row.y + row.h, stripes[0].y + stripes[0].h);
    }
  }
  EXPECT_EQ(columnof("Province"), 0);   // on the window's edge
  EXPECT_EQ(columnof("Land2 (2)"), GUIMARGIN);   // at the toolkit's margin
  const std::pair<const char*, float> headings[] = {{"Inc.", 180}, {"Tax", 220}, {"Unr.", 260}, {"Res.", 300},
                                                    {"Sup.", 340}, {"S.U.", 380}, {"Def.", 420}, {"Sites", 460},
                                                    {"Searches", 540}};
  for (const auto& [text, x] : headings) EXPECT_EQ(columnof(text), x) << text;
  EXPECT_EQ(columnof("7"), 420) << "the province defence";
  const int32_t tax = findguiarea(4000 + 2);
  ASSERT_GE(tax, 0);
  const guiarea& t = guiareaget(tax);
  EXPECT_EQ(t.x - guishownwindow().x, 220);
  EXPECT_LE(t.x + t.w, guishownwindow().x + 260) << "the tax reaches into the unrest's column";
  EXPECT_NE(std::string(guiareatext(t), size_t(t.length)).find(".."), std::string::npos);
}
