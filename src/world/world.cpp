#include "world/world.h"

#include <cstring>

std::array<Land, MAXLANDS> land;
std::array<ProvGeo, MAXLANDS> provgeo;
int32_t nbrlands = 0;
std::array<Kingdom, MAXKINGDOMS> kingdom;
char password[MAXKINGDOMS][50];
char masterpassword[50];
uint8_t diplomacy[MAXPLAYERS][MAXPLAYERS];
std::array<VeyRec, MAXPLAYERS> veyrec;

Land resetland() {
  Land l{};
  l.owner = INDEPENDENTS;
  l.fortholder = INDEPENDENTS;
  l.veyowner = -1;
  l.poptype = -1;
  l.population = -1;
  l.corpses[0] = -1;
  l.corpses[1] = -1;
  l.tax = 100;
  return l;
}

void clearlandtables() {
  const Land reset = resetland();
  for (Land& l : land) l = reset;
  for (ProvGeo& g : provgeo) {
    g = ProvGeo{};
    for (int i = 0; i < 3; i++) g.groundcol[i] = g.rockcol[i] = g.fogcol[i] = -1;
  }
  // Record 0 is not a province; it sits off the map.
  provgeo[0].x = -500;
  provgeo[0].y = -500;
  nbrlands = 0;
  for (int32_t p = 0; p < MAXKINGDOMS; p++) {
    kingdom[p] = Kingdom{};
    kingdom[p].w[KW_GOD] = -1;
    kingdom[p].w[KW_PROPHET] = -1;
    kingdom[p].w[KW_PLAYER] = int16_t(p);
  }
  memset(password, 0, sizeof password);
  memset(masterpassword, 0, sizeof masterpassword);
  memset(diplomacy, 0, sizeof diplomacy);
  for (VeyRec& v : veyrec) v = VeyRec{};
}
