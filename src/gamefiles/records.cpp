// Record layouts: one field table per record kind, in file order, walked by
// both the writer and the reader. Parts that do not fit a fixed table (counts
// that size what follows, sparse blocks, check values) are written out around
// the tables.
#include <cstring>

#include "gamefiles/gamefiles.h"
#include "runtime/binio.h"
#include "runtime/fatal.h"
#include "world/gamedata.h"
#include "world/hoststate.h"
#include "world/magic.h"
#include "world/units.h"
#include "world/world.h"

namespace {

// ---------------------------------------------------------------- unit, 51 bytes
constexpr FieldSpec unitlayout[] = {
    GF_NUM(Unit, flags, 4),    GF_NUM(Unit, squad, 4),    GF_NUM(Unit, type, 2),    GF_NUM(Unit, hp, 2),
    GF_NUM(Unit, land, 2),     GF_NUM(Unit, homeland, 2), GF_NUM(Unit, exp, 2),     GF_NUM(Unit, abil, 2),
    GF_NUM(Unit, abilval, 2),  GF_NUM(Unit, age, 2),      GF_NUM(Unit, owner, 1),   GF_NUM(Unit, batstate, 1),
    GF_NUM(Unit, keep32, 4),   GF_NUM(Unit, keepbyte, 1),
};

// ---------------------------------------------------------------- commander
// The body number is read apart (its use depends on keep-links).
constexpr FieldSpec comnamelayout[] = {GF_STR(Commander, name)};
constexpr FieldSpec comlayout[] = {
    GF_NUM(Commander, squad, 4),
    GF_NUM(Commander, item, 2).from(289),
    GF_NUM(Commander, item, 2).upto(286),
    GF_NUM(Commander, orderparam, 4),
    GF_NUM(Commander, ordergems, 4),
    GF_NUM(Commander, arrowtime, 4),
    GF_NUM(Commander, armynr, 2),
    GF_NUM(Commander, deaths, 2),
    GF_NUM(Commander, herocount, 2),
    GF_NUM(Commander, kills, 2),
    GF_PART(Commander, keep16, 2, 0, 1),
    GF_PART(Commander, keep16, 2, 1, 1).from(287),
    GF_NUM(Commander, tmpfx, 2).from(287),
    GF_NUM(Commander, tmpfxstr, 2).from(287),
    GF_NUM(Commander, keep16b, 2).from(287),
    GF_NUM(Commander, keepbyte, 1),
    GF_NUM(Commander, veyvalue, 1),
    GF_NUM(Commander, path, 1),
    GF_NUM(Commander, order, 1),
    GF_NUM(Commander, gems, 1),
    GF_NUM(Commander, keepbyte2, 1),
    GF_NUM(Commander, sqx, 1),
    GF_NUM(Commander, sqy, 1),
    GF_NUM(Commander, sqorder, 1),
    GF_NUM(Commander, sqtarget, 1),
    GF_NUM(Commander, ownx, 1),
    GF_NUM(Commander, owny, 1),
    GF_NUM(Commander, batorder, 1),
    GF_NUM(Commander, battarget, 1),
};

// ---------------------------------------------------------------- kingdom
constexpr FieldSpec kingdomlayout[] = {
    GF_NUM(Kingdom, gold, 4),
    GF_PART(Kingdom, w, 2, 0, 108),
    GF_STR(Kingdom, godname),
    GF_NUM(Kingdom, godpath, 1),
    GF_PART(Kingdom, w, 2, 107, 81),   // W107 again, then up to W187
    GF_PART(Kingdom, w, 2, 188, 1).from(285),
};

// ---------------------------------------------------------------- land and its province geometry
constexpr FieldSpec landhead[] = {
    GF_STR(Land, name),       GF_NUM(Land, reserved, 2),    GF_NUM(Land, site, 2),       GF_NUM(Land, veystr, 2),
    GF_NUM(Land, unrest, 2),  GF_NUM(Land, comqueued, 2),   GF_NUM(Land, queuecount, 2), GF_NUM(Land, extraincome, 2),
    GF_NUM(Land, baseres, 2), GF_NUM(Land, owner, 1),       GF_NUM(Land, fortholder, 1), GF_NUM(Land, supplydiv, 1),
    GF_NUM(Land, lab, 1),     GF_NUM(Land, temple, 1),      GF_NUM(Land, fort, 1),       GF_NUM(Land, provdef, 1),
    GF_NUM(Land, veyowner, 1), GF_NUM(Land, scale, 1),      GF_NUM(Land, poptype, 1),    GF_NUM(Land, sitefound, 1),
};
constexpr FieldSpec landqueuehead[] = {GF_NUM(Land, queuedcomtype, 2)};
constexpr FieldSpec landtail[] = {
    GF_NUM(Land, counter, 2),    GF_NUM(Land, tax, 2),     GF_NUM(Land, turncounters, 2), GF_NUM(Land, population, 2),
    GF_NUM(Land, fortdef, 2),    GF_NUM(Land, vpword, 2),  GF_NUM(Land, corpses, 2),      GF_NUM(Land, small, 1),
};
constexpr FieldSpec geohead[] = {GF_NUM(ProvGeo, terrain, 4), GF_NUM(ProvGeo, x, 2), GF_NUM(ProvGeo, y, 2),
                                 GF_NUM(ProvGeo, nbr, 2)};
constexpr FieldSpec landvalues[] = {GF_NUM(Land, values, 4)};
constexpr FieldSpec geolook[] = {
    GF_STR(ProvGeo, skybox).from(322),    GF_STR(ProvGeo, batmap).from(322),  GF_NUM(ProvGeo, groundcol, 2).from(322),
    GF_NUM(ProvGeo, rockcol, 2).from(322), GF_NUM(ProvGeo, fogcol, 2).from(322),
};

// ---------------------------------------------------------------- smaller records
constexpr FieldSpec veylayout[] = {GF_NUM(VeyRec, scale, 1), GF_STR(VeyRec, text), GF_NUM(VeyRec, value, 4)};
constexpr FieldSpec merclayout[] = {GF_STR(MercBand, name), GF_NUM(MercBand, value, 2)};
constexpr FieldSpec enchlayout[] = {
    GF_NUM(Ench, caster, 4), GF_NUM(Ench, kind, 2),   GF_NUM(Ench, spell, 2),  GF_NUM(Ench, owner, 2),
    GF_NUM(Ench, land, 2),   GF_NUM(Ench, extra, 2),  GF_NUM(Ench, last16, 2), GF_NUM(Ench, counter, 4),
};
// The raw first character of the text precedes the keyed text.
constexpr FieldSpec messlayout[] = {
    GF_NUM(Message, land, 4),  GF_NUM(Message, subj, 4),      GF_NUM(Message, player, 1),
    GF_NUM(Message, type, 1),  GF_PART(Message, text, 1, 0, 1), GF_KEYSTR(Message, text),
};
constexpr FieldSpec pmesslayout[] = {GF_NUM(PMess, b0, 1), GF_NUM(PMess, b1, 1), GF_NUM(PMess, value, 4),
                                     GF_KEYSTR(PMess, text)};
constexpr FieldSpec gamemodlayout[] = {GF_NUM(GameMod, version, 2), GF_STR(GameMod, name), GF_NUM(GameMod, value, 4)};
constexpr FieldSpec gamesettingslayout[] = {
    GF_NUM(GameInfo, gametype, 1),    GF_NUM(GameInfo, setting1, 1),    GF_NUM(GameInfo, setting2, 1),
    GF_NUM(GameInfo, indepstr, 1),    GF_NUM(GameInfo, magicsites, 1),  GF_NUM(GameInfo, eventrarity, 1),
    GF_NUM(GameInfo, hofsize, 1),     GF_NUM(GameInfo, researchdiff, 1), GF_NUM(GameInfo, wraparound, 1),
    GF_NUM(GameInfo, autohost, 1),    GF_NUM(GameInfo, startprov, 1),   GF_NUM(GameInfo, extracount, 2),
};
constexpr FieldSpec gamemultlayout[] = {
    GF_NUM(GameInfo, victory, 2),    GF_NUM(GameInfo, victoryvalue, 2), GF_NUM(GameInfo, moneymult, 2),
    GF_NUM(GameInfo, resourcemult, 2), GF_NUM(GameInfo, supplymult, 2),
};

// Scratch space for records read and dropped.
VeyRec scratchvey;
}  // namespace

