#!/usr/bin/env bash
# Starts or stops a private MariaDB server for the tests, on loopback only, with its data
# in a temporary folder. `start DIR` prints the environment lines the tests read.
set -euo pipefail
cmd=$1; dir=$2
port=${QUILLON_TEST_MYSQL_PORT:-33306}
sock="$dir/mysqld.sock"
case "$cmd" in
start)
  mkdir -p "$dir/data"
  if [ ! -d "$dir/data/mysql" ]; then
    mariadb-install-db --no-defaults --user="$(id -un)" --datadir="$dir/data" \
      --auth-root-authentication-method=socket >"$dir/install.log" 2>&1
  fi
  mariadbd --no-defaults --user="$(id -un)" --datadir="$dir/data" --socket="$sock" \
    --port="$port" --bind-address=127.0.0.1 --skip-name-resolve --pid-file="$dir/mysqld.pid" \
    --log-error="$dir/mysqld.err" --innodb-buffer-pool-size=64M --innodb-log-file-size=32M \
    --innodb-flush-log-at-trx-commit=1 >/dev/null 2>&1 &
  for _ in $(seq 1 100); do
    mariadb --no-defaults -uroot --socket="$sock" -e "SELECT 1" >/dev/null 2>&1 && break
    sleep 0.2
  done
  mariadb --no-defaults -uroot --socket="$sock" <<SQL
CREATE DATABASE IF NOT EXISTS quillon_test;
CREATE USER IF NOT EXISTS 'quillon'@'127.0.0.1' IDENTIFIED BY 'quillon';
GRANT ALL ON *.* TO 'quillon'@'127.0.0.1';
FLUSH PRIVILEGES;
SQL
  ;;
stop)
  if [ -f "$dir/mysqld.pid" ]; then
    pid=$(cat "$dir/mysqld.pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  fi
  ;;
esac
