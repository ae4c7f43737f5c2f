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
name=cross-check
db=${1:-lib_ci}
runs=1
. "$(dirname "$0")/benchlib.sh"
run() { report "$@" 2>/dev/null | sed '1s/^\xEF\xBB\xBF//' | tr -d '\r'; }

year=$(sql -c "SELECT substr(max(date_time), 1, 4) FROM redr_book_stat_hist")
month=$(sql -c "SELECT substr(max(date_time), 1, 7) FROM redr_book_stat_hist")
day=$(sql -c "SELECT substr(max(date_time), 1, 10) FROM book_use_stat_hist")
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
  sql -c "SELECT $1, t.redr_type_name, count(*) FROM redr_book_stat_hist h JOIN reader r USING (cert_id)
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
  sql -c "SELECT $2, count(DISTINCT marc_rec_no), count(*) FROM $1
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
  "$(sql -c "SELECT j.job_name, sum(w.volume) FROM wkr_job_qty w JOIN job_type j USING (job_type)
          WHERE w.wkr_no_f = 'A001' AND w.oper_date LIKE '$year%' AND w.job_type LIKE '4%' GROUP BY 1")" \
  "$(run workload --worker A001 --year "$year" | awk -F, 'NR > 1 && $3 != "" { print $1 "|" $3 }')"

# The visit counts: per reader type name "type|readers|visits", and the overall row.
compare "visits by type, year $year, check-ins" \
  "$(sql -c "SELECT t.redr_type_name, count(DISTINCT h.cert_id), count(*) FROM reader_stat_hist h
            JOIN reader r USING (cert_id) JOIN reader_type t USING (redr_type_code)
           WHERE h.date_time LIKE '$year%' GROUP BY 1
          UNION ALL SELECT '合计', count(DISTINCT h.cert_id), count(*) FROM reader_stat_hist h
            JOIN reader r USING (cert_id) WHERE h.date_time LIKE '$year%'")" \
  "$(run visits --year "$year" --mode reader-check-in | awk -F, 'NR > 1 { print $1 "|" $2 "|" $3 }')"
compare "visits by unit, month $month, R2, reader-book history" \
  "$(sql -c "SELECT coalesce(r.dept, '其他'), count(*) FROM redr_book_stat_hist h JOIN reader r USING (cert_id)
           WHERE h.date_time LIKE '$month%' AND h.location_f = 'R2' GROUP BY 1
          UNION ALL SELECT '合计', count(*) FROM redr_book_stat_hist h JOIN reader r USING (cert_id)
           WHERE h.date_time LIKE '$month%' AND h.location_f = 'R2'")" \
  "$(run visits --month "$month" --location R2 --by unit --mode reader-book |
     awk -F, 'NR > 1 && !($1 == "其他" && $2 == 0) { print $1 "|" $2 }')"

# The reader ranking of the check-in log's last month: "visits|card" of the first 20.
logmonth=$(sql -c "SELECT substr(max(read_date_time), 1, 7) FROM reader_stat")
compare "readers, log month $logmonth, first 20" \
  "$(sql -c "SELECT count(*), cert_id FROM reader_stat WHERE read_date_time LIKE '$logmonth%'
           GROUP BY cert_id ORDER BY count(*) DESC, cert_id LIMIT 20")" \
  "$(run readers --month "$logmonth" --mode reader-check-in --top 20 | awk -F, 'NR > 1 { print $1 "|" $2 }')"

# The title ranking of S01 (one class per first letter) over the year, first 5 of each class:
# "class|rank|copies|readings" with the copies and readings of every title counted anew.
ranked_by_sql() { # history, period condition, order (readings or rate), having[, the copies' location]
  sql -c "WITH c AS (SELECT marc_rec_no, call_no, count(*) AS n FROM item WHERE location = coalesce(${5:-NULL}, location)
                   GROUP BY 1, 2),
        t AS (SELECT h.marc_rec_no, substr(h.call_no, 1, 1) AS letter, count(*) AS readings,
                     sum(DISTINCT c.n) AS copies
                FROM $1 h JOIN c ON c.marc_rec_no = h.marc_rec_no AND c.call_no = h.call_no
               WHERE h.cls_id = '1' AND $2 GROUP BY 1, 2),
        r AS (SELECT d.sub_stat_name AS class, t.*, row_number() OVER (PARTITION BY t.letter ORDER BY
                     $3 DESC, t.marc_rec_no) AS rank
                FROM t JOIN stat_cls_comp s ON s.stat_type_code = 'S01' AND s.comp_cls = t.letter
                JOIN stat_type_detl d USING (stat_type_code, sub_stat_code) WHERE $4)
       SELECT class || '|' || rank || '|' || copies || '|' || readings FROM r WHERE rank <= 5"
}
ranked_by_report() {
  run "$@" | awk -F, 'NR > 1 { if ($1 != "") { class = $1; rank = 0 } print class "|" ++rank "|" $(NF-2) "|" $(NF-1) }'
}
compare "rankings S01, year $year, first 5 by readings" \
  "$(ranked_by_sql redr_book_stat_hist "h.date_time LIKE '$year%'" t.readings true)" \
  "$(ranked_by_report rankings --template S01 --year "$year" --mode reader-book --top 5)"
