#!/usr/bin/env bash
# Peak memory of quorvex on the largest benchmark problem and on one ten
# times larger (bench/make_big_problem.py): the heap taken by the parsed
# document, the analysed problem and the search space, the peak resident
# size up to a built space (memory_bench), and the peak of a short solve
# (quorvex -l SECONDS, under /usr/bin/time).
#
#     make bench && bench/peak_memory.sh [BUILD] [PROBLEM.xml] [SECONDS]
#
# BUILD is the build folder of `make bench` (build-bench); PROBLEM defaults
# to large-1 of the shared benchmark folder, SECONDS to 5. Figures in MiB.
set -eu
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$source_dir/build-bench}" && pwd)
problem=$(realpath "${2:-$source_dir/../shared/bench/large-1.xml}")
seconds=${3:-5}
for tool in "$build/memory_bench" "$build/quorvex" /usr/bin/time; do
    [ -x "$tool" ] || { echo "missing $tool (make bench; apt-get install time)"; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
big=$work/$(basename "$problem" .xml)-x10.xml
python3 "$source_dir/bench/make_big_problem.py" --copies 10 "$problem" "$big"

mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

printf '%-22s %10s %9s %6s | %8s %8s %8s %8s | %8s %8s\n' problem activities resources slots \
    document problem space peak solve seconds
for file in "$problem" "$big"; do
    read -r _ acts _ ress _ _ _ slots _ document _ analysed _ space _ peak \
        <<<"$("$build/memory_bench" "$file")"
    # A short solve in a folder of its own: no configuration file, the log
    # thrown away, standard input at its end (no stop request).
    (cd "$work" && /usr/bin/time -v "$build/quorvex" -q -l "$seconds" "$file" out.xml \
        </dev/null 2>time.txt >/dev/null) || true
    solve=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")
    elapsed=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time.txt")
    printf '%-22s %10s %9s %6s | %8s %8s %8s %8s | %8s %8s\n' "$(basename "$file")" "$acts" \
        "$ress" "$slots" "$(mib "$document")" "$(mib "$analysed")" "$(mib "$space")" \
        "$(mib "$peak")" "$(mib "$solve")" "$elapsed"
done
echo "MiB. document, problem, space: heap held by the parsed file, the analysed"
echo "problem and the search space with its records; peak: resident size up to"
echo "a built space; solve: peak resident size of quorvex -q -l $seconds."
