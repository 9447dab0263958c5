// The first steps of start-up that the player's program and the host program
// share, in their fixed order: line-buffered output, the log, the random
// seeds, the folders, the settings file, the command line (verify and
// text-only mode turn sound off), the math tables and the mod folder.
#pragma once
#include <ctime>

#include "runtime/short.h"

void beginstartup(int argc, char** argv);
// Stops with the message when the random table was overwritten.
void checkrandtab(const char* message);
// A time on the clock that counts from the boot (CLOCK_BOOTTIME, in
// nanoseconds), which no step of the wall clock moves, that lies after the
// start of this process and as close to it as can be known: the end of the
// kernel's clock tick of its start, or the clock when its code first ran,
// whichever is earlier.
int64_t processstart();
// A clock's time or a file's stamp in nanoseconds, as processstart counts.
int64_t nanoseconds(const timespec& t);
