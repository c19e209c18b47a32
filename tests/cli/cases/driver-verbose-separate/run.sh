exec -a quorvex "$1" -v 30 in.xml out.xml
