// The answer of every player action's check. A player action (move an item,
// rename a commander, put a unit under a commander, ...) is a pair:
//   Refusal can<Action>(...)   says whether the action may be taken now, and
//   Refusal <action>(...)      asks can<Action> again and, when it allows,
//                              changes the world.
// Both return the same thing: an empty Refusal when the action is (or was)
// allowed, else the sentence that tells the player why not, ready to be
// shown as it is. A window asks can<Action> to grey a line or to show the
// sentence, and calls <action> when the player goes ahead; the computer
// players and the host call the same pair, so no caller can skip a check.
//
// A refusal converts to true: `if (Refusal r = canx(...)) tell(r.why);`.
// An empty sentence always means allowed; a check that refuses without
// anything to tell the player still gives a sentence.
#pragma once
#include <cstdio>
#include <string>
#include <utility>

struct Refusal {
  std::string why;   // empty: allowed
  explicit operator bool() const { return !why.empty(); }
};

// A refusal with a printf-style sentence (at most 299 bytes, as the order
// texts); refuse("No lab in this province").
template <class... Args>
Refusal refuse(const char* format, Args... args) {
  if constexpr (sizeof...(Args) == 0) {
    return Refusal{format};
  } else {
    char text[300];
    snprintf(text, sizeof text, format, args...);
    return Refusal{text};
  }
}
