exec -a quorvex "$1" --version
