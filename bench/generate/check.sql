-- Checks a generated library against what bench_keys and bench_gen_param promise: the
-- sizes, every key range in the situation it is documented for, loans matching the lent
-- flags, debts matching the charges, reading events pointing at real readers and items,
-- the identity sequences, the statistics summaries against the events, and the MARC
-- records read back as well-formed ISO 2709 (with the demo library's
-- demo_iso2709_problem). psql variable marc_all = 1 checks every
-- record, otherwise a fixed sample of about 20,000 and every record longer than one piece.
-- Prints one line per check and fails when any check fails.

\ir keys.sql

CREATE TEMP TABLE gen_check (name text, expected bigint, actual bigint);

-- Sizes -------------------------------------------------------------------------------------
INSERT INTO gen_check
SELECT 'readers', :card_debt_last - :card_ok_first + 1,
       (SELECT count(*) FROM reader WHERE cert_id BETWEEN 'R' || :card_ok_first AND 'R' || :card_debt_last
                                      AND length(cert_id) = length('R' || :card_ok_first))
UNION ALL
SELECT 'cards', :card_debt_last - :card_ok_first + 1,
       (SELECT count(*) FROM reader_cert
         WHERE redr_cert_id BETWEEN 'D' || :card_ok_first AND 'D' || :card_debt_last
           AND length(redr_cert_id) = length('D' || :card_ok_first)
           AND cert_id = 'R' || substr(redr_cert_id, 2))
UNION ALL
SELECT 'titles (marc)', :titles,
       (SELECT count(*) FROM marc WHERE marc_rec_no BETWEEN lpad(:title_first::text, 10, '0')
                                                        AND lpad(:title_last::text, 10, '0'))
UNION ALL
SELECT 'titles with a record (marc_data)', :titles,
       (SELECT count(DISTINCT marc_rec_no) FROM marc_data
         WHERE marc_rec_no BETWEEN lpad(:title_first::text, 10, '0') AND lpad(:title_last::text, 10, '0')
           AND data_serial = 1)
UNION ALL
SELECT 'call numbers', :titles,
       (SELECT count(*) FROM call_no_lst WHERE marc_rec_no BETWEEN lpad(:title_first::text, 10, '0')
                                                               AND lpad(:title_last::text, 10, '0'))
UNION ALL
SELECT 'items', :item_s1_lent_last - :item_r1_first + 1,
       (SELECT count(*) FROM item WHERE bar_code BETWEEN 'B' || :item_r1_first AND 'B' || :item_s1_lent_last
                                    AND length(bar_code) = length('B' || :item_r1_first)
                                    AND prop_no = 'P' || substr(bar_code, 2))
UNION ALL
SELECT 'open loans', (SELECT sum(count) FROM bench_keys WHERE name LIKE 'item%lent'),
       (SELECT count(*) FROM lend_lst WHERE prop_no BETWEEN 'P' || :item_r1_first AND 'P' || :item_s1_lent_last
                                        AND length(prop_no) = length('P' || :item_r1_first))
UNION ALL
SELECT 'visits (reader_stat_hist)', (SELECT value::bigint FROM bench_gen_param WHERE name = 'visits'),
       (SELECT count(*) FROM reader_stat_hist WHERE hist_serial > :serial_visit_hist)
UNION ALL
SELECT 'books (book_use_stat_hist)', (SELECT value::bigint FROM bench_gen_param WHERE name = 'books'),
       (SELECT count(*) FROM book_use_stat_hist WHERE hist_serial > :serial_book_hist)
UNION ALL
SELECT 'readers with books (redr_book_stat_hist)', (SELECT value::bigint FROM bench_gen_param WHERE name = 'rbooks'),
       (SELECT count(*) FROM redr_book_stat_hist WHERE hist_serial > :serial_rbook_hist)
UNION ALL
SELECT 'log reader_stat', (SELECT value::bigint FROM bench_gen_param WHERE name = 'log_visits'),
       (SELECT count(*) FROM reader_stat WHERE stat_serial > :serial_visit_log)
UNION ALL
SELECT 'log book_use_stat', (SELECT value::bigint FROM bench_gen_param WHERE name = 'log_books'),
       (SELECT count(*) FROM book_use_stat WHERE stat_serial > :serial_book_log)
UNION ALL
SELECT 'log reader_book_stat', (SELECT value::bigint FROM bench_gen_param WHERE name = 'log_rbooks'),
       (SELECT count(*) FROM reader_book_stat WHERE stat_serial > :serial_rbook_log);

