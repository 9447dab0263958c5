// What start-up asks of the world: the general initialisation, and a plain
// province 0 for the benchmark battlefield.
#pragma once

// Clears province 0's terrain mask and sets its Cold/Heat and Death/Growth
// scales to 0, so that the benchmark battlefield has plain terrain.
void plainbenchmarkland();
// Removes old temp files, creates the saved-games and temp folders, clears the world.
void general_init();
