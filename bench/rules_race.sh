#!/usr/bin/env bash
# Races the deep search (one thread) on ten drawn schools that use every
# school rule, of 300 to 2500 lessons (make_rules_school.py, fixed seeds),
# and prints deep_race's table: time until every lesson is placed keeping
# every hard rule (median and range over the seeds) and the best score at
# the given times. Then every timetable the races ended with is judged
# again, by check_rules.py (no hard school rule broken) and by quorvex -c
# (valid, and its score), and the schools' rules are counted.
#
#   bench/rules_race.sh [--seeds=N] [--at=10,60] [--sizes=300,450,...]
#                       [--no-rules] [--folder=DIR]
#
# School k of the sizes is drawn with seed k. --no-rules draws the same
# schools without the school rules. The schools, their drawn timetables and
# the races' timetables are written to build-bench/rules-race (or DIR).
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
  echo "usage: bench/rules_race.sh [--seeds=N] [--at=T1,T2,...] [--sizes=N1,N2,...] [--no-rules] [--folder=DIR]" >&2
  exit 2
}

seeds=5
at=10,60
sizes=300,450,600,800,1000,1250,1500,1800,2100,2500
no_rules=
folder=build-bench/rules-race
for arg in "$@"; do
  case "$arg" in
    --seeds=*) seeds=${arg#--seeds=} ;;
    --at=*) at=${arg#--at=} ;;
    --sizes=*) sizes=${arg#--sizes=} ;;
    --no-rules) no_rules=--no-rules ;;
    --folder=*) folder=${arg#--folder=} ;;
    *) usage ;;
  esac
done
[[ "$seeds" =~ ^[1-9][0-9]*$ && "$at" =~ ^[0-9.]+(,[0-9.]+)*$ && "$sizes" =~ ^[1-9][0-9]*(,[1-9][0-9]*)*$ ]] || usage

make bench >/dev/null
mkdir -p "$folder/timetables"
rm -f "$folder"/*.xml "$folder"/timetables/*.xml
problems=()
school=0
IFS=, read -ra size_list <<<"$sizes"
for size in "${size_list[@]}"; do
  school=$((school + 1))
  name=$(printf "rules-%02d-%s" "$school" "$size")
  python3 bench/make_rules_school.py "$school" --lessons "$size" $no_rules \
    --solution "$folder/$name-planted.xml" -o "$folder/$name.xml" 2>/dev/null
  problems+=("$folder/$name.xml")
done

python3 - "${problems[@]}" <<'EOF'
import sys
sys.path.insert(0, "bench")
import xml.etree.ElementTree as ET
import check_rules
kinds = check_rules.RESOURCE_RULES + check_rules.ACTIVITY_RULES
short = {"MaxPerDay": "MaxPD", "MinPerDay": "MinPD", "MaxGaps": "MaxG", "MaxGapsPerDay": "MaxGPD",
         "MinDays": "MinD", "MaxConsecutive": "MaxC", "MaxLateStarts": "Late", "DifferentDays": "DiffD",
         "SameDay": "SameD", "SamePeriod": "SameP", "Consecutive": "Cons", "DailyLimit": "DailyL",
         "LastOfDay": "Last"}
print("schools (rules: all, of them soft)")
print(f"{'problem':<20} {'lessons':>7} {'days':>4} {'classes':>7} {'teachers':>8} {'rules':>11} "
      + " ".join(f"{short[k]:>6}" for k in kinds))
for path in sys.argv[1:]:
    p = check_rules.Problem(ET.parse(path).getroot())
    cats = [r.category for r in p.resources.values()]
    count = {k: sum(1 for r in p.rules if r.kind == k) for k in kinds}
    soft = sum(1 for r in p.rules if not r.hard())
    print(f"{path.rsplit('/', 1)[-1]:<20} {len(p.activities):>7} {p.days}x{p.slots:<2} "
          f"{cats.count('Classes'):>7} {cats.count('Teachers'):>8} {len(p.rules):>5} ({soft:>3}) "
          + " ".join(f"{count[k]:>6}" for k in kinds))
print()
EOF

build-bench/deep_race --threads=1 --seeds="$seeds" --at="$at" --write="$folder/timetables" "${problems[@]}"

echo
echo "the timetables the races ended with, judged again"
printf "%-20s %22s  %s\n" problem "check_rules: hard kept" "quorvex -c: valid, scores"
for problem in "${problems[@]}"; do
  name=$(basename "$problem" .xml)
  kept=0 valid=0 scores=()
  for seed in $(seq 1 "$seeds"); do
    timetable="$folder/timetables/$name-seed$seed.xml"
    if python3 bench/check_rules.py "$problem" "$timetable" >/dev/null 2>&1; then kept=$((kept + 1)); fi
    if build-bench/quorvex -r -c "$problem" "$timetable" >"$folder/judged.txt" 2>/dev/null; then
      valid=$((valid + 1))
      scores+=("$(tail -1 "$folder/judged.txt")")
    else
      scores+=(invalid)
    fi
  done
  printf "%-20s %22s  %s\n" "$name" "$kept of $seeds" "$valid of $seeds: $(IFS=,; echo "${scores[*]}")"
done
rm -f "$folder/judged.txt"
