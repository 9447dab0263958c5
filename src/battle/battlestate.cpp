#include "battle/battle.h"

int32_t batland = 0;
