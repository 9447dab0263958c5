#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/ask.h"

// Feeds scripted answers to the console dialogs and catches what they print.
class DialogScript {
 public:
  explicit DialogScript(const std::string& answers) {
    text = answers;
    in = fmemopen(text.data(), text.size(), "r");
    out = open_memstream(&outbuf, &outlen);
    setdialoginput(in);
    setdialogoutput(out);
  }
  ~DialogScript() {
    setdialoginput(nullptr);
    setdialogoutput(nullptr);
    fclose(in);
    fclose(out);
    free(outbuf);
  }
  std::string printed() {
    fflush(out);
    return std::string(outbuf, outlen);
  }

 private:
  std::string text;
  FILE* in;
  FILE* out;
  char* outbuf = nullptr;
  size_t outlen = 0;
};
