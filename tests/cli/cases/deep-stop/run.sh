# Two lessons that can never both be placed keep the deep search from score
# 0, so it runs until it is asked to stop: SIGTERM, SIGINT, SIGHUP or a line
# on standard input. The message is logged once, the best timetable is
# written and the run ends with status 0; the written timetable scores as
# logged.
binary=$1
source "$QUORVEX_SOURCE_DIR/tests/cli/stop_run.sh"
show_score=1
for signal in TERM INT HUP line; do
    stop_with $signal "Found solution" -m deep --threads=2
done
# A time limit ends it as well.
"$binary" -q -m deep -l 1 -r problem.xml out.xml; echo "limit: status $?"
