-- The classification statistics on the server: whatever way GetCommonSortData and GetBulkData
-- answer (summaries, one pass, class by class), the figures are those of the statement run as it
-- stands under each class condition; and the summaries stay equal to the events they summarise
-- through new events, changed and removed events, readers changing type, coming and going, and
-- templates changing. Runs in one transaction that is rolled back.
--   psql -X -v ON_ERROR_STOP=1 -d library -f tests/sql/statistics_test.sql

\set ON_ERROR_STOP 1
\set QUIET 1
\o /dev/null
BEGIN;

CREATE FUNCTION pg_temp.expect(ok boolean, what text) RETURNS void
LANGUAGE plpgsql AS $$
BEGIN
    IF ok IS NOT TRUE THEN
        RAISE EXCEPTION 'statistics_test: %', what;
    END IF;
END
$$;

-- The reference: the statement run once per class condition, as it stands.
CREATE FUNCTION pg_temp.by_class(p_sql text, p_conditions text[]) RETURNS text[]
LANGUAGE plpgsql AS $$
DECLARE
    v text;
    r text[] := '{}';
BEGIN
    FOR i IN 1 .. cardinality(p_conditions) LOOP
        EXECUTE p_sql || p_conditions[i] INTO v;
        r := r || coalesce(v, tj_sort.empty_figures(p_sql));
    END LOOP;
    RETURN r;
END
$$;

CREATE FUNCTION pg_temp.conditions(p_table text, p_code text) RETURNS text[]
LANGUAGE sql AS $$
    SELECT array_agg(' AND ' || condition ORDER BY sub_stat_code) FROM tj_sort.class_conditions(p_table, p_code)
$$;

-- Statements of the classification windows and the way each must be answered for a stored
-- template ('summaries' or 'one pass'), built around the last day of the demo history. The
-- yearly summaries serve any template; the daily class summary only stored ones.
CREATE TEMP TABLE cases (name text, tbl text, sql text, stored_way text);
CREATE FUNCTION pg_temp.fill_cases() RETURNS void LANGUAGE plpgsql AS $$
DECLARE
    d text := (SELECT substr(max(date_time), 1, 10) FROM redr_book_stat_hist);
    types text := ' SELECT SUM(decode(reader.redr_type_code,''10'' ,1,0)) || '','' || SUM(decode(reader.redr_type_code,''20'' ,1,0))'
                  || ' || '','' || SUM(decode(reader.redr_type_code,''ZZ'' ,1,0)) FROM  redr_book_stat_hist ,reader '
                  || ' WHERE redr_book_stat_hist.cert_id = reader.cert_id ';
BEGIN
    DELETE FROM cases;
    INSERT INTO cases VALUES
      ('readers year', 'redr_book_stat_hist',
       types || ' and  substr(redr_book_stat_hist.date_time,1,4)= ' || quote_literal(left(d, 4)), 'summaries'),
      ('readers month R1', 'redr_book_stat_hist',
       types || ' and  substr(redr_book_stat_hist.date_time,1,7)= ' || quote_literal(left(d, 7))
             || ' AND redr_book_stat_hist.location_f=''R1''', 'summaries'),
      ('readers range', 'redr_book_stat_hist',
       types || ' and  substr(redr_book_stat_hist.date_time,1,10)>= ' || quote_literal(left(d, 8) || '01')
             || ' and  substr(redr_book_stat_hist.date_time,1,10)<= ' || quote_literal(d), 'summaries'),
      ('readers nothing', 'redr_book_stat_hist',
       types || ' and  substr(redr_book_stat_hist.date_time,1,4)= ''1999''', 'summaries'),
      ('readers lower case', 'redr_book_stat_hist',
       lower(types) || 'AND SUBSTR( redr_book_stat_hist.date_time , 1 , 7 ) = ' || quote_literal(left(d, 7)), 'summaries'),
      ('readers to the second', 'redr_book_stat_hist',
       types || ' and  substr(redr_book_stat_hist.date_time,1,12)<= ' || quote_literal(d || '12'), 'one pass'),
      ('titles year', 'redr_book_stat_hist',
       ' SELECT COUNT(distinct redr_book_stat_hist.marc_rec_no)|| '','' ||        COUNT(redr_book_stat_hist.prop_no)  FROM   redr_book_stat_hist WHERE SUBSTR(redr_book_stat_hist.date_time,1,4)='
       || quote_literal(left(d, 4)), 'summaries'),
      ('titles year R2', 'book_use_stat_hist',
       ' SELECT COUNT(distinct book_use_stat_hist.marc_rec_no)|| '','' ||        COUNT(book_use_stat_hist.prop_no)  FROM   book_use_stat_hist WHERE SUBSTR(book_use_stat_hist.date_time,1,4)='
       || quote_literal(left(d, 4)) || ' AND book_use_stat_hist.location_f=''R2''', 'summaries'),
      ('titles month', 'book_use_stat_hist',
       ' SELECT count(distinct book_use_stat_hist.marc_rec_no)|| '','' ||COUNT( book_use_stat_hist.prop_no)  FROM   book_use_stat_hist WHERE SUBSTR(book_use_stat_hist.date_time,1,7)='
       || quote_literal(left(d, 7)), 'one pass'),
      ('titles day', 'redr_book_stat_hist',
       ' SELECT COUNT(distinct redr_book_stat_hist.marc_rec_no)|| '','' ||        COUNT(redr_book_stat_hist.prop_no)  FROM   redr_book_stat_hist WHERE SUBSTR(redr_book_stat_hist.date_time, 1, 10) = '
       || quote_literal(d), 'one pass'),
      ('another statement', 'redr_book_stat_hist',
       ' SELECT count(*) || '','' || max(redr_book_stat_hist.call_no) FROM redr_book_stat_hist WHERE 1 = 1 ', 'class by class');
