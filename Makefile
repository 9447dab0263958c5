# vey3: `make play` and `make test` are all a player or a fresh machine needs.
JOBS        ?= $(shell nproc)
RELEASE     := build/release
ASAN        := build/asan
FUZZ        := build/fuzz
HOST        := build/host
FUZZ_SECONDS ?= 60
SMOKE_FUZZ_SECONDS ?= 4
FUZZ_RUNS   ?= 40000
# Paths relative to the checkout, so that ccache (where installed) shares objects between checkouts.
export CCACHE_BASEDIR := $(CURDIR)

FAULT_RUNS  ?= 20
.PHONY: all deps release asan fuzzbuild host seeds play test test-release test-asan test-fuzz test-host bench bench-long fuzz fuzzspeed faults clean

all: release

deps:
	@scripts/install-deps.sh

$(RELEASE)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release
$(ASAN)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Asan
$(HOST)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(HOST) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEY3_HOST_ONLY=ON
$(FUZZ)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=Fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++

release: deps $(RELEASE)/build.ninja
	cmake --build $(RELEASE) -j $(JOBS)
asan: deps $(ASAN)/build.ninja
	cmake --build $(ASAN) -j $(JOBS)
# The seeds of the game-file fuzz targets, written anew after a change of a file layout.
seeds: release
	$(RELEASE)/vey3seeds fuzz/corpus

# The host program alone (build/host/vey3host): the shared and host layers,
# no SDL or OpenGL, for machines without a display.
host: deps $(HOST)/build.ninja
	cmake --build $(HOST) -j $(JOBS)
fuzzbuild: deps $(FUZZ)/build.ninja
	cmake --build $(FUZZ) -j $(JOBS)

# Starts the game with the data folder that the build made.
play: release
	VEY3_DATA=$(CURDIR)/$(RELEASE)/data $(RELEASE)/vey3 $(ARGS)

test: test-release test-asan test-fuzz test-host

test-release: release
	cd $(RELEASE) && ctest --output-on-failure -j $(JOBS)
# The sanitizer build's tests check leaks (their options: cmake/parts/70-leakcheck.cmake);
# a test whose only failure is the leak checker crashing at its end runs once more.
test-asan: asan
	@scripts/ctest-asan.sh $(ASAN) --output-on-failure -j $(JOBS) -LE script
# The host-only build configures, links and makes a small random map.
test-host: host
	@scripts/test-hostbuild.sh $(HOST)
# Every fuzz target runs briefly over its committed seed corpus.
test-fuzz: fuzzbuild
	@scripts/run-fuzzers.sh $(FUZZ) $(SMOKE_FUZZ_SECONDS)

fuzz: fuzzbuild
	@scripts/run-fuzzers.sh $(FUZZ) $(FUZZ_SECONDS)
# Runs per CPU second of each fuzz target on one core, over FUZZ_RUNS runs.
fuzzspeed: fuzzbuild
	@scripts/fuzz-speed.sh $(FUZZ) $(FUZZ_RUNS)

# Stops hosts, new games, random maps, map-editor saves and order-file saves
# at random points and checks that each leaves a whole state (minutes).
faults: release
	@scripts/fault-inject.sh --runs $(FAULT_RUNS) $(RELEASE)

bench: release
	@for b in $(RELEASE)/bench_*; do echo "== $$b"; VEY3_DATA=$(CURDIR)/$(RELEASE)/data $$b || exit 1; done

# A game of 24 computer nations on a random map hosted for LONG_MONTHS
# months (400: about ten minutes of processor time), one row of processor
# time per month in build/release/longgame.txt, the host's lines in
# longgame.log beside it, the progress and the summary on the console.
LONG_MONTHS ?= 400
bench-long: release
	cd $(RELEASE) && VEY3_DATA=$(CURDIR)/$(RELEASE)/data nice $(CURDIR)/$(RELEASE)/vey3longgame $(LONG_MONTHS) longgame.txt >longgame.log

clean:
	rm -rf build
