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

#include "runtime/folders.h"
#include "runtime/util.h"
#include "support/sampleworld.h"
#include "world/gamedata.h"

class GameFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    static bool loaded = false;
    if (!loaded) loadgamedata();
    loaded = true;
    // File words for the free nation rows too.
    for (int r = 0; r < MAXNATIONS; r++)
      if (!nations[r].fileword[0]) formatbounded(nations[r].fileword, FILEWORDLEN, "nation%d", r);
    char save[] = "/tmp/vey3gfXXXXXX";
    ASSERT_NE(mkdtemp(save), nullptr);
    root = save;
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

// A read stream over bytes (the caller closes it).
inline FILE* bytestream(std::vector<uint8_t>& bytes) {
  return fmemopen(bytes.data(), bytes.size(), "rb");
}
