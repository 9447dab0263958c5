// The seed files of the game-file fuzz targets, made by the real writers from
// the sample world: `make seeds` writes them into fuzz/corpus, and a test
// holds the committed ones to what the writers make today.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "gamefiles/gamefiles.h"
#include "support/sampleworld.h"

struct GameSeed {
  const char* target;   // fuzz target, the folder under fuzz/corpus
  const char* name;
  std::vector<uint8_t> bytes;
};

// What a writer of one record makes, for records 0..count-1 as a section:
// each after its number, then the section's end.
inline std::vector<uint8_t> sectionbytes(void (*put)(int32_t, FILE*), int32_t count) {
  char* text = nullptr;
  size_t size = 0;
  FILE* f = open_memstream(&text, &size);
  if (!f) return {};
  for (int32_t n = 0; n < count; n++) {
    putindex(n, f);
    put(n, f);
  }
  endsection(f);
  fclose(f);
  std::vector<uint8_t> bytes(text, text + size);
  free(text);
  return bytes;
}

// A world or turn file with its sections of every kingdom (the writers
// given) cut to the first `kingdoms`: most of such a file is the records of
// the kingdoms out of play, and a fuzz target runs in proportion to its
// input's size. Empty when a section is not found whole.
using RecordWriter = void (*)(int32_t, FILE*);
inline std::vector<uint8_t> cutkingdoms(std::vector<uint8_t> file, int32_t kingdoms,
                                        std::initializer_list<RecordWriter> writers) {
  for (RecordWriter put : writers) {
    const std::vector<uint8_t> whole = sectionbytes(put, MAXKINGDOMS), kept = sectionbytes(put, kingdoms);
    const auto at = std::search(file.begin(), file.end(), whole.begin(), whole.end());
    if (whole.empty() || at == file.end()) return {};
    file.insert(file.erase(at, at + ptrdiff_t(whole.size())), kept.begin(), kept.end());
  }
  return file;
}

// Needs the game data loaded and savepath and temppath set to folders of the
// caller's own.
inline std::vector<GameSeed> makegameseeds() {
  std::vector<GameSeed> seeds;
  auto take = [&](const char* target, const char* name, const char* path, bool dropcrc) {
    std::vector<uint8_t> bytes;
    if (FILE* f = fopen(path, "rb")) {
      int c;
      while ((c = fgetc(f)) != EOF) bytes.push_back(uint8_t(c));
      fclose(f);
    }
    // The order and design targets append their own checksum.
    if (dropcrc && bytes.size() >= 2) bytes.resize(bytes.size() - 2);
    seeds.push_back({target, name, bytes});
  };
  for (int r = 0; r < MAXNATIONS; r++)
    if (!nations[r].fileword[0]) formatbounded(nations[r].fileword, FILEWORDLEN, "nation%d", r);
  const int32_t players = 6;
  sampleworld(12, players, 60, 6);
  gameinfo.hofsize = 3;
  GameFile file = createfileheader("fz", 7, 2, 1, -1, nullptr, 0);
  putfatherland(gamefilestream(file));
  if (!closegamefile(std::move(file), 0)) return {};
  take("gamefile_world", "world", lastfilepath, false);
  seeds.back().bytes = cutkingdoms(seeds.back().bytes, players, {put_kingdom, put_spellstuff});
  if (seeds.back().bytes.empty()) return {};
  for (int n = 0; n < 2; n++) closevcr(crvcr(2, 3, 1, 2, 0, 99 + n, 1, 2, 3));
  file = createfileheader("fz", 7, 2, 1, 2, "pw2", 0);
  putturndata(2, gamefilestream(file));
  if (!closegamefile(std::move(file), 1)) return {};
  take("gamefile_turn", "turn", lastfilepath, true);
  std::vector<uint8_t>& turn = seeds.back().bytes;
  turn = cutkingdoms(turn, players, {put_kingdom});
  if (turn.empty()) return {};
  const int32_t crc = calccrc(turn.data(), int32_t(turn.size()), 0);
  turn.push_back(uint8_t(crc & 255));
  turn.push_back(uint8_t(crc >> 8 & 255));
  char path[PATHLEN];
  vcrpath(path, PATHLEN, 2, 0);
  take("gamefile_replay", "replay", path, false);
  write2hfile(3, "fz", 2, 7);
  take("gamefile_order", "orders", lastfilepath, true);
  take("host_orders", "orders", lastfilepath, true);
  writenewlord("newlords", 6, 1, "x");
  take("gamefile_pretender", "design", lastfilepath, true);
  return seeds;
}
