# A fatal error while a file is open names it; the judgement runs after the
# solution file is closed, so its errors name no file.
binary=$1
"$binary" -q -c problem.xml incomplete.xml; echo "status $?"
"$binary" -q -c problem.xml clash.xml; echo "status $?"
