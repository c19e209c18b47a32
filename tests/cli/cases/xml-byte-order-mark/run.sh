# Every file the programs read may begin with the UTF-8 byte order mark that
# some editors write: the problem, the solutions of -i and -c (also on
# standard input), the configuration file, and both inputs of quorvex-view.
binary=$1
view=$(dirname "$1")/quorvex-view
marked() { printf '\357\273\277'; cat "$1"; }
marked problem.xml >p.xml
marked solution.xml >s.xml
marked both.xml >b.xml
{ marked /dev/null; printf 'STOPAFTER=1\nSTEPSUNCHANGED=2\n'; } >quorvex.cfg
"$binary" -q -c -r p.xml s.xml; echo "status $?"
"$binary" -q -c --init=s.xml -r p.xml s.xml; echo "status $?"
"$binary" -q -c -i -r - s.xml <b.xml; echo "status $?"
"$binary" -l 2 -r --init=s.xml p.xml out.xml 2>log.txt; echo "status $?"
grep -c "configuration file in line" log.txt
"$view" --csv - p.xml s.xml | tr -d '\r'; echo "status $?"
