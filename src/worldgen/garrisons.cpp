// Garrison templates: the recipes of data/garrisons.txt that place the
// independents of a province (tribes, militia, special garrisons) and the
// unique heroes with their named items and sites. Everything belongs to
// player 25.
#include <cstring>

#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "runtime/util.h"
#include "world/builders.h"
#include "world/recipes.h"
#include "world/recruit.h"
#include "world/units.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

namespace {

// One recipe run: the province, the strength, the current commander and the
// count that `let` rolled.
struct Run {
  int32_t lnr, s;
  int32_t cur = -1;
  int32_t n = 0;
  bool hascom() const { return cur >= 0 && cur < MAXCOMS; }
};

// The value of the expression whose first token is at `at`; its dice are
// rolled from left to right.
int32_t value(const Run& r, int16_t at) {
  int32_t stack[17];
  int top = 0;
  for (size_t i = size_t(at); recipecode[i] != RT_STOP; i++) {
    switch (recipecode[i]) {
      case RT_NUMBER: stack[top++] = recipecode[++i]; break;
      case RT_S: stack[top++] = r.s; break;
      case RT_N: stack[top++] = r.n; break;
      case RT_ADD: top--, stack[top - 1] += stack[top]; break;
      case RT_SUB: top--, stack[top - 1] -= stack[top]; break;
      case RT_MUL: top--, stack[top - 1] *= stack[top]; break;
      case RT_DIV: top--, stack[top - 1] /= stack[top]; break;
      case RT_OPENROLL: stack[top - 1] = openroll(stack[top - 1]); break;
      case RT_OPENROLLS: top--, stack[top - 1] = openrolls(stack[top - 1], stack[top]); break;
      case RT_ROLL: stack[top - 1] = roll(stack[top - 1]); break;
      case RT_RND: stack[top - 1] = rnd(stack[top - 1]); break;
      default: bailif(1, "recipe: bad token");
    }
  }
  return stack[0];
}

void runrecipe(Run& r, const Recipe& recipe) {
  const int end = recipe.first + recipe.count;
  for (int i = recipe.first; i < end; i++) {
    const RecipeStep& st = recipesteps[size_t(i)];
    switch (st.op) {
      case RecipeOp::com: r.cur = popcom(value(r, st.arg[0]), r.lnr); break;
      case RecipeOp::gang: {
        const int32_t u = value(r, st.arg[0]), c = value(r, st.arg[1]);
        r.cur = popgang(u, c, value(r, st.arg[2]), INDEPENDENTS, r.lnr);
        break;
      }
      case RecipeOp::squad: {
        const int32_t u = value(r, st.arg[0]);
        addsquad(u, value(r, st.arg[1]));
        break;
      }
      case RecipeOp::tosquad: {
        const int32_t u = value(r, st.arg[0]);
        addtosquad(u, value(r, st.arg[1]));
        break;
      }
      case RecipeOp::guards: {
        const int32_t u = value(r, st.arg[0]);
        addbodyguards(u, value(r, st.arg[1]));
        break;
      }
      case RecipeOp::equip: addequip(st.arg[0]); break;
      case RecipeOp::item: additem(st.text, st.arg[0]); break;
      case RecipeOp::name:
        if (r.hascom()) strlcopy(com[size_t(r.cur)].name, st.text, 36);
        break;
      case RecipeOp::magic:
        if (r.hascom()) com[size_t(r.cur)].path[st.arg[0]] = uint8_t(st.arg[1]);
        break;
      case RecipeOp::magicup:
        if (r.hascom()) com[size_t(r.cur)].path[st.arg[0]]++;
        break;
      case RecipeOp::battleorder: setbattleorder(st.arg[0], st.arg[1]); break;
      case RecipeOp::site:
      case RecipeOp::foundsite: {
        const int32_t slot = addfeatbyname(r.lnr, st.text);
        if (st.op == RecipeOp::foundsite && slot >= 0 && slot < 4) land[size_t(r.lnr)].sitefound[slot] = 1;
        break;
      }
      case RecipeOp::let: r.n = value(r, st.arg[0]); break;
      case RecipeOp::pick: {
        // The chosen case runs; a roll that no case holds goes to the end.
        const int32_t roll = rnd(st.arg[0]);
        int j = i + 1;
        while (recipesteps[size_t(j)].op == RecipeOp::when &&
               (roll < recipesteps[size_t(j)].arg[0] || roll > recipesteps[size_t(j)].arg[1]))
          j = recipesteps[size_t(j)].arg[2];
        i = j;
        break;
      }
      case RecipeOp::when: i = st.arg[3]; break;   // the case before it has run
      case RecipeOp::end:
      case RecipeOp::none: break;
    }
  }
}

}  // namespace

void indeptemplate(int t, int32_t lnr, int32_t s) {
  if (s < 1 || t < 1 || t >= MAXRECIPES) return;
  Run r{lnr, s};
  runrecipe(r, recipes[size_t(t)]);
}
