exec -a quorvex "$1" --he in.xml out.xml
