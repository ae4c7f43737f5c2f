-- Library-scale generator: items and call numbers with the readings the history counted
-- (part = items), and the open loans and workload figures (part = loans). The two parts
-- run at the same time.

\ir keys.sql

SELECT :'part' = 'items' AS items_part \gset

BEGIN;

\if :items_part

-- Readings per item in the generated history.
CREATE TEMP TABLE gen_reads ON COMMIT DROP AS
SELECT prop_no, count(*)::integer AS n
  FROM (SELECT prop_no FROM book_use_stat_hist WHERE hist_serial > :serial_book_hist
        UNION ALL
        SELECT prop_no FROM redr_book_stat_hist WHERE hist_serial > :serial_rbook_hist) x
 GROUP BY prop_no;

-- Items: n from item_r1_first on; title (n - item_r1_first) % titles + 1, so a title's
-- copies are spread over the reading rooms and the stack. Reading rooms keep books for
-- reading only ("43"), the stack lends them ("41"). The lent ranges carry the lent flag
-- that their loans below match.
INSERT INTO item (prop_no, bar_code, marc_rec_no, call_no, location, book_stat_code, book_lend_flag,
                  attachment, price, regist_date, batch_no, year_lend_qty, total_lend_qty,
                  year_read_qty, total_read_qty, resp_wkr, remark)
SELECT 'P' || i.n, 'B' || i.n, g.rec_no, g.call_no, i.loc,
       CASE i.loc WHEN 'S1' THEN '41' ELSE '43' END,
       CASE WHEN i.n BETWEEN :item_r1_lent_first AND :item_r1_lent_last
              OR i.n BETWEEN :item_r2_lent_first AND :item_r2_lent_last
              OR i.n BETWEEN :item_s1_lent_first AND :item_s1_lent_last THEN '1' ELSE '0' END,
       CASE WHEN i.h % 50 = 0 THEN '光盘1张' END,
       g.price,
       to_char(g.cata_date + 3 + (i.h % 30)::integer, 'YYYY-MM-DD'),
       'BATCH-' || to_char(g.cata_date, 'YYYYMM'),
       i.year_lend, i.year_lend + (i.h % 7)::integer * i.year_lend,
       coalesce(r.n, 0), coalesce(r.n, 0) + (i.h % 5)::integer,
       CASE WHEN i.n % 3 = 0 THEN 'B002' ELSE 'A001' END,
       NULL
  FROM (SELECT n, gen_h(n, :seed * 1000 + 300) AS h,
               CASE WHEN n <= :item_r1_lent_last THEN 'R1'
                    WHEN n <= :item_r2_lent_last THEN 'R2' ELSE 'S1' END AS loc,
               CASE WHEN n > :item_r2_lent_last THEN (gen_h(n, :seed * 1000 + 301) % 12)::integer
                    ELSE (gen_h(n, :seed * 1000 + 301) % 3)::integer END AS year_lend
          FROM generate_series(:item_r1_first::bigint, :item_s1_lent_last::bigint) n) i
  JOIN gen_title g ON g.t = (i.n - :item_r1_first) % :titles + 1
  LEFT JOIN gen_reads r ON r.prop_no = 'P' || i.n;

-- Call numbers, one per title, with the counts of their items. Chinese books circulate as
-- "01", foreign ones as "02", encyclopedias and bibliographies are reference books ("03",
-- reading only), and some textbooks are course reserves ("09").
INSERT INTO call_no_lst (call_no, marc_rec_no, cls_id, circ_type_code, lend_grd, year_lend_qty,
                         total_lend_qty, year_read_qty, total_read_qty, year_preg_qty,
                         total_preg_qty, reg_day, resp_wkr)
SELECT g.call_no, g.rec_no, '1',
       CASE WHEN g.clc LIKE 'Z%' THEN '03'
            WHEN g.fmt = 'C' AND g.clc ~ '^(O|TP)' AND g.t % 10 = 0 THEN '09'
            WHEN g.fmt = 'C' THEN '01' ELSE '02' END,
       CASE WHEN g.clc LIKE 'Z%' THEN '03' ELSE '02' END,
       coalesce(c.year_lend, 0), coalesce(c.total_lend, 0), coalesce(c.year_read, 0), coalesce(c.total_read, 0),
       0, (g.t % 4)::integer,
       to_char(g.cata_date, 'YYYY-MM-DD'),
       CASE WHEN g.t % 3 = 0 THEN 'B002' ELSE 'A001' END
  FROM gen_title g
  LEFT JOIN (SELECT (n - :item_r1_first) % :titles + 1 AS t,
                    sum(year_lend_qty)::integer AS year_lend, sum(total_lend_qty)::integer AS total_lend,
                    sum(year_read_qty)::integer AS year_read, sum(total_read_qty)::integer AS total_read
               FROM (SELECT substr(prop_no, 2)::bigint AS n, year_lend_qty, total_lend_qty,
                            year_read_qty, total_read_qty
                       FROM item
                      WHERE prop_no BETWEEN 'P' || :item_r1_first AND 'P' || :item_s1_lent_last
                        AND length(prop_no) = length('P' || :item_r1_first)) x
              GROUP BY 1) c ON c.t = g.t;

