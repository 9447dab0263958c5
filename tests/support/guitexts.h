// The texts of the window being built, for tests of screens' builders.
#pragma once
#include <string>

#include "gfx/gui.h"

// Every text of the window being built, in area order (wrapped rows
// joined), each followed by a space.
inline std::string windowtexts() {
  std::string all;
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind == AreaKind::text) all += std::string(guiareatext(a), size_t(a.length)) + " ";
  }
  return all;
}

// The first text area of the window being built whose text begins with
// start; null when none.
inline const guiarea* textstarting(const std::string& start) {
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind == AreaKind::text && std::string(guiareatext(a), size_t(a.length)).rfind(start, 0) == 0) return &a;
  }
  return nullptr;
}

// The x of the first text area of the window being built that reads the
// text, counted from the shown window's left edge; -1 when none.
inline float columnof(const std::string& text) {
  for (int32_t i = 0; i < guiareacount(); i++) {
    const guiarea& a = guiareaget(i);
    if (a.kind == AreaKind::text && std::string(guiareatext(a), size_t(a.length)) == text)
      return a.x - guishownwindow().x;
  }
  return -1;
}
