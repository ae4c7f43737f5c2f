-- The rankings and the reader visit counts on the server: the ranked titles of tj_tmp_rate are
-- those of the ranking statement run class by class, in ranking order; the visit counts equal
-- the window's statements by reader type, unit, grade and department; and the visit groups stay
-- equal to the events through new, changed and removed events and readers. Runs in one
-- transaction that is rolled back.
--   psql -X -v ON_ERROR_STOP=1 -d library -f tests/sql/rankings_test.sql

\set ON_ERROR_STOP 1
\set QUIET 1
\o /dev/null
BEGIN;

CREATE FUNCTION pg_temp.expect(ok boolean, what text) RETURNS void
LANGUAGE plpgsql AS $$
BEGIN
    IF ok IS NOT TRUE THEN
        RAISE EXCEPTION 'rankings_test: %', what;
    END IF;
END
$$;

-- The ranking statement of the windows for history x with the copies' and events' restrictions.
CREATE FUNCTION pg_temp.ranking(x text, copies text, events text) RETURNS text LANGUAGE sql AS $$
    SELECT ' SELECT ' || x || '.marc_rec_no,        SUM(distinct tmp_item.total_count),        COUNT(' || x
        || '.prop_no),        ROUND(COUNT(' || x || '.prop_no)/SUM(distinct tmp_item.total_count),2)  FROM   ' || x
        || ',( SELECT item.marc_rec_no as MARC_REC_NO ,        item.call_no AS CALL_NO,         COUNT(Item.prop_no) As TOTAL_COUNT '
        || ' FROM   marc, item  WHERE  marc.marc_rec_no = item.marc_rec_no ' || copies
        || ' GROUP BY item.marc_rec_no,item.call_no ORDER BY item.marc_rec_no,item.call_no) TMP_ITEM '
        || ' WHERE  tmp_item.marc_rec_no=' || x || '.marc_rec_no  AND    tmp_item.call_no=' || x || '.call_no ' || events
$$;

-- Every ranking case under a template's classes: tj_tmp_rate holds per class the rows of the
-- statement run for that class (as a set; with a top, its first top rows by the figure ranked
-- and then record number), numbered 1..n in the order of the figure ranked, titles of the same
-- figure by record number; the way matches the pattern way ('ranked', 'class by class', or a
-- walk down the titles of a year: 'walked', 'bounded').
CREATE FUNCTION pg_temp.check_ranking(name text, x text, sql text, tail text, conds text[], way text,
                                      top integer DEFAULT 0) RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
    v_conds text[] := ARRAY(SELECT c || tail FROM unnest(conds) c);
    v_ids   text[] := ARRAY(SELECT lpad(g::text, 2, '0') FROM generate_series(1, cardinality(conds)) g);
    v_want  text;
    v_got   text;
    v_rows  integer := 0;
