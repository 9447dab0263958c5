// The replay reader on any bytes: find the first replay, read it whole and
// its checksum block.
#include "gamefile_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* f = fuzzstream(data, size);
  if (!f) return 0;
  SoftReadScope soft;
  setreadversion(FILEVERSION);
  if (find_vcr(0, f)) {
    int32_t lnr, defender, attacker, castle, seed, values[3];
    if (readvcr(&lnr, &defender, &attacker, &castle, &seed, values, 1, f)) readchecksums(f);
  }
  fclose(f);
  return 0;
}
