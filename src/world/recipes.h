// Garrison and hero recipes (data/garrisons.txt, format in its head): the
// steps that place the independents of a province for a population template
// 1..99, as the strict loader read them; the world builder runs them
// (worldgen/garrisons.cpp).
#pragma once
#include <array>

#include "runtime/short.h"

enum class RecipeOp : uint8_t {
  none, com, gang, squad, tosquad, guards, equip, item, name, magic, magicup, battleorder, site, foundsite, let,
  pick, when, end
};
// The tokens of an expression, in postfix order from its first token to
// RT_STOP; RT_NUMBER is followed by the number.
enum RecipeToken : int16_t {
  RT_STOP, RT_NUMBER, RT_S, RT_N, RT_ADD, RT_SUB, RT_MUL, RT_DIV, RT_OPENROLL, RT_OPENROLLS, RT_ROLL, RT_RND
};
constexpr int MAXRECIPES = 100;   // templates 1..99
constexpr int MAXRECIPESTEPS = 1600;
constexpr int MAXRECIPECODE = 8000;
constexpr int RECIPETEXTLEN = 36;

struct RecipeStep {
  RecipeOp op = RecipeOp::none;
  // By op: the expressions of its unit, type and count (the place of their
  // first token in recipecode); the numbers of equip, item (the percent),
  // magic, magicup (the path), battleorder and pick (the sides); for a case
  // (`when`) its low and high roll, the step of the next case or end, and
  // the end.
  int16_t arg[4] = {};
  char text[RECIPETEXTLEN] = {};   // the name, item or site
};
struct Recipe {
  int16_t first = 0, count = 0;    // its steps in recipesteps
};
extern std::array<Recipe, MAXRECIPES> recipes;
extern std::array<RecipeStep, MAXRECIPESTEPS> recipesteps;
extern std::array<int16_t, MAXRECIPECODE> recipecode;
