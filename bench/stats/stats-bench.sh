#!/usr/bin/env bash
# Times the statistics windows' questions at library scale, each run as readdesk-report does it
# (connect, code tables, the package calls, the CSV), beside floors measured in the same run:
# the process without statistics, and bare statements in psql (the window's own statement run
# once over all its events, and the mere count of those events).
#
#   bench/stats/stats-bench.sh [database] [runs]   (default library_big, 3 runs; READDESK_VAR and
#                                                   READDESK_PGPORT as for scripts/localdb)
# Prints the median wall time of each case in seconds.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
db=${1:-library_big}
runs=${2:-3}
report=$repo/build/desk/readdesk-report
[ -x "$report" ] || { echo "stats-bench: build readdesk-report first" >&2; exit 2; }

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
dsn=$("$repo/scripts/localdb" dsn | sed "s/dbname=[^ ]*/dbname=$db/")
"$repo/build/bin/tavorn-ini" "$home/tavorn.ini" LIBRARY "$dsn" readdesk readdesk
sql() { "$repo/scripts/localdb" psql -d "$db" -X -q -A -t -v ON_ERROR_STOP=1 "$@"; }
year=$(sql -c "SELECT substr(max(date_time), 1, 4) FROM redr_book_stat_hist")
month=$(sql -c "SELECT substr(max(date_time), 1, 7) FROM redr_book_stat_hist")

median() { sort -n | awk '{ v[NR] = $1 } END { printf "%.2f", v[int((NR + 1) / 2)] }'; }
timed() { # label, command...
  local label=$1; shift
  local times=()
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || { echo "stats-bench: $label failed" >&2; exit 1; }
    end=$(date +%s.%N)
    times+=("$(awk "BEGIN { print $end - $start }")")
  done
  printf '%-58s %8s s\n' "$label" "$(printf '%s\n' "${times[@]}" | median)"
}
report() { TAVORN_HOME=$home "$report" "$@"; }
bare() { sql -c "$1"; }

echo "database $db, year $year, month $month, $runs runs, median wall time"
timed "floor: readdesk-report without statistics" report workload --worker NOBODY --date 1999-01-01
timed "classes S01 (22 classes), year" report classes --template S01 --year "$year"
timed "classes S01, month" report classes --template S01 --month "$month"
timed "classes S02 (ranges), half a year, one room" report classes --template S02 --from "$year-01-01" \
  --to "$year-06-30" --location R1
timed "books S01, year, reader-book history" report books --template S01 --year "$year" --mode reader-book
timed "books S01, year, book-use history" report books --template S01 --year "$year"
timed "books S01, month, book-use history" report books --template S01 --month "$month"
timed "books S01, day, book-use history" report books --template S01 --date "$month-01"
timed "workload of A001, year" report workload --worker A001 --year "$year"
types=$(sql -c "SELECT string_agg(format('SUM(decode(reader.redr_type_code,%L ,1,0))', redr_type_code), ' || '','' || ')
                  FROM reader_type WHERE code_use_flag = '1'")
timed "floor: the classes statement once over the year (psql)" bare \
  "SELECT $types FROM redr_book_stat_hist ,reader WHERE redr_book_stat_hist.cert_id = reader.cert_id
      AND substr(redr_book_stat_hist.date_time,1,4)= '$year'"
timed "floor: the books total statement once over the year (psql)" bare \
  "SELECT count(distinct book_use_stat_hist.marc_rec_no)|| ',' ||COUNT( book_use_stat_hist.prop_no)
     FROM book_use_stat_hist WHERE SUBSTR(book_use_stat_hist.date_time,1,4)='$year'"
timed "floor: count the year's reader-book events (psql)" bare \
  "SELECT count(*) FROM redr_book_stat_hist WHERE substr(date_time,1,4) = '$year'"
