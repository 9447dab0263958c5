// Name grammar for messages and info texts: plurals of unit names, pronouns
// by the unit type's female flag, indefinite articles, "was"/"were".
#pragma once
#include "runtime/short.h"

constexpr int32_t PLURALLEN = 80;   // destination of pluralname, terminator included

// The name made plural unless count is 1, written into dst (PLURALLEN bytes).
char* pluralname(int32_t count, const char* name, char* dst);
inline char* unittitle(int32_t count, const char* name, char* dst) { return pluralname(count, name, dst); }
const char* heshecap(int32_t unr);
const char* heshe(int32_t unr);
const char* hisher(int32_t unr);
const char* hishercap(int32_t unr);
const char* himher(int32_t unr);
const char* himherself(int32_t unr);
// anacap: "a" or "an", capitalised.
const char* anacap(const char* text);
// aan: "a" or "an".
const char* aan(const char* text);
const char* waswere(int32_t count);
