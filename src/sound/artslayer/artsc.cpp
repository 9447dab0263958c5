// A small aRts C library of our own ("libartsc.so.0"), standing in for the
// aRts sound server on machines that have none. It offers the calls that the
// aRts back end loads at run time and takes one play stream of 16-bit
// frames, which it plays to nothing while keeping time as a device does:
// a write returns after the time that its frames take to play. It keeps the
// last second written, and the sound tests read it through artslayer_heard.
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

namespace {
struct Stream {
  int rate, channels;
};
std::mutex lock;
bool initialised = false;
Stream* open = nullptr;
std::vector<int16_t> heard;   // the last second written, interleaved as written
int32_t opened = 0, closed = 0;

void pace(int64_t frames, int rate) {
  const int64_t ns = frames * 1000000000 / rate;
  timespec t = {time_t(ns / 1000000000), long(ns % 1000000000)};
  while (nanosleep(&t, &t) != 0) {
  }
}
}  // namespace

extern "C" {
// 0 when the server is reached: ours always is.
int arts_init() {
  std::lock_guard<std::mutex> g(lock);
  initialised = true;
  return 0;
}

void arts_free() {
  std::lock_guard<std::mutex> g(lock);
  initialised = false;
}

// One stream at a time, of 16-bit mono or stereo frames at 4000..96000 a second.
void* arts_play_stream(int rate, int bits, int channels, const char*) {
  std::lock_guard<std::mutex> g(lock);
  if (!initialised || open || bits != 16 || channels < 1 || channels > 2 || rate < 4000 || rate > 96000)
    return nullptr;
  open = new Stream{rate, channels};
  heard.clear();
  opened++;
  return open;
}

// Plays count bytes; the bytes taken, or -1 for a stream that is not open or
// a count that is no whole number of frames.
int arts_write(void* stream, const void* buffer, int count) {
  int64_t frames = 0;
  int rate = 0;
  {
    std::lock_guard<std::mutex> g(lock);
    if (!stream || stream != open || !buffer || count < 0 || count % (2 * open->channels) != 0) return -1;
    const size_t values = size_t(count) / 2, keep = size_t(open->rate) * size_t(open->channels);
    heard.insert(heard.end(), static_cast<const int16_t*>(buffer), static_cast<const int16_t*>(buffer) + values);
    if (heard.size() > keep) heard.erase(heard.begin(), heard.end() - ptrdiff_t(keep));
    frames = int64_t(values) / open->channels;
    rate = open->rate;
  }
  pace(frames, rate);
  return count;
}

void arts_close_stream(void* stream) {
  std::lock_guard<std::mutex> g(lock);
  if (!stream || stream != open) return;
  delete open;
  open = nullptr;
  closed++;
}

// Of our own, for the tests: copies up to max of the last values written and
// returns how many; the counts of streams opened and closed, and whether
// arts_init holds (not yet freed).
int artslayer_heard(int16_t* out, int max) {
  std::lock_guard<std::mutex> g(lock);
  const size_t n = std::min(heard.size(), size_t(std::max(max, 0)));
  std::copy(heard.end() - ptrdiff_t(n), heard.end(), out);
  return int(n);
}
void artslayer_state(int* streamsopened, int* streamsclosed, int* holdsinit) {
  std::lock_guard<std::mutex> g(lock);
  *streamsopened = opened;
  *streamsclosed = closed;
  *holdsinit = initialised ? 1 : 0;
}
}
