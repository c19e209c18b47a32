# Each option error: the C library's diagnostic, the hint line, status 1.
run() { ( exec -a quorvex "$binary" "$@" ); echo "status $?"; }
binary=$1
run -x in.xml out.xml
run -l
run --calculate=yes in.xml out.xml
run --nothing in.xml out.xml
run -q in.xml
run -e -z in.xml out.xml