END
$$;

-- Every case under the stored templates, a one-off template (ranges, lists, another scheme, an
-- apostrophe, a class without rows) and conditions that are not about the pair.
CREATE FUNCTION pg_temp.check_all(what text) RETURNS void LANGUAGE plpgsql AS $$
DECLARE
    c      record;
    s      record;
    v_conds text[];
    v_result text[];
    v_size integer;
BEGIN
    PERFORM pg_temp.fill_cases();
    PERFORM pg_temp.expect(NOT EXISTS (SELECT 1 FROM tj_sort.summary_differences()),
                           what || ': summaries equal the events: '
                           || (SELECT string_agg(summary || ' ' || difference, '; ') FROM tj_sort.summary_differences()));
    FOR c IN SELECT * FROM cases LOOP
        FOR s IN
            SELECT 'S01' AS name, pg_temp.conditions(c.tbl, 'S01') AS conds, c.stored_way AS way
            UNION ALL SELECT 'S02', pg_temp.conditions(c.tbl, 'S02'), c.stored_way
            UNION ALL SELECT 'U01', pg_temp.conditions(c.tbl, 'U01'), c.stored_way
            UNION ALL SELECT 'one-off',
                   ARRAY[' AND ' || tj_sort.class_condition(c.tbl, '{1,1,4}', '{A~C,TP3,004~006}'),
                         ' AND ' || tj_sort.class_condition(c.tbl, '{1}', '{I24 ,TP31~TP312,K''2}'),
                         ' AND ' || tj_sort.class_condition(c.tbl, '{}', '{}')],
                   CASE WHEN c.stored_way = 'class by class' THEN 'class by class'
                        WHEN c.name IN ('readers year', 'readers nothing') OR c.name LIKE 'titles year%'
                        THEN 'summaries' ELSE 'one pass' END
            UNION ALL SELECT 'not about the pair',
                   ARRAY[' AND ' || c.tbl || '.date_time > ''2000''',
                         ' AND (' || c.tbl || '.cls_id = ''1'') OR (1 = 1)'], 'class by class'
        LOOP
            CALL tj_sort.getcommonsortdata(c.sql, cardinality(s.conds), s.conds, v_result);
            PERFORM pg_temp.expect(v_result = pg_temp.by_class(c.sql, s.conds),
                                   format('%s: %s under %s gives %s, class by class %s', what, c.name, s.name,
                                          v_result, pg_temp.by_class(c.sql, s.conds)));
            PERFORM pg_temp.expect(current_setting('tj_sort.last_way') = s.way,
                                   format('%s: %s under %s answered %s, not %s', what, c.name, s.name,
                                          current_setting('tj_sort.last_way'), s.way));
        END LOOP;
        CALL tj_sort.getbulkdata(c.sql, v_size, v_result);
        PERFORM pg_temp.expect(v_result = ARRAY(SELECT coalesce(x, tj_sort.empty_figures(c.sql))
                                                  FROM (SELECT 1) o LEFT JOIN LATERAL
                                                       (SELECT q.x FROM pg_temp.run_one(c.sql) q(x)) r ON true)
                               AND v_size = 1,
                               format('%s: the total of %s is %s', what, c.name, v_result));
    END LOOP;
