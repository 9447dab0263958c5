// An order file through the host: the loader, then the checks of the host
// on what it applied (fields kept, orders, gifts, items and wealth). On any
// bytes this must never stop the program.
#include "gamefile_common.h"
#include "host/hostinternal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsetup();
  // The same world before every input.
  sampleworld(12, 6, 60, 6);
  kingdom[3].w[KW_CONTROLLER] = CTRL_HUMAN;
  writeorderfile(3, data, size);
  beginordercheck();
  if (loadorders(3, "fz", 0, -1)) checkorders(3);
  clearmessages();
  return 0;
}