BEGIN
    CALL tj_sort.getgroupdata(sql, cardinality(v_conds), v_conds, v_ids);
    PERFORM set_config('tj_sort.group_top', top::text, true);
    FOR i IN 1 .. cardinality(v_conds) LOOP
        EXECUTE format('SELECT coalesce(string_agg(concat_ws(''|'', q.c1, q.c2, q.c3, q.c4), '','' ORDER BY q.c1), '''') '
                       'FROM (SELECT * FROM (%s %s) q(c1, c2, c3, c4) ORDER BY %s DESC, q.c1 LIMIT %s) q',
                       sql, v_conds[i], CASE WHEN tail ILIKE '%ORDER BY COUNT(' || x || '.prop_no) DESC%' THEN 'q.c3'
                                             ELSE 'q.c3::numeric / q.c2' END,
                       coalesce(nullif(top, 0)::text, 'ALL')) INTO v_want;
        SELECT coalesce(string_agg(concat_ws('|', marc_rec_no, itemcount, lendcount, lendrate), ',' ORDER BY marc_rec_no), '')
          INTO v_got FROM tj_tmp_rate WHERE sub_stat_code = v_ids[i];
        PERFORM pg_temp.expect(v_got = v_want, format('%s, class %s: %s, class by class %s', name, i, v_got, v_want));
        v_rows := v_rows + (SELECT count(*) FROM tj_tmp_rate WHERE sub_stat_code = v_ids[i]);
    END LOOP;
    PERFORM pg_temp.expect(current_setting('tj_sort.last_way') ~ way,
                           format('%s answered %s, not %s', name, current_setting('tj_sort.last_way'), way));
    PERFORM pg_temp.expect(count(*) = 0, name || ': numbered 1..n in ranking order')
       FROM (SELECT a.row_num, lag(a.row_num) OVER w AS prev_num, a.marc_rec_no, lag(a.marc_rec_no) OVER w AS prev_marc,
                    CASE WHEN tail ILIKE '%ORDER BY COUNT(' || x || '.prop_no) DESC%' THEN a.lendcount
                         ELSE a.lendcount / a.itemcount END AS figure,
                    lag(CASE WHEN tail ILIKE '%ORDER BY COUNT(' || x || '.prop_no) DESC%' THEN a.lendcount
                             ELSE a.lendcount / a.itemcount END) OVER w AS prev_figure
               FROM tj_tmp_rate a WINDOW w AS (PARTITION BY a.sub_stat_code ORDER BY a.row_num)) r
      WHERE (r.prev_num IS NULL AND r.row_num <> 1)
         OR (r.prev_num IS NOT NULL AND (r.row_num <> r.prev_num + 1 OR r.figure > r.prev_figure
                                         OR way <> 'class by class' AND r.figure = r.prev_figure
                                            AND r.marc_rec_no < r.prev_marc));
    PERFORM pg_temp.expect(v_rows = (SELECT count(*) FROM tj_tmp_rate), name || ': no rows outside the classes');
END
$$;

CREATE FUNCTION pg_temp.check_rankings(what text) RETURNS void LANGUAGE plpgsql AS $$
DECLARE
    d      text := (SELECT max(date_time) FROM redr_book_stat_hist);
    y      text := left(d, 4);
    m      text := left(d, 7);
    c      record;
    s      record;
    by_count text;
    by_rate  text;
    -- a year walks down its titles when a top or a least rate is asked (or ranks them all when a
    -- class cannot fill its top)
    walk     text;
BEGIN
    FOR c IN
        SELECT * FROM (VALUES
            ('year', 'redr_book_stat_hist', '', format(' AND substr(redr_book_stat_hist.date_time,1,4) = %L', y)),
            ('month R1, book use', 'book_use_stat_hist', ' AND item.location = ''R1''',
             format(' AND book_use_stat_hist.location_f = ''R1'' AND substr(book_use_stat_hist.date_time,1,7) = %L', m)),
            ('range, a document type and language', 'redr_book_stat_hist',
             ' AND marc.doc_type_code= ''01'' AND upper(marc.lang_code)= ''CHI''',
             format(' AND substr(redr_book_stat_hist.date_time,1,10) >= %L AND substr(redr_book_stat_hist.date_time,1,10) <= %L',
                    left(m, 5) || '01-01', left(d, 10))),
            ('nothing', 'book_use_stat_hist', '', ' AND substr(book_use_stat_hist.date_time,1,4) = ''1999''')
        ) v(name, x, copies, events)
    LOOP
        walk := CASE WHEN c.name IN ('year', 'nothing') THEN '^(walked|bounded|ranked)$' ELSE '^ranked$' END;
        by_count := ' GROUP BY ' || c.x || '.marc_rec_no  ORDER BY COUNT(' || c.x || '.prop_no) DESC ';
        by_rate := ' GROUP BY ' || c.x || '.marc_rec_no  ORDER BY COUNT(' || c.x
                   || '.prop_no)/SUM(distinct tmp_item.total_count) DESC ';
        FOR s IN
            SELECT 'S01' AS t, ARRAY(SELECT ' AND ' || condition FROM tj_sort.class_conditions(c.x, 'S01') ORDER BY sub_stat_code) AS conds,
                   'ranked' AS way
            UNION ALL SELECT 'one-off',
                   ARRAY[' AND ' || tj_sort.class_condition(c.x, '{1,1}', '{A~K,TP3}'),
                         ' AND ' || tj_sort.class_condition(c.x, '{1}', '{I2,B}'),
                         ' AND ' || tj_sort.class_condition(c.x, '{}', '{}')], 'ranked'
            UNION ALL SELECT 'not about the pair', ARRAY[' AND (' || c.x || '.date_time > ''2000'')'], 'class by class'
        LOOP
            PERFORM pg_temp.check_ranking(format('%s: %s by readings under %s', what, c.name, s.t), c.x,
                                          pg_temp.ranking(c.x, c.copies, c.events), by_count, s.conds, s.way);
            PERFORM pg_temp.check_ranking(format('%s: %s by rate under %s', what, c.name, s.t), c.x,
                                          pg_temp.ranking(c.x, c.copies, c.events), by_rate, s.conds, s.way);
            CONTINUE WHEN s.way = 'class by class';
            PERFORM pg_temp.check_ranking(format('%s: %s, top 2 by readings under %s', what, c.name, s.t), c.x,
                                          pg_temp.ranking(c.x, c.copies, c.events), by_count, s.conds, walk, 2);
            PERFORM pg_temp.check_ranking(format('%s: %s, top 1 by rate under %s', what, c.name, s.t), c.x,
                                          pg_temp.ranking(c.x, c.copies, c.events), by_rate, s.conds, walk, 1);
        END LOOP;
        -- the rates' conditions: one bound and a range
        PERFORM pg_temp.check_ranking(format('%s: %s, rate at least 1.5', what, c.name), c.x,
            pg_temp.ranking(c.x, c.copies, c.events),
            ' GROUP BY ' || c.x || '.marc_rec_no  HAVING count( ' || c.x || '.prop_no)/sum(distinct tmp_item.total_count) >= 1.5'
            || ' ORDER BY COUNT(' || c.x || '.prop_no)/SUM(distinct tmp_item.total_count) DESC ',
            ARRAY(SELECT ' AND ' || condition FROM tj_sort.class_conditions(c.x, 'S02') ORDER BY sub_stat_code), walk);
        PERFORM pg_temp.check_ranking(format('%s: %s, rate from 0.5 to 2', what, c.name), c.x,
            pg_temp.ranking(c.x, c.copies, c.events),
            ' GROUP BY ' || c.x || '.marc_rec_no  HAVING count( ' || c.x || '.prop_no)/sum(distinct tmp_item.total_count) >=0.5'
            || ' AND count( ' || c.x || '.prop_no)/sum(distinct tmp_item.total_count) <=2'
            || ' ORDER BY COUNT(' || c.x || '.prop_no)/SUM(distinct tmp_item.total_count) DESC ',
            ARRAY(SELECT ' AND ' || condition FROM tj_sort.class_conditions(c.x, 'S02') ORDER BY sub_stat_code), walk);
    END LOOP;
