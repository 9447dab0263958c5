#include <cstring>
#include <functional>

#include "gamefiles/gamefiles.h"
#include "runtime/binio.h"
#include "support/gamefolders.h"
#include "support/sampleworld.h"

namespace {

constexpr int P = 3;
constexpr int GAME = 55;
constexpr int TURN = 4;

std::string orderpath() { return std::string(savepath) + "/o1/" + realmword(P) + ".2h"; }

// An order file with our own body, a valid header and a valid checksum.
void writeorders(const std::function<void(FILE*)>& body, int32_t realm = P, const char* pass = "pw3",
                 int32_t turn = TURN) {
  GameFile file = createfileheader("o1", GAME, turn, 0, realm, pass, 0);
  body(gamefilestream(file));
  ASSERT_TRUE(closegamefile(std::move(file), 1));
}

std::vector<uint8_t> worldnow() { return streambytes([](FILE* f) { putfatherland(f); }); }

bool stalemessagefor(int p) {
  for (int m = 0; m <= highestmsg; m++)
    if (message[m].type != MT_FREE && message[m].player == p && strncmp(message[m].text, "Stale Turn", 10) == 0)
      return true;
  return false;
}

// The first unit and commander of the player in the sample world.
int ownunit() {
  for (int u = 0; u <= highestunit; u++)
    if (unit[u].owner == P && unit[u].hp >= 1 && unit[u].comnr < 0) return u;
  return -1;
}
int owncom() {
  for (int c = 0; c <= highestcom; c++)
    if (unit[com[c].body].owner == P) return c;
  return -1;
}
int ownland() {
  for (int l = 1; l <= nbrlands; l++)
    if (land[l].owner == P) return l;
  return -1;
}

}  // namespace

class Orders : public GameFolders {
 protected:
  void SetUp() override {
    GameFolders::SetUp();
    sampleworld(30, 6, 300, 12);
  }
  // The file is refused, the world unchanged, and the player told.
  void expectstale(const char* why) {
    std::vector<uint8_t> before = worldnow();
    int32_t messages = highestmsg;
    EXPECT_EQ(loadorders(P, "o1", GAME, TURN), 0) << why;
    EXPECT_STREQ(lastorderrefusal(), why);
    EXPECT_TRUE(stalemessagefor(P)) << why;
    EXPECT_EQ(highestmsg, messages + 1);
    // Only the new message differs.
    message[highestmsg] = Message{};
    message[highestmsg].type = MT_FREE;
    highestmsg = messages;
    EXPECT_EQ(worldnow(), before) << why;
  }
};

TEST_F(Orders, AGoodFileIsApplied) {
  int u = ownunit(), c = owncom(), l = ownland();
  unit[u].age = 77;
  strlcopy(com[c].name, "Renamed", 36);
  land[l].tax = 60;
  kingdom[P].gold = 12;
  write2hfile(P, "o1", TURN, GAME);
  sampleworld(30, 6, 300, 12);
  int oldbody = com[c].body;
  EXPECT_EQ(loadorders(P, "o1", GAME, TURN), 1);
  EXPECT_EQ(unit[u].age, 77);
  EXPECT_STREQ(com[c].name, "Renamed");
  EXPECT_EQ(com[c].body, oldbody);
  EXPECT_EQ(unit[oldbody].comnr, c);
  EXPECT_EQ(land[l].tax, 60);
  EXPECT_EQ(kingdom[P].gold, 12);
  EXPECT_FALSE(stalemessagefor(P));
}

TEST_F(Orders, FileLevelDefectsGiveStaleTurn) {
  expectstale("missing");
  write2hfile(P, "o1", TURN, GAME);
  std::vector<uint8_t> good = readbytes(orderpath());
  std::vector<uint8_t> b = good;
  b[100] ^= 1;
  writebytes(orderpath(), b);
  expectstale("checksum");
  writebytes(orderpath(), {});
  expectstale("the file is empty");
  writebytes(orderpath(), std::vector<uint8_t>(good.begin(), good.begin() + 20));
  expectstale("checksum");
  // Header defects, each with a correct checksum.
  writeorders([](FILE*) {}, P, "pw3", TURN - 1);
  expectstale("header");   // orders of an old turn
  std::string other = std::string(savepath) + "/o1/" + realmword(P + 1) + ".2h";
  writeorders([](FILE*) {}, P + 1, "pw4");
  rename(other.c_str(), orderpath().c_str());
  expectstale("header");   // another nation's file
  writeorders([](FILE*) {}, P, "wrong");
  expectstale("password");
  for (int32_t version : {263, 328}) {
    write2hfile(P, "o1", TURN, GAME);
    std::vector<uint8_t> v = readbytes(orderpath());
    v.resize(v.size() - 2);
    memcpy(&v[10], &version, 4);
    int32_t crc = calccrc(v.data(), int32_t(v.size()), 0);
    v.push_back(uint8_t(crc));
    v.push_back(uint8_t(crc >> 8));
    writebytes(orderpath(), v);
    expectstale("header");
  }
  GameFile file = createfileheader("o1", GAME + 1, TURN, 0, P, "pw3", 0);
  ASSERT_TRUE(closegamefile(std::move(file), 1));
  expectstale("header");   // another game
}

