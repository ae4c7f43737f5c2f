#!/usr/bin/env bash
# Cross-checks the statistics of readdesk-report (the windows' engine and the server's summaries)
# against plain SQL counts of the events of a generated library (bench/generate), whose call
# numbers are all of scheme 1, so that the classes of the templates S01 (one letter each) and
# S02 (letters and letter ranges) are simple conditions on the first letter.
#
#   bench/stats/cross-check.sh [database]      (default lib_ci; READDESK_VAR, READDESK_PGPORT as for
#                                               scripts/localdb; readdesk-report built in build/desk)
# Prints one line per comparison; exits 1 at the first difference.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
db=${1:-lib_ci}
report=$repo/build/desk/readdesk-report
[ -x "$report" ] || { echo "cross-check: build readdesk-report first" >&2; exit 2; }

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
dsn=$("$repo/scripts/localdb" dsn | sed "s/dbname=[^ ]*/dbname=$db/")
"$repo/build/bin/tavorn-ini" "$home/tavorn.ini" LIBRARY "$dsn" readdesk readdesk
sql() { "$repo/scripts/localdb" psql -d "$db" -X -q -A -t -F '|' -v ON_ERROR_STOP=1 -c "$1"; }
run() { TAVORN_HOME=$home "$report" "$@" 2>/dev/null | sed '1s/^\xEF\xBB\xBF//' | tr -d '\r'; }

year=$(sql "SELECT substr(max(date_time), 1, 4) FROM redr_book_stat_hist")
month=$(sql "SELECT substr(max(date_time), 1, 7) FROM redr_book_stat_hist")
day=$(sql "SELECT substr(max(date_time), 1, 10) FROM book_use_stat_hist")
s02="CASE WHEN substr(call_no, 1, 1) BETWEEN 'C' AND 'K' THEN 'C~K'
          WHEN substr(call_no, 1, 1) BETWEEN 'N' AND 'X' THEN 'N~X' ELSE substr(call_no, 1, 1) END"

compare() { # name, expected lines, actual lines
  if diff <(sort <<<"$2") <(sort <<<"$3") >/dev/null; then
    echo "ok    $1 ($(wc -l <<<"$2") figures)"
  else
    echo "DIFF  $1"
    diff <(sort <<<"$2") <(sort <<<"$3") | head -20
    exit 1
  fi
}

# The classification window: per class and reader type name, "class|type|count" (non-zero).
readers_by_report() {
  run classes "$@" | awk -F, 'NR == 1 { for (i = 3; i <= NF - 2; i++) name[i] = $i; next }
    $1 != "借阅小计" && $1 != "借阅比例" { for (i in name) if ($i != 0) print $2 "|" name[i] "|" $i }
    $1 == "借阅小计" { for (i in name) if ($i != 0) print "all|" name[i] "|" $i }'
}
readers_by_sql() { # class expression, period condition, location condition
  sql "SELECT $1, t.redr_type_name, count(*) FROM redr_book_stat_hist h JOIN reader r USING (cert_id)
         JOIN reader_type t USING (redr_type_code)
        WHERE h.cls_id = '1' AND $2 AND $3 AND $1 IN (SELECT comp_cls FROM stat_cls_comp WHERE stat_type_code = '$4')
        GROUP BY 1, 2
       UNION ALL
       SELECT 'all', t.redr_type_name, count(*) FROM redr_book_stat_hist h JOIN reader r USING (cert_id)
         JOIN reader_type t USING (redr_type_code) WHERE $2 AND $3 GROUP BY 2"
}
compare "classes S01, year $year" \
  "$(readers_by_sql "substr(h.call_no, 1, 1)" "h.date_time LIKE '$year%'" true S01)" \
  "$(readers_by_report --template S01 --year "$year")"
compare "classes S02, month $month, R2" \
  "$(readers_by_sql "${s02//call_no/h.call_no}" "h.date_time LIKE '$month%'" "h.location_f = 'R2'" S02)" \
  "$(readers_by_report --template S02 --month "$month" --location R2)"
compare "classes S01, $month-01 to $month-15" \
  "$(readers_by_sql "substr(h.call_no, 1, 1)" "substr(h.date_time, 1, 10) BETWEEN '$month-01' AND '$month-15'" true S01)" \
  "$(readers_by_report --template S01 --from "$month-01" --to "$month-15")"

# The book window: per class "class|titles|items", and the total.
books_by_report() {
  run books "$@" | awk -F, 'NR > 1 && $4 != 0 { print ($1 == "总计" ? "all" : $2) "|" $3 "|" $4 }'
}
books_by_sql() { # table, class expression, period condition, template
  sql "SELECT $2, count(DISTINCT marc_rec_no), count(*) FROM $1
        WHERE cls_id = '1' AND $3 AND $2 IN (SELECT comp_cls FROM stat_cls_comp WHERE stat_type_code = '$4') GROUP BY 1
       UNION ALL SELECT 'all', count(DISTINCT marc_rec_no), count(*) FROM $1 WHERE $3 HAVING count(*) > 0"
}
compare "books S02, year $year, reader-book history" \
  "$(books_by_sql redr_book_stat_hist "$s02" "date_time LIKE '$year%'" S02)" \
  "$(books_by_report --template S02 --year "$year" --mode reader-book)"
compare "books S01, month $month, book-use history" \
  "$(books_by_sql book_use_stat_hist "substr(call_no, 1, 1)" "date_time LIKE '$month%'" S01)" \
  "$(books_by_report --template S01 --month "$month")"
compare "books S01, day $day, book-use history" \
  "$(books_by_sql book_use_stat_hist "substr(call_no, 1, 1)" "date_time LIKE '$day%'" S01)" \
  "$(books_by_report --template S01 --date "$day")"

# The workload window of one worker: "job name|volume".
compare "workload of A001, year $year" \
  "$(sql "SELECT j.job_name, sum(w.volume) FROM wkr_job_qty w JOIN job_type j USING (job_type)
          WHERE w.wkr_no_f = 'A001' AND w.oper_date LIKE '$year%' AND w.job_type LIKE '4%' GROUP BY 1")" \
  "$(run workload --worker A001 --year "$year" | awk -F, 'NR > 1 && $3 != "" { print $1 "|" $3 }')"