END
$$;

-- The visit counts against the window's statements (and the overall figures of the readers
-- that exist), for history t under the restriction w on it.
CREATE FUNCTION pg_temp.check_visits(name text, t text, period text, b text, e text, loc text) RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
    w      text := CASE WHEN loc IS NULL THEN '' ELSE format(' AND %s.location_f=%L', t, loc) END
                   || CASE WHEN period IS NOT NULL
                           THEN format(' AND substr(%s.date_time,1,%s) = %L', t, char_length(period), period)
                           ELSE format(' AND substr(%1$s.date_time,1,10) >= %2$L AND substr(%1$s.date_time,1,10) <= %3$L', t, b, e) END;
    v_want text;
    v_got  text;
BEGIN
    EXECUTE format(
        'SELECT string_agg(x, '';'' ORDER BY x) FROM ('
        ' SELECT ''type|'' || reader_type.redr_type_name || ''|'' || COUNT(distinct %1$s.cert_id) || ''|'' || COUNT(%1$s.cert_id) AS x'
        '  FROM reader,%1$s,reader_type WHERE reader.cert_id=%1$s.cert_id AND reader.redr_type_code=reader_type.redr_type_code %2$s'
        '  GROUP BY reader_type.redr_type_name'
        ' UNION ALL SELECT ''unit|'' || reader.dept || ''|'' || COUNT(distinct %1$s.cert_id) || ''|'' || COUNT(%1$s.cert_id)'
        '  FROM reader,%1$s WHERE reader.cert_id=%1$s.cert_id AND reader.dept is not Null %2$s GROUP BY reader.dept'
        ' UNION ALL SELECT ''grade|'' || reader.code01 || ''|'' || COUNT(distinct %1$s.cert_id) || ''|'' || COUNT(%1$s.cert_id)'
        '  FROM reader,%1$s WHERE reader.cert_id=%1$s.cert_id AND reader.code01 is not Null %2$s GROUP BY reader.code01'
        ' UNION ALL SELECT ''department|'' || department.dep_name || ''|'' || COUNT(distinct %1$s.cert_id) || ''|'' || COUNT(%1$s.cert_id)'
        '  FROM reader,%1$s,department WHERE reader.cert_id=%1$s.cert_id AND reader.r_dep_id=department.dep_id'
        '   AND reader.r_dep_id is not Null %2$s GROUP BY department.dep_name'
        ' UNION ALL SELECT ''all||'' || COUNT(distinct %1$s.cert_id) || ''|'' || COUNT(%1$s.cert_id)'
        '  FROM reader,%1$s WHERE reader.cert_id=%1$s.cert_id %2$s) q', t, w) INTO v_want;
    SELECT string_agg(grouped_by || '|' || coalesce(key, '') || '|' || readers || '|' || events, ';'
                      ORDER BY grouped_by || '|' || coalesce(key, '') || '|' || readers || '|' || events)
      INTO v_got FROM tj_sort.visit_counts(t, period, b, e, loc);
    PERFORM pg_temp.expect(v_got = v_want, format('%s: %s, the statements %s', name, v_got, v_want));
