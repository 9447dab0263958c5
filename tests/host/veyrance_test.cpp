// A hosted turn spends on veyrance exactly the steps that the conversion
// points shown on the Temple screen give.
#include "hostgame.h"
#include "world/veyrates.h"

namespace {

// The strength of every land the nation's veyrance covers, summed.
int32_t veyheld(int32_t p) {
  int32_t b = 0;
  for (int32_t l = 1; l <= nbrlands; l++) b += land[size_t(l)].veyowner == p ? imax(land[size_t(l)].veystr, 0) : 0;
  return b;
}

class HostedVeyrance : public HostGame {
 protected:
  void loadworld() {
    clearworld();
    int32_t t = 0;
    ASSERT_EQ(loadworldfile(game.c_str(), 0, &t), 1);
    turnnbr = t;
  }
  int32_t turnnbr = 0;

  // Neighbour steps from the land to every land (-1 unreached).
  static std::vector<int32_t> distances(int32_t from) {
    std::vector<int32_t> d(size_t(nbrlands) + 1, -1), queue{from};
    d[size_t(from)] = 0;
    for (size_t at = 0; at < queue.size(); at++)
      for (int32_t n = 0; n < MAXNEIGHBOURS && provgeo[size_t(queue[at])].nbr[n] > 0; n++) {
        const int32_t nb = provgeo[size_t(queue[at])].nbr[n];
        if (nb <= nbrlands && d[size_t(nb)] < 0) {
          d[size_t(nb)] = d[size_t(queue[at])] + 1;
          queue.push_back(nb);
        }
      }
    return d;
  }
};

TEST_F(HostedVeyrance, ATurnChangesVeyranceByTheTempleScreensRates) {
  create("veyrmark.map", {0, 1});
  loadworld();
  // Nation 0 gets a temple in the independent land farthest from both homes.
  const std::vector<int32_t> d0 = distances(home(0)), d1 = distances(home(1));
  int32_t far = -1, best = -1;
  for (int32_t l = 1; l <= nbrlands; l++) {
    const int32_t d = std::min(d0[size_t(l)], d1[size_t(l)]);
    if (land[size_t(l)].owner == INDEPENDENTS && land[size_t(l)].veystr == 0 && d > best) {
      best = d;
      far = l;
    }
  }
  ASSERT_GE(best, 4) << "no land far from both homes";
  Land& fl = land[size_t(far)];
  fl.owner = fl.fortholder = 0;
  fl.temple = 1;
  ASSERT_TRUE(writeworldfile(game.c_str(), filegamenumber, turnnbr));

  // The month of the hosting is the world's turn; each source takes the
  // steps its points give in that month.
  const int32_t month = turnnbr;
  int32_t steps[2] = {}, held[2] = {}, points[2] = {};
  for (int32_t p : {0, 1}) {
    const VeyRates r = veyrates(p);
    EXPECT_GT(r.rate, 0);
    for (int32_t k = 0; k < VS_KINDS; k++) points[p] += r.points[k];
    for (const VeySource& s : veysources(p)) steps[p] += veysteps(s.points, month);
    held[p] = veyheld(p);
  }
  int32_t sourcepoints = 0;
  for (const VeySource& s : veysources(0)) sourcepoints += s.points;
  EXPECT_EQ(sourcepoints, points[0]);   // the screen's figures are the sources' points
  const int32_t farpoints = veyconversion(0, far), homepoints = veyconversion(0, home(0));
  EXPECT_EQ(farpoints, veyrates(0).rate);
  EXPECT_GT(homepoints, farpoints);
  EXPECT_GT(steps[0], 0);
  ASSERT_EQ(host(), 1);
  loadworld();
  // The temple alone in its land raises it by its steps; each nation's
  // veyrance over the world grows by all the steps of its sources (in the
  // first month the two nations' veyrance does not meet).
  EXPECT_EQ(land[size_t(far)].veystr, veysteps(farpoints, month));
  for (int32_t p : {0, 1}) EXPECT_EQ(veyheld(p), held[p] + steps[p]) << p;
}

}  // namespace
