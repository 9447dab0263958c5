#include <cstring>

#include "gamefiles/gamefiles.h"
#include "runtime/binio.h"
#include "support/gamefolders.h"

namespace {

// Writes with an older layout, then reads it back with the same version.
template <class W, class R>
void oldroundtrip(int32_t version, W writer, R reader) {
  writeversion = version;
  std::vector<uint8_t> bytes = streambytes(writer);
  writeversion = FILEVERSION;
  setreadversion(version);
  FILE* f = bytestream(bytes);
  reader(f);
  EXPECT_EQ(fgetc(f), EOF) << "version " << version;
  fclose(f);
  setreadversion(FILEVERSION);
}

}  // namespace

using OldLayouts = GameFolders;

TEST_F(OldLayouts, CommanderBeforeVersion287And289) {
  sampleworld(10, 4, 40, 4);
  Commander original = com[2];
  ASSERT_NE(original.keep16[1], 0);
  // Version 286: items present, only five 16-bit fields in row 6.
  oldroundtrip(286, [](FILE* f) { put_com(2, f); }, [](FILE* f) {
    com[2].keep16[1] = -7;
    com[2].tmpfx = 0;
    com[2].body = 33;
    get_com(2, f, 1);
  });
  EXPECT_EQ(com[2].keep16[1], -7);            // not in the file: kept
  EXPECT_EQ(com[2].tmpfx, 0);
  EXPECT_EQ(com[2].kills, original.kills);
  EXPECT_EQ(com[2].item[2], original.item[2]);
  EXPECT_EQ(com[2].body, original.body);      // read even with links kept
  EXPECT_EQ(com[2].battarget, original.battarget);
  // Version 288: no item row.
  com[2] = original;
  oldroundtrip(288, [](FILE* f) { put_com(2, f); }, [](FILE* f) {
    com[2].item[2] = 321;
    com[2].body = 33;
    get_com(2, f, 1);
  });
  EXPECT_EQ(com[2].item[2], 321);
  EXPECT_EQ(com[2].tmpfx, original.tmpfx);
  EXPECT_EQ(com[2].body, 33);                 // links kept from 287 on
}

TEST_F(OldLayouts, KingdomWithoutW188AndItsSize) {
  sampleworld(10, 4, 40, 4);
  std::vector<uint8_t> now = streambytes([](FILE* f) { put_kingdom(1, f); });
  // 2 + 4 + 216 + name ("God 1" and its terminator) + 9 + 162 + 2.
  EXPECT_EQ(now.size(), 2u + 4 + 216 + 6 + 9 + 162 + 2);
  kingdom[1].w[KW_ENDSTATS] = 1;
  oldroundtrip(284, [](FILE* f) { put_kingdom(1, f); }, [](FILE* f) {
    kingdom[1].w[KW_ENDSTATS] = 5;
    kingdom[1].w[107] = 0;
    get_kingdom(1, f);
  });
  EXPECT_EQ(kingdom[1].w[KW_ENDSTATS], 5);
  EXPECT_EQ(kingdom[1].w[107], 8);            // stored twice, read into one field
  now[0] = 0;
  FILE* f = bytestream(now);
  EXPECT_DEATH(get_kingdom(1, f), "get_kingdom: corrupted file");
  fclose(f);
}

TEST_F(OldLayouts, LandWithoutBattlegroundLook) {
  sampleworld(10, 4, 40, 4);
  ASSERT_TRUE(provgeo[5].skybox[0]);
  oldroundtrip(321, [](FILE* f) { put_land(5, f); }, [](FILE* f) { getland(5, f); });
  EXPECT_EQ(provgeo[5].skybox[0], 0);
  EXPECT_EQ(provgeo[5].groundcol[0], -1);
  EXPECT_EQ(provgeo[5].rockcol[0], -1);
  EXPECT_EQ(provgeo[5].fogcol[0], -1);
  EXPECT_EQ(land[5].population, 1005);
}

TEST_F(OldLayouts, GameInformationBefore274And280) {
  sampleworld(10, 4, 40, 4);
  oldroundtrip(270, [](FILE* f) { put_gameinfo(f); }, [](FILE* f) {
    gameinfo.maptextcol[0] = 0.25f;
    get_gameinfo(f);
  });
  EXPECT_EQ(gameinfo.further, 0);
  EXPECT_EQ(gameinfo.maptextcol[0], 0.25f);
  EXPECT_STREQ(gameinfo.mods[1].name, "second.dm");
  EXPECT_STREQ(gameinfo.mappic, "sample.tga");
}

TEST_F(OldLayouts, WorldFileOfVersion300) {
  sampleworld(20, 90, 100, 8);
  diplomacy[85][2] = 1;
  iteminplay[450] = 1;
  formatbounded(password[88], 50, "late");
  oldroundtrip(300, [](FILE* f) { putfatherland(f); }, [](FILE* f) {
    clearworld();
    getfatherland(f);
  });
  EXPECT_EQ(nbrlands, 20);
  EXPECT_STREQ(password[84], "pw84");
  EXPECT_STREQ(password[88], "");             // 85 passwords in such files
  EXPECT_EQ(iteminplay[12], 1);
  EXPECT_EQ(iteminplay[450], 0);              // 400 items
  EXPECT_EQ(diplomacy[1][2], 0);              // an 80 x 80 matrix, then cleared
  EXPECT_EQ(endstats.value[2][1][4], 0);      // 80 players a turn, then cleared
  EXPECT_EQ(endstats.highest, 3);
}

TEST_F(OldLayouts, CountsOutsideTheTablesAreRefused) {
  sampleworld(10, 4, 40, 4);
  std::vector<uint8_t> info = streambytes([](FILE* f) { put_gameinfo(f); });
  std::vector<uint8_t> bad = info;
  bad[11] = 100;   // extra-list count
  bad[12] = 0;
  FILE* f = bytestream(bad);
  EXPECT_DEATH(get_gameinfo(f), "get_gameinfo: se");
  fclose(f);
  std::vector<uint8_t> stats = streambytes([](FILE* f) { putint(251, f); });
  f = bytestream(stats);
  EXPECT_DEATH(get_endstats(f), "get_endstats: corrupted file");
  fclose(f);
  // A commander whose body lies outside the unit table.
  com[1].body = MAXUNITS;
  std::vector<uint8_t> c = streambytes([](FILE* f) { put_com(1, f); });
  f = bytestream(c);
  EXPECT_DEATH(get_com(1, f, 0), "get_com: corrupted file");
  fclose(f);
  // A land block naming player 95, and an index above 8.
  land[3] = resetland();
  land[3].searched[94][8] = 1;
  std::vector<uint8_t> edge = streambytes([](FILE* f) { put_land(3, f); });
  size_t triple = 0;
  for (size_t i = 0; i + 3 < edge.size(); i++)
    if (edge[i] == 94 && edge[i + 1] == 8 && edge[i + 2] == 1 && edge[i + 3] == 0xFF) triple = i;
  ASSERT_GT(triple, 0u);
  std::vector<uint8_t> badp = edge;
  badp[triple] = 95;
  f = bytestream(badp);
  EXPECT_DEATH(getland(3, f), "getland: bad p");
  fclose(f);
  std::vector<uint8_t> bada = edge;
  bada[triple + 1] = 9;
  f = bytestream(bada);
  EXPECT_DEATH(getland(3, f), "getland: bad a");
  fclose(f);
}