END
$$;

CREATE FUNCTION pg_temp.check_all_visits(what text) RETURNS void LANGUAGE plpgsql AS $$
DECLARE
    d text;
    t text;
BEGIN
    PERFORM pg_temp.expect(NOT EXISTS (SELECT 1 FROM tj_sort.visit_group_differences()),
                           what || ': visit groups equal the events: '
                           || (SELECT string_agg(difference, '; ') FROM tj_sort.visit_group_differences()));
    FOREACH t IN ARRAY ARRAY['reader_stat_hist', 'redr_book_stat_hist'] LOOP
        EXECUTE format('SELECT max(date_time) FROM %I', t) INTO d;
        PERFORM pg_temp.check_visits(what || ', ' || t || ' year', t, left(d, 4), NULL, NULL, NULL);
        PERFORM pg_temp.check_visits(what || ', ' || t || ' month R1', t, left(d, 7), NULL, NULL, 'R1');
        PERFORM pg_temp.check_visits(what || ', ' || t || ' range', t, NULL, left(d, 8) || '01', left(d, 10), NULL);
        PERFORM pg_temp.check_visits(what || ', ' || t || ' range R2', t, NULL, left(d, 5) || '01-01', left(d, 10), 'R2');
        PERFORM pg_temp.check_visits(what || ', ' || t || ' nothing', t, '1999', NULL, NULL, NULL);
    END LOOP;
END
$$;

