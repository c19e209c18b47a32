exec -a quorvex "$1" in.xml out.xml -v
