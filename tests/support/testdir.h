// A private scratch folder per test, removed with everything in it at the end.
#pragma once
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/scratch.h"

struct TestDir {
  std::string path;
  explicit TestDir(Reach reach = Reach::self) : path(makescratch("vey3test_", reach)) {}
  ~TestDir() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
  std::string operator/(const std::string& name) const { return path + "/" + name; }
};

inline void writebytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
inline void writetext(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}
inline std::vector<unsigned char> readbytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
inline bool exists(const std::string& path) { return std::filesystem::exists(path); }

// Sets an environment variable for the life of the object, then restores it.
struct EnvVar {
  std::string name;
  bool had = false;
  std::string old;
  EnvVar(const std::string& n, const char* value) : name(n) {
    if (const char* v = getenv(n.c_str())) {
      had = true;
      old = v;
    }
    if (value) setenv(n.c_str(), value, 1);
    else unsetenv(n.c_str());
  }
  ~EnvVar() {
    if (had) setenv(name.c_str(), old.c_str(), 1);
    else unsetenv(name.c_str());
  }
};