int32_t unitrecordbytes() { return layoutbytes(unitlayout, FILEVERSION); }

// ---------------------------------------------------------------- unit

void put_unit(int32_t unr, FILE* f) {
  bailif(unr < 0 || unr >= MAXUNITS, "put_unit");
  writefields(unitlayout, &unit[unr], f);
}

size_t unitbytes(const Unit& u, uint8_t* out, size_t room, bool* exact) {
  return fieldsinto(unitlayout, &u, out, room, exact);
}

bool get_unitrec(Unit& u, FILE* f, int keeplinks) {
  if (!readfields(unitlayout, &u, f)) return false;
  if (keeplinks == KEEPSTATE) return true;
  u.x = u.y = -1;
  u.fatigue = 0;
  u.ammo = 0;
  u.moralemod = 0;
  u.batorder = 0;
  u.batcounter = 0;
  u.poison = 0;
  u.tmp = 0;
  if (!keeplinks) u.comnr = -1;
  return true;
}

void get_unit(int32_t unr, FILE* f, int keeplinks) {
  if (unr < 0 || unr >= MAXUNITS) {
    readdefect("get_unit: bad unr");
    return;
  }
  // Read beside the table, then put in through the writer that keeps the
  // unit indexes; the record's run-time links come from the table's slot.
  Unit x = unit[unr];
  get_unitrec(x, f, keeplinks);
  putunit(unr, x);
}

