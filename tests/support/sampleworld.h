// A filled world for file tests, benchmarks and seed files: every stored
// field gets a value that differs from its reset value somewhere.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "runtime/binio.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/hoststate.h"
#include "world/magic.h"
#include "world/units.h"
#include "world/world.h"

inline void sampleworld(int lands, int players, int units, int coms) {
  clearworld();
  for (int r = 0; r < MAXNATIONS; r++)
    if (!nations[r].fileword[0]) formatbounded(nations[r].fileword, FILEWORDLEN, "nation%d", r);
  GameInfo& g = gameinfo;
  g.hofsize = 10;
  g.era = 2;
  g.indepstr = 5;
  g.moneymult = 125;
  g.further = 77;
  g.modcount = 1;
  strlcopy(g.mods[0].name, "first.dm", 100);
  g.mods[0].version[0] = 3;
  strlcopy(g.mods[1].name, "second.dm", 100);
  g.mods[1].value[1] = -4;
  strlcopy(g.mappic, "sample.tga", sizeof g.mappic);
  g.maptextcol[0] = 0.5f;
  g.maptextcol[3] = 1.0f;
  mapzoom = 1.25f;
  nbrlands = lands;
  for (int l = 1; l <= lands; l++) {
    Land& x = land[l];
    formatbounded(x.name, sizeof x.name, "Land %d", l);
    x.site[0] = int16_t(l % 7);
    x.owner = uint8_t(l % players);
    x.fortholder = x.owner;
    x.fort = int8_t(l % 3);
    x.scale[l % 6] = int8_t(l % 3 - 1);
    x.searched[l % players][l % 9] = int8_t(1 + l % 4);
    x.queuecount = int16_t(l % 4);
    for (int i = 0; i < x.queuecount; i++) x.queue[i] = int16_t(10 + i);
    x.population = int16_t(1000 + l);
    x.turncounters[0] = 0;
    x.values[2] = l * 1000;
    x.small[1] = uint8_t(l);
    ProvGeo& p = provgeo[l];
    p.x = int16_t(l * 3);
    p.y = int16_t(l * 5);
    p.nbr[0] = int16_t(l > 1 ? l - 1 : 0);
    p.nbr[1] = int16_t(l < lands ? l + 1 : 0);
    p.terrain = uint32_t(l * 37) & 0x3FFFFF;
    if (l % 5 == 0) strlcopy(p.skybox, "sky.tga", sizeof p.skybox);
    p.fogcol[1] = int16_t(l % 200);
  }
  for (int p = 0; p < players; p++) {
    Kingdom& k = kingdom[p];
    k.gold = 500 + p;
    k.w[KW_CONTROLLER] = int16_t(p % 2 ? CTRL_AI : CTRL_HUMAN);
    k.w[KW_HOMELAND] = int16_t(1 + p % lands);
    k.w[107] = int16_t(p + 7);
    k.w[187] = 3;
    k.w[188] = 1;
    formatbounded(k.godname, sizeof k.godname, "God %d", p);
    k.godpath[p % 9] = 4;
    formatbounded(password[p], 50, "pw%d", p);
    veyrec[p].scale[1] = 2;
    formatbounded(veyrec[p].text, sizeof veyrec[p].text, "the Sample of %d", p);
    veyrec[p].value[1] = p;
    spellbook[p][0] = int16_t(p + 1);
    spellbook[p][1] = -1;
    researchrec[p][RR_LEVEL] = 2;
    for (int q = 0; q < players && q < MAXPLAYERS; q++) diplomacy[p][q] = uint8_t((p + q) % 2);
    pmess[p][3].b0 = 1;
    pmess[p][3].value = p;
    strlcopy(pmess[p][3].text, "a note", MSGTEXTLEN);
  }
  strlcopy(masterpassword, "master", 50);
  for (int u = 0; u < units; u++) {
    Unit& x = unit[u];
    x.type = int16_t(1 + u % 300);
    x.hp = int16_t(u % 50 == 49 ? 0 : 5 + u % 20);
    setunitland(u, 1 + u % lands);
    x.owner = int8_t(u % players);
    setunitsquad(u, u / 10);
    x.flags[1] = uint32_t(u) << 3;
    x.abil[0] = int16_t(u % 3);
    x.keep32 = u;
    x.age = int16_t(20 + u % 30);
    x.comnr = -1;
  }
  highestunit = units - 1;
  for (int c = 0; c < coms; c++) {
    Commander& x = com[c];
    formatbounded(x.name, sizeof x.name, "Leader %d", c);
    int body = c * (units / imax(coms, 1));
    x.body = body;
    unit[body].comnr = c;
    unit[body].hp = 12;
    x.squad[0] = c;
    for (int i = 1; i < 5; i++) x.squad[i] = -1;
    x.item[c % 8] = int16_t(c % 100);
    x.orderparam = c % lands;
    x.keep16[1] = 9;
    x.tmpfx = 3;
    x.path[c % 9] = 2;
    x.gems[1] = 200;
    x.sqorder[2] = BO_FIRE;
    x.battarget = 4;
  }
  highestcom = coms - 1;
  for (int e = 0; e < 6; e++) {
    ench[e].kind = int16_t(e == 4 ? 0 : e + 1);   // slot 4 free
    ench[e].spell = int16_t(100 + e);
    ench[e].land = int16_t(e);
    ench[e].counter[4] = e;
  }
  highestench = 5;
  for (int p = 0; p < players; p++) {
    int m = newmsg(1 + p % lands, p, MT_LANDLINK, 1);
    t2msg(m, "News for %d", p);
  }
  t2msg(newmsg(-1, -2, MT_PLAIN, -1), "For everyone");
  for (int i = 0; i < MAXSCORES; i++) scorelist[i] = int16_t(i < 3 ? i + 1 : 0);
  mercband[1].value[0] = 4;
  strlcopy(mercband[1].name, "Sample Band", 100);
  merctemplateused[7] = 1;
  iteminplay[12] = 1;
  endstats.highest = 3;
  endstats.value[2][1][4] = 99;
  uniquetypelist.count = 1;
  uniquetypelist.type[0] = 17;
  uniquetypelist.type[1] = 18;
}


