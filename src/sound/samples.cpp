// Sample files: the number-to-file table, the RIFF WAVE and raw a-law
// readers (every size checked), the WAVE writer of the build's generator, and
// the cache of loaded samples.
#include "sound/samples.h"

#include <array>
#include <cstring>

#include "runtime/fatal.h"
#include "runtime/util.h"
#include "sound/mixer.h"

namespace {
struct SampleRow {
  int16_t number;
  const char* file;
};

// One row per sample that has a file. The build's generator writes exactly
// these files, so the two never disagree.
constexpr SampleRow sampletable[] = {
    {SND_SWORD, "rawsound/sword.wav"},       {SND_BLUNT, "rawsound/blunt.wav"},
    {SND_BOW, "rawsound/bow.wav"},           {SND_CROSSBOW, "rawsound/crossbow.wav"},
    {SND_SLING, "rawsound/sling.wav"},       {SND_TOGGLE, "rawsound/toggle.wav"},
    {SND_SCROLL, "rawsound/scroll.wav"},     {SND_BITE, "rawsound/bite.wav"},
    {SND_SPEAR, "rawsound/spear.wav"},       {SND_AXE, "rawsound/axe.wav"},
    {SND_FIRE, "rawsound/fire.wav"},         {SND_LIGHTNING, "rawsound/lightning.wav"},
    {SND_FROST, "rawsound/frost.wav"},       {SND_CAST, "rawsound/cast.wav"},
    {SND_MAGICBOLT, "rawsound/magicbolt.wav"}, {SND_DEATH, "rawsound/death.wav"},
    {SND_HORN, "rawsound/horn.wav"},         {SND_RETREAT, "rawsound/retreat.wav"},
    {SND_SHIELD, "rawsound/shield.wav"},     {SND_ARMOR, "rawsound/armor.wav"},
    {SND_MISS, "rawsound/miss.wav"},         {SND_ARROWHIT, "rawsound/arrowhit.wav"},
    {SND_HOLY, "rawsound/holy.wav"},         {SND_SUMMON, "rawsound/summon.wav"},
    {SND_QUAKE, "rawsound/quake.wav"},       {SND_ROAR, "rawsound/roar.wav"},
    {55, "rawsound/early1.raw"},             {56, "rawsound/early2.raw"},
    {57, "rawsound/early3.raw"},             {58, "rawsound/early4.raw"},
    {59, "rawsound/early5.raw"},             {61, "rawsound/middle1.raw"},
    {62, "rawsound/middle2.raw"},            {63, "rawsound/middle3.raw"},
    {64, "rawsound/middle4.raw"},            {66, "rawsound/late1.raw"},
    {67, "rawsound/late2.raw"},              {68, "rawsound/late3.raw"},
    {69, "rawsound/late4.raw"},              {71, "rawsound/menu.raw"},
};

// ---- RIFF WAVE ----
uint32_t le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

struct WaveFormat {
  uint32_t tag = 0, channels = 0, rate = 0, blockalign = 0, bits = 0;
};

const char* checkformat(const WaveFormat& f) {
  if (f.tag != WAVE_PCM && f.tag != WAVE_ALAW) return "not PCM or a-law";
  if (f.channels < 1 || f.channels > 2) return "not mono or stereo";
  if (f.rate < 4000 || f.rate > 96000) return "rate outside 4000..96000";
  if (f.tag == WAVE_PCM ? (f.bits != 8 && f.bits != 16) : f.bits != 8) return "unusable bits per sample";
  if (f.blockalign != f.channels * f.bits / 8) return "block size does not fit the format";
  return nullptr;
}

// One mono value of frame i of the data chunk.
int32_t framevalue(const WaveFormat& f, const uint8_t* data, size_t i) {
  const uint8_t* p = data + i * f.blockalign;
  int32_t sum = 0;
  for (uint32_t c = 0; c < f.channels; c++) {
    if (f.tag == WAVE_ALAW) sum += alawdecode(p[c]);
    else if (f.bits == 8) sum += (int32_t(p[c]) - 128) << 8;
    else sum += int16_t(uint16_t(p[2 * c] | p[2 * c + 1] << 8));
  }
  return sum / int32_t(f.channels);
}

// Frames at rate to samples at MIXRATE by linear interpolation.
bool convert(const WaveFormat& f, const uint8_t* data, size_t frames, std::vector<int16_t>& out, const char** problem) {
  const uint64_t outframes = uint64_t(frames) * MIXRATE / f.rate;
  if (outframes < 1) {
    *problem = "no whole sample at the mixer's rate";
    return false;
  }
  if (outframes > uint64_t(MAXSAMPLEFRAMES)) {
    *problem = "longer than a sample may be";
    return false;
  }
  out.resize(size_t(outframes));
  if (f.rate == uint32_t(MIXRATE)) {
    for (size_t i = 0; i < out.size(); i++) out[i] = int16_t(framevalue(f, data, i));
    return true;
  }
  for (size_t i = 0; i < out.size(); i++) {
    const uint64_t pos = uint64_t(i) * f.rate * 256 / MIXRATE;   // in 1/256 frames
    const size_t a = size_t(pos >> 8);
    const int32_t w = int32_t(pos & 255);
    const int32_t va = framevalue(f, data, a);
    const int32_t vb = a + 1 < frames ? framevalue(f, data, a + 1) : va;
    out[i] = int16_t(va + (vb - va) * w / 256);
  }
  return true;
}

bool decodewave(std::span<const uint8_t> b, std::vector<int16_t>& out, const char** problem) {
  if (b.size() < 12 || memcmp(b.data(), "RIFF", 4) != 0 || memcmp(b.data() + 8, "WAVE", 4) != 0) {
    *problem = "not a RIFF WAVE file";
    return false;
  }
  WaveFormat f;
  bool havefmt = false;
  size_t at = 12;
  while (at + 8 <= b.size()) {
    const uint8_t* chunk = b.data() + at;
    const uint64_t size = le32(chunk + 4);
    if (size > b.size() - at - 8) {
      *problem = "a chunk runs past the end of the file";
      return false;
    }
    const uint8_t* body = chunk + 8;
    if (memcmp(chunk, "fmt ", 4) == 0) {
      if (size < 16) {
        *problem = "format chunk too short";
        return false;
      }
      f = {peekle16(body), peekle16(body + 2), le32(body + 4), peekle16(body + 12), peekle16(body + 14)};
      if ((*problem = checkformat(f))) return false;
      havefmt = true;
    } else if (memcmp(chunk, "data", 4) == 0) {
      if (!havefmt) {
        *problem = "data before the format chunk";
        return false;
      }
      return convert(f, body, size_t(size / f.blockalign), out, problem);
    }
    at += 8 + size_t(size) + (size & 1);
  }
  *problem = havefmt ? "no data chunk" : "no format chunk";
  return false;
}
}  // namespace