// ---------------------------------------------------------------- commander

void put_com(int32_t cnr, FILE* f) {
  bailif(cnr < 0 || cnr >= MAXCOMS, "put_com");
  const Commander& c = com[cnr];
  writefields(comnamelayout, &c, f);
  putint(c.body, f);
  writefields(comlayout, &c, f);
}

bool get_comrec(Commander& c, FILE* f, int keeplinks, int32_t* filebody) {
  if (!readfields(comnamelayout, &c, f)) return false;
  int32_t body = getint(f);
  if (!readfields(comlayout, &c, f)) return false;
  *filebody = body;
  if (keeplinks == KEEPSTATE) return true;
  c.scratch16 = 0;
  c.squadslot = 0;
  // Old files set the body even when links are kept.
  if (!keeplinks || readversion <= 286) {
    if (body >= MAXUNITS) return readdefect("get_com: corrupted file");
    c.body = body;
  }
  return true;
}

void get_com(int32_t cnr, FILE* f, int keeplinks) {
  if (cnr < 0 || cnr >= MAXCOMS) {
    readdefect("get_com");
    return;
  }
  int32_t body;
  if (!get_comrec(com[cnr], f, keeplinks, &body)) return;
  if (!keeplinks && body >= 0 && body < MAXUNITS) unit[body].comnr = cnr;
}

void get_com_nu(int32_t cnr, FILE* f) {
  if (cnr < 0 || cnr >= MAXCOMS) {
    readdefect("get_com_nu");
    return;
  }
  Commander& c = com[cnr];
  if (!readfields(comnamelayout, &c, f)) return;
  getint(f);   // the designer's body number means nothing here
  if (!readfields(comlayout, &c, f)) return;
  c.body = -1;
  c.scratch16 = 0;
}

// ---------------------------------------------------------------- kingdom and spell state

void put_kingdom(int32_t k, FILE* f) {
  bailif(k < 0 || k >= MAXKINGDOMS, "put_kingdom: bad knr");
  putshort(12345, f);
  writefields(kingdomlayout, &kingdom[k], f);
}

