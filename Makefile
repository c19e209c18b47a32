# Quick start: `make demo` builds the two programs and solves the bundled
# example (cmake and g++ only), `make test` builds and runs every test (also
# GoogleTest).
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
THREADS_BUILD ?= build-tsan
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all programs demo test test-sanitize test-threads fuzz-smoke bench check-tools check-gtest clean

# The programs and the tests. The same build folder serves `programs`, which
# configures it without the tests; the libraries are built once for both.
all: check-tools check-gtest
	cmake -S . -B $(BUILD) -DQUORVEX_TESTS=ON $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

# quorvex and quorvex-view alone: no GoogleTest needed.
programs: check-tools
	cmake -S . -B $(BUILD) -DQUORVEX_TESTS=OFF $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target quorvex quorvex-view

check-tools:
	@command -v cmake >/dev/null && command -v g++ >/dev/null || \
	  { echo "quorvex needs cmake and g++: apt-get install make cmake g++"; exit 1; }

check-gtest:
	@test -e /usr/include/gtest/gtest.h || \
	  { echo "quorvex's tests need GoogleTest: apt-get install libgtest-dev"; exit 1; }

demo: programs
	cd examples && ../$(BUILD)/quorvex -m deep school.xml school-solution.xml

test: all
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitize: check-tools check-gtest
	cmake -S . -B $(SANITIZE_BUILD) -DQUORVEX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ctest --output-on-failure -j $(JOBS)

# The tests of the code that runs on several threads (searches side by side,
# the deep search), under ThreadSanitizer.
test-threads: check-tools check-gtest
	cmake -S . -B $(THREADS_BUILD) -DQUORVEX_TSAN=ON -DQUORVEX_TESTS=ON >/dev/null
	cmake --build $(THREADS_BUILD) -j $(JOBS) --target test_search test_deep
	cd $(THREADS_BUILD) && ctest --output-on-failure -R '^(search|deep)$$'

# Builds the fuzz targets with clang in $(FUZZ_BUILD) and runs each briefly on
# its seed corpus; skipped where clang or its fuzzer runtime is missing.
fuzz-smoke:
	FUZZ_BUILD=$(FUZZ_BUILD) JOBS=$(JOBS) bash fuzz/run_smoke.sh

bench: check-tools
	cmake -S . -B build-bench -DQUORVEX_BENCH=ON -DQUORVEX_TESTS=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build build-bench -j $(JOBS)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(THREADS_BUILD) $(FUZZ_BUILD) build-bench