\else

-- Photocopy loans: one per reader of card_copy, first the R1 books (every fourth under
-- the hour rule COPY02, lent yesterday and overdue since), then the R2 books; COPY01 loans
-- run three days and were lent one to four days ago, so a quarter are overdue.
INSERT INTO lend_lst (cert_id, prop_no, lend_date, norm_ret_date, rule_no_f, attachment, resp_wkr,
                      preg_flag, rele_flag, renew_date, renew_times, asback_date, asback_times, location)
SELECT 'R' || (:card_copy_first + j % (:card_copy_last - :card_copy_first + 1)),
       'P' || n,
       to_char(lend_at, 'YYYY-MM-DDHH24:MI:SS'),
       CASE WHEN hourly THEN to_char(lend_at + interval '4 hours', 'YYYY-MM-DDHH24:MI:SS')
            ELSE to_char(lend_at::date + 3, 'YYYY-MM-DD') END,
       CASE WHEN hourly THEN 'COPY02' ELSE 'COPY01' END,
       '', CASE WHEN n % 3 = 0 THEN 'B002' ELSE 'A001' END, '0', '0', NULL, 0, NULL, 0, loc
  FROM (SELECT n, j, loc, hourly,
               CASE WHEN hourly THEN (:'today')::date - 1 ELSE (:'today')::date - 1 - (h % 4)::integer END
               + make_interval(hours => 8 + (h % 9)::integer, mins => (h % 60)::integer,
                               secs => (h % 59)::integer) AS lend_at
          FROM (SELECT n, n - :item_r1_lent_first AS j, 'R1' AS loc,
                       (n - :item_r1_lent_first) % 4 = 3 AS hourly, gen_h(n, :seed * 1000 + 310) AS h
                  FROM generate_series(:item_r1_lent_first::bigint, :item_r1_lent_last::bigint) n
                UNION ALL
                SELECT n, (:item_r1_lent_last - :item_r1_lent_first + 1) + n - :item_r2_lent_first, 'R2',
                       false, gen_h(n, :seed * 1000 + 310)
                  FROM generate_series(:item_r2_lent_first::bigint, :item_r2_lent_last::bigint) n) a) b;

-- Stack loans under PT01 (30 days) to readers of card_ok, two books each, lent up to 45
-- days ago. The reading rooms do not count them: only COPY loans concern the desk.
INSERT INTO lend_lst (cert_id, prop_no, lend_date, norm_ret_date, rule_no_f, attachment, resp_wkr,
                      preg_flag, rele_flag, renew_date, renew_times, asback_date, asback_times, location)
SELECT 'R' || (:card_ok_first + gen_h((n - :item_s1_lent_first) / 2, :seed * 1000 + 320)
                                % (:card_ok_last - :card_ok_first + 1)),
       'P' || n,
       to_char(lend_day, 'YYYY-MM-DD') || lpad((8 + h % 10)::text, 2, '0') || ':' || lpad((h % 60)::text, 2, '0')
         || ':' || lpad((h % 59)::text, 2, '0'),
       to_char(lend_day + 30, 'YYYY-MM-DD'), 'PT01', '',
       CASE WHEN n % 3 = 0 THEN 'B002' ELSE 'A001' END, '0', '0', NULL, 0, NULL, 0, 'S1'
  FROM (SELECT n, gen_h(n, :seed * 1000 + 321) AS h,
               (:'today')::date - 1 - (gen_h(n, :seed * 1000 + 321) % 45)::integer AS lend_day
          FROM generate_series(:item_s1_lent_first::bigint, :item_s1_lent_last::bigint) n) s;

-- Workload: the counts of the reading events (422 check-ins, 405 books counted, 423
-- readers with books) per worker and day, over the whole history, demo events included;
-- and the photocopy loans (424).
DELETE FROM wkr_job_qty WHERE job_type IN ('405', '422', '423');

INSERT INTO wkr_job_qty (wkr_no_f, oper_date, job_type, kind, volume, amount)
SELECT resp_wkr, left(date_time, 10), job, 0, count(*), 0
  FROM (SELECT resp_wkr, date_time, '422' AS job FROM reader_stat_hist
        UNION ALL SELECT resp_wkr, date_time, '405' FROM book_use_stat_hist
        UNION ALL SELECT resp_wkr, date_time, '423' FROM redr_book_stat_hist) e
 GROUP BY 1, 2, 3;

INSERT INTO wkr_job_qty (wkr_no_f, oper_date, job_type, kind, volume, amount)
SELECT resp_wkr, left(lend_date, 10), '424', 0, count(*), 0
  FROM lend_lst
 WHERE rule_no_f LIKE 'COPY%' AND length(prop_no) = length('P' || :item_r1_first)
   AND prop_no >= 'P' || :item_r1_first
 GROUP BY 1, 2
ON CONFLICT (wkr_no_f, oper_date, job_type)
DO UPDATE SET volume = wkr_job_qty.volume + excluded.volume;

\endif

COMMIT;
