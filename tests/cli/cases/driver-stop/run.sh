# A search that would go on for a long time (a huge STEPSUNCHANGED) is ended
# by SIGTERM, SIGINT, SIGHUP or a line on standard input: the termination
# message is logged, the best timetable is written and the run ends with
# status 0; the written timetable scores as the log said.
binary=$1
source "$QUORVEX_SOURCE_DIR/tests/cli/stop_run.sh"
printf 'STOPAFTER=1\nSTEPSUNCHANGED=2000000000\n' > quorvex.cfg
for signal in TERM INT HUP line; do
    stop_with $signal "Trying to change random activities"
done
