#include "frontend/frontend.h"

#include "battle/battle.h"
#include "host/host.h"
#include "magic/magic.h"
#include "world/world.h"

void clearworld() {
  // The world tables join here as they are built; each clears its own records.
  clearunittables();
  clearlandtables();
  clearmagictables();
  clearmessages();
  cleargamestate();
  clearhoststate();
}
