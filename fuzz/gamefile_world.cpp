// The world-file reader on any bytes: header, then the whole body.
#include "gamefile_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* f = fuzzstream(data, size);
  if (!f) return 0;
  SoftReadScope soft;
  int32_t turnout;
  if (checkfileheader(f, "fz", 0, -1, -1, &turnout, nullptr, nullptr, nullptr)) getfatherland(f);
  fclose(f);
  return 0;
}
