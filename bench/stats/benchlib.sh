# Shared by the statistics benchmarks (sourced, after `name`, `db` and `runs` are set): a
# tavorn.ini for the database in a temporary directory, `sql` (psql on it, unaligned, tuples only),
# `report` (readdesk-report on it), and `timed LABEL COMMAND...` printing the median wall time of
# `runs` runs of the command (labels padded to `label_width`).
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
report_program=$repo/build/desk/readdesk-report
[ -x "$report_program" ] || { echo "$name: build readdesk-report first" >&2; exit 2; }

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
dsn=$("$repo/scripts/localdb" dsn | sed "s/dbname=[^ ]*/dbname=$db/")
"$repo/build/bin/tavorn-ini" "$home/tavorn.ini" LIBRARY "$dsn" readdesk readdesk
sql() { "$repo/scripts/localdb" psql -d "$db" -X -q -A -t -F '|' -v ON_ERROR_STOP=1 "$@"; }
report() { TAVORN_HOME=$home "$report_program" "$@"; }

median() { sort -n | awk '{ v[NR] = $1 } END { printf "%.2f", v[int((NR + 1) / 2)] }'; }
timed() { # label, command...
  local label=$1; shift
  local times=()
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || { echo "$name: $label failed" >&2; exit 1; }
    end=$(date +%s.%N)
    times+=("$(awk "BEGIN { print $end - $start }")")
  done
  printf "%-${label_width:-58}s %8s s\n" "$label" "$(printf '%s\n' "${times[@]}" | median)"
}
