# Every example school under examples/ reads, solves with every lesson placed
# (a short search), and its written timetable is judged to the score of the
# search. The timetable kept beside an example keeps every hard rule: quorvex
# judges it to its recorded score and quorvex-view renders it.
binary=$1
view=$(dirname "$1")/quorvex-view
examples=$QUORVEX_SOURCE_DIR/examples
printf 'STOPAFTER=1\nSTEPSUNCHANGED=2\n' >quorvex.cfg
for name in school primary secondary college middle; do
    problem=$examples/$name.xml
    if [ -f "$examples/$name-timetable.xml" ]; then
        echo "$name timetable: score $("$binary" -q -c -r "$problem" "$examples/$name-timetable.xml"), status $?"
        "$view" --csv /dev/null "$problem" "$examples/$name-timetable.xml"
        echo "$name timetable view: status $?"
    fi
    "$binary" -q -l 3 -r "$problem" "$name-solved.xml" >solved.txt
    echo "$name solve: status $?"
    [ "$(cat solved.txt)" -lt 1000000 ] && echo "$name: every lesson placed"
    "$binary" -q -c -r "$problem" "$name-solved.xml" | cmp -s - solved.txt && echo "$name: judged as solved"
done
# The first problem of the format reference, as a newcomer would copy it.
awk '/^```xml$/ { if (!seen) { take = 1; seen = 1; next } } /^```$/ { take = 0 } take' \
    "$QUORVEX_SOURCE_DIR/docs/problem-format.md" >first.xml
"$binary" -q -l 3 -r first.xml first-timetable.xml
echo "first problem: status $?"
# The school rules example of the format reference: solved without -m.
awk '/^## School rules$/ { rules = 1 } rules && /^```xml$/ && !seen { take = 1; seen = 1; next }
     /^```$/ { take = 0 } take' "$QUORVEX_SOURCE_DIR/docs/problem-format.md" >rules.xml
"$binary" -q -l 3 -r rules.xml rules-timetable.xml
echo "school rules example: status $?"