SELECT pg_temp.check_rankings('as loaded');
-- The walks down the titles of the last year, each against the statement class by class:
-- template, room, tail, top, the stretch the walk starts with, how far it may go, the way.
CREATE FUNCTION pg_temp.check_walks(what text) RETURNS void LANGUAGE plpgsql AS $$
DECLARE
    x        text := 'redr_book_stat_hist';
    y        text := (SELECT left(max(date_time), 4) FROM redr_book_stat_hist);
    -- the events of the fifth most read title: a least rate only the first titles can reach
    fifth    bigint := (SELECT count(*) FROM redr_book_stat_hist WHERE date_time LIKE y || '%'
                         GROUP BY marc_rec_no ORDER BY 1 DESC OFFSET 4 LIMIT 1);
    by_count text := ' GROUP BY ' || x || '.marc_rec_no  ORDER BY COUNT(' || x || '.prop_no) DESC ';
    by_rate  text := ' GROUP BY ' || x || '.marc_rec_no  ORDER BY COUNT(' || x
                     || '.prop_no)/SUM(distinct tmp_item.total_count) DESC ';
    at_least text := format(' GROUP BY %1$s.marc_rec_no  HAVING count( %1$s.prop_no)/sum(distinct tmp_item.total_count) >= %2$s'
                            || ' ORDER BY COUNT(%1$s.prop_no)/SUM(distinct tmp_item.total_count) DESC ', x, fifth);
    w        record;
BEGIN
    FOR w IN SELECT * FROM (VALUES
        ('S02 top 1 by readings, a title at a time', 'S02', '', by_count, 1, 1, 100, 'walked'),
        ('S02 top 2 by rate in R1', 'S02', 'R1', by_rate, 2, 1, 100, 'walked|bounded'),
        ('S01 top 2, down to the last title', 'S01', '', by_count, 2, 1, 100, 'walked'),
        ('S01 top 2, classes left short', 'S01', '', by_count, 2, 1, 2, 'ranked'),
        ('S02 rate at least the fifth title''s events', 'S02', '', at_least, 0, 2, 100, 'walked'),
        ('S02 rate at least the fifth title''s events, bounded', 'S02', '', at_least, 0, 1, 1, 'bounded'),
        ('one class, top 1 by rate, a title at a time', '', '', by_rate, 1, 1, 100, 'walked')
      ) v(name, tmpl, room, tail, top, start, lim, way)
    LOOP
        PERFORM set_config('tj_sort.walk_start', w.start::text, true);
        PERFORM set_config('tj_sort.walk_limit', w.lim::text, true);
        PERFORM pg_temp.check_ranking(what || ': ' || w.name, x,
            pg_temp.ranking(x, CASE WHEN w.room <> '' THEN format(' AND item.location = %L', w.room) ELSE '' END,
                            CASE WHEN w.room <> '' THEN format(' AND %s.location_f = %L', x, w.room) ELSE '' END
                            || format(' AND substr(%s.date_time,1,4) = %L', x, y)),
            w.tail, CASE WHEN w.tmpl = '' THEN ARRAY[' AND ' || tj_sort.class_condition(x, '{1}', '{A~Z}')]
                         ELSE ARRAY(SELECT ' AND ' || condition FROM tj_sort.class_conditions(x, w.tmpl)
                                     ORDER BY sub_stat_code) END,
            '^(' || w.way || ')$', w.top);
    END LOOP;
    PERFORM set_config('tj_sort.walk_start', '', true);
    PERFORM set_config('tj_sort.walk_limit', '', true);
END
$$;

SELECT pg_temp.check_walks('as loaded');
-- Titles read under a second call number of another class, under a call number without copies
-- and without one: a title's readings in a class are then fewer than its events in the year; and
-- the most read title gets three more copies, so that it no longer has the highest rate.
INSERT INTO item
SELECT r.* FROM (SELECT * FROM item WHERE marc_rec_no = (SELECT marc_rec_no FROM redr_book_stat_hist
                                                          GROUP BY 1 ORDER BY count(*) DESC LIMIT 1) LIMIT 1) i,
       generate_series(1, 3) g,
       LATERAL jsonb_populate_record(NULL::item, to_jsonb(i) || jsonb_build_object('prop_no', 'PTEST' || g,
                                                                                  'bar_code', 'BTEST' || g)) r;
