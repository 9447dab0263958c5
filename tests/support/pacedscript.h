// Input scripts for window tests: script lines run together until a "wait",
// and a frame acts on one click, so every click, key, typed text and
// picture is followed by two frames.
#pragma once
#include <cstdint>
#include <string>

inline std::string paced(const std::string& script) {
  std::string out;
  size_t at = 0;
  while (at < script.size()) {
    size_t end = script.find('\n', at);
    if (end == std::string::npos) end = script.size();
    const std::string line = script.substr(at, end - at);
    out += line + "\n";
    if (line.rfind("clickid", 0) == 0 || line.rfind("key", 0) == 0 || line.rfind("type", 0) == 0 ||
        line.rfind("shot", 0) == 0)
      out += "wait 2\n";
    at = end + 1;
  }
  return out;
}

// A script line of a command and an area id (one of the screen's named ids),
// e.g. line("clickid", TS_ENDTURN).
inline std::string line(const char* op, int32_t id) { return std::string(op) + " " + std::to_string(id) + "\n"; }
