# Quick start: `make demo` builds and solves the bundled example,
# `make test` builds and runs every test.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all demo test test-sanitize fuzz-smoke bench check-tools clean

all: check-tools
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

check-tools:
	@command -v cmake >/dev/null && command -v g++ >/dev/null || \
	  { echo "quorvex needs cmake and g++: apt-get install cmake g++ libgtest-dev"; exit 1; }
	@test -e /usr/include/gtest/gtest.h || \
	  { echo "quorvex's tests need GoogleTest: apt-get install libgtest-dev"; exit 1; }

demo: all
	cd examples && ../$(BUILD)/quorvex -l 5 school.xml school-solution.xml

test: all
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitize: check-tools
	cmake -S . -B $(SANITIZE_BUILD) -DQUORVEX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ctest --output-on-failure -j $(JOBS)

# Builds the fuzz targets with clang in $(FUZZ_BUILD) and runs each briefly on
# its seed corpus; skipped where clang or its fuzzer runtime is missing.
fuzz-smoke:
	FUZZ_BUILD=$(FUZZ_BUILD) JOBS=$(JOBS) bash fuzz/run_smoke.sh

bench: check-tools
	cmake -S . -B build-bench -DQUORVEX_BENCH=ON -DQUORVEX_TESTS=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build build-bench -j $(JOBS)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) build-bench
