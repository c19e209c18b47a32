# Solve mode writes a timetable that calculate mode scores to the same
# result; standard input at its end (the harness gives /dev/null) is no stop
# request, and -s prints the final score even with -q.
binary=$1
printf 'STOPAFTER=1\nSTEPSUNCHANGED=3\n' > quorvex.cfg
"$binary" -l 5 -rsolved.txt problem.xml out.xml 2> log.txt; echo "solve: status $?"
"$binary" -q -c -rchecked.txt problem.xml out.xml; echo "calculate: status $?"
cmp -s solved.txt checked.txt && echo "same score"
grep -q "Result is: $(cat solved.txt)" log.txt && echo "score logged"
grep -c "Terminating program" log.txt
# -q -s: only scores, one per line, the last one the final score
"$binary" -q -s -rquiet.txt problem.xml out2.xml 2> scores.txt; echo "quiet: status $?"
grep -vqx -- '-\?[0-9]\+' scores.txt || echo "only numbers"
[ "$(tail -n 1 scores.txt)" = "$(cat quiet.txt)" ] && echo "last is final"
# The output may be standard output, the log then goes to standard error.
"$binary" -q problem.xml - > stdout.xml; echo "stdout: status $?"
"$binary" -q -c -r problem.xml stdout.xml
true
