// The signals that ask the program to stop: SIGTERM (a shutdown, a kill)
// and SIGINT (Ctrl+C). Where stopping at once would lose work (a turn whose
// orders are not saved), a StopSignalScope catches them: the handler only
// raises a flag, as a signal handler may do nothing more, and the program
// acts on it where it waits for the player, in the window's frame loop,
// through which every screen and modal wait runs: the scope's action keeps
// what is to be kept and the program ends. A second signal before that
// stops the program at once, as the first would have without the scope.
// Outside the scope (one at a time) the signals keep the action they had.
#pragma once

// What a stop does in the scope; the program ends after it.
using StopAction = void (*)();

struct StopSignalScope {
  explicit StopSignalScope(StopAction action);
  ~StopSignalScope();
  StopSignalScope(const StopSignalScope&) = delete;
  StopSignalScope& operator=(const StopSignalScope&) = delete;
};

// A stop was asked for by a signal caught in a scope.
bool stopsignalled();
// When a stop was asked for: the action of the scope that stands (none
// after it ended), then the end of the program through the fatal path (its
// shut-down hooks run). Nothing otherwise.
void stopifsignalled();
