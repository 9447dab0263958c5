#include "world/ruleconstants.h"

int32_t poppergold, resourcemult, supplymult, unresthalfinc, unresthalfres;
int32_t eventisrare, turmoilincome, turmoilevents, deathincome, deathsupply;
int32_t deathdeath, slothincome, slothresources, coldincome, coldsupply;
int32_t misfortune, luckevents, researchscale;

void defaultgeneral() {
  poppergold = 100;
  resourcemult = 100;
  supplymult = 100;
  unresthalfinc = 50;
  unresthalfres = 100;
  eventisrare = 15;
  turmoilincome = 7;
  turmoilevents = 5;
  deathincome = 2;
  deathsupply = 15;
  deathdeath = 2;
  slothincome = 2;
  slothresources = 15;
  coldincome = 5;
  coldsupply = 10;
  misfortune = 13;
  luckevents = 5;
  researchscale = 2;
}
