# An unknown search name, or a number of threads that is not a count, is a
# usage error; the old options keep their prefixes.
run() { ( exec -a quorvex "$binary" "$@" ); echo "status $?"; }
binary=$1
run -m fast in.xml out.xml
run --mode=Deep in.xml out.xml
run --threads=0 in.xml out.xml
run --threads=many in.xml out.xml
run -m in.xml out.xml
( exec -a quorvex "$binary" --e --s --help ) > /dev/null; echo "--e --s --help: status $?"
