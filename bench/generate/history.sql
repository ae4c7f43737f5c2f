-- Library-scale generator: a year of reading events in the three history tables, and
-- the last log_days days of them in the three reading logs. Written in two halves that
-- run at the same time: psql variable half = older (days before split_d) or newer (the
-- rest, and the logs). Every event carries the serial base + its number, so the serials
-- follow time whichever half writes the row.

\ir keys.sql

SELECT :'half' = 'newer' AS newer \gset
\if :newer
\set days 'd <= ' :split_d
\else
\set days 'd > ' :split_d
\endif

BEGIN;

INSERT INTO reader_stat_hist (hist_serial, cert_id, date_time, location_f, resp_wkr)
SELECT :serial_visit_hist + e, 'R' || reader_no, date_time, location, wkr
  FROM gen_event
 WHERE kind = 'visits' AND :days;

-- Book events carry the item's record, call number and scheme (item n has title
-- (n - item_r1_first) % titles + 1).
INSERT INTO book_use_stat_hist (hist_serial, prop_no, date_time, location_f, resp_wkr, cert_id,
                                marc_rec_no, call_no, cls_id)
SELECT :serial_book_hist + e, 'P' || item_no, date_time, location, wkr, NULL,
       lpad((:title_first + (item_no - :item_r1_first) % :titles)::text, 10, '0'),
       gen_call_no((item_no - :item_r1_first) % :titles + 1), '1'
  FROM gen_event
 WHERE kind = 'books' AND :days;

INSERT INTO redr_book_stat_hist (hist_serial, prop_no, cert_id, date_time, location_f, resp_wkr,
                                 marc_rec_no, call_no, cls_id)
SELECT :serial_rbook_hist + e, 'P' || item_no, 'R' || reader_no, date_time, location, wkr,
       lpad((:title_first + (item_no - :item_r1_first) % :titles)::text, 10, '0'),
       gen_call_no((item_no - :item_r1_first) % :titles + 1), '1'
  FROM gen_event
 WHERE kind = 'rbooks' AND :days;

\if :newer
-- The logs: the same events of the last days, numbered from their first.
INSERT INTO reader_stat (stat_serial, cert_id, read_date_time, location_f, resp_wkr)
SELECT :serial_visit_log + e - (SELECT min(first_e) FROM gen_event_day WHERE kind = 'visits' AND d <= :log_days),
       'R' || reader_no, date_time, location, wkr
  FROM gen_event
 WHERE kind = 'visits' AND d <= :log_days;

INSERT INTO book_use_stat (stat_serial, prop_no, use_date_time, location_f, resp_wkr, call_no)
SELECT :serial_book_log + e - (SELECT min(first_e) FROM gen_event_day WHERE kind = 'books' AND d <= :log_days),
       'P' || item_no, date_time, location, wkr, gen_call_no((item_no - :item_r1_first) % :titles + 1)
  FROM gen_event
 WHERE kind = 'books' AND d <= :log_days;

INSERT INTO reader_book_stat (stat_serial, prop_no, cert_id, date_time, location_f, resp_wkr, call_no)
SELECT :serial_rbook_log + e - (SELECT min(first_e) FROM gen_event_day WHERE kind = 'rbooks' AND d <= :log_days),
       'P' || item_no, 'R' || reader_no, date_time, location, wkr,
       gen_call_no((item_no - :item_r1_first) % :titles + 1)
  FROM gen_event
 WHERE kind = 'rbooks' AND d <= :log_days;
\endif

COMMIT;
