# The level must be attached to -v: -v30 and --verbose=30 give level 30,
# where the level-20 "Destroing XML tree" lines appear; plain -v gives 20,
# -q after -v gives 0.
binary=$1
count() { "$binary" "$@" problem.xml solution.xml 2>&1 | grep -c "Destroing XML tree"; }
count -c
count -c -v30
count -c --verbose=30
count -c -v
count -c -v -q
true
