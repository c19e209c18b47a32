# quorvex-view, built next to quorvex, renders the example school in all
# three forms. Input that quorvex -c refuses is refused with the same framed
# message and status.
quorvex=$1
view=$(dirname "$1")/quorvex-view
run_view() { ( exec -a quorvex-view "$view" "$@" ); }
"$view" --html page.html --csv lessons.csv --text problem.xml solution.xml >grids.txt
echo "status $?"
grep -c '<section class="grid"' page.html
grep -o '<tr class="total"><th>Score</th><td class="n">5</td>' page.html
grep -o '<h2><span class="kind">Teacher</span> T_Dahl</h2>' page.html
grep -c 'class="free unavailable"' page.html
head -3 lessons.csv | tr -d '\r'
wc -l <lessons.csv
awk 'length > 100' grids.txt | wc -l
grep -A4 '^Teacher T_Berg' grids.txt
# Without a start, C1A_Math_2 gets its reasons, day by day.
"$view" --text problem.xml unassigned.xml >unassigned.txt
echo "status $?"
sed -n '/==== Unassigned lessons ====/,$p' unassigned.txt
"$view" --html - problem.xml unassigned.xml | grep -c 'class="fits">free: the lesson could start here'
# A timetable that calculate mode refuses is still shown, with every broken
# rule, and the status is 1. Here two lessons meet in one room.
"$quorvex" -q -c problem.xml clash.xml 2>quorvex.err
echo "status $?"
cat quorvex.err
run_view --text problem.xml clash.xml >clash.txt 2>view.err
echo "status $?"
cat view.err
sed -n '/==== Broken hard rules/,/^$/p' clash.txt
grep -A10 '^Room R_1' clash.txt | sed -n '7,10p'
# T_Berg's free day moves from Friday to Monday: his Monday lessons break it.
sed 's|<Hard>24#29</Hard>|<Hard>0#5</Hard>|' problem.xml >moved.xml
run_view --html moved.html --csv moved.csv --days=Mon,Tue,Wed,Thu,Fri moved.xml solution.xml
echo "status $?"
grep -c 'class="lesson broken' moved.html
grep -c '<li class="rule">' moved.html
# Names for the days and periods; a list of the wrong length is refused.
run_view --days=Mon,Tue,Wed,Thu,Fri --periods=8:00,9:00,10:00,11:00,12:00,13:00 problem.xml solution.xml | sed -n '/^Teacher T_Berg/,/^ 9:00/p'
run_view --days=Mon,Tue problem.xml solution.xml
echo "status $?"
run_view --days=Mon,,Wed problem.xml solution.xml 2>&1 | head -1
run_view --csv out.csv problem.xml missing.xml
echo "status $?"
run_view problem.xml
echo "status $?"
