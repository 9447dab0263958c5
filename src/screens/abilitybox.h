// Ability and affliction icons of the unit status box and the explanation
// box that a click on one opens. An icon's kind (0..130) is its sprite in
// "icons.trs", the offset of its id (200 + kind) and the key of its
// explanation. The rules (which icons, their texts) are in
// abilityboxrules.cpp, the explanation box in abilitybox.cpp.
#pragma once
#include <string>
#include <vector>

#include "runtime/short.h"

constexpr int32_t ICONKINDS = 131;

// The explanation of one icon kind for the unit: the title (empty when the
// kind has none for this unit) and its lines in order.
struct IconText {
  std::string title;
  std::vector<std::string> lines;
};
IconText icontext(int32_t unr, int32_t kind);

// The explanation box, until a click or key gives an id, which it returns:
// 9 (Exit, Escape, Enter), -9 (a right click on Exit) or 0 (a left click on
// its plain text: the icon, a line, the margin). The wheel and the scroll
// bar move its text and nothing else. A unit or kind outside its table
// shows nothing (9).
int32_t afflictionbox(int32_t unr, int32_t kind);
