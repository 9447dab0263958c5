// Pretender epithets: honorific titles drawn for a god from its magic, its
// veyrance, its body and its nation, joined by commas into the epithet text
// of the owner's veyrance record.
#pragma once
#include "runtime/short.h"

constexpr int32_t EPITHETTEXTLEN = 250;   // at most 249 characters

// ge: gather epithets.
// The number of titles chosen (1 with "Ruler of nothing" when none fits).
int32_t ge(int32_t nation, int32_t cnr);
// 1 when the god meets every requirement of the epithet, in order; a free
// title group is taken by the test itself. Uses the group state of the
// current `ge` call.
int32_t epitetok(int32_t epithet, int32_t cnr, int32_t nation);
int32_t epitetimp(int32_t epithet);
