exec -a quorvex "$1" -c missing.xml out.xml
