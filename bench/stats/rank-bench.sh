#!/usr/bin/env bash
# Times the ranking, rate and visit windows' questions at library scale, each run the way
# readdesk-report runs it (start, tavorn.ini, connection, code tables, statements, the CSV on
# standard output), beside what the windows' statements cost when sent as they stand (the
# ranking statement once per class, the four visit statements, the reader and use statements
# with all their rows) and floors of the same run: the process without statistics, the ranking
# statement once over the period without classes, and the mere count of the period's events.
#
#   bench/stats/rank-bench.sh [database] [runs]   (default library_big, 3 runs; READDESK_VAR and
#                                                  READDESK_PGPORT as for scripts/localdb)
#   RANK_BENCH_STATEMENTS=0 leaves out the statements as they stand (minutes at full scale);
#   they run RANK_BENCH_STATEMENT_RUNS times (default 1).
# Prints the median wall time of each case in seconds.
set -euo pipefail
name=rank-bench
db=${1:-library_big}
runs=${2:-3}
label_width=66
. "$(dirname "$0")/benchlib.sh"
year=$(sql -c "SELECT substr(max(date_time), 1, 4) FROM redr_book_stat_hist")
# the last whole month of the history, and of the logs (they keep the last 30 days)
month=$(sql -c "SELECT to_char(date_trunc('month', to_date(substr(max(date_time), 1, 10), 'YYYY-MM-DD'))
                               - interval '1 month', 'YYYY-MM') FROM redr_book_stat_hist")
logmonth=$(sql -c "SELECT substr(max(date_time), 1, 7) FROM reader_book_stat")

bare() { sql -c "$1"; }

# The ranking statement of the windows on the reader-book history, restricted by $1.
ranking() {
  local x=redr_book_stat_hist
  echo " SELECT $x.marc_rec_no, SUM(distinct tmp_item.total_count), COUNT($x.prop_no),
         ROUND(COUNT($x.prop_no)/SUM(distinct tmp_item.total_count),2)
    FROM $x,( SELECT item.marc_rec_no as MARC_REC_NO , item.call_no AS CALL_NO, COUNT(Item.prop_no) As TOTAL_COUNT
                FROM marc, item WHERE marc.marc_rec_no = item.marc_rec_no
               GROUP BY item.marc_rec_no,item.call_no ORDER BY item.marc_rec_no,item.call_no) TMP_ITEM
   WHERE tmp_item.marc_rec_no=$x.marc_rec_no AND tmp_item.call_no=$x.call_no $1"
}
# The ranking statement once per class of S01, as it stands, and all its rows read.
by_class() {
  bare "CREATE TEMP TABLE ranked AS SELECT ''::text AS c, 0 AS n, ''::text AS m, 0::numeric AS a, 0::numeric AS b,
          0::numeric AS r LIMIT 0;
        DO \$\$ DECLARE c record; BEGIN
          FOR c IN SELECT sub_stat_code, condition FROM tj_sort.class_conditions('redr_book_stat_hist', 'S01') LOOP
            EXECUTE 'INSERT INTO ranked SELECT \$1, row_number() OVER (), q.* FROM ('
                    || \$q\$$(ranking "$1")\$q\$ || ' AND ' || c.condition
                    || ' GROUP BY redr_book_stat_hist.marc_rec_no ORDER BY COUNT(redr_book_stat_hist.prop_no) DESC) q'
              USING c.sub_stat_code;
          END LOOP; END \$\$;
        SELECT count(*) FROM ranked JOIN marc ON marc.marc_rec_no = ranked.m;"
}
# The four visit statements of the window on the check-in history, restricted by $1.
visit_statements() {
  local t=reader_stat_hist
  bare "SELECT reader_type.redr_type_name, COUNT(distinct $t.cert_id), COUNT($t.cert_id) FROM reader, $t, reader_type
         WHERE reader.cert_id=$t.cert_id AND reader.redr_type_code=reader_type.redr_type_code $1
         GROUP BY reader_type.redr_type_name ORDER BY reader_type.redr_type_name;
        SELECT reader.dept, COUNT(distinct $t.cert_id), COUNT($t.cert_id) FROM reader, $t
         WHERE reader.cert_id=$t.cert_id AND reader.dept is not Null $1 GROUP BY reader.dept ORDER BY reader.dept;
        SELECT reader.code01, COUNT(distinct $t.cert_id), COUNT($t.cert_id) FROM reader, $t
         WHERE reader.cert_id=$t.cert_id AND reader.code01 is not Null $1 GROUP BY reader.code01 ORDER BY reader.code01;
        SELECT department.dep_name, COUNT(distinct $t.cert_id), COUNT($t.cert_id) FROM reader, $t, department
         WHERE reader.cert_id=$t.cert_id AND reader.r_dep_id=department.dep_id AND reader.r_dep_id is not Null $1
         GROUP BY department.dep_name ORDER BY department.dep_name"
}
# The reader ranking's two statements on the check-in log, every row of both.
reader_statements() {
  bare "SELECT distinct CERT_ID, count(CERT_ID) FROM reader_stat WHERE substr(reader_stat.read_date_time,1,7)='$1'
         group by CERT_ID order by count(CERT_ID) DESC;
        SELECT distinct reader.cert_id, reader.name, reader.dept, reader.redr_type_code, reader.lend_grd
          FROM reader, reader_stat WHERE reader.cert_id=reader_stat.cert_id
           and substr(reader_stat.read_date_time,1,7)='$1'"
}
# The use list's two statements on the reader-book log at R1, every row of both.
use_statements() {
  local w="where item.prop_no=reader_book_stat.prop_no AND substr(reader_book_stat.date_time,1,7)='$1'
           AND reader_book_stat.location_f='R1'"
  bare "select distinct item.call_no,count(item.prop_no) from item,reader_book_stat $w
         group by item.call_no order by item.call_no desc;
        select distinct item.call_no,count(item.prop_no) from item where item.call_no in
         (select distinct item.call_no from item,reader_book_stat $w) AND item.location= 'R1'
         group by item.call_no order by item.call_no desc"
}

