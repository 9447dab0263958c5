// The host's order loader on any bytes (given a correct checksum, so that the
// header and the body are reached): it must never stop the program.
#include "gamefile_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsetup();
  writeorderfile(3, data, size);
  loadorders(3, "fz", 0, -1);
  // Keep the message table from filling up with stale-turn messages (only
  // the slots in use: clearing the whole table would cost more than the run).
  for (int32_t m = 0; m <= highestmsg; m++) message[size_t(m)].type = MT_FREE;
  highestmsg = -1;
  return 0;
}
