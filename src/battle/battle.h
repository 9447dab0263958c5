// Battle engine: the state that other subsystems read.
#pragma once
#include "runtime/short.h"

// Land whose battle is being fought or shown.
extern int32_t batland;
