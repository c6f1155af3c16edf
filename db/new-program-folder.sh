#!/usr/bin/env bash
# new-program-folder.sh DIR CREATE_DATABASE DEMO_SQL DEMO_INPUTS SETTINGS_SQL... :
# makes DIR/QUILLON.GDB when it is missing, and with it the demo: the repository
# DIR/demo/DEMO.FDB, the folders DIR/demo/in (with the sample inputs, when the folder is
# new) and DIR/demo/done, and the enabled channel "Demo" in the new settings database.
# An existing QUILLON.GDB (the operator's channels) is never touched.
set -euo pipefail
dir=$1 create=$2 demosql=$3 inputs=$4; shift 4
[ -e "$dir/QUILLON.GDB" ] && exit 0
mkdir -p "$dir/demo"
if [ ! -d "$dir/demo/in" ]; then
  mkdir -p "$dir/demo/in.new"
  cp "$inputs"/*.txt "$dir/demo/in.new/"
  mv "$dir/demo/in.new" "$dir/demo/in"
fi
mkdir -p "$dir/demo/done"
"$create" "$dir/demo/DEMO.FDB" "$demosql"  # keeps an existing one
row=$(mktemp)
trap 'rm -f "$row"' EXIT
q() { printf "%s" "$1" | sed "s/'/''/g"; }
cat > "$row" <<SQL
INSERT INTO CHANNEL_SETTING (ID, DESCRIPTION, SCANNED_LOCATION, PROCESSED_LOCATION,
  FILE_EXTENSION, FILE_NAME_STARTS_WITH, FILE_NAME_ENDS_WITH, DISABLED, SCAN_INTERVAL, LOGGED,
  RULE_FILE, DB_TYPE, DB_SERVER_NAME, DB_NAME, DB_USER_NAME, DB_PASSWORD)
VALUES (1, 'Demo', '$(q "$dir/demo/in/")', '$(q "$dir/demo/done/")', '.txt', '', '', 0, 1000, 0,
  '$(q "$dir/rules/demo.arp")', 'Firebird', 'embedded', '$(q "$dir/demo/DEMO.FDB")', 'SYSDBA', '');
COMMIT;
SQL
"$create" "$dir/QUILLON.GDB" "$@" "$row"
