// Random height fields for battlefields and random maps.
#pragma once
#include "runtime/short.h"

// Fills heights (width x height floats, row-major) with a random relief of
// rolling ground between 0 and about 3 x heightscale; ruggedness 0..1 adds
// finer detail. hills > 0 adds that many round hills. When sealevel is given
// it receives the level below which the share searequest (0..1) of the field
// lies; when highest is given it receives the highest height. edgefall 0..1
// sinks the edges of the field (0 leaves them alone). Draws from rnd().
// Stops with "CRH: bad array" for a missing array or a size below 1.
void createrandomheights(int32_t width, int32_t height, float* heights, int32_t hills, float searequest,
                         float* sealevel, float* highest, float heightscale, float ruggedness, float edgefall);
