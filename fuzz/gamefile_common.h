// Shared set-up of the game-file fuzz targets: folders of their own, a small
// world, and the input as a stream or as a file with its checksum.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gamefiles/gamefiles.h"
#include "runtime/binio.h"
#include "runtime/folders.h"
#include "runtime/util.h"
#include "scratch.h"
#include "support/sampleworld.h"

inline void fuzzsetup() {
  static bool done = false;
  if (done) return;
  done = true;
  const char* root = makefuzzscratch("vey3fuzz");
  formatbounded(savepath, PATHLEN, "%s/save", root);
  formatbounded(temppath, PATHLEN, "%s/temp", root);
  mkdirs(savepath);
  mkdirs(temppath);
  char lords[PATHLEN];
  formatbounded(lords, PATHLEN, "%s/newlords", savepath);
  mkdirs(lords);
  sampleworld(12, 6, 60, 6);
}

// The input followed by its checksum, written where the readers look.
inline void writewithcrc(const char* path, const uint8_t* data, size_t size) {
  FILE* f = fopen(path, "wb");
  if (!f) abort();
  if (size) fwrite(data, 1, size, f);
  int32_t crc = calccrc(data, int32_t(size), 0);
  putshort(crc, f);
  fclose(f);
}

// The input as a read stream, after the shared set-up; none for no input.
// It is the stream from memory that the game reads its files through.
inline FILE* fuzzstream(const uint8_t* data, size_t size) {
  fuzzsetup();
  if (size == 0) return nullptr;
  return memorystream(std::vector<uint8_t>(data, data + size)).release();
}

// The input, with its checksum, as the player's order file of game "fz".
inline void writeorderfile(int32_t player, const uint8_t* data, size_t size) {
  char path[PATHLEN];
  gamefilepath(path, PATHLEN, "fz", 0, player);
  char folder[PATHLEN];
  formatbounded(folder, PATHLEN, "%s/fz", savepath);
  mkdirs(folder);
  writewithcrc(path, data, size);
}
