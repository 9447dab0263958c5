// The content audit: counts, over the loaded tables, what makes a data set
// thin or broken for a player (enchantments that no rule reads, free troops,
// items that give nothing, nations that copy each other, rituals nobody can
// cast, texts alike). `vey3content --audit` prints it; the content tests
// hold the same properties row by row.
#pragma once
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "contentrules.h"
#include "describe.h"
#include "gamedata_ids.h"
#include "world/gamedata.h"

namespace content {

inline void printaudit(FILE* out) {
  const Roles roles = rolesofdata();
  // ---- lasting enchantments
  int lasting = 0, wrongscope = 0, wronggems = 0, wrongpath = 0;
  for (int s = 1; s < nbrofspells(); s++) {
    if (!islastingench(spells[s])) continue;
    lasting++;
    const EnchKind* k = enchkindof(spells[s]);
    if (!k) wrongscope++;
    else if (k->gempath >= 0 && spells[s].path[0] != k->gempath) wronggems++;
    if (k && !(k->paths & (1u << spells[s].path[0]))) wrongpath++;
  }
  fprintf(out, "lasting enchantments: %d, at a scope no rule reads: %d, paying gems of another path: %d, cast by a path unlike their effect: %d\n",
          lasting, wrongscope, wronggems, wrongpath);
  // ---- costs
  int freetroops = 0, offrule = 0, inversions = 0;
  std::vector<int> troops;
  for (int m = 1; m < nbrofunittypes(); m++) {
    if (roles.recruitable(m) && unittypes[m].gcost <= 0) freetroops++;
    if (pricedbyrule(roles, m) && unittypes[m].gcost != goldcost(m, servesascommander(roles, m))) offrule++;
    if (roles.troop[m] && !roles.commander[m]) troops.push_back(m);
  }
  for (int a : troops)
    for (int b : troops) if (dominates(a, b) && unittypes[a].gcost < unittypes[b].gcost) inversions++;
  fprintf(out, "recruitable types costing no gold: %d, prices off the rule: %d, troops cheaper than a troop they outclass: %d\n",
          freetroops, offrule, inversions);
  // ---- gods
  int godforms = 0, oldatstart = 0;
  for (int m : content::godforms(roles)) godforms++, oldatstart += !godageproblem(m).empty();
  fprintf(out, "god forms: %d, a god of which may start in old age: %d\n", godforms, oldatstart);
  // ---- items
  int nitems = 0, noeffect = 0;
  for (int i = 1; i < nbrofitems(); i++)
    if (items[i].name[0]) nitems++, noeffect += itemeffects(i).empty();
  fprintf(out, "items: %d, giving their holder nothing: %d\n", nitems, noeffect);
  // ---- nations
  int nplayable = 0, copies = 0, nocapital = 0, nonational = 0, weakmage = 0, weakmain = 0, seabad = 0, samepeople = 0;
  std::map<std::vector<int32_t>, int> lists;
  std::set<int> fortsused;
  for (int n = 0; n < nbrofnations(); n++) {
    if (!playable(n)) continue;
    nplayable++;
    std::vector<int32_t> list(nations[n].recruit, nations[n].recruit + RECRUITLEN);
    copies += lists.count(list) > 0;
    lists[list] = n;
    if (!capitalunitof(n)) nocapital++;
    bool national = false;
    for (int s = 1; s < nbrofspells(); s++) national = national || (!keptfromnation(s, n) && isnational(s));
    nonational += !national;
    const std::array<int, 9> reach = nationreach(n);
    int best = 0;
    for (int m : recruitof(n, true)) best = std::max(best, typemagicof(m).best());
    weakmage += best < 3;
    const int mp = mainpath(n);
    weakmain += mp < 0 || reach[mp] < 3;
    for (uint32_t key : {NA_CASTLEPLAIN, NA_CASTLEMOUNTAIN, NA_CASTLEFOREST, NA_CASTLESWAMP, NA_CASTLECAVE, NA_CASTLEFARM,
                         NA_CASTLEUW, NA_CASTLEDEEP, NA_CASTLESTART})
      if (int f = getnatattr(n, key)) fortsused.insert(f);
    if (getnatattr(n, NA_UNDERWATER) > 0) {
      const int f = getnatattr(n, NA_CASTLESTART), u = getnatattr(n, NA_CASTLEUW);
      seabad += !u || !(forts[u].flags & FORTF_UWONLY) || !f || !(forts[f].flags & FORTF_UWONLY);
    }
    if (earlierpeople(n) >= 0 && newunitsofera(n) < 4) samepeople++;
  }
  int pastfour = 0;
  for (int f : fortsused) pastfour += f > 4;
  fprintf(out, "playable nations: %d, recruit lists: %zu, copying another's whole list: %d\n", nplayable, lists.size(), copies);
  fprintf(out, "nations without a capital unit: %d, without a national spell: %d, whose best commander mage is below level 3: %d, "
               "below level 3 in their main path: %d\n", nocapital, nonational, weakmage, weakmain);
  fprintf(out, "fort rows built: %zu (%d past row 4), sea nations without sea forts: %d, later eras with fewer than 4 new units: %d\n",
          fortsused.size(), pastfour, seabad, samepeople);
  // ---- magic
  int nspells = 0, flagged = 0, battleench = 0, summonsoff = 0, uncastable = 0;
  std::set<std::vector<int>> battlekeys;
  for (int s = 1; s < nbrofspells(); s++) {
    const Spell& sp = spells[s];
    nspells++;
    flagged += sp.flags != 0;
    if (sp.effect == EFFECT_BATTLEENCH) battleench++, battlekeys.insert({sp.effect, int(sp.damage), sp.area, sp.range, sp.path[0]});
    if (sp.effect == EFFECT_SUMMON && sp.fatigue != 100 * summongems(roles, sp)) summonsoff++;
    if (sp.effect >= SPELL_RITUAL && !ritualcastable(s)) uncastable++;
  }
  fprintf(out, "spells: %d, with flags: %d, battle enchantments: %d (%zu different), summons off the price rule: %d, "
               "rituals nobody can cast: %d\n", nspells, flagged, battleench, battlekeys.size(), summonsoff, uncastable);
  // ---- texts
  std::map<std::string, int> texts;
  int alike = 0, badplural = 0, unfortunatenames = 0;
  for (int d = 1; d < nbrdescrs; d++) alike += texts[descrtextof(d)]++ > 0;
  std::set<int> bound;
  for (const BoundRow& b : boundrows)
    if (b.table == 'u') bound.insert(b.row);
  for (int m = 1; m < nbrofunittypes(); m++)
    if (isusedunittype(m) && !bound.count(m)) badplural += pluralgoeswrong(unittypes[m].name);
  for (int t = 0; t < MAXNAMETYPES; t++)
    for (int k = 0; k < personalnames[t].count; k++) unfortunatenames += unfortunatename(personalnames[t].names[k]);
  for (int l = 0; l < NBRPROVNAMELISTS; l++)
    for (int k = 0; k < provnames[l].count; k++) unfortunatenames += unfortunatename(provnames[l].names[k]);
  fprintf(out, "descriptions: %d, alike another: %d; unit names with a wrong plural: %d; unfortunate names: %d\n", nbrdescrs - 1,
          alike, badplural, unfortunatenames);
}

}  // namespace content