bool get_kingdomrec(Kingdom& k, FILE* f) {
  if (!readcheck16(f, 12345, "get_kingdom: corrupted file")) return false;
  if (!readfields(kingdomlayout, &k, f)) return false;
  k.runtime = 0;
  return true;
}

void get_kingdom(int32_t k, FILE* f) {
  if (k < 0 || k >= MAXKINGDOMS) {
    readdefect("get_kingdom: bad knr");
    return;
  }
  get_kingdomrec(kingdom[k], f);
}

void put_spellstuff(int32_t p, FILE* f) {
  bailif(p < 0 || p >= MAXKINGDOMS, "put_spellstuff");
  putmany(spellbook[p], 2, writeversion < 254 ? 600 : SPELLBOOKSIZE, f);
  putmany(researchrec[p], 2, RESEARCHRECSIZE, f);
}

bool get_splstfrec(int16_t* book, int16_t* research, FILE* f) {
  // Books of files before version 254 held 600 entries.
  int32_t entries = readversion < 254 ? 600 : SPELLBOOKSIZE;
  for (int32_t i = 0; i < entries; i++) book[i] = int16_t(getshort(f));
  for (int32_t i = 0; i < RESEARCHRECSIZE; i++) research[i] = int16_t(getshort(f));
  return !readbroken();
}

void get_splstf(int32_t p, FILE* f) {
  if (p < 0 || p >= MAXKINGDOMS) {
    readdefect("get_splstf");
    return;
  }
  get_splstfrec(spellbook[p], researchrec[p], f);
}

// ---------------------------------------------------------------- land

void put_land(int32_t lnr, FILE* f) {
  bailif(lnr < 0 || lnr >= MAXLANDS, "put_land: bad lnr");
  Land& l = land[lnr];
  l.turncounters[0] = l.turncounters[1] = 0;
  writefields(landhead, &l, f);
  // Few of the levels are set: eight of them at a time are passed over
  // while all are 0.
  const int8_t* levels = &l.searched[0][0];
  constexpr int32_t LEVELS = MAXPLAYERS * 9;
  static_assert(sizeof l.searched == LEVELS);
  for (int32_t i = 0; i < LEVELS; i++) {
    if (i % 8 == 0 && i + 8 <= LEVELS) {
      uint64_t eight;
      memcpy(&eight, levels + i, 8);
      if (eight == 0) {
        i += 7;
        continue;
      }
    }
    if (levels[i] != 0) {
      putbyte(i / 9, f);
      putbyte(i % 9, f);
      putbyte(levels[i], f);
    }
  }
  putbyte(0xFF, f);
  writefields(landqueuehead, &l, f);
  int32_t n = l.queuecount < 0 ? 0 : imin(l.queuecount, 100);
  putmany(l.queue, 2, n, f);
  writefields(landtail, &l, f);
  writefields(geohead, &provgeo[lnr], f);
  writefields(landvalues, &l, f);
  writefields(geolook, &provgeo[lnr], f);
}

bool getlandrec(Land& l, ProvGeo& g, FILE* f) {
  if (!readfields(landhead, &l, f)) return false;
  for (;;) {
    int32_t p = getsbyte(f);
    if (readbroken()) return false;
    if (p == -1) break;
    if (p < 0 || p >= MAXPLAYERS) return readdefect("getland: bad p");
    int32_t a = getsbyte(f);
    if (a < 0 || a > 8) return readdefect("getland: bad a");
    l.searched[p][a] = int8_t(getsbyte(f));
    if (feof(f)) return readdefect("getland: corrupted file");
  }
  if (!readfields(landqueuehead, &l, f)) return false;
  if (l.queuecount < 0 || l.queuecount > 100) return readdefect("getland: corrupted file");
  for (int32_t i = 0; i < l.queuecount; i++) l.queue[i] = int16_t(getshort(f));
  if (!readfields(landtail, &l, f) || !readfields(geohead, &g, f) || !readfields(landvalues, &l, f)) return false;
  if (readversion <= 321) {
    g.skybox[0] = g.batmap[0] = 0;
    g.groundcol[0] = g.rockcol[0] = g.fogcol[0] = -1;
  }
  return readfields(geolook, &g, f);
}

