# Problems the analysis refuses, each with its framed message naming the file
# (and the line where the reader finds the fault): a grid without days, a
# number beyond 32 bits, a grid too large for the per-slot tables (also through
# a break), activities of no length or longer than the grid, a slot outside the
# grid, a repeated name and a day rule on a resource in a group.
binary=$1
for problem in zero-days big-integer huge-grid wide-break long-activity zero-length \
               slot-range two-ids group-rule; do
    ( exec -a quorvex "$binary" -q -c $problem.xml none.xml ) 2>&1
    echo "status $?"
done
