// Renaming a commander, when the game allows it.
#pragma once
#include "actions/refusal.h"
#include "runtime/short.h"

// Refused: "No commander", "Commander renaming is not enabled in this game",
// "The Pretender God will not be renamed", "The Prophet cannot be renamed",
// "NAME is a famous person and cannot be renamed" (in the hall of fame, or
// under a heroic ability), "NAME doesn't want to be renamed" (a mercenary).
Refusal canrename(int32_t cnr);
// Asks canrename again, then takes the name: at most 35 characters are
// kept; an empty name (or none) leaves the name as it is.
Refusal renamecommander(int32_t cnr, const char* name);