void getland(int32_t lnr, FILE* f) {
  if (lnr < 0 || lnr >= MAXLANDS) {
    readdefect("getland: bad lnr");
    return;
  }
  getlandrec(land[lnr], provgeo[lnr], f);
}

// ---------------------------------------------------------------- veyrance, bands, enchantments, scores

void put_veyrances(int32_t p, FILE* f) {
  putshort(12345, f);
  writefields(veylayout, &veyrec[imin(imax(p, 0), MAXPLAYERS - 1)], f);
}

bool get_veyrec(VeyRec& v, FILE* f) {
  if (!readcheck16(f, 12345, "get_veyrances: corrupted file")) return false;
  // The text is at most 249 characters.
  char text[sizeof v.text];
  if (!readfields(veylayout, &v, f)) return false;
  strlcopy(text, v.text, 250);
  strlcopy(v.text, text, sizeof v.text);
  return true;
}

void get_veyrances(int32_t p, FILE* f) {
  debugprint3("get_veyrances %d\n", p);
  if (p < 0) {
    readdefect("get_vey");
    return;
  }
  get_veyrec(p < MAXPLAYERS ? veyrec[p] : scratchvey, f);
}

void put_merc(int32_t n, FILE* f) {
  bailif(n < 0 || n >= MAXMERCBANDS, "put_merc");
  writefields(merclayout, &mercband[n], f);
}

void get_merc(int32_t n, FILE* f) {
  if (n < 0 || n >= MAXMERCBANDS) {
    readdefect("get_merc");
    return;
  }
  readfields(merclayout, &mercband[n], f);
}

void put_ench(int32_t e, FILE* f) {
  bailif(e < 0 || e >= MAXENCH, "put_ench");
  putshort(12345, f);
  writefields(enchlayout, &ench[e], f);
}

void get_ench(int32_t e, FILE* f) {
  if (e < 0 || e >= MAXENCH) {
    readdefect("get_ench");
    return;
  }
  if (!readcheck16(f, 12345, "get_ench: corrupted file")) return;
  readfields(enchlayout, &ench[e], f);
}

void put_score(int32_t i, FILE* f) {
  bailif(i < 0 || i >= MAXSCORES, "put_score");
  putshort(scorelist[i], f);
}

void get_score(int32_t i, FILE* f) {
  if (i < 0 || i >= MAXSCORES) {
    readdefect("get_score");
    return;
  }
  scorelist[i] = int16_t(getshort(f));
}

// ---------------------------------------------------------------- messages

void put_mess(int32_t m, FILE* f) {
  bailif(m < 0 || m >= MAXMSG, "put_mess");
  writefields(messlayout, &message[m], f);
}

void get_mess(int32_t m, FILE* f) {
  if (m < 0 || m >= MAXMSG) {
    readdefect("get_mess");
    return;
  }
  readfields(messlayout, &message[m], f);
}

void put_pmess(int32_t p, int32_t n, FILE* f) {
  bailif(p < 0 || p >= MAXPLAYERS, "put_pmess: from");
  bailif(n < 0 || n >= PMESSSLOTS, "put_pmess: msgnr");
  writefields(pmesslayout, &pmess[p][n], f);
}

bool get_pmessrec(PMess& m, FILE* f) { return readfields(pmesslayout, &m, f); }

void get_pmess(int32_t p, int32_t n, FILE* f) {
  if (p < 0 || p >= MAXPLAYERS) {
    readdefect("get_pmess: from");
    return;
  }
  if (n < 0 || n >= PMESSSLOTS) {
    readdefect("get_pmess: msgnr");
    return;
  }
  get_pmessrec(pmess[p][n], f);
}

// ---------------------------------------------------------------- game information

