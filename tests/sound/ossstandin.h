// A stand-in OSS sound card of our own, for machines without "/dev/dsp". Put
// in place of the system's calls (sound/ossdevice.h) while it lives, it
// answers open of the device's path, the set-up ioctls as a card does (it
// takes what it can and answers what it took), and writes, which it plays
// to nothing at the pace its rate gives. It records what it was asked and
// every byte written.
#pragma once
#include <cstdint>
#include <vector>

#include "sound/ossdevice.h"

// What the card can do.
struct StandInCard {
  bool busy = false;           // open fails with EBUSY (another program holds it)
  bool stereo = true;          // else it answers mono to the stereo request
  bool sixteenbit = true;      // else it answers 8-bit unsigned to the format request
  bool fragments = true;       // else the fragment request fails with EINVAL
  int rate = 22050;            // the rate it plays at, its answer to the speed request
  size_t maxwrite = 0;         // bytes a write takes at most (0: all it is given)
  int interrupts = 0;          // writes that fail with EINTR first, as under a signal
};

struct StandInAsk {
  unsigned long request;
  int asked, answered;
};

// What the card got.
struct StandInHeard {
  int opens = 0, closes = 0, openflags = -1;
  std::vector<StandInAsk> asks;     // every ioctl, in order
  std::vector<uint8_t> bytes;       // every byte written, in order
  int writing = 0;                  // writes under way at this moment
  int misuses = 0;                  // calls on a device that is not open, writes before set-up
};

class StandInDsp {
 public:
  explicit StandInDsp(StandInCard card = {});
  ~StandInDsp();
  StandInDsp(const StandInDsp&) = delete;
  StandInDsp& operator=(const StandInDsp&) = delete;
  // A copy of what the card got so far.
  StandInHeard heard() const;
  // The bytes written as 16-bit values.
  std::vector<int16_t> values() const;
};
