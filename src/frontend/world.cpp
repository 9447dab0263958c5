#include "frontend/frontend.h"

void clearworld() {
  // The world tables join here as they are built; each clears its own records.
}
