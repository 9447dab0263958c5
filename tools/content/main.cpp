// The data tool: writes into the data files what the content rules derive
// from the data (tools/content/contentrules.h). It reads the tables that the
// build embedded, so run it after a build and build again after it:
//
//   make release && build/release/vey3content data && make release
//
// Today it sets the gold and resource prices of data/units.txt from the
// price rule of data/README.md. Only the numbers change; every other byte of
// the file stays as it was. Exit status 1 when a file could not be written.
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "contentrules.h"
#include "world/gamedata.h"

namespace {

std::string readfile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

bool writefile(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << text;
  return bool(f);
}

// Replaces the value of `key=<number>` in the line, when it is there.
bool setnumber(std::string& line, const char* key, int value) {
  std::regex re(std::string("(^|[ \\t])") + key + "=-?[0-9]+");
  if (!std::regex_search(line, re)) return false;
  line = std::regex_replace(line, re, std::string("$1") + key + "=" + std::to_string(value),
                            std::regex_constants::format_first_only);
  return true;
}

// Sets gcost= and rcost= of every row that the price rule prices.
int priceunits(const std::string& folder) {
  const std::string path = folder + "/units.txt";
  std::istringstream in(readfile(path));
  const content::Roles roles = content::rolesofdata();
  std::string out, line;
  int row = -1, changed = 0;
  std::regex head("^([0-9]+)[ \\t]");
  while (std::getline(in, line)) {
    std::smatch m;
    if (std::regex_search(line, m, head)) row = std::stoi(m[1]);
    if (row >= 0 && row < MAXUNITTYPES && content::pricedbyrule(roles, row)) {
      const std::string before = line;
      setnumber(line, "gcost", content::goldcost(row, content::servesascommander(roles, row)));
      setnumber(line, "rcost", content::resourcecost(row));
      if (line != before) changed++;
    }
    out += line + "\n";
  }
  if (!writefile(path, out)) {
    fprintf(stderr, "vey3content: cannot write %s\n", path.c_str());
    return 1;
  }
  printf("%s: %d lines with new prices\n", path.c_str(), changed);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: vey3content <data folder>\n");
    return 2;
  }
  loadgamedata();
  return priceunits(argv[1]);
}
