// Sound samples: the table of sample numbers and their files in "rawsound/"
// of the data folder, the two file readers and the cache of loaded samples.
//
// Files ending ".wav" are RIFF WAVE files: PCM of 8 or 16 bits or a-law, mono
// or stereo (mixed down), any rate from 4000 to 96000 frames a second
// (converted to the mixer's rate). Files ending ".raw" are headerless a-law
// bytes, mono, at the mixer's rate. Every size, count and offset is checked;
// a file that is missing or damaged plays as silence, and the log names it
// with its problem once.
#pragma once
#include <span>
#include <vector>

#include "runtime/short.h"

// Sample numbers 0..88 (the range that weapon rows may name).
constexpr int32_t SOUNDSAMPLES = 89;

// The samples that have a file. Numbers 5 and 6 are the GUI clicks that the
// start-up hands to the GUI; the music of each era lies where erasongs puts it
// (55..59, 61..64, 66..69; 71 the main menu). The battle sounds have their
// numbers here, for weapon rows and the battle view.
enum SoundNumber : int32_t {
  SND_SWORD = 0,        // blades meeting
  SND_BLUNT = 1,        // club or mace on a body
  SND_BOW = 2,          // bow string
  SND_CROSSBOW = 3,
  SND_SLING = 4,        // sling or thrown weapon
  SND_TOGGLE = 5,       // GUI toggle or radio click
  SND_SCROLL = 6,       // GUI scroll-arrow click
  SND_BITE = 7,         // claws and teeth
  SND_SPEAR = 8,        // thrust
  SND_AXE = 9,          // chop
  SND_FIRE = 10,        // burst of flame
  SND_LIGHTNING = 11,
  SND_FROST = 12,       // cold and water
  SND_CAST = 13,        // a spell being cast
  SND_MAGICBOLT = 14,   // a spell that flies
  SND_DEATH = 15,       // a unit falls
  SND_HORN = 16,        // the battle begins
  SND_RETREAT = 17,     // an army routs
  SND_SHIELD = 18,      // a blow on a shield
  SND_ARMOR = 19,       // a blow on metal armour
  SND_MISS = 20,        // a swing that hits nothing
  SND_ARROWHIT = 21,    // a missile strikes
  SND_HOLY = 22,        // priestly magic, healing
  SND_SUMMON = 23,      // something is called into the battle
  SND_QUAKE = 24,       // earth magic
  SND_ROAR = 25,        // a large beast
};

// The file of a sample number relative to the data folder ("rawsound/..."),
// or nullptr for a number that has none (it plays nothing).
const char* samplefile(int32_t number);

// Largest sample file read, and largest sample kept after conversion (frames).
constexpr int64_t MAXSAMPLEFILE = 16 << 20;
constexpr int32_t MAXSAMPLEFRAMES = 22050 * 300;

// Decodes the bytes of a sample file (riff: a RIFF WAVE file, else raw a-law)
// into mono 16-bit samples at the mixer's rate. False with a short text of
// the problem (and out empty) when the bytes are not a usable sample.
bool decodesample(std::span<const uint8_t> bytes, bool riff, std::vector<int16_t>& out, const char** problem);

// G.711 a-law, one byte a sample.
int16_t alawdecode(uint8_t code);
uint8_t alawencode(int16_t value);

// A RIFF WAVE file of mono samples: format 1 (16-bit PCM) or 6 (a-law).
std::vector<uint8_t> encodewav(std::span<const int16_t> samples, int32_t rate, int32_t format);
constexpr int32_t WAVE_PCM = 1, WAVE_ALAW = 6;

// The data folder samples are read from (set by init_sound).
extern char sounddatafolder[PATHLEN];

// The samples of a number from "rawsound/" of the sound data folder, read on
// first use and kept until freesamples; nullptr (silence) for a number outside
// 0..SOUNDSAMPLES-1, without a file, or whose file is missing or damaged.
const std::vector<int16_t>* loadsample(int32_t number);
// Forgets every loaded sample; no channel may still play one.
void freesamples();
