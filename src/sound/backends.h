// The back ends that feed the mixer to a device or an audio server. Each
// start returns 1 when it runs (and logs why not otherwise); each stop is safe
// when it did not start.
#pragma once
#include "runtime/short.h"

int startarts(const char* caption);
void stoparts();
int startoss();
void stoposs();
int startpulse(const char* caption);
void stoppulse();
int startjack(const char* caption);
void stopjack();
// Loads a shared library for a back end, or logs why not; nullptr on failure.
void* loadsoundlibrary(const char* name);
// Looks a symbol up; false (and a log line) when it is missing.
bool soundsymbol(void* library, const char* name, void*& out);
template <typename F>
bool soundsymbol(void* library, const char* name, F& out) {
  void* p = nullptr;
  bool ok = soundsymbol(library, name, p);
  out = reinterpret_cast<F>(p);
  return ok;
}
