#include <cstring>

#include "world/world.h"

GameInfo gameinfo;
float mapzoom = 1.0f;
std::array<MercBand, MAXMERCBANDS> mercband;
uint8_t merctemplateused[100];
uint8_t iteminplay[500];

void cleargamestate() {
  gameinfo = GameInfo{};
  gameinfo.extracount = -1;
  gameinfo.modcount = -1;
  gameinfo.moneymult = gameinfo.resourcemult = gameinfo.supplymult = 100;
  mapzoom = 1.0f;
  for (MercBand& b : mercband) {
    b = MercBand{};
    b.value[0] = -1;
  }
  memset(merctemplateused, 0, sizeof merctemplateused);
  memset(iteminplay, 0, sizeof iteminplay);
}
