
#include "world/hoststate.h"
#include "world/magic.h"
#include "world/units.h"
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