compare "rankings S01, month $month, first 5 by rate, book use" \
  "$(ranked_by_sql book_use_stat_hist "h.date_time LIKE '$month%'" "t.readings::numeric / t.copies" true)" \
  "$(ranked_by_report rankings --template S01 --month "$month" --order rate --top 5)"
compare "rankings S01, year $year, R1, first 5 by rate" \
  "$(ranked_by_sql redr_book_stat_hist "h.date_time LIKE '$year%' AND h.location_f = 'R1'" \
     "t.readings::numeric / t.copies" true "'R1'")" \
  "$(ranked_by_report rankings --template S01 --year "$year" --mode reader-book --order rate --location R1 --top 5)"
# The rates of S01 at least n in a period: every title, "class|copies|readings" (without ranks).
rates_by_sql() { # period, n
  sql -c "WITH c AS (SELECT marc_rec_no, call_no, count(*) AS n FROM item GROUP BY 1, 2),
           t AS (SELECT h.marc_rec_no, substr(h.call_no, 1, 1) AS letter, count(*) AS readings,
                        sum(DISTINCT c.n) AS copies
                   FROM redr_book_stat_hist h JOIN c ON c.marc_rec_no = h.marc_rec_no AND c.call_no = h.call_no
                  WHERE h.cls_id = '1' AND h.date_time LIKE '$1%' GROUP BY 1, 2)
          SELECT d.sub_stat_name || '|' || t.copies || '|' || t.readings FROM t
            JOIN stat_cls_comp s ON s.stat_type_code = 'S01' AND s.comp_cls = t.letter
            JOIN stat_type_detl d USING (stat_type_code, sub_stat_code) WHERE t.readings >= $2 * t.copies"
}
rates_by_report() { # period option, period, n
  run rates --template S01 "$1" "$2" --mode reader-book --rate ">=$3" |
    awk -F, 'NR > 1 { if ($1 != "") class = $1; print class "|" $(NF-2) "|" $(NF-1) }'
}
compare "rates S01, year $year, at least 20" "$(rates_by_sql "$year" 20)" "$(rates_by_report --year "$year" 20)"
compare "rates S01, month $month, at least 3" "$(rates_by_sql "$month" 3)" "$(rates_by_report --month "$month" 3)"

# The use per copy of the reader-book log's last month at R1, first 50: "call number|copies|uses".
compare "usage, log month $logmonth, R1, first 50" \
  "$(sql -c "WITH u AS (SELECT i.call_no, count(*) AS n FROM reader_book_stat s JOIN item i USING (prop_no)
                      WHERE s.date_time LIKE '$logmonth%' AND s.location_f = 'R1' GROUP BY 1),
           c AS (SELECT call_no, count(*) AS n FROM item WHERE location = 'R1' GROUP BY 1)
          SELECT c.call_no || '|' || c.n || '|' || u.n FROM u JOIN c USING (call_no)
           ORDER BY u.n::numeric / c.n DESC, c.call_no DESC LIMIT 50")" \
  "$(run usage --month "$logmonth" --location R1 --mode reader-book --top 50 |
     awk -F, 'NR > 1 { print $(NF-3) "|" $(NF-2) "|" $(NF-1) }')"
# The same over the whole log in every room, first 50.
compare "usage, log year $year, all rooms, first 50" \
  "$(sql -c "WITH u AS (SELECT i.call_no, count(*) AS n FROM reader_book_stat s JOIN item i USING (prop_no)
                      WHERE s.date_time LIKE '$year%' GROUP BY 1),
           c AS (SELECT call_no, count(*) AS n FROM item GROUP BY 1)
          SELECT c.call_no || '|' || c.n || '|' || u.n FROM u JOIN c USING (call_no)
           ORDER BY u.n::numeric / c.n DESC, c.call_no DESC LIMIT 50")" \
  "$(run usage --year "$year" --mode reader-book --top 50 | awk -F, 'NR > 1 { print $(NF-3) "|" $(NF-2) "|" $(NF-1) }')"
