// The turn-file reader of player 2 on any bytes, and the replay look-up that
// follows it in a turn file.
#include "gamefile_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* f = fuzzstream(data, size);
  if (!f) return 0;
  SoftReadScope soft;
  int32_t turnout;
  if (checkfileheader(f, "fz", 0, -1, 2, &turnout, nullptr, nullptr, nullptr)) getturndata(2, f);
  binreadfailed = 0;
  if (find_vcr(0, f)) {
    int32_t land, defender, attacker;
    readvcrheader(&land, &defender, &attacker, f);
  }
  fclose(f);
  return 0;
}
