# A problem with school rules, solved without -m: the deep search solves it
# and says so after the statistics, every lesson is placed, and the written
# timetable is judged by calculate mode to the logged result. With -m deep
# the line is not needed.
binary=$1
"$binary" --threads=2 -rsolved.txt problem.xml out.xml 2>log.txt; echo "solve: status $?"
sed -n '/^Statistics: /{n;p;n;p}' log.txt
echo "lessons placed: $(grep -c '<StartTime>' out.xml)"
echo "result: $(cat solved.txt)"
[ "$(sed -n 's/^Best score: //p' log.txt)" = "$(cat solved.txt)" ] && echo "best score is the result"
"$binary" -q -c -rchecked.txt problem.xml out.xml; echo "calculate: status $?"
cmp -s solved.txt checked.txt && echo "judged to the logged result"
"$binary" -m deep -q problem.xml out2.xml 2>log2.txt; echo "-m deep: status $?"
grep -q "School rules" log2.txt || echo "-m deep: no line about the rules"
true
