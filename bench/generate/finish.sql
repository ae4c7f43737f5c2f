-- Library-scale generator, last steps (psql variable part):
--   indexes      build the indexes put aside by prepare.sql; two sessions run this at once
--                and share the work, largest tables first
--   constraints  primary keys over their indexes, foreign keys (checked), identity
--                sequences past the generated serials, autovacuum back on, helpers removed
--   vacuum1/2    VACUUM ANALYZE of the filled tables, in two halves run at once, so that
--                the first benchmark run does not pay for hint bits and statistics

\set ON_ERROR_STOP 1
SET client_min_messages = warning;

SELECT :'part' = 'indexes' AS p_indexes, :'part' = 'constraints' AS p_constraints,
       :'part' = 'vacuum1' AS p_vacuum1, :'part' = 'vacuum2' AS p_vacuum2 \gset

\if :p_indexes
UPDATE gen_saved_ddl SET weight = pg_relation_size(tbl::regclass) WHERE weight = 0;

DO $$
DECLARE
  r record;
BEGIN
  LOOP
    SELECT * INTO r FROM gen_saved_ddl
     WHERE phase = 1 AND NOT done
     ORDER BY weight DESC, ord
     LIMIT 1
       FOR UPDATE SKIP LOCKED;
    EXIT WHEN NOT FOUND;
    EXECUTE r.ddl;
    UPDATE gen_saved_ddl SET done = true WHERE ord = r.ord;
    COMMIT;
  END LOOP;
END
$$;
\endif

\if :p_constraints
BEGIN;

DO $$
DECLARE
  r record;
BEGIN
  IF EXISTS (SELECT 1 FROM gen_saved_ddl WHERE phase = 1 AND NOT done) THEN
    RAISE EXCEPTION 'indexes not rebuilt: %',
      (SELECT string_agg(name, ', ') FROM gen_saved_ddl WHERE phase = 1 AND NOT done);
  END IF;
  FOR r IN SELECT * FROM gen_saved_ddl WHERE phase IN (2, 3) ORDER BY phase, ord LOOP
    EXECUTE r.ddl;
  END LOOP;
  FOR r IN SELECT tbl FROM gen_saved_ddl GROUP BY tbl LOOP
    EXECUTE format('ALTER TABLE %s RESET (autovacuum_enabled)', r.tbl);
  END LOOP;
END
$$;

-- The desk's procedures take the next serial from the identity sequences.
SELECT setval(pg_get_serial_sequence(t.tbl, t.col), greatest(t.mx, 1))
  FROM (SELECT 'reader_stat_hist' AS tbl, 'hist_serial' AS col, (SELECT max(hist_serial) FROM reader_stat_hist) AS mx
        UNION ALL SELECT 'book_use_stat_hist', 'hist_serial', (SELECT max(hist_serial) FROM book_use_stat_hist)
        UNION ALL SELECT 'redr_book_stat_hist', 'hist_serial', (SELECT max(hist_serial) FROM redr_book_stat_hist)
        UNION ALL SELECT 'reader_stat', 'stat_serial', (SELECT max(stat_serial) FROM reader_stat)
        UNION ALL SELECT 'book_use_stat', 'stat_serial', (SELECT max(stat_serial) FROM book_use_stat)
        UNION ALL SELECT 'reader_book_stat', 'stat_serial', (SELECT max(stat_serial) FROM reader_book_stat)) t
\g /dev/null

DROP VIEW gen_event;
DROP TABLE gen_event_day, gen_title, gen_saved_ddl;
DROP FUNCTION gen_reader_type(bigint), gen_reader_age(bigint), gen_debt(bigint), gen_debt_days(bigint),
              gen_call_no(bigint), gen_subjects(), gen_zh_surnames(), gen_zh_given(), gen_en_given(),
              gen_en_surnames(), gen_zh_publishers(), gen_en_publishers(), gen_ean13(text),
              gen_fld(text), gen_dir(text, text, integer), gen_pick(text[], bigint),
              gen_u(bigint, bigint), gen_h(bigint, bigint);

COMMIT;
\endif

\if :p_vacuum1
VACUUM (ANALYZE) book_use_stat_hist, reader_stat_hist, reader_cert, marc, call_no_lst, reader_stat,
                 book_use_stat, reader_book_stat, lend_lst;
ANALYZE lend_hist, exceed_fine_lst, reader_volt_lst, cert_loss, wkr_job_qty, bench_keys, bench_gen_param;
\endif

\if :p_vacuum2
VACUUM (ANALYZE) redr_book_stat_hist, marc_data, item, reader, marc_idx;
\endif
