# The deep search writes a timetable that calculate mode scores to the logged
# result, logs its engine and threads first, and ends by itself at score 0.
binary=$1
"$binary" -m deep --threads=2 -rsolved.txt problem.xml out.xml 2> log.txt; echo "solve: status $?"
grep -x "Deep search on 2 threads" log.txt
"$binary" -q -c -rchecked.txt problem.xml out.xml; echo "calculate: status $?"
cmp -s solved.txt checked.txt && echo "same score"
best=$(sed -n 's/^Best score: //p' log.txt)
[ "$best" = "$(cat solved.txt)" ] && echo "best score is the result: $best"
# -q -s: only the scores of better timetables, falling, then the final one.
"$binary" -q -s --mode=deep --threads=1 problem.xml out2.xml 2> scores.txt; echo "quiet: status $?"
grep -vqx '[0-9]\+' scores.txt || echo "only numbers"
sed '$d' scores.txt | sort -n -r -c -u && echo "each better than the one before"
# The classic search is still the default, and --mode=classic names it.
printf 'STOPAFTER=1\nSTEPSUNCHANGED=3\n' > quorvex.cfg
"$binary" -l 5 problem.xml classic.xml 2> default.log
"$binary" -l 5 --mode=classic problem.xml classic2.xml 2> classic.log
for log in default.log classic.log; do
    grep -q "^First approach$" $log && ! grep -q "^Deep search" $log && echo "$log: classic search"
done
# -i: starts from a timetable and never reports a worse one.
"$binary" -q -c -rstart.txt problem.xml classic.xml
"$binary" -q -m deep -iclassic.xml -rfrom-start.txt problem.xml out3.xml; echo "from a timetable: status $?"
[ "$(cat from-start.txt)" -le "$(cat start.txt)" ] && echo "no worse than the start"
true
