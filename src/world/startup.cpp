#include "world/startup.h"

void plainbenchmarkland() {
  // The land records join the world here; until then province 0 has no
  // terrain to clear.
}
