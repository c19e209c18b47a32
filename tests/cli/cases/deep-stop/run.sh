# Two lessons that can never both be placed keep the deep search from score
# 0, so it runs until it is asked to stop: SIGTERM, SIGINT, SIGHUP or a line
# on standard input. The message is logged once, the best timetable is
# written and the run ends with status 0; the written timetable scores as
# logged.
binary=$1
stop_with() {
    rm -f input log.txt out.xml
    mkfifo input
    "$binary" -m deep --threads=2 problem.xml out.xml < input 2> log.txt &
    pid=$!
    exec 3> input
    for _ in $(seq 1 600); do
        grep -q "Found solution" log.txt && break
        sleep 0.1
    done
    case $1 in
        line) echo >&3 ;;
        *) kill -"$1" $pid ;;
    esac
    wait $pid
    echo "$1: status $?"
    exec 3>&-
    echo "messages $(grep -c 'Terminating program, please wait...' log.txt)"
    logged=$(sed -n 's/^Result is: //p' log.txt)
    [ "$("$binary" -q -c -r problem.xml out.xml)" = "$logged" ] && echo "written as logged: $logged"
}
stop_with TERM
stop_with INT
stop_with HUP
stop_with line
# A time limit ends it as well.
"$binary" -q -m deep -l 1 -r problem.xml out.xml; echo "limit: status $?"
