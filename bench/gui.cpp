// The GUI toolkit: laying out 50,000 items without a window, and whole
// frames in a real window (an X server of its own when none is given) of
// 5,000 items and 10,000 areas beside the plain background of the same run.
// Frames per second are the benchmark's items per second.
#include <benchmark/benchmark.h>


#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "support/benchwindow.h"

namespace {
// A list window of n items, 50 to a row at a small text scale.
void items(int32_t n) {
  guimaxwidth(780);
  guimaxheight(580);
  guitextscale(0.22f);
  guisetnl(0);
  for (int32_t i = 0; i < n; i++) {
    guibutton(1 + i, "item %d", i);
    if (i % 50 == 49) {
      guisetnl(1);
      guisetnl(0);
    }
  }
  guisetnl(1);
}

// n areas over the screen in three layers, as the map overlay draws them
// (every box, then every text, then every sprite).
void areas(int32_t n) {
  for (int32_t layer = 0; layer < 3; layer++)
    for (int32_t i = layer; i < n; i += 3) {
      float x = float((i * 37) % 780), y = float((i * 53) % 580);
      switch (layer) {
        case 0: areabox(100000 + i, x, y, 12, 12, 0.2f, 0.4f, 0.6f, 0.5f); break;
        case 1: areatext(100000 + i, x, y, 10, "a%d", i); break;
        default: areasprite(100000 + i, 11, i % 100, 4, x, y, 14, 14); break;
      }
    }
}

// Laying out a list window of 50,000 items (building them is the screen's
// part and is not counted).
void BM_GuiLayout50000Items(benchmark::State& state) {
  initsprites(VEY3_DATA_DIR);
  for (auto _ : state) {
    state.PauseTiming();
    guibegin();
    guimaxheight(450);
    for (int32_t i = 0; i < GUIITEMS; i++) guibutton(1 + i, "Commander %d of the list", i);
    state.ResumeTiming();
    guishow(-1, -1);
    benchmark::DoNotOptimize(guiareacount());
  }
}

void BM_GuiBuild50000Items(benchmark::State& state) {
  for (auto _ : state) {
    guibegin();
    for (int32_t i = 0; i < GUIITEMS; i++) guibutton(1 + i, "Commander %d of the list", i);
    benchmark::DoNotOptimize(guiareacount());
  }
}
BENCHMARK(BM_GuiBuild50000Items)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GuiLayout50000Items)->Unit(benchmark::kMillisecond);

void BM_GuiLayoutOnly(benchmark::State& state) {
  initsprites(VEY3_DATA_DIR);
  for (auto _ : state) {
    guibegin();
    items(5000);
    guishow(-1, -1);
    areas(10000);
    benchmark::DoNotOptimize(guiareacount());
  }
}
BENCHMARK(BM_GuiLayoutOnly)->Unit(benchmark::kMillisecond);

void frames(benchmark::State& state, bool full) {
  if (!benchwindow()) {
    state.SkipWithError("no window");
    return;
  }
  for (auto _ : state) {
    guibegin();
    if (full) {
      items(5000);
      guishow(-1, -1);
      areas(10000);
    }
    render_frame(false, Scene::title);
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_GuiFramePlainBackground(benchmark::State& state) { frames(state, false); }
void BM_GuiFrame5000Items10000Areas(benchmark::State& state) { frames(state, true); }
BENCHMARK(BM_GuiFramePlainBackground)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_GuiFrame5000Items10000Areas)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
}  // namespace
