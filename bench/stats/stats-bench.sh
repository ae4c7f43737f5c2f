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
name=stats-bench
db=${1:-library_big}
runs=${2:-3}
. "$(dirname "$0")/benchlib.sh"
year=$(sql -c "SELECT substr(max(date_time), 1, 4) FROM redr_book_stat_hist")
# the last whole month of the history
month=$(sql -c "SELECT to_char(date_trunc('month', to_date(substr(max(date_time), 1, 10), 'YYYY-MM-DD'))
                               - interval '1 month', 'YYYY-MM') FROM redr_book_stat_hist")

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
# A one-off template ("[自定义]", which the report does not take): five classes of ranges and
# prefixes as the desk writes their conditions, sent as the window sends them.
oneoff() { # period restriction of the classes statement
  local c="redr_book_stat_hist.cls_id = ''1'' AND redr_book_stat_hist.call_no "
  local r1="  (   ($c >= ''A'' AND substr(redr_book_stat_hist.call_no ,1,1)<= ''F'') ) "
  local r2="  (   ($c >= ''G'' AND substr(redr_book_stat_hist.call_no ,1,1)<= ''K'') ) "
  local r3="  (   ($c >= ''N'' AND substr(redr_book_stat_hist.call_no ,1,1)<= ''S'') ) "
  local r4="  (   ($c like ''TP3%'')  OR  ($c like ''TN%'') ) "
  local r5="  (   ($c like ''T%'')  OR  ($c >= ''U'' AND substr(redr_book_stat_hist.call_no ,1,1)<= ''Z'') ) "
  bare "CALL tj_sort.getcommonsortdata(' SELECT SUM(decode(reader.redr_type_code,''10'' ,1,0)) || '','' ||
          SUM(decode(reader.redr_type_code,''20'' ,1,0)) || '','' || SUM(decode(reader.redr_type_code,''30'' ,1,0))
          FROM  redr_book_stat_hist ,reader  WHERE redr_book_stat_hist.cert_id = reader.cert_id  and $1', 5,
          ARRAY[' AND $r1', ' AND $r2', ' AND $r3', ' AND $r4', ' AND $r5'], NULL)"
}
timed "one-off template (5 classes), year, the package call (psql)" oneoff \
  "substr(redr_book_stat_hist.date_time,1,4)= ''$year''"
timed "one-off template, month, the package call (psql)" oneoff \
  "substr(redr_book_stat_hist.date_time,1,7)= ''$month''"
timed "one-off template, half a year, the package call (psql)" oneoff \
  "substr(redr_book_stat_hist.date_time,1,10)>= ''$year-01-01'' and substr(redr_book_stat_hist.date_time,1,10)<= ''$year-06-30''"
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
