exec -a quorvex "$1" --ver in.xml out.xml