-- Cards: every card of a range is in its range's situation, and in no other ------------------
CREATE TEMP TABLE gen_card AS
SELECT k.name AS range, rc.redr_cert_id, r.cert_id, r.redr_type_code, r.redr_flag, r.volt_flag, r.debt_flag,
       rc.cert_flag, rc.bgn_date, rc.end_date, rt.chk_validity_period, rt.max_debt_amt,
       -- what the admission check at a reading room would object to
       NOT (r.redr_type_code IN ('10', '20', '30')) AS not_local,
       r.redr_flag = '0' AS deregistered,
       rc.cert_flag = '0' AS cancelled,
       rc.cert_flag = '2' AS lost,
       rt.chk_validity_period = '1' AND (rc.end_date < :'today' OR rc.bgn_date > :'today') AS expired,
       EXISTS (SELECT 1 FROM reader_volt_lst v WHERE v.cert_id = r.cert_id AND v.volt_deal_flag <> '0'
                                                 AND v.froz_end_date > :'today') AS suspended,
       r.debt_flag >= rt.max_debt_amt AS debt,
       (SELECT count(*) FROM lend_lst l WHERE l.cert_id = r.cert_id AND l.rule_no_f LIKE 'COPY%') AS copy_loans,
       (SELECT sum(f.fine_amt) FROM exceed_fine_lst f WHERE f.cert_id = r.cert_id AND f.debt_deal_flag = '0') AS charged,
       EXISTS (SELECT 1 FROM cert_loss cl WHERE cl.redr_cert_id = rc.redr_cert_id AND cl.cert_lose_flag = '1') AS loss_report
  FROM bench_keys k
  JOIN reader_cert rc ON rc.redr_cert_id BETWEEN 'D' || k.first_no AND 'D' || k.last_no
                     AND length(rc.redr_cert_id) = length('D' || k.first_no)
  JOIN reader r ON r.cert_id = rc.cert_id
  LEFT JOIN reader_type rt ON rt.redr_type_code = r.redr_type_code
 WHERE k.prefix = 'D'
   -- card_ok is checked in full at small scales, on every 50th card at large ones
   AND (k.name <> 'card_ok' OR k.count <= 100000 OR ('x' || md5(rc.redr_cert_id))::bit(8)::integer % 50 = 0);

INSERT INTO gen_check
SELECT 'cards in the wrong situation: ' || range, 0,
       count(*) FILTER (WHERE NOT CASE range
         WHEN 'card_ok' THEN NOT (not_local OR deregistered OR cancelled OR lost OR expired OR suspended OR debt)
                             AND debt_flag < 0.1 AND volt_flag = 0 AND copy_loans = 0
         WHEN 'card_copy' THEN NOT (not_local OR deregistered OR cancelled OR lost OR expired OR suspended OR debt)
                               AND copy_loans = 1
         WHEN 'card_nonlocal' THEN not_local AND NOT (deregistered OR cancelled OR lost OR expired OR suspended OR debt)
         WHEN 'card_deregistered' THEN deregistered AND NOT (not_local OR cancelled OR lost OR expired OR suspended OR debt)
         WHEN 'card_cancelled' THEN cancelled AND NOT (not_local OR deregistered OR lost OR expired OR suspended OR debt)
         WHEN 'card_lost' THEN lost AND loss_report
                               AND NOT (not_local OR deregistered OR cancelled OR expired OR suspended OR debt)
         WHEN 'card_expired' THEN expired AND NOT (not_local OR deregistered OR cancelled OR lost OR suspended OR debt)
         WHEN 'card_violation' THEN suspended AND volt_flag = 1
                                    AND NOT (not_local OR deregistered OR cancelled OR lost OR expired OR debt)
         WHEN 'card_debt' THEN debt AND charged = debt_flag
                               AND NOT (not_local OR deregistered OR cancelled OR lost OR expired OR suspended)
         ELSE false END)
  FROM gen_card
 GROUP BY range;

-- Items: location, lent flag and loan as their range says --------------------------------------
INSERT INTO gen_check
SELECT 'items in the wrong state: ' || k.name, 0,
       count(*) FILTER (WHERE NOT (
         i.location = CASE WHEN k.name LIKE 'item_r1%' THEN 'R1' WHEN k.name LIKE 'item_r2%' THEN 'R2' ELSE 'S1' END
         AND i.book_lend_flag = CASE WHEN k.name LIKE '%lent' THEN '1' ELSE '0' END
         AND coalesce(l.rule_no_f, '-') LIKE CASE WHEN k.name LIKE 'item_s1_lent' THEN 'PT01'
                                                  WHEN k.name LIKE '%lent' THEN 'COPY0_' ELSE '-' END
         AND coalesce(l.location, i.location) = i.location
         AND i.price < (SELECT sys_para_value::numeric FROM sys_comm_para WHERE sys_para_code = '6')))
  FROM bench_keys k
  JOIN item i ON i.bar_code BETWEEN 'B' || k.first_no AND 'B' || k.last_no
             AND length(i.bar_code) = length('B' || k.first_no)
  LEFT JOIN lend_lst l ON l.prop_no = i.prop_no
 WHERE k.prefix = 'B'
 GROUP BY k.name;

