// Build-time generator of the sound samples: every click, blow, spell and
// piece of music is synthesized here from oscillators, noise and filters.
// Writes the files of the sample table into "rawsound/" of the data folder
// given as the one argument: effects as 16-bit RIFF WAVE files, music as raw
// a-law bytes, all mono at the mixer's rate. Seeded, so every build writes the
// same bytes.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "runtime/folders.h"
#include "runtime/util.h"
#include "sound/mixer.h"
#include "sound/samples.h"
#include "world/recruit.h"

namespace {
constexpr int RATE = MIXRATE;
constexpr float PI = 3.14159265358979f;
using Track = std::vector<float>;

struct Random {
  uint32_t state;
  uint32_t next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
  float uniform() { return float(next() >> 8) / 16777216.0f; }   // 0 .. 1
  float noise() { return uniform() * 2.0f - 1.0f; }
  int below(int n) { return int(next() % uint32_t(n)); }
};

int frames(float seconds) { return std::max(1, int(seconds * RATE)); }
float hz(float midi) { return 440.0f * std::pow(2.0f, (midi - 69.0f) / 12.0f); }

// Attack rising linearly, then an exponential decay with time constant decay.
float envad(float t, float attack, float decay) { return t < attack ? t / attack : std::exp(-(t - attack) / decay); }

struct Lowpass {
  float a = 1, y = 0;
  void set(float cutoff) { a = 1.0f - std::exp(-2.0f * PI * cutoff / RATE); }
  float operator()(float x) { return y += a * (x - y); }
};

// Band-pass of constant peak gain.
struct Bandpass {
  float b0 = 0, b2 = 0, a1 = 0, a2 = 0, x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  void set(float centre, float q) {
    const float w = 2.0f * PI * centre / RATE, alpha = std::sin(w) / (2.0f * q), a0 = 1.0f + alpha;
    b0 = alpha / a0;
    b2 = -alpha / a0;
    a1 = -2.0f * std::cos(w) / a0;
    a2 = (1.0f - alpha) / a0;
  }
  float operator()(float x) {
    const float y = b0 * x + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }
};

// A sine whose frequency may change each frame.
struct Sweep {
  float phase = 0;
  float operator()(float frequency) {
    phase += 2.0f * PI * frequency / RATE;
    if (phase > 2.0f * PI) phase -= 2.0f * PI;
    return std::sin(phase);
  }
};

void add(Track& out, int at, const Track& sound, float gain) {
  for (size_t i = 0; i < sound.size() && at + int(i) < int(out.size()); i++)
    if (at + int(i) >= 0) out[size_t(at) + i] += sound[i] * gain;
}

// Partials of a struck or plucked body: frequency ratios, loudness and decay
// time of each; those above the highest frequency the rate carries are left out.
struct Partial {
  float ratio, gain, decay;
};
Track struck(float base, std::initializer_list<Partial> partials, float seconds, float attack = 0.002f) {
  Track out(size_t(frames(seconds)), 0.0f);
  for (const Partial& p : partials) {
    const float f = base * p.ratio;
    if (f >= RATE * 0.45f) continue;
    // A rotating phasor: two multiplications a frame instead of a sine.
    const double w = 2.0 * PI * f / RATE;
    double c = 1.0, s = 0.0;
    const double cw = std::cos(w), sw = std::sin(w);
    for (size_t i = 0; i < out.size(); i++) {
      const float t = float(i) / RATE;
      out[i] += float(s) * p.gain * envad(t, attack, p.decay);
      const double nc = c * cw - s * sw;
      s = c * sw + s * cw;
      c = nc;
    }
  }
  return out;
}

// Noise shaped by a band-pass whose centre moves from one frequency to another.
Track noiseband(Random& r, float seconds, float from, float to, float q, float attack, float decay) {
  Track out(size_t(frames(seconds)));
  Bandpass band;
  for (size_t i = 0; i < out.size(); i++) {
    const float t = float(i) / RATE, k = t / seconds;
    if (i % 32 == 0) band.set(from + (to - from) * k, q);
    out[i] = band(r.noise()) * envad(t, attack, decay);
  }
  return out;
}

// A falling sine: drums, thuds, the body of a blow.
Track thud(float from, float to, float seconds, float decay) {
  Track out(size_t(frames(seconds)));
  Sweep osc;
  for (size_t i = 0; i < out.size(); i++) {
    const float t = float(i) / RATE;
    out[i] = osc(to + (from - to) * std::exp(-t / (decay * 0.4f))) * envad(t, 0.002f, decay);
  }
  return out;
}

// A voice or beast: a pulse through two resonances (vowel formants).
Track voice(Random& r, float seconds, float pitchfrom, float pitchto, float f1, float f2, float rough) {
  Track out(size_t(frames(seconds)));
  Bandpass a, b;
  a.set(f1, 5.0f);
  b.set(f2, 8.0f);
  float phase = 0;
  for (size_t i = 0; i < out.size(); i++) {
    const float t = float(i) / RATE, k = t / seconds;
    const float pitch = (pitchfrom + (pitchto - pitchfrom) * k) * (1.0f + rough * 0.08f * r.noise());
    phase += pitch / RATE;
    if (phase >= 1.0f) phase -= 1.0f;
    const float source = (phase < 0.15f ? 1.0f : -0.18f) + rough * 0.6f * r.noise();
    out[i] = (a(source) + 0.6f * b(source)) * envad(t, 0.06f, seconds * 0.45f);
  }
  return out;
}

Track mix(std::initializer_list<std::pair<const Track*, float>> parts) {
  size_t n = 0;
  for (auto& p : parts) n = std::max(n, p.first->size());
  Track out(n, 0.0f);
  for (auto& p : parts) add(out, 0, *p.first, p.second);
  return out;
}

// A metal clang: inharmonic partials of a bar with a bright strike.
Track clang(Random& r, float base, float seconds) {
  Track ring = struck(base, {{1.0f, 1.0f, 0.25f}, {2.76f, 0.7f, 0.18f}, {5.40f, 0.5f, 0.12f}, {8.93f, 0.35f, 0.07f},
                             {13.34f, 0.2f, 0.04f}},
                      seconds);
  Track hit = noiseband(r, 0.05f, 4000, 2500, 1.2f, 0.001f, 0.01f);
  return mix({{&ring, 0.8f}, {&hit, 1.2f}});
}

Track effect(int32_t number) {
  Random r{uint32_t(1000 + number * 7919)};
  switch (number) {
    case SND_SWORD: return clang(r, 820, 0.7f);
    case SND_ARMOR: return clang(r, 1350, 0.35f);
    case SND_BLUNT: {
      Track body = thud(160, 60, 0.35f, 0.09f), crack = noiseband(r, 0.12f, 700, 300, 1.0f, 0.001f, 0.03f);
      return mix({{&body, 1.0f}, {&crack, 1.2f}});
    }
    case SND_BOW: {
      Track twang = struck(196, {{1, 1, 0.08f}, {2, 0.5f, 0.05f}, {3, 0.3f, 0.03f}}, 0.2f);
      Track whoosh = noiseband(r, 0.45f, 1800, 900, 2.5f, 0.12f, 0.12f);
      return mix({{&twang, 0.8f}, {&whoosh, 1.3f}});
    }
    case SND_CROSSBOW: {
      Track snap = noiseband(r, 0.06f, 3000, 2000, 1.0f, 0.001f, 0.008f);
      Track body = thud(300, 120, 0.2f, 0.05f), whoosh = noiseband(r, 0.3f, 2200, 1200, 3.0f, 0.05f, 0.08f);
      return mix({{&snap, 1.5f}, {&body, 0.7f}, {&whoosh, 0.9f}});
    }
    case SND_SLING: return noiseband(r, 0.5f, 600, 1600, 3.0f, 0.2f, 0.1f);
    case SND_MISS: return noiseband(r, 0.3f, 500, 1400, 2.0f, 0.1f, 0.06f);
    case SND_SPEAR: {
      Track whoosh = noiseband(r, 0.2f, 900, 1500, 2.0f, 0.07f, 0.05f), body = thud(220, 90, 0.25f, 0.06f);
      Track both(size_t(frames(0.4f)), 0.0f);
      add(both, 0, whoosh, 1.0f);
      add(both, frames(0.14f), body, 0.9f);
      return both;
    }
    case SND_AXE: {
      Track chop = noiseband(r, 0.15f, 1200, 500, 1.5f, 0.001f, 0.03f), wood = thud(190, 110, 0.3f, 0.08f);
      return mix({{&chop, 1.3f}, {&wood, 1.0f}});
    }
    case SND_BITE: {
      Track out(size_t(frames(0.32f)), 0.0f);
      for (int k = 0; k < 3; k++) {
        Track crunch = noiseband(r, 0.07f, 1500 + 400.0f * k, 800, 1.5f, 0.002f, 0.015f);
        add(out, frames(0.02f + 0.09f * k), crunch, 1.0f - 0.2f * k);
      }
      Track growl = voice(r, 0.3f, 90, 70, 400, 900, 0.8f);
      add(out, 0, growl, 0.5f);
      return out;
    }
    case SND_ARROWHIT: {
      Track tock = thud(420, 200, 0.15f, 0.03f), hit = noiseband(r, 0.05f, 2000, 800, 1.0f, 0.001f, 0.01f);
      return mix({{&tock, 1.0f}, {&hit, 0.8f}});
    }
    case SND_SHIELD: {
      Track knock = thud(230, 150, 0.3f, 0.07f), rim = struck(640, {{1, 0.6f, 0.12f}, {2.3f, 0.4f, 0.07f}}, 0.3f);
      return mix({{&knock, 1.0f}, {&rim, 0.5f}});
    }
    case SND_FIRE: {
      Track roar = noiseband(r, 1.1f, 300, 900, 0.7f, 0.08f, 0.35f);
      for (int k = 0; k < 40; k++) {   // crackles
        Track pop = noiseband(r, 0.02f, 2500, 2500, 2.0f, 0.0005f, 0.004f);
        add(roar, r.below(frames(1.0f)), pop, 0.5f + r.uniform());
      }
      return roar;
    }
    case SND_LIGHTNING: {
      Track crack = noiseband(r, 0.25f, 5000, 1500, 0.5f, 0.0005f, 0.05f), rumble = noiseband(r, 1.3f, 120, 60, 0.8f, 0.05f, 0.4f);
      return mix({{&crack, 1.5f}, {&rumble, 1.6f}});
    }
    case SND_FROST: {
      Track out = noiseband(r, 0.9f, 6000, 4000, 1.5f, 0.05f, 0.25f);
      for (int k = 0; k < 7; k++) {
        Track glint = struck(2200 + 300.0f * r.below(8), {{1, 1, 0.15f}, {2.4f, 0.3f, 0.08f}}, 0.4f);
        add(out, frames(0.1f * k), glint, 0.25f);
      }
      return out;
    }
    case SND_CAST: {
      Track out(size_t(frames(1.1f)), 0.0f);
      for (int k = 0; k < 3; k++) {
        Sweep osc;
        const float base = hz(72 + 4.0f * k);
        for (size_t i = 0; i < out.size(); i++) {
          const float t = float(i) / RATE;
          out[i] += 0.3f * osc(base * (1.0f + 0.25f * t + 0.01f * std::sin(2 * PI * 6 * t))) * envad(t, 0.35f, 0.3f);
        }
      }
      Track shimmer = noiseband(r, 1.1f, 3000, 6000, 4.0f, 0.4f, 0.3f);
      add(out, 0, shimmer, 0.5f);
      return out;
    }
    case SND_MAGICBOLT: {
      Track out(size_t(frames(0.6f)), 0.0f);
      Sweep osc;
      for (size_t i = 0; i < out.size(); i++) {
        const float t = float(i) / RATE;
        out[i] = osc(1500.0f * std::exp(-t * 3.0f) + 200.0f) * envad(t, 0.02f, 0.18f);
      }
      Track hiss = noiseband(r, 0.6f, 4000, 1000, 2.0f, 0.02f, 0.15f);
      add(out, 0, hiss, 0.6f);
      return out;
    }
    case SND_DEATH: return voice(r, 0.85f, 150, 85, 700, 1100, 0.25f);
    case SND_ROAR: return voice(r, 1.1f, 75, 55, 450, 1000, 1.0f);
    case SND_HORN:
    case SND_RETREAT: {
      // A horn: the first notes of a call, falling away for a retreat.
      const float rise[] = {55, 62, 62}, fall[] = {62, 58, 55};
      const float* notes = number == SND_HORN ? rise : fall;
      const float lengths[] = {0.35f, 0.3f, 0.9f};
      Track out(size_t(frames(1.8f)), 0.0f);
      float at = 0;
      for (int k = 0; k < 3; k++) {
        Track tone(size_t(frames(lengths[k] + 0.2f)));
        Lowpass soft;
        soft.set(1800);
        float phase = 0;
        const float f = hz(notes[k]);
        for (size_t i = 0; i < tone.size(); i++) {
          const float t = float(i) / RATE;
          phase += f * (1.0f - 0.02f * std::exp(-t / 0.03f)) / RATE;
          phase -= std::floor(phase);
          const float level = t < 0.04f ? t / 0.04f : t > lengths[k] ? std::exp(-(t - lengths[k]) / 0.06f) : 1.0f;
          tone[i] = soft(2.0f * phase - 1.0f) * level;
        }
        add(out, frames(at), tone, 1.0f);
        at += lengths[k];
      }
      return out;
    }
    case SND_HOLY: {
      Track out(size_t(frames(1.6f)), 0.0f);
      for (float note : {76.0f, 80.0f, 83.0f, 88.0f}) {
        Track bell = struck(hz(note), {{1, 1, 0.6f}, {2.0f, 0.4f, 0.4f}, {2.76f, 0.3f, 0.25f}, {5.4f, 0.1f, 0.1f}}, 1.6f);
        add(out, 0, bell, 0.3f);
      }
      return out;
    }
    case SND_SUMMON: {
      Track out = noiseband(r, 1.3f, 80, 400, 1.2f, 0.8f, 0.25f);
      Track tone(out.size());
      Sweep osc;
      for (size_t i = 0; i < tone.size(); i++) {
        const float t = float(i) / RATE;
        tone[i] = osc(55.0f + 80.0f * t) * envad(t, 0.8f, 0.25f);
      }
      add(out, 0, tone, 0.6f);
      return out;
    }
    case SND_QUAKE: {
      Track out = noiseband(r, 1.6f, 70, 45, 1.0f, 0.1f, 0.6f);
      for (size_t i = 0; i < out.size(); i++) out[i] *= 0.6f + 0.4f * std::sin(2 * PI * 7 * float(i) / RATE);
      return out;
    }
    case SND_TOGGLE: {
      Track tick = struck(2100, {{1, 1, 0.012f}, {2.7f, 0.5f, 0.006f}}, 0.05f, 0.0005f);
      Track snap = noiseband(r, 0.02f, 4000, 3000, 1.0f, 0.0003f, 0.003f);
      return mix({{&tick, 1.0f}, {&snap, 0.7f}});
    }
    case SND_SCROLL: return struck(1500, {{1, 1, 0.008f}, {3.1f, 0.3f, 0.004f}}, 0.035f, 0.0005f);
    default: return {};
  }
}

// ------------------------------------------------------------------ music
enum class Instrument { lyre, flute, reed, strings, brass, drum, tabor, timpani, tick };

// Harmonic amplitudes of the sustained instruments.
std::vector<float> harmonics(Instrument kind) {
  switch (kind) {
    case Instrument::flute: return {1.0f, 0.3f, 0.12f, 0.05f, 0.02f};
    case Instrument::reed: return {1.0f, 0.2f, 0.6f, 0.1f, 0.35f, 0.05f, 0.2f, 0.03f, 0.1f};
    case Instrument::brass: {
      std::vector<float> h;
      for (int n = 1; n <= 12; n++) h.push_back(std::pow(float(n), -1.1f));
      return h;
    }
    default: {   // strings: a saw wave, softened toward the top
      std::vector<float> h;
      for (int n = 1; n <= 16; n++) h.push_back(std::exp(-float(n) / 5.0f) / float(n));
      return h;
    }
  }
}

// One note of a sustained instrument: a one-cycle wave table of its
// harmonics (those the rate carries), with attack, release and vibrato.
void sustained(Track& out, Instrument kind, float start, float length, float f, float gain, Random& r) {
  const float attack = kind == Instrument::strings ? 0.22f : kind == Instrument::brass ? 0.05f : 0.07f;
  const float release = kind == Instrument::strings ? 0.35f : 0.12f;
  const float depth = kind == Instrument::flute ? 0.005f : kind == Instrument::strings ? 0.006f : 0.002f;
  constexpr int TABLE = 1024;
  std::vector<float> table(TABLE, 0.0f);
  const std::vector<float> h = harmonics(kind);
  for (size_t n = 0; n < h.size(); n++) {
    if (f * float(n + 1) * 1.02f >= RATE * 0.45f) break;
    for (int i = 0; i < TABLE; i++) table[size_t(i)] += h[n] * std::sin(2.0f * PI * float(n + 1) * float(i) / TABLE);
  }
  const int begin = frames(start), count = frames(length + release);
  float phase = r.uniform();
  const float vibratophase = r.uniform() * 2 * PI;
  Lowpass breath;
  breath.set(2500);
  for (int i = 0; i < count && begin + i < int(out.size()); i++) {
    const float t = float(i) / RATE;
    const float vibrato = 1.0f + depth * std::min(1.0f, t / 0.3f) * std::sin(2 * PI * 5.2f * t + vibratophase);
    const float scoop = kind == Instrument::brass ? 1.0f - 0.015f * std::exp(-t / 0.04f) : 1.0f;
    phase += f * vibrato * scoop / RATE;
    phase -= std::floor(phase);
    const float x = phase * TABLE;
    const int a = int(x) % TABLE;
    const float w = x - std::floor(x);
    float v = table[size_t(a)] * (1 - w) + table[size_t((a + 1) % TABLE)] * w;
    if (kind == Instrument::flute) v += 0.08f * breath(r.noise());
    const float level = t < attack ? t / attack : t > length ? std::exp(-(t - length) / (release * 0.35f)) : 1.0f;
    out[size_t(begin + i)] += v * level * gain;
  }
}

void note(Track& out, Instrument kind, float start, float length, float midi, float gain, Random& r) {
  const float f = hz(midi);
  switch (kind) {
    case Instrument::lyre: {
      // Plucked: bright harmonics that die away faster than the fundamental.
      Track pluck = struck(f, {{1, 1.0f, 1.1f}, {2, 0.55f, 0.6f}, {3, 0.35f, 0.4f}, {4, 0.22f, 0.25f}, {5, 0.14f, 0.18f},
                               {6, 0.09f, 0.12f}, {7, 0.05f, 0.09f}},
                           std::min(length + 0.8f, 2.5f), 0.003f);
      add(out, frames(start), pluck, gain);
      return;
    }
    case Instrument::drum: {
      Random noise{r.next() | 1};
      Track body = thud(130, 70, 0.4f, 0.12f), skin = noiseband(noise, 0.08f, 900, 400, 1.0f, 0.001f, 0.02f);
      add(out, frames(start), body, gain);
      add(out, frames(start), skin, gain * 0.5f);
      return;
    }
    case Instrument::tabor: {
      Random noise{r.next() | 1};
      Track body = thud(240, 170, 0.2f, 0.06f), snare = noiseband(noise, 0.12f, 3000, 2000, 0.8f, 0.001f, 0.04f);
      add(out, frames(start), body, gain * 0.8f);
      add(out, frames(start), snare, gain * 0.6f);
      return;
    }
    case Instrument::timpani: {
      Track boom = struck(f, {{1, 1, 0.9f}, {1.5f, 0.5f, 0.6f}, {1.98f, 0.35f, 0.5f}, {2.44f, 0.2f, 0.3f}}, 1.5f, 0.004f);
      add(out, frames(start), boom, gain);
      return;
    }
    case Instrument::tick: {
      Random noise{r.next() | 1};
      Track t = noiseband(noise, 0.04f, 6000, 5000, 1.5f, 0.001f, 0.01f);
      add(out, frames(start), t, gain);
      return;
    }
    default: sustained(out, kind, start, length, f, gain, r); return;
  }
}

// How an era sounds: its modes, chord progressions (scale degrees per bar),
// instruments and pace.
struct Style {
  std::vector<std::vector<int>> modes;          // semitones of the scale's seven steps
  std::vector<std::vector<int>> progressions;   // 8 bars; bars 4-5 repeat bars 0-1
  Instrument melody, harmony, bass, percussion;
  int beats;              // a bar
  float tempolow, tempohigh;
  bool arpeggio;          // harmony broken into notes, else held chords
  bool drone;             // bass holds the tonic and fifth under everything
};

const std::vector<int> IONIAN = {0, 2, 4, 5, 7, 9, 11}, DORIAN = {0, 2, 3, 5, 7, 9, 10}, PHRYGIAN = {0, 1, 3, 5, 7, 8, 10},
                       MIXOLYDIAN = {0, 2, 4, 5, 7, 9, 10}, AEOLIAN = {0, 2, 3, 5, 7, 8, 10},
                       HARMONIC = {0, 2, 3, 5, 7, 8, 11};

Style styleof(int era) {
  switch (era) {
    case 1:   // early: lyre and flute over a drone and a frame drum
      return {{DORIAN, PHRYGIAN, AEOLIAN},
              {{0, 0, 6, 0, 0, 0, 3, 0}, {0, 6, 5, 6, 0, 6, 4, 0}, {0, 3, 0, 6, 0, 3, 4, 0}},
              Instrument::flute, Instrument::lyre, Instrument::reed, Instrument::drum, 4, 100, 112, true, true};
    case 2:   // middle: recorder and lute, a dance in three with a tabor
      return {{MIXOLYDIAN, DORIAN, IONIAN},
              {{0, 4, 3, 4, 0, 4, 3, 0}, {0, 6, 0, 4, 0, 6, 4, 0}, {0, 3, 6, 4, 0, 3, 4, 0}},
              Instrument::flute, Instrument::lyre, Instrument::lyre, Instrument::tabor, 3, 116, 132, true, false};
    case 3:   // late: slow strings and a horn, timpani
      return {{HARMONIC, AEOLIAN, PHRYGIAN},
              {{0, 5, 3, 4, 0, 5, 4, 0}, {0, 3, 5, 4, 0, 3, 4, 0}, {0, 6, 5, 4, 0, 6, 4, 0}},
              Instrument::brass, Instrument::strings, Instrument::strings, Instrument::timpani, 4, 84, 92, false, false};
    default:   // the main menu: a fanfare
      return {{IONIAN},
              {{0, 3, 4, 0, 0, 3, 4, 0}, {0, 5, 3, 4, 0, 5, 4, 0}},
              Instrument::brass, Instrument::strings, Instrument::strings, Instrument::timpani, 4, 96, 100, false, false};
  }
}

// Durations (in beats) of the melody notes of one bar.
std::vector<float> rhythm(Random& r, int beats) {
  static const std::vector<std::vector<float>> four = {{1, 1, 1, 1}, {2, 1, 1}, {1.5f, 0.5f, 1, 1}, {1, 0.5f, 0.5f, 2},
                                                       {3, 1}, {0.5f, 0.5f, 1, 2}};
  static const std::vector<std::vector<float>> three = {{1, 1, 1}, {2, 1}, {1.5f, 0.5f, 1}, {1, 0.5f, 0.5f, 1}};
  const auto& choices = beats == 3 ? three : four;
  return choices[size_t(r.below(int(choices.size())))];
}

Track music(int era, int index) {
  Random r{uint32_t(5000 + era * 101 + index * 7)};
  const Style style = styleof(era);
  const std::vector<int>& mode = style.modes[size_t(index) % style.modes.size()];
  const std::vector<int>& chords = style.progressions[size_t(r.below(int(style.progressions.size())))];
  const float tempo = style.tempolow + (style.tempohigh - style.tempolow) * r.uniform();
  const float beat = 60.0f / tempo, bar = beat * float(style.beats);
  const int root = 50 + r.below(6);   // D3 .. G3
  auto pitch = [&](int step) {   // a scale step above the root (may be negative)
    const int octave = int(std::floor(float(step) / 7.0f));
    return float(root + 12 * octave + mode[size_t(step - 7 * octave)]);
  };
  constexpr int BARS = 8;
  const float seconds = BARS * bar + 2.5f;
  Track out(size_t(frames(seconds)), 0.0f);

  // Melody: steps near the last one, chord tones on strong beats; bars 4-5
  // repeat bars 0-1, the last bar lands on the tonic.
  std::vector<std::vector<std::pair<float, int>>> bars(BARS);   // (beats, scale step)
  int step = 7 + 2 * r.below(2);
  for (int b = 0; b < BARS; b++) {
    if (b == 4 || b == 5) {
      bars[size_t(b)] = bars[size_t(b - 4)];
      continue;
    }
    if (b == BARS - 1) {
      bars[size_t(b)] = {{float(style.beats), 7}};
      continue;
    }
    float at = 0;
    for (float length : rhythm(r, style.beats)) {
      const bool strong = at == 0.0f || (style.beats == 4 && at == 2.0f);
      if (strong) {
        // The chord tone nearest the current step.
        int best = step, bestdistance = 99;
        for (int octave = 0; octave <= 14; octave += 7)
          for (int tone = 0; tone < 3; tone++) {
            const int candidate = chords[size_t(b)] + 2 * tone + octave;
            if (std::abs(candidate - step) < bestdistance && candidate >= 4 && candidate <= 13) {
              bestdistance = std::abs(candidate - step);
              best = candidate;
            }
          }
        step = best;
      } else {
        const int moves[] = {-2, -1, -1, 1, 1, 2};
        step = std::clamp(step + moves[r.below(6)], 4, 13);
      }
      bars[size_t(b)].push_back({length, step});
      at += length;
    }
  }
  const int melodyoctave = style.melody == Instrument::brass ? 12 : 24;
  for (int b = 0; b < BARS; b++) {
    float at = b * bar;
    for (auto [length, s] : bars[size_t(b)]) {
      const float held = length * beat * (b == BARS - 1 ? 1.6f : 0.92f);
      note(out, style.melody, at, held, pitch(s) + float(melodyoctave - 12), 0.32f, r);
      at += length * beat;
    }
  }

  // Harmony and bass.
  for (int b = 0; b < BARS; b++) {
    const int chord = chords[size_t(b)];
    const float start = b * bar;
    if (style.arpeggio) {
      const int pattern[] = {0, 1, 2, 1, 0, 2};
      const int perbar = style.beats * 2 / (style.beats == 3 ? 1 : 2);
      for (int k = 0; k < perbar; k++)
        note(out, style.harmony, start + k * bar / perbar, bar / perbar, pitch(chord + 2 * pattern[k % 6]) + 12.0f,
             0.18f, r);
    } else {
      for (int tone = 0; tone < 3; tone++)
        note(out, style.harmony, start, bar * 0.97f, pitch(chord + 2 * tone), 0.12f, r);
    }
    if (!style.drone) {
      note(out, style.bass, start, bar * 0.5f, pitch(chord) - 12.0f, 0.28f, r);
      note(out, style.bass, start + bar * 0.5f, bar * 0.45f, pitch(chord + 4) - 12.0f, 0.2f, r);
    }
  }
  if (style.drone) {
    note(out, style.bass, 0, BARS * bar, pitch(0) - 12.0f, 0.16f, r);
    note(out, style.bass, 0, BARS * bar, pitch(4) - 12.0f, 0.1f, r);
  }

  // Percussion: a beat pattern per era, quieter on the weak beats.
  for (int b = 0; b < BARS; b++)
    for (int k = 0; k < style.beats; k++) {
      const float at = b * bar + k * beat;
      if (style.percussion == Instrument::timpani) {
        if (k == 0 || (b == BARS - 1 && k == 0)) note(out, Instrument::timpani, at, beat, pitch(0) - 24.0f, 0.35f, r);
        if (k == 3 && b % 2 == 1) note(out, Instrument::timpani, at, beat, pitch(4) - 24.0f, 0.2f, r);
      } else if (b < BARS - 1 || k == 0) {
        note(out, style.percussion, at, beat, 0, k == 0 ? 0.45f : 0.22f, r);
        if (era == 2) note(out, Instrument::tick, at + beat * 0.5f, beat, 0, 0.1f, r);
      }
    }

  // The end fades away over the last two seconds.
  const size_t fade = size_t(frames(2.0f));
  for (size_t i = 0; i < fade && i < out.size(); i++) out[out.size() - 1 - i] *= float(i) / float(fade);
  return out;
}

// Scales a track to a peak of the given share of full scale.
std::vector<int16_t> topcm(const Track& track, float peak) {
  float largest = 1e-6f;
  for (float v : track) largest = std::max(largest, std::fabs(v));
  std::vector<int16_t> out(track.size());
  for (size_t i = 0; i < track.size(); i++) out[i] = int16_t(std::lround(track[i] / largest * peak * 32767.0f));
  return out;
}

bool writebytes(const char* path, const std::vector<uint8_t>& bytes) {
  SafeWrite out(path);
  if (!out.ok()) return false;
  if (fwrite(bytes.data(), 1, bytes.size(), out.stream()) != bytes.size()) return false;
  return out.commit();
}

// Which piece of which era a sample number is (era 0: the main menu), or false.
bool musicnumber(int32_t number, int& era, int& index) {
  for (int e = 0; e <= 3; e++) {
    const SongRange songs = erasongs(e);
    if (number >= songs.first && number < songs.first + songs.count) {
      era = e;
      index = number - songs.first;
      return true;
    }
  }
  return false;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: art_sounds <data folder>\n");
    return 1;
  }
  char path[PATHLEN];
  formatbounded(path, PATHLEN, "%s/rawsound", argv[1]);
  mkdirs(path);
  for (int32_t number = 0; number < SOUNDSAMPLES; number++) {
    const char* file = samplefile(number);
    if (!file) continue;
    formatbounded(path, PATHLEN, "%s/%s", argv[1], file);
    int era = 0, index = 0;
    const bool ismusic = musicnumber(number, era, index);
    const Track sound = ismusic ? music(era, index) : effect(number);
    if (sound.empty()) {
      fprintf(stderr, "art_sounds: no sound made for sample %d\n", number);
      return 1;
    }
    const bool click = number == SND_TOGGLE || number == SND_SCROLL;
    const std::vector<int16_t> pcm = topcm(sound, click ? 0.45f : ismusic ? 0.7f : 0.8f);
    std::vector<uint8_t> bytes;
    if (hasextension(file, ".raw")) {
      for (int16_t v : pcm) bytes.push_back(alawencode(v));
    } else {
      bytes = encodewav(pcm, RATE, WAVE_PCM);
    }
    if (!writebytes(path, bytes)) {
      fprintf(stderr, "art_sounds: cannot write %s\n", path);
      return 1;
    }
  }
  return 0;
}