TEST_F(Orders, BodyDefectsGiveStaleTurn) {
  const int u = ownunit(), c = owncom(), l = ownland();
  auto section = [](FILE* f, int32_t index, auto record) {
    putindex(index, f);
    record(f);
    endsection(f);
  };
  auto rest = [&](FILE* f, int from) {   // empty sections after the one under test, then the check
    for (int s = from; s < 5; s++) endsection(f);
    putint(HEADERCHECK, f);
  };
  writeorders([&](FILE* f) { rest(f, 0); });
  EXPECT_EQ(loadorders(P, "o1", GAME, TURN), 1);   // an empty body is fine

  writeorders([&](FILE* f) { putindex(MAXLANDS, f); });
  expectstale("land index");
  int foreignland = l + 1;
  while (land[foreignland].owner == P) foreignland++;
  writeorders([&](FILE* f) { section(f, foreignland, [&](FILE* g) { put_land(foreignland, g); }); rest(f, 1); });
  expectstale("land not owned");
  // A land beyond the map's provinces is nobody's, whatever its record says.
  const int beyond = nbrlands + 1;
  const int16_t beyondowner = land[beyond].owner;
  land[beyond].owner = int16_t(P);
  writeorders([&](FILE* f) { section(f, beyond, [&](FILE* g) { put_land(beyond, g); }); rest(f, 1); });
  expectstale("land not owned");
  land[beyond].owner = beyondowner;
  writeorders([&](FILE* f) {
    land[l].queuecount = 101;   // written as a count of 100 queue values
    section(f, l, [&](FILE* g) { put_land(l, g); });
    land[l].queuecount = 0;
    rest(f, 1);
  });
  expectstale("land record");
  writeorders([&](FILE* f) {
    endsection(f);
    section(f, P + 1, [&](FILE* g) { put_kingdom(P + 1, g); put_spellstuff(P + 1, g); });
    rest(f, 2);
  });
  expectstale("foreign kingdom");
  writeorders([&](FILE* f) {
    endsection(f);
    kingdom[P].w[KW_LABSTORE] = 600;
    section(f, P, [&](FILE* g) { put_kingdom(P, g); put_spellstuff(P, g); });
    kingdom[P].w[KW_LABSTORE] = 0;
    rest(f, 2);
  });
  expectstale("item number");
  writeorders([&](FILE* f) { endsection(f); endsection(f); putindex(MAXUNITS, f); });
  expectstale("unit index");
  const int foreignunit = u + 1;
  ASSERT_NE(unit[foreignunit].owner, P);
  writeorders([&](FILE* f) { endsection(f); endsection(f); section(f, foreignunit, [&](FILE* g) { put_unit(foreignunit, g); }); rest(f, 3); });
  expectstale("unit not owned");
  writeorders([&](FILE* f) {
    endsection(f);
    endsection(f);
    int16_t type = unit[u].type;
    unit[u].type = 4000;
    section(f, u, [&](FILE* g) { put_unit(u, g); });
    unit[u].type = type;
    rest(f, 3);
  });
  expectstale("unit owner or type");
  writeorders([&](FILE* f) { for (int s = 0; s < 3; s++) endsection(f); putindex(MAXCOMS, f); });
  expectstale("commander index");
  writeorders([&](FILE* f) {
    for (int s = 0; s < 3; s++) endsection(f);
    int16_t item = com[c].item[0];
    com[c].item[0] = 500;
    section(f, c, [&](FILE* g) { put_com(c, g); });
    com[c].item[0] = item;
    rest(f, 4);
  });
  expectstale("item number");
  writeorders([&](FILE* f) { for (int s = 0; s < 4; s++) endsection(f); putindex(PMESSSLOTS, f); });
  expectstale("message slot");
  writeorders([&](FILE* f) { for (int s = 0; s < 5; s++) endsection(f); putint(HEADERCHECK + 1, f); });
  expectstale("check value");
  // Cut short after a good unit record: nothing of it is applied.
  writeorders([&](FILE* f) {
    endsection(f);
    endsection(f);
    unit[u].age = 99;
    putindex(u, f);
    put_unit(u, f);
    unit[u].age = 20 + u % 30;
  });
  expectstale("unit index");
  EXPECT_NE(unit[u].age, 99);
}
