// The stand-in card: one open at a time, ioctls answered as OSS cards answer
// them, writes kept and paced by the frames they hold.
#include "sound/ossstandin.h"

#include <fcntl.h>
#include <linux/soundcard.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace {
constexpr int STANDINFD = 4711;   // no real file: every call comes to the stand-in

std::mutex lock;
StandInCard card;
StandInHeard got;
bool isopen = false;
// The set-up that the card took: an unset card plays 8-bit mono at 8000 frames a second.
int channels = 1, samplebytes = 1, rate = 8000;
bool setup = false;

int fail(int error) {
  errno = error;
  return -1;
}

bool ours(int fd) {
  if (fd == STANDINFD && isopen) return true;
  got.misuses++;
  return false;
}

int standinopen(const char* path, int flags) {
  std::lock_guard<std::mutex> g(lock);
  if (!path || std::strcmp(path, DSPPATH) != 0) return fail(ENOENT);
  if (card.busy || isopen) return fail(EBUSY);
  isopen = true;
  channels = 1, samplebytes = 1, rate = 8000;
  setup = false;
  got.opens++;
  got.openflags = flags;
  return STANDINFD;
}

int standinioctl(int fd, unsigned long request, int* value) {
  std::lock_guard<std::mutex> g(lock);
  if (!ours(fd)) return fail(EBADF);
  if (!value) return fail(EFAULT);
  StandInAsk ask{request, *value, *value};
  int result = 0;
  switch (request) {
    case SNDCTL_DSP_STEREO:
      channels = *value == 1 && card.stereo ? 2 : 1;
      *value = channels - 1;
      break;
    case SNDCTL_DSP_SETFMT:
      // A format it cannot play leaves the one it has.
      if (*value == AFMT_U8) samplebytes = 1;
      else if (*value == AFMT_S16_LE && card.sixteenbit) samplebytes = 2;
      *value = samplebytes == 2 ? AFMT_S16_LE : AFMT_U8;
      break;
    case SNDCTL_DSP_SETFRAGMENT:
      if (!card.fragments) result = fail(EINVAL);
      break;
    case SNDCTL_DSP_SPEED:
      rate = card.rate;
      *value = rate;
      setup = true;
      break;
    default: result = fail(EINVAL); break;
  }
  ask.answered = *value;
  got.asks.push_back(ask);
  return result;
}

ssize_t standinwrite(int fd, const void* bytes, size_t count) {
  int64_t ns = 0;
  {
    std::lock_guard<std::mutex> g(lock);
    if (!ours(fd)) return fail(EBADF);
    if (!setup) got.misuses++;
    if (card.interrupts > 0) {
      card.interrupts--;
      return fail(EINTR);
    }
    if (card.maxwrite > 0) count = std::min(count, card.maxwrite);
    const uint8_t* b = static_cast<const uint8_t*>(bytes);
    got.bytes.insert(got.bytes.end(), b, b + count);
    got.writing++;
    ns = int64_t(count) * 1000000000 / (int64_t(channels) * samplebytes * rate);
  }
  // Played at the card's pace, as a write blocks while the card's queue is full.
  timespec t = {time_t(ns / 1000000000), long(ns % 1000000000)};
  while (nanosleep(&t, &t) != 0) {
  }
  std::lock_guard<std::mutex> g(lock);
  got.writing--;
  return ssize_t(count);
}

int standinclose(int fd) {
  std::lock_guard<std::mutex> g(lock);
  if (!ours(fd)) return fail(EBADF);
  isopen = false;
  got.closes++;
  return 0;
}
}  // namespace

StandInDsp::StandInDsp(StandInCard c) {
  std::lock_guard<std::mutex> g(lock);
  card = c;
  got = {};
  isopen = false;
  ossdevice = {standinopen, standinioctl, standinwrite, standinclose};
}

StandInDsp::~StandInDsp() { ossdevice = SYSTEMOSSDEVICE; }

StandInHeard StandInDsp::heard() const {
  std::lock_guard<std::mutex> g(lock);
  return got;
}

std::vector<int16_t> StandInDsp::values() const {
  std::lock_guard<std::mutex> g(lock);
  std::vector<int16_t> v(got.bytes.size() / 2);
  if (!v.empty()) std::memcpy(v.data(), got.bytes.data(), v.size() * 2);
  return v;
}
