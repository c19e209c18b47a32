# Calculate mode scores an existing timetable: the teacher's soft preference
# for slot 0 costs 4. The result goes to standard output (-r) or to a file
# (-rfile); OUTPUTFILE is only read. With -i as well, the initial solution
# (score 0) is read and scored first, and the result is that of OUTPUTFILE.
binary=$1
run() { ( exec -a quorvex "$binary" "$@" ); echo "status $?"; }
cp solution.xml before.xml
run -q -c -r problem.xml solution.xml
run -q --calculate --result=result.txt problem.xml solution.xml
cat result.txt
run -q -c --init=other.xml -r problem.xml solution.xml
cmp -s before.xml solution.xml && echo "solution unchanged"
# Problem and initial solution in one document on standard input.
run -q -c -i -r - solution.xml < both.xml
# A result that cannot be written is an error, not a silent success.
run -q -c -r/dev/full problem.xml solution.xml
