// The general rule constants of the economy and the events, which the
// general section of a mod may change.
#pragma once
#include "runtime/short.h"

extern int32_t poppergold, resourcemult, supplymult, unresthalfinc, unresthalfres;
extern int32_t eventisrare, turmoilincome, turmoilevents, deathincome, deathsupply;
extern int32_t deathdeath, slothincome, slothresources, coldincome, coldsupply;
extern int32_t misfortune, luckevents, researchscale;
// Puts every rule constant back to its built-in value.
void defaultgeneral();
