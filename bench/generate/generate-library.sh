#!/usr/bin/env bash
# Builds a library-scale database for the benchmarks: a copy of the demo library `library`
# (so its workstation, workers, locations, rules, code tables and demo keys stay as they
# are) filled with 1,000,000 readers and cards, 300,000 titles with their MARC records,
# 1,000,000 items, 100,000 open loans and 10,000,000 reading events, all scaled by --scale.
# The data depends only on --scale, --seed and --today: two runs with the same three give
# the same database. The key ranges are kept in the table bench_keys (see bench/README.md).
#
#   bench/generate/generate-library.sh [--scale N] [--seed N] [--today YYYY-MM-DD]
#                                      [--check-all | --no-check] [DATABASE]
#
# DATABASE (default $READDESK_BENCH_DB, else library_big) is dropped and made anew from
# `library` (made by scripts/localdb init), which must have no other sessions meanwhile. The
# cluster is the one of scripts/localdb: READDESK_VAR and READDESK_PGPORT select it; it is
# started when stopped.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)

scale=1
seed=1
today=$(date +%F)
db=${READDESK_BENCH_DB:-library_big}
check=sample

usage() { sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; exit "${1:-0}"; }
die() { echo "generate-library: $*" >&2; exit 1; }

while [ $# -gt 0 ]; do
  case "$1" in
    --scale) scale=${2:?}; shift 2 ;;
    --scale=*) scale=${1#*=}; shift ;;
    --seed) seed=${2:?}; shift 2 ;;
    --seed=*) seed=${1#*=}; shift ;;
    --today) today=${2:?}; shift 2 ;;
    --today=*) today=${1#*=}; shift ;;
    --check-all) check=all; shift ;;
    --no-check) check=none; shift ;;
    -h|--help) usage 0 ;;
    -*) die "unknown option $1 (see --help)" ;;
    *) db=$1; shift ;;
  esac
done

[[ $scale =~ ^[0-9]*\.?[0-9]+$ ]] && awk "BEGIN { exit !($scale >= 0.001 && $scale <= 5) }" ||
  die "--scale must be a number from 0.001 to 5"
[[ $seed =~ ^[0-9]{1,9}$ ]] || die "--seed must be a whole number"
[[ $today =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}$ ]] || die "--today must be YYYY-MM-DD"
[[ $db =~ ^[a-z_][a-z0-9_]*$ ]] || die "database name '$db': lower-case letters, digits and _ only"
case "$db" in
  library|postgres|template0|template1) die "refusing to overwrite the database '$db'" ;;
esac

var=${READDESK_VAR:-$repo/var}
port=${READDESK_PGPORT:-54329}
"$repo/scripts/localdb" start
sock=$(cd "$var" && pwd)/run

# Bulk-load settings of the generator's own sessions.
export PGOPTIONS="-c client_min_messages=warning -c work_mem=256MB -c maintenance_work_mem=1GB -c max_parallel_maintenance_workers=0 -c synchronous_commit=off -c jit=off"
export PGPASSWORD=readdesk
psql_db() {
  /usr/lib/postgresql/15/bin/psql -X -q -v ON_ERROR_STOP=1 -h "$sock" -p "$port" -U readdesk "$@"
}

now() { date +%s.%N; }
secs() { awk "BEGIN { printf \"%.1f\", $2 - $1 }"; }
started=$(now)

# step LABEL FILE [psql -v assignments]: runs one generator file, prints how long it took
# and, when the server runs on this machine, the processor time its session used (on a
# machine busy with other work the wall time says little about the generator).
step() {
  local label=$1 file=$2 t0 cpu
  shift 2
  t0=$(now)
  if ! psql_db -d "$db" -v scale="$scale" -v seed="$seed" -v today="$today" "$@" -f "$here/$file" \
       -f "$logdir/cpu.sql" >"$logdir/$label.log" 2>&1; then
    cat "$logdir/$label.log" >&2
    echo "generate-library: step '$label' failed" >&2
    return 1
  fi
  cpu=$(sed -n 's/^session cpu //p' "$logdir/$label.log")
  sed -i '/^session cpu /d' "$logdir/$label.log"
  printf '  %-34s %7s s%s\n' "$label" "$(secs "$t0" "$(now)")" "${cpu:+   cpu $cpu s}"
}

# together 'LABEL FILE ARGS...' 'LABEL FILE ARGS...': two steps in two sessions at once.
together() {
  local a b
  step $1 & a=$!
  step $2 & b=$!
  if ! wait "$a"; then
    # the other step's psql, then its shell; the database is dropped by the next run anyway
    pkill -P "$b" psql 2>/dev/null || true
    kill "$b" 2>/dev/null || true
    wait "$b" 2>/dev/null || true
    return 1
  fi
  wait "$b"
}

logdir=$(mktemp -d "${TMPDIR:-/tmp}/generate-library.XXXXXX")
trap 'rm -rf "$logdir"' EXIT
# The processor time of a step's server session, from /proc (utime + stime).
cat >"$logdir/cpu.sql" <<END
\pset tuples_only on
\pset format unaligned
SELECT pg_backend_pid() \g |awk -v hz=$(getconf CLK_TCK) '{ f = "/proc/" \$1 "/stat"; if ((getline s < f) > 0) { split(s, a, " "); printf "session cpu %.1f\\n", (a[14] + a[15]) / hz } }'
END

psql_db -d postgres -tAc "SELECT 1 FROM pg_database WHERE datname = 'library'" | grep -q 1 ||
  die "no database 'library' in the cluster at $var (run scripts/localdb init first)"

echo "generate-library: database $db, scale $scale, seed $seed, day $today"
t0=$(now)
psql_db -d postgres -c "DROP DATABASE IF EXISTS $db WITH (FORCE)" \
  -c "CREATE DATABASE $db TEMPLATE library" \
  -c "ALTER DATABASE $db SET search_path = public, oracle" ||
  die "could not copy the database 'library' (is a desk or psql connected to it?)"
printf '  %-34s %7s s\n' "copy of library" "$(secs "$t0" "$(now)")"

step prepare prepare.sql
together "readers readers.sql" "titles titles.sql"
together "history-older history.sql -v half=older" "history-newer+logs history.sql -v half=newer"
together "items+call-numbers holdings.sql -v part=items" "loans+workload holdings.sql -v part=loans"
together "indexes-1 finish.sql -v part=indexes" "indexes-2 finish.sql -v part=indexes"
step constraints finish.sql -v part=constraints
together "vacuum-analyze-1 finish.sql -v part=vacuum1" "vacuum-analyze-2 finish.sql -v part=vacuum2"
printf '  %-34s %7s s\n' "generated in" "$(secs "$started" "$(now)")"

if [ "$check" != none ]; then
  step check check.sql -v marc_all="$([ "$check" = all ] && echo 1 || echo 0)"
  sed 's/^/    /' "$logdir/check.log"
fi

psql_db -d "$db" -P footer=off <<'EOF'
\echo
\echo 'key ranges (table bench_keys): prefix || (first_no + floor(random() * count))'
SELECT name, prefix || first_no AS first, prefix || last_no AS last, count FROM bench_keys ORDER BY prefix DESC, first_no;
SELECT pg_size_pretty(pg_database_size(current_database())) AS database_size;
EOF
printf 'generate-library: done in %s s\n' "$(secs "$started" "$(now)")"
