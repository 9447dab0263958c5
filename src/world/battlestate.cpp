#include "world/units.h"

int32_t batland = 0;
