#!/usr/bin/env bash
# Races the deep search on the shared benchmark problems and prints the table
# of deep_race (time until every lesson is placed, best score at fixed
# times, medians over seeds). Extra arguments go to deep_race, e.g.
#   bench/deep_race.sh --threads=2 --seeds=3 --at=1,10
set -euo pipefail
cd "$(dirname "$0")/.."
bench_dir=../shared/bench
[ -d "$bench_dir" ] || { echo "no benchmark problems in $bench_dir"; exit 1; }
make bench >/dev/null
problems=()
for name in small-1 medium-1 large-1 real-ro-oradea-school10 real-es-secondary real-de-subact; do
  [ -f "$bench_dir/$name.xml" ] && problems+=("$bench_dir/$name.xml")
done
build-bench/deep_race "$@" "${problems[@]}"
