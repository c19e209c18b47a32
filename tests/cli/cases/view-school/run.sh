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
# The same refusals as calculate mode.
"$quorvex" -q -c problem.xml clash.xml 2>quorvex.err
echo "status $?"
"$view" --text problem.xml clash.xml 2>view.err
echo "status $?"
cmp quorvex.err view.err && cat view.err
run_view --csv out.csv problem.xml missing.xml
echo "status $?"
run_view problem.xml
echo "status $?"
