#!/usr/bin/env bash
# End-to-end runs of the built binary. Each case is a folder under cases/ with
#   cmd       the arguments (one line, shell words), or instead
#   run.sh    a script run with the binary as $1 (for stdin, signals, files)
#             and the source tree in QUORVEX_SOURCE_DIR,
#   status    the expected exit status,
#   stdout, stderr   the expected output (optional; compared exactly, after
#             dropping the "compile time" of the banner).
# Case folders may hold any input files; the command runs inside the folder.
set -u
binary=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
source_dir=$2
cases=$source_dir/tests/cli/cases
passed=0 failed=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

normalise() { sed -E 's/compile time: [A-Z][a-z]{2} [ 0-9][0-9] [0-9]{4} [0-9:]{8}/compile time: X/' "$1"; }

for dir in "$cases"/*/; do
    name=$(basename "$dir")
    run=$work/$name
    cp -r "$dir" "$run"
    if [ -f "$run/run.sh" ]; then
        ( cd "$run" && QUORVEX_SOURCE_DIR=$source_dir bash run.sh "$binary" >actual.stdout 2>actual.stderr </dev/null; echo $? >actual.status )
    else
        ( cd "$run" && eval "set -- $(cat cmd)" && "$binary" "$@" >actual.stdout 2>actual.stderr </dev/null; echo $? >actual.status )
    fi
    ok=1
    [ "$(cat "$run/actual.status")" = "$(cat "$run/status")" ] || ok=0
    for stream in stdout stderr; do
        if [ -f "$run/$stream" ] && ! diff <(normalise "$run/$stream") <(normalise "$run/actual.$stream") >"$run/diff.$stream"; then
            ok=0
        fi
    done
    if [ $ok = 1 ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $name (status $(cat "$run/actual.status"), expected $(cat "$run/status"))"
        cat "$run"/diff.* 2>/dev/null | head -40
    fi
done
echo "$passed passed, $failed failed"
[ $failed = 0 ]
