# A timetable whose unassigned activities alone score beyond an int stops the
# search with a framed message instead of wrapping the running score; no
# solution file is written. Twelve teachers with 200 one-slot activities each
# on a grid of five slots: 2340 activities stay unassigned, 2.34 x 10^9.
binary=$1
{
    echo '<Timetable><Problem><General><DaysPerWeek>1</DaysPerWeek><SlotsPerDay>5</SlotsPerDay></General>'
    echo '<Resources><Classrooms/><Teachers>'
    for ((r = 0; r < 12; r++)); do echo "<Resource id=\"T$r\"/>"; done
    echo '</Teachers><Classes/></Resources><Activities>'
    for ((r = 0; r < 12; r++)); do
        for ((a = 0; a < 200; a++)); do
            echo "<Activity id=\"A${r}_$a\"><Length>1</Length><RequiredResources><Resource>T$r</Resource></RequiredResources></Activity>"
        done
    done
    echo '</Activities></Problem></Timetable>'
} >crowded.xml
"$binary" -q -l 5 crowded.xml out.xml 2>&1; echo "status $?"
[ -e out.xml ] && echo "out.xml written"
exit 0
