# Everything a fresh Debian 12 machine needs goes through these targets.
BUILD ?= build
TYPE  ?= RelWithDebInfo
JOBS  ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: all deps build run test fidelity install package bench asan fuzz fuzz-smoke fuzz-long clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(TYPE)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# Opens the bundled sample drawing in the viewer.
run: build
	$(BUILD)/src/planox samples/floorplan.dxf

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Scores the PostScript output of every corpus drawing against an
# independent rendering (build/fidelity/ holds the table and the worst ones).
fidelity: build
	/usr/bin/python3 scripts/fidelity.py --program $(BUILD)/src/planox --out $(BUILD)/fidelity --jobs $(JOBS)

# Installs the program, its data, menu entry, file types, icon and man page
# under PREFIX (DESTDIR is honoured).
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package in $(BUILD)/ (planox_<version>_<arch>.deb).
package: build
	cmake --build $(BUILD) --target package

# The speed benchmarks, then the table of the whole program against wc -l
# on the 1 000 000-entity drawing (every target and the display read).
bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build build-bench -j $(JOBS) --target benchmarks
	for b in build-bench/bench/*/bench_*; do \
	  if [ -f "$$b" ] && [ -x "$$b" ] && [ "$${b##*/}" != bench_targets ]; then $$b || exit 1; fi; \
	done
	build-bench/bench/targets/bench_targets

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPLANOX_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Builds the fuzz targets (clang and libFuzzer); each runs from build-fuzz/fuzz.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPLANOX_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS) --target fuzzers

# A short run of every fuzz target (FUZZ_SECONDS each, default 20).
fuzz-smoke: fuzz
	scripts/fuzz.sh build-fuzz/fuzz

# A long run of every fuzz target (FUZZ_SECONDS each, default 10 minutes),
# with executions, coverage and findings per target.
fuzz-long: fuzz
	FUZZ_SECONDS=$${FUZZ_SECONDS:-600} scripts/fuzz.sh build-fuzz/fuzz

clean:
	rm -rf $(BUILD) build-bench build-asan build-fuzz
