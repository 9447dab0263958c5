// The computer players' turn driver.
#include "ai/ai.h"

#include "runtime/fatal.h"

void computerplayerturn(int32_t player) { debugprint2("computer player %d: no orders given\n", player); }
