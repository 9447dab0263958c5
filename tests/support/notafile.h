// What can stand in a file's place and is no file, each as the program
// names it ("it is a FIFO, not a file"): made at a path for a test of the
// readers that must refuse it.
#pragma once
#include <sys/stat.h>
#include <sys/sysmacros.h>

struct NotAFile {
  const char* kind;
  int (*plant)(const char* path);   // 0 when made; a device only where the user may make one
};
inline constexpr NotAFile notafiles[] = {
    {"FIFO", [](const char* p) { return mkfifo(p, 0600); }},
    {"folder", [](const char* p) { return mkdir(p, 0700); }},
    {"device", [](const char* p) { return mknod(p, S_IFCHR | 0600, makedev(1, 3)); }},
};
