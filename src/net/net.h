// Network play. For now: the temp-folder clean-up that the fatal path and the
// general initialisation share.
#pragma once
#include "runtime/short.h"

// Deletes "tmp_fl", "tmpmon.trs" and the battle replays "%d_%d.vcr" of the 95
// nations in the temp folder, then the folder itself; only when this process
// created the temp folder.
void removetmpfiles();
