// The four calls through which the OSS back end reaches its device
// ("/dev/dsp"): by default the system's own open, ioctl, write and close.
// A test puts a stand-in device in their place, so that the back end's whole
// road (opening, the set-up ioctls, the mixing thread's writes, the stop)
// runs on machines that have no such device.
//
// Each call behaves as the system call does: -1 with errno set on failure.
// ioctl hands the device one int and takes its answer back in the same int
// (the value the device actually took). write may take fewer bytes than it
// was given, or fail with EINTR before taking any.
#pragma once
#include <sys/types.h>

#include <cstddef>

#include "sound/mixer.h"

struct OssDevice {
  int (*open)(const char* path, int flags);
  int (*ioctl)(int fd, unsigned long request, int* value);
  ssize_t (*write)(int fd, const void* bytes, size_t count);
  int (*close)(int fd);
};

// The system's calls.
extern const OssDevice SYSTEMOSSDEVICE;
// The calls that the back end uses; change them only while it is stopped.
extern OssDevice ossdevice;

// The device's path and the set-up the back end asks of it: 16-bit
// little-endian stereo at the mixer's rate, in fragments of one written chunk
// (OSSCHUNKFRAMES frames, 2^OSSFRAGMENTBITS bytes), at most OSSFRAGMENTS of
// them queued. A device may answer a rate up to OSSRATESLACK frames a second
// off (cards round to what their clock gives).
constexpr const char* DSPPATH = "/dev/dsp";
constexpr int OSSCHUNKFRAMES = 512;
constexpr int OSSFRAGMENTBITS = 11;
constexpr int OSSFRAGMENTS = 8;
static_assert(OSSCHUNKFRAMES * 4 == 1 << OSSFRAGMENTBITS, "a fragment holds one chunk of 16-bit stereo frames");
constexpr int OSSRATESLACK = MIXRATE / 50;
