// Input scripts that go through the turn screen.
#pragma once
#include <string>

#include "screens/turnscreen.h"
#include "support/pacedscript.h"

// Waits for the turn screen: its god button is drawn once it is up.
inline const std::string TURNSCREEN = line("waitfor", TS_GOD);
