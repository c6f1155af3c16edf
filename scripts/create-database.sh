#!/usr/bin/env bash
# create-database.sh FILE SQL... : creates the Firebird file FILE through the in-process
# engine and runs the SQL scripts into it, in order. An existing FILE is never touched
# (it holds the operator's data). The file appears only when every script succeeded.
set -euo pipefail
target=$1; shift
[ -e "$target" ] && exit 0
tmp="$(dirname "$target")/.$(basename "$target").creating.$$"
rm -f "$tmp"
trap 'rm -f "$tmp" "$tmp.sql"' EXIT
{
  echo "SET SQL DIALECT 3;"
  echo "CREATE DATABASE '$tmp' USER 'SYSDBA' PASSWORD 'plumtrees' PAGE_SIZE 8192 DEFAULT CHARACTER SET NONE;"
  for f in "$@"; do cat "$f"; echo; done
} > "$tmp.sql"
ISC_USER=SYSDBA ISC_PASSWORD=plumtrees isql-fb -q -b -e -i "$tmp.sql" >/dev/null
mv "$tmp" "$target"
