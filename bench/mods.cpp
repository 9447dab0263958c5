// Reading a mod of 5,000 commands: sections that change built-in unit
// types, weapons and spells by number and by name, and new unit types.
#include <benchmark/benchmark.h>

#include <string>

#include "mods/mods.h"
#include "runtime/fatal.h"
#include "world/gamedata.h"
#include "world/ruleconstants.h"

namespace {

std::string bigmod() {
  std::string t = "#modname \"Bench\"\n#version 1.00\n#poppergold 90\n";
  int32_t commands = 3;
  for (int32_t i = 0; commands < 5000; i++) {
    switch (i % 4) {
      case 0:
        t += "#selectmonster " + std::to_string(1 + i % 2000) + "\n#hp 15\n#att 11\n#def 11\n#mor 12\n#flying\n"
             "#fireres 25\n#end\n";
        commands += 8;
        break;
      case 1:
        t += "#selectmonster \"Archer\"\n#prec 12\n#weapon \"Spear\"\n#clearweapons\n#end\n";
        commands += 5;
        break;
      case 2:
        t += "#selectweapon " + std::to_string(1 + i % 500) + "\n#dmg 7\n#att 1\n#armorpiercing\n#end\n";
        commands += 5;
        break;
      default:
        t += "#newmonster\n#name \"Bench Soldier " + std::to_string(i) + "\"\n#copystats 18\n#hp 12\n#end\n";
        commands += 5;
        break;
    }
  }
  return t;
}

void BM_ReadMod5000Commands(benchmark::State& state) {
  loadgamedata();
  const std::string text = bigmod();
  int32_t warnings = 0;
  for (auto _ : state) {
    state.PauseTiming();
    restoregamedata();
    defaultgeneral();
    state.ResumeTiming();
    ModInfo info;
    warnings = readmod("bench.dm", text.data(), text.size(), &info);
  }
  state.counters["warnings"] = warnings;
  state.counters["bytes"] = double(text.size());
}
BENCHMARK(BM_ReadMod5000Commands)->Unit(benchmark::kMillisecond);

}  // namespace
