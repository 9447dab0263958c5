// The pretender design loader on any bytes (with a correct checksum).
#include "gamefile_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsetup();
  newlordslotvalue = 0;
  char path[PATHLEN];
  gamefilepath(path, PATHLEN, "newlords", 0, 6);
  writewithcrc(path, data, size);
  SoftReadScope soft;
  loadnewlord("newlords", 6, 1, 10, nullptr, 0);
  return 0;
}