const char* samplefile(int32_t number) {
  for (const SampleRow& row : sampletable)
    if (row.number == number) return row.file;
  return nullptr;
}

int16_t alawdecode(uint8_t code) {
  code ^= 0x55;
  const int32_t segment = (code >> 4) & 7, mantissa = code & 15;
  const int32_t magnitude = segment == 0 ? (mantissa << 4) + 8 : ((mantissa << 4) + 0x108) << (segment - 1);
  return int16_t((code & 0x80) ? magnitude : -magnitude);
}

uint8_t alawencode(int16_t value) {
  const uint8_t sign = value >= 0 ? 0x80 : 0;
  const int32_t magnitude = (value >= 0 ? value : ~int32_t(value)) >> 3;   // 0..4095
  int32_t segment = 0;
  while (segment < 7 && magnitude >= (32 << segment)) segment++;
  const int32_t mantissa = segment == 0 ? magnitude >> 1 : (magnitude >> segment) & 15;
  return uint8_t((sign | segment << 4 | mantissa) ^ 0x55);
}

bool decodesample(std::span<const uint8_t> bytes, bool riff, std::vector<int16_t>& out, const char** problem) {
  out.clear();
  const char* ignored = nullptr;
  if (!problem) problem = &ignored;
  *problem = nullptr;
  bool ok;
  if (bytes.size() > size_t(MAXSAMPLEFILE)) {
    *problem = "file too large";
    ok = false;
  } else if (riff) {
    ok = decodewave(bytes, out, problem);
  } else if (bytes.empty()) {
    *problem = "empty file";
    ok = false;
  } else if (bytes.size() > size_t(MAXSAMPLEFRAMES)) {
    *problem = "longer than a sample may be";
    ok = false;
  } else {
    out.resize(bytes.size());
    for (size_t i = 0; i < bytes.size(); i++) out[i] = alawdecode(bytes[i]);
    ok = true;
  }
  if (!ok) out.clear();
  return ok;
}

