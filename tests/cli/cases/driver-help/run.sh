exec -a quorvex "$1" --help -e
