exec -a quorvex "$1" -e --help
