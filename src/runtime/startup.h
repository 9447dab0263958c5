// The first steps of start-up that the player's program and the host program
// share, in their fixed order: line-buffered output, the log, the random
// seeds, the folders, the settings file, the command line (verify and
// text-only mode turn sound off), the math tables and the mod folder.
#pragma once
#include "runtime/short.h"

void beginstartup(int argc, char** argv);
// Stops with the message when the random table was overwritten.
void checkrandtab(const char* message);