std::vector<uint8_t> encodewav(std::span<const int16_t> samples, int32_t rate, int32_t format) {
  const uint32_t bits = format == WAVE_ALAW ? 8 : 16;
  const uint32_t datasize = uint32_t(samples.size() * bits / 8);
  std::vector<uint8_t> b;
  auto text = [&](const char* t) { b.insert(b.end(), t, t + 4); };
  auto put = [&](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; i++) b.push_back(uint8_t(v >> (8 * i)));
  };
  text("RIFF");
  put(36 + datasize + (datasize & 1), 4);
  text("WAVE");
  text("fmt ");
  put(16, 4);
  put(uint32_t(format), 2);
  put(1, 2);
  put(uint32_t(rate), 4);
  put(uint32_t(rate) * bits / 8, 4);
  put(bits / 8, 2);
  put(bits, 2);
  text("data");
  put(datasize, 4);
  for (int16_t s : samples) {
    if (format == WAVE_ALAW) b.push_back(alawencode(s));
    else put(uint16_t(s), 2);
  }
  if (datasize & 1) b.push_back(0);
  return b;
}

// ---- the cache ----
namespace {
enum class Loaded : uint8_t { no, yes, failed };
struct CachedSample {
  Loaded state = Loaded::no;
  std::vector<int16_t> samples;
};
std::array<CachedSample, SOUNDSAMPLES> cache;

bool readsamplefile(const char* path, std::vector<uint8_t>& bytes, const char** problem) {
  UniqueFile f = openfile(path, "rb");
  if (!f) {
    *problem = "missing";
    return false;
  }
  if (fseek(f.get(), 0, SEEK_END) != 0) {
    *problem = "cannot be read";
    return false;
  }
  const long size = ftell(f.get());
  if (size < 0 || size > MAXSAMPLEFILE) {
    *problem = size < 0 ? "cannot be read" : "file too large";
    return false;
  }
  rewind(f.get());
  bytes.resize(size_t(size));
  if (fread(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) {
    *problem = "cannot be read";
    return false;
  }
  return true;
}
}  // namespace

const std::vector<int16_t>* loadsample(int32_t number) {
  if (number < 0 || number >= SOUNDSAMPLES) {
    debugprint("***** Warning: no sound sample %d\n", number);
    return nullptr;
  }
  CachedSample& c = cache[size_t(number)];
  if (c.state == Loaded::no) {
    c.state = Loaded::failed;
    const char* file = samplefile(number);
    if (!file) {
      debugprint("***** Warning: no sound sample %d\n", number);
      return nullptr;
    }
    char path[PATHLEN];
    formatbounded(path, PATHLEN, "%s/%s", sounddatafolder, file);
    std::vector<uint8_t> bytes;
    const char* problem = nullptr;
    if (readsamplefile(path, bytes, &problem) && decodesample(bytes, hasextension(file, ".wav"), c.samples, &problem))
      c.state = Loaded::yes;
    else
      debugprint("***** Warning: sound sample %s: %s, played as silence\n", path, problem);
  }
  return c.state == Loaded::yes ? &c.samples : nullptr;
}

void freesamples() {
  for (CachedSample& c : cache) c = {};
}
