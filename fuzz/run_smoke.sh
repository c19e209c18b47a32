#!/usr/bin/env bash
# Short fuzz run for CI: builds the fuzz targets with clang and runs each for
# FUZZ_SECONDS (20) on its seed corpus in fuzz/corpus/. New inputs go to a
# temporary folder, so the seed corpus stays as committed; a crash, hang,
# leak or sanitizer report fails the run and leaves the input in
# <build>/fuzz-artifacts/. Where clang or its fuzzer runtime is missing, the
# run is skipped with a message and status 0.
# Longer runs: FUZZ_SECONDS=900 bash fuzz/run_smoke.sh
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD:-$source_dir/build-fuzz}
seconds=${FUZZ_SECONDS:-20}
jobs=${JOBS:-2}
cxx=${FUZZ_CXX:-clang++}

if ! command -v "$cxx" >/dev/null 2>&1; then
    echo "Fuzz smoke run skipped: $cxx not found (apt-get install clang)"
    exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
    >"$work/probe.cpp"
if ! "$cxx" -fsanitize=fuzzer,address,undefined "$work/probe.cpp" -o "$work/probe" >/dev/null 2>&1; then
    echo "Fuzz smoke run skipped: $cxx has no fuzzer runtime (apt-get install libclang-rt-14-dev)"
    exit 0
fi

cmake -S "$source_dir" -B "$build" -DCMAKE_CXX_COMPILER="$cxx" -DQUORVEX_FUZZ=ON \
      -DQUORVEX_TESTS=OFF >/dev/null
cmake --build "$build" --target fuzzers -j "$jobs"

artifacts=$build/fuzz-artifacts
mkdir -p "$artifacts"
for target in xml problem solution; do
    mkdir -p "$work/$target"
    log=$work/$target.log
    if ! "$build/fuzz/fuzz_$target" "$work/$target" "$source_dir/fuzz/corpus/$target" \
            -dict="$source_dir/fuzz/xml.dict" -max_total_time="$seconds" -timeout=10 \
            -rss_limit_mb=2048 -artifact_prefix="$artifacts/fuzz_$target-" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "fuzz_$target FAILED; the input is in $artifacts"
        exit 1
    fi
    echo "fuzz_$target: $(grep '^Done' "$log")"
done