echo "database $db, year $year, month $month, log month $logmonth, $runs runs, median wall time"
timed "floor: readdesk-report without statistics" report workload --worker NOBODY --date 1999-01-01
timed "rankings S01 (22 classes), year, top 10" report rankings --template S01 --year "$year" --mode reader-book
timed "rankings S01, month, top 100" report rankings --template S01 --month "$month" --mode reader-book --top 100
timed "rankings S02 by rate, year, one room" report rankings --template S02 --year "$year" --mode reader-book \
  --order rate --location R1
timed "rates S02, rate at least 20, year" report rates --template S02 --year "$year" --mode reader-book --rate ">=20"
timed "rates S02, rate from 1 to 2, month" report rates --template S02 --month "$month" --mode reader-book --rate "1~2"
timed "visits by type, year, check-ins" report visits --year "$year" --mode reader-check-in
timed "visits by unit, month, one room, check-ins" report visits --month "$month" --mode reader-check-in --location R1
timed "visits by type, half a month, check-ins" report visits --from "$month-01" --to "$month-15" \
  --mode reader-check-in
timed "readers, the log's month, top 100, check-ins" report readers --month "$logmonth" --mode reader-check-in --top 100
timed "usage, the log's month, R1, top 500" report usage --month "$logmonth" --location R1 --mode reader-book --top 500
timed "usage, the log's year, top 50" report usage --year "$year" --mode reader-book
timed "floor: the ranking statement once over the year, no classes (psql)" bare \
  "SELECT count(*) FROM ($(ranking "AND substr(redr_book_stat_hist.date_time,1,4) = '$year'")
     GROUP BY redr_book_stat_hist.marc_rec_no ORDER BY COUNT(redr_book_stat_hist.prop_no) DESC) q"
timed "floor: count the year's reader-book events (psql)" bare \
  "SELECT count(*) FROM redr_book_stat_hist WHERE substr(date_time,1,4) = '$year'"
timed "floor: count the year's check-ins (psql)" bare \
  "SELECT count(*) FROM reader_stat_hist WHERE substr(date_time,1,4) = '$year'"
if [ "${RANK_BENCH_STATEMENTS:-1}" != 0 ]; then
  runs=${RANK_BENCH_STATEMENT_RUNS:-1}
  timed "as they stand: ranking statement per class of S01, year (psql)" by_class \
    "AND substr(redr_book_stat_hist.date_time,1,4) = '$year'"
  timed "as they stand: ranking statement per class of S01, month (psql)" by_class \
    "AND substr(redr_book_stat_hist.date_time,1,7) = '$month'"
  timed "as they stand: the four visit statements, year (psql)" visit_statements \
    "AND substr(reader_stat_hist.date_time,1,4) = '$year'"
  timed "as they stand: the four visit statements, month (psql)" visit_statements \
    "AND substr(reader_stat_hist.date_time,1,7) = '$month'"
  timed "as they stand: the reader ranking's statements, log month (psql)" reader_statements "$logmonth"
  timed "as they stand: the use list's statements, log month, R1 (psql)" use_statements "$logmonth"
fi
