#include "world/magic.h"

#include <cstring>
#include "world/gamedata.h"
#include "world/units.h"

std::array<Ench, MAXENCH> ench;
int32_t highestench = -1;
int16_t spellbook[100][SPELLBOOKSIZE];
int16_t researchrec[100][RESEARCHRECSIZE];

void clearmagictables() {
  for (Ench& e : ench) e = Ench{};
  highestench = -1;
  for (auto& book : spellbook)
    for (int16_t& s : book) s = -1;
  memset(researchrec, 0, sizeof researchrec);
}

int32_t addench(int32_t kind, int32_t caster, int32_t owner, int32_t lnr, int32_t extra) {
  if (kind < 1) return -1;
  for (int32_t e = 0; e < MAXENCH; e++) {
    if (ench[e].kind > 0) continue;
    ench[e] = Ench{};
    ench[e].kind = int16_t(kind);
    ench[e].caster = caster;
    ench[e].owner = int16_t(owner);
    ench[e].land = int16_t(lnr);
    ench[e].extra = int16_t(extra);
    if (e > highestench) highestench = e;
    return e;
  }
  return -1;
}

int32_t findench(int32_t kind, int32_t lnr, int32_t owner) {
  const int32_t top = highestench < MAXENCH ? highestench : MAXENCH - 1;
  for (int32_t e = 0; e <= top; e++) {
    const Ench& x = ench[e];
    if (x.kind <= 0) continue;
    if (kind != -1 && x.kind != kind) continue;
    if (x.land != lnr) continue;   // -1 matches only world-wide ones
    if (owner != -1 && x.owner != owner) continue;
    return e;
  }
  return -1;
}

void removeench(int32_t e) {
  if (e < 0 || e >= MAXENCH) return;
  ench[e] = Ench{};
}

int32_t countcasterench(int32_t unr) {
  int32_t n = 0;
  const int32_t top = highestench < MAXENCH ? highestench : MAXENCH - 1;
  for (int32_t e = 0; e <= top; e++)
    if (ench[e].kind > 0 && ench[e].land == -1 && ench[e].caster == unr) n++;
  return n;
}

int32_t inspellbook(int32_t spell, int32_t player) {
  if (player < 0 || player >= 100) return 0;
  for (int32_t i = 0; i < SPELLBOOKSIZE && spellbook[player][i] >= 0; i++)
    if (spellbook[player][i] == spell) return 1;
  return 0;
}

void addtospellbook(int32_t spell, int32_t player) {
  if (player < 0 || player > 94 || spell < 0) return;
  if (inspellbook(spell, player)) return;
  for (int32_t i = 0; i < SPELLBOOKSIZE; i++) {
    if (spellbook[player][i] >= 0) continue;
    spellbook[player][i] = int16_t(spell);
    return;
  }
}

int32_t name2spell(const char* name) {
  const int32_t s = findspell(name);
  return s < 1 ? -1 : s;
}

void updatespellbook(int32_t player) {
  if (player < 0 || player > 94) return;
  for (int16_t& s : spellbook[player]) s = -1;
  int32_t n = 0;
  for (int32_t s = 1; s < MAXSPELLS && spells[s].researchlevel != SPELL_ENDLEVEL && n < SPELLBOOKSIZE; s++) {
    const Spell& sp = spells[s];
    if (sp.school < 0 || sp.school > 7) continue;
    if (sp.researchlevel > researchrec[player][RR_LEVEL + sp.school]) continue;
    bool forother = false;
    for (int32_t a = 0; a < SPELLATTRS && sp.attrkey[a] != 0; a++)
      if (sp.attrkey[a] == SPA_NATION && sp.attrval[a] - 100 != player) forother = true;
    if (!forother) spellbook[player][n++] = int16_t(s);
  }
}