void put_gameinfo(FILE* f) {
  GameInfo& g = gameinfo;
  int32_t extras = imin(imax(g.extracount + 1, 0), MAXEXTRAS);
  writefields(gamesettingslayout, &g, f);
  writefields(gamemultlayout, &g, f);
  putmany(g.extra16, 2, 2 * extras, f);
  putshort(g.era, f);
  putint(int32_t(g.gameflags), f);
  putmany(g.extra32, 4, 4 * extras, f);
  for (int32_t i = 0; i < extras; i++) {
    char text[500];
    strlcopy(text, g.extratext[i], sizeof text);
    put_string(text, f);
  }
  if (writeversion >= 274) putint(g.further, f);
  int32_t mods = imin(imax(g.modcount + 1, 0), MAXGAMEMODS);
  putshort(mods - 1, f);
  for (int32_t i = 0; i < mods; i++) writefields(gamemodlayout, &g.mods[i], f);
  char pic[500];
  strlcopy(pic, g.mappic, sizeof pic);
  put_string(pic, f);
  for (float c : g.maptextcol) {
    if (writeversion < 280) break;
    uint32_t bits;
    memcpy(&bits, &c, 4);
    putint(int32_t(bits), f);
  }
}

bool get_gameinforec(GameInfo& g, FILE* f) {
  // The stored extra-list count sizes what follows; it is checked first.
  if (!readfields(gamesettingslayout, &g, f)) return false;
  if (g.extracount < -1 || g.extracount >= MAXEXTRAS) return readdefect("get_gameinfo: se");
  int32_t extras = g.extracount + 1;
  if (!readfields(gamemultlayout, &g, f)) return false;
  for (int32_t i = 0; i < 2 * extras; i++) g.extra16[i] = int16_t(getshort(f));
  g.era = int16_t(getshort(f));
  g.gameflags = uint32_t(getint(f));
  for (int32_t i = 0; i < 4 * extras; i++) g.extra32[i] = getint(f);
  for (int32_t i = 0; i < extras && !readbroken(); i++) get_string(g.extratext[i], sizeof g.extratext[i], f);
  g.further = readversion >= 274 ? getint(f) : 0;
  g.modcount = int16_t(getshort(f));
  if (g.modcount > MAXGAMEMODS - 1) return readdefect("get_gameinfo: mm");
  if (g.modcount < -1) return readdefect("get_gameinfo: corrupted file");
  for (int32_t i = 0; i <= g.modcount; i++)
    if (!readfields(gamemodlayout, &g.mods[i], f)) return false;
  get_string(g.mappic, sizeof g.mappic, f);
  if (readversion >= 280)
    for (float& c : g.maptextcol) {
      uint32_t bits = uint32_t(getint(f));
      memcpy(&c, &bits, 4);
    }
  return !readbroken();
}

void get_gameinfo(FILE* f) { get_gameinforec(gameinfo, f); }

// ---------------------------------------------------------------- end statistics

void put_endstats(FILE* f) {
  int32_t t = imin(endstats.highest + 1, ENDSTATTURNS);
  if (t < 0) t = 0;
  putint(t, f);
  int32_t players = writeversion < 312 ? 80 : MAXPLAYERS;
  for (int32_t s = 0; s < ENDSTATSERIES; s++)
    for (int32_t i = 0; i < t; i++) putmany(endstats.value[s][i], 2, players, f);
}

void get_endstats(FILE* f) {
  int32_t t = getint(f);
  debugprint("get_endstats turns %d\n", t);
  if (readbroken() || t <= 0) return;
  if (t > ENDSTATTURNS) {
    readdefect("get_endstats: corrupted file");
    return;
  }
  if (readversion < 312) {
    // Older files kept 80 players a turn; they are read past and not used.
    for (int32_t i = 0; i < ENDSTATSERIES * t * 80; i++) getshort(f);
    memset(endstats.value, 0, sizeof endstats.value);
  } else {
    for (int32_t s = 0; s < ENDSTATSERIES; s++)
      getmany(endstats.value[s], 2, t * MAXPLAYERS, f, sizeof endstats.value[s]);
  }
  if (readbroken()) return;
  endstats.highest = int16_t(t - 1);
}
