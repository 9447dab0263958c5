// Writes the seed files of the game-file fuzz targets (`make seeds`), after a
// change of a file layout: seeds FUZZCORPUSFOLDER.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/folders.h"
#include "runtime/util.h"
#include "support/gameseeds.h"
#include "world/gamedata.h"
#include "support/scratch.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: seeds FUZZCORPUSFOLDER\n");
    return 2;
  }
  const std::string root = makescratch("vey3seeds");
  formatbounded(savepath, PATHLEN, "%s/save", root.c_str());
  formatbounded(temppath, PATHLEN, "%s/temp", root.c_str());
  mkdirs(savepath);
  mkdirs(temppath);
  loadgamedata();
  const std::vector<GameSeed> seeds = makegameseeds();
  int status = seeds.empty() ? 1 : 0;
  for (const GameSeed& s : seeds) {
    const std::string folder = std::string(argv[1]) + "/" + s.target;
    mkdirs(folder.c_str());
    const std::string path = folder + "/" + s.name;
    FILE* f = fopen(path.c_str(), "wb");
    if (!f || fwrite(s.bytes.data(), 1, s.bytes.size(), f) != s.bytes.size()) status = 1;
    if (f && fclose(f) != 0) status = 1;
    printf("%s %zu bytes\n", path.c_str(), s.bytes.size());
  }
  if (system((std::string("rm -rf '") + root + "'").c_str()) != 0) status = 1;
  return status;
}
