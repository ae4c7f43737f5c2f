#!/usr/bin/env bash
# Runs one psql test script on its own copy of the demo library database, then drops the copy.
set -euo pipefail
script=$1
host=${READDESK_TEST_HOST:?run through scripts/run-tests}
port=${READDESK_TEST_PORT:?}
copy="t_sql_$(basename "$script" .sql)_$$"
export PGPASSWORD=readdesk PGOPTIONS="-c client_min_messages=warning"
psql() { /usr/lib/postgresql/15/bin/psql -X -q -h "$host" -p "$port" -U readdesk -v ON_ERROR_STOP=1 "$@"; }
psql -d postgres -c "CREATE DATABASE $copy TEMPLATE library" -c "ALTER DATABASE $copy SET search_path = public, oracle"
trap 'psql -d postgres -c "DROP DATABASE IF EXISTS $copy WITH (FORCE)"' EXIT
psql -d "$copy" -f "$script"