-- Reading events: a sample points at existing readers and items, with the item's record
-- and call number, at the item's reading room, inside the history year ----------------------
INSERT INTO gen_check
SELECT 'book events not matching their item (sample)', 0, count(*)
  FROM (SELECT prop_no, marc_rec_no, call_no, location_f, date_time FROM book_use_stat_hist
         WHERE hist_serial > :serial_book_hist AND hist_serial % 97 = 0
        UNION ALL
        SELECT prop_no, marc_rec_no, call_no, location_f, date_time FROM redr_book_stat_hist
         WHERE hist_serial > :serial_rbook_hist AND hist_serial % 97 = 0) e
  LEFT JOIN item i ON i.prop_no = e.prop_no
 WHERE i.prop_no IS NULL OR i.marc_rec_no <> e.marc_rec_no OR i.call_no <> e.call_no
    OR i.location <> e.location_f
    OR e.date_time !~ '^\d{4}-\d{2}-\d{2}\d{2}:\d{2}:\d{2}$'
    OR e.date_time < to_char((:'today')::date - 365, 'YYYY-MM-DD') OR e.date_time >= :'today';

INSERT INTO gen_check
SELECT 'reader events without an admissible reader (sample)', 0, count(*)
  FROM (SELECT cert_id FROM reader_stat_hist WHERE hist_serial > :serial_visit_hist AND hist_serial % 97 = 0
        UNION ALL
        SELECT cert_id FROM redr_book_stat_hist WHERE hist_serial > :serial_rbook_hist AND hist_serial % 97 = 0) e
 WHERE e.cert_id NOT BETWEEN 'R' || :card_ok_first AND 'R' || :card_ok_last
    OR NOT EXISTS (SELECT 1 FROM reader r WHERE r.cert_id = e.cert_id);

INSERT INTO gen_check
SELECT 'events out of time order (sample)', 0, count(*)
  FROM (SELECT date_time < lag(date_time) OVER (ORDER BY hist_serial) AS back
          FROM reader_stat_hist WHERE hist_serial > :serial_visit_hist AND hist_serial % 97 = 0) x
 WHERE back;

INSERT INTO gen_check
SELECT 'identity sequences behind their table', 0, count(*)
  FROM (SELECT 'reader_stat_hist' AS tbl, 'hist_serial' AS col, (SELECT max(hist_serial) FROM reader_stat_hist) AS mx
        UNION ALL SELECT 'book_use_stat_hist', 'hist_serial', (SELECT max(hist_serial) FROM book_use_stat_hist)
        UNION ALL SELECT 'redr_book_stat_hist', 'hist_serial', (SELECT max(hist_serial) FROM redr_book_stat_hist)
        UNION ALL SELECT 'reader_stat', 'stat_serial', (SELECT max(stat_serial) FROM reader_stat)
        UNION ALL SELECT 'book_use_stat', 'stat_serial', (SELECT max(stat_serial) FROM book_use_stat)
        UNION ALL SELECT 'reader_book_stat', 'stat_serial', (SELECT max(stat_serial) FROM reader_book_stat)) t
  JOIN pg_sequences s ON format('%I.%I', s.schemaname, s.sequencename)::regclass
                         = pg_get_serial_sequence(t.tbl, t.col)::regclass
 WHERE s.last_value < t.mx;

-- MARC records ------------------------------------------------------------------------------
INSERT INTO gen_check
SELECT 'MARC records that do not parse', 0, count(*) FILTER (WHERE problem IS NOT NULL)
  FROM (SELECT d.marc_rec_no,
               demo_iso2709_problem(string_agg(coalesce(d.marc01, '') || coalesce(d.marc02, '') || coalesce(d.marc03, ''),
                                               '' ORDER BY d.data_serial)) AS problem
          FROM marc_data d
         WHERE d.marc_rec_no BETWEEN lpad(:title_first::text, 10, '0') AND lpad(:title_last::text, 10, '0')
           AND (:'marc_all' = '1' OR d.marc_rec_no::bigint % greatest(1, :titles / 20000) = 0
                OR d.marc_rec_no IN (SELECT marc_rec_no FROM marc_data WHERE data_serial = 2 OR marc02 IS NOT NULL))
         GROUP BY d.marc_rec_no) r;

INSERT INTO gen_check
SELECT 'MARC records longer than one piece / one row', 1,
       (count(*) FILTER (WHERE marc02 IS NOT NULL) > 0 AND count(*) FILTER (WHERE data_serial = 2) > 0)::integer
  FROM marc_data
 WHERE marc_rec_no BETWEEN lpad(:title_first::text, 10, '0') AND lpad(:title_last::text, 10, '0');

-- The classification statistics' summaries, kept by the triggers while the history was written,
-- equal what the events say.
INSERT INTO gen_check
SELECT 'statistics summaries differing from the events', 0, count(*) FROM tj_sort.summary_differences();

SELECT name AS check, expected, actual, CASE WHEN expected = actual THEN 'ok' ELSE 'FAILED' END AS result
  FROM gen_check;

DO $$
BEGIN
  IF EXISTS (SELECT 1 FROM gen_check WHERE expected IS DISTINCT FROM actual) THEN
    RAISE EXCEPTION 'the generated library fails % of its checks',
      (SELECT count(*) FROM gen_check WHERE expected IS DISTINCT FROM actual);
  END IF;
END
$$;