END
$$;

CREATE FUNCTION pg_temp.run_one(p_sql text) RETURNS SETOF text LANGUAGE plpgsql AS $$
BEGIN
    RETURN QUERY EXECUTE 'SELECT (q.c)::text FROM (' || p_sql || ') q(c)';
END
$$;

SELECT pg_temp.check_all('as loaded');

-- The condition of the example: scheme 1, A~B and TP3.
SELECT pg_temp.expect(tj_sort.class_condition('redr_book_stat_hist', '{1,1}', '{A~B,TP3}') =
    ' (   (redr_book_stat_hist.cls_id = ''1'' AND redr_book_stat_hist.call_no  >= ''A'' AND substr(redr_book_stat_hist.call_no ,1,1)<= ''B'')  OR  (redr_book_stat_hist.cls_id = ''1'' AND redr_book_stat_hist.call_no  like ''TP3%'') ) ',
    'the condition of A~B and TP3');

-- Events: a new call number, existing books, a reader who does not exist yet, books without a
-- title.
INSERT INTO call_no_lst (call_no, marc_rec_no, cls_id)
SELECT 'A811/Z9', marc_rec_no, '1' FROM call_no_lst LIMIT 1;
SELECT prop_no AS book, cert_id AS reader FROM redr_book_stat_hist LIMIT 1 \gset
CALL LT_reader_book_stat(:'book', :'reader', '', 'R1', 'A001', 'A811/Z9');
CALL LT_reader_book_stat(:'book', :'reader', '', 'R2', 'A001', '');
CALL LT_book_use_stat(:'book', '', 'R1', 'A001', 'A811/Z9');
INSERT INTO redr_book_stat_hist (prop_no, cert_id, date_time, location_f, marc_rec_no, call_no, cls_id)
SELECT prop_no, 'R9999999', date_time, location_f, marc_rec_no, call_no, cls_id FROM redr_book_stat_hist LIMIT 5;
INSERT INTO book_use_stat_hist (prop_no, date_time, location_f, call_no, cls_id)
SELECT prop_no, date_time, location_f, call_no, cls_id FROM book_use_stat_hist ORDER BY hist_serial DESC LIMIT 3;
SELECT pg_temp.check_all('after new events');

-- Readers change type, appear and disappear; events change and go.
UPDATE reader SET redr_type_code = CASE redr_type_code WHEN '10' THEN '20' ELSE '10' END
 WHERE cert_id IN (SELECT cert_id FROM redr_book_stat_hist GROUP BY cert_id ORDER BY count(*) DESC LIMIT 3);
INSERT INTO reader (cert_id, redr_type_code) VALUES ('R9999999', '30');
UPDATE redr_book_stat_hist SET call_no = 'TP311.1/A141', location_f = 'R2'
 WHERE hist_serial IN (SELECT hist_serial FROM redr_book_stat_hist ORDER BY hist_serial LIMIT 20);
DELETE FROM book_use_stat_hist WHERE hist_serial IN (SELECT hist_serial FROM book_use_stat_hist ORDER BY hist_serial DESC LIMIT 30);
SELECT pg_temp.check_all('after changed readers and events');
DELETE FROM redr_book_stat_hist WHERE cert_id = 'R9999999' AND location_f = 'R1';
DELETE FROM reader WHERE cert_id = 'R9999999';
SELECT pg_temp.check_all('after a reader left');

-- Templates change: a class gains, changes and loses composition rows.
INSERT INTO stat_cls_comp (stat_type_code, sub_stat_code, cls_id, comp_cls) VALUES ('S01', 'A', '1', 'TP31,Z2');
UPDATE stat_cls_comp SET comp_cls = 'B~C' WHERE stat_type_code = 'S01' AND sub_stat_code = 'B';
DELETE FROM stat_cls_comp WHERE stat_type_code = 'S02' AND sub_stat_code = '03';
SELECT pg_temp.check_all('after changed templates');

-- Loading the procedures again keeps the summaries and their triggers.
\ir ../../sql/procedures.sql
CALL LT_book_use_stat(:'book', '', 'R2', 'A001', '');
SELECT pg_temp.check_all('after a reload');

ROLLBACK;
\o
\echo statistics_test: ok
