// Saved pretender designs: the numbered slots of the "newlords" folder.
#include "gamefiles/gamefiles.h"
#include "runtime/folders.h"

int32_t newlordslot(int32_t nation) {
  for (int32_t n = 0; n < NEWLORDSLOTS; n++)
    if (!fileexists("%s/newlords/%s_%d.2h", savepath, realmword(nation), n)) return n;
  return -1;
}

int32_t countnewlords(int32_t nation) {
  int32_t count = 0;
  for (int32_t n = 0; n < NEWLORDSLOTS; n++) {
    if (fileexists("%s/newlords/%s_%d.2h", savepath, realmword(nation), n)) count++;
    else if (n > 50 && count == 0) return 0;
  }
  return count;
}
