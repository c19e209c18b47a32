# A and B share their teacher on a one-day grid of four slots and are three
# slots long: they can never both be placed, so propagation fails before any
# decision. The run still ends normally with one of them unassigned.
binary=$1
printf 'STOPAFTER=1\nSTEPSUNCHANGED=2\n' > quorvex.cfg
"$binary" -q -l 1 problem.xml out.xml; echo "status $?"
"$binary" -q -c -r problem.xml out.xml; echo "status $?"
