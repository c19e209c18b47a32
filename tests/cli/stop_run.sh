# Sourced by the cases that stop a long search. stop_with SIGNAL PATTERN
# ARGS... runs "$binary" ARGS... problem.xml out.xml with a pipe on standard
# input, waits until its log shows PATTERN, then sends SIGNAL (or a line on
# standard input for "line"), and reports the status, how often the
# termination message was logged, and whether the written timetable scores
# as the log said.
stop_with() {
    local signal=$1 pattern=$2
    shift 2
    rm -f input log.txt out.xml
    mkfifo input
    "$binary" "$@" problem.xml out.xml < input 2> log.txt &
    local pid=$!
    exec 3> input
    for _ in $(seq 1 600); do
        grep -q "$pattern" log.txt && break
        sleep 0.1
    done
    case $signal in
        line) echo >&3 ;;
        *) kill -"$signal" $pid ;;
    esac
    wait $pid
    echo "$signal: status $?"
    exec 3>&-
    echo "messages $(grep -c 'Terminating program, please wait...' log.txt)"
    local logged
    logged=$(sed -n 's/^Result is: //p' log.txt)
    [ "$("$binary" -q -c -r problem.xml out.xml)" = "$logged" ] && echo "written as logged${show_score:+: $logged}"
}
