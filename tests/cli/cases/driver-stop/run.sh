# A search that would go on for a long time (a huge STEPSUNCHANGED) is ended
# by SIGTERM, SIGINT, SIGHUP or a line on standard input: the termination
# message is logged, the best timetable is written and the run ends with
# status 0; the written timetable scores as the log said.
binary=$1
printf 'STOPAFTER=1\nSTEPSUNCHANGED=2000000000\n' > quorvex.cfg
stop_with() {
    rm -f input log.txt out.xml
    mkfifo input
    "$binary" problem.xml out.xml < input 2> log.txt &
    pid=$!
    exec 3> input
    for _ in $(seq 1 600); do
        grep -q "Trying to change random activities" log.txt && break
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
    [ "$("$binary" -q -c -r problem.xml out.xml)" = "$logged" ] && echo "written as logged"
}
stop_with TERM
stop_with INT
stop_with HUP
stop_with line
