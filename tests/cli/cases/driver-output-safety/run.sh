# A solution or result file is written whole or not at all: a failed write
# (a full device, a size limit, an unwritable or missing folder) is reported
# with status 1, leaves the previous file as it was and no temporary file
# behind; stop signals during the search and the writing still give a
# complete file.
binary=$1
run() { ( exec -a quorvex "$binary" "$@" ); }
printf 'STOPAFTER=1\nSTEPSUNCHANGED=3\n' > quorvex.cfg
leftovers() { ls -A | grep -c '^\.quorvex-'; }

echo "== a full device"
run -q -l 0 problem.xml /dev/full; echo "status $?"
run -q -l 0 -r/dev/full problem.xml out.xml; echo "status $?"
run -q -l 0 problem.xml - >/dev/full; echo "status $?"
run -q -l 0 -r problem.xml out.xml >/dev/full; echo "status $?"

echo "== folders"
# A privileged user writes anywhere the permissions forbid; /proc refuses
# even them.
if [ "$(id -u)" = 0 ]; then locked=/proc/self; else mkdir locked; chmod 555 locked; fi
run -q -l 0 problem.xml "$locked/out.xml" 2>&1 | sed "s#$locked#LOCKED#"; echo "status ${PIPESTATUS[0]}"
run -q -l 0 problem.xml missing/out.xml; echo "status $?"
# Found before the search, so that no timetable is searched for in vain.
echo "searched first: $(run -l 0 problem.xml missing/out.xml 2>&1 | grep -c 'Creating space')"
mkdir folder
run -q -l 0 problem.xml folder; echo "status $?"
run -q -c problem.xml folder; echo "status $?"

echo "== the previous file survives"
run -q -l 0 problem.xml previous.xml; echo "status $?"
cp previous.xml expected.xml
chmod 640 previous.xml
ln -s previous.xml link.xml
# The solution is over 5 kB: a limit of 2 kB on the size of files fails the
# write half way, as a full disk would. (The messages go through a pipe,
# which no size limit holds back.)
( ulimit -f 2; trap '' XFSZ; run -q -l 0 problem.xml previous.xml 2>&1 ) | cat
echo "status ${PIPESTATUS[0]}"
cmp -s previous.xml expected.xml && echo "kept after a write error"
# Without the trap the limit kills the program in the middle of the write.
( ulimit -f 2; run -q -l 0 problem.xml previous.xml ) 2>/dev/null; echo "killed: status $?"
cmp -s previous.xml expected.xml && echo "kept after a crash"
rm -f .quorvex-*
echo "old" > result.txt
( ulimit -f 0; trap '' XFSZ; run -q -l 0 -rresult.txt problem.xml - 2>&1 >/dev/null ) | cat
echo "status ${PIPESTATUS[0]}"
echo "result: $(cat result.txt)"
echo "leftovers: $(leftovers)"
# A good run replaces the file through the link, with the file's permissions.
run -q -l 0 problem.xml link.xml; echo "status $?"
[ -L link.xml ] && echo "still a link"
stat -c %a previous.xml
run -q -c -r problem.xml link.xml

echo "== stop signals while searching and writing"
printf 'STOPAFTER=1\nSTEPSUNCHANGED=2000000000\n' > quorvex.cfg
"$binary" -l 30 problem.xml stopped.xml 2> log.txt &
pid=$!
for _ in $(seq 1 600); do
    grep -q "Trying to change random activities" log.txt && break
    sleep 0.1
done
# A signal every few milliseconds until the program has ended.
for _ in $(seq 1 4000); do
    kill -TERM $pid 2>/dev/null || break
    sleep 0.005
done
wait $pid; echo "status $?"
tail -n 1 stopped.xml
logged=$(sed -n 's/^Result is: //p' log.txt)
[ "$("$binary" -q -c -r problem.xml stopped.xml)" = "$logged" ] && echo "written as logged"
echo "leftovers: $(leftovers)"