INSERT INTO redr_book_stat_hist (prop_no, cert_id, date_time, location_f, marc_rec_no, call_no, cls_id)
SELECT h.prop_no, h.cert_id, h.date_time, h.location_f, h.marc_rec_no, o.call_no, o.cls_id
  FROM (SELECT * FROM redr_book_stat_hist ORDER BY hist_serial DESC LIMIT 40) h,
       LATERAL (SELECT i.call_no, '1' AS cls_id FROM item i
                 WHERE i.call_no IS NOT NULL AND left(i.call_no, 1) <> left(h.call_no, 1) LIMIT 1) o
UNION ALL
SELECT prop_no, cert_id, date_time, location_f, marc_rec_no, 'Z99/1', cls_id
  FROM (SELECT * FROM redr_book_stat_hist ORDER BY hist_serial DESC LIMIT 30) h
UNION ALL
SELECT prop_no, cert_id, date_time, location_f, marc_rec_no, NULL, cls_id
  FROM (SELECT * FROM redr_book_stat_hist ORDER BY hist_serial DESC LIMIT 5) h;
SELECT pg_temp.check_walks('titles under several call numbers');

-- Read outside the transaction of its call the ranking is gone; the view names its columns.
SELECT pg_temp.expect(string_agg(attname, ',' ORDER BY attnum) = 'sub_stat_code,row_num,marc_rec_no,itemcount,lendcount,lendrate',
                      'the columns of tj_tmp_rate')
  FROM pg_attribute WHERE attrelid = 'tj_tmp_rate'::regclass AND attnum > 0;

-- Events come, change and go; readers change unit, grade, type and department, appear and leave.
SELECT cert_id AS reader FROM reader_stat_hist GROUP BY cert_id ORDER BY count(*) DESC LIMIT 1 \gset
CALL LT_reader_stat(:'reader', '', 'R1', 'A001');
CALL LT_reader_stat(:'reader', '', 'R2', 'A001');
CALL LT_reader_stat('R0000002', '', 'R2', 'A001');
SELECT prop_no AS book FROM redr_book_stat_hist LIMIT 1 \gset
CALL LT_reader_book_stat(:'book', 'R0000003', '', 'R1', 'A001', '');
INSERT INTO reader_stat_hist (cert_id, date_time, location_f)
SELECT cert_id, date_time, 'R2' FROM reader_stat_hist ORDER BY hist_serial LIMIT 40;
UPDATE reader_stat_hist SET location_f = 'R2', date_time = left(date_time, 5) || '01-01' || substr(date_time, 11)
 WHERE hist_serial IN (SELECT hist_serial FROM reader_stat_hist ORDER BY hist_serial DESC LIMIT 25);
DELETE FROM redr_book_stat_hist WHERE hist_serial IN (SELECT hist_serial FROM redr_book_stat_hist ORDER BY hist_serial LIMIT 30);
UPDATE reader SET dept = NULL, code01 = '2019级' WHERE cert_id = :'reader';
UPDATE reader SET redr_type_code = '20', r_dep_id = '05' WHERE cert_id IN ('R0000001', 'R0000003');
INSERT INTO reader (cert_id, redr_type_code, dept) VALUES ('R9999998', '10', '文学院');
INSERT INTO reader_stat_hist (cert_id, date_time, location_f)
SELECT 'R9999998', date_time, location_f FROM reader_stat_hist ORDER BY hist_serial DESC LIMIT 3;
INSERT INTO reader_stat_hist (cert_id, date_time, location_f)
SELECT 'R9999997', date_time, location_f FROM reader_stat_hist ORDER BY hist_serial DESC LIMIT 2;
SELECT pg_temp.check_all_visits('after changed events and readers');
DELETE FROM reader WHERE cert_id = 'R9999998';
INSERT INTO reader (cert_id, redr_type_code, code01) VALUES ('R9999997', '30', '2024级');
SELECT pg_temp.check_all_visits('after readers with events left and arrived');

ROLLBACK;
\o
\echo rankings_test: ok
