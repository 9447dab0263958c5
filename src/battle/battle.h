// Battle engine. It fights over the unit and commander tables of the world.
#pragma once
#include "world/units.h"
