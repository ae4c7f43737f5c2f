-- Included by every generator step: the sizes and key ranges that prepare.sql fixed, as
-- psql variables (card_ok_first, card_ok_last, …, item_s1_lent_last, title_first, seed,
-- today, visits, …), so that the bulk statements see plain constants.

\set ON_ERROR_STOP 1
SET client_min_messages = warning;

SELECT
  max(first_no) FILTER (WHERE name = 'card_ok')           AS card_ok_first,
  max(last_no)  FILTER (WHERE name = 'card_ok')           AS card_ok_last,
  max(first_no) FILTER (WHERE name = 'card_copy')         AS card_copy_first,
  max(last_no)  FILTER (WHERE name = 'card_copy')         AS card_copy_last,
  max(first_no) FILTER (WHERE name = 'card_nonlocal')     AS card_nonlocal_first,
  max(last_no)  FILTER (WHERE name = 'card_nonlocal')     AS card_nonlocal_last,
  max(first_no) FILTER (WHERE name = 'card_deregistered') AS card_dereg_first,
  max(last_no)  FILTER (WHERE name = 'card_deregistered') AS card_dereg_last,
  max(first_no) FILTER (WHERE name = 'card_cancelled')    AS card_cancelled_first,
  max(last_no)  FILTER (WHERE name = 'card_cancelled')    AS card_cancelled_last,
  max(first_no) FILTER (WHERE name = 'card_lost')         AS card_lost_first,
  max(last_no)  FILTER (WHERE name = 'card_lost')         AS card_lost_last,
  max(first_no) FILTER (WHERE name = 'card_expired')      AS card_expired_first,
  max(last_no)  FILTER (WHERE name = 'card_expired')      AS card_expired_last,
  max(first_no) FILTER (WHERE name = 'card_violation')    AS card_violation_first,
  max(last_no)  FILTER (WHERE name = 'card_violation')    AS card_violation_last,
  max(first_no) FILTER (WHERE name = 'card_debt')         AS card_debt_first,
  max(last_no)  FILTER (WHERE name = 'card_debt')         AS card_debt_last,
  max(first_no) FILTER (WHERE name = 'item_r1')           AS item_r1_first,
  max(last_no)  FILTER (WHERE name = 'item_r1')           AS item_r1_last,
  max(first_no) FILTER (WHERE name = 'item_r1_lent')      AS item_r1_lent_first,
  max(last_no)  FILTER (WHERE name = 'item_r1_lent')      AS item_r1_lent_last,
  max(first_no) FILTER (WHERE name = 'item_r2')           AS item_r2_first,
  max(last_no)  FILTER (WHERE name = 'item_r2')           AS item_r2_last,
  max(first_no) FILTER (WHERE name = 'item_r2_lent')      AS item_r2_lent_first,
  max(last_no)  FILTER (WHERE name = 'item_r2_lent')      AS item_r2_lent_last,
  max(first_no) FILTER (WHERE name = 'item_s1')           AS item_s1_first,
  max(last_no)  FILTER (WHERE name = 'item_s1')           AS item_s1_last,
  max(first_no) FILTER (WHERE name = 'item_s1_lent')      AS item_s1_lent_first,
  max(last_no)  FILTER (WHERE name = 'item_s1_lent')      AS item_s1_lent_last,
  max(first_no) FILTER (WHERE name = 'title')             AS title_first,
  max(last_no)  FILTER (WHERE name = 'title')             AS title_last,
  max(count)    FILTER (WHERE name = 'title')             AS titles
  FROM bench_keys
\gset

SELECT
  max(value) FILTER (WHERE name = 'seed')                 AS seed,
  max(value) FILTER (WHERE name = 'today')                AS today,
  max(value) FILTER (WHERE name = 'log_days')             AS log_days,
  max(value) FILTER (WHERE name = 'split_d')              AS split_d,
  max(value) FILTER (WHERE name = 'serial_reader_stat_hist')    AS serial_visit_hist,
  max(value) FILTER (WHERE name = 'serial_book_use_stat_hist')  AS serial_book_hist,
  max(value) FILTER (WHERE name = 'serial_redr_book_stat_hist') AS serial_rbook_hist,
  max(value) FILTER (WHERE name = 'serial_reader_stat')         AS serial_visit_log,
  max(value) FILTER (WHERE name = 'serial_book_use_stat')       AS serial_book_log,
  max(value) FILTER (WHERE name = 'serial_reader_book_stat')    AS serial_rbook_log
  FROM bench_gen_param
\gset
