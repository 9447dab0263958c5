// A long game hosted month after month, to see how the cost of a month grows
// with the game: a random map of 20 provinces per nation, 24 computer
// nations of the middle era, hosted through the same newturn as the host
// program. Writes one row per month to the table file: month, living units,
// commanders and the processor time that hosting the month took (this
// process alone, every thread and the system's work for it counted, so that
// other work on the machine does not count). At the end it prints every
// fiftieth row with the mean of the ten months up to it, and the slope of
// the processor time of a month against the units on a log-log scale (1: a
// month costs in proportion to the units, 2: in proportion to their square).
// The host's own lines go to standard output; a line every 25 months and the
// summary to standard error.
//
//   vey3longgame [months] [table file] [snapshot folder]
//
// Defaults: 400 months, longgame.txt. With a snapshot folder, the game
// folder is copied there every hundred months (month100, month200, ...), for
// profiling one late month on its own.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/hostedgame.h"
#include "host/host.h"
#include "mods/mods.h"
#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/options.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/scores.h"
#include "world/units.h"
#include "world/world.h"
#include "worldgen/worldgen.h"
#include "support/scratch.h"

namespace {

constexpr const char* GAME = "long";
constexpr int32_t NATIONS = 24;

int32_t livingcommanders() {
  int32_t n = 0;
  for (int32_t c = 0; c <= highestcom; c++) n += com[size_t(c)].body >= 0;
  return n;
}

struct Row {
  int32_t units;
  double cpu;
};

// Every fiftieth month (and the last) with the mean of the ten months up to
// it; the least-squares slope of log(processor time) on log(units) over
// the months from the tenth on (the first are the game's setting out).
void summary(FILE* to, const std::vector<Row>& rows, double total) {
  fprintf(to, "\n| month | living units | CPU of the month, mean of 10 months up to it |\n|---|---|---|\n");
  for (size_t m = 1; m <= rows.size(); m++) {
    if (m % 50 != 0 && m != rows.size() && m != 1) continue;
    double sum = 0;
    const size_t from = m >= 10 ? m - 10 : 0;
    for (size_t i = from; i < m; i++) sum += rows[i].cpu;
    fprintf(to, "| %zu | %d | %.3f s |\n", m, rows[m - 1].units, sum / double(m - from));
  }
  double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (size_t i = 9; i < rows.size(); i++) {
    if (rows[i].units < 1 || rows[i].cpu <= 0) continue;
    const double x = std::log(double(rows[i].units)), y = std::log(rows[i].cpu);
    n++, sx += x, sy += y, sxx += x * x, sxy += x * y;
  }
  const double d = n * sxx - sx * sx;
  if (n >= 2 && d > 0) fprintf(to, "log-log slope of CPU per month against units: %.2f\n", (n * sxy - sx * sy) / d);
  fprintf(to, "%zu months, %.1f s of CPU in all\n", rows.size(), total);
}

// Folders of the run's own under TMPDIR (else /tmp), the data loaded, the game made.
std::string makegame() {
  const std::string root = makescratch("vey3longgame_");
  hostedgamefolders(root);
  randmap = 20;
  int32_t placed = 0;
  for (int32_t n = 0; n < MAXPLAYERS && placed < NATIONS; n++)
    if (nations[size_t(n)].era == 2 && !isuwnation(n)) nationcontrol[n] = 22, placed++;
  seedrnd(7);
  srand(7);
  if (createnewgame(GAME, 0, nullptr) != 1) fatalerror("longgame: no game made");
  return root;
}

}  // namespace

int main(int argc, char** argv) {
  const int32_t months = argc > 1 ? atoi(argv[1]) : 400;
  const char* table = argc > 2 ? argv[2] : "longgame.txt";
  FILE* out = fopen(table, "w");
  if (months < 1 || !out) {
    fprintf(stderr, "usage: vey3longgame [months] [table file] [snapshot folder]\n");
    return 1;
  }
  if (const char* data = getenv("VEY3_DATA")) strlcopy(datapath, data, PATHLEN);
  const std::string root = makegame();
  fprintf(out, "month units commanders cpu_seconds\n");
  fflush(out);
  double total = 0;
  std::vector<Row> rows;
  for (int32_t m = 1; m <= months; m++) {
    const double before = processcpuseconds();
    if (newturn(GAME, -1) != 1) fatalerror("longgame: hosting failed");
    const double spent = processcpuseconds() - before;
    total += spent;
    rows.push_back({livingunits(), spent});
    if (m % 25 == 0) fprintf(stderr, "month %d: %d units, %.3f s\n", m, rows.back().units, spent);
    fprintf(out, "%d %d %d %.3f\n", m, livingunits(), livingcommanders(), spent);
    fflush(out);
    if (argc > 3 && m % 100 == 0) {
      const std::string copy = "mkdir -p '" + std::string(argv[3]) + "' && cp -r '" + root + "/save/" + GAME + "' '" +
                               argv[3] + "/month" + std::to_string(m) + "'";
      if (system(copy.c_str()) != 0) fatalerror("longgame: the snapshot could not be copied");
    }
  }
  fprintf(out, "# total %.1f cpu seconds\n", total);
  fclose(out);
  summary(stderr, rows, total);
  const std::string cleanup = "rm -rf '" + root + "'";
  return system(cleanup.c_str()) == 0 ? 0 : 1;
}
