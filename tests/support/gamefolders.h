// A fresh saved-games folder and temp folder for each test.
#pragma once
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gamefiles/gamefiles.h"
#include "runtime/folders.h"
#include "runtime/util.h"
#include "support/sampleworld.h"
#include "world/gamedata.h"
#include "support/scratch.h"

class GameFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    static bool loaded = false;
    if (!loaded) loadgamedata();
    loaded = true;
    // File words for the free nation rows too.
    for (int r = 0; r < MAXNATIONS; r++)
      if (!nations[r].fileword[0]) formatbounded(nations[r].fileword, FILEWORDLEN, "nation%d", r);
    root = makescratch("vey3gf");
    strlcopy(savepath, (root + "/save").c_str(), PATHLEN);
    strlcopy(temppath, (root + "/temp").c_str(), PATHLEN);
    mkdirs(savepath);
    mkdirs(temppath);
  }
  void TearDown() override {
    std::string command = "rm -rf '" + root + "'";
    if (system(command.c_str()) != 0) ADD_FAILURE() << "cleanup";
  }
  std::string root;
};

// The names in a folder, sorted.
inline std::vector<std::string> listfolder(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d))
      if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) names.emplace_back(e->d_name);
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

inline std::vector<uint8_t> readbytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return bytes;
  int c;
  while ((c = fgetc(f)) != EOF) bytes.push_back(uint8_t(c));
  fclose(f);
  return bytes;
}

inline void writebytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

// Writes a game file's bytes with its checksum (the last two bytes) made
// anew: a changed file that still passes the check.
inline void writewithchecksum(const std::string& path, std::vector<uint8_t> bytes) {
  bytes.resize(bytes.size() - 2);
  const int32_t crc = calccrc(bytes.data(), int32_t(bytes.size()), 0);
  bytes.push_back(uint8_t(crc & 0xFF));
  bytes.push_back(uint8_t(crc >> 8));
  writebytes(path, bytes);
}

// Sets the little-endian int32 at `at` of a game file (its checksum made anew).
inline void patchgamefile(const std::string& path, size_t at, int32_t value) {
  std::vector<uint8_t> bytes = readbytes(path);
  for (int i = 0; i < 4; i++) bytes[at + size_t(i)] = uint8_t(uint32_t(value) >> (8 * i));
  writewithchecksum(path, bytes);
}

// A read stream over bytes (the caller closes it).
inline FILE* bytestream(std::vector<uint8_t>& bytes) {
  return fmemopen(bytes.data(), bytes.size(), "rb");
}
